// File-system questions the kit asks of the platform.
#ifndef NUMBERA_KIT_NSFILEMANAGER_ADDITIONS_H
#define NUMBERA_KIT_NSFILEMANAGER_ADDITIONS_H

#include <string>

// The item itself (a link is not followed) is a symbolic link; a missing item is not.
bool NSFileManagerFileIsSymlinkAtPath(const std::string& path);

#endif
