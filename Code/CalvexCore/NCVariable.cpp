#include "NCVariable.h"

#include <charconv>
#include <cstdio>
#include <functional>

#include "Diagnostics.h"
#include "NBFUnitFractionBuilder.h"
#include "NCEvaluator.h"
#include "NCResultFormatter.h"
#include "NCUnitCollection.h"
#include "NCUnitStringFormatter.h"
#include "NCUtilityFunctions.h"
#include "NCValueUnit.h"
#include "NCVariableList.h"
#include "NSLocalizedString.h"

namespace {

std::optional<std::u16string> textOf(NBFStringRef string) {
    return NCNSStringCreateFromNBFString(string);
}

std::string utf8Text(const std::optional<std::u16string>& text) {
    return text ? NBFUTF16ToUTF8(*text) : std::string();
}

void logLine(const std::string& line) { Diagnostics::error(line); }

}  // namespace

void NCVariableState::updateWithVariable(const NCVariable& variable) { m_name = variable.name(); }

NCVariable::NCVariable(NBFVariableRef variable) : m_nbfVariable(NBFVariableRetain(variable)) {
    NBFVariableSetWrapperObject(m_nbfVariable, this);
}

NCVariable::NCVariable(const std::optional<std::u16string>& name,
                       const std::shared_ptr<NCResult>& result)
    : m_nbfVariable(NBFVariableCreate()) {
    NBFVariableSetWrapperObject(m_nbfVariable, this);
    if (name) changeName(*name);
    setResultValue(result);
}

NCVariable::~NCVariable() {
    NBFVariableSetWrapperObject(m_nbfVariable, nullptr);
    NBFVariableRelease(m_nbfVariable);
}

std::shared_ptr<NCVariable> NCVariable::variableWithName(const std::u16string& name) {
    return std::make_shared<NCVariable>(name, nullptr);
}

std::shared_ptr<NCVariable> NCVariable::variableWithName(const std::u16string& name,
                                                         const std::u16string& localizedValue) {
    auto variable = variableWithName(name);
    variable->setValue(localizedValue);
    return variable;
}

std::shared_ptr<NCVariable> NCVariable::variableWithName(const std::u16string& name,
                                                         const std::u16string& delocalizedValue,
                                                         NCResultFlags flags,
                                                         std::shared_ptr<NCUnit> unit) {
    auto variable = variableWithName(name);
    variable->setDelocalizedValue(delocalizedValue, flags, std::move(unit));
    return variable;
}

std::optional<std::u16string> NCVariable::name() const {
    return textOf(NBFVariableGetNameReference(m_nbfVariable));
}

bool NCVariable::changeName(const std::u16string& name) {
    saveState();
    NBF::Ref<NBF::String> string = NCNBFStringFromNSStringReference(name);
    const bool changed = NBFVariableSetName(m_nbfVariable, string.get());
    if (changed && m_list) m_list->variableDidUpdateNameTo(this, prevState.name(), name);
    return changed;
}

void NCVariable::addAlias(const std::u16string& alias) {
    NBF::Ref<NBF::String> string = NCNBFStringFromNSStringReference(alias);
    NBFVariableAddAlias(m_nbfVariable, string.get());
    if (m_list) m_list->variableDidAddAlias(this, alias);
}

std::vector<std::u16string> NCVariable::aliases() const {
    std::vector<std::u16string> aliases;
    NBFArrayRef array = NBFVariableGetAliasArrayReference(m_nbfVariable);
    for (int32_t i = 0; i < NBFArrayCount(array); ++i)
        if (auto text = textOf(static_cast<NBFStringRef>(NBFArrayGetItemAtIndex(array, i))))
            aliases.push_back(*text);
    return aliases;
}

std::optional<std::u16string> NCVariable::delocalizedValue() const {
    return textOf(NBFVariableGetValueReference(m_nbfVariable));
}

std::optional<std::u16string> NCVariable::delocalizedValueForLineAtIndex(uint64_t index) const {
    const uint32_t scope = index > INT32_MAX ? INT32_MAX : static_cast<uint32_t>(index);
    return textOf(NBFVariableGetValueReferenceForScopeIndex(m_nbfVariable, scope));
}

NCResultFlags NCVariable::resultFlags() const {
    return NCResultFlagsFromNBFResultFlags(NBFVariableGetResultFlags(m_nbfVariable));
}

void NCVariable::setUnit(std::shared_ptr<NCUnit> unit) {
    if (unit == m_unit) return;
    setDelocalizedValue(delocalizedValue(), resultFlags(), std::move(unit));
}

bool NCVariable::setDelocalizedValue(const std::optional<std::u16string>& text, NCResultFlags flags,
                                     std::shared_ptr<NCUnit> unit) {
    return setDelocalizedValue(text, flags, std::move(unit), NBFRangeMake(0, NBFRangeLengthMax));
}

