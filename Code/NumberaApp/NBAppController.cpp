#include "NBAppController.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUrl>
#include <cstdlib>

#include "ATMailHelper.h"
#include "Diagnostics.h"
#include "NBAnswerColumnView.h"
#include "NBAppResources.h"
#include "NBAppTester.h"
#include "NBColorController.h"
#include "NBDefaultFontChooser.h"
#include "NBDialogsController.h"
#include "NBDocumentController.h"
#include "NBDocumentDrafts.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBFindPanel.h"
#include "NBGlobalActionController.h"
#include "NBInterfaceLocalizer.h"
#include "NBLocalizationHelper.h"
#include "NBMathKey.h"
#include "NBMathKeyPreferencesPane.h"
#include "NBMenuController.h"
#include "NBNumeralsWindowController.h"
#include "NBPreferencesWindowController.h"
#include "NBTextView.h"
#include "NBTextViewController.h"
#include "NBUpdateController.h"
#include "NBUserDefaultsController.h"
#include "NBWindowRestoration.h"
#include "NKCurrenciesManager.h"
#include "NKCurrency.h"
#include "NKFunctions.h"
#include "NSLocalizedString.h"
#include "QtSettings.h"
#include "ResourceBundle.h"

#ifndef NUMBERA_APP_VERSION
#define NUMBERA_APP_VERSION "2.0"
#endif
#ifndef NUMBERA_APP_BUILD
#define NUMBERA_APP_BUILD "1"
#endif

// The kit's colour controller joins the controller lives.
class NBColorControllerLife : public NBControllerLife {
  public:
    void beginLife() override { m_controller.beginLife(); }
    void endLife() override { m_controller.endLife(); }

  private:
    NBColorController m_controller;
};

namespace {

NBAppController* s_appController = nullptr;

// The data files that could not be read entirely: the user hears of them once, and that
// nothing of them is lost.
void showPartlyReadFilesAlert(const std::vector<std::string>& files) {
    QStringList names;
    for (const std::string& file : files)
        names << QStringLiteral("“%1”").arg(QFileInfo(QString::fromStdString(file)).fileName());
    const QString folder = QFileInfo(QString::fromStdString(files.front())).absolutePath();
    auto* alert = new QMessageBox(
        QMessageBox::Warning,
        QCoreApplication::translate("NBAppController", "Some of your data could not be read"),
        QCoreApplication::translate("NBAppController",
                                    "%1 in %2 could not be read entirely. Numbera goes on with "
                                    "what it could read, and keeps the file as it is, with the "
                                    "ending “.unreadable”, before it saves this data again.")
            .arg(names.join(QStringLiteral(", ")), folder),
        QMessageBox::Ok, QApplication::activeWindow());
    alert->setObjectName(QStringLiteral("partlyReadFilesAlert"));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
}

// The edit commands act on the text of the active document window.
NBDocumentWindow* activeDocumentWindow() {
    for (QWidget* window = QApplication::activeWindow(); window; window = window->parentWidget())
        if (auto* document = qobject_cast<NBDocumentWindow*>(window)) return document;
    return nullptr;
}

void editCommand(void (NBTextViewController::*command)()) {
    if (NBDocumentWindow* window = activeDocumentWindow())
        (window->document().textViewController().*command)();
}

void textCommand(void (QTextEdit::*command)()) {
    if (NBDocumentWindow* window = activeDocumentWindow()) (window->textView()->*command)();
}

}  // namespace

NBAppController::NBAppController(QtSettings& settings, std::string resourcesFolder,
                                 std::optional<std::string> dataFolder, QObject* parent)
    : QObject(parent),
      m_settings(settings),
      m_resourcesFolder(std::move(resourcesFolder)),
      m_dataFolder(dataFolder ? std::move(dataFolder) : applicationSupportDirectory()) {
    s_appController = this;
    m_undoGroup = new QUndoGroup(this);
    initialize(m_resourcesFolder);
    // The application's own rule decides when the last window ends it (Qt's would end it while
    // the self-test has closed every window, or while quitting closes one after another).
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
}

