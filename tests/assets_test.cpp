// The generated default data (build/data): pictures loaded with the game's
// own loader and font reader, the landscape against the horizon line, the
// peeker's hiding places, the sounds and tunes, and a repeatable build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/spiel.h"
#include "gfx/ddraw.h"
#include "pack/packfile.h"
#include "platform/png.h"
#include "support/fixture.h"
#include "text/bitmaptext.h"

using bramble_test::HeadlessTest;

namespace {

const char* const kPictureKey = "QK7RM2D9TXB4HP1Z";
const char* const kSoundKey = "N2HV8C6WLA9E5JR3";

struct Size {
    int w;
    int h;
};
const Size kSizes[39] = {
    {152, 88},  {2048, 448}, {96, 96},    {1024, 768}, {200, 112},  {48, 32},    {96, 64},
    {200, 112}, {48, 32},    {96, 64},    {200, 112},  {48, 32},    {96, 64},    {200, 112},
    {48, 32},   {96, 64},    {200, 112},  {48, 32},    {96, 64},    {312, 352},  {312, 352},
    {312, 352}, {312, 352},  {1024, 768}, {1024, 768}, {160, 192},  {160, 192},  {160, 192},
    {160, 192}, {160, 192},  {32, 128},   {920, 152},  {1024, 768}, {1024, 768}, {152, 88},
    {152, 88},  {152, 88},   {152, 88},   {312, 352},
};

// The horizon line of the game's hit test: (x, screen y).
const int kLine[83][2] = {
    {0, 475},    {64, 455},   {255, 465},  {432, 473},  {446, 467},  {464, 454},  {511, 456},
    {539, 446},  {558, 442},  {586, 436},  {607, 442},  {615, 462},  {631, 471},  {669, 484},
    {675, 493},  {687, 515},  {718, 535},  {720, 539},  {784, 540},  {802, 529},  {810, 521},
    {820, 511},  {825, 497},  {830, 484},  {844, 455},  {858, 438},  {878, 434},  {891, 432},
    {905, 420},  {917, 408},  {923, 382},  {944, 370},  {977, 368},  {994, 377},  {1011, 387},
    {1034, 392}, {1058, 408}, {1072, 401}, {1100, 398}, {1127, 396}, {1142, 410}, {1157, 432},
    {1169, 449}, {1208, 449}, {1220, 462}, {1227, 492}, {1229, 550}, {1231, 550}, {1240, 550},
    {1256, 550}, {1279, 550}, {1301, 536}, {1310, 531}, {1319, 522}, {1336, 506}, {1341, 491},
    {1354, 469}, {1365, 459}, {1386, 449}, {1412, 448}, {1430, 439}, {1442, 432}, {1460, 398},
    {1487, 391}, {1520, 393}, {1543, 401}, {1567, 407}, {1588, 416}, {1609, 425}, {1630, 419},
    {1658, 419}, {1682, 416}, {1702, 425}, {1714, 436}, {1731, 452}, {1744, 461}, {1785, 461},
    {1801, 473}, {1810, 491}, {1859, 488}, {1906, 484}, {2047, 484}, {2050, 484},
};

// Peeker hiding places: picture's left edge, the screen y its top rises to.
const int kPlaces[8][2] = {{264, 329}, {519, 401},  {587, 453},  {669, 456},
                           {970, 321}, {1196, 464}, {1531, 342}, {1750, 404}};

// The haystack that hides the peeker at place 0 stands above the line there.
constexpr int kHaystackLeft = 296;
constexpr int kHaystackRight = 408;

double line_y(int x) {
    for (int i = 0; i + 1 < 83; ++i) {
        if (x <= kLine[i + 1][0]) {
            const double t = static_cast<double>(x - kLine[i][0]) / (kLine[i + 1][0] - kLine[i][0]);
            return kLine[i][1] + t * (kLine[i + 1][1] - kLine[i][1]);
        }
    }
    return kLine[82][1];
}

std::string data_file(const std::string& name) {
    return std::string(BRAMBLE_BUILD_DIR) + "/data/" + name;
}

std::vector<std::uint8_t> read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::int32_t i32(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | b.at(at + i);
    }
    return static_cast<std::int32_t>(v);
}

int u16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b.at(at) | (b.at(at + 1) << 8);
}

