// The small controls of the window's frame: the totals pop-up button's title, placeholder and
// visibility; the expanding label that reports a change of width; the coloured line.
#include <gtest/gtest.h>

#include <QImage>
#include <QPalette>
#include <QWidget>
#include <ostream>

#include "NBColoredLine.h"
#include "NBExpandingStringView.h"
#include "NBTotalsPopupButton.h"
#include "NotificationCenter.h"

namespace {

struct TitleCase {
    const char* left;
    const char* right;
    const char* comment;
    const char* title;
    bool placeholder;
};

void PrintTo(const TitleCase& c, std::ostream* out) { *out << '"' << c.title << '"'; }

class TotalsPopupButtonTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TotalsPopupButtonTitle, JoinsItsPartsOrShowsThePlaceholder) {
    const TitleCase& c = GetParam();
    QWidget parent;
    NBTotalsPopupButton button(&parent);
    EXPECT_EQ(button.placeHolder(), "Placeholder");
    button.setPlaceHolder("Statistics");
    button.setDeliniator(":  ");
    button.setLeftComponent(c.left);
    button.setRightCompontent(c.right);
    button.setComment(c.comment);
    // Stored only until the title is updated.
    EXPECT_EQ(button.text(), "");
    button.updateTitle();
    EXPECT_EQ(button.text(), c.title);
    EXPECT_EQ(button.isShowingPlaceholder(), c.placeholder);
}

INSTANTIATE_TEST_SUITE_P(Parts, TotalsPopupButtonTitle,
                         ::testing::Values(TitleCase{"Total", "60", "", "Total:  60", false},
                                           TitleCase{"Total", "60", " kg", "Total:  60 kg", false},
                                           TitleCase{"", "60", "", "Statistics", true},
                                           TitleCase{"Total", "", " kg", "Statistics", true}));

TEST(TotalsPopupButton, AHiddenButtonThatShouldNotShowStaysHiddenUntilAskedTo) {
    QWidget parent;
    NBTotalsPopupButton button(&parent);
    parent.show();
    button.setVisibleWithValue(false);
    button.hide();
    button.setLeftComponent("Total");
    button.setRightCompontent("3");
    button.updateTitle();
    EXPECT_TRUE(button.isHidden());
    button.setVisibleWithValue(true);
    EXPECT_FALSE(button.isHidden());
    // A placeholder hides the button only when it is told to.
    button.setRightCompontent("");
    button.updateTitle();
    EXPECT_FALSE(button.isHidden());
    button.setHidesWhenShowingPlaceHolder(true);
    button.updateTitle();
    EXPECT_TRUE(button.isHidden());
}

TEST(TotalsPopupButton, TheCommentIsMeasuredInTheSmallFont) {
    QWidget parent;
    NBTotalsPopupButton button(&parent);
    button.setLeftComponent("Total");
    button.setDeliniator(":  ");
    button.setRightCompontent("60");
    button.setComment(" (approx.)");
    button.updateTitle();
    EXPECT_DOUBLE_EQ(button.commentFont().pointSizeF(), NBTotalsPopupButton::kCommentFontSize);
    const double body = button.leftComponentSize().width() + button.deliniatorSize().width() +
                        button.rightComponentSize().width();
    EXPECT_NEAR(button.totalStringSize().width(), body + button.commentSize().width(), 1.0);
    EXPECT_FALSE(button.grab().isNull());
}

TEST(ExpandingStringView, AnnouncesOnlyAChangeOfWidth) {
    NBExpandingStringView label;
    EXPECT_EQ(label.title(), "Line: 100");
    int posted = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(
        NBExpandingStringViewChangedSize, &label, nullptr,
        [&](const NSNotification&) { ++posted; });
    label.setTitle("Line: 1-12");
    EXPECT_EQ(posted, 1);
    // Digits are as wide as each other in the label's font.
    label.setTitle("Line: 1-13");
    EXPECT_EQ(posted, 1);
    label.setTitle("Line: 1-13");
    EXPECT_EQ(posted, 1);
    label.sizeToFit();
    EXPECT_EQ(label.width(), label.sizeHint().width());
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST(ColoredLine, DrawsItsInactiveColourOnlyWhenItShowsWhileInactive) {
    QWidget background;
    background.setAutoFillBackground(true);
    background.setPalette(QPalette(Qt::white));
    background.resize(10, 2);
    auto* line = new NBColoredLine(&background);
    line->resize(10, 2);
    line->setActiveColor(Qt::red);
    line->setInactiveColor(Qt::blue);
    // Offscreen, the line's window is not the active one.
    EXPECT_EQ(QColor(background.grab().toImage().pixel(5, 1)), QColor(Qt::blue));
    line->setShowsWhileInactive(false);
    EXPECT_EQ(QColor(background.grab().toImage().pixel(5, 1)), QColor(Qt::white));
}

}  // namespace
