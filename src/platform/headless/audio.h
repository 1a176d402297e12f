// Sound in the headless backend: the mixer runs on the virtual clock, so a
// sound is "playing" for exactly its length in virtual milliseconds. These
// are the parts the tests need beyond headless.h.
#pragma once

#include <cstdint>

namespace platform::headless {

// Silences every voice, closes the jukebox's device, ends a capture and
// takes the current virtual time as the mixer's present (a fresh start).
void audio_reset();

// The sound output as the player's machine may change it under the game:
// there (as after a reset), lost (a headset unplugged, the sound server gone:
// the backend knows there is none) or stalled (still open, but it asks for no
// more samples: a sound server that hangs). While it is not there nothing is
// heard, and a capture records silence.
enum class AudioOutput { Present, Lost, Stalled };
void set_audio_output(AudioOutput output);

// Frames mixed since the process started (the mix rate is 44100 per second).
std::uint64_t audio_frames_mixed();

// Counts a MessageBeep and tells the observer (headless.cpp).
void record_beep();

}  // namespace platform::headless
