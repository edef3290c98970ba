#include "NBAnswerColumnCell.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <vector>

#include "NBAnswerColumnRules.h"
#include "NBAppResources.h"
#include "NBAttributedText.h"
#include "NBInterfaceHelpers.h"

namespace {

// A faint band on the current line's row, under the text, visible over both table colours.
const QColor kCurrentLineTint(0, 0, 0, 18);

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

NBAttributedText NBAnswerColumnCell::text() const {
    return NBAttributedText(m_objectValue, QFont(), Qt::black);
}

bool NBAnswerColumnCell::isTruncatedInBounds(const QRectF& bounds) const {
    return m_objectValue.length() > 0 && text().width() > drawingRectForBounds(bounds).width();
}

void NBAnswerColumnCell::drawWithFrame(QPainter& painter, const QRectF& bounds,
                                       const QPalette& palette) const {
    if (m_highlighted)
        painter.fillRect(bounds, palette.color(QPalette::Active, QPalette::Highlight));
    else if (m_isCurrentLine)
        painter.fillRect(bounds, kCurrentLineTint);
    if (m_objectValue.length() == 0) return;

    const QRectF rect = drawingRectForBounds(bounds);
    if (rect.width() <= 0) return;
    // Cut at the tail, exponents and units keeping their look; on a dark desktop the answers
    // turn light with the column behind them.
    const NBAttributedText shown =
        text()
            .withColorsMapped([&](const QColor& color) { return NBChromeColor(color, palette); })
            .elided(rect.width());
    const QFontMetricsF base(shown.baseFont());
    painter.save();
    // The row's height, for a raised exponent; the text's width, clear of the info button.
    painter.setClipRect(QRectF(rect.left(), bounds.top(), rect.width(), bounds.height()));
    const double baseline = rect.top() + base.ascent() + (rect.height() - base.height()) / 2;
    shown.draw(painter, QPointF(rect.left(), baseline));
    painter.restore();
}
