// Named values of expressions: a variable with its name and aliases, the lists that hold
// variables by name (searched in any letter case, chained to parent lists), and the binding of
// a variable to one scope index (a line index) for an evaluation.
//
// A variable knows the lists that hold it (without retaining them) and tells them when its
// name or aliases change, so their dictionaries stay keyed correctly; a list that goes away
// takes itself off its variables first.
#ifndef NUMBERA_FOUNDATION_NBF_VARIABLE_H
#define NUMBERA_FOUNDATION_NBF_VARIABLE_H

#include <atomic>
#include <cstdint>
#include <string>

#include "NBFArray.h"
#include "NBFNumber.h"
#include "NBFRange.h"
#include "NBFString.h"
#include "NBFUnitContainer.h"
#include "NBFUnitFraction.h"
#include "NBFValue.h"
#include "NBFVariableValue.h"
#include "mapm/m_apm.h"

struct NBFVariable;
struct NBFVariableList;
struct NBFScopedVariable;
typedef NBFVariable* NBFVariableRef;
typedef NBFVariableList* NBFVariableListRef;
typedef NBFScopedVariable* NBFScopedVariableRef;

// Variables. Every operation accepts null and then does nothing or answers null, 0 or false.
NBFVariableRef NBFVariableCreate();
NBFVariableRef NBFVariableRetain(NBFVariableRef variable);
void NBFVariableRelease(NBFVariableRef variable);
// False, changing nothing, for the current name object, a null name, or a name another
// variable of an owning list (or of its parents) already has in exactly this letter case.
bool NBFVariableSetName(NBFVariableRef variable, NBFStringRef name);
NBFStringRef NBFVariableGetNameReference(NBFVariableRef variable);
// Computed on the first request and kept until the name changes.
NBFStringRef NBFVariableGetLowercaseNameReference(NBFVariableRef variable);
void NBFVariableAddAlias(NBFVariableRef variable, NBFStringRef alias);
// Removes the first alias equal to the given text.
void NBFVariableRemoveAlias(NBFVariableRef variable, NBFStringRef alias);
int32_t NBFVariableGetCountOfAliases(NBFVariableRef variable);
NBFArrayRef NBFVariableGetAliasArrayReference(NBFVariableRef variable);  // borrowed NBFStrings
// The object that wraps the variable on the caller's side; not retained.
void NBFVariableSetWrapperObject(NBFVariableRef variable, void* object);
void* NBFVariableGetWrapperObject(NBFVariableRef variable);
// Values by scope index (a line index). The unscoped value is the one at NBFRangeLengthMax;
// setting it sets every index. Each set stores a new record with an own copy of the text.
//
// A variable named name whose unscoped value is the number's text (none without a number),
// flagged as a percentage for a percentage number, with the unit container.
NBFVariableRef NBFVariableCreate(const std::string& name, NBFNumberRef number,
                                 NBFUnitContainerRef unitContainer);
void NBFVariableSetValue(NBFVariableRef variable, NBFStringRef text, uint32_t resultFlags,
                         NBFUnitContainerRef unitContainer);
// An empty or negative range changes nothing.
void NBFVariableSetValueForScopeRange(NBFVariableRef variable, NBFStringRef text,
                                      uint32_t resultFlags, NBFUnitContainerRef unitContainer,
                                      NBFRange range);
// A value that is a failure: the evaluation that gave it failed with the error (not none), so
// an evaluation reading the variable over the range fails with that error too. No text, no
// unit. An empty or negative range changes nothing.
void NBFVariableSetEvaluationErrorForScopeRange(NBFVariableRef variable, NBFEvaluationError error,
                                                NBFRange range);
// A line inserted (delta 1) or removed (delta -1) at the scope index: the scoped values after
// it move with their lines (NBFIndexRangeMapShiftIndexes).
void NBFVariableShiftScopeIndexes(NBFVariableRef variable, uint32_t index, int32_t delta);
// Every index takes the unscoped value's text and unit with these flags.
void NBFVariableSetResultFlags(NBFVariableRef variable, uint32_t resultFlags);
// Readers answer null or 0 where no value covers the index. Everything is borrowed from the
// value record, valid until a later set replaces it.
NBFStringRef NBFVariableGetValueReference(NBFVariableRef variable);
NBFStringRef NBFVariableGetValueReferenceForScopeIndex(NBFVariableRef variable, uint32_t index);
// The number the text reads as, made on the first request; null when the text is not a
// decimal number.
M_APM NBFVariableGetValueMAPMReference(NBFVariableRef variable);
M_APM NBFVariableGetValueMAPMReferenceForScopeIndex(NBFVariableRef variable, uint32_t index);
// A new number the caller releases: a percentage when the flags say so; infinity, negative
// infinity or not-a-number for the texts "inf", "-inf" and "nan"; null for other text that is
// not a number.
NBFNumberRef NBFVariableCreateValueNumber(NBFVariableRef variable);
NBFNumberRef NBFVariableCreateValueNumberForScopeIndex(NBFVariableRef variable, uint32_t index);
NBFUnitContainerRef NBFVariableGetUnitContainerReference(NBFVariableRef variable);
NBFUnitContainerRef NBFVariableGetUnitContainerReferenceForScopeIndex(NBFVariableRef variable,
                                                                      uint32_t index);
NBFUnitFractionRef NBFVariableGetUnitFractionReference(NBFVariableRef variable);
NBFUnitFractionRef NBFVariableGetUnitFractionReferenceForScopeIndex(NBFVariableRef variable,
                                                                    uint32_t index);
