#include "NBMenuController.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "NBInterfaceLocalizer.h"
#include "NBUserDefaultsController.h"

namespace {

using Item = NBMenuController::Item;

Item command(const char* title, const char* name, QKeySequence shortcut = {}) {
    Item item;
    item.title = QString::fromUtf8(title);
    item.command = QString::fromLatin1(name);
    item.shortcut = std::move(shortcut);
    return item;
}

Item tagged(const char* title, const char* name, int tag) {
    Item item = command(title, name);
    item.tag = tag;
    item.checkable = true;
    return item;
}

Item separator() { return {}; }

// An "&" in a title is a character of the title, not a mnemonic marker.
QString menuText(QString title) { return title.replace(QLatin1Char('&'), QStringLiteral("&&")); }

Item dynamicSubmenu(const char* title, const char* filler) {
    Item item;
    item.title = QString::fromUtf8(title);
    item.dynamicMenu = QString::fromLatin1(filler);
    return item;
}

Item submenu(const char* title, std::vector<Item> items) {
    Item item;
    item.title = QString::fromUtf8(title);
    item.submenu = std::move(items);
    return item;
}

}  // namespace

std::vector<NBMenuController::Menu> NBMenuController::mainMenu(bool developerMode) {
    std::vector<Menu> menus;
    menus.push_back(
        {QStringLiteral("File"),
         QStringLiteral("fileMenu"),
         {command("New", "newDocument:", QKeySequence::New),
          command("Open…", "openDocument:", QKeySequence::Open),
          dynamicSubmenu("Open Recent", "openRecent"),
          command("Open Example Document", "openExampleDocument:"), separator(),
          command("Close", "performClose:", QKeySequence(Qt::CTRL | Qt::Key_W)),
          command("Save", "saveDocument:", QKeySequence::Save),
          command("Save As…", "saveDocumentAs:", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
          command("Revert to Saved", "revertDocumentToSaved:"), separator(),
          command("Export…", "export:"), command("Save as PDF…", "saveDocumentAsPDFTo:"),
          command("Send to Mail", "sendToMail:"), separator(),
          command("Print…", "printDocument:", QKeySequence::Print), separator(),
          command("Quit", "terminate:", QKeySequence::Quit)}});
    menus.push_back(
        {QStringLiteral("Edit"),
         QStringLiteral("editMenu"),
         {command("Undo", "undo:", QKeySequence::Undo),
          command("Redo", "redo:", QKeySequence::Redo),
          separator(),
          command("Cut", "cut:", QKeySequence::Cut),
          command("Copy", "copy:", QKeySequence::Copy),
          command("Paste", "paste:", QKeySequence::Paste),
          command("Select All", "selectAll:", QKeySequence::SelectAll),
          separator(),
          submenu("Find", {command("Find…", "showFindPanel:", QKeySequence::Find),
                           command("Find Next", "findNext:", QKeySequence(Qt::CTRL | Qt::Key_G)),
                           command("Find Previous", "findPrevious:",
                                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G))}),
          separator(),
          command("Copy Result", "copyResult:"),
          command("Copy Raw Result", "copyUnformattedResult:"),
          command("Copy Expression & Result", "copyExpressionAndResult:"),
          separator(),
          [] {
              Item item = command("Insert Previous Answer", "insertPreviousAnswer:");
              item.tag = 0;
              return item;
          }(),
          [] {
              Item item = command("Insert Previous Answer as Number", "insertPreviousAnswer:");
              item.tag = 1;
              return item;
          }(),
          command("Insert Reference to Line Above", "insertNewToken:"),
          command("Insert Subtotal of Selected Lines", "insertSubtotalOfSelectedLines:"),
          command("Jump Answers into Text", "jumpAnswers:"),
          separator(),
          command("Comment Line", "commentLine:"),
          command("Clear Line", "clearLine:"),
          command("Clear All", "clearAll:"),
          separator(),
          submenu("Speech", {command("Speak Selected Lines", "speakSelectedLines:"),
                             command("Speak Answer", "speakAnswer:"),
                             command("Stop Speaking", "stopSpeech:")}),
          separator(),
          command("Preferences…", "showPreferences:", QKeySequence(Qt::CTRL | Qt::Key_Comma))}});
    menus.push_back(
        {QStringLiteral("Format"),
         QStringLiteral("formatMenu"),
         {command("Make Text Bigger", "makeFontBigger:", QKeySequence::ZoomIn),
          command("Make Text Smaller", "makeFontSmaller:", QKeySequence::ZoomOut), separator(),
          submenu("Decimal Places",
                  {tagged("0", "setPrecision:", 0), tagged("1", "setPrecision:", 1),
                   tagged("2", "setPrecision:", 2), tagged("3", "setPrecision:", 3),
                   tagged("4", "setPrecision:", 4), tagged("5", "setPrecision:", 5),
                   tagged("6", "setPrecision:", 6), tagged("8", "setPrecision:", 8),
                   tagged("10", "setPrecision:", 10)}),
          [] {
              Item item = command("Thousands Separator", "toggleThousandsSeperator:");
              item.checkable = true;
              return item;
          }(),
          submenu("Scientific Notation", {tagged("Automatic", "setNotationMode:", 2),
                                          tagged("Always", "setNotationMode:", 1),
                                          tagged("Never", "setNotationMode:", 0)}),
          submenu("Base", {tagged("Decimal", "setBase:", 0), tagged("Binary", "setBase:", 1),
                           tagged("Hexadecimal", "setBase:", 2)}),
          submenu("Trigonometry",
                  {tagged("Degrees", "setTrigMode:", 1), tagged("Radians", "setTrigMode:", 2)}),
          separator(),
          [] {
              // Digits and signs typed while it is on are raised: an exponent.
              Item item =
                  command("Superscript",
                          "toggleSuperScriptMode:", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
              item.checkable = true;
              return item;
          }(),
          submenu("Text Alignment",
                  {tagged("Align Left", "alignText:", 0), tagged("Center", "alignText:", 2),
                   tagged("Align Right", "alignText:", 1)})}});
    menus.push_back({QStringLiteral("View"),
                     QStringLiteral("viewMenu"),
                     {command("Show Toolbar", "toggleWindowToolbarShown:"),
                      command("Show Formatting Bar", "toggleFormattingBarShown:"),
                      command("Show Line Numbers", "toggleNumberLineShown:"),
                      command("Show Statistics Bar", "toggleStatisticsShown:"), separator(),
                      command("Show Big Answer", "showBigAnswer:"),
                      command("Show Answer Palette", "showAnswerPalette:")}});
    menus.push_back(
        {QStringLiteral("Window"),
         QStringLiteral("windowMenu"),
         {command("Minimize", "performMiniaturize:"), separator(),
          command("Numbers", "showNumerals:"), command("Quick Reference", "toggleReferenceSheet:"),
          command("Welcome to Numbera", "showWelcomeWindow:")}});
    if (developerMode)
        menus.push_back({QStringLiteral("Developer"),
                         QStringLiteral("developerMenu"),
                         {command("Run Asynchronous App Tests", "runAsynchonousAppTests:"),
                          command("Reset Typing Attributes", "doSomething:"),
                          command("Text Do Something", "textDoSomething:")}});
    menus.push_back(
        {QStringLiteral("Help"),
         QStringLiteral("helpMenu"),
         {command("Numbera Quick Reference", "showReferenceSheet:", QKeySequence::HelpContents),
          command("General Examples", "openExampleDocument:"),
          command("Watch Introduction Video", "watchIntroductionMovie:"),
          command("Numbera Website", "goToWebsite:"), separator(),
          command("Send Feedback…", "sendFeedback:"), command("Report a Bug…", "submitBugReport:"),
          separator(), command("Disclaimer", "showDisclaimerWindow:"),
          command("Check for Updates…", "checkForUpdate:"), separator(),
          command("About Numbera", "showAboutPanel:")}});
    return menus;
}

NBMenuController::NBMenuController(std::map<QString, Handler> handlers, QObject* parent)
    : QObject(parent), m_handlers(std::move(handlers)) {
    m_menus = mainMenu(NBUserDefaultsController::isInDeveloperMode());
    for (const Menu& menu : m_menus) makeActions(menu.items);
}

NBMenuController::~NBMenuController() = default;

QString NBMenuController::key(const QString& command, int tag) {
    return tag < 0 ? command : command + QLatin1Char('#') + QString::number(tag);
}

void NBMenuController::makeActions(const std::vector<Item>& items) {
    for (const Item& item : items) {
        if (!item.submenu.empty()) {
            makeActions(item.submenu);
            continue;
        }
        if (item.command.isEmpty()) continue;
        const QString actionKey = key(item.command, item.tag);
        // One action per command: an item named twice (the example in File and Help) shares it.
        if (m_actions.count(actionKey)) continue;
        auto* action = new QAction(menuText(item.title), this);
        action->setObjectName(actionKey);
        action->setData(item.tag);
        action->setShortcut(item.shortcut);
        action->setCheckable(item.checkable);
        action->setMenuRole(QAction::NoRole);
        auto handler = m_handlers.find(item.command);
        if (handler == m_handlers.end() || !handler->second) {
            action->setEnabled(false);
        } else {
            Handler run = handler->second;
            connect(action, &QAction::triggered, this, [run] { run(); });
        }
        if (auto translated = NBInterfaceLocalizer::localizedString(item.title))
            action->setText(menuText(*translated));
        m_actions[actionKey] = action;
    }
}

void NBMenuController::fillMenu(QMenu* menu, const std::vector<Item>& items) {
    for (const Item& item : items) {
        if (!item.dynamicMenu.isEmpty()) {
            QMenu* child = menu->addMenu(menuText(item.title));
            child->setObjectName(item.dynamicMenu + QStringLiteral("Menu"));
            if (auto translated = NBInterfaceLocalizer::localizedString(item.title))
                child->setTitle(menuText(*translated));
            const QString name = item.dynamicMenu;
            connect(child, &QMenu::aboutToShow, this, [this, child, name] {
                child->clear();
                if (auto filler = m_menuFillers.find(name); filler != m_menuFillers.end())
                    filler->second(child);
            });
        } else if (!item.submenu.empty()) {
            QMenu* child = menu->addMenu(menuText(item.title));
            fillMenu(child, item.submenu);
            if (auto translated = NBInterfaceLocalizer::localizedString(item.title))
                child->setTitle(menuText(*translated));
        } else if (item.command.isEmpty()) {
            menu->addSeparator();
        } else {
            menu->addAction(m_actions.at(key(item.command, item.tag)));
        }
    }
}

QMenuBar* NBMenuController::installMenuBar(QMainWindow* window) {
    auto* bar = new QMenuBar(window);
    bar->setObjectName(QStringLiteral("mainMenuBar"));
    QString mnemonics;
    for (const Menu& description : m_menus) {
        QMenu* menu = bar->addMenu(description.title);
        menu->setObjectName(description.name);
        connect(menu, &QMenu::aboutToShow, this, &NBMenuController::validateMenuItems);
        connect(menu, &QMenu::aboutToHide, this, &NBMenuController::enableDocumentCommands);
        fillMenu(menu, description.items);
        QString title = description.title;
        if (auto translated = NBInterfaceLocalizer::localizedString(description.title))
            title = *translated;
        // Alt and a letter open the menu (and never type the letter into the text).
        menu->setTitle(titleWithMnemonic(title, &mnemonics));
        if (description.name == QLatin1String("windowMenu"))
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { listWindows(menu); });
    }
    window->setMenuBar(bar);
    return bar;
}

