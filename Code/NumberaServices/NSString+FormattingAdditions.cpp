#include "NCResult.h"
#include "NCResultFormatter.h"
#include "NCResultFormattingOptions.h"
#include "NSString+FormattingAdditions.h"

namespace NSStringFormattingAdditions {

namespace {
std::optional<std::u16string> format(const std::u16string& rawResult,
                                     const NCResultFormattingOptions& options) {
    std::shared_ptr<NCResult> result = NCResult::resultWithRawResultString(rawResult);
    if (!result) return std::nullopt;
    return NCResultFormatter::sharedInstance().stringValueForResult(result.get(), &options);
}

NCResultFormattingOptions optionsWithLocale(NCSimpleLocale locale) {
    NCResultFormattingOptions options;
    options.setDisplayFormat(NCDisplayFormatNormal);
    options.thousandsSeparator = false;
    options.decimalPlaceCharacter = locale.decimalPointChar;
    options.thousandsSeparatorCharacter = locale.groupingChar;
    return options;
}
}  // namespace

std::optional<std::u16string> localizedResultString(const std::u16string& rawResult,
                                                    NCSimpleLocale userLocale) {
    return format(rawResult, optionsWithLocale(userLocale));
}

std::optional<std::u16string> localizedCurrencyResultStringWithLocale(
    const std::u16string& rawResult, NCSimpleLocale locale) {
    NCResultFormattingOptions options = optionsWithLocale(locale);
    options.setDecimalPlaces(2);
    options.setSignificantDigits(0);
    options.trailingZeros = true;
    return format(rawResult, options);
}

}  // namespace NSStringFormattingAdditions
