// PackFile archives: opening and checking the trailer, and loading the 8-bit
// palettised picture entries into surfaces of the display's pixel format.
#include "pack/packfile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "core/bytes.h"
#include "core/core.h"
#include "platform/faults.h"
#include "platform/file.h"

Verzeichnis Grafik_Verzeichnis{};
Verzeichnis Sound_Verzeichnis{};

namespace {

constexpr int kMarkerPlaetze = Archiv::Offsettabelle / 4;  // 51 markers before the offsets
constexpr int kDateikopf = 14;
constexpr int kInfokopf = 40;
constexpr int kPalette = 1024;

// Formats a message into a line of the game's 80-character size and shows it;
// a long file name is cut rather than written past the line.
template <typename... Args>
void melden(const char* format, Args... args) {
    char zeile[80];
    std::snprintf(zeile, sizeof zeile, format, args...);
    Fehler_melden(zeile);
}

// The zero-terminated text at byte `an` of the directory equals `text`
// exactly. The directory's end counts as the text's end, so a text that
// fills the trailer to its last byte is never read beyond the buffer.
bool text_gleich(const Verzeichnis& v, int an, const char* text) {
    const auto* p = reinterpret_cast<const char*>(v.bytes + an);
    const std::size_t platz = static_cast<std::size_t>(Archiv::Trailergroesse - an);
    const std::size_t laenge = strnlen(p, platz);
    return laenge == std::strlen(text) && std::memcmp(p, text, laenge) == 0;
}

// Reads exactly what a loader step asks for. A platform error fails, and so
// does a read that delivers nothing at all because it starts at or past the
// end of the file: an entry pointing there has no data, and its headers must
// not be made up from whatever the buffers held. A read that starts inside
// the file and ends early at its end leaves the rest of the zeroed buffer.
bool lesen(platform::File& datei, void* puffer, std::size_t bytes) {
    const std::int64_t gelesen = datei.read(puffer, bytes);
    return gelesen > 0 || (gelesen == 0 && bytes == 0);
}

// The pixel buffer of one load: zero-filled, so a picture cut short by the end
// of the file shows palette entry 0 instead of leftover memory.
std::unique_ptr<std::uint8_t[]> bildpuffer_anlegen(std::size_t bytes) {
    if (platform::fault_due(platform::Fault::Allocation)) {
        return nullptr;
    }
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[bytes]());
}

std::uint16_t pixel_aus_palette(const std::uint8_t* eintrag, std::uint16_t*) {
    return static_cast<std::uint16_t>(RGB_16Bit(eintrag[2], eintrag[1], eintrag[0]));
}

std::uint32_t pixel_aus_palette(const std::uint8_t* eintrag, std::uint32_t*) {
    return (static_cast<std::uint32_t>(eintrag[2]) << 16) |
           (static_cast<std::uint32_t>(eintrag[1]) << 8) | eintrag[0];
}

// The picture's rows go in upside down: stored rows are bottom row first.
template <typename Pixel>
void umwandeln(const platform::LockedPixels& ziel, const std::uint8_t* palette,
               const std::uint8_t* lpbyBild) {
    Pixel farben[256];
    for (int i = 0; i < 256; ++i) {
        farben[i] = pixel_aus_palette(palette + 4 * i, static_cast<Pixel*>(nullptr));
    }
    const int w = ziel.width;
    const int h = ziel.height;
    const std::size_t schritt = static_cast<std::size_t>(ziel.pitch) & ~(sizeof(Pixel) - 1);
    for (int r = 0; r < h; ++r) {
        auto* zeile = reinterpret_cast<Pixel*>(ziel.pixels + static_cast<std::size_t>(r) * schritt);
        const std::uint8_t* quelle = lpbyBild + static_cast<std::size_t>(h - 1 - r) * w;
        for (int x = 0; x < w; ++x) {
            zeile[x] = farben[quelle[x]];
        }
    }
}

