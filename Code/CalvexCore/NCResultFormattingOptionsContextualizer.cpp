#include "NCResultFormattingOptionsContextualizer.h"

#include <algorithm>

std::shared_ptr<NCResultFormattingOptions>
NCResultFormattingOptionsContextualizer::contextualizedOptions(
    const std::shared_ptr<NCResultFormattingOptions>& options, const NCResult* result) const {
    if (!options) return nullptr;
    std::shared_ptr<NCResultFormattingOptions> copy = options->copy();
    if (!result) return copy;
    if (result->flags() & NCResultFlagPercentage) {
        if (m_enableAutoPrecision) {
            copy->setPrecisionMode(1);
            copy->setSignificantDigits(
                static_cast<uint64_t>(std::max<int64_t>(result->wholeNumberLength(), 4)));
        }
        copy->trailingZeros = false;
        return copy;
    }
    std::shared_ptr<NCUnit> unit = result->unit();
    if (unit && unit->type() == NCUnitTypeCurrency) {
        const NCUnitNameFormat format =
            result->unitNameFormatForComponentUnitType(NCUnitTypeCurrency);
        if (m_enableAutoPrecision) copy->setDecimalPlaces(2);
        copy->displayBase = 10;
        copy->trailingZeros = true;
        if (format == NCUnitNameFormatVeryShortName) copy->showUnit = true;
        copy->unitNameFormat = format == NCUnitNameFormatVeryShortName
                                   ? NCUnitNameFormatVeryShortName
                                   : NCUnitNameFormatSymbol;
    }
    return copy;
}
