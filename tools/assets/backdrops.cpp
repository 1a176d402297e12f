// The full-screen backgrounds (1024 x 768): title with the logo, menu with
// a signpost for the four items, the highscore table after a won and after
// a lost round, and the credits at night. They share the countryside of the
// landscape and leave calm room where the game draws its texts.
#include <cmath>
#include <string>

#include "art.h"
#include "draw.h"
#include "scenery.h"

namespace assets {

namespace {

constexpr int kW = 1024;
constexpr int kH = 768;
constexpr std::uint32_t kInk = 0x3E1E0C;

void sky(cairo_t* cr, double horizon, std::uint32_t top, std::uint32_t middle, std::uint32_t low) {
    cairo_rectangle(cr, 0, 0, kW, kH);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, horizon);
    add_stop(p, 0, top);
    add_stop(p, 0.6, middle);
    add_stop(p, 1, low);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void glow(cairo_t* cr, double x, double y, double r, std::uint32_t colour, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
    add_stop(p, 0, colour, alpha);
    add_stop(p, 1, colour, 0);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x - r, y - r, 2 * r, 2 * r);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// A fluffy cloud: puffs in the shadow colour, the same puffs a little up and
// to the left in the light colour.
void cloud(cairo_t* cr, double cx, double cy, double s, std::uint32_t light, std::uint32_t dark,
           Rng& rng) {
    struct Puff {
        double x, y, r;
    };
    std::vector<Puff> puffs;
    const int n = 5 + rng.below(3);
    for (int i = 0; i < n; ++i) {
        const double t = (i + 0.5) / n - 0.5;
        const double r = s * (0.28 + 0.22 * std::cos(t * M_PI) + rng.uniform(-0.04, 0.05));
        puffs.push_back({cx + t * s * 1.9, cy - r * 0.55 + rng.uniform(-3, 3), r});
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (const Puff& p : puffs) {
            const double k = pass == 0 ? 1.0 : 0.86;
            ellipse(cr, p.x - pass * s * 0.05, p.y - pass * s * 0.07, p.r * k, p.r * k);
        }
        rounded_rect(cr, cx - s * 0.95 - pass * s * 0.02, cy - s * 0.2 - pass * s * 0.06,
                     s * 1.9 - pass * s * 0.08, s * 0.3, s * 0.15);
        set_colour(cr, pass == 0 ? dark : light);
        cairo_fill(cr);
    }
}

// Rolling countryside from the horizon down to the bottom of the screen.
struct Country {
    Ridge far;
    Ridge mid;
    Ridge near;
};

Country countryside(cairo_t* cr, double horizon, Rng& rng, bool farm = true) {
    Country c{{horizon, 16, 0.0061, 0.5, 7, 0.017, 1.7},
              {horizon + 62, 18, 0.0049, 2.1, 7, 0.015, 0.4},
              {horizon + 170, 12, 0.0058, 0.9, 5, 0.021, 2.2}};
    ridge_path(cr, c.far, -4, kW + 4, kH + 4);
    fill_vertical(cr, horizon - 20, horizon + 80, 0x9CC688, 0x84B46C);
    ridge_hedge(cr, c.far, rng, -4, kW + 4, 5);
    for (int i = 0; i < 9; ++i) {
        const double x = rng.uniform(0, kW);
        const double base = c.far.at(x) + rng.uniform(8, 30);
        const double r = rng.uniform(10, 20);
        trunk(cr, x, base - r, base, 2.5);
        crown(cr, x, base - r * 1.3, r, r * 0.85, rng);
    }
    ridge_path(cr, c.mid, -4, kW + 4, kH + 4);
    fill_vertical(cr, horizon + 40, horizon + 160, 0x8EC062, 0x76AC4A);
    fields(cr, c.mid, c.near, -20, kW + 20, rng);
    if (farm) {
        farmhouse(cr, 600, c.mid.at(640) + 30);
    }
    ridge_hedge(cr, c.mid, rng, -4, kW + 4, 5);
    ridge_path(cr, c.near, -4, kW + 4, kH + 4);
    fill_vertical(cr, horizon + 150, kH, 0x6AA840, 0x3E7A26);
    ridge_hedge(cr, c.near, rng, -4, kW + 4, 5);
    return c;
}

// Draws the countryside into a group of its own and mixes it towards a
// colour, for evening and night, leaving the sky behind it untouched.
Country dim_countryside(cairo_t* cr, double horizon, Rng& rng, std::uint32_t colour,
                        double amount) {
    cairo_push_group(cr);
    Country land = countryside(cr, horizon, rng);
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    set_colour(cr, colour, amount);
    cairo_paint(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
    return land;
}

void wood_plank(cairo_t* cr, double x, double y, double w, double h, std::uint32_t top,
                std::uint32_t bottom, Rng& rng) {
    rounded_rect(cr, x, y, w, h, 8);
    fill_vertical(cr, y, y + h, top, bottom, true);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    // grain
    cairo_save(cr);
    rounded_rect(cr, x, y, w, h, 8);
    cairo_clip(cr);
    set_colour(cr, shade(bottom, 0.8), 0.6);
    cairo_set_line_width(cr, 1.2);
    for (int i = 0; i < 7; ++i) {
        const double gy = y + rng.uniform(6, h - 6);
        const double gx = x + rng.uniform(0, w * 0.6);
        cairo_move_to(cr, gx, gy);
        cairo_curve_to(cr, gx + 40, gy - 2, gx + 80, gy + 2, gx + rng.uniform(100, 200), gy);
    }
    cairo_stroke(cr);
    ellipse(cr, x + rng.uniform(30, w - 30), y + h * 0.5, 7, 3.5);
    set_colour(cr, shade(bottom, 0.75), 0.7);
    cairo_stroke(cr);
    cairo_restore(cr);
    for (int side = 0; side < 2; ++side) {
        ellipse(cr, side == 0 ? x + 14 : x + w - 14, y + h / 2, 4, 4);
        fill_stroke(cr, 0x9A9A9A, 0x3A3A3A, 1.4);
    }
}

void post(cairo_t* cr, double x, double top, double bottom, double w) {
    rounded_rect(cr, x - w / 2, top, w, bottom - top, 4);
    cairo_pattern_t* p = cairo_pattern_create_linear(x - w / 2, 0, x + w / 2, 0);
    add_stop(p, 0, 0x8A5A2E);
    add_stop(p, 0.35, 0xB8844A);
    add_stop(p, 1, 0x6A4220);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, 3.5);
    cairo_stroke(cr);
}

// A bramble spray for decoration: a curving cane with leaves and berries.
void bramble_spray(cairo_t* cr, const std::vector<Pt>& cane, Rng& rng) {
    smooth_open(cr, cane);
    set_colour(cr, 0x5A2A34);
    cairo_set_line_width(cr, 5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    for (std::size_t i = 1; i < cane.size(); ++i) {
        const Pt a = cane[i - 1];
        const Pt b = cane[i];
        const double ang = std::atan2(b.y - a.y, b.x - a.x);
        for (int side = -1; side <= 1; side += 2) {
            cairo_save(cr);
            cairo_translate(cr, (a.x + b.x) / 2, (a.y + b.y) / 2);
            cairo_rotate(cr, ang + side * 0.9);
            cairo_move_to(cr, 0, 0);
            cairo_curve_to(cr, 8, -9, 22, -8, 30, 0);
            cairo_curve_to(cr, 22, 8, 8, 9, 0, 0);
            cairo_restore(cr);
            fill_stroke(cr, side < 0 ? 0x4E9A3C : 0x3C8030, 0x1E4A1C, 2);
        }
        if (i % 2 == 0) {
            const double bx = b.x + rng.uniform(-6, 6);
            const double by = b.y + 12;
            for (int k = 0; k < 7; ++k) {
                const double a2 = k * 2 * M_PI / 6;
                const double r = k == 6 ? 0 : 4.5;
                ellipse(cr, bx + r * std::cos(a2), by + r * std::sin(a2), 4, 4);
                fill_stroke(cr, i % 4 == 0 ? 0x3A1240 : 0xA02848, 0x1A0818, 1);
            }
            ellipse(cr, bx - 2, by - 3, 1.6, 1.6);
            set_colour(cr, 0xF0D8F0);
            cairo_fill(cr);
        }
    }
}

void logo(cairo_t* cr, Rng& rng) {
    const std::string name = "Bramblecourt";
    const double em = 150;
    const double width = Typeface::bold().text_width(name, em);
    const double fit = std::min(1.0, 880 / width);
    // A bramble cane curls under the name.
    bramble_spray(
        cr, {{140, 248}, {260, 262}, {400, 252}, {540, 266}, {690, 254}, {840, 262}, {900, 244}},
        rng);
    sign_lettering(cr, name, 512, 222, em * fit, 0xFFF6D0, 0xF2A22E, 9);
}

void signpost_menu(cairo_t* cr, Rng& rng) {
    post(cr, 270, 70, 700, 30);
    post(cr, 754, 70, 700, 30);
    // cap on the posts
    for (double x : {270.0, 754.0}) {
        cairo_move_to(cr, x - 20, 72);
        cairo_line_to(cr, x, 52);
        cairo_line_to(cr, x + 20, 72);
        cairo_close_path(cr);
        fill_stroke(cr, 0x8A5A2E, kInk, 3.5);
    }
    for (int i = 0; i < 4; ++i) {
        const double y = 100 + 100 * i - 16;
        wood_plank(cr, 196, y, 632, 66, 0xEBC283, 0xD09A58, rng);
    }
}

void notice_board(cairo_t* cr, bool sunny, Rng& rng) {
    // posts and frame
    post(cr, 140, 130, 640, 28);
    post(cr, 884, 130, 640, 28);
    rounded_rect(cr, 112, 150, 800, 398, 14);
    fill_vertical(cr, 150, 548, sunny ? 0xB8824A : 0x8A6A4E, sunny ? 0x94622E : 0x6E5038, true);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    // paper
    rounded_rect(cr, 128, 162, 768, 374, 6);
    fill_vertical(cr, 162, 536, sunny ? 0xFFF8E6 : 0xE6E2D6, sunny ? 0xF4E6C2 : 0xCFCABA, true);
    set_colour(cr, 0x8A7A5A);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // faint ruled lines under the table rows
    set_colour(cr, sunny ? 0xE2D2AA : 0xBDB8A8);
    cairo_set_line_width(cr, 1.5);
    for (int i = 1; i < 11; ++i) {
        const double y = 170 + 32 * i - 1.5;
        cairo_move_to(cr, 150, y);
        cairo_line_to(cr, 874, y);
    }
    cairo_stroke(cr);
    // pins
    for (int i = 0; i < 4; ++i) {
        const double x = i % 2 == 0 ? 140 : 884;
        const double y = i < 2 ? 176 : 522;
        ellipse(cr, x, y, 6, 6);
        fill_stroke(cr, sunny ? 0xE04838 : 0x9A5048, 0x4A1010, 1.5);
    }
    // the "Top 10" plaque above
    rounded_rect(cr, 372, 58, 280, 62, 12);
    fill_vertical(cr, 58, 120, sunny ? 0xF6D27A : 0xB8A890, sunny ? 0xE0A83E : 0x98886E, true);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    (void)rng;
}

void bunting(cairo_t* cr, Rng& rng) {
    const std::uint32_t flags[] = {0xE84A3C, 0xF4C430, 0x4AA8E8, 0x5CC05A, 0xB65CD8};
    for (int row = 0; row < 2; ++row) {
        const double x0 = row == 0 ? -10 : 520;
        const double x1 = row == 0 ? 504 : 1034;
        const double sag = 34;
        auto y_at = [&](double x) {
            const double t = (x - x0) / (x1 - x0);
            return 14 + sag * 4 * t * (1 - t);
        };
        cairo_move_to(cr, x0, y_at(x0));
        for (double x = x0; x <= x1; x += 4) {
            cairo_line_to(cr, x, y_at(x));
        }
        set_colour(cr, 0x5A4030);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        int k = row * 2;
        for (double x = x0 + 18; x < x1 - 10; x += 34) {
            const double y = y_at(x);
            const double y2 = y_at(x + 24);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + 24, y2);
            cairo_line_to(cr, x + 12 + rng.uniform(-2, 2), (y + y2) / 2 + 30);
            cairo_close_path(cr);
            const std::uint32_t c = flags[k++ % 5];
            fill_stroke(cr, c, shade(c, 0.55), 1.5);
        }
    }
}

void rain(cairo_t* cr, Rng& rng) {
    set_colour(cr, 0xC8D4E8, 0.55);
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 420; ++i) {
        const double x = rng.uniform(-40, kW);
        const double y = rng.uniform(0, kH);
        const double l = rng.uniform(10, 22);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + l * 0.25, y + l);
    }
    cairo_stroke(cr);
}

