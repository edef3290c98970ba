#include "NKLineCollectionController.h"

#include <algorithm>

#include "NCExpression.h"
#include "NCUtilityFunctions.h"
#include "NKLineReferenceTokens.h"
#include "NKLog.h"

// The controller listens to its collection through this object.
struct NKLineCollectionController::CollectionDelegate : NCLineCollectionDelegate {
    explicit CollectionDelegate(NKLineCollectionController* owner) : controller(owner) {}
    void didUpdateLinesAtIndexes(NCLineCollection* collection, const NSIndexSet& indexes) override {
        controller->lineCollectionDidUpdateLinesAtIndexes(collection, indexes);
    }
    void didAutomaticallyUpdateLinesAtIndexes(NCLineCollection* collection,
                                              const NSIndexSet& indexes) override {
        controller->lineCollectionDidAutomaticallyUpdateLinesAtIndexes(collection, indexes);
    }
    // The collection announces references whose target moved only to a delegate that listens.
    // The controller does not: it moves references of every kind itself from where each line
    // and its targets stood before the action, which also follows references across merged and
    // split lines exactly and turns references to removed lines into null references.
    // Both must never run, or a reference would move twice.
    bool respondsToLineReferenceShift() const override { return false; }
    void didNoticeThatLineReferenceOnLines(
        NCLineCollection* collection, const std::vector<std::shared_ptr<NCLine>>& lines,
        const std::vector<std::map<std::u16string, int64_t>>& shifts) override {
        controller->lineCollectionDidNoticeThatLineReferenceOnLinesShouldShiftBy(collection, lines,
                                                                                 shifts);
    }
    NKLineCollectionController* controller;
};

namespace {
bool mayHoldRelativeReferences(const NCLine& line) {
    static const std::u16string name = NCExpression::relativeLineReferenceFunctionName();
    return line.expressionText().find(name) != std::u16string_view::npos;
}

// The offsets written after each relative reference's function name: a first look that
// spares parsing the lines whose references cannot be concerned. An offset that cannot be
// read counts as concerned (none), so the line is parsed after all.
std::vector<std::optional<int64_t>> writtenRelativeOffsets(std::u16string_view text) {
    std::vector<std::optional<int64_t>> offsets;
    static const std::u16string name = NCExpression::relativeLineReferenceFunctionName() + u"(";
    for (size_t at = text.find(name); at != std::u16string_view::npos;
         at = text.find(name, at + 1)) {
        size_t p = at + name.size();
        bool negative = p < text.size() && text[p] == u'-';
        if (p < text.size() && (text[p] == u'-' || text[p] == u'+')) ++p;
        int64_t value = 0;
        size_t digits = 0;
        while (p < text.size() && text[p] >= u'0' && text[p] <= u'9' && digits < 15) {
            value = value * 10 + (text[p++] - u'0');
            ++digits;
        }
        offsets.push_back(digits > 0 && (p >= text.size() || text[p] == u')')
                              ? std::optional<int64_t>(negative ? -value : value)
                              : std::nullopt);
    }
    return offsets;
}

// The index a line had before `removed` (old indexes) went and `inserted` (new indexes) came;
// none when it was removed.
std::optional<int64_t> indexAfterEdit(int64_t index, const NSIndexSet& removed,
                                      const NSIndexSet& inserted) {
    if (index < 0) return std::nullopt;
    uint64_t old = static_cast<uint64_t>(index);
    if (removed.containsIndex(old)) return std::nullopt;
    int64_t moved = index - static_cast<int64_t>(removed.countOfIndexesInRange({0, old}));
    for (uint64_t each : inserted.indexes())
        if (static_cast<int64_t>(each) <= moved) ++moved;
    return moved;
}
}  // namespace

NKLineCollectionController::NKLineCollectionController()
    : m_collectionDelegate(std::make_unique<CollectionDelegate>(this)) {}

NKLineCollectionController::~NKLineCollectionController() {
    if (m_lineCollection && m_lineCollection->delegate() == m_collectionDelegate.get())
        m_lineCollection->setDelegate(nullptr);
}

