// The game folder in the browser lives in memory and in IndexedDB (see
// storage.js): a file written whole is copied to IndexedDB at once, in the
// background, so a reload (or another tab loading) finds the last whole file.
#include "platform/storage.h"

#include <emscripten.h>
#include <unistd.h>

#include <string>

namespace platform {

void storage_persist(const char* name) {
    std::string path = name != nullptr ? name : "";
    if (path.empty()) {
        return;
    }
    if (path[0] != '/') {
        char folder[4096];
        if (::getcwd(folder, sizeof folder) == nullptr) {
            return;
        }
        path = std::string(folder) + "/" + path;
    }
    EM_ASM(
        {
            if (Module['brambleStoragePersist'])
                Module['brambleStoragePersist'](UTF8ToString($0));
        },
        path.c_str());
}

}  // namespace platform
