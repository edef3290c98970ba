#include "DesktopTestMain.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "DesktopServer.h"
#include "DesktopWaiting.h"

namespace Desktop {

int runTestsWithOwnWindows(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else {
        Server& server = Server::shared();
        if (!server.ok()) {
            std::fprintf(stderr, "no X server for the tests: %s\n", server.error().c_str());
            return 1;
        }
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        ::unsetenv("QT_QPA_PLATFORMTHEME");
        ::unsetenv("QT_IM_MODULE");
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    setEventPump([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); });
    return RUN_ALL_TESTS();
}

}  // namespace Desktop
