#include "NBAnswerColumnRules.h"

#include <any>

#include "Diagnostics.h"
#include "NBAttributesController.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCResultFormatter.h"
#include "NKResultFormattingHelper.h"

namespace {

// The line's options copied, so that adjusting them for a copy leaves the line alone.
std::shared_ptr<NCResultFormattingOptions> copiedOptions(NCLine& line) {
    auto options = std::make_shared<NCResultFormattingOptions>();
    if (std::shared_ptr<NCResultFormattingOptions> own = line.formattingOptions())
        options->acquireValuesFromFormattingOptions(own.get());
    options->scientificNotationBaseString = u"×10^";
    return options;
}

std::u16string formatted(NCLine& line, const NCResultFormattingOptions& options) {
    std::shared_ptr<NCResult> result = line.result();
    if (!result) return {};
    return NCResultFormatter::sharedInstance()
        .stringValueForResult(result.get(), &options)
        .value_or(u"");
}

}  // namespace

NSAttributes answerColumnAttributes(const std::u16string& fontName, double fontSize,
                                    bool selected) {
    return {
        {NSFontNameAttributeName, fontName},
        {NSFontSizeAttributeName, fontSize},
        {NBBoldFontAttributeName, selected},
        {NBForegroundColorAttributeName, std::u16string(selected ? u"#ffffff" : u"#000000")},
        {NBLineBreakModeAttributeName, NBLineBreakByTruncatingTail},
    };
}

void registerAnswerColumnAttributes(const std::u16string& fontName, double fontSize) {
    NBAttributesController& store = NBAttributesController::sharedInstance();
    store.setValue(answerColumnAttributes(fontName, fontSize, false),
                   kAnswerColumnNormalAttributesKey);
    store.setValue(answerColumnAttributes(fontName, fontSize, true),
                   kAnswerColumnSelectedAttributesKey);
}

NSAttributes registeredAnswerColumnAttributes(bool selected) {
    std::any value = NBAttributesController::sharedInstance().valueForKey(
        selected ? kAnswerColumnSelectedAttributesKey : kAnswerColumnNormalAttributesKey);
    if (const auto* attributes = std::any_cast<NSAttributes>(&value)) return *attributes;
    return {};
}

NSAttributedString answerColumnRowContent(NCLineCollection* lines, uint64_t row,
                                          bool answersVisible, bool selected) {
    const NSAttributes attributes = registeredAnswerColumnAttributes(selected);
    if (!answersVisible || !lines) return NSAttributedString(u"", attributes);
    std::shared_ptr<NCLine> line = lines->lineAtIndex(row);
    if (!line) return NSAttributedString(u"", attributes);
    return NKResultFormattingHelper::attributedFormattedResultForLine(*line, attributes)
        .value_or(NSAttributedString(u"", attributes));
}

std::u16string answerColumnFormattedResult(NCLine& line) {
    return formatted(line, *copiedOptions(line));
}

std::u16string answerColumnUnformattedResult(NCLine& line) {
    std::shared_ptr<NCResultFormattingOptions> options = copiedOptions(line);
    options->thousandsSeparator = false;
    options->setDecimalPlaces(50);
    options->showUnit = false;
    return formatted(line, *options);
}

NSRect answerColumnCellDrawingRect(NSRect bounds, double textHeight, bool infoButtonVisible) {
    NSRect rect = bounds;
    const double slack = rect.size.height - textHeight;
    if (slack > 0) {
        rect.size.height -= slack;
        rect.origin.y += slack / 2;
    }
    rect.origin.x = 5;
    rect.size.width -= 5;
    // Keeps the answer clear of the palette's info button.
    if (infoButtonVisible) rect.size.width -= 25;
    return rect;
}

bool answerColumnCanRedrawRow(uint64_t row, uint64_t rowCount) {
    if (row == kAnswerColumnNoLineIndex)
        Diagnostics::error(
            "Warning: Redrawing the answer column cell at the invalid cell index 999999999");
    return row < rowCount;
}

bool answerColumnCanRedrawRowOfSet(uint64_t row, uint64_t rowCount) {
    if (row < rowCount) return true;
    Diagnostics::errorf(
        "Warning. Answers Column Being told to redraw cell at index %llu which is out of bounds",
        static_cast<unsigned long long>(row));
    return false;
}
