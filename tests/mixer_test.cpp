// The mixer under the sound API: static buffers (exact status in virtual time,
// restart, pan, volume, conversion), tunes, the beep, the MCI commands and
// the MP3 stream with real files made by lame.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless/audio.h"
#include "platform/sound.h"
#include "platform/tune_stream.h"
#include "platform/window.h"
#include "support/fixture.h"
#include "support/sound_support.h"

using namespace bramble_test;
namespace headless = platform::headless;
using platform::SoundBuffer;
using platform::WaveFormat;

namespace {

WaveFormat pcm(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    WaveFormat f;
    f.format_tag = 1;
    f.channels = channels;
    f.samples_per_sec = rate;
    f.block_align = static_cast<std::uint16_t>(channels * bits / 8);
    f.avg_bytes_per_sec = rate * f.block_align;
    f.bits_per_sample = bits;
    return f;
}

struct Recorder : headless::Observer {
    std::vector<std::string> events;
    void on_beep() override { events.push_back("beep"); }
    void on_sound(int item, int pan, int volume) override {
        events.push_back("sound " + std::to_string(item) + " " + std::to_string(pan) + " " +
                         std::to_string(volume));
    }
    void on_tune(const char* f) override {
        events.push_back(std::string("tune ") + (f != nullptr ? f : "(none)"));
    }
    void on_mp3(const char* cmd, const char* f) override {
        events.push_back(std::string("mp3 ") + cmd + (f != nullptr ? std::string(" ") + f : ""));
    }
};

class MixerTest : public HeadlessTest {
   protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        headless::audio_reset();
        device_ = platform::sound_device_create();
        ASSERT_NE(device_, nullptr);
    }

    void TearDown() override {
        for (SoundBuffer* b : buffers_) {
            platform::sound_buffer_release(b);
        }
        platform::sound_device_release(device_);
        headless::audio_reset();
        headless::set_observer(nullptr);
        HeadlessTest::TearDown();
    }

    SoundBuffer* load(const WaveFormat& f, const Bytes& data) {
        SoundBuffer* b =
            platform::sound_buffer_create(device_, f, static_cast<std::uint32_t>(data.size()));
        EXPECT_NE(b, nullptr);
        if (b == nullptr) {
            return nullptr;
        }
        void* area = nullptr;
        std::uint32_t length = 0;
        EXPECT_TRUE(platform::sound_buffer_lock(b, &area, &length));
        EXPECT_EQ(length, data.size());
        std::memcpy(area, data.data(), length);
        EXPECT_TRUE(platform::sound_buffer_unlock(b, area, length));
        buffers_.push_back(b);
        return b;
    }

    // A 16-bit mono tone at 44100 of the given length.
    SoundBuffer* load_tone(double freq, int ms, double amplitude = 10000) {
        return load(pcm(1, 44100, 16), pcm16(tone(freq, 44100, 441 * ms / 10, amplitude)));
    }

    void begin_capture(const std::string& name) {
        path_ = output_dir() + "/" + name + ".wav";
        ASSERT_TRUE(headless::audio_capture_begin(path_));
    }

    Capture end_capture() {
        headless::audio_capture_end();
        return read_capture(path_);
    }

    platform::SoundDevice* device_ = nullptr;
    std::vector<SoundBuffer*> buffers_;
    std::string path_;
};

}  // namespace

TEST_F(MixerTest, RefusesFormatsItCannotPlay) {
    struct Case {
        const char* what;
        WaveFormat f;
        std::uint32_t bytes;
    };
    std::vector<Case> bad;
    WaveFormat f = pcm(1, 22050, 16);
    f.channels = 0;
    bad.push_back({"no channels", f, 100});
    f = pcm(1, 22050, 16);
    f.samples_per_sec = 0;
    bad.push_back({"no rate", f, 100});
    f = pcm(1, 22050, 16);
    f.block_align = 0;
    bad.push_back({"no block alignment", f, 100});
    bad.push_back({"12 bits", pcm(1, 22050, 12), 100});
    bad.push_back({"24 bits", pcm(1, 22050, 24), 102});
    bad.push_back({"0 bits", pcm(1, 22050, 0), 100});
    bad.push_back({"three channels", pcm(3, 22050, 16), 102});
    f = pcm(2, 22050, 16);
    f.block_align = 2;
    bad.push_back({"block alignment not channels x bytes", f, 100});
    f = pcm(1, 22050, 16);
    f.format_tag = 2;
    bad.push_back({"ADPCM", f, 100});
    f = pcm(1, 22050, 16);
    f.format_tag = 3;
    bad.push_back({"16-bit float", f, 100});
    bad.push_back({"empty", pcm(1, 22050, 16), 0});
    bad.push_back({"below the minimum size", pcm(1, 22050, 16), 3});
    // 40000 bytes at 100 Hz would be 17.6 million frames once converted.
    bad.push_back({"longer than six minutes once converted", pcm(1, 100, 8), 40000});
    for (const Case& c : bad) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(platform::sound_buffer_create(device_, c.f, c.bytes), nullptr);
    }
    WaveFormat fl = pcm(1, 48000, 32);
    fl.format_tag = 3;
    for (const WaveFormat& ok : {pcm(1, 8000, 8), pcm(2, 48000, 16), fl, pcm(2, 11025, 32)}) {
        SoundBuffer* b = platform::sound_buffer_create(device_, ok, 64);
        EXPECT_NE(b, nullptr);
        platform::sound_buffer_release(b);
    }
    {
        SoundBuffer* b = platform::sound_buffer_create(device_, pcm(1, 100, 8), 38000);
        EXPECT_NE(b, nullptr);
        platform::sound_buffer_release(b);
    }
}