// Offsets of the entries of an archive, after checking tag, key and markers.
std::vector<std::size_t> entries(const std::vector<std::uint8_t>& file, int count, int marker,
                                 const char* key) {
    EXPECT_GT(file.size(), 564u);
    if (file.size() <= 564) {
        return {};
    }
    const std::size_t t = file.size() - 564;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[t + 404])), "PackFile-1.2");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[t + 544])), key);
    std::vector<std::size_t> out;
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(i32(file, t + 4 * i), marker) << "entry " << i;
        out.push_back(static_cast<std::size_t>(i32(file, t + 204 + 4 * i)));
    }
    return out;
}

// Straight-from-the-file view of a picture entry.
struct Bmp {
    int w = 0;
    int h = 0;
    const std::uint8_t* palette = nullptr;      // 256 x (b, g, r, 0)
    const std::uint8_t* rows = nullptr;         // bottom row first
    std::uint32_t colour(int x, int y) const {  // y from the top
        const std::uint8_t* p = palette + 4 * rows[static_cast<std::size_t>(h - 1 - y) * w + x];
        return (p[2] << 16) | (p[1] << 8) | p[0];
    }
};

Bmp bmp_at(const std::vector<std::uint8_t>& file, std::size_t at) {
    Bmp b;
    b.w = i32(file, at + 18);
    b.h = i32(file, at + 22);
    b.palette = &file[at + 54];
    b.rows = &file[at + 1078];
    return b;
}

bool keys_at_16(std::uint32_t rgb) {
    return Farbe_16Bit(rgb) == Farbe_16Bit(0x00FF00);
}

struct Wav {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<double> samples;  // interleaved, -1..1
    double seconds() const { return static_cast<double>(samples.size()) / channels / rate; }
};

