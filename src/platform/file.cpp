#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/faults.h"
#include "platform/file_paths.h"
#include "platform/storage.h"

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
        // Something is there, only not a file: callers must not take it for
        // a missing name (errno could still say ENOENT from an earlier call).
        errno = EINVAL;
        return -1;
    }
    return fd;
}

bool sync_fd(int fd) {
    int r;
    do {
        r = ::fsync(fd);
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

// Makes a rename in the folder of path durable. Some file systems cannot
// flush a folder; the rename has happened by then, so that is not a failure.
void sync_folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        sync_fd(fd);
        ::close(fd);
    }
}

}  // namespace

namespace file_paths {

bool is_absolute(const char* name) {
    return name[0] == '/';
}

bool missing(const char* path) {
    struct stat st {};
    return ::stat(path, &st) != 0 && errno == ENOENT;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace file_paths

int File::open_descriptor(const char* name, Mode mode) {
    int flags = O_RDONLY;
    if (mode == Mode::ReadWrite) {
        flags = O_RDWR;
    } else if (mode == Mode::Create) {
        flags = O_RDWR | O_CREAT | O_TRUNC;
    }
    return open_regular(name, flags);
}

std::unique_ptr<File> File::open_replacement(const char* name) {
    // A link is followed, as opening it for writing would: the file it
    // points to gets the new version and the link stays.
    std::string target = name;
    struct stat st {};
    if (::lstat(name, &st) == 0 && S_ISLNK(st.st_mode)) {
        char* real = ::realpath(name, nullptr);
        if (real == nullptr) {
            return nullptr;
        }
        target = real;
        std::free(real);
    }
    // Replacing by a rename needs no rights on the old file itself; refuse
    // what overwriting it in place would have been refused.
    mode_t permissions = 0644;
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0) {
            return nullptr;
        }
        permissions = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return nullptr;
    }

    // A temporary file left by a crash is taken over and emptied. The lock
    // keeps a second writer of the same file out, and a name that no longer
    // names the locked file means another writer has just put it in place.
    const std::string temporary = target + ".tmp";
    int fd;
    do {
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                    0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return nullptr;
    }
    struct stat mine {};
    struct stat named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &mine) != 0 || !S_ISREG(mine.st_mode) ||
        ::lstat(temporary.c_str(), &named) != 0 || named.st_dev != mine.st_dev ||
        named.st_ino != mine.st_ino || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return nullptr;
    }
    ::fchmod(fd, permissions);
    std::unique_ptr<File> file(new File(fd));
    file->target_ = target;
    file->temporary_ = temporary;
    return file;
}

bool File::commit() {
    if (fd_ < 0 || temporary_.empty()) {
        return false;
    }
    // Renamed while the lock is held, so no second writer can take the
    // temporary name's file over in between.
    const bool ok = sync_fd(fd_) && ::rename(temporary_.c_str(), target_.c_str()) == 0;
    if (ok) {
        temporary_.clear();
        sync_folder_of(target_);
    } else {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
    ::close(fd_);
    fd_ = -1;
    if (ok) {
        storage_persist(target_.c_str());
    }
    return ok;
}

File::~File() {
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());  // never committed: the old file stays
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
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
    // Read where the game's other files are read: the working folder first,
    // then the installed data.
    return name != nullptr ? open_regular(readable_path(name).c_str(), O_RDONLY) : -1;
}

}  // namespace platform
