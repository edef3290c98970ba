// Answers as people read them on the desktop: exponents standing raised in the answer column
// and the big answer, references copied and jumped into the text as the answers they show,
// the clicked answer inserted by Shift and a double click, no info button while answers are
// jumped, a new window's answers shown whole and a cut one whole in its tool tip, the dragged
// split kept with the document, and exported files that read right (PDF answers whole with the
// statistic's value, RTF answers at a tab stop, HTML declaring its encoding) while the
// program stays responsive behind a painted processing window.
#include <poppler-qt6.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

// The answer column's colours while its window is active and while it is not.
const QColor kColumnColor = QColor::fromRgbF(0.914f, 0.934f, 0.982f);
const QColor kInactiveColumnColor = QColor::fromRgbF(0.91f, 0.91f, 0.91f);

bool near(const QColor& a, const QColor& b, int tolerance = 6) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// A run of columns that hold ink, with the rows their ink spans.
struct Ink {
    int left = 0, right = 0, top = 0, bottom = 0;
    int height() const { return bottom - top + 1; }
};

// The runs of inked columns of the picture, left to right; a clean column ends a run.
std::vector<Ink> inkRuns(const QImage& image, const std::function<bool(const QColor&)>& inked) {
    std::vector<Ink> runs;
    bool inRun = false;
    for (int x = 0; x < image.width(); ++x) {
        int top = -1, bottom = -1;
        for (int y = 0; y < image.height(); ++y)
            if (inked(image.pixelColor(x, y))) {
                if (top < 0) top = y;
                bottom = y;
            }
        if (top < 0) {
            inRun = false;
            continue;
        }
        if (!inRun) runs.push_back({x, x, top, bottom});
        Ink& run = runs.back();
        run.right = x;
        run.top = std::min(run.top, top);
        run.bottom = std::max(run.bottom, bottom);
        inRun = true;
    }
    return runs;
}

bool dark(const QColor& color) { return color.lightness() < 110; }
bool light(const QColor& color) { return color.lightness() > 200; }

