// The archive tool's conversion of players' files: any bytes as a picture
// (BMP or PNG) and as a sound. Whatever it makes must be an entry in the
// game's own form, which `packfile build` stores as it is, with no colour
// but the key that a 16-bit display would take for the key.
#include <string>

#include "archive.h"
#include "convert.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    packfile::Conversion out;
    std::string error;
    if (packfile::convert_picture(data, size, out, error)) {
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
    if (packfile::convert_sound(data, size, out, error)) {
        packfile::WavInfo info;
        fuzz::require(packfile::inspect_wav(out.bytes.data(), out.bytes.size(), info, error) &&
                          info.length == out.bytes.size() && info.bits == 16,
                      "a converted sound is 16-bit PCM in the game's form");
    } else {
        fuzz::require(!error.empty(), "a refused sound says why");
    }
    return 0;
}