uint64_t NKLineCollectionController::countOfLines() const {
    return m_lineCollection ? m_lineCollection->countOfLines() : 0;
}

void NKLineCollectionController::setLineCollection(std::shared_ptr<NCLineCollection> collection) {
    if (collection != m_lineCollection) {
        if (m_lineCollection && m_lineCollection->delegate() == m_collectionDelegate.get())
            m_lineCollection->setDelegate(nullptr);
        m_lineCollection = std::move(collection);
    }
    if (!m_lineCollection) return;
    m_lineCollection->setDelegate(m_collectionDelegate.get());
    if (m_delegate) setLocale(m_delegate->defaultLocale());
    if (m_lineCollection->countOfLines() == 0) {
        std::shared_ptr<NCLine> line = newEmptyLine();
        formatLineFromDefaults(*line);
        m_lineCollection->addLine(line);
    }
    if (m_delegate && m_delegate->respondsToDidLoadLineCollection())
        m_delegate->lineCollectionControllerDidLoadLineCollection(this, m_lineCollection.get());
    if (m_delegate) m_lineCollection->setTrigonometryMode(m_delegate->defaultTrigonometryMode());
}

void NKLineCollectionController::setLocale(NKLocale locale) {
    m_locale = locale;
    if (m_lineCollection)
        m_lineCollection->convertToLocaleWithDecimalPoint(locale.decimalPointChar,
                                                          locale.groupingChar);
}

std::shared_ptr<NCLine> NKLineCollectionController::newEmptyLine() {
    return NCLine::lineWithExpressionString(u"");
}

void NKLineCollectionController::setExpressionOfLine(NCLine& line, const std::u16string& text) {
    line.setExpressionString(text);
}

void NKLineCollectionController::noteExpressionChanged(uint64_t index) {
    if (!m_linesWhoseExpressionsHaveChanged) m_linesWhoseExpressionsHaveChanged.emplace();
    m_linesWhoseExpressionsHaveChanged->addIndex(index);
}

void NKLineCollectionController::updateLineCollectionFromTextAction(const NKTextAction& action) {
    if (!m_lineCollection) {
        NKLog("Warning: Line Collection Controller has no line collection");
        return;
    }
    m_linesToRedraw.reset();
    m_linesWhoseExpressionsHaveChanged.reset();
    if (!action.hasIndexes()) return;

    NCLineCollection& collection = *m_lineCollection;
    std::vector<std::pair<std::shared_ptr<NCLine>, uint64_t>> placesBefore;
    // Lines move only when lines are inserted or removed before them.
    bool linesMove = (action.indexesToInsert() && !action.indexesToInsert()->empty()) ||
                     (action.indexesToRemove() && !action.indexesToRemove()->empty());
    if (linesMove) {
        const std::vector<std::shared_ptr<NCLine>> all = collection.lines();
        for (uint64_t i = 0; i < all.size(); ++i)
            if (mayHoldRelativeReferences(*all[i])) placesBefore.emplace_back(all[i], i);
    }
    const std::vector<PlacedReference> placedBefore =
        linesMove ? placedReferencesBeforeAction() : std::vector<PlacedReference>{};
    collection.beginBatchUpdate();
    if (action.indexesToAdd()) addLinesAtIndexes(*action.indexesToAdd(), true);
    if (action.indexesToInsert()) insertLinesAtIndexes(*action.indexesToInsert(), true);
    std::vector<NKLineReferencesToNullify> toNullify;
    if (action.indexesToRemove()) {
        toNullify = linesWithReferencesToNullifyFromTextAction(action);
        removeLinesAtIndexes(*action.indexesToRemove());
    }
    if (action.indexesToReevaluate())
        reevaluateLinesAtIndexes(*action.indexesToReevaluate(), false);
    const PlacedReferenceRewrites placedRewrites =
        planPlacedReferenceRewrites(action, placedBefore);
    if (const std::optional<NKLineReferenceAdjustment>& adjust = action.lineReferencesToAdjust()) {
        uint64_t line = static_cast<uint64_t>(static_cast<uint32_t>(adjust->lineIndex));
        if (adjust->sourceLineIndex) {
            adjustTokensOnLine(line, adjust->range, static_cast<uint64_t>(*adjust->sourceLineIndex),
                               action.indexesToRemove().value_or(NSIndexSet{}),
                               action.indexesToInsert().value_or(NSIndexSet{}));
        } else {
            adjustTokensOnLine(line, adjust->range, adjust->offsetChange);
        }
    }
    if (!toNullify.empty()) nullifyLines(toNullify);
    if (!placesBefore.empty()) followMovedReferences(action, placesBefore);
    if (!placedRewrites.empty()) rewritePlacedReferences(placedRewrites);
    collection.endBatchUpdate();
}