class ReadableAnswersDesktop : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
    }

    // The window of the document, active, with its answers painted.
    WindowInfo openedWindow(App& app, const std::string& title) {
        const WindowInfo window = activeWindowTitled(app, title);
        waitUntil([&] { return answerColumnLeft(window) > 0; }, 20);
        waitFor(0.5);
        if (const auto now = x().window(window.id)) return *now;
        return window;
    }

    // Where the answer column begins on the screen: the first of its coloured pixels right of
    // the divider, in the empty part of the window below the lines; 0 when it is not found.
    int answerColumnLeft(const WindowInfo& window) {
        const int y = window.client.y + window.client.height - 60;
        const QImage line = x().capture({window.client.x, y, window.client.width, 1});
        int x = line.width() - 25;
        if (x < 0) return 0;
        const QColor column = line.pixelColor(x, 0);
        if (!near(column, kColumnColor, 3) && !near(column, kInactiveColumnColor, 3)) return 0;
        while (x > 0 && near(line.pixelColor(x - 1, 0), column, 3)) --x;
        return window.client.x + x;
    }

    // The middle of a line's row (lines from 0) in the answer column: rows of the 18-point
    // text are 39 pixels apart below the menu bar.
    static int rowCenterY(const WindowInfo& window, int line) {
        return window.client.y + 38 + line * 39;
    }
    Point answerRow(const WindowInfo& window, int line) {
        return {answerColumnLeft(window) + 40, rowCenterY(window, line)};
    }
    // The row's band of the answer column, clear of the scroller at the window's right.
    Rect rowArea(const WindowInfo& window, int line) {
        const int left = answerColumnLeft(window);
        return {left + 2, rowCenterY(window, line) - 19,
                window.client.x + window.client.width - 20 - left - 2, 38};
    }

    std::string clipboardAfter(const std::function<void()>& copy) {
        x().setSelectionText(Selection::clipboard, "(nothing copied)");
        copy();
        std::optional<std::string> copied;
        waitUntil(
            [&] {
                copied = x().selectionText(Selection::clipboard);
                return copied && *copied != "(nothing copied)";
            },
            20);
        return copied.value_or("");
    }

    // The document as saved once the title loses its "*".
    std::string saved(App& app, const std::string& path, const std::string& title) {
        input().key("ctrl+s");
        EXPECT_TRUE(app.waitForWindow([&](const WindowInfo& w) { return w.title == title; }, 30))
            << app.describe();
        return home().previewText(path);
    }

    // Types a whole path into the save panel that opens, then waits for the file.
    void saveThroughPanel(App& app, const std::string& path, double seconds = 60) {
        const auto panel = app.waitForWindow(
            [](const WindowInfo& w) { return w.type == "DIALOG" || w.hasState("MODAL"); }, 20);
        ASSERT_TRUE(panel) << app.describe();
        ASSERT_TRUE(app.waitUntilActive(panel->id)) << app.describe();
        waitFor(0.3);
        input().key("ctrl+a");
        input().type(path + "\n");
        ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(path); }, seconds))
            << app.describe();
    }

    // Hovers the row until its info button shows (the pixels that change at the column's
    // right), clicks the button and answers the palette's window once it shows.
    std::optional<WindowInfo> openPaletteOnRow(App& app, const WindowInfo& window, int line) {
        const int left = answerColumnLeft(window);
        const Rect column{left, rowCenterY(window, line) - 20,
                          window.client.x + window.client.width - left, 40};
        input().moveTo({window.client.x + 50, window.client.y + window.client.height - 80});
        waitFor(0.5);
        const QImage away = x().capture(column);
        input().moveTo(answerRow(window, line));
        const auto changedPixels = [&]() -> std::optional<Rect> {
            const QImage now = x().capture(column);
            int left = now.width(), right = -1, top = now.height(), bottom = -1;
            for (int y = 0; y < now.height(); ++y)
                for (int x = now.width() / 2; x < now.width(); ++x)
                    if (!near(now.pixelColor(x, y), away.pixelColor(x, y), 20)) {
                        left = std::min(left, x), right = std::max(right, x);
                        top = std::min(top, y), bottom = std::max(bottom, y);
                    }
            if (right < 0) return std::nullopt;
            return Rect{column.x + left, column.y + top, right - left + 1, bottom - top + 1};
        };
        std::optional<Rect> button;
        if (!waitUntil([&] { return (button = changedPixels()).has_value(); }, 10)) {
            ADD_FAILURE() << "no info button: " << screenshot("readable-no-info-button", &window);
            return std::nullopt;
        }
        screenshot("readable-info-button", &window);
        std::vector<WindowId> before;
        for (const WindowInfo& shown : app.windows()) before.push_back(shown.id);
        input().click(button->center());
        return app.waitForWindow(
            [&](const WindowInfo& w) {
                return std::find(before.begin(), before.end(), w.id) == before.end();
            },
            10);
    }

    void quit(App& app) {
        input().key("ctrl+q");
        if (!app.waitForExit(30)) ADD_FAILURE() << screenshot("readable-quit") << app.describe();
    }
};

