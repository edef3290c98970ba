// How a line-reference token is measured and drawn: a capsule in one of six colour sets around
// the token's text (or the warning image for a removed target), highlighted when selected or
// under the mouse. The token object handler lays tokens out and paints them in the text.
#ifndef NUMBERA_APP_NB_TOKEN_CELL_H
#define NUMBERA_APP_NB_TOKEN_CELL_H

#include <QColor>
#include <QFont>
#include <QObject>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTextObjectInterface>
#include <functional>
#include <map>

class QPainter;

// Fill, selected fill, stroke and selected stroke of a token style; all invalid for a style
// of 6 or more.
struct NBTokenColorSet {
    QColor fill, selectedFill, stroke, selectedStroke;
    bool isValid() const { return fill.isValid(); }
};

class NBTokenCell {
  public:
    NBTokenCell();

    const QString& stringValue() const { return m_string; }
    void setStringValue(const QString& string) { m_string = string; }
    int32_t tokenStyle() const { return m_tokenStyle; }
    void setTokenStyle(int32_t style) { m_tokenStyle = style; }
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted) { m_highlighted = highlighted; }
    const QFont& font() const { return m_font; }
    void setFont(const QFont& font);
    // An inactive window draws a highlighted token in the grey set.
    void setDrawsKey(bool key) { m_drawsKey = key; }

    // Made on first use and kept; a style of 6 or more logs a warning.
    const NBTokenColorSet& colorsForTokenStyle(int32_t style);
    // Padding a plus the text width clamped to [c, b]; the text's height.
    QSizeF cellSize() const;
    // The attachment's frame for the cell: grown by the line width on every side.
    QSizeF attachmentSize() const;
    // The inset between the attachment frame and the capsule.
    static int attachmentInset(double height);
    void drawWithFrame(QPainter& painter, const QRectF& frame);
    // The text as drawn: elided at the tail to the cell's widest text.
    QString displayedString() const;

  private:
    QString m_string;
    int32_t m_tokenStyle = 0;
    bool m_highlighted = false;
    bool m_drawsKey = true;
    QFont m_font;
    std::map<int32_t, NBTokenColorSet> m_cellStyles;
};

// Lays out and paints the token characters of one text view's document. The provider
// configures the cell for a token at a position (text, style, highlight) before each use.
class NBTokenObjectHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

  public:
    using Configure = std::function<void(NBTokenCell& cell, int position, bool forDrawing)>;
    explicit NBTokenObjectHandler(Configure configure, QObject* parent = nullptr);

    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;
    // The cell as it is drawn for the token at the position.
    NBTokenCell configuredCell(int position);

  private:
    Configure m_configure;
    NBTokenCell m_cell;
};

#endif
