// Every window and popup opens wholly on the screen that holds its parent: the area of that
// screen, and a guard that keeps a window inside it each time it is shown (also once the
// window manager has put its frame around it and placed it).
#ifndef NUMBERA_APP_NB_ON_SCREEN_PLACEMENT_H
#define NUMBERA_APP_NB_ON_SCREEN_PLACEMENT_H

#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

// The usable area of the screen of `parent` (its window), else of the active window, else of
// the screen under the pointer, else the primary screen.
QRect NBAvailableScreenArea(const QWidget* parent);
// The usable area of the screen that holds the point, else the primary screen's.
QRect NBAvailableScreenAreaAt(const QPoint& point);
// The rectangle pushed (and, when larger, shrunk) inside the area.
QRect NBRectPlacedInside(const QRect& rect, const QRect& area);
// Moves and if need be shrinks the top-level window so that its frame lies on the screen of
// `parent` (null: see NBAvailableScreenArea). A frameless window counts its geometry alone.
void NBPlaceWindowOnScreen(QWidget* window, const QWidget* parent = nullptr);
// Centres the window on that screen.
void NBCenterWindowOnScreen(QWidget* window, const QWidget* parent = nullptr);
// Keeps the window on the screen each time it shows; `parent` is looked at then (null:
// the window's own parent).
void NBKeepWindowOnScreen(QWidget* window, const QWidget* parent = nullptr);

#endif
