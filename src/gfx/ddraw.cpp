// Display start-up, clipper, offscreen surfaces, clearing, the keyed blit,
// the flip and the release, on top of the platform's display.
#include "gfx/ddraw.h"

#include <cstring>
#include <vector>

#include "core/bytes.h"
#include "core/core.h"
#include "core/tabellen.h"
#include "gfx/bilder.h"
#include "platform/faults.h"

platform::Display* lpDD = nullptr;
Surface* lpDDSPrimary = nullptr;
Surface* lpDDSBack = nullptr;
platform::Clipper* lpDDClipper = nullptr;
int Farbtiefe = 16;

// The colour key and fill values in the display's pixel format.
static std::uint32_t pixelwert(std::uint32_t farbe) {
    return Farbtiefe == 16 ? static_cast<std::uint32_t>(Farbe_16Bit(farbe)) : farbe;
}

int DDraw_starten() {
    lpDD = nullptr;
    lpDDSPrimary = nullptr;
    lpDDSBack = nullptr;
    lpDDClipper = nullptr;

    lpDD = platform::display_create();
    if (lpDD == nullptr) {
        Fehler_melden("DDraw_starten: DirectDrawCreateEx()");
        Lauf_beenden();
        return 1;
    }
    if (!lpDD->set_cooperative_level(Hauptfenster, 0x11)) {
        Fehler_melden("DDraw_starten: SetCooperativeLevel()");
        return 2;
    }
    if (!lpDD->set_display_mode(1024, 768, Farbtiefe)) {
        Fehler_melden("DDraw_starten: SetDisplayMode()");
        return 3;
    }
    lpDDSPrimary = lpDD->create_primary();
    if (lpDDSPrimary == nullptr) {
        Fehler_melden("DDraw_starten: CreateSurface()");
        return 4;
    }
    lpDDSBack = lpDD->attached_back_buffer(lpDDSPrimary);
    if (lpDDSBack == nullptr) {
        Fehler_melden("DDraw_starten: GetAttachedSurface()");
        return 5;
    }
    return 0;
}

int DDraw_Clipper_erzeugen(const RECT* rechtecke, int anzahl) {
    lpDDClipper = lpDD != nullptr ? lpDD->create_clipper() : nullptr;
    if (lpDDClipper == nullptr) {
        Fehler_melden("DDraw_Clipper_erzeugen: CreateClipper()");
        Lauf_beenden();
        return 1;
    }
    // A Windows RGNDATA block: 32-byte header, then the rectangles. The
    // bounds are always the whole screen, whatever the rectangles are.
    const int n = anzahl > 0 ? anzahl : 0;
    std::vector<std::uint8_t> block(32 + 16 * static_cast<std::size_t>(n), 0);
    le::put_i32(&block[0], 32);
    le::put_i32(&block[4], 1);
    le::put_i32(&block[8], n);
    le::put_i32(&block[12], 16 * n);
    le::put_i32(&block[16], 0);
    le::put_i32(&block[20], 0);
    le::put_i32(&block[24], 1024);
    le::put_i32(&block[28], 768);
    for (int i = 0; i < n; ++i) {
        std::uint8_t* p = &block[32 + 16 * static_cast<std::size_t>(i)];
        le::put_i32(p, rechtecke[i].left);
        le::put_i32(p + 4, rechtecke[i].top);
        le::put_i32(p + 8, rechtecke[i].right);
        le::put_i32(p + 12, rechtecke[i].bottom);
    }
    const bool gesetzt = !platform::fault_due(platform::Fault::ClipListSet) &&
                         lpDDClipper->set_clip_list(block.data(), block.size());
    block.clear();
    if (!gesetzt) {
        Fehler_melden("DDraw_Clipper_erzeugen: SetClipList()");
        return 2;
    }
    if (lpDDSBack == nullptr || platform::fault_due(platform::Fault::ClipperAttach)) {
        Fehler_melden("DDraw_Clipper_erzeugen: SetClipper()");
        return 3;
    }
    lpDDSBack->set_clipper(lpDDClipper);
    return 0;
}