NBAppController::~NBAppController() {
    qApp->removeEventFilter(this);
    // Windows go before the controllers their menus call.
    delete m_findPanel.data();
    m_preferences.reset();
    if (m_environmentController) {
        m_environmentController->setRefreshHandler({});
        m_environmentController->setVariablesHandler({});
        m_environmentController->setPartlyReadFilesHandler({});
    }
    if (m_documents) m_documents->closeAllDocuments();
    m_menuController.reset();
    m_globalActions.reset();
    m_dialogs.reset();
    m_documents.reset();
    m_environmentController.reset();
    if (s_appController == this) s_appController = nullptr;
}

NBAppController* NBAppController::appController() { return s_appController; }

void NBAppController::initialize(const std::string& resourcesFolder) {
    NKSetApplicationIdentity({u"" NUMBERA_APP_VERSION, kBundleIdentifier, u"" NUMBERA_APP_BUILD});
    if (!ResourceBundle::main())
        ResourceBundle::setMain(std::make_shared<ResourceBundle>(resourcesFolder));
    NBUserDefaultsController::setResourcesFolder(resourcesFolder);
    NBUserDefaultsController::setDefaultFontProvider(
        NBDefaultFontChooser::defaultFontForExampleString);
    NBUserDefaultsController::sharedInstance();
    if (std::getenv("NSZombieEnabled")) {
        Diagnostics::error("NSZombieEnabled/NSAutoreleaseFreedObjectCheckEnabled enabled!");
        return;
    }
    if (std::getenv("NSAutoreleaseFreedObjectCheckEnabled"))
        Diagnostics::error("NSZombieEnabled/NSAutoreleaseFreedObjectCheckEnabled enabled!");
}

QString NBAppController::dataFolder() const {
    return m_dataFolder ? QString::fromStdString(*m_dataFolder) : QString();
}

// Launch

void NBAppController::launch(const QStringList& arguments) {
    QStringList files;
    QStringList urls;
    for (const QString& argument : arguments) {
        const QUrl url(argument);
        if (url.scheme() == QLatin1String("numbera"))
            urls << argument;
        else if (url.isLocalFile())
            files << url.toLocalFile();
        else if (!argument.isEmpty() && !argument.startsWith('-'))
            files << argument;
    }
    applicationWillFinishLaunching();
    restoreWindows();
    applicationDidFinishRestoringWindows();
    openFiles(files);
    if (m_documents->documents().empty() && applicationShouldOpenUntitledFile())
        m_documents->newDocument();
    applicationDidFinishLaunching();
    // URL events arrive once the application has finished launching.
    for (const QString& url : urls) handleGetURLEvent(url);
}

void NBAppController::applicationWillFinishLaunching() {
    // The mail program has read the pages mailed in earlier launches.
    ATMailHelper::pruneAttachments();
    setupControllers();
    m_isLaunching = true;
    beginControllerLives();
}

