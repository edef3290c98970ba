// The pop-up window: shown and hidden with and without its fade, attached to its mother
// window only by an animated show, and the dark style's shape.
#include <QMainWindow>
#include <QTest>

#include "AppTestFixture.h"
#include "NBPopupWindow.h"

namespace {

class PopupWindow : public AppTest {};

TEST_F(PopupWindow, WithoutAnimationItShowsAtOnceAndClosesAtOnce) {
    QMainWindow mother;
    mother.setGeometry(100, 100, 400, 300);
    mother.show();
    NBPopupWindow popup;
    popup.setMotherWindow(&mother);
    popup.setGeometry(520, 150, 160, 120);
    EXPECT_NE(popup.windowType(), Qt::Popup);
    EXPECT_TRUE(popup.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    popup.showWithAnimation(false);
    EXPECT_TRUE(popup.isVisible());
    EXPECT_TRUE(popup.isPopupVisible());
    EXPECT_DOUBLE_EQ(popup.windowOpacity(), 1.0);
    EXPECT_FALSE(popup.isAttachedToMother());
    popup.hideWindowWithAnimation(false);
    EXPECT_FALSE(popup.isVisible());
    EXPECT_FALSE(popup.isPopupVisible());
}

TEST_F(PopupWindow, AnAnimatedShowFollowsTheMotherWindowAndAFadeOutCloses) {
    QMainWindow mother;
    mother.setGeometry(100, 100, 400, 300);
    mother.show();
    NBPopupWindow popup;
    popup.setMotherWindow(&mother);
    popup.setGeometry(520, 150, 160, 120);
    popup.showWithAnimation(true);
    EXPECT_TRUE(popup.isAttachedToMother());
    ASSERT_TRUE(pumpEventsUntil([&] { return popup.windowOpacity() >= 0.99; }, 2000));
    const QPoint offset = popup.pos() - mother.pos();
    mother.move(mother.pos() + QPoint(40, 25));
    pumpEventsFor(30);
    EXPECT_EQ(popup.pos() - mother.pos(), offset);
    popup.setClickToClose(true);
    QTest::mouseClick(&popup, Qt::LeftButton);
    EXPECT_FALSE(popup.isPopupVisible());
    EXPECT_TRUE(pumpEventsUntil([&] { return !popup.isVisible(); }, 2000));
    EXPECT_FALSE(popup.isAttachedToMother());
}

TEST_F(PopupWindow, TheDarkStyleNarrowsThePointerOnce) {
    NBPopupWindow popup;
    popup.resize(200, 100);
    NBPopupShapeView* shape = popup.shapeView();
    const double height = shape->pointerHeight;
    popup.setStyle(1);
    popup.setStyle(1);
    EXPECT_EQ(shape->pointerWidth, 18);
    EXPECT_EQ(shape->pointerHeight, height - 2);
    EXPECT_EQ(shape->gradient.size(), 8u);
    EXPECT_EQ(shape->contentRectForFrameRect(QRectF(0, 0, 200, 100)),
              QRectF(1 + height - 2, 1, 198 - (height - 2), 98));
    EXPECT_EQ(shape->frameSizeForContentSize(QSizeF(100, 50)), QSizeF(102 + height - 2, 52));
    popup.setStyle(0);
    EXPECT_EQ(shape->gradient.size(), 2u);
    popup.showWithAnimation(false);
    EXPECT_EQ(shape->size(), QSize(200, 100));
    EXPECT_TRUE(shape->outline().contains(QPointF(100, 50)));
    EXPECT_FALSE(shape->outline().contains(QPointF(0.5, 5)));
    saveScreenshot(&popup, "commands-popup-window");
}

}  // namespace
