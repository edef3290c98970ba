#include "NCAttributedResultFormatter.h"
#include "NCResultFormatter.h"

std::optional<NSAttributedString> NCResultFormatter::attributedStringValueForResult(
    const NCResult* result, const NCResultFormattingOptions* options,
    const NSAttributes& attributes) {
    if (!result || !options) return std::nullopt;
    const NCDisplayFormat format = options->displayFormat();
    if (format != NCDisplayFormatNormal && format != NCDisplayFormatFraction &&
        format != NCDisplayFormatSpacedGroupsOfFour)
        return std::nullopt;
    NSRange ranges[3] = {};
    uint64_t count = 0;
    const auto text = normalFormattedResult(result, options, ranges, &count);
    if (!text) return std::nullopt;
    NCAttributedResultFormatter formatter;
    formatter.setOptions(std::make_shared<const NCResultFormattingOptions>(*options));
    return formatter.formatResultString(*text, ranges, count, attributes);
}