// A RIFF WAVE file with its "fmt " and "data" chunks, in either order.
Wav parse_wav(const std::vector<std::uint8_t>& b, std::size_t at) {
    Wav w;
    EXPECT_EQ(std::memcmp(&b[at], "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(&b[at + 8], "WAVE", 4), 0);
    const std::size_t end = at + 8 + static_cast<std::uint32_t>(i32(b, at + 4));
    std::size_t p = at + 12;
    while (p + 8 <= end) {
        const std::size_t size = static_cast<std::uint32_t>(i32(b, p + 4));
        if (std::memcmp(&b[p], "fmt ", 4) == 0) {
            EXPECT_EQ(u16(b, p + 8), 1) << "PCM";
            w.channels = u16(b, p + 10);
            w.rate = i32(b, p + 12);
            w.bits = u16(b, p + 22);
        } else if (std::memcmp(&b[p], "data", 4) == 0) {
            for (std::size_t i = 0; i < size;) {
                if (w.bits == 8) {
                    w.samples.push_back((b[p + 8 + i] - 128) / 128.0);
                    i += 1;
                } else {
                    w.samples.push_back(static_cast<std::int16_t>(u16(b, p + 8 + i)) / 32768.0);
                    i += 2;
                }
            }
        }
        p += 8 + size + (size & 1);
    }
    return w;
}

struct Level {
    double peak = 0;
    double mean = 0;
    double rms = 0;
};

Level level(const Wav& w) {
    Level l;
    for (double s : w.samples) {
        l.peak = std::max(l.peak, std::abs(s));
        l.mean += s;
        l.rms += s * s;
    }
    const double n = static_cast<double>(std::max<std::size_t>(1, w.samples.size()));
    l.mean /= n;
    l.rms = std::sqrt(l.rms / n);
    return l;
}

class AssetsTest : public HeadlessTest {
   protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        ASSERT_TRUE(std::filesystem::exists(data_file("Grafik.dat")))
            << "build the assets_data target first";
    }

    // Picture entry i in a new surface, loaded by the game at the display's depth.
    Surface* load(int i) {
        Surface* s = nullptr;
        EXPECT_EQ(DDraw_Offscreen_anlegen(&s, kSizes[i].w, kSizes[i].h, 0), 0);
        const std::string name = data_file("Grafik.dat");
        EXPECT_EQ(PackFile_Bild_laden(name.c_str(), &Grafik_Verzeichnis, i, s), 0) << "entry " << i;
        return s;
    }

    void open_pictures() {
        const std::string name = data_file("Grafik.dat");
        ASSERT_EQ(PackFile_oeffnen(name.c_str(), &Grafik_Verzeichnis, kPictureKey), 0);
    }

    static std::vector<bool> mask(const Surface* s) {
        std::vector<bool> m(static_cast<std::size_t>(s->width()) * s->height());
        for (int y = 0; y < s->height(); ++y) {
            for (int x = 0; x < s->width(); ++x) {
                m[static_cast<std::size_t>(y) * s->width() + x] = s->pixel(x, y) != s->color_key();
            }
        }
        return m;
    }
};

TEST_F(AssetsTest, PicturesAreUncompressed8BitBitmapsOfTheCatalogueSizes) {
    const auto file = read_all(data_file("Grafik.dat"));
    const auto at = entries(file, 39, 2000, kPictureKey);
    ASSERT_EQ(at.size(), 39u);
    for (int i = 0; i < 39; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const std::size_t p = at[i];
        ASSERT_LT(p + 1078, file.size());
        EXPECT_EQ(file[p], 'B');
        EXPECT_EQ(file[p + 1], 'M');
        EXPECT_EQ(i32(file, p + 10), 1078);  // pixels right behind the palette
        EXPECT_EQ(i32(file, p + 14), 40);
        EXPECT_EQ(i32(file, p + 18), kSizes[i].w);
        EXPECT_EQ(i32(file, p + 22), kSizes[i].h);  // positive: bottom-up rows
        EXPECT_EQ(u16(file, p + 28), 8);
        EXPECT_EQ(i32(file, p + 30), 0);  // uncompressed
        EXPECT_EQ(i32(file, p + 46), 256);
        const std::size_t end = p + 1078 + static_cast<std::size_t>(kSizes[i].w) * kSizes[i].h;
        EXPECT_EQ(static_cast<std::size_t>(i32(file, p + 2)), end - p);
        EXPECT_LE(end, i + 1 < 39 ? at[i + 1] : file.size() - 564);
        // Transparency is pure green only: no palette colour merely close to it.
        const Bmp b = bmp_at(file, p);
        for (int k = 0; k < 256; ++k) {
            const std::uint32_t c =
                (b.palette[4 * k + 2] << 16) | (b.palette[4 * k + 1] << 8) | b.palette[4 * k];
            if (keys_at_16(c)) {
                EXPECT_EQ(c, 0x00FF00u) << "palette entry " << k;
            }
        }
    }
}

TEST_F(AssetsTest, EveryPictureLoadsAndIsTransparentAlikeAt16And32Bits) {
    std::vector<std::vector<bool>> at16;
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        DDraw_beenden();
        start_display(depth);
        open_pictures();
        for (int i = 0; i < 39; ++i) {
            Surface* s = load(i);
            ASSERT_NE(s, nullptr);
            const auto m = mask(s);
            if (depth == 16) {
                at16.push_back(m);
            } else {
                EXPECT_EQ(m, at16[i]) << "entry " << i << " keys differently at 16 bits";
            }
            const auto opaque = std::count(m.begin(), m.end(), true);
            if (kSizes[i].w == 1024) {
                EXPECT_EQ(opaque, static_cast<long>(m.size()))
                    << "backgrounds are opaque, entry " << i;
            } else if (i != 31) {
                // Sprites stand on a transparent ground: the corners show the sky.
                EXPECT_FALSE(m.front()) << "entry " << i;
                EXPECT_GT(opaque, static_cast<long>(m.size() / 10)) << "entry " << i;
            }
        }
    }
    EXPECT_TRUE(box_texts().empty());
}

