// The target of the commands that belong to no document: text size, the small windows, the
// mails and web pages, the example document and the about panel.
#ifndef NUMBERA_APP_NB_GLOBAL_ACTION_CONTROLLER_H
#define NUMBERA_APP_NB_GLOBAL_ACTION_CONTROLLER_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class NBDialogsController;
class NBDocumentManager;
class NBDocumentWindow;
class NBEnvironmentController;
class NBNumeralsWindowController;
class QMainWindow;
class QUndoGroup;
class QWidget;

class NBGlobalActionController : public QObject {
    Q_OBJECT

  public:
    NBGlobalActionController(NBDialogsController& dialogs, NBDocumentManager& documents,
                             QObject* parent = nullptr);
    ~NBGlobalActionController() override;

    // The application's one instance while it exists; null before.
    static NBGlobalActionController* sharedInstance();

    void makeFontBigger();
    void makeFontSmaller();
    void showWelcomeWindow();
    void showDisclaimerWindow();
    void showReferenceSheet();
    void toggleReferenceSheet();
    void sendFeedback();
    void submitBugReport();
    // The example document with the insertion point at its start; null, with a log line,
    // when it is missing or cannot be opened.
    NBDocumentWindow* openExampleDocument();
    void watchIntroductionMovie();
    void goToWebsite();
    void showAboutPanel();
    // The numerals window over the environment, its undo stack in the application's group, and
    // what every application window gets (the menu bar). Set once; none are owned.
    void setNumeralsEnvironment(NBEnvironmentController* environment, QUndoGroup* undoGroup,
                                std::function<void(QMainWindow*)> windowPreparer);
    // Made on first use; null without an environment.
    NBNumeralsWindowController* numeralsWindowController();
    // The numerals window once it was made, else null (it is not made for this).
    NBNumeralsWindowController* loadedNumeralsWindow() const;
    void showNumeralsWindow();
    QWidget* aboutPanel() const { return m_aboutPanel; }

    // The credits page followed by the thank-you line for the user.
    static QString creditsHTML(const QString& creditsPage, const QString& userName);
    // The user's full name from the account database, else the login name.
    static QString userFullName();

  private:
    NBDialogsController& m_dialogs;
    NBDocumentManager& m_documents;
    QPointer<QWidget> m_aboutPanel;
    NBEnvironmentController* m_numeralsEnvironment = nullptr;
    QUndoGroup* m_undoGroup = nullptr;
    std::function<void(QMainWindow*)> m_windowPreparer;
    QPointer<NBNumeralsWindowController> m_numeralsWindowController;
};

#endif
