// Sound output: the stand-in for DirectSound static buffers, PlaySoundA tunes,
// the MCI MP3 device and MessageBeep. One mixer of ours, shared by both
// backends, mixes every voice; the SDL backend feeds it to the audio device,
// the headless backend runs it on the virtual clock.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace platform {

class SoundDevice;
class SoundBuffer;

// The 18-byte WAVEFORMATEX record as stored in a WAV file.
struct WaveFormat {
    std::uint16_t format_tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samples_per_sec = 0;
    std::uint32_t avg_bytes_per_sec = 0;
    std::uint16_t block_align = 0;
    std::uint16_t bits_per_sample = 0;
    std::uint16_t extra_size = 0;
};

constexpr std::uint32_t kSoundStatusPlaying = 1;  // DSBSTATUS_PLAYING
constexpr int kSoundOk = 0;
constexpr int kSoundErrInvalidParam = static_cast<int>(0x80070057u);  // negative: failure

// DirectSoundCreate for the default device: null on failure.
SoundDevice* sound_device_create();
bool sound_device_set_cooperative_level(SoundDevice* device, HWND window);
void sound_device_release(SoundDevice* device);

// A static buffer of bytes sample bytes in the given format: null when the
// format cannot be played or the buffer cannot be made.
SoundBuffer* sound_buffer_create(SoundDevice* device, const WaveFormat& format,
                                 std::uint32_t bytes);
// Lock the whole buffer for writing, then unlock: the samples are converted to
// the mixer's format at unlock, once.
bool sound_buffer_lock(SoundBuffer* buffer, void** area, std::uint32_t* length);
bool sound_buffer_unlock(SoundBuffer* buffer, void* area, std::uint32_t length);
std::uint32_t sound_buffer_status(SoundBuffer* buffer);
int sound_buffer_set_position(SoundBuffer* buffer, std::uint32_t position);
// Pan -10000..10000 and volume -10000..0 in hundredths of a decibel; values
// outside are refused (kSoundErrInvalidParam) and leave the setting unchanged.
int sound_buffer_set_pan(SoundBuffer* buffer, int pan);
int sound_buffer_set_volume(SoundBuffer* buffer, int volume);
int sound_buffer_play(SoundBuffer* buffer);
void sound_buffer_release(SoundBuffer* buffer);

// PlaySoundA(name, 0, SND_FILENAME | SND_ASYNC): plays a WAV file of the
// working directory once; a new tune ends the old one; null ends it.
bool tune_play(const char* file_name);

// mciSendStringA with the jukebox's commands ("open NAME type MPEGVideo Alias
// Mp3", "play Mp3", "play Mp3 repeat", "close Mp3"). Returns the MCI result.
int mci_send_string(const char* command);

}  // namespace platform
