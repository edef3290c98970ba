#include "DesktopTestMain.h"

int main(int argc, char** argv) { return Desktop::runTestsWithOwnWindows(argc, argv); }
