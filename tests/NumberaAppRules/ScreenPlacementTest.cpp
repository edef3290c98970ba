// Windows and popups placed wholly on the screen: a frame pushed inside the screen's area,
// and a popup beside its anchor that flips to the left where the right has no room.
#include <gtest/gtest.h>

#include "NBScreenPlacement.h"

namespace {

const NBScreenRect kScreen{0, 0, 1280, 800};

}  // namespace

TEST(ScreenPlacement, FramesArePushedInsideTheArea) {
    struct Case {
        NBScreenRect frame;
        NBScreenRect placed;
    };
    const Case cases[] = {
        {{100, 100, 640, 480}, {100, 100, 640, 480}},  // inside: unchanged
        {{-18, 50, 200, 40}, {0, 50, 200, 40}},        // past the left edge
        {{100, 275, 560, 640}, {100, 160, 560, 640}},  // past the bottom
        {{900, 700, 640, 480}, {640, 320, 640, 480}},  // past the right and the bottom
        {{100, 100, 1400, 900}, {0, 0, 1280, 800}},    // larger than the screen: shrunk
        {{0, -30, 300, 200}, {0, 0, 300, 200}},        // above the top
    };
    for (const Case& c : cases) EXPECT_EQ(rectPlacedInside(c.frame, kScreen), c.placed);
    // A second screen to the right keeps its own origin.
    EXPECT_EQ(rectPlacedInside({2500, 100, 400, 300}, {1280, 0, 1024, 768}),
              (NBScreenRect{1904, 100, 400, 300}));
    // Without an area nothing moves.
    EXPECT_EQ(rectPlacedInside({-5, -5, 10, 10}, {}), (NBScreenRect{-5, -5, 10, 10}));
}

TEST(ScreenPlacement, APopupFlipsToTheLeftWhereTheRightHasNoRoom) {
    // Room on the right: it opens there, its pointer level with the anchor.
    NBPopupPlacement right = popupPlacementBesideAnchor(600, 300, 200, 120, 32, kScreen);
    EXPECT_FALSE(right.pointsRight);
    EXPECT_EQ(right.frame, (NBScreenRect{600, 268, 200, 120}));
    // A window as wide as the screen: the anchor is near the right edge, so it flips.
    NBPopupPlacement flipped = popupPlacementBesideAnchor(1275, 300, 200, 120, 32, kScreen);
    EXPECT_TRUE(flipped.pointsRight);
    EXPECT_EQ(flipped.frame, (NBScreenRect{1075, 268, 200, 120}));
    // Near the bottom it rises to stay on the screen.
    NBPopupPlacement low = popupPlacementBesideAnchor(600, 790, 200, 120, 32, kScreen);
    EXPECT_EQ(low.frame, (NBScreenRect{600, 680, 200, 120}));
}
