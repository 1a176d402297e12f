// The SDL backend's sound output: an SDL audio device whose callback pulls
// from our mixer, and converting threads for the jukebox and the tunes.
// Opened on first use (the sound device, a tune, a jukebox command or a beep).
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "platform/audio_backend.h"
#include "platform/audio_convert.h"
#include "platform/mixer.h"
#include "platform/mp3_stream.h"
#include "platform/tune_stream.h"
#include "platform/window.h"

namespace platform::audio_backend {

namespace {

SDL_AudioDeviceID device = 0;
bool tried = false;

void pull(void* /*userdata*/, Uint8* stream, int len) {
    const int frame = static_cast<int>(audio::kMixChannels * sizeof(std::int16_t));
    audio::mixer().mix(reinterpret_cast<std::int16_t*>(stream),
                       static_cast<std::size_t>(len / frame));
}

bool open_device() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = audio::kMixRate;
    want.format = AUDIO_S16SYS;
    want.channels = audio::kMixChannels;
    want.samples = 1024;  // about 23 ms per callback
    want.callback = pull;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware wants.
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

void stop_output() {
    if (device != 0) {
        SDL_CloseAudioDevice(device);  // waits for a callback in progress
        device = 0;
    }
    audio::mixer().mp3().stop_thread();
    audio::mixer().tune().stop_thread();
}

}  // namespace

bool start() {
    if (tried) {
        return device != 0;
    }
    tried = true;
    if (!open_device()) {
        // No sound card or server: play into SDL's "dummy" driver, which takes
        // samples at the real rate, so that sounds still end on time (the
        // game waits for its shot sound) while nothing is heard.
        std::fprintf(stderr, "sound: no audio device (%s); the game plays silently\n",
                     SDL_GetError());
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        if (!open_device()) {
            std::fprintf(stderr, "sound: no audio output at all (%s)\n", SDL_GetError());
            return false;
        }
    }
    audio::mixer().mp3().start_thread();
    audio::mixer().tune().start_thread();
    SDL_PauseAudioDevice(device, 0);
    std::atexit(stop_output);
    return true;
}

void sync() {}

void report_sound(int, int, int) {}
void report_tune(const char*) {}
void report_mp3(const char*, const char*) {}

}  // namespace platform::audio_backend

namespace platform {

void message_beep(std::uint32_t /*type*/) {
    if (audio_backend::start()) {
        audio::mixer().beep();
    }
}

}  // namespace platform
