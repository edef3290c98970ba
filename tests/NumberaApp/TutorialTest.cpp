// The first-run tutorial on a manual clock: the first bubble 0.6 s after the first window,
// placed under the first character; typing moves it to the answer column at 1.5 s and it goes
// at 4 s; a click hides a bubble at once; the example document consumes nothing; the timers
// end with their window.
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <algorithm>

#include "AppTestFixture.h"
#include "MainQueue.h"
#include "NBAnswerColumnView.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBGlobalActionController.h"
#include "NBHelpBubble.h"
#include "NBTextView.h"
#include "NBTutorialController.h"
#include "NBUserDefaultsController.h"

namespace {

class Tutorial : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        settings().setObject("NBShowWelcomeWindowOnLaunch", false);
        settings().setObject("NBTutorialHasRun", false);
        NBTutorialController::setQueue(m_queue);
    }
    void TearDown() override {
        AppTest::TearDown();
        NBTutorialController::setQueue(nullptr);
    }

    NBDocumentWindow* newWindow() {
        NBAppController& app = launch();
        NBDocumentWindow* window =
            app.documents().documents().empty() ? nullptr : app.documents().documents().front();
        if (!window) window = app.documents().newDocument();
        window->resize(640, 400);
        return window;
    }
    static NBHelpBubble* bubbleOf(NBDocumentWindow* window) {
        auto* tutorial = window->findChild<NBTutorialController*>();
        return tutorial ? tutorial->helpBubble() : nullptr;
    }
    static bool showing(NBDocumentWindow* window) {
        NBHelpBubble* bubble = bubbleOf(window);
        return bubble && bubble->isVisible();
    }
    // The window with the bubble drawn where it floats over it.
    static void saveBubbleScreenshot(NBDocumentWindow* window, NBHelpBubble* bubble,
                                     const QString& name) {
        saveScreenshot(bubble, name);
        QPixmap picture = window->grab();
        QPainter painter(&picture);
        painter.drawPixmap(bubble->pos() - window->mapToGlobal(QPoint(0, 0)), bubble->grab());
        painter.end();
        QLabel frame;
        frame.setPixmap(picture);
        frame.resize(picture.size());
        saveScreenshot(&frame, name + "-in-window");
    }
    void advance(double seconds) { m_queue->advance(*m_clock, seconds); }
    // Moves the clock to that many seconds after the mark; checks stay clear of the exact due
    // times, where rounding of decimal seconds decides.
    void at(double seconds) { advance(m_mark + seconds - m_clock->now()); }
    void mark() { m_mark = m_clock->now(); }

    std::shared_ptr<ManualClock> m_clock = std::make_shared<ManualClock>(1000.0);
    std::shared_ptr<ManualMainQueue> m_queue = std::make_shared<ManualMainQueue>(m_clock);
    double m_mark = 1000.0;
};

TEST_F(Tutorial, TypingMovesTheBubbleToTheAnswersAndItGoes) {
    NBDocumentWindow* window = newWindow();
    EXPECT_TRUE(NBUserDefaultsController::tutorialHasRun());
    at(0.55);
    EXPECT_FALSE(showing(window));
    at(0.65);
    ASSERT_TRUE(showing(window));
    NBHelpBubble* bubble = bubbleOf(window);
    EXPECT_EQ(bubble->theTitle(), "Start Typing a Calculation Here");
    EXPECT_EQ(bubble->stage(), 1);
    EXPECT_EQ(bubble->pointerOrientation(), NBHelpBubble::PointerUp);
    NBTextView* text = window->textView();
    const QPoint first =
        text->viewport()->mapToGlobal(text->cursorRect(QTextCursor(text->document())).topLeft());
    // 50 left of the text's start, or as far right as keeps it on the screen; its pointer,
    // 100 from its left edge, still points where it would have.
    const QPoint wanted = first + QPoint(-50, 25);
    const int left = window->screen()->availableGeometry().left();
    EXPECT_EQ(bubble->pos(), QPoint(std::max(wanted.x(), left), wanted.y()));
    EXPECT_EQ(bubble->pointerOffset(), 100 - (bubble->x() - wanted.x()));
    saveBubbleScreenshot(window, bubble, "prefs-bubble-start-typing");

    QTest::keyClicks(text, "2+3");
    mark();
    EXPECT_EQ(bubble->stage(), 2);
    EXPECT_TRUE(bubble->isVisible());
    at(0.95);
    EXPECT_TRUE(bubble->isVisible());
    at(1.05);  // gone 1 s after typing
    EXPECT_FALSE(bubble->isVisible());
    at(1.45);
    EXPECT_FALSE(bubble->isVisible());
    at(1.55);  // over the answers at 1.5 s
    ASSERT_TRUE(bubble->isVisible());
    EXPECT_EQ(bubble->theTitle(), "Your Answer is Over Here");
    EXPECT_EQ(bubble->pointerOffset(), 50);
    NBAnswerColumnView* answers = window->answerColumn();
    const QRect row = answers->rectOfRow(0).toRect();
    EXPECT_EQ(bubble->pos(), answers->mapToGlobal(row.topLeft()) + QPoint(-35, row.height()));
    saveBubbleScreenshot(window, bubble, "prefs-bubble-answer-over-here");
    at(3.95);
    EXPECT_TRUE(bubble->isVisible());
    at(4.05);  // gone at 4 s
    EXPECT_FALSE(bubble->isVisible());
    EXPECT_EQ(m_queue->pendingCount(), 0u);

    // Once per user: the next window has no tutorial.
    NBDocumentWindow* next = app()->documents().newDocument();
    advance(1.0);
    EXPECT_EQ(bubbleOf(next), nullptr);
}

