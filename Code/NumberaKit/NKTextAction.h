// One edit of the calculation text (a replaced range and its replacement) described in whole
// lines: which lines to redraw, append, insert, remove and re-read, and which relative
// line-reference tokens on one line change their offset.
#ifndef NUMBERA_KIT_NK_TEXT_ACTION_H
#define NUMBERA_KIT_NK_TEXT_ACTION_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "NSIndexSet.h"
#include "NSRange.h"

typedef int32_t NKTextActionType;
enum : NKTextActionType {
    NKTextActionAddedSingleCharacter = 0,
    NKTextActionAddedMultipleCharacters = 1,
    NKTextActionAddedNewLineToEnd = 2,
    NKTextActionInsertedNewLineAbove = 3,
    NKTextActionInsertedNewLineBelow = 4,
    NKTextActionInsertedNewLineMidway = 5,
    NKTextActionInsertedNewLineOverSelection = 6,
    NKTextActionManyLinesAddedToEnd = 7,
    NKTextActionManyLinesInsertedSomewhere = 8,
    NKTextActionPastedManyLinesOverSelection = 9,
    NKTextActionDeletedSingleCharacter = 10,
    NKTextActionDeletedMultipleCharacters = 11,
    NKTextActionDeletedLineFromEnd = 12,
    NKTextActionDeletedLineSomewhere = 13,
    NKTextActionManyLinesDeletedFromEnd = 14,
    NKTextActionManyLinesDeletedFromSomewhere = 15,
    NKTextActionAddedCharacterReplacingMultipleLines = 16,
    NKTextActionAddedCharactersReplacingMultipleLines = 17,
    NKTextActionNone = 18,
    NKTextActionScrewy = 19,
};

// Keys of the adjustment as a dictionary (diagnostics and the pasteboard name them).
inline const char16_t* const NBLineIndexKey = u"NBLineIndex";
inline const char16_t* const NBRangeKey = u"NBRange";
inline const char16_t* const NBOffsetChangeKey = u"NBOffsetChange";

// The one adjustment of relative line-reference tokens an edit asks for: on line
// `lineIndex` (its index after the edit), every relative token within `range` of the line's
// stored text has `offsetChange` added to its offset.
struct NKLineReferenceAdjustment {
    int64_t lineIndex = 0;     // "NBLineIndex"
    NSRange range;             // "NBRange"
    int64_t offsetChange = 0;  // "NBOffsetChange"
    // The line the adjusted tokens stood on before the edit, when the generator knows it: the
    // controller then gives each token the exact offset to its old target's new index
    // instead of adding one change to all of them.
    std::optional<int64_t> sourceLineIndex;
    friend bool operator==(const NKLineReferenceAdjustment&,
                           const NKLineReferenceAdjustment&) = default;
};

class NKTextAction {
  public:
    NKTextAction() = default;

    bool isValid() const { return m_isValid; }
    // An absent set and an empty one differ (hasIndexes, isEqual).
    const std::optional<NSIndexSet>& indexesToRedraw() const { return m_indexesToRedraw; }
    const std::optional<NSIndexSet>& indexesToAdd() const { return m_indexesToAdd; }
    const std::optional<NSIndexSet>& indexesToInsert() const { return m_indexesToInsert; }
    const std::optional<NSIndexSet>& indexesToRemove() const { return m_indexesToRemove; }
    const std::optional<NSIndexSet>& indexesToReevaluate() const { return m_indexesToReevaluate; }
    void setIndexesToRedraw(std::optional<NSIndexSet> set) { m_indexesToRedraw = std::move(set); }
    void setIndexesToAdd(std::optional<NSIndexSet> set) { m_indexesToAdd = std::move(set); }
    void setIndexesToInsert(std::optional<NSIndexSet> set) { m_indexesToInsert = std::move(set); }
    void setIndexesToRemove(std::optional<NSIndexSet> set) { m_indexesToRemove = std::move(set); }
    void setIndexesToReevaluate(std::optional<NSIndexSet> set) {
        m_indexesToReevaluate = std::move(set);
    }
    const std::optional<NKLineReferenceAdjustment>& lineReferencesToAdjust() const {
        return m_lineReferencesToAdjust;
    }
    void setLineReferencesToAdjust(std::optional<NKLineReferenceAdjustment> adjustment) {
        m_lineReferencesToAdjust = adjustment;
    }
    // The replacement ("" for a pure deletion); none after resetAllIndexSets.
    const std::optional<std::u16string>& stringOfTextAction() const { return m_stringOfTextAction; }
    void setStringOfTextAction(std::optional<std::u16string> string) {
        m_stringOfTextAction = std::move(string);
    }
    NKTextActionType textActionType() const { return m_textActionType; }
    void setTextActionType(NKTextActionType type) { m_textActionType = type; }
    NSRange affectedRange() const { return m_affectedRange; }
    void setAffectedRange(NSRange range) { m_affectedRange = range; }

    // Valid again, every set, the adjustment and the string absent, type none.
    void resetAllIndexSets();
    void invalidate() { m_isValid = false; }

    // Any of the five sets present, even empty.
    bool hasIndexes() const;
    // Lines are added, inserted or removed.
    bool willCauseLineCountToChange() const;
    // The present sets in the order add, insert, redraw, remove, re-evaluate.
    std::vector<NSIndexSet> indexesSets() const;
    std::u16string textActionDescription() const;
    static std::u16string textActionDescriptionForType(NKTextActionType type);
    std::u16string description() const;
    // Types, then the sets (add, insert, remove, re-evaluate, redraw), then the adjustments
    // when both carry one. The first difference in type or sets is logged.
    bool isEqual(const NKTextAction& other) const;

  private:
    bool m_isValid = true;
    std::optional<NSIndexSet> m_indexesToRedraw;
    std::optional<NSIndexSet> m_indexesToAdd;
    std::optional<NSIndexSet> m_indexesToInsert;
    std::optional<NSIndexSet> m_indexesToRemove;
    std::optional<NSIndexSet> m_indexesToReevaluate;
    std::optional<NKLineReferenceAdjustment> m_lineReferencesToAdjust;
    std::optional<std::u16string> m_stringOfTextAction;
    NKTextActionType m_textActionType = NKTextActionAddedSingleCharacter;
    NSRange m_affectedRange;
};

// "(null)" for no set; otherwise the indexes as "[number of indexes: n (in r ranges),
// indexes: (a-b c)]".
std::u16string NKIndexSetDescription(const std::optional<NSIndexSet>& set);

#endif
