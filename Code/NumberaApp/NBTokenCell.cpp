#include "NBTokenCell.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <cmath>

#include "Diagnostics.h"
#include "NBAppResources.h"

namespace {

QColor rgb(double red, double green, double blue) { return QColor::fromRgbF(red, green, blue); }
QColor grey(double white) { return QColor::fromRgbF(white, white, white); }

}  // namespace

NBTokenCell::NBTokenCell() {}

void NBTokenCell::setFont(const QFont& font) {
    if (font == m_font) return;
    m_font = font;
}

const NBTokenColorSet& NBTokenCell::colorsForTokenStyle(int32_t style) {
    auto found = m_cellStyles.find(style);
    if (found != m_cellStyles.end()) return found->second;
    NBTokenColorSet set;
    switch (style) {
        case 0:
            set = {rgb(0.841, 0.883, 0.965), rgb(0.388, 0.55, 0.914), rgb(0.579, 0.681, 0.906),
                   rgb(0.767, 0.837, 0.994)};
            break;
        case 1:
            set = {rgb(0.941, 0.847, 0.969), rgb(0.68, 0.189, 0.806), rgb(0.72, 0.281, 0.84),
                   rgb(0.72, 0.281, 0.84)};
            break;
        case 2:
            set = {rgb(0.922, 0.886, 0.973), rgb(0.59, 0.43, 0.82), rgb(0.725, 0.659, 0.82),
                   rgb(0.59, 0.43, 0.82)};
            break;
        case 3:
        case 5:
            set = {rgb(0.971, 0.834, 0.82), rgb(0.894, 0.137, 0.115), rgb(0.894, 0.137, 0.115),
                   rgb(0.894, 0.137, 0.115)};
            break;
        case 4:
            set = {grey(0.531), grey(0.531), grey(0.36), grey(0.36)};
            break;
        default:
            Diagnostics::errorf("Warning: Invalid tokenStyle requested %i", m_tokenStyle);
            break;
    }
    return m_cellStyles.emplace(style, set).first->second;
}

QSizeF NBTokenCell::cellSize() const {
    const QFontMetricsF metrics(m_font);
    const double w = metrics.horizontalAdvance(m_string);
    const double h = std::ceil(metrics.height());
    const double a = std::floor(0.43 * h - 1);
    const double b = std::floor(10.35 * h - 17.5);
    const double c = std::floor(1.7 * h + 1);
    return {a + std::max(c, std::min(b, w)), h};
}

int NBTokenCell::attachmentInset(double height) {
    return static_cast<int>(0.066 * std::round(height) - 0.05);
}

QSizeF NBTokenCell::attachmentSize() const {
    const QSizeF size = cellSize();
    const int d = attachmentInset(size.height());
    return {std::round(size.width()) + 2 * d, std::round(size.height()) + 2 * d};
}

QString NBTokenCell::displayedString() const {
    const QFontMetricsF metrics(m_font);
    const double h = std::ceil(metrics.height());
    const double b = std::floor(10.35 * h - 17.5);
    return metrics.elidedText(m_string, Qt::ElideRight, std::max(b, 1.0));
}

void NBTokenCell::drawWithFrame(QPainter& painter, const QRectF& frame) {
    const double H = frame.height();
    const int lineWidth = static_cast<int>(std::round(0.066 * H - 0.05));
    QRectF box = frame;
    // Qt's y runs down: the capsule moves up by half a point or a point, as the stroke needs.
    box.translate(0, lineWidth % 2 ? -0.5 : -1.0);
    const int32_t style = m_highlighted && !m_drawsKey ? 4 : m_tokenStyle;
    const NBTokenColorSet colors = colorsForTokenStyle(style);
    if (!colors.isValid()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double radius = std::min(0.55 * H + 1, std::min(box.width(), box.height()) / 2);
    QPainterPath capsule;
    capsule.addRoundedRect(box, radius, radius);
    painter.fillPath(capsule, m_highlighted ? colors.selectedFill : colors.fill);
    if (!m_highlighted && lineWidth > 0) {
        painter.setPen(QPen(colors.stroke, lineWidth));
        painter.drawPath(capsule);
    }
    if (m_tokenStyle == 5) {
        const QString name =
            m_highlighted ? QStringLiteral("warning_highlighted") : QStringLiteral("warning");
        std::optional<QString> path =
            NBAppResources::pathForResource(name.toStdString(), "svg", std::nullopt, "Images");
        if (!path) path = NBAppResources::pathForResource("warning", "svg", std::nullopt, "Images");
        QSvgRenderer image(path.value_or(QString()));
        const QRectF inside = box.adjusted(0, 0.15 * H, 0, -0.15 * H);
        QSizeF size = image.defaultSize();
        if (size.isEmpty()) size = QSizeF(1, 1);
        size.scale(inside.size(), Qt::KeepAspectRatio);
        size = QSizeF(std::floor(size.width()), std::floor(size.height()));
        image.render(&painter,
                     QRectF(inside.center().x() - size.width() / 2,
                            inside.center().y() - size.height() / 2, size.width(), size.height()));
    } else {
        painter.setFont(m_font);
        painter.setPen(m_highlighted ? Qt::white : Qt::black);
        painter.drawText(box, Qt::AlignCenter, displayedString());
    }
    painter.restore();
}

NBTokenObjectHandler::NBTokenObjectHandler(Configure configure, QObject* parent)
    : QObject(parent), m_configure(std::move(configure)) {}

QSizeF NBTokenObjectHandler::intrinsicSize(QTextDocument*, int position, const QTextFormat&) {
    if (m_configure) m_configure(m_cell, position, false);
    return m_cell.attachmentSize();
}

void NBTokenObjectHandler::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*,
                                      int position, const QTextFormat&) {
    if (!painter) return;
    if (m_configure) m_configure(m_cell, position, true);
    const int d = NBTokenCell::attachmentInset(rect.height());
    m_cell.drawWithFrame(*painter, rect.adjusted(d, d, -d, -d));
}

NBTokenCell NBTokenObjectHandler::configuredCell(int position) {
    NBTokenCell cell;
    if (m_configure) m_configure(cell, position, true);
    return cell;
}
