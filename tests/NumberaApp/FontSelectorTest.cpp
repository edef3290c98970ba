// The font selector: the size always with one decimal, a font sized in pixels turned into
// points, the delegate told only of a different font, and a font chosen in the font dialog
// becoming the text font of every open document.
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "AppTestFixture.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBFontSelectorView.h"
#include "NBPreferencesWindowController.h"
#include "NBTextAttributes.h"
#include "NBTextView.h"

namespace {

struct CountingDelegate : NBFontSelectorDelegate {
    void fontDidChange(NBFontSelectorView&, const QFont& font) override {
        ++calls;
        last = font;
    }
    int calls = 0;
    QFont last;
};

QFont sized(double points) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    return font;
}

TEST(FontSelectorText, ShowsTheSizeWithOneDecimal) {
    EXPECT_EQ(NBFontSelectorView::displayText(sized(12)), "DejaVu Sans - 12.0 pt");
    EXPECT_EQ(NBFontSelectorView::displayText(sized(11.5)), "DejaVu Sans - 11.5 pt");
    EXPECT_EQ(NBFontSelectorView::displayText(sized(9.75)), "DejaVu Sans - 9.8 pt");
}

struct PixelCase {
    int pixels;
    double dotsPerInch;
    double points;
};

void PrintTo(const PixelCase& c, std::ostream* out) {
    *out << c.pixels << " px at " << c.dotsPerInch << " dpi";
}

class PixelSizedFonts : public ::testing::TestWithParam<PixelCase> {};

TEST_P(PixelSizedFonts, BecomePointSized) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(GetParam().pixels);
    const QFont points = NBFontSelectorView::pointSizedFont(font, GetParam().dotsPerInch);
    EXPECT_DOUBLE_EQ(points.pointSizeF(), GetParam().points);
    EXPECT_EQ(points.family(), font.family());
}

INSTANTIATE_TEST_SUITE_P(Table, PixelSizedFonts,
                         ::testing::Values(PixelCase{24, 96, 18.0}, PixelCase{16, 96, 12.0},
                                           PixelCase{15, 96, 11.3}, PixelCase{24, 72, 24.0},
                                           PixelCase{24, 0, 18.0}));  // no resolution: 96

TEST(FontSelectorView, TellsItsDelegateOnlyOfADifferentFont) {
    NBFontSelectorView selector;
    CountingDelegate delegate;
    selector.setDelegate(&delegate);
    selector.setSelectedFont(sized(13));
    EXPECT_EQ(delegate.calls, 1);
    EXPECT_EQ(selector.textField()->text(), "DejaVu Sans - 13.0 pt");
    selector.setSelectedFont(sized(13));
    EXPECT_EQ(delegate.calls, 1);
    selector.setDelegate(nullptr);
    selector.setSelectedFont(sized(14));
    EXPECT_EQ(delegate.calls, 1);
    EXPECT_EQ(selector.textField()->text(), "DejaVu Sans - 14.0 pt");
    EXPECT_TRUE(selector.textField()->isReadOnly());
    EXPECT_EQ(selector.button()->text(), "Select...");
}

class FontSelection : public AppTest {};

TEST_F(FontSelection, AFontChosenInTheDialogBecomesEveryDocumentsFont) {
    settings().setObject("NBShowWelcomeWindowOnLaunch", false);
    NBAppController& app = launch();
    NBDocumentWindow* first = app.documents().newDocument();
    NBDocumentWindow* second = app.documents().newDocument();
    NBPreferencesWindowController& preferences = app.preferencesController();
    preferences.show();
    preferences.switchToPaneWithIdentifier(NBPrefPaneStyle);
    preferences.finishTransition();
    NBFontSelectorView* selector = preferences.fontSelectorView();
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(selector->selectedFont(), NBTextAttributes::defaultTextViewFont());

    QTest::mouseClick(selector->button(), Qt::LeftButton);
    QFontDialog* panel = selector->fontPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->isModal());
    // The dialog offers whole sizes: its choice arrives as it is.
    panel->setCurrentFont(sized(13));
    panel->accept();
    EXPECT_EQ(selector->textField()->text(), "DejaVu Sans - 13.0 pt");
    for (NBDocumentWindow* window : {first, second})
        EXPECT_DOUBLE_EQ(window->textView()->document()->defaultFont().pointSizeF(), 13.0);
    // What the dialog reports for a fractional size.
    selector->changeFont(sized(11.5));

    EXPECT_TRUE(selector->textField()->text().endsWith(" - 11.5 pt"))
        << selector->textField()->text().toStdString();
    EXPECT_DOUBLE_EQ(NBTextAttributes::defaultTextViewFont().pointSizeF(), 11.5);
    for (NBDocumentWindow* window : {first, second})
        EXPECT_DOUBLE_EQ(window->textView()->document()->defaultFont().pointSizeF(), 11.5);
    saveScreenshot(preferences.window(), "prefs-styling-font-11-5");

    // A size changed elsewhere (the Format menu) shows in the selector.
    NBTextAttributes::increaseDefaultFontSize();
    EXPECT_EQ(selector->selectedFont(), NBTextAttributes::defaultTextViewFont());
}

}  // namespace
