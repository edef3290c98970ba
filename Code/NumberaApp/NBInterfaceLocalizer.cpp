#include "NBInterfaceLocalizer.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "NBAppResources.h"
#include "NBLocalizationHelper.h"

namespace NBInterfaceLocalizer {

namespace {

constexpr const char* kImageOnlyProperty = "NBImageOnly";

template <typename Getter, typename Setter>
void localize(const Lookup& lookup, Getter get, Setter set) {
    const QString text = get();
    if (text.isEmpty()) return;
    if (auto translated = lookup(text)) set(*translated);
}

bool isImageOnly(const QAbstractButton* button) {
    if (button->property(kImageOnlyProperty).toBool()) return true;
    if (auto* tool = qobject_cast<const QToolButton*>(button))
        return tool->toolButtonStyle() == Qt::ToolButtonIconOnly && !tool->icon().isNull();
    return false;
}

void localizeAction(QAction* action, const Lookup& lookup) {
    if (action->isSeparator()) return;
    localize(
        lookup, [&] { return action->text(); }, [&](const QString& t) { action->setText(t); });
    localize(
        lookup,
        [&] { return action->iconText() != action->text() ? action->iconText() : QString(); },
        [&](const QString& t) { action->setIconText(t); });
    if (action->toolTip() != action->text())
        localize(
            lookup, [&] { return action->toolTip(); },
            [&](const QString& t) { action->setToolTip(t); });
    if (QMenu* submenu = action->menu()) localizeMenu(submenu, lookup);
}

void localizeOwnTexts(QWidget* widget, const Lookup& lookup) {
    localize(
        lookup, [&] { return widget->toolTip(); },
        [&](const QString& t) { widget->setToolTip(t); });
    if (widget->isWindow())
        localize(
            lookup, [&] { return widget->windowTitle(); },
            [&](const QString& t) { widget->setWindowTitle(t); });

    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (!isImageOnly(button))
            localize(
                lookup, [&] { return button->text(); },
                [&](const QString& t) { button->setText(t); });
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        // Rich text is a page of its own, translated as a whole file, not word by word.
        if (label->textFormat() != Qt::RichText)
            localize(
                lookup, [&] { return label->text(); },
                [&](const QString& t) { label->setText(t); });
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        localize(
            lookup, [&] { return line->placeholderText(); },
            [&](const QString& t) { line->setPlaceholderText(t); });
    } else if (auto* text = qobject_cast<QTextEdit*>(widget)) {
        localize(
            lookup, [&] { return text->placeholderText(); },
            [&](const QString& t) { text->setPlaceholderText(t); });
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        localize(
            lookup, [&] { return plain->placeholderText(); },
            [&](const QString& t) { plain->setPlaceholderText(t); });
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        localize(
            lookup, [&] { return box->title(); }, [&](const QString& t) { box->setTitle(t); });
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            localize(
                lookup, [&] { return tabs->tabText(i); },
                [&](const QString& t) { tabs->setTabText(i, t); });
            localize(
                lookup, [&] { return tabs->tabToolTip(i); },
                [&](const QString& t) { tabs->setTabToolTip(i, t); });
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        for (int i = 0; i < combo->count(); ++i)
            localize(
                lookup, [&] { return combo->itemText(i); },
                [&](const QString& t) { combo->setItemText(i, t); });
    } else if (auto* table = qobject_cast<QTableWidget*>(widget)) {
        for (int i = 0; i < table->columnCount(); ++i)
            if (QTableWidgetItem* header = table->horizontalHeaderItem(i))
                localize(
                    lookup, [&] { return header->text(); },
                    [&](const QString& t) { header->setText(t); });
    } else if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
        if (QTreeWidgetItem* header = tree->headerItem())
            for (int i = 0; i < header->columnCount(); ++i)
                localize(
                    lookup, [&] { return header->text(i); },
                    [&](const QString& t) { header->setText(i, t); });
    } else if (auto* menuBar = qobject_cast<QMenuBar*>(widget)) {
        for (QAction* action : menuBar->actions()) localizeAction(action, lookup);
        return;
    } else if (auto* menu = qobject_cast<QMenu*>(widget)) {
        localizeMenu(menu, lookup);
        return;
    } else if (auto* toolbar = qobject_cast<QToolBar*>(widget)) {
        for (QAction* action : toolbar->actions()) localizeAction(action, lookup);
    }
}

}  // namespace

std::optional<QString> localizedString(const QString& text) {
    auto translated = NBLocalizationHelper::localizedInterfaceString(NBAppResources::toU16(text));
    if (!translated) return std::nullopt;
    return NBAppResources::toQString(*translated);
}

void setImageOnly(QWidget* button, bool imageOnly) {
    button->setProperty(kImageOnlyProperty, imageOnly);
}

void localizeMenu(QMenu* menu, const Lookup& lookup) {
    localize(
        lookup, [&] { return menu->title(); }, [&](const QString& t) { menu->setTitle(t); });
    for (QAction* action : menu->actions()) localizeAction(action, lookup);
}

void localizeWidget(QWidget* widget, const Lookup& lookup) {
    if (!widget) return;
    localizeOwnTexts(widget, lookup);
    if (qobject_cast<QMenu*>(widget) || qobject_cast<QMenuBar*>(widget)) return;
    // Direct children only at each level, so every widget is visited once.
    for (QObject* child : widget->children())
        if (auto* childWidget = qobject_cast<QWidget*>(child);
            childWidget && !childWidget->isWindow())
            localizeWidget(childWidget, lookup);
}

}  // namespace NBInterfaceLocalizer
