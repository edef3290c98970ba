#include "NCVariableList.h"

#include <algorithm>

#include "NBFStandardVariables.h"
#include "NCUtilityFunctions.h"
#include "NCVariable.h"

std::shared_ptr<NCVariableList> NCVariableList::listWithStandardVariables() {
    auto list = std::make_shared<NCVariableList>();
    NBFVariableListSetParentList(list->nbfVariableList(), NBFStandardVariablesGetSharedListReference());
    return list;
}

void NCVariableList::addVariable(const std::shared_ptr<NCVariable>& variable) {
    if (!variable) return;
    if (std::find(i_variables.begin(), i_variables.end(), variable) == i_variables.end())
        i_variables.push_back(variable);
    variable->setVariableList(this);
    registerStateChange();
    if (variable->enabled()) NBFVariableListAddVariable(nbfVariableList_, variable->nbfVariable());
}

void NCVariableList::removeVariable(const std::shared_ptr<NCVariable>& variable) {
    if (!variable) return;
    NBFVariableListRemoveVariable(nbfVariableList_, variable->nbfVariable());
    i_variables.erase(std::remove(i_variables.begin(), i_variables.end(), variable),
                      i_variables.end());
    if (variable->variableList() == this) variable->setVariableList(nullptr);
    registerStateChange();
}

std::shared_ptr<NCVariable> NCVariableList::variableWithName(const std::u16string& name,
                                                             bool caseInsensitive,
                                                             bool searchParentList) const {
    NBF::Ref<NBF::String> string = NCNBFStringFromNSStringReference(name);
    bool exactCase = false, foundInParent = false;
    NBFVariableRef found =
        NBFVariableListFindVariableByName(nbfVariableList_, string.get(), &exactCase, &foundInParent);
    if (!found || (!caseInsensitive && !exactCase) || (!searchParentList && foundInParent))
        return nullptr;
    auto* wrapper = static_cast<NCVariable*>(NBFVariableGetWrapperObject(found));
    if (!wrapper) return nullptr;
    for (const NCVariableList* list = this; list; list = list->parentList().get())
        for (const auto& variable : list->i_variables)
            if (variable.get() == wrapper) return variable;
    return nullptr;
}

void NCVariableList::setValue(const std::u16string& delocalizedValue, const std::u16string& name) {
    if (auto variable = variableWithName(name)) {
        variable->setDelocalizedValue(delocalizedValue, variable->resultFlags(), variable->unit());
        return;
    }
    addVariable(NCVariable::variableWithName(name, delocalizedValue, 0, nullptr));
}
