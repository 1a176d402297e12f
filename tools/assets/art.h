// The pictures of Grafik.dat, one drawing routine per kind of picture.
#pragma once

#include <vector>

#include "picture.h"

namespace assets {

// All 39 pictures in entry order.
std::vector<Picture> draw_pictures();

Picture draw_landscape();                              // entry 1
Picture draw_flyer(int width, int height, int frame);  // frames 0..3 wing beat, 4 hit
Picture draw_riser(int frame);                         // 160 x 192
Picture draw_peeker(int frame);                        // 152 x 88
Picture draw_cheering_figure();                        // entry 38
Picture draw_round_intro(int step);                    // 0..2: "3", "2", "1"; 3: "Shot!"
Picture draw_shell();                                  // entry 30
Picture draw_impact();                                 // entry 2

// The characters drawn into any Cairo context, in their own design boxes:
// bird 200 x 112 facing right, riser 160 x 192, peeker 152 x 88, cheering
// figure 312 x 352.
void paint_bird(cairo_t* cr, int frame, double line);
void paint_riser(cairo_t* cr, int frame);
void paint_peeker(cairo_t* cr, int frame);
void paint_cheering_figure(cairo_t* cr);

enum class Backdrop { kTitle, kMenu, kScoresWon, kScoresLost, kCredits };
Picture draw_backdrop(Backdrop which);

}  // namespace assets
