// bramblecourt-sim: runs the whole game, start-up included, in the current
// folder on the headless backend (virtual clock, no window, no sound device),
// driven by a script, and writes what happens as JSON lines to stdout.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/aufnahme.h"
#include "app/spiel.h"
#include "app/start.h"
#include "app/trace.h"
#include "audio/audio.h"
#include "game/game.h"
#include "gfx/ddraw.h"
#include "platform/cp1252.h"
#include "platform/headless/headless.h"
#include "platform/journal.h"
#include "platform/png.h"
#include "platform/stats.h"
#include "platform/system.h"
#include "platform/window.h"
#include "score/score.h"
#include "script.h"
#include "trace.h"

namespace headless = platform::headless;
namespace journal = platform::journal;

namespace {

constexpr const char* kUsage =
    "usage: bramblecourt-sim [--start-tick N] [--frame-ms N] [--hour H] [--user NAME]\n"
    "                        [--snap-dir DIR] [--audio-out FILE.wav] [--snap-at-exit NAME]\n"
    "                        [--stats] SCRIPT\n"
    "       bramblecourt-sim --replay FILE [--until PASS] [--snap-every N]\n"
    "                        [--snap-dir DIR] [--snap-at-exit NAME] [--audio-out FILE.wav]\n"
    "                        [--stats]\n"
    "\n"
    "Script commands, one a line (# starts a comment, except after char and text):\n"
    "  wait MS        run passes until the virtual clock has advanced by MS\n"
    "  passes N       run N passes\n"
    "  key NAME|CODE  post WM_KEYDOWN (ENTER ESC SPACE LEFT UP RIGHT DOWN F1 F2 F3)\n"
    "  char C         post WM_CHAR with one character, or \\NNN for a decimal byte\n"
    "  text REST      post one WM_CHAR per byte of the rest of the line\n"
    "  move X Y       post WM_MOUSEMOVE\n"
    "  aim [SLOT]     move the pointer to the middle of target slot SLOT's hit\n"
    "                 rectangle on the screen; without SLOT to the first slot in\n"
    "                 play whose middle is on the screen and not behind the\n"
    "                 landscape (the pointer stays when there is none)\n"
    "  lclick, rclick post the button at the last position\n"
    "  close          post WM_CLOSE\n"
    "  snap NAME      write the last presented frame to DIR/NAME.png\n"
    "  dump           print the shared state\n"
    "\n"
    "--snap-at-exit NAME writes the last frame shown (the farewell, after a quit)\n"
    "to DIR/NAME.png when the game ends, before its exit line.\n"
    "--stats writes the wall-clock times of the passes by screen state to stderr\n"
    "at the end.\n"
    "\n"
    "--replay FILE plays a recording of the real game (bramblecourt --record FILE)\n"
    "in the current folder, which must hold the data files it was made with; its\n"
    "Score.dat is put there as the recording found it. The trace is the one the\n"
    "real game wrote beside the recording. --until PASS stops after that pass and\n"
    "--snap-every N writes DIR/pass-NNNNNN.png after every Nth pass; a replay that\n"
    "stops before the game's end prints the shared state (dump) and an end line.\n"
    "Exit status 2 when the recording is refused, 3 when the game departs from it.\n"
    "\n"
    "SCRIPT - reads the script from standard input and runs each line as it\n"
    "arrives, so that a driver can choose its next input from the trace so far;\n"
    "a bad line then ends the run (exit status 2) where it stands.\n";

struct Options {
    std::uint32_t start_tick = 1000000;
    std::uint32_t frame_ms = 16;
    int hour = 12;
    std::string user = "player";
    std::string snap_dir = ".";
    std::string audio_out;
    std::string exit_snap;
    std::string script;
    bool stats = false;
    std::string replay;
    std::uint64_t until = 0;
    bool has_until = false;
    std::uint32_t snap_every = 0;
};

bool parse_u32(const char* s, std::uint32_t max, std::uint32_t& out) {
    if (s == nullptr || *s == '\0' || std::strlen(s) > 10) {
        return false;
    }
    std::uint64_t v = 0;
    for (const char* p = s; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') {
            return false;
        }
        v = v * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    if (v > max) {
        return false;
    }
    out = static_cast<std::uint32_t>(v);
    return true;
}

// False (after a message) on a bad command line.
bool parse_options(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](const char*& v) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "bramblecourt-sim: %s needs a value\n", arg.c_str());
                return false;
            }
            v = argv[++i];
            return true;
        };
        const char* v = nullptr;
        std::uint32_t n = 0;
        if (arg == "--until" || arg == "--snap-every") {
            if (!value(v)) {
                return false;
            }
            if (!parse_u32(v, 0xFFFFFFFFu, n)) {
                std::fprintf(stderr, "bramblecourt-sim: %s needs a whole number: %s\n", arg.c_str(),
                             v);
                return false;
            }
            if (arg == "--until") {
                o.until = n;
                o.has_until = true;
            } else {
                o.snap_every = n;
            }
        } else if (arg == "--replay") {
            if (!value(v)) {
                return false;
            }
            o.replay = v;
        } else if (arg == "--start-tick" || arg == "--frame-ms" || arg == "--hour") {
            if (!value(v)) {
                return false;
            }
            const std::uint32_t max = arg == "--hour" ? 23 : 0xFFFFFFFFu;
            if (!parse_u32(v, max, n)) {
                std::fprintf(stderr, "bramblecourt-sim: %s needs a whole number from 0 to %u: %s\n",
                             arg.c_str(), max, v);
                return false;
            }
            if (arg == "--start-tick") {
                o.start_tick = n;
            } else if (arg == "--frame-ms") {
                o.frame_ms = n;
            } else {
                o.hour = static_cast<int>(n);
            }
        } else if (arg == "--user" || arg == "--snap-dir" || arg == "--audio-out" ||
                   arg == "--snap-at-exit") {
            if (!value(v)) {
                return false;
            }
            if (arg == "--snap-at-exit" && !sim::valid_snap_name(v)) {
                std::fprintf(stderr, "bramblecourt-sim: --snap-at-exit needs a plain name: %s\n",
                             v);
                return false;
            }
            (arg == "--user"           ? o.user
             : arg == "--snap-dir"     ? o.snap_dir
             : arg == "--snap-at-exit" ? o.exit_snap
                                       : o.audio_out) = v;
        } else if (arg == "--stats") {
            o.stats = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "bramblecourt-sim: unknown option %s\n", arg.c_str());
            return false;
        } else if (o.script.empty()) {
            o.script = arg;
        } else {
            std::fprintf(stderr, "bramblecourt-sim: more than one script: %s\n", arg.c_str());
            return false;
        }
    }
    if (!o.replay.empty() && !o.script.empty()) {
        std::fprintf(stderr, "bramblecourt-sim: a replay takes no script: %s\n", o.script.c_str());
        return false;
    }
    if (o.replay.empty() && (o.has_until || o.snap_every != 0)) {
        std::fprintf(stderr, "bramblecourt-sim: --until and --snap-every go with --replay\n");
        return false;
    }
    if (o.script.empty() && o.replay.empty()) {
        std::fprintf(stderr, "bramblecourt-sim: no script given\n");
        return false;
    }
    return true;
}

