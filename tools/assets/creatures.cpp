// The targets: a plump chestnut bird in three sizes, a hare that climbs up
// from below the screen, a stoat that peeks over the scenery, and the hare
// again as the cheering pop-up figure.
#include <cmath>

#include "art.h"
#include "draw.h"

namespace assets {

namespace {

// --- shared colours -----------------------------------------------------------

constexpr std::uint32_t kInk = 0x3E1E0C;  // outline of every creature: dark brown

constexpr std::uint32_t kBirdBody = 0xCC6A2A;
constexpr std::uint32_t kBirdBodyLight = 0xE8934A;
constexpr std::uint32_t kBirdBodyDark = 0xA24F1C;
constexpr std::uint32_t kBirdBelly = 0xF8E4B6;
constexpr std::uint32_t kBirdWing = 0x94461A;
constexpr std::uint32_t kBirdWingFar = 0x6E3412;
constexpr std::uint32_t kBirdTip = 0xE2A460;
constexpr std::uint32_t kBeak = 0xF6B524;
constexpr std::uint32_t kCheek = 0xEE6A64;

constexpr std::uint32_t kHareFur = 0xB98E62;
constexpr std::uint32_t kHareFurDark = 0x8E6640;
constexpr std::uint32_t kHareFurLight = 0xD8B088;
constexpr std::uint32_t kHareCream = 0xF6E8CE;
constexpr std::uint32_t kHarePink = 0xF2A2AA;

constexpr std::uint32_t kStoatFur = 0xA9662E;
constexpr std::uint32_t kStoatFurDark = 0x7C4518;
constexpr std::uint32_t kStoatCream = 0xFBEFD6;

constexpr std::uint32_t kStarYellow = 0xFFE45C;
constexpr std::uint32_t kStarEdge = 0xC9861A;

void eye(cairo_t* cr, double x, double y, double rx, double ry, double look_x, double look_y,
         double line) {
    ellipse(cr, x, y, rx, ry);
    fill_stroke(cr, 0xFFFFFF, kInk, line);
    ellipse(cr, x + look_x * rx * 0.35, y + look_y * ry * 0.3, rx * 0.55, ry * 0.6);
    set_colour(cr, 0x1A1008);
    cairo_fill(cr);
    ellipse(cr, x + look_x * rx * 0.35 + rx * 0.2, y + look_y * ry * 0.3 - ry * 0.22, rx * 0.2,
            ry * 0.2);
    set_colour(cr, 0xFFFFFF);
    cairo_fill(cr);
}

// A knocked-out eye: a cross.
void cross_eye(cairo_t* cr, double x, double y, double r, double line) {
    set_colour(cr, kInk);
    cairo_set_line_width(cr, line);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x - r, y - r);
    cairo_line_to(cr, x + r, y + r);
    cairo_move_to(cr, x + r, y - r);
    cairo_line_to(cr, x - r, y + r);
    cairo_stroke(cr);
}

void daze_star(cairo_t* cr, double x, double y, double r, double turn, double line) {
    star(cr, x, y, r, r * 0.45, 5, turn);
    fill_stroke(cr, kStarYellow, kStarEdge, line);
}

// --- the bird -----------------------------------------------------------------

// A wing seen from the side: a rounded leaf with four feather tips, its root
// at the origin, reaching out along -x.
void wing_path(cairo_t* cr, double length, double width) {
    const double l = length;
    const double w = width;
    cairo_move_to(cr, 4, -w * 0.35);
    cairo_curve_to(cr, -l * 0.3, -w * 0.75, -l * 0.75, -w * 0.6, -l, -w * 0.15);
    // feather tips along the trailing edge
    const double tips[4][2] = {
        {-l * 0.98, w * 0.12}, {-l * 0.82, w * 0.38}, {-l * 0.62, w * 0.52}, {-l * 0.40, w * 0.56}};
    double px = -l;
    double py = -w * 0.15;
    for (const auto& t : tips) {
        const double mx = (px + t[0]) / 2 + w * 0.06;
        const double my = (py + t[1]) / 2 + w * 0.02;
        cairo_curve_to(cr, px - w * 0.05, py + w * 0.2, mx - w * 0.1, my + w * 0.1, t[0], t[1]);
        px = t[0];
        py = t[1];
        cairo_curve_to(cr, px + w * 0.08, py - w * 0.05, px + w * 0.12, py - w * 0.08,
                       px + w * 0.16, py - w * 0.1);
        px += w * 0.16;
        py -= w * 0.1;
    }
    cairo_curve_to(cr, -l * 0.2, w * 0.5, -2, w * 0.35, 4, w * 0.1);
    cairo_close_path(cr);
}

void draw_wing(cairo_t* cr, double angle, double squash, bool far, double line) {
    cairo_save(cr);
    cairo_translate(cr, 104, 52);
    cairo_rotate(cr, angle);
    cairo_scale(cr, 1.0, squash);
    wing_path(cr, 66, 36);
    cairo_restore(cr);
    const std::uint32_t base = far ? kBirdWingFar : kBirdWing;
    fill_stroke(cr, base, kInk, line);
    if (!far) {
        // Light edges of the flight feathers.
        cairo_save(cr);
        cairo_translate(cr, 104, 52);
        cairo_rotate(cr, angle);
        cairo_scale(cr, 1.0, squash);
        set_colour(cr, kBirdTip);
        cairo_set_line_width(cr, line * 0.9);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (int i = 0; i < 3; ++i) {
            const double x = -66 * (0.45 + 0.17 * i);
            cairo_move_to(cr, x + 16, 4 + i * 2);
            cairo_line_to(cr, x - 2, 14 - i * 3);
        }
        cairo_stroke(cr);
        cairo_restore(cr);
    }
}

// The bird in a 200 x 112 design box, facing right. Frames 0..3 beat the
// wings (up, level, down, level on the way back up); frame 4 is the hit.
void bird(cairo_t* cr, int frame, double line) {
    static const double kWingAngle[4] = {0.85, 0.12, -0.6, 0.4};
    static const double kWingSquash[4] = {0.88, 0.55, 0.9, 0.7};
    const bool hit = frame == 4;
    const double angle = hit ? 1.6 : kWingAngle[frame];
    const double squash = hit ? 0.9 : kWingSquash[frame];
    // The body bobs a little against the wing beat.
    const double bob = hit ? 0 : (frame == 2 ? -2.0 : (frame == 0 ? 2.0 : 0));
    cairo_save(cr);
    cairo_translate(cr, 0, bob);

    // Far wing, behind everything.
    cairo_save(cr);
    cairo_translate(cr, 10, 2);
    draw_wing(cr, angle + 0.12, squash * 0.85, true, line);
    cairo_restore(cr);

    // Tail: three fanned feathers.
    for (int i = 0; i < 3; ++i) {
        cairo_save(cr);
        cairo_translate(cr, 52, 62);
        cairo_rotate(cr, -0.35 + 0.3 * i + (hit ? 0.3 : 0));
        cairo_move_to(cr, 4, -6);
        cairo_curve_to(cr, -14, -12, -34, -10, -44, -2);
        cairo_curve_to(cr, -36, 6, -16, 10, 4, 6);
        cairo_close_path(cr);
        cairo_restore(cr);
        fill_stroke(cr, i == 1 ? kBirdWing : kBirdWingFar, kInk, line);
    }

    // Body with a soft light from above.
    cairo_save(cr);
    cairo_translate(cr, 96, 64);
    cairo_rotate(cr, -0.12);
    ellipse(cr, 0, 0, 50, 31);
    cairo_restore(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(92, 44, 6, 96, 64, 56);
    add_stop(p, 0, kBirdBodyLight);
    add_stop(p, 0.55, kBirdBody);
    add_stop(p, 1, kBirdBodyDark);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    // Belly, clipped to the body.
    cairo_save(cr);
    cairo_clip(cr);
    ellipse(cr, 112, 90, 44, 20);
    set_colour(cr, kBirdBelly);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 96, 64);
    cairo_rotate(cr, -0.12);
    ellipse(cr, 0, 0, 50, 31);
    cairo_restore(cr);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);

