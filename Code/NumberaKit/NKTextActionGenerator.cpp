#include "NKTextActionGenerator.h"

#include <algorithm>
#include <string>

#include "NKLineReferenceTokens.h"
#include "NKLog.h"
#include "NSIndexSet+Additions.h"
#include "NSString+Additions.h"

using namespace NSIndexSetAdditions;

namespace {
// Pieces of the replacement split at "\n": one more than its line breaks.
uint64_t pieceCount(const std::u16string& string) {
    return static_cast<uint64_t>(std::count(string.begin(), string.end(), u'\n')) + 1;
}

const std::u16string& replacementOf(const NKTextAction& action) {
    static const std::u16string empty;
    return action.stringOfTextAction() ? *action.stringOfTextAction() : empty;
}

// Adds first ... last - 1, nothing when the run is empty or starts below zero.
void addRun(NSIndexSet& set, int64_t first, int64_t end) {
    if (first < 0) first = 0;
    if (end > first)
        set.addIndexesInRange({static_cast<uint64_t>(first), static_cast<uint64_t>(end - first)});
}

void addIndex(NSIndexSet& set, int64_t index) {
    if (index >= 0 && static_cast<uint64_t>(index) < NSNotFound)
        set.addIndex(static_cast<uint64_t>(index));
}
}  // namespace

std::vector<NKTextAction> NKTextActionGenerator::textActionsForRanges(
    const std::vector<NSRange>& ranges, const std::vector<std::u16string>& strings) {
    std::vector<NKTextAction> actions;
    for (size_t i = 0; i < ranges.size(); ++i) {
        std::u16string string = i < strings.size() ? strings[i] : std::u16string();
        std::optional<NKTextAction> action = textActionForRange(ranges[i], string);
        if (!action) {
            NKLog("Error no text action");
            action.emplace();
            action->setStringOfTextAction(u"");
            action->setTextActionType(NKTextActionScrewy);
        }
        actions.push_back(std::move(*action));
    }
    m_lastTextActions = actions;
    return actions;
}

std::optional<NKTextAction> NKTextActionGenerator::lastTextAction() const {
    if (m_lastTextActions.empty()) return std::nullopt;
    return m_lastTextActions.front();
}

std::optional<NKTextAction> NKTextActionGenerator::textActionForRange(
    NSRange range, const std::u16string& string) {
    if (!m_enabled) return std::nullopt;
    resetCaches();
    NKTextAction action;
    action.setStringOfTextAction(string);
    action.setAffectedRange(range);
    bool classified = false;
    if (m_metrics) {
        if (string.size() == 1) {
            classified = processSingleCharactersInTextAction(action);
        } else if (string.size() >= 2) {
            classified = processMultipleCharactersInTextAction(action);
        } else {
            classified = processDeletionsInTextAction(action);
        }
    }
    if (classified) {
        processTokenChangesInTextAction(action);
    } else {
        action.setTextActionType(NKTextActionNone);
        NKLog("Warning: NKTextActionNone");
    }
    return action;
}

uint64_t NKTextActionGenerator::lineOf(uint64_t characterIndex) {
    return m_metrics ? m_metrics->indexOfLineAtCharacterIndex(characterIndex) : NSUIntegerMax;
}

NSIndexSet NKTextActionGenerator::touchedLines(const NKTextAction& action) {
    if (!m_metrics) return {};
    return m_metrics->indexesOfLinesTouchedByRange(action.affectedRange()).value_or(NSIndexSet{});
}

