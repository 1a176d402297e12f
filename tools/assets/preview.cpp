#include "preview.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "catalogue.h"
#include "draw.h"
#include "font.h"

namespace assets {

namespace {

constexpr int kScreenW = 1024;
constexpr int kScreenH = 768;

std::uint32_t packed(Rgb c) {
    return (c.r << 16) | (c.g << 8) | c.b;
}

void save_rgb(const std::vector<std::uint32_t>& rgb, int w, int h, const std::string& path) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            row[x] = rgb[static_cast<std::size_t>(y) * w + x];
        }
    }
    cairo_surface_mark_dirty(s);
    if (cairo_surface_write_to_png(s, path.c_str()) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        throw std::runtime_error("cannot write " + path);
    }
    cairo_surface_destroy(s);
}

// A screen-sized picture of a 16-bit display, shown as 8-bit colours.
class Screen {
   public:
    Screen() : rgb_(kScreenW * kScreenH, 0) {}

    void fill(std::uint32_t colour) {
        std::fill(rgb_.begin(), rgb_.end(),
                  packed(shown16(Rgb{static_cast<std::uint8_t>(colour >> 16),
                                     static_cast<std::uint8_t>(colour >> 8),
                                     static_cast<std::uint8_t>(colour)})));
    }

    void blit(const Picture& p, int x, int y) {
        for (int j = 0; j < p.height; ++j) {
            const int ty = y + j;
            if (ty < 0 || ty >= kScreenH) {
                continue;
            }
            for (int i = 0; i < p.width; ++i) {
                const int tx = x + i;
                if (tx < 0 || tx >= kScreenW || p.transparent(i, j)) {
                    continue;
                }
                rgb_[ty * kScreenW + tx] = packed(shown16(p.at(i, j)));
            }
        }
    }

    std::vector<std::uint32_t>& pixels() { return rgb_; }

    void save(const std::string& path) const { save_rgb(rgb_, kScreenW, kScreenH, path); }

   private:
    std::vector<std::uint32_t> rgb_;
};

// Every target and overlay picture on each of the five sky colours, doubled
// in size, so fringes against the sky are easy to spot.
void sprites_on_skies(const std::vector<Picture>& pics, const std::string& dir) {
    const std::uint32_t skies[5] = {0x323140, 0x423E6C, 0x463CBA, 0x2918E1, 0x2816EA};
    const std::vector<std::vector<int>> rows = {
        {4, 7, 10, 13, 16, 6, 9, 12, 15, 18, 5, 8, 11, 14, 17},
        {34, 35, 36, 37, 0, 25, 26, 27, 28, 29, 30, 2},
        {38, 19, 20, 21, 22}};
    constexpr int kZoom = 2;
    constexpr int kGap = 8;
    int width = 0;
    int band = kGap;
    std::vector<int> row_h;
    for (const auto& row : rows) {
        int w = kGap;
        int h = 0;
        for (int e : row) {
            w += pics[e].width * kZoom + kGap;
            h = std::max(h, pics[e].height * kZoom);
        }
        width = std::max(width, w);
        row_h.push_back(h);
        band += h + kGap;
    }
    const int height = 5 * band;
    std::vector<std::uint32_t> rgb(static_cast<std::size_t>(width) * height, 0);
    for (int k = 0; k < 5; ++k) {
        const Rgb sky{static_cast<std::uint8_t>(skies[k] >> 16),
                      static_cast<std::uint8_t>(skies[k] >> 8),
                      static_cast<std::uint8_t>(skies[k])};
        const int top = k * band;
        std::fill(rgb.begin() + static_cast<long>(top) * width,
                  rgb.begin() + static_cast<long>(top + band) * width, packed(shown16(sky)));
        int y = top + kGap;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            int x = kGap;
            for (int e : rows[r]) {
                const Picture& p = pics[e];
                for (int yy = 0; yy < p.height * kZoom; ++yy) {
                    for (int xx = 0; xx < p.width * kZoom; ++xx) {
                        const int sx = xx / kZoom;
                        const int sy = yy / kZoom;
                        if (!p.transparent(sx, sy)) {
                            rgb[static_cast<std::size_t>(y + yy) * width + x + xx] =
                                packed(shown16(p.at(sx, sy)));
                        }
                    }
                }
                x += p.width * kZoom + kGap;
            }
            y += row_h[r] + kGap;
        }
    }
    save_rgb(rgb, width, height, dir + "/sprites_on_skies.png");
}

