// The drawing of one answer: its text in the attributes it came with, truncated at the tail,
// centred vertically in its row, over the selection or current-line background.
#ifndef NUMBERA_APP_NB_ANSWER_COLUMN_CELL_H
#define NUMBERA_APP_NB_ANSWER_COLUMN_CELL_H

#include <QColor>
#include <QFont>
#include <QRectF>

#include "NBAttributedText.h"
#include "NSAttributedString.h"

class QPainter;
class QPalette;

class NBAnswerColumnCell {
  public:
    bool infoButtonVisible() const { return m_infoButtonVisible; }
    void setInfoButtonVisible(bool visible) { m_infoButtonVisible = visible; }
    bool isCurrentLine() const { return m_isCurrentLine; }
    void setIsCurrentLine(bool current) { m_isCurrentLine = current; }
    // The row is one of the table's selected rows.
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted) { m_highlighted = highlighted; }

    const NSAttributedString& objectValue() const { return m_objectValue; }
    void setObjectValue(NSAttributedString value) { m_objectValue = std::move(value); }
    QString stringValue() const;

    // The height the text needs: one line in the largest font of its runs.
    double cellHeight() const;
    // Where the text goes within the row's rectangle.
    QRectF drawingRectForBounds(const QRectF& bounds) const;
    // The text in its runs.
    NBAttributedText text() const;
    // Whether the text is cut at the tail in the row's bounds.
    bool isTruncatedInBounds(const QRectF& bounds) const;
    // The background of the row, then its text.
    void drawWithFrame(QPainter& painter, const QRectF& bounds, const QPalette& palette) const;

    // The font and colour an attribute set stands for; `fallback` fills what it leaves out.
    static QFont fontForAttributes(const NSAttributes& attributes, const QFont& fallback);
    static QColor colorForAttributes(const NSAttributes& attributes, const QColor& fallback);

  private:
    QFont baseFont() const;

    NSAttributedString m_objectValue;
    bool m_infoButtonVisible = false;
    bool m_isCurrentLine = false;
    bool m_highlighted = false;
};

#endif