TEST_F(MixerTest, PlaysOnceForExactlyItsLengthInVirtualTime) {
    SoundBuffer* b = load_tone(440, 100);
    EXPECT_EQ(platform::sound_buffer_status(b), 0u);
    EXPECT_EQ(platform::sound_buffer_play(b), platform::kSoundOk);
    EXPECT_EQ(platform::sound_buffer_status(b), platform::kSoundStatusPlaying);
    headless::advance(99);
    EXPECT_EQ(platform::sound_buffer_status(b), platform::kSoundStatusPlaying);
    headless::advance(1);
    EXPECT_EQ(platform::sound_buffer_status(b), 0u);
    // Its cursor is back at the start: it plays its whole length again.
    platform::sound_buffer_play(b);
    headless::advance(99);
    EXPECT_EQ(platform::sound_buffer_status(b), platform::kSoundStatusPlaying);
    headless::advance(1);
    EXPECT_EQ(platform::sound_buffer_status(b), 0u);
}

TEST_F(MixerTest, PlayWhilePlayingGoesOnAndRewindingRestarts) {
    SoundBuffer* b = load_tone(440, 100);
    begin_capture("mixer_restart");
    platform::sound_buffer_play(b);
    headless::advance(50);
    platform::sound_buffer_play(b);  // no effect on a playing buffer
    headless::advance(50);
    EXPECT_EQ(platform::sound_buffer_status(b), 0u);

    platform::sound_buffer_play(b);
    headless::advance(60);
    EXPECT_EQ(platform::sound_buffer_set_position(b, 0), platform::kSoundOk);
    headless::advance(99);
    EXPECT_EQ(platform::sound_buffer_status(b), platform::kSoundStatusPlaying);
    headless::advance(1);
    EXPECT_EQ(platform::sound_buffer_status(b), 0u);
    headless::advance(40);
    const Capture c = end_capture();
    ASSERT_EQ(c.frames(), ms(300));
    // The restart is heard as the sound's first samples again, never twice at once.
    const std::size_t restart = ms(160);
    for (std::size_t i = 0; i < ms(100); i += 97) {
        ASSERT_EQ(c.at(restart + i, 0), c.at(i, 0)) << i;
    }
    EXPECT_LT(c.rms(0, ms(260), ms(300)), 1.0);
    EXPECT_EQ(platform::sound_buffer_set_position(b, 100000), platform::kSoundErrInvalidParam);
}

