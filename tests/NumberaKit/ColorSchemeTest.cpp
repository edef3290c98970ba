// The colour scheme: colour files read and laid over each other, saved back, turned into CSS
// and into the export style; the authored default colours read well on white.
#include <gtest/gtest.h>

#include <cmath>

#include "KitTestSupport.h"
#include "NBColorController.h"
#include "NBColorManager.h"
#include "NBPaths.h"
#include "NotificationCenter.h"

namespace {

std::string colorEntry(const std::string& identifier, const std::string& r, const std::string& g,
                       const std::string& b, const std::string& a = "1") {
    std::string entry = "<dict>";
    if (!identifier.empty()) entry += "<key>identifier</key><string>" + identifier + "</string>";
    entry += "<key>redComponent</key><real>" + r + "</real><key>greenComponent</key><real>" + g +
             "</real><key>blueComponent</key><real>" + b +
             "</real><key>alphaComponent</key><real>" + a + "</real></dict>";
    return entry;
}

std::string colorFile(const std::vector<std::string>& entries) {
    std::string file =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
        "<key>NBColors</key><array>";
    for (const std::string& entry : entries) file += entry;
    return file + "</array></dict></plist>";
}

struct HexCase {
    NSColor color;
    std::optional<std::string> hex;
};

TEST(ColorScheme, CssHexStringClampsAndCuts) {
    const HexCase cases[] = {
        {NSColor::colorWithCalibratedRed(1, 0, 0, 1), "#ff0000"},
        {NSColor::colorWithCalibratedWhite(0.5, 1), "#7f7f7f"},          // 127.5 cut to 127
        {NSColor::colorWithCalibratedRed(0.2, 0.4, 0.6, 1), "#336699"},  // 51, 102, 153
        {NSColor::colorWithCalibratedRed(1.7, -0.3, 2, 1), "#ff00ff"},   // clamped
        {NSColor::colorWithCalibratedRed(NAN, INFINITY, -INFINITY, 1), "#00ff00"},
        {NSColor{NSColor::ColorSpace::DeviceWhite, 0, 0, 0, 1, 1.0}, "#ffffff"},
        {NSColor{NSColor::ColorSpace::DeviceRGB, 0, 0, 1.0 / 255 * 16, 1, 0}, "#000010"},
        {NSColor{NSColor::ColorSpace::Other, 1, 1, 1, 1, 1}, std::nullopt},
    };
    for (const HexCase& c : cases) {
        std::optional<std::u16string> hex = c.color.cssHexString();
        EXPECT_EQ(hex ? std::optional<std::string>(NKUTF8(*hex)) : std::nullopt, c.hex);
    }
}

TEST(ColorScheme, UserFileReplacesDefaultsAndPostsOncePerColour) {
    TemporaryFolder folder;
    folder.write("defaults.plist", colorFile({colorEntry("NBNumbersSyntaxColor", "0", "0", "1"),
                                              colorEntry("NBWordsSyntaxColor", "0", "1", "0"),
                                              colorEntry("", "0.5", "0.5", "0.5")}));
    folder.write("user.plist", colorFile({colorEntry("NBNumbersSyntaxColor", "1", "0", "0"),
                                          colorEntry("MyColor", "0.25", "0", "0")}));
    NBColorManager manager;
    std::vector<std::u16string> changed;
    NotificationObserver observer = NotificationCenter::defaultCenter().addObserver(
        NBColorDidChange, &manager, nullptr, [&](const NSNotification& note) {
            changed.push_back(*note.objectAs<std::shared_ptr<NBColor>>()->identifier());
        });
    NBColorController controller(&manager);
    controller.beginLife(folder.file("defaults.plist"), folder.file("user.plist"));
    NotificationCenter::defaultCenter().removeObserver(observer);

    EXPECT_EQ(changed, std::vector<std::u16string>{u"NBNumbersSyntaxColor"});
    EXPECT_EQ(manager.colorForIdentifier(u"NBNumbersSyntaxColor"),
              NSColor::colorWithCalibratedRed(1, 0, 0, 1));
    EXPECT_EQ(manager.colorForIdentifier(u"NBWordsSyntaxColor"),
              NSColor::colorWithCalibratedRed(0, 1, 0, 1));
    EXPECT_EQ(manager.colorForIdentifier(u"Undefined"),
              NSColor::colorWithCalibratedRed(0.5, 0.5, 0.5, 1));
    EXPECT_TRUE(manager.colorForIdentifier(u"MyColor").has_value());
    // Syntax colours in neither file are black and persistent.
    for (const std::u16string& id : NBColorController::syntaxColoringColorIdentifiers())
        ASSERT_TRUE(manager.colorForIdentifier(id).has_value());
    EXPECT_EQ(manager.colorForIdentifier(u"NBLabelsSyntaxColor"), NSColor::blackColor());
    // 2 defaults + 1 undefined + MyColor + 8 missing syntax colours.
    EXPECT_EQ(manager.dataSource().size(), 12u);
}

TEST(ColorScheme, SavedColoursReadBack) {
    TemporaryFolder folder;
    NBColorManager manager;
    NBColorController controller(&manager);
    controller.beginLife(std::nullopt, folder.file("Colors.plist"));
    manager.setColor(NSColor::colorWithCalibratedRed(0.25, 0.5, 0.75, 1), u"NBUnitsSyntaxColor",
                     true);
    manager.setColor(NSColor::colorWithCalibratedWhite(0.5, 1), u"Scratch", false);
    controller.endLife();

    NBColorManager reread;
    ASSERT_TRUE(reread.loadColorsFromPath(folder.file("Colors.plist")));
    EXPECT_EQ(reread.dataSource().size(), 10u);  // the non-persistent colour is not saved
    EXPECT_EQ(reread.colorForIdentifier(u"NBUnitsSyntaxColor"),
              NSColor::colorWithCalibratedRed(0.25, 0.5, 0.75, 1));
    EXPECT_FALSE(reread.colorForIdentifier(u"Scratch").has_value());
    EXPECT_NE(folder.read("Colors.plist").find("NBVersionInfo"), std::string::npos);
}

TEST(ColorScheme, UnreadableFilesLogAndKeepTheColours) {
    TemporaryFolder folder;
    folder.write("garbage.plist", "\x01\x02 not a property list <<<");
    folder.write("noarray.plist",
                 "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>NBColors</key>"
                 "<string>x</string></dict></plist>");
    NBColorManager manager;
    manager.setColor(NSColor::colorWithCalibratedRed(0, 0, 1, 1), u"NBNumbersSyntaxColor", true);
    LogCapture log;
    for (const char* name : {"garbage.plist", "noarray.plist", "missing.plist"}) {
        EXPECT_FALSE(manager.loadColorsFromPath(folder.file(name)));
        manager.loadDefaultsFromPath(folder.file(name));
    }
    EXPECT_TRUE(log.contains("Warning: Could not load any colors from"));
    ASSERT_EQ(manager.dataSource().size(), 1u);
    EXPECT_EQ(manager.colorForIdentifier(u"NBNumbersSyntaxColor"),
              NSColor::colorWithCalibratedRed(0, 0, 1, 1));
}

TEST(ColorScheme, NewComponentsShareOneUndefinedEntry) {
    NBColorManager manager;
    manager.setColor(NSColor::colorWithCalibratedRed(0.1, 0.2, 0.3, 1), u"Known", true);
    EXPECT_EQ(manager.colorWithRedGreenBlueAlpha(0.1, 0.2, 0.3, 1),
              NSColor::colorWithCalibratedRed(0.1, 0.2, 0.3, 1));
    EXPECT_EQ(manager.dataSource().size(), 1u);
    manager.colorWithRedGreenBlueAlpha(0.5, 0.5, 0.5, 1);
    manager.colorWithRedGreenBlueAlpha(0.7, 0.5, 0.5, 1);
    ASSERT_EQ(manager.dataSource().size(), 2u);
    EXPECT_EQ(manager.colorForIdentifier(u"Undefined"),
              NSColor::colorWithCalibratedRed(0.7, 0.5, 0.5, 1));
    EXPECT_FALSE(manager.dataSource()[1]->isPersistant());
}

TEST(ColorScheme, SyntaxColoursBecomeTheExportStyle) {
    NBColorManager manager;
    manager.setColor(NSColor::colorWithCalibratedRed(1, 0, 0, 1), u"NBNumbersSyntaxColor", true);
    manager.setColor(NSColor::colorWithCalibratedRed(0, 0.2, 0, 1), u"NBOperatorsSyntaxColor",
                     true);
    manager.setColor(NSColor::colorWithCalibratedRed(1.5, 0.5, -1, 1), u"NBUnitsSyntaxColor", true);
    manager.setColor(NSColor::colorWithCalibratedWhite(0.2, 1), u"NBFunctionsSyntaxColor", true);
    manager.setColor(NSColor{NSColor::ColorSpace::Other, 1, 1, 1, 1, 1}, u"NBWordsSyntaxColor",
                     true);
    manager.setColor(NSColor::colorWithCalibratedRed(0, 0, 1, 1), u"NBCommentsSyntaxColor", true);
    manager.setColor(NSColor::colorWithCalibratedRed(0, 1, 1, 1), u"NBConstantsSyntaxColor", true);
    manager.setColor(NSColor::colorWithCalibratedRed(1, 1, 0, 1), u"NBHeadingsSyntaxColor", true);
    auto style = NBColorController::htmlStyleForColorManager(manager);
    EXPECT_EQ(style->numberColor(), u"#ff0000");
    EXPECT_EQ(style->operatorColor(), u"#003300");
    EXPECT_EQ(style->unitColor(), u"#ff7f00");
    EXPECT_EQ(style->functionColor(), u"#333333");
    EXPECT_EQ(style->wordColor(), u"#000000");     // no CSS form
    EXPECT_EQ(style->bracketColor(), u"#000000");  // missing
    EXPECT_EQ(style->inlineCommentColor(), u"#0000ff");
    EXPECT_EQ(style->variableColor(), u"#00ffff");
    // Headings and labels never reach the style; title and comment colours keep defaults.
    EXPECT_EQ(style->documentTitleColor(), std::nullopt);
    EXPECT_EQ(style->leftwardsCommentColor(), u"#555");
    EXPECT_NE(NKUTF8(style->cssString()).find("span.unit {  color: #ff7f00; }"), std::string::npos);
}

// WCAG relative luminance, from its definition.
double luminance(double r, double g, double b) {
    auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b);
}

