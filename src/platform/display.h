// The display: the stand-in for the DirectDraw object. It owns every surface
// made through it; releasing the display ends them all, as the game expects.
#pragma once

#include <memory>
#include <vector>

#include "platform/surface.h"
#include "platform/win32.h"

namespace platform {

class Display {
   public:
    Display();
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    bool set_cooperative_level(HWND window, unsigned flags);
    // Opens the presentation at width x height with the given depth (16 or 32).
    bool set_display_mode(int width, int height, int bits_per_pixel);
    int bits_per_pixel() const { return bpp_; }

    // The primary surface with one attached back buffer. Null on failure.
    Surface* create_primary();
    Surface* attached_back_buffer(Surface* primary);
    void release_primary(Surface* primary);

    Clipper* create_clipper();
    void release_clipper(Clipper* clipper);

    // An offscreen surface in the display's pixel format. Null on failure.
    Surface* create_surface(int width, int height, bool video_memory);

    // Presents the back buffer. kOk, or kErrSurfaceLost once the platform has
    // taken the display away; restore() makes the primary chain usable again.
    int flip(Surface* primary);
    int restore(Surface* primary);

    // The surface last presented (for screenshots and headless checks).
    const Surface* presented() const { return presented_; }

   private:
    int bpp_ = 16;
    int width_ = 1024;
    int height_ = 768;
    bool mode_set_ = false;
    bool lost_ = false;
    Surface* primary_ = nullptr;
    Surface* back_ = nullptr;
    Surface* presented_ = nullptr;
    std::vector<std::unique_ptr<Surface>> surfaces_;
    std::vector<std::unique_ptr<Clipper>> clippers_;
};

// DirectDrawCreateEx: null when the platform has no display to give.
Display* display_create();
// Release of the display object, ending every surface it made.
void display_release(Display* display);

}  // namespace platform