    // Tucked feet.
    if (!hit) {
        for (int i = 0; i < 2; ++i) {
            cairo_move_to(cr, 86 + 12 * i, 92);
            cairo_line_to(cr, 78 + 12 * i, 100);
            cairo_line_to(cr, 88 + 12 * i, 100);
        }
        set_colour(cr, 0xE08A1E);
        cairo_set_line_width(cr, line * 1.1);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }

    // Head with a crest.
    for (int i = 0; i < 3; ++i) {
        cairo_save(cr);
        cairo_translate(cr, 136 + 5 * i, 22);
        cairo_rotate(cr, -0.9 + 0.35 * i);
        ellipse(cr, 0, -8, 4.5, 11);
        cairo_restore(cr);
        fill_stroke(cr, kBirdBodyDark, kInk, line * 0.9);
    }
    ellipse(cr, 144, 42, 26, 25);
    cairo_pattern_t* hp = cairo_pattern_create_radial(138, 30, 3, 144, 42, 30);
    add_stop(hp, 0, kBirdBodyLight);
    add_stop(hp, 1, kBirdBody);
    cairo_set_source(cr, hp);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(hp);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);

    // Beak: open and squawking on the hit frame.
    if (hit) {
        cairo_move_to(cr, 164, 36);
        cairo_line_to(cr, 194, 30);
        cairo_line_to(cr, 168, 46);
        cairo_close_path(cr);
        fill_stroke(cr, kBeak, kInk, line);
        cairo_move_to(cr, 166, 50);
        cairo_line_to(cr, 190, 60);
        cairo_line_to(cr, 164, 58);
        cairo_close_path(cr);
        fill_stroke(cr, kBeak, kInk, line);
    } else {
        cairo_move_to(cr, 164, 34);
        cairo_curve_to(cr, 178, 34, 190, 40, 196, 47);
        cairo_curve_to(cr, 186, 52, 174, 54, 164, 54);
        cairo_close_path(cr);
        fill_stroke(cr, kBeak, kInk, line);
        cairo_move_to(cr, 166, 46);
        cairo_line_to(cr, 186, 47);
        set_colour(cr, kInk);
        cairo_set_line_width(cr, line * 0.7);
        cairo_stroke(cr);
    }
    ellipse(cr, 150, 55, 7, 4.5);
    set_colour(cr, kCheek);
    cairo_fill(cr);

    if (hit) {
        cross_eye(cr, 153, 36, 6, line * 1.1);
    } else {
        eye(cr, 152, 36, 9, 10, 0.9, 0, line * 0.8);
    }

    // Near wing, in front of the body.
    draw_wing(cr, angle, squash, false, line);
    cairo_restore(cr);
}

