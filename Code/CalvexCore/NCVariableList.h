// A set of variables over one foundation variable list, chained to a parent list, with a
// counter that moves on every structural change so that tokenisations made against the list
// know when they are stale.
#ifndef NUMBERA_CORE_NC_VARIABLE_LIST_H
#define NUMBERA_CORE_NC_VARIABLE_LIST_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "NBFVariable.h"

class NCVariable;
class NCVariableList;

// Hears of every change of a variable of the list: renames, aliases, values, enabling.
struct NCVariableListDelegate {
    virtual ~NCVariableListDelegate() = default;
    virtual void variableDidUpdateInVariableList(NCVariable*, NCVariableList*) {}
};

class NCVariableList {
  public:
    NCVariableList() : m_nbfVariableList(NBFVariableListCreate()) {}
    ~NCVariableList() { NBFVariableListRelease(m_nbfVariableList); }
    NCVariableList(const NCVariableList&) = delete;
    NCVariableList& operator=(const NCVariableList&) = delete;

    // A list over the foundation's standard variables (pi, e), which its parent chain finds.
    static std::shared_ptr<NCVariableList> listWithStandardVariables();

    NBFVariableListRef nbfVariableList() const { return m_nbfVariableList; }
    NBFVariableListRef combinedNBFVariableList() const { return m_nbfVariableList; }

    const std::shared_ptr<NCVariableList>& parentList() const { return m_parentList; }
    // The foundation list's parent follows.
    void setParentList(std::shared_ptr<NCVariableList> parent) {
        m_parentList = std::move(parent);
        NBFVariableListSetParentList(m_nbfVariableList,
                                     m_parentList ? m_parentList->nbfVariableList() : nullptr);
    }

    // The variables of this list (not its parents').
    std::vector<std::shared_ptr<NCVariable>> variables() const { return m_variables; }
    // This list's and every ancestor's, nearest first.
    std::vector<std::shared_ptr<NCVariable>> allVariables() const;
    std::vector<std::u16string> variableNames() const;
    // Entries of the foundation list (enabled variables).
    size_t count() const {
        return static_cast<size_t>(NBFVariableListGetCountOfTopLevelVariables(m_nbfVariableList));
    }
    size_t countOfTopLevelVariables() const { return count(); }
    size_t countOfAllVariables() const { return allVariables().size(); }
    std::vector<std::u16string> aliasesOfVariableWithName(const std::u16string& name) const;
    void addVariableWithName(const std::u16string& name, const std::u16string& value);
    // Nothing when there is no such variable.
    void addAlias(const std::u16string& alias, const std::u16string& name);
    std::u16string description() const;
    // Puts an enabled variable into the foundation list too; registers a state change.
    void addVariable(const std::shared_ptr<NCVariable>& variable);
    // Takes it out of both lists; registers a state change. Null does nothing.
    void removeVariable(const std::shared_ptr<NCVariable>& variable);
    // The variable the foundation list finds (parents included), none when the case did not
    // match and case-insensitivity was not asked, or it came from a parent not searched.
    std::shared_ptr<NCVariable> variableWithName(const std::u16string& name, bool caseInsensitive,
                                                 bool searchParentList) const;
    std::shared_ptr<NCVariable> variableWithName(const std::u16string& name) const {
        return variableWithName(name, true, true);
    }
    std::shared_ptr<NCVariable> variableWithExactCaseName(const std::u16string& name) const {
        return variableWithName(name, false, true);
    }
    bool containsVariableWithName(const std::u16string& name, bool caseInsensitive,
                                  bool searchParentList) const {
        return variableWithName(name, caseInsensitive, searchParentList) != nullptr;
    }
    // Any letter case, parents searched: whether evaluation would find the name.
    bool containsVariableWithName(const std::u16string& name) const {
        return containsVariableWithName(name, true, true);
    }
    // Only the exact letter case, parents searched.
    bool containsVariableWithExactCaseName(const std::u16string& name) const {
        return containsVariableWithName(name, false, true);
    }
    bool directlyContainsVariableWithExactCaseName(const std::u16string& name) const {
        return containsVariableWithName(name, false, false);
    }
    std::optional<std::u16string> valueOfVariableWithName(const std::u16string& name) const;
    // A variable of the name is added when there is none. The value is localised text.
    void setValue(const std::u16string& value, const std::u16string& name);
    void removeVariableWithName(const std::u16string& name) {
        removeVariable(variableWithName(name));
    }
    // Empties both lists; not a state change.
    void removeAllVariables();
    // Into the set only, for variables that a parent foundation list already holds.
    void addVariableWithoutAddingToNBFVariableList(const std::shared_ptr<NCVariable>& variable);

    // From the variables of the list.
    void variableDidAddAlias(NCVariable* variable, const std::u16string& alias);
    void variableDidUpdateNameTo(NCVariable* variable, const std::optional<std::u16string>& from,
                                 const std::u16string& to);
    void variableDidUpdateValue(NCVariable* variable, const std::optional<std::u16string>& value);
    void variableDidChangeEnabledState(NCVariable* variable, bool enabled);

    NCVariableListDelegate* delegate() const { return m_delegate; }
    // Not owned; cleared by its owner.
    void setDelegate(NCVariableListDelegate* delegate) { m_delegate = delegate; }

    uint64_t stateIndicator() const { return m_stateIndicator; }
    void registerStateChange() { ++m_stateIndicator; }

  private:
    NBFVariableListRef m_nbfVariableList;
    std::vector<std::shared_ptr<NCVariable>> m_variables;
    // The same variables by address: adding and finding by name stay constant-time, so that a
    // list of many thousand variables loads in linear time.
    std::unordered_map<const NCVariable*, std::shared_ptr<NCVariable>> m_variablesByAddress;
    uint64_t m_stateIndicator = 0;
    NCVariableListDelegate* m_delegate = nullptr;
    std::shared_ptr<NCVariableList> m_parentList;
};

#endif
