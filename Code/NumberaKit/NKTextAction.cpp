#include "NKTextAction.h"

#include <string>

#include "NKLog.h"

void NKTextAction::resetAllIndexSets() {
    m_isValid = true;
    m_indexesToRedraw.reset();
    m_indexesToAdd.reset();
    m_indexesToInsert.reset();
    m_indexesToRemove.reset();
    m_indexesToReevaluate.reset();
    m_lineReferencesToAdjust.reset();
    m_stringOfTextAction.reset();
    m_textActionType = NKTextActionNone;
}

bool NKTextAction::hasIndexes() const {
    return m_indexesToRedraw || m_indexesToAdd || m_indexesToInsert || m_indexesToRemove ||
           m_indexesToReevaluate;
}

bool NKTextAction::willCauseLineCountToChange() const {
    auto nonEmpty = [](const std::optional<NSIndexSet>& set) { return set && !set->empty(); };
    return nonEmpty(m_indexesToAdd) || nonEmpty(m_indexesToRemove) || nonEmpty(m_indexesToInsert);
}

std::vector<NSIndexSet> NKTextAction::indexesSets() const {
    std::vector<NSIndexSet> sets;
    for (const std::optional<NSIndexSet>* set :
         {&m_indexesToAdd, &m_indexesToInsert, &m_indexesToRedraw, &m_indexesToRemove,
          &m_indexesToReevaluate})
        if (*set) sets.push_back(**set);
    return sets;
}

std::u16string NKTextAction::textActionDescriptionForType(NKTextActionType type) {
    switch (type) {
        case 0:
            return u"NKTextActionAddedSingleCharacter";
        case 1:
            return u"NKTextActionAddedMultipleCharacters";
        case 2:
            return u"NKTextActionAddedNewLineToEnd";
        case 3:
            return u"NKTextActionInsertedNewLineAbove";
        case 4:
            return u"NKTextActionInsertedNewLineBelow";
        case 5:
            return u"NKTextActionInsertedNewLineMidway";
        case 6:
            return u"NKTextActionInsertedNewLineOverSelection";
        case 7:
            return u"NKTextActionManyLinesAddedToEnd";
        case 8:
            return u"NKTextActionManyLinesInsertedSomewhere";
        case 9:
            return u"NKTextActionPastedManyLinesOverSelection";
        case 10:
            return u"NKTextActionDeletedSingleCharacter";
        case 11:
            return u"NKTextActionDeletedMultipleCharacters";
        case 12:
            return u"NKTextActionDeletedLineFromEnd";
        case 13:
            return u"NKTextActionDeletedLineSomewhere";
        case 14:
            return u"NKTextActionManyLinesDeletedFromEnd";
        case 15:
            return u"NKTextActionManyLinesDeletedFromSomewhere";
        case 16:
        case 17:
            return u"NKTextActionAddedCharacterReplacingMultipleLines";
        case 18:
            return u"NKTextActionNone";
        case 19:
            return u"NKTextActionScrewy";
        default:
            return u"Undefined Text Action";
    }
}

std::u16string NKTextAction::textActionDescription() const {
    return textActionDescriptionForType(m_textActionType);
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
           NKIndexSetDescription(m_indexesToAdd) + u"\n indexesToInsert: " +
           NKIndexSetDescription(m_indexesToInsert) + u"\n indexesToRemove: " +
           NKIndexSetDescription(m_indexesToRemove) + u"\n indexesToReevaluate: " +
           NKIndexSetDescription(m_indexesToReevaluate) + u"\n IndexesToRedraw: " +
           NKIndexSetDescription(m_indexesToRedraw) + u"\n";
}

bool NKTextAction::isEqual(const NKTextAction& other) const {
    if (m_textActionType != other.m_textActionType) {
        NKLog("Action Types Are Different");
        return false;
    }
    struct Check {
        const std::optional<NSIndexSet>& mine;
        const std::optional<NSIndexSet>& theirs;
        const char* message;
    };
    const Check checks[] = {
        {m_indexesToAdd, other.m_indexesToAdd, "Indexes to Add Are Different"},
        {m_indexesToInsert, other.m_indexesToInsert, "Indexes to Insert Are Different"},
        {m_indexesToRemove, other.m_indexesToRemove, "Indexes to Remove Are Different"},
        {m_indexesToReevaluate, other.m_indexesToReevaluate, "Indexes to Reevaluate Are Different"},
        {m_indexesToRedraw, other.m_indexesToRedraw, "Indexes to Redraw Are Different"},
    };
    for (const Check& check : checks) {
        if (check.mine.has_value() != check.theirs.has_value() ||
            (check.mine && *check.mine != *check.theirs)) {
            NKLog("%s", check.message);
            return false;
        }
    }
    if (!m_lineReferencesToAdjust || !other.m_lineReferencesToAdjust) return true;
    const NKLineReferenceAdjustment& a = *m_lineReferencesToAdjust;
    const NKLineReferenceAdjustment& b = *other.m_lineReferencesToAdjust;
    return a.range == b.range &&
           static_cast<int32_t>(a.lineIndex) == static_cast<int32_t>(b.lineIndex) &&
           static_cast<int32_t>(a.offsetChange) == static_cast<int32_t>(b.offsetChange);
}
