// The keys every auxiliary window answers on the desktop: Escape and Ctrl+W close it.
#ifndef NUMBERA_APP_NB_WINDOW_SHORTCUTS_H
#define NUMBERA_APP_NB_WINDOW_SHORTCUTS_H

class QWidget;

// Once per window; the keys act while the window (or a child) has the focus.
void NBAddCloseShortcuts(QWidget* window);

#endif
