// Placeholder until the audio subsystem lands: keeps the game linkable.
// Deleted (not edited) by the change that builds the real one.
#include "audio/audio.h"

platform::SoundDevice* lpDS = nullptr;
platform::SoundBuffer* lpDSBSounds[22] = {};
char Mp3_Liste[10][1024] = {};
std::int32_t Mp3_Anzahl = 0;
std::int32_t Mp3_Nummer = 0;
std::int32_t Mp3_Status = 4;
std::uint8_t Mp3_an = 1;
std::uint32_t Mp3_Startzeit = 0;

int DSound_starten() { return 0; }
void DSound_beenden() {}
int DSound_abspielen(platform::SoundBuffer*, int, int) { return 0; }
bool Mp3_suchen() { return false; }
bool Dateien_suchen(const char*, const char*) { return false; }
void Mp3_steuern(int, const char*) {}
void Mp3_wechseln(std::int32_t, std::int32_t) {}
void Musik_abspielen(const char*) {}
