#include "NBAnswerPalette.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFontMetrics>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "NBAnswerPaletteRules.h"
#include "NBAppResources.h"
#include "NBOnScreenPlacement.h"
#include "NBScreenPlacement.h"
#include "NBUserDefaultsController.h"
#include "NCResultFormattingOptions.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const std::u16string& key) {
    return NBAppResources::toQString(NSLocalizedString(key));
}

QFont paletteFont() {
    QFont font = QApplication::font();
    font.setPointSizeF(13);
    return font;
}

}  // namespace

// The table

NBAnswerPaletteTableView::NBAnswerPaletteTableView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("answerPaletteTable"));
    setFont(paletteFont());
    setMouseTracking(false);
}

void NBAnswerPaletteTableView::setEntries(std::vector<NBAnswerPaletteEntry> entries) {
    m_entries = std::move(entries);
    update();
}

int NBAnswerPaletteTableView::rowHeight() const { return QFontMetrics(font()).height(); }

QString NBAnswerPaletteTableView::labelText(int row) const {
    if (row < 0 || row >= numberOfRows()) return {};
    return NBAppResources::toQString(
        answerPaletteLabel(m_entries[static_cast<size_t>(row)].title.toStdU16String()));
}

QString NBAnswerPaletteTableView::valueText(int row) const {
    if (row < 0 || row >= numberOfRows()) return {};
    return m_entries[static_cast<size_t>(row)].value;
}

int NBAnswerPaletteTableView::necessaryLabelWidth() const {
    const QFontMetrics metrics(font());
    int width = 0;
    for (int row = 0; row < numberOfRows(); ++row)
        width = std::max(width, metrics.horizontalAdvance(labelText(row)) + 4);
    return width;
}

NBAttributedText NBAnswerPaletteTableView::drawnValue(int row, const QColor& color) const {
    // An exponent raised, the base string and the exponent at the default answers' scales.
    const std::shared_ptr<NCResultFormattingOptions> defaults =
        NBUserDefaultsController::defaultResultFormattingOptions();
    return NBAttributedText::withRaisedExponents(
        valueText(row), font(), color,
        defaults ? defaults->scientificNotationBaseStringFontSizeScale : 1.0,
        defaults ? defaults->scientificNotationExponentStringFontSizeScale : 1.0);
}

int NBAnswerPaletteTableView::necessaryValueWidth() const {
    int width = 0;
    for (int row = 0; row < numberOfRows(); ++row)
        width =
            std::max(width, static_cast<int>(std::ceil(drawnValue(row, Qt::black).width())) + 4);
    return width;
}

void NBAnswerPaletteTableView::setColumnWidths(int label, int value) {
    m_labelWidth = label;
    m_valueWidth = value;
    update();
}

QRect NBAnswerPaletteTableView::rectOfRow(int row) const {
    if (row < 0 || row >= numberOfRows()) return {};
    const int step = rowHeight() + kRowSpacing;
    return QRect(0, row * step, width(), step);
}

int NBAnswerPaletteTableView::rowAtPoint(const QPoint& point) const {
    if (point.y() < 0) return -1;
    const int row = point.y() / (rowHeight() + kRowSpacing);
    return row < numberOfRows() ? row : -1;
}

int NBAnswerPaletteTableView::columnAtPoint(const QPoint& point) const {
    if (point.x() < 0) return -1;
    if (point.x() < m_labelWidth + kIntercellWidth) return 0;
    if (point.x() < m_labelWidth + kIntercellWidth + m_valueWidth + kIntercellWidth) return 1;
    return -1;
}

void NBAnswerPaletteTableView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QFontMetrics metrics(font());
    for (int row = 0; row < numberOfRows(); ++row) {
        const QRect rect = rectOfRow(row);
        const QRect text(rect.x(), rect.y() + kRowSpacing / 2, rect.width(), rowHeight());
        const QRect labelRect(text.x(), text.y(), m_labelWidth, text.height());
        const QRect valueRect(text.x() + m_labelWidth + kIntercellWidth, text.y(), m_valueWidth,
                              text.height());
        // A soft shadow under the text, as the balloon's light gradient wants.
        for (int pass = 0; pass < 2; ++pass) {
            painter.setPen(pass == 0 ? QColor(255, 255, 255, 128) : QColor(Qt::black));
            // The value's runs leave the painter in their own fonts.
            painter.setFont(font());
            const QPoint shift = pass == 0 ? QPoint(0, 1) : QPoint();
            painter.drawText(labelRect.translated(shift), Qt::AlignRight | Qt::AlignVCenter,
                             metrics.elidedText(labelText(row), Qt::ElideRight, labelRect.width()));
            const NBAttributedText value =
                drawnValue(row, painter.pen().color()).elided(valueRect.width());
            const QRect at = valueRect.translated(shift);
            value.draw(painter,
                       QPointF(at.left(), at.top() + (at.height() - metrics.height()) / 2.0 +
                                              metrics.ascent()));
        }
    }
}

