// The names an expression can use — functions, variables, units and word operators — gathered
// into one namespace that says what a run of words names, and which kind wins when several do.
#ifndef NUMBERA_FOUNDATION_NBF_NAMESPACE_H
#define NUMBERA_FOUNDATION_NBF_NAMESPACE_H

#include <cstdint>

#include "NBFAmbiguousUnit.h"
#include "NBFFunctionList.h"
#include "NBFString.h"
#include "NBFUnitCollection.h"
#include "NBFUnitContainer.h"
#include "NBFUnitFraction.h"
#include "NBFUnitType.h"
#include "NBFVariable.h"
#include "NBFWordOperatorList.h"

struct NBFUnitCollection;
typedef NBFUnitCollection* NBFUnitCollectionRef;
struct NBFNamespace;
typedef NBFNamespace* NBFNamespaceRef;

typedef int32_t NBFNamespaceType;
enum : NBFNamespaceType {
    kNBFNamespaceTypeNone = 0,
    kNBFNamespaceTypeFunction = 1,
    kNBFNamespaceTypeVariable = 2,
    kNBFNamespaceTypeUnit = 3,
    kNBFNamespaceTypeWordOperator = 4,
};

// What a lookup found, each member retained for the caller (null when not found). Every
// member found is filled, not only that of the winning kind: a caller may still prefer the
// function when a unit of the same name is followed by brackets.
struct NBFNamespaceResolvedType {
    NBFUnitFractionRef unitFraction;
    NBFUnitContainerRef unitContainer;
    NBFAmbiguousUnitRef ambiguousUnit;
    NBFScopedVariableRef scopedVariable;
    NBFWordOperatorRef wordOperator;
    NBFFunctionRef function;
    NBFUnitFormatType unitFormatType;
};
// Releases the members and clears them.
void NBFNamespaceResolvedTypeRelease(NBFNamespaceResolvedType* resolvedType);

// All members null.
NBFNamespaceRef NBFNamespaceCreate();
NBFNamespaceRef NBFNamespaceRetain(NBFNamespaceRef ns);
// The last release releases every member.
void NBFNamespaceRelease(NBFNamespaceRef ns);
// Setters retain the new member and release the old; getters return it borrowed.
void NBFNamespaceSetFunctionList(NBFNamespaceRef ns, NBFFunctionListRef list);
void NBFNamespaceSetVariableList(NBFNamespaceRef ns, NBFVariableListRef list);
void NBFNamespaceSetUnitCollection(NBFNamespaceRef ns, NBFUnitCollectionRef collection);
void NBFNamespaceSetWordOperatorList(NBFNamespaceRef ns, NBFWordOperatorListRef list);
NBFFunctionListRef NBFNamespaceGetFunctionList(NBFNamespaceRef ns);
NBFVariableListRef NBFNamespaceGetVariableList(NBFNamespaceRef ns);
NBFUnitCollectionRef NBFNamespaceGetUnitCollection(NBFNamespaceRef ns);
NBFWordOperatorListRef NBFNamespaceGetWordOperatorList(NBFNamespaceRef ns);

// What the words name. Variables are resolved to their scope at lineIndex. Returns true when
// the words name something; then type and resolvedType are filled. hasLongerMatches is
// cleared and resolvedType emptied first; out pointers may be null (resolvedType null drops
// what was found).
bool NBFNamespaceGetTypeForWords(NBFNamespaceRef ns, NBFStringRef const* words, int32_t count,
                                 uint32_t lineIndex, NBFNamespaceType* type, bool* hasLongerMatches,
                                 NBFNamespaceResolvedType* resolvedType);

// The precedence between the kinds found for one run of words. Returns false when nothing
// wins; type is then set to none only when a variable and a function both match without
// exact letter case, and left as it was otherwise.
struct NBFNamespaceMatches {
    bool variable, variableExactCase;
    bool unit, unitExactCase;
    bool function, functionExactCase;
    bool wordOperator;
};
bool NBFNamespaceChooseType(const NBFNamespaceMatches& matches, NBFNamespaceType* type);

#endif
