// PackFile archives: complete BMP and WAV files followed by a 564-byte trailer
// (markers, offsets, format tag, identity key). Pictures load into surfaces,
// sounds are read by the sound code (audio/).
#pragma once

#include <cstdint>

#include "core/tabellen.h"
#include "gfx/ddraw.h"

// In-memory copy of an archive's trailer: markers of entries 0 to 50 at byte
// 4 x i, offsets of entries 0 to 49 at byte 204 + 4 x i, the tag at 404 and
// the identity key at 544 (both zero-terminated).
struct Verzeichnis {
    std::uint8_t bytes[Archiv::Trailergroesse];
};
static_assert(sizeof(Verzeichnis) == Archiv::Trailergroesse);

extern Verzeichnis Grafik_Verzeichnis;
extern Verzeichnis Sound_Verzeichnis;

// Marker and offset of entry i as stored in the trailer (little-endian); 0 for
// an i outside the table.
std::int32_t Verzeichnis_Marker(const Verzeichnis& v, int i);
std::int32_t Verzeichnis_Offset(const Verzeichnis& v, int i);

// Reads the trailer of the archive into verzeichnis and checks its tag and, when
// schluessel is not null, its identity key. 0, or 1 (cannot be opened),
// 2 (not a PackFile), 3 (another key), each after its message.
int PackFile_oeffnen(const char* name, Verzeichnis* verzeichnis, const char* schluessel);
// Loads picture entry nummer (0 to 38) into the surface, which must have the
// picture's size, in the pixel format Farbtiefe chooses. 0, or 1 to 9 after
// the message; 1, 2 and 7 also end the game (Spielzustand 9).
int PackFile_Bild_laden(const char* name, const Verzeichnis* verzeichnis, int nummer,
                        Surface* surface);