void NKLineCollectionController::followMovedReferences(
    const NKTextAction& action,
    const std::vector<std::pair<std::shared_ptr<NCLine>, uint64_t>>& placesBefore) {
    NCLineCollection& collection = *m_lineCollection;
    const NSIndexSet removed = action.indexesToRemove().value_or(NSIndexSet{});
    const NSIndexSet inserted = action.indexesToInsert().value_or(NSIndexSet{});
    const std::optional<NKLineReferenceAdjustment>& adjust = action.lineReferencesToAdjust();
    for (const auto& [line, oldIndex] : placesBefore) {
        uint64_t index = line->index();
        if (collection.lineAtIndex(index) != line) continue;  // removed
        bool concerned = false;
        for (const std::optional<int64_t>& offset :
             writtenRelativeOffsets(line->expressionText())) {
            std::optional<int64_t> target =
                offset ? indexAfterEdit(static_cast<int64_t>(oldIndex) + *offset, removed, inserted)
                       : std::nullopt;
            concerned |= !offset || (target && *target - static_cast<int64_t>(index) != *offset);
        }
        if (!concerned) continue;
        std::u16string text = line->expressionString().value_or(u"");
        NCExpressionTokenArray tokens =
            NKLineReferenceTokensOfTypeInString(NCLineReferenceTypeRelative, text);
        bool changed = false;
        for (auto token = tokens.rbegin(); token != tokens.rend(); ++token) {
            NSRange range = (*token)->range();
            // The adjusted tail already points from its new line.
            if (adjust && static_cast<uint64_t>(adjust->lineIndex) == index &&
                range.location >= adjust->range.location)
                continue;
            if (NSMaxRange(range) > text.size()) continue;
            int64_t number = (*token)->lineReferenceNumber();
            std::optional<int64_t> target =
                indexAfterEdit(static_cast<int64_t>(oldIndex) + number, removed, inserted);
            if (!target) continue;  // a removed target was made a null reference already
            int64_t offset = *target - static_cast<int64_t>(index);
            if (offset == number) continue;
            text.replace(range.location, range.length,
                         offset == 0 ? NCExpression::nullLineReferenceToken()
                                     : NCExpression::relativeLineReferenceTokenWithOffset(offset));
            changed = true;
        }
        if (changed) {
            setExpressionOfLine(*line, text);
            noteExpressionChanged(index);
        }
    }
}

void NKLineCollectionController::addLinesAtIndexes(const NSIndexSet& indexes,
                                                   bool withFormattingOfPreviousLine) {
    if (!m_lineCollection) return;
    for (uint64_t i = 0; i < indexes.count(); ++i) {
        std::shared_ptr<NCLine> line = newEmptyLine();
        uint64_t count = m_lineCollection->countOfLines();
        if (withFormattingOfPreviousLine) {
            if (count > 0)
                if (std::shared_ptr<NCLine> last = m_lineCollection->lineAtIndex(count - 1))
                    formatLine(*line, *last);
        } else {
            formatLineFromDefaults(*line);
        }
        setExpressionOfLine(*line, u"");
        m_lineCollection->addLine(line);
    }
}

void NKLineCollectionController::insertLinesAtIndexes(const NSIndexSet& indexes,
                                                      bool withFormattingOfPreviousLine) {
    if (!m_lineCollection) return;
    for (uint64_t index : indexes.indexes()) {
        uint64_t count = m_lineCollection->countOfLines();
        if (count == 0 || index > count - 1) {
            addLinesAtIndexes(NSIndexSet{index}, withFormattingOfPreviousLine);
            continue;
        }
        std::shared_ptr<NCLine> line = newEmptyLine();
        if (index > 0) {
            if (withFormattingOfPreviousLine)
                if (std::shared_ptr<NCLine> previous = m_lineCollection->lineAtIndex(index - 1))
                    formatLine(*line, *previous);
        } else {
            formatLineFromDefaults(*line);
        }
        m_lineCollection->insertLine(line, index);
    }
}