NSIndexSet NKTextActionGenerator::setForRequest(uint32_t request, const NKTextAction& action) {
    NSIndexSet set;
    if (!m_metrics) return set;
    const NSRange affected = action.affectedRange();
    const int64_t C = static_cast<int64_t>(m_metrics->indexOfCurrentLine());
    const int64_t N = static_cast<int64_t>(m_metrics->countOfLines());
    const int64_t K = static_cast<int64_t>(pieceCount(replacementOf(action)));
    auto line = [this](uint64_t character) -> int64_t {
        uint64_t index = lineOf(character);
        return index == NSUIntegerMax ? -1 : static_cast<int64_t>(index);
    };

    if (request & NKLineSetCurrent) addIndex(set, C);
    if (request & NKLineSetPrevious) addIndex(set, C - 1);
    if (request & NKLineSetNext) addIndex(set, C + 1);
    if (request & NKLineSetFollowing) {
        int64_t M = (request & NKLineSetToOnePastLast)     ? N + 1
                    : (request & NKLineSetToOneBeforeLast) ? N - 1
                    : (request & NKLineSetWithPastedLines) ? N + K - 1
                                                           : N;
        addRun(set, C + 1, M);
    }
    if (request & NKLineSetPastedLines) addRun(set, C + 1, C + K);
    if (request & NKLineSetLineOfStart) addIndex(set, line(affected.location));
    if (request & NKLineSetLineOfEnd) addIndex(set, line(NSMaxRange(affected)));
    if (request & NKLineSetLineAfterStart) {
        int64_t start = line(affected.location);
        if (start >= 0) addIndex(set, start + 1);
    }
    if (request & NKLineSetTouched) {
        NSIndexSet touched = touchedLines(action);
        if (request & NKLineSetTouchedWithoutLast) removeLastIndex(touched);
        if (request & NKLineSetTouchedWithoutSecond) removeSecondIndex(touched);
        if (request & NKLineSetTouchedWithoutFirst) removeFirstIndex(touched);
        set.addIndexes(touched);
    }
    if (request & NKLineSetFirstContaining) {
        std::optional<NSIndexSet> containing = m_metrics->indexesOfLinesContainingRange(affected);
        if (containing && !containing->empty()) set.addIndex(containing->firstIndex());
    }
    return set;
}

bool NKTextActionGenerator::wholeOfTopLineInSelectionInTextAction(const NKTextAction& action) {
    if (!m_wholeOfTopLine) {
        NSRange top = m_metrics->rangeOfLineAtIndex(lineOf(action.affectedRange().location), true);
        m_wholeOfTopLine = top.location == action.affectedRange().location;
    }
    return *m_wholeOfTopLine;
}

bool NKTextActionGenerator::anyOfBottomLineContentInSelectionInTextAction(
    const NKTextAction& action) {
    if (!m_anyOfBottomLineContent) {
        uint64_t end = NSMaxRange(action.affectedRange());
        NSRange bottom = m_metrics->rangeOfLineAtIndex(lineOf(end), true);
        m_anyOfBottomLineContent = bottom.location != NSNotFound && bottom.location < end;
    }
    return *m_anyOfBottomLineContent;
}

bool NKTextActionGenerator::wholeOfBottomLineInSelectionInTextAction(const NKTextAction& action) {
    if (!m_wholeOfBottomLine) {
        uint64_t end = NSMaxRange(action.affectedRange());
        NSRange bottom = m_metrics->rangeOfLineAtIndex(lineOf(end), true);
        m_wholeOfBottomLine = bottom.location != NSNotFound && NSMaxRange(bottom) <= end;
    }
    return *m_wholeOfBottomLine;
}

void NKTextActionGenerator::resetCaches() {
    m_wholeOfTopLine.reset();
    m_anyOfBottomLineContent.reset();
    m_wholeOfBottomLine.reset();
}