TEST_F(MixerTest, PanAttenuatesTheOppositeChannelAndVolumeAboveZeroIsRefused) {
    SoundBuffer* b = load_tone(1000, 100, 16000);
    const double full = 16000 / std::sqrt(2.0);
    struct Case {
        int pan, volume, pan_result, volume_result;
        double left, right;
    };
    const Case cases[] = {
        {-10000, 10000, 0, platform::kSoundErrInvalidParam, 1.0, 0.0},
        {10000, 50000, 0, platform::kSoundErrInvalidParam, 0.0, 1.0},
        {-600, 0, 0, 0, 1.0, 0.501},
        {0, -600, 0, 0, 0.501, 0.501},
        {0, -10000, 0, 0, 0.0, 0.0},
        {-10001, 1, platform::kSoundErrInvalidParam, platform::kSoundErrInvalidParam, 1.0, 1.0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(::testing::Message() << "pan " << k.pan << " volume " << k.volume);
        // Refused values leave the previous setting: start from the centre.
        platform::sound_buffer_set_pan(b, 0);
        platform::sound_buffer_set_volume(b, 0);
        EXPECT_EQ(platform::sound_buffer_set_pan(b, k.pan), k.pan_result);
        EXPECT_EQ(platform::sound_buffer_set_volume(b, k.volume), k.volume_result);
        begin_capture("mixer_pan");
        platform::sound_buffer_play(b);
        headless::advance(100);
        const Capture c = end_capture();
        EXPECT_NEAR(c.rms(0, 0, ms(100)) / full, k.left, 0.01);
        EXPECT_NEAR(c.rms(1, 0, ms(100)) / full, k.right, 0.01);
    }
}

TEST_F(MixerTest, VoicesOverlapAndAreSummed) {
    SoundBuffer* low = load_tone(440, 200, 8000);
    SoundBuffer* high = load_tone(1500, 200, 8000);
    begin_capture("mixer_overlap");
    platform::sound_buffer_play(low);
    headless::advance(100);
    platform::sound_buffer_play(high);
    EXPECT_EQ(platform::sound_buffer_status(low), platform::kSoundStatusPlaying);
    EXPECT_EQ(platform::sound_buffer_status(high), platform::kSoundStatusPlaying);
    headless::advance(200);
    const Capture c = end_capture();
    EXPECT_NEAR(c.amplitude_at(440, 0, ms(0), ms(100)), 8000, 200);
    EXPECT_LT(c.amplitude_at(1500, 0, ms(0), ms(100)), 100);
    EXPECT_NEAR(c.amplitude_at(440, 0, ms(100), ms(200)), 8000, 200);
    EXPECT_NEAR(c.amplitude_at(1500, 0, ms(100), ms(200)), 8000, 200);
    EXPECT_LT(c.amplitude_at(440, 0, ms(200), ms(300)), 100);
    EXPECT_NEAR(c.amplitude_at(1500, 1, ms(200), ms(300)), 8000, 200);
}

TEST_F(MixerTest, OtherFormatsAreConvertedOnceAtLoad) {
    // 8-bit unsigned mono at 22050: 100 ms, 500 Hz, on both channels.
    Bytes u8;
    for (int i = 0; i < 2205; ++i) {
        u8.push_back(static_cast<std::uint8_t>(
            128 + std::lround(100 * std::sin(2 * M_PI * 500 * i / 22050.0))));
    }
    SoundBuffer* b = load(pcm(1, 22050, 8), u8);
    begin_capture("mixer_convert");
    platform::sound_buffer_play(b);
    headless::advance(98);
    EXPECT_EQ(platform::sound_buffer_status(b), platform::kSoundStatusPlaying);
    headless::advance(4);
    EXPECT_EQ(platform::sound_buffer_status(b), 0u);
    const Capture c = end_capture();
    EXPECT_NEAR(c.crossings_per_second(0, ms(5), ms(95)), 500, 15);
    EXPECT_NEAR(c.amplitude_at(500, 0, ms(5), ms(95)), 100 * 256, 1500);
    EXPECT_NEAR(c.amplitude_at(500, 1, ms(5), ms(95)), 100 * 256, 1500);
    // Locking again and unlocking converts the new content.
    void* area = nullptr;
    std::uint32_t length = 0;
    ASSERT_TRUE(platform::sound_buffer_lock(b, &area, &length));
    std::memset(area, 128, length);
    ASSERT_TRUE(platform::sound_buffer_unlock(b, area, length));
    begin_capture("mixer_convert_silence");
    platform::sound_buffer_play(b);
    headless::advance(100);
    EXPECT_LT(end_capture().rms(0, 0, ms(100)), 1.0);
}

TEST_F(MixerTest, TunesEndEachOtherAndNoNameOrAMissingFileEndsThem) {
    const std::string dir = scratch_dir("mixer_tunes");
    write_file(dir + "/a.wav", wav({}, pcm16(tone(440, 44100, 44100, 9000))));
    write_file(dir + "/b.wav",
               wav(wav_spec(2, 22050), pcm16(tone(1000, 22050, 22050 / 5, 9000, 2))));
    write_file(dir + "/broken.wav", Bytes{'R', 'I', 'F', 'F', 1, 2});
    ASSERT_EQ(mkfifo((dir + "/pipe.wav").c_str(), 0644), 0);
    InDirectory in(dir);
    Recorder rec;
    headless::set_observer(&rec);
    begin_capture("mixer_tunes");
    EXPECT_TRUE(platform::tune_play("a.wav"));
    headless::advance(100);
    EXPECT_TRUE(platform::tune_play("b.wav"));  // a.wav ends at once
    headless::advance(300);                     // b.wav lasts 200 ms
    EXPECT_TRUE(platform::tune_play("a.wav"));
    headless::advance(100);
    EXPECT_TRUE(platform::tune_play(nullptr));
    headless::advance(100);
    EXPECT_TRUE(platform::tune_play("a.wav"));
    headless::advance(100);
    EXPECT_FALSE(platform::tune_play("missing.wav"));
    headless::advance(100);
    EXPECT_TRUE(platform::tune_play("a.wav"));
    headless::advance(100);
    EXPECT_FALSE(platform::tune_play("broken.wav"));
    headless::advance(100);
    EXPECT_TRUE(platform::tune_play("a.wav"));
    headless::advance(100);
    EXPECT_FALSE(platform::tune_play("pipe.wav"));  // at once: a pipe is no tune
    headless::advance(100);
    const Capture c = end_capture();
    ASSERT_EQ(c.frames(), ms(1200));
    EXPECT_NEAR(c.amplitude_at(440, 0, 0, ms(100)), 9000, 200);
    EXPECT_LT(c.amplitude_at(440, 0, ms(105), ms(300)), 100);
    EXPECT_NEAR(c.amplitude_at(1000, 1, ms(105), ms(295)), 9000, 400);
    EXPECT_LT(c.rms(0, ms(302), ms(400)), 1.0);
    EXPECT_NEAR(c.amplitude_at(440, 0, ms(400), ms(500)), 9000, 200);
    // From its start again: the same samples as at the very beginning.
    EXPECT_EQ(c.at(ms(400) + 123, 0), c.at(123, 0));
    for (int t : {500, 700, 900, 1100}) {
        SCOPED_TRACE(t);
        EXPECT_LT(c.rms(0, ms(t), ms(t + 100)), 1.0);
    }
    EXPECT_EQ(rec.events,
              (std::vector<std::string>{"tune a.wav", "tune b.wav", "tune a.wav", "tune (none)",
                                        "tune a.wav", "tune missing.wav", "tune a.wav",
                                        "tune broken.wav", "tune a.wav", "tune pipe.wav"}));
}

namespace {

// Tunes in the layouts and formats a tune may come in; the last is read by
// SDL's own reader rather than from the file piece by piece.
struct TuneCase {
    const char* what;
    Bytes file;
    int ms;       // length
    double freq;  // of its tone
    bool exact;   // 16-bit stereo at the mix rate: played sample for sample
};

Bytes float32(const std::vector<std::int16_t>& samples) {
    Bytes b;
    for (std::int16_t s : samples) {
        const float f = static_cast<float>(s) / 32768.0f;
        std::uint32_t u;
        std::memcpy(&u, &f, sizeof u);
        for (int i = 0; i < 4; ++i) {
            b.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
        }
    }
    return b;
}

std::vector<TuneCase> tune_cases() {
    std::vector<TuneCase> cases;
    cases.push_back({"16-bit stereo at 44100",
                     wav(wav_spec(2, 44100), pcm16(tone(440, 44100, 44100 * 3 / 2, 9000, 2))), 1500,
                     440, true});
    WavSpec u8 = wav_spec(1, 22050, 8);
    u8.chunks_before.push_back(chunk("LIST", Bytes{'I', 'N', 'F', 'O', 'x'}));
    Bytes u8_data;
    for (std::int16_t v : tone(700, 22050, 22050 * 13 / 10 + 1, 9000)) {
        u8_data.push_back(static_cast<std::uint8_t>(128 + v / 256));
    }
    cases.push_back(
        {"8-bit mono at 22050 after another chunk", wav(u8, u8_data), 1300, 700, false});
    WavSpec f32 = wav_spec(2, 48000, 32);
    f32.tag = 3;
    f32.fmt_size = 18;
    cases.push_back({"float stereo at 48000",
                     wav(f32, float32(tone(1000, 48000, 48000 * 6 / 5, 9000, 2))), 1200, 1000,
                     false});
    Bytes s24;
    for (std::int16_t v : tone(500, 32000, 32000, 9000)) {
        s24.push_back(0);
        s24.push_back(static_cast<std::uint8_t>(v));
        s24.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    cases.push_back({"24-bit mono at 32000", wav(wav_spec(1, 32000, 24), s24), 1000, 500, false});
    return cases;
}

}  // namespace

TEST_F(MixerTest, TunesSoundTheSameHoweverFinelyTheyAreMixed) {
    const std::string dir = scratch_dir("mixer_tune_steps");
    InDirectory in(dir);
    for (const TuneCase& t : tune_cases()) {
        SCOPED_TRACE(t.what);
        write_file("tune.wav", t.file);
        // The whole tune and a little silence after it, mixed in steps of
        // 1 ms, of 37 ms and in one go.
        std::vector<Capture> captures;
        for (int step : {1, 37, t.ms + 100}) {
            begin_capture("mixer_tune_steps");
            ASSERT_TRUE(platform::tune_play("tune.wav"));
            for (int done = 0; done < t.ms + 100; done += step) {
                headless::advance(static_cast<std::uint32_t>(std::min(step, t.ms + 100 - done)));
            }
            captures.push_back(end_capture());
        }
        const Capture& c = captures[0];
        ASSERT_EQ(c.frames(), ms(t.ms + 100));
        EXPECT_EQ(captures[1].samples, c.samples);
        EXPECT_EQ(captures[2].samples, c.samples);
        std::size_t first = 0;
        EXPECT_NEAR(static_cast<double>(c.sounding_frames(200, &first)), ms(t.ms), ms(2));
        EXPECT_LT(first, ms(1));
        EXPECT_NEAR(c.amplitude_at(t.freq, 0, ms(10), ms(t.ms - 10)), 9000, 300);
        EXPECT_NEAR(c.amplitude_at(t.freq, 1, ms(10), ms(t.ms - 10)), 9000, 300);
        EXPECT_LT(c.rms(0, ms(t.ms + 2), ms(t.ms + 100)), 1.0);
        if (t.exact) {
            const std::vector<std::int16_t> played(c.samples.begin(),
                                                   c.samples.begin() + ms(t.ms) * 2);
            EXPECT_EQ(played, tone(t.freq, 44100, static_cast<int>(ms(t.ms)), 9000, 2));
        }
    }
}

TEST(TuneStream, ItsThreadGivesTheSameFramesAndEndsTheOldTuneAtTheCall) {
    const std::string dir = scratch_dir("tune_stream_thread");
    InDirectory in(dir);
    const std::vector<TuneCase> cases = tune_cases();
    write_file("a.wav", cases[2].file);
    write_file("b.wav", cases[1].file);
    // Everything a stream gives from the call on, converting on the caller's
    // side or on its thread.
    const auto drain = [](platform::audio::TuneStream& s, bool threaded, std::size_t limit) {
        std::vector<std::int16_t> out;
        std::vector<std::int16_t> block(1024 * 2);
        for (int idle = 0; out.size() < limit * 2 && s.playing() && idle < 20000;) {
            if (!threaded) {
                s.service(1024);
            }
            const std::size_t n =
                s.read(block.data(), std::min<std::size_t>(1024, limit - out.size() / 2));
            out.insert(out.end(), block.begin(), block.begin() + n * 2);
            if (n == 0) {
                ++idle;
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
        }
        return out;
    };
    platform::audio::TuneStream direct;
    platform::audio::TuneStream threaded;
    threaded.start_thread();
    ASSERT_TRUE(direct.play("a.wav"));
    ASSERT_TRUE(threaded.play("a.wav"));
    const std::vector<std::int16_t> a = drain(direct, false, SIZE_MAX);
    EXPECT_EQ(a.size(), ms(1200) * 2);
    EXPECT_EQ(drain(threaded, true, SIZE_MAX), a);
    EXPECT_FALSE(threaded.playing());

    ASSERT_TRUE(direct.play("b.wav"));
    const std::vector<std::int16_t> b = drain(direct, false, SIZE_MAX);
    // a.wav is cut short by b.wav: what comes after the call is b.wav from
    // its start, whatever the thread had converted of a.wav.
    ASSERT_TRUE(threaded.play("a.wav"));
    EXPECT_EQ(drain(threaded, true, 5000), std::vector<std::int16_t>(a.begin(), a.begin() + 10000));
    ASSERT_TRUE(threaded.play("b.wav"));
    EXPECT_EQ(drain(threaded, true, SIZE_MAX), b);
    ASSERT_TRUE(threaded.play("a.wav"));
    EXPECT_FALSE(threaded.play("missing.wav"));
    EXPECT_FALSE(threaded.playing());
    std::vector<std::int16_t> block(1024 * 2);
    EXPECT_EQ(threaded.read(block.data(), 1024), 0u);
    threaded.stop_thread();
}

TEST_F(MixerTest, MessageBeepIsCountedAndHeard) {
    Recorder rec;
    headless::set_observer(&rec);
    begin_capture("mixer_beep");
    platform::message_beep(0);
    headless::advance(300);
    const Capture c = end_capture();
    EXPECT_EQ(headless::beep_count(), 1);
    EXPECT_EQ(rec.events, std::vector<std::string>{"beep"});
    EXPECT_GT(c.amplitude_at(880, 0, ms(20), ms(130)), 5000);
    EXPECT_NEAR(static_cast<double>(c.sounding_frames(100)), ms(150), ms(15));
}

TEST_F(MixerTest, JumpsOfTheClockNeitherHangNorMixBackwards) {
    SoundBuffer* b = load_tone(440, 100);
    platform::sound_buffer_play(b);
    headless::set_now(headless::now() - 5000);  // set back: audio time stands still
    EXPECT_EQ(platform::sound_buffer_status(b), platform::kSoundStatusPlaying);
    headless::advance(60);
    EXPECT_EQ(platform::sound_buffer_status(b), platform::kSoundStatusPlaying);
    headless::advance(40);
    EXPECT_EQ(platform::sound_buffer_status(b), 0u);
    platform::sound_buffer_play(b);
    const std::uint64_t before = headless::audio_frames_mixed();
    headless::advance(3 * 3600 * 1000);  // hours ahead: moved on, not mixed
    EXPECT_EQ(platform::sound_buffer_status(b), 0u);
    EXPECT_EQ(headless::audio_frames_mixed() - before, 3ull * 3600 * 44100);
}

// A sound output that goes away (lost) or stops asking for samples (stalled)
// while a tune and a 300 ms shot play: nothing is heard, the shot's status
// ends on time all the same (a stall is noticed 400 ms after the last pull),
// a shot played meanwhile lasts its length, and once the output is back
// effects sound again and the tune goes on where it stopped.
TEST_F(MixerTest, WithoutAnOutputEffectsEndOnTimeAndSoundComesBack) {
    using headless::AudioOutput;
    const std::string dir = scratch_dir("mixer_output");
    write_file(dir + "/tune.wav", wav({}, pcm16(tone(440, 44100, 44100, 6000))));
    SoundBuffer* shot = load_tone(880, 300, 6000);
    const auto playing = [&] {
        return platform::sound_buffer_status(shot) == platform::kSoundStatusPlaying;
    };
    for (const AudioOutput output : {AudioOutput::Lost, AudioOutput::Stalled}) {
        const bool lost = output == AudioOutput::Lost;
        SCOPED_TRACE(lost ? "lost" : "stalled");
        headless::audio_reset();
        begin_capture(lost ? "mixer_output_lost" : "mixer_output_stalled");
        ASSERT_TRUE(platform::tune_play((dir + "/tune.wav").c_str()));
        platform::sound_buffer_play(shot);
        headless::advance(100);
        headless::set_audio_output(output);
        headless::advance(199);
        EXPECT_TRUE(playing());  // 299 ms
        headless::advance(2);
        EXPECT_EQ(playing(), !lost);  // 301 ms: a stall is not known yet
        headless::advance(198);
        EXPECT_EQ(playing(), !lost);  // 499 ms
        headless::advance(2);
        EXPECT_FALSE(playing());  // 501 ms
        headless::advance(49);
        platform::sound_buffer_play(shot);  // 550 ms
        headless::advance(299);
        EXPECT_TRUE(playing());
        headless::advance(2);
        EXPECT_FALSE(playing());
        headless::set_now(headless::now() + 149);  // 1000 ms
        headless::set_audio_output(AudioOutput::Present);
        platform::sound_buffer_play(shot);
        headless::advance(1000);
        const Capture c = end_capture();
        EXPECT_NEAR(c.amplitude_at(880, 0, ms(10), ms(90)), 6000, 300);
        EXPECT_NEAR(c.amplitude_at(440, 0, ms(10), ms(90)), 6000, 300);
        EXPECT_LT(c.rms(0, ms(101), ms(1000)), 1.0);
        EXPECT_NEAR(c.amplitude_at(880, 0, ms(1010), ms(1290)), 6000, 300);
        // The tune's other 900 ms, from the point where it stopped.
        EXPECT_NEAR(c.amplitude_at(440, 0, ms(1010), ms(1890)), 6000, 300);
        EXPECT_LT(c.rms(0, ms(1901), ms(2000)), 1.0);
    }
}

TEST_F(MixerTest, MciCommandsAreParsedFromTheEnd) {
    Recorder rec;
    headless::set_observer(&rec);
    const std::string name = "my song \xFC\xE9 (live).mp3";
    EXPECT_EQ(platform::mci_send_string(("open " + name + " type MPEGVideo Alias Mp3").c_str()), 0);
    EXPECT_EQ(platform::mci_send_string("open other.mp3 type MPEGVideo Alias Mp3"), 289);
    EXPECT_EQ(platform::mci_send_string("play Mp3"), 0);
    EXPECT_EQ(platform::mci_send_string("PLAY mp3 REPEAT"), 0);
    EXPECT_EQ(platform::mci_send_string("play Other"), 263);
    EXPECT_EQ(platform::mci_send_string("play Mp3 twice"), 259);
    EXPECT_EQ(platform::mci_send_string("stop Mp3"), 261);
    EXPECT_EQ(platform::mci_send_string("close Mp3"), 0);
    EXPECT_EQ(platform::mci_send_string("close Mp3"), 263);
    EXPECT_EQ(platform::mci_send_string("play Mp3"), 263);
    EXPECT_EQ(platform::mci_send_string("open x.mp3 type waveaudio alias Mp3"), 263);
    EXPECT_EQ(platform::mci_send_string("open type MPEGVideo Alias Mp3"), 263);
    EXPECT_EQ(platform::mci_send_string("open x.mp3 Alias Mp3"), 259);
    EXPECT_EQ(platform::mci_send_string(""), 267);
    EXPECT_EQ(platform::mci_send_string(nullptr), 267);
    // Blanks at the ends of the name belong to it.
    EXPECT_EQ(platform::mci_send_string("open  lead.mp3  type MPEGVideo Alias Mp3"), 0);
    EXPECT_EQ(platform::mci_send_string("close Mp3"), 0);
    EXPECT_EQ(rec.events,
              (std::vector<std::string>{"mp3 open " + name, "mp3 play", "mp3 play repeat",
                                        "mp3 close", "mp3 open  lead.mp3 ", "mp3 close"}));
}

// --- MP3 with real files ----------------------------------------------------

class Mp3Test : public MixerTest {
   protected:
    void SetUp() override {
        MixerTest::SetUp();
        if (!have_lame()) {
            GTEST_SKIP() << "lame is not installed (scripts/bootstrap installs it)";
        }
        dir_ = scratch_dir("mp3_stream");
    }

    void make_mp3(const std::string& path, double freq, int rate, int frames) {
        ASSERT_TRUE(bramble_test::make_mp3(path, freq, rate, frames)) << path;
    }

    std::string dir_;
};

TEST_F(Mp3Test, DecodesAFileToSoundOfTheRightLengthAndPitch) {
    make_mp3(dir_ + "/tone 440.mp3", 440, 44100, 44100);  // one second
    begin_capture("mp3_tone");
    const std::string open = "open " + dir_ + "/tone 440.mp3 type MPEGVideo Alias Mp3";
    ASSERT_EQ(platform::mci_send_string(open.c_str()), 0);
    headless::advance(200);  // opened only: nothing sounds yet
    ASSERT_EQ(platform::mci_send_string("play Mp3"), 0);
    headless::advance(1500);
    const Capture c = end_capture();
    std::size_t first = 0;
    const std::size_t length = c.sounding_frames(300, &first);
    EXPECT_NEAR(static_cast<double>(first), ms(200), ms(10));
    EXPECT_NEAR(static_cast<double>(length), 44100, ms(30));
    EXPECT_NEAR(c.crossings_per_second(0, first + ms(50), first + ms(950)), 440, 3);
    EXPECT_NEAR(c.amplitude_at(440, 0, first + ms(50), first + ms(950)), 12000, 1200);
    EXPECT_NEAR(c.amplitude_at(440, 1, first + ms(50), first + ms(950)), 12000, 1200);
    EXPECT_LT(c.amplitude_at(1000, 0, first + ms(50), first + ms(950)), 300);
}

TEST_F(Mp3Test, OtherRatesAreResampledRepeatLoopsAndCloseSilencesAtOnce) {
    make_mp3(dir_ + "/t.mp3", 1000, 48000, 48000 * 3 / 10);  // 300 ms at 48 kHz
    begin_capture("mp3_repeat");
    ASSERT_EQ(
        platform::mci_send_string(("open " + dir_ + "/t.mp3 type MPEGVideo Alias Mp3").c_str()), 0);
    ASSERT_EQ(platform::mci_send_string("play Mp3 repeat"), 0);
    headless::advance(1000);
    ASSERT_EQ(platform::mci_send_string("close Mp3"), 0);
    headless::advance(300);
    const Capture c = end_capture();
    EXPECT_NEAR(c.crossings_per_second(0, ms(20), ms(280)), 1000, 8);
    // Still sounding after three passes, silent from the close on.
    EXPECT_NEAR(c.amplitude_at(1000, 0, ms(920), ms(1000)), 12000, 2500);
    EXPECT_LT(c.rms(0, ms(1000), ms(1300)), 1.0);
}

namespace {

// The case a test is at, for the alarm below.
const char* volatile hostile_case = "";

// A hang ends the test binary with the case it hung at, rather than waiting
// for the test runner's time limit.
void hung(int) {
    const char* what = hostile_case;
    (void)!write(2, "hung at: ", 9);
    (void)!write(2, what, std::strlen(what));
    (void)!write(2, "\n", 1);
    _exit(1);
}

// An ID3v2.4 tag header declaring size bytes after it (sizes are stored in
// seven bits a byte).
Bytes id3_header(std::uint32_t size) {
    return {'I',
            'D',
            '3',
            4,
            0,
            0,
            static_cast<std::uint8_t>((size >> 21) & 0x7F),
            static_cast<std::uint8_t>((size >> 14) & 0x7F),
            static_cast<std::uint8_t>((size >> 7) & 0x7F),
            static_cast<std::uint8_t>(size & 0x7F)};
}

}  // namespace

TEST_F(Mp3Test, HostileFilesAreSilenceOrTheirSoundAndTheNextFilePlays) {
    make_mp3(dir_ + "/good.mp3", 440, 44100, 44100 / 5);
    make_mp3(dir_ + "/long.mp3", 660, 44100, 44100 * 2);
    const Bytes whole = read_file(dir_ + "/long.mp3");
    ASSERT_GT(whole.size(), 4000u);
    constexpr std::uintmax_t kHuge = 4ull << 30;  // sparse: takes no room on the disk

    // A tag with one title frame and no audio after it.
    const std::string title = "Only a tag";
    Bytes frame = {'T', 'I', 'T', '2', 0, 0, 0, static_cast<std::uint8_t>(title.size() + 1),
                   0,   0,   3};
    frame.insert(frame.end(), title.begin(), title.end());
    Bytes tag = id3_header(static_cast<std::uint32_t>(frame.size()));
    tag.insert(tag.end(), frame.begin(), frame.end());
    Bytes lying_tag = id3_header(0x0FFFFFFF);  // 256 MiB announced, 100 bytes there
    lying_tag.resize(lying_tag.size() + 100, 0x41);
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "These are the notes of a song, not the song itself.\n";
    }

    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        bool sounds;  // what there is of a tune in it
    };
    const std::vector<Case> cases = {
        {"folder.mp3", [](const std::string& p) { std::filesystem::create_directory(p); }, false},
        {"missing.mp3", [](const std::string&) {}, false},
        {"empty.mp3", [](const std::string& p) { write_file(p, {}); }, false},
        {"noise.mp3", [](const std::string& p) { write_file(p, Bytes(5000, 0x5A)); }, false},
        {"notes.mp3", [&](const std::string& p) { write_file(p, Bytes(text.begin(), text.end())); },
         false},
        {"tag only.mp3", [&](const std::string& p) { write_file(p, tag); }, false},
        {"lying tag.mp3", [&](const std::string& p) { write_file(p, lying_tag); }, false},
        {"pipe.mp3", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }, false},
        {"huge.mp3",
         [&](const std::string& p) {
             write_file(p, {});
             std::filesystem::resize_file(p, kHuge);
         },
         false},
        {"truncated.mp3",
         [&](const std::string& p) {
             write_file(p, Bytes(whole.begin(), whole.begin() + whole.size() * 2 / 5 + 77));
         },
         true},
        {"huge tail.mp3",
         [&](const std::string& p) {
             write_file(p, whole);
             std::filesystem::resize_file(p, kHuge);
         },
         true},
    };
    for (const Case& c : cases) {
        c.make(dir_ + "/" + c.name);
    }

    std::signal(SIGALRM, hung);
    alarm(60);
    begin_capture("mp3_hostile");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        hostile_case = c.name;
        const std::string open = "open " + dir_ + "/" + c.name + " type MPEGVideo Alias Mp3";
        EXPECT_EQ(platform::mci_send_string(open.c_str()), 0);
        EXPECT_EQ(platform::mci_send_string("play Mp3 repeat"), 0);
        headless::advance(100);
        EXPECT_EQ(platform::mci_send_string("close Mp3"), 0);
    }
    hostile_case = "good.mp3";
    const std::string open = "open " + dir_ + "/good.mp3 type MPEGVideo Alias Mp3";
    EXPECT_EQ(platform::mci_send_string(open.c_str()), 0);
    EXPECT_EQ(platform::mci_send_string("play Mp3"), 0);
    headless::advance(300);
    const Capture capture = end_capture();
    alarm(0);
    std::signal(SIGALRM, SIG_DFL);

    for (std::size_t i = 0; i < cases.size(); ++i) {
        const double rms = capture.rms(0, ms(100) * i, ms(100) * (i + 1));
        if (cases[i].sounds) {
            EXPECT_GT(rms, 4000) << cases[i].name;
        } else {
            EXPECT_LT(rms, 1.0) << cases[i].name;
        }
    }
    const std::size_t good = ms(100) * cases.size();
    EXPECT_NEAR(capture.amplitude_at(440, 0, good + ms(20), good + ms(180)), 12000, 1500);
    std::filesystem::remove(dir_ + "/huge.mp3");
    std::filesystem::remove(dir_ + "/huge tail.mp3");
}