void NKLineCollectionController::removeLinesAtIndexes(const NSIndexSet& indexes) {
    if (!m_lineCollection) return;
    std::vector<uint64_t> descending = indexes.indexes();
    std::reverse(descending.begin(), descending.end());
    for (uint64_t index : descending) {
        if (index >= m_lineCollection->countOfLines()) {
            NKLog("Warning: Trying to remove line %ld, but it doesn't exist!",
                  static_cast<long>(index));
            continue;
        }
        m_lineCollection->removeLineAtIndex(index);
    }
}

void NKLineCollectionController::reevaluateLinesAtIndexes(const NSIndexSet& indexes,
                                                          bool batchMode) {
    if (!m_lineCollection) return;
    if (batchMode) m_lineCollection->beginBatchUpdate();
    for (uint64_t index : indexes.indexes()) {
        // Each missing line before this one is appended first, so the index is reached.
        while (m_lineCollection->countOfLines() <= index) addLinesAtIndexes(NSIndexSet{0}, true);
        std::u16string text = m_delegate ? m_delegate->expressionForLineAtIndex(index) : u"";
        if (text.find(u'\n') != std::u16string::npos)
            NKLog("Warning! A line with a \\n character is being set on the line collection");
        if (std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(index))
            setExpressionOfLine(*line, text);
    }
    if (batchMode) m_lineCollection->endBatchUpdate();
}

std::vector<NSRange> NKLineCollectionController::rangesOfTokensOnLine(uint64_t lineIndex,
                                                                      uint64_t referredLineIndex) {
    std::vector<NSRange> ranges;
    if (!m_lineCollection) return ranges;
    std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(lineIndex);
    if (!line) return ranges;
    NCExpressionTokenArray tokens = NKLineReferenceTokensOfType(NCLineReferenceTypeRelative, *line);
    for (auto token = tokens.rbegin(); token != tokens.rend(); ++token)
        if (static_cast<int64_t>(lineIndex) + (*token)->lineReferenceNumber() ==
            static_cast<int64_t>(referredLineIndex))
            ranges.push_back((*token)->range());
    return ranges;
}

std::vector<NKLineReferencesToNullify>
NKLineCollectionController::linesWithReferencesToNullifyFromTextAction(const NKTextAction& action) {
    std::vector<NKLineReferencesToNullify> result;
    if (!m_lineCollection || !action.indexesToRemove() || action.indexesToRemove()->empty())
        return result;
    const NSIndexSet& removed = *action.indexesToRemove();
    // Where each line starts in the text before the edit (the lines are the text's lines).
    const std::vector<std::shared_ptr<NCLine>> all = m_lineCollection->lines();
    const uint64_t count = all.size();
    std::vector<uint64_t> starts(count, 0);
    for (uint64_t i = 1; i < count; ++i)
        starts[i] = starts[i - 1] + all[i - 1]->expressionText().size() + 1;
    const uint64_t editStart = action.affectedRange().location;
    const uint64_t editEnd = NSMaxRange(action.affectedRange());
    // Every reference to a removed line, grouped by the line that holds it, so that all of a
    // line's references are replaced in one pass (last first) and none shifts another.
    for (uint64_t d = count; d-- > 0;) {
        const std::shared_ptr<NCLine>& line = all[d];
        if (removed.containsIndex(d) || !mayHoldRelativeReferences(*line)) continue;
        bool concerned = false;
        for (const std::optional<int64_t>& offset :
             writtenRelativeOffsets(line->expressionText())) {
            int64_t target = offset ? static_cast<int64_t>(d) + *offset : -1;
            concerned |=
                !offset || (target >= 0 && removed.containsIndex(static_cast<uint64_t>(target)));
        }
        if (!concerned) continue;
        std::u16string text = line->expressionString().value_or(u"");
        NCExpressionTokenArray tokens =
            NKLineReferenceTokensOfTypeInString(NCLineReferenceTypeRelative, text);
        NKLineReferencesToNullify entry;
        entry.lineObject = line;
        entry.originalLength = text.size();
        for (auto token = tokens.rbegin(); token != tokens.rend(); ++token) {
            int64_t target = static_cast<int64_t>(d) + (*token)->lineReferenceNumber();
            if (target < 0 || !removed.containsIndex(static_cast<uint64_t>(target))) continue;
            NSRange range = (*token)->range();
            if (NSMaxRange(range) > text.size()) continue;
            uint64_t start = starts[d] + range.location;
            bool before = start + range.length <= editStart;
            bool after = start >= editEnd;
            if (!before && !after) continue;  // the edit deletes it
            entry.rangesInTheLine.push_back(range);
            entry.tokenTexts.push_back(text.substr(range.location, range.length));
            entry.followsTheEdit.push_back(!before);
        }
        if (!entry.rangesInTheLine.empty()) result.push_back(std::move(entry));
    }
    return result;
}

