#include "art.h"

#include <stdexcept>
#include <string>

#include "catalogue.h"
#include "font.h"

namespace assets {

std::vector<Picture> draw_pictures() {
    std::vector<Picture> out(kPictureCount);
    out[0] = draw_peeker(4);
    out[1] = draw_landscape();
    out[2] = draw_impact();
    out[3] = draw_backdrop(Backdrop::kCredits);
    // Flyers: entries 4 + 3 * frame (large), 5 + 3 * frame (small), 6 + 3 * frame (medium).
    for (int frame = 0; frame < 5; ++frame) {
        out[4 + 3 * frame] = draw_flyer(200, 112, frame);
        out[5 + 3 * frame] = draw_flyer(48, 32, frame);
        out[6 + 3 * frame] = draw_flyer(96, 64, frame);
    }
    for (int step = 0; step < 4; ++step) {
        out[19 + step] = draw_round_intro(step);
    }
    out[23] = draw_backdrop(Backdrop::kScoresLost);
    out[24] = draw_backdrop(Backdrop::kMenu);
    for (int frame = 0; frame < 5; ++frame) {
        out[25 + frame] = draw_riser(frame);
    }
    out[30] = draw_shell();
    out[31] = draw_font();
    out[32] = draw_backdrop(Backdrop::kTitle);
    out[33] = draw_backdrop(Backdrop::kScoresWon);
    for (int frame = 0; frame < 4; ++frame) {
        out[34 + frame] = draw_peeker(frame);
    }
    out[38] = draw_cheering_figure();
    for (int i = 0; i < kPictureCount; ++i) {
        if (out[i].width != Bildgroessen[i].Breite || out[i].height != Bildgroessen[i].Hoehe) {
            throw std::runtime_error("picture " + std::to_string(i) + " has the wrong size");
        }
    }
    return out;
}

}  // namespace assets
