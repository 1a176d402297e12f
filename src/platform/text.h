// Device-context text on surfaces: the stand-in for GetDC, SetBkMode,
// SetTextColor, TextOutA, DrawTextA and ReleaseDC, rendered with the desktop's
// default sans font. Strings are Windows-1252 bytes.
#pragma once

#include <cstdint>

#include "platform/surface.h"
#include "platform/win32.h"

namespace platform {

class TextDC;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr std::uint32_t DT_BOTTOM = 0x08;
constexpr std::uint32_t DT_SINGLELINE = 0x20;

TextDC* get_dc(Surface* surface);  // null when the surface cannot be drawn on
int set_bk_mode(TextDC* dc, int mode);
COLORREF set_text_color(TextDC* dc, COLORREF color);
bool text_out(TextDC* dc, int x, int y, const char* text, int length);
int draw_text(TextDC* dc, const char* text, int length, Rect* rect, std::uint32_t format);
void release_dc(Surface* surface, TextDC* dc);

}  // namespace platform
