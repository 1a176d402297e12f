// Files of the working directory: the stand-in for CreateFileA, ReadFile,
// WriteFile, SetFilePointer, GetFileSize and CloseHandle. Reads and writes can
// be made to fail on purpose in the headless backend (Fault::FileOpen,
// Fault::FileRead), so every error path of a loader can be tested.
//
// The installed game reads its default data from a folder it never writes:
// a relative name that is not in the working folder is looked up there, for
// reading only. Whatever the player puts into the working folder comes first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class File {
   public:
    enum class Mode { Read, ReadWrite, Create };

    // Opens name; null when it cannot be opened (missing, a folder, no rights).
    // Create truncates or makes the file. Read takes a relative name that
    // the working folder lacks from the read fallback folder.
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

// The folder that reads fall back to; empty (the default) for none.
void set_read_fallback(const std::string& folder);
// The path to read name from: name itself, or the fallback folder's file of
// that name when the working folder has none and the fallback has one. For
// readers that take a path rather than a File.
std::string readable_path(const char* name);

}  // namespace platform
