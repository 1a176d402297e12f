#include "game_check.h"

#include "audio/audio.h"
#include "core/bytes.h"
#include "gfx/ddraw.h"
#include "pack/packfile.h"
#include "platform/cp1252.h"
#include "platform/headless/headless.h"
#include "platform/window.h"

namespace packfile {

namespace {

namespace headless = platform::headless;

// The game's message boxes since the last call, joined into one line.
std::string take_messages() {
    std::string joined;
    for (const headless::Box& box : headless::boxes()) {
        joined += (joined.empty() ? "" : "; ") + platform::cp1252_to_utf8(box.text);
    }
    headless::clear_boxes();
    return joined;
}

// The directory as the game holds it, or, for an entry the game never loads,
// a copy whose entry 0 is that entry.
Verzeichnis directory_for(const Verzeichnis& directory, const EntryReport& e, int loaded_by_game,
                          int& number) {
    number = e.index;
    if (e.index < loaded_by_game) {
        return directory;
    }
    Verzeichnis copy = directory;
    le::put_i32(copy.bytes + Archiv::Marker_Offset, e.marker);
    le::put_i32(copy.bytes + Archiv::Offsettabelle, e.offset);
    number = 0;
    return copy;
}

// A picture into a surface of its own size on a display of its own, so that
// no picture's memory outlives its check.
int load_picture(const std::string& path, const Verzeichnis& directory, int number,
                 const BmpInfo& bmp) {
    Farbtiefe = 16;
    int result = DDraw_starten();
    Surface* surface = nullptr;
    if (result == 0) {
        result = DDraw_Offscreen_anlegen(&surface, bmp.width, bmp.height, 0);
    }
    if (result == 0) {
        result = PackFile_Bild_laden(path.c_str(), &directory, number, surface);
    }
    DDraw_beenden();
    return result;
}

int load_sound(const std::string& path, const Verzeichnis& directory, int number) {
    platform::SoundBuffer* buffer = nullptr;
    const int result = PackFile_Sound_laden(path.c_str(), &directory, number, &buffer);
    if (buffer != nullptr) {
        platform::sound_buffer_release(buffer);
    }
    return result;
}

}  // namespace

std::vector<GameRefusal> load_as_the_game(const std::string& path, const ArchiveReport& report) {
    std::vector<GameRefusal> refused;
    platform::message_box_echo(false);
    headless::reset();
    Verzeichnis directory{};
    if (PackFile_oeffnen(path.c_str(), &directory, nullptr) != 0) {
        refused.push_back(GameRefusal{-1, take_messages()});
        return refused;
    }
    lpDS = platform::sound_device_create();
    for (const EntryReport& e : report.entries) {
        if (!e.readable) {
            continue;
        }
        int number = 0;
        int result = 0;
        if (e.kind == Kind::Picture) {
            const Verzeichnis v = directory_for(directory, e, Bild::Anzahl, number);
            result = load_picture(path, v, number, e.bmp);
        } else if (e.kind == Kind::Sound) {
            const Verzeichnis v = directory_for(directory, e, Klang::Anzahl, number);
            if (lpDS == nullptr) {
                refused.push_back(GameRefusal{e.index, "no sound device to load it into"});
                continue;
            }
            result = load_sound(path, v, number);
        }
        std::string messages = take_messages();
        if (result != 0) {
            refused.push_back(GameRefusal{
                e.index, messages.empty() ? "result " + std::to_string(result) : messages});
        }
    }
    if (lpDS != nullptr) {
        platform::sound_device_release(lpDS);
        lpDS = nullptr;
    }
    return refused;
}

}  // namespace packfile
