#include "platform/surface.h"

#include <algorithm>
#include <cstring>

#include "platform/faults.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

namespace {

// Extra bytes at the end of every row: the pitch is never width x bytes per
// pixel, so pitch bugs corrupt pictures instead of hiding.
constexpr int kRowPadding = 24;

bool rect_empty(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

Rect intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

std::int32_t read_i32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

// The areas of dst that a blit to dst_rect may touch: its clip list cut to
// the surface, or the surface itself when it has no clipper.
template <typename Fn>
void for_each_clip_rect(const Surface& dst, Fn&& fn) {
    const Rect bounds{0, 0, dst.width(), dst.height()};
    const Clipper* c = dst.clipper();
    if (c == nullptr || !c->has_list()) {
        fn(bounds);
        return;
    }
    for (const Rect& r : c->rects()) {
        Rect cut = intersect(r, bounds);
        if (!rect_empty(cut)) {
            fn(cut);
        }
    }
}

// Fills n bytes at d (a whole number of pixels, d aligned to a pixel) with
// the pixel pattern repeated: pattern holds one 32-bit or two 16-bit pixels.
// The fill is most of the cost of a frame, so it stores 64 bytes a turn.
void fill_bytes(std::uint8_t* d, std::size_t n, std::uint32_t pattern) {
    const auto b = static_cast<std::uint8_t>(pattern);
    if (pattern == b * 0x01010101u) {
        std::memset(d, b, n);  // black and other one-byte patterns
        return;
    }
#if defined(__SSE2__)
    // Pixels up to the first 16-byte boundary, then aligned stores.
    while (n > 0 && (reinterpret_cast<std::uintptr_t>(d) & 15) != 0) {
        const std::size_t step = (reinterpret_cast<std::uintptr_t>(d) & 3) != 0 ? 2 : 4;
        if (step > n) {
            break;
        }
        std::memcpy(d, &pattern, step);
        d += step;
        n -= step;
    }
    if ((reinterpret_cast<std::uintptr_t>(d) & 15) == 0) {
        const __m128i v = _mm_set1_epi32(static_cast<int>(pattern));
        for (; n >= 64; n -= 64, d += 64) {
            _mm_store_si128(reinterpret_cast<__m128i*>(d), v);
            _mm_store_si128(reinterpret_cast<__m128i*>(d + 16), v);
            _mm_store_si128(reinterpret_cast<__m128i*>(d + 32), v);
            _mm_store_si128(reinterpret_cast<__m128i*>(d + 48), v);
        }
        for (; n >= 16; n -= 16, d += 16) {
            _mm_store_si128(reinterpret_cast<__m128i*>(d), v);
        }
    }
#endif
    for (; n >= 4; n -= 4, d += 4) {
        std::memcpy(d, &pattern, 4);
    }
    if (n >= 2) {
        std::memcpy(d, &pattern, 2);
    }
}

void copy_row_keyed16(std::uint16_t* d, const std::uint16_t* s, int n, std::uint16_t key) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i k = _mm_set1_epi16(static_cast<short>(key));
    for (; i + 8 <= n; i += 8) {
        __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i transparent = _mm_cmpeq_epi16(sv, k);
        int mask = _mm_movemask_epi8(transparent);
        if (mask == 0xFFFF) {
            continue;  // all transparent
        }
        if (mask == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), sv);
            continue;
        }
        __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        __m128i out =
            _mm_or_si128(_mm_and_si128(transparent, dv), _mm_andnot_si128(transparent, sv));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
    }
#endif
    for (; i < n; ++i) {
        if (s[i] != key) {
            d[i] = s[i];
        }
    }
}

void copy_row_keyed32(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t key) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i k = _mm_set1_epi32(static_cast<int>(key));
    for (; i + 4 <= n; i += 4) {
        __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i transparent = _mm_cmpeq_epi32(sv, k);
        int mask = _mm_movemask_epi8(transparent);
        if (mask == 0xFFFF) {
            continue;
        }
        if (mask == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), sv);
            continue;
        }
        __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        __m128i out =
            _mm_or_si128(_mm_and_si128(transparent, dv), _mm_andnot_si128(transparent, sv));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
    }
#endif
    for (; i < n; ++i) {
        if (s[i] != key) {
            d[i] = s[i];
        }
    }
}

