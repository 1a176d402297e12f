#include "convert.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "archive.h"
#include "core/bytes.h"

namespace packfile {

namespace {

std::string size_text(std::int64_t w, std::int64_t h) {
    return std::to_string(w) + " x " + std::to_string(h);
}

// --- BMP --------------------------------------------------------------------

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

// One colour channel of a 16- or 32-bit pixel, given by its mask: the run
// of ones from the mask's lowest set bit, scaled to 8 bits.
struct Field {
    int shift = 0;
    int bits = 0;
};

Field field_of(std::uint32_t mask) {
    if (mask == 0) {
        return {};
    }
    const int shift = std::countr_zero(mask);
    return {shift, std::countr_one(mask >> shift)};
}

std::uint8_t extract(std::uint32_t pixel, const Field& f) {
    if (f.bits == 0) {
        return 0;
    }
    const std::uint32_t v = f.bits >= 32 ? pixel : (pixel >> f.shift) & ((1u << f.bits) - 1);
    if (f.bits >= 8) {
        return static_cast<std::uint8_t>(v >> (f.bits - 8));
    }
    const std::uint32_t max = (1u << f.bits) - 1;
    return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
}

const char* compression_name(std::uint32_t compression) {
    switch (compression) {
        case kBiRle8:
            return ", RLE8";
        case kBiRle4:
            return ", RLE4";
        case kBiBitfields:
        case kBiAlphaBitfields:
            return ", bit fields";
        default:
            return "";
    }
}

// Run-length encoded rows (RLE8 or RLE4) into palette indices; pixels the
// encoding skips over (a delta or an early end of line) stay transparent.
void decode_rle(const std::uint8_t* data, std::size_t size, bool four_bits, int w, int h,
                std::vector<std::int16_t>& index) {
    std::int64_t x = 0, y = 0;  // y counts rows from the bottom
    std::size_t p = 0;
    const auto put = [&](int value) {
        if (x < w && y < h) {
            index[static_cast<std::size_t>((h - 1 - y) * w + x)] = static_cast<std::int16_t>(value);
        }
        ++x;
    };
    while (p + 2 <= size && y < h) {
        const int count = data[p];
        const int value = data[p + 1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                put(four_bits ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            }
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (p + 2 > size) {
                break;
            }
            x += data[p];
            y += data[p + 1];
            p += 2;
        } else {
            // An absolute run of `value` pixels, padded to a whole 16-bit word.
            const std::size_t bytes = four_bits ? (static_cast<std::size_t>(value) + 1) / 2
                                                : static_cast<std::size_t>(value);
            for (int i = 0; i < value && p + static_cast<std::size_t>(four_bits ? i / 2 : i) < size;
                 ++i) {
                const std::uint8_t byte = data[p + (four_bits ? i / 2 : i)];
                put(four_bits ? (i % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte);
            }
            p += bytes + (bytes & 1);
        }
    }
}

// --- colours ----------------------------------------------------------------

std::uint32_t pack(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | b;
}

int channel(std::uint32_t rgb, int axis) {
    return static_cast<int>((rgb >> (16 - 8 * axis)) & 0xFF);
}

// The nearest colour that a 16-bit display does not take for the key: the
// one channel that needs the smallest step leaves the key's range.
std::uint32_t keep_visible(std::uint32_t rgb) {
    int r = channel(rgb, 0), g = channel(rgb, 1), b = channel(rgb, 2);
    if (!looks_like_key_at_16_bits(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                   static_cast<std::uint8_t>(b))) {
        return rgb;
    }
    const int to_r = 8 - r, to_g = g - 247, to_b = 8 - b;
    if (to_g <= to_r && to_g <= to_b) {
        g = 247;
    } else if (to_r <= to_b) {
        r = 8;
    } else {
        b = 8;
    }
    return pack(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                static_cast<std::uint8_t>(b));
}

struct Colour {
    std::uint32_t rgb = 0;
    std::uint64_t count = 0;
};

struct Box {
    std::size_t begin = 0, end = 0;
    std::uint64_t pixels = 0;
    int axis = 0;
    int range = 0;
};

Box make_box(const std::vector<Colour>& colours, std::size_t begin, std::size_t end) {
    Box box{begin, end, 0, 0, 0};
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (std::size_t i = begin; i < end; ++i) {
        box.pixels += colours[i].count;
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], channel(colours[i].rgb, a));
            hi[a] = std::max(hi[a], channel(colours[i].rgb, a));
        }
    }
    for (int a = 0; a < 3; ++a) {
        if (hi[a] - lo[a] > box.range) {
            box.range = hi[a] - lo[a];
            box.axis = a;
        }
    }
    return box;
}

