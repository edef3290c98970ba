#include "NKTextViewLineMetrics.h"

#include "NKFunctions.h"

namespace {
const std::u16string& emptyText() {
    static const std::u16string empty;
    return empty;
}
}  // namespace

NKTextViewLineMetrics::NKTextViewLineMetrics(const NKTextViewMetricsTextView* textView)
    : m_textView(textView) {
    refreshCacheArrayFromIndex(0);
}

void NKTextViewLineMetrics::setTextView(const NKTextViewMetricsTextView* textView) {
    m_textView = textView;
    resetAllCaches();
}

void NKTextViewLineMetrics::refreshIfNeeded() {
    if (m_countOfLines == NKUnknownLineIndex || m_refreshIndex != NKUnknownLineIndex) {
        refreshCacheArrayFromIndex(m_refreshIndex == NKUnknownLineIndex ? 0 : m_refreshIndex);
        m_refreshIndex = NKUnknownLineIndex;
    }
}

void NKTextViewLineMetrics::refreshCacheArrayFromIndex(uint64_t index) {
    const std::u16string& text = m_textView ? m_textView->string() : emptyText();
    m_totalStringLength = text.size();

    // Records before the index are kept; they must still describe the text up to where
    // record `index` starts. When they cannot (the text above changed without an
    // invalidation), everything is rebuilt rather than trusting stale records.
    uint64_t start = 0;
    if (index > 0) {
        if (index > m_linesCache.size()) index = m_linesCache.size();
        const std::shared_ptr<NKCachedLine>& previous = m_linesCache[index - 1];
        uint64_t end = previous->string() ? NSMaxRange(previous->range) : NSNotFound;
        if (end < text.size() && text[end] == u'\n') {
            start = end + 1;
        } else {
            index = 0;
        }
    }

    // Split the rest of the text at "\n".
    std::vector<NSRange> pieces;
    uint64_t position = start;
    for (;;) {
        size_t lineBreak = text.find(u'\n', position);
        if (lineBreak == std::u16string::npos) {
            pieces.push_back({position, text.size() - position});
            break;
        }
        pieces.push_back({position, lineBreak - position});
        position = lineBreak + 1;
    }
    m_countOfLines = index + pieces.size();

    while (m_linesCache.size() > m_countOfLines) m_linesCache.pop_back();
    while (m_linesCache.size() < m_countOfLines) {
        auto line = std::make_shared<NKCachedLine>();
        line->index = m_linesCache.size();
        m_linesCache.push_back(std::move(line));
    }
    for (uint64_t i = index; i < m_countOfLines; ++i) {
        NKCachedLine& line = *m_linesCache[i];
        NSRange piece = pieces[i - index];
        // A record still holding text here was not invalidated: its text is stale anyway.
        const std::u16string_view pieceText(text.data() + piece.location, piece.length);
        if (line.string() || !line.restoreStringIfEqual(pieceText))
            line.setString(std::u16string(pieceText));
        line.setAttrString(std::nullopt);
        line.index = i;
        line.range = piece;
        line.hasEndOfLine = i + 1 < m_countOfLines;
    }
}

uint64_t NKTextViewLineMetrics::countOfLines() {
    refreshIfNeeded();
    return m_countOfLines;
}

uint64_t NKTextViewLineMetrics::totalStringLength() {
    refreshIfNeeded();
    return m_totalStringLength;
}

std::vector<std::u16string> NKTextViewLineMetrics::lineStrings() {
    return stringsForLinesAtIndexes(NSIndexSet(NSRange{0, countOfLines()}), false);
}

std::optional<std::u16string> NKTextViewLineMetrics::stringForLineAtIndex(uint64_t index,
                                                                          bool includeEndOfLine) {
    std::shared_ptr<NKCachedLine> line = cachedLineAtIndex(index);
    if (!line) return std::nullopt;
    std::u16string text = line->string().value_or(u"");
    if (includeEndOfLine && line->hasEndOfLine) text += NKNewLineString();
    return text;
}

std::vector<std::u16string> NKTextViewLineMetrics::stringsForLinesAtIndexes(
    const NSIndexSet& indexes, bool includeEndOfLines) {
    std::vector<std::u16string> strings;
    for (uint64_t index : indexes.indexes()) {
        std::optional<std::u16string> text = stringForLineAtIndex(index, includeEndOfLines);
        if (text) strings.push_back(std::move(*text));
    }
    return strings;
}

