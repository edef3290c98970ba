#include "NBColorController.h"

#include <filesystem>

#include "NKFunctions.h"
#include "NKLog.h"
#include "ResourceBundle.h"

const std::vector<std::u16string>& NBColorController::syntaxColoringColorIdentifiers() {
    static const std::vector<std::u16string> identifiers = {
        u"NBNumbersSyntaxColor",  u"NBWordsSyntaxColor",     u"NBCommentsSyntaxColor",
        u"NBHeadingsSyntaxColor", u"NBConstantsSyntaxColor", u"NBOperatorsSyntaxColor",
        u"NBUnitsSyntaxColor",    u"NBFunctionsSyntaxColor", u"NBLabelsSyntaxColor",
        u"NBBracketsSyntaxColor"};
    return identifiers;
}

void NBColorController::beginLife() {
    std::optional<std::string> defaults;
    if (std::shared_ptr<ResourceBundle> bundle = ResourceBundle::main())
        defaults = bundle->pathForResource("Colors", "plist");
    std::optional<std::string> dataSource;
    std::string error;
    if (std::optional<std::string> folder = NKApplicationSupportDirectory(&error))
        dataSource = *folder + "/Colors.plist";
    else
        NKLog("Colours will not be saved: %s", error.c_str());
    beginLife(defaults, dataSource);
}

void NBColorController::beginLife(const std::optional<std::string>& defaultsPath,
                                  const std::optional<std::string>& dataSourcePath) {
    NBColorManager& colors = manager();
    if (defaultsPath) colors.loadDefaultsFromPath(*defaultsPath);
    m_dataSourcePath = dataSourcePath;
    std::error_code error;
    if (m_dataSourcePath && std::filesystem::exists(*m_dataSourcePath, error))
        colors.loadColorsFromPath(*m_dataSourcePath);
    for (const std::u16string& identifier : syntaxColoringColorIdentifiers())
        if (!colors.colorForIdentifier(identifier))
            colors.setColor(NSColor::blackColor(), identifier, true);
}

void NBColorController::endLife() {
    if (!m_dataSourcePath) return;
    manager().saveColorsToPath(*m_dataSourcePath, NKApplicationInfoDictionary());
}

std::shared_ptr<NKLineCollectionExporterHTMLStyle> NBColorController::htmlStyle() {
    return htmlStyleForColorManager(NBColorManager::sharedInstance());
}

std::shared_ptr<NKLineCollectionExporterHTMLStyle> NBColorController::htmlStyleForColorManager(
    const NBColorManager& manager) {
    auto style = std::make_shared<NKLineCollectionExporterHTMLStyle>();
    const std::u16string black = *NSColor::blackColor().cssHexString();
    auto hex = [&](const char16_t* identifier) {
        std::optional<NSColor> color = manager.colorForIdentifier(identifier);
        std::optional<std::u16string> css = color ? color->cssHexString() : std::nullopt;
        return css.value_or(black);
    };
    style->setNumberColor(hex(u"NBNumbersSyntaxColor"));
    style->setOperatorColor(hex(u"NBOperatorsSyntaxColor"));
    style->setUnitColor(hex(u"NBUnitsSyntaxColor"));
    style->setFunctionColor(hex(u"NBFunctionsSyntaxColor"));
    style->setBracketColor(hex(u"NBBracketsSyntaxColor"));
    style->setVariableColor(hex(u"NBConstantsSyntaxColor"));
    style->setWordColor(hex(u"NBWordsSyntaxColor"));
    style->setInlineCommentColor(hex(u"NBCommentsSyntaxColor"));
    return style;
}
