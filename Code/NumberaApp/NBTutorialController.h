// The first-run tutorial of a document window: the first time a user opens a document window
// (other than the example document) a bubble points at the text, "Start Typing a Calculation
// Here"; once the user types (or resizes the window, or scrolls) it hops to the answer column,
// "Your Answer is Over Here", and goes away. A click hides a bubble at once.
//
// Its timers run on a main queue that tests can replace with one on a manual clock; they die
// with the window.
#ifndef NUMBERA_APP_NB_TUTORIAL_CONTROLLER_H
#define NUMBERA_APP_NB_TUTORIAL_CONTROLLER_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

#include "MainQueue.h"
#include "NBHelpBubble.h"

class NBDocumentWindow;

class NBTutorialController : public QObject, public NBHelpBubbleDelegate {
    Q_OBJECT

  public:
    static constexpr double kFirstBubbleDelay = 0.6;

    // The tutorial of a window that was just set up: when it has not run and the document is
    // not the example, the flag is set and the first bubble shows 0.6 s later. Null when
    // nothing starts. The window owns the controller.
    static NBTutorialController* startIfNeeded(NBDocumentWindow* window);
    // The queue of the tutorials started from now on; null: the process's main queue.
    static void setQueue(std::shared_ptr<MainQueue> queue);

    explicit NBTutorialController(NBDocumentWindow* window);
    ~NBTutorialController() override;

    void displayHelpBubbleOverTextView();
    void displayHelpBubbleOverAnswerColumn();
    void hideBubble();
    // NBHelpBubbleDelegate
    void helpBubbleWantsToAdvanceToNextStage(NBHelpBubble& bubble, bool bubbleClicked) override;

    // Null until the first bubble shows, and once the window closed.
    NBHelpBubble* helpBubble() const { return m_helpBubble; }
    // Ends the tutorial of this window: no timer runs, no bubble stays.
    void stop();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void after(double seconds, void (NBTutorialController::*action)());
    void textChanged();
    void viewMoved();

    QPointer<NBDocumentWindow> m_window;
    std::shared_ptr<MainQueue> m_queue;
    std::vector<MainQueue::TaskId> m_tasks;
    QPointer<NBHelpBubble> m_helpBubble;
    QString m_textAtFirstBubble;
};

#endif
