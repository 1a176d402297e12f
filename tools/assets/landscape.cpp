// The landscape (entry 1, 2048 x 448, drawn at screen y 320): hills with
// hedgerows and trees whose top edge is the horizon line, fields and a farm
// in the middle distance, a lane through a gap in the hedge, and a
// foreground of fences, brambles and flowers. The sky is left transparent.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "catalogue.h"
#include "draw.h"
#include "scenery.h"

namespace assets {

namespace {

constexpr int kW = 2048;
constexpr int kH = 448;

// Row of the landscape picture where the horizon line is, at x.
double line_row(double x) {
    return horizon_at(x) - kLandscapeY;
}

// Small upward scallops along the top edge, like the leaves of a hedge.
// They stay within 1.5 pixels of the line either way, less where the line is
// steep, so every column's top stays close to the line.
double scallop(double x) {
    // Scallop widths vary between 7 and 12 pixels along the line.
    static std::vector<double> starts;
    if (starts.empty()) {
        Rng rng(1001);
        double at = -12;
        while (at < kW + 12) {
            starts.push_back(at);
            at += rng.uniform(7, 12);
        }
    }
    const auto it = std::upper_bound(starts.begin(), starts.end(), x);
    const double a = *(it - 1);
    const double b = *it;
    const double t = (x - a) / (b - a) * 2 - 1;  // -1..1 across one scallop
    const double slope = std::abs(line_row(x + 1) - line_row(x - 1)) / 2;
    const double amp = 1.5 / (1 + 0.5 * slope);
    return amp - 2 * amp * std::sqrt(std::max(0.0, 1 - t * t));
}

double top_row(double x) {
    return line_row(x) + scallop(x);
}

void silhouette_path(cairo_t* cr) {
    cairo_move_to(cr, -2, kH + 2);
    // Column x's top is the line at x; the vertex sits at the column's centre.
    for (int x = -2; x <= kW + 2; ++x) {
        cairo_line_to(cr, x + 0.5, top_row(std::clamp(x, 0, kW - 1)));
    }
    cairo_line_to(cr, kW + 2, kH + 2);
    cairo_close_path(cr);
}

// The hedgerows and tree crowns that make up the top edge: a band of hedge
// under the whole line, thicker where trees stand.
void crest(cairo_t* cr, Rng& rng) {
    // Hedge band with a leafy lower edge.
    cairo_move_to(cr, -4, top_row(0) - 3);
    for (int x = -4; x <= kW + 4; x += 2) {
        cairo_line_to(cr, x, top_row(std::clamp(x, 0, kW - 1)) - 3);
    }
    for (int x = kW + 4; x >= -4; x -= 6) {
        const double depth = 12 + 5 * std::sin(x * 0.05) + rng.uniform(0, 4);
        cairo_line_to(cr, x, line_row(std::clamp(x, 0, kW - 1)) + depth);
    }
    cairo_close_path(cr);
    set_colour(cr, kHedge);
    cairo_fill(cr);
    // Leaf texture along the hedge.
    for (int x = 0; x < kW; x += 5) {
        const double y = line_row(x) + rng.uniform(2, 12);
        ellipse(cr, x + rng.uniform(-2, 2), y, rng.uniform(2.5, 4.5), rng.uniform(2, 3.2));
        set_colour(cr, rng.below(3) == 0 ? kHedgeLight : kHedgeDark);
        cairo_fill(cr);
    }
    // Trees on the crest, where the line rises in domes.
    const struct {
        double cx, cy, rx, ry, trunk_bottom;
    } trees[] = {
        {990, 72, 84, 46, 150},   // the big oak on the hill
        {1098, 96, 46, 26, 132},  // its smaller neighbour
        {1503, 102, 66, 38, 165}, {572, 150, 50, 32, 196}, {1652, 124, 38, 24, 168},
    };
    for (const auto& t : trees) {
        trunk(cr, t.cx + 4, t.cy + t.ry * 0.5, t.trunk_bottom, t.rx * 0.12 + 3);
        crown(cr, t.cx, t.cy, t.rx, t.ry, rng);
    }
    // A sunlit rim right under the edge keeps it crisp against dark skies.
    cairo_move_to(cr, 0, top_row(0) + 1.5);
    for (int x = 0; x < kW; ++x) {
        cairo_line_to(cr, x, top_row(x) + 1.5);
    }
    set_colour(cr, 0x8CC05A, 0.55);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

// Far fields in muted colours: bands that follow the crest's contour, with
// thin hedges between them and small copses.
void distant_patchwork(cairo_t* cr, Rng& rng) {
    const std::uint32_t tints[] = {0x96C07C, 0xAECA82, 0x86B46C, 0xA2C27A};
    auto smooth_line = [](double x) {
        // the crest line, smoothed over 60 pixels so the bands flow
        double sum = 0;
        for (int k = -6; k <= 6; ++k) {
            sum += line_row(std::clamp(x + 10 * k, 0.0, kW - 1.0));
        }
        return sum / 13;
    };
    for (int band = 0; band < 4; ++band) {  // each band covers the lower part of the one before
        const double off = 22 + 26 * band;
        cairo_move_to(cr, -4, kH);
        for (double x = -4; x <= kW + 4; x += 4) {
            cairo_line_to(cr, x, smooth_line(x) + off + 4 * std::sin(x * 0.013 + band));
        }
        cairo_line_to(cr, kW + 4, kH);
        cairo_close_path(cr);
        set_colour(cr, tints[band]);
        cairo_fill(cr);
        cairo_move_to(cr, -4, smooth_line(-4) + off);
        for (double x = -4; x <= kW + 4; x += 4) {
            cairo_line_to(cr, x, smooth_line(x) + off + 4 * std::sin(x * 0.013 + band));
        }
        set_colour(cr, 0x628E52);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    for (int i = 0; i < 30; ++i) {
        const double cx = rng.uniform(0, kW);
        const double cy = smooth_line(cx) + 22 + 26 * rng.below(3) - 3;
        if (cy < line_row(cx) + 14) {
            continue;  // keep the crest's edge clear
        }
        // a small distant tree, paler than the near ones
        const double r = rng.uniform(6, 10);
        trunk(cr, cx, cy - r * 0.4, cy + r * 0.5, 1.6);
        blob(cr, cx, cy - r * 0.7, r, r * 0.8, 7, 0.12, rng);
        set_colour(cr, 0x55864C);
        cairo_fill(cr);
        blob(cr, cx - r * 0.3, cy - r * 1.0, r * 0.45, r * 0.35, 5, 0.1, rng);
        set_colour(cr, 0x86B470);
        cairo_fill(cr);
    }
}

// Tall grass along the edges of the lane.
void grass_verge(cairo_t* cr, Rng& rng) {
    for (int side = 0; side < 2; ++side) {
        for (double t = 0.05; t < 1.0; t += 0.03) {
            // follow the lane's edges from the gap down to the bottom
            const double y = 232 + t * 220;
            const double x =
                side == 0 ? 1244 + (1180 - 1244) * t * t : 1266 + (1380 - 1266) * t * t;
            const double h = 4 + 14 * t;
            const double dir = side == 0 ? -1 : 1;
            cairo_move_to(cr, x - 2, y);
            cairo_curve_to(cr, x, y - h * 0.5, x + dir * h * 0.2, y - h * 0.8,
                           x + dir * rng.uniform(1, 5) * t, y - h);
            cairo_line_to(cr, x + 2, y);
            cairo_close_path(cr);
            set_colour(cr, rng.below(2) != 0 ? 0x4E8E30 : 0x6AA83E);
            cairo_fill(cr);
        }
    }
}

// A haystack standing on the ground at `base`, hw wide each side of cx.
void haystack(cairo_t* cr, double cx, double base, double hw, double top, std::uint64_t seed) {
    auto outline = [&] {
        cairo_move_to(cr, cx - hw, base);
        cairo_curve_to(cr, cx - hw - 6, base - (base - top) * 0.45, cx - hw * 0.75, top + 4, cx,
                       top);
        cairo_curve_to(cr, cx + hw * 0.75, top + 4, cx + hw + 6, base - (base - top) * 0.45,
                       cx + hw, base);
        cairo_close_path(cr);
    };
    // its shadow on the grass
    ellipse(cr, cx + hw * 0.15, base + 1, hw * 1.25, 5 + hw * 0.05);
    set_colour(cr, 0x4E7E40, 0.7);
    cairo_fill(cr);
    outline();
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - hw * 0.35, top + (base - top) * 0.25, 4,
                                                     cx, top + (base - top) * 0.5, hw * 1.3);
    add_stop(p, 0, 0xF4D47A);
    add_stop(p, 0.6, 0xD8AE4A);
    add_stop(p, 1, 0xA87C2C);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    set_colour(cr, 0x6E4E1C);
    cairo_set_line_width(cr, hw > 30 ? 2.2 : 1.4);
    cairo_stroke(cr);
    // straw strokes, clipped to the stack
    cairo_save(cr);
    outline();
    cairo_clip(cr);
    Rng rng(seed);
    cairo_set_line_width(cr, hw > 30 ? 1.3 : 1.0);
    const int strokes = static_cast<int>(hw * (base - top) / 40);
    for (int i = 0; i < strokes; ++i) {
        const double x = rng.uniform(cx - hw, cx + hw);
        const double y = rng.uniform(top, base);
        const double a = (x - cx) / hw * 0.6 + rng.uniform(-0.3, 0.3);
        const double l = hw > 30 ? 9 : 5;
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + l * std::sin(a), y + l * std::cos(a));
        set_colour(cr, rng.below(2) != 0 ? 0xB8892E : 0xFBE49A);
        cairo_stroke(cr);
    }
    // band of rope
    const double band = top + (base - top) * 0.6;
    cairo_move_to(cr, cx - hw - 4, band);
    cairo_curve_to(cr, cx - hw * 0.4, band + 10, cx + hw * 0.4, band + 10, cx + hw + 4, band);
    set_colour(cr, 0x8A5A2A);
    cairo_set_line_width(cr, hw > 30 ? 3 : 2);
    cairo_stroke(cr);
    cairo_restore(cr);
    // loose straw at the foot
    cairo_move_to(cr, cx - hw - 8, base + 2);
    cairo_curve_to(cr, cx - hw * 0.5, base - 6, cx + hw * 0.5, base - 6, cx + hw + 8, base + 2);
    cairo_close_path(cr);
    set_colour(cr, 0xC89A40);
    cairo_fill(cr);
}

}  // namespace

Picture draw_landscape() {
    Canvas c(kW, kH);
    cairo_t* cr = c.cr();
    Rng rng(1);

    cairo_save(cr);
    silhouette_path(cr);
    cairo_clip(cr);

    // Far hills: soft blue-green under the crest.
    cairo_rectangle(cr, 0, 0, kW, kH);
    cairo_pattern_t* far = cairo_pattern_create_linear(0, 40, 0, 240);
    add_stop(far, 0, 0x8CB878);
    add_stop(far, 1, 0x74A45C);
    cairo_set_source(cr, far);
    cairo_fill(cr);
    cairo_pattern_destroy(far);
    // Contour fields on the far slopes and a few copses.
    distant_patchwork(cr, rng);

    crest(cr, rng);
    // A smaller haystack in the same field, below the line.
    haystack(cr, 470, 196, 18, 166, 470);

    // Middle distance: a hillside of fields with the farm in the valley.
    const Ridge hill1{222, 20, 0.0047, 0.9, 8, 0.0131, 2.0};
    const Ridge hill2{282, 14, 0.0058, 2.4, 6, 0.019, 0.3};
    ridge_path(cr, hill1, -4, kW + 4, kH + 4);
    fill_vertical(cr, 190, 300, 0x8EC062, 0x76AC4A);
    fields(cr, hill1, hill2, -20, kW + 20, rng);
    farmhouse(cr, 1010, hill1.at(1050) + 26);
    ridge_hedge(cr, hill1, rng, -4, kW + 4, 5);
    sheep(cr, 470, hill1.at(470) + 34, 0.8, false);
    sheep(cr, 505, hill1.at(505) + 40, 0.8, true);
    sheep(cr, 1560, hill1.at(1560) + 30, 0.8, true);

    ridge_path(cr, hill2, -4, kW + 4, kH + 4);
    fill_vertical(cr, 260, 380, 0x78B04A, 0x5E9A3A);
    ridge_hedge(cr, hill2, rng, -4, kW + 4, 5);
    // Round trees standing in the meadows.
    const double groves[][2] = {{150, 26}, {430, 22}, {880, 30}, {1760, 24}, {1990, 20}};
    for (const auto& g : groves) {
        const double base = hill2.at(g[0]) + 6;
        trunk(cr, g[0], base - g[1], base, 4);
        crown(cr, g[0], base - g[1] * 1.3, g[1] * 1.1, g[1] * 0.95, rng);
    }
    sheep(cr, 640, hill2.at(640) + 22, 1.0, false);
    sheep(cr, 1080, hill2.at(1080) + 26, 1.0, true);
    sheep(cr, 1120, hill2.at(1120) + 20, 1.0, true);
    sheep(cr, 1870, hill2.at(1870) + 24, 1.0, false);
    flower_clusters(cr, 0, kW, hill2, 24, 3.0, rng);

    // Near meadow and foreground.
    const Ridge near{346, 10, 0.0061, 1.1, 5, 0.023, 0.7};
    ridge_path(cr, near, -4, kW + 4, kH + 4);
    fill_vertical(cr, 330, 448, 0x5E9C38, 0x3C7826);
    ridge_hedge(cr, near, rng, -4, kW + 4, 0);

    // The lane: from the gap in the hedge down to the viewer.
    cairo_move_to(cr, 1244, 226);
    cairo_curve_to(cr, 1250, 290, 1170, 340, 1180, 452);
    cairo_line_to(cr, 1380, 452);
    cairo_curve_to(cr, 1330, 340, 1272, 290, 1266, 226);
    cairo_close_path(cr);
    fill_vertical(cr, 226, 448, 0xD2B888, 0xB89464);
    set_colour(cr, 0x9E7E4E, 0.8);
    cairo_set_line_width(cr, 3);
    cairo_move_to(cr, 1251, 250);
    cairo_curve_to(cr, 1246, 310, 1212, 360, 1230, 452);
    cairo_move_to(cr, 1260, 250);
    cairo_curve_to(cr, 1268, 310, 1300, 360, 1330, 452);
    cairo_stroke(cr);
    grass_verge(cr, rng);

    flower_clusters(cr, 0, 1170, near, 26, 4.2, rng);
    flower_clusters(cr, 1390, kW, near, 22, 4.2, rng);
    fence(cr, -10, 580, near, 46);
    fence(cr, 1430, kW + 10, near, 46);
    bramble(cr, 160, 456, 120, 74, rng);
    bramble(cr, 930, 458, 140, 64, rng);
    bramble(cr, 1640, 456, 124, 78, rng);
    bramble(cr, 1990, 458, 90, 58, rng);
    grass_tufts(cr, 0, kW, 450, rng);
    cairo_restore(cr);

    // The haystack that hiding place 0 needs stands above the line.
    haystack(cr, (kHaystackLeft + kHaystackRight) / 2.0, 182,
             (kHaystackRight - kHaystackLeft) / 2.0 - 4, 64, 296);
    return to_picture(c);
}

}  // namespace assets
