#include "NBBigAnswerViewer.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>
#include <cmath>

#include "NBAnswerColumnRules.h"
#include "NBAppResources.h"
#include "NCResult.h"
#include "NCResultFormatter.h"
#include "NCResultFormattingOptions.h"
#include "NCResultTypes.h"
#include "NSLocalizedString.h"

#if NUMBERA_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace {

int odd(int value) { return value % 2 == 0 ? value + 1 : value; }

// The line's options in the normal format, the base string and exponent at the big answer's
// own scales.
NCResultFormattingOptions bigAnswerOptions(const NCResultFormattingOptions* lineOptions) {
    NCResultFormattingOptions options;
    options.setDisplayFormat(0);
    if (lineOptions) options.acquireValuesFromFormattingOptions(lineOptions);
    options.scientificNotationBaseString = u"\u00D710";
    options.scientificNotationConvertsExponentCharactersIntoSuperscript = false;
    options.scientificNotationBaseStringFontSizeScale = 0.75;
    options.scientificNotationExponentStringFontSizeScale = 0.6;
    return options;
}
int even(int value) { return value % 2 == 1 ? value + 1 : value; }

}  // namespace

// The window

NBBigAnswerWindow::NBBigAnswerWindow(bool translucent)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_translucent(translucent) {
    setObjectName(QStringLiteral("bigAnswerWindow"));
    setAttribute(Qt::WA_TranslucentBackground, translucent);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
}

void NBBigAnswerWindow::setPanel(const QRect& panel, double cornerRadius,
                                 const NBAttributedText& text) {
    m_panel = panel;
    m_cornerRadius = cornerRadius;
    m_text = text;
    update();
}

void NBBigAnswerWindow::setTextShown(bool shown) {
    m_textShown = shown;
    update();
}

void NBBigAnswerWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_translucent) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    } else {
        painter.fillRect(rect(), QColor::fromRgbF(0.12f, 0.12f, 0.12f));
    }
    QPainterPath shape;
    shape.addRoundedRect(QRectF(m_panel).adjusted(1.5, 1.5, -1.5, -1.5), m_cornerRadius,
                         m_cornerRadius);
    // A soft shadow of white 0.2 around the panel.
    if (m_translucent)
        for (int ring = 5; ring > 0; --ring) {
            QPen shadow(QColor::fromRgbF(0.2f, 0.2f, 0.2f, 0.12f));
            shadow.setWidthF(3 + ring * 2);
            painter.strokePath(shape, shadow);
        }
    painter.fillPath(shape, QColor::fromRgbF(0.12f, 0.12f, 0.12f, m_translucent ? 0.55f : 1.0f));
    QPen border(QColor::fromRgbF(1, 1, 1, 0.9f));
    border.setWidthF(3);
    painter.strokePath(shape, border);
    if (!m_textShown) return;
    const QPointF start(m_panel.center().x() + 0.5 - m_text.width() / 2,
                        m_panel.center().y() + 0.5 - m_text.height() / 2 + m_text.ascent());
    // The text's shadow: black at 0.55, one point right and down.
    m_text.draw(painter, start + QPointF(1, 1), QColor::fromRgbF(0, 0, 0, 0.55f));
    m_text.draw(painter, start);
}

void NBBigAnswerWindow::keyPressEvent(QKeyEvent* event) {
    // Any key closes the panel and does nothing else.
    event->accept();
    emit windowWantsToClose();
}

void NBBigAnswerWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit windowDidReceiveMouseDown();
}

bool NBBigAnswerWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && isVisible()) emit windowWantsToClose();
    return QWidget::event(event);
}

// The viewer

NBBigAnswerViewer::NBBigAnswerViewer(QObject* parent) : QObject(parent) {
    m_closeTimer = new QTimer(this);
    m_closeTimer->setSingleShot(true);
    connect(m_closeTimer, &QTimer::timeout, this, [this] { closeWindow(); });
}

NBBigAnswerViewer::~NBBigAnswerViewer() { delete m_window; }

void NBBigAnswerViewer::setVisible(bool visible) {
    if (visible == m_visible) return;
    m_visible = visible;
    if (visible) {
        m_lastClosed.reset();
        showWindow();
    } else {
        hideWindow();
    }
}

bool NBBigAnswerViewer::closedWithinMilliseconds(qint64 milliseconds) const {
    return m_lastClosed && QDateTime::currentMSecsSinceEpoch() - *m_lastClosed < milliseconds;
}

QRect NBBigAnswerViewer::maximalDisplayRect() const {
    QScreen* screen = m_screen ? m_screen.data() : QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QRect frame = screen->geometry();
    const int dx = static_cast<int>(frame.width() * 0.15);
    const int dy = static_cast<int>(frame.height() * 0.28);
    return frame.adjusted(dx, dy, -dx, -dy);
}

double NBBigAnswerViewer::fittingFontSize(const QString& text, const QFont& font,
                                          const QSizeF& size) {
    return fittingFontSize(
        [&text](const QFont& probe) { return NBAttributedText(text, probe, Qt::white); }, font,
        size);
}

