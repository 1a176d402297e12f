#include "scenery.h"

#include <algorithm>

namespace assets {

void ridge_path(cairo_t* cr, const Ridge& r, double x0, double x1, double bottom) {
    cairo_move_to(cr, x0, bottom);
    for (double x = x0; x <= x1; x += 2) {
        cairo_line_to(cr, x, r.at(x));
    }
    cairo_line_to(cr, x1, bottom);
    cairo_close_path(cr);
}

// A crown of leaves: a dark mass, mid-tone clusters and sunlit clusters on
// the upper left.
void crown(cairo_t* cr, double cx, double cy, double rx, double ry, Rng& rng) {
    blob(cr, cx, cy, rx, ry, 9, 0.12, rng);
    fill_stroke(cr, kLeafDark, kLeafDark, 2);
    const int n = static_cast<int>(6 + rx / 10);
    for (int i = 0; i < n; ++i) {
        const double a = rng.uniform(0, 2 * M_PI);
        const double d = rng.uniform(0.1, 0.6);
        const double bx = cx + std::cos(a) * rx * d;
        const double by = cy + std::sin(a) * ry * d - ry * 0.1;
        blob(cr, bx, by, rx * 0.38, ry * 0.38, 6, 0.15, rng);
        set_colour(cr, kLeaf);
        cairo_fill(cr);
    }
    for (int i = 0; i < n / 2; ++i) {
        const double bx = cx - rx * rng.uniform(0.05, 0.5);
        const double by = cy - ry * rng.uniform(0.15, 0.55);
        blob(cr, bx, by, rx * 0.24, ry * 0.22, 5, 0.15, rng);
        set_colour(cr, kLeafLight);
        cairo_fill(cr);
    }
}

void trunk(cairo_t* cr, double x, double top, double bottom, double w) {
    cairo_move_to(cr, x - w * 0.35, top);
    cairo_curve_to(cr, x - w * 0.4, (top + bottom) / 2, x - w * 0.5, bottom - 6, x - w, bottom);
    cairo_line_to(cr, x + w, bottom);
    cairo_curve_to(cr, x + w * 0.5, bottom - 6, x + w * 0.4, (top + bottom) / 2, x + w * 0.35, top);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(x - w, 0, x + w, 0);
    add_stop(p, 0, kBark);
    add_stop(p, 0.6, kBark);
    add_stop(p, 1, kBarkDark);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// Fields on a hillside: strips of crops from the ridge down behind the next
// ridge, with hedgerows between them that lean with the slope.
void fields(cairo_t* cr, const Ridge& hill, const Ridge& below, double x0, double x1, Rng& rng) {
    const std::uint32_t crops[] = {0xB4D26A, 0xE0CC72, 0x98C45A, 0xCDA874, 0xA6CE64, 0xD8D888};
    double x = x0;
    int k = rng.below(6);
    while (x < x1) {
        const double w = rng.uniform(110, 210);
        const double xa = x;
        const double xb = std::min(x1, x + w);
        const double lean_a = (xa - 1024) * 0.12;
        const double lean_b = (xb - 1024) * 0.12;
        cairo_move_to(cr, xa, hill.at(xa) + 5);
        for (double xx = xa; xx <= xb; xx += 4) {
            cairo_line_to(cr, xx, hill.at(xx) + 5);
        }
        cairo_line_to(cr, xb + lean_b, below.at(xb + lean_b) + 12);
        cairo_line_to(cr, xa + lean_a, below.at(xa + lean_a) + 12);
        cairo_close_path(cr);
        const std::uint32_t crop = crops[k % 6];
        set_colour(cr, crop);
        cairo_fill(cr);
        // furrows following the ridge
        set_colour(cr, shade(crop, 0.9));
        cairo_set_line_width(cr, 1.3);
        for (double f = 0.2; f < 1.0; f += 0.16) {
            for (double xx = xa + 2; xx <= xb - 2; xx += 6) {
                const double top = hill.at(xx) + 5;
                const double bot = below.at(xx) + 12;
                const double y = top + (bot - top) * f;
                if (xx == xa + 2) {
                    cairo_move_to(cr, xx + (lean_a + (lean_b - lean_a) * 0.5) * f, y);
                } else {
                    cairo_line_to(cr, xx + (lean_a + (lean_b - lean_a) * 0.5) * f, y);
                }
            }
            cairo_new_sub_path(cr);
        }
        cairo_stroke(cr);
        // hedgerow between fields
        cairo_move_to(cr, xb, hill.at(xb) + 4);
        cairo_line_to(cr, xb + lean_b, below.at(xb + lean_b) + 12);
        set_colour(cr, kHedge);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        x = xb;
        ++k;
    }
}

void farmhouse(cairo_t* cr, double x, double base) {
    // walls
    cairo_rectangle(cr, x, base - 22, 46, 22);
    fill_stroke(cr, 0xF2E6CC, 0x6A5A46, 1.5);
    // roof
    cairo_move_to(cr, x - 5, base - 21);
    cairo_line_to(cr, x + 9, base - 36);
    cairo_line_to(cr, x + 39, base - 36);
    cairo_line_to(cr, x + 51, base - 21);
    cairo_close_path(cr);
    fill_stroke(cr, 0xB84A32, 0x6A2A1C, 1.5);
    // chimney
    cairo_rectangle(cr, x + 32, base - 42, 5, 8);
    fill_stroke(cr, 0x9A5040, 0x5A2A1C, 1);
    // door and windows
    cairo_rectangle(cr, x + 20, base - 12, 6, 12);
    set_colour(cr, 0x6A4024);
    cairo_fill(cr);
    for (int i = 0; i < 2; ++i) {
        cairo_rectangle(cr, x + 6 + 28 * i, base - 17, 7, 6);
        set_colour(cr, 0x5A7890);
        cairo_fill(cr);
    }
    // barn beside it
    cairo_rectangle(cr, x + 56, base - 18, 30, 18);
    fill_stroke(cr, 0xA8442E, 0x5A2418, 1.5);
    cairo_move_to(cr, x + 54, base - 17);
    cairo_line_to(cr, x + 71, base - 30);
    cairo_line_to(cr, x + 88, base - 17);
    cairo_close_path(cr);
    fill_stroke(cr, 0x7A6A5A, 0x4A3A2A, 1.5);
    cairo_rectangle(cr, x + 65, base - 12, 12, 12);
    set_colour(cr, 0x5A2418);
    cairo_fill(cr);
}

void fence(cairo_t* cr, double x0, double x1, const Ridge& ground, double lift) {
    const std::uint32_t wood = 0xC89A62;
    const std::uint32_t edge = 0x5A3C20;
    for (int rail = 0; rail < 2; ++rail) {
        cairo_move_to(cr, x0, ground.at(x0) - lift + 10 + 14 * rail);
        for (double x = x0; x <= x1; x += 4) {
            cairo_line_to(cr, x, ground.at(x) - lift + 10 + 14 * rail);
        }
        set_colour(cr, edge);
        cairo_set_line_width(cr, 6.5);
        cairo_stroke_preserve(cr);
        set_colour(cr, wood);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
    }
    for (double x = x0; x <= x1; x += 58) {
        const double top = ground.at(x) - lift;
        rounded_rect(cr, x - 4, top, 8, lift + 6, 2);
        fill_stroke(cr, wood, edge, 1.6);
        cairo_move_to(cr, x - 2, top + 4);
        cairo_line_to(cr, x - 2, top + lift);
        set_colour(cr, 0xE2BC86);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
}

// A bramble thicket: dark leafy mound with blackberries and white blossom.
void bramble(cairo_t* cr, double cx, double base, double rx, double ry, Rng& rng) {
    for (int i = 0; i < 5; ++i) {
        const double bx = cx + rng.uniform(-0.6, 0.6) * rx;
        const double by = base - ry * rng.uniform(0.3, 0.7);
        blob(cr, bx, by, rx * rng.uniform(0.45, 0.7), ry * rng.uniform(0.5, 0.8), 8, 0.16, rng);
        fill_stroke(cr, i % 2 == 0 ? 0x2F6A2E : 0x3A7A34, 0x1E4A20, 1.6);
    }
    // arching canes
    set_colour(cr, 0x6A3A3A);
    cairo_set_line_width(cr, 1.8);
    for (int i = 0; i < 4; ++i) {
        const double sx = cx + rng.uniform(-0.7, 0.7) * rx;
        cairo_move_to(cr, sx, base - ry * 0.3);
        cairo_curve_to(cr, sx + rng.uniform(-20, 20), base - ry * 1.3, sx + rng.uniform(-40, 40),
                       base - ry * 1.1, sx + rng.uniform(-50, 50), base - ry * 0.5);
    }
    cairo_stroke(cr);
    // leaves highlights
    for (int i = 0; i < 14; ++i) {
        const double lx = cx + rng.uniform(-0.8, 0.8) * rx;
        const double ly = base - ry * rng.uniform(0.3, 1.0);
        ellipse(cr, lx, ly, 4, 2.5);
        set_colour(cr, 0x5E9C48);
        cairo_fill(cr);
    }
    // berries and blossom
    for (int i = 0; i < 18; ++i) {
        const double bx = cx + rng.uniform(-0.8, 0.8) * rx;
        const double by = base - ry * rng.uniform(0.25, 0.95);
        if (i % 4 == 3) {
            star(cr, bx, by, 4, 2, 5, rng.uniform(0, 1));
            set_colour(cr, 0xFFF8F0);
            cairo_fill(cr);
            ellipse(cr, bx, by, 1.2, 1.2);
            set_colour(cr, 0xF2C83A);
            cairo_fill(cr);
        } else {
            for (int k = 0; k < 3; ++k) {
                ellipse(cr, bx + (k % 2) * 2.6, by + (k / 2) * 2.6, 2.2, 2.2);
                set_colour(cr, i % 3 == 0 ? 0xB0283A : 0x3A1438);
                cairo_fill(cr);
            }
            ellipse(cr, bx - 0.6, by - 0.6, 0.8, 0.8);
            set_colour(cr, 0xE8C8E8);
            cairo_fill(cr);
        }
    }
}

void grass_tufts(cairo_t* cr, double x0, double x1, double base, Rng& rng) {
    for (double x = x0; x < x1; x += rng.uniform(5, 11)) {
        const double h = rng.uniform(10, 26);
        const std::uint32_t c = rng.below(2) != 0 ? 0x3E7A2A : 0x5A9A36;
        cairo_move_to(cr, x - 3, base);
        cairo_curve_to(cr, x - 2, base - h * 0.6, x + rng.uniform(-6, 6), base - h * 0.9,
                       x + rng.uniform(-8, 8), base - h);
        cairo_curve_to(cr, x + 1, base - h * 0.5, x + 2, base - h * 0.3, x + 3, base);
        cairo_close_path(cr);
        set_colour(cr, c);
        cairo_fill(cr);
    }
}

// A hedgerow along the top of a ridge: a dark leafy line with light specks.
void ridge_hedge(cairo_t* cr, const Ridge& r, Rng& rng, double x0, double x1, double height) {
    cairo_move_to(cr, x0, r.at(x0));
    for (double x = x0; x <= x1; x += 2) {
        cairo_line_to(cr, x, r.at(x) - height * (0.6 + 0.4 * std::sin(x * 0.45)));
    }
    for (double x = x1; x >= x0; x -= 2) {
        cairo_line_to(cr, x, r.at(x) + 3);
    }
    cairo_close_path(cr);
    set_colour(cr, height > 0 ? 0x3E7A34 : 0x4A8A34);
    cairo_fill(cr);
    if (height <= 0) {
        return;
    }
    for (double x = x0; x < x1; x += 4) {
        ellipse(cr, x + rng.uniform(-1, 1), r.at(x) - rng.uniform(0, height), 2.2, 1.6);
        set_colour(cr, rng.below(2) != 0 ? 0x5E9C48 : 0x2E6230);
        cairo_fill(cr);
    }
}

void sheep(cairo_t* cr, double x, double y, double s, bool left) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, left ? -s : s, s);
    set_colour(cr, 0x2A2424);
    cairo_set_line_width(cr, 2.2);
    for (int i = 0; i < 2; ++i) {
        cairo_move_to(cr, -5 + 10 * i, 0);
        cairo_line_to(cr, -5 + 10 * i, 7);
    }
    cairo_stroke(cr);
    Rng rng(static_cast<std::uint64_t>(x * 7 + y));
    blob(cr, 0, -4, 11, 7, 7, 0.14, rng);
    fill_stroke(cr, 0xFAF8F0, 0x8A8478, 1.2);
    ellipse(cr, 11, -6, 3.6, 2.8);
    set_colour(cr, 0x2A2424);
    cairo_fill(cr);
    cairo_restore(cr);
}

void flower_clusters(cairo_t* cr, double x0, double x1, const Ridge& ground, int count, double size,
                     Rng& rng) {
    const std::uint32_t petals[] = {0xFFFFFF, 0xFFE040, 0xE8423A, 0xF4E8FF, 0xC878E0};
    for (int i = 0; i < count; ++i) {
        const double cx = rng.uniform(x0, x1);
        const double cy = ground.at(cx) + rng.uniform(14, 60);
        const std::uint32_t c = petals[rng.below(5)];
        const int n = 4 + rng.below(5);
        for (int k = 0; k < n; ++k) {
            const double x = cx + rng.uniform(-16, 16);
            const double y = cy + rng.uniform(-6, 6);
            const double r = size * rng.uniform(0.7, 1.1);
            cairo_move_to(cr, x, y + r);
            cairo_line_to(cr, x, y + r * 2.6);
            set_colour(cr, 0x3E7A2A);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke(cr);
            for (int p = 0; p < 5; ++p) {
                const double a = p * 2 * M_PI / 5;
                ellipse(cr, x + r * 0.6 * std::cos(a), y + r * 0.6 * std::sin(a), r * 0.55,
                        r * 0.55);
            }
            set_colour(cr, c);
            cairo_fill(cr);
            ellipse(cr, x, y, r * 0.35, r * 0.35);
            set_colour(cr, c == 0xFFE040 ? 0xD08A10 : 0xF2C020);
            cairo_fill(cr);
        }
    }
}

}  // namespace assets
