#include "support/game_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

namespace bramble_test {

namespace {

void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

void append(Bytes& b, const char* text) {
    b.insert(b.end(), text, text + std::strlen(text));
}

void append32(Bytes& b, std::uint32_t v) {
    b.resize(b.size() + 4);
    put32(b, b.size() - 4, v);
}

// Palette indices used by the pictures.
constexpr std::uint8_t kTransparent = 0;  // pure green
constexpr std::uint8_t kSeparator = 1;    // 0xC9C9C9, the font's separator
constexpr std::uint8_t kGlyph = 2;        // 0x282828, the font's letters

// A picture held top row first while it is drawn.
struct Picture {
    int w, h;
    std::vector<std::uint8_t> px;
    Picture(int width, int height, std::uint8_t fill)
        : w(width), h(height), px(static_cast<std::size_t>(width * height), fill) {}
    void rect(int x0, int y0, int x1, int y1, std::uint8_t c) {
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                px[static_cast<std::size_t>(y * w + x)] = c;
            }
        }
    }
};

Bytes bmp(const Picture& p) {
    const std::size_t pixels = static_cast<std::size_t>(p.w * p.h);
    Bytes b(14 + 40 + 1024 + pixels, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, 1078);
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(p.w));
    put32(b, 22, static_cast<std::uint32_t>(p.h));
    put16(b, 26, 1);
    put16(b, 28, 8);
    put32(b, 34, static_cast<std::uint32_t>(pixels));
    put32(b, 38, 2835);
    put32(b, 42, 2835);
    put32(b, 46, 256);
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t c = palette_colour(i);
        const std::size_t at = 54 + 4 * static_cast<std::size_t>(i);
        b[at] = static_cast<std::uint8_t>(c);
        b[at + 1] = static_cast<std::uint8_t>(c >> 8);
        b[at + 2] = static_cast<std::uint8_t>(c >> 16);
    }
    for (int y = 0; y < p.h; ++y) {
        std::memcpy(&b[1078 + static_cast<std::size_t>((p.h - 1 - y) * p.w)],
                    &p.px[static_cast<std::size_t>(y * p.w)], static_cast<std::size_t>(p.w));
    }
    return b;
}

// Five bands of 28-pixel glyphs, 17 per band, each 48 pixels wide: a dark
// block with a transparent inner square, so text shows as a row of boxes.
Picture font_picture() {
    Picture p(920, 152, kTransparent);
    for (int band = 0; band <= 5; ++band) {
        p.rect(0, band * 30, 920, band * 30 + 1, kSeparator);
    }
    for (int band = 0; band < 5; ++band) {
        const int top = band * 30 + 1;
        for (int k = 0; k < 17; ++k) {
            const int left = 10 + 50 * k + 1;
            p.rect(left, top, left + 48, top + 28, kGlyph);
            p.rect(left + 14, top + 8, left + 34, top + 20, kTransparent);
        }
        for (int k = 0; k <= 17; ++k) {
            p.rect(10 + 50 * k, top, 10 + 50 * k + 1, top + 1, kSeparator);
        }
    }
    return p;
}

}  // namespace

std::uint32_t palette_colour(int i) {
    if (i == kTransparent) {
        return 0x00FF00;
    }
    if (i == kSeparator) {
        return 0xC9C9C9;
    }
    if (i == kGlyph) {
        return 0x282828;
    }
    // A spread of colours that never comes near pure green.
    const std::uint32_t r = static_cast<std::uint32_t>(i * 97) & 0xFF;
    const std::uint32_t g = static_cast<std::uint32_t>(i * 57 + 40) & 0xBF;
    const std::uint32_t b = static_cast<std::uint32_t>(i * 31 + 90) & 0xFF;
    return (r << 16) | (g << 8) | b;
}

int picture_colour_index(int entry) {
    return 3 + entry * 5;
}

Bytes plain_picture(int width, int height, std::uint8_t colour) {
    return bmp(Picture(width, height, colour));
}

std::pair<int, int> picture_size(int entry) {
    switch (entry) {
        case 0:
        case 34:
        case 35:
        case 36:
        case 37:
            return {152, 88};
        case 1:
            return {2048, 448};
        case 2:
            return {96, 96};
        case 3:
        case 23:
        case 24:
        case 32:
        case 33:
            return {1024, 768};
        case 19:
        case 20:
        case 21:
        case 22:
        case 38:
            return {312, 352};
        case 25:
        case 26:
        case 27:
        case 28:
        case 29:
            return {160, 192};
        case 30:
            return {32, 128};
        case 31:
            return {920, 152};
        default:
            break;
    }
    // 4 to 18: large, small and medium flyer frames in turn.
    switch ((entry - 4) % 3) {
        case 0:
            return {200, 112};
        case 1:
            return {48, 32};
        default:
            return {96, 64};
    }
}