void NBAppController::setupControllers() {
    m_userDefaultsController = &NBUserDefaultsController::sharedInstance();
    m_colorController = std::make_unique<NBColorControllerLife>();

    m_environmentController =
        std::make_unique<NBEnvironmentController>(m_resourcesFolder, m_dataFolder);
    m_environmentController->setDelegate(this);
    m_environmentController->loadEnvironment();
    // The keystroke replacements: the user's list, else the shipped one.
    NBMathKeyController::sharedInstance().beginLife(
        m_dataFolder ? *m_dataFolder + "/Mathkeys.plist" : std::string(),
        m_resourcesFolder.empty() ? std::string() : m_resourcesFolder + "/Mathkeys.plist");

    m_documents = std::make_unique<NBDocumentManager>();
    m_documents->setDataFolder(dataFolder());
    connect(m_documents.get(), &NBDocumentManager::documentWillClose, this,
            &NBAppController::documentWillClose);
    m_documents->setWindowPreparer([this](QMainWindow* window) { prepareWindow(window); });
    // Changes of the environment reach every open document.
    NBDocumentManager* open = m_documents.get();
    m_environmentController->setRefreshHandler([this, open] {
        for (NBDocumentWindow* window : open->documents())
            window->document().refreshForEnvironmentChange();
        if (m_globalActions)
            if (NBNumeralsWindowController* numerals = m_globalActions->loadedNumeralsWindow())
                numerals->reloadContent();
    });
    m_environmentController->setVariablesHandler(
        [open](const std::vector<std::shared_ptr<NCVariable>>& variables) {
            for (NBDocumentWindow* window : open->documents())
                window->document().updateDocumentForChangedGlobalVariables(variables);
        });

    m_environmentController->setPartlyReadFilesHandler(
        [this](const std::vector<std::string>& files) {
            // After the launch's windows show: the alert comes in front of them.
            QMetaObject::invokeMethod(
                this, [files] { showPartlyReadFilesAlert(files); }, Qt::QueuedConnection);
        });

    // The interface follows the content language's localisation, as the environment does.
    std::optional<std::string> localization = NBLocalizationHelper::languageCodeForContentLanguage(
        NBUserDefaultsController::contentLanguage());
    if (!localization) {
        const auto preferred = ResourceBundle::main()->preferredLocalizations();
        if (!preferred.empty()) localization = preferred.front();
    }
    NBDialogsController::Actions dialogActions;
    dialogActions.openExampleDocument = [this] { m_globalActions->openExampleDocument(); };
    dialogActions.watchIntroductionMovie = [this] { m_globalActions->watchIntroductionMovie(); };
    dialogActions.continueToNumbera = [this] {
        if (m_documents->documents().empty() && !isTerminating()) m_documents->newDocument();
    };
    m_dialogs = std::make_unique<NBDialogsController>(localization, std::move(dialogActions));
    m_globalActions = std::make_unique<NBGlobalActionController>(*m_dialogs, *m_documents);

    NBGlobalActionController* global = m_globalActions.get();
    NBDocumentManager* documents = m_documents.get();
    std::map<QString, NBMenuController::Handler> handlers = {
        {"newDocument:", [documents] { documents->newDocument(); }},
        {"openDocument:",
         [documents] {
             const QString path =
                 QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(),
                                              QStringLiteral("Numbera (*.numbera)"));
             if (!path.isEmpty()) documents->openDocument(path);
         }},
        {"openExampleDocument:", [global] { global->openExampleDocument(); }},
        {"performClose:",
         [] {
             if (QWidget* window = QApplication::activeWindow()) window->close();
         }},
        {"saveDocument:",
         [documents] {
             if (NBDocumentWindow* window = documents->currentDocument()) window->saveDocument();
         }},
        {"saveDocumentAs:",
         [documents] {
             if (NBDocumentWindow* window = documents->currentDocument()) window->saveDocumentAs();
         }},
        {"revertDocumentToSaved:",
         [documents] {
             if (NBDocumentWindow* window = documents->currentDocument())
                 window->revertDocumentToSaved();
         }},
        {"export:",
         [documents] {
             if (NBDocumentWindow* window = documents->currentDocument())
                 window->document().exportDocument();
         }},
        {"saveDocumentAsPDFTo:",
         [documents] {
             if (NBDocumentWindow* window = documents->currentDocument())
                 window->document().saveDocumentAsPDFTo();
         }},
        {"sendToMail:",
         [documents] {
             if (NBDocumentWindow* window = documents->currentDocument())
                 window->document().sendToMail();
         }},
        {"printDocument:",
         [documents] {
             if (NBDocumentWindow* window = documents->currentDocument())
                 window->document().printDocumentWithSettings({}, true);
         }},
        {"undo:",
         [this] {
             // A window without text (the numerals window) undoes through the group.
             if (!activeDocumentWindow() && m_undoGroup->activeStack())
                 m_undoGroup->undo();
             else
                 editCommand(&NBTextViewController::undo);
         }},
        {"redo:",
         [this] {
             if (!activeDocumentWindow() && m_undoGroup->activeStack())
                 m_undoGroup->redo();
             else
                 editCommand(&NBTextViewController::redo);
         }},
        {"showFindPanel:", [this] { findPanel().showPanel(); }},
        {"findNext:", [this] { findPanel().findNext(); }},
        {"findPrevious:", [this] { findPanel().findPrevious(); }},
        {"cut:", [] { editCommand(&NBTextViewController::cut); }},
        {"copy:",
         [] {
             auto* column = qobject_cast<NBAnswerColumnView*>(QApplication::focusWidget());
             if (column && column->copiesAnswers())
                 column->copy();
             else
                 textCommand(&QTextEdit::copy);
         }},
        {"paste:", [] { textCommand(&QTextEdit::paste); }},
        {"selectAll:", [] { textCommand(&QTextEdit::selectAll); }},
        {"terminate:", [this] { terminate(); }},
        {"makeFontBigger:", [global] { global->makeFontBigger(); }},
        {"makeFontSmaller:", [global] { global->makeFontSmaller(); }},
        {"performMiniaturize:",
         [] {
             if (QWidget* window = QApplication::activeWindow()) window->showMinimized();
         }},
        {"toggleReferenceSheet:", [global] { global->toggleReferenceSheet(); }},
        {"showWelcomeWindow:", [global] { global->showWelcomeWindow(); }},
        {"showReferenceSheet:", [global] { global->showReferenceSheet(); }},
        {"watchIntroductionMovie:", [global] { global->watchIntroductionMovie(); }},
        {"goToWebsite:", [global] { global->goToWebsite(); }},
        {"sendFeedback:", [global] { global->sendFeedback(); }},
        {"submitBugReport:", [global] { global->submitBugReport(); }},
        {"showDisclaimerWindow:", [global] { global->showDisclaimerWindow(); }},
        {"showAboutPanel:", [global] { global->showAboutPanel(); }},
        {"showNumerals:", [global] { global->showNumeralsWindow(); }},
        {"showPreferences:",
         [this] {
             preferencesController().show();
             if (QWidget* window = m_preferences->window())
                 m_menuController->addApplicationShortcuts(window);
         }},
        {"checkForUpdate:",
         [] { NBUpdateController::checkForUpdates(QApplication::activeWindow()); }},
        {"runAsynchonousAppTests:",
         [this] {
             auto* tester = new NBAppTester(*m_documents, this);
             // Its documents all close on the way: the application waits for its end.
             tester->setKeepRunning(keepRunning());
             tester->runAsychronousTests();
         }},
    };
    m_menuController = std::make_unique<NBMenuController>(std::move(handlers));
    m_menuController->setDynamicMenuFiller(QStringLiteral("openRecent"), [documents](QMenu* menu) {
        for (const QString& path : NBDocumentManager::recentDocuments()) {
            QAction* entry = menu->addAction(
                QFileInfo(path).fileName().replace(QLatin1Char('&'), QStringLiteral("&&")));
            entry->setToolTip(path);
            connect(entry, &QAction::triggered, documents,
                    [documents, path] { documents->openDocument(path); });
        }
        if (!menu->isEmpty()) menu->addSeparator();
        QAction* clear =
            menu->addAction(NBAppResources::toQString(NSLocalizedString(u"Clear Menu")),
                            [] { NBDocumentManager::clearRecentDocuments(); });
        clear->setObjectName(QStringLiteral("clearRecentDocuments"));
        clear->setEnabled(!NBDocumentManager::recentDocuments().isEmpty());
    });
    m_menuController->setWindowLister([documents] {
        std::vector<QWidget*> windows;
        for (NBDocumentWindow* window : documents->documents()) windows.push_back(window);
        return windows;
    });
    // Undo and Redo name the step they would take, in a document or a panel's window.
    m_menuController->setMenuUpdater([this] {
        if (QAction* undo = m_menuController->action(QStringLiteral("undo:")))
            undo->setText(QString(undoTitle(true)).replace(QLatin1Char('&'), QStringLiteral("&&")));
        if (QAction* redo = m_menuController->action(QStringLiteral("redo:")))
            redo->setText(
                QString(undoTitle(false)).replace(QLatin1Char('&'), QStringLiteral("&&")));
    });
    // The windows without a menu bar still answer the application's own keys (Quit…).
    m_dialogs->setWindowPreparer([menus = m_menuController.get()](QWidget* window) {
        menus->addApplicationShortcuts(window);
    });
    // The document commands act on the active document window, else the last one opened.
    m_menuController->setDocumentCommands(
        NBDocumentController::documentCommands(),
        [documents](const QString& command, int tag) {
            if (NBDocumentWindow* window = documents->currentDocument())
                window->document().performCommand(command, tag);
        },
        [documents](const QString& command, QAction* item) {
            NBDocumentWindow* window = documents->currentDocument();
            return window && window->document().validateMenuItem(command, item);
        });
    m_globalActions->setNumeralsEnvironment(m_environmentController.get(), m_undoGroup,
                                            [this](QMainWindow* window) { prepareWindow(window); });
}