void NBAnswerPaletteTableView::mousePressEvent(QMouseEvent* event) {
    m_pressPosition = event->position().toPoint();
    m_pressRow = event->button() == Qt::LeftButton ? rowAtPoint(m_pressPosition) : -1;
    event->accept();
}

void NBAnswerPaletteTableView::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressRow < 0 || !(event->buttons() & Qt::LeftButton)) return;
    if ((event->position().toPoint() - m_pressPosition).manhattanLength() <
        QApplication::startDragDistance())
        return;
    const int row = m_pressRow;
    m_pressRow = -1;
    // Labels are not dragged.
    if (columnAtPoint(m_pressPosition) == 0) return;
    auto* data = new QMimeData;
    data->setText(valueText(row));
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(dragImageForRow(row));
    drag->exec(Qt::CopyAction);
}

void NBAnswerPaletteTableView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (m_pressRow >= 0 && rowAtPoint(point) == m_pressRow)
        emit cellClicked(m_pressRow, columnAtPoint(point));
    m_pressRow = -1;
}

QPixmap NBAnswerPaletteTableView::dragImageForRow(int row) const {
    const QString text =
        NBAppResources::toQString(answerPaletteDragText(valueText(row).toStdU16String()));
    const QFontMetrics metrics(font());
    QPixmap image(QSize(metrics.horizontalAdvance(text) + 4, rowHeight()) * devicePixelRatioF());
    image.setDevicePixelRatio(devicePixelRatioF());
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font());
    painter.setPen(Qt::black);
    painter.drawText(QRect(2, 0, metrics.horizontalAdvance(text), rowHeight()),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
    return image;
}

void NBAnswerPaletteTableView::contextMenuEvent(QContextMenuEvent* event) {
    const int row = rowAtPoint(event->pos());
    if (row < 0) return;
    delete m_menu;
    m_menu = new QMenu(this);
    QAction* copy =
        m_menu->addAction(localized(u"Copy %@").replace(QStringLiteral("%@"), valueText(row)));
    copy->setData(row);
    connect(copy, &QAction::triggered, this, [this, row] { emit copyValueRequested(row); });
    m_menu->addSeparator();
    connect(m_menu->addAction(localized(u"Close Answer Palette")), &QAction::triggered, this,
            [this] { emit closeRequested(); });
    m_menu->popup(event->globalPos());
}

// The window

NBAnswerPalette::NBAnswerPalette(QWidget* parent)
    : NBPopupWindow(parent),
      m_scrollArea(new QScrollArea(this)),
      m_tableView(new NBAnswerPaletteTableView),
      m_emptyContentView(new QWidget(this)),
      m_emptyLabel(new QLabel(m_emptyContentView)) {
    setObjectName(QStringLiteral("answerPalette"));
    setWindowTitle(localized(u"Answer Palette"));
    shapeView()->pointerOrientation = NBPopupShapeView::Left;
    // Nothing in it takes the keyboard: typing stays in the document's text.
    setFocusPolicy(Qt::NoFocus);
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    m_tableView->setFocusPolicy(Qt::NoFocus);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setWidgetResizable(false);
    // The balloon shows through the table. No style sheet: it would reach the table's menu
    // too, which then draws without a background.
    m_scrollArea->setAutoFillBackground(false);
    m_scrollArea->viewport()->setAutoFillBackground(false);
    m_scrollArea->setWidget(m_tableView);
    m_tableView->setAutoFillBackground(false);
    m_emptyContentView->setObjectName(QStringLiteral("answerPaletteEmptyView"));
    m_emptyContentView->hide();
    m_emptyLabel->setText(localized(u"No Answer"));
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_emptyLabel->setFont(paletteFont());
    connect(m_tableView, &NBAnswerPaletteTableView::copyValueRequested, this,
            &NBAnswerPalette::copyValue);
    connect(m_tableView, &NBAnswerPaletteTableView::closeRequested, this,
            &NBAnswerPalette::closeAnswerPalette);
}

void NBAnswerPalette::reloadData(std::vector<NBAnswerPaletteEntry> entries) {
    m_tableView->setEntries(std::move(entries));
    if (m_tableView->numberOfRows() == 0) {
        resizeAnswerPaletteToFitEmptyState();
    } else {
        setShowsEmptyView(false);
        resizeTableAndAnswerPaletteToFit();
    }
}

bool NBAnswerPalette::emptyViewVisible() const { return !m_emptyContentView->isHidden(); }

void NBAnswerPalette::setShowsEmptyView(bool shows) {
    m_emptyContentView->setVisible(shows);
    m_scrollArea->setVisible(!shows);
}