void NKLineCollectionController::nullifyLines(const std::vector<NKLineReferencesToNullify>& lines) {
    for (const NKLineReferencesToNullify& entry : lines) {
        if (!entry.lineObject) continue;
        std::u16string original = entry.lineObject->expressionString().value_or(u"");
        std::u16string text = original;
        // A line re-read during the action keeps its references before the edit in place;
        // those after it move with the end of the line.
        int64_t shift =
            static_cast<int64_t>(text.size()) - static_cast<int64_t>(entry.originalLength);
        auto placeNow = [&](size_t i) -> std::optional<NSRange> {
            NSRange range = entry.rangesInTheLine[i];
            if (i < entry.followsTheEdit.size() && entry.followsTheEdit[i]) {
                if (shift < 0 && range.location < static_cast<uint64_t>(-shift))
                    return std::nullopt;
                range.location =
                    static_cast<uint64_t>(static_cast<int64_t>(range.location) + shift);
            }
            return range;
        };
        // Highest position first: a replacement of another length moves nothing still to do.
        std::vector<size_t> order(entry.rangesInTheLine.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return entry.rangesInTheLine[a].location > entry.rangesInTheLine[b].location;
        });
        for (size_t i : order) {
            std::optional<NSRange> placed = placeNow(i);
            if (!placed) continue;
            NSRange range = *placed;
            if (!NKRangeContainsRange({0, text.size()}, range)) continue;
            if (i < entry.tokenTexts.size() &&
                text.compare(range.location, range.length, entry.tokenTexts[i]) != 0)
                continue;  // the line's text changed under the reference: not ours to replace
            text.replace(range.location, range.length, NCExpression::nullLineReferenceToken());
        }
        if (text != original) {
            setExpressionOfLine(*entry.lineObject, text);
            noteExpressionChanged(entry.lineObject->index());
        }
    }
}

void NKLineCollectionController::adjustTokensOnLine(uint64_t lineIndex, NSRange range,
                                                    int64_t offsetChange) {
    if (!m_lineCollection) return;
    std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(lineIndex);
    NCExpressionTokenArray tokens =
        line ? NKLineReferenceTokensOfType(NCLineReferenceTypeRelative, *line)
             : NCExpressionTokenArray{};
    if (tokens.empty()) {
        NKLog("Failure in the text action system: there are no tokens to adjust on line %lu",
              static_cast<unsigned long>(lineIndex));
        return;
    }
    if (range.location == NSNotFound) return;
    std::u16string text = line->expressionString().value_or(u"");
    bool changed = false;
    for (auto token = tokens.rbegin(); token != tokens.rend(); ++token) {
        NSRange tokenRange = (*token)->range();
        if (!NKRangeContainsRange(range, tokenRange) || NSMaxRange(tokenRange) > text.size())
            continue;
        int64_t offset = (*token)->lineReferenceNumber() + offsetChange;
        std::u16string replacement = NCExpression::relativeLineReferenceTokenWithOffset(offset);
        if (static_cast<int64_t>(lineIndex) + offset < 0) {
            NKLog("Warning: Smarty Token being rerouted to a line reference < 0");
            replacement = NCExpression::nullLineReferenceToken();
        } else if (offset == 0) {
            replacement = NCExpression::nullLineReferenceToken();
        }
        text.replace(tokenRange.location, tokenRange.length, replacement);
        changed = true;
    }
    if (changed) {
        noteExpressionChanged(lineIndex);
        setExpressionOfLine(*line, text);
    }
}

