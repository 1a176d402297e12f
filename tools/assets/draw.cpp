#include "draw.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace assets {

namespace {
constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
Typeface* g_bold = nullptr;

double channel(std::uint32_t rgb, int shift) {
    return ((rgb >> shift) & 255) / 255.0;
}
}  // namespace

std::uint64_t Rng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform(double lo, double hi) {
    return lo + (hi - lo) * (static_cast<double>(next() >> 11) / 9007199254740992.0);
}

void set_colour(cairo_t* cr, std::uint32_t rgb, double alpha) {
    cairo_set_source_rgba(cr, channel(rgb, 16), channel(rgb, 8), channel(rgb, 0), alpha);
}

std::uint32_t mix(std::uint32_t a, std::uint32_t b, double t) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double va = (a >> shift) & 255;
        const double vb = (b >> shift) & 255;
        const auto v =
            static_cast<std::uint32_t>(std::clamp(std::lround(va + (vb - va) * t), 0L, 255L));
        out |= v << shift;
    }
    return out;
}

std::uint32_t shade(std::uint32_t rgb, double factor) {
    if (factor <= 1.0) {
        return mix(0x000000, rgb, factor);
    }
    return mix(rgb, 0xFFFFFF, std::min(1.0, factor - 1.0));
}

void add_stop(cairo_pattern_t* p, double at, std::uint32_t rgb, double alpha) {
    cairo_pattern_add_color_stop_rgba(p, at, channel(rgb, 16), channel(rgb, 8), channel(rgb, 0),
                                      alpha);
}

void fill_vertical(cairo_t* cr, double y0, double y1, std::uint32_t top, std::uint32_t bottom,
                   bool preserve) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    add_stop(p, 0, top);
    add_stop(p, 1, bottom);
    cairo_set_source(cr, p);
    if (preserve) {
        cairo_fill_preserve(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_pattern_destroy(p);
}

void fill_stroke(cairo_t* cr, std::uint32_t fill, std::uint32_t line, double width) {
    set_colour(cr, fill);
    cairo_fill_preserve(cr);
    set_colour(cr, line);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

void smooth_closed(cairo_t* cr, const std::vector<Pt>& pts) {
    const std::size_t n = pts.size();
    if (n < 3) {
        return;
    }
    cairo_move_to(cr, pts[0].x, pts[0].y);
    for (std::size_t i = 0; i < n; ++i) {
        const Pt& p0 = pts[(i + n - 1) % n];
        const Pt& p1 = pts[i];
        const Pt& p2 = pts[(i + 1) % n];
        const Pt& p3 = pts[(i + 2) % n];
        cairo_curve_to(cr, p1.x + (p2.x - p0.x) / 6, p1.y + (p2.y - p0.y) / 6,
                       p2.x - (p3.x - p1.x) / 6, p2.y - (p3.y - p1.y) / 6, p2.x, p2.y);
    }
    cairo_close_path(cr);
}

void smooth_open(cairo_t* cr, const std::vector<Pt>& pts, bool move_first) {
    const std::size_t n = pts.size();
    if (n < 2) {
        return;
    }
    if (move_first) {
        cairo_move_to(cr, pts[0].x, pts[0].y);
    } else {
        cairo_line_to(cr, pts[0].x, pts[0].y);
    }
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const Pt& p0 = pts[i == 0 ? 0 : i - 1];
        const Pt& p1 = pts[i];
        const Pt& p2 = pts[i + 1];
        const Pt& p3 = pts[std::min(n - 1, i + 2)];
        cairo_curve_to(cr, p1.x + (p2.x - p0.x) / 6, p1.y + (p2.y - p0.y) / 6,
                       p2.x - (p3.x - p1.x) / 6, p2.y - (p3.y - p1.y) / 6, p2.x, p2.y);
    }
}

void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, std::max(rx, 1e-3), std::max(ry, 1e-3));
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void blob(cairo_t* cr, double cx, double cy, double rx, double ry, int lobes, double depth,
          Rng& rng) {
    // Each lobe is a bulge between two dents; the dents sit slightly inside
    // the ellipse so the rim reads as clustered leaves or cloud puffs.
    std::vector<Pt> pts;
    const double phase = rng.uniform(0, 2 * M_PI);
    for (int i = 0; i < lobes; ++i) {
        const double a0 = phase + 2 * M_PI * i / lobes;
        const double a1 = phase + 2 * M_PI * (i + 0.5) / lobes;
        const double dent = 1.0 - depth * rng.uniform(0.7, 1.2);
        const double bulge = 1.0 + depth * rng.uniform(0.1, 0.5);
        pts.push_back({cx + rx * dent * std::cos(a0), cy + ry * dent * std::sin(a0)});
        pts.push_back({cx + rx * bulge * std::cos(a1), cy + ry * bulge * std::sin(a1)});
    }
    smooth_closed(cr, pts);
}

