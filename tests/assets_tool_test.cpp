// The asset generator's own pieces: colour reduction, the BMP and WAV
// writers, the font layout and the synthesis helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <stdexcept>

#include "audio.h"
#include "catalogue.h"
#include "draw.h"
#include "font.h"
#include "picture.h"
#include "synth.h"

using namespace assets;

namespace {

class ReleaseDrawing : public ::testing::Environment {
   public:
    void TearDown() override { release_drawing_state(); }
};
const auto* const g_release = ::testing::AddGlobalTestEnvironment(new ReleaseDrawing);

std::uint32_t rgb(Rgb c) {
    return (c.r << 16) | (c.g << 8) | c.b;
}

int i32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<int>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                            (static_cast<std::uint32_t>(b[at + 3]) << 24));
}
int u16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}

TEST(Quantiser, FewColoursStayExactAndTransparencyGoesToTheKey) {
    std::vector<std::uint32_t> px = {0xFFCC2020, 0x00000000, 0xFF2040E0, 0xFFCC2020,
                                     0xFFFFFFFF, 0x00123456, 0xFF000000, 0xFF2040E0};
    const Picture p = quantize(4, 2, px, false);
    EXPECT_EQ(p.palette[kKeyIndex], kKeyColour);
    for (std::size_t i = 0; i < px.size(); ++i) {
        const int x = static_cast<int>(i % 4);
        const int y = static_cast<int>(i / 4);
        if ((px[i] >> 24) == 0) {
            EXPECT_EQ(p.pixels[i], kKeyIndex);
            EXPECT_TRUE(p.transparent(x, y));
        } else {
            EXPECT_EQ(rgb(p.at(x, y)), px[i] & 0xFFFFFF) << i;
            EXPECT_FALSE(p.transparent(x, y));
        }
    }
    EXPECT_EQ(p.pixels[0], p.pixels[3]);  // equal colours share an entry
}

TEST(Quantiser, OpaqueGreensNeverTurnIntoTheKey) {
    // Pure green and a green that the 16-bit display cannot tell from it.
    const std::vector<std::uint32_t> px = {0xFF00FF00, 0xFF05FA07, 0xFF10F010, 0xFF203040};
    const Picture p = quantize(4, 1, px, false);
    for (int x = 0; x < 4; ++x) {
        EXPECT_FALSE(p.transparent(x, 0)) << x;
        EXPECT_NE(p.pixels[x], kKeyIndex);
    }
    for (int k = 1; k < 256; ++k) {
        EXPECT_FALSE(keys_at_16bit(p.palette[k])) << k;
    }
}

TEST(Quantiser, ManyColoursReduceCloselyAndRepeatably) {
    // A smooth two-way gradient with thousands of colours and a transparent hole.
    const int w = 128;
    const int h = 96;
    std::vector<std::uint32_t> px(w * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool hole = (x - 64) * (x - 64) + (y - 48) * (y - 48) < 100;
            px[y * w + x] =
                hole ? 0 : 0xFF000000u | ((x * 2) << 16) | ((y * 2 + 40) << 8) | (255 - x);
        }
    }
    for (bool dither : {false, true}) {
        SCOPED_TRACE(dither);
        const Picture p = quantize(w, h, px, dither);
        std::set<int> used;
        double err = 0;
        for (int i = 0; i < w * h; ++i) {
            if ((px[i] >> 24) == 0) {
                EXPECT_EQ(p.pixels[i], kKeyIndex);
                continue;
            }
            EXPECT_NE(p.pixels[i], kKeyIndex);
            used.insert(p.pixels[i]);
            const Rgb c = p.palette[p.pixels[i]];
            err += std::abs(c.r - static_cast<int>((px[i] >> 16) & 255)) +
                   std::abs(c.g - static_cast<int>((px[i] >> 8) & 255)) +
                   std::abs(c.b - static_cast<int>(px[i] & 255));
        }
        EXPECT_GT(used.size(), 200u);
        EXPECT_LT(err / (w * h) / 3, dither ? 6.0 : 4.0);
        const Picture again = quantize(w, h, px, dither);
        EXPECT_EQ(again.pixels, p.pixels);
        EXPECT_EQ(again.palette, p.palette);
    }
}

TEST(Quantiser, DitheringLeavesFlatAreasFlat) {
    std::vector<std::uint32_t> px(64 * 64);
    for (int i = 0; i < 64 * 64; ++i) {
        // left half flat, right half a gradient that needs dithering
        const int x = i % 64;
        px[i] = x < 32 ? 0xFF6A9A4Au : 0xFF000000u | ((i / 64 * 4) << 16) | (x * 4 << 8) | 128;
    }
    const Picture p = quantize(64, 64, px, true);
    std::set<int> left;
    for (int i = 0; i < 64 * 64; ++i) {
        if (i % 64 < 31) {
            left.insert(p.pixels[i]);
        }
    }
    EXPECT_EQ(left.size(), 1u);
}

