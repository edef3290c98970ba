#include "NKTextViewMetrics.h"

#include <algorithm>

NKTextViewMetrics::NKTextViewMetrics(const NKTextViewMetricsTextView* textView,
                                     std::shared_ptr<NKTextViewLineMetrics> lineMetrics,
                                     std::shared_ptr<NKTextViewGeometry> geometry)
    : m_textView(textView), m_lineMetrics(std::move(lineMetrics)), m_geometry(std::move(geometry)) {}

std::shared_ptr<NKCachedLine> NKTextViewMetrics::cachedLineAtIndex(uint64_t index) {
    return m_lineMetrics ? m_lineMetrics->cachedLineAtIndex(index) : nullptr;
}

std::vector<std::u16string> NKTextViewMetrics::lineStrings() {
    return m_lineMetrics ? m_lineMetrics->lineStrings() : std::vector<std::u16string>{};
}

uint64_t NKTextViewMetrics::countOfLines() {
    return m_lineMetrics ? m_lineMetrics->countOfLines() : 0;
}

uint64_t NKTextViewMetrics::totalStringLength() {
    return m_lineMetrics ? m_lineMetrics->totalStringLength() : 0;
}

std::optional<std::u16string> NKTextViewMetrics::stringForLineAtIndex(uint64_t index,
                                                                      bool includeEndOfLine) {
    if (!m_lineMetrics) return std::nullopt;
    return m_lineMetrics->stringForLineAtIndex(index, includeEndOfLine);
}

std::vector<std::u16string> NKTextViewMetrics::stringsForLinesAtIndexes(const NSIndexSet& indexes,
                                                                        bool includeEndOfLines) {
    std::vector<std::u16string> strings;
    for (uint64_t index : indexes.indexes()) {
        std::shared_ptr<NKCachedLine> line = cachedLineAtIndex(index);
        if (!line) continue;
        std::u16string text = line->string().value_or(u"");
        if (includeEndOfLines && line->hasEndOfLine) text += u"\n";
        strings.push_back(std::move(text));
    }
    return strings;
}

NSRange NKTextViewMetrics::rangeOfLineAtIndex(uint64_t index, bool includeEndOfLine) {
    return m_lineMetrics ? m_lineMetrics->rangeOfLineAtIndex(index, includeEndOfLine)
                         : NSRange{NSNotFound, 0};
}

uint64_t NKTextViewMetrics::indexOfLineAtCharacterIndex(uint64_t characterIndex) {
    return m_lineMetrics ? m_lineMetrics->indexOfLineAtCharacterIndex(characterIndex)
                         : NSUIntegerMax;
}

NSRange NKTextViewMetrics::indexRangeOfLinesContainingRange(NSRange range) {
    return m_lineMetrics ? m_lineMetrics->indexRangeOfLinesContainingRange(range)
                         : NSRange{NSNotFound, 0};
}

std::optional<NSIndexSet> NKTextViewMetrics::indexesOfLinesContainingRange(NSRange range) {
    return m_lineMetrics ? m_lineMetrics->indexesOfLinesContainingRange(range) : std::nullopt;
}

std::optional<NSIndexSet> NKTextViewMetrics::indexesOfLinesTouchedByRange(NSRange range) {
    return m_lineMetrics ? m_lineMetrics->indexesOfLinesTouchedByRange(range) : std::nullopt;
}

void NKTextViewMetrics::resetStringCache() {
    if (m_lineMetrics) m_lineMetrics->resetStringCache();
}

void NKTextViewMetrics::resetAllCachesOnAndAfterLineIndex(uint64_t index) {
    if (m_lineMetrics) m_lineMetrics->resetAllCachesOnAndAfterLineIndex(index);
}

void NKTextViewMetrics::resetAllCaches() {
    if (m_lineMetrics) m_lineMetrics->resetAllCaches();
}

NSRange NKTextViewMetrics::selectedRange() const {
    return m_textView ? m_textView->selectedRange() : NSRange{NSNotFound, 0};
}

