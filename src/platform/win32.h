// Windows message numbers, virtual-key codes and flag values that the game's
// window procedure and error reporting are written against. The platform layer
// produces exactly these values, so the game logic reads like its original.
#pragma once

#include <cstdint>

namespace platform {
class Window;
}

using HWND = platform::Window*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR, low byte red

constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_QUIT = 0x0012;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_CHAR = 0x0102;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;

constexpr std::uint32_t VK_BACK = 8;
constexpr std::uint32_t VK_TAB = 9;
constexpr std::uint32_t VK_RETURN = 13;
constexpr std::uint32_t VK_ESCAPE = 27;
constexpr std::uint32_t VK_SPACE = 32;
constexpr std::uint32_t VK_LEFT = 37;
constexpr std::uint32_t VK_UP = 38;
constexpr std::uint32_t VK_RIGHT = 39;
constexpr std::uint32_t VK_DOWN = 40;
constexpr std::uint32_t VK_F1 = 112;
constexpr std::uint32_t VK_F2 = 113;
constexpr std::uint32_t VK_F3 = 114;

constexpr std::uint32_t MB_OK = 0x00;
constexpr std::uint32_t MB_ICONERROR = 0x10;

constexpr LPARAM MAKELPARAM(std::uint16_t lo, std::uint16_t hi) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>(lo) |
                               (static_cast<std::uint32_t>(hi) << 16));
}
constexpr std::uint16_t LOWORD(std::uintptr_t v) {
    return static_cast<std::uint16_t>(v & 0xFFFF);
}
constexpr std::uint16_t HIWORD(std::uintptr_t v) {
    return static_cast<std::uint16_t>((v >> 16) & 0xFFFF);
}
constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
