// PackFile_Bild_laden on any archive. The first three bytes choose the pixel
// depth, the entry number and the target surface; the rest is the archive
// file. Every load must leave the surface unlocked, and a failed load must
// leave its pixels as they were.
#include <cstring>
#include <memory>
#include <vector>

#include "app/spiel.h"
#include "core/bytes.h"
#include "fuzz_support.h"
#include "gfx/ddraw.h"
#include "pack/packfile.h"

namespace {

std::vector<std::uint8_t> snapshot(const Surface& s) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < s.height(); ++y) {
        out.insert(out.end(), s.row(y), s.row(y) + s.pitch());
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const std::uint8_t wahl = data[0];
    const std::uint8_t breite = data[1];
    const std::uint8_t hoehe = data[2];
    const std::uint8_t* datei = data + 3;
    const std::size_t groesse = size - 3;
    if (!fuzz::write_scratch(datei, groesse)) {
        return 0;
    }
    Farbtiefe = (wahl & 0x80) != 0 ? 32 : 16;
    const int nummer = (wahl & 0x3F) % 41 - 1;  // -1 to 39

    Verzeichnis v{};
    PackFile_oeffnen(fuzz::scratch_path().c_str(), &v, nullptr);

    // Mostly the size the entry's own header names, so loads get through to
    // the palette and the pixels; otherwise a small size from the input.
    int w = breite % 32 + 1;
    int h = hoehe % 32 + 1;
    const std::int32_t offset = Verzeichnis_Offset(v, nummer);
    if ((wahl & 0x40) == 0 && offset >= 0 && static_cast<std::size_t>(offset) + 26 <= groesse) {
        const std::int32_t bw = le::i32(datei + offset + 18);
        const std::int32_t bh = le::i32(datei + offset + 22);
        if (bw > 0 && bw <= 256 && bh > 0 && bh <= 256) {
            w = bw;
            h = bh;
        }
    }
    std::unique_ptr<Surface> s;
    if (breite != 0xFF) {
        s = std::make_unique<Surface>(w, h, Farbtiefe);
        for (int y = 0; y < h; ++y) {
            std::memset(s->row(y), 0xA5, static_cast<std::size_t>(s->pitch()));
        }
    }
    const std::vector<std::uint8_t> vorher = s ? snapshot(*s) : std::vector<std::uint8_t>{};

    Zustand_setzen(0);
    const int ergebnis = PackFile_Bild_laden(fuzz::scratch_path().c_str(), &v, nummer, s.get());
    fuzz::require(ergebnis >= 0 && ergebnis <= 9, "result 0 to 9");
    if (s) {
        fuzz::require(!s->locked(), "surface unlocked on every way out");
        const std::vector<std::uint8_t> nachher = snapshot(*s);
        if (ergebnis != 0) {
            fuzz::require(nachher == vorher, "a failed load leaves the pixels alone");
        }
        // Whatever the load did, the padding after each row's pixels is untouched.
        const int bytes = w * s->bytes_per_pixel();
        for (int y = 0; y < h; ++y) {
            for (int i = bytes; i < s->pitch(); ++i) {
                fuzz::require(s->row(y)[i] == 0xA5, "row padding untouched");
            }
        }
    } else {
        fuzz::require(ergebnis == 1, "an absent surface gives 1");
    }
    fuzz::require((ergebnis == 1 || ergebnis == 2 || ergebnis == 7) == (Spielzustand == 9),
                  "results 1, 2 and 7 end the game, no others");
    platform::headless::clear_boxes();
    return 0;
}
