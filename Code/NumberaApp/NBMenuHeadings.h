// Menus whose items are grouped under headings: a heading is a disabled title, and the items
// below it are indented one level deeper. Titles get a mnemonic, so that a letter typed
// while the menu is open chooses the item, as on any Linux desktop.
#ifndef NUMBERA_APP_NB_MENU_HEADINGS_H
#define NUMBERA_APP_NB_MENU_HEADINGS_H

#include <QChar>
#include <QString>

class QAction;
class QMenu;

// Disabled, tagged as a heading, drawn bold.
QAction* NBAddHeadingItem(QMenu& menu, const QString& title);
bool NBIsHeadingItem(const QAction& item);
// Every item after a heading goes one level deeper than the heading.
void NBIndentItemsUnderHeadings(QMenu& menu);
// The title with its "&" doubled and a mnemonic at the first `letter` (any case) it holds.
QString NBMenuTitleWithMnemonic(const QString& title, QChar letter);

#endif
