// The SDL backend's sound output in real time: the device starts (with the
// "dummy" driver where there is no sound card), pulls from the mixer, and a
// played buffer stops reporting "playing" once its samples have gone out.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/sound.h"
#include "platform/window.h"
#include "support/sound_support.h"

using namespace bramble_test;
using Clock = std::chrono::steady_clock;

namespace {

platform::WaveFormat mono16() {
    platform::WaveFormat f;
    f.format_tag = 1;
    f.channels = 1;
    f.samples_per_sec = 22050;
    f.block_align = 2;
    f.avg_bytes_per_sec = 44100;
    f.bits_per_sample = 16;
    return f;
}

}  // namespace

TEST(AudioSdl, BuffersPlayInRealTimeThroughTheDevice) {
    platform::SoundDevice* device = platform::sound_device_create();
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(platform::sound_device_set_cooperative_level(device, nullptr));
    const Bytes samples = pcm16(tone(440, 22050, 22050 / 4, 8000));  // 250 ms
    platform::SoundBuffer* b =
        platform::sound_buffer_create(device, mono16(), static_cast<std::uint32_t>(samples.size()));
    ASSERT_NE(b, nullptr);
    void* area = nullptr;
    std::uint32_t length = 0;
    ASSERT_TRUE(platform::sound_buffer_lock(b, &area, &length));
    std::memcpy(area, samples.data(), length);
    ASSERT_TRUE(platform::sound_buffer_unlock(b, area, length));

    platform::sound_buffer_set_pan(b, -2000);
    platform::sound_buffer_set_volume(b, 10000);
    const auto start = Clock::now();
    ASSERT_EQ(platform::sound_buffer_play(b), platform::kSoundOk);
    EXPECT_EQ(platform::sound_buffer_status(b), platform::kSoundStatusPlaying);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(platform::sound_buffer_status(b), platform::kSoundStatusPlaying);
    while (platform::sound_buffer_status(b) == platform::kSoundStatusPlaying &&
           Clock::now() - start < std::chrono::seconds(5)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_EQ(platform::sound_buffer_status(b), 0u);
    // The device takes samples at about the real rate, a callback (23 ms) at a time.
    EXPECT_GE(took, 200);
    EXPECT_LT(took, 3000);  // a sound server may take a moment to start the stream

    // Played again from its start.
    platform::sound_buffer_play(b);
    EXPECT_EQ(platform::sound_buffer_status(b), platform::kSoundStatusPlaying);
    platform::sound_buffer_release(b);
    platform::sound_device_release(device);
}

TEST(AudioSdl, TunesJukeboxAndBeepRunAlongside) {
    const std::string dir = scratch_dir("audio_sdl");
    write_file(dir + "/tune.wav", wav({}, pcm16(tone(330, 44100, 44100 / 5, 8000))));
    EXPECT_TRUE(platform::tune_play((dir + "/tune.wav").c_str()));
    platform::message_beep(0);
    bool have_mp3 = false;
    if (std::system("command -v lame >/dev/null 2>&1") == 0) {
        have_mp3 =
            std::system(
                ("lame --quiet '" + dir + "/tune.wav' '" + dir + "/song one.mp3'").c_str()) == 0;
    }
    const std::string name = dir + (have_mp3 ? "/song one.mp3" : "/missing.mp3");
    EXPECT_EQ(platform::mci_send_string(("open " + name + " type MPEGVideo Alias Mp3").c_str()), 0);
    EXPECT_EQ(platform::mci_send_string("play Mp3 repeat"), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(platform::mci_send_string("close Mp3"), 0);
    // Open and close in quick succession while the decoding thread works.
    for (int i = 0; i < 20; ++i) {
        platform::mci_send_string(("open " + name + " type MPEGVideo Alias Mp3").c_str());
        platform::mci_send_string("play Mp3");
        platform::mci_send_string("close Mp3");
    }
    EXPECT_TRUE(platform::tune_play(nullptr));
}
