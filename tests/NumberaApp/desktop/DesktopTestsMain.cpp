// The desktop starts once the first case needs it, for the whole program; listing the cases
// needs none.
#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Pictures are written with Qt's image support; no window of this program ever shows.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
