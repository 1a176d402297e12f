// The top-ten list and Score.dat: 32 bytes of version tag, the UTC time of
// writing (16 bytes), then the ten entries of score and name (240 bytes).
#include <algorithm>
#include <cstring>
#include <memory>

#include "core/bytes.h"
#include "core/core.h"
#include "core/spielstand.h"
#include "core/takt.h"
#include "platform/file.h"
#include "platform/system.h"
#include "score/score.h"

Highscore_Eintrag Highscoreliste[10] = {};

namespace {

constexpr char kVersion[] = "Bramblecourt 1014";
constexpr std::size_t kKennungGroesse = 32;
constexpr std::size_t kZeitGroesse = 16;
constexpr std::size_t kEintragGroesse = 24;
constexpr std::size_t kListenGroesse = 10 * kEintragGroesse;
constexpr std::int64_t kDateiGroesse = kKennungGroesse + kZeitGroesse + kListenGroesse;
constexpr int kMinuteOffset = 10;  // within the stored time
constexpr int kSekundeOffset = 12;

void Liste_kodieren(const Highscore_Eintrag* liste, std::uint8_t* puffer) {
    for (int k = 0; k < 10; ++k) {
        std::uint8_t* eintrag = puffer + kEintragGroesse * k;
        le::put_i32(eintrag, liste[k].Punkte);
        std::memcpy(eintrag + 4, liste[k].Name, sizeof liste[k].Name);
    }
}

// A name field without a zero byte is cut to 19 characters, so that no
// reader of a name ever runs past its field.
void Liste_dekodieren(const std::uint8_t* puffer, Highscore_Eintrag* liste) {
    for (int k = 0; k < 10; ++k) {
        const std::uint8_t* eintrag = puffer + kEintragGroesse * k;
        liste[k].Punkte = le::i32(eintrag);
        std::memcpy(liste[k].Name, eintrag + 4, sizeof liste[k].Name);
        liste[k].Name[sizeof liste[k].Name - 1] = '\0';
    }
}

void Zeit_kodieren(const platform::SystemTime& zeit, std::uint8_t* puffer) {
    const std::uint16_t felder[8] = {zeit.year, zeit.month,  zeit.day_of_week, zeit.day,
                                     zeit.hour, zeit.minute, zeit.second,      zeit.milliseconds};
    for (int i = 0; i < 8; ++i) {
        le::put_u16(puffer + 2 * i, felder[i]);
    }
}

}  // namespace

int Highscore_laden(const char* datei) {
    std::unique_ptr<platform::File> f = platform::File::open(datei, platform::File::Mode::Read);
    if (!f) {
        Highscore_neu_anlegen();
        return 1;
    }
    if (f->size() != kDateiGroesse) {
        f.reset();
        Highscore_neu_anlegen();
        Fehler_melden(
            "Ihre Highscoreliste ist fehlerhaft,\nund mu\xDFte komplett neu anglegt werden!");
        return 2;
    }

    // A read that fails leaves what it would have filled as it was; only the
    // size test above guards against a damaged file.
    std::uint8_t kennung[kKennungGroesse] = {};
    std::uint8_t zeit[kZeitGroesse] = {};
    std::uint8_t liste[kListenGroesse];
    Liste_kodieren(Highscoreliste, liste);
    f->read(kennung, sizeof kennung);
    f->read(zeit, sizeof zeit);
    f->read(liste, sizeof liste);
    f.reset();
    Liste_dekodieren(liste, Highscoreliste);

    if (le::u16(zeit + kMinuteOffset) > 60 || le::u16(zeit + kSekundeOffset) > 60) {
        Highscore_neu_anlegen();
        Fehler_melden(
            "Ihre Highscoreliste wurde manuell veraendert\nund mu\xDFte komplett neu anglegt "
            "werden!");
        return 3;
    }
    // Compared as texts: whatever follows the tag's zero byte does not count.
    if (std::strncmp(reinterpret_cast<const char*>(kennung), kVersion, sizeof kVersion) != 0) {
        Highscore_neu_anlegen();
        Fehler_melden(
            "Die Version ihrer Highscoreliste ist leider\nungueltig und mu\xDFte komplett neu "
            "anglegt werden!");
        return 4;
    }
    Highscore_sortieren(Highscoreliste);
    Highscore = Highscoreliste[0].Punkte;
    return 0;
}

int Highscore_neu_anlegen() {
    for (Highscore_Eintrag& eintrag : Highscoreliste) {
        eintrag.Punkte = (Zufall() % 60 + 160) * 10;
        std::memset(eintrag.Name, 0, sizeof eintrag.Name);
        std::strcpy(eintrag.Name, "F.Harbeck");
    }
    Highscore_sortieren(Highscoreliste);
    Highscore_schreiben("Score.dat");
    Highscore = Highscoreliste[0].Punkte;
    return 0;
}

int Highscore_schreiben(const char* datei) {
    std::uint8_t puffer[kDateiGroesse] = {};
    std::memcpy(puffer, kVersion, sizeof kVersion);

    // The list goes to a new file beside the old one, which takes the old
    // one's place only when it is whole on the disk: a crash, a kill or a
    // full disk while writing leaves the old list as it was.
    std::unique_ptr<platform::File> f = platform::File::open(datei, platform::File::Mode::Replace);
    if (!f) {
        Fehler_melden("Highscore_schreiben: CreateFile(GENERIC_WRITE)");
        return 1;
    }
    Highscore_sortieren(Highscoreliste);
    Zeit_kodieren(platform::utc_time(), puffer + kKennungGroesse);
    Liste_kodieren(Highscoreliste, puffer + kKennungGroesse + kZeitGroesse);

    std::size_t geschrieben = 0;
    for (const std::size_t block : {kKennungGroesse, kZeitGroesse, kListenGroesse}) {
        if (f->write(puffer + geschrieben, block) != static_cast<std::int64_t>(block)) {
            break;
        }
        geschrieben += block;
    }
    if (geschrieben != sizeof puffer || !f->commit()) {
        f.reset();  // removes the unfinished new file
        Fehler_melden("Highscore_schreiben: CreateFile(GENERIC_WRITE)");
        return 1;
    }
    return 0;
}

int Highscore_eintragen(const char* name, std::int32_t punkte) {
    Highscore_sortieren(Highscoreliste);

    // The new pair is carried down the list: at every entry with a lower
    // score the two change places, so the list moves down by one below the
    // new entry and the pair carried out of entry 9 is dropped. An equal
    // score is never passed.
    Highscore_Eintrag getragen{};
    getragen.Punkte = punkte;
    if (name != nullptr) {
        std::memcpy(getragen.Name, name, strnlen(name, sizeof getragen.Name - 1));
    }
    for (Highscore_Eintrag& eintrag : Highscoreliste) {
        if (getragen.Punkte > eintrag.Punkte) {
            std::swap(getragen, eintrag);
        }
    }

    Highscore_schreiben("Score.dat");
    return 0;
}

int Highscore_sortieren(Highscore_Eintrag* liste) {
    std::stable_sort(liste, liste + 10, [](const Highscore_Eintrag& a, const Highscore_Eintrag& b) {
        return a.Punkte > b.Punkte;
    });
    return 0;
}
