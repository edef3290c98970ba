#include "NBDocumentWindowRules.h"

#include <algorithm>

#include "NBUserDefaultsController.h"
#include "NCLineCollectionStatistics.h"
#include "NCResult.h"
#include "NCResultFormatter.h"
#include "NCResultFormattingOptionsContextualizer.h"
#include "NSIndexSet+Additions.h"
#include "NSLocalizedString.h"

namespace {

std::u16string lowercased(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return text;
}

std::u16string replaceFirst(std::u16string format, const std::u16string& value) {
    const size_t at = format.find(u"%@");
    if (at != std::u16string::npos) format.replace(at, 2, value);
    return format;
}

}  // namespace

std::u16string statisticsLabelForType(int32_t type, int32_t representation, bool includeRange,
                                      const NSIndexSet& keyLines) {
    std::u16string label;
    switch (type) {
        case NBStatisticNone:
            return u" ";
        case NBStatisticTotal:
            label = NSLocalizedString(u"Total");
            break;
        case NBStatisticAverage:
            label = NSLocalizedString(u"Average");
            break;
        case NBStatisticVariance:
            label = NSLocalizedString(u"Variance");
            break;
        case NBStatisticStandardDeviation:
            if (representation == 0)
                label = NSLocalizedString(u"S.Deviation");
            else if (representation == 1)
                label = NSLocalizedString(u"Std. Deviation");
            else if (representation == 2)
                label = NSLocalizedString(u"Standard Deviation");
            break;
        default:
            break;
    }
    if (label.empty() || !includeRange || keyLines.count() < 2) return label;
    return label + replaceFirst(NSLocalizedString(u" of lines %@"),
                                NSIndexSetAdditions::rangeDescriptionWithOffset(keyLines, 1));
}

std::u16string statisticsSelectionDetail(const NSIndexSet& keyLines) {
    if (keyLines.count() < 2) return {};
    const std::u16string lines = u" (" + NSLocalizedString(u"Lines") + u" " +
                                 NSIndexSetAdditions::rangeDescriptionWithOffset(keyLines, 1) +
                                 u")";
    if (lines.size() < 19) return lines;
    return u" (" + lowercased(NSLocalizedString(u"Selection")) + u")";
}

namespace {

std::shared_ptr<NCResultFormattingOptions> statisticOptions(bool mustBeEvaluatable) {
    auto options = std::make_shared<NCResultFormattingOptions>();
    if (auto defaults = NBUserDefaultsController::defaultResultFormattingOptions())
        options->acquireValuesFromFormattingOptions(defaults.get());
    if (mustBeEvaluatable) {
        options->scientificNotationBaseString = u"×10^";
        options->scientificNotationConvertsExponentCharactersIntoSuperscript = false;
    } else {
        options->scientificNotationBaseString = u"×10";
        options->scientificNotationConvertsExponentCharactersIntoSuperscript = true;
    }
    return options;
}

std::shared_ptr<NCResult> statisticResult(NCLineCollectionStatistics& statistics, int32_t type,
                                          const NSIndexSet& keyLines) {
    const std::shared_ptr<NCResult> result = keyLines.count() < 2
                                                 ? statistics.getStatistic(type)
                                                 : statistics.getStatistic(type, keyLines);
    if (!result || result->resultType() == NCResultTypeNotSet) return nullptr;
    return result;
}

std::shared_ptr<NCResultFormattingOptions> contextualized(
    const std::shared_ptr<NCResultFormattingOptions>& options, const NCResult* result) {
    const auto contextual =
        NCResultFormattingOptionsContextualizer().contextualizedOptions(options, result);
    return contextual ? contextual : options;
}

}  // namespace

std::u16string statisticValueForType(NCLineCollectionStatistics& statistics, int32_t type,
                                     const NSIndexSet& keyLines, bool mustBeEvaluatable) {
    const std::shared_ptr<NCResult> result = statisticResult(statistics, type, keyLines);
    if (!result) return {};
    return NCResultFormatter::sharedInstance()
        .stringValueForResult(
            result.get(), contextualized(statisticOptions(mustBeEvaluatable), result.get()).get())
        .value_or(u"");
}

NBStatisticValue statisticDisplayValueForType(NCLineCollectionStatistics& statistics, int32_t type,
                                              const NSIndexSet& keyLines,
                                              const NSAttributes& attributes) {
    NBStatisticValue value;
    const std::shared_ptr<NCResult> result = statisticResult(statistics, type, keyLines);
    if (!result) return value;
    NCResultFormatter& formatter = NCResultFormatter::sharedInstance();
    const auto shown = contextualized(statisticOptions(false), result.get());
    value.text = formatter.stringValueForResult(result.get(), shown.get()).value_or(u"");
    // The raised form draws the exponent itself rather than as superscript characters.
    auto raised = shown->copy();
    raised->scientificNotationConvertsExponentCharactersIntoSuperscript = false;
    const bool parts = shown->displayFormat() == NCDisplayFormatNormal ||
                       shown->displayFormat() == NCDisplayFormatSpacedGroupsOfFour;
    std::optional<NSAttributedString> attributed =
        parts ? formatter.attributedStringValueForResult(result.get(), raised.get(), attributes)
              : std::nullopt;
    value.attributed = attributed && !value.text.empty()
                           ? *attributed
                           : NSAttributedString(value.text, attributes);
    return value;
}

double numberLineNextWidth(double neededWidth, double currentWidth) {
    if (neededWidth > currentWidth) return currentWidth + 8;
    if (currentWidth > neededWidth + 8) return currentWidth - 8;
    return currentWidth;
}

std::u16string numberLineMeasuredText(uint64_t lineCount) {
    const std::string digits = std::to_string(std::max<uint64_t>(lineCount, 2));
    return std::u16string(digits.begin(), digits.end());
}
