// The 22 sound effects: the sound device, one static buffer per entry of
// Sound.dat, and playing them by item.
#include "audio/audio.h"
#include "core/core.h"

platform::SoundDevice* lpDS = nullptr;
platform::SoundBuffer* lpDSBSounds[Klang::Anzahl] = {};

int DSound_starten() {
    lpDS = platform::sound_device_create();
    if (lpDS == nullptr) {
        Fehler_melden("DSound_starten: DirectSoundCreate()");
        DSound_beenden();
        return 1;
    }
    if (!platform::sound_device_set_cooperative_level(lpDS, Hauptfenster)) {
        Fehler_melden("DSound_starten: SetCooperativeLevel()");
        DSound_beenden();
        return 2;
    }
    for (int i = 0; i < Klang::Anzahl; ++i) {
        // The loader has shown its messages already.
        if (PackFile_Sound_laden("Sound.dat", &Sound_Verzeichnis, i, &lpDSBSounds[i]) != 0) {
            DSound_beenden();
            return 3;
        }
    }
    return 0;
}

void DSound_beenden() {
    for (platform::SoundBuffer*& puffer : lpDSBSounds) {
        if (puffer != nullptr) {
            platform::sound_buffer_release(puffer);
            puffer = nullptr;
        }
    }
    if (lpDS != nullptr) {
        platform::sound_device_release(lpDS);
        lpDS = nullptr;
    }
}

int DSound_abspielen(platform::SoundBuffer* puffer, int pan, int lautstaerke) {
    if (puffer == nullptr) {
        return 0;
    }
    // Still playing: back to its start rather than sounding twice.
    if (platform::sound_buffer_status(puffer) == platform::kSoundStatusPlaying) {
        platform::sound_buffer_set_position(puffer, 0);
    }
    platform::sound_buffer_set_pan(puffer, pan);
    // Refused for every value above 0 (the game passes 10000 and 50000), which
    // leaves the buffer at full volume.
    platform::sound_buffer_set_volume(puffer, lautstaerke);
    return platform::sound_buffer_play(puffer);
}

int Klang_abspielen(int nummer, int pan, int lautstaerke) {
    if (nummer < 0 || nummer >= Klang::Anzahl) {
        return 0;
    }
    return DSound_abspielen(lpDSBSounds[nummer], pan, lautstaerke);
}
