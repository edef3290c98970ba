#include "NCVariableList.h"

#include <algorithm>
#include <cstdio>

#include "NBFStandardVariables.h"
#include "NCUtilityFunctions.h"
#include "NCVariable.h"

std::shared_ptr<NCVariableList> NCVariableList::listWithStandardVariables() {
    auto list = std::make_shared<NCVariableList>();
    NBFVariableListSetParentList(list->nbfVariableList(),
                                 NBFStandardVariablesGetSharedListReference());
    return list;
}

void NCVariableList::addVariable(const std::shared_ptr<NCVariable>& variable) {
    if (!variable) return;
    addVariableWithoutAddingToNBFVariableList(variable);
    if (variable->enabled()) NBFVariableListAddVariable(m_nbfVariableList, variable->nbfVariable());
}

void NCVariableList::addVariableWithoutAddingToNBFVariableList(
    const std::shared_ptr<NCVariable>& variable) {
    if (!variable) return;
    if (m_variablesByAddress.emplace(variable.get(), variable).second)
        m_variables.push_back(variable);
    variable->setVariableList(this);
    registerStateChange();
}

void NCVariableList::removeAllVariables() {
    NBFVariableListRemoveAll(m_nbfVariableList);
    for (const auto& variable : m_variables)
        if (variable->variableList() == this) variable->setVariableList(nullptr);
    m_variables.clear();
    m_variablesByAddress.clear();
}

std::optional<std::u16string> NCVariableList::valueOfVariableWithName(
    const std::u16string& name) const {
    auto variable = variableWithName(name);
    return variable ? variable->value() : std::nullopt;
}

void NCVariableList::variableDidAddAlias(NCVariable* variable, const std::u16string&) {
    registerStateChange();
    if (m_delegate) m_delegate->variableDidUpdateInVariableList(variable, this);
}

void NCVariableList::variableDidUpdateNameTo(NCVariable* variable,
                                             const std::optional<std::u16string>& from,
                                             const std::u16string& to) {
    if (from && *from == to) return;
    registerStateChange();
    if (m_delegate) m_delegate->variableDidUpdateInVariableList(variable, this);
}

void NCVariableList::variableDidUpdateValue(NCVariable* variable,
                                            const std::optional<std::u16string>&) {
    if (m_delegate) m_delegate->variableDidUpdateInVariableList(variable, this);
}

void NCVariableList::variableDidChangeEnabledState(NCVariable* variable, bool enabled) {
    registerStateChange();
    if (enabled)
        NBFVariableListAddVariable(m_nbfVariableList, variable->nbfVariable());
    else
        NBFVariableListRemoveVariable(m_nbfVariableList, variable->nbfVariable());
    if (m_delegate) m_delegate->variableDidUpdateInVariableList(variable, this);
}

void NCVariableList::removeVariable(const std::shared_ptr<NCVariable>& variable) {
    if (!variable) return;
    NBFVariableListRemoveVariable(m_nbfVariableList, variable->nbfVariable());
    if (m_variablesByAddress.erase(variable.get()))
        m_variables.erase(std::remove(m_variables.begin(), m_variables.end(), variable),
                          m_variables.end());
    if (variable->variableList() == this) variable->setVariableList(nullptr);
    registerStateChange();
}

std::shared_ptr<NCVariable> NCVariableList::variableWithName(const std::u16string& name,
                                                             bool caseInsensitive,
                                                             bool searchParentList) const {
    NBF::Ref<NBF::String> string = NCNBFStringFromNSStringReference(name);
    bool exactCase = false, foundInParent = false;
    NBFVariableRef found = NBFVariableListFindVariableByName(m_nbfVariableList, string.get(),
                                                             &exactCase, &foundInParent);
    if (!found || (!caseInsensitive && !exactCase) || (!searchParentList && foundInParent))
        return nullptr;
    auto* wrapper = static_cast<NCVariable*>(NBFVariableGetWrapperObject(found));
    if (!wrapper) return nullptr;
    for (const NCVariableList* list = this; list; list = list->parentList().get())
        if (auto held = list->m_variablesByAddress.find(wrapper);
            held != list->m_variablesByAddress.end())
            return held->second;
    return nullptr;
}

void NCVariableList::setValue(const std::u16string& value, const std::u16string& name) {
    if (auto variable = variableWithName(name)) {
        variable->setValue(value);
        return;
    }
    addVariable(NCVariable::variableWithName(name, value));
}

std::vector<std::shared_ptr<NCVariable>> NCVariableList::allVariables() const {
    std::vector<std::shared_ptr<NCVariable>> all;
    for (const NCVariableList* list = this; list; list = list->parentList().get())
        all.insert(all.end(), list->m_variables.begin(), list->m_variables.end());
    return all;
}

std::vector<std::u16string> NCVariableList::variableNames() const {
    std::vector<std::u16string> names;
    for (const auto& variable : m_variables)
        if (auto name = variable->name()) names.push_back(*name);
    return names;
}

std::vector<std::u16string> NCVariableList::aliasesOfVariableWithName(
    const std::u16string& name) const {
    auto variable = variableWithName(name);
    return variable ? variable->aliases() : std::vector<std::u16string>();
}

void NCVariableList::addVariableWithName(const std::u16string& name, const std::u16string& value) {
    addVariable(NCVariable::variableWithName(name, value));
}

void NCVariableList::addAlias(const std::u16string& alias, const std::u16string& name) {
    if (auto variable = variableWithName(name)) variable->addAlias(alias);
}

std::u16string NCVariableList::description() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    std::u16string text = u"<NCVariableList: ";
    for (const char* c = address; *c; ++c) text.push_back(static_cast<char16_t>(*c));
    text += u">(\n";
    for (const auto& variable : m_variables) text += variable->description() + u"\n";
    return text + u")\n";
}