int DDraw_Offscreen_anlegen(Surface** surface, int breite, int hoehe, std::uint8_t placement) {
    Surface* neu = lpDD != nullptr ? lpDD->create_surface(breite, hoehe, placement == 1) : nullptr;
    if (neu == nullptr) {
        Fehler_melden("DDraw_Offscreen_anlegen: CreateSurface()");
        Lauf_beenden();
        return 1;
    }
    if (!neu->set_color_key(pixelwert(0x00FF00))) {
        // The surface stays with the display and ends with it.
        Fehler_melden("DDraw_Offscreen_anlegen: SetColorKey()");
        return 2;
    }
    *surface = neu;
    return 0;
}

int DDraw_Puffer_leeren(Surface* surface, std::uint32_t farbe) {
    if (surface == nullptr || platform::fill(*surface, pixelwert(farbe)) != platform::kOk) {
        Fehler_melden("DDraw_Puffer_leeren: Blt(COLORFILL)");
        return 1;
    }
    return 0;
}

int DDraw_Blitten(int x, int y, int breite, int hoehe, Surface* quelle, Surface* ziel) {
    if (quelle == nullptr || ziel == nullptr) {
        return 1;
    }
    const RECT ziel_rechteck{x, y, x + breite, y + hoehe};
    const RECT quell_rechteck{0, 0, breite, hoehe};
    return platform::blit(*ziel, ziel_rechteck, *quelle, quell_rechteck, true);
}

int DDraw_Bild_blitten(int x, int y, int bild, Surface* quelle, Surface* ziel) {
    return DDraw_Blitten(x, y, Bildgroessen[bild].Breite, Bildgroessen[bild].Hoehe, quelle, ziel);
}

void DDraw_Puffer_flippen() {
    if (lpDD == nullptr) {
        return;
    }
    if (lpDD->flip(lpDDSPrimary) == platform::kErrSurfaceLost &&
        lpDD->restore(lpDDSPrimary) == platform::kOk) {
        lpDD->flip(lpDDSPrimary);
    }
}

void DDraw_beenden() {
    if (lpDD == nullptr) {
        return;
    }
    if (lpDDSPrimary != nullptr) {
        lpDD->release_primary(lpDDSPrimary);
        lpDDSPrimary = nullptr;
        lpDDSBack = nullptr;
    }
    if (lpDDClipper != nullptr) {
        lpDD->release_clipper(lpDDClipper);
        lpDDClipper = nullptr;
    }
    platform::display_release(lpDD);
    lpDD = nullptr;
    // Every surface ended with the display; no long-lived reference may
    // outlive it.
    Bilder_vergessen();
}

int Farbe_16Bit(std::uint32_t farbe) {
    const int rot = static_cast<int>((farbe >> 16) & 0xFF);
    const int gruen = static_cast<int>((farbe >> 8) & 0xFF);
    const int blau = static_cast<int>(farbe & 0xFF);
    return ((rot >> 3) << 11) | ((gruen >> 3) << 6) | (blau >> 3);
}

int RGB_16Bit(int rot, int gruen, int blau) {
    return Farbe_16Bit(RGB_Farbe(rot, gruen, blau));
}

std::uint32_t RGB_Farbe(int rot, int gruen, int blau) {
    return (static_cast<std::uint32_t>(rot & 0xFF) << 16) |
           (static_cast<std::uint32_t>(gruen & 0xFF) << 8) |
           static_cast<std::uint32_t>(blau & 0xFF);
}

void Wert_pendeln(int& wert, int oben, int unten, int schritt, std::uint8_t& richtung) {
    if (richtung == 1) {
        wert += schritt;
        if (wert >= oben) {
            wert = oben;
            richtung = 0;
        }
    } else {
        wert -= schritt;
        if (wert < unten) {
            wert = unten;
            richtung = 1;
        }
    }
}