// --- the hare -----------------------------------------------------------------

enum class HareFace { kPlain, kBlink, kGrin, kSideways, kDizzy, kCheer };

void hare_ear(cairo_t* cr, double x, double y, double tilt, double droop, double line) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, tilt);
    if (droop > 0) {
        // A bent ear: the upper half folds over to the side.
        cairo_move_to(cr, -11, 0);
        cairo_curve_to(cr, -14, -22, -8, -34, 4, -36);
        cairo_curve_to(cr, 18 + 20 * droop, -38, 30 * droop + 14, -26, 26 * droop + 14, -18);
        cairo_curve_to(cr, 18, -20, 10, -22, 8, -14);
        cairo_curve_to(cr, 8, -8, 11, -4, 11, 0);
        cairo_close_path(cr);
        fill_stroke(cr, kHareFur, kInk, line);
    } else {
        ellipse(cr, 0, -30, 14, 32);
        fill_stroke(cr, kHareFur, kInk, line);
        ellipse(cr, 0, -28, 7, 24);
        set_colour(cr, kHarePink);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void paw(cairo_t* cr, double x, double y, double r, double turn, double line) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, turn);
    ellipse(cr, 0, 0, r, r * 0.8);
    fill_stroke(cr, kHareFurLight, kInk, line);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, line * 0.7);
    for (int i = -1; i <= 1; i += 2) {
        cairo_move_to(cr, i * r * 0.3, -r * 0.75);
        cairo_line_to(cr, i * r * 0.3, -r * 0.3);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

// The hare's head in a 160 x 192 design box, centred on x 80, its face
// filling rows 56 to 130.
void hare_head(cairo_t* cr, HareFace face, double ear_l, double ear_r, double line) {
    const bool dizzy = face == HareFace::kDizzy;
    hare_ear(cr, 60, 66, -0.22 + ear_l, dizzy ? 0.8 : 0, line);
    hare_ear(cr, 100, 66, 0.22 + ear_r, dizzy ? 0 : 0, line);
    if (dizzy) {
        // the right ear droops too, the other way
        cairo_save(cr);
        cairo_translate(cr, 200, 0);
        cairo_scale(cr, -1, 1);
        hare_ear(cr, 100, 66, -0.22, 0.6, line);
        cairo_restore(cr);
    }

    // Head: rounder cheeks at the bottom.
    cairo_move_to(cr, 80, 56);
    cairo_curve_to(cr, 112, 56, 126, 82, 124, 104);
    cairo_curve_to(cr, 122, 124, 102, 132, 80, 132);
    cairo_curve_to(cr, 58, 132, 38, 124, 36, 104);
    cairo_curve_to(cr, 34, 82, 48, 56, 80, 56);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(72, 74, 4, 80, 96, 52);
    add_stop(p, 0, kHareFurLight);
    add_stop(p, 0.7, kHareFur);
    add_stop(p, 1, kHareFurDark);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);

    // Muzzle.
    ellipse(cr, 70, 112, 14, 12);
    ellipse(cr, 90, 112, 14, 12);
    set_colour(cr, kHareCream);
    cairo_fill(cr);

    // Eyes.
    switch (face) {
        case HareFace::kBlink:
        case HareFace::kCheer:
            set_colour(cr, kInk);
            cairo_set_line_width(cr, line * 1.1);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            for (int i = 0; i < 2; ++i) {
                const double x = 64 + 32 * i;
                if (face == HareFace::kCheer) {
                    cairo_arc(cr, x, 92, 8, M_PI * 1.1, M_PI * 1.9);  // happy arcs
                } else {
                    cairo_arc_negative(cr, x, 86, 8, M_PI * 0.9, M_PI * 0.1);
                }
                cairo_new_sub_path(cr);
            }
            cairo_stroke(cr);
            break;
        case HareFace::kDizzy:
            for (int i = 0; i < 2; ++i) {
                const double cx = 64 + 32 * i;
                set_colour(cr, 0xFFFFFF);
                ellipse(cr, cx, 86, 10, 11);
                cairo_fill_preserve(cr);
                set_colour(cr, kInk);
                cairo_set_line_width(cr, line * 0.8);
                cairo_stroke(cr);
                // spiral
                cairo_set_line_width(cr, line * 0.7);
                for (double a = 0; a < 4 * M_PI; a += 0.2) {
                    const double r = 1 + a * 0.55;
                    const double x = cx + r * std::cos(a + i * M_PI);
                    const double y = 86 + r * std::sin(a + i * M_PI);
                    if (a == 0) {
                        cairo_move_to(cr, x, y);
                    } else {
                        cairo_line_to(cr, x, y);
                    }
                }
                cairo_stroke(cr);
            }
            break;
        default: {
            const double look = face == HareFace::kSideways ? -0.9 : 0.0;
            eye(cr, 64, 86, 10, 12, look, 0.1, line * 0.8);
            eye(cr, 96, 86, 10, 12, look, 0.1, line * 0.8);
            break;
        }
    }

    // Nose, mouth, teeth.
    cairo_move_to(cr, 74, 101);
    cairo_line_to(cr, 86, 101);
    cairo_line_to(cr, 80, 108);
    cairo_close_path(cr);
    fill_stroke(cr, 0xE9707E, kInk, line * 0.7);
    if (face == HareFace::kGrin || face == HareFace::kCheer || face == HareFace::kDizzy) {
        // open mouth
        cairo_move_to(cr, 64, 112);
        cairo_curve_to(cr, 70, 130, 90, 130, 96, 112);
        cairo_close_path(cr);
        fill_stroke(cr, 0x8A2A24, kInk, line * 0.8);
        if (face == HareFace::kDizzy) {
            ellipse(cr, 86, 124, 6, 7);
            fill_stroke(cr, 0xF07A8A, kInk, line * 0.6);
        }
        cairo_rectangle(cr, 75, 112, 10, 7);
        fill_stroke(cr, 0xFFFFFF, kInk, line * 0.6);
    } else {
        set_colour(cr, kInk);
        cairo_set_line_width(cr, line * 0.8);
        cairo_move_to(cr, 80, 108);
        cairo_line_to(cr, 80, 112);
        cairo_move_to(cr, 70, 112);
        cairo_curve_to(cr, 74, 116, 78, 116, 80, 112);
        cairo_curve_to(cr, 82, 116, 86, 116, 90, 112);
        cairo_stroke(cr);
        cairo_rectangle(cr, 75.5, 113.5, 9, 8);
        fill_stroke(cr, 0xFFFFFF, kInk, line * 0.6);
        set_colour(cr, kInk);
        cairo_set_line_width(cr, line * 0.5);
        cairo_move_to(cr, 80, 114);
        cairo_line_to(cr, 80, 121);
        cairo_stroke(cr);
    }
    // Whiskers.
    set_colour(cr, kInk);
    cairo_set_line_width(cr, line * 0.45);
    for (int side = -1; side <= 1; side += 2) {
        for (int k = 0; k < 3; ++k) {
            cairo_move_to(cr, 80 + side * 18, 108 + 3 * k);
            cairo_line_to(cr, 80 + side * 40, 102 + 7 * k);
        }
    }
    cairo_stroke(cr);
    // Cheek blush.
    for (int i = 0; i < 2; ++i) {
        ellipse(cr, 50 + 60 * i, 104, 7, 4);
        set_colour(cr, 0xE98A7E);
        cairo_fill(cr);
    }
}

