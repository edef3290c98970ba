// The syntax colours under decimal-comma locales, as the user sees them: the numbers typed into
// a document and the swatches of the Styling preferences are painted in the scheme's colours,
// not black (the colour file's fractions once read as 0 under such a locale).
#include <QImage>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

// The numbers' colour of the shipped scheme: 0.1, 0.31, 0.63.
const QColor kNumbersColour(26, 79, 161);

// Pixels of the picture within a few steps of the colour.
int pixelsNear(const QImage& picture, const QColor& colour, int tolerance = 10) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) <= tolerance &&
                std::abs(pixel.green() - colour.green()) <= tolerance &&
                std::abs(pixel.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    return count;
}

class LocaleColours : public NumberaDesktopTest,
                      public ::testing::WithParamInterface<const char*> {};

TEST_P(LocaleColours, NumbersAndStylingSwatchesKeepTheirColours) {
    const std::string locale = GetParam();
    home().setSettledUser();
    // The preferences open on the Styling pane.
    home().setSetting("NBPreferences/currentPaneIdentifier", "NBPrefPaneStyle");
    auto app = launch({{}, {{"LC_ALL", locale}, {"LANG", locale}}});
    const WindowInfo window = activeWindowTitled(*app, "Untitled");
    input().type("12345 + 678\n90");
    ASSERT_TRUE(app->waitForTitle("Untitled*")) << app->describe();
    waitFor(0.5);
    const std::string name = "locale-" + locale.substr(0, 5);
    const std::string shot = screenshot(name + "-document", &window);
    EXPECT_GT(pixelsNear(x().capture(window.client), kNumbersColour), 30)
        << "the typed numbers are not in the numbers' colour under " << locale << ": " << shot;

    chooseFromMenu(1, -1);  // Edit ▸ Preferences…, the menu's last item
    const WindowInfo preferences = activeWindowOtherThan(*app, "Untitled*");
    waitFor(1.0);  // the pane fades in
    const auto shown = x().window(preferences.id);
    ASSERT_TRUE(shown);
    const std::string swatches = screenshot(name + "-styling", &*shown);
    EXPECT_GT(pixelsNear(x().capture(shown->client), kNumbersColour, 4), 40)
        << "no swatch in the numbers' colour under " << locale << ": " << swatches;
    input().key("ctrl+q");
    ASSERT_NO_FATAL_FAILURE(answerQuestion(*app, "d"));  // Don't Save
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

INSTANTIATE_TEST_SUITE_P(CommaLocales, LocaleColours,
                         ::testing::Values("de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