Bytes placeholder_picture(int entry) {
    if (entry == 31) {
        return bmp(font_picture());
    }
    const auto [w, h] = picture_size(entry);
    const auto colour = static_cast<std::uint8_t>(picture_colour_index(entry));
    if (w == 1024 || entry == 1 || (entry >= 19 && entry <= 22) || entry == 38) {
        // Backgrounds, the landscape and the big pictures: a framed colour
        // field; the landscape's sky is transparent.
        Picture p(w, h, colour);
        p.rect(0, 0, w, 8, static_cast<std::uint8_t>(colour + 1));
        p.rect(0, h - 8, w, h, static_cast<std::uint8_t>(colour + 1));
        if (entry == 1) {
            p.rect(0, 0, w, 120, kTransparent);
        }
        return bmp(p);
    }
    // Sprite frames, shell and impact: a block on a transparent ground.
    Picture p(w, h, kTransparent);
    p.rect(w / 6, h / 6, w - w / 6, h - h / 6, colour);
    return bmp(p);
}

Bytes tone_wav(int milliseconds, int frequency) {
    constexpr int kRate = 22050;
    const int samples = kRate * milliseconds / 1000;
    Bytes b;
    append(b, "RIFF");
    append32(b, static_cast<std::uint32_t>(36 + 2 * samples));
    append(b, "WAVEfmt ");
    append32(b, 16);
    const Bytes fmt = {1, 0, 1, 0};  // PCM, mono
    b.insert(b.end(), fmt.begin(), fmt.end());
    append32(b, kRate);
    append32(b, kRate * 2);
    b.push_back(2);  // block align
    b.push_back(0);
    b.push_back(16);  // bits per sample
    b.push_back(0);
    append(b, "data");
    append32(b, static_cast<std::uint32_t>(2 * samples));
    for (int i = 0; i < samples; ++i) {
        const double s = std::sin(2.0 * 3.14159265358979 * frequency * i / kRate);
        const auto v = static_cast<std::int16_t>(s * 6000.0);
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
        b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    return b;
}

Bytes archive(const std::vector<std::pair<std::int32_t, Bytes>>& entries, const std::string& key) {
    Bytes out;
    Bytes trailer(564, 0);
    for (std::size_t i = 0; i < entries.size() && i < 50; ++i) {
        put32(trailer, 4 * i, static_cast<std::uint32_t>(entries[i].first));
        put32(trailer, 204 + 4 * i, static_cast<std::uint32_t>(out.size()));
        out.insert(out.end(), entries[i].second.begin(), entries[i].second.end());
    }
    std::memcpy(&trailer[404], "PackFile-1.2", 12);
    std::memcpy(&trailer[544], key.data(), std::min<std::size_t>(key.size(), 16));
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

bool write_game_data(const std::string& dir, const GameDataOptions& options) {
    const auto write = [&dir](const std::string& name, const Bytes& bytes) {
        std::ofstream f(dir + "/" + name, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(f);
    };
    std::vector<std::pair<std::int32_t, Bytes>> pictures;
    for (int i = 0; i < 39; ++i) {
        const auto anders = options.pictures.find(i);
        pictures.emplace_back(
            2000, anders != options.pictures.end() ? anders->second : placeholder_picture(i));
    }
    std::vector<std::pair<std::int32_t, Bytes>> sounds;
    for (int i = 0; i < 22; ++i) {
        // The shot (16) and the reload (15) set the rate of fire.
        const int ms = i == 16 ? 150 : i == 15 ? 300 : 60;
        sounds.emplace_back(1000, tone_wav(ms, 300 + 40 * i));
    }
    bool ok = write("Grafik.dat", archive(pictures, options.grafik_key)) &&
              write("Sound.dat", archive(sounds, options.sound_key));
    const char* tunes[] = {"start.wav", "main.wav", "win.wav", "lose.wav", "credits.wav"};
    int note = 0;
    for (const char* tune : tunes) {
        ok = ok && write(tune, tone_wav(1000, 220 + 55 * note++));
    }
    return ok;
}

}  // namespace bramble_test
