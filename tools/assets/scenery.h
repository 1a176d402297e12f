// Pieces of the countryside that the landscape and the full-screen
// backgrounds share, so every screen has the same look: rolling ridges,
// trees, hedgerows, fields, a farm, fences, brambles, sheep and flowers.
#pragma once

#include <cairo.h>

#include <cmath>
#include <cstdint>

#include "draw.h"

namespace assets {

constexpr std::uint32_t kHedge = 0x3C7434;
constexpr std::uint32_t kHedgeDark = 0x2C5A2A;
constexpr std::uint32_t kHedgeLight = 0x5E9846;
constexpr std::uint32_t kLeaf = 0x4C8A3A;
constexpr std::uint32_t kLeafLight = 0x78B050;
constexpr std::uint32_t kLeafDark = 0x2E5E2C;
constexpr std::uint32_t kBark = 0x6A4A2C;
constexpr std::uint32_t kBarkDark = 0x4A321E;

// A rolling ridge: y0 + a1 sin(x f1 + p1) + a2 sin(x f2 + p2).
struct Ridge {
    double y0, a1, f1, p1, a2, f2, p2;
    double at(double x) const {
        return y0 + a1 * std::sin(x * f1 + p1) + a2 * std::sin(x * f2 + p2);
    }
};

// The area below the ridge from x0 to x1, down to `bottom`.
void ridge_path(cairo_t* cr, const Ridge& r, double x0, double x1, double bottom);
// A hedgerow along the ridge's top: a dark leafy line with light specks.
void ridge_hedge(cairo_t* cr, const Ridge& r, Rng& rng, double x0, double x1, double height);
// A crown of leaves: a dark mass, mid-tone clusters, sunlit clusters.
void crown(cairo_t* cr, double cx, double cy, double rx, double ry, Rng& rng);
void trunk(cairo_t* cr, double x, double top, double bottom, double w);
// Strips of crops from one ridge down behind the next, hedgerows between.
void fields(cairo_t* cr, const Ridge& hill, const Ridge& below, double x0, double x1, Rng& rng);
// A farmhouse with a barn, its base at (x, base), about 90 x 42 pixels.
void farmhouse(cairo_t* cr, double x, double base);
// A post-and-rail fence standing `lift` pixels tall on the ground line.
void fence(cairo_t* cr, double x0, double x1, const Ridge& ground, double lift);
// A bramble thicket with blackberries and white blossom.
void bramble(cairo_t* cr, double cx, double base, double rx, double ry, Rng& rng);
void grass_tufts(cairo_t* cr, double x0, double x1, double base, Rng& rng);
void flower_clusters(cairo_t* cr, double x0, double x1, const Ridge& ground, int count, double size,
                     Rng& rng);
void sheep(cairo_t* cr, double x, double y, double s, bool left);

}  // namespace assets
