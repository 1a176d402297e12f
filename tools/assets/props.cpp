// Small pictures of play: the shell of the ammunition row, the shot impact,
// and the four signs of the round intro.
#include <cmath>
#include <string>

#include "art.h"
#include "draw.h"

namespace assets {

namespace {

constexpr std::uint32_t kInk = 0x3E1E0C;
constexpr std::uint32_t kWoodDark = 0xA8733A;
constexpr std::uint32_t kWoodGrain = 0xB98344;

// Horizontal shading of a cylinder standing upright between x0 and x1.
cairo_pattern_t* cylinder(double x0, double x1, std::uint32_t dark, std::uint32_t mid,
                          std::uint32_t light) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
    add_stop(p, 0, dark);
    add_stop(p, 0.3, light);
    add_stop(p, 0.55, mid);
    add_stop(p, 1, dark);
    return p;
}

}  // namespace

Picture draw_shell() {
    Canvas c(32, 128);
    cairo_t* cr = c.cr();
    const double line = 1.6;
    // Plastic hull with a folded crimp at the top.
    cairo_move_to(cr, 5, 96);
    cairo_line_to(cr, 5, 16);
    cairo_curve_to(cr, 5, 8, 10, 4, 16, 4);
    cairo_curve_to(cr, 22, 4, 27, 8, 27, 16);
    cairo_line_to(cr, 27, 96);
    cairo_close_path(cr);
    cairo_pattern_t* hull = cylinder(5, 27, 0x7A1010, 0xC8241E, 0xF0625A);
    cairo_set_source(cr, hull);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(hull);
    set_colour(cr, 0x3A0808);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
    // crimp folds
    set_colour(cr, 0x6A0E0E);
    cairo_set_line_width(cr, 1.1);
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 10 + 6 * i, 6.5);
        cairo_line_to(cr, 12 + 4 * i, 14);
    }
    cairo_stroke(cr);
    // ribs
    set_colour(cr, 0xFFFFFF, 0.18);
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 10 + 5 * i, 20);
        cairo_line_to(cr, 10 + 5 * i, 88);
    }
    cairo_stroke(cr);
    // Brass head and rim.
    cairo_rectangle(cr, 4, 88, 24, 30);
    cairo_pattern_t* brass = cylinder(4, 28, 0x8A6414, 0xD8A93A, 0xFFF0A8);
    cairo_set_source(cr, brass);
    cairo_fill_preserve(cr);
    set_colour(cr, 0x4A3008);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
    rounded_rect(cr, 2, 116, 28, 8, 2);
    cairo_set_source(cr, brass);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(brass);
    set_colour(cr, 0x4A3008);
    cairo_stroke(cr);
    set_colour(cr, 0x6A4A10);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, 5, 93);
    cairo_line_to(cr, 27, 93);
    cairo_stroke(cr);
    return to_picture(c);
}

Picture draw_impact() {
    Canvas c(96, 96);
    cairo_t* cr = c.cr();
    Rng rng(2);
    // A ragged burst: long and short spikes in turn.
    std::vector<Pt> outer;
    const int spikes = 11;
    for (int i = 0; i < 2 * spikes; ++i) {
        const double a = 2 * M_PI * i / (2 * spikes) + rng.uniform(-0.08, 0.08);
        const double r = (i % 2 == 0) ? rng.uniform(36, 46) : rng.uniform(17, 22);
        outer.push_back({48 + r * std::cos(a), 48 + r * std::sin(a)});
    }
    cairo_move_to(cr, outer[0].x, outer[0].y);
    for (const Pt& p : outer) {
        cairo_line_to(cr, p.x, p.y);
    }
    cairo_close_path(cr);
    fill_stroke(cr, 0xFF8A1C, 0xA8360A, 2.4);
    std::vector<Pt> inner;
    for (std::size_t i = 0; i < outer.size(); ++i) {
        inner.push_back({48 + (outer[i].x - 48) * 0.62, 48 + (outer[i].y - 48) * 0.62});
    }
    cairo_move_to(cr, inner[0].x, inner[0].y);
    for (const Pt& p : inner) {
        cairo_line_to(cr, p.x, p.y);
    }
    cairo_close_path(cr);
    set_colour(cr, 0xFFDD4A);
    cairo_fill(cr);
    ellipse(cr, 48, 48, 11, 11);
    set_colour(cr, 0xFFFBE6);
    cairo_fill(cr);
    return to_picture(c);
}

