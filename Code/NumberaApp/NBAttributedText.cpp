#include "NBAttributedText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "NBAnswerColumnCell.h"
#include "NBAppResources.h"

namespace {

const QString kEllipsis = QStringLiteral("\u2026");

template <typename T>
const T* attribute(const NSAttributes& attributes, const char* name) {
    auto found = attributes.find(name);
    return found == attributes.end() ? nullptr : std::get_if<T>(&found->second);
}

double advance(const NBAttributedText::Run& run) {
    return QFontMetricsF(run.font).horizontalAdvance(run.text);
}

}  // namespace

NBAttributedText::NBAttributedText(const NSAttributedString& string, const QFont& fallbackFont,
                                   const QColor& fallbackColor) {
    const NSAttributes first = string.attributesAtIndex(0);
    m_baseFont = NBAnswerColumnCell::fontForAttributes(first, fallbackFont);
    const QColor baseColor = NBAnswerColumnCell::colorForAttributes(first, fallbackColor);
    for (uint64_t index = 0; index < string.length();) {
        NSRange range{};
        const NSAttributes attributes = string.attributesAtIndex(index, &range);
        const uint64_t end = std::max(NSMaxRange(range), index + 1);
        Run run;
        run.text = NBAppResources::toQString(string.string().substr(index, end - index));
        run.font = NBAnswerColumnCell::fontForAttributes(attributes, m_baseFont);
        run.color = NBAnswerColumnCell::colorForAttributes(attributes, baseColor);
        if (const auto* level = attribute<int64_t>(attributes, NSSuperscriptAttributeName))
            run.superscript = static_cast<int>(*level);
        m_runs.push_back(std::move(run));
        index = end;
    }
}

NBAttributedText::NBAttributedText(const QString& text, const QFont& font, const QColor& color)
    : m_baseFont(font) {
    if (!text.isEmpty()) m_runs.push_back({text, font, color, 0});
}

namespace {

// The plain character of a superscript digit or minus; a null character for any other.
QChar fromSuperscript(QChar c) {
    static const QString digits =
        QStringLiteral("\u2070\u00B9\u00B2\u00B3\u2074\u2075\u2076\u2077\u2078\u2079");
    const qsizetype digit = digits.indexOf(c);
    if (digit >= 0) return QChar(u'0' + static_cast<char16_t>(digit));
    if (c == QChar(0x207B)) return QLatin1Char('-');
    return QChar();
}

QFont scaled(QFont font, double scale) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    else if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * scale))));
    return font;
}

}  // namespace

NBAttributedText NBAttributedText::withRaisedExponents(const QString& text, const QFont& font,
                                                       const QColor& color, double baseScale,
                                                       double exponentScale) {
    NBAttributedText result;
    result.m_baseFont = font;
    const QString base = QStringLiteral("\u00D710");
    QString plain;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = at;
        const bool baseHere = text.mid(at, base.size()) == base;
        if (baseHere) end = at + base.size();
        QString exponent;
        while (baseHere && end < text.size() && !fromSuperscript(text.at(end)).isNull())
            exponent += fromSuperscript(text.at(end++));
        if (exponent.isEmpty()) {
            plain += text.at(at++);
            continue;
        }
        if (!plain.isEmpty()) result.m_runs.push_back({plain, font, color, 0});
        plain.clear();
        result.m_runs.push_back({base, scaled(font, baseScale), color, 0});
        result.m_runs.push_back({exponent, scaled(font, exponentScale), color, 1});
        at = end;
    }
    if (!plain.isEmpty()) result.m_runs.push_back({plain, font, color, 0});
    return result;
}

QString NBAttributedText::plainText() const {
    QString text;
    for (const Run& run : m_runs) text += run.text;
    return text;
}

double NBAttributedText::width() const {
    double width = 0;
    for (const Run& run : m_runs) width += advance(run);
    return width;
}

double NBAttributedText::raise(int superscript) const {
    // A third of the base font's ascent a level: the exponent's top stands above the digits'.
    return superscript * QFontMetricsF(m_baseFont).ascent() / 3;
}

double NBAttributedText::ascent() const {
    double ascent = QFontMetricsF(m_baseFont).ascent();
    for (const Run& run : m_runs)
        ascent = std::max(ascent, raise(run.superscript) + QFontMetricsF(run.font).ascent());
    return ascent;
}

double NBAttributedText::descent() const {
    double descent = QFontMetricsF(m_baseFont).descent();
    for (const Run& run : m_runs)
        descent = std::max(descent, QFontMetricsF(run.font).descent() - raise(run.superscript));
    return descent;
}

NBAttributedText NBAttributedText::elided(double maximumWidth) const {
    if (width() <= maximumWidth) return *this;
    NBAttributedText cut;
    cut.m_baseFont = m_baseFont;
    const double room = maximumWidth - QFontMetricsF(m_baseFont).horizontalAdvance(kEllipsis);
    double used = 0;
    for (const Run& run : m_runs) {
        const double runWidth = advance(run);
        if (used + runWidth <= room) {
            cut.m_runs.push_back(run);
            used += runWidth;
            continue;
        }
        // The longest head of the run that fits, never half of a surrogate pair.
        const QFontMetricsF metrics(run.font);
        qsizetype length = run.text.size();
        while (length > 0 && used + metrics.horizontalAdvance(run.text.left(length)) > room) {
            --length;
            if (length > 0 && run.text.at(length).isLowSurrogate()) --length;
        }
        if (length > 0) cut.m_runs.push_back({run.text.left(length), run.font, run.color, 0});
        break;
    }
    const QColor color = m_runs.empty() ? QColor(Qt::black) : m_runs.front().color;
    cut.m_runs.push_back({kEllipsis, m_baseFont, color, 0});
    return cut;
}

void NBAttributedText::draw(QPainter& painter, const QPointF& baselineStart) const {
    draw(painter, baselineStart, QColor());
}

void NBAttributedText::draw(QPainter& painter, const QPointF& baselineStart,
                            const QColor& color) const {
    double x = baselineStart.x();
    for (const Run& run : m_runs) {
        painter.setFont(run.font);
        painter.setPen(color.isValid() ? color : run.color);
        painter.drawText(QPointF(x, baselineStart.y() - raise(run.superscript)), run.text);
        x += advance(run);
    }
}

QString NBAttributedText::html(bool withFamily, bool withColor) const {
    QString html;
    for (const Run& run : m_runs) {
        QString style = run.font.pointSizeF() > 0
                            ? QStringLiteral("font-size:%1pt;").arg(run.font.pointSizeF())
                            : QStringLiteral("font-size:%1px;").arg(run.font.pixelSize());
        if (withFamily) style += QStringLiteral(" font-family:'%1';").arg(run.font.family());
        if (run.font.bold()) style += QStringLiteral(" font-weight:bold;");
        if (withColor && run.color.isValid())
            style += QStringLiteral(" color:%1;").arg(run.color.name());
        QString text = run.text.toHtmlEscaped();
        text.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
        const QString span = QStringLiteral("<span style=\"%1\">%2</span>").arg(style, text);
        html +=
            run.superscript > 0 ? QStringLiteral("<sup>") + span + QStringLiteral("</sup>") : span;
    }
    return html;
}

NBAttributedText NBAttributedText::withColorsMapped(
    const std::function<QColor(const QColor&)>& map) const {
    NBAttributedText mapped = *this;
    for (Run& run : mapped.m_runs) run.color = map(run.color);
    return mapped;
}