QString NBAppController::undoTitle(bool undo) const {
    const QString verb = QString::fromStdU16String(NSLocalizedString(undo ? u"Undo" : u"Redo"));
    QString step;
    if (NBDocumentWindow* window = activeDocumentWindow()) {
        const NBTextViewController& text = window->document().textViewController();
        step = undo ? text.undoActionName() : text.redoActionName();
    } else if (QUndoStack* stack = m_undoGroup->activeStack();
               stack && QApplication::activeWindow() == stack->parent()) {
        // A panel's window ("Undo Add Stock").
        step = undo ? stack->undoText() : stack->redoText();
    }
    return step.isEmpty() ? verb : verb + QLatin1Char(' ') + step;
}

std::vector<NBControllerLife*> NBAppController::controllers() {
    // "userDefaultsController", "colorController", "mathKeyController", "menuController";
    // there is no keystroke-replacement controller yet.
    return {m_userDefaultsController, m_colorController.get(), nullptr, m_menuController.get()};
}

NBPreferencesWindowController& NBAppController::preferencesController() {
    if (!m_preferences) {
        m_preferences = std::make_unique<NBPreferencesWindowController>();
        m_preferences->setPaneWidget(NBPrefPaneMathKey, new NBMathKeyPreferencesPane);
    }
    return *m_preferences;
}