bool NCVariable::setDelocalizedValue(const std::optional<std::u16string>& text, NCResultFlags flags,
                                     std::shared_ptr<NCUnit> unit, NBFRange scopeRange) {
    std::optional<std::u16string> value = text && !text->empty() ? text : std::nullopt;
    const bool everyLine = scopeRange.location == 0 && scopeRange.length == NBFRangeLengthMax;
    const uint32_t nbfFlags = NCResultFlagsToNBFResultFlags(flags) & 1;
    const bool unitChanged = unit != m_unit;
    if (unitChanged) m_unit = unit;
    if (everyLine && !m_hasScopedValues && !unitChanged && value == delocalizedValue() &&
        nbfFlags == (NBFVariableGetResultFlags(m_nbfVariable) & 1) &&
        NBFVariableGetEvaluationError(m_nbfVariable) == NBFEvaluationErrorNone)
        return true;
    if (!everyLine) m_hasScopedValues = true;
    const std::optional<std::u16string> before = delocalizedValue();
    NBF::Ref<NBF::String> string =
        value ? NCNBFStringFromNSStringReference(*value) : NBF::Ref<NBF::String>();
    NBFVariableSetValueForScopeRange(m_nbfVariable, string.get(), nbfFlags,
                                     m_unit ? m_unit->nbfUnitContainer() : nullptr, scopeRange);
    if (delocalizedValue() != before) m_localizedValue.reset();
    return true;
}

void NCVariable::setErrorValue(NCResultErrorType errorType, NBFRange scopeRange) {
    if (scopeRange.location != 0 || scopeRange.length != NBFRangeLengthMax)
        m_hasScopedValues = true;
    NBFVariableSetEvaluationErrorForScopeRange(
        m_nbfVariable, NCResultErrorTypeToNBFEvaluationError(errorType), scopeRange);
    m_localizedValue.reset();
}

NCResultErrorType NCVariable::errorType() const {
    return NCResultErrorTypeFromNBFEvaluationError(NBFVariableGetEvaluationError(m_nbfVariable));
}

void NCVariable::shiftScopeIndexes(uint64_t index, int32_t delta) {
    if (m_hasScopedValues && index < static_cast<uint64_t>(NBFRangeLengthMax))
        NBFVariableShiftScopeIndexes(m_nbfVariable, static_cast<uint32_t>(index), delta);
}

void NCVariable::setResultValue(const std::shared_ptr<NCResult>& result) {
    if (!result) return;
    if (result->resultType() == NCResultTypeError) {
        setErrorValue(result->errorType(), NBFRangeMake(0, NBFRangeLengthMax));
        if (m_list) m_list->variableDidUpdateValue(this, localizedValue());
        return;
    }
    if (setDelocalizedValue(result->completeStringValue(), result->flags(), result->unit()) &&
        m_list)
        m_list->variableDidUpdateValue(this, localizedValue());
}

void NCVariable::setEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    if (m_list) m_list->variableDidChangeEnabledState(this, enabled);
}

std::optional<std::u16string> NCVariable::localizedValue() const {
    if (!m_localizedValue)
        m_localizedValue = localizedValueFromDelocalizedValue(delocalizedValue());
    return m_localizedValue;
}

bool NCVariable::setLocalizedValue(const std::optional<std::u16string>& text) {
    std::optional<std::u16string> value = text && !text->empty() ? text : std::nullopt;
    // Only an unscoped value can be judged by the cache: a line may hold another.
    if (value && m_localizedValue && *value == *m_localizedValue && !m_hasScopedValues)
        return false;
    setDelocalizedValue(delocalizedValueFromLocalizedValue(value), resultFlags(), m_unit);
    m_localizedValue = value;
    return true;
}

void NCVariable::setValue(const std::optional<std::u16string>& text) {
    if (setLocalizedValue(text) && m_list) m_list->variableDidUpdateValue(this, localizedValue());
}

std::optional<std::u16string> NCVariable::displayValue() const {
    std::optional<std::u16string> value = localizedValue();
    if (!value) return value;
    if (resultFlags() & NCResultFlagPercentage) return *value + u"%";
    if (!m_unit) return value;
    double number = 0;
    const std::string digits = utf8Text(delocalizedValue());
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    const bool one = error == std::errc() && end == digits.data() + digits.size() && number == 1.0;
    auto unitName = m_unit->nameForFormat(NCUnitNameFormatName,
                                          one ? NCUnitNameFormSingular : NCUnitNameFormPlural);
    return *value + u" " + unitName.value_or(u"");
}

void NCVariable::setUnitNameSingular(const std::u16string& name) {
    auto units = NCUnitCollection::sharedManager();
    if (auto unit = units ? units->unitWithName(name) : nullptr) setUnit(unit);
}

