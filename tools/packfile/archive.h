// Writing PackFile archives: the entries' complete BMP or WAV files one after
// another, then the 564-byte trailer with markers, offsets, tag and key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace packfile {

constexpr int kTrailerSize = 564;
constexpr int kMarkerOffset = 0;
constexpr int kOffsetTable = 204;
constexpr int kTagOffset = 404;
constexpr int kKeyOffset = 544;
constexpr int kMaxEntries = 50;  // the offset table ends where the tag begins
constexpr std::int32_t kMarkerPicture = 2000;
constexpr std::int32_t kMarkerSound = 1000;
constexpr const char* kTag = "PackFile-1.2";

struct Entry {
    std::int32_t marker = 0;
    std::vector<std::uint8_t> bytes;  // a complete BMP or WAV file
};

// The archive's bytes; unused trailer bytes are zero. False (with a reason in
// error) when there are too many entries, the key is not 16 characters, or
// the archive would grow past 2 GiB (offsets are signed 32-bit).
bool build_archive(const std::vector<Entry>& entries, const std::string& key,
                   std::vector<std::uint8_t>& out, std::string& error);

}  // namespace packfile
