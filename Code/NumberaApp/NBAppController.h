// The application delegate: decides, in a fixed order, what exists when the first window
// opens — the settings, the application-wide controllers, the environment (loaded in the
// background), the URL handling and whether a document is restored, opened, created or left
// out — and what is saved when the application quits.
//
// Restoration is our own (NBWindowRestoration): the documents open at quit reopen with their
// geometry. The older open-last-file rule ("NBOpenSavedFileAtLaunch") belonged to systems
// without restoration and is not used.
#ifndef NUMBERA_APP_NB_APP_CONTROLLER_H
#define NUMBERA_APP_NB_APP_CONTROLLER_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NBEnvironmentController.h"
#include "NBStandardAppController.h"
#include "NBWindowRestoration.h"

class NBColorControllerLife;
class NBDialogsController;
class NBDocumentManager;
class NBDocumentWindow;
class NBFindPanel;
class NBGlobalActionController;
class NBMenuController;
class NBPreferencesWindowController;
class NBUserDefaultsController;
class QMainWindow;
class QtSettings;
class QUndoGroup;

class NBAppController : public QObject,
                        public NBStandardAppController,
                        public NBEnvironmentControllerDelegate {
    Q_OBJECT

  public:
    // The identity written into data files and NBCreatorVersion.
    static constexpr const char16_t* kBundleIdentifier = u"app.numbera.Numbera";

    // The settings must be the standard ones; the resources folder holds "Defaults.plist",
    // the units and the pages. The data folder is the application's own unless given.
    NBAppController(QtSettings& settings, std::string resourcesFolder,
                    std::optional<std::string> dataFolder = std::nullopt,
                    QObject* parent = nullptr);
    ~NBAppController() override;

    // The application's delegate while it exists.
    static NBAppController* appController();
    // Class set-up: registers the settings (once per process) and reads the debugging
    // variables. Runs before the delegate is used.
    static void initialize(const std::string& resourcesFolder);

    // The whole launch: will-finish, restoration, the files and URLs of the command line, the
    // untitled-document rule, did-finish.
    void launch(const QStringList& arguments = {});
    void applicationWillFinishLaunching();
    void applicationDidFinishLaunching();
    bool applicationShouldOpenUntitledFile() const;
    void applicationDidFinishRestoringWindows();
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    // Saves the environment, the window state (the drafts of unsaved work first) and
    // NBCreatorVersion; once.
    void applicationWillTerminate();

    // The Quit command: the open windows are recorded for the next launch before any closes,
    // each edited document is asked about in turn, and once all are answered the application
    // terminates and exits; "Cancel" on any one stops the quit.
    void terminate();
    // A termination signal: drafts, window state and data files are written and the
    // application exits at once, asking nothing.
    void terminateWithoutAsking();
    // How the process ends after termination (the program leaves its event loop); nothing
    // when unset.
    void setExitHandler(std::function<void()> handler) { m_exitHandler = std::move(handler); }
    bool isTerminating() const { return m_terminating || m_terminated; }
    // While a token lives the application stays even without windows (the self-test closes
    // them all on its way); it must be released on the GUI thread.
    std::shared_ptr<void> keepRunning();

    // numbera://quickreference/... shows the quick reference; other URLs are ignored.
    void handleGetURLEvent(const QString& url);
    void openFiles(const QStringList& paths);
    // A second launch without files: bring a window forward, or make a document.
    void reopen();

    void setupControllers() override;
    std::vector<NBControllerLife*> controllers() override;
    // "Undo" or "Redo" followed by the name of the step it would take, where it has one.
    QString undoTitle(bool undo) const;

    NBEnvironmentController* environmentController() const { return m_environmentController.get(); }
    NBDocumentManager& documents() const { return *m_documents; }
    NBDialogsController& dialogs() const { return *m_dialogs; }
    NBGlobalActionController& globalActions() const { return *m_globalActions; }
    NBMenuController& menuController() const { return *m_menuController; }
    // The preferences window's controller, made on first use.
    NBPreferencesWindowController& preferencesController();
    // The find panel of the texts, made on first use.
    NBFindPanel& findPanel();
    bool isLaunching() const { return m_isLaunching; }
    // The panels' undo stacks; the active window's is the active one.
    QUndoGroup& undoGroup() const { return *m_undoGroup; }

    // NBEnvironmentControllerDelegate
    void environmentControllerWillLoadEnvironment(NBEnvironmentController& controller,
                                                  NKEnvironment& environment) override;
    void environmentControllerDidLoadEnvironment(NBEnvironmentController& controller,
                                                 NKEnvironment& environment) override;

  signals:
    // The last window of the application has closed (none is held open): the program ends.
    void lastWindowClosed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A window of the application's open documents, as the next launch brings it back.
    struct RestorableWindow {
        QPointer<NBDocumentWindow> window;
        NBWindowRestoration::Entry entry;
        bool closed = false;
    };
    std::vector<RestorableWindow> restorableWindows() const;
    void documentWillClose(NBDocumentWindow* window);
    void finishTerminating();
    // The application ends once it has no window left, outside launching and quitting.
    void scheduleLastWindowCheck();
    bool hasOpenWindow() const;
    void prepareWindow(QMainWindow* window);
    void restoreWindows();
    QString dataFolder() const;

    QtSettings& m_settings;
    std::string m_resourcesFolder;
    std::optional<std::string> m_dataFolder;
    bool m_isLaunching = false;
    bool m_terminated = false;
    bool m_terminating = false;
    // What the quit in progress restores at the next launch, taken before any window closed.
    std::optional<std::vector<RestorableWindow>> m_quitWindows;
    std::function<void()> m_exitHandler;
    int m_keepRunningCount = 0;
    bool m_lastWindowCheckScheduled = false;
    NBUserDefaultsController* m_userDefaultsController = nullptr;
    std::unique_ptr<NBColorControllerLife> m_colorController;
    std::unique_ptr<NBEnvironmentController> m_environmentController;
    std::unique_ptr<NBDocumentManager> m_documents;
    std::unique_ptr<NBDialogsController> m_dialogs;
    std::unique_ptr<NBGlobalActionController> m_globalActions;
    std::unique_ptr<NBMenuController> m_menuController;
    QUndoGroup* m_undoGroup = nullptr;
    std::unique_ptr<NBPreferencesWindowController> m_preferences;
    QPointer<NBFindPanel> m_findPanel;
};

#endif