TEST_F(MixerTest, LoudSumsAreBentBelowFullScaleNotCutOff) {
    // Three loud voices together would reach 1.5 times full scale.
    SoundBuffer* a = load_tone(500, 50, 16000);
    SoundBuffer* b = load_tone(500, 50, 16000);
    SoundBuffer* c = load_tone(500, 50, 16000);
    begin_capture("mixer_limit");
    platform::sound_buffer_play(a);
    platform::sound_buffer_play(b);
    platform::sound_buffer_play(c);
    headless::advance(50);
    const Capture cap = end_capture();
    int peak = 0;
    int at_full_scale = 0;
    for (std::size_t i = 0; i < cap.frames(); ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(cap.at(i, 0))));
        at_full_scale += std::abs(static_cast<int>(cap.at(i, 0))) >= 32767;
    }
    EXPECT_GT(peak, 30000);
    EXPECT_EQ(at_full_scale, 0);  // no flat tops
    // Below three quarters of full scale the sum is exact: 8000 + 16000.
    SoundBuffer* d = load_tone(500, 50, 8000);
    begin_capture("mixer_limit_exact");
    platform::sound_buffer_play(d);
    platform::sound_buffer_play(a);
    headless::advance(50);
    EXPECT_NEAR(end_capture().amplitude_at(500, 1, 0, ms(50)), 24000, 100);
}