NBFindPanel& NBAppController::findPanel() {
    if (!m_findPanel)
        m_findPanel = new NBFindPanel([documents = m_documents.get()]() -> QTextEdit* {
            NBDocumentWindow* window = documents->currentDocument();
            return window ? window->textView() : nullptr;
        });
    return *m_findPanel;
}

void NBAppController::prepareWindow(QMainWindow* window) {
    m_menuController->installMenuBar(window);
    NBInterfaceLocalizer::localizeWidget(window);
}

void NBAppController::restoreWindows() {
    if (!m_dataFolder) return;
    QStringList drafts = NBDocumentDrafts::drafts(dataFolder());
    for (const auto& entry : NBWindowRestoration::read(dataFolder())) {
        NBDocumentWindow* window = nullptr;
        if (!entry.draftPath.isEmpty()) {
            drafts.removeAll(QFileInfo(entry.draftPath).absoluteFilePath());
            window = m_documents->openDraft(entry.draftPath);
        }
        if (!window && !entry.filePath.isEmpty())
            window = m_documents->openDocument(entry.filePath);
        if (window && !entry.geometry.isEmpty()) window->restoreGeometry(entry.geometry);
        if (window) window->document().restoreLineStates(entry.lineStates);
        if (window && entry.answerPaletteVisible) window->document().restoreAnswerPalette();
    }
    // Drafts nobody restored were left by a session that ended without quitting: their work
    // is offered back as it was.
    for (const QString& draft : drafts) m_documents->openDraft(draft);
}

