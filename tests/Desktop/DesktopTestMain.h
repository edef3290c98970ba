// The main of a test program whose windows are its own: the X server and its window manager
// start before the QApplication (on the xcb platform), and waiting runs the program's event
// loop. Listing the tests needs neither.
#ifndef NUMBERA_TESTS_DESKTOP_TEST_MAIN_H
#define NUMBERA_TESTS_DESKTOP_TEST_MAIN_H

namespace Desktop {

int runTestsWithOwnWindows(int argc, char** argv);

}  // namespace Desktop

#endif
