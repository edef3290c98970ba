#include <sys/stat.h>

#include "NSFileManager+Additions.h"

bool NSFileManagerFileIsSymlinkAtPath(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}
