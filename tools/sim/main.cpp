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

#include "app/spiel.h"
#include "app/start.h"
#include "audio/audio.h"
#include "game/game.h"
#include "gfx/bilder.h"
#include "gfx/ddraw.h"
#include "platform/cp1252.h"
#include "platform/headless/headless.h"
#include "platform/png.h"
#include "platform/stats.h"
#include "platform/system.h"
#include "platform/window.h"
#include "score/score.h"
#include "script.h"
#include "trace.h"

namespace headless = platform::headless;

namespace {

constexpr const char* kUsage =
    "usage: bramblecourt-sim [--start-tick N] [--frame-ms N] [--hour H] [--user NAME]\n"
    "                        [--snap-dir DIR] [--audio-out FILE.wav] [--snap-at-exit NAME]\n"
    "                        [--stats] SCRIPT\n"
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
        if (arg == "--start-tick" || arg == "--frame-ms" || arg == "--hour") {
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
    if (o.script.empty()) {
        std::fprintf(stderr, "bramblecourt-sim: no script given\n");
        return false;
    }
    return true;
}

bool valid_utf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int more = c < 0x80           ? 0
                         : (c >> 5) == 0x6  ? 1
                         : (c >> 4) == 0xE  ? 2
                         : (c >> 3) == 0x1E ? 3
                                            : -1;
        if (more < 0 || i + static_cast<std::size_t>(more) >= s.size()) {
            return false;
        }
        for (int k = 1; k <= more; ++k) {
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) >> 6) != 0x2) {
                return false;
            }
        }
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

// File names are passed on as they are when they already are UTF-8 (as on
// this platform's file systems), else read as Windows-1252.
std::string file_name_utf8(const char* name) {
    const std::string s = name;
    return valid_utf8(s) ? s : platform::cp1252_to_utf8(s);
}

std::string game_text(const char* text, std::size_t max) {
    return platform::cp1252_to_utf8(std::string(text, strnlen(text, max)));
}

// Turns what the platform reports into trace lines.
class Tracer : public headless::Observer {
   public:
    void on_box(const headless::Box& box) override {
        sim::Line("box")
            .string("caption", platform::cp1252_to_utf8(box.caption))
            .string("text", platform::cp1252_to_utf8(box.text))
            .emit();
    }
    void on_beep() override { sim::Line("beep").emit(); }
    void on_sound(int item, int pan, int volume) override {
        sim::Line("sound").number("item", item).number("pan", pan).number("volume", volume).emit();
    }
    void on_tune(const char* file) override {
        sim::Line line("tune");
        if (file != nullptr) {
            line.string("file", file_name_utf8(file));
        } else {
            line.null("file");
        }
        line.emit();
    }
    void on_mp3(const char* cmd, const char* file) override {
        sim::Line line("mp3");
        line.string("cmd", cmd != nullptr ? cmd : "");
        if (file != nullptr) {
            line.string("file", file_name_utf8(file));
        }
        line.emit();
    }
};

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
        if (!options_.audio_out.empty() && !headless::audio_capture_begin(options_.audio_out)) {
            std::fprintf(stderr, "bramblecourt-sim: cannot record the sound into %s\n",
                         options_.audio_out.c_str());
        }
        if (!Programm_starten()) {
            std::fprintf(stderr, "bramblecourt-sim: the window cannot be created\n");
            headless::audio_capture_end();
            return 1;
        }
        check_state();

        int status = 0;
        if (Spielzustand == Zustand::Ende) {
            shut_down();
        }
        sim::Command c;
        while (!ended_ && next(c, status)) {
            status = execute(c);
            if (status != 0) {
                break;
            }
        }
        if (!ended_) {
            if (status == 0) {
                dump();
                sim::Line("end").emit();
            }
            // No shutdown wait: the script has ended, not the game.
            Programm_beenden(false);
        }
        headless::audio_capture_end();
        return status;
    }

   private:
    void check_state() {
        if (Spielzustand != zustand_) {
            sim::Line("state").number("from", zustand_).number("to", Spielzustand).emit();
            zustand_ = Spielzustand;
        }
    }

    // One pass of the main loop, watched message by message.
    void pass() {
        platform::stats::pass_begin();
        while (Nachricht_verarbeiten()) {
            check_state();
        }
        const std::int32_t zustand = Spielzustand;
        Zustand_ausfuehren();
        Durchlauf_messen(zustand);
        ++passes_;
        check_state();
        if (Spielzustand == Zustand::Ende) {
            shut_down();
        }
    }

    void shut_down() {
        // The frame shown last stays on the screen through the shutdown wait.
        if (!options_.exit_snap.empty()) {
            write_snap(options_.exit_snap, 0);
        }
        const int code = Programm_beenden(true);
        ended_ = true;
        sim::Line("exit").number("code", code).emit();
    }

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
                while (!ended_ && platform::tick_count() - start < c.a) {
                    const std::uint32_t before = platform::tick_count();
                    pass();
                    stehend = platform::tick_count() == before ? stehend + 1 : 0;
                    if (!ended_ && stehend >= kMaxStillPasses) {
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
                for (std::uint32_t i = 0; i < c.a && !ended_; ++i) {
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
                dump();
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

    void dump() {
        std::string objekte = "[";
        for (int i = 0; i < kSlots; ++i) {
            const Objekt& o = Objekte[i];
            objekte += i == 0 ? "{" : ",{";
            objekte += "\"Typ\":" + std::to_string(o.Sprite.Typ);
            objekte += ",\"Zus\":" + std::to_string(o.Zus);
            objekte += ",\"Rich\":" + std::to_string(o.Rich);
            objekte += ",\"x\":" + std::to_string(o.x);
            objekte += ",\"y\":" + std::to_string(o.y);
            objekte += ",\"L\":" + std::to_string(o.L);
            objekte += ",\"R\":" + std::to_string(o.R);
            objekte += ",\"T\":" + std::to_string(o.T);
            objekte += ",\"B\":" + std::to_string(o.B) + "}";
        }
        objekte += "]";
        std::string highscores = "[";
        for (int i = 0; i < 10; ++i) {
            const Highscore_Eintrag& e = Highscoreliste[i];
            highscores += i == 0 ? "[" : ",[";
            highscores += std::to_string(e.Punkte) + "," +
                          sim::json_string(game_text(e.Name, sizeof e.Name)) + "]";
        }
        highscores += "]";
        sim::Line("dump")
            .number("state", Spielzustand)
            .number("passes", static_cast<std::int64_t>(passes_))
            .number("Punkte", Punkte)
            .number("Highscore", Highscore)
            .number("Kills", Kills)
            .number("Lose", Lose)
            .number("Zeit", Zeit)
            .number("Runde", Runde)
            .number("Patronen", Patronen)
            .number("Letzter_Gewinn", Letzter_Gewinn)
            .number("Menuepunkt", Menuepunkt)
            .number("Maus_x", Maus_x)
            .number("Maus_y", Maus_y)
            .number("Scroll_x", Scroll_x)
            .number("Gewonnen", Gewonnen)
            .number("Debugmodus", Debugmodus)
            .string("Spielername", game_text(Spielername, sizeof Spielername))
            .number("Himmelsfarbe", Himmelsfarbe)
            .raw("objekte", objekte)
            .raw("highscores", highscores)
            .emit();
    }

    Options options_;
    std::int32_t zustand_ = 0;
    std::uint64_t passes_ = 0;
    bool ended_ = false;
    LPARAM mouse_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
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
    Tracer tracer;
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
