#include "icon.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "art.h"
#include "draw.h"

namespace assets {

namespace {

constexpr double kDesign = 256;  // the icon's design box, square
constexpr std::uint32_t kInk = 0x3E1E0C;

// Drawn into the 256 x 256 design box; the caller scales.
void paint_icon(cairo_t* cr) {
    const double cx = 128;
    const double cy = 112;

    // The straw target, its rings as on the round intro's board.
    ellipse(cr, cx, cy, 104, 104);
    fill_stroke(cr, 0xD9B25A, kInk, 6);
    const std::uint32_t rings[5] = {0xF6EEDC, 0xD8362A, 0xF6EEDC, 0xD8362A, 0xF4C430};
    for (int i = 0; i < 5; ++i) {
        ellipse(cr, cx, cy, 92 - 17.5 * i, 92 - 17.5 * i);
        fill_stroke(cr, rings[i], shade(rings[i], 0.6), 2.5);
    }

    // A flyer crossing in front of the target, wings up.
    cairo_save(cr);
    cairo_translate(cr, 24, 132);
    paint_bird(cr, 0, 5.0);
    cairo_restore(cr);

    // The crosshair on the bird's body: white under dark, so that it reads
    // on any colour.
    const double hx = 112;
    const double hy = 196;
    for (int pass = 0; pass < 2; ++pass) {
        set_colour(cr, pass == 0 ? 0xFFFFFF : 0x1E120A);
        cairo_set_line_width(cr, pass == 0 ? 11 : 5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        ellipse(cr, hx, hy, 30, 30);
        cairo_new_sub_path(cr);
        cairo_move_to(cr, hx - 50, hy);
        cairo_line_to(cr, hx - 14, hy);
        cairo_move_to(cr, hx + 14, hy);
        cairo_line_to(cr, hx + 50, hy);
        cairo_move_to(cr, hx, hy - 50);
        cairo_line_to(cr, hx, hy - 14);
        cairo_move_to(cr, hx, hy + 14);
        cairo_line_to(cr, hx, hy + 50);
        cairo_stroke(cr);
    }
}

void check(cairo_surface_t* s, const std::string& path) {
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        throw std::runtime_error("cannot draw " + path);
    }
}

void write_png_icon(int size, const std::string& path) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    check(s, path);
    cairo_t* cr = cairo_create(s);
    cairo_scale(cr, size / kDesign, size / kDesign);
    paint_icon(cr);
    cairo_destroy(cr);
    const cairo_status_t st = cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
    if (st != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot write " + path);
    }
}

void write_svg_icon(const std::string& path) {
    cairo_surface_t* s = cairo_svg_surface_create(path.c_str(), kDesign, kDesign);
    check(s, path);
    // Pixel units, so that the icon's size reads as 256 x 256.
    cairo_svg_surface_set_document_unit(s, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(s);
    paint_icon(cr);
    cairo_destroy(cr);
    cairo_surface_finish(s);
    const cairo_status_t st = cairo_surface_status(s);
    cairo_surface_destroy(s);
    if (st != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace

void write_icons(const std::string& dir) {
    std::filesystem::create_directories(dir);
    for (int size : {48, 128, 256}) {
        write_png_icon(size, dir + "/bramblecourt-" + std::to_string(size) + ".png");
    }
    write_svg_icon(dir + "/bramblecourt.svg");
}

}  // namespace assets
