// Pixel surfaces held in memory: the stand-in for DirectDraw surfaces, the
// clipper and the blitter. Shared by both backends; the SDL backend only
// uploads the back buffer when it presents a frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// DirectDraw-style results of the blitter, so callers can pass them on.
constexpr int kOk = 0;
constexpr int kErrInvalidRect = static_cast<int>(0x88760096u);
constexpr int kErrSurfaceBusy = static_cast<int>(0x887601AEu);
constexpr int kErrSurfaceLost = static_cast<int>(0x887601C2u);
constexpr int kErrInvalidParams = static_cast<int>(0x80070057u);
constexpr int kErrGeneric = static_cast<int>(0x80004005u);

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// A list of rectangles that blits onto a surface are cut to.
class Clipper {
   public:
    // Takes a Windows RGNDATA block: a 32-byte header (size, type 1, count,
    // rectangle bytes, bounds) followed by count rectangles. False when the
    // block is malformed.
    bool set_clip_list(const std::uint8_t* region, std::size_t bytes);
    const std::vector<Rect>& rects() const { return rects_; }
    bool has_list() const { return has_list_; }

   private:
    std::vector<Rect> rects_;
    bool has_list_ = false;
};

struct LockedPixels {
    std::uint8_t* pixels = nullptr;  // top-left pixel
    int pitch = 0;                   // bytes from one row to the next
    int width = 0;
    int height = 0;
};

class Surface {
   public:
    // bits_per_pixel is 16 or 32. Rows are deliberately padded beyond
    // width x bytes per pixel so that code ignoring the pitch shows up at once.
    Surface(int width, int height, int bits_per_pixel);

    int width() const { return width_; }
    int height() const { return height_; }
    int bits_per_pixel() const { return bpp_; }
    int bytes_per_pixel() const { return bpp_ / 8; }
    int pitch() const { return pitch_; }

    // Locks the whole surface. False when the lock is refused (already locked,
    // or an injected failure); out is then cleared to zero sizes.
    bool lock(LockedPixels& out);
    void unlock();
    bool locked() const { return locked_; }

    // Source colour key in the surface's pixel format.
    bool set_color_key(std::uint32_t key);
    bool has_color_key() const { return has_key_; }
    std::uint32_t color_key() const { return key_; }

    void set_clipper(Clipper* c) { clipper_ = c; }
    Clipper* clipper() const { return clipper_; }

    // Direct pixel access for the backends and tests; the game goes through lock.
    std::uint8_t* row(int y) { return data_.data() + static_cast<std::size_t>(y) * pitch_; }
    const std::uint8_t* row(int y) const {
        return data_.data() + static_cast<std::size_t>(y) * pitch_;
    }
    std::uint32_t pixel(int x, int y) const;
    void set_pixel(int x, int y, std::uint32_t value);

   private:
    int width_;
    int height_;
    int bpp_;
    int pitch_;
    std::vector<std::uint8_t> data_;
    bool locked_ = false;
    bool has_key_ = false;
    std::uint32_t key_ = 0;
    Clipper* clipper_ = nullptr;
};

// Colour fill of the whole surface, cut to its clip list. kOk or an error.
int fill(Surface& dst, std::uint32_t value);

// One-to-one blit of src_rect to dst_rect (same size). With keyed set, source
// pixels equal to the source's colour key leave the destination unchanged.
// A destination with a clipper cuts the destination rectangle to its clip
// list and the source rectangle by the same amounts; without a clipper a
// rectangle outside the destination is refused with kErrInvalidRect.
int blit(Surface& dst, const Rect& dst_rect, const Surface& src, const Rect& src_rect, bool keyed);

// Keyed blit that scales src_rect to dst_rect by nearest neighbour, clipped
// the same way (the source is sampled as if the whole rectangle were drawn).
int blit_stretched(Surface& dst, const Rect& dst_rect, const Surface& src, const Rect& src_rect);

// A fill or blit as it was asked for (before clipping), so that a benchmark
// can have the same pixel work done elsewhere.
struct DrawOp {
    enum class Kind { Fill, Blit, Stretched };
    Kind kind = Kind::Fill;
    Surface* dst = nullptr;
    const Surface* src = nullptr;  // null for a fill
    Rect dst_rect;                 // a fill: the whole surface
    Rect src_rect;
    std::uint32_t value = 0;  // a fill's pixel value
    bool keyed = false;
};
// While a log is set, every fill and blit that draws is appended to it.
void set_draw_log(std::vector<DrawOp>* log);

}  // namespace platform
