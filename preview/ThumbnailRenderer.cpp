#include "ThumbnailRenderer.h"

#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextDocument>

namespace NumberaPreview {

namespace {
// At 96 dots per inch a CSS pixel of the page is one pixel of the image, as in a browser.
constexpr int kDotsPerMeter = 3780;
}  // namespace

QImage renderThumbnail(const std::string& html, int maxWidth, int maxHeight) {
    ThumbnailGeometry geometry;
    if (!thumbnailGeometry(maxWidth, maxHeight, geometry)) return QImage();

    QImage image(geometry.pixelWidth(), geometry.height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(Qt::white);

    // The page is laid out at its own size and scaled down as a whole, so the thumbnail shows
    // the top of the page as it would print, not a reflowed narrow column. Laid out for the
    // image itself, so that the glyphs drawn are the glyphs measured.
    QTextDocument page;
    page.documentLayout()->setPaintDevice(&image);
    page.setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())));
    // The page's body has no margin, as in a browser.
    page.setDocumentMargin(0);
    page.setTextWidth(kThumbnailPageWidth);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.save();
    painter.scale(geometry.pageScale, geometry.pageScale);
    page.drawContents(&painter, QRectF(0, 0, kThumbnailPageWidth, kThumbnailPageHeight));
    painter.restore();

    // Fractional pixel sizes (19.2 for a 128-pixel thumbnail) are given as points.
    QFont font;
    font.setBold(true);
    font.setPointSizeF(geometry.watermarkSize * 72.0 / image.logicalDpiY());
    const QString name = QStringLiteral("NUMBERA");
    const auto measure = [&] {
        return QFontMetricsF(font, &image).boundingRect(QRectF(0, 0, 10000, 10000), 0, name).size();
    };
    QSizeF textSize = measure();
    // Fonts here run wider than the size was chosen for: a name wider than the page would be
    // cut at both edges, so it shrinks to fit with a margin.
    const double widest = 0.9 * geometry.width;
    if (textSize.width() > widest) {
        font.setPointSizeF(font.pointSizeF() * widest / textSize.width());
        textSize = measure();
    }
    // The name's box stands 0.15 of its height above the bottom edge, centred across.
    const double x = (geometry.width - textSize.width()) * 0.5;
    const double bottomGap = 0.15 * textSize.height();
    painter.setFont(font);
    painter.setPen(QColor::fromRgbF(0.15f, 0.15f, 0.15f, 0.75f));
    painter.drawText(QRectF(x, geometry.height - bottomGap - textSize.height(), textSize.width(),
                            textSize.height()),
                     Qt::AlignLeft | Qt::AlignTop, name);
    painter.end();
    return image;
}

}  // namespace NumberaPreview
