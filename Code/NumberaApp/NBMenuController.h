// The application's menus. Each window gets its own menu bar over one shared set of actions,
// one per command, named by the command ("newDocument:", "makeFontBigger:"...). Commands whose
// feature is not built yet are present and disabled. The Developer menu exists only when
// developer mode is on when the menus are first built.
#ifndef NUMBERA_APP_NB_MENU_CONTROLLER_H
#define NUMBERA_APP_NB_MENU_CONTROLLER_H

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

#include "NBControllerLife.h"

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QWidget;

class NBMenuController : public QObject, public NBControllerLife {
    Q_OBJECT

  public:
    // What the enabled commands do; the menus only dispatch.
    using Handler = std::function<void()>;
    struct Item {
        QString title;
        QString command;  // empty: a separator
        int tag = -1;
        QKeySequence shortcut;
        std::vector<Item> submenu;
        bool checkable = false;
        // A submenu filled anew each time it opens by the filler of this name (Open Recent).
        QString dynamicMenu;
    };
    struct Menu {
        QString title;
        QString name;  // object name of the menu: "fileMenu"...
        std::vector<Item> items;
    };

    // The handlers keyed by command; a command without one is disabled.
    explicit NBMenuController(std::map<QString, Handler> handlers, QObject* parent = nullptr);
    ~NBMenuController() override;

    // The menus in their order, as built at construction.
    const std::vector<Menu>& menus() const { return m_menus; }
    static std::vector<Menu> mainMenu(bool developerMode);

    // A menu bar for the window, over the shared actions, localised.
    QMenuBar* installMenuBar(QMainWindow* window);
    // A window without a menu bar answers the shortcuts of the commands that act on no
    // document: Quit, New, Open.
    void addApplicationShortcuts(QWidget* window);
    // The action of a command (for a tagged command, of that tag); null when there is none.
    QAction* action(const QString& command, int tag = -1) const;
    bool hasDeveloperMenu() const;

    // Commands of the active document: performed with the item's tag, and validated (title,
    // state, enabled) each time a menu opens. Their items are disabled until validated.
    using DocumentPerformer = std::function<void(const QString& command, int tag)>;
    using DocumentValidator = std::function<bool(const QString& command, QAction* item)>;
    void setDocumentCommands(const QStringList& commands, DocumentPerformer perform,
                             DocumentValidator validate);
    // Brings the document commands' items up to date, as opening their menu does.
    void validateMenuItems();
    // Once no menu shows, the shortcuts of the document's commands work again.
    void enableDocumentCommands();
    // Fills the dynamic submenu of that name each time it opens.
    using MenuFiller = std::function<void(QMenu* menu)>;
    void setDynamicMenuFiller(const QString& name, MenuFiller filler);
    // The windows the Window menu lists below its own items, in order, and the one checked.
    using WindowLister = std::function<std::vector<QWidget*>()>;
    void setWindowLister(WindowLister lister) { m_windowLister = std::move(lister); }
    // Run each time a menu opens, before it shows (titles that follow the state: "Undo …").
    void setMenuUpdater(std::function<void()> updater) { m_menuUpdater = std::move(updater); }
    // The title with a mnemonic: "&" before its first letter that no title before it in
    // `taken` marks yet; the marked letter is added to `taken`.
    static QString titleWithMnemonic(const QString& title, QString* taken);

    void beginLife() override { localizeMainMenuItems(); }
    void endLife() override {}
    // The menus are localised as they are built.
    void localizeMainMenuItems() {}

  private:
    void makeActions(const std::vector<Item>& items);
    void fillMenu(QMenu* menu, const std::vector<Item>& items);
    void listWindows(QMenu* menu);
    static QString key(const QString& command, int tag);

    std::map<QString, Handler> m_handlers;
    std::vector<Menu> m_menus;
    std::map<QString, QAction*> m_actions;
    QStringList m_documentCommands;
    DocumentValidator m_validate;
    std::map<QString, MenuFiller> m_menuFillers;
    WindowLister m_windowLister;
    std::function<void()> m_menuUpdater;
};

#endif
