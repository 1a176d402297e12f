// The archive tool's conversion of players' files: any bytes as a picture
// (BMP or PNG) and as a sound. Whatever it makes must be an entry in the
// game's own form, which `packfile build` stores as it is, with no colour
// but the key that a 16-bit display would take for the key.
//
// A picture whose header asks for more than 128 x 128 pixels but no more than
// the tool takes is left out: a few bytes of RLE can ask for millions of
// pixels, and the fuzzer, drawn to them, then spends its time in the pixel
// loops (about a second a run) instead of in the parsing. The refusal of
// larger sizes is still fuzzed. Sounds that would become more than 16,384
// frames are left out for the same reason.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "archive.h"
#include "convert.h"
#include "core/bytes.h"
#include "fuzz_support.h"

namespace {

constexpr std::uint64_t kFuzzedPixels = 128 * 128;
constexpr std::uint64_t kFuzzedFrames = 1 << 14;

std::uint32_t be32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// The width and height a BMP or PNG header declares (0 x 0 when unknown).
std::uint64_t declared_pixels(const std::uint8_t* data, std::size_t size) {
    std::uint64_t w = 0;
    std::uint64_t h = 0;
    if (packfile::is_png(data, size) && size >= 24) {
        w = be32(data + 16);
        h = be32(data + 20);
    } else if (size >= 26 && data[0] == 'B' && data[1] == 'M') {
        if (le::u32(data + 14) == 12) {  // the core header's 16-bit sizes
            w = le::u16(data + 18);
            h = le::u16(data + 20);
        } else {
            w = static_cast<std::uint64_t>(std::llabs(le::i32(data + 18)));
            h = static_cast<std::uint64_t>(std::llabs(le::i32(data + 22)));
        }
    }
    return w * h;
}

bool pixel_loops_only(const std::uint8_t* data, std::size_t size) {
    const std::uint64_t pixels = declared_pixels(data, size);
    return pixels > kFuzzedPixels && pixels <= packfile::kMaxPixels;
}

// The frames a WAV file's data chunk becomes at the rate the tool converts
// it to (its own, or 44,100 Hz for rates outside 1,000 to 192,000 Hz); 0
// when the chunks are not found.
std::uint64_t converted_frames(const std::uint8_t* data, std::size_t size) {
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        return 0;
    }
    std::uint64_t rate = 0;
    std::uint64_t block = 0;
    std::uint64_t bytes = 0;
    for (std::size_t at = 12; at + 8 <= size;) {
        const std::uint32_t length = le::u32(data + at + 4);
        if (std::memcmp(data + at, "fmt ", 4) == 0 && at + 8 + 14 <= size) {
            rate = le::u32(data + at + 12);
            block = le::u16(data + at + 20);
        } else if (std::memcmp(data + at, "data", 4) == 0) {
            bytes = std::min<std::uint64_t>(length, size - at - 8);
        }
        at += 8 + std::uint64_t{length} + (length & 1);
    }
    if (rate == 0 || block == 0) {
        return 0;
    }
    const std::uint64_t out_rate = rate >= 1000 && rate <= 192000 ? rate : 44100;
    return bytes / block * out_rate / rate;
}

// Sounds that only ask for long sample loops (a few bytes at 1 Hz become
// seconds at 44,100 Hz) are left out as the large pictures are.
bool sample_loops_only(const std::uint8_t* data, std::size_t size) {
    return converted_frames(data, size) > kFuzzedFrames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    packfile::Conversion out;
    std::string error;
    if (pixel_loops_only(data, size)) {
        // not converted as a picture; the sound below still is
    } else if (packfile::convert_picture(data, size, out, error)) {
        packfile::BmpInfo info;
        fuzz::require(packfile::inspect_bmp(out.bytes.data(), out.bytes.size(), info, error) &&
                          info.size_field == out.bytes.size(),
                      "a converted picture is in the game's form");
        const std::uint8_t* palette = out.bytes.data() + 54;
        fuzz::require(palette[0] == 0 && palette[1] == 255 && palette[2] == 0,
                      "palette entry 0 is the key");
        for (int i = 1; i < 256; ++i) {
            const std::uint8_t* p = palette + 4 * i;
            fuzz::require(!packfile::looks_like_key_at_16_bits(p[2], p[1], p[0]),
                          "no other colour is keyed out at 16 bits");
        }
        fuzz::require(!out.summary.empty(), "a conversion says what it did");
    } else {
        fuzz::require(!error.empty(), "a refused picture says why");
    }
    error.clear();
    if (sample_loops_only(data, size)) {
        // not converted as a sound
    } else if (packfile::convert_sound(data, size, out, error)) {
        packfile::WavInfo info;
        fuzz::require(packfile::inspect_wav(out.bytes.data(), out.bytes.size(), info, error) &&
                          info.length == out.bytes.size() && info.bits == 16,
                      "a converted sound is 16-bit PCM in the game's form");
    } else {
        fuzz::require(!error.empty(), "a refused sound says why");
    }
    return 0;
}
