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

std::u16string statisticValueForType(NCLineCollectionStatistics& statistics, int32_t type,
                                     const NSIndexSet& keyLines, bool mustBeEvaluatable) {
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
    const std::shared_ptr<NCResult> result = keyLines.count() < 2
                                                 ? statistics.getStatistic(type)
                                                 : statistics.getStatistic(type, keyLines);
    if (!result || result->resultType() == NCResultTypeNotSet) return {};
    const auto contextual =
        NCResultFormattingOptionsContextualizer().contextualizedOptions(options, result.get());
    return NCResultFormatter::sharedInstance()
        .stringValueForResult(result.get(), contextual ? contextual.get() : options.get())
        .value_or(u"");
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