bool NKTextActionGenerator::processSingleCharactersInTextAction(NKTextAction& action) {
    const NSRange affected = action.affectedRange();
    const uint64_t L = affected.location, length = affected.length, E = NSMaxRange(affected);
    const uint64_t C = m_metrics->indexOfCurrentLine();
    const uint64_t N = m_metrics->countOfLines();
    const NSRange R = m_metrics->rangeOfCurrentLine();

    if (NSStringAdditions::isNewLineCharacter(replacementOf(action))) {
        if (R.length > 0 && L == R.location && length == 0) {
            action.setTextActionType(NKTextActionInsertedNewLineAbove);
            action.setIndexesToRedraw(setForRequest(41, action));
            action.setIndexesToInsert(setForRequest(1, action));
            return true;
        }
        if (L == NSMaxRange(R) && length == 0) {
            if (C != N - 1) {
                action.setTextActionType(NKTextActionInsertedNewLineBelow);
                action.setIndexesToRedraw(setForRequest(41, action));
                action.setIndexesToInsert(setForRequest(4, action));
            } else {
                action.setTextActionType(NKTextActionAddedNewLineToEnd);
                action.setIndexesToAdd(setForRequest(4, action));
            }
            return true;
        }
        if (L > R.location && E < NSMaxRange(R)) {
            action.setTextActionType(NKTextActionInsertedNewLineMidway);
            action.setIndexesToRedraw(setForRequest(41, action));
            action.setIndexesToInsert(setForRequest(4, action));
            action.setIndexesToReevaluate(setForRequest(5, action));
            return true;
        }
        if (length == 0) return false;

        action.setTextActionType(NKTextActionInsertedNewLineOverSelection);
        NSIndexSet touched = touchedLines(action);
        if (touched.count() < 2) {
            // A selection within one line splits it in two, even when it runs to the end of
            // the last line: the line after the selection's start is always a new one.
            NSIndexSet lines = setForRequest(33280, action);
            action.setIndexesToReevaluate(lines);
            action.setIndexesToRedraw(lines);
            action.setIndexesToInsert(setForRequest(32768, action));
        } else {
            action.setIndexesToRedraw(setForRequest(40960, action));
            action.setIndexesToReevaluate(setForRequest(40960, action));
            action.setIndexesToRemove(setForRequest(5632, action));
        }
        return true;
    }

    classifyTypingWithinLines(action, length > 0, NKTextActionAddedSingleCharacter,
                              NKTextActionAddedCharacterReplacingMultipleLines);
    return true;
}

bool NKTextActionGenerator::processMultipleCharactersInTextAction(NKTextAction& action) {
    const NSRange affected = action.affectedRange();
    const std::u16string& replacement = replacementOf(action);
    const uint64_t C = m_metrics->indexOfCurrentLine();
    const uint64_t N = m_metrics->countOfLines();
    const uint64_t K = pieceCount(replacement);

    if (NSStringAdditions::hasNewLine(replacement)) {
        NSRange current = m_metrics->rangeOfLineAtIndex(C, false);
        if (NSMaxRange(current) == m_metrics->selectedRange().location && C == N - 1) {
            action.setTextActionType(NKTextActionManyLinesAddedToEnd);
            if (affected.location + replacement.size() >= m_metrics->totalStringLength()) {
                action.setIndexesToRedraw(setForRequest(73, action));
                action.setIndexesToAdd(setForRequest(72, action));
            } else {
                action.setIndexesToRedraw(setForRequest(512, action));
            }
            action.setIndexesToReevaluate(action.indexesToRedraw());
            return true;
        }
        if (affected.length > 0) {
            action.setTextActionType(NKTextActionPastedManyLinesOverSelection);
            NSIndexSet touched = touchedLines(action);
            if (touched.empty()) return true;
            int64_t d = static_cast<int64_t>(touched.count()) - static_cast<int64_t>(K);
            if (d < 0) {
                NSIndexSet fresh(NSRange{touched.lastIndex() + 1, static_cast<uint64_t>(-d)});
                if (touched.lastIndex() == N - 1) {
                    action.setIndexesToAdd(fresh);
                } else {
                    action.setIndexesToInsert(fresh);
                }
            }
            NSIndexSet lines(NSRange{touched.firstIndex(), K});
            action.setIndexesToRedraw(lines);
            action.setIndexesToReevaluate(lines);
            if (d > 0)
                action.setIndexesToRemove(
                    NSIndexSet(NSRange{touched.firstIndex() + K, static_cast<uint64_t>(d)}));
            return true;
        }
        action.setTextActionType(NKTextActionManyLinesInsertedSomewhere);
        action.setIndexesToRedraw(setForRequest(73, action));
        action.setIndexesToInsert(setForRequest(256, action));
        action.setIndexesToReevaluate(action.indexesToRedraw());
        return true;
    }

    classifyTypingWithinLines(action, affected.length > 0, NKTextActionAddedMultipleCharacters,
                              NKTextActionAddedCharactersReplacingMultipleLines);
    return true;
}