double NBBigAnswerViewer::fittingFontSize(const std::function<NBAttributedText(const QFont&)>& text,
                                          const QFont& font, const QSizeF& size) {
    if (size.width() > 10000 || size.height() > 4000 || size.isEmpty()) return 0;
    QFont probe = font;
    const auto fits = [&](double points) {
        probe.setPointSizeF(points);
        const NBAttributedText laid = text(probe);
        return laid.width() <= size.width() && laid.height() <= size.height();
    };
    double low = 1, high = 4000;
    while (high - low >= 0.1) {
        const double middle = (low + high) / 2;
        (fits(middle) ? low : high) = middle;
    }
    return low;
}

bool NBBigAnswerViewer::compositorAvailable() {
    const QString platform = QGuiApplication::platformName();
    // Wayland always composites; the offscreen platform keeps the alpha channel.
    if (platform == QLatin1String("wayland") || platform == QLatin1String("offscreen")) return true;
#if NUMBERA_HAVE_XCB
    if (platform == QLatin1String("xcb")) {
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
        if (!connection) return false;
        // A compositing manager owns the selection _NET_WM_CM_S<screen>.
        const QByteArray name = "_NET_WM_CM_S0";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, name.size(), name.constData()), nullptr);
        if (!atom) return false;
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        const bool owned = owner && owner->owner != XCB_NONE;
        free(owner);
        free(atom);
        return owned;
    }
#endif
    return false;
}

QString NBBigAnswerViewer::answerText() const {
    if (!m_result || m_result->resultType() != NCResultTypeValue)
        return NBAppResources::toQString(NSLocalizedString(u"No Answer"));
    const NCResultFormattingOptions options = bigAnswerOptions(m_formattingOptions.get());
    const auto text =
        NCResultFormatter::sharedInstance().stringValueForResult(m_result.get(), &options);
    return text && !text->empty() ? QString::fromStdU16String(*text)
                                  : NBAppResources::toQString(NSLocalizedString(u"No Answer"));
}

NBAttributedText NBBigAnswerViewer::answerTextInFont(const QFont& font) const {
    if (m_result && m_result->resultType() == NCResultTypeValue) {
        NCResultFormattingOptions options = bigAnswerOptions(m_formattingOptions.get());
        const NSAttributes attributes = {
            {NSFontNameAttributeName, NBAppResources::toU16(font.family())},
            {NSFontSizeAttributeName, font.pointSizeF()},
            {NBBoldFontAttributeName, true},
            {NBForegroundColorAttributeName, std::u16string(u"#ffffff")},
        };
        const std::optional<NSAttributedString> text =
            NCResultFormatter::sharedInstance().attributedStringValueForResult(
                m_result.get(), &options, attributes);
        if (text && text->length() > 0) return NBAttributedText(*text, font, Qt::white);
    }
    return NBAttributedText(answerText(), font, Qt::white);
}

void NBBigAnswerViewer::showWindow() {
    m_closeTimer->stop();
    const QRect maximal = maximalDisplayRect();
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setBold(true);
    font.setPointSizeF(12);
    const double size = fittingFontSize(
        [this](const QFont& probe) { return answerTextInFont(probe); }, font, maximal.size());
    font.setPointSizeF(size > 0 ? size : 12);
    const NBAttributedText text = answerTextInFont(font);
    const QSizeF textSize(text.width(), text.height());
    const double padding = std::min(textSize.width(), textSize.height()) * 0.33 + 8.7509;
    const int width = odd(static_cast<int>(std::ceil(textSize.width() + padding)));
    const int height = even(static_cast<int>(std::ceil(textSize.height() + 0.14 * padding)));
    const QPoint origin(maximal.x() + (maximal.width() - width) / 2,
                        maximal.y() + (maximal.height() - height) / 2);
    const QRect frame = QRect(origin, QSize(width, height))
                            .adjusted(-kShadowMargin, -kShadowMargin, kShadowMargin, kShadowMargin);
    if (!m_window) {
        m_window = new NBBigAnswerWindow(compositorAvailable());
        connect(m_window, &NBBigAnswerWindow::windowDidReceiveMouseDown, this,
                [this] { setVisible(false); });
        connect(m_window, &NBBigAnswerWindow::windowWantsToClose, this,
                [this] { setVisible(false); });
        m_fade = new QPropertyAnimation(m_window, "windowOpacity", this);
        m_fade->setDuration(kFadeMilliseconds);
        m_fade->setEasingCurve(QEasingCurve::OutCubic);
    }
    if (QScreen* screen = m_screen ? m_screen.data() : QGuiApplication::primaryScreen())
        m_window->setScreen(screen);
    m_window->setGeometry(frame);
    m_window->setPanel(QRect(QPoint(kShadowMargin, kShadowMargin), QSize(width, height)),
                       std::min(width, height) * 0.32 + 2, text);
    m_window->setTextShown(true);
    m_fade->stop();
    if (!m_window->isVisible()) m_window->setWindowOpacity(0);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_window->setFocus();
    m_fade->setStartValue(m_window->windowOpacity());
    m_fade->setEndValue(1.0);
    m_fade->start();
}

void NBBigAnswerViewer::hideWindow() {
    m_lastClosed = QDateTime::currentMSecsSinceEpoch();
    if (!m_window) return;
    // The text goes at once; the panel fades.
    m_window->setTextShown(false);
    m_fade->stop();
    m_fade->setStartValue(m_window->windowOpacity());
    m_fade->setEndValue(0.0);
    m_fade->start();
    m_closeTimer->start(kFadeMilliseconds * 3 / 2);
}

void NBBigAnswerViewer::closeWindow() {
    m_closeTimer->stop();
    if (m_window) m_window->hide();
}
