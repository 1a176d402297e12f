// What each backend provides to the shared sound code (sound.cpp): starting
// the output, bringing the mixer up to the present, and telling an observer
// what was played. Exactly one backend is linked.
#pragma once

namespace platform::audio_backend {

// Starts the sound output if it is not running yet. The SDL backend opens
// the audio device (falling back to SDL's silent "dummy" driver so that the
// game's timing by sound still works without a sound card); the headless
// backend has nothing to start. False when there is no output at all.
bool start();

// Called before every query and request: the headless backend mixes up to
// its virtual clock, so that "playing" and every start are exact in virtual
// time; the SDL device mixes on its own thread and needs nothing.
void sync();

// A play request on a loaded buffer (its index in creation order, and the pan
// and volume the game last asked for), a tune (file or null), a jukebox
// command ("open", "play", "play repeat", "close"; file for "open" only).
void report_sound(int index, int pan, int volume);
void report_tune(const char* file);
void report_mp3(const char* command, const char* file);

// Provided by the shared sound code for the backends: silences every voice
// and closes the jukebox's device without reporting anything (a fresh start
// for the headless backend's tests).
void stop_everything();

}  // namespace platform::audio_backend