// Median cut: the box that is widest along one channel, weighted by how many
// pixels it holds, is halved at the pixel median of that channel, until
// there are `limit` boxes; each box gives its pixels' mean colour.
std::vector<std::uint32_t> median_cut(std::vector<Colour> colours, std::size_t limit) {
    std::vector<Box> boxes{make_box(colours, 0, colours.size())};
    while (boxes.size() < limit) {
        std::size_t best = boxes.size();
        std::uint64_t best_score = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const std::uint64_t score =
                boxes[i].pixels * static_cast<std::uint64_t>(boxes[i].range);
            if (boxes[i].end - boxes[i].begin > 1 && score > best_score) {
                best = i;
                best_score = score;
            }
        }
        if (best == boxes.size()) {
            break;
        }
        const Box box = boxes[best];
        std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
                  colours.begin() + static_cast<std::ptrdiff_t>(box.end),
                  [axis = box.axis](const Colour& a, const Colour& b) {
                      const int ca = channel(a.rgb, axis), cb = channel(b.rgb, axis);
                      return ca != cb ? ca < cb : a.rgb < b.rgb;
                  });
        std::size_t split = box.begin + 1;
        std::uint64_t seen = 0;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            seen += colours[i].count;
            split = i + 1;
            if (2 * seen >= box.pixels) {
                break;
            }
        }
        boxes[best] = make_box(colours, box.begin, split);
        boxes.push_back(make_box(colours, split, box.end));
    }
    std::vector<std::uint32_t> palette;
    for (const Box& box : boxes) {
        std::uint64_t sum[3] = {0, 0, 0};
        for (std::size_t i = box.begin; i < box.end; ++i) {
            for (int a = 0; a < 3; ++a) {
                sum[a] += static_cast<std::uint64_t>(channel(colours[i].rgb, a)) * colours[i].count;
            }
        }
        std::uint8_t mean[3];
        for (int a = 0; a < 3; ++a) {
            mean[a] = static_cast<std::uint8_t>((sum[a] + box.pixels / 2) / box.pixels);
        }
        // The mean of colours outside the key's range can fall inside it.
        palette.push_back(keep_visible(pack(mean[0], mean[1], mean[2])));
    }
    return palette;
}

int nearest(const std::vector<std::uint32_t>& palette, std::uint32_t rgb) {
    int best = 0;
    int best_distance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        // Green counts most and blue least, roughly as the eye weighs them.
        const int dr = channel(rgb, 0) - channel(palette[i], 0);
        const int dg = channel(rgb, 1) - channel(palette[i], 1);
        const int db = channel(rgb, 2) - channel(palette[i], 2);
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (best_distance < 0 || d < best_distance) {
            best = static_cast<int>(i);
            best_distance = d;
        }
    }
    return best;
}

// --- WAV --------------------------------------------------------------------

constexpr std::uint16_t kWavePcm = 1;
constexpr std::uint16_t kWaveFloat = 3;
constexpr std::uint16_t kWaveExtensible = 0xFFFE;
constexpr std::uint32_t kMinRate = 1000;
constexpr std::uint32_t kMaxRate = 192000;
constexpr std::uint32_t kResampleRate = 44100;
// An archive stays below 2 GiB; the game itself plays far shorter sounds.
constexpr double kMaxSoundBytes = 1 << 30;

