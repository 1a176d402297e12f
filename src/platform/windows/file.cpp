// Files of the working folder on Windows: wide-character paths, C runtime
// descriptors (which libmpg123 and stdio take as they are), and the same
// replace-by-rename guarantees as on Linux: the new version is written under
// a temporary name, flushed, and moved over the old file with a
// write-through move.
#include "platform/file.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "platform/faults.h"
#include "platform/file_paths.h"
#include "platform/windows/wide.h"

namespace platform {

namespace {

using windows::widen;

DWORD attributes(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str());
}

bool is_plain_file(DWORD attr) {
    return attr != INVALID_FILE_ATTRIBUTES &&
           (attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// Opens name with flags if it is a regular file on a disk; -1 otherwise
// (folders and devices such as NUL or COM1 are not game files). share says
// what other openers may do meanwhile.
int open_regular(const char* name, int flags, int share = _SH_DENYNO) {
    const std::wstring wide = widen(name);
    if (wide.empty()) {
        errno = ENOENT;
        return -1;
    }
    int fd = -1;
    if (_wsopen_s(&fd, wide.c_str(), flags | _O_BINARY | _O_NOINHERIT, share,
                  _S_IREAD | _S_IWRITE) != 0 ||
        fd < 0) {
        return -1;
    }
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        _close(fd);
        errno = EINVAL;  // something is there, only not a file
        return -1;
    }
    return fd;
}

// The standard streams in binary mode, as on Linux: in Windows' text mode a
// "\n" written becomes "\r\n", and traces, listings and extracted files
// written to stdout would differ from the Linux programs' bytes.
const bool binary_stdio = [] {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return true;
}();

}  // namespace

namespace file_paths {

bool is_absolute(const char* name) {
    return name[0] == '/' || name[0] == '\\' || (name[0] != '\0' && name[1] == ':');
}

bool missing(const char* path) {
    return attributes(path) == INVALID_FILE_ATTRIBUTES;
}

bool exists(const std::string& path) {
    return attributes(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace file_paths

int File::open_descriptor(const char* name, Mode mode) {
    int flags = _O_RDONLY;
    if (mode == Mode::ReadWrite) {
        flags = _O_RDWR;
    } else if (mode == Mode::Create) {
        flags = _O_RDWR | _O_CREAT | _O_TRUNC;
    }
    return open_regular(name, flags);
}

std::unique_ptr<File> File::open_replacement(const char* name) {
    // Refuse what overwriting the old file in place would have been refused.
    const std::string target = name;
    const DWORD attr = attributes(target);
    if (attr != INVALID_FILE_ATTRIBUTES &&
        (!is_plain_file(attr) || (attr & FILE_ATTRIBUTE_READONLY) != 0)) {
        return nullptr;
    }
    // A temporary file left by a crash is taken over and emptied. Opened
    // without sharing, so a second writer of the same file is kept out until
    // this one has moved it into place or given up.
    const std::string temporary = target + ".tmp";
    const int fd = open_regular(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC, _SH_DENYRW);
    if (fd < 0) {
        return nullptr;
    }
    std::unique_ptr<File> file(new File(fd));
    file->target_ = target;
    file->temporary_ = temporary;
    return file;
}

bool File::commit() {
    if (fd_ < 0 || temporary_.empty()) {
        return false;
    }
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd_));
    const bool flushed = FlushFileBuffers(handle) != 0;
    // The open descriptor would keep the file from being moved.
    _close(fd_);
    fd_ = -1;
    const bool ok = flushed && MoveFileExW(widen(temporary_).c_str(), widen(target_).c_str(),
                                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        DeleteFileW(widen(temporary_).c_str());
    }
    temporary_.clear();
    return ok;
}

File::~File() {
    if (fd_ >= 0) {
        _close(fd_);
    }
    if (!temporary_.empty()) {
        DeleteFileW(widen(temporary_).c_str());  // never committed: the old file stays
    }
}

std::int64_t File::size() const {
    return _filelengthi64(fd_);
}

bool File::seek(std::int64_t position) {
    return position >= 0 && _lseeki64(fd_, position, SEEK_SET) >= 0;
}

std::int64_t File::tell() const {
    return _telli64(fd_);
}

std::int64_t File::read(void* buffer, std::size_t bytes) {
    if (fault_due(Fault::FileRead)) {
        return -1;
    }
    std::size_t done = 0;
    auto* p = static_cast<unsigned char*>(buffer);
    while (done < bytes) {
        const std::size_t chunk = bytes - done < 0x40000000u ? bytes - done : 0x40000000u;
        const int n = _read(fd_, p + done, static_cast<unsigned>(chunk));
        if (n < 0) {
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
        const std::size_t chunk = bytes - done < 0x40000000u ? bytes - done : 0x40000000u;
        const int n = _write(fd_, p + done, static_cast<unsigned>(chunk));
        if (n <= 0) {
            return -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

int open_regular_file(const char* name) {
    return name != nullptr ? open_regular(readable_path(name).c_str(), _O_RDONLY) : -1;
}

}  // namespace platform