// Passes in a row without any advance of the clock after which a wait gives up.
constexpr int kMaxStillPasses = 1000;

class Runner {
   public:
    explicit Runner(const Options& o) : options_(o) {}

    // Where the commands come from: true with the next one in c, false at the
    // end of the script or (with status set to 2) at a bad line.
    using Source = std::function<bool(sim::Command& c, int& status)>;

    // Exit status of the runner.
    int run(const Source& next) {
        capture_begin();
        if (!start()) {
            return 1;
        }
        int status = 0;
        sim::Command c;
        while (!run_.ended() && next(c, status)) {
            status = execute(c);
            if (status != 0) {
                break;
            }
        }
        if (!run_.ended()) {
            if (status == 0) {
                run_.dump();
                sim::Line("end").emit();
            }
            // No shutdown wait: the script has ended, not the game.
            run_.abandon();
        }
        headless::audio_capture_end();
        return status;
    }

    // Plays the recording the journal replays; the exit status.
    int replay() {
        capture_begin();
        int status = 0;
        bool stopped = false;
        try {
            if (!start()) {
                journal::replay_end();
                return 1;
            }
            while (!run_.ended() && !(options_.has_until && run_.passes() >= options_.until)) {
                pass();
                if (options_.snap_every != 0 && !run_.ended() &&
                    run_.passes() % options_.snap_every == 0) {
                    char name[32];
                    std::snprintf(name, sizeof name, "pass-%06llu",
                                  static_cast<unsigned long long>(run_.passes()));
                    write_snap(name, 0);
                }
            }
        } catch (const journal::Stop& stop) {
            std::fprintf(stderr, "bramblecourt-sim: %s\n", stop.message.c_str());
            stopped = true;
            status = stop.cut_off ? 0 : 3;
        }
        if (run_.ended() && !stopped) {
            std::string message;
            if (!journal::replay_finish(message)) {
                std::fprintf(stderr, "bramblecourt-sim: %s\n", message.c_str());
                status = 3;
            } else if (!message.empty()) {
                std::fprintf(stderr, "bramblecourt-sim: %s\n", message.c_str());
            }
        }
        journal::replay_end();
        if (!run_.ended()) {
            run_.dump();
            sim::Line("end").emit();
            run_.abandon();
        }
        headless::audio_capture_end();
        return status;
    }

