#include "NBTutorialController.h"

#include <QEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include "Diagnostics.h"
#include "NBAnswerColumnView.h"
#include "NBAppResources.h"
#include "NBDocumentController.h"
#include "NBDocumentWindow.h"
#include "NBTextView.h"
#include "NBUserDefaultsController.h"
#include "NSLocalizedString.h"

namespace {

std::shared_ptr<MainQueue>& queueOverride() {
    static std::shared_ptr<MainQueue> queue;
    return queue;
}

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

}  // namespace

void NBTutorialController::setQueue(std::shared_ptr<MainQueue> queue) {
    queueOverride() = std::move(queue);
}

NBTutorialController* NBTutorialController::startIfNeeded(NBDocumentWindow* window) {
    if (!window || NBUserDefaultsController::tutorialHasRun() ||
        window->document().isExampleDocument())
        return nullptr;
    // Set before the bubble shows: the tutorial runs once even if this window goes at once.
    NBUserDefaultsController::setTutorialHasRun(true);
    auto* tutorial = new NBTutorialController(window);
    tutorial->after(kFirstBubbleDelay, &NBTutorialController::displayHelpBubbleOverTextView);
    return tutorial;
}

NBTutorialController::NBTutorialController(NBDocumentWindow* window)
    : QObject(window),
      m_window(window),
      m_queue(queueOverride() ? queueOverride() : MainQueue::shared()) {
    setObjectName(QStringLiteral("tutorialController"));
    window->installEventFilter(this);
    connect(window->textView()->document(), &QTextDocument::contentsChanged, this,
            &NBTutorialController::textChanged);
    connect(window->textView()->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &NBTutorialController::viewMoved);
    // The views go before this controller when the window is destroyed: stop listening while
    // they are still whole.
    connect(window, &NBDocumentWindow::windowClosed, this, &NBTutorialController::stop);
}

NBTutorialController::~NBTutorialController() {
    // The window's views may be gone already: only what this controller owns is ended here.
    for (MainQueue::TaskId task : m_tasks) m_queue->cancel(task);
    delete m_helpBubble;
}

void NBTutorialController::stop() {
    for (MainQueue::TaskId task : m_tasks) m_queue->cancel(task);
    m_tasks.clear();
    if (m_window) {
        m_window->removeEventFilter(this);
        disconnect(m_window->textView()->document(), nullptr, this, nullptr);
        disconnect(m_window->textView()->verticalScrollBar(), nullptr, this, nullptr);
    }
    delete m_helpBubble;
    m_helpBubble = nullptr;
}

void NBTutorialController::after(double seconds, void (NBTutorialController::*action)()) {
    QPointer<NBTutorialController> self(this);
    m_tasks.push_back(m_queue->postAfter(seconds, [self, action] {
        if (self) (self.data()->*action)();
    }));
}

void NBTutorialController::displayHelpBubbleOverTextView() {
    if (!m_window) return;
    if (!m_helpBubble) {
        m_helpBubble = new NBHelpBubble(m_window);
        m_helpBubble->setPointerOrientation(NBHelpBubble::PointerUp);
        m_helpBubble->setTitle(localized(u"Start Typing a Calculation Here"));
        m_helpBubble->setDelegate(this);
    }
    NBTextView* text = m_window->textView();
    const QRect first = text->cursorRect(QTextCursor(text->document()));
    const QPoint origin = text->viewport()->mapToGlobal(first.topLeft());
    m_helpBubble->moveOnScreen(QPoint(origin.x() - 50, origin.y() + 25), 100);
    m_helpBubble->setStage(m_helpBubble->stage() + 1);
    m_textAtFirstBubble = text->document()->toRawText();
    m_helpBubble->showWithAnimation();
}

void NBTutorialController::displayHelpBubbleOverAnswerColumn() {
    if (!m_helpBubble) {
        Diagnostics::error("Error no help bubble");
        return;
    }
    if (!m_window) return;
    m_helpBubble->setTitle(localized(u"Your Answer is Over Here"));
    NBAnswerColumnView* answers = m_window->answerColumn();
    const QRect row = answers->rectOfRow(0).toRect();
    const QPoint origin = answers->mapToGlobal(row.topLeft());
    m_helpBubble->moveOnScreen(QPoint(origin.x() - 35, origin.y() + row.height()), 50);
    m_helpBubble->showWithAnimation();
}

void NBTutorialController::hideBubble() {
    if (m_helpBubble && m_helpBubble->isVisible()) m_helpBubble->hideWindowWithAnimation();
}

void NBTutorialController::helpBubbleWantsToAdvanceToNextStage(NBHelpBubble& bubble,
                                                               bool bubbleClicked) {
    if (bubble.stage() == 1) {
        if (bubbleClicked)
            hideBubble();
        else
            after(1.0, &NBTutorialController::hideBubble);
        after(1.5, &NBTutorialController::displayHelpBubbleOverAnswerColumn);
        after(4.0, &NBTutorialController::hideBubble);
    } else if (bubble.stage() == 2) {
        hideBubble();
        bubble.resetStages();
    }
}

void NBTutorialController::textChanged() {
    if (!m_helpBubble || !m_helpBubble->isVisible() || m_helpBubble->stage() != 1) return;
    // Formats change with the text (colouring, fonts): only a change of the text itself counts.
    if (m_window->textView()->document()->toRawText() == m_textAtFirstBubble) return;
    m_helpBubble->advanceToNextStage();
}

void NBTutorialController::viewMoved() {
    if (!m_helpBubble || !m_helpBubble->isVisible()) return;
    const int stage = m_helpBubble->stage();
    if (stage == 1 || stage == 2) m_helpBubble->advanceToNextStage();
}

bool NBTutorialController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Resize) viewMoved();
    return QObject::eventFilter(watched, event);
}
