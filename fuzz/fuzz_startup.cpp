// The whole start-up on a folder of fuzzed data files, then a few passes of
// the main loop and the shutdown, as the game runs them.
//
// Input layout (lengths are 32-bit little-endian; a length that runs past the
// end of the input takes what is left):
//   byte 0            flags: bit 0 set: the tune is tune.mp3, a jukebox tune,
//                     and the run goes on from the title through the menu
//                     into a round's intro, which opens it; clear: the tune
//                     is start.wav, the title's tune, played at once.
//                     bit 1 set: there is no Score.dat in the folder.
//   u32 n, n bytes    Grafik.dat
//   u32 n, n bytes    Sound.dat
//   u32 n, n bytes    Score.dat
//   the rest          the tune
// main.wav, win.wav, lose.wav and credits.wav are small valid WAV files
// written once, and so is start.wav when the tune is an MP3. The start-up must end in the title
// (state 0) or in the exit (state 9) after saying why, Score.dat must then pass the loader's own
// tests whatever it was before, and nothing may leak.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/spiel.h"
#include "app/start.h"
#include "core/bytes.h"
#include "fuzz_support.h"
#include "gfx/bilder.h"
#include "platform/headless/audio.h"
#include "platform/window.h"

namespace {

namespace headless = platform::headless;

// Passes run in the title, or in the intro when the tune is an MP3.
constexpr int kDurchlaeufe = 3;

std::string& ordner() {
    static std::string pfad;
    return pfad;
}

void ordner_loeschen() {
    std::error_code ec;
    std::filesystem::remove_all(ordner(), ec);
}

bool schreiben(const char* name, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(name, "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

// 60 ms of a 16-bit mono tone at 22050 Hz as a RIFF WAVE file.
std::vector<std::uint8_t> ton() {
    constexpr int kRate = 22050;
    constexpr int kFrames = kRate * 60 / 1000;
    std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
    put32(out, 36 + kFrames * 2);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(out, 16);
    put16(out, 1);
    put16(out, 1);
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, kFrames * 2);
    for (int i = 0; i < kFrames; ++i) {
        put16(out, static_cast<std::uint16_t>(
                       static_cast<std::int16_t>(6000.0 * std::sin(i * 2 * M_PI * 440 / kRate))));
    }
    return out;
}

// The next section of the input: its length, then its bytes.
struct Leser {
    const std::uint8_t* p;
    std::size_t rest;

    std::pair<const std::uint8_t*, std::size_t> abschnitt() {
        std::size_t n = rest;
        if (rest >= 4) {
            n = le::u32(p);
            p += 4;
            rest -= 4;
        } else {
            p += rest;
            rest = 0;
        }
        n = std::min(n, rest);
        const std::uint8_t* anfang = p;
        p += n;
        rest -= n;
        return {anfang, n};
    }
};

// Score.dat as the loader accepts it: 288 bytes, the tag, minute and second
// no more than 60.
bool highscore_datei_gueltig() {
    std::FILE* f = std::fopen("Score.dat", "rb");
    if (f == nullptr) {
        return false;
    }
    std::uint8_t b[289];
    const std::size_t n = std::fread(b, 1, sizeof b, f);
    std::fclose(f);
    return n == 288 && std::memcmp(b, "Bramblecourt 1014", 18) == 0 && le::u16(b + 42) <= 60 &&
           le::u16(b + 44) <= 60;
}

void durchlaufen(int anzahl) {
    for (int i = 0; i < anzahl && Spielzustand != 9; ++i) {
        Durchlauf();
    }
}

void taste(WPARAM code) {
    platform::post_message(Hauptfenster, WM_KEYDOWN, code, 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* basis = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string muster = std::string(basis) + "/bramble-fuzz-startup-XXXXXX";
    if (mkdtemp(muster.data()) == nullptr || chdir(muster.c_str()) != 0) {
        std::perror("fuzz_startup: scratch folder");
        std::exit(1);
    }
    ordner() = muster;
    std::atexit(ordner_loeschen);
    const std::vector<std::uint8_t> wav = ton();
    for (const char* name : {"main.wav", "win.wav", "lose.wav", "credits.wav"}) {
        if (!schreiben(name, wav.data(), wav.size())) {
            std::perror("fuzz_startup: tune");
            std::exit(1);
        }
    }
    headless::reset();
    platform::message_box_echo(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const bool mp3 = (data[0] & 1) != 0;
    const bool ohne_highscores = (data[0] & 2) != 0;
    Leser leser{data + 1, size - 1};
    const auto grafik = leser.abschnitt();
    const auto sound = leser.abschnitt();
    const auto score = leser.abschnitt();
    const std::pair<const std::uint8_t*, std::size_t> tune{leser.p, leser.rest};

    std::remove("Score.dat");
    std::remove("tune.mp3");
    const std::vector<std::uint8_t> wav = ton();
    const bool geschrieben =
        schreiben("Grafik.dat", grafik.first, grafik.second) &&
        schreiben("Sound.dat", sound.first, sound.second) &&
        (ohne_highscores || schreiben("Score.dat", score.first, score.second)) &&
        (mp3 ? schreiben("tune.mp3", tune.first, tune.second) &&
                   schreiben("start.wav", wav.data(), wav.size())
             : schreiben("start.wav", tune.first, tune.second));
    if (!geschrieben) {
        return 0;
    }

    headless::reset();
    headless::audio_reset();
    Hauptfenster = platform::window_create("Bramblecourt", Fensterprozedur);
    fuzz::require(Hauptfenster != nullptr, "the window is made");
    Spiel_zuruecksetzen();
    Spiel_starten();
    fuzz::require(Spielzustand == 0 || Spielzustand == 9, "the start-up ends in 0 or 9");
    fuzz::require(Spielzustand == 0 || !headless::boxes().empty(), "a failed start-up says why");
    fuzz::require(highscore_datei_gueltig(), "Score.dat passes the loader's tests");

    if (Spielzustand == 0) {
        if (mp3) {
            durchlaufen(1);
            taste(VK_RETURN);  // title to menu
            durchlaufen(1);
            taste(VK_RETURN);  // "Start Game", selected after the reset: the intro picks a tune
        }
        durchlaufen(kDurchlaeufe);
    }

    Spiel_beenden();
    platform::window_destroy(Hauptfenster);
    Hauptfenster = nullptr;
    // The tune and the jukebox end here, so that no input hears the last.
    headless::audio_reset();
    headless::clear_boxes();
    return 0;
}
