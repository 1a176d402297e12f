// Device-context text on surfaces: the stand-in for GetDC, SetBkMode,
// SetTextColor, TextOutA, DrawTextA and ReleaseDC, rendered with the desktop's
// default sans font (fontconfig's match for "sans-serif") at the size of a
// small system font, without smoothing, so every drawn pixel has exactly the
// text colour. Strings are Windows-1252 bytes. Both backends render alike.
#pragma once

#include <cstdint>
#include <string>

#include "platform/surface.h"
#include "platform/win32.h"

namespace platform {

class TextDC;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;  // the default: the text's box is filled white first

constexpr std::uint32_t DT_LEFT = 0x00;
constexpr std::uint32_t DT_CENTER = 0x01;
constexpr std::uint32_t DT_RIGHT = 0x02;
constexpr std::uint32_t DT_VCENTER = 0x04;  // with DT_SINGLELINE only
constexpr std::uint32_t DT_BOTTOM = 0x08;   // with DT_SINGLELINE only
constexpr std::uint32_t DT_SINGLELINE = 0x20;
constexpr std::uint32_t DT_NOCLIP = 0x100;
constexpr std::uint32_t DT_CALCRECT = 0x400;
constexpr std::uint32_t DT_NOPREFIX = 0x800;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// A device context for drawing text into the surface; null when the surface
// is absent, locked, or already has one. Text colour black, mode OPAQUE.
TextDC* get_dc(Surface* surface);
// Both return the previous value (0 and CLR_INVALID on a null context).
int set_bk_mode(TextDC* dc, int mode);
COLORREF set_text_color(TextDC* dc, COLORREF color);
// Draws length bytes of text with the top left of its cell at (x, y), cut to
// the surface. False when there is no context or no font.
bool text_out(TextDC* dc, int x, int y, const char* text, int length);
// Draws text (length -1: up to its zero byte) into rect, cut to rect unless
// DT_NOCLIP. '&' underlines the next character unless DT_NOPREFIX ("&&" is a
// plain '&'). Lines break at line feeds unless DT_SINGLELINE. Returns the
// height of the text, or with DT_VCENTER / DT_BOTTOM the offset from the
// rectangle's top to the text's bottom; 0 on failure. DT_CALCRECT only sets
// the rectangle's right and bottom to fit the text.
int draw_text(TextDC* dc, const char* text, int length, Rect* rect, std::uint32_t format);
void release_dc(Surface* surface, TextDC* dc);

// GetTextExtentPoint32A: the size of the text's box in pixels. False without
// a font.
bool text_extent(const char* text, int length, int* width, int* height);

// Starts looking for the font on a thread of its own, so that the first text
// need not wait for it (the real game calls it when its video starts).
void text_prepare();

// Uses this font file instead of fontconfig's match; an empty path goes back
// to the match. Lets tests check what happens when no font can be loaded.
void set_text_font_file(const std::string& path);

}  // namespace platform
