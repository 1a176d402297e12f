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

void save_rgb(const std::vector<std::uint32_t>& rgb, int w, int h, const std::string& path,
              const std::string& corner = "") {
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
    if (!corner.empty()) {
        // Stands in for the platform's small corner text of title and menu.
        cairo_t* cr = cairo_create(s);
        set_colour(cr, 0x50A0C8);
        Typeface::bold().text_path(cr, corner, 2, h - 5, 13);
        cairo_fill(cr);
        cairo_destroy(cr);
    }
    if (cairo_surface_write_to_png(s, path.c_str()) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        throw std::runtime_error("cannot write " + path);
    }
    cairo_surface_destroy(s);
}

// The back buffer of a 16-bit display, shown as 8-bit colours.
class Screen {
   public:
    Screen(const std::vector<Picture>& pics) : pics_(pics), rgb_(kScreenW * kScreenH, 0) {
        red_font_ = pics[31];
        for (Rgb& c : red_font_.palette) {
            if (pixel16(c) == pixel16(Rgb{0x28, 0x28, 0x28})) {
                c = Rgb{0xCC, 0, 0};
            }
        }
        if (!read_glyphs(pics[31], table_)) {
            throw std::runtime_error("the font picture cannot be read");
        }
    }

    void fill(std::uint32_t colour) {
        std::fill(rgb_.begin(), rgb_.end(),
                  packed(shown16(Rgb{static_cast<std::uint8_t>(colour >> 16),
                                     static_cast<std::uint8_t>(colour >> 8),
                                     static_cast<std::uint8_t>(colour)})));
    }

    void blit(const Picture& p, int x, int y, int sx = 0, int sy = 0, int w = -1, int h = -1) {
        if (w < 0) {
            w = p.width;
            h = p.height;
        }
        for (int j = 0; j < h; ++j) {
            const int ty = y + j;
            if (ty < 0 || ty >= kScreenH) {
                continue;
            }
            for (int i = 0; i < w; ++i) {
                const int tx = x + i;
                if (tx < 0 || tx >= kScreenW || p.transparent(sx + i, sy + j)) {
                    continue;
                }
                rgb_[ty * kScreenW + tx] = packed(shown16(p.at(sx + i, sy + j)));
            }
        }
    }
    void blit(int entry, int x, int y) { blit(pics_[entry], x, y); }

    void stretch(const Picture& p, const GlyphRect& g, int x0, int y0, int x1, int y1) {
        for (int ty = std::max(0, y0); ty < std::min(kScreenH, y1); ++ty) {
            for (int tx = std::max(0, x0); tx < std::min(kScreenW, x1); ++tx) {
                const int sx = g.left + (tx - x0) * (g.right - g.left) / (x1 - x0);
                const int sy = g.top + (ty - y0) * (g.bottom - g.top) / (y1 - y0);
                if (!p.transparent(sx, sy)) {
                    rgb_[ty * kScreenW + tx] = packed(shown16(p.at(sx, sy)));
                }
            }
        }
    }

    // Text as the game draws it: glyphs abut, blanks advance by the last
    // glyph's width, centring estimates the width from the average glyph.
    void text(const std::string& s, int x, int y, int mode, bool red = false) {
        const Picture& font = red ? red_font_ : pics_[31];
        const int n = static_cast<int>(s.size());
        if (mode == 2) {
            x -= (n / 2) * table_.average_width;
        } else if (mode == 3) {
            x -= n * table_.average_width;
        }
        int a = 0;
        for (unsigned char ch : s) {
            const int g = glyph_index(ch);
            x += a;
            if (g >= kGlyphCount) {
                continue;
            }
            if (x < 0 || x > 1023 || y < -table_.average_height || y > 767) {
                return;
            }
            const GlyphRect& r = table_.glyphs[g];
            blit(font, x, y, r.left, r.top, r.right - r.left, r.bottom - r.top);
            a = r.right - r.left;
        }
    }

    void text_grown(const std::string& s, int x, int y, int mode, int c, bool red) {
        const Picture& font = red ? red_font_ : pics_[31];
        const int n = static_cast<int>(s.size());
        if (mode == 1) {
            x -= (n / 2) * c;
        } else if (mode == 2) {
            x -= (table_.average_width + c) * (n / 2);
        } else if (mode == 3) {
            x -= (table_.average_width + c) * n;
        }
        int a = 0;
        for (unsigned char ch : s) {
            const int g = glyph_index(ch);
            x += a;
            if (g >= kGlyphCount) {
                continue;
            }
            if (x < 0 || x > 1023) {
                return;
            }
            const GlyphRect& r = table_.glyphs[g];
            const int w = r.right - r.left;
            const int h = r.bottom - r.top;
            c = std::min(c, std::min(w, h));
            stretch(font, r, x - c, y - c, x + w + c, y + h + 3 * (c / 4));
            a = w + c;
        }
    }

    std::vector<std::uint32_t>& pixels() { return rgb_; }
    int glyph_height() const { return table_.average_height; }
    int glyph_width() const { return table_.average_width; }
    int text_width(const std::string& s) const {
        int w = 0;
        for (unsigned char ch : s) {
            const int g = glyph_index(ch);
            if (g < kGlyphCount) {
                w += table_.glyphs[g].right - table_.glyphs[g].left;
            }
        }
        return w;
    }

