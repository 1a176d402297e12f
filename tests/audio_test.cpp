// Sound loading from archives, the 22 effects, the jukebox and the tunes, as
// the game's routines see them.
#include "audio/audio.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/spiel.h"
#include "audio/mmio.h"
#include "pack/packfile.h"
#include "platform/headless/audio.h"
#include "support/fixture.h"
#include "support/sound_support.h"

using namespace bramble_test;
namespace headless = platform::headless;
using platform::Fault;
using platform::SoundBuffer;

namespace {

const std::string kUngueltig = "PackFile_Sound_laden: Ung\xFCltiger WAV-Sektor ausgew\xE4hlt!";

struct Recorder : headless::Observer {
    std::vector<std::string> events;
    void on_sound(int item, int pan, int volume) override {
        events.push_back("sound " + std::to_string(item) + " " + std::to_string(pan) + " " +
                         std::to_string(volume));
    }
    void on_tune(const char* f) override {
        events.push_back(std::string("tune ") + (f != nullptr ? f : "(none)"));
    }
    void on_mp3(const char* cmd, const char* f) override {
        events.push_back(std::string(cmd) + (f != nullptr ? std::string(" ") + f : ""));
    }
};

// 16-bit mono at 44100, a tone of the given length.
Bytes effect(double freq, int ms, double amplitude = 10000) {
    return wav({}, pcm16(tone(freq, 44100, 441 * ms / 10, amplitude)));
}

Bytes samples_of(double freq, int ms) {
    return pcm16(tone(freq, 44100, 441 * ms / 10, 10000));
}

class AudioTest : public HeadlessTest {
   protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        headless::audio_reset();
        DSound_beenden();
        Mp3_Status = 4;
        Mp3_an = 1;
        Mp3_Anzahl = 0;
        Mp3_Nummer = 0;
        Mp3_Startzeit = 0;
    }

    void TearDown() override {
        DSound_beenden();
        platform::sound_buffer_release(extra_);
        headless::audio_reset();
        headless::set_observer(nullptr);
        HeadlessTest::TearDown();
    }

    // Loads entry i of an archive made of the entries into extra_.
    int load(const Bytes& archive_bytes, int i) {
        if (lpDS == nullptr) {
            lpDS = platform::sound_device_create();
        }
        path_ = scratch_dir("audio_archive") + "/archive.dat";
        write_file(path_, archive_bytes);
        const Verzeichnis v = verzeichnis_of(archive_bytes);
        platform::sound_buffer_release(extra_);
        extra_ = nullptr;
        return PackFile_Sound_laden(path_.c_str(), &v, i, &extra_);
    }

    int load_wav(const Bytes& wav_bytes) { return load(sound_archive({{1000, wav_bytes}}), 0); }

    // The stored bytes of a loaded buffer.
    static Bytes raw_of(SoundBuffer* b) {
        void* area = nullptr;
        std::uint32_t length = 0;
        EXPECT_TRUE(platform::sound_buffer_lock(b, &area, &length));
        Bytes out(static_cast<std::uint8_t*>(area), static_cast<std::uint8_t*>(area) + length);
        EXPECT_TRUE(platform::sound_buffer_unlock(b, area, length));
        return out;
    }

    void begin_capture(const std::string& name) {
        capture_ = output_dir() + "/" + name + ".wav";
        ASSERT_TRUE(headless::audio_capture_begin(capture_));
    }

    Capture end_capture() {
        headless::audio_capture_end();
        return read_capture(capture_);
    }

    SoundBuffer* extra_ = nullptr;
    std::string path_;
    std::string capture_;
};

constexpr std::size_t ms(int n) {
    return static_cast<std::size_t>(n) * 441 / 10;
}

}  // namespace

// --- loading ---------------------------------------------------------------