// The hare's body from the shoulders down, filling the box to its bottom.
void hare_body(cairo_t* cr, double bottom, double line) {
    cairo_move_to(cr, 30, bottom + 4);
    cairo_curve_to(cr, 28, 150, 46, 124, 80, 124);
    cairo_curve_to(cr, 114, 124, 132, 150, 130, bottom + 4);
    cairo_close_path(cr);
    fill_vertical(cr, 124, bottom, kHareFur, kHareFurDark, true);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
    ellipse(cr, 80, bottom - 10, 30, 46);
    set_colour(cr, kHareCream);
    cairo_fill(cr);
}

}  // namespace

void paint_riser(cairo_t* cr, int frame) {
    const double line = 3.2;
    static const HareFace faces[5] = {HareFace::kPlain, HareFace::kBlink, HareFace::kGrin,
                                      HareFace::kSideways, HareFace::kDizzy};
    static const double ear_l[5] = {0, -0.25, 0.05, 0.1, 0};
    static const double ear_r[5] = {0, 0.05, -0.05, 0.3, 0};
    static const double paw_y[5] = {150, 150, 122, 146, 168};
    hare_body(cr, 192, line);
    hare_head(cr, faces[frame], ear_l[frame], ear_r[frame], line);
    // Paws gripping the bottom edge of the view as the hare pulls itself up;
    // on frame 2 it waves them.
    paw(cr, 22, paw_y[frame], 15, -0.3, line);
    paw(cr, 138, paw_y[frame] + (frame == 2 ? 8 : 0), 15, 0.3, line);
    if (frame == 4) {
        daze_star(cr, 40, 26, 12, 0.1, line * 0.8);
        daze_star(cr, 124, 18, 10, 0.6, line * 0.8);
        daze_star(cr, 82, 10, 8, 0.3, line * 0.8);
    }
}