TEST_F(AssetsTest, FontReadsWithTheGamesReaderAndFitsTheScreens) {
    start_display(16);
    open_pictures();
    Surface* font = load(31);
    // Into the game's own table, which the text routines draw with.
    Zeichensatz = {};
    ASSERT_EQ(BitmapText_einlesen(font, &Zeichensatz, 0xC9C9C9), 0);
    const Glyphentabelle& table = Zeichensatz;
    int glyphs = 0;
    for (const Glyphe& g : table.zeichen) {
        glyphs += g.right > g.left ? 1 : 0;
    }
    // Exactly the 81 of the character map: any stray separator colour in a mark
    // row would make extra glyphs.
    EXPECT_EQ(glyphs, 81);
    EXPECT_GE(table.W, 18);
    EXPECT_LE(table.W, 24);
    EXPECT_GE(table.H, 26);
    EXPECT_LE(table.H, 36);
    auto width = [&](const std::string& s) {
        int w = 0;
        for (char c : s) {
            const int g = BitmapText_Zeichenindex(c);
            if (g < 81) {
                w += table.zeichen[g].right - table.zeichen[g].left;
            }
        }
        return w;
    };
    int widest_digit = 0;
    for (char d = '0'; d <= '9'; ++d) {
        widest_digit = std::max(widest_digit, width(std::string(1, d)));
    }
    EXPECT_LT(794 + width("Time:") + 3 * widest_digit, 1024);
    EXPECT_LE(170 + 10 * table.H, 530);  // the top-ten rows fit the table's room
    EXPECT_LT(width("Show Highscores"), 480);

    const std::uint32_t letter = static_cast<std::uint32_t>(Farbe_16Bit(0x282828));
    int letters = 0;
    for (int g = 0; g < 80; ++g) {
        const Glyphe& r = table.zeichen[g];
        EXPECT_EQ(r.bottom - r.top, table.H) << "glyph " << g << " lines up with the others";
        int body = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                body += font->pixel(x, y) == letter ? 1 : 0;
            }
        }
        EXPECT_GT(body, 0) << "glyph " << g << " has letter-coloured pixels";
        letters += body;
    }
    // The red font is the main font with exactly those pixels turned red.
    Surface* red = nullptr;
    ASSERT_EQ(DDraw_Offscreen_anlegen(&red, 920, 152, 0), 0);
    ASSERT_EQ(DDraw_Offscreen_klonen(font, red, 1, 0x282828, 0xCC0000), 0);
    int reds = 0;
    int left_dark = 0;
    for (int y = 0; y < 152; ++y) {
        for (int x = 0; x < 920; ++x) {
            reds += red->pixel(x, y) == static_cast<std::uint32_t>(Farbe_16Bit(0xCC0000)) ? 1 : 0;
            left_dark += red->pixel(x, y) == letter ? 1 : 0;
        }
    }
    EXPECT_GE(reds, letters);
    EXPECT_EQ(left_dark, 0);

    // A snapshot of the status line and a table row on two sky colours.
    ASSERT_EQ(DDraw_Puffer_leeren(lpDDSBack, 0x323140), 0);
    BitmapText_ausgeben(font, "Points:0420", 10, 10, 1, lpDDSBack);
    BitmapText_ausgeben(font, "Time:090", 794, 10, 1, lpDDSBack);
    BitmapText_ausgeben(red, "+100", 512, 10, 2, lpDDSBack);
    BitmapText_ausgeben(font, "01.", 200, 170, 3, lpDDSBack);
    BitmapText_ausgeben(font, "  Rosalind", 240, 170, 1, lpDDSBack);
    BitmapText_ausgeben(font, "2450", 720, 170, 1, lpDDSBack);
    int drawn = 0;
    for (int x = 794; x < 1024; ++x) {
        for (int y = 10; y < 10 + table.H; ++y) {
            drawn += lpDDSBack->pixel(x, y) == letter ? 1 : 0;
        }
    }
    EXPECT_GT(drawn, 200) << "the time is drawn";
    EXPECT_TRUE(platform::write_png(*lpDDSBack, bramble_test::output_dir() + "/assets_font.png"));
}

TEST_F(AssetsTest, LandscapeTopEdgeFollowsTheHorizonLine) {
    start_display(16);
    open_pictures();
    const auto m = mask(load(1));
    int worst = 0;
    for (int x = 0; x < 2048; ++x) {
        int top = 0;
        while (top < 448 && !m[static_cast<std::size_t>(top) * 2048 + x]) {
            ++top;
        }
        // Below its top edge the landscape is solid: nothing behind shows through.
        for (int y = top; y < 448; ++y) {
            ASSERT_TRUE(m[static_cast<std::size_t>(y) * 2048 + x]) << "hole at " << x << ", " << y;
        }
        if (x >= kHaystackLeft && x <= kHaystackRight) {
            EXPECT_LT(top, line_y(x) - 320) << "the haystack stands above the line at " << x;
            continue;
        }
        // Within 3 pixels of the line: where the line is steep, its height over
        // the neighbouring columns counts too, as the distance is measured to
        // the line, not only straight down.
        double lo = 1e9;
        double hi = -1e9;
        for (int n = std::max(0, x - 1); n <= std::min(2047, x + 1); ++n) {
            lo = std::min(lo, line_y(n) - 320);
            hi = std::max(hi, line_y(n) - 320);
        }
        const double off = top < lo ? lo - top : (top > hi ? top - hi : 0.0);
        worst = std::max(worst, static_cast<int>(std::ceil(off)));
        EXPECT_LE(off, 3.0) << "column " << x << ": top " << top << ", line " << line_y(x) - 320;
    }
    EXPECT_LE(worst, 3);
    // The dip in the hedge and the hill with the oak are where the line has them.
    EXPECT_TRUE(m[static_cast<std::size_t>(232) * 2048 + 1254]);
    EXPECT_FALSE(m[static_cast<std::size_t>(226) * 2048 + 1254]);
    EXPECT_TRUE(m[static_cast<std::size_t>(51) * 2048 + 977]);
    EXPECT_FALSE(m[static_cast<std::size_t>(45) * 2048 + 977]);
}