// Where each speaker of the extensible format's channel mask goes in a
// stereo mix (left and right weight), in the mask's bit order: front left,
// front right, front centre, low frequency, back left, back right, front
// left and right of centre, back centre, side left and right, top centre,
// top front left, centre and right, top back left, centre and right. The
// low-frequency channel is left out, as in the usual downmix.
constexpr float kSpeakerWeights[18][2] = {
    {1.0f, 0.0f},   {0.0f, 1.0f},   {0.707f, 0.707f}, {0.0f, 0.0f}, {0.707f, 0.0f},
    {0.0f, 0.707f}, {0.707f, 0.0f}, {0.0f, 0.707f},   {0.5f, 0.5f}, {0.707f, 0.0f},
    {0.0f, 0.707f}, {0.5f, 0.5f},   {0.707f, 0.0f},   {0.5f, 0.5f}, {0.0f, 0.707f},
    {0.707f, 0.0f}, {0.5f, 0.5f},   {0.0f, 0.707f}};

std::int16_t to_16(double v) {
    const double scaled = std::nearbyint(v * 32768.0);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0, 32767.0));
}

}  // namespace

bool is_png(const std::uint8_t* b, std::size_t n) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return n >= 8 && std::memcmp(b, kSignature, 8) == 0;
}

bool looks_like_key_at_16_bits(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return r < 8 && g >= 248 && b < 8;
}