void NCVariable::setLocaleWithDecimalPoint(char16_t decimalPoint, char16_t thousandsSeparator) {
    if (decimalPoint == thousandsSeparator || (decimalPoint == m_dp && thousandsSeparator == m_th))
        return;
    const std::optional<std::u16string> text = localizedValue();
    m_dp = decimalPoint;
    m_th = thousandsSeparator;
    setDelocalizedValue(delocalizedValueFromLocalizedValue(text), resultFlags(), m_unit);
    m_localizedValue = text;
    if (m_list) m_list->variableDidUpdateValue(this, text);
}

void NCVariable::convertToLocaleWithDecimalPoint(char16_t decimalPoint,
                                                 char16_t thousandsSeparator) {
    if (decimalPoint == thousandsSeparator || (decimalPoint == m_dp && thousandsSeparator == m_th))
        return;
    m_dp = decimalPoint;
    m_th = thousandsSeparator;
    m_localizedValue.reset();
    setValue(localizedValueFromDelocalizedValue(delocalizedValue()));
}

std::optional<std::u16string> NCVariable::delocalizedValueFromLocalizedValue(
    const std::optional<std::u16string>& text) const {
    if (!text) return text;
    auto expression = NCExpression::create(*text);
    expression->setLocaleWithDecimalPoint(m_dp, m_th);
    return expression->delocalizedString();
}

std::optional<std::u16string> NCVariable::localizedValueFromDelocalizedValue(
    const std::optional<std::u16string>& text) const {
    if (!text) return text;
    auto expression = NCExpression::create(*text);
    expression->convertToLocaleWithDecimalPoint(m_dp, m_th);
    return expression->originalString();
}

bool NCVariable::validateName(const std::optional<std::u16string>& name, NSError* error) {
    const char16_t* description = nullptr;
    const char16_t* suggestion = nullptr;
    if (!name || name->empty()) {
        description = u"A variable must have a name.";
        suggestion = u"Please give the variable a name and try again.";
    } else if (name->find(u' ') != std::u16string::npos) {
        description = u"A variable cannot have more than one word.";
        suggestion = u"Please do not use a space in your variable name.";
    }
    if (!description) return true;
    if (error)
        *error = NSError::withDomain(NSCocoaErrorDomain, NSKeyValueValidationError,
                                     NSLocalizedString(description), NSLocalizedString(suggestion));
    return false;
}

bool NCVariable::validateValue(std::optional<std::u16string>& value, NSError*) const {
    if (!value) {
        value = u"1.0";
        return true;
    }
    std::shared_ptr<NCEvaluator> evaluator = NCEvaluator::sharedEvaluator();
    if (!evaluator)
        evaluator =
            std::make_shared<NCEvaluator>(nullptr, NCVariableList::listWithStandardVariables());
    auto result = evaluator->evaluateExpression(NCExpression::create(*value, {m_dp, m_th}));
    NCResultFormattingOptions options;
    options.setDisplayFormat(NCDisplayFormatNormal);
    options.thousandsSeparator = false;
    options.thousandsSeparatorCharacter = m_th;
    options.decimalPlaceCharacter = m_dp;
    options.showPercentSign = false;
    options.showUnit = false;
    std::optional<std::u16string> text =
        NCResultFormatter::sharedInstance().stringValueForResult(result.get(), &options);
    if (text)
        for (size_t at = text->find(u"*10^"); at != std::u16string::npos;
             at = text->find(u"*10^", at))
            text->replace(at, 4, u"e");
    value = text;
    return true;
}

void NCVariable::loadFromDictionaryRepresentation(
    const std::map<std::u16string, NCVariableProperty>&) {
    logLine("Shouldn't be called, does nothing");
}

void NCVariable::setValueForUndefinedKey(const NCVariableProperty&, const std::u16string& key) {
    logLine("Warning trying to set key " + utf8Text(key) + " on a variable");
}

std::shared_ptr<NCVariable> NCVariable::copy() const {
    auto variable = std::make_shared<NCVariable>(name(), nullptr);
    variable->m_dp = m_dp;
    variable->m_th = m_th;
    variable->setDelocalizedValue(delocalizedValue(), resultFlags(), m_unit);
    return variable;
}

size_t NCVariable::hash() const { return std::hash<std::u16string>()(name().value_or(u"")); }

bool NCVariable::isEqual(const NCVariable* other) const { return other && other->name() == name(); }

std::u16string NCVariable::description() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    std::u16string text = u"<NCVariable: ";
    for (const char* c = address; *c; ++c) text.push_back(static_cast<char16_t>(*c));
    text += u" \"" + name().value_or(u"") + u" = " + localizedValue().value_or(u"") + u"\" Unit:";
    text += m_unit ? m_unit->nameForFormat(NCUnitNameFormatName).value_or(u"(null)") : u"(null)";
    return text + u">";
}