TEST(Quantiser, AntialiasedEdgesKeepTheShapesColour) {
    // A soft-edged disc over a transparent ground: the edge pixels become the
    // disc's own colour or transparent, never a darkened or greenish mix.
    Canvas c(40, 40);
    cairo_arc(c.cr(), 20.3, 19.7, 13.4, 0, 2 * M_PI);
    set_colour(c.cr(), 0xC83A2E);
    cairo_fill(c.cr());
    const Picture p = to_picture(c);
    int opaque = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (!p.transparent(x, y)) {
                ++opaque;
                EXPECT_EQ(pixel16(p.at(x, y)), pixel16(Rgb{0xC8, 0x3A, 0x2E})) << x << "," << y;
            }
        }
    }
    // About the disc's area: pixels at least half covered count.
    EXPECT_NEAR(opaque, M_PI * 13.4 * 13.4, 20);
}

TEST(BmpWriter, WritesBottomUpRowsBehindAFullPalette) {
    Picture p;
    p.width = 4;
    p.height = 2;
    p.palette[kKeyIndex] = kKeyColour;
    p.palette[1] = {10, 20, 30};
    p.pixels = {1, 0, 0, 1, 0, 1, 1, 0};
    const auto b = bmp_bytes(p);
    ASSERT_EQ(b.size(), 1078u + 8u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(i32(b, 2), 1086);
    EXPECT_EQ(i32(b, 10), 1078);
    EXPECT_EQ(i32(b, 18), 4);
    EXPECT_EQ(i32(b, 22), 2);
    EXPECT_EQ(u16(b, 28), 8);
    EXPECT_EQ(i32(b, 30), 0);
    EXPECT_EQ(i32(b, 46), 256);
    // palette entries as blue, green, red, reserved
    EXPECT_EQ(b[54 + 4], 30);
    EXPECT_EQ(b[54 + 5], 20);
    EXPECT_EQ(b[54 + 6], 10);
    EXPECT_EQ(b[54 + 1], 255);  // the key's green
    // the bottom row comes first
    const std::vector<std::uint8_t> rows(b.begin() + 1078, b.end());
    EXPECT_EQ(rows, (std::vector<std::uint8_t>{0, 1, 1, 0, 1, 0, 0, 1}));

    p.width = 6;
    p.pixels.assign(12, 0);
    EXPECT_THROW(bmp_bytes(p), std::runtime_error);
}

TEST(WavWriter, WritesPcmOfEachWidthAndPadsOddData) {
    Wave w;
    w.rate = 22050;
    w.channels = 1;
    w.bits = 16;
    w.samples = {0.0f, 1.0f, -1.0f, 2.0f, 0.5f};
    auto b = wav_bytes(w);
    ASSERT_EQ(b.size(), 44u + 10u);
    EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
    EXPECT_EQ(i32(b, 4), static_cast<int>(b.size()) - 8);
    EXPECT_EQ(std::memcmp(b.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(i32(b, 16), 16);
    EXPECT_EQ(u16(b, 20), 1);
    EXPECT_EQ(i32(b, 24), 22050);
    EXPECT_EQ(i32(b, 28), 44100);
    EXPECT_EQ(u16(b, 32), 2);
    EXPECT_EQ(u16(b, 34), 16);
    EXPECT_EQ(i32(b, 40), 10);
    EXPECT_EQ(static_cast<std::int16_t>(u16(b, 46)), 32767);
    EXPECT_EQ(static_cast<std::int16_t>(u16(b, 48)), -32767);
    EXPECT_EQ(static_cast<std::int16_t>(u16(b, 50)), 32767);  // clamped

    w.bits = 8;
    w.samples = {0.0f, 1.0f, -1.0f};
    b = wav_bytes(w);
    EXPECT_EQ(i32(b, 40), 3);
    ASSERT_EQ(b.size(), 44u + 4u);  // a pad byte after the odd data
    EXPECT_EQ(i32(b, 4), 40);
    EXPECT_EQ(b[44], 128);
    EXPECT_EQ(b[45], 255);
    EXPECT_EQ(b[46], 1);

    w.bits = 16;
    w.channels = 2;
    w.rate = 44100;
    w.samples = {0.1f, -0.1f};
    b = wav_bytes(w);
    EXPECT_EQ(u16(b, 32), 4);
    EXPECT_EQ(i32(b, 28), 44100 * 4);
}

TEST(FontLayout, ReadsBackAsEightyOneAlignedGlyphs) {
    const Picture font = draw_font();
    GlyphTable t;
    ASSERT_TRUE(read_glyphs(font, t));
    ASSERT_EQ(t.glyphs.size(), 81u);
    const Rgb sep{0xC9, 0xC9, 0xC9};
    int wide_m = 0;
    int narrow_i = 0;
    for (int g = 0; g < 81; ++g) {
        const GlyphRect& r = t.glyphs[g];
        EXPECT_EQ(r.bottom - r.top, t.average_height) << g;
        // Column 5 of a glyph's rows is never the separator colour, and the
        // first row of the cell (the marks' row) is empty between the marks.
        for (int y = r.top; y < r.bottom; ++y) {
            EXPECT_NE(pixel16(font.at(5, y)), pixel16(sep));
        }
        for (int x = r.left; x < r.right + 1; ++x) {
            EXPECT_TRUE(font.transparent(x, r.top)) << g;
        }
        wide_m = g == 12 ? r.right - r.left : wide_m;     // 'm'
        narrow_i = g == 8 ? r.right - r.left : narrow_i;  // 'i'
    }
    EXPECT_GT(wide_m, narrow_i + 8);
    // Cells follow one another along a band; bands follow one another downwards.
    for (int g = 1; g < 81; ++g) {
        const GlyphRect& a = t.glyphs[g - 1];
        const GlyphRect& b = t.glyphs[g];
        EXPECT_TRUE((b.top == a.top && b.left == a.right + 2) || b.top > a.top) << g;
    }
}

TEST(Horizon, LineRunsThroughItsPoints) {
    for (const Linienpunkt& p : Horizontlinie) {
        EXPECT_DOUBLE_EQ(horizon_at(p.x), p.y);
    }
    EXPECT_DOUBLE_EQ(horizon_at(1228), 521);  // halfway between 492 and 550
    EXPECT_DOUBLE_EQ(horizon_at(-5), 475);
    EXPECT_DOUBLE_EQ(horizon_at(3000), 484);
    for (const Bildgroesse& s : Bildgroessen) {
        EXPECT_EQ(s.Breite % 4, 0);  // BMP rows without fill bytes
    }
}

TEST(Synth, PluckedStringsAreInTune) {
    Rng rng(7);
    for (double f : {98.0, 110.0, 146.83, 196.0, 261.63, 392.0, 440.0, 659.26, 784.0}) {
        const Buffer b = pluck(22050, f, 0.8, 0.8, rng);
        auto corr = [&](int lag) {
            double s = 0;
            for (int i = 1000; i < 9000; ++i) {
                s += b.s[i] * b.s[i + lag];
            }
            return s;
        };
        int best = 0;
        double top = -1e9;
        for (int lag = static_cast<int>(22050 / (f * 1.1));
             lag <= static_cast<int>(22050 / (f * 0.9)); ++lag) {
            if (corr(lag) > top) {
                top = corr(lag);
                best = lag;
            }
        }
        const double a = corr(best - 1);
        const double c = corr(best + 1);
        const double lag = best + 0.5 * (a - c) / (a - 2 * top + c);
        EXPECT_NEAR(22050 / lag, f, f * 0.004) << f;  // within 7 cents
    }
}

TEST(Synth, FinishRemovesOffsetAndSetsThePeak) {
    std::vector<float> s(22050);
    for (std::size_t i = 0; i < s.size(); ++i) {
        s[i] = static_cast<float>(0.3 + 0.5 * std::sin(kTau * 440 * i / 22050.0));
    }
    finish(s, 1, 22050, 0.8, 0.01, 0.01);
    double mean = 0;
    float peak = 0;
    for (float v : s) {
        mean += v;
        peak = std::max(peak, std::abs(v));
    }
    EXPECT_NEAR(mean / s.size(), 0, 2e-3);
    EXPECT_FLOAT_EQ(peak, 0.8f);
    EXPECT_EQ(s.front(), 0.0f);
    EXPECT_EQ(s.back(), 0.0f);
}

TEST(Synth, LowPassPassesLowsAndStopsHighs) {
    auto gain = [](double freq) {
        Biquad f = Biquad::lowpass(22050, 800);
        double out = 0;
        for (int i = 0; i < 22050; ++i) {
            const float y = f.run(static_cast<float>(std::sin(kTau * freq * i / 22050)));
            if (i > 2000) {
                out = std::max(out, static_cast<double>(std::abs(y)));
            }
        }
        return out;
    };
    EXPECT_NEAR(gain(100), 1.0, 0.05);
    EXPECT_LT(gain(6000), 0.03);
}

TEST(Typeface, MeasuresAndKernsText) {
    const Typeface& t = Typeface::bold();
    EXPECT_GT(t.advance('m', 20), t.advance('i', 20));
    EXPECT_NEAR(t.advance('m', 40), 2 * t.advance('m', 20), 1e-9);
    EXPECT_LT(t.text_width("AV", 40), t.advance('A', 40) + t.advance('V', 40));
    double l, top, r, bottom;
    t.glyph_box('g', 30, l, top, r, bottom);
    EXPECT_LT(top, 0);     // above the baseline
    EXPECT_GT(bottom, 0);  // its tail below
}

}  // namespace
