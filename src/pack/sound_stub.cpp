// Placeholder until the sound loader lands: keeps the game linkable.
// Deleted (not edited) by the change that builds the real loader.
#include "pack/packfile.h"

int PackFile_Sound_laden(const char*, const Verzeichnis*, int, platform::SoundBuffer**) { return 1; }
bool DSound_WaveFormat(MmioDatei*, platform::WaveFormat*, std::int32_t) { return false; }
bool DSound_WaveDaten(MmioDatei*, std::uint32_t*, std::uint8_t**, std::int32_t) { return false; }
