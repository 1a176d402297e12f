// PackFile archives: the entries' complete BMP or WAV files one after another,
// then the 564-byte trailer with markers, offsets, tag and key. Writing, and
// reading them back the way the game reads them, for the packfile tool, the
// asset generator and the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/tabellen.h"

namespace packfile {

struct Entry {
    std::int32_t marker = 0;
    std::vector<std::uint8_t> bytes;  // a complete BMP or WAV file
};

// The archive's bytes; unused trailer bytes are zero. False (with a reason in
// error) when there are too many entries, the key is not 16 characters, or
// the archive would grow past 2 GiB (offsets are signed 32-bit).
bool build_archive(const std::vector<Entry>& entries, const std::string& key,
                   std::vector<std::uint8_t>& out, std::string& error);

// --- reading ----------------------------------------------------------------

// A picture entry as the game reads it: 14-byte file header, 40-byte info
// header, 256-entry palette, then width x height index bytes at byte 1078.
constexpr std::size_t kBmpPixelOffset = 1078;

struct BmpInfo {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t size_field = 0;  // the file header's own length
    std::size_t length = 0;        // bytes of the complete file
};

// Checks that bytes (of which `available` may be used) begin with a BMP the
// game shows correctly: uncompressed 8-bit, a 256-entry palette, bottom-up
// rows, a width that is a multiple of 4 and the pixels right after the
// palette, all present. length is the header's file size when it covers the
// pixels and fits, else the end of the pixels.
bool inspect_bmp(const std::uint8_t* bytes, std::size_t available, BmpInfo& info,
                 std::string& error);

struct WavInfo {
    std::uint16_t format_tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint16_t bits = 0;
    std::uint16_t block_align = 0;
    std::uint32_t data_bytes = 0;
    std::uint32_t duration_ms = 0;
    std::size_t length = 0;  // bytes of the complete RIFF file
};

// Checks that bytes begin with a RIFF WAVE file whose "fmt " and "data" chunks
// a chunk search from the start of the form finds, with a PCM format the game
// can play (1 or 2 channels, 8 or 16 bits) and the data wholly present.
bool inspect_wav(const std::uint8_t* bytes, std::size_t available, WavInfo& info,
                 std::string& error);

// What an archive's trailer holds.
struct Trailer {
    std::int32_t markers[Archiv::Max_Eintraege] = {};
    std::int32_t offsets[Archiv::Max_Eintraege] = {};
    std::string tag;  // as stored, up to its zero byte or the next field
    std::string key;  // as stored, up to its zero byte or the trailer's end
};

// False when the archive is shorter than a trailer.
bool read_trailer(const std::vector<std::uint8_t>& archive, Trailer& trailer);

enum class Kind { Picture, Sound, Other };

struct EntryReport {
    int index = 0;
    Kind kind = Kind::Other;
    std::int32_t marker = 0;
    std::int32_t offset = 0;
    std::size_t limit = 0;  // bytes from the offset to the next entry or the trailer
    bool readable = false;
    std::string problem;  // why not, when not readable
    BmpInfo bmp;
    WavInfo wav;
};

struct ArchiveReport {
    Trailer trailer;
    std::vector<EntryReport> entries;  // slots 0 up to the last picture or sound
};

// Reads the trailer and every entry slot up to the last picture or sound.
// False (with error) when the archive has no trailer or not the PackFile tag.
bool inspect_archive(const std::vector<std::uint8_t>& archive, ArchiveReport& report,
                     std::string& error);

// Text with bytes outside printable ASCII shown as \xNN.
std::string printable(const std::string& text);

}  // namespace packfile
