// Pixel-level rewrites of whole surfaces: the recoloured copy that makes the
// red font, and the in-place recolouring that lets the menu letters pulse.
#include <cstdint>
#include <cstring>
#include <new>

#include "core/core.h"
#include "gfx/ddraw.h"
#include "platform/faults.h"

namespace {

// Row step in bytes: the pitch with its lowest bit (16 bits) or two lowest
// bits (32 bits) cleared.
template <typename Pixel>
int zeilenschritt(int pitch) {
    return pitch & ~static_cast<int>(sizeof(Pixel) - 1);
}

// A buffer of the routine's own that can be made to fail in tests.
std::uint8_t* puffer_anlegen(std::size_t bytes) {
    if (platform::fault_due(platform::Fault::Allocation)) {
        return nullptr;
    }
    return new (std::nothrow) std::uint8_t[bytes];
}

template <typename Pixel>
int klonen(Surface* quelle, Surface* ziel, std::uint8_t umfaerben, Pixel alt, Pixel neu) {
    platform::LockedPixels q;
    if (!quelle->lock(q)) {
        Fehler_melden("DDraw_Offscreen_klonen: Lock(lpDDSQuelle)");
        return 2;
    }
    const int w = q.width;
    const int h = q.height;
    const int schritt = zeilenschritt<Pixel>(q.pitch);
    std::uint8_t* puffer = puffer_anlegen(static_cast<std::size_t>(h) * q.pitch);
    if (puffer == nullptr) {
        quelle->unlock();
        Fehler_melden("DDraw_Offscreen_klonen: Buffer konnte nicht angelegt werden!");
        return 3;
    }
    for (int y = 0; y < h; ++y) {
        std::memcpy(puffer + static_cast<std::size_t>(y) * schritt,
                    q.pixels + static_cast<std::size_t>(y) * schritt,
                    static_cast<std::size_t>(w) * sizeof(Pixel));
    }
    quelle->unlock();

    if (umfaerben == 1) {
        for (int y = 0; y < h; ++y) {
            auto* zeile = reinterpret_cast<Pixel*>(puffer + static_cast<std::size_t>(y) * schritt);
            for (int x = 0; x < w; ++x) {
                if (zeile[x] == alt) {
                    zeile[x] = neu;
                }
            }
        }
    }

    platform::LockedPixels z;
    if (!ziel->lock(z)) {
        delete[] puffer;
        Fehler_melden("DDraw_Offscreen_klonen: Lock(lpDDSZiel)");
        return 4;
    }
    if (z.width != w || z.height != h) {
        ziel->unlock();
        delete[] puffer;
        Fehler_melden("DDraw_Offscreen_klonen: Falsche Surface-Groesse!");
        return 5;
    }
    const int zielschritt = zeilenschritt<Pixel>(z.pitch);
    for (int y = 0; y < h; ++y) {
        std::memcpy(z.pixels + static_cast<std::size_t>(y) * zielschritt,
                    puffer + static_cast<std::size_t>(y) * schritt,
                    static_cast<std::size_t>(w) * sizeof(Pixel));
    }
    ziel->unlock();
    delete[] puffer;
    return 0;
}

template <typename Pixel>
int umfaerben(Surface* surface, Pixel alt, Pixel neu) {
    platform::LockedPixels l;
    if (!surface->lock(l)) {
        Fehler_melden("DDraw_Offscreen_Color_change: Lock(lpDDSurface)");
        return 2;
    }
    const int schritt = zeilenschritt<Pixel>(l.pitch);
    for (int y = 0; y < l.height; ++y) {
        auto* zeile = reinterpret_cast<Pixel*>(l.pixels + static_cast<std::size_t>(y) * schritt);
        // Every pixel is written back, changed or not, in blocks of a fixed
        // size: without a branch and with a known count the compiler does a
        // block many pixels at a time (the menu recolours its red font this
        // way every frame).
        constexpr int kBlock = 32;
        int x = 0;
        for (; x + kBlock <= l.width; x += kBlock) {
            for (int k = 0; k < kBlock; ++k) {
                const Pixel p = zeile[x + k];
                zeile[x + k] = p == alt ? neu : p;
            }
        }
        for (; x < l.width; ++x) {
            const Pixel p = zeile[x];
            zeile[x] = p == alt ? neu : p;
        }
    }
    surface->unlock();
    return 0;
}

}  // namespace

int DDraw_Offscreen_klonen(Surface* lpDDSQuelle, Surface* lpDDSZiel, std::uint8_t umfaerben_flag,
                           std::uint32_t farbe_alt, std::uint32_t farbe_neu) {
    if (lpDDSQuelle == nullptr || lpDDSZiel == nullptr) {
        Fehler_melden("DDraw_Offscreen_klonen: Surface nicht vorhanden!");
        return 1;
    }
    if (Farbtiefe == 16) {
        return klonen<std::uint16_t>(lpDDSQuelle, lpDDSZiel, umfaerben_flag,
                                     static_cast<std::uint16_t>(Farbe_16Bit(farbe_alt)),
                                     static_cast<std::uint16_t>(Farbe_16Bit(farbe_neu)));
    }
    if (Farbtiefe == 32) {
        return klonen<std::uint32_t>(lpDDSQuelle, lpDDSZiel, umfaerben_flag, farbe_alt, farbe_neu);
    }
    return 0;
}

int DDraw_Offscreen_Color_change(Surface* lpDDSurface, std::uint32_t farbe_alt,
                                 std::uint32_t farbe_neu) {
    if (Farbtiefe != 16 && Farbtiefe != 32) {
        return -666;
    }
    if (lpDDSurface == nullptr) {
        Fehler_melden("DDraw_Offscreen_Color_change: Surface nicht vorhanden!");
        return 1;
    }
    if (Farbtiefe == 16) {
        return umfaerben<std::uint16_t>(lpDDSurface,
                                        static_cast<std::uint16_t>(Farbe_16Bit(farbe_alt)),
                                        static_cast<std::uint16_t>(Farbe_16Bit(farbe_neu)));
    }
    return umfaerben<std::uint32_t>(lpDDSurface, farbe_alt, farbe_neu);
}
