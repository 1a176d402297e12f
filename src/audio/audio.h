// Sound effects in static buffers, the WAV tunes and the MP3 jukebox.
#pragma once

#include <cstdint>

#include "core/nummern.h"
#include "pack/packfile.h"
#include "platform/sound.h"

extern platform::SoundDevice* lpDS;
extern platform::SoundBuffer* lpDSBSounds[Klang::Anzahl];

int DSound_starten();
void DSound_beenden();
int DSound_abspielen(platform::SoundBuffer* puffer, int pan, int lautstaerke);
// Plays item nummer of Sound.dat (Klang::) with DSound_abspielen: centred and
// with the volume argument 10000 unless the caller says otherwise. An item
// outside the table plays nothing.
int Klang_abspielen(int nummer, int pan = 0, int lautstaerke = 10000);

// Sound entries of Sound.dat (RIFF WAVE) into static sound buffers.
struct MmioDatei;
int PackFile_Sound_laden(const char* name, const Verzeichnis* verzeichnis, int nummer,
                         platform::SoundBuffer** puffer);
bool DSound_WaveFormat(MmioDatei* datei, platform::WaveFormat* format, std::int32_t offset);
bool DSound_WaveDaten(MmioDatei* datei, std::uint32_t* anzahl, std::uint8_t** block,
                      std::int32_t offset);

constexpr std::int32_t Mp3_NAECHSTES = -1000;
constexpr std::int32_t Mp3_VORHERIGES = -2000;
constexpr std::int32_t Mp3_ZUFALL = -3000;

extern char Mp3_Liste[10][1024];
extern std::int32_t Mp3_Anzahl;
extern std::int32_t Mp3_Nummer;
extern std::int32_t Mp3_Status;  // 0 no tunes, 1 open and playing, 4 closed
extern std::uint8_t Mp3_an;
extern std::uint32_t Mp3_Startzeit;

bool Mp3_suchen();
bool Dateien_suchen(const char* verzeichnis, const char* endung);
void Mp3_steuern(int operation, const char* name);
void Mp3_wechseln(std::int32_t nummer, std::int32_t modus);

// PlaySoundA(name, 0, SND_FILENAME | SND_ASYNC); null ends the tune.
void Musik_abspielen(const char* name);