void NBMenuController::addApplicationShortcuts(QWidget* window) {
    if (!window) return;
    for (const char* command : {"terminate:", "newDocument:", "openDocument:"})
        if (QAction* shared = action(QString::fromLatin1(command))) window->addAction(shared);
}

QAction* NBMenuController::action(const QString& command, int tag) const {
    auto found = m_actions.find(key(command, tag));
    return found == m_actions.end() ? nullptr : found->second;
}

bool NBMenuController::hasDeveloperMenu() const {
    for (const Menu& menu : m_menus)
        if (menu.name == QLatin1String("developerMenu")) return true;
    return false;
}

void NBMenuController::setDocumentCommands(const QStringList& commands, DocumentPerformer perform,
                                           DocumentValidator validate) {
    m_documentCommands = commands;
    m_validate = std::move(validate);
    for (auto& [actionKey, action] : m_actions) {
        const QString command = actionKey.section(QLatin1Char('#'), 0, 0);
        if (!commands.contains(command) || m_handlers.count(command)) continue;
        const int tag = action->data().toInt();
        // A disabled action takes no shortcut: the document's commands stay enabled outside
        // an open menu, and each is validated when its shortcut fires.
        action->setEnabled(true);
        QAction* item = action;
        connect(action, &QAction::triggered, this, [this, perform, command, tag, item] {
            if (m_validate && !m_validate(command, item)) return;
            perform(command, tag);
        });
    }
}

