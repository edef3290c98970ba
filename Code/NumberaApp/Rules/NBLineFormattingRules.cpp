#include "NBLineFormattingRules.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "NBUserDefaultsKeys.h"
#include "NCExpressionFormattingOptions.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCResultFormattingOptions.h"

namespace NBLineFormattingRules {

namespace {

std::shared_ptr<NCResultFormattingOptions> customOptions(NCLine& line) {
    if (!line.customFormattingOptions())
        line.setCustomFormattingOptions(std::make_shared<NCResultFormattingOptions>());
    return line.customFormattingOptions();
}

std::optional<int64_t> integerValue(const SettingsValue& value) {
    if (const auto* number = std::get_if<int64_t>(&value)) return *number;
    if (const auto* number = std::get_if<double>(&value)) return static_cast<int64_t>(*number);
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? 1 : 0;
    return std::nullopt;
}

}  // namespace

const std::vector<std::string>& directlyTransferableKeys() {
    static const std::vector<std::string> keys = {"thousandsSeparator", "decimalPlaces",
                                                  "scientificNotationMode"};
    return keys;
}

const std::vector<std::string>& customKeys() {
    static const std::vector<std::string> keys = {"base", "trigonometryMode", "textAlignment"};
    return keys;
}

const std::vector<std::string>& globalKeys() {
    static const std::vector<std::string> keys = {NBNotationThreshold, NBNotationStyle};
    return keys;
}

int64_t mixedSelectionValue(const std::string& key) {
    if (key == "thousandsSeparator" || key == "trigonometryMode") return 0;
    return -1;
}

int64_t valueOfLine(const std::string& key, const NCLine& line, int64_t currentBase) {
    const std::shared_ptr<NCResultFormattingOptions>& options = line.customFormattingOptions();
    if (key == "trigonometryMode") return line.trigonometryMode();
    if (key == "textAlignment") {
        const auto& expression = line.expressionFormattingOptions();
        return expression ? expression->textAlignment() : 0;
    }
    if (!options) return key == "base" ? currentBase : mixedSelectionValue(key);
    if (key == "thousandsSeparator") return options->thousandsSeparator ? 1 : 0;
    if (key == "decimalPlaces") return static_cast<int64_t>(options->decimalPlaces());
    if (key == "scientificNotationMode") return options->scientificNotationMode;
    if (key == "base") {
        switch (options->displayBase) {
            case 10:
                return 0;
            case 2:
                return 1;
            case 16:
                return 2;
            default:
                return currentBase;
        }
    }
    return 0;
}

std::optional<int32_t> displayBaseForBase(int64_t base) {
    switch (base) {
        case 0:
            return 10;
        case 1:
            return 2;
        case 2:
            return 16;
        default:
            return std::nullopt;
    }
}

int32_t displayFormatForBase(int64_t base) {
    return base == 1 || base == 2 ? NCDisplayFormatSpacedGroupsOfFour : NCDisplayFormatNormal;
}

void setValueOnLine(const std::string& key, int64_t value, NCLine& line) {
    if (key == "trigonometryMode") {
        line.setTrigonometryMode(static_cast<NCTrigonometryMode>(value));
        return;
    }
    if (key == "textAlignment") {
        if (const auto& expression = line.expressionFormattingOptions())
            expression->setTextAlignment(static_cast<int32_t>(value));
        return;
    }
    const std::shared_ptr<NCResultFormattingOptions> options = customOptions(line);
    if (key == "thousandsSeparator") {
        options->thousandsSeparator = value != 0;
    } else if (key == "decimalPlaces") {
        if (value >= 0) options->setDecimalPlaces(static_cast<uint64_t>(value));
    } else if (key == "scientificNotationMode") {
        options->scientificNotationMode = static_cast<int32_t>(value);
    } else if (key == "base") {
        options->setDisplayFormat(NCDisplayFormatNormal);
        if (const std::optional<int32_t> base = displayBaseForBase(value)) {
            options->displayBase = *base;
            options->setDisplayFormat(displayFormatForBase(value));
        }
    }
}

bool isUniform(const std::string& key, const std::vector<std::shared_ptr<NCLine>>& lines) {
    for (size_t i = 1; i < lines.size(); ++i) {
        if (!lines[i] || !lines[i - 1]) return false;
        if (key == "base") {
            const auto& a = lines[i - 1]->customFormattingOptions();
            const auto& b = lines[i]->customFormattingOptions();
            if ((a ? a->displayBase : 10) != (b ? b->displayBase : 10)) return false;
        } else if (valueOfLine(key, *lines[i - 1]) != valueOfLine(key, *lines[i])) {
            return false;
        }
    }
    return true;
}

int64_t valueOfLines(const std::string& key, const std::vector<std::shared_ptr<NCLine>>& lines,
                     int64_t currentValue) {
    if (lines.empty() || !lines.front()) return currentValue;
    if (lines.size() > 1 && !isUniform(key, lines)) return mixedSelectionValue(key);
    return valueOfLine(key, *lines.front(), currentValue);
}

int menuItemState(const std::string& key, int64_t tag,
                  const std::vector<std::shared_ptr<NCLine>>& lines, int64_t barValue) {
    if (lines.size() < 2 || isUniform(key, lines)) return tag == barValue ? 1 : 0;
    for (const std::shared_ptr<NCLine>& line : lines)
        if (line && valueOfLine(key, *line, -1) == tag) return -1;
    return 0;
}

DecimalPlacesCheck checkDecimalPlacesEntry(const std::u16string& text, int64_t previous,
                                           int64_t maximum) {
    size_t at = 0;
    while (at < text.size() && text[at] == u' ') ++at;
    int64_t value = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) negative = text[at++] == u'-';
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        // Anything this long is above every maximum: stop before the number overflows.
        if (value > std::numeric_limits<int64_t>::max() / 20) break;
        value = value * 10 + (text[at] - u'0');
    }
    if (negative) value = -value;
    if (value < 1) return {DecimalPlacesEntry::RestorePrevious, previous};
    if (value > maximum) return {DecimalPlacesEntry::Clamped, maximum};
    return {DecimalPlacesEntry::Accepted, value};
}

bool applyGlobalDefault(const std::string& key, const SettingsValue& value,
                        NCLineCollection& lines) {
    std::function<void(NCResultFormattingOptions&)> apply;
    if (key == NBNotationThreshold) {
        const std::optional<int64_t> threshold = integerValue(value);
        if (!threshold) return false;
        // As the default options read it: big numbers switch one digit earlier.
        const uint64_t big = static_cast<uint64_t>(std::max<int64_t>(0, *threshold - 1));
        const uint64_t small = static_cast<uint64_t>(std::max<int64_t>(0, *threshold));
        apply = [big, small](NCResultFormattingOptions& options) {
            options.scientificNotationBigThreshold = big;
            options.scientificNotationSmallThreshold = small;
        };
    } else if (key == NBNotationStyle) {
        const std::optional<int64_t> style = integerValue(value);
        if (!style) return false;
        apply = [style = static_cast<int32_t>(*style)](NCResultFormattingOptions& options) {
            options.scientificNotationStyle = style;
        };
    } else {
        return false;
    }
    for (const std::shared_ptr<NCLine>& line : lines.lines())
        if (line) apply(*customOptions(*line));
    return true;
}

}  // namespace NBLineFormattingRules
