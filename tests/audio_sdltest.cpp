// The SDL backend's sound output in real time: the device starts (SDL's
// "dummy" driver under scripts/xvfb-run-wm), pulls from the mixer, and a
// played buffer stops reporting "playing" once its samples have gone out;
// the jukebox's decoding thread neither hangs on a file nor holds up the exit.
#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "core/nummern.h"
#include "platform/mixer.h"
#include "platform/mp3_stream.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "support/fixture.h"
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

bool wait_for(const std::function<bool()>& pred, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (!pred()) {
        if (Clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Runs one test of this binary in a process of its own, to its very end (the
// exit included), and gives its exit status, or -1 if it had not ended after
// `seconds` (it is killed then). Its output goes to the file `log`.
int run_alone(const std::string& test, int seconds, const std::string& log) {
    const std::string filter = "--gtest_filter=" + test;
    std::vector<char*> argv = {const_cast<char*>("/proc/self/exe"),
                               const_cast<char*>("--gtest_also_run_disabled_tests"),
                               const_cast<char*>(filter.c_str()), nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
        return -2;
    }
    int status = 0;
    const bool ended = wait_for([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds);
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string file_text(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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

namespace {

platform::SoundBuffer* load_tone_buffer(platform::SoundDevice* device, int ms) {
    const Bytes samples = pcm16(tone(440, 22050, 22050 * ms / 1000, 8000));
    platform::SoundBuffer* b =
        platform::sound_buffer_create(device, mono16(), static_cast<std::uint32_t>(samples.size()));
    void* area = nullptr;
    std::uint32_t length = 0;
    if (b == nullptr || !platform::sound_buffer_lock(b, &area, &length)) {
        return nullptr;
    }
    std::memcpy(area, samples.data(), length);
    return platform::sound_buffer_unlock(b, area, length) ? b : nullptr;
}

// Plays b to its end; the time it reported "playing", in milliseconds (more
// than 5000: it never ended).
long play_through(platform::SoundBuffer* b) {
    const auto start = Clock::now();
    platform::sound_buffer_play(b);
    wait_for([&] { return platform::sound_buffer_status(b) == 0; }, 5.5);
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

}  // namespace

// Run by tests/e2e/sound_server.sh with a PulseAudio server of its own: the
// server hangs (SIGSTOP) under a device that is playing. Sounds still end on
// time: the first one at most a stall's notice late, the next ones on the
// dot. After the server goes on, the device plays again.
TEST(AudioSdlAlone, DISABLED_SoundsEndOnTimeWhileTheServerHangs) {
    const char* server = std::getenv("BRAMBLE_SOUND_SERVER_PID");
    ASSERT_NE(server, nullptr);
    const pid_t pid = static_cast<pid_t>(std::atol(server));
    platform::SoundDevice* device = platform::sound_device_create();
    ASSERT_NE(device, nullptr);
    ASSERT_STREQ(SDL_GetCurrentAudioDriver(), "pulseaudio");
    platform::SoundBuffer* b = load_tone_buffer(device, 300);
    ASSERT_NE(b, nullptr);
    std::printf("with the server: %ld ms\n", play_through(b));

    ASSERT_EQ(kill(pid, SIGSTOP), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const long first = play_through(b);
    const long second = play_through(b);
    const long third = play_through(b);
    kill(pid, SIGCONT);
    std::printf("with the server stopped: %ld, %ld, %ld ms\n", first, second, third);
    EXPECT_GE(first, 280);
    EXPECT_LT(first, 300 + 400 + 300);
    for (const long t : {second, third}) {
        EXPECT_GE(t, 280);
        EXPECT_LT(t, 300 + 150);
    }
    const long again = play_through(b);
    std::printf("with the server going on: %ld ms\n", again);
    EXPECT_LT(again, 3000);
    platform::sound_buffer_release(b);
    platform::sound_device_release(device);
}

// A named pipe called like a tune (and a link to it) beside a good tune: the
// jukebox goes through every tune it lists and then opens the pipe itself, as
// if the pipe had appeared after the listing; the good tune plays, and the
// program's exit, with the decoding thread stopped at its end, returns.
TEST(AudioSdl, APipeCalledLikeATuneHangsNeitherTheJukeboxNorTheExit) {
    if (!have_lame()) {
        GTEST_SKIP() << "lame is not installed (scripts/bootstrap installs it)";
    }
    const std::string log = bramble_test::output_dir() + "/audio_sdl_pipe.log";
    const int status = run_alone("AudioSdlAlone.DISABLED_PipeThenAGoodTune", 30, log);
    EXPECT_EQ(status, 0) << (status == -1 ? "it hung; " : "") << "its output:\n" << file_text(log);
}

TEST(AudioSdlAlone, DISABLED_PipeThenAGoodTune) {
    const std::string dir = scratch_dir("audio_sdl_pipe");
    ASSERT_EQ(mkfifo((dir + "/a.mp3").c_str(), 0644), 0);
    ASSERT_TRUE(make_mp3(dir + "/b.mp3", 440, 44100, 44100 / 5));
    ASSERT_EQ(symlink("a.mp3", (dir + "/c.mp3").c_str()), 0);
    InDirectory in(dir);
    Mp3_Status = Mp3::Zu;
    Mp3_an = 1;
    ASSERT_TRUE(Mp3_suchen());
    const std::vector<std::string> listed(Mp3_Liste, Mp3_Liste + Mp3_Anzahl);
    EXPECT_EQ(listed, std::vector<std::string>{"b.mp3"});
    platform::audio::Mp3Stream& stream = platform::audio::mixer().mp3();
    for (int i = 0; i < Mp3_Anzahl; ++i) {
        Mp3_wechseln(i, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        Mp3_steuern(Mp3::Schliessen, nullptr);
    }
    EXPECT_EQ(platform::mci_send_string("open a.mp3 type MPEGVideo Alias Mp3"), 0);
    EXPECT_EQ(platform::mci_send_string("play Mp3"), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(platform::mci_send_string("close Mp3"), 0);

    Mp3_wechseln(static_cast<std::int32_t>(std::find(listed.begin(), listed.end(), "b.mp3") -
                                           listed.begin()),
                 0);
    EXPECT_TRUE(wait_for([&] { return stream.busy(); }, 5)) << "b.mp3 never started";
    EXPECT_TRUE(wait_for([&] { return !stream.busy(); }, 5)) << "b.mp3 never ended";
    Mp3_steuern(Mp3::Schliessen, nullptr);
}