void star(cairo_t* cr, double cx, double cy, double r_out, double r_in, int points, double turn) {
    for (int i = 0; i < 2 * points; ++i) {
        const double a = turn - M_PI / 2 + M_PI * i / points;
        const double r = (i % 2 == 0) ? r_out : r_in;
        if (i == 0) {
            cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        } else {
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        }
    }
    cairo_close_path(cr);
}

// --- text outlines ------------------------------------------------------------

struct Typeface::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

namespace {
struct Walk {
    cairo_t* cr;
    double x;
    double y;
    double scale;
    double last_x = 0;
    double last_y = 0;
    Pt at(const FT_Vector* v) const { return {x + v->x * scale, y - v->y * scale}; }
};

int walk_move(const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Pt p = w->at(to);
    cairo_close_path(w->cr);
    cairo_move_to(w->cr, p.x, p.y);
    w->last_x = p.x;
    w->last_y = p.y;
    return 0;
}

int walk_line(const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Pt p = w->at(to);
    cairo_line_to(w->cr, p.x, p.y);
    w->last_x = p.x;
    w->last_y = p.y;
    return 0;
}

int walk_conic(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Pt c = w->at(control);
    const Pt p = w->at(to);
    // A quadratic Bezier as a cubic one.
    cairo_curve_to(w->cr, w->last_x + 2.0 / 3 * (c.x - w->last_x),
                   w->last_y + 2.0 / 3 * (c.y - w->last_y), p.x + 2.0 / 3 * (c.x - p.x),
                   p.y + 2.0 / 3 * (c.y - p.y), p.x, p.y);
    w->last_x = p.x;
    w->last_y = p.y;
    return 0;
}

int walk_cubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Pt a = w->at(c1);
    const Pt b = w->at(c2);
    const Pt p = w->at(to);
    cairo_curve_to(w->cr, a.x, a.y, b.x, b.y, p.x, p.y);
    w->last_x = p.x;
    w->last_y = p.y;
    return 0;
}
}  // namespace

Typeface::Typeface() : impl_(new Impl) {
    if (FT_Init_FreeType(&impl_->library) != 0 ||
        FT_New_Face(impl_->library, kFontFile, 0, &impl_->face) != 0) {
        throw std::runtime_error(std::string("cannot open the font ") + kFontFile +
                                 " (Debian package fonts-dejavu-core)");
    }
}

Typeface::~Typeface() {
    if (impl_->face != nullptr) {
        FT_Done_Face(impl_->face);
    }
    if (impl_->library != nullptr) {
        FT_Done_FreeType(impl_->library);
    }
    delete impl_;
}

Typeface& Typeface::bold() {
    if (g_bold == nullptr) {
        g_bold = new Typeface();
    }
    return *g_bold;
}