std::vector<NSRange> NKTextViewMetrics::selectedRanges() const {
    return m_textView ? m_textView->selectedRanges() : std::vector<NSRange>{};
}

NSRect NKTextViewMetrics::boundingRectOfLineAtIndex(uint64_t index) {
    return m_geometry ? m_geometry->boundingRectOfLineAtIndex(index) : NSZeroRect;
}

NSRect NKTextViewMetrics::rectForCharacterRange(NSRange range) {
    return m_geometry ? m_geometry->rectForCharacterRange(range) : NSZeroRect;
}

double NKTextViewMetrics::heightOfLineAtIndex(uint64_t index) {
    return m_geometry ? m_geometry->heightOfLineAtIndex(index) : 0.0;
}

double NKTextViewMetrics::paragraphSpacing() const {
    return m_geometry ? m_geometry->paragraphSpacing() : 0.0;
}

void NKTextViewMetrics::resetGeometricCachesForLineAtIndex(uint64_t index) {
    std::shared_ptr<NKCachedLine> line = cachedLineAtIndex(index);
    if (!line) return;
    line->invalidateGeometry();
    recalculateGeometryForLineIndexesInRange({index, 1});
}

void NKTextViewMetrics::resetGeometricCachesOnAndAfterLineIndex(uint64_t) {
    resetAllGeometricCaches();
}

void NKTextViewMetrics::resetAllGeometricCaches() {
    if (!m_lineMetrics) return;
    m_lineMetrics->enumerateCachedLinesWithBlock(
        [](const std::shared_ptr<NKCachedLine>& line, uint64_t, bool&) {
            line->invalidateGeometry();
        });
}

void NKTextViewMetrics::recalculateGeometryForLineIndexesInRange(NSRange lines) {
    if (!m_lineMetrics || lines.length == 0) return;
    double delta = 0;
    for (uint64_t i = lines.location; i < NSMaxRange(lines); ++i) {
        std::shared_ptr<NKCachedLine> line = cachedLineAtIndex(i);
        if (!line || !(line->oldRect.size.height > 0)) {
            resetAllGeometricCaches();
            return;
        }
        double oldHeight = line->oldRect.size.height;
        delta += boundingRectOfLineAtIndex(i).size.height - oldHeight;
    }
    uint64_t count = countOfLines();
    for (uint64_t i = NSMaxRange(lines); i < count; ++i) cachedLineAtIndex(i)->offsetRectY(delta);
}

uint64_t NKTextViewMetrics::indexOfCurrentLine() {
    NSRange selection = selectedRange();
    if (selection.location == NSNotFound) return 0;
    uint64_t index = indexOfLineAtCharacterIndex(selection.location);
    return index == NSUIntegerMax ? 0 : index;
}

NSRange NKTextViewMetrics::rangeOfCurrentLine() {
    return rangeOfLineAtIndex(indexOfCurrentLine(), true);
}

std::u16string NKTextViewMetrics::stringForRange(NSRange range) const {
    if (!m_textView) return u"";
    const std::u16string& text = m_textView->string();
    uint64_t start = std::min<uint64_t>(range.location, text.size());
    uint64_t end = std::min<uint64_t>(NSMaxRange(range), text.size());
    return text.substr(start, end - start);
}

NSRange NKTextViewMetrics::rangeInTextViewForLocalRange(NSRange range, uint64_t lineIndex) {
    NSRange line = rangeOfLineAtIndex(lineIndex, false);
    if (line.location == NSNotFound) return {NSNotFound, 0};
    return {line.location + range.location, range.length};
}

NSRange NKTextViewMetrics::localRangeInLine(uint64_t lineIndex, NSRange rangeInTextView) {
    NSRange line = rangeOfLineAtIndex(lineIndex, false);
    if (line.location == NSNotFound) return {NSNotFound, 0};
    uint64_t location =
        rangeInTextView.location > line.location ? rangeInTextView.location - line.location : 0;
    uint64_t end = std::min<uint64_t>(location + rangeInTextView.length, line.length);
    return {location, end > location ? end - location : 0};
}
