#include "NKLocalizationManager.h"

#include "NCExpressionSubstituter.h"
#include "NCPropertyListValue.h"
#include "NCResultFormatter.h"
#include "NCUnitNameFormat.h"
#include "NCWordOperator.h"
#include "NKLocalization.h"
#include "NKTextHelpers.h"
#include "NKUnitsManager.h"
#include "NKUserLocale.h"
#include "NSLocalizedString.h"
#include "Regex.h"

namespace {

// A bad entry as text for the log; deep or long values are cut short.
std::string describe(const NCPropertyListValue* value, int depth = 0) {
    if (!value) return "(null)";
    if (depth > 3) return "...";
    switch (value->kind()) {
        case NCPropertyListValue::Kind::String:
            return "\"" + NKUTF8(value->string()) + "\"";
        case NCPropertyListValue::Kind::Integer:
            return std::to_string(value->integer());
        case NCPropertyListValue::Kind::Boolean:
            return value->boolean() ? "true" : "false";
        case NCPropertyListValue::Kind::Dictionary: {
            std::string text = "{";
            for (const auto& [key, item] : value->dictionary())
                text += NKUTF8(key) + " = " + describe(item.get(), depth + 1) + "; ";
            return text + "}";
        }
        case NCPropertyListValue::Kind::Array: {
            std::string text = "(";
            for (const auto& item : value->array()) text += describe(item.get(), depth + 1) + ", ";
            return text + ")";
        }
        default:
            return value->kindName();
    }
}

std::optional<std::u16string> stringFor(const NCPropertyListValue& entry, const char16_t* key) {
    auto value = entry.valueForKey(key);
    if (!value || !value->isString()) return std::nullopt;
    return value->string();
}

std::shared_ptr<const NCPropertyListValue> readFile(const std::optional<std::string>& path) {
    if (!path) return nullptr;
    std::string reason;
    return NCPropertyListValue::readFromFile(*path, &reason);
}

}  // namespace

NKLocalizationManager::NKLocalizationManager(std::shared_ptr<NKUnitsManager> unitsManager,
                                             std::shared_ptr<NCWordOperatorList> wordOperators)
    : m_unitsManager(std::move(unitsManager)), m_wordOperatorList(std::move(wordOperators)) {
    refreshLocalization();
}

const std::vector<NKLocalizationManager::ClashingSymbol>& NKLocalizationManager::clashingSymbols() {
    static const std::vector<ClashingSymbol> symbols = {
        {u"$", u"Dollar", u"Dollars", u"USD"},
        {u"kr", u"Krona", u"Kronor", u"NOK"},
    };
    return symbols;
}

int64_t NKLocalizationManager::percentageOperatorTypeForName(const std::u16string& name) {
    static const std::map<std::u16string, int64_t> types = {
        {u"AsPercent", 1},
        {u"PercentOn", 2},
        {u"PercentOf", 3},
        {u"PercentOff", 4},
        {u"AsPercentOn", 5},
        {u"AsPercentOf", 6},
        {u"AsPercentOff", 7},
        {u"AsPercentDecreaseOf", 8},
        {u"AsPercentIncreaseOf", 9},
        {u"PercentOnWhatIs", 10},
        {u"PercentOfWhatIs", 11},
        {u"PercentOffWhatIs", 12},
        {u"ReverseAsPercentOn", 13},
        {u"ReverseAsPercentOff", 14},
        {u"ReversePercentOnWhatIs", 15},
        {u"ReversePercentOfWhatIs", 16},
        {u"ReversePercentOffWhatIs", 17},
    };
    auto found = types.find(name);
    return found == types.end() ? 0 : found->second;
}

int32_t NKLocalizationManager::wordOperatorTypeForName(const std::u16string& name) {
    static const std::map<std::u16string, int32_t> types = {
        {u"Add", NCWordOperatorTypeAdd},
        {u"Subtract", NCWordOperatorTypeSubtract},
        {u"Multiply", NCWordOperatorTypeMultiply},
        {u"Divide", NCWordOperatorTypeDivide},
        {u"ReverseSubtract", NCWordOperatorTypeReverseSubtract},
        {u"ReverseDivide", NCWordOperatorTypeReverseDivide},
    };
    auto found = types.find(name);
    return found == types.end() ? 0 : found->second;
}

void NKLocalizationManager::setWordOperatorsPlistFile(const std::optional<std::string>& path) {
    if (path == m_wordOperatorsFilePath) return;
    m_wordOperatorsFilePath = path;
    if (path) refreshWordOperators();
}

void NKLocalizationManager::setPercentageOperatorsPlistFiles(
    const std::vector<std::string>& paths) {
    if (paths == m_percentageOperatorsFilePaths) return;
    m_percentageOperatorsFilePaths = paths;
    refreshPercentageOperators();
}

void NKLocalizationManager::setUnitLocalizationPlistFile(const std::optional<std::string>& path) {
    if (path == m_unitLocalizationFilePath) return;
    m_unitLocalizationFilePath = path;
    if (path) refreshUnitLocalization();
}

