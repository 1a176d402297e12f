#include "app/aufnahme.h"

#include <cstdio>
#include <memory>

#include "app/spiel.h"
#include "app/trace.h"
#include "gfx/ddraw.h"
#include "platform/file.h"
#include "platform/png.h"
#include "platform/window.h"

namespace journal = platform::journal;

namespace {

// The data files the start-up checks for: a replay needs the same bytes.
constexpr const char* kDatendateien[] = {"Grafik.dat", "Sound.dat", "start.wav",  "main.wav",
                                         "win.wav",    "lose.wav",  "credits.wav"};
// The player's files the game reads at its start.
constexpr const char* kSpielerdateien[] = {"Score.dat"};
// More than Score.dat could ever be: a bigger one is refused by the game
// anyway, so only its size matters, and a recording keeps what is read.
constexpr std::int64_t kMaxEingebettet = 64 * 1024;

std::string Stempel_text(const journal::FileStamp& s) {
    if (s.size < 0) {
        return "missing";
    }
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x", s.crc);
    return std::to_string(s.size) + " bytes, CRC-32 " + crc;
}

}  // namespace

journal::Header Aufnahme_kopf(bool vollbild) {
    journal::Header kopf;
    kopf.game_version = BRAMBLE_VERSION;
    kopf.depth = static_cast<std::uint32_t>(Farbtiefe);
    kopf.fullscreen = vollbild;
    for (const char* name : kDatendateien) {
        kopf.data.push_back(journal::stamp(name));
    }
    for (const char* name : kSpielerdateien) {
        journal::Header::Embedded e;
        e.name = name;
        std::unique_ptr<platform::File> f = platform::File::open(name, platform::File::Mode::Read);
        if (f != nullptr) {
            e.present = true;
            const std::int64_t groesse = f->size();
            e.bytes.resize(static_cast<std::size_t>(
                groesse < 0 ? 0 : (groesse > kMaxEingebettet ? kMaxEingebettet : groesse)));
            const std::int64_t gelesen = f->read(e.bytes.data(), e.bytes.size());
            e.bytes.resize(static_cast<std::size_t>(gelesen < 0 ? 0 : gelesen));
        }
        kopf.embedded.push_back(std::move(e));
    }
    return kopf;
}

bool Aufnahme_passt(const journal::Header& kopf, std::string& grund) {
    if (kopf.game_version != BRAMBLE_VERSION) {
        grund = "the recording was made by version " + kopf.game_version +
                " of the game; this is version " BRAMBLE_VERSION;
        return false;
    }
    if (kopf.depth != static_cast<std::uint32_t>(Farbtiefe)) {
        grund = "the recording was made at a depth of " + std::to_string(kopf.depth) +
                " bits; this game draws at " + std::to_string(Farbtiefe);
        return false;
    }
    for (const journal::FileStamp& aufgenommen : kopf.data) {
        const journal::FileStamp hier = journal::stamp(aufgenommen.name);
        if (!(hier == aufgenommen)) {
            grund = "the recording was made with other data files: " + aufgenommen.name + " is " +
                    Stempel_text(hier) + " here, " + Stempel_text(aufgenommen) +
                    " in the recording";
            return false;
        }
    }
    return true;
}

bool Aufnahme_dateien_anlegen(const journal::Header& kopf, std::string& grund) {
    for (const journal::Header::Embedded& e : kopf.embedded) {
        bool bekannt = false;
        for (const char* name : kSpielerdateien) {
            bekannt = bekannt || e.name == name;
        }
        if (!bekannt) {
            grund = "the recording holds a file this game does not read: " + e.name;
            return false;
        }
        if (!e.present) {
            std::remove(e.name.c_str());
            continue;
        }
        std::unique_ptr<platform::File> f =
            platform::File::open(e.name.c_str(), platform::File::Mode::Replace);
        if (f == nullptr ||
            f->write(e.bytes.data(), e.bytes.size()) != static_cast<std::int64_t>(e.bytes.size()) ||
            !f->commit()) {
            grund = "cannot write " + e.name + " from the recording";
            return false;
        }
    }
    return true;
}

int Aufgenommen_spielen(const std::string& datei, const std::string& schnappschuss,
                        const std::string& schnappschuss_name) {
    std::string grund;
    if (!datei.empty()) {
        if (!journal::record_begin(datei, Aufnahme_kopf(platform::window_starts_fullscreen()),
                                   grund)) {
            std::fprintf(stderr, "bramblecourt: %s\n", grund.c_str());
            return 1;
        }
    }
    std::FILE* spur = nullptr;
    if (!datei.empty()) {
        spur = std::fopen((datei + ".trace").c_str(), "w");
        if (spur == nullptr) {
            std::fprintf(stderr, "bramblecourt: cannot write the trace %s.trace\n", datei.c_str());
        }
    }
    // The trace's clock is the tick count the game read last, which a replay
    // reads the same.
    trace::set_output(spur);
    trace::set_clock(journal::last_tick);
    trace::Tracer beobachter;
    platform::set_observer(spur != nullptr ? &beobachter : nullptr);

    trace::Run lauf;
    lauf.at_exit = [&schnappschuss, &schnappschuss_name] {
        if (schnappschuss.empty()) {
            return;
        }
        const platform::Surface* bild = lpDD != nullptr ? lpDD->presented() : nullptr;
        if (bild == nullptr || !platform::write_png(*bild, schnappschuss)) {
            std::fprintf(stderr, "bramblecourt: cannot write the last frame to %s\n",
                         schnappschuss.c_str());
            return;
        }
        trace::Line("snap").string("file", schnappschuss_name).emit();
    };
    int code = 1;
    if (lauf.start()) {
        while (!lauf.ended()) {
            lauf.pass();
        }
        code = lauf.exit_code();
    }
    journal::record_end();
    platform::set_observer(nullptr);
    trace::set_output(nullptr);
    if (spur != nullptr) {
        std::fclose(spur);
    }
    return code;
}
