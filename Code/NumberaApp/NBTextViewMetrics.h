// The kit's metrics over the calculation text. The kit reads a mirror of the editor's text and
// selection, not the editor: Qt reports an edit only after making it, and the kit must
// classify each edit against the text as it stood before. The text view controller keeps the
// mirror one edit behind the editor until it has classified the edit, then brings it level.
#ifndef NUMBERA_APP_NB_TEXT_VIEW_METRICS_H
#define NUMBERA_APP_NB_TEXT_VIEW_METRICS_H

#include <QObject>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NKTextViewMetrics.h"
#include "NKTextViewMetricsTextView.h"
#include "NSIndexSet.h"

class QTextEdit;

// Lines are separated by "\n" (a block break); a Shift+Return line break inside a block is
// U+2028, as the editor's raw text holds it.
class NBTextViewMirror : public NKTextViewMetricsTextView {
  public:
    const std::u16string& string() const override { return m_text; }
    NSRange selectedRange() const override { return m_selection; }
    void setString(std::u16string text);
    void setSelectedRange(NSRange selection) { m_selection = selection; }
    // The caret goes after the new text.
    void replaceCharactersInRange(NSRange range, const std::u16string& replacement);

  private:
    std::u16string m_text;
    NSRange m_selection{0, 0};
};

class NBTextViewMetrics : public NKTextViewMetrics {
  public:
    // The editor is not owned; it must outlive the metrics.
    explicit NBTextViewMetrics(QTextEdit* textView);

    NBTextViewMirror& mirror() { return *m_mirror; }
    QTextEdit* textView() const { return m_textView; }

    std::optional<std::u16string> stringForLineAtIndex(uint64_t index, bool includeEndOfLine,
                                                       bool substituteTokens);
    std::u16string currentLineString();
    NSRange rangeOfAllText();
    NSIndexSet linesInCurrentSelection();
    NSIndexSet allLines();
    NSIndexSet indexesOfLinesContainingRanges(const std::vector<NSRange>& ranges);
    std::u16string characterAtCharIndex(uint64_t index);
    // The height of the line's block, its paragraph spacing included; 0 beyond the text.
    double paragraphHeightOfLineAtIndex(uint64_t index) const;

  private:
    NBTextViewMetrics(QTextEdit* textView, std::shared_ptr<NBTextViewMirror> mirror);
    NBTextViewMetrics(QTextEdit* textView, std::shared_ptr<NBTextViewMirror> mirror,
                      std::shared_ptr<NKTextViewLineMetrics> lineMetrics);

    QTextEdit* m_textView;
    std::shared_ptr<NBTextViewMirror> m_mirror;
};

#endif