void NKLineCollectionController::adjustTokensOnLine(uint64_t lineIndex, NSRange range,
                                                    uint64_t sourceLineIndex,
                                                    const NSIndexSet& removed,
                                                    const NSIndexSet& inserted) {
    if (!m_lineCollection || range.location == NSNotFound) return;
    std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(lineIndex);
    if (!line) return;
    std::u16string text = line->expressionString().value_or(u"");
    NCExpressionTokenArray tokens =
        NKLineReferenceTokensOfTypeInString(NCLineReferenceTypeRelative, text);
    bool changed = false;
    for (auto token = tokens.rbegin(); token != tokens.rend(); ++token) {
        NSRange tokenRange = (*token)->range();
        if (!NKRangeContainsRange(range, tokenRange) || NSMaxRange(tokenRange) > text.size())
            continue;
        std::optional<int64_t> target =
            indexAfterEdit(static_cast<int64_t>(sourceLineIndex) + (*token)->lineReferenceNumber(),
                           removed, inserted);
        std::u16string replacement = target && *target != static_cast<int64_t>(lineIndex)
                                         ? NCExpression::relativeLineReferenceTokenWithOffset(
                                               *target - static_cast<int64_t>(lineIndex))
                                         : NCExpression::nullLineReferenceToken();
        if (text.compare(tokenRange.location, tokenRange.length, replacement) == 0) continue;
        text.replace(tokenRange.location, tokenRange.length, replacement);
        changed = true;
    }
    if (changed) {
        noteExpressionChanged(lineIndex);
        setExpressionOfLine(*line, text);
    }
}

void NKLineCollectionController::addIndexesToReloadInTextView(const NSIndexSet& indexes) {
    if (!m_linesWhoseExpressionsHaveChanged) m_linesWhoseExpressionsHaveChanged.emplace();
    m_linesWhoseExpressionsHaveChanged->addIndexes(indexes);
}

void NKLineCollectionController::formatLineFromDefaults(NCLine& line) {
    int32_t alignment = 0;
    NCTrigonometryMode mode = 0;
    std::shared_ptr<NCResultFormattingOptions> defaults;
    if (!m_delegate) {
        NKLog(
            "Warning! Trying to format a line from the default settings, but we don't have a "
            "delegate");
    } else {
        alignment = m_delegate->defaultTextAlignment();
        mode = m_delegate->defaultTrigonometryMode();
        defaults = m_delegate->defaultFormattingOptions();
    }
    if (!line.expressionFormattingOptions())
        line.setExpressionFormattingOptions(std::make_shared<NCExpressionFormattingOptions>());
    line.expressionFormattingOptions()->setTextAlignment(alignment);
    line.setTrigonometryMode(mode);
    if (!defaults) defaults = std::make_shared<NCResultFormattingOptions>();
    if (!line.customFormattingOptions())
        line.setCustomFormattingOptions(std::make_shared<NCResultFormattingOptions>());
    line.customFormattingOptions()->acquireValuesFromFormattingOptions(defaults.get());
}

void NKLineCollectionController::formatLine(NCLine& line, const NCLine& fromLine) {
    if (&line == &fromLine) return;
    line.setTrigonometryMode(fromLine.isTrigonometryModeSet() ? fromLine.trigonometryMode() : 0);
    if (fromLine.customFormattingOptions()) {
        if (!line.customFormattingOptions())
            line.setCustomFormattingOptions(std::make_shared<NCResultFormattingOptions>());
        line.customFormattingOptions()->acquireValuesFromFormattingOptions(
            fromLine.customFormattingOptions().get());
    }
    if (fromLine.expressionFormattingOptions()) {
        if (!line.expressionFormattingOptions())
            line.setExpressionFormattingOptions(std::make_shared<NCExpressionFormattingOptions>());
        line.expressionFormattingOptions()->setTextAlignment(
            fromLine.expressionFormattingOptions()->textAlignment());
    }
}

