// One named value with a unit, flags and aliases over a foundation variable. The value lives in
// the foundation variable as delocalised text ("." decimal point, no grouping), possibly
// different by line (scope index); the localised text is cached.
#ifndef NUMBERA_CORE_NC_VARIABLE_H
#define NUMBERA_CORE_NC_VARIABLE_H

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "NBFRange.h"
#include "NBFVariable.h"
#include "NCResult.h"
#include "NCResultTypes.h"
#include "NCUnit.h"
#include "NCVariableState.h"
#include "NSError.h"

class NCVariableList;
class NCUnitCollection;

// Values of a variable's property dictionary.
typedef std::variant<std::u16string, int64_t, bool, std::vector<std::u16string>> NCVariableProperty;

class NCVariable {
  public:
    // Keeps the foundation variable (retained) and becomes its wrapper object.
    explicit NCVariable(NBFVariableRef variable);
    NCVariable(const std::optional<std::u16string>& name, const std::shared_ptr<NCResult>& result);
    virtual ~NCVariable();
    NCVariable(const NCVariable&) = delete;
    NCVariable& operator=(const NCVariable&) = delete;

    static std::shared_ptr<NCVariable> variableWithName(const std::u16string& name);
    // The value as delocalised text with flags and unit.
    static std::shared_ptr<NCVariable> variableWithName(const std::u16string& name,
                                                        const std::u16string& delocalizedValue,
                                                        NCResultFlags flags,
                                                        std::shared_ptr<NCUnit> unit);

    // Name only; the value is localised text in the variable's characters.
    static std::shared_ptr<NCVariable> variableWithName(const std::u16string& name,
                                                        const std::u16string& localizedValue);

    std::optional<std::u16string> name() const;
    // Answers the foundation's answer; a refused name changes nothing. The old name is kept
    // in the previous state and told to the list.
    bool changeName(const std::u16string& name);
    bool setName(const std::u16string& name) { return changeName(name); }
    void saveState() { prevState.updateWithVariable(*this); }
    const NCVariableState& previousState() const { return prevState; }
    void addAlias(const std::u16string& alias);
    std::vector<std::u16string> aliases() const;

    // The value in the variable's characters; cached.
    std::optional<std::u16string> localizedValue() const;
    std::optional<std::u16string> value() const { return localizedValue(); }
    // Text in the variable's characters; empty counts as none. NO when nothing was set.
    bool setLocalizedValue(const std::optional<std::u16string>& text);
    // As setLocalizedValue, and the list hears of a change.
    void setValue(const std::optional<std::u16string>& text);
    // "12%" for a percentage, "5 metres" (singular name for exactly 1) with a unit, else the value.
    std::optional<std::u16string> displayValue() const;
    void setUnitNameSingular(const std::u16string& name);
    void setUnitNameVeryShort(const std::u16string& name) { setUnitNameSingular(name); }

    char16_t decimalPoint() const { return m_dp; }
    char16_t thousandsSeparator() const { return m_th; }
    // Takes the characters and re-reads the localised text under them.
    void setLocaleWithDecimalPoint(char16_t decimalPoint, char16_t thousandsSeparator);
    // Takes the characters and rewrites the localised text into them.
    void convertToLocaleWithDecimalPoint(char16_t decimalPoint, char16_t thousandsSeparator);
    std::optional<std::u16string> delocalizedValueFromLocalizedValue(
        const std::optional<std::u16string>& text) const;
    std::optional<std::u16string> localizedValueFromDelocalizedValue(
        const std::optional<std::u16string>& text) const;

    // A missing or empty name, or one with a space, is refused with the error filled in.
    static bool validateName(const std::optional<std::u16string>& name, NSError* error);
    // Always accepted: none becomes "1.0"; other text becomes its evaluated value, written
    // plainly in the variable's characters ("e" for a power of ten).
    bool validateValue(std::optional<std::u16string>& value, NSError* error) const;