void NKLocalizationManager::setPercentageOperatorsPlistFileName(
    const std::string& name, std::shared_ptr<const ResourceBundle> bundle,
    const std::optional<std::string>& localization) {
    if (!bundle) bundle = ResourceBundle::main();
    std::vector<std::string> paths;
    if (bundle) {
        const std::string language =
            localization ? *localization : bundle->preferredLocalizations().front();
        if (auto path = bundle->pathForResource(name, "plist", language)) paths.push_back(*path);
        if (!NKLocalizationIsEnglish(NKUTF16(language)))
            if (auto path = bundle->pathForResource(name, "plist", std::string("en")))
                if (paths.empty() || paths.front() != *path) paths.push_back(*path);
    }
    setPercentageOperatorsPlistFiles(paths);
}

void NKLocalizationManager::refreshLocalization() {
    std::u16string word = NSLocalizedString(u"line");
    if (word.empty()) word = u"line";
    NCExpressionSubstituter::defaultSubstituter().setLineReferenceWordString(word);
    if (!m_percentageOperatorsFilePaths.empty()) refreshPercentageOperators();
    if (m_wordOperatorsFilePath) refreshWordOperators();
    if (m_unitLocalizationFilePath) refreshUnitLocalization();
}

void NKLocalizationManager::refreshPercentageOperators() {
    auto& substituter = NCExpressionSubstituter::defaultSubstituter();
    // The reverse phrases (13 to 17) are the core's own and stay.
    for (int64_t type = 1; type <= 12; ++type)
        substituter.removeOperatorRegexesForOperatorType(type);
    for (const auto& path : m_percentageOperatorsFilePaths) {
        auto list = readFile(path);
        if (!list || !list->isArray()) continue;
        for (const auto& entry : list->array()) {
            if (!entry) continue;
            const auto regex = stringFor(*entry, u"regex");
            const auto typeName = stringFor(*entry, u"operatorType");
            const int64_t type = typeName ? percentageOperatorTypeForName(*typeName) : 0;
            if (!regex || type == 0 || !Regex::cached(*regex)) {
                NKLogLine("Encountered an error parsing " + describe(entry.get()));
                continue;
            }
            substituter.addOperatorRegex(*regex, type);
        }
    }
}

void NKLocalizationManager::refreshWordOperators() {
    auto list = readFile(m_wordOperatorsFilePath);
    if (!list || !list->isArray() || !m_wordOperatorList) return;
    for (const auto& entry : list->array()) {
        if (!entry) continue;
        const auto word = stringFor(*entry, u"word");
        const auto typeName = stringFor(*entry, u"operatorType");
        const int32_t type = typeName ? wordOperatorTypeForName(*typeName) : 0;
        if (!word || word->empty() || type == 0) {
            NKLogLine("Encountered an error parsing " + describe(entry.get()));
            continue;
        }
        if (auto wordOperator = NCWordOperator::wordOperatorOfType(type, *word))
            m_wordOperatorList->addWordOperator(*wordOperator);
    }
}

void NKLocalizationManager::refreshUnitLocalization() {
    auto file = readFile(m_unitLocalizationFilePath);
    if (!file || !file->isDictionary()) return;
    auto operators = file->valueForKey(u"ConversionOperators");
    if (!operators || !operators->isArray() || operators->array().empty()) return;
    std::vector<std::u16string> words;
    for (const auto& item : operators->array())
        if (item && item->isString() && !item->string().empty()) words.push_back(item->string());
    if (words.empty()) return;
    NCExpressionSubstituter::defaultSubstituter().setUnitConversionOperators(words);
    m_localizedConversionOperatorString = words.front();
}

std::u16string NKLocalizationManager::localizedConversionOperatorString() {
    if (!m_localizedConversionOperatorString)
        m_localizedConversionOperatorString = NSLocalizedString(u"in");
    return *m_localizedConversionOperatorString;
}

std::u16string NKLocalizationManager::bestCurrencyCodeForCurrentLocale() const {
    const std::u16string code = NKUserLocale::current().currencyCode;
    if (!code.empty() && m_unitsManager && m_unitsManager->unitWithIdentifier(code)) return code;
    return u"USD";
}

void NKLocalizationManager::refreshCurrencyLocaleForCode(const std::u16string& code) {
    const NKUserLocale locale = NKUserLocale::current();
    NCResultFormatter::sharedInstance().setLocale(locale.identifier);
    if (!m_unitsManager) return;
    const auto& units = m_unitsManager->ncUnitManager();
    for (const auto& clash : clashingSymbols()) {
        std::u16string chosen = clash.defaultCode;
        if (locale.currencySymbol == clash.symbol && !locale.currencyCode.empty() &&
            units->unitWithName(locale.currencyCode))
            chosen = locale.currencyCode;
        if (auto asked = units->unitWithName(code);
            asked && asked->nameForFormat(NCUnitNameFormatSymbol) == clash.symbol) {
            if (auto askedCode = asked->nameForFormat(NCUnitNameFormatVeryShortName))
                chosen = *askedCode;
        }
        if (auto unit = units->unitWithName(chosen)) {
            for (const auto* name : {&clash.symbol, &clash.singular, &clash.plural})
                if (!name->empty()) units->setDefaultUnitForClashingName(unit, *name);
        }
    }
}
