#include "NBOnScreenPlacement.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "NBScreenPlacement.h"

namespace {

NBScreenRect toRule(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

QRect fromRule(const NBScreenRect& rect) { return {rect.x, rect.y, rect.width, rect.height}; }

bool isFrameless(const QWidget* window) {
    return window->windowFlags().testFlag(Qt::FramelessWindowHint) ||
           window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip;
}

// The window manager's frame: the window's own once it has one, else that of another window
// of the program, else a plain title bar and border.
QMargins frameMargins(const QWidget* window) {
    if (isFrameless(window)) return {};
    const auto marginsOf = [](const QWidget* widget) {
        const QWindow* handle = widget ? widget->windowHandle() : nullptr;
        return handle && handle->isVisible() ? handle->frameMargins() : QMargins();
    };
    QMargins margins = marginsOf(window);
    if (!margins.isNull()) return margins;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other == window || !other->isVisible() || isFrameless(other)) continue;
        margins = marginsOf(other);
        if (!margins.isNull()) return margins;
    }
    return {2, 28, 2, 2};
}

// Places the window at each show, and once more when its frame arrives.
class OnScreenGuard : public QObject {
  public:
    OnScreenGuard(QWidget* window, const QWidget* parent)
        : QObject(window), m_window(window), m_parent(const_cast<QWidget*>(parent)) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_window) return false;
        switch (event->type()) {
            case QEvent::Show:
                m_framePending = !isFrameless(m_window);
                place();
                break;
            case QEvent::Move:
            case QEvent::Resize:
                if (m_framePending && m_window->windowHandle() &&
                    !m_window->windowHandle()->frameMargins().isNull()) {
                    m_framePending = false;
                    place();
                }
                break;
            case QEvent::Hide:
                m_framePending = false;
                break;
            default:
                break;
        }
        return false;
    }

  private:
    void place() {
        const QWidget* parent = m_parent ? m_parent.data() : m_window->parentWidget();
        NBPlaceWindowOnScreen(m_window, parent);
    }

    QWidget* m_window;
    QPointer<QWidget> m_parent;
    bool m_framePending = false;
};

}  // namespace

QRect NBAvailableScreenAreaAt(const QPoint& point) {
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QRect NBAvailableScreenArea(const QWidget* parent) {
    const QWidget* window = parent ? parent->window() : QApplication::activeWindow();
    if (window && window->isVisible()) {
        if (QScreen* screen = QGuiApplication::screenAt(window->frameGeometry().center()))
            return screen->availableGeometry();
        if (QScreen* screen = window->screen()) return screen->availableGeometry();
    }
    return NBAvailableScreenAreaAt(QCursor::pos());
}

QRect NBRectPlacedInside(const QRect& rect, const QRect& area) {
    return fromRule(rectPlacedInside(toRule(rect), toRule(area)));
}

void NBPlaceWindowOnScreen(QWidget* window, const QWidget* parent) {
    if (!window) return;
    const QRect area = NBAvailableScreenArea(parent);
    if (area.isEmpty()) return;
    const QMargins margins = frameMargins(window);
    const QRect client = window->geometry();
    const QRect frame = client.marginsAdded(margins);
    const QRect placed = NBRectPlacedInside(frame, area);
    if (placed == frame) return;
    const QRect placedClient = placed.marginsRemoved(margins);
    if (placedClient.size() != client.size()) window->resize(placedClient.size());
    // A window's position is that of its frame.
    window->move(isFrameless(window) ? placedClient.topLeft() : placed.topLeft());
}

void NBCenterWindowOnScreen(QWidget* window, const QWidget* parent) {
    if (!window) return;
    const QRect area = NBAvailableScreenArea(parent);
    if (area.isEmpty()) return;
    const QMargins margins = frameMargins(window);
    QRect frame = window->geometry().marginsAdded(margins);
    frame.moveCenter(area.center());
    frame = NBRectPlacedInside(frame, area);
    const QRect client = frame.marginsRemoved(margins);
    if (client.size() != window->size()) window->resize(client.size());
    window->move(isFrameless(window) ? client.topLeft() : frame.topLeft());
}

void NBKeepWindowOnScreen(QWidget* window, const QWidget* parent) {
    if (!window) return;
    for (QObject* child : window->children())
        if (dynamic_cast<OnScreenGuard*>(child)) return;
    new OnScreenGuard(window, parent);
}
