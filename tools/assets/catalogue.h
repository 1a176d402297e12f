// What the game expects of its data: the size of every picture entry, the
// horizon line of the landscape, the peeker's hiding places, and where the
// screens put things. The pictures are drawn to fit these.
#pragma once

namespace assets {

constexpr int kPictureCount = 39;
constexpr int kSoundCount = 22;

struct Size {
    int width;
    int height;
};

// Entry number -> picture size in Grafik.dat.
constexpr Size kPictureSizes[kPictureCount] = {
    {152, 88},    // 0 peeker, hit frame
    {2048, 448},  // 1 landscape
    {96, 96},     // 2 shot impact
    {1024, 768},  // 3 credits background
    {200, 112},   // 4 large flyer frame 0
    {48, 32},     // 5 small flyer frame 0
    {96, 64},     // 6 medium flyer frame 0
    {200, 112},   // 7
    {48, 32},     // 8
    {96, 64},     // 9
    {200, 112},   // 10
    {48, 32},     // 11
    {96, 64},     // 12
    {200, 112},   // 13
    {48, 32},     // 14
    {96, 64},     // 15
    {200, 112},   // 16 large flyer, hit frame
    {48, 32},     // 17 small flyer, hit frame
    {96, 64},     // 18 medium flyer, hit frame
    {312, 352},   // 19 round intro "-3-"
    {312, 352},   // 20 "-2-"
    {312, 352},   // 21 "-1-"
    {312, 352},   // 22 "Shot!"
    {1024, 768},  // 23 highscore table after a lost round
    {1024, 768},  // 24 menu
    {160, 192},   // 25 riser frames 0..4
    {160, 192},   // 26
    {160, 192},   // 27
    {160, 192},   // 28
    {160, 192},   // 29
    {32, 128},    // 30 shell
    {920, 152},   // 31 font
    {1024, 768},  // 32 title
    {1024, 768},  // 33 highscore table after a new entry
    {152, 88},    // 34 peeker frames 0..3
    {152, 88},    // 35
    {152, 88},    // 36
    {152, 88},    // 37
    {312, 352},   // 38 pop-up figure
};

// The landscape is drawn at screen y 320; picture row = screen y - 320.
constexpr int kLandscapeY = 320;

struct LinePoint {
    int x;
    int y;  // screen y
};

// The line below which the landscape hides what flies behind it.
constexpr int kHorizonPoints = 83;
constexpr LinePoint kHorizon[kHorizonPoints] = {
    {0, 475},    {64, 455},   {255, 465},  {432, 473},  {446, 467},  {464, 454},  {511, 456},
    {539, 446},  {558, 442},  {586, 436},  {607, 442},  {615, 462},  {631, 471},  {669, 484},
    {675, 493},  {687, 515},  {718, 535},  {720, 539},  {784, 540},  {802, 529},  {810, 521},
    {820, 511},  {825, 497},  {830, 484},  {844, 455},  {858, 438},  {878, 434},  {891, 432},
    {905, 420},  {917, 408},  {923, 382},  {944, 370},  {977, 368},  {994, 377},  {1011, 387},
    {1034, 392}, {1058, 408}, {1072, 401}, {1100, 398}, {1127, 396}, {1142, 410}, {1157, 432},
    {1169, 449}, {1208, 449}, {1220, 462}, {1227, 492}, {1229, 550}, {1231, 550}, {1240, 550},
    {1256, 550}, {1279, 550}, {1301, 536}, {1310, 531}, {1319, 522}, {1336, 506}, {1341, 491},
    {1354, 469}, {1365, 459}, {1386, 449}, {1412, 448}, {1430, 439}, {1442, 432}, {1460, 398},
    {1487, 391}, {1520, 393}, {1543, 401}, {1567, 407}, {1588, 416}, {1609, 425}, {1630, 419},
    {1658, 419}, {1682, 416}, {1702, 425}, {1714, 436}, {1731, 452}, {1744, 461}, {1785, 461},
    {1801, 473}, {1810, 491}, {1859, 488}, {1906, 484}, {2047, 484}, {2050, 484},
};

// The line's screen y at a landscape x, straight between the points.
inline double horizon_at(double x) {
    for (int i = 0; i + 1 < kHorizonPoints; ++i) {
        const LinePoint& a = kHorizon[i];
        const LinePoint& b = kHorizon[i + 1];
        if (x <= b.x) {
            if (x <= a.x) {
                return a.y;
            }
            return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
        }
    }
    return kHorizon[kHorizonPoints - 1].y;
}

// Peeker hiding places: landscape x of the picture's left edge and the screen
// y its top rises to. It starts 88 pixels lower, hidden behind the landscape.
constexpr LinePoint kHidingPlaces[8] = {{264, 329}, {519, 401},  {587, 453},  {669, 456},
                                        {970, 321}, {1196, 464}, {1531, 342}, {1750, 404}};

// Most of the line lies below hiding place 0's starting height, so a
// haystack stands there for the peeker to hide behind; it is the only
// scenery that rises above the line.
constexpr int kHaystackLeft = 296;
constexpr int kHaystackRight = 408;

}  // namespace assets
