#include "NKTextAction.h"

#include <string>

#include "NKLog.h"

void NKTextAction::resetAllIndexSets() {
    i_isValid = true;
    i_indexesToRedraw.reset();
    i_indexesToAdd.reset();
    i_indexesToInsert.reset();
    i_indexesToRemove.reset();
    i_indexesToReevaluate.reset();
    i_lineReferencesToAdjust.reset();
    i_stringOfTextAction.reset();
    i_textActionType = NKTextActionNone;
}

bool NKTextAction::hasIndexes() const {
    return i_indexesToRedraw || i_indexesToAdd || i_indexesToInsert || i_indexesToRemove ||
           i_indexesToReevaluate;
}

bool NKTextAction::willCauseLineCountToChange() const {
    auto nonEmpty = [](const std::optional<NSIndexSet>& set) { return set && !set->empty(); };
    return nonEmpty(i_indexesToAdd) || nonEmpty(i_indexesToRemove) || nonEmpty(i_indexesToInsert);
}

std::vector<NSIndexSet> NKTextAction::indexesSets() const {
    std::vector<NSIndexSet> sets;
    for (const std::optional<NSIndexSet>* set : {&i_indexesToAdd, &i_indexesToInsert,
                                                 &i_indexesToRedraw, &i_indexesToRemove,
                                                 &i_indexesToReevaluate})
        if (*set) sets.push_back(**set);
    return sets;
}

std::u16string NKTextAction::textActionDescriptionForType(NKTextActionType type) {
    switch (type) {
        case 0: return u"NKTextActionAddedSingleCharacter";
        case 1: return u"NKTextActionAddedMultipleCharacters";
        case 2: return u"NKTextActionAddedNewLineToEnd";
        case 3: return u"NKTextActionInsertedNewLineAbove";
        case 4: return u"NKTextActionInsertedNewLineBelow";
        case 5: return u"NKTextActionInsertedNewLineMidway";
        case 6: return u"NKTextActionInsertedNewLineOverSelection";
        case 7: return u"NKTextActionManyLinesAddedToEnd";
        case 8: return u"NKTextActionManyLinesInsertedSomewhere";
        case 9: return u"NKTextActionPastedManyLinesOverSelection";
        case 10: return u"NKTextActionDeletedSingleCharacter";
        case 11: return u"NKTextActionDeletedMultipleCharacters";
        case 12: return u"NKTextActionDeletedLineFromEnd";
        case 13: return u"NKTextActionDeletedLineSomewhere";
        case 14: return u"NKTextActionManyLinesDeletedFromEnd";
        case 15: return u"NKTextActionManyLinesDeletedFromSomewhere";
        case 16:
        case 17: return u"NKTextActionAddedCharacterReplacingMultipleLines";
        case 18: return u"NKTextActionNone";
        case 19: return u"NKTextActionScrewy";
        default: return u"Undefined Text Action";
    }
}

std::u16string NKTextAction::textActionDescription() const {
    return textActionDescriptionForType(i_textActionType);
}

namespace {
std::u16string ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }
}  // namespace

std::u16string NKIndexSetDescription(const std::optional<NSIndexSet>& set) {
    if (!set) return u"(null)";
    std::string text = "[number of indexes: " + std::to_string(set->count()) + " (in " +
                       std::to_string(set->ranges().size()) + " ranges), indexes: (";
    bool first = true;
    for (NSRange range : set->ranges()) {
        if (!first) text += " ";
        first = false;
        text += std::to_string(range.location);
        if (range.length > 1) text += "-" + std::to_string(range.location + range.length - 1);
    }
    return ascii(text + ")]");
}

std::u16string NKTextAction::description() const {
    return u"\nType: " + textActionDescription() + u"\n IndexesToAdd: " +
           NKIndexSetDescription(i_indexesToAdd) + u"\n indexesToInsert: " +
           NKIndexSetDescription(i_indexesToInsert) + u"\n indexesToRemove: " +
           NKIndexSetDescription(i_indexesToRemove) + u"\n indexesToReevaluate: " +
           NKIndexSetDescription(i_indexesToReevaluate) + u"\n IndexesToRedraw: " +
           NKIndexSetDescription(i_indexesToRedraw) + u"\n";
}

bool NKTextAction::isEqual(const NKTextAction& other) const {
    if (i_textActionType != other.i_textActionType) {
        NKLog("Action Types Are Different");
        return false;
    }
    struct Check {
        const std::optional<NSIndexSet>& mine;
        const std::optional<NSIndexSet>& theirs;
        const char* message;
    };
    const Check checks[] = {
        {i_indexesToAdd, other.i_indexesToAdd, "Indexes to Add Are Different"},
        {i_indexesToInsert, other.i_indexesToInsert, "Indexes to Insert Are Different"},
        {i_indexesToRemove, other.i_indexesToRemove, "Indexes to Remove Are Different"},
        {i_indexesToReevaluate, other.i_indexesToReevaluate,
         "Indexes to Reevaluate Are Different"},
        {i_indexesToRedraw, other.i_indexesToRedraw, "Indexes to Redraw Are Different"},
    };
    for (const Check& check : checks) {
        if (check.mine.has_value() != check.theirs.has_value() ||
            (check.mine && *check.mine != *check.theirs)) {
            NKLog("%s", check.message);
            return false;
        }
    }
    if (!i_lineReferencesToAdjust || !other.i_lineReferencesToAdjust) return true;
    const NKLineReferenceAdjustment& a = *i_lineReferencesToAdjust;
    const NKLineReferenceAdjustment& b = *other.i_lineReferencesToAdjust;
    return a.range == b.range &&
           static_cast<int32_t>(a.lineIndex) == static_cast<int32_t>(b.lineIndex) &&
           static_cast<int32_t>(a.offsetChange) == static_cast<int32_t>(b.offsetChange);
}