void NBAppController::applicationDidFinishRestoringWindows() {
    if (m_documents->documents().empty() && iCloudStorageEnabled() &&
        NBUserDefaultsController::wantsNewDocumentOnLaunch())
        m_documents->newDocument();
}

bool NBAppController::applicationShouldOpenUntitledFile() const {
    // The welcome window takes the place of the first document.
    if (NBUserDefaultsController::isFirstLaunch() &&
        NBUserDefaultsController::showsWelcomeWindowOnLaunch() && m_isLaunching)
        return false;
    return true;
}

void NBAppController::applicationDidFinishLaunching() {
    if (NBUserDefaultsController::showsWelcomeWindowOnLaunch()) {
        if (NBUserDefaultsController::isFirstLaunch())
            NBUserDefaultsController::setValueForKey("NBShowWelcomeWindowOnLaunch", false);
        m_dialogs->showWelcomeWindow();
    }
    m_isLaunching = false;
}

bool NBAppController::applicationShouldHandleReopen(bool hasVisibleWindows) {
    if (hasVisibleWindows || !iCloudStorageEnabled() ||
        !NBUserDefaultsController::wantsNewDocumentOnLaunch())
        return true;
    m_documents->newDocument();
    return false;
}

void NBAppController::reopen() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowType() != Qt::Tool &&
            qobject_cast<QMainWindow*>(window)) {
            if (window->isMinimized())
                window->setWindowState((window->windowState() & ~Qt::WindowMinimized) |
                                       Qt::WindowActive);
            window->raise();
            window->activateWindow();
            return;
        }
    }
    if (applicationShouldHandleReopen(false) && applicationShouldOpenUntitledFile())
        m_documents->newDocument();
}

void NBAppController::openFiles(const QStringList& paths) {
    for (const QString& path : paths) m_documents->openDocument(path);
}

void NBAppController::handleGetURLEvent(const QString& url) {
    const QUrl parsed(url);
    if (parsed.host() != QLatin1String("quickreference")) return;
    if (NBGlobalActionController* global = NBGlobalActionController::sharedInstance())
        global->showReferenceSheet();
}

// Environment

void NBAppController::environmentControllerWillLoadEnvironment(NBEnvironmentController&,
                                                               NKEnvironment& environment) {
    if (auto units = environment.unitsManager())
        NBUserDefaultsController::setUnitPreferencesOnUnitManager(*units);
}

void NBAppController::environmentControllerDidLoadEnvironment(NBEnvironmentController&,
                                                              NKEnvironment& environment) {
    if (NBUserDefaultsController::baseCurrencyCode().empty()) {
        const auto localization = environment.localizationManager();
        const std::u16string code =
            localization ? localization->bestCurrencyCodeForCurrentLocale() : std::u16string();
        if (!code.empty()) {
            NBUserDefaultsController::setBaseCurrencyCode(code);
            auto currencies = environment.fullCurrenciesManager();
            if (auto currency = currencies ? currencies->currencyWithCode(code) : nullptr) {
                currency->setFavourite(true);
                currency->setEnabled(true);
            }
        }
    }
    if (NBUserDefaultsController::isFirstLaunch())
        NBUserDefaultsController::migratePreferencesFromPreviousVersionsIfNecessary();
}

// Termination

