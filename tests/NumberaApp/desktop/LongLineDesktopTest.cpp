// A document with one line of a million characters: too long to be evaluated, it is shown as
// text, and the program opens it, paints it, stays responsive and keeps it whole.
#include <QImage>
#include <fstream>
#include <sstream>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

// The largest the program's memory has been, in megabytes (VmHWM).
long peakMegabytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) / 1024;
    return -1;
}

// Pixels of the picture darker than the background: painted text.
int darkPixels(const QImage& picture) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qGray(picture.pixel(x, y)) < 128) ++count;
    return count;
}

class LongLine : public NumberaDesktopTest {};

TEST_F(LongLine, AMillionCharactersOpenAsTextAndTheRestOfTheDocumentWorks) {
    home().setSettledUser();
    std::string longLine;
    while (longLine.size() < 1000000) longLine += "1+2 ";
    const std::string document = home().writeDocument("long.numbera", {longLine, "3*4"});
    auto app = launch({{document}});
    const auto window = app->waitForTitle("long.numbera", 90);
    ASSERT_TRUE(window) << "the document never showed: " << app->describe();
    ASSERT_TRUE(activate(*app, window->id)) << app->describe();
    EXPECT_TRUE(app->answersPing(5)) << app->describe();
    const std::string shot = screenshot("long-line-opened", &*window);
    EXPECT_GT(darkPixels(x().capture(window->client)), 2000) << "nothing painted: " << shot;
    const long peak = peakMegabytes(app->pid());
    std::cout << "peak memory with a line of a million characters: " << peak << " MB\n";
    EXPECT_LT(peak, 1500) << "megabytes";

    // The short line is answered and edited as any other, and the long one is kept whole.
    input().key("ctrl+End");
    input().type("+1");
    ASSERT_TRUE(app->waitForTitle("long.numbera*", 20)) << app->describe();
    EXPECT_TRUE(app->answersPing(5)) << app->describe();
    input().key("ctrl+s");
    ASSERT_TRUE(waitUntil(
        [&] { return home().previewText(document).find("3*4+1 = 13") != std::string::npos; }, 30))
        << app->describe();
    EXPECT_EQ(home().previewText(document), longLine + "\n3*4+1 = 13\n");
    screenshot("long-line-edited", &*window);
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << "the quit asked or stalled: " << app->describe();
}

}  // namespace