TEST_F(ReadableAnswersDesktop, ExponentsStandRaisedInTheAnswerColumnAndTheBigAnswer) {
    const std::string path = home().writeDocument("big.numbera", {"2^64", "2+3"});
    auto app = launch({{path}});
    const WindowInfo window = openedWindow(*app, "big.numbera");
    ASSERT_GT(answerColumnLeft(window), 0) << screenshot("readable-no-column", &window);
    screenshot("readable-desktop-answer-column", &window);
    // The exponent's digits end higher than the mantissa's and are smaller.
    const std::vector<Ink> row = inkRuns(x().capture(rowArea(window, 0)), dark);
    ASSERT_GE(row.size(), 6u);
    const Ink& first = row.front();
    const Ink& last = row.back();
    EXPECT_LT(last.bottom, first.bottom - 3);
    EXPECT_LT(last.height(), first.height());

    // So does the answer palette, in its decimal row: the first band of text inside its
    // balloon (outside the balloon's shape lies the dark desktop).
    const auto palette = openPaletteOnRow(*app, window, 0);
    ASSERT_TRUE(palette) << app->describe();
    waitFor(0.8);
    const WindowInfo shownPalette = x().window(palette->id).value_or(*palette);
    screenshot("readable-desktop-palette", &shownPalette);
    const QImage balloon = x().capture(shownPalette.client);
    const int from = balloon.width() / 8, to = balloon.width() * 15 / 16;
    int bandTop = -1, bandBottom = -1;
    for (int y = 3; y < balloon.height() - 3 && bandBottom < 0; ++y) {
        int ink = 0;
        for (int x = from; x < to; ++x) ink += dark(balloon.pixelColor(x, y));
        const bool text = ink > 0 && ink < (to - from) / 2;
        if (text && bandTop < 0) bandTop = y;
        if (!text && bandTop >= 0) bandBottom = y;
    }
    ASSERT_GT(bandBottom, bandTop) << screenshot("readable-palette-bands", &shownPalette);
    const std::vector<Ink> decimal =
        inkRuns(balloon.copy(from, bandTop, to - from, bandBottom - bandTop), dark);
    ASSERT_GE(decimal.size(), 6u);
    EXPECT_LT(decimal.back().bottom, decimal.front().bottom - 2);
    // The palette stays beside its window's answers while the window is active: closed
    // (View > Hide Answer Palette, the menu's last item), so that the clicks below reach the
    // column.
    activate(*app, window.id);
    chooseFromMenu(3, -1);
    EXPECT_TRUE(waitUntil([&] {
        for (const WindowInfo& shown : app->windows())
            if (shown.id == shownPalette.id) return false;
        return true;
    })) << app->describe();

    // The big answer draws it the same way, white on its dark panel.
    std::vector<WindowId> before;
    for (const WindowInfo& shown : app->windows()) before.push_back(shown.id);
    input().rightClick(answerRow(window, 0));
    waitFor(0.5);
    input().key("Down");  // Big Answer, the menu's first item
    input().key("Return");
    const auto panel = app->waitForWindow(
        [&](const WindowInfo& w) {
            return std::find(before.begin(), before.end(), w.id) == before.end() &&
                   w.client.width > 200;
        },
        20);
    ASSERT_TRUE(panel) << app->describe();
    waitFor(1.0);
    screenshot("readable-desktop-big-answer");
    // Inside the panel's white border and its shadow's margin.
    const Rect inside{panel->client.x + 50, panel->client.y + 45, panel->client.width - 100,
                      panel->client.height - 90};
    const std::vector<Ink> big = inkRuns(x().capture(inside), light);
    ASSERT_GE(big.size(), 6u);
    EXPECT_LT(big.back().bottom, big.front().bottom - 10);
    EXPECT_LT(big.back().height(), big.front().height());
    input().key("Escape");
    EXPECT_TRUE(waitUntil([&] {
        for (const WindowInfo& shown : app->windows())
            if (shown.id == panel->id) return false;
        return true;
    })) << app->describe();
    quit(*app);
}

TEST_F(ReadableAnswersDesktop, ReferencesAreCopiedAndJumpedAsTheAnswersTheyShow) {
    const std::string path =
        home().writeDocument("refs.numbera", {"120", "255", "(___rel_line(-2)) + 255 + 255"});
    auto app = launch({{path}});
    const WindowInfo window = openedWindow(*app, "refs.numbera");
    // The answer column's menu: Copy Expression & Result is its last item.
    EXPECT_EQ(clipboardAfter([&] {
                  input().rightClick(answerRow(window, 2));
                  waitFor(0.5);
                  input().key("Up");
                  input().key("Return");
              }),
              "120 + 255 + 255 = 630");

    // The info button shows over a row under the pointer and opens the palette.
    const int left = answerColumnLeft(window);
    const Rect column{left, window.client.y + 20, window.client.x + window.client.width - left,
                      120};
    ASSERT_TRUE(openPaletteOnRow(*app, window, 0));
    input().key("Escape");
    activate(*app, window.id);

    // Jumped into the text: Edit ▸ Jump Answers into Text, six items up from the menu's end.
    input().key("ctrl+End");
    chooseFromMenu(1, -6);
    waitFor(1.0);
    screenshot("readable-desktop-jumped", &window);
    // The separators are orange, as the text's syntax colours go.
    const QImage text =
        x().capture({window.client.x, window.client.y + 20, left - window.client.x, 120});
    int orange = 0;
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x)
            orange += near(text.pixelColor(x, y), QColor(255, 128, 0), 30);
    EXPECT_GT(orange, 20);
    EXPECT_EQ(clipboardAfter([&] {
                  input().key("ctrl+a");
                  input().key("ctrl+c");
              }),
              "120 = 120\n255 = 255\n120 + 255 + 255 = 630");
    // No info button offers a palette while the answers are in the text.
    input().moveTo({window.client.x + 50, window.client.y + window.client.height - 80});
    waitFor(0.5);
    const QImage jumpedAway = x().capture(column);
    input().moveTo(answerRow(window, 0));
    waitFor(1.5);
    const QImage jumpedOver = x().capture(column);
    int changed = 0;
    for (int y = 0; y < jumpedOver.height(); ++y)
        for (int x = 0; x < jumpedOver.width(); ++x)
            changed += !near(jumpedOver.pixelColor(x, y), jumpedAway.pixelColor(x, y), 20);
    EXPECT_EQ(changed, 0) << screenshot("readable-jumped-hover", &window);
    // Answers shown in the text edit nothing: quitting asks no question.
    quit(*app);
}

