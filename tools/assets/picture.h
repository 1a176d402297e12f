// Pictures as the game stores them (8-bit, 256-entry palette, pure green for
// transparency) and the road from a Cairo drawing to such a picture.
#pragma once

#include <cairo.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace assets {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kKeyColour{0, 255, 0};
// Palette index that every picture uses for transparent pixels.
constexpr std::uint8_t kKeyIndex = 0;

// An 8-bit picture: rows top first here; the BMP writer turns them around.
struct Picture {
    int width = 0;
    int height = 0;
    std::array<Rgb, 256> palette{};
    std::vector<std::uint8_t> pixels;

    const Rgb& at(int x, int y) const { return palette[pixels[y * width + x]]; }
    bool transparent(int x, int y) const;
};

// The game's 16-bit pixel: red 5 bits at 11, green 5 bits at 6, blue 5 bits.
std::uint16_t pixel16(Rgb c);
// What a palette colour looks like on the 16-bit display.
Rgb shown16(Rgb c);
// True for colours that the 16-bit display turns into the transparent key.
bool keys_at_16bit(Rgb c);

// A drawing surface (Cairo ARGB32, premultiplied) that starts transparent.
class Canvas {
   public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }

    // Straight (not premultiplied) 0xAARRGGBB of one pixel.
    std::uint32_t argb(int x, int y) const;

   private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

struct QuantOptions {
    // Error diffusion for pictures with smooth gradients (backgrounds).
    bool dither = false;
    // Coverage from which an edge pixel counts as part of the shape (0..255).
    int opaque_from = 128;
};

// Reduces a drawing to an 8-bit picture. Pixels covered at least opaque_from
// become opaque in the colour of the shape that covers them (the coverage is
// divided out, so edges never darken towards the transparent background);
// the rest become the key. The palette never holds a colour that turns into
// the key at 16 bits except the key itself at index 0.
Picture to_picture(const Canvas& canvas, const QuantOptions& options = {});

// Same for straight colours: alpha 0 = transparent, anything else = opaque.
Picture quantize(int width, int height, const std::vector<std::uint32_t>& argb, bool dither);

// A complete uncompressed 8-bit BMP file: headers, 256 palette entries,
// bottom-up rows without fill bytes (widths are multiples of 4).
std::vector<std::uint8_t> bmp_bytes(const Picture& picture);

}  // namespace assets
