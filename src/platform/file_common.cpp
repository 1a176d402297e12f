// The parts of File that do not depend on the system: the read fallback
// folder and the choice of where a name is opened from.
#include <cerrno>

#include "platform/faults.h"
#include "platform/file.h"
#include "platform/file_paths.h"

namespace platform {

namespace {

std::string& read_fallback() {
    static std::string folder;
    return folder;
}

// Where a relative name missing from the working folder is read from; empty
// when there is no fallback or name is absolute.
std::string fallback_path(const char* name) {
    if (read_fallback().empty() || name[0] == '\0' || file_paths::is_absolute(name)) {
        return {};
    }
    return read_fallback() + "/" + name;
}

}  // namespace

void set_read_fallback(const std::string& folder) {
    read_fallback() = folder;
}

std::string readable_path(const char* name) {
    if (name == nullptr) {
        return {};
    }
    if (file_paths::missing(name)) {
        const std::string other = fallback_path(name);
        if (!other.empty() && file_paths::exists(other)) {
            return other;
        }
    }
    return name;
}

std::unique_ptr<File> File::open(const char* name, Mode mode) {
    if (name == nullptr || fault_due(Fault::FileOpen)) {
        return nullptr;
    }
    if (mode == Mode::Replace) {
        return open_replacement(name);
    }
    int fd = open_descriptor(name, mode);
    if (fd < 0 && errno == ENOENT && mode == Mode::Read) {
        const std::string other = fallback_path(name);
        if (!other.empty()) {
            fd = open_descriptor(other.c_str(), mode);
        }
    }
    if (fd < 0) {
        return nullptr;
    }
    return std::unique_ptr<File>(new File(fd));
}

}  // namespace platform