void Typeface::glyph_path(cairo_t* cr, unsigned int code, double x, double y, double px) const {
    FT_Face face = impl_->face;
    if (FT_Load_Char(face, code, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
        return;
    }
    Walk walk{cr, x, y, px / face->units_per_EM};
    FT_Outline_Funcs funcs{};
    funcs.move_to = walk_move;
    funcs.line_to = walk_line;
    funcs.conic_to = walk_conic;
    funcs.cubic_to = walk_cubic;
    cairo_new_sub_path(cr);
    FT_Outline_Decompose(&face->glyph->outline, &funcs, &walk);
    cairo_close_path(cr);
}

double Typeface::advance(unsigned int code, double px) const {
    FT_Face face = impl_->face;
    if (FT_Load_Char(face, code, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
        return 0;
    }
    return face->glyph->advance.x * px / face->units_per_EM;
}

void Typeface::text_path(cairo_t* cr, const std::string& text, double x, double y,
                         double px) const {
    FT_Face face = impl_->face;
    FT_UInt prev = 0;
    for (unsigned char ch : text) {
        const FT_UInt index = FT_Get_Char_Index(face, ch);
        if (prev != 0 && index != 0 && FT_HAS_KERNING(face)) {
            FT_Vector k;
            FT_Get_Kerning(face, prev, index, FT_KERNING_UNSCALED, &k);
            x += k.x * px / face->units_per_EM;
        }
        glyph_path(cr, ch, x, y, px);
        x += advance(ch, px);
        prev = index;
    }
}

double Typeface::text_width(const std::string& text, double px) const {
    FT_Face face = impl_->face;
    FT_UInt prev = 0;
    double x = 0;
    for (unsigned char ch : text) {
        const FT_UInt index = FT_Get_Char_Index(face, ch);
        if (prev != 0 && index != 0 && FT_HAS_KERNING(face)) {
            FT_Vector k;
            FT_Get_Kerning(face, prev, index, FT_KERNING_UNSCALED, &k);
            x += k.x * px / face->units_per_EM;
        }
        x += advance(ch, px);
        prev = index;
    }
    return x;
}

void Typeface::glyph_box(unsigned int code, double px, double& left, double& top, double& right,
                         double& bottom) const {
    FT_Face face = impl_->face;
    left = top = right = bottom = 0;
    if (FT_Load_Char(face, code, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
        return;
    }
    FT_BBox box;
    FT_Outline_Get_CBox(&face->glyph->outline, &box);
    const double s = px / face->units_per_EM;
    left = box.xMin * s;
    right = box.xMax * s;
    top = -box.yMax * s;
    bottom = -box.yMin * s;
}

double Typeface::ascender(double px) const {
    return impl_->face->ascender * px / impl_->face->units_per_EM;
}

double Typeface::descender(double px) const {
    return -impl_->face->descender * px / impl_->face->units_per_EM;
}

// Big outlined lettering as on a painted sign: dark rim, light face with a
// warm gradient, and a shine along the top.
void sign_lettering(cairo_t* cr, const std::string& text, double cx, double baseline, double em,
                    std::uint32_t top, std::uint32_t bottom, double rim) {
    const Typeface& face = Typeface::bold();
    const double x = cx - face.text_width(text, em) / 2;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    // shadow
    cairo_new_path(cr);
    face.text_path(cr, text, x + rim * 0.45, baseline + rim * 0.55, em);
    set_colour(cr, 0x2A140A);
    cairo_set_line_width(cr, rim * 2);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    // rim
    face.text_path(cr, text, x, baseline, em);
    set_colour(cr, 0x3E1E0C);
    cairo_set_line_width(cr, rim * 2);
    cairo_stroke_preserve(cr);
    // face
    cairo_pattern_t* p = cairo_pattern_create_linear(0, baseline - em * 0.75, 0, baseline);
    add_stop(p, 0, top);
    add_stop(p, 1, bottom);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // shine on the upper part of each letter
    cairo_save(cr);
    face.text_path(cr, text, x, baseline, em);
    cairo_clip(cr);
    cairo_rectangle(cr, x - 10, baseline - em * 0.8, face.text_width(text, em) + 20, em * 0.28);
    set_colour(cr, 0xFFFFFF, 0.35);
    cairo_fill(cr);
    cairo_restore(cr);
}

void release_drawing_state() {
    delete g_bold;
    g_bold = nullptr;
    cairo_debug_reset_static_data();
}

}  // namespace assets
