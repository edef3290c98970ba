// The one object the rest of the system asks about the calculation text's lines: line
// questions go to the line metrics, the selection to the text view, rectangles to the
// geometry. A change of one line's height moves the later rectangles by one addition each.
#ifndef NUMBERA_KIT_NK_TEXT_VIEW_METRICS_H
#define NUMBERA_KIT_NK_TEXT_VIEW_METRICS_H

#include <memory>

#include "NKTextViewGeometry.h"
#include "NKTextViewLineMetrics.h"

class NKTextViewMetrics {
  public:
    NKTextViewMetrics() = default;
    // The line metrics serve as line cache too. The text view is not retained.
    NKTextViewMetrics(const NKTextViewMetricsTextView* textView,
                      std::shared_ptr<NKTextViewLineMetrics> lineMetrics,
                      std::shared_ptr<NKTextViewGeometry> geometry);
    NKTextViewMetrics(const NKTextViewMetricsTextView* textView,
                      std::shared_ptr<NKTextViewGeometry> geometry)
        : NKTextViewMetrics(textView, nullptr, std::move(geometry)) {}
    explicit NKTextViewMetrics(const NKTextViewMetricsTextView* textView)
        : NKTextViewMetrics(textView, nullptr, nullptr) {}

    const NKTextViewMetricsTextView* textView() const { return m_textView; }
    const std::shared_ptr<NKTextViewLineMetrics>& lineMetrics() const { return m_lineMetrics; }
    const std::shared_ptr<NKTextViewGeometry>& geometry() const { return m_geometry; }

    // Line questions; without line metrics, nothing (no lines, NSNotFound, none).
    std::shared_ptr<NKCachedLine> cachedLineAtIndex(uint64_t index);
    std::vector<std::u16string> lineStrings();
    uint64_t countOfLines();
    uint64_t totalStringLength();
    std::optional<std::u16string> stringForLineAtIndex(uint64_t index, bool includeEndOfLine);
    std::vector<std::u16string> stringsForLinesAtIndexes(const NSIndexSet& indexes,
                                                         bool includeEndOfLines);
    NSRange rangeOfLineAtIndex(uint64_t index, bool includeEndOfLine);
    uint64_t indexOfLineAtCharacterIndex(uint64_t characterIndex);
    NSRange indexRangeOfLinesContainingRange(NSRange range);
    std::optional<NSIndexSet> indexesOfLinesContainingRange(NSRange range);
    std::optional<NSIndexSet> indexesOfLinesTouchedByRange(NSRange range);
    void resetStringCache();
    void resetAllCachesOnAndAfterLineIndex(uint64_t index);
    void resetAllCaches();

    NSRange selectedRange() const;
    std::vector<NSRange> selectedRanges() const;

    // Zero without geometry.
    NSRect boundingRectOfLineAtIndex(uint64_t index);
    NSRect rectForCharacterRange(NSRange range);
    double heightOfLineAtIndex(uint64_t index);
    double paragraphSpacing() const;

    void resetGeometricCachesForLineAtIndex(uint64_t index);
    void resetGeometricCachesOnAndAfterLineIndex(uint64_t index);
    void resetAllGeometricCaches();
    // New rectangles for the lines of the range, then the later lines moved by the change
    // of height; a line with no known old rectangle makes every rectangle unknown instead.
    void recalculateGeometryForLineIndexesInRange(NSRange lines);

    // The line of the selection's start; 0 without a selection or beyond the text.
    uint64_t indexOfCurrentLine();
    // With its line break.
    NSRange rangeOfCurrentLine();
    // Clamped to the text.
    std::u16string stringForRange(NSRange range) const;
    NSRange rangeInTextViewForLocalRange(NSRange range, uint64_t lineIndex);
    // The range made local to the line (a start before the line counts as its start), cut
    // to end no later than the line's end without its line break.
    NSRange localRangeInLine(uint64_t lineIndex, NSRange rangeInTextView);

  private:
    const NKTextViewMetricsTextView* m_textView = nullptr;
    std::shared_ptr<NKTextViewLineMetrics> m_lineMetrics;
    std::shared_ptr<NKTextViewGeometry> m_geometry;
};

#endif