Picture draw_riser(int frame) {
    Canvas c(160, 192);
    paint_riser(c.cr(), frame);
    return to_picture(c);
}

void paint_cheering_figure(cairo_t* cr) {
    const double line = 3.0;
    // Confetti behind the figure.
    Rng rng(38);
    const std::uint32_t confetti[5] = {0xF2C230, 0xE8483C, 0x46A8E8, 0xF6F2E8, 0xB65CD8};
    for (int i = 0; i < 34; ++i) {
        const double x = rng.uniform(8, 304);
        const double y = rng.uniform(6, 200);
        if (std::abs(x - 156) < 70 && y > 40) {
            continue;  // keep the face clear
        }
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, rng.uniform(0, M_PI));
        cairo_rectangle(cr, -6, -3, 12, 6);
        cairo_restore(cr);
        fill_stroke(cr, confetti[i % 5], shade(confetti[i % 5], 0.55), 1.5);
    }
    // Trophy held high in the right paw, behind the arm's paw.
    cairo_save(cr);
    cairo_translate(cr, 268, 112);
    cairo_move_to(cr, -26, -34);
    cairo_line_to(cr, 26, -34);
    cairo_curve_to(cr, 26, -4, 14, 10, 0, 12);
    cairo_curve_to(cr, -14, 10, -26, -4, -26, -34);
    cairo_close_path(cr);
    cairo_pattern_t* gold = cairo_pattern_create_linear(-26, 0, 26, 0);
    add_stop(gold, 0, 0xB8860B);
    add_stop(gold, 0.4, 0xFFE27A);
    add_stop(gold, 1, 0xC8961E);
    cairo_set_source(cr, gold);
    cairo_fill_preserve(cr);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
    for (int side = -1; side <= 1; side += 2) {
        cairo_arc(cr, side * 28, -20, 10, side < 0 ? M_PI * 0.5 : -M_PI * 0.5,
                  side < 0 ? M_PI * 1.5 : M_PI * 0.5);
        cairo_set_line_width(cr, line * 2.0);
        set_colour(cr, kInk);
        cairo_stroke_preserve(cr);
        cairo_set_line_width(cr, line * 0.9);
        set_colour(cr, 0xE8B830);
        cairo_stroke(cr);
    }
    cairo_rectangle(cr, -5, 12, 10, 12);
    cairo_rectangle(cr, -16, 24, 32, 8);
    cairo_set_source(cr, gold);
    cairo_fill_preserve(cr);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, line * 0.8);
    cairo_stroke(cr);
    cairo_pattern_destroy(gold);
    star(cr, 0, -14, 9, 4, 5);
    set_colour(cr, 0xFFF6C0);
    cairo_fill(cr);
    cairo_restore(cr);

    // The hare, twice the riser's size, arms up.
    cairo_save(cr);
    cairo_translate(cr, 0, 10);
    cairo_scale(cr, 1.95, 1.95);
    cairo_translate(cr, 0, -4);
    const double l = line / 1.95;
    // arms
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, 80 + side * 34, 146);
        cairo_curve_to(cr, 80 + side * 52, 130, 80 + side * 64, 110, 80 + side * 66, 88);
        cairo_line_to(cr, 80 + side * 54, 86);
        cairo_curve_to(cr, 80 + side * 52, 106, 80 + side * 40, 124, 80 + side * 22, 136);
        cairo_close_path(cr);
        fill_stroke(cr, kHareFur, kInk, l);
    }
    hare_body(cr, 182, l);
    hare_head(cr, HareFace::kCheer, -0.12, 0.12, l);
    paw(cr, 20, 82, 11, 0.2, l);
    paw(cr, 140, 82, 11, -0.2, l);
    cairo_restore(cr);
}

