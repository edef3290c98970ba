#include "NKAnswerRepHelper.h"

#include "NCResultFormatter.h"
#include "NSLocalizedString.h"

namespace {

const char16_t* const kRepTitleKeys[] = {u"Decimal", u"Degrees", u"Fraction", u"Hex", u"Binary"};

struct RepFormat {
    NCDisplayFormat format;
    int32_t base;
};
const RepFormat kRepFormats[] = {{0, 10}, {1, 10}, {3, 10}, {4, 16}, {4, 2}};

}  // namespace

NKAnswerRepHelper::NKAnswerRepHelper()
    : m_formattingOptions(std::make_shared<NCResultFormattingOptions>()) {
    m_formattingOptions->thousandsSeparator = false;
    m_formattingOptions->showUnit = false;
    m_formattingOptions->setDecimalPlaces(8);
    m_formattingOptions->trailingZeros = false;
    m_formattingOptions->thousandsGroupSize = 3;
}

NKAnswerRepHelper& NKAnswerRepHelper::sharedHelper() {
    static NKAnswerRepHelper helper;
    return helper;
}

std::optional<std::u16string> NKAnswerRepHelper::titleForRep(NKAnswerRep rep) const {
    if (rep > 4) return std::nullopt;
    return NSLocalizedString(kRepTitleKeys[rep]);
}

NKAnswerRep NKAnswerRepHelper::repForTitle(const std::u16string& title) const {
    for (NKAnswerRep rep = 0; rep <= 4; ++rep)
        if (titleForRep(rep) == title) return rep;
    return NKAnswerRepNone;
}

NKAnswerRep NKAnswerRepHelper::repForLine(NCLine& line) const {
    std::shared_ptr<NCResultFormattingOptions> options = line.formattingOptions();
    if (!options) return NKAnswerRepNone;
    switch (options->displayFormat()) {
        case 0:
            return 0;
        case 1:
            return 1;
        case 3:
            return 2;
        case 4:
            if (options->displayBase == 2) return 4;
            if (options->displayBase == 16) return 3;
            return NKAnswerRepNone;
        default:
            return NKAnswerRepNone;
    }
}

void NKAnswerRepHelper::setAnswerOnLine(NCLine& line, NKAnswerRep rep) const {
    const std::shared_ptr<NCResultFormattingOptions>& options = line.customFormattingOptions();
    if (!options) return;
    options->thousandsGroupSize = 3;
    options->thousandsSeparatorCharacter = locale().groupingChar;
    if (rep > 4) return;
    options->setDisplayFormat(kRepFormats[rep].format);
    options->displayBase = kRepFormats[rep].base;
    if (rep == 4) {
        options->thousandsGroupSize = 4;
        options->thousandsSeparatorCharacter = u' ';
    }
}

std::shared_ptr<NCResultFormattingOptions> NKAnswerRepHelper::formattingOptionsForRep(
    NKAnswerRep rep) {
    std::lock_guard<std::mutex> lock(m_mutex);
    NCResultFormattingOptions& o = *m_formattingOptions;
    o.thousandsSeparator = false;
    o.showUnit = false;
    o.setDecimalPlaces(8);
    o.trailingZeros = false;
    o.thousandsGroupSize = 3;
    o.showPercentSign = false;
    o.scientificNotationBaseString = u"\u00D710";
    o.scientificNotationConvertsExponentCharactersIntoSuperscript = true;
    o.thousandsSeparatorCharacter = m_locale.groupingChar;
    o.decimalPlaceCharacter = m_locale.decimalPointChar;
    if (rep <= 4) {
        o.setDisplayFormat(kRepFormats[rep].format);
        o.displayBase = kRepFormats[rep].base;
    }
    if (rep == 0) {
        o.thousandsSeparator = true;
        o.showPercentSign = true;
    } else if (rep == 4) {
        o.thousandsGroupSize = 4;
        o.thousandsSeparatorCharacter = u' ';
        o.thousandsSeparator = true;
    }
    return m_formattingOptions;
}

std::optional<std::u16string> NKAnswerRepHelper::valueForResult(const NCResult* result,
                                                                NKAnswerRep rep) {
    std::shared_ptr<NCResultFormattingOptions> options = formattingOptionsForRep(rep);
    return NCResultFormatter::sharedInstance().stringValueForResult(result, options.get());
}

std::shared_ptr<NCResultFormattingOptions> NKAnswerRepHelper::formattingOptions() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_formattingOptions;
}

void NKAnswerRepHelper::setFormattingOptions(
    const std::shared_ptr<NCResultFormattingOptions>& options) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_formattingOptions = options ? options->copy() : std::make_shared<NCResultFormattingOptions>();
}

NKLocale NKAnswerRepHelper::locale() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_locale;
}

void NKAnswerRepHelper::setLocale(NKLocale locale) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_locale = locale;
}