    void save(const std::string& path, const std::string& corner = "") const {
        save_rgb(rgb_, kScreenW, kScreenH, path, corner);
    }

   private:
    const std::vector<Picture>& pics_;
    Picture red_font_;
    GlyphTable table_;
    std::vector<std::uint32_t> rgb_;
};

// A target as the game draws it: frames facing left are mirrored copies.
Picture mirrored(const Picture& p) {
    Picture m = p;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            m.pixels[static_cast<std::size_t>(y) * p.width + x] =
                p.pixels[static_cast<std::size_t>(y) * p.width + (p.width - 1 - x)];
        }
    }
    return m;
}

void status_line(Screen& s, int points, int time, int shells) {
    char line[80];
    std::snprintf(line, sizeof line, "Points:%04i", points);
    s.text(line, 10, 10, 1);
    std::snprintf(line, sizeof line, "Time:%03i", time);
    s.text(line, 794, 10, 1);
    for (int i = 0; i < shells; ++i) {
        s.blit(30, 1004 - 22 * (i + 1), 620);
    }
}

void play_scene(const std::vector<Picture>& pics, const std::string& dir) {
    struct Flyer {
        int entry;  // frame picture
        int x;      // screen x
        int y;
        bool left;
        bool behind;
    };
    struct Shot {
        std::uint32_t sky;
        int scroll;
        std::vector<Flyer> flyers;
        int peeker_place;
        int peeker_frame;
        int riser_x;
        int riser_frame;
        int points;
        int time;
        int shells;
        int pop;
        int impact_x;
        int impact_y;
        int figure_y;
        const char* name;
        const char* tune;
    };
    const std::vector<Shot> shots = {
        {0x2918E1,
         -512,
         {{5, 120, 90, false, true},
          {8, 700, 360, true, true},
          {11, 300, 400, false, true},
          {9, 180, 200, false, false},
          {12, 760, 150, true, false},
          {4, 420, 250, false, false},
          {16, 520, 470, false, false}},
         4,
         1,
         -1,
         0,
         155,
         87,
         6,
         35,
         620,
         520,
         -1,
         "play_day.png",
         nullptr},
        {0x323140,
         0,
         {{14, 430, 300, false, true},
          {6, 70, 330, false, false},
          {13, 610, 120, true, false},
          {18, 300, 250, false, false}},
         0,
         2,
         520,
         1,
         410,
         9,
         3,
         80,
         300,
         250,
         -1,
         "play_night.png",
         "My Tune"},
        {0x463CBA,
         -1024,
         {{17, 250, 380, false, true}, {7, 600, 140, true, false}, {15, 850, 300, true, false}},
         6,
         0,
         -1,
         0,
         1240,
         42,
         2,
         100,
         -1,
         -1,
         480,
         "play_dusk.png",
         nullptr},
        {0x423E6C,
         -300,
         {{10, 200, 160, false, false}, {14, 800, 380, true, true}},
         1,
         3,
         160,
         4,
         560,
         61,
         5,
         0,
         -1,
         -1,
         -1,
         "play_evening.png",
         nullptr},
        {0x2816EA,
         -700,
         {{4, 60, 120, false, false}, {11, 420, 330, true, true}, {6, 720, 240, true, false}},
         5,
         1,
         -1,
         0,
         890,
         23,
         1,
         0,
         -1,
         -1,
         -1,
         "play_noon.png",
         nullptr},
    };
    for (const Shot& shot : shots) {
        Screen s(pics);
        s.fill(shot.sky);
        for (const Flyer& f : shot.flyers) {
            if (f.behind) {
                s.blit(f.left ? mirrored(pics[f.entry]) : pics[f.entry], f.x, f.y);
            }
        }
        if (shot.peeker_place >= 0) {
            const Linienpunkt& p = Versteckorte[shot.peeker_place];
            s.blit(shot.peeker_frame == 4 ? 0 : 34 + shot.peeker_frame, p.x + shot.scroll, p.y - 3);
        }
        s.blit(1, shot.scroll, kLandscapeY);
        for (const Flyer& f : shot.flyers) {
            if (!f.behind) {
                s.blit(f.left ? mirrored(pics[f.entry]) : pics[f.entry], f.x, f.y);
            }
        }
        if (shot.riser_x >= 0) {
            s.blit(25 + shot.riser_frame, shot.riser_x, 580);
        }
        if (shot.figure_y >= 0) {
            s.blit(38, 356, shot.figure_y);
        }
        status_line(s, shot.points, shot.time, 0);
        if (shot.impact_x >= 0) {
            s.blit(2, shot.impact_x - 48, shot.impact_y - 48);
        }
        status_line(s, shot.points, shot.time, shot.shells);
        if (shot.pop > 0) {
            s.text("+" + std::to_string(shot.pop), 512, 10, 2, true);
        }
        if (shot.tune != nullptr) {
            s.text(shot.tune, 20, 718, 1);
        }
        s.save(dir + "/" + shot.name);
    }
}