uint32_t NBFVariableGetResultFlags(NBFVariableRef variable);
uint32_t NBFVariableGetResultFlagsForScopeIndex(NBFVariableRef variable, uint32_t index);
// The failure the value is, or none (also where no value covers the index).
NBFEvaluationError NBFVariableGetEvaluationError(NBFVariableRef variable);
NBFEvaluationError NBFVariableGetEvaluationErrorForScopeIndex(NBFVariableRef variable,
                                                              uint32_t index);
// Debugging: the variable and, for each distinct value, its text, unit fraction and the index
// ranges it covers, on standard output.
void NBFVariablePrint(NBFVariableRef variable);

// Kept by the lists themselves: record the list (once) among, or remove it from, the lists
// the variable reports its changes to.
void _NBFVariableAddOwningList(NBFVariableRef variable, NBFVariableListRef list);
void _NBFVariableRemoveOwningList(NBFVariableRef variable, NBFVariableListRef list);

// Lists. Each dictionary entry holds one reference to its variable.
NBFVariableListRef NBFVariableListCreate();
NBFVariableListRef NBFVariableListRetain(NBFVariableListRef list);
// The last release releases every held variable and the parent list.
void NBFVariableListRelease(NBFVariableListRef list);
// Stores the variable under its name and each of its aliases, releasing what it replaces.
void NBFVariableListAddVariable(NBFVariableListRef list, NBFVariableRef variable);
// Only when the list holds this very variable under its name.
void NBFVariableListRemoveVariable(NBFVariableListRef list, NBFVariableRef variable);
void NBFVariableListRemoveAll(NBFVariableListRef list);
// Names first, then aliases, then (with searchParent) the parent chain the same way. The
// borrowed variable or null; exactCase tells whether the key matched in its letter case,
// foundInParent whether a parent answered. Either out pointer may be null.
NBFVariableRef NBFVariableListFindVariableByNameAndLowercaseName(NBFVariableListRef list,
                                                                 NBFStringRef name,
                                                                 NBFStringRef lowercaseName,
                                                                 bool searchParent, bool* exactCase,
                                                                 bool* foundInParent);
NBFVariableRef NBFVariableListFindVariableByName(NBFVariableListRef list, NBFStringRef name,
                                                 bool* exactCase, bool* foundInParent);
NBFVariableRef NBFVariableListGetVariableByName(NBFVariableListRef list, NBFStringRef name);
bool NBFVariableListContains(NBFVariableListRef list, NBFStringRef name);
bool NBFVariableListContainsVariable(NBFVariableListRef list, NBFVariableRef variable);
int32_t NBFVariableListGetCount(NBFVariableListRef list);
int32_t NBFVariableListGetCountOfTopLevelVariables(NBFVariableListRef list);
// The list's own variables plus those of every ancestor.
int32_t NBFVariableListGetCountOfVariables(NBFVariableListRef list);
// A new array (released by the caller) of the borrowed variables held under their names.
NBFArrayRef NBFVariableListCopyTopLevelVariables(NBFVariableListRef list);
// Retains the new parent and releases the old. A parent whose chain leads back to the list
// is refused, so searches always end.
void NBFVariableListSetParentList(NBFVariableListRef list, NBFVariableListRef parent);
NBFVariableListRef NBFVariableListGetParentList(NBFVariableListRef list);
// The shared list of standard variables (see NBFStandardVariables.h).
NBFVariableListRef NBFVariableListGetStandardList();
// A new scoped variable the caller releases; null for a null list or variable.
NBFScopedVariableRef NBFVariableListResolveScope(NBFVariableListRef list, NBFVariableRef variable,
                                                 uint32_t scopeIndex);
// Notifications from variables.
bool _NBFVariableListVariableCanChangeName(NBFVariableListRef list, NBFVariableRef variable,
                                           NBFStringRef newName);
void _NBFVariableListVariableDidChangeName(NBFVariableListRef list, NBFVariableRef variable,
                                           NBFStringRef oldName, NBFStringRef oldLowercaseName);
void _NBFVariableListVariableDidChangeAlias(NBFVariableListRef list, NBFVariableRef variable,
                                            NBFStringRef oldAlias, NBFStringRef newAlias);

// Scoped variables: a variable (retained) bound to one scope index.
NBFScopedVariableRef NBFScopedVariableCreate(NBFVariableRef variable, uint32_t scopeIndex);
NBFScopedVariableRef NBFScopedVariableRetain(NBFScopedVariableRef scopedVariable);
void NBFScopedVariableRelease(NBFScopedVariableRef scopedVariable);
NBFVariableRef NBFScopedVariableGetVariable(NBFScopedVariableRef scopedVariable);  // borrowed
uint32_t NBFScopedVariableGetScopeIndex(NBFScopedVariableRef scopedVariable);
// The variable's value at the scope index, with the unit's multiplier recomputed from its
// units. The texts "inf", "-inf" and "nan" give those special numbers; no text, or text that
// is not a number, gives not-a-number (with the unit, if there is one).
// Borrowed: valid until the next call or the scoped variable's release. Null for null.
NBFValueRef NBFScopedVariableGetValue(NBFScopedVariableRef scopedVariable);
// The failure the value at the scope index is, or none; an evaluation that reads the variable
// fails with it instead of reading a value.
NBFEvaluationError NBFScopedVariableGetEvaluationError(NBFScopedVariableRef scopedVariable);

#endif