NSRange NKTextViewLineMetrics::rangeOfLineAtIndex(uint64_t index, bool includeEndOfLine) {
    std::shared_ptr<NKCachedLine> line = cachedLineAtIndex(index);
    if (!line) return {NSNotFound, 0};
    NSRange range = line->range;
    if (includeEndOfLine && line->hasEndOfLine) range.length += 1;
    return range;
}

uint64_t NKTextViewLineMetrics::searchLineAtCharacterIndex(uint64_t c, uint64_t start,
                                                           uint64_t end) {
    if (m_linesCache.empty() || start > end || end >= m_linesCache.size()) return NSNotFound;
    const uint64_t last = m_countOfLines - 1;
    for (;;) {
        uint64_t mid = start + (end - start + 1) / 2;
        const NKCachedLine& line = *m_linesCache[mid];
        uint64_t location = line.range.location;
        uint64_t extent = line.range.length + (line.hasEndOfLine ? 1 : 0);
        if (c >= location && c < location + extent) return mid;
        if (mid == last && c >= location && c <= location + line.range.length) return mid;
        if (start == end) return NSNotFound;
        if (c < location) {
            if (mid == start) return NSNotFound;
            end = mid - 1;
        } else {
            if (mid == end) return NSNotFound;
            start = mid + 1;
        }
    }
}

uint64_t NKTextViewLineMetrics::indexOfLineAtCharacterIndex(uint64_t characterIndex) {
    refreshIfNeeded();
    if (characterIndex > m_totalStringLength) return NSUIntegerMax;
    uint64_t index = searchLineAtCharacterIndex(characterIndex, 0, m_countOfLines - 1);
    return index == NSNotFound ? NSUIntegerMax : index;
}

NSRange NKTextViewLineMetrics::indexRangeOfLinesContainingRange(NSRange range) {
    refreshIfNeeded();
    uint64_t end = NSMaxRange(range);
    if (range.location > m_totalStringLength || end > m_totalStringLength) return {NSNotFound, 0};
    uint64_t first = searchLineAtCharacterIndex(range.location, 0, m_countOfLines - 1);
    if (first == NSNotFound) return {NSNotFound, 0};
    uint64_t last = searchLineAtCharacterIndex(end, first, m_countOfLines - 1);
    if (last == NSNotFound) return {NSNotFound, 0};
    if (last != first && m_linesCache[last]->range.location == end) --last;
    return {first, last - first + 1};
}

std::optional<NSIndexSet> NKTextViewLineMetrics::indexesOfLinesContainingRange(NSRange range) {
    NSRange lines = indexRangeOfLinesContainingRange(range);
    if (lines.location == NSNotFound) return std::nullopt;
    return NSIndexSet(lines);
}

std::optional<NSIndexSet> NKTextViewLineMetrics::indexesOfLinesTouchedByRange(NSRange range) {
    std::optional<NSIndexSet> lines = indexesOfLinesContainingRange(range);
    if (!lines) return lines;
    uint64_t last = lines->lastIndex();
    if (last + 1 < m_countOfLines) {
        const NKCachedLine& line = *m_linesCache[last];
        uint64_t lineBreak = NSMaxRange(line.range);
        if (line.hasEndOfLine && NSLocationInRange(lineBreak, range)) lines->addIndex(last + 1);
    }
    return lines;
}

std::shared_ptr<NKCachedLine> NKTextViewLineMetrics::cachedLineAtIndex(uint64_t index) {
    refreshIfNeeded();
    return index < m_linesCache.size() ? m_linesCache[index] : nullptr;
}

void NKTextViewLineMetrics::enumerateCachedLinesWithBlock(const CachedLineBlock& block) {
    bool stop = false;
    for (uint64_t i = 0; i < m_linesCache.size() && !stop; ++i) block(m_linesCache[i], i, stop);
}

void NKTextViewLineMetrics::resetStringCache() {
    m_totalStringLength = m_textView ? m_textView->string().size() : 0;
}

void NKTextViewLineMetrics::resetAllCachesOnAndAfterLineIndex(uint64_t index) {
    for (uint64_t i = index; i < m_linesCache.size(); ++i) m_linesCache[i]->invalidate();
    m_countOfLines = NKUnknownLineIndex;
    if (m_refreshIndex == NKUnknownLineIndex || index < m_refreshIndex) m_refreshIndex = index;
}
