// The lines of the calculation text, cached: which line holds a character, where a line
// starts, what it reads. Records are rebuilt lazily from the first invalidated line on, so a
// keystroke does not re-split the text above it; lookups are binary searches.
#ifndef NUMBERA_KIT_NK_TEXT_VIEW_LINE_METRICS_H
#define NUMBERA_KIT_NK_TEXT_VIEW_LINE_METRICS_H

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NKCachedLine.h"
#include "NKTextViewMetricsTextView.h"
#include "NSIndexSet.h"

// The records of the lines, for the geometry.
class NKTextViewLineCache {
  public:
    virtual ~NKTextViewLineCache() = default;
    virtual std::shared_ptr<NKCachedLine> cachedLineAtIndex(uint64_t index) = 0;
    using CachedLineBlock =
        std::function<void(const std::shared_ptr<NKCachedLine>& line, uint64_t index, bool& stop)>;
    virtual void enumerateCachedLinesWithBlock(const CachedLineBlock& block) = 0;
};

class NKTextViewLineMetrics : public NKTextViewLineCache {
  public:
    // The text view is not retained; the cache is built at once from line 0.
    explicit NKTextViewLineMetrics(const NKTextViewMetricsTextView* textView = nullptr);

    const NKTextViewMetricsTextView* textView() const { return m_textView; }
    void setTextView(const NKTextViewMetricsTextView* textView);

    uint64_t countOfLines();
    uint64_t totalStringLength();
    std::vector<std::u16string> lineStrings();
    // None past the last line.
    std::optional<std::u16string> stringForLineAtIndex(uint64_t index, bool includeEndOfLine);
    std::vector<std::u16string> stringsForLinesAtIndexes(const NSIndexSet& indexes,
                                                         bool includeEndOfLines);
    // {NSNotFound, 0} past the last line.
    NSRange rangeOfLineAtIndex(uint64_t index, bool includeEndOfLine);
    // The text's length belongs to the last line; NSUIntegerMax beyond the text.
    uint64_t indexOfLineAtCharacterIndex(uint64_t characterIndex);
    // From the line holding the start to the line holding the end, leaving out an end line
    // that the range only reaches the start of. Location NSNotFound beyond the text.
    NSRange indexRangeOfLinesContainingRange(NSRange range);
    std::optional<NSIndexSet> indexesOfLinesContainingRange(NSRange range);
    // As above, plus the next line when the range holds the last found line's line break.
    std::optional<NSIndexSet> indexesOfLinesTouchedByRange(NSRange range);

    std::shared_ptr<NKCachedLine> cachedLineAtIndex(uint64_t index) override;
    // Without refreshing.
    void enumerateCachedLinesWithBlock(const CachedLineBlock& block) override;

    void resetStringCache();
    // The records of the line and every later line are rebuilt at the next query.
    void resetAllCachesOnAndAfterLineIndex(uint64_t index);
    void resetAllCaches() { resetAllCachesOnAndAfterLineIndex(0); }

    const std::vector<std::shared_ptr<NKCachedLine>>& linesCache() const { return m_linesCache; }

  private:
    void refreshIfNeeded();
    void refreshCacheArrayFromIndex(uint64_t index);
    // The record holding the character among records start..end (inclusive); NSNotFound.
    uint64_t searchLineAtCharacterIndex(uint64_t characterIndex, uint64_t start, uint64_t end);

    const NKTextViewMetricsTextView* m_textView = nullptr;
    std::vector<std::shared_ptr<NKCachedLine>> m_linesCache;
    uint64_t m_countOfLines = NKUnknownLineIndex;
    uint64_t m_totalStringLength = 0;
    uint64_t m_refreshIndex = NKUnknownLineIndex;
};

#endif