void NKTextActionGenerator::classifyTypingWithinLines(NKTextAction& action, bool overSelection,
                                                      NKTextActionType typed,
                                                      NKTextActionType replacingLines) {
    NSIndexSet lines = setForRequest(65536, action);
    action.setIndexesToReevaluate(lines);
    action.setIndexesToRedraw(lines);
    if (!overSelection) {
        action.setTextActionType(typed);
    } else if (touchedLines(action).count() >= 2) {
        action.setIndexesToRemove(setForRequest(1536, action));
        action.setTextActionType(replacingLines);
    } else {
        action.setTextActionType(NKTextActionAddedSingleCharacter);
    }
}

bool NKTextActionGenerator::processDeletionsInTextAction(NKTextAction& action) {
    const NSRange affected = action.affectedRange();
    const std::u16string deleted = m_metrics->stringForRange(affected);
    const uint64_t C = m_metrics->indexOfCurrentLine();
    const uint64_t N = m_metrics->countOfLines();

    if (deleted.empty()) return false;

    if (deleted.size() == 1) {
        if (NSStringAdditions::isNewLineCharacter(deleted)) {
            NSRange selection = m_metrics->selectedRange();
            NSRange P = m_metrics->rangeOfLineAtIndex(lineOf(selection.location), true);
            bool forward = P.location != NSNotFound && P.length > 0 &&
                           (NSMaxRange(selection) >= NSMaxRange(P) ||
                            NSLocationInRange(NSMaxRange(P) - 1, affected));
            bool backward = !forward;
            bool previousEmpty =
                C > 0 && m_metrics->stringForLineAtIndex(C - 1, false).value_or(u"x").empty();
            if (backward && C != N - 1) {
                action.setTextActionType(NKTextActionDeletedLineSomewhere);
                action.setIndexesToRedraw(setForRequest(27, action));
                if (previousEmpty) {
                    action.setIndexesToRemove(setForRequest(2, action));
                } else {
                    action.setIndexesToRemove(setForRequest(1, action));
                    action.setIndexesToReevaluate(action.indexesToRedraw());
                }
            } else if (backward && previousEmpty) {
                action.setTextActionType(NKTextActionDeletedLineFromEnd);
                action.setIndexesToRedraw(setForRequest(2, action));
                action.setIndexesToRemove(setForRequest(2, action));
            } else {
                action.setTextActionType(NKTextActionDeletedLineFromEnd);
                action.setIndexesToRedraw(setForRequest(backward ? 2 : 1, action));
                action.setIndexesToRemove(setForRequest(backward ? 1 : 4, action));
                action.setIndexesToReevaluate(action.indexesToRedraw());
            }
            return true;
        }
        action.setTextActionType(NKTextActionDeletedSingleCharacter);
        NSIndexSet lines = setForRequest(65536, action);
        action.setIndexesToReevaluate(lines);
        action.setIndexesToRedraw(lines);
        if (affected.length > 0 && touchedLines(action).count() >= 2)
            action.setIndexesToRemove(setForRequest(1536, action));
        return true;
    }

    if (NSStringAdditions::hasNewLine(deleted)) {
        NSRange last = m_metrics->rangeOfLineAtIndex(N - 1, true);
        if (NSIntersectionRange(affected, last).length > 0) {
            action.setTextActionType(NKTextActionManyLinesDeletedFromEnd);
            action.setIndexesToRemove(setForRequest(1536, action));
            action.setIndexesToReevaluate(setForRequest(8192, action));
            action.setIndexesToRedraw(setForRequest(8192, action));
            return true;
        }
        std::optional<NSIndexSet> containing = m_metrics->indexesOfLinesContainingRange(affected);
        if (!containing || containing->count() < 2) {
            action.setTextActionType(NKTextActionDeletedLineSomewhere);
            bool lineStays = anyOfBottomLineContentInSelectionInTextAction(action) ||
                             wholeOfTopLineInSelectionInTextAction(action);
            action.setIndexesToRemove(setForRequest(lineStays ? 8192 : 1536, action));
            action.setIndexesToRedraw(setForRequest(8192, action));
            action.setIndexesToReevaluate(setForRequest(8192, action));
            return true;
        }
        action.setTextActionType(NKTextActionManyLinesDeletedFromSomewhere);
        bool wholeTop = wholeOfTopLineInSelectionInTextAction(action);
        if (wholeTop && wholeOfBottomLineInSelectionInTextAction(action)) {
            action.setIndexesToRemove(setForRequest(2560, action));
        } else {
            // The line that keeps the text before the selection stays, unless none is left
            // of it. (Whether the document's first line is empty has no bearing: removing
            // the top line then would carry its references onto another line unnoticed.)
            action.setIndexesToRemove(setForRequest(wholeTop ? 2560 : 1536, action));
        }
        action.setIndexesToReevaluate(setForRequest(8192, action));
        action.setIndexesToRedraw(setForRequest(8192, action));
        return true;
    }

    action.setTextActionType(NKTextActionDeletedMultipleCharacters);
    NSIndexSet lines = setForRequest(65536, action);
    action.setIndexesToReevaluate(lines);
    action.setIndexesToRedraw(lines);
    if (affected.length > 0 && touchedLines(action).count() >= 2)
        action.setIndexesToRemove(setForRequest(1536, action));
    return true;
}

