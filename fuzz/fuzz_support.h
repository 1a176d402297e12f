// Shared by the fuzz targets: the game's loaders take a file name, so each
// input is written to one scratch file per process before it is loaded.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/headless/headless.h"
#include "platform/window.h"

namespace fuzz {

inline std::string& scratch_path() {
    static std::string path;
    return path;
}

inline void remove_scratch() {
    std::remove(scratch_path().c_str());
}

// Makes the scratch file (in memory where the system offers it) and readies
// the headless platform.
inline void init() {
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    scratch_path() = std::string(dir) + "/bramble-fuzz-" + std::to_string(getpid()) + ".dat";
    std::atexit(remove_scratch);
    platform::headless::reset();
    // Nearly every input shows a box; writing each to stderr fills the log.
    platform::message_box_echo(false);
}

inline bool write_scratch(const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(scratch_path().c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// A broken promise of the code under test: report it as a crash.
inline void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz: violated: %s\n", what);
        std::abort();
    }
}

}  // namespace fuzz
