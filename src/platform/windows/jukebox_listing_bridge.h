// Until the jukebox's folder listing is a platform call of its own, the
// Windows build gives its source the two POSIX calls it uses that mingw-w64
// lacks: the listing's folder (dirfd) and a stat of an entry in it
// (fstatat). The build force-includes this header there on Windows only.
#pragma once

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

struct BrambleListedFolder {
    DIR* dir;
};

inline BrambleListedFolder bramble_dirfd(DIR* dir) {
    return {dir};
}

// mingw-w64 keeps the search pattern ("folder\*") in the DIR.
inline int bramble_fstatat(BrambleListedFolder folder, const char* name, struct stat* st, int) {
    std::string path = folder.dir->dd_name;
    if (!path.empty() && path.back() == '*') {
        path.pop_back();
    }
    path += name;
    return stat(path.c_str(), st);
}

#define dirfd bramble_dirfd
#define fstatat bramble_fstatat