Picture draw_cheering_figure() {
    Canvas c(312, 352);
    paint_cheering_figure(c.cr());
    return to_picture(c);
}

// --- the stoat ----------------------------------------------------------------

void paint_peeker(cairo_t* cr, int frame) {
    const double line = 2.6;
    const double cx = 87.5;  // the face is columns 75 to 100
    const bool hit = frame == 4;

    // Neck and chest, down to the picture's bottom.
    cairo_move_to(cr, cx - 20, 90);
    cairo_curve_to(cr, cx - 22, 70, cx - 18, 56, cx, 54);
    cairo_curve_to(cr, cx + 18, 56, cx + 22, 70, cx + 20, 90);
    cairo_close_path(cr);
    fill_stroke(cr, kStoatFur, kInk, line);
    ellipse(cr, cx, 80, 11, 22);
    set_colour(cr, kStoatCream);
    cairo_fill(cr);

    // Ears.
    for (int side = -1; side <= 1; side += 2) {
        const double ex = cx + side * 17;
        const double ey = frame == 3 ? 11 : 13;
        ellipse(cr, ex, ey, 7.5, 7.5);
        fill_stroke(cr, kStoatFur, kInk, line);
        ellipse(cr, ex, ey + 1, 3.8, 3.8);
        set_colour(cr, 0xE9A0A0);
        cairo_fill(cr);
    }

    // Head: broad at the brow, tapering to the snout.
    cairo_move_to(cr, cx, 8);
    cairo_curve_to(cr, cx + 20, 8, cx + 24, 22, cx + 22, 34);
    cairo_curve_to(cr, cx + 20, 48, cx + 10, 58, cx, 60);
    cairo_curve_to(cr, cx - 10, 58, cx - 20, 48, cx - 22, 34);
    cairo_curve_to(cr, cx - 24, 22, cx - 20, 8, cx, 8);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 6, 18, 2, cx, 30, 30);
    add_stop(p, 0, 0xC9874A);
    add_stop(p, 1, kStoatFur);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    // Cream muzzle and cheeks, clipped to the head.
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_new_path(cr);
    ellipse(cr, cx, 52, 17, 15);
    set_colour(cr, kStoatCream);
    cairo_fill(cr);
    cairo_restore(cr);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
    // A darker cap between the ears.
    ellipse(cr, cx, 14, 10, 4);
    set_colour(cr, kStoatFurDark, 0.6);
    cairo_fill(cr);

    // Eyes.
    if (hit) {
        cross_eye(cr, cx - 9, 30, 4.5, line);
        cross_eye(cr, cx + 9, 30, 4.5, line);
    } else if (frame == 3) {
        set_colour(cr, kInk);
        cairo_set_line_width(cr, line);
        for (int side = -1; side <= 1; side += 2) {
            cairo_arc_negative(cr, cx + side * 9, 28, 5, M_PI * 0.9, M_PI * 0.1);
            cairo_new_sub_path(cr);
        }
        cairo_stroke(cr);
    } else {
        const double look = frame == 1 ? -1.0 : (frame == 2 ? 1.0 : 0.0);
        eye(cr, cx - 9, 30, 6, 7, look, 0.2, line * 0.8);
        eye(cr, cx + 9, 30, 6, 7, look, 0.2, line * 0.8);
    }

    // Nose, mouth and whiskers.
    ellipse(cr, cx, 45, 4.5, 3.2);
    set_colour(cr, 0x20140C);
    cairo_fill(cr);
    ellipse(cr, cx - 1.2, 44, 1.4, 0.9);
    set_colour(cr, 0xFFFFFF);
    cairo_fill(cr);
    set_colour(cr, kInk);
    cairo_set_line_width(cr, line * 0.7);
    if (hit) {
        cairo_move_to(cr, cx - 6, 53);
        cairo_curve_to(cr, cx - 2, 50, cx + 2, 56, cx + 6, 53);
        cairo_stroke(cr);
        ellipse(cr, cx + 3, 57, 3, 4);
        fill_stroke(cr, 0xF07A8A, kInk, line * 0.5);
    } else {
        cairo_move_to(cr, cx, 48);
        cairo_line_to(cr, cx, 51);
        cairo_move_to(cr, cx - 5, 51);
        cairo_curve_to(cr, cx - 3, 54, cx - 1, 54, cx, 51);
        cairo_curve_to(cr, cx + 1, 54, cx + 3, 54, cx + 5, 51);
        cairo_stroke(cr);
    }
    cairo_set_line_width(cr, line * 0.4);
    for (int side = -1; side <= 1; side += 2) {
        for (int k = 0; k < 2; ++k) {
            cairo_move_to(cr, cx + side * 7, 47 + 2 * k);
            cairo_line_to(cr, cx + side * 24, 43 + 6 * k);
        }
    }
    cairo_stroke(cr);

    // Little paws held up at the chest.
    for (int side = -1; side <= 1; side += 2) {
        ellipse(cr, cx + side * 9, 72, 6, 5);
        fill_stroke(cr, kStoatFur, kInk, line * 0.8);
    }
    if (hit) {
        daze_star(cr, cx - 18, 6, 6, 0.2, line * 0.6);
        daze_star(cr, cx + 20, 4, 5, 0.8, line * 0.6);
    }
}

