// One QApplication for the process, on the offscreen platform unless a display was asked for.
#include <gtest/gtest.h>

#include <QApplication>

#include "NBAppResources.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Numbera"));
    QApplication::setWindowIcon(NBAppResources::applicationIcon());
    // Tests close windows freely; the application must outlive them.
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
