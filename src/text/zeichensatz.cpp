// The font picture and its glyph table: glyph cells are found by separator
// rows (pixel at column 5) and by marks in the first row of each band.
#include <array>
#include <cstdint>

#include "core/core.h"
#include "core/tabellen.h"
#include "text/bitmaptext.h"

Glyphentabelle Zeichensatz{};

namespace {

// The column whose pixel marks a separator row.
constexpr int kTrennspalte = 5;

// Reads the table with pixels of type Pixel (16 or 32 bits). Writes glyph
// records directly into the table, as the font picture is walked.
template <typename Pixel>
void Zeichensatz_abtasten(const platform::LockedPixels& pixel, Pixel trennwert,
                          Glyphentabelle* tabelle, int& trennzeilen, int& glyphen,
                          long long& breitensumme, long long& hoehensumme) {
    // Rows are walked by the pitch with the low bits cleared, in pixels.
    const int zeilenpixel =
        (pixel.pitch & ~static_cast<int>(sizeof(Pixel) - 1)) / static_cast<int>(sizeof(Pixel));
    const auto* basis = reinterpret_cast<const Pixel*>(pixel.pixels);
    auto zeile = [&](int y) { return basis + static_cast<long long>(y) * zeilenpixel; };

    bool im_band = false;
    int oben = 0;  // the band's upper separator row
    for (int y = 0; y < pixel.height; ++y) {
        if (pixel.width <= kTrennspalte || zeile(y)[kTrennspalte] != trennwert) {
            continue;
        }
        ++trennzeilen;
        if (!im_band) {
            oben = y;
            im_band = true;
            continue;
        }
        // Two separator rows in a row (a thick separator line) enclose no band:
        // its "first row" would be the separator row itself, whose every pixel
        // would count as a mark.
        if (oben + 1 < y) {
            const Pixel* markenzeile = zeile(oben + 1);
            int marke = -1;
            for (int x = 0; x < pixel.width; ++x) {
                if (markenzeile[x] != trennwert) {
                    continue;
                }
                if (marke >= 0 && glyphen < 99) {
                    Glyphe& g = tabelle->zeichen[glyphen];
                    g.left = marke + 1;
                    g.top = oben + 1;
                    g.right = x - 1;
                    g.bottom = y - 1;
                    breitensumme += g.right - g.left;
                    hoehensumme += g.bottom - g.top;
                    ++glyphen;
                }
                marke = x;
            }
        }
        oben = y;
    }
}

}  // namespace

int BitmapText_einlesen(Surface* font, Glyphentabelle* tabelle, std::uint32_t trennfarbe) {
    if (Farbtiefe != 16 && Farbtiefe != 32) {
        return -666;
    }
    // A missing surface or table, or a surface in another pixel format than
    // the display's, cannot be read; that is reported like a refused lock.
    platform::LockedPixels pixel;
    if (font == nullptr || tabelle == nullptr || font->bits_per_pixel() != Farbtiefe ||
        !font->lock(pixel)) {
        Fehler_melden("BitmapText_einlesen: Lock(lpDDSFont)");
        return 1;
    }

    int trennzeilen = 0;
    int glyphen = 0;
    long long breitensumme = 0;
    long long hoehensumme = 0;
    if (Farbtiefe == 16) {
        const auto trennwert = static_cast<std::uint16_t>(Farbe_16Bit(trennfarbe));
        Zeichensatz_abtasten<std::uint16_t>(pixel, trennwert, tabelle, trennzeilen, glyphen,
                                            breitensumme, hoehensumme);
    } else {
        Zeichensatz_abtasten<std::uint32_t>(pixel, trennfarbe, tabelle, trennzeilen, glyphen,
                                            breitensumme, hoehensumme);
    }
    font->unlock();

    if (trennzeilen < 2 || glyphen == 0) {
        Fehler_melden("BitmapText_einlesen: Keine Trennlinien gefunden!");
        return 2;
    }
    tabelle->W = static_cast<std::int32_t>(breitensumme / glyphen);
    tabelle->H = static_cast<std::int32_t>(hoehensumme / glyphen);
    if (tabelle->W < 4 || tabelle->H < 4) {
        Fehler_melden("BitmapText_einlesen: Zeichensatz ungueltig!");
        return 3;
    }
    return 0;
}

int BitmapText_Zeichenindex(char zeichen) {
    // Every byte's glyph, looked up once per character drawn.
    static constexpr auto kIndex = [] {
        std::array<std::uint8_t, 256> index{};
        index.fill(static_cast<std::uint8_t>(kKeinZeichen));
        for (int g = 0; g < Zeichenanzahl; ++g) {
            index[static_cast<unsigned char>(Zeichenfolge[g])] = static_cast<std::uint8_t>(g);
        }
        return index;
    }();
    return kIndex[static_cast<unsigned char>(zeichen)];
}
