#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/faults.h"

namespace platform {

namespace {

std::string& read_fallback() {
    static std::string folder;
    return folder;
}

// Where a relative name missing from the working folder is read from; empty
// when there is no fallback or name is absolute.
std::string fallback_path(const char* name) {
    if (read_fallback().empty() || name[0] == '\0' || name[0] == '/') {
        return {};
    }
    return read_fallback() + "/" + name;
}

int open_retrying(const char* path, int flags) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

void set_read_fallback(const std::string& folder) {
    read_fallback() = folder;
}

std::string readable_path(const char* name) {
    if (name == nullptr) {
        return {};
    }
    struct stat st {};
    if (::stat(name, &st) != 0 && errno == ENOENT) {
        const std::string other = fallback_path(name);
        if (!other.empty() && ::stat(other.c_str(), &st) == 0) {
            return other;
        }
    }
    return name;
}

std::unique_ptr<File> File::open(const char* name, Mode mode) {
    if (name == nullptr || fault_due(Fault::FileOpen)) {
        return nullptr;
    }
    int flags = O_RDONLY;
    if (mode == Mode::ReadWrite) {
        flags = O_RDWR;
    } else if (mode == Mode::Create) {
        flags = O_RDWR | O_CREAT | O_TRUNC;
    }
    int fd = open_retrying(name, flags);
    if (fd < 0 && errno == ENOENT && mode == Mode::Read) {
        const std::string other = fallback_path(name);
        if (!other.empty()) {
            fd = open_retrying(other.c_str(), flags);
        }
    }
    if (fd < 0) {
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);  // folders and devices are not game files
        return nullptr;
    }
    return std::unique_ptr<File>(new File(fd));
}

File::~File() {
    ::close(fd_);
}

std::int64_t File::size() const {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

bool File::seek(std::int64_t position) {
    return position >= 0 && ::lseek(fd_, static_cast<off_t>(position), SEEK_SET) >= 0;
}

std::int64_t File::tell() const {
    return ::lseek(fd_, 0, SEEK_CUR);
}

std::int64_t File::read(void* buffer, std::size_t bytes) {
    if (fault_due(Fault::FileRead)) {
        return -1;
    }
    std::size_t done = 0;
    auto* p = static_cast<unsigned char*>(buffer);
    while (done < bytes) {
        const ssize_t n = ::read(fd_, p + done, bytes - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t File::write(const void* buffer, std::size_t bytes) {
    if (fault_due(Fault::FileWrite)) {
        return -1;
    }
    std::size_t done = 0;
    const auto* p = static_cast<const unsigned char*>(buffer);
    while (done < bytes) {
        const ssize_t n = ::write(fd_, p + done, bytes - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

}  // namespace platform