void NBMenuController::enableDocumentCommands() {
    for (auto& [actionKey, action] : m_actions) {
        const QString command = actionKey.section(QLatin1Char('#'), 0, 0);
        if (m_documentCommands.contains(command) && !m_handlers.count(command))
            action->setEnabled(true);
    }
}

QString NBMenuController::titleWithMnemonic(const QString& title, QString* taken) {
    QString escaped = menuText(title);
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const QChar letter = escaped.at(i).toLower();
        if (!letter.isLetter() || (taken && taken->contains(letter))) continue;
        if (taken) taken->append(letter);
        return escaped.insert(i, QLatin1Char('&'));
    }
    return escaped;
}

void NBMenuController::setDynamicMenuFiller(const QString& name, MenuFiller filler) {
    m_menuFillers[name] = std::move(filler);
}

void NBMenuController::listWindows(QMenu* menu) {
    // The entries of the last opening go; the menu's own items stay.
    for (QAction* action : menu->actions())
        if (action->property("listsWindow").toBool()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    if (!m_windowLister) return;
    const std::vector<QWidget*> windows = m_windowLister();
    if (windows.empty()) return;
    QAction* line = menu->addSeparator();
    line->setProperty("listsWindow", true);
    for (QWidget* window : windows) {
        QString title = window->windowTitle();
        title.replace(QStringLiteral("[*]"),
                      window->isWindowModified() ? QStringLiteral("*") : QString());
        QAction* entry = menu->addAction(menuText(title));
        entry->setProperty("listsWindow", true);
        entry->setCheckable(true);
        entry->setChecked(window->isActiveWindow());
        QPointer<QWidget> target(window);
        connect(entry, &QAction::triggered, this, [target] {
            if (!target) return;
            if (target->isMinimized()) target->showNormal();
            target->show();
            target->raise();
            target->activateWindow();
        });
    }
}

void NBMenuController::validateMenuItems() {
    if (m_menuUpdater) m_menuUpdater();
    if (!m_validate) return;
    for (auto& [actionKey, action] : m_actions) {
        const QString command = actionKey.section(QLatin1Char('#'), 0, 0);
        if (m_documentCommands.contains(command) && !m_handlers.count(command))
            action->setEnabled(m_validate(command, action));
    }
}
