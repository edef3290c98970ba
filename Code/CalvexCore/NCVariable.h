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

    std::optional<std::u16string> name() const;
    // Answers the foundation's answer; a refused name changes nothing.
    bool changeName(const std::u16string& name);
    bool setName(const std::u16string& name) { return changeName(name); }
    void addAlias(const std::u16string& alias);
    std::vector<std::u16string> aliases() const;

    // The unscoped value text.
    std::optional<std::u16string> delocalizedValue() const;
    std::optional<std::u16string> delocalizedValueForLineAtIndex(uint64_t index) const;
    NCResultFlags resultFlags() const;
    const std::shared_ptr<NCUnit>& unit() const { return _unit; }
    void setUnit(std::shared_ptr<NCUnit> unit);

    // Every line; skipped when nothing differs from the unscoped value and no line holds a
    // value of its own. An empty text counts as none.
    bool setDelocalizedValue(const std::optional<std::u16string>& text, NCResultFlags flags,
                             std::shared_ptr<NCUnit> unit);
    // The lines of the scope range, always: another range may hold an older value even when
    // the unscoped text equals this one.
    bool setDelocalizedValue(const std::optional<std::u16string>& text, NCResultFlags flags,
                             std::shared_ptr<NCUnit> unit, NBFRange scopeRange);
    // The result's complete value, flags and unit for every line; nothing for no result.
    void setResultValue(const std::shared_ptr<NCResult>& result);

    bool enabled() const { return _enabled; }
    void setEnabled(bool enabled);
    int32_t type() const { return _type; }
    void setType(int32_t type) { _type = type; }
    const std::optional<std::u16string>& infoDescription() const { return _description; }
    void setInfoDescription(std::optional<std::u16string> text) { _description = std::move(text); }
    const std::optional<std::u16string>& identifier() const { return _identifier; }
    void setIdentifier(std::optional<std::u16string> identifier) { _identifier = std::move(identifier); }
    void setVariableList(NCVariableList* list) { i_list = list; }
    NCVariableList* variableList() const { return i_list; }
    NBFVariableRef nbfVariable() const { return nbfVariable_; }

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

  private:
    bool _enabled = true;
    bool hasScopedValues_ = false;
    int32_t _type = 0;
    NBFVariableRef nbfVariable_ = nullptr;
    NCVariableList* i_list = nullptr;  // not retained
    std::shared_ptr<NCUnit> _unit;
    std::optional<std::u16string> _description;
    std::optional<std::u16string> _identifier;
};

#endif
