// Every user-visible text of a window, looked up when the window is built: titles, labels,
// button texts, placeholders, tool tips, menus and their items. A text with no translation
// keeps its English; a button that shows only its image keeps its hidden text as it is.
#ifndef NUMBERA_APP_NB_INTERFACE_LOCALIZER_H
#define NUMBERA_APP_NB_INTERFACE_LOCALIZER_H

#include <QString>
#include <functional>
#include <optional>

class QMenu;
class QObject;
class QWidget;

namespace NBInterfaceLocalizer {

// The translation of a text; none leaves the text alone.
using Lookup = std::function<std::optional<QString>(const QString& text)>;

// The application's lookup: the "Localizable" table through the rules library.
std::optional<QString> localizedString(const QString& text);

// Marks a button whose text is never shown (its image stands for it).
void setImageOnly(QWidget* button, bool imageOnly = true);

// Walks a window (or any widget) and its children, menus included.
void localizeWidget(QWidget* widget, const Lookup& lookup = localizedString);
void localizeMenu(QMenu* menu, const Lookup& lookup = localizedString);

}  // namespace NBInterfaceLocalizer

#endif
