#include "NBFNamespace.h"

#include <vector>

#include "NBFObject.h"
#include "NBFUnitCollection.h"

struct NBFNamespace : NBF::Object<NBFNamespace> {
    ~NBFNamespace() override;
    NBFFunctionListRef functionList = nullptr;
    NBFVariableListRef variableList = nullptr;
    NBFUnitCollectionRef unitCollection = nullptr;
    NBFWordOperatorListRef wordOperatorList = nullptr;
};

void NBFNamespaceResolvedTypeRelease(NBFNamespaceResolvedType* resolvedType) {
    if (!resolvedType) return;
    NBFUnitFractionRelease(resolvedType->unitFraction);
    NBFUnitContainerRelease(resolvedType->unitContainer);
    NBFAmbiguousUnitRelease(resolvedType->ambiguousUnit);
    NBFScopedVariableRelease(resolvedType->scopedVariable);
    NBFWordOperatorRelease(resolvedType->wordOperator);
    NBFFunctionRelease(resolvedType->function);
    *resolvedType = {};
}

NBFNamespaceRef NBFNamespaceCreate() { return new NBFNamespace(); }

NBFNamespace::~NBFNamespace() {
    NBFFunctionListRelease(functionList);
    NBFVariableListRelease(variableList);
    NBFUnitCollectionRelease(unitCollection);
    NBFWordOperatorListRelease(wordOperatorList);
}

NBFNamespaceRef NBFNamespaceRetain(NBFNamespaceRef ns) { return NBF::retain(ns); }

void NBFNamespaceRelease(NBFNamespaceRef ns) { NBF::release(ns); }

void NBFNamespaceSetFunctionList(NBFNamespaceRef ns, NBFFunctionListRef list) {
    if (!ns || ns->functionList == list) return;
    NBFFunctionListRetain(list);
    NBFFunctionListRelease(ns->functionList);
    ns->functionList = list;
}

void NBFNamespaceSetVariableList(NBFNamespaceRef ns, NBFVariableListRef list) {
    if (!ns || ns->variableList == list) return;
    NBFVariableListRetain(list);
    NBFVariableListRelease(ns->variableList);
    ns->variableList = list;
}

void NBFNamespaceSetUnitCollection(NBFNamespaceRef ns, NBFUnitCollectionRef collection) {
    if (!ns || ns->unitCollection == collection) return;
    NBFUnitCollectionRetain(collection);
    NBFUnitCollectionRelease(ns->unitCollection);
    ns->unitCollection = collection;
}

NBFUnitCollectionRef NBFNamespaceGetUnitCollection(NBFNamespaceRef ns) {
    return ns ? ns->unitCollection : nullptr;
}

void NBFNamespaceSetWordOperatorList(NBFNamespaceRef ns, NBFWordOperatorListRef list) {
    if (!ns || ns->wordOperatorList == list) return;
    NBFWordOperatorListRetain(list);
    NBFWordOperatorListRelease(ns->wordOperatorList);
    ns->wordOperatorList = list;
}

NBFFunctionListRef NBFNamespaceGetFunctionList(NBFNamespaceRef ns) {
    return ns ? ns->functionList : nullptr;
}

NBFVariableListRef NBFNamespaceGetVariableList(NBFNamespaceRef ns) {
    return ns ? ns->variableList : nullptr;
}

NBFWordOperatorListRef NBFNamespaceGetWordOperatorList(NBFNamespaceRef ns) {
    return ns ? ns->wordOperatorList : nullptr;
}

bool NBFNamespaceChooseType(const NBFNamespaceMatches& m, NBFNamespaceType* type) {
    NBFNamespaceType chosen;
    if (m.variable && m.variableExactCase) {
        chosen = kNBFNamespaceTypeVariable;
    } else if (m.unit && m.unitExactCase) {
        chosen = kNBFNamespaceTypeUnit;
    } else if (m.function && m.functionExactCase) {
        chosen = kNBFNamespaceTypeFunction;
    } else if (m.variable && m.function) {
        // Neither wins on letter case: the name is left unresolved rather than guessed.
        if (type) *type = kNBFNamespaceTypeNone;
        return false;
    } else if (m.variable) {
        chosen = kNBFNamespaceTypeVariable;
    } else if (m.function) {
        chosen = kNBFNamespaceTypeFunction;
    } else if (m.wordOperator) {
        chosen = kNBFNamespaceTypeWordOperator;
    } else if (m.unit) {
        chosen = kNBFNamespaceTypeUnit;
    } else {
        return false;
    }
    if (type) *type = chosen;
    return true;
}

bool NBFNamespaceGetTypeForWords(NBFNamespaceRef ns, NBFStringRef const* words, int32_t count,
                                 uint32_t lineIndex, NBFNamespaceType* type, bool* hasLongerMatches,
                                 NBFNamespaceResolvedType* resolvedType) {
    if (hasLongerMatches) *hasLongerMatches = false;
    if (resolvedType) *resolvedType = {};
    if (!ns || !words || count < 1) return false;

    NBFNamespaceMatches matches{};
    NBFNamespaceResolvedType found{};
    bool singleWord = count == 1;

    if (singleWord) {
        NBFVariableRef variable = NBFVariableListFindVariableByName(
            ns->variableList, words[0], &matches.variableExactCase, nullptr);
        if (variable) {
            matches.variable = true;
            found.scopedVariable =
                NBFVariableListResolveScope(ns->variableList, variable, lineIndex);
        }
    }

    NBFWordOperatorListWordSequenceIsWordOperator(ns->wordOperatorList, words, count,
                                                  &matches.wordOperator, &found.wordOperator);
    NBFWordOperatorRetain(found.wordOperator);

    if (ns->unitCollection) {
        std::vector<NBFStringRef> wordList(words, words + count);
        bool exactCase = false;
        NBFUnitCollectionSearchResults units = NBFUnitCollectionFindUnitsMatchingWords(
            ns->unitCollection, wordList, hasLongerMatches, &exactCase);
        // A variable of the name wins over units that match only without letter case.
        if (!units.empty() && !(matches.variable && !exactCase)) {
            matches.unit = true;
            matches.unitExactCase = exactCase;
            if (units.size() == 1) {
                found.unitContainer = NBFUnitContainerRetain(units[0].unit.get());
                found.unitFraction =
                    NBFUnitFractionRetain(NBFUnitContainerGetUnitFraction(units[0].unit.get()));
                found.unitFormatType = units[0].formatType;
            } else {
                found.ambiguousUnit =
                    NBFAmbiguousUnitCreate(NBFUnitCollectionUnitsFromSearchResults(units));
            }
        }
    }

    if (singleWord) {
        found.function = NBFFunctionListFindFunctionByName(ns->functionList, words[0],
                                                           &matches.functionExactCase, nullptr);
        matches.function = found.function != nullptr;
        NBFFunctionRetain(found.function);
    }

    bool named = NBFNamespaceChooseType(matches, type);
    if (named && resolvedType) {
        *resolvedType = found;
    } else {
        NBFNamespaceResolvedTypeRelease(&found);
    }
    return named;
}
