// Files of the working directory: the stand-in for CreateFileA, ReadFile,
// WriteFile, SetFilePointer, GetFileSize and CloseHandle. Reads and writes can
// be made to fail on purpose in the headless backend (Fault::FileOpen,
// Fault::FileRead), so every error path of a loader can be tested.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

class File {
   public:
    enum class Mode { Read, ReadWrite, Create };

    // Opens name; null when it cannot be opened (missing, a folder, a pipe or
    // device, no rights). The open never waits.
    // Create truncates or makes the file.
    static std::unique_ptr<File> open(const char* name, Mode mode);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    std::int64_t size() const;
    // Absolute position; false when it cannot be set (negative).
    bool seek(std::int64_t position);
    std::int64_t tell() const;
    // Bytes read, fewer at the end of the file; -1 when the read fails.
    std::int64_t read(void* buffer, std::size_t bytes);
    // Bytes written; -1 when the write fails.
    std::int64_t write(const void* buffer, std::size_t bytes);

   private:
    explicit File(int fd) : fd_(fd) {}
    int fd_;
};

// Opens name read-only if it is a regular file, and never waits: a named
// pipe, a socket or a device with a game file's name would block a plain open
// or never end. The descriptor (close-on-exec, blocking reads), or -1.
int open_regular_file(const char* name);

}  // namespace platform