void stars(cairo_t* cr, double bottom, Rng& rng) {
    for (int i = 0; i < 170; ++i) {
        const double x = rng.uniform(0, kW);
        const double y = rng.uniform(0, bottom);
        const double r = rng.uniform(0.8, 2.0);
        ellipse(cr, x, y, r, r);
        set_colour(cr, rng.below(4) == 0 ? 0xFFF0C0 : 0xFFFFFF, rng.uniform(0.6, 1.0));
        cairo_fill(cr);
        if (r > 1.7) {
            star(cr, x, y, r * 3.2, r * 0.5, 4);
            set_colour(cr, 0xFFFFFF, 0.7);
            cairo_fill(cr);
        }
    }
}

void moon(cairo_t* cr, double x, double y, double r) {
    glow(cr, x, y, r * 3.2, 0xFFF4D0, 0.28);
    ellipse(cr, x, y, r, r);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.3, y - r * 0.3, r * 0.1, x, y, r);
    add_stop(p, 0, 0xFFFCE8);
    add_stop(p, 1, 0xF0DCA0);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    const double craters[][3] = {
        {-0.3, -0.2, 0.18}, {0.25, 0.1, 0.12}, {-0.05, 0.35, 0.1}, {0.3, -0.35, 0.08}};
    for (const auto& c : craters) {
        ellipse(cr, x + c[0] * r, y + c[1] * r, c[2] * r, c[2] * r);
        set_colour(cr, 0xE0C888, 0.7);
        cairo_fill(cr);
    }
}