void NKTextActionGenerator::processTokenChangesInTextAction(NKTextAction& action) {
    if (!m_lineCollection || !m_metrics) return;
    const NSRange affected = action.affectedRange();
    const std::u16string& replacement = replacementOf(action);
    const NKTextActionType type = action.textActionType();

    // The text after the edit's end on its line (the "tail") lands on line start + K - 1
    // right after the replacement's last piece. Where that is another line than the one the
    // tail stood on, its relative references must be rewritten against their new line.
    const uint64_t startLine = lineOf(affected.location);
    const uint64_t endLine = lineOf(NSMaxRange(affected));
    if (startLine == NSUIntegerMax || endLine == NSUIntegerMax) return;
    std::shared_ptr<NCLine> source = m_lineCollection->lineAtIndex(endLine);
    if (!source) return;
    NCExpressionTokenArray tokens =
        NKLineReferenceTokensOfType(NCLineReferenceTypeRelative, *source);
    if (tokens.empty()) return;

    const uint64_t K = pieceCount(replacement);
    const int64_t target = static_cast<int64_t>(startLine + K - 1);
    NSIndexSet removed = action.indexesToRemove().value_or(NSIndexSet{});
    NSIndexSet inserted = action.indexesToInsert().value_or(NSIndexSet{});

    // Where the tail's line goes as a whole: when that is the target line, the tail stays
    // on its own line object, which the collection's reference bookkeeping already follows.
    if (!removed.containsIndex(endLine)) {
        int64_t moved = static_cast<int64_t>(endLine) -
                        static_cast<int64_t>(removed.countOfIndexesInRange({0, endLine}));
        for (uint64_t index : inserted.indexes())
            if (static_cast<int64_t>(index) <= moved) ++moved;
        if (moved == target) return;
    }

    NSRange startOfLine = m_metrics->rangeOfLineAtIndex(startLine, false);
    NSRange endOfLine = m_metrics->rangeOfLineAtIndex(endLine, false);
    uint64_t tailStart =
        std::min<uint64_t>(NSMaxRange(affected) - endOfLine.location, endOfLine.length);
    uint64_t lastPieceLength =
        replacement.size() -
        (replacement.rfind(u'\n') == std::u16string::npos ? 0 : replacement.rfind(u'\n') + 1);
    uint64_t location =
        K == 1 ? affected.location - startOfLine.location + replacement.size() : lastPieceLength;
    uint64_t sourceLength = source->expressionString().value_or(u"").size();
    uint64_t tailLength = sourceLength > tailStart ? sourceLength - tailStart : 0;
    if (tailLength == 0) return;

    int64_t change = static_cast<int64_t>(endLine) - target;
    if (type == NKTextActionManyLinesDeletedFromSomewhere) {
        NSIndexSet touched = touchedLines(action);
        for (const std::shared_ptr<NCExpressionToken>& token : tokens) {
            int64_t pointed = static_cast<int64_t>(endLine) + token->lineReferenceNumber();
            if (pointed >= 0 && touched.containsIndex(static_cast<uint64_t>(pointed)))
                change = -token->lineReferenceNumber();
        }
    }

    NKLineReferenceAdjustment adjustment;
    adjustment.lineIndex = target;
    adjustment.range = {location, tailLength};
    adjustment.offsetChange = change;
    adjustment.sourceLineIndex = static_cast<int64_t>(endLine);
    action.setLineReferencesToAdjust(adjustment);
}