bool decode_bmp(const std::uint8_t* b, std::size_t n, Image& image, std::string& error) {
    image = Image{};
    if (n < 18 || b[0] != 'B' || b[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    const std::uint32_t data_offset = le::u32(b + 10);
    const std::uint32_t header = le::u32(b + 14);
    const bool core = header == 12;
    if (!core && header != 40 && header != 52 && header != 56 && header != 108 && header != 124) {
        error = "info header of " + std::to_string(header) +
                " bytes; BMP headers of 12, 40, 52, 56, 108 or 124 bytes are converted";
        return false;
    }
    if (14 + static_cast<std::uint64_t>(header) > n) {
        error = "shorter than its headers (" + std::to_string(n) + " bytes)";
        return false;
    }
    std::int64_t w, h;
    int bits;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colours = 0;
    if (core) {
        w = le::u16(b + 18);
        h = le::i16(b + 20);
        bits = le::u16(b + 24);
    } else {
        w = le::i32(b + 18);
        h = le::i32(b + 22);
        bits = le::u16(b + 28);
        compression = le::u32(b + 30);
        colours = le::u32(b + 46);
    }
    const bool top_down = h < 0;
    h = std::abs(h);
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide ||
        static_cast<std::uint64_t>(w * h) > kMaxPixels) {
        error = "picture of " + size_text(w, top_down ? -h : h) + " pixels; at most " +
                size_text(kMaxSide, kMaxSide) + " and " + std::to_string(kMaxPixels) +
                " pixels are converted";
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        error = std::to_string(bits) + " bits per pixel; 1, 4, 8, 16, 24 or 32 are converted";
        return false;
    }
    std::size_t after_header = 14 + header;
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    const bool rle = compression == kBiRle8 || compression == kBiRle4;
    if (compression == kBiBitfields || compression == kBiAlphaBitfields) {
        if (bits != 16 && bits != 32) {
            error = "bit fields with " + std::to_string(bits) + " bits per pixel";
            return false;
        }
        // Headers of 52 bytes and more hold the masks; after the 40-byte
        // header they follow it.
        const int count = compression == kBiAlphaBitfields || header >= 56 ? 4 : 3;
        const std::size_t at = header >= 52 ? 54 : after_header;
        if (at + 4 * static_cast<std::size_t>(count) > n) {
            error = "shorter than its colour masks";
            return false;
        }
        for (int i = 0; i < count; ++i) {
            masks[i] = le::u32(b + at + 4 * i);
        }
        if (header < 52) {
            after_header += 4 * static_cast<std::size_t>(count);
        }
    } else if (compression == kBiRgb) {
        if (bits == 16) {
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        } else if (bits >= 24) {
            masks[0] = 0xFF0000;
            masks[1] = 0x00FF00;
            masks[2] = 0x0000FF;
            // A 32-bit picture whose header names the top byte as alpha.
            if (bits == 32 && header >= 56 && le::u32(b + 66) == 0xFF000000u) {
                masks[3] = 0xFF000000u;
            }
        }
    } else if (!rle) {
        error = "compressed with method " + std::to_string(compression) +
                (compression == 4   ? " (JPEG)"
                 : compression == 5 ? " (PNG)"
                                    : "") +
                "; uncompressed, RLE8, RLE4 and bit-field BMP files are converted";
        return false;
    }
    if ((compression == kBiRle8 && bits != 8) || (compression == kBiRle4 && bits != 4)) {
        error = "RLE compression with " + std::to_string(bits) + " bits per pixel";
        return false;
    }
    if (rle && top_down) {
        error = "RLE compression with rows stored top-down";
        return false;
    }
    std::vector<Rgba> palette;
    if (bits <= 8) {
        const std::size_t entry = core ? 3 : 4;
        std::size_t count = std::size_t{1} << bits;
        if (colours > 0 && colours < count) {
            count = colours;
        }
        // The palette ends where the pixels begin.
        const std::size_t end =
            data_offset >= after_header ? std::min<std::size_t>(data_offset, n) : n;
        count = std::min(count, end > after_header ? (end - after_header) / entry : 0);
        if (count == 0) {
            error = "no colour palette";
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* p = b + after_header + entry * i;
            palette.push_back(Rgba{p[2], p[1], p[0], 255});
        }
    }
    if (data_offset >= n) {
        error = "pixel data at byte " + std::to_string(data_offset) + ", past the file's end";
        return false;
    }
    const std::uint8_t* data = b + data_offset;
    const std::size_t available = n - data_offset;
    image.width = static_cast<int>(w);
    image.height = static_cast<int>(h);
    image.pixels.assign(static_cast<std::size_t>(w * h), Rgba{});
    if (rle) {
        std::vector<std::int16_t> index(static_cast<std::size_t>(w * h), -1);
        decode_rle(data, available, compression == kBiRle4, image.width, image.height, index);
        for (std::size_t i = 0; i < index.size(); ++i) {
            if (index[i] < 0) {
                image.pixels[i] = Rgba{0, 0, 0, 0};
            } else if (static_cast<std::size_t>(index[i]) < palette.size()) {
                image.pixels[i] = palette[static_cast<std::size_t>(index[i])];
            }
        }
    } else {
        const std::uint64_t stride = ((static_cast<std::uint64_t>(w) * bits + 31) / 32) * 4;
        const std::uint64_t needed = stride * static_cast<std::uint64_t>(h - 1) +
                                     (static_cast<std::uint64_t>(w) * bits + 7) / 8;
        if (needed > available) {
            error = "pixel data incomplete: " + size_text(w, h) + " at " + std::to_string(bits) +
                    " bits needs " + std::to_string(data_offset + needed) + " bytes, " +
                    std::to_string(n) + " present";
            return false;
        }
        const Field fields[4] = {field_of(masks[0]), field_of(masks[1]), field_of(masks[2]),
                                 field_of(masks[3])};
        for (std::int64_t row = 0; row < h; ++row) {
            const std::uint8_t* src = data + static_cast<std::size_t>(row) * stride;
            Rgba* dst =
                image.pixels.data() + static_cast<std::size_t>(top_down ? row : h - 1 - row) *
                                          static_cast<std::size_t>(w);
            for (std::int64_t x = 0; x < w; ++x) {
                if (bits <= 8) {
                    const std::size_t bit = static_cast<std::size_t>(x) * bits;
                    const int shift = 8 - bits - static_cast<int>(bit % 8);
                    const std::size_t i = (src[bit / 8] >> shift) & ((1u << bits) - 1);
                    dst[x] = i < palette.size() ? palette[i] : Rgba{};
                } else if (bits == 24) {
                    const std::uint8_t* p = src + 3 * x;
                    dst[x] = Rgba{p[2], p[1], p[0], 255};
                } else {
                    const std::uint32_t v =
                        bits == 16 ? le::u16(src + 2 * x) : le::u32(src + 4 * x);
                    dst[x] =
                        Rgba{extract(v, fields[0]), extract(v, fields[1]), extract(v, fields[2]),
                             masks[3] != 0 ? extract(v, fields[3]) : std::uint8_t{255}};
                }
            }
        }
        // Some programs write an alpha mask and leave every alpha byte zero:
        // such a picture is meant opaque.
        if (masks[3] != 0 && std::all_of(image.pixels.begin(), image.pixels.end(),
                                         [](const Rgba& p) { return p.a == 0; })) {
            for (Rgba& p : image.pixels) {
                p.a = 255;
            }
            masks[3] = 0;
        }
    }
    image.source = "BMP (" + std::to_string(header) + "-byte header, " + std::to_string(bits) +
                   "-bit" + compression_name(compression) + (masks[3] != 0 ? ", alpha" : "") +
                   (top_down ? ", top-down" : "") + ")";
    return true;
}

bool decode_png(const std::uint8_t* b, std::size_t n, Image& image, std::string& error) {
    image = Image{};
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, b, n)) {
        error = std::string("PNG: ") + png.message;
        png_image_free(&png);
        return false;
    }
    if (png.width == 0 || png.height == 0 || png.width > kMaxSide || png.height > kMaxSide ||
        static_cast<std::uint64_t>(png.width) * png.height > kMaxPixels) {
        error = "picture of " + size_text(png.width, png.height) + " pixels; at most " +
                size_text(kMaxSide, kMaxSide) + " and " + std::to_string(kMaxPixels) +
                " pixels are converted";
        png_image_free(&png);
        return false;
    }
    const png_uint_32 format = png.format;
    image.source = std::string("PNG (") +
                   ((format & PNG_FORMAT_FLAG_COLORMAP) != 0 ? "palette"
                    : (format & PNG_FORMAT_FLAG_COLOR) != 0  ? "RGB"
                                                             : "grey") +
                   ((format & PNG_FORMAT_FLAG_LINEAR) != 0 ? ", 16-bit" : "") +
                   ((format & PNG_FORMAT_FLAG_ALPHA) != 0 ? ", alpha" : "") + ")";
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr)) {
        error = std::string("PNG: ") + png.message;
        png_image_free(&png);
        return false;
    }
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = Rgba{rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], rgba[4 * i + 3]};
    }
    png_image_free(&png);
    return true;
}

