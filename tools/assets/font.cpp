#include "font.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "draw.h"

namespace assets {

namespace {

// Size of the letters: an em of 25 pixels gives capitals of about 18 pixels,
// and with the outline an average glyph of about 20 x 31.
constexpr double kEm = 25.0;
constexpr double kOutline = 2.0;  // light rim around every letter
constexpr int kFeedWidth = 12;    // the empty line-feed glyph

constexpr std::uint32_t kRimColour = 0xFFF6E2;

enum Ink : std::uint8_t { kNone, kSeparator, kLetter, kRim, kBlend1, kBlend2 };

Rgb rgb_of(std::uint32_t c) {
    return {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
            static_cast<std::uint8_t>(c)};
}

// Coverage (0..255) of a path filled (and optionally stroked) on a cell.
std::vector<std::uint8_t> coverage(int w, int h, unsigned int code, double ox, double base,
                                   double stroke) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    cairo_t* cr = cairo_create(s);
    Typeface::bold().glyph_path(cr, code, ox, base, kEm);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    if (stroke > 0) {
        cairo_set_line_width(cr, stroke);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
    }
    cairo_fill(cr);
    cairo_surface_flush(s);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(w) * h);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            out[static_cast<std::size_t>(y) * w + x] = data[y * stride + x];
        }
    }
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return out;
}

}  // namespace

unsigned char glyph_character(int index) {
    return static_cast<unsigned char>(Zeichenfolge[index]);
}

Picture draw_font() {
    const Typeface& face = Typeface::bold();

    // Common vertical layout: every glyph cell has the same height, with the
    // baseline at the same row, so letters line up when drawn side by side.
    double ink_top = 0;
    double ink_bottom = 0;
    for (int i = 0; i < kGlyphCount - 1; ++i) {
        double l, t, r, b;
        face.glyph_box(glyph_character(i), kEm, l, t, r, b);
        ink_top = std::min(ink_top, t);
        ink_bottom = std::max(ink_bottom, b);
    }
    // Row 0 of a cell is the band's mark row and stays empty.
    const double baseline = 1 + kOutline + std::ceil(-ink_top);
    const int cell_h = static_cast<int>(baseline + std::ceil(ink_bottom) + kOutline + 1);
    const int band = cell_h + 1;  // plus the cell's last row, which is never drawn

    Picture pic;
    pic.width = kFontWidth;
    pic.height = kFontHeight;
    pic.palette.fill(Rgb{0, 0, 0});
    pic.palette[kNone] = kKeyColour;
    pic.palette[kSeparator] = rgb_of(kSeparatorColour);
    pic.palette[kLetter] = rgb_of(kLetterColour);
    pic.palette[kRim] = rgb_of(kRimColour);
    // Two steps between letter and rim smooth the letters' inner edges; they
    // are kept clear of the separator's 16-bit value.
    pic.palette[kBlend1] = rgb_of(mix(kLetterColour, kRimColour, 0.35));
    pic.palette[kBlend2] = rgb_of(mix(kLetterColour, kRimColour, 0.65));
    for (int i = 2; i < 256; ++i) {
        if (pixel16(pic.palette[i]) == pixel16(rgb_of(kSeparatorColour))) {
            throw std::runtime_error("a font colour looks like the separator at 16 bits");
        }
    }
    pic.pixels.assign(static_cast<std::size_t>(kFontWidth) * kFontHeight, kNone);
    auto put = [&](int x, int y, Ink ink) {
        pic.pixels[static_cast<std::size_t>(y) * kFontWidth + x] = ink;
    };

    int sep = 0;   // row of the current band's upper separator
    int mark = 1;  // column of the next mark; column 5 of a mark row must not be one
    auto separator = [&](int y) {
        if (y >= kFontHeight) {
            throw std::runtime_error("the glyphs do not fit the font picture");
        }
        for (int x = 0; x < kFontWidth; ++x) {
            put(x, y, kSeparator);
        }
    };
    separator(sep);
    put(mark, sep + 1, kSeparator);

    for (int i = 0; i < kGlyphCount; ++i) {
        const unsigned char ch = glyph_character(i);
        int w = kFeedWidth;
        double ox = 0;
        if (ch != 10) {
            double l, t, r, b;
            face.glyph_box(ch, kEm, l, t, r, b);
            const double adv = face.advance(ch, kEm);
            // The advance, but at least the ink with its rim; the rims of neighbours
            // touch, so the letters read as one word.
            w = std::max(static_cast<int>(std::lround(adv)),
                         static_cast<int>(std::ceil(r - l + 2 * kOutline + 1)));
            ox = std::round((w - (r + l)) / 2);
        }
        // The cell spans mark+1 .. mark+w+1; the closing mark follows it.
        if (mark + w + 2 >= kFontWidth) {
            sep += band + 1;
            separator(sep);
            mark = 1;
            put(mark, sep + 1, kSeparator);
        }
        if (ch != 10) {
            const int cx = mark + 1;
            const int cy = sep + 1;
            const auto body = coverage(w, cell_h, ch, ox, baseline, 0);
            const auto rim = coverage(w, cell_h, ch, ox, baseline, 2 * kOutline);
            for (int y = 1; y < cell_h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const int b = body[static_cast<std::size_t>(y) * w + x];
                    const int o = rim[static_cast<std::size_t>(y) * w + x];
                    Ink ink = kNone;
                    if (b >= 128) {
                        ink = kLetter;
                    } else if (b >= 80) {
                        ink = kBlend1;
                    } else if (b >= 32) {
                        ink = kBlend2;
                    } else if (o >= 128) {
                        ink = kRim;
                    }
                    if (ink != kNone) {
                        put(cx + x, cy + y, ink);
                    }
                }
            }
        }
        mark += w + 2;
        put(mark, sep + 1, kSeparator);
    }
    separator(sep + band + 1);
    return pic;
}

bool read_glyphs(const Picture& font, GlyphTable& table) {
    const std::uint16_t sep = pixel16(rgb_of(kSeparatorColour));
    auto is_sep = [&](int x, int y) { return pixel16(font.at(x, y)) == sep; };
    table = {};
    int upper = -1;
    long long wsum = 0;
    long long hsum = 0;
    int separators = 0;
    for (int y = 0; y < font.height; ++y) {
        if (!is_sep(5, y)) {
            continue;
        }
        ++separators;
        if (upper >= 0) {
            int m = -1;
            for (int x = 0; x < font.width; ++x) {
                if (!is_sep(x, upper + 1)) {
                    continue;
                }
                if (m >= 0 && table.glyphs.size() < 99) {
                    GlyphRect g{m + 1, upper + 1, x - 1, y - 1};
                    wsum += g.right - g.left;
                    hsum += g.bottom - g.top;
                    table.glyphs.push_back(g);
                }
                m = x;
            }
        }
        upper = y;
    }
    if (separators < 2 || table.glyphs.empty()) {
        return false;
    }
    table.average_width = static_cast<int>(wsum / static_cast<long long>(table.glyphs.size()));
    table.average_height = static_cast<int>(hsum / static_cast<long long>(table.glyphs.size()));
    return table.average_width >= 4 && table.average_height >= 4;
}

}  // namespace assets
