#include "NBAnswerPaletteRules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "Diagnostics.h"
#include "NBFString.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCResult.h"
#include "NCResultFormatter.h"
#include "NCResultFormattingOptions.h"
#include "NCResultTypes.h"
#include "NCUnit.h"
#include "NKAnswerRepHelper.h"
#include "NKCurrenciesManager.h"
#include "NKCurrency.h"
#include "NSLocalizedString.h"

namespace {

constexpr NKAnswerRep kHexRep = 3;
constexpr NKAnswerRep kBinaryRep = 4;

std::u16string capitalised(std::u16string text) {
    bool wordStart = true;
    for (char16_t& c : text) {
        if (wordStart && c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
        wordStart = c == u' ' || c == u'-';
    }
    return text;
}

void appendCurrencyRows(const NCResult& result, const NCUnit& unit,
                        const NBAnswerPaletteCurrencies& currencies,
                        std::vector<NBAnswerPaletteRow>& rows) {
    std::u16string code = unit.nameForFormat(2).value_or(u"");
    if (code.empty()) {
        Diagnostics::error("Warning: No currency name found");
        code = u"USD";
    }
    std::shared_ptr<NKCurrency> base =
        currencies.manager ? currencies.manager->currencyWithCode(code) : nullptr;
    if (!base) {
        Diagnostics::error("Error: No Base currency for " + NBFUTF16ToUTF8(code) + " found");
        return;
    }
    if (!currencies.environment) return;
    std::shared_ptr<NCResultFormattingOptions> options =
        currencies.displayFormattingOptions ? currencies.displayFormattingOptions->copy()
                                            : std::make_shared<NCResultFormattingOptions>();
    options->setDisplayFormat(0);
    options->displayBase = 10;
    options->trailingZeros = true;
    options->thousandsSeparator = true;
    options->setDecimalPlaces(2);
    options->thousandsSeparatorCharacter = currencies.thousandsSeparator;
    options->thousandsGroupSize = 3;
    options->scientificNotationBaseString = u"\u00D710";
    options->scientificNotationConvertsExponentCharactersIntoSuperscript = true;
    options->showUnit = false;
    const std::u16string amount = result.completeStringValue().value_or(u"");
    for (const std::shared_ptr<NKCurrency>& favourite : currencies.manager->favouriteCurrencies()) {
        if (!favourite->enabled()) continue;
        const std::u16string expression =
            amount + base->code() + u" " + currencies.conversionOperator + u" " + favourite->code();
        NCLineCollection lines(currencies.environment);
        lines.addLine(NCLine::lineWithExpressionString(expression));
        lines.evaluateLines();
        std::shared_ptr<NCResult> converted = lines.lineAtIndex(0)->result();
        const std::optional<std::u16string> text =
            converted && converted->resultType() == NCResultTypeValue
                ? NCResultFormatter::sharedInstance().stringValueForResult(converted.get(),
                                                                           options.get())
                : std::nullopt;
        rows.push_back({favourite->identifier(), text.value_or(u"")});
    }
}

}  // namespace

bool answerTextIsWholeNumber(const std::u16string& complete) {
    size_t start = !complete.empty() && (complete[0] == u'-' || complete[0] == u'+') ? 1 : 0;
    if (start >= complete.size()) return false;
    bool fraction = false;
    bool sawDigit = false;
    for (size_t i = start; i < complete.size(); ++i) {
        const char16_t c = complete[i];
        if (c == u'.') {
            if (fraction) return false;
            fraction = true;
        } else if (c >= u'0' && c <= u'9') {
            // Only zeros may follow the point.
            if (fraction && c != u'0') return false;
            sawDigit = true;
        } else {
            // Exponents and anything else are not written out in full.
            return false;
        }
    }
    return sawDigit;
}

std::vector<NBAnswerPaletteRow> answerPaletteRowsForResult(
    const NCResult* result, NKAnswerRepHelper& helper,
    const NBAnswerPaletteCurrencies* currencies) {
    std::vector<NBAnswerPaletteRow> rows;
    if (!result || result->resultType() != NCResultTypeValue) return rows;
    const std::shared_ptr<NCUnit> unit = result->unit();
    const NCUnitType type = unit ? unit->type() : NCUnitTypeNone;
    if (type != NCUnitTypeCurrency) {
        const std::optional<std::u16string> complete = result->completeStringValue();
        const bool whole = complete && answerTextIsWholeNumber(*complete);
        for (NKAnswerRep rep = 0; rep <= kBinaryRep; ++rep) {
            const std::optional<std::u16string> title = helper.titleForRep(rep);
            if (!title) continue;
            // Hex and binary would show only the whole part: a fraction has no such row.
            if ((rep == kHexRep || rep == kBinaryRep) && !whole) continue;
            const std::optional<std::u16string> value = helper.valueForResult(result, rep);
            if (value && !value->empty()) rows.push_back({NSLocalizedString(*title), *value});
        }
    }
    if (type == NCUnitTypeCurrency && currencies)
        appendCurrencyRows(*result, *unit, *currencies, rows);
    if (type != NCUnitTypeNone && unit) {
        const std::optional<std::u16string> name = unit->nameForFormat(1, 1);
        if (name) rows.push_back({NSLocalizedString(u"Unit"), capitalised(*name)});
    }
    return rows;
}

std::u16string answerPaletteLabel(const std::u16string& title) { return title + u":"; }

std::u16string answerPaletteDragText(const std::u16string& value) {
    if (value.size() < 51) return value;
    return value.substr(0, 49) + u"...";
}

bool answerPaletteRowIsFraction(const std::u16string& title) {
    return title == NSLocalizedString(u"Fraction");
}

int64_t answerPaletteNearerRow(int64_t target, int64_t first, int64_t last) {
    return std::llabs(target - first) < std::llabs(target - last) ? first : last;
}

const char* littleInfoButtonImageName(bool on, bool pressed, bool selectedRow, bool underMouse) {
    if (!on) {
        if (pressed) return "off-normal-pushed";
        if (underMouse) return "all-all-hover";
        return selectedRow ? "off-highlighted-normal" : "off-normal-normal";
    }
    if (pressed) return selectedRow ? "on-highlighted-pushed" : "on-normal-pushed";
    return selectedRow ? "on-highlighted-normal" : "on-normal-normal";
}

NBAnswerPaletteSize answerPaletteSizeForRows(double labelWidth, double valueWidth,
                                             const std::vector<double>& rowHeights,
                                             double intercellWidth, double intercellHeight) {
    NBAnswerPaletteSize size;
    size.labelColumnWidth = std::ceil(labelWidth);
    size.valueColumnWidth =
        std::min(std::ceil(valueWidth),
                 kAnswerPaletteMaximumWidth - (intercellWidth + size.labelColumnWidth));
    for (double height : rowHeights) size.tableHeight += height + intercellHeight;
    size.tableHeight = std::min(size.tableHeight, kAnswerPaletteMaximumHeight);
    size.tableWidth =
        std::min(size.labelColumnWidth + intercellWidth + size.valueColumnWidth + intercellWidth,
                 kAnswerPaletteMaximumWidth);
    size.contentWidth = size.tableWidth + 26;
    size.contentHeight = std::max(size.tableHeight + 16, kAnswerPaletteMinimumHeight);
    return size;
}