Conversion encode_picture(const Image& image) {
    const int w = image.width;
    const int h = image.height;
    const int stored_w = (w + 3) & ~3;
    // Palette entry 0 is the key; the picture's colours follow it.
    std::vector<std::uint32_t> colours_of_pixels(image.pixels.size());
    std::vector<Colour> colours;
    std::size_t transparent = 0, moved = 0;
    {
        std::vector<std::uint32_t> opaque;
        opaque.reserve(image.pixels.size());
        for (std::size_t i = 0; i < image.pixels.size(); ++i) {
            const Rgba& p = image.pixels[i];
            const std::uint32_t rgb = pack(p.r, p.g, p.b);
            if (p.a < 128 || rgb == kKeyColour) {
                colours_of_pixels[i] = kKeyColour;
                ++transparent;
                continue;
            }
            const std::uint32_t visible = keep_visible(rgb);
            moved += visible != rgb ? 1 : 0;
            colours_of_pixels[i] = visible;
            opaque.push_back(visible);
        }
        std::sort(opaque.begin(), opaque.end());
        for (std::uint32_t rgb : opaque) {
            if (colours.empty() || colours.back().rgb != rgb) {
                colours.push_back(Colour{rgb, 0});
            }
            ++colours.back().count;
        }
    }
    const std::size_t kRoom = 255;
    const bool exact = colours.size() <= kRoom;
    std::vector<std::uint32_t> palette;
    std::vector<std::uint8_t> index_of(colours.size());  // by colours' (sorted) order
    if (exact) {
        for (std::size_t i = 0; i < colours.size(); ++i) {
            palette.push_back(colours[i].rgb);
            index_of[i] = static_cast<std::uint8_t>(i + 1);
        }
    } else {
        palette = median_cut(colours, kRoom);
        for (std::size_t i = 0; i < colours.size(); ++i) {
            index_of[i] = static_cast<std::uint8_t>(nearest(palette, colours[i].rgb) + 1);
        }
    }
    const auto index = [&](std::uint32_t rgb) -> std::uint8_t {
        if (rgb == kKeyColour) {
            return 0;
        }
        const auto it =
            std::lower_bound(colours.begin(), colours.end(), rgb,
                             [](const Colour& c, std::uint32_t v) { return c.rgb < v; });
        return index_of[static_cast<std::size_t>(it - colours.begin())];
    };

    Conversion out;
    std::vector<std::uint8_t>& f = out.bytes;
    const std::uint32_t pixel_bytes = static_cast<std::uint32_t>(stored_w) * h;
    f.reserve(kBmpPixelOffset + pixel_bytes);
    f.push_back('B');
    f.push_back('M');
    le::append_u32(f, static_cast<std::uint32_t>(kBmpPixelOffset) + pixel_bytes);
    le::append_u32(f, 0);
    le::append_u32(f, static_cast<std::uint32_t>(kBmpPixelOffset));
    le::append_u32(f, 40);
    le::append_i32(f, stored_w);
    le::append_i32(f, h);
    le::append_u16(f, 1);
    le::append_u16(f, 8);
    le::append_u32(f, 0);
    le::append_u32(f, pixel_bytes);
    le::append_i32(f, 2835);  // 72 dots per inch
    le::append_i32(f, 2835);
    le::append_u32(f, 256);
    le::append_u32(f, 0);
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t rgb = i == 0 ? kKeyColour
                                  : static_cast<std::size_t>(i) <= palette.size()
                                      ? palette[static_cast<std::size_t>(i) - 1]
                                      : 0;
        f.push_back(static_cast<std::uint8_t>(channel(rgb, 2)));
        f.push_back(static_cast<std::uint8_t>(channel(rgb, 1)));
        f.push_back(static_cast<std::uint8_t>(channel(rgb, 0)));
        f.push_back(0);
    }
    for (int row = h - 1; row >= 0; --row) {
        for (int x = 0; x < stored_w; ++x) {
            f.push_back(x < w ? index(colours_of_pixels[static_cast<std::size_t>(row) * w + x])
                              : 0);
        }
    }

    std::string& s = out.summary;
    s = "converted " + image.source + " " + size_text(w, h) + " to 8-bit, " +
        std::to_string(palette.size()) + " colour" + (palette.size() == 1 ? "" : "s");
    if (!exact) {
        s += " (median cut of " + std::to_string(colours.size()) + ")";
    }
    s += " and the key";
    if (transparent > 0) {
        s += ", " + std::to_string(transparent) + " transparent pixel" +
             (transparent == 1 ? "" : "s") + " as the key";
    }
    if (moved > 0) {
        s += ", " + std::to_string(moved) + " near-green pixel" + (moved == 1 ? "" : "s") +
             " kept visible";
    }
    if (stored_w != w) {
        s += ", padded to " + size_text(stored_w, h) + " with the key";
    }
    return out;
}