TEST_F(AudioTest, OnlySoundEntriesZeroToTwentyOneAreLoaded) {
    lpDS = platform::sound_device_create();
    Verzeichnis v = verzeichnis_of(sound_archive({{1000, effect(440, 10)}, {2000, Bytes(100, 1)}}));
    for (int i : {22, -1, 1, 40}) {
        SCOPED_TRACE(i);
        headless::clear_boxes();
        SoundBuffer* b = nullptr;
        // The archive does not even exist: the entry is refused before it is opened.
        EXPECT_EQ(PackFile_Sound_laden("no such archive.dat", &v, i, &b), 1);
        EXPECT_EQ(b, nullptr);
        EXPECT_EQ(box_texts(), std::vector<std::string>{kUngueltig});
    }
    headless::clear_boxes();
    SoundBuffer* b = nullptr;
    EXPECT_EQ(PackFile_Sound_laden("no such archive.dat", &v, 0, &b), 2);
    EXPECT_EQ(box_texts(), std::vector<std::string>{"PackFile_Sound_laden: mmioOpen()"});
    EXPECT_EQ(headless::boxes()[0].caption, "Error...");
}

TEST_F(AudioTest, ChunksAreFoundInAnyOrderAmongOthers) {
    const Bytes samples = samples_of(440, 20);
    WavSpec data_first;
    data_first.data_first = true;
    WavSpec fmt18;
    fmt18.fmt_size = 18;
    WavSpec odd_and_empty;  // an odd-sized chunk (padded) and an empty one first
    odd_and_empty.chunks_before = {chunk("LIST", Bytes(7, 'x')), chunk("junk", {}),
                                   chunk("fact", Bytes(4, 0))};
    WavSpec everything = odd_and_empty;
    everything.data_first = true;
    everything.fmt_size = 18;
    for (const WavSpec& spec : {WavSpec{}, data_first, fmt18, odd_and_empty, everything}) {
        headless::clear_boxes();
        ASSERT_EQ(load_wav(wav(spec, samples)), 0) << ::testing::PrintToString(box_texts());
        EXPECT_EQ(raw_of(extra_), samples);
        EXPECT_TRUE(box_texts().empty());
    }
}

TEST_F(AudioTest, FormatRecordIsEighteenBytesWhateverTheChunkSize) {
    // Behind a 16-byte format chunk come the data chunk's first two bytes.
    const Bytes w = wav({}, samples_of(440, 10));
    write_file(output_dir() + "/audio_fmt16.wav", w);
    MmioDatei datei{platform::File::open((output_dir() + "/audio_fmt16.wav").c_str(),
                                         platform::File::Mode::Read)};
    platform::WaveFormat f{};
    ASSERT_TRUE(DSound_WaveFormat(&datei, &f, 0));
    EXPECT_EQ(f.format_tag, 1);
    EXPECT_EQ(f.channels, 1);
    EXPECT_EQ(f.samples_per_sec, 44100u);
    EXPECT_EQ(f.avg_bytes_per_sec, 88200u);
    EXPECT_EQ(f.block_align, 2);
    EXPECT_EQ(f.bits_per_sample, 16);
    EXPECT_EQ(f.extra_size, 'd' | ('a' << 8));
    std::uint32_t count = 0;
    std::uint8_t* block = nullptr;
    ASSERT_TRUE(DSound_WaveDaten(&datei, &count, &block, 0));
    EXPECT_EQ(count, 882u);
    EXPECT_EQ(Bytes(block, block + count), samples_of(440, 10));
    std::free(block);
}

TEST_F(AudioTest, AnOffsetThatIsNotAtAWaveFormIsReportedTwice) {
    Bytes avi = effect(440, 10);
    std::memcpy(avi.data() + 8, "AVI ", 4);
    Bytes shifted = sound_archive({{1000, effect(440, 10)}});
    shifted[shifted.size() - 564 + 204] = 2;  // two bytes into the RIFF header
    Bytes negative = sound_archive({{1000, effect(440, 10)}});
    std::memset(negative.data() + negative.size() - 564 + 204, 0xFF, 4);
    Bytes beyond = sound_archive({{1000, effect(440, 10)}});
    beyond[beyond.size() - 564 + 206] = 0x7F;
    // An RIFF form of another type, directly followed by a good one: the next
    // entry is not taken for this one.
    const Bytes avi_then_wave = sound_archive({{1000, avi}, {1000, effect(440, 10)}});
    for (const Bytes& a : {sound_archive({{1000, Bytes(200, 'B')}}), sound_archive({{1000, avi}}),
                           shifted, negative, beyond, avi_then_wave}) {
        headless::clear_boxes();
        EXPECT_EQ(load(a, 0), 3);
        EXPECT_EQ(extra_, nullptr);
        EXPECT_EQ(box_texts(),
                  (std::vector<std::string>{"DSound_WaveFormat: mmioDescend(RIFF)",
                                            "PackFile_Sound_laden: DSound_WaveFormat()"}));
    }
}

