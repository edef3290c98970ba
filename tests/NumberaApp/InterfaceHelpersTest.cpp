// The plain helpers of the document window: range fitting, the line separator, the largest
// fitting font size; and the text view's refusal of a selection outside its text.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QGuiApplication>

#include "Diagnostics.h"
#include "NBInterfaceHelpers.h"
#include "NBTextView.h"

namespace {

struct RangeCase {
    uint64_t location, length;
    bool fits;
};

class RangeFits : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RangeFits, AgainstAFourCharacterString) {
    EXPECT_EQ(NBRangeFitsString(GetParam().location, GetParam().length, u"abcd"), GetParam().fits);
}

INSTANTIATE_TEST_SUITE_P(Ranges, RangeFits,
                         ::testing::Values(RangeCase{0, 4, true}, RangeCase{4, 0, true},
                                           RangeCase{5, 0, false}, RangeCase{3, 2, false},
                                           RangeCase{UINT64_MAX, 2, false},
                                           RangeCase{1, UINT64_MAX, false}));

TEST(InterfaceHelpers, LinesAreJoinedWithANewLine) { EXPECT_EQ(NBLineSeparatorString(), u"\n"); }

TEST(InterfaceHelpers, ABoxTooBigAnswersZero) {
    EXPECT_EQ(NBLargestFittingFontSize("12", nullptr, nullptr, 10001, 100), 0);
    EXPECT_EQ(NBLargestFittingFontSize("12", nullptr, nullptr, 100, 4001), 0);
}

TEST(InterfaceHelpers, TheLargestFittingSizeFitsAndOneStepMoreDoesNot) {
    QFont font = QGuiApplication::font();
    QSizeF measured;
    const double size = NBLargestFittingFontSize("12,345.67", &font, &measured, 300, 80);
    ASSERT_GT(size, 1);
    font.setPointSizeF(size);
    const QSizeF atSize =
        QFontMetricsF(font).boundingRect(QRectF(0, 0, 100000, 100000), 0, "12,345.67").size();
    EXPECT_EQ(measured, atSize);
    font.setPointSizeF(size + 1);
    const QSizeF bigger =
        QFontMetricsF(font).boundingRect(QRectF(0, 0, 100000, 100000), 0, "12,345.67").size();
    EXPECT_TRUE(bigger.width() >= 300 || bigger.height() >= 80);
}

TEST(CalculationTextView, ASelectionPastTheTextIsLoggedAndIgnored) {
    NBTextView view;
    view.setup();
    view.setPlainText("1+2");
    view.setSelectedRange({1, 1});
    std::vector<std::string> log;
    Diagnostics::ScopedSink sink(
        [&](Diagnostics::Stream, const std::string& message) { log.push_back(message); });
    EXPECT_FALSE(view.setSelectedRange({2, 2}));
    EXPECT_EQ(view.selectedRange().location, 1u);
    EXPECT_EQ(view.selectedRange().length, 1u);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log.front().find("Invalid Range Set on Text View"), std::string::npos);
    EXPECT_TRUE(view.setSelectedRange({3, 0}));
}

}  // namespace