void NBAnswerPalette::resizeTableAndAnswerPaletteToFit() {
    const int rows = m_tableView->numberOfRows();
    const std::vector<double> heights(static_cast<size_t>(rows), m_tableView->rowHeight());
    const NBAnswerPaletteSize size = answerPaletteSizeForRows(
        m_tableView->necessaryLabelWidth(), m_tableView->necessaryValueWidth(), heights,
        NBAnswerPaletteTableView::kIntercellWidth, NBAnswerPaletteTableView::kRowSpacing);
    m_tableView->setColumnWidths(static_cast<int>(size.labelColumnWidth),
                                 static_cast<int>(size.valueColumnWidth));
    const int fullHeight =
        rows * (m_tableView->rowHeight() + NBAnswerPaletteTableView::kRowSpacing);
    m_tableView->resize(static_cast<int>(size.tableWidth), fullHeight);
    setPaletteGeometry(
        QSize(static_cast<int>(size.contentWidth), static_cast<int>(size.contentHeight)));
    const QRectF content = shapeView()->contentRectForFrameRect(QRectF(rect()));
    // The table sits 13 in from the left and 8 down from the top of the content.
    m_scrollArea->setGeometry(static_cast<int>(content.x()) + 13, static_cast<int>(content.y()) + 8,
                              static_cast<int>(size.tableWidth),
                              static_cast<int>(size.tableHeight));
    m_scrollArea->setVerticalScrollBarPolicy(
        fullHeight > size.tableHeight ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void NBAnswerPalette::resizeAnswerPaletteToFitEmptyState() {
    setPaletteGeometry(QSize(static_cast<int>(kAnswerPaletteEmptyWidth),
                             static_cast<int>(kAnswerPaletteMinimumHeight)));
    const QRectF content = shapeView()->contentRectForFrameRect(QRectF(rect()));
    m_emptyContentView->setGeometry(static_cast<int>(content.x()), static_cast<int>(content.y()),
                                    width() - 14, static_cast<int>(kAnswerPaletteMinimumHeight));
    m_emptyLabel->setGeometry(m_emptyContentView->rect());
    setShowsEmptyView(true);
}

void NBAnswerPalette::setPaletteGeometry(const QSize& contentSize) {
    m_contentSize = contentSize;
    const QSize frame = shapeView()->frameSizeForContentSize(QSizeF(contentSize)).toSize();
    // Wholly on the screen of its window: where the right has no room (a wide window) it opens
    // left of the point, pointing right; near an edge it moves inside.
    const QRect area = NBAvailableScreenArea(motherWindow() ? motherWindow() : parentWidget());
    const NBPopupPlacement placement =
        popupPlacementBesideAnchor(m_desiredLocation.x(), m_desiredLocation.y(), frame.width(),
                                   frame.height(), static_cast<int>(kAnswerPalettePointerOffset),
                                   {area.x(), area.y(), area.width(), area.height()});
    shapeView()->pointerOrientation =
        placement.pointsRight ? NBPopupShapeView::Right : NBPopupShapeView::Left;
    // Measured from the bottom edge: the pointer stays 32 below the top whatever the height,
    // unless the palette had to move to stay on the screen; it then still touches the point.
    const int fromTop =
        std::clamp(m_desiredLocation.y() - placement.frame.y + 2, 20, frame.height() - 20);
    shapeView()->pointerOffset = frame.height() - fromTop;
    setGeometry(
        QRect(placement.frame.x, placement.frame.y, placement.frame.width, placement.frame.height));
    // The pointer may have changed sides or moved without the size changing.
    refreshShape();
    rememberOffsetFromMother();
}

void NBAnswerPalette::refreshShape() {
    // Outside the balloon the window behind shows and takes the clicks.
    setMask(QRegion(shapeView()->outline().toFillPolygon().toPolygon()));
    shapeView()->update();
}

void NBAnswerPalette::resizeEvent(QResizeEvent* event) {
    NBPopupWindow::resizeEvent(event);
    refreshShape();
}

bool NBAnswerPalette::event(QEvent* event) {
    // It never becomes the key window: where the system activates it anyway, the document
    // window gets activation and focus back.
    if (event->type() == QEvent::WindowActivate && motherWindow() && isVisible())
        QMetaObject::invokeMethod(
            motherWindow(),
            [mother = QPointer<QWidget>(motherWindow())] {
                if (mother) mother->activateWindow();
            },
            Qt::QueuedConnection);
    return NBPopupWindow::event(event);
}

void NBAnswerPalette::copyValue(int row) {
    QApplication::clipboard()->setText(m_tableView->valueText(row));
}

void NBAnswerPalette::copyValueAndLabel(int row) {
    QApplication::clipboard()->setText(
        QStringLiteral("%1 %2").arg(m_tableView->labelText(row), m_tableView->valueText(row)));
}

void NBAnswerPalette::closeAnswerPalette() { emit closeRequestedByUser(); }