template <typename Pixel>
int bild_laden(const char* name, const Verzeichnis* verzeichnis, int nummer, Surface* surface) {
    if (surface == nullptr) {
        Fehler_melden("PackFile_Bild_laden: Surface nich vorhanden!");
        Lauf_beenden();
        return 1;
    }
    if (nummer < 0 || nummer >= Bild::Anzahl ||
        Verzeichnis_Marker(*verzeichnis, nummer) != Archiv::Marker_Bild) {
        Fehler_melden("PackFile_Bild_laden: Ung\xFCltiger BMP-Sektor ausgew\xE4hlt!");
        Lauf_beenden();
        return 2;
    }

    // A surface that refuses the lock reads as 0 x 0 and the size comparison
    // below ends the load, even for a picture that claims to be 0 x 0. The
    // surface is then not unlocked: another holder may own the lock.
    // A surface in another pixel format than Farbtiefe says (never so in the
    // game) is treated the same way rather than written with the wrong width.
    platform::LockedPixels gesperrt;
    bool ist_gesperrt = surface->lock(gesperrt);
    if (ist_gesperrt && surface->bytes_per_pixel() != static_cast<int>(sizeof(Pixel))) {
        surface->unlock();
        ist_gesperrt = false;
        gesperrt = platform::LockedPixels{};
    }
    const int w = gesperrt.width;
    const int h = gesperrt.height;

    std::unique_ptr<std::uint8_t[]> lpbyBild =
        bildpuffer_anlegen(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    std::unique_ptr<platform::File> datei;
    // Everything taken is given back before any message is shown.
    auto freigeben = [&] {
        datei.reset();
        if (ist_gesperrt) {
            surface->unlock();
        }
        lpbyBild.reset();
    };
    if (lpbyBild == nullptr) {
        freigeben();
        Fehler_melden("PackFile_Bild_laden: malloc(lpbyBild)");
        return 3;
    }
    datei = platform::File::open(name, platform::File::Mode::Read);
    if (datei == nullptr) {
        freigeben();
        melden("Die Datei <%s> wurde nicht gefunden!", name);
        return 4;
    }

    std::uint8_t dateikopf[kDateikopf] = {};
    std::uint8_t infokopf[kInfokopf] = {};
    // A negative offset or one past the end points at no picture at all.
    if (!datei->seek(Verzeichnis_Offset(*verzeichnis, nummer)) ||
        !lesen(*datei, dateikopf, sizeof dateikopf)) {
        freigeben();
        Fehler_melden("PackFile_Bild_laden: ReadeFile(BMPFileHead)");
        return 5;
    }
    if (!lesen(*datei, infokopf, sizeof infokopf)) {
        freigeben();
        Fehler_melden("PackFile_Bild_laden: ReadeFile(BMPInfoHead)");
        return 6;
    }
    const std::int32_t bildbreite = le::i32(infokopf + 4);
    const std::int32_t bildhoehe = le::i32(infokopf + 8);
    if (!ist_gesperrt || bildbreite != w || bildhoehe != h) {
        freigeben();
        melden("PackFile_Bild_laden: Formatvergleich - Breite1: %i Breite2: %i",
               static_cast<int>(bildbreite), w);
        Lauf_beenden();
        return 7;
    }
    std::uint8_t palette[kPalette] = {};
    if (!lesen(*datei, palette, sizeof palette)) {
        freigeben();
        Fehler_melden("PackFile_Bild_laden: ReadeFile(Palette)");
        return 8;
    }
    if (!lesen(*datei, lpbyBild.get(), static_cast<std::size_t>(w) * static_cast<std::size_t>(h))) {
        freigeben();
        Fehler_melden("PackFile_Bild_laden: ReadeFile(Bilddaten)");
        return 9;
    }
    datei.reset();

    umwandeln<Pixel>(gesperrt, palette, lpbyBild.get());
    freigeben();
    return 0;
}

}  // namespace

std::int32_t Verzeichnis_Marker(const Verzeichnis& v, int i) {
    if (i < 0 || i >= kMarkerPlaetze) {
        return 0;
    }
    return le::i32(v.bytes + 4 * i);
}

std::int32_t Verzeichnis_Offset(const Verzeichnis& v, int i) {
    if (i < 0 || i >= Archiv::Max_Eintraege) {
        return 0;
    }
    return le::i32(v.bytes + Archiv::Offsettabelle + 4 * i);
}

int PackFile_oeffnen(const char* name, Verzeichnis* verzeichnis, const char* schluessel) {
    std::unique_ptr<platform::File> datei = platform::File::open(name, platform::File::Mode::Read);
    if (datei == nullptr) {
        melden(
            "Die Datei '%s' konnte nicht ge\xF6"
            "ffnet werden!",
            name);
        return 1;
    }
    const std::int64_t groesse = datei->size();
    std::memset(verzeichnis->bytes, 0, sizeof verzeichnis->bytes);
    // A file shorter than the trailer has none: the directory stays zero and
    // the tag comparison fails. Whatever the read leaves unread stays zero too.
    if (groesse >= Archiv::Trailergroesse && datei->seek(groesse - Archiv::Trailergroesse)) {
        datei->read(verzeichnis->bytes, sizeof verzeichnis->bytes);
    }
    datei.reset();

    if (!text_gleich(*verzeichnis, Archiv::Tag_Offset, Archiv::Tag)) {
        melden("Die Datei '%s' ist keine g\xFCltige 'PackFile' - Datei!", name);
        return 2;
    }
    if (schluessel == nullptr) {
        return 0;
    }
    if (!text_gleich(*verzeichnis, Archiv::Key_Offset, schluessel)) {
        melden("Die Datei '%s' ist nicht das richtige 'PackFile' !", name);
        return 3;
    }
    return 0;
}

int PackFile_Bild_laden(const char* name, const Verzeichnis* verzeichnis, int nummer,
                        Surface* surface) {
    if (Farbtiefe == 16) {
        return bild_laden<std::uint16_t>(name, verzeichnis, nummer, surface);
    }
    if (Farbtiefe == 32) {
        return bild_laden<std::uint32_t>(name, verzeichnis, nummer, surface);
    }
    return 0;
}