   private:
    void capture_begin() {
        if (!options_.audio_out.empty() && !headless::audio_capture_begin(options_.audio_out)) {
            std::fprintf(stderr, "bramblecourt-sim: cannot record the sound into %s\n",
                         options_.audio_out.c_str());
        }
    }

    bool start() {
        if (!options_.exit_snap.empty()) {
            run_.at_exit = [this] { write_snap(options_.exit_snap, 0); };
        }
        if (!run_.start()) {
            std::fprintf(stderr, "bramblecourt-sim: the window cannot be created\n");
            headless::audio_capture_end();
            return false;
        }
        return true;
    }

    void pass() { run_.pass(); }

    void post(std::uint32_t msg, WPARAM w, LPARAM l) {
        platform::post_message(Hauptfenster, msg, w, l);
    }

    int execute(const sim::Command& c) {
        switch (c.op) {
            case sim::Op::Wait: {
                // A pass may end without a flip (the intro's last one does),
                // but a long run of passes that leave the clock alone means
                // the wait would never end.
                const std::uint32_t start = platform::tick_count();
                int stehend = 0;
                while (!run_.ended() && platform::tick_count() - start < c.a) {
                    const std::uint32_t before = platform::tick_count();
                    pass();
                    stehend = platform::tick_count() == before ? stehend + 1 : 0;
                    if (!run_.ended() && stehend >= kMaxStillPasses) {
                        std::fprintf(stderr,
                                     "bramblecourt-sim: line %d: wait cannot end: the passes do "
                                     "not advance the virtual clock (--frame-ms 0?)\n",
                                     c.line);
                        return 2;
                    }
                }
                return 0;
            }
            case sim::Op::Passes:
                for (std::uint32_t i = 0; i < c.a && !run_.ended(); ++i) {
                    pass();
                }
                return 0;
            case sim::Op::Key:
                post(WM_KEYDOWN, c.a, 0);
                return 0;
            case sim::Op::Char:
                post(WM_CHAR, c.a, 0);
                return 0;
            case sim::Op::Text:
                for (char ch : c.text) {
                    post(WM_CHAR, static_cast<unsigned char>(ch), 0);
                }
                return 0;
            case sim::Op::Move:
                mouse_ =
                    MAKELPARAM(static_cast<std::uint16_t>(c.a), static_cast<std::uint16_t>(c.b));
                post(WM_MOUSEMOVE, 0, mouse_);
                return 0;
            case sim::Op::LClick:
                post(WM_LBUTTONDOWN, 1, mouse_);
                return 0;
            case sim::Op::RClick:
                post(WM_RBUTTONDOWN, 2, mouse_);
                return 0;
            case sim::Op::Close:
                post(WM_CLOSE, 0, 0);
                return 0;
            case sim::Op::Aim:
                aim(c);
                return 0;
            case sim::Op::Snap:
                return snap(c);
            case sim::Op::Dump:
                run_.dump();
                return 0;
        }
        return 0;
    }

