#include "platform/display.h"

#include <algorithm>

#include "platform/backend.h"
#include "platform/faults.h"

namespace platform {

Display::Display() = default;

Display::~Display() {
    if (mode_set_) {
        backend::display_close();
    }
}

bool Display::set_cooperative_level(HWND /*window*/, unsigned /*flags*/) {
    return !fault_due(Fault::CooperativeLevel);
}

bool Display::set_display_mode(int width, int height, int bits_per_pixel) {
    if (fault_due(Fault::DisplayMode) || (bits_per_pixel != 16 && bits_per_pixel != 32)) {
        return false;
    }
    if (mode_set_) {
        backend::display_close();
        mode_set_ = false;
    }
    if (!backend::display_open(width, height, bits_per_pixel)) {
        return false;
    }
    bpp_ = bits_per_pixel;
    mode_set_ = true;
    width_ = width;
    height_ = height;
    return true;
}

Surface* Display::create_primary() {
    if (primary_ != nullptr || fault_due(Fault::PrimaryCreate)) {
        return nullptr;
    }
    // The primary surface stands for the screen; the back buffer is what
    // every frame is drawn into and what a flip shows.
    surfaces_.push_back(std::make_unique<Surface>(width_, height_, bpp_));
    primary_ = surfaces_.back().get();
    surfaces_.push_back(std::make_unique<Surface>(width_, height_, bpp_));
    back_ = surfaces_.back().get();
    return primary_;
}

Surface* Display::attached_back_buffer(Surface* primary) {
    if (primary == nullptr || primary != primary_ || fault_due(Fault::BackBufferAttach)) {
        return nullptr;
    }
    return back_;
}

void Display::release_primary(Surface* primary) {
    if (primary == nullptr || primary != primary_) {
        return;
    }
    auto drop = [this](Surface* s) {
        surfaces_.erase(std::remove_if(surfaces_.begin(), surfaces_.end(),
                                       [s](const auto& p) { return p.get() == s; }),
                        surfaces_.end());
    };
    drop(back_);
    drop(primary_);
    primary_ = nullptr;
    back_ = nullptr;
    presented_ = nullptr;
}

Clipper* Display::create_clipper() {
    if (fault_due(Fault::ClipperCreate)) {
        return nullptr;
    }
    clippers_.push_back(std::make_unique<Clipper>());
    return clippers_.back().get();
}

void Display::release_clipper(Clipper* clipper) {
    for (auto& s : surfaces_) {
        if (s->clipper() == clipper) {
            s->set_clipper(nullptr);
        }
    }
    clippers_.erase(std::remove_if(clippers_.begin(), clippers_.end(),
                                   [clipper](const auto& p) { return p.get() == clipper; }),
                    clippers_.end());
}

Surface* Display::create_surface(int width, int height, bool /*video_memory*/) {
    // Placement is irrelevant here: every surface lives in system memory.
    if (width <= 0 || height <= 0 || fault_due(Fault::SurfaceCreate)) {
        return nullptr;
    }
    surfaces_.push_back(std::make_unique<Surface>(width, height, bpp_));
    return surfaces_.back().get();
}

int Display::flip(Surface* primary) {
    if (primary == nullptr || primary != primary_ || back_ == nullptr) {
        return kErrInvalidParams;
    }
    if (lost_ || fault_due(Fault::SurfaceLost)) {
        lost_ = true;
        return kErrSurfaceLost;
    }
    if (back_->locked()) {
        return kErrSurfaceBusy;
    }
    backend::display_present(*back_);
    presented_ = back_;
    return kOk;
}

int Display::restore(Surface* primary) {
    if (primary == nullptr || primary != primary_ || fault_due(Fault::Restore)) {
        return kErrGeneric;
    }
    lost_ = false;
    return kOk;
}

namespace {
// There is one display at most, as there is one DirectDraw object.
std::unique_ptr<Display> the_display;
}  // namespace

Display* display_create() {
    if (the_display != nullptr || fault_due(Fault::DisplayCreate)) {
        return nullptr;
    }
    the_display = std::make_unique<Display>();
    return the_display.get();
}

void display_release(Display* display) {
    if (display != nullptr && display == the_display.get()) {
        the_display.reset();
    }
}

}  // namespace platform