void trophy(cairo_t* cr, double x, double y, double s) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, s, s);
    cairo_pattern_t* gold = cairo_pattern_create_linear(-30, 0, 30, 0);
    add_stop(gold, 0, 0xB8860B);
    add_stop(gold, 0.4, 0xFFE27A);
    add_stop(gold, 1, 0xC8961E);
    for (int side = -1; side <= 1; side += 2) {
        cairo_new_path(cr);
        cairo_arc(cr, side * 30, -26, 13, side < 0 ? M_PI * 0.5 : -M_PI * 0.5,
                  side < 0 ? M_PI * 1.5 : M_PI * 0.5);
        set_colour(cr, kInk);
        cairo_set_line_width(cr, 10);
        cairo_stroke_preserve(cr);
        set_colour(cr, 0xE8B830);
        cairo_set_line_width(cr, 5);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, -32, -44);
    cairo_line_to(cr, 32, -44);
    cairo_curve_to(cr, 32, -6, 16, 12, 0, 14);
    cairo_curve_to(cr, -16, 12, -32, -6, -32, -44);
    cairo_close_path(cr);
    cairo_set_source(cr, gold);
    cairo_fill_preserve(cr);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, 3.5);
    cairo_stroke(cr);
    cairo_rectangle(cr, -6, 14, 12, 14);
    cairo_set_source(cr, gold);
    cairo_fill_preserve(cr);
    set_colour(cr, kInk);
    cairo_stroke(cr);
    rounded_rect(cr, -24, 28, 48, 14, 3);
    set_colour(cr, 0x6A4424);
    cairo_fill_preserve(cr);
    set_colour(cr, kInk);
    cairo_stroke(cr);
    star(cr, 0, -18, 11, 5, 5);
    set_colour(cr, 0xFFF6C0);
    cairo_fill(cr);
    cairo_pattern_destroy(gold);
    cairo_restore(cr);
}