namespace {
std::u16string escaped(std::u16string text) {
    NSStringAdditions::replaceString(text, u"\n", u"\\n");
    return text;
}

std::u16string number(uint64_t value) {
    std::string text = value == NSNotFound ? "NSNotFound" : std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

std::u16string rangeText(NSRange range) {
    return u"(" + number(range.location) + u", " + number(range.length) + u")";
}

std::u16string setRangeText(const std::optional<NSIndexSet>& set) {
    if (!set || set->empty()) return u"0, 0";
    NSRange range = NSIndexSetAdditions::range(*set);
    return number(range.location) + u", " + number(range.length);
}
}  // namespace

std::u16string NKTextActionGenerator::unitTestFromTextAction(const NKTextAction& action) {
    std::u16string text;
    if (m_metrics) {
        std::vector<std::u16string> lines = m_metrics->lineStrings();
        std::u16string joined;
        for (size_t i = 0; i < lines.size(); ++i) joined += (i ? u"\\n" : u"") + escaped(lines[i]);
        text += u"Text: \"" + joined + u"\"\n";
    }
    text += u"Affected range: " + rangeText(action.affectedRange()) + u"\n";
    const std::u16string& replacement = replacementOf(action);
    if (replacement.empty()) {
        text += u"Deleted range: " + rangeText(action.affectedRange()) + u"\n";
    } else {
        text += u"Inserted string: \"" + escaped(replacement) + u"\"\n";
    }
    text += u"Expect: " + action.textActionDescription() + u" add(" +
            setRangeText(action.indexesToAdd()) + u") remove(" +
            setRangeText(action.indexesToRemove()) + u") insert(" +
            setRangeText(action.indexesToInsert()) + u") reevaluate(" +
            setRangeText(action.indexesToReevaluate()) + u") redraw(" +
            setRangeText(action.indexesToRedraw()) + u")\n";
    text += u"\n\nText Action was:" + action.description() + u"\n\n";
    std::u16string adjustment = u"(null)";
    if (const auto& adjust = action.lineReferencesToAdjust()) {
        std::string change = std::to_string(adjust->offsetChange);
        adjustment = u"{NBLineIndex = " + number(static_cast<uint64_t>(adjust->lineIndex)) +
                     u"; NBOffsetChange = " + std::u16string(change.begin(), change.end()) +
                     u"; NBRange = " + rangeText(adjust->range) + u"}";
    }
    text += u"Line references to adjust are:" + adjustment + u"\n\n";
    return text;
}
