// The harness on plain windows of the test program: what it types arrives character for
// character with its Shift presses, chords and clicks do what they do for a user, and what it
// reads back (windows, stacking, selections, pixels, answers to pings) is what the server holds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QThread>
#include <QVBoxLayout>
#include <atomic>
#include <memory>
#include <thread>

#include "DesktopWaiting.h"
#include "XInput.h"
#include "XSession.h"

namespace {

using namespace Desktop;

// Where a widget lies on the screen.
Rect screenRect(const QWidget* widget) {
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    return {origin.x(), origin.y(), widget->width(), widget->height()};
}

class Harness : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_x.ok());
        ASSERT_TRUE(m_input.ok()) << "the X server has no XTest";
    }

    // A shown, active window holding the widget.
    QWidget* showWindow(QWidget* content, const QString& title, QSize size = {420, 240}) {
        auto* window = new QWidget;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(title);
        auto* layout = new QVBoxLayout(window);
        layout->addWidget(content);
        window->resize(size);
        window->show();
        m_windows.emplace_back(window);
        EXPECT_TRUE(waitUntil([&] { return windowTitled(title.toStdString()).has_value(); }))
            << XSession::describe(m_x.windows());
        activate(window);
        return window;
    }

    void activate(QWidget* window) {
        const auto info = windowTitled(window->windowTitle().toStdString());
        if (info) m_x.activate(info->id);
        EXPECT_TRUE(waitUntil([&] { return window->isActiveWindow(); }))
            << XSession::describe(m_x.windows());
    }

    std::optional<WindowInfo> windowTitled(const std::string& title) {
        for (const WindowInfo& info : m_x.visibleWindowsOf(static_cast<pid_t>(getpid())))
            if (info.title.rfind(title, 0) == 0) return info;
        return std::nullopt;
    }

    void TearDown() override {
        for (auto& window : m_windows)
            if (window) window->close();
        m_windows.clear();
        waitFor(0.05);
    }

    XSession m_x;
    XInput m_input{m_x};
    std::vector<QPointer<QWidget>> m_windows;
};

TEST_F(Harness, TypedTextArrivesWithItsShiftedCharactersAndSymbolsOnNoKey) {
    auto* field = new QLineEdit;
    showWindow(field, "Typing");
    field->setFocus();
    const QString text =
        QString::fromUtf8("Hello, World! (2+3)*4 = 20 ~ \"q\" #$%^&_{}|:<>? €½×÷−²");
    m_input.type(text.toStdString());
    EXPECT_TRUE(waitUntil([&] { return field->text() == text; })) << field->text().toStdString();
}

TEST_F(Harness, ChordsSelectCopyAndPasteThroughTheClipboard) {
    auto* field = new QLineEdit;
    showWindow(field, "Chords");
    field->setFocus();
    m_input.type("one two");
    ASSERT_TRUE(waitUntil([&] { return field->text() == "one two"; }));
    m_input.key("shift+Home");
    ASSERT_TRUE(waitUntil([&] { return field->selectedText() == "one two"; }))
        << field->selectedText().toStdString();
    m_input.key("ctrl+c");
    EXPECT_TRUE(waitUntil([&] { return m_x.selectionText(Selection::clipboard) == "one two"; }))
        << m_x.selectionText(Selection::clipboard).value_or("(no owner)");
    // Selecting by keyboard also sets the primary selection, as on any X desktop.
    EXPECT_EQ(m_x.selectionText(Selection::primary).value_or(""), "one two");

    m_x.setSelectionText(Selection::clipboard, "pasted ünïcode");
    m_input.key("End");
    m_input.key("ctrl+v");
    EXPECT_TRUE(waitUntil([&] {
        return field->text() == QString::fromUtf8("one twopasted ünïcode");
    })) << field->text().toStdString();
}