bool convert_picture(const std::uint8_t* bytes, std::size_t size, Conversion& out,
                     std::string& error) {
    Image image;
    if (is_png(bytes, size)) {
        if (!decode_png(bytes, size, image, error)) {
            return false;
        }
    } else if (!decode_bmp(bytes, size, image, error)) {
        return false;
    }
    out = encode_picture(image);
    return true;
}

bool convert_sound(const std::uint8_t* b, std::size_t n, Conversion& out, std::string& error) {
    if (n < 12 || std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    // The form's declared end, unless it claims more than the file has (a
    // file written to a pipe declares no real size).
    const std::uint64_t declared = 8 + static_cast<std::uint64_t>(le::u32(b + 4));
    const std::uint64_t end = declared >= 12 && declared <= n ? declared : n;
    std::uint64_t fmt = 0, fmt_size = 0, data = 0, data_size = 0;
    for (std::uint64_t pos = 12; pos + 8 <= end && (fmt == 0 || data == 0);) {
        const std::uint64_t size = le::u32(b + pos + 4);
        if (std::memcmp(b + pos, "fmt ", 4) == 0 && fmt == 0) {
            fmt = pos + 8;
            fmt_size = std::min(size, end - fmt);
        } else if (std::memcmp(b + pos, "data", 4) == 0 && data == 0) {
            data = pos + 8;
            data_size = std::min(size, end - data);
        }
        pos += 8 + size + (size & 1);
    }
    if (fmt == 0 || fmt_size < 16) {
        error = fmt == 0 ? "no 'fmt ' chunk" : "'fmt ' chunk of fewer than 16 bytes";
        return false;
    }
    if (data == 0) {
        error = "no 'data' chunk";
        return false;
    }
    const std::uint8_t* f = b + fmt;
    std::uint16_t tag = le::u16(f);
    const std::uint16_t channels = le::u16(f + 2);
    const std::uint32_t rate = le::u32(f + 4);
    const std::uint16_t align = le::u16(f + 12);
    const std::uint16_t bits = le::u16(f + 14);
    std::uint32_t mask = 0;
    const bool extensible = tag == kWaveExtensible;
    if (extensible) {
        if (fmt_size < 40) {
            error = "extensible format with a 'fmt ' chunk of " + std::to_string(fmt_size) +
                    " bytes; 40 needed";
            return false;
        }
        mask = le::u32(f + 20);
        tag = le::u16(f + 24);  // the sub-format's first two bytes are its format tag
    }
    const bool is_float = tag == kWaveFloat;
    if ((tag != kWavePcm && !is_float) || (tag == kWavePcm && (bits < 8 || bits > 32)) ||
        (is_float && bits != 32 && bits != 64)) {
        error = "format tag " + std::to_string(tag) + " with " + std::to_string(bits) +
                " bits; PCM of 8 to 32 bits or float of 32 or 64 bits is converted";
        return false;
    }
    if (channels == 0 || channels > 64) {
        error = std::to_string(channels) + " channels; 1 to 64 are converted";
        return false;
    }
    if (rate == 0 || rate > 10000000) {
        error = "sample rate " + std::to_string(rate) + " Hz";
        return false;
    }
    const std::size_t sample_bytes = (bits + 7u) / 8u;
    if (align < channels * sample_bytes) {
        error = "block alignment " + std::to_string(align) + " too small for " +
                std::to_string(channels) + " channels of " + std::to_string(bits) + " bits";
        return false;
    }
    const std::uint64_t frames = data_size / align;
    if (frames == 0) {
        error = "no samples";
        return false;
    }

    // Each input channel's share of the output's left and right.
    const int out_channels = channels == 1 ? 1 : 2;
    std::vector<float> left(channels, 0.0f), right(channels, 0.0f);
    if (channels == 2) {
        left = {1.0f, 0.0f};
        right = {0.0f, 1.0f};
    } else if (channels > 2) {
        // Without a mask the channels stand in the mask's order.
        const std::uint32_t speakers =
            mask != 0 ? mask : (channels >= 32 ? ~0u : (1u << channels) - 1);
        int bit = -1;
        for (int c = 0; c < channels; ++c) {
            do {
                ++bit;
            } while (bit < 32 && (speakers & (1u << bit)) == 0);
            const bool known = bit < 18;
            left[c] = known ? kSpeakerWeights[bit][0] : 0.5f;
            right[c] = known ? kSpeakerWeights[bit][1] : 0.5f;
        }
        // Scaled so that full scale on every channel stays full scale.
        for (std::vector<float>* side : {&left, &right}) {
            float total = 0.0f;
            for (float v : *side) {
                total += v;
            }
            for (float& v : *side) {
                v = total > 0.0f ? v / total : 1.0f / static_cast<float>(channels);
            }
        }
    }
    const auto sample = [&](std::uint64_t frame, int c) -> double {
        const std::uint8_t* p = b + data + frame * align + c * sample_bytes;
        if (is_float) {
            double v;
            if (bits == 32) {
                float x;
                const std::uint32_t u = le::u32(p);
                std::memcpy(&x, &u, 4);
                v = x;
            } else {
                const std::uint64_t u =
                    le::u32(p) | (static_cast<std::uint64_t>(le::u32(p + 4)) << 32);
                std::memcpy(&v, &u, 8);
            }
            return std::isfinite(v) ? v : 0.0;
        }
        if (sample_bytes == 1) {
            return (static_cast<int>(p[0]) - 128) / 128.0;
        }
        // Signed, left-justified in its bytes: read as the top of a 32-bit value.
        std::uint32_t u = 0;
        for (std::size_t i = 0; i < sample_bytes; ++i) {
            u |= static_cast<std::uint32_t>(p[i]) << (8 * (4 - sample_bytes + i));
        }
        return static_cast<std::int32_t>(u) / 2147483648.0;
    };
    const auto mixed = [&](std::uint64_t frame, int side) -> double {
        if (out_channels == 1) {
            return sample(frame, 0);
        }
        const std::vector<float>& weights = side == 0 ? left : right;
        double v = 0.0;
        for (int c = 0; c < channels; ++c) {
            if (weights[c] != 0.0f) {
                v += weights[c] * sample(frame, c);
            }
        }
        return v;
    };

    const std::uint32_t out_rate = rate >= kMinRate && rate <= kMaxRate ? rate : kResampleRate;
    const double out_bytes = static_cast<double>(frames) * out_rate / rate * 2 * out_channels;
    if (out_bytes > kMaxSoundBytes) {
        error = "too long: " + std::to_string(frames) + " frames at " + std::to_string(rate) +
                " Hz would make more than 1 GiB of 16-bit samples";
        return false;
    }
    std::vector<std::int16_t> samples;
    if (out_rate == rate) {
        samples.reserve(static_cast<std::size_t>(frames) * out_channels);
        for (std::uint64_t i = 0; i < frames; ++i) {
            for (int side = 0; side < out_channels; ++side) {
                samples.push_back(to_16(mixed(i, side)));
            }
        }
    } else {
        // Up: straight lines between neighbouring frames; down: the mean of
        // the frames each output frame covers, which keeps most of the
        // aliasing out.
        const double step = static_cast<double>(rate) / out_rate;
        const std::uint64_t out_frames = std::max<std::uint64_t>(
            1, static_cast<std::uint64_t>(std::llround(static_cast<double>(frames) / step)));
        samples.reserve(static_cast<std::size_t>(out_frames) * out_channels);
        for (std::uint64_t i = 0; i < out_frames; ++i) {
            const double at = static_cast<double>(i) * step;
            const std::uint64_t first =
                std::min<std::uint64_t>(static_cast<std::uint64_t>(at), frames - 1);
            for (int side = 0; side < out_channels; ++side) {
                double v;
                if (step <= 1.0) {
                    const std::uint64_t next = std::min(first + 1, frames - 1);
                    const double t = at - static_cast<double>(first);
                    v = mixed(first, side) * (1.0 - t) + mixed(next, side) * t;
                } else {
                    const std::uint64_t last = std::clamp<std::uint64_t>(
                        static_cast<std::uint64_t>(static_cast<double>(i + 1) * step), first + 1,
                        frames);
                    v = 0.0;
                    for (std::uint64_t k = first; k < last; ++k) {
                        v += mixed(k, side);
                    }
                    v /= static_cast<double>(last - first);
                }
                samples.push_back(to_16(v));
            }
        }
    }

    const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t>& o = out.bytes;
    o.clear();
    o.reserve(44 + data_bytes);
    o.insert(o.end(), {'R', 'I', 'F', 'F'});
    le::append_u32(o, 36 + data_bytes);
    o.insert(o.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    le::append_u32(o, 16);
    le::append_u16(o, kWavePcm);
    le::append_u16(o, static_cast<std::uint16_t>(out_channels));
    le::append_u32(o, out_rate);
    le::append_u32(o, out_rate * 2 * out_channels);
    le::append_u16(o, static_cast<std::uint16_t>(2 * out_channels));
    le::append_u16(o, 16);
    o.insert(o.end(), {'d', 'a', 't', 'a'});
    le::append_u32(o, data_bytes);
    for (std::int16_t v : samples) {
        le::append_u16(o, static_cast<std::uint16_t>(v));
    }

    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f s",
                  static_cast<double>(samples.size() / out_channels) / out_rate);
    out.summary = "converted WAV (" + std::to_string(bits) + "-bit " +
                  (is_float ? "float" : "PCM") + (extensible ? ", extensible" : "") + ", " +
                  std::to_string(channels) + " ch, " + std::to_string(rate) +
                  " Hz) to 16-bit PCM, " + (out_channels == 1 ? "mono" : "stereo") + ", " +
                  std::to_string(out_rate) + " Hz, " + seconds;
    if (channels > 2) {
        out.summary += ", " + std::to_string(channels) + " channels mixed down";
    }
    return true;
}

}  // namespace packfile
