// Display and surfaces, colour conversion and the surface transforms: every
// picture reaches the back buffer through DDraw_Blitten with green as the
// transparent colour.
#pragma once

#include <cstdint>

#include "platform/display.h"
#include "platform/surface.h"

using Surface = platform::Surface;
using RECT = platform::Rect;

extern platform::Display* lpDD;
extern Surface* lpDDSPrimary;
extern Surface* lpDDSBack;
extern platform::Clipper* lpDDClipper;
// Pixel depth of the display and switch of every pixel routine: 16 or 32.
extern int Farbtiefe;

int DDraw_starten();
int DDraw_Clipper_erzeugen(const RECT* rechtecke, int anzahl);
// placement 1: video memory allowed; anything else: system memory.
int DDraw_Offscreen_anlegen(Surface** surface, int breite, int hoehe, std::uint8_t placement);
int DDraw_Puffer_leeren(Surface* surface, std::uint32_t farbe);
int DDraw_Blitten(int x, int y, int breite, int hoehe, Surface* quelle, Surface* ziel);
// The whole of a surface that holds Grafik.dat's entry bild, at its size.
int DDraw_Bild_blitten(int x, int y, int bild, Surface* quelle, Surface* ziel);
void DDraw_Puffer_flippen();
void DDraw_beenden();

int Farbe_16Bit(std::uint32_t farbe);
int RGB_16Bit(int rot, int gruen, int blau);
std::uint32_t RGB_Farbe(int rot, int gruen, int blau);
void Wert_pendeln(int& wert, int oben, int unten, int schritt, std::uint8_t& richtung);

int DDraw_Offscreen_klonen(Surface* lpDDSQuelle, Surface* lpDDSZiel, std::uint8_t umfaerben,
                           std::uint32_t farbe_alt, std::uint32_t farbe_neu);
int DDraw_Offscreen_Color_change(Surface* lpDDSurface, std::uint32_t farbe_alt,
                                 std::uint32_t farbe_neu);