TEST_F(AssetsTest, PeekerHidesAtEveryPlaceAndShowsItsFaceAtTheTop) {
    start_display(16);
    open_pictures();
    const auto land = mask(load(1));
    auto land_opaque = [&](int x, int screen_y) {
        const int row = screen_y - 320;
        return row >= 0 && row < 448 && x >= 0 && x < 2048 &&
               land[static_cast<std::size_t>(row) * 2048 + x];
    };
    for (int frame : {34, 35, 36, 37, 0}) {
        const auto peeker = mask(load(frame));
        for (int p = 0; p < 8; ++p) {
            SCOPED_TRACE("frame " + std::to_string(frame) + ", place " + std::to_string(p));
            const int px = kPlaces[p][0];
            // Launched 88 pixels below the place: every pixel behind scenery.
            int shown = 0;
            for (int y = 0; y < 88; ++y) {
                for (int x = 0; x < 152; ++x) {
                    if (peeker[y * 152 + x] && !land_opaque(px + x, kPlaces[p][1] + 88 + y)) {
                        ++shown;
                    }
                }
            }
            EXPECT_EQ(shown, 0);
            // Risen to 3 pixels above the place: the face (its hit area) shows.
            int face = 0;
            int visible = 0;
            for (int y = 14; y <= 60; ++y) {
                for (int x = 75; x <= 100; ++x) {
                    if (peeker[y * 152 + x]) {
                        ++face;
                        visible += land_opaque(px + x, kPlaces[p][1] - 3 + y) ? 0 : 1;
                    }
                }
            }
            EXPECT_GT(face, 26 * 47 * 7 / 10);
            EXPECT_GT(visible, face * 4 / 10);
        }
    }
}

TEST_F(AssetsTest, TargetsHaveTheirFramesAndHitAreas) {
    start_display(16);
    open_pictures();
    // Flyers: four wing-beat frames and a hit frame, all different.
    for (int first : {4, 5, 6}) {
        std::vector<std::vector<bool>> frames;
        for (int f = 0; f < 5; ++f) {
            frames.push_back(mask(load(first + 3 * f)));
        }
        for (int a = 0; a < 5; ++a) {
            for (int b = a + 1; b < 5; ++b) {
                EXPECT_NE(frames[a], frames[b])
                    << "entries " << first + 3 * a << ", " << first + 3 * b;
            }
        }
    }
    // Facing right as loaded: the yellow beak is in the right part of the picture.
    const auto file = read_all(data_file("Grafik.dat"));
    const auto at = entries(file, 39, 2000, kPictureKey);
    for (int i : {4, 6, 7, 9, 10, 12, 13, 15}) {
        const Bmp b = bmp_at(file, at[i]);
        double sum = 0;
        int n = 0;
        for (int y = 0; y < b.h; ++y) {
            for (int x = 0; x < b.w; ++x) {
                const std::uint32_t c = b.colour(x, y);
                if ((c >> 16) > 0xD8 && ((c >> 8) & 255) > 0x90 && ((c >> 8) & 255) < 0xD0 &&
                    (c & 255) < 0x60) {
                    sum += x;
                    ++n;
                }
            }
        }
        ASSERT_GT(n, 0) << "entry " << i;
        EXPECT_GT(sum / n, b.w * 0.7) << "entry " << i;
    }
    // Riser: the hit area (rows 50 to 192) is mostly the figure.
    for (int i = 25; i <= 29; ++i) {
        const auto m = mask(load(i));
        const auto hit = std::count(m.begin() + 50 * 160, m.end(), true);
        EXPECT_GT(hit, 142 * 160 / 2) << "entry " << i;
    }
}