TEST_F(ReadableAnswersDesktop, ShiftAndADoubleClickInsertTheAnswerOfTheRowClicked) {
    const std::string path = home().writeDocument("insert.numbera", {"2+3", "10*2", "7", ""});
    auto app = launch({{path}});
    const WindowInfo window = openedWindow(*app, "insert.numbera");
    input().key("ctrl+End");
    // A row already selected does not stand in for the one double-clicked.
    input().click(answerRow(window, 2));
    waitFor(0.3);
    input().doubleClick(answerRow(window, 0), 1, "shift");
    ASSERT_TRUE(app->waitForTitle("insert.numbera*", 20)) << app->describe();
    screenshot("readable-shift-double-click", &window);
    EXPECT_EQ(saved(*app, path, "insert.numbera"), "2+3 = 5\n10*2 = 20\n7 = 7\n5 = 5\n");
    quit(*app);
}

TEST_F(ReadableAnswersDesktop, ADraggedAnswerShowsAsTheTokenItBecomes) {
    const std::string path = home().writeDocument("drag.numbera", {"2+3", ""});
    auto app = launch({{path}});
    const WindowInfo window = openedWindow(*app, "drag.numbera");
    const Point from = answerRow(window, 0);
    const Point to{window.client.x + 120, rowCenterY(window, 1)};
    // The caret waits on the line the answer is dropped on.
    input().key("ctrl+End");
    input().moveTo(from);
    input().press();
    for (int step = 1; step <= 12; ++step)
        input().moveTo(
            {from.x + (to.x - from.x) * step / 12, from.y + (to.y - from.y) * step / 12});
    waitFor(1.0);
    // Under the pointer: the capsule of a relative token, in its stroke and fill.
    const QImage around = x().capture({to.x - 120, to.y - 40, 240, 80});
    screenshot("readable-dragged-answer");
    int stroke = 0, fill = 0;
    for (int y = 0; y < around.height(); ++y)
        for (int x = 0; x < around.width(); ++x) {
            stroke += near(around.pixelColor(x, y), QColor::fromRgbF(0.579f, 0.681f, 0.906f), 14);
            fill += near(around.pixelColor(x, y), QColor::fromRgbF(0.841f, 0.883f, 0.965f), 8);
        }
    EXPECT_GT(stroke, 10);
    EXPECT_GT(fill, 50);
    input().release();
    ASSERT_TRUE(app->waitForTitle("drag.numbera*", 20)) << app->describe();
    EXPECT_EQ(saved(*app, path, "drag.numbera"), "2+3 = 5\n5 = 5\n");
    quit(*app);
}