void confetti(cairo_t* cr, int count, Rng& rng, bool avoid_board) {
    const std::uint32_t colours[] = {0xF2C230, 0xE8483C, 0x46A8E8, 0xF6F2E8, 0xB65CD8, 0x5CC05A};
    for (int i = 0; i < count; ++i) {
        const double x = rng.uniform(0, kW);
        const double y = rng.uniform(0, kH);
        if (avoid_board && x > 100 && x < 924 && y > 50 && y < 560) {
            continue;
        }
        if (y > 650 && x > 300 && x < 720) {
            continue;  // leave the prompt line clear
        }
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, rng.uniform(0, M_PI));
        cairo_rectangle(cr, -6, -3, 12, 6);
        cairo_restore(cr);
        const std::uint32_t c = colours[rng.below(6)];
        fill_stroke(cr, c, shade(c, 0.55), 1.2);
    }
}

Picture title() {
    Canvas c(kW, kH);
    cairo_t* cr = c.cr();
    Rng rng(32);
    const double horizon = 430;
    sky(cr, horizon, 0x3A7ED0, 0x9CCDF0, 0xFFE2A8);
    glow(cr, 790, 420, 260, 0xFFF0B0, 0.75);
    ellipse(cr, 790, 420, 54, 54);
    set_colour(cr, 0xFFF4C8);
    cairo_fill(cr);
    cloud(cr, 170, 120, 90, 0xFFFFFF, 0xC8D8EE, rng);
    cloud(cr, 880, 90, 70, 0xFFFFFF, 0xC8D8EE, rng);
    cloud(cr, 560, 330, 60, 0xFFF6EA, 0xE8C8B0, rng);
    Country land = countryside(cr, horizon, rng);
    fence(cr, -10, 380, land.near, 46);
    fence(cr, 700, kW + 10, land.near, 46);
    flower_clusters(cr, 0, kW, land.near, 26, 4.5, rng);
    bramble(cr, 90, 776, 150, 110, rng);
    bramble(cr, 950, 776, 150, 120, rng);
    grass_tufts(cr, 0, kW, 772, rng);
    // The hare peeks from behind the right-hand bramble.
    cairo_save(cr);
    cairo_translate(cr, 820, 560);
    cairo_scale(cr, 0.9, 0.9);
    paint_riser(cr, 2);
    cairo_restore(cr);
    bramble(cr, 860, 780, 120, 70, rng);
    // A bird flies past the logo.
    cairo_save(cr);
    cairo_translate(cr, 760, 286);
    cairo_scale(cr, 0.6, 0.6);
    paint_bird(cr, 0, 4);
    cairo_restore(cr);
    logo(cr, rng);
    return to_picture(c, {true, 128});
}

