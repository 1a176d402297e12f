// Files of the working directory: the stand-in for CreateFileA, ReadFile,
// WriteFile, SetFilePointer, GetFileSize and CloseHandle. Reads and writes can
// be made to fail on purpose in the headless backend (Fault::FileOpen,
// Fault::FileRead, Fault::FileWrite), so every error path of a loader and a
// writer can be tested.
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
    // Replace writes a new version of the file under a temporary name beside
    // it (name + ".tmp"); commit() puts it in the file's place in one step, so
    // that a crash, a kill or a full disk at any moment leaves either the old
    // file or the new one, whole. Without a commit the old file stays and the
    // temporary one is removed.
    enum class Mode { Read, ReadWrite, Create, Replace };

    // Opens name; null when it cannot be opened (missing, a folder, a pipe or
    // device, no rights); the open never waits. Create truncates or makes the
    // file. Replace is refused, as creating the file would be, when the file
    // exists but is not a writable plain file, and while another Replace of
    // the same file is under way. Read takes a relative name that the working
    // folder lacks from the read fallback folder.
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

    // Replace only: flushes the new version to the disk, renames it over the
    // file and flushes the folder. False when any step but the last fails;
    // the old file is then as it was. The file is closed either way.
    bool commit();

   private:
    explicit File(int fd) : fd_(fd) {}
    // The system's open of name for Read, ReadWrite or Create: a descriptor
    // of a regular file, or -1 with errno set.
    static int open_descriptor(const char* name, Mode mode);
    static std::unique_ptr<File> open_replacement(const char* name);
    int fd_;
    std::string target_;     // Replace: the file to replace
    std::string temporary_;  // Replace: the new version until the commit
};

// The folder that reads fall back to; empty (the default) for none.
void set_read_fallback(const std::string& folder);
// The path to read name from: name itself, or the fallback folder's file of
// that name when the working folder has none and the fallback has one. For
// readers that take a path rather than a File.
std::string readable_path(const char* name);
// Opens name read-only if it is a regular file, and never waits: a named
// pipe, a socket or a device with a game file's name would block a plain open
// or never end. A relative name the working folder lacks is taken from the
// read fallback folder. The descriptor (close-on-exec, blocking reads), or -1.
int open_regular_file(const char* name);

}  // namespace platform