TEST_F(ReadableAnswersDesktop, CommonAnswersShowWholeACutOneInItsTipAndTheSplitIsKept) {
    const std::string path =
        home().writeDocument("wide.numbera", {"1/0", "127.39 USD", "2^64 * 123456789"});
    auto app = launch({{path}});
    WindowInfo window = openedWindow(*app, "wide.numbera");
    const int left = answerColumnLeft(window);
    ASSERT_FALSE(inkRuns(x().capture(rowArea(window, 0)), dark).empty());
    screenshot("readable-new-window-answers", &window);

    // Tips: none over an answer shown whole, as the error is in a new window; the whole answer
    // over one the narrowed column cuts.
    const auto tipShows = [&](int line) {
        const Point over = answerRow(window, line);
        const Rect beside{over.x - 40, over.y + 8, 300, 60};
        input().moveTo({window.client.x + 50, window.client.y + window.client.height - 80});
        waitFor(0.8);
        const QImage before = x().capture(beside);
        input().moveTo(over);
        return waitUntil(
            [&] {
                const QImage now = x().capture(beside);
                int changed = 0;
                for (int y = 0; y < now.height(); ++y)
                    for (int x = 0; x < now.width(); ++x)
                        changed += !near(now.pixelColor(x, y), before.pixelColor(x, y), 20);
                return changed > 200;
            },
            3);
    };
    EXPECT_FALSE(tipShows(0)) << screenshot("readable-tip-over-whole", &window);
    const int y = window.client.y + window.client.height - 80;
    input().drag({left - 2, y}, {left + 170, y});
    ASSERT_TRUE(app->waitForTitle("wide.numbera*", 20)) << app->describe();
    const int narrowed = answerColumnLeft(window);
    EXPECT_GT(narrowed, left + 100);
    EXPECT_TRUE(tipShows(0)) << screenshot("readable-no-tip-over-cut", &window);
    screenshot("readable-tip-over-cut");

    // Saved with the document, the split comes back with it.
    input().moveTo({window.client.x + 50, window.client.y + 100});
    EXPECT_EQ(saved(*app, path, "wide.numbera"),
              "1/0\n127.39 USD = 127.39 USD\n2^64 * 123456789 = 2.2773757908\u00D710^27\n");
    quit(*app);
    auto again = launch({{path}});
    window = openedWindow(*again, "wide.numbera");
    EXPECT_NEAR(answerColumnLeft(window) - window.client.x, narrowed - window.client.x, 2)
        << screenshot("readable-split-reopened", &window);
    quit(*again);
}

// The words on the first page of a PDF file, with their boxes.
std::vector<std::pair<QString, QRectF>> pdfWords(const std::string& path) {
    std::vector<std::pair<QString, QRectF>> words;
    std::unique_ptr<Poppler::Document> document =
        Poppler::Document::load(QString::fromStdString(path));
    if (!document || document->numPages() < 1) return words;
    for (const auto& box : document->page(0)->textList())
        words.emplace_back(box->text(), box->boundingBox());
    return words;
}