TEST_F(Harness, ClicksDoubleClicksDragsMiddleClicksAndTheWheelReachWidgets) {
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    auto* button = new QPushButton("Press");
    auto* editor = new QTextEdit;
    layout->addWidget(button);
    layout->addWidget(editor);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    showWindow(content, "Mouse", {420, 300});

    m_input.click(screenRect(button).center());
    EXPECT_TRUE(waitUntil([&] { return clicks == 1; })) << clicks;

    QStringList lines;
    for (int i = 1; i <= 60; ++i) lines << QStringLiteral("line %1 word").arg(i);
    editor->setPlainText(lines.join('\n'));
    editor->moveCursor(QTextCursor::Start);
    const Rect area = screenRect(editor->viewport());
    m_input.doubleClick(area.at(10, 8));
    EXPECT_TRUE(waitUntil([&] { return editor->textCursor().selectedText() == "line"; }))
        << editor->textCursor().selectedText().toStdString();

    // A drag across the first line selects it (after the double click: no triple click); the
    // selection becomes the primary one.
    waitFor(QApplication::doubleClickInterval() / 1000.0 + 0.1);
    m_input.drag(area.at(2, 8), area.at(area.width - 4, 8));
    EXPECT_TRUE(waitUntil([&] { return editor->textCursor().selectedText() == "line 1 word"; }))
        << editor->textCursor().selectedText().toStdString();
    EXPECT_TRUE(waitUntil([&] { return m_x.selectionText(Selection::primary) == "line 1 word"; }));

    // The middle button pastes the primary selection where it is pressed.
    auto* field = new QLineEdit;
    QWidget* other = showWindow(field, "Middle");
    m_input.middleClick(screenRect(field).center());
    EXPECT_TRUE(waitUntil([&] { return field->text() == "line 1 word"; }))
        << field->text().toStdString();
    other->close();

    QWidget* mouse = m_windows.front();
    activate(mouse);
    const int before = editor->verticalScrollBar()->value();
    m_input.wheel(area.center(), 3);
    EXPECT_TRUE(waitUntil([&] { return editor->verticalScrollBar()->value() > before; }));
}

TEST_F(Harness, WindowsAreListedWithTitlesGeometryAndStackingOrder) {
    QWidget* alpha = showWindow(new QLineEdit, "Alpha");
    QPointer<QWidget> beta = showWindow(new QLineEdit, "Beta");
    const auto top = [&] {
        const auto windows = m_x.visibleWindowsOf(static_cast<pid_t>(getpid()));
        return windows.empty() ? std::string() : windows.back().title;
    };
    EXPECT_TRUE(waitUntil([&] { return top() == "Beta"; })) << XSession::describe(m_x.windows());
    activate(alpha);
    EXPECT_TRUE(waitUntil([&] { return top() == "Alpha"; })) << XSession::describe(m_x.windows());
    const auto info = windowTitled("Alpha");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->client.width, alpha->width());
    EXPECT_EQ(info->client.height, alpha->height());
    EXPECT_EQ(info->client.x, alpha->mapToGlobal(QPoint(0, 0)).x());
    EXPECT_GE(info->frame.height, info->client.height) << "the manager frames its windows";
    EXPECT_EQ(m_x.activeWindow(), info->id);

    // Closing through the manager is a close event for the window.
    m_x.close(windowTitled("Beta")->id);
    EXPECT_TRUE(waitUntil([&] { return !beta || !beta->isVisible(); }));
}

TEST_F(Harness, ScreenshotsHoldTheWindowsPixels) {
    auto* red = new QWidget;
    red->setAutoFillBackground(true);
    QPalette palette = red->palette();
    palette.setColor(QPalette::Window, QColor(220, 20, 30));
    red->setPalette(palette);
    showWindow(red, "Red");
    const Rect area = screenRect(red);
    ASSERT_TRUE(waitUntil([&] {
        const QImage picture = m_x.capture(area);
        return !picture.isNull() &&
               picture.pixelColor(area.width / 2, area.height / 2) == QColor(220, 20, 30);
    }));
    const std::string path =
        saveScreenshot(m_x.capture(*windowTitled("Red")), "harness-red-window");
    ASSERT_FALSE(path.empty());
    QImage saved(QString::fromStdString(path));
    EXPECT_FALSE(saved.isNull());
    EXPECT_GE(saved.height(), area.height);
}

TEST_F(Harness, APingGoesUnansweredWhileTheEventLoopStalls) {
    showWindow(new QLineEdit, "Ping");
    const WindowId id = windowTitled("Ping")->id;
    std::atomic<int> answered{-1};
    // Pinged from another thread while the event loop runs: answered.
    std::thread live([&] {
        XSession other;
        answered = other.ping(id, 5) ? 1 : 0;
    });
    waitUntil([&] { return answered >= 0; }, 6);
    live.join();
    EXPECT_EQ(answered, 1);

    // Pinged while this thread, the event loop's, sleeps: no answer in time.
    answered = -1;
    std::thread stalled([&] {
        XSession other;
        answered = other.ping(id, 0.5) ? 1 : 0;
    });
    QThread::msleep(1500);
    stalled.join();
    EXPECT_EQ(answered, 0);
}

}  // namespace
