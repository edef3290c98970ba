// The drawing of one line number: 9-point system font, right-aligned, not editable, truncated
// at the tail, inset 2 points; centred vertically in a row taller than the number.
#ifndef NUMBERA_APP_NB_NUMBER_LINE_CELL_H
#define NUMBERA_APP_NB_NUMBER_LINE_CELL_H

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

class NBNumberLineCell {
  public:
    static constexpr double kFontSize = 9.0;
    static constexpr double kTextInset = 2.0;

    NBNumberLineCell();

    // The font the numbers are drawn and measured in.
    const QFont& font() const { return m_font; }
    QString stringValue() const { return m_stringValue; }
    void setStringValue(QString value) { m_stringValue = std::move(value); }
    QColor textColor() const { return m_textColor; }
    void setTextColor(QColor color) { m_textColor = color; }

    // The width of the text in the cell's font.
    double widthOfString(const QString& text) const;
    // A row taller than the number keeps it in its middle; 2 points off the right edge.
    QRectF drawingRectForBounds(const QRectF& bounds) const;
    void drawWithFrame(QPainter& painter, const QRectF& bounds) const;

  private:
    QFont m_font;
    QString m_stringValue;
    QColor m_textColor;
};

#endif