std::vector<DrawOp>* draw_log = nullptr;

void log_draw(const DrawOp& op) {
    if (draw_log != nullptr) {
        draw_log->push_back(op);
    }
}

}  // namespace

void set_draw_log(std::vector<DrawOp>* log) {
    draw_log = log;
}

bool Clipper::set_clip_list(const std::uint8_t* region, std::size_t bytes) {
    if (region == nullptr || bytes < 32) {
        return false;
    }
    const std::int32_t header_size = read_i32(region);
    const std::int32_t type = read_i32(region + 4);
    const std::int32_t count = read_i32(region + 8);
    const std::int32_t data_size = read_i32(region + 12);
    // The count is checked against the block's size before it is multiplied,
    // so a wild count cannot overflow.
    if (header_size != 32 || type != 1 || count < 0 ||
        static_cast<std::size_t>(count) > (bytes - 32) / 16 ||
        static_cast<std::int64_t>(data_size) != static_cast<std::int64_t>(count) * 16) {
        return false;
    }
    std::vector<Rect> list;
    list.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint8_t* p = region + 32 + static_cast<std::size_t>(i) * 16;
        list.push_back(Rect{read_i32(p), read_i32(p + 4), read_i32(p + 8), read_i32(p + 12)});
    }
    rects_ = std::move(list);
    has_list_ = true;
    return true;
}

Surface::Surface(int width, int height, int bits_per_pixel)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      bpp_(bits_per_pixel == 32 ? 32 : 16),
      pitch_(width_ * (bpp_ / 8) + kRowPadding),
      data_(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height_) + 1) {}

bool Surface::lock(LockedPixels& out) {
    if (locked_ || fault_due(Fault::SurfaceLock)) {
        out = LockedPixels{};
        return false;
    }
    locked_ = true;
    out.pixels = data_.data();
    out.pitch = pitch_;
    out.width = width_;
    out.height = height_;
    return true;
}

void Surface::unlock() {
    locked_ = false;
}

bool Surface::set_color_key(std::uint32_t key) {
    if (fault_due(Fault::ColorKeySet)) {
        return false;
    }
    key_ = bpp_ == 16 ? (key & 0xFFFF) : key;
    has_key_ = true;
    return true;
}

std::uint32_t Surface::pixel(int x, int y) const {
    const std::uint8_t* p = row(y);
    if (bpp_ == 16) {
        std::uint16_t v;
        std::memcpy(&v, p + x * 2, 2);
        return v;
    }
    std::uint32_t v;
    std::memcpy(&v, p + x * 4, 4);
    return v;
}

void Surface::set_pixel(int x, int y, std::uint32_t value) {
    std::uint8_t* p = row(y);
    if (bpp_ == 16) {
        const auto v = static_cast<std::uint16_t>(value);
        std::memcpy(p + x * 2, &v, 2);
    } else {
        std::memcpy(p + x * 4, &value, 4);
    }
}

int fill(Surface& dst, std::uint32_t value) {
    if (dst.locked()) {
        return kErrSurfaceBusy;
    }
    if (fault_due(Fault::ColorFill)) {
        return kErrGeneric;
    }
    log_draw({DrawOp::Kind::Fill, &dst, nullptr, Rect{0, 0, dst.width(), dst.height()}, Rect{},
              value, false});
    const int bytes = dst.bytes_per_pixel();
    const std::uint32_t pattern = bytes == 2 ? (value & 0xFFFF) * 0x00010001u : value;
    for_each_clip_rect(dst, [&](const Rect& r) {
        for (int y = r.top; y < r.bottom; ++y) {
            fill_bytes(dst.row(y) + static_cast<std::size_t>(r.left) * bytes,
                       static_cast<std::size_t>(r.right - r.left) * bytes, pattern);
        }
    });
    return kOk;
}

