// Where the lines of the calculation text lie: a line's rectangle measured once from the text
// view's layout and kept in the line cache until the cache lets it go. Rectangles are in the
// text's own coordinates, y growing downwards from the top of the document.
#ifndef NUMBERA_APP_NB_TEXT_VIEW_GEOMETRY_H
#define NUMBERA_APP_NB_TEXT_VIEW_GEOMETRY_H

#include <QPointer>
#include <QTextEdit>
#include <memory>

#include "NKTextViewGeometry.h"

class QTextDocument;

class NBTextViewGeometry : public NKAbstractTextViewGeometry {
  public:
    // The text view is not retained; without one every rectangle is zero.
    NBTextViewGeometry(QTextEdit* textView, std::shared_ptr<NKTextViewLineMetrics> lineMetrics,
                       std::shared_ptr<NKTextViewLineCache> lineCache, double paragraphSpacing);
    NBTextViewGeometry(std::shared_ptr<NKTextViewLineMetrics> lineMetrics,
                       std::shared_ptr<NKTextViewLineCache> lineCache, double paragraphSpacing);
    NBTextViewGeometry() : NBTextViewGeometry(nullptr, nullptr, 0.0) {}

    QTextEdit* textView() const { return m_textView; }

    // The cached rectangle, measured when its height is still 0. Zero past the last line.
    NSRect boundingRectOfLineAtIndex(uint64_t index) override;
    NSRect rectForCharacterRange(NSRange range) override {
        return rectForCharacterRange(range, false);
    }
    // Flipped, y is measured up from the bottom of the text view.
    NSRect rectForCharacterRange(NSRange range, bool flipOrigin);

    // The glyphs' bounding rectangle in document coordinates; an empty range gives the
    // caret's line with no width. Zero beyond the text.
    static NSRect rectForCharacterRange(NSRange range, QTextDocument& document);

  private:
    QPointer<QTextEdit> m_textView;
};

#endif
