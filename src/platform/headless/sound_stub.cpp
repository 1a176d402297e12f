// Placeholder until the mixer lands: keeps the headless backend linkable.
// Deleted (not edited) by the change that builds the real sound output.
#include <string>

#include "platform/headless/headless.h"
#include "platform/sound.h"

namespace platform {
SoundDevice* sound_device_create() { return nullptr; }
bool sound_device_set_cooperative_level(SoundDevice*, HWND) { return false; }
void sound_device_release(SoundDevice*) {}
SoundBuffer* sound_buffer_create(SoundDevice*, const WaveFormat&, std::uint32_t) { return nullptr; }
bool sound_buffer_lock(SoundBuffer*, void**, std::uint32_t*) { return false; }
bool sound_buffer_unlock(SoundBuffer*, void*, std::uint32_t) { return false; }
std::uint32_t sound_buffer_status(SoundBuffer*) { return 0; }
int sound_buffer_set_position(SoundBuffer*, std::uint32_t) { return 0; }
int sound_buffer_set_pan(SoundBuffer*, int) { return 0; }
int sound_buffer_set_volume(SoundBuffer*, int) { return 0; }
int sound_buffer_play(SoundBuffer*) { return 0; }
void sound_buffer_release(SoundBuffer*) {}
bool tune_play(const char*) { return false; }
int mci_send_string(const char*) { return 0; }
}  // namespace platform

namespace platform::headless {
bool audio_capture_begin(const std::string&) { return false; }
void audio_capture_end() {}
}  // namespace platform::headless