int blit(Surface& dst, const Rect& dst_rect, const Surface& src, const Rect& src_rect, bool keyed) {
    if (dst.locked() || src.locked()) {
        return kErrSurfaceBusy;
    }
    if (dst.bits_per_pixel() != src.bits_per_pixel()) {
        return kErrInvalidParams;
    }
    const int w = dst_rect.right - dst_rect.left;
    const int h = dst_rect.bottom - dst_rect.top;
    if (w != src_rect.right - src_rect.left || h != src_rect.bottom - src_rect.top) {
        return kErrInvalidParams;  // only the stretched blit scales
    }
    if (w <= 0 || h <= 0 || src_rect.left < 0 || src_rect.top < 0 || src_rect.right > src.width() ||
        src_rect.bottom > src.height()) {
        return kErrInvalidRect;
    }
    const bool clipped = dst.clipper() != nullptr && dst.clipper()->has_list();
    if (!clipped && (dst_rect.left < 0 || dst_rect.top < 0 || dst_rect.right > dst.width() ||
                     dst_rect.bottom > dst.height())) {
        return kErrInvalidRect;
    }
    log_draw({DrawOp::Kind::Blit, &dst, &src, dst_rect, src_rect, 0, keyed});
    const bool use_key = keyed && src.has_color_key();
    const std::uint32_t key = src.color_key();
    for_each_clip_rect(dst, [&](const Rect& clip) {
        const Rect r = intersect(dst_rect, clip);
        if (rect_empty(r)) {
            return;
        }
        // The source rectangle is cut by the same amounts as the destination.
        const int sx = src_rect.left + (r.left - dst_rect.left);
        const int sy = src_rect.top + (r.top - dst_rect.top);
        const int n = r.right - r.left;
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint8_t* srow = src.row(sy + (y - r.top));
            std::uint8_t* drow = dst.row(y);
            if (dst.bits_per_pixel() == 16) {
                auto* d = reinterpret_cast<std::uint16_t*>(drow) + r.left;
                const auto* s = reinterpret_cast<const std::uint16_t*>(srow) + sx;
                if (use_key) {
                    copy_row_keyed16(d, s, n, static_cast<std::uint16_t>(key));
                } else {
                    std::memmove(d, s, static_cast<std::size_t>(n) * 2);
                }
            } else {
                auto* d = reinterpret_cast<std::uint32_t*>(drow) + r.left;
                const auto* s = reinterpret_cast<const std::uint32_t*>(srow) + sx;
                if (use_key) {
                    copy_row_keyed32(d, s, n, key);
                } else {
                    std::memmove(d, s, static_cast<std::size_t>(n) * 4);
                }
            }
        }
    });
    return kOk;
}

int blit_stretched(Surface& dst, const Rect& dst_rect, const Surface& src, const Rect& src_rect) {
    if (dst.locked() || src.locked()) {
        return kErrSurfaceBusy;
    }
    if (dst.bits_per_pixel() != src.bits_per_pixel()) {
        return kErrInvalidParams;
    }
    const int dw = dst_rect.right - dst_rect.left;
    const int dh = dst_rect.bottom - dst_rect.top;
    const int sw = src_rect.right - src_rect.left;
    const int sh = src_rect.bottom - src_rect.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || src_rect.left < 0 || src_rect.top < 0 ||
        src_rect.right > src.width() || src_rect.bottom > src.height()) {
        return kErrInvalidRect;
    }
    const bool clipped = dst.clipper() != nullptr && dst.clipper()->has_list();
    if (!clipped && (dst_rect.left < 0 || dst_rect.top < 0 || dst_rect.right > dst.width() ||
                     dst_rect.bottom > dst.height())) {
        return kErrInvalidRect;
    }
    log_draw({DrawOp::Kind::Stretched, &dst, &src, dst_rect, src_rect, 0, true});
    const bool use_key = src.has_color_key();
    const std::uint32_t key = src.color_key();
    for_each_clip_rect(dst, [&](const Rect& clip) {
        const Rect r = intersect(dst_rect, clip);
        if (rect_empty(r)) {
            return;
        }
        for (int y = r.top; y < r.bottom; ++y) {
            // Nearest neighbour at the centre of each destination pixel.
            const int sy =
                src_rect.top +
                static_cast<int>((static_cast<long long>(2 * (y - dst_rect.top) + 1) * sh) /
                                 (2LL * dh));
            for (int x = r.left; x < r.right; ++x) {
                const int sx =
                    src_rect.left +
                    static_cast<int>((static_cast<long long>(2 * (x - dst_rect.left) + 1) * sw) /
                                     (2LL * dw));
                const std::uint32_t v = src.pixel(sx, sy);
                if (!use_key || v != key) {
                    dst.set_pixel(x, y, v);
                }
            }
        }
    });
    return kOk;
}

}  // namespace platform
