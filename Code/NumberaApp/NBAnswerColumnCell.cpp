#include "NBAnswerColumnCell.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <vector>

#include "NBAnswerColumnRules.h"
#include "NBAppResources.h"
#include "NBInterfaceHelpers.h"

namespace {

// A faint band on the current line's row, under the text, visible over both table colours.
const QColor kCurrentLineTint(0, 0, 0, 18);

struct Run {
    QString text;
    QFont font;
    QColor color;
    int superscript = 0;
};

template <typename T>
const T* attribute(const NSAttributes& attributes, const char* name) {
    auto found = attributes.find(name);
    return found == attributes.end() ? nullptr : std::get_if<T>(&found->second);
}

}  // namespace

QString NBAnswerColumnCell::stringValue() const {
    return NBAppResources::toQString(m_objectValue.string());
}

QFont NBAnswerColumnCell::fontForAttributes(const NSAttributes& attributes, const QFont& fallback) {
    QFont font = fallback;
    if (const auto* name = attribute<std::u16string>(attributes, NSFontNameAttributeName))
        if (!name->empty()) font.setFamily(NBAppResources::toQString(*name));
    if (const auto* size = attribute<double>(attributes, NSFontSizeAttributeName))
        if (*size > 0) font.setPointSizeF(*size);
    if (const auto* bold = attribute<bool>(attributes, NBBoldFontAttributeName))
        font.setBold(*bold);
    return font;
}

QColor NBAnswerColumnCell::colorForAttributes(const NSAttributes& attributes,
                                              const QColor& fallback) {
    if (const auto* name = attribute<std::u16string>(attributes, NBForegroundColorAttributeName)) {
        QColor color(NBAppResources::toQString(*name));
        if (color.isValid()) return color;
    }
    return fallback;
}

QFont NBAnswerColumnCell::baseFont() const {
    return fontForAttributes(m_objectValue.attributesAtIndex(0), QFont());
}

double NBAnswerColumnCell::cellHeight() const {
    double height = std::ceil(QFontMetricsF(baseFont()).height());
    for (uint64_t index = 0; index < m_objectValue.length();) {
        NSRange run{};
        QFont font = fontForAttributes(m_objectValue.attributesAtIndex(index, &run), baseFont());
        height = std::max(height, std::ceil(QFontMetricsF(font).height()));
        index = std::max(NSMaxRange(run), index + 1);
    }
    return height;
}

QRectF NBAnswerColumnCell::drawingRectForBounds(const QRectF& bounds) const {
    const NSRect rect = answerColumnCellDrawingRect(
        NSMakeRect(bounds.x(), bounds.y(), bounds.width(), bounds.height()), cellHeight(),
        m_infoButtonVisible);
    return QRectF(bounds.x() + rect.origin.x, rect.origin.y, std::max(0.0, rect.size.width),
                  rect.size.height);
}

void NBAnswerColumnCell::drawWithFrame(QPainter& painter, const QRectF& bounds,
                                       const QPalette& palette) const {
    if (m_highlighted)
        painter.fillRect(bounds, palette.color(QPalette::Active, QPalette::Highlight));
    else if (m_isCurrentLine)
        painter.fillRect(bounds, kCurrentLineTint);
    if (m_objectValue.length() == 0) return;

    const QFont base = baseFont();
    const QColor textColor = colorForAttributes(m_objectValue.attributesAtIndex(0), Qt::black);
    // On a dark desktop the answers turn light with the column behind them.
    std::vector<Run> runs;
    double width = 0;
    for (uint64_t index = 0; index < m_objectValue.length();) {
        NSRange range{};
        const NSAttributes attributes = m_objectValue.attributesAtIndex(index, &range);
        const uint64_t end = std::max(NSMaxRange(range), index + 1);
        Run run;
        run.text = NBAppResources::toQString(m_objectValue.string().substr(index, end - index));
        run.font = fontForAttributes(attributes, base);
        run.color = NBChromeColor(colorForAttributes(attributes, textColor), palette);
        if (const auto* level = attribute<int64_t>(attributes, NSSuperscriptAttributeName))
            run.superscript = static_cast<int>(*level);
        width += QFontMetricsF(run.font).horizontalAdvance(run.text);
        runs.push_back(std::move(run));
        index = end;
    }

    const QRectF rect = drawingRectForBounds(bounds);
    if (rect.width() <= 0) return;
    painter.save();
    painter.setClipRect(rect);
    const double baseline = rect.top() + QFontMetricsF(base).ascent() +
                            (rect.height() - QFontMetricsF(base).height()) / 2;
    if (width > rect.width()) {
        // Tail truncation of the whole text in the base attributes.
        painter.setFont(base);
        painter.setPen(textColor);
        painter.drawText(
            QPointF(rect.left(), baseline),
            QFontMetricsF(base).elidedText(stringValue(), Qt::ElideRight, rect.width()));
    } else {
        double x = rect.left();
        for (const Run& run : runs) {
            painter.setFont(run.font);
            painter.setPen(run.color);
            const double raise = run.superscript * QFontMetricsF(base).ascent() / 3;
            painter.drawText(QPointF(x, baseline - raise), run.text);
            x += QFontMetricsF(run.font).horizontalAdvance(run.text);
        }
    }
    painter.restore();
}
