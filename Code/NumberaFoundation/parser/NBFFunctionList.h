// Functions by name and by alias, found in any letter case, chained to a parent list that is
// searched after this one (document lists sit over the standard functions).
#ifndef NUMBERA_FOUNDATION_NBF_FUNCTION_LIST_H
#define NUMBERA_FOUNDATION_NBF_FUNCTION_LIST_H

#include <cstdint>
#include <string>

#include "NBFFunction.h"
#include "NBFString.h"

struct NBFFunctionList;
typedef NBFFunctionList* NBFFunctionListRef;

// An empty list without parent.
NBFFunctionListRef NBFFunctionListCreate();
NBFFunctionListRef NBFFunctionListRetain(NBFFunctionListRef list);
// The last release releases every held function and the parent.
void NBFFunctionListRelease(NBFFunctionListRef list);
// Retains the new parent and releases the old. A parent whose chain leads back to the list
// is refused, so searches always end.
void NBFFunctionListSetParentList(NBFFunctionListRef list, NBFFunctionListRef parent);
// Holds one reference for the name and one per alias; functions replaced are released.
void NBFFunctionListAddFunction(NBFFunctionListRef list, NBFFunctionRef function);
// Releases every held reference; the parent stays.
void NBFFunctionListRemoveAll(NBFFunctionListRef list);
// Borrowed results, null when absent; the parents are searched too.
NBFFunctionRef NBFFunctionListGetFunctionWithName(NBFFunctionListRef list, NBFStringRef name);
NBFFunctionRef NBFFunctionListGetFunctionWithName(NBFFunctionListRef list, const std::string& name);
// exactCase: the key matched in its own letter case; foundInParent: a parent answered. Either
// out pointer may be null.
NBFFunctionRef NBFFunctionListFindFunctionByName(NBFFunctionListRef list, NBFStringRef name,
                                                 bool* exactCase, bool* foundInParent);
NBFFunctionRef NBFFunctionListFindFunctionByNameAndLowercaseName(
    NBFFunctionListRef list, NBFStringRef name, NBFStringRef lowercaseName, bool searchParents,
    bool* exactCase, bool* foundInParent);
// As NBFFunctionGetImplementationType of the function found (none when absent).
NBFFunctionImplementationType NBFFunctionListGetImplementationType(NBFFunctionListRef list,
                                                                   NBFStringRef name);
int8_t NBFFunctionListGetArgumentCount(NBFFunctionListRef list,
                                       NBFStringRef name);  // 0 when absent
// The shared standard functions (borrowed); null before they are built at start-up.
NBFFunctionListRef NBFFunctionListGetStandardList();

#endif
