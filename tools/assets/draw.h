// Drawing helpers shared by every picture: a seeded random source, colours,
// smooth outlines, and text outlines taken from DejaVu Sans Bold.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace assets {

// Small deterministic generator (SplitMix64), so every build draws the same.
class Rng {
   public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [lo, hi).
    double uniform(double lo, double hi);
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

   private:
    std::uint64_t state_;
};

struct Pt {
    double x = 0;
    double y = 0;
};

// Colours are written 0xRRGGBB like everywhere in the game.
void set_colour(cairo_t* cr, std::uint32_t rgb, double alpha = 1.0);
std::uint32_t mix(std::uint32_t a, std::uint32_t b, double t);
std::uint32_t shade(std::uint32_t rgb, double factor);  // < 1 darker, > 1 lighter
void add_stop(cairo_pattern_t* p, double at, std::uint32_t rgb, double alpha = 1.0);

// Fills the current path with a vertical gradient from top colour to bottom.
void fill_vertical(cairo_t* cr, double y0, double y1, std::uint32_t top, std::uint32_t bottom,
                   bool preserve = false);
// Fill with the colour, then stroke the same path with the outline colour.
void fill_stroke(cairo_t* cr, std::uint32_t fill, std::uint32_t line, double width);

// Closed smooth curve through the points (Catmull-Rom turned into Beziers).
void smooth_closed(cairo_t* cr, const std::vector<Pt>& pts);
// Open smooth curve through the points.
void smooth_open(cairo_t* cr, const std::vector<Pt>& pts, bool move_first = true);
void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);
// A leafy or fluffy blob: an ellipse whose rim bulges in `lobes` round lobes.
void blob(cairo_t* cr, double cx, double cy, double rx, double ry, int lobes, double depth,
          Rng& rng);
// A five-pointed (or n-pointed) star.
void star(cairo_t* cr, double cx, double cy, double r_out, double r_in, int points,
          double turn = 0);

// Text outlines from DejaVu Sans Bold, unhinted, so they scale smoothly.
class Typeface {
   public:
    static Typeface& bold();
    ~Typeface();

    // Adds the glyph's outline to the current path with its origin (left end
    // of the baseline) at x, y and an em of px pixels.
    void glyph_path(cairo_t* cr, unsigned int code, double x, double y, double px) const;
    double advance(unsigned int code, double px) const;
    // Whole strings (Latin-1 codes), kerned.
    void text_path(cairo_t* cr, const std::string& text, double x, double y, double px) const;
    double text_width(const std::string& text, double px) const;
    // Ink extent of a glyph relative to its origin: x from left to right and
    // y from top to bottom (y grows downwards, baseline at 0).
    void glyph_box(unsigned int code, double px, double& left, double& top, double& right,
                   double& bottom) const;
    double ascender(double px) const;
    double descender(double px) const;  // positive: below the baseline

   private:
    Typeface();
    struct Impl;
    Impl* impl_;
};

// Big outlined lettering as on a painted sign, centred on cx: shadow, dark
// rim of the given width, a face shaded from top to bottom colour, a shine.
void sign_lettering(cairo_t* cr, const std::string& text, double cx, double baseline, double em,
                    std::uint32_t top, std::uint32_t bottom, double rim);

// Releases the library state the helpers hold (FreeType, Cairo caches), so
// leak checkers stay quiet at exit.
void release_drawing_state();

}  // namespace assets
