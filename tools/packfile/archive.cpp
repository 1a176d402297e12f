#include "archive.h"

#include <cstring>

namespace packfile {

namespace {
void put_i32(std::uint8_t* p, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    p[0] = static_cast<std::uint8_t>(u);
    p[1] = static_cast<std::uint8_t>(u >> 8);
    p[2] = static_cast<std::uint8_t>(u >> 16);
    p[3] = static_cast<std::uint8_t>(u >> 24);
}
}  // namespace

bool build_archive(const std::vector<Entry>& entries, const std::string& key,
                   std::vector<std::uint8_t>& out, std::string& error) {
    if (entries.size() > static_cast<std::size_t>(kMaxEntries)) {
        error = "more than " + std::to_string(kMaxEntries) + " entries";
        return false;
    }
    if (key.size() != 16 || key.find('\0') != std::string::npos) {
        error = "the key must be 16 characters";
        return false;
    }
    std::uint64_t total = kTrailerSize;
    for (const Entry& e : entries) {
        total += e.bytes.size();
    }
    if (total > 0x7FFFFFFFull) {
        error = "archive larger than 2 GiB";
        return false;
    }
    out.clear();
    out.reserve(static_cast<std::size_t>(total));
    std::uint8_t trailer[kTrailerSize] = {};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        put_i32(trailer + kMarkerOffset + 4 * i, entries[i].marker);
        put_i32(trailer + kOffsetTable + 4 * i, static_cast<std::int32_t>(out.size()));
        out.insert(out.end(), entries[i].bytes.begin(), entries[i].bytes.end());
    }
    std::memcpy(trailer + kTagOffset, kTag, std::strlen(kTag) + 1);
    std::memcpy(trailer + kKeyOffset, key.c_str(), key.size() + 1);
    out.insert(out.end(), trailer, trailer + kTrailerSize);
    return true;
}

}  // namespace packfile
