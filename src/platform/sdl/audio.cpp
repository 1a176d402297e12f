// The SDL backend's sound output: an SDL audio device whose callback pulls
// from our mixer, converting threads for the jukebox and the tunes, and a
// keeper thread that notices when the device goes away (a headset unplugged,
// the sound server restarted) and opens one again once there is one. Opened
// on first use (the sound device, a tune, a jukebox command or a beep).
//
// While there is no device, or the one open has stopped asking for samples,
// the effects move on by the clock (output_watch.h), so the game never waits
// for a sound that no device will play. Everything that may block on the
// sound system (opening, closing, choosing a driver) happens on the keeper
// thread, never on the game's.
#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

#include "platform/audio_backend.h"
#include "platform/audio_convert.h"
#include "platform/mixer.h"
#include "platform/mp3_stream.h"
#include "platform/observer.h"
#include "platform/output_watch.h"
#include "platform/tune_stream.h"
#include "platform/window.h"

namespace platform::audio_backend {

namespace {

using Clock = std::chrono::steady_clock;

// How often the keeper looks at the device, and how long it waits between
// two tries to open one.
constexpr auto kLookEvery = std::chrono::milliseconds(200);
constexpr auto kRetryEvery = std::chrono::seconds(2);
// How long the end of the program waits for the keeper to close the device:
// closing waits for SDL's audio thread, which a hung sound server holds.
constexpr auto kStopWait = std::chrono::seconds(2);

std::uint64_t now_us() {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
            .count());
}

struct Output {
    bool tried = false;
    SDL_AudioDeviceID device = 0;  // the keeper's once it runs
    std::thread keeper;
    std::future<void> keeper_done;
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
};

Output& output() {
    static Output* const o = new Output();  // outlives the threads at exit
    return *o;
}

void pull(void* /*userdata*/, Uint8* stream, int len) {
    audio::output_watch().pulled(now_us());
    const int frame = static_cast<int>(audio::kMixChannels * sizeof(std::int16_t));
    audio::mixer().mix(reinterpret_cast<std::int16_t*>(stream),
                       static_cast<std::size_t>(len / frame));
}

SDL_AudioDeviceID open_device() {
    SDL_AudioSpec want{};
    want.freq = audio::kMixRate;
    want.format = AUDIO_S16SYS;
    want.channels = audio::kMixChannels;
    want.samples = 1024;  // about 23 ms per callback
    want.callback = pull;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware wants.
    const SDL_AudioDeviceID d = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (d != 0) {
        audio::output_watch().set_open(true, now_us());
        SDL_PauseAudioDevice(d, 0);
    }
    return d;
}

// The keeper: closes a device that SDL reports gone and tries to open one
// every few seconds while there is none. A new try chooses the driver anew,
// which also connects to a sound server that was restarted.
void keep(Output& o) {
    auto next_try = Clock::now() + kRetryEvery;
    std::unique_lock<std::mutex> lock(o.mutex);
    while (!o.stop) {
        lock.unlock();
        if (o.device != 0 && SDL_GetAudioDeviceStatus(o.device) == SDL_AUDIO_STOPPED) {
            audio::output_watch().set_open(false, now_us());
            std::fprintf(stderr, "sound: the audio device went away; playing silently\n");
            SDL_CloseAudioDevice(o.device);
            o.device = 0;
            next_try = Clock::now() + kRetryEvery;
        }
        if (o.device == 0 && Clock::now() >= next_try) {
            if (SDL_AudioInit(nullptr) == 0) {
                o.device = open_device();
            }
            if (o.device != 0) {
                std::fprintf(stderr, "sound: playing through %s again\n",
                             SDL_GetCurrentAudioDriver());
            }
            next_try = Clock::now() + kRetryEvery;
        }
        lock.lock();
        o.wake.wait_for(lock, kLookEvery, [&] { return o.stop; });
    }
    lock.unlock();
    if (o.device != 0) {
        SDL_CloseAudioDevice(o.device);  // waits for a callback in progress
        o.device = 0;
    }
}

void stop_output() {
    Output& o = output();
    if (o.keeper.joinable()) {
        {
            std::lock_guard<std::mutex> lock(o.mutex);
            o.stop = true;
        }
        o.wake.notify_one();
        if (o.keeper_done.wait_for(kStopWait) == std::future_status::ready) {
            o.keeper.join();
        } else {
            std::fprintf(stderr, "sound: the sound system does not answer; not waiting for it\n");
            o.keeper.detach();
        }
    }
    audio::mixer().mp3().stop_thread();
    audio::mixer().tune().stop_thread();
}

}  // namespace

bool start() {
    Output& o = output();
    if (o.tried) {
        return true;
    }
    o.tried = true;
    audio::output_watch().reset(false, now_us());
    SDL_SetMainReady();  // main() is the game's own, not SDL's
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        o.device = open_device();
    }
    if (o.device == 0) {
        // No sound card or server (yet): the game plays silently, its sounds
        // still ending on time, and the keeper looks for a device.
        std::fprintf(stderr, "sound: no audio device (%s); playing silently\n", SDL_GetError());
    }
    audio::mixer().mp3().start_thread();
    audio::mixer().tune().start_thread();
    std::promise<void> done;
    o.keeper_done = done.get_future();
    o.keeper = std::thread([&o, done = std::move(done)]() mutable {
        keep(o);
        done.set_value();
    });
    std::atexit(stop_output);
    return true;
}

void sync() {
    if (output().tried) {
        audio::output_watch().keep_time(audio::mixer(), now_us());
    }
}

void report_sound(int index, int pan, int volume) {
    if (platform::observer() != nullptr) {
        platform::observer()->on_sound(index, pan, volume);
    }
}

void report_tune(const char* file) {
    if (platform::observer() != nullptr) {
        platform::observer()->on_tune(file);
    }
}

void report_mp3(const char* command, const char* file) {
    if (platform::observer() != nullptr) {
        platform::observer()->on_mp3(command, file);
    }
}

}  // namespace platform::audio_backend

namespace platform {

void message_beep(std::uint32_t /*type*/) {
    if (observer() != nullptr) {
        observer()->on_beep();
    }
    if (audio_backend::start()) {
        audio::mixer().beep();
    }
}

}  // namespace platform