std::map<std::u16string, NCVariableProperty> NCVariable::dictionaryRepresentation() const {
    std::map<std::u16string, NCVariableProperty> properties;
    properties[u"value"] = delocalizedValue().value_or(u"");
    if (auto list = aliases(); !list.empty()) properties[u"aliases"] = list;
    properties[u"name"] = name().value_or(u"");
    if (m_unit)
        if (auto identifier =
                NCUnitStringFormatter().stringForUnit(m_unit.get(), 4, NCUnitNameFormSingular))
            properties[u"unitIdentifier"] = *identifier;
    if (NCResultFlags flags = resultFlags())
        properties[u"resultFlags"] = static_cast<int64_t>(flags);
    properties[u"enabled"] = m_enabled;
    properties[u"type"] = static_cast<int64_t>(m_type);
    if (m_description) properties[u"infoDescription"] = *m_description;
    if (m_identifier) properties[u"identifier"] = *m_identifier;
    return properties;
}

std::shared_ptr<NCVariable> NCVariable::variableWithDictionaryRepresentation(
    const std::map<std::u16string, NCVariableProperty>& properties, const NCUnitCollection& units) {
    auto text = [&](const char16_t* key) -> std::optional<std::u16string> {
        auto found = properties.find(key);
        if (found == properties.end()) return std::nullopt;
        if (auto string = std::get_if<std::u16string>(&found->second)) return *string;
        return std::nullopt;
    };
    auto name = text(u"name");
    if (!name || name->empty()) return nullptr;
    std::shared_ptr<NCUnit> unit;
    if (auto identifier = text(u"unitIdentifier"))
        unit = unitWithIdentifierString(*identifier, units);
    NCResultFlags flags = 0;
    if (auto found = properties.find(u"resultFlags"); found != properties.end())
        if (auto number = std::get_if<int64_t>(&found->second))
            flags = static_cast<NCResultFlags>(*number);
    auto variable = variableWithName(*name, text(u"value").value_or(u"1.0"), flags, unit);
    if (auto found = properties.find(u"aliases"); found != properties.end())
        if (auto list = std::get_if<std::vector<std::u16string>>(&found->second))
            for (const auto& alias : *list) variable->addAlias(alias);
    if (auto found = properties.find(u"enabled"); found != properties.end())
        if (auto flag = std::get_if<bool>(&found->second)) variable->setEnabled(*flag);
    if (auto found = properties.find(u"type"); found != properties.end())
        if (auto number = std::get_if<int64_t>(&found->second))
            variable->setType(static_cast<int32_t>(*number));
    variable->setInfoDescription(text(u"infoDescription"));
    variable->setIdentifier(text(u"identifier"));
    return variable;
}

std::shared_ptr<NCUnit> NCVariable::unitWithIdentifierString(const std::u16string& text,
                                                             const NCUnitCollection& units) {
    if (auto whole = units.unitWithIdentifier(text)) return whole;
    // Identifiers contain "+" and "-" ("si+3-metre"), so the text is split only at the
    // connectives the identifier format writes.
    struct Part {
        std::shared_ptr<NCUnit> unit;
        int power;
    };
    std::vector<Part> parts;
    bool denominator = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(u"*/·", start);
        if (end == std::u16string::npos) end = text.size();
        std::u16string token = text.substr(start, end - start);
        while (!token.empty() && token.front() == u' ') token.erase(token.begin());
        while (!token.empty() && token.back() == u' ') token.pop_back();
        int power = 1;
        if (size_t caret = token.rfind(u'^'); caret != std::u16string::npos) {
            const std::u16string digits = token.substr(caret + 1);
            if (digits.empty() || digits.size() > 2) return nullptr;
            power = 0;
            for (char16_t c : digits) {
                if (c < u'0' || c > u'9') return nullptr;
                power = power * 10 + (c - u'0');
            }
            token.erase(caret);
        }
        auto unit = token.empty() ? nullptr : units.unitWithIdentifier(token);
        if (!unit || power < 1) return nullptr;
        parts.push_back({unit, denominator ? -power : power});
        if (end == text.size()) break;
        if (text[end] == u'/') denominator = true;
        start = end + 1;
    }
    if (parts.size() == 1 && parts[0].power == 1) return parts[0].unit;
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    for (const Part& part : parts)
        for (int i = 0; i < (part.power < 0 ? -part.power : part.power); ++i) {
            if (part.power > 0)
                NBFUnitFractionBuilderAddNumeratorUnit(builder, part.unit->nbfUnitContainer());
            else
                NBFUnitFractionBuilderAddDenominatorUnit(builder, part.unit->nbfUnitContainer());
        }
    auto unit = std::make_shared<NCValueUnit>(NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
    return unit;
}
