// Formatted answers as Qt draws and writes them: the runs of an attributed answer (the base
// string and exponent of scientific notation smaller, the exponent raised) measured and painted
// on one baseline, cut at the tail with every run keeping its look, and written as HTML.
#ifndef NUMBERA_APP_NB_ATTRIBUTED_TEXT_H
#define NUMBERA_APP_NB_ATTRIBUTED_TEXT_H

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QString>
#include <functional>
#include <vector>

#include "NSAttributedString.h"

class QPainter;

class NBAttributedText {
  public:
    struct Run {
        QString text;
        QFont font;
        QColor color;
        int superscript = 0;  // levels raised
    };

    NBAttributedText() = default;
    // The fallbacks fill in what an attribute set leaves out; the first run's font is the base
    // that superscripts are raised against.
    NBAttributedText(const NSAttributedString& string, const QFont& fallbackFont,
                     const QColor& fallbackColor);
    // Plain text in one font and colour.
    NBAttributedText(const QString& text, const QFont& font, const QColor& color);

    // A text whose exponents are written in superscript characters ("×10¹⁹"): the base string
    // before them at `baseScale` of the font's size, the exponent as plain digits at
    // `exponentScale`, raised.
    static NBAttributedText withRaisedExponents(const QString& text, const QFont& font,
                                                const QColor& color, double baseScale,
                                                double exponentScale);

    const std::vector<Run>& runs() const { return m_runs; }
    const QFont& baseFont() const { return m_baseFont; }
    QString plainText() const;
    bool isEmpty() const { return m_runs.empty(); }

    double width() const;
    // Above and below the baseline, raised runs included.
    double ascent() const;
    double descent() const;
    double height() const { return ascent() + descent(); }
    // How far a run of the level sits above the baseline.
    double raise(int superscript) const;

    // The text cut at the tail to fit the width, "…" in the base font after what is kept;
    // unchanged when it fits.
    NBAttributedText elided(double maximumWidth) const;
    // The same text with each run's colour passed through `map` (the chrome's colours of a
    // dark desktop, say).
    NBAttributedText withColorsMapped(const std::function<QColor(const QColor&)>& map) const;
    // Draws the runs from the point on the baseline.
    void draw(QPainter& painter, const QPointF& baselineStart) const;
    // Each run keeps its colour unless `color` is valid.
    void draw(QPainter& painter, const QPointF& baselineStart, const QColor& color) const;

    // Every run in a span of its font size, weight and colour; raised runs in "sup". The text
    // is escaped; `withFamily` also names each run's font family, `withColor` its colour.
    QString html(bool withFamily = false, bool withColor = true) const;

  private:
    std::vector<Run> m_runs;
    QFont m_baseFont;
};

#endif
