#include "platform/png.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace platform {

namespace {

void put_u32be(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void put_chunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data,
               std::size_t len) {
    put_u32be(out, static_cast<std::uint32_t>(len));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    if (len > 0) {
        out.insert(out.end(), data, data + len);
    }
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(len + 4));
    put_u32be(out, static_cast<std::uint32_t>(crc));
}

// Expands a 5-bit channel to 8 bits so that white stays white.
std::uint8_t expand5(std::uint32_t v) {
    return static_cast<std::uint8_t>((v << 3) | (v >> 2));
}

}  // namespace

bool write_png(const Surface& surface, const std::string& path) {
    const int w = surface.width();
    const int h = surface.height();
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(h) * (static_cast<std::size_t>(w) * 3 + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = surface.pixel(x, y);
            if (surface.bits_per_pixel() == 16) {
                raw.push_back(expand5((p >> 11) & 0x1F));
                raw.push_back(expand5((p >> 6) & 0x1F));
                raw.push_back(expand5(p & 0x1F));
            } else {
                raw.push_back(static_cast<std::uint8_t>(p >> 16));
                raw.push_back(static_cast<std::uint8_t>(p >> 8));
                raw.push_back(static_cast<std::uint8_t>(p));
            }
        }
    }
    uLongf packed_len = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packed_len);
    if (compress2(packed.data(), &packed_len, raw.data(), static_cast<uLong>(raw.size()), 6) !=
        Z_OK) {
        return false;
    }
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    put_u32be(ihdr, static_cast<std::uint32_t>(w));
    put_u32be(ihdr, static_cast<std::uint32_t>(h));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bit, RGB, deflate, no filter, no interlace
    put_chunk(out, "IHDR", ihdr.data(), ihdr.size());
    put_chunk(out, "IDAT", packed.data(), packed_len);
    put_chunk(out, "IEND", nullptr, 0);

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!f) {
        return false;
    }
    return std::fwrite(out.data(), 1, out.size(), f.get()) == out.size();
}

}  // namespace platform
