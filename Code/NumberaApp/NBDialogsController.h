// The application's small windows: the welcome window, the quick-reference window and the
// disclaimer. Texts and pages come from the resources; a missing page is a log line and its
// window stays hidden.
#ifndef NUMBERA_APP_NB_DIALOGS_CONTROLLER_H
#define NUMBERA_APP_NB_DIALOGS_CONTROLLER_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QTextBrowser;
class QWidget;

class NBDialogsController : public QObject {
    Q_OBJECT

  public:
    struct Actions {
        std::function<void()> openExampleDocument;
        std::function<void()> watchIntroductionMovie;
        // A new untitled document when none is open.
        std::function<void()> continueToNumbera;
    };

    // The reference window takes the width of its language for "ja", "de" and "ru".
    NBDialogsController(std::optional<std::string> localization, Actions actions,
                        QObject* parent = nullptr);
    ~NBDialogsController() override;

    // The application's one instance while it exists.
    static NBDialogsController* sharedInstance();
    // Given each window, those built already and those built later (the application's keys).
    void setWindowPreparer(std::function<void(QWidget*)> preparer);

    void showWelcomeWindow();
    void openGeneralExample();
    void goToIntroductionMovies();
    void continueToNumbera();
    QWidget* welcomeWindow() const;

    void showReferenceWindow();
    bool referenceWindowVisible() const;
    void hideReferenceWindow();
    QWidget* referenceWindow() const;
    QTextBrowser* referenceView() const { return m_referenceView; }
    // The section at the top of the page's visible area; none when the page has no sections.
    std::optional<QString> currentSectionID() const;
    // Stores the current section under NBReferenceWindowSelectedSection.
    void persistChosenReferencePane();
    // Scrolls to a section of the loaded page; false when the page has no such section.
    bool showSection(const QString& sectionID);
    // 558 for "ja", 500 for "de", 560 for "ru"; none for any other language.
    static std::optional<int> referenceWindowWidthForLanguage(const std::string& language);

    void showDisclaimerWindow();
    QWidget* disclaimerWindow() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildWelcomeWindow();
    void buildReferenceWindow();
    void buildDisclaimerWindow();
    void referenceDidFinishLoad();

    void prepare(QWidget* window);

    std::optional<std::string> m_localization;
    Actions m_actions;
    std::function<void(QWidget*)> m_windowPreparer;
    QPointer<QWidget> m_welcomeWindow;
    QPointer<QWidget> m_referenceWindow;
    QTextBrowser* m_referenceView = nullptr;
    QPointer<QWidget> m_disclaimerWindow;
    QTextBrowser* m_disclaimerView = nullptr;
};

#endif