Picture menu() {
    Canvas c(kW, kH);
    cairo_t* cr = c.cr();
    Rng rng(24);
    const double horizon = 470;
    sky(cr, horizon, 0x4A8AD8, 0xA8D4F2, 0xE8F4E0);
    cloud(cr, 110, 160, 80, 0xFFFFFF, 0xC8D8EE, rng);
    cloud(cr, 930, 250, 74, 0xFFFFFF, 0xC8D8EE, rng);
    cloud(cr, 880, 70, 50, 0xFFFFFF, 0xC8D8EE, rng);
    Country land = countryside(cr, horizon, rng);
    flower_clusters(cr, 0, kW, land.near, 20, 4.5, rng);
    // A tree on the left frames the signpost.
    trunk(cr, 96, 300, 700, 22);
    crown(cr, 90, 250, 150, 120, rng);
    signpost_menu(cr, rng);
    // The bird sits on the left post, the stoat peeks past the right one.
    cairo_save(cr);
    cairo_translate(cr, 232, 2);
    cairo_scale(cr, 0.42, 0.42);
    paint_bird(cr, 3, 4);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 690, 590);
    paint_peeker(cr, 1);
    cairo_restore(cr);
    bramble(cr, 760, 780, 170, 120, rng);
    bramble(cr, 120, 780, 160, 90, rng);
    grass_tufts(cr, 0, kW, 772, rng);
    return to_picture(c, {true, 128});
}