TEST_F(AssetsTest, SoundsHaveTheirFormatsLengthsAndLevels) {
    const auto file = read_all(data_file("Sound.dat"));
    const auto at = entries(file, 22, 1000, kSoundKey);
    ASSERT_EQ(at.size(), 22u);
    std::vector<Wav> w;
    for (std::size_t p : at) {
        w.push_back(parse_wav(file, p));
    }
    int standard = 0;
    bool eight_bit = false;
    bool stereo_other_rate = false;
    for (int i = 0; i < 22; ++i) {
        SCOPED_TRACE("sound " + std::to_string(i));
        standard += (w[i].bits == 16 && w[i].channels == 1 && w[i].rate == 22050) ? 1 : 0;
        eight_bit = eight_bit || w[i].bits == 8;
        stereo_other_rate = stereo_other_rate || (w[i].channels == 2 && w[i].rate != 22050);
        const Level l = level(w[i]);
        EXPECT_LT(l.peak, 0.99);  // no clipping
        EXPECT_GT(l.peak, 0.2);
        EXPECT_LT(std::abs(l.mean), 0.01);
        EXPECT_GT(w[i].seconds(), 0.03);
        EXPECT_LT(w[i].seconds(), 3.0);
    }
    EXPECT_GE(standard, 16);
    EXPECT_TRUE(eight_bit);
    EXPECT_TRUE(stereo_other_rate);
    // The shot sets the rate of fire and reloading takes a moment.
    EXPECT_NEAR(w[16].seconds(), 0.3, 0.05);
    EXPECT_NEAR(w[15].seconds(), 0.7, 0.1);
    for (int quick : {3, 5, 17, 19}) {
        EXPECT_LT(w[quick].seconds(), 0.25) << "sound " << quick;
    }
}

TEST_F(AssetsTest, TunesAreMusicOfTheirLength) {
    for (const char* name : {"start.wav", "main.wav", "win.wav", "lose.wav", "credits.wav"}) {
        SCOPED_TRACE(name);
        const auto file = read_all(data_file(name));
        ASSERT_GT(file.size(), 44u);
        const Wav w = parse_wav(file, 0);
        EXPECT_GE(w.seconds(), 15.0);
        EXPECT_LE(w.seconds(), 40.0);
        const Level l = level(w);
        EXPECT_LT(l.peak, 0.99);
        EXPECT_GT(l.rms, 0.05);
        EXPECT_LT(std::abs(l.mean), 0.005);
        // Music all the way: hardly a tenth of a second of silence before the end.
        const auto window = static_cast<std::size_t>(w.rate / 10 * w.channels);
        int quiet = 0;
        int windows = 0;
        for (std::size_t s = 0; s + window <= w.samples.size() - 2 * window; s += window) {
            double e = 0;
            for (std::size_t k = s; k < s + window; ++k) {
                e += w.samples[k] * w.samples[k];
            }
            quiet += std::sqrt(e / window) < 0.01 ? 1 : 0;
            ++windows;
        }
        EXPECT_LT(quiet, windows / 20);
    }
}

TEST(AssetsBuild, TwoRunsGiveTheSameBytes) {
    const std::string tool = std::string(BRAMBLE_BUILD_DIR) + "/assets";
    ASSERT_TRUE(std::filesystem::exists(tool));
    const std::string base = bramble_test::output_dir() + "/assets-repeat";
    std::filesystem::remove_all(base);
    for (const char* run : {"/a", "/b"}) {
        const std::string cmd = "'" + tool + "' '" + base + run + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
    for (const char* f : {"Grafik.dat", "Sound.dat", "start.wav", "main.wav", "win.wav", "lose.wav",
                          "credits.wav"}) {
        const auto a = read_all(base + "/a/" + f);
        EXPECT_FALSE(a.empty()) << f;
        EXPECT_EQ(a, read_all(base + "/b/" + f)) << f;
        EXPECT_EQ(a, read_all(data_file(f))) << f << " differs from the build's data";
    }
    std::filesystem::remove_all(base);
}

}  // namespace
