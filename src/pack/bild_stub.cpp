// Placeholder until the archive loader lands: keeps the game linkable.
// Deleted (not edited) by the change that builds the real loader.
#include "pack/packfile.h"

Verzeichnis Grafik_Verzeichnis{};
Verzeichnis Sound_Verzeichnis{};
std::int32_t Verzeichnis_Marker(const Verzeichnis&, int) { return 0; }
std::int32_t Verzeichnis_Offset(const Verzeichnis&, int) { return 0; }
int PackFile_oeffnen(const char*, Verzeichnis*, const char*) { return 1; }
int PackFile_Bild_laden(const char*, const Verzeichnis*, int, Surface*) { return 1; }