Picture draw_round_intro(int step) {
    Canvas c(312, 352);
    cairo_t* cr = c.cr();
    const double cx = 156;
    const double cy = 108;
    // Post behind the target and the board.
    cairo_rectangle(cr, cx - 13, 150, 26, 202);
    cairo_pattern_t* post = cylinder(cx - 13, cx + 13, 0x6E4420, 0xA8743C, 0xC8945A);
    cairo_set_source(cr, post);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(post);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);

    // A straw archery target.
    ellipse(cr, cx, cy, 102, 102);
    fill_stroke(cr, 0xD9B25A, kInk, 4);
    const std::uint32_t rings[5] = {0xF6EEDC, 0xD8362A, 0xF6EEDC, 0xD8362A, 0xF4C430};
    for (int i = 0; i < 5; ++i) {
        ellipse(cr, cx, cy, 90 - 17 * i, 90 - 17 * i);
        fill_stroke(cr, rings[i], shade(rings[i], 0.6), 2);
    }
    // straw texture on the rim
    Rng rng(19 + step);
    cairo_set_line_width(cr, 1.4);
    set_colour(cr, 0xA8842E);
    for (int i = 0; i < 70; ++i) {
        const double a = rng.uniform(0, 2 * M_PI);
        const double r = rng.uniform(93, 99);
        cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        cairo_line_to(cr, cx + (r + 3) * std::cos(a + 0.05), cy + (r + 3) * std::sin(a + 0.05));
    }
    cairo_stroke(cr);

    if (step < 3) {
        // "-3-", "-2-", "-1-": the countdown as the game's line shows it.
        const std::string count = std::string("-") + static_cast<char>('3' - step) + "-";
        sign_lettering(cr, count, cx, cy + 50, 138, 0xFFFFFF, 0xFFD23C, 7);
    } else {
        // Crosshair over the target and the word across it.
        set_colour(cr, 0x1E120A);
        cairo_set_line_width(cr, 5);
        cairo_move_to(cr, cx - 112, cy);
        cairo_line_to(cr, cx - 24, cy);
        cairo_move_to(cr, cx + 24, cy);
        cairo_line_to(cr, cx + 112, cy);
        cairo_move_to(cr, cx, cy - 112);
        cairo_line_to(cr, cx, cy - 24);
        cairo_move_to(cr, cx, cy + 24);
        cairo_line_to(cr, cx, cy + 90);
        cairo_stroke(cr);
        ellipse(cr, cx, cy, 24, 24);
        cairo_stroke(cr);
        sign_lettering(cr, "Shot!", cx, cy + 30, 92, 0xFFFFFF, 0xFF9A2A, 6);
    }

    // The board that carries the round number and the countdown line.
    rounded_rect(cr, 26, 206, 260, 124, 10);
    fill_vertical(cr, 206, 330, 0xE6B470, 0xC99050, true);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    set_colour(cr, kWoodGrain);
    cairo_set_line_width(cr, 1.5);
    for (int i = 1; i < 3; ++i) {
        cairo_move_to(cr, 30, 206 + 41 * i);
        cairo_line_to(cr, 282, 206 + 41 * i);
    }
    cairo_stroke(cr);
    set_colour(cr, kWoodDark, 0.55);
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < 9; ++i) {
        const double y = 212 + rng.uniform(0, 112);
        const double x = 40 + rng.uniform(0, 180);
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x + 15, y - 2, x + 30, y + 2, x + rng.uniform(40, 60), y);
    }
    cairo_stroke(cr);
    for (int i = 0; i < 4; ++i) {
        ellipse(cr, i % 2 == 0 ? 40 : 272, i < 2 ? 220 : 316, 3.5, 3.5);
        fill_stroke(cr, 0x8C8C8C, 0x3A3A3A, 1.2);
    }
    return to_picture(c);
}

}  // namespace assets
