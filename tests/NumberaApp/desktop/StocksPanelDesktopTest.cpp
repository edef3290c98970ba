// The stocks panel as the user fills it: the first stock added through the sheet brings the
// update button and the status onto the bottom bar at once, with no other step. The quote
// service answers from a server of the test's own on 127.0.0.1.
#include <httplib.h>

#include <QColor>
#include <QImage>
#include <thread>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

const char* const kQuotes = "\"BRK-B\",\"Berkshire Hathaway Inc.\",412.50\n";

class StocksPanelDesktop : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        m_server.Get("/d/quotes.csv", [](const httplib::Request&, httplib::Response& reply) {
            reply.set_content(kQuotes, "text/csv");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        ASSERT_GT(m_port, 0);
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        const std::string origin = "http://127.0.0.1:" + std::to_string(m_port);
        home().setSettledUser();
        home().setSetting("NBQuoteServiceAddress", origin);
        home().setSetting("NBDataServiceAddress", origin);
        home().setSetting("NBWebRequestTimeout", "2");
        home().setSetting("NBSelectedNumeralsPane", "NBStocksPane");
    }
    void TearDown() override {
        m_server.stop();
        if (m_thread.joinable()) m_thread.join();
    }

    // Dark pixels in the right half of the bottom bar, where the panel's controls sit.
    int inkOnTheBar(const WindowInfo& numbers) {
        const QImage bar = x().capture(Rect{numbers.client.x + numbers.client.width / 2,
                                            numbers.client.y + numbers.client.height - 28,
                                            numbers.client.width / 2 - 4, 24});
        int ink = 0;
        for (int y = 0; y < bar.height(); ++y)
            for (int x = 0; x < bar.width(); ++x) ink += bar.pixelColor(x, y).lightness() < 90;
        return ink;
    }

    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

TEST_F(StocksPanelDesktop, TheFirstStockBringsTheUpdateControlsOntoTheBar) {
    auto app = launch();
    activeWindowTitled(*app, "Untitled");
    chooseFromMenu(4, 1);  // Window ▸ Numbers
    const WindowInfo numbers = activeWindowTitled(*app, "Numbers");
    x().moveResize(numbers.id, {60, 60, 900, 480});
    waitFor(0.8);
    const WindowInfo shown = *x().window(numbers.id);
    const int before = inkOnTheBar(shown);
    screenshot("stocks-panel-empty", &shown);

    // "+" at the left of the panel side, just right of the category list.
    const QImage window = x().capture(shown.client);
    int listRight = 0;
    for (int y = 20; y < 200 && !listRight; ++y) {
        int highlighted = 0, last = 0;
        for (int x = 0; x < window.width() / 3; ++x) {
            const QColor c = window.pixelColor(x, y);
            if (c.blue() > c.red() + 60) {
                ++highlighted;
                last = x;
            }
        }
        if (highlighted > 40) listRight = last;
    }
    ASSERT_GT(listRight, 40);
    input().click(shown.client.at(listRight + 18, shown.client.height - 16));
    const auto sheet = waitForQuestion(*app);
    ASSERT_TRUE(sheet) << "no sheet: " << app->describe();
    ASSERT_TRUE(app->waitUntilActive(sheet->id)) << app->describe();
    input().type("brk-b\n");
    waitFor(3.0);  // the lookup at the local server
    screenshot("stocks-sheet-found");
    input().key("Return");  // Add BRK_B
    EXPECT_TRUE(waitUntil([&] { return !waitForQuestion(*app).has_value(); }, 20))
        << app->describe();

    // The update button and the status show on the bar, without showing the panel anew.
    EXPECT_TRUE(waitUntil([&] { return inkOnTheBar(shown) > before + 200; }, 20))
        << "the update controls stayed off the bar: " << inkOnTheBar(shown) << " vs " << before;
    screenshot("stocks-panel-first-stock", &shown);
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