TEST_F(ReadableAnswersDesktop, ExportedFilesKeepAnswersWholeAndReadRight) {
    home().setSetting("NBDefaultPrecision", "10");
    home().setSetting("NBStatisticsBarVisible", "true");
    const std::string path = home().writeDocument(
        "budget.numbera", {"Rent: 1/3", "100 EUR * 1.086", "2^64", "120", "255"});
    auto app = launch({{path}});
    const WindowInfo window = openedWindow(*app, "budget.numbera");

    // File ▸ Save as PDF…, four items up from the menu's end.
    chooseFromMenu(0, -4);
    const std::string pdf = home().path() + "/budget.pdf";
    saveThroughPanel(*app, pdf);
    ASSERT_TRUE(waitUntil([&] { return !pdfWords(pdf).empty(); }, 20));
    const auto words = pdfWords(pdf);
    const auto find = [&](const QString& text, int skip = 0) -> std::optional<QRectF> {
        for (const auto& [word, box] : words)
            if (word == text && skip-- == 0) return box;
        return std::nullopt;
    };
    EXPECT_TRUE(find("0.3333333333"));
    const auto amount = find("108.60");
    const auto unit = find("EUR", 1);
    ASSERT_TRUE(amount && unit);
    EXPECT_NEAR(amount->center().y(), unit->center().y(), 1);
    std::optional<QRectF> mantissa, exponent;
    for (size_t i = 0; i + 1 < words.size(); ++i)
        if (words[i].first.startsWith(QString::fromUtf16(u"1.8446744074\u00D710"))) {
            mantissa = words[i].second;
            exponent = words[i + 1].second;
        }
    ASSERT_TRUE(mantissa && exponent);
    EXPECT_LT(exponent->bottom(), mantissa->bottom());
    EXPECT_LT(exponent->height(), mantissa->height());
    const auto title = find("Total:");
    ASSERT_TRUE(title);
    bool valued = false;
    for (const auto& [word, box] : words)
        valued = valued || (std::abs(box.center().y() - title->center().y()) < 2 &&
                            box.left() > title->right());
    EXPECT_TRUE(valued);

    // File ▸ Export…, five items up from the end: "5" chooses RTF, Return saves.
    activate(*app, window.id);
    chooseFromMenu(0, -5);
    const auto sheet = app->waitForWindow(
        [](const WindowInfo& w) { return w.type == "DIALOG" || w.hasState("MODAL"); }, 20);
    ASSERT_TRUE(sheet) << app->describe();
    ASSERT_TRUE(app->waitUntilActive(sheet->id)) << app->describe();
    waitFor(0.5);
    input().key("5");
    input().key("Return");
    const std::string rtf = home().path() + "/budget.rtf";
    saveThroughPanel(*app, rtf);
    // Written whole or not at all.
    const std::string written = readFile(rtf);
    EXPECT_NE(written.find("{\\fonttbl{\\f0\\fnil "), std::string::npos);
    EXPECT_NE(written.find("\\pard\\plain\\tx"), std::string::npos) << written;
    EXPECT_NE(written.find("\\tab {\\f0\\fs36\\cf"), std::string::npos) << written;
    EXPECT_NE(written.find("\\super"), std::string::npos) << written;

    // And the HTML page says it is UTF-16, as it is written.
    activate(*app, window.id);
    chooseFromMenu(0, -5);
    ASSERT_TRUE(app->waitForWindow(
        [](const WindowInfo& w) { return w.type == "DIALOG" || w.hasState("MODAL"); }, 20));
    waitFor(0.5);
    input().key("2");
    input().key("Return");
    const std::string html = home().path() + "/budget.html";
    saveThroughPanel(*app, html);
    const std::string page = readFile(html);
    ASSERT_GE(page.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(page[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(page[1]), 0xFE);
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(page.data() + 2),
                                            static_cast<qsizetype>((page.size() - 2) / 2));
    EXPECT_TRUE(text.contains("charset=utf-16"));
    EXPECT_FALSE(text.contains("charset=utf-8"));
    quit(*app);
}

TEST_F(ReadableAnswersDesktop, ALongExportPaintsItsProcessingWindowAndStaysResponsive) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 2500; ++i)
        lines.push_back("item " + std::to_string(i) + ": " + std::to_string(i) + " * 3.5");
    const std::string path = home().writeDocument("long.numbera", lines);
    auto app = launch({{path}});
    activeWindowTitled(*app, "long.numbera");
    chooseFromMenu(0, -4);
    const auto panel = app->waitForWindow(
        [](const WindowInfo& w) { return w.type == "DIALOG" || w.hasState("MODAL"); }, 20);
    ASSERT_TRUE(panel) << app->describe();
    ASSERT_TRUE(app->waitUntilActive(panel->id)) << app->describe();
    waitFor(0.3);
    const std::string pdf = home().path() + "/long.pdf";
    input().key("ctrl+a");
    input().type(pdf + "\n");
    // The processing window shows painted: its title in dark text on its light background.
    std::optional<WindowInfo> process;
    ASSERT_TRUE(waitUntil(
        [&] {
            for (const WindowInfo& w : app->windows())
                if (w.client.width == 268 && w.client.height == 67) process = w;
            return process.has_value();
        },
        30))
        << app->describe();
    waitFor(0.3);
    const QImage picture = x().capture(process->client);
    screenshot("readable-processing-window");
    int ink = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) ink += dark(picture.pixelColor(x, y));
    EXPECT_GT(ink, 30);
    // The program answers while the page is laid out and written.
    const auto start = std::chrono::steady_clock::now();
    const auto seconds = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    int answered = 0, asked = 0;
    while (!std::filesystem::exists(pdf) && seconds() < 120) {
        ++asked;
        answered += app->answersPing(3);
        waitFor(0.1);
    }
    EXPECT_EQ(answered, asked) << app->describe();
    std::cout << "a PDF of " << lines.size() << " lines: written after " << seconds() << " s, "
              << answered << " of " << asked << " pings answered meanwhile\n";
    ASSERT_TRUE(waitUntil([&] { return !pdfWords(pdf).empty(); }, 60)) << app->describe();
    quit(*app);
}

}  // namespace
