// What the game expects of its data: the picture sizes, the horizon line of
// the landscape and the peeker's hiding places come from the game's own
// tables; the pictures are drawn to fit them.
#pragma once

#include "core/nummern.h"
#include "core/tabellen.h"

namespace assets {

constexpr int kPictureCount = Bild::Anzahl;
constexpr int kSoundCount = Klang::Anzahl;

// The landscape is drawn at screen y 320; picture row = screen y - 320.
constexpr int kLandscapeY = Landschaft_y;

// The line's screen y at a landscape x, straight between the points.
inline double horizon_at(double x) {
    for (int i = 0; i + 1 < Horizontpunkte; ++i) {
        const Linienpunkt& a = Horizontlinie[i];
        const Linienpunkt& b = Horizontlinie[i + 1];
        if (x <= b.x) {
            if (x <= a.x) {
                return a.y;
            }
            return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
        }
    }
    return Horizontlinie[Horizontpunkte - 1].y;
}

// Most of the line lies below hiding place 0's starting height, so a
// haystack stands there for the peeker to hide behind; it is the only
// scenery that rises above the line.
constexpr int kHaystackLeft = 296;
constexpr int kHaystackRight = 408;

}  // namespace assets