std::vector<NBAppController::RestorableWindow> NBAppController::restorableWindows() const {
    std::vector<RestorableWindow> windows;
    for (NBDocumentWindow* window : m_documents->documents())
        windows.push_back(
            {window,
             {window->filePath(), window->saveGeometry(), window->document().draftPath(),
              window->document().encodeRestorableLineStates(),
              window->document().answerPaletteIsVisible()}});
    return windows;
}

void NBAppController::documentWillClose(NBDocumentWindow* window) {
    if (!m_quitWindows) return;
    // Its document has decided: saved under a name, kept as a draft, or neither.
    for (RestorableWindow& restorable : *m_quitWindows) {
        if (restorable.window != window) continue;
        restorable.entry.filePath = window->filePath();
        restorable.entry.draftPath = window->document().draftPath();
        restorable.closed = true;
    }
}

void NBAppController::terminate() {
    if (isTerminating()) return;
    m_terminating = true;
    // Recorded before the questions close any window.
    m_quitWindows = restorableWindows();
    m_documents->reviewUnsavedDocuments([this](bool allAnswered) {
        if (m_terminated) return;
        if (!allAnswered) {
            m_terminating = false;
            m_quitWindows.reset();
            return;
        }
        finishTerminating();
    });
}

void NBAppController::terminateWithoutAsking() {
    m_terminating = true;
    finishTerminating();
}

void NBAppController::finishTerminating() {
    applicationWillTerminate();
    if (m_exitHandler) m_exitHandler();
}

std::shared_ptr<void> NBAppController::keepRunning() {
    ++m_keepRunningCount;
    QPointer<NBAppController> self = this;
    return std::shared_ptr<void>(nullptr, [self](void*) {
        if (!self) return;
        --self->m_keepRunningCount;
        self->scheduleLastWindowCheck();
    });
}

bool NBAppController::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::Hide || event->type() == QEvent::Close) &&
        watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
        scheduleLastWindowCheck();
    return QObject::eventFilter(watched, event);
}

bool NBAppController::hasOpenWindow() const {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->parentWidget() ||
            window->testAttribute(Qt::WA_DontShowOnScreen))
            continue;
        const Qt::WindowType type = window->windowType();
        if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen ||
            type == Qt::Desktop)
            continue;
        return true;
    }
    return false;
}

void NBAppController::scheduleLastWindowCheck() {
    if (m_lastWindowCheckScheduled) return;
    m_lastWindowCheckScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_lastWindowCheckScheduled = false;
            if (m_isLaunching || isTerminating() || m_keepRunningCount > 0 || hasOpenWindow())
                return;
            emit lastWindowClosed();
        },
        Qt::QueuedConnection);
}

void NBAppController::applicationWillTerminate() {
    if (m_terminated) return;
    m_terminated = true;
    if (m_dataFolder) {
        // A quit in progress kept what its windows were before any closed; otherwise the
        // windows are all still open.
        std::vector<RestorableWindow> windows =
            m_quitWindows ? std::move(*m_quitWindows) : restorableWindows();
        m_quitWindows.reset();
        std::vector<NBWindowRestoration::Entry> entries;
        for (RestorableWindow& restorable : windows) {
            if (!restorable.closed && restorable.window) {
                NBDocumentController& document = restorable.window->document();
                document.writeDraftIfNeeded();
                restorable.entry.filePath = restorable.window->filePath();
                restorable.entry.draftPath = document.draftPath();
            }
            if (!restorable.entry.filePath.isEmpty() || !restorable.entry.draftPath.isEmpty())
                entries.push_back(std::move(restorable.entry));
        }
        NBWindowRestoration::save(dataFolder(), entries);
    }
    if (m_environmentController) m_environmentController->saveEnvironment();
    if (m_dataFolder) NBMathKeyController::sharedInstance().endLife();
    endControllerLives();
    m_settings.setDictionary("NBCreatorVersion", appInfoDictionary());
    m_settings.synchronize();
}