void intro_scene(const std::vector<Picture>& pics, const std::string& dir) {
    const char* lines[4] = {"-3-", "-2-", "-1-", "Shot!"};
    for (int step = 0; step < 4; step += 3) {
        Screen s(pics);
        s.fill(step == 0 ? 0x463CBA : 0x2918E1);
        s.blit(1, -512, kLandscapeY);
        s.blit(19 + step, 356, 75);
        s.text("Round 1", 512, 290, 2);
        s.text(lines[step], 512, 355, 2);
        s.save(dir + "/intro_" + std::to_string(step) + ".png");
    }
}

void menu_scenes(const std::vector<Picture>& pics, const std::string& dir) {
    {
        Screen s(pics);
        s.fill(0);
        s.blit(32, 0, 0);
        s.text("Press SPACE to start", 552, 683, 2);
        s.save(dir + "/title.png", " Version 1014");
    }
    {
        Screen s(pics);
        s.fill(0);
        s.blit(24, 0, 0);
        const char* items[4] = {"Start Game", "Show Highscores", "Show Credits", "Exit Game"};
        const int xs[4] = {512, 512, 512, 492};
        for (int i = 0; i < 4; ++i) {
            s.text(items[i], xs[i], 100 + 100 * i, 2, i == 1);
        }
        s.save(dir + "/menu.png", " Version 1014");
    }
    {
        Screen s(pics);
        s.fill(0);
        s.blit(24, 0, 0);
        s.text("Are you sure you want to quite?", 512, 200, 2);
        s.text("(Y/N)", 502, 394, 2);
        s.save(dir + "/quit.png");
    }
    for (int won = 0; won < 2; ++won) {
        Screen s(pics);
        s.fill(0);
        s.blit(won ? 33 : 23, 0, 0);
        s.text("Top 10", 512, 75, 2);
        const char* names[10] = {"Rosalind",     "Bartholomew", "Maggie", "Tom",        "W",
                                 "MMMMMMMMMMMM", "Quentin",     "Ada",    "Wilhelmina", "Pip"};
        const int scores[10] = {2450, 2105, 1870, 1600, 1430, 1200, 995, 610, 305, 35};
        for (int i = 0; i < 10; ++i) {
            char line[80];
            const int y = 170 + i * s.glyph_height();
            std::snprintf(line, sizeof line, "%02i.", i + 1);
            s.text(line, 200 + 3 * i, y, 3);
            std::snprintf(line, sizeof line, "%12s", names[i]);
            s.text(line, 240 + 3 * i, y, 1);
            std::snprintf(line, sizeof line, "%04i", scores[i]);
            s.text(line, 720 + 3 * i, y, 1);
        }
        s.text("Press SPACE to exit", 512, 678, 2);
        s.save(dir + (won ? "/scores_won.png" : "/scores_lost.png"));
    }
    {
        Screen s(pics);
        s.fill(0);
        s.blit(3, 0, 0);
        const char* lines[5] = {"Game Design", "", "Friedhelm, Konrad Harbeck", "&  ",
                                "Jannik Wessel"};
        int y = 200;
        for (const char* line : lines) {
            s.text(line, 512 - s.text_width(line) / 2, y, 1);
            y += s.glyph_height() + 10;
        }
        s.save(dir + "/credits.png");
    }
    for (int won = 0; won < 2; ++won) {
        Screen s(pics);
        s.fill(won ? 0x2918E1 : 0x423E6C);
        s.blit(1, -200, kLandscapeY);
        if (won) {
            s.blit(38, 356, 430);
            s.text_grown("N E W  H I G H S C O R E", 110, 50, 1, 7, true);
            s.text("You have 1234 points.", 512, 200, 2);
            s.text("Name:", 512, 400, 2);
            s.text("(Rosalind)", 512, 500, 2, true);
            s.save(dir + "/new_highscore.png");
        } else {
            s.text_grown("G A M E  O V E R", 250, 50, 1, 4, true);
            s.text("You have only 0005 points.", 532, 212, 2);
            s.text("Would you like play again?", 512, 404, 2);
            s.text("(y/n)", 502, 534, 2);
            s.save(dir + "/game_over.png");
        }
    }
}

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

// The landscape in two halves over a sky colour, once plain and once with
// the horizon line (magenta) and the peeker's hiding places at their top
// (yellow) and start (orange) marked, to check the silhouette by eye.
void landscape_check(const std::vector<Picture>& pics, const std::string& dir) {
    const Picture& land = pics[1];
    for (int marked = 0; marked < 2; ++marked) {
        for (int half = 0; half < 2; ++half) {
            Screen s(pics);
            s.fill(0x463CBA);
            s.blit(land, -1024 * half, 0);
            if (marked != 0) {
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
            }
            s.save(dir + "/landscape" + (marked ? "_marked_" : "_") + std::to_string(half) +
                   ".png");
        }
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
    play_scene(pictures, dir);
    sprites_on_skies(pictures, dir);
    landscape_check(pictures, dir);
    intro_scene(pictures, dir);
    menu_scenes(pictures, dir);
}

}  // namespace assets