TEST(ColorScheme, AuthoredDefaultsAreTheTenSyntaxColoursReadableOnWhite) {
    NBColorManager manager;
    manager.loadDefaultsFromPath(sourceDirectory() + "/Resources/Colors.plist");
    ASSERT_EQ(manager.dataSource().size(), 10u);
    for (const std::u16string& id : NBColorController::syntaxColoringColorIdentifiers()) {
        std::optional<NSColor> color = manager.colorForIdentifier(id);
        ASSERT_TRUE(color.has_value()) << NKUTF8(id);
        EXPECT_EQ(color->alphaComponent, 1);
        // Contrast against white of at least 4.5:1.
        const double contrast =
            1.05 /
            (luminance(color->redComponent, color->greenComponent, color->blueComponent) + 0.05);
        EXPECT_GE(contrast, 4.5) << NKUTF8(id);
    }
}

TEST(ColorScheme, PreviewDataFolderIsMadeInTheDataFolder) {
    TemporaryFolder folder;
    const std::string path = NBPaths::quicklookDataFolderInFolder(folder.file("Numbera"));
    EXPECT_EQ(path, folder.file("Numbera/quicklook-data"));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    folder.write("file", "x");
    LogCapture log;
    EXPECT_EQ(NBPaths::quicklookDataFolderInFolder(folder.file("file")),
              folder.file("file/quicklook-data"));
    EXPECT_TRUE(log.contains("Error creating directory"));
}

}  // namespace
