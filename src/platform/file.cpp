#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/faults.h"

namespace platform {

namespace {

// Opens name with flags, never waiting (O_NONBLOCK), and keeps it only if it
// is a regular file, whose reads and writes then block as usual. -1 otherwise:
// folders, pipes and devices are not game files.
int open_regular(const char* name, int flags) {
    int fd;
    do {
        fd = ::open(name, flags | O_CLOEXEC | O_NONBLOCK, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    const int status = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || status < 0 ||
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

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
    const int fd = open_regular(name, flags);
    if (fd < 0) {
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

int open_regular_file(const char* name) {
    return name != nullptr ? open_regular(name, O_RDONLY) : -1;
}

}  // namespace platform