    // Scripts aim at the targets by slot, so that their shots hit whatever
    // way the generator has placed them.
    void aim(const sim::Command& c) {
        const auto mitte = [](int slot, std::int32_t& x, std::int32_t& y) {
            const Objekt& o = Objekte[slot];
            x = (o.L + o.R) / 2 + Scroll_x;
            y = (o.T + o.B) / 2;
        };
        int slot = -1;
        std::int32_t x = 0;
        std::int32_t y = 0;
        if (!c.any) {
            slot = static_cast<int>(c.a);
            mitte(slot, x, y);
            x = std::clamp(x, 0, 1023);
            y = std::clamp(y, 0, 767);
        } else {
            for (int i = 0; i < 11 && slot < 0; ++i) {
                mitte(i, x, y);
                const Objekt& o = Objekte[i];
                if (o.Zus == 0 && x >= 0 && x < 1024 && y >= 0 && y < 768 &&
                    !(o.Ebene == 1 && Hinter_Horizont(x - Scroll_x, y))) {
                    slot = i;
                }
            }
        }
        sim::Line line("aim");
        if (slot < 0) {
            line.null("slot").emit();
            return;
        }
        line.number("slot", slot).number("x", x).number("y", y).emit();
        mouse_ = MAKELPARAM(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y));
        post(WM_MOUSEMOVE, 0, mouse_);
    }

    int snap(const sim::Command& c) { return write_snap(c.text, c.line); }

    // Line 0: the snapshot at the exit.
    static std::string where(int line) {
        return line > 0 ? "line " + std::to_string(line) : "at the exit";
    }

    int write_snap(const std::string& name, int line) {
        const std::string path = options_.snap_dir + "/" + name + ".png";
        const platform::Surface* frame = headless::last_frame();
        if (frame == nullptr) {
            std::fprintf(stderr, "bramblecourt-sim: %s: snap: no frame has been shown yet\n",
                         where(line).c_str());
            return 1;
        }
        std::error_code ec;
        std::filesystem::create_directories(options_.snap_dir, ec);
        if (!platform::write_png(*frame, path)) {
            std::fprintf(stderr, "bramblecourt-sim: %s: snap: cannot write %s\n",
                         where(line).c_str(), path.c_str());
            return 1;
        }
        sim::Line("snap").string("file", path).emit();
        return 0;
    }

    Options options_;
    trace::Run run_;
    LPARAM mouse_ = 0;
};

// Checks the recording against this build and folder, then replays it.
int replay(const Options& options) {
    journal::Reader reader;
    std::string error;
    if (!journal::open_file(options.replay, reader, error) ||
        !Aufnahme_passt(reader.header(), error) ||
        !Aufnahme_dateien_anlegen(reader.header(), error)) {
        std::fprintf(stderr, "bramblecourt-sim: %s: refused: %s\n", options.replay.c_str(),
                     error.c_str());
        return 2;
    }
    headless::reset(options.start_tick);
    trace::Tracer tracer;
    headless::set_observer(&tracer);
    // The trace's clock is the tick count the game read last, as in the
    // real game's trace; reading the clock itself would take a reading.
    trace::set_clock(journal::last_tick);
    if (options.stats) {
        platform::stats::enable();
    }
    journal::replay_begin(std::move(reader));
    Runner runner(options);
    const int status = runner.replay();
    headless::set_observer(nullptr);
    trace::set_clock(nullptr);
    if (options.stats) {
        Laufzeiten_ausgeben(stderr);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!options.replay.empty()) {
        return replay(options);
    }
    // A script file is checked whole before the game starts; standard input
    // line by line as it arrives.
    std::vector<sim::Command> script;
    std::size_t naechster = 0;
    int zeile = 0;
    Runner::Source quelle;
    if (options.script == "-") {
        quelle = [&](sim::Command& c, int& status) {
            std::string raw;
            std::string error;
            while (naechster >= script.size()) {
                script.clear();
                naechster = 0;
                if (!std::getline(std::cin, raw)) {
                    return false;
                }
                if (!sim::parse_line(raw, ++zeile, script, error)) {
                    std::fprintf(stderr, "bramblecourt-sim: standard input: %s\n", error.c_str());
                    status = 2;
                    return false;
                }
            }
            c = script[naechster++];
            return true;
        };
    } else {
        std::ifstream file(options.script, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "bramblecourt-sim: cannot read the script %s\n",
                         options.script.c_str());
            return 2;
        }
        std::ostringstream source;
        source << file.rdbuf();
        std::string error;
        if (!sim::parse_script(source.str(), script, error)) {
            std::fprintf(stderr, "bramblecourt-sim: %s: %s\n", options.script.c_str(),
                         error.c_str());
            return 2;
        }
        quelle = [&](sim::Command& c, int&) {
            if (naechster >= script.size()) {
                return false;
            }
            c = script[naechster++];
            return true;
        };
    }

    headless::reset(options.start_tick);
    headless::set_frame_ms(options.frame_ms);
    headless::set_local_hour(options.hour);
    headless::set_user_name(options.user);
    trace::Tracer tracer;
    headless::set_observer(&tracer);
    if (options.stats) {
        platform::stats::enable();
    }
    Runner runner(options);
    const int status = runner.run(quelle);
    headless::set_observer(nullptr);
    if (options.stats) {
        Laufzeiten_ausgeben(stderr);
    }
    return status;
}