Picture draw_peeker(int frame) {
    Canvas c(152, 88);
    paint_peeker(c.cr(), frame);
    return to_picture(c);
}

void paint_bird(cairo_t* cr, int frame, double line) {
    bird(cr, frame, line);
}

Picture draw_flyer(int width, int height, int frame) {
    Canvas c(width, height);
    cairo_t* cr = c.cr();
    // The design box is 200 x 112; smaller birds keep its proportions and
    // get relatively thicker outlines so they stay readable.
    const double s = std::min(width / 200.0, height / 112.0);
    const double line = std::max(3.2, 1.15 / s);
    const bool hit = frame == 4;
    cairo_translate(cr, width / 2.0, height / 2.0);
    cairo_scale(cr, s, s);
    if (hit) {
        // Tumbling: turned over, with loose feathers and dizzy stars.
        cairo_save(cr);
        cairo_rotate(cr, 2.85);
        cairo_scale(cr, 0.72, 0.72);
        cairo_translate(cr, -104, -60);
        bird(cr, 4, line / 0.72);
        cairo_restore(cr);
        Rng rng(77);
        const double feathers[4][3] = {
            {-80, -40, 0.6}, {70, -42, -0.9}, {-60, 38, 2.2}, {84, 30, 1.4}};
        for (const auto& f : feathers) {
            cairo_save(cr);
            cairo_translate(cr, f[0], f[1]);
            cairo_rotate(cr, f[2]);
            ellipse(cr, 0, 0, 13, 5);
            cairo_restore(cr);
            fill_stroke(cr, rng.below(2) != 0 ? kBirdBody : kBirdTip, kInk, line * 0.8);
        }
        daze_star(cr, -20, -44, 12, 0.2, line * 0.7);
        daze_star(cr, 22, -48, 9, 0.7, line * 0.7);
    } else {
        cairo_translate(cr, -100, -56);
        bird(cr, frame, line);
    }
    return to_picture(c);
}

}  // namespace assets
