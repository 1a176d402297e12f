// The one copy of the game's fixed tables that the game and its tools share:
// the sizes of the pictures in Grafik.dat, the horizon line of the landscape,
// the peeker's hiding places and the layout of an archive's trailer. Header
// only, so the tools use it without the game's globals.
#pragma once

#include <cstdint>

// Width and height of every entry of Grafik.dat; a picture must have exactly
// the size of the surface it is loaded into.
struct Bildgroesse {
    int Breite;
    int Hoehe;
};

inline constexpr Bildgroesse Bildgroessen[39] = {
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
    {160, 192},   // 25 riser frames 0 to 4
    {160, 192},   // 26
    {160, 192},   // 27
    {160, 192},   // 28
    {160, 192},   // 29
    {32, 128},    // 30 shell
    {920, 152},   // 31 font
    {1024, 768},  // 32 title
    {1024, 768},  // 33 highscore table after a new entry
    {152, 88},    // 34 peeker frames 0 to 3
    {152, 88},    // 35
    {152, 88},    // 36
    {152, 88},    // 37
    {312, 352},   // 38 pop-up figure
};

// The landscape picture is drawn at this screen y.
inline constexpr int Landschaft_y = 320;

struct Linienpunkt {
    std::int32_t x;  // landscape (world) x
    std::int32_t y;  // screen y
};

// The line below which the landscape hides the targets behind it (layer 1):
// the top of the scenery in front of them. x rises from 0 to 2050; within a
// stretch the height of its left point counts.
inline constexpr int Horizontpunkte = 83;
inline constexpr Linienpunkt Horizontlinie[Horizontpunkte] = {
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

// The peeker's hiding places: world x of its picture's left edge and the
// screen y its top edge rises to. It starts its picture's height lower,
// hidden behind the landscape.
inline constexpr Linienpunkt Versteckorte[8] = {{264, 329}, {519, 401},  {587, 453},  {669, 456},
                                                {970, 321}, {1196, 464}, {1531, 342}, {1750, 404}};

// The characters of the font picture, in the order of its 81 glyphs: small
// letters, capitals, digits, punctuation, 0xB4 (the acute accent of
// Windows-1252) and the line feed last. Any other character has no glyph.
inline constexpr char Zeichenfolge[] =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    ".,-:!\"$%&/()?\\`\xB4@+\n";
inline constexpr int Zeichenanzahl = 81;
static_assert(sizeof Zeichenfolge == Zeichenanzahl + 1);

// The archives' identity keys.
inline constexpr char Grafik_Schluessel[] = "QK7RM2D9TXB4HP1Z";
inline constexpr char Sound_Schluessel[] = "N2HV8C6WLA9E5JR3";

// A PackFile archive is its entries' complete BMP or WAV files one after
// another, then this trailer: a marker for each entry at byte 4 x i
// (entries 0 to 50), the entries' offsets at byte 204 + 4 x i (0 to 49), the
// zero-terminated tag at byte 404 and the identity key at byte 544, all
// integers little-endian.
namespace Archiv {
inline constexpr int Trailergroesse = 564;
inline constexpr int Marker_Offset = 0;
inline constexpr int Offsettabelle = 204;
inline constexpr int Tag_Offset = 404;
inline constexpr int Key_Offset = 544;
inline constexpr int Max_Eintraege = 50;  // the offset table ends where the tag begins
inline constexpr int Key_Laenge = 16;
inline constexpr std::int32_t Marker_Bild = 2000;
inline constexpr std::int32_t Marker_Sound = 1000;
inline constexpr char Tag[] = "PackFile-1.2";
}  // namespace Archiv
