// PackFile archives: complete BMP and WAV files followed by a 564-byte trailer
// (markers, offsets, format tag, identity key). Pictures load into surfaces,
// sounds into sound buffers.
#pragma once

#include <cstdint>

#include "gfx/ddraw.h"
#include "platform/sound.h"

constexpr int kVerzeichnisGroesse = 564;
constexpr int kMarkerBild = 2000;
constexpr int kMarkerSound = 1000;
constexpr int kTagOffset = 404;
constexpr int kKeyOffset = 544;
constexpr int kOffsetTabelle = 204;
constexpr int kMaxEintraege = 50;  // offset table room: bytes 204..403

// In-memory copy of an archive's trailer.
struct Verzeichnis {
    std::uint8_t bytes[kVerzeichnisGroesse];
};

extern Verzeichnis Grafik_Verzeichnis;
extern Verzeichnis Sound_Verzeichnis;

// Marker and offset of entry i as stored in the trailer (little-endian).
std::int32_t Verzeichnis_Marker(const Verzeichnis& v, int i);
std::int32_t Verzeichnis_Offset(const Verzeichnis& v, int i);

int PackFile_oeffnen(const char* name, Verzeichnis* verzeichnis, const char* schluessel);
int PackFile_Bild_laden(const char* name, const Verzeichnis* verzeichnis, int nummer,
                        Surface* surface);

// Sound entries (RIFF WAVE) into static sound buffers.
struct MmioDatei;
int PackFile_Sound_laden(const char* name, const Verzeichnis* verzeichnis, int nummer,
                         platform::SoundBuffer** puffer);
bool DSound_WaveFormat(MmioDatei* datei, platform::WaveFormat* format, std::int32_t offset);
bool DSound_WaveDaten(MmioDatei* datei, std::uint32_t* anzahl, std::uint8_t** block,
                      std::int32_t offset);
