// Music: the WAV tunes of the screens outside play, and the jukebox that
// plays the MP3 files of the working directory during play.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "core/core.h"
#include "platform/folders.h"
#include "platform/sound.h"
#include "platform/system.h"

char Mp3_Liste[10][1024] = {};
std::int32_t Mp3_Anzahl = 0;
std::int32_t Mp3_Nummer = 0;
std::int32_t Mp3_Status = Mp3::Zu;
std::uint8_t Mp3_an = 1;
std::uint32_t Mp3_Startzeit = 0;

namespace {

constexpr int kMaxTitel = 10;
constexpr std::size_t kNamenGroesse = sizeof(Mp3_Liste[0]);

char klein(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether name ends in "." + extension, letters compared without case as the
// file systems this pattern was written for do.
bool endet_mit(const char* name, const char* endung) {
    const std::size_t n = std::strlen(name);
    const std::size_t e = std::strlen(endung);
    if (n < e + 1 || name[n - e - 1] != '.') {
        return false;
    }
    for (std::size_t i = 0; i < e; ++i) {
        if (klein(name[n - e + i]) != klein(endung[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool Mp3_suchen() {
    // A working folder too deep for the game's path buffer is searched as
    // "." instead: the same folder.
    const std::string ordner = platform::current_folder();
    const char* verzeichnis = ordner.empty() || ordner.size() >= 1024 ? "." : ordner.c_str();
    const bool gefunden = Dateien_suchen(verzeichnis, "mp3");
    if (!gefunden) {
        Mp3_Status = Mp3::Keine;
    }
    return gefunden;
}

bool Dateien_suchen(const char* verzeichnis, const char* endung) {
    std::memset(Mp3_Liste, 0, sizeof Mp3_Liste);
    Mp3_Anzahl = 0;
    Mp3_Nummer = 0;
    if (endung == nullptr) {
        endung = "";
    }
    // Every entry whose name matches, folders included (the pattern does not
    // look at attributes), but nothing that would block the jukebox (the
    // listing leaves that out). Sorted by name, as the listing of the file
    // systems the game was made for delivers them, so that the jukebox's
    // order and the ten that are kept do not depend on how this file system
    // stores them.
    std::vector<std::string> eintraege;
    if (!platform::list_folder(verzeichnis, eintraege)) {
        return false;
    }
    std::vector<std::string> namen;
    for (const std::string& n : eintraege) {
        if (endet_mit(n.c_str(), endung) && n.size() < kNamenGroesse) {
            namen.push_back(n);
        }
    }
    std::sort(namen.begin(), namen.end());
    for (const std::string& n : namen) {
        if (Mp3_Anzahl >= kMaxTitel) {
            break;
        }
        std::memcpy(Mp3_Liste[Mp3_Anzahl], n.c_str(), n.size() + 1);
        ++Mp3_Anzahl;
    }
    return Mp3_Anzahl > 0;
}

void Mp3_steuern(int operation, const char* name) {
    if (Mp3_Status == Mp3::Keine || Mp3_an == 0) {
        return;
    }
    static char befehl[2048];
    if ((operation == Mp3::Einmal || operation == Mp3::Endlos) && Mp3_Status == Mp3::Zu) {
        // The name as listed, relative to the working directory; blanks and
        // any other bytes in it are fine for our MCI, so no short path.
        std::snprintf(befehl, sizeof befehl, "open %s type MPEGVideo Alias Mp3",
                      name != nullptr ? name : "");
        platform::mci_send_string(befehl);
        platform::mci_send_string(operation == Mp3::Einmal ? "play Mp3" : "play Mp3 repeat");
        Mp3_Status = Mp3::Offen;
    } else if (operation == Mp3::Schliessen && Mp3_Status == Mp3::Offen) {
        platform::mci_send_string("close Mp3");
        Mp3_Status = Mp3::Zu;
    }
}

void Mp3_wechseln(std::int32_t nummer, std::int32_t modus) {
    if (Mp3_Anzahl == 0) {
        return;
    }
    std::int32_t n;
    if (modus == Mp3_ZUFALL) {
        n = Zufall() % Mp3_Anzahl;
        while (n == Mp3_Nummer && Mp3_Anzahl > 1) {
            n = Zufall() % Mp3_Anzahl;
        }
    } else if (modus == Mp3_VORHERIGES) {
        Mp3_steuern(Mp3::Schliessen, nullptr);
        n = Mp3_Nummer - 1;
    } else if (modus == Mp3_NAECHSTES) {
        Mp3_steuern(Mp3::Schliessen, nullptr);
        n = Mp3_Nummer + 1;
    } else {
        n = nummer;
    }
    if (n >= Mp3_Anzahl) {
        n = 0;
    } else if (n < 0) {
        n = Mp3_Anzahl - 1;
    }
    // A tune still open goes on; only a closed jukebox takes the new one.
    if (Mp3_Status == Mp3::Offen) {
        return;
    }
    Mp3_Nummer = n;
    Mp3_Startzeit = platform::tick_count();
    Mp3_steuern(Mp3::Einmal, Mp3_Liste[n]);
}

void Musik_abspielen(const char* name) {
    platform::tune_play(name);
}
