// What the line metrics need of the text view: its whole text, in which each document line
// is one text line ended by "\n" except the last, and its selection (location NSNotFound
// when there is none). The text must be current whenever a cache rebuild runs.
#ifndef NUMBERA_KIT_NK_TEXT_VIEW_METRICS_TEXT_VIEW_H
#define NUMBERA_KIT_NK_TEXT_VIEW_METRICS_TEXT_VIEW_H

#include <string>
#include <vector>

#include "NSRange.h"

class NKTextViewMetricsTextView {
  public:
    virtual ~NKTextViewMetricsTextView() = default;
    virtual const std::u16string& string() const = 0;
    virtual NSRange selectedRange() const = 0;
    virtual std::vector<NSRange> selectedRanges() const { return {selectedRange()}; }
};

// A text view that is only a string and a selection, for callers without a window (the
// previewer, tests).
class NKPlainTextSource : public NKTextViewMetricsTextView {
  public:
    NKPlainTextSource() = default;
    explicit NKPlainTextSource(std::u16string text, NSRange selection = {0, 0})
        : m_text(std::move(text)), m_selection(selection) {}

    const std::u16string& string() const override { return m_text; }
    NSRange selectedRange() const override { return m_selection; }
    void setString(std::u16string text) { m_text = std::move(text); }
    void setSelectedRange(NSRange selection) { m_selection = selection; }
    // Replaces the range (clamped to the text) and puts the caret after the new text.
    void replaceCharactersInRange(NSRange range, const std::u16string& replacement);

  private:
    std::u16string m_text;
    NSRange m_selection{0, 0};
};

#endif
