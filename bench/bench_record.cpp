// What recording a session costs a pass of play: the game on the headless
// backend with the default data, a mouse move posted every pass, passes of
// play timed in rounds that take turns without and with --record's journal
// (written to a file by its background thread), in the same run. Prints the
// median microseconds a pass of each, their difference, and the recording's
// bytes a pass.
//
//   bench_record [--passes N] [--rounds N] [--data DIR]
//
// The headless backend's busy waits read the clock once a virtual
// millisecond, so a pass here reads it more often than on the real backend,
// which sleeps to the deadline: the bytes a pass are an upper bound.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/aufnahme.h"
#include "app/spiel.h"
#include "app/start.h"
#include "platform/headless/headless.h"
#include "platform/journal.h"
#include "platform/window.h"

namespace fs = std::filesystem;
namespace headless = platform::headless;
namespace journal = platform::journal;
using Clock = std::chrono::steady_clock;

namespace {

void Runde_beginnen() {
    Zustand_wechseln(Zustand::Rundenstart, 1);
    for (int i = 0; i < 5000 && Spielzustand != Zustand::Spiel; ++i) {
        Durchlauf();
    }
}

// Microseconds a pass, median of n passes of play.
double Durchlaeufe_messen(int n) {
    std::vector<double> zeiten;
    zeiten.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        if (Spielzustand != Zustand::Spiel) {
            Runde_beginnen();
        }
        const auto x = static_cast<std::uint16_t>(100 + (i * 37) % 800);
        const auto y = static_cast<std::uint16_t>(100 + (i * 53) % 500);
        platform::post_message(Hauptfenster, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        const auto beginn = Clock::now();
        Durchlauf();
        zeiten.push_back(std::chrono::duration<double, std::micro>(Clock::now() - beginn).count());
    }
    std::nth_element(zeiten.begin(), zeiten.begin() + n / 2, zeiten.end());
    return zeiten[static_cast<std::size_t>(n / 2)];
}

}  // namespace

int main(int argc, char** argv) {
    int passes = 2000;
    int rounds = 5;
    std::string data = BRAMBLE_DATA_DIR;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--passes" && i + 1 < argc) {
            passes = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else {
            std::fprintf(stderr, "usage: bench_record [--passes N] [--rounds N] [--data DIR]\n");
            return 2;
        }
    }
    const fs::path ordner =
        fs::temp_directory_path() / ("bench_record_" + std::to_string(getpid()));
    std::error_code ec;
    fs::create_directories(ordner, ec);
    for (const char* f : {"Grafik.dat", "Sound.dat", "start.wav", "main.wav", "win.wav", "lose.wav",
                          "credits.wav"}) {
        fs::copy_file(fs::path(data) / f, ordner / f, fs::copy_options::overwrite_existing, ec);
    }
    if (ec || chdir(ordner.c_str()) != 0) {
        std::fprintf(stderr, "bench_record: cannot prepare %s from %s\n", ordner.c_str(),
                     data.c_str());
        return 1;
    }
    platform::message_box_echo(false);
    headless::reset();
    headless::set_keep_frames(false);
    if (!Programm_starten() || Spielzustand == Zustand::Ende) {
        std::fprintf(stderr, "bench_record: the game does not start\n");
        return 1;
    }
    Runde_beginnen();

    std::vector<double> ohne;
    std::vector<double> mit;
    std::uintmax_t bytes = 0;
    for (int r = 0; r < rounds; ++r) {
        ohne.push_back(Durchlaeufe_messen(passes));
        const std::string datei = (ordner / "bench.rec").string();
        std::string grund;
        if (!journal::record_begin(datei, Aufnahme_kopf(true), grund)) {
            std::fprintf(stderr, "bench_record: %s\n", grund.c_str());
            return 1;
        }
        const std::uintmax_t kopf = fs::file_size(datei, ec);
        mit.push_back(Durchlaeufe_messen(passes));
        journal::record_end();
        bytes += fs::file_size(datei, ec) - kopf;
    }
    Programm_beenden(false);
    fs::remove_all(ordner, ec);

    std::sort(ohne.begin(), ohne.end());
    std::sort(mit.begin(), mit.end());
    const double a = ohne[ohne.size() / 2];
    const double b = mit[mit.size() / 2];
    std::printf(
        "bench_record: %d passes of play a round, %d rounds each, median of the rounds' "
        "medians\n",
        passes, rounds);
    std::printf("  without recording  %8.1f us a pass\n", a);
    std::printf("  recording          %8.1f us a pass  (%+.1f us, %+.2f%%)\n", b, b - a,
                100.0 * (b - a) / a);
    std::printf("  recording's size   %8.1f bytes a pass (headless: an upper bound)\n",
                static_cast<double>(bytes) / (static_cast<double>(passes) * rounds));
    return 0;
}