Picture scores(bool won) {
    Canvas c(kW, kH);
    cairo_t* cr = c.cr();
    Rng rng(won ? 33 : 23);
    const double horizon = 500;
    if (won) {
        sky(cr, horizon, 0x2E78D8, 0x8CC8F2, 0xDFF2F8);
        glow(cr, 930, 80, 200, 0xFFF8C0, 0.8);
        ellipse(cr, 930, 80, 44, 44);
        set_colour(cr, 0xFFF6C8);
        cairo_fill(cr);
        cloud(cr, 90, 90, 60, 0xFFFFFF, 0xC8D8EE, rng);
    } else {
        sky(cr, horizon, 0x3A3C58, 0x6A6A88, 0x9A94A8);
        cloud(cr, 160, 70, 110, 0x8A8AA0, 0x5A5A74, rng);
        cloud(cr, 560, 40, 130, 0x9494AA, 0x60607A, rng);
        cloud(cr, 930, 90, 110, 0x8A8AA0, 0x5A5A74, rng);
    }
    Country land =
        won ? countryside(cr, horizon, rng) : dim_countryside(cr, horizon, rng, 0x3A3A5E, 0.42);
    notice_board(cr, won, rng);
    if (won) {
        bunting(cr, rng);
        confetti(cr, 120, rng, true);
        trophy(cr, 56, 640, 1.2);
        cairo_save(cr);
        cairo_translate(cr, 850, 590);
        cairo_scale(cr, 0.55, 0.55);
        paint_cheering_figure(cr);
        cairo_restore(cr);
    } else {
        rain(cr, rng);
        // A puddle and a soggy bird on the board.
        ellipse(cr, 160, 720, 120, 22);
        set_colour(cr, 0x7A8AA8, 0.8);
        cairo_fill(cr);
        cairo_save(cr);
        cairo_translate(cr, 792, 82);
        cairo_scale(cr, 0.45, 0.45);
        paint_bird(cr, 1, 4);
        cairo_restore(cr);
        bramble(cr, 940, 780, 130, 90, rng);
    }
    grass_tufts(cr, 0, kW, 772, rng);
    (void)land;
    return to_picture(c, {true, 128});
}

Picture credits() {
    Canvas c(kW, kH);
    cairo_t* cr = c.cr();
    Rng rng(3);
    const double horizon = 540;
    sky(cr, horizon, 0x0A1030, 0x1E2654, 0x3E3C70);
    stars(cr, horizon, rng);
    moon(cr, 840, 130, 56);
    Country land = dim_countryside(cr, horizon, rng, 0x0E1838, 0.66);
    // Lit windows of the farm (drawn at x 600 by the countryside).
    const double base = land.mid.at(640) + 30;
    for (int i = 0; i < 2; ++i) {
        cairo_rectangle(cr, 606 + 28 * i, base - 17, 7, 6);
        set_colour(cr, 0xFFD870);
        cairo_fill(cr);
        glow(cr, 609.5 + 28 * i, base - 14, 16, 0xFFD870, 0.45);
    }
    for (int i = 0; i < 40; ++i) {
        const double x = rng.uniform(0, kW);
        const double y = rng.uniform(horizon + 60, kH - 20);
        glow(cr, x, y, 9, 0xF4FF90, 0.55);
        ellipse(cr, x, y, 1.8, 1.8);
        set_colour(cr, 0xFCFFD0);
        cairo_fill(cr);
    }
    return to_picture(c, {true, 128});
}

}  // namespace

Picture draw_backdrop(Backdrop which) {
    switch (which) {
        case Backdrop::kTitle:
            return title();
        case Backdrop::kMenu:
            return menu();
        case Backdrop::kScoresWon:
            return scores(true);
        case Backdrop::kScoresLost:
            return scores(false);
        case Backdrop::kCredits:
            return credits();
    }
    return title();
}

}  // namespace assets
