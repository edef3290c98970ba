#include "NCVariableList.h"

#include "NBFStandardVariables.h"

std::shared_ptr<NCVariableList> NCVariableList::listWithStandardVariables() {
    auto list = std::make_shared<NCVariableList>();
    NBFVariableListSetParentList(list->nbfVariableList(), NBFStandardVariablesGetSharedListReference());
    return list;
}