    // The unscoped value text.
    std::optional<std::u16string> delocalizedValue() const;
    std::optional<std::u16string> delocalizedValueForLineAtIndex(uint64_t index) const;
    NCResultFlags resultFlags() const;
    const std::shared_ptr<NCUnit>& unit() const { return m_unit; }
    void setUnit(std::shared_ptr<NCUnit> unit);

    // Every line; skipped when nothing differs from the unscoped value and no line holds a
    // value of its own. An empty text counts as none.
    bool setDelocalizedValue(const std::optional<std::u16string>& text, NCResultFlags flags,
                             std::shared_ptr<NCUnit> unit);
    // The lines of the scope range, always: another range may hold an older value even when
    // the unscoped text equals this one.
    bool setDelocalizedValue(const std::optional<std::u16string>& text, NCResultFlags flags,
                             std::shared_ptr<NCUnit> unit, NBFRange scopeRange);
    // A failed value for the lines of the scope range: the evaluation that gave it answered
    // the error type (not none), and so does every evaluation that reads the variable there.
    void setErrorValue(NCResultErrorType errorType, NBFRange scopeRange);
    // The failure the unscoped value is, or none.
    NCResultErrorType errorType() const;
    // A line inserted (delta 1) or removed (delta -1) at the index: the values of the lines
    // after it move with them.
    void shiftScopeIndexes(uint64_t index, int32_t delta);
    // The result's complete value, flags and unit for every line, or its failure for an error
    // result; nothing for no result. The list hears of it.
    void setResultValue(const std::shared_ptr<NCResult>& result);

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int32_t type() const { return m_type; }
    void setType(int32_t type) { m_type = type; }
    const std::optional<std::u16string>& infoDescription() const { return m_description; }
    void setInfoDescription(std::optional<std::u16string> text) { m_description = std::move(text); }
    const std::optional<std::u16string>& identifier() const { return m_identifier; }
    void setIdentifier(std::optional<std::u16string> identifier) {
        m_identifier = std::move(identifier);
    }
    void setVariableList(NCVariableList* list) { m_list = list; }
    NCVariableList* variableList() const { return m_list; }
    NBFVariableRef nbfVariable() const { return m_nbfVariable; }

    // "value", "name", "enabled", "type" and, when set, "aliases", "unitIdentifier",
    // "resultFlags", "infoDescription", "identifier".
    std::map<std::u16string, NCVariableProperty> dictionaryRepresentation() const;
    // A variable made from a property dictionary; its unit identifier is resolved unit by unit
    // in the catalogue, never read back as an expression.
    static std::shared_ptr<NCVariable> variableWithDictionaryRepresentation(
        const std::map<std::u16string, NCVariableProperty>& properties,
        const NCUnitCollection& units);
    // The unit written by dictionaryRepresentation: unit identifiers joined by "*" and "/"
    // with optional "^" powers. Null when a part is not in the catalogue.
    static std::shared_ptr<NCUnit> unitWithIdentifierString(const std::u16string& text,
                                                            const NCUnitCollection& units);
    // Variables are made from dictionaries by variableWithDictionaryRepresentation.
    void loadFromDictionaryRepresentation(
        const std::map<std::u16string, NCVariableProperty>& properties);
    void setValueForUndefinedKey(const NCVariableProperty& value, const std::u16string& key);

    // Same name, localised value, flags and unit; not in a list.
    std::shared_ptr<NCVariable> copy() const;
    size_t hash() const;
    // Variables are equal by name.
    bool isEqual(const NCVariable* other) const;
    std::u16string description() const;

  private:
    bool m_enabled = true;
    bool m_hasScopedValues = false;
    int32_t m_type = 0;
    char16_t m_dp = u'.';
    char16_t m_th = u',';
    NCVariableState prevState;
    NBFVariableRef m_nbfVariable = nullptr;
    NCVariableList* m_list = nullptr;  // not retained
    mutable std::optional<std::u16string> m_localizedValue;
    std::shared_ptr<NCUnit> m_unit;
    std::optional<std::u16string> m_description;
    std::optional<std::u16string> m_identifier;
};

#endif
