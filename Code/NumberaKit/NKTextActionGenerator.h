// Classifies an edit the text view is about to make (a replaced range and its replacement)
// into a text action: which lines the collection must append, insert, remove, re-read and
// redraw, and which relative line references move. Every question it asks of the metrics and
// of the line collection describes the text as it stands before the edit.
#ifndef NUMBERA_KIT_NK_TEXT_ACTION_GENERATOR_H
#define NUMBERA_KIT_NK_TEXT_ACTION_GENERATOR_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NCLineCollection.h"
#include "NKTextAction.h"
#include "NKTextViewMetrics.h"

// Bits of a line-set request (setForRequest).
enum : uint32_t {
    NKLineSetCurrent = 0x1,           // C
    NKLineSetPrevious = 0x2,          // C - 1
    NKLineSetNext = 0x4,              // C + 1
    NKLineSetFollowing = 0x8,         // C + 1 ... M - 1
    NKLineSetToOneBeforeLast = 0x10,  // M = N - 1
    NKLineSetToOnePastLast = 0x20,    // M = N + 1
    NKLineSetWithPastedLines = 0x40,  // M = N + K - 1
    NKLineSetPastedLines = 0x100,     // C + 1 ... C + K - 1
    NKLineSetTouched = 0x200,
    NKLineSetTouchedWithoutFirst = 0x400,
    NKLineSetTouchedWithoutLast = 0x800,
    NKLineSetTouchedWithoutSecond = 0x1000,
    NKLineSetLineOfStart = 0x2000,     // line(L)
    NKLineSetLineOfEnd = 0x4000,       // line(E)
    NKLineSetLineAfterStart = 0x8000,  // line(L) + 1
    NKLineSetFirstContaining = 0x10000,
};

class NKTextActionGenerator {
  public:
    NKTextActionGenerator() = default;
    explicit NKTextActionGenerator(std::shared_ptr<NKTextViewMetrics> metrics)
        : m_metrics(std::move(metrics)) {}

    const std::shared_ptr<NKTextViewMetrics>& metrics() const { return m_metrics; }
    void setMetrics(std::shared_ptr<NKTextViewMetrics> metrics) { m_metrics = std::move(metrics); }
    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    void setLineCollection(std::shared_ptr<NCLineCollection> collection) {
        m_lineCollection = std::move(collection);
    }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // One action per range; a range that yields none gets a type 19 action with no sets.
    std::vector<NKTextAction> textActionsForRanges(const std::vector<NSRange>& ranges,
                                                   const std::vector<std::u16string>& strings);
    // None while disabled.
    std::optional<NKTextAction> textActionForRange(NSRange range, const std::u16string& string);
    const std::vector<NKTextAction>& lastTextActions() const { return m_lastTextActions; }
    std::optional<NKTextAction> lastTextAction() const;

    NSIndexSet setForRequest(uint32_t request, const NKTextAction& action);

    bool wholeOfTopLineInSelectionInTextAction(const NKTextAction& action);
    bool anyOfBottomLineContentInSelectionInTextAction(const NKTextAction& action);
    bool wholeOfBottomLineInSelectionInTextAction(const NKTextAction& action);
    void resetCaches();

    bool processSingleCharactersInTextAction(NKTextAction& action);
    bool processMultipleCharactersInTextAction(NKTextAction& action);
    bool processDeletionsInTextAction(NKTextAction& action);
    void processTokenChangesInTextAction(NKTextAction& action);

    // A replay transcript of the text, the edit and the action, for diagnosing.
    std::u16string unitTestFromTextAction(const NKTextAction& action);

  private:
    // Text typed or pasted without a line break: the touched lines are re-read, and a
    // selection across lines takes the lines after the first with it.
    void classifyTypingWithinLines(NKTextAction& action, bool overSelection, NKTextActionType typed,
                                   NKTextActionType replacingLines);
    NSIndexSet touchedLines(const NKTextAction& action);
    uint64_t lineOf(uint64_t characterIndex);

    bool m_enabled = true;
    std::vector<NKTextAction> m_lastTextActions;
    std::shared_ptr<NKTextViewMetrics> m_metrics;
    std::shared_ptr<NCLineCollection> m_lineCollection;
    std::optional<bool> m_wholeOfTopLine;
    std::optional<bool> m_anyOfBottomLineContent;
    std::optional<bool> m_wholeOfBottomLine;
};

#endif
