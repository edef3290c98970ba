#include "NSFileManager+Additions.h"

#include <sys/stat.h>

bool NSFileManagerFileIsSymlinkAtPath(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}
