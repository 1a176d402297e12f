#include "app/trace.h"

#include <cstring>

#include "app/spiel.h"
#include "app/start.h"
#include "game/game.h"
#include "platform/cp1252.h"
#include "platform/journal.h"
#include "platform/stats.h"
#include "platform/system.h"
#include "score/score.h"

namespace trace {

namespace {

std::FILE* output = nullptr;
std::uint32_t (*clock_source)() = nullptr;

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

}  // namespace

void set_output(std::FILE* out) {
    output = out;
}

void set_clock(std::uint32_t (*clock)()) {
    clock_source = clock;
}

std::string json_string(std::string_view utf8) {
    std::string out = "\"";
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    out += '"';
    return out;
}

Line::Line(const char* event) {
    const std::uint32_t t = clock_source != nullptr ? clock_source() : platform::tick_count();
    out_ = "{\"t\":" + std::to_string(t) + ",\"ev\":" + json_string(event);
}

void Line::key(const char* key) {
    out_ += ',';
    out_ += json_string(key);
    out_ += ':';
}

Line& Line::number(const char* k, std::int64_t value) {
    key(k);
    out_ += std::to_string(value);
    return *this;
}

Line& Line::string(const char* k, std::string_view value) {
    key(k);
    out_ += json_string(value);
    return *this;
}

Line& Line::null(const char* k) {
    key(k);
    out_ += "null";
    return *this;
}

Line& Line::raw(const char* k, const std::string& value) {
    key(k);
    out_ += value;
    return *this;
}

void Line::emit() {
    out_ += "}\n";
    std::FILE* out = output != nullptr ? output : stdout;
    std::fputs(out_.c_str(), out);
    std::fflush(out);
}

void Tracer::on_box(const platform::BoxShown& box) {
    Line("box")
        .string("caption", platform::cp1252_to_utf8(box.caption))
        .string("text", platform::cp1252_to_utf8(box.text))
        .emit();
}

void Tracer::on_beep() {
    Line("beep").emit();
}

void Tracer::on_sound(int item, int pan, int volume) {
    Line("sound").number("item", item).number("pan", pan).number("volume", volume).emit();
}

void Tracer::on_tune(const char* file) {
    Line line("tune");
    if (file != nullptr) {
        line.string("file", file_name_utf8(file));
    } else {
        line.null("file");
    }
    line.emit();
}

void Tracer::on_mp3(const char* cmd, const char* file) {
    Line line("mp3");
    line.string("cmd", cmd != nullptr ? cmd : "");
    if (file != nullptr) {
        line.string("file", file_name_utf8(file));
    }
    line.emit();
}

bool Run::start() {
    platform::journal::set_pass(0);
    if (!Programm_starten()) {
        return false;
    }
    check_state();
    if (Spielzustand == Zustand::Ende) {
        shut_down();
    }
    return true;
}

void Run::check_state() {
    if (Spielzustand != zustand_) {
        Line("state").number("from", zustand_).number("to", Spielzustand).emit();
        zustand_ = Spielzustand;
    }
}

void Run::pass() {
    platform::journal::set_pass(passes_ + 1);
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

void Run::shut_down() {
    // The frame shown last stays on the screen through the shutdown wait.
    if (at_exit) {
        at_exit();
    }
    code_ = Programm_beenden(true);
    ended_ = true;
    Line("exit").number("code", code_).emit();
}

void Run::abandon() {
    if (!ended_) {
        Programm_beenden(false);
        ended_ = true;
    }
}

void Run::dump() {
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
        highscores +=
            std::to_string(e.Punkte) + "," + json_string(game_text(e.Name, sizeof e.Name)) + "]";
    }
    highscores += "]";
    Line("dump")
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

}  // namespace trace
