// The browser's sound output: an SDL audio device (the page's Web Audio
// context) whose callback runs on the page's one thread between frames. With
// no threads to convert ahead, the callback converts what the jukebox and the
// tune need for the block it mixes, as the headless backend does before each
// step. The page resumes the audio context at the player's first click or key
// (browsers start it only after a gesture); until then the effects move on by
// the clock (output_watch.h), so the game never waits for silent sound.
#include <SDL.h>

#include <chrono>
#include <cstdio>

#include "platform/audio_backend.h"
#include "platform/mixer.h"
#include "platform/mp3_stream.h"
#include "platform/output_watch.h"
#include "platform/tune_stream.h"
#include "platform/window.h"

namespace platform::audio_backend {

namespace {

std::uint64_t now_us() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

bool tried = false;

void pull(void* /*userdata*/, Uint8* stream, int len) {
    audio::output_watch().pulled(now_us());
    const int frame = static_cast<int>(audio::kMixChannels * sizeof(std::int16_t));
    const auto frames = static_cast<std::size_t>(len / frame);
    audio::Mixer& m = audio::mixer();
    m.mp3().service(frames);
    m.tune().service(frames);
    m.mix(reinterpret_cast<std::int16_t*>(stream), frames);
}

}  // namespace

bool start() {
    if (tried) {
        return true;
    }
    tried = true;
    audio::output_watch().reset(false, now_us());
    SDL_AudioDeviceID device = 0;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec want{};
        want.freq = audio::kMixRate;
        want.format = AUDIO_S16SYS;
        want.channels = audio::kMixChannels;
        want.samples = 2048;  // about 46 ms a callback: the page's thread also draws
        want.callback = pull;
        SDL_AudioSpec have{};
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    }
    if (device == 0) {
        std::fprintf(stderr, "sound: no audio device (%s); playing silently\n", SDL_GetError());
        return true;
    }
    audio::output_watch().set_open(true, now_us());
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void sync() {
    if (tried) {
        audio::output_watch().keep_time(audio::mixer(), now_us());
    }
}

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