void NKLineCollectionController::lineCollectionDidUpdateLinesAtIndexes(NCLineCollection*,
                                                                       const NSIndexSet& indexes) {
    if (m_notifyMode == NKNotifyModeAllUpdates) cacheLinesNeedingRedrawAndNotifyDelegate(indexes);
}

void NKLineCollectionController::lineCollectionDidAutomaticallyUpdateLinesAtIndexes(
    NCLineCollection*, const NSIndexSet& indexes) {
    if (m_notifyMode == NKNotifyModeAutomaticUpdates)
        cacheLinesNeedingRedrawAndNotifyDelegate(indexes);
}

void NKLineCollectionController::cacheLinesNeedingRedrawAndNotifyDelegate(
    const NSIndexSet& indexes) {
    m_linesToRedraw = indexes;
    if (m_delegate && m_delegate->respondsToDidReevaluateLines())
        m_delegate->lineCollectionControllerLineCollectionDidReevaluateLines(
            this, m_lineCollection.get(), *m_linesToRedraw);
}

void NKLineCollectionController::lineCollectionDidNoticeThatLineReferenceOnLinesShouldShiftBy(
    NCLineCollection*, const std::vector<std::shared_ptr<NCLine>>& lines,
    const std::vector<std::map<std::u16string, int64_t>>& shifts) {
    NSIndexSet changed = m_linesWhoseExpressionsHaveChanged.value_or(NSIndexSet{});
    for (size_t i = std::min(lines.size(), shifts.size()); i-- > 0;) {
        const std::shared_ptr<NCLine>& line = lines[i];
        if (!line) continue;
        std::u16string text = line->expressionString().value_or(u"");
        NCExpressionTokenArray tokens =
            NKLineReferenceTokensOfTypeInString(NCLineReferenceTypeAll, text);
        for (auto token = tokens.rbegin(); token != tokens.rend(); ++token) {
            NCLineReferenceType kind = (*token)->lineReferenceType();
            int64_t number = (*token)->lineReferenceNumber();
            auto shift = shifts[i].find(NCLineReferenceIdentifier(kind, number));
            if (shift == shifts[i].end()) continue;
            int64_t moved = number + static_cast<int32_t>(shift->second);
            std::optional<std::u16string> replacement;
            if (kind == NCLineReferenceTypeRelative) {
                replacement = NCExpression::relativeLineReferenceTokenWithOffset(moved);
            } else if (kind == NCLineReferenceTypeAbsolute && moved >= 0) {
                replacement =
                    NCExpression::absoluteLineReferenceTokenWithIndex(static_cast<uint64_t>(moved));
            }
            NSRange range = (*token)->range();
            if (NSMaxRange(range) > text.size()) continue;
            if (kind == NCLineReferenceTypeByLineNumber) {
                int64_t lineNumber =
                    NCLineReferenceIndex(kind, moved, static_cast<int64_t>(line->index())) + 1;
                replacement = NKLineReferenceByLineNumberWithNumber(
                    text.substr(range.location, range.length), lineNumber);
            }
            if (!replacement) continue;
            text.replace(range.location, range.length, *replacement);
        }
        setExpressionOfLine(*line, text);
        changed.addIndex(line->index());
    }
    m_linesWhoseExpressionsHaveChanged = changed;
}

void NKLineCollectionController::printLineCollectionStateIntoUnitTest() {
    m_unitTestFromTextAction = u"\nLINE COLLECTION UNIT TEST\n";
    m_unitTestFromTextAction += u"\n[lines removeAllLines]";
    if (!m_lineCollection) return;
    for (uint64_t i = 0; i < m_lineCollection->countOfLines(); ++i) {
        std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(i);
        m_unitTestFromTextAction += u"\n[lines addLine:[NCLine lineWithExpressionString:@\"" +
                                    (line ? line->expressionString().value_or(u"") : u"") +
                                    u"\"]];";
    }
}