// The landscape in two halves over a sky colour with the horizon line
// (magenta) and the peeker's hiding places at their top (yellow) and start
// (orange) marked, to check the silhouette by eye. (The plain landscape is on
// the contact sheet.)
void landscape_check(const std::vector<Picture>& pics, const std::string& dir) {
    const Picture& land = pics[1];
    for (int half = 0; half < 2; ++half) {
        Screen s;
        s.fill(0x463CBA);
        s.blit(land, -1024 * half, 0);
        std::vector<std::uint32_t>& rgb = s.pixels();
        auto dot = [&](int x, int y, std::uint32_t c) {
            x -= 1024 * half;
            if (x >= 0 && x < kScreenW && y >= 0 && y < kScreenH) {
                rgb[y * kScreenW + x] = c;
            }
        };
        for (int x = 0; x < 2048; ++x) {
            dot(x, static_cast<int>(horizon_at(x)) - kLandscapeY, 0xFF00FF);
        }
        for (const Linienpunkt& p : Versteckorte) {
            for (int i = 0; i < 152; ++i) {
                dot(p.x + i, p.y - 3 - kLandscapeY, 0xFFFF00);
                dot(p.x + i, p.y + 88 - kLandscapeY, 0xFF8000);
            }
            for (int j = 0; j < 88; ++j) {
                dot(p.x, p.y - 3 - kLandscapeY + j, 0xFFFF00);
                dot(p.x + 151, p.y - 3 - kLandscapeY + j, 0xFFFF00);
            }
        }
        s.save(dir + "/landscape_marked_" + std::to_string(half) + ".png");
    }
}

}  // namespace

void write_contact_sheet(const std::vector<Picture>& pictures, const std::string& path) {
    constexpr int kSheetW = 2120;
    constexpr int kPad = 14;
    constexpr int kLabel = 22;
    struct Placed {
        int entry;
        int x;
        int y;
        int scale_div;
    };
    std::vector<Placed> placed;
    int x = kPad;
    int y = kPad;
    int row_h = 0;
    for (int i = 0; i < static_cast<int>(pictures.size()); ++i) {
        const Picture& p = pictures[i];
        const int div = p.width >= 1024 ? (p.width >= 2048 ? 1 : 4) : 1;
        const int w = p.width / div;
        const int h = p.height / div;
        if (x + w + kPad > kSheetW) {
            x = kPad;
            y += row_h + kLabel + kPad;
            row_h = 0;
        }
        placed.push_back({i, x, y + kLabel, div});
        x += std::max(w, 40) + kPad;
        row_h = std::max(row_h, h);
    }
    const int sheet_h = y + row_h + kLabel + kPad;
    std::vector<std::uint32_t> rgb(static_cast<std::size_t>(kSheetW) * sheet_h, 0x4A6FA5);
    for (const Placed& pl : placed) {
        const Picture& p = pictures[pl.entry];
        for (int yy = 0; yy < p.height / pl.scale_div; ++yy) {
            for (int xx = 0; xx < p.width / pl.scale_div; ++xx) {
                const int sx = xx * pl.scale_div;
                const int sy = yy * pl.scale_div;
                if (!p.transparent(sx, sy)) {
                    rgb[static_cast<std::size_t>(pl.y + yy) * kSheetW + pl.x + xx] =
                        packed(shown16(p.at(sx, sy)));
                }
            }
        }
    }
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetW, sheet_h);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int yy = 0; yy < sheet_h; ++yy) {
        std::copy(rgb.begin() + static_cast<long>(yy) * kSheetW,
                  rgb.begin() + static_cast<long>(yy + 1) * kSheetW,
                  reinterpret_cast<std::uint32_t*>(data + yy * stride));
    }
    cairo_surface_mark_dirty(s);
    cairo_t* cr = cairo_create(s);
    for (const Placed& pl : placed) {
        std::string label = "#" + std::to_string(pl.entry);
        if (pl.scale_div > 1) {
            label += "  (1/" + std::to_string(pl.scale_div) + ")";
        }
        set_colour(cr, 0xFFFFFF);
        Typeface::bold().text_path(cr, label, pl.x, pl.y - 5, 15);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    const cairo_status_t st = cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
    if (st != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot write " + path);
    }
}

void write_previews(const std::vector<Picture>& pictures, const std::string& dir) {
    std::filesystem::create_directories(dir);
    GlyphTable table;
    if (read_glyphs(pictures[31], table)) {
        std::printf("font: %zu glyphs, average width %d, average height %d\n", table.glyphs.size(),
                    table.average_width, table.average_height);
    }
    sprites_on_skies(pictures, dir);
    landscape_check(pictures, dir);
}

}  // namespace assets