TEST_F(AudioTest, MissingChunksAreReportedByTheirReader) {
    Bytes only_data{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    const Bytes d = chunk("data", samples_of(440, 10));
    only_data.insert(only_data.end(), d.begin(), d.end());
    only_data[4] = static_cast<std::uint8_t>(only_data.size() - 8);
    only_data[5] = static_cast<std::uint8_t>((only_data.size() - 8) >> 8);
    EXPECT_EQ(load_wav(only_data), 3);
    EXPECT_EQ(box_texts(), (std::vector<std::string>{"DSound_WaveFormat: mmioDescend(CHUNK)",
                                                     "PackFile_Sound_laden: DSound_WaveFormat()"}));

    headless::clear_boxes();
    Bytes no_data = effect(440, 10);
    std::memcpy(no_data.data() + 36, "dat4", 4);
    EXPECT_EQ(load_wav(no_data), 4);
    EXPECT_EQ(box_texts(), (std::vector<std::string>{"DSound_WaveDaten: mmioDescend(CHUNK)",
                                                     "PackFile_Sound_laden: DSound_WaveDaten()"}));

    // A chunk that claims to run past the form's end ends the search; so does
    // a form whose size runs past the file's end.
    headless::clear_boxes();
    WavSpec runaway;
    runaway.chunks_before = {Bytes{'L', 'I', 'S', 'T', 0xF0, 0xFF, 0xFF, 0xFF}};
    EXPECT_EQ(load_wav(wav(runaway, samples_of(440, 10))), 3);
    EXPECT_EQ(box_texts()[0], "DSound_WaveFormat: mmioDescend(CHUNK)");
    Bytes huge_form = effect(440, 10);
    std::memset(huge_form.data() + 4, 0xFF, 4);
    EXPECT_EQ(load_wav(huge_form), 0);
}

TEST_F(AudioTest, ADataChunkCutShortByTheEndOfTheArchiveIsZeroFilled) {
    const Bytes samples = samples_of(440, 10);
    WavSpec cut;
    cut.data_size = static_cast<std::int64_t>(samples.size()) + 564 + 100;
    const Bytes a = sound_archive({{1000, wav(cut, samples)}});
    ASSERT_EQ(load(a, 0), 0);
    const Bytes raw = raw_of(extra_);
    ASSERT_EQ(raw.size(), samples.size() + 664);
    // The entry's samples, then what the file still holds (its directory), then zeros.
    EXPECT_EQ(Bytes(raw.begin(), raw.begin() + samples.size()), samples);
    EXPECT_EQ(Bytes(raw.begin() + samples.size(), raw.end() - 100), Bytes(a.end() - 564, a.end()));
    EXPECT_EQ(Bytes(raw.end() - 100, raw.end()), Bytes(100, 0));
}

TEST_F(AudioTest, ImpossibleDataSizesAreRefusedInsteadOfAllocated) {
    const Bytes samples = samples_of(440, 10);
    auto declared = [&](std::int64_t size) {
        WavSpec s;
        s.data_size = size;
        return wav(s, samples);
    };
    const std::vector<std::string> refused{"DSound_WaveDaten: malloc()",
                                           "PackFile_Sound_laden: DSound_WaveDaten()"};
    for (std::int64_t size : {std::int64_t{0xFFFFFFF0}, std::int64_t{0x80000000},
                              static_cast<std::int64_t>(samples.size()) + 564 + (2 << 20)}) {
        SCOPED_TRACE(size);
        headless::clear_boxes();
        EXPECT_EQ(load_wav(declared(size)), 4);
        EXPECT_EQ(box_texts(), refused);
    }
    // Up to a MiB past the end of the file is a cut-off file: it loads.
    headless::clear_boxes();
    EXPECT_EQ(load_wav(declared(static_cast<std::int64_t>(samples.size()) + 564 + (1 << 20))), 0);
    // More than 16 MiB of samples is refused even when the file holds them.
    const Bytes big(16 * 1024 * 1024 + 2, 0);
    headless::clear_boxes();
    EXPECT_EQ(load_wav(wav({}, big)), 4);
    EXPECT_EQ(box_texts(), refused);
}

TEST_F(AudioTest, FormatsThatCannotPlayFailAtCreateSoundBuffer) {
    const Bytes samples = samples_of(440, 10);
    std::vector<WavSpec> bad(5);
    bad[0].channels = 0;
    bad[1].rate = 0;
    bad[2].block_align = 0;
    bad[2].bits = 0;
    bad[3].bits = 12;
    bad[4].tag = 0x55;  // MPEG layer 3 inside a WAV
    Bytes empty = wav({}, {});
    for (const WavSpec& spec : bad) {
        headless::clear_boxes();
        EXPECT_EQ(load_wav(wav(spec, samples)), 5);
        EXPECT_EQ(box_texts(),
                  std::vector<std::string>{"PackFile_Sound_laden: CreateSoundBuffer()"});
        EXPECT_EQ(extra_, nullptr);
    }
    headless::clear_boxes();
    EXPECT_EQ(load_wav(empty), 5);
    // Without a sound device there is no buffer either.
    DSound_beenden();
    SoundBuffer* b = nullptr;
    const Bytes a = sound_archive({{1000, effect(440, 10)}});
    write_file(output_dir() + "/audio_nodevice.dat", a);
    const Verzeichnis v = verzeichnis_of(a);
    EXPECT_EQ(PackFile_Sound_laden((output_dir() + "/audio_nodevice.dat").c_str(), &v, 0, &b), 5);
}

TEST_F(AudioTest, AFailingOpenAllocationOrBufferGivesItsResultAndMessages) {
    const Bytes good = effect(440, 10);
    struct Case {
        Fault fault;
        int skip;
        int result;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {Fault::FileOpen, 0, 2, {"PackFile_Sound_laden: mmioOpen()"}},
        {Fault::Allocation,
         0,
         4,
         {"DSound_WaveDaten: malloc()", "PackFile_Sound_laden: DSound_WaveDaten()"}},
        {Fault::SoundBufferCreate, 0, 5, {"PackFile_Sound_laden: CreateSoundBuffer()"}},
        {Fault::SoundBufferLock, 0, 6, {"PackFile_Sound_laden: Lock()"}},
        {Fault::SoundBufferUnlock, 0, 7, {"PackFile_Sound_laden: Unlock()"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.boxes[0]);
        headless::clear_boxes();
        headless::clear_faults();
        headless::arm_fault(c.fault, c.skip);
        EXPECT_EQ(load_wav(good), c.result);
        EXPECT_EQ(box_texts(), c.boxes);
        // A buffer that could not be filled stays in the reference for release.
        EXPECT_EQ(extra_ != nullptr, c.result >= 6);
    }
}

// --- the 22 effects ----------------------------------------------------------

class EffectsTest : public AudioTest {
   protected:
    // Sound.dat with 22 entries in a folder of its own, as the working directory.
    void make_sound_dat(bool entry21_is_a_wav = true) {
        dir_ = scratch_dir("audio_effects");
        std::vector<std::pair<std::int32_t, Bytes>> entries;
        for (int i = 0; i < 22; ++i) {
            // Item i: a tone of 200 + 50 i Hz lasting 100 ms.
            entries.push_back({1000, effect(200 + 50 * i, 100)});
        }
        if (!entry21_is_a_wav) {
            entries[21].second = Bytes(300, 'B');
        }
        const Bytes a = sound_archive(entries);
        write_file(dir_ + "/Sound.dat", a);
        Sound_Verzeichnis = verzeichnis_of(a);
        in_ = std::make_unique<InDirectory>(dir_);
    }

    void TearDown() override {
        AudioTest::TearDown();
        in_.reset();
    }

    std::string dir_;
    std::unique_ptr<InDirectory> in_;
};

TEST_F(EffectsTest, StartLoadsAllAndEndReleasesAllEvenTwice) {
    make_sound_dat();
    ASSERT_EQ(DSound_starten(), 0);
    EXPECT_TRUE(box_texts().empty());
    EXPECT_NE(lpDS, nullptr);
    for (SoundBuffer* b : lpDSBSounds) {
        EXPECT_NE(b, nullptr);
    }
    DSound_beenden();
    DSound_beenden();  // releases nothing twice (the sanitizer build would see it)
    EXPECT_EQ(lpDS, nullptr);
    for (SoundBuffer* b : lpDSBSounds) {
        EXPECT_EQ(b, nullptr);
    }
}

TEST_F(EffectsTest, AnEntryThatIsNotAWavReleasesTheOthersAndFails) {
    make_sound_dat(false);
    EXPECT_EQ(DSound_starten(), 3);
    EXPECT_EQ(box_texts(), (std::vector<std::string>{"DSound_WaveFormat: mmioDescend(RIFF)",
                                                     "PackFile_Sound_laden: DSound_WaveFormat()"}));
    EXPECT_EQ(lpDS, nullptr);
    for (SoundBuffer* b : lpDSBSounds) {
        EXPECT_EQ(b, nullptr);
    }
    DSound_beenden();
}

TEST_F(EffectsTest, NoDeviceOrNoCooperativeLevelIsReported) {
    make_sound_dat();
    headless::arm_fault(Fault::SoundDeviceCreate);
    EXPECT_EQ(DSound_starten(), 1);
    EXPECT_EQ(box_texts(), std::vector<std::string>{"DSound_starten: DirectSoundCreate()"});
    headless::clear_boxes();
    headless::arm_fault(Fault::SoundCooperativeLevel);
    EXPECT_EQ(DSound_starten(), 2);
    EXPECT_EQ(box_texts(), std::vector<std::string>{"DSound_starten: SetCooperativeLevel()"});
    EXPECT_EQ(lpDS, nullptr);
}

TEST_F(EffectsTest, PlayingRestartsOverlapsAndIgnoresTheVolumeArgument) {
    make_sound_dat();
    ASSERT_EQ(DSound_starten(), 0);
    Recorder rec;
    headless::set_observer(&rec);
    EXPECT_EQ(DSound_abspielen(nullptr, 0, 10000), 0);  // an empty reference: nothing
    EXPECT_TRUE(rec.events.empty());

    begin_capture("audio_effects");
    // Item 19 typed twice quickly: restarted, never twice at once.
    DSound_abspielen(lpDSBSounds[19], 0, 50000);
    headless::advance(40);
    DSound_abspielen(lpDSBSounds[19], 0, 50000);
    headless::advance(99);
    EXPECT_EQ(platform::sound_buffer_status(lpDSBSounds[19]), platform::kSoundStatusPlaying);
    headless::advance(1);
    EXPECT_EQ(platform::sound_buffer_status(lpDSBSounds[19]), 0u);
    // Items 20 and 16 together, as after "Exit Game"; item 9 far left.
    DSound_abspielen(lpDSBSounds[20], 0, 10000);
    DSound_abspielen(lpDSBSounds[16], 0, 10000);
    headless::advance(100);
    DSound_abspielen(lpDSBSounds[9], -10000, 10000);
    headless::advance(100);
    const Capture c = end_capture();

    const double full = 10000.0;
    // 19 at 1150 Hz: first 40 ms, then from its start again for 100 ms.
    EXPECT_NEAR(c.amplitude_at(1150, 0, 0, ms(40)), full, 300);
    EXPECT_EQ(c.at(ms(40) + 5, 0), c.at(5, 0));
    EXPECT_NEAR(c.amplitude_at(1150, 0, ms(40), ms(140)), full, 300);
    // 20 (1200 Hz) and 16 (1000 Hz) at full volume together.
    EXPECT_NEAR(c.amplitude_at(1200, 0, ms(140), ms(240)), full, 300);
    EXPECT_NEAR(c.amplitude_at(1000, 1, ms(140), ms(240)), full, 300);
    // 9 (650 Hz) on the left channel only.
    EXPECT_NEAR(c.amplitude_at(650, 0, ms(240), ms(340)), full, 300);
    EXPECT_LT(c.rms(1, ms(240), ms(340)), 1.0);
    EXPECT_EQ(rec.events,
              (std::vector<std::string>{"sound 19 0 50000", "sound 19 0 50000", "sound 20 0 10000",
                                        "sound 16 0 10000", "sound 9 -10000 10000"}));
}

// --- the jukebox -------------------------------------------------------------

class JukeboxTest : public AudioTest {
   protected:
    void SetUp() override {
        AudioTest::SetUp();
        headless::set_observer(&rec_);
    }

    // A folder with the named (empty) files as the working directory.
    void folder(const std::vector<std::string>& files) {
        in_.reset();
        dir_ = scratch_dir("jukebox");
        for (const std::string& f : files) {
            write_file(dir_ + "/" + f, {});
        }
        in_ = std::make_unique<InDirectory>(dir_);
    }

    void TearDown() override {
        AudioTest::TearDown();
        in_.reset();
    }

    // F2, F3 and a digit in play, as the window procedure sends them.
    void f2() {
        if (Mp3_Status == 1) {
            Mp3_steuern(4, nullptr);
            Mp3_an = 0;
        } else {
            Mp3_an = 1;
            Mp3_steuern(2, Mp3_Liste[Mp3_Nummer]);
        }
    }
    void f3() {
        Mp3_steuern(4, nullptr);
        Mp3_wechseln(0, Mp3_ZUFALL);
    }
    void digit(int d) {
        Mp3_steuern(4, nullptr);
        Mp3_wechseln(d, 0);
    }

    std::vector<std::string> take() {
        std::vector<std::string> e;
        e.swap(rec_.events);
        return e;
    }

    Recorder rec_;
    std::string dir_;
    std::unique_ptr<InDirectory> in_;
};

TEST_F(JukeboxTest, ListsAtMostTenMatchingNamesFoldersIncluded) {
    std::vector<std::string> files;
    for (int i = 11; i >= 0; --i) {
        files.push_back("song " + std::to_string(10 + i) + ".mp3");
    }
    folder(files);
    EXPECT_TRUE(Mp3_suchen());
    EXPECT_EQ(Mp3_Anzahl, 10);
    EXPECT_EQ(Mp3_Nummer, 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(std::string(Mp3_Liste[i]), "song " + std::to_string(10 + i) + ".mp3");
    }

    folder({"LOUD.MP3", "notes.txt", "a.mp3.bak", "mp3", "b.mp", "t\xF6n.mp3"});
    std::filesystem::create_directory(dir_ + "/x.mp3");
    EXPECT_TRUE(Dateien_suchen(dir_.c_str(), "mp3"));
    EXPECT_EQ(Mp3_Anzahl, 3);
    EXPECT_EQ(std::string(Mp3_Liste[0]), "LOUD.MP3");
    EXPECT_EQ(std::string(Mp3_Liste[1]), "t\xF6n.mp3");
    EXPECT_EQ(std::string(Mp3_Liste[2]), "x.mp3");
    EXPECT_EQ(Mp3_Liste[3][0], '\0');
    EXPECT_NE(Mp3_Status, 0);

    // Nothing whose open could block is listed, also behind a link; links to
    // files and folders, and a link to nothing (its open fails at once), are.
    folder({"song.mp3"});
    ASSERT_EQ(mkfifo((dir_ + "/pipe.mp3").c_str(), 0644), 0);
    ASSERT_EQ(symlink("pipe.mp3", (dir_ + "/to pipe.mp3").c_str()), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir_ + "/zero.mp3").c_str()), 0);
    ASSERT_EQ(symlink("song.mp3", (dir_ + "/to song.mp3").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir_ + "/to nowhere.mp3").c_str()), 0);
    std::filesystem::create_directory(dir_ + "/x.mp3");
    ASSERT_EQ(symlink("x.mp3", (dir_ + "/to x.mp3").c_str()), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "socket.mp3");  // in the working folder
    ASSERT_EQ(bind(sock, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    close(sock);
    EXPECT_TRUE(Mp3_suchen());
    std::vector<std::string> listed(Mp3_Liste, Mp3_Liste + Mp3_Anzahl);
    EXPECT_EQ(listed, (std::vector<std::string>{"song.mp3", "to nowhere.mp3", "to song.mp3",
                                                "to x.mp3", "x.mp3"}));
}

TEST_F(JukeboxTest, NoTunesKeepTheJukeboxSilentForTheWholeRun) {
    folder({"readme.txt"});
    EXPECT_FALSE(Mp3_suchen());
    EXPECT_EQ(Mp3_Status, 0);
    EXPECT_EQ(Mp3_Anzahl, 0);
    Mp3_wechseln(0, Mp3_ZUFALL);
    f2();
    f3();
    digit(1);
    Mp3_wechseln(0, Mp3_NAECHSTES);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(Mp3_Startzeit, 0u);
    EXPECT_FALSE(Dateien_suchen((dir_ + "/missing").c_str(), "mp3"));
}

TEST_F(JukeboxTest, UpAndDownWrapAroundThreeTunes) {
    folder({"a.mp3", "b.mp3", "c d.mp3"});
    ASSERT_TRUE(Mp3_suchen());
    Mp3_wechseln(2, 0);
    EXPECT_EQ(take(), (std::vector<std::string>{"open c d.mp3", "play"}));
    EXPECT_EQ(Mp3_Status, 1);
    EXPECT_EQ(Mp3_Startzeit, headless::now());
    Mp3_wechseln(0, Mp3_NAECHSTES);
    EXPECT_EQ(take(), (std::vector<std::string>{"close", "open a.mp3", "play"}));
    EXPECT_EQ(Mp3_Nummer, 0);
    Mp3_wechseln(0, Mp3_VORHERIGES);
    EXPECT_EQ(take(), (std::vector<std::string>{"close", "open c d.mp3", "play"}));
    EXPECT_EQ(Mp3_Nummer, 2);
    // A round start while a tune is open (a new round from game over) keeps it.
    headless::advance(5000);
    const std::uint32_t shown = Mp3_Startzeit;
    Mp3_wechseln(0, Mp3_ZUFALL);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(Mp3_Nummer, 2);
    EXPECT_EQ(Mp3_Startzeit, shown);
}

TEST_F(JukeboxTest, DigitsAndRandomPicks) {
    folder({"a.mp3", "b.mp3", "c.mp3"});
    ASSERT_TRUE(Mp3_suchen());
    Mp3_wechseln(1, 0);
    take();
    digit(7);  // not below three: the first tune
    EXPECT_EQ(take(), (std::vector<std::string>{"close", "open a.mp3", "play"}));
    digit(2);
    EXPECT_EQ(take(), (std::vector<std::string>{"close", "open c.mp3", "play"}));
    // F3 draws with the game's generator until the tune differs from the current.
    for (std::uint32_t seed : {1u, 2u, 12345u, 999999u}) {
        SCOPED_TRACE(seed);
        Zufall_saeen(seed);
        std::uint32_t state = seed;
        std::int32_t expect;
        do {
            state = state * 214013u + 2531011u;
            expect = static_cast<std::int32_t>((state >> 16) & 0x7FFF) % 3;
        } while (expect == Mp3_Nummer);
        f3();
        EXPECT_EQ(Mp3_Nummer, expect);
        EXPECT_EQ(take(), (std::vector<std::string>{
                              "close", "open " + std::string(Mp3_Liste[expect]), "play"}));
    }
}

TEST_F(JukeboxTest, OneTuneAndF3ReopensIt) {
    folder({"only.mp3"});
    ASSERT_TRUE(Mp3_suchen());
    Mp3_wechseln(0, Mp3_ZUFALL);
    EXPECT_EQ(take(), (std::vector<std::string>{"open only.mp3", "play"}));
    f3();
    EXPECT_EQ(take(), (std::vector<std::string>{"close", "open only.mp3", "play"}));
    EXPECT_EQ(Mp3_Nummer, 0);
}

TEST_F(JukeboxTest, F2SwitchesOffAndOnWithTheChosenTuneRepeating) {
    folder({"a.mp3", "b.mp3", "c.mp3"});
    ASSERT_TRUE(Mp3_suchen());
    Mp3_wechseln(0, 0);
    take();
    f2();
    EXPECT_EQ(take(), std::vector<std::string>{"close"});
    EXPECT_EQ(Mp3_an, 0);
    EXPECT_EQ(Mp3_Status, 4);
    // Switched off: a round start picks and shows a tune, but plays nothing.
    headless::advance(3000);
    Zufall_saeen(7);
    Mp3_wechseln(0, Mp3_ZUFALL);
    EXPECT_TRUE(take().empty());
    EXPECT_NE(Mp3_Nummer, 0);
    EXPECT_EQ(Mp3_Startzeit, headless::now());
    Mp3_wechseln(0, Mp3_NAECHSTES);
    EXPECT_TRUE(take().empty());
    const std::int32_t chosen = Mp3_Nummer;
    headless::advance(3000);
    f2();
    EXPECT_EQ(take(),
              (std::vector<std::string>{"open " + std::string(Mp3_Liste[chosen]), "play repeat"}));
    EXPECT_EQ(Mp3_an, 1);
    EXPECT_EQ(Mp3_Status, 1);
    EXPECT_NE(Mp3_Startzeit, headless::now());  // F2 shows no name
}

TEST_F(JukeboxTest, PlaysARealTuneFromTheWorkingDirectory) {
    if (std::system("command -v lame >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "lame is not installed (scripts/bootstrap installs it)";
    }
    folder({});
    write_file(dir_ + "/src.wav", wav({}, pcm16(tone(660, 44100, 44100 / 2, 12000))));
    ASSERT_EQ(std::system("lame --quiet -b 128 src.wav 't\xF6n eins.mp3'"), 0);
    std::filesystem::remove(dir_ + "/src.wav");
    ASSERT_TRUE(Mp3_suchen());
    begin_capture("audio_jukebox");
    Mp3_wechseln(0, Mp3_ZUFALL);
    headless::advance(700);
    Mp3_steuern(4, nullptr);
    Mp3_steuern(2, Mp3_Liste[0]);
    headless::advance(300);
    const Capture c = end_capture();
    EXPECT_NEAR(c.crossings_per_second(0, ms(20), ms(480)), 660, 4);
    EXPECT_LT(c.rms(0, ms(520), ms(700)), 1.0);  // played once, then silent
    EXPECT_NEAR(c.amplitude_at(660, 1, ms(720), ms(1000)), 12000, 1500);
}

// --- tunes -------------------------------------------------------------------

TEST_F(AudioTest, TunesStartFromTheirBeginningAndNoNameSilencesThemAtOnce) {
    const std::string dir = scratch_dir("audio_tunes");
    write_file(dir + "/main.wav", wav({}, pcm16(tone(440, 44100, 44100, 9000))));
    write_file(dir + "/credits.wav",
               wav(wav_spec(2, 22050), pcm16(tone(880, 22050, 22050, 9000, 2))));
    InDirectory in(dir);
    Recorder rec;
    headless::set_observer(&rec);
    begin_capture("audio_tunes");
    Musik_abspielen("credits.wav");
    headless::advance(300);
    Musik_abspielen(nullptr);  // leaving the credits with Esc
    headless::advance(200);
    Musik_abspielen("main.wav");
    headless::advance(300);
    Musik_abspielen("main.wav");  // again: from its start
    headless::advance(300);
    std::filesystem::remove(dir + "/main.wav");
    Musik_abspielen("main.wav");  // removed since: silence
    headless::advance(200);
    const Capture c = end_capture();
    EXPECT_NEAR(c.amplitude_at(880, 0, 0, ms(300)), 9000, 400);
    EXPECT_LT(c.rms(0, ms(300), ms(500)), 1.0);
    EXPECT_NEAR(c.amplitude_at(440, 0, ms(500), ms(800)), 9000, 200);
    EXPECT_EQ(c.at(ms(800) + 50, 0), c.at(ms(500) + 50, 0));
    EXPECT_LT(c.rms(0, ms(1100), ms(1300)), 1.0);
    EXPECT_EQ(rec.events,
              (std::vector<std::string>{"tune credits.wav", "tune (none)", "tune main.wav",
                                        "tune main.wav", "tune main.wav"}));
}