TEST_F(Tutorial, AClickHidesTheBubbleAtOnceAndTheAnswerBubbleFollows) {
    NBDocumentWindow* window = newWindow();
    at(0.65);
    NBHelpBubble* bubble = bubbleOf(window);
    ASSERT_TRUE(bubble && bubble->isVisible());
    // The bubble travels with its window (here with room around both on the screen).
    window->move(120, 80);
    ASSERT_TRUE(pumpEventsUntil([&] { return window->pos() == QPoint(120, 80); }, 2000));
    pumpEventsFor(20);
    const QPoint before = bubble->pos();
    window->move(window->pos() + QPoint(30, 20));
    ASSERT_TRUE(pumpEventsUntil([&] { return bubble->pos() == before + QPoint(30, 20); }, 2000))
        << bubble->pos().x() << "," << bubble->pos().y();
    QTest::mouseClick(bubble, Qt::LeftButton);
    mark();
    EXPECT_FALSE(bubble->isVisible());
    EXPECT_EQ(bubble->stage(), 2);
    at(1.45);
    EXPECT_FALSE(bubble->isVisible());
    at(1.55);
    ASSERT_TRUE(bubble->isVisible());
    EXPECT_EQ(bubble->theTitle(), "Your Answer is Over Here");
    // A click on the answer bubble ends the tutorial.
    QTest::mouseClick(bubble, Qt::LeftButton);
    EXPECT_FALSE(bubble->isVisible());
    EXPECT_EQ(bubble->stage(), 0);
    EXPECT_TRUE(bubble->identifier().isEmpty());
    advance(3.0);
    EXPECT_FALSE(bubble->isVisible());
}

TEST_F(Tutorial, ScrollingWhileTheAnswerBubbleShowsEndsTheTutorial) {
    NBDocumentWindow* window = newWindow();
    at(0.65);
    NBHelpBubble* bubble = bubbleOf(window);
    ASSERT_NE(bubble, nullptr);
    window->resize(660, 420);  // a resize moves the tutorial on, as typing does
    QCoreApplication::processEvents();
    mark();
    EXPECT_EQ(bubble->stage(), 2);
    at(1.55);
    ASSERT_TRUE(bubble->isVisible());
    for (int line = 0; line < 60; ++line) {
        QTest::keyClick(window->textView(), Qt::Key_1);
        QTest::keyClick(window->textView(), Qt::Key_Return);
    }
    ASSERT_GT(window->textView()->verticalScrollBar()->maximum(), 0);
    window->textView()->verticalScrollBar()->setValue(0);
    window->textView()->verticalScrollBar()->setValue(10);
    EXPECT_FALSE(bubble->isVisible());
    EXPECT_EQ(bubble->stage(), 0);
}

TEST_F(Tutorial, TheExampleDocumentDoesNotConsumeIt) {
    // The first launch with the welcome window makes no untitled document.
    settings().setObject("NBShowWelcomeWindowOnLaunch", true);
    launch();
    ASSERT_TRUE(app()->documents().documents().empty());
    NBDocumentWindow* example = app()->globalActions().openExampleDocument();
    ASSERT_NE(example, nullptr);
    advance(1.0);
    EXPECT_EQ(bubbleOf(example), nullptr);
    EXPECT_FALSE(NBUserDefaultsController::tutorialHasRun());
    NBDocumentWindow* window = app()->documents().newDocument();
    mark();
    at(0.65);
    EXPECT_TRUE(showing(window));
}

TEST_F(Tutorial, ItsTimersEndWithTheWindow) {
    NBDocumentWindow* window = newWindow();
    EXPECT_EQ(m_queue->pendingCount(), 1u);
    window->closeWithoutAsking();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(m_queue->pendingCount(), 0u);
    advance(5.0);  // nothing runs against the window that is gone

    // Closing a window whose bubble shows ends the bubble with it.
    NBDocumentWindow* second = app()->documents().newDocument();
    settings().setObject("NBTutorialHasRun", false);
    NBDocumentWindow* third = app()->documents().newDocument();
    mark();
    at(0.65);
    QPointer<NBHelpBubble> bubble = bubbleOf(third);
    ASSERT_FALSE(bubble.isNull());
    EXPECT_EQ(bubbleOf(second), nullptr);
    third->closeWithoutAsking();
    EXPECT_TRUE(bubble.isNull());
    EXPECT_EQ(m_queue->pendingCount(), 0u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Without a delegate a bubble stays where it is.
    NBHelpBubble lone(nullptr);
    lone.setStage(1);
    lone.advanceToNextStage();
    EXPECT_EQ(lone.stage(), 1);
    EXPECT_EQ(lone.theTitle(), "The Text");
}

}  // namespace
