// The platform's pixel routines against a plain per-pixel model: fill and
// the keyed blits at both depths, with their vector paths, row padding,
// clip lists of several rectangles and the stretched blit.
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using platform::Clipper;
using platform::Rect;
using platform::Surface;

constexpr std::uint8_t kPad = 0xA5;

std::vector<std::uint8_t> region(const std::vector<Rect>& rects) {
    std::vector<std::uint8_t> block(32 + 16 * rects.size(), 0);
    auto put = [&block](std::size_t at, std::int32_t v) { std::memcpy(&block[at], &v, 4); };
    put(0, 32);
    put(4, 1);
    put(8, static_cast<std::int32_t>(rects.size()));
    put(12, static_cast<std::int32_t>(16 * rects.size()));
    put(24, 1024);
    put(28, 768);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        put(32 + 16 * i, rects[i].left);
        put(36 + 16 * i, rects[i].top);
        put(40 + 16 * i, rects[i].right);
        put(44 + 16 * i, rects[i].bottom);
    }
    return block;
}

void set_clip(Clipper& c, const std::vector<Rect>& rects) {
    const auto block = region(rects);
    ASSERT_TRUE(c.set_clip_list(block.data(), block.size()));
}

// Marks the bytes after each row's pixels, which nothing may write.
void pad(Surface& s) {
    for (int y = 0; y < s.height(); ++y) {
        std::memset(s.row(y) + s.width() * s.bytes_per_pixel(), kPad,
                    static_cast<std::size_t>(s.pitch() - s.width() * s.bytes_per_pixel()));
    }
}

bool padding_intact(const Surface& s) {
    for (int y = 0; y < s.height(); ++y) {
        for (int i = s.width() * s.bytes_per_pixel(); i < s.pitch(); ++i) {
            if (s.row(y)[i] != kPad) {
                return false;
            }
        }
    }
    return true;
}

using Pixels = std::vector<std::vector<std::uint32_t>>;

Pixels pixels_of(const Surface& s) {
    Pixels out(static_cast<std::size_t>(s.height()), std::vector<std::uint32_t>(s.width()));
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            out[y][x] = s.pixel(x, y);
        }
    }
    return out;
}

bool inside(const std::vector<Rect>& rects, int x, int y) {
    for (const Rect& r : rects) {
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
            return true;
        }
    }
    return false;
}

// Random pixels, about `keyed` of them equal to the key, the others never.
void scribble(Surface& s, std::mt19937& rng, double keyed, std::uint32_t key) {
    std::uniform_real_distribution<double> coin(0.0, 1.0);
    const std::uint32_t mask = s.bits_per_pixel() == 16 ? 0xFFFFu : 0x00FFFFFFu;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            std::uint32_t v = rng() & mask;
            if (v == key) {
                v ^= 1;
            }
            s.set_pixel(x, y, coin(rng) < keyed ? key : v);
        }
    }
}

TEST(Surface, KeyedBlitMatchesThePixelModelAtBothDepths) {
    std::mt19937 rng(7);
    for (int depth : {16, 32}) {
        const std::uint32_t key = depth == 16 ? 0x07C0u : 0x00FF00u;
        for (int w : {1, 3, 7, 8, 9, 15, 16, 17, 31, 40, 64, 100}) {
            for (double keyed : {0.0, 0.3, 0.9, 1.0}) {
                SCOPED_TRACE(testing::Message()
                             << depth << " bits, width " << w << ", keyed " << keyed);
                Surface src(w, 5, depth);
                ASSERT_TRUE(src.set_color_key(key));
                scribble(src, rng, keyed, key);
                // Runs of key pixels as pictures have them, beside single ones.
                for (int x = 0; x < w / 2; ++x) {
                    src.set_pixel(x, 1, key);
                }
                Surface dst(90, 12, depth);
                pad(dst);
                scribble(dst, rng, 0.0, key);
                Clipper clip;
                set_clip(clip, {{0, 0, 90, 12}});
                dst.set_clipper(&clip);
                for (int x : {-w + 1, -3, 0, 5, 90 - w, 88}) {
                    const int y = 4;
                    const Pixels before = pixels_of(dst);
                    ASSERT_EQ(platform::blit(dst, {x, y, x + w, y + 5}, src, {0, 0, w, 5}, true),
                              platform::kOk);
                    for (int dy = 0; dy < 12; ++dy) {
                        for (int dx = 0; dx < 90; ++dx) {
                            std::uint32_t want = before[dy][dx];
                            if (dx >= x && dx < x + w && dy >= y && dy < y + 5) {
                                const std::uint32_t s = src.pixel(dx - x, dy - y);
                                want = s == key ? want : s;
                            }
                            ASSERT_EQ(dst.pixel(dx, dy), want)
                                << "at " << dx << "," << dy << " blit at x " << x;
                        }
                    }
                }
                EXPECT_TRUE(padding_intact(dst));
            }
        }
    }
}

TEST(Surface, FillAndBlitKeepToAClipListOfSeveralRectangles) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        // Overlapping, touching, partly outside the surface, and empty.
        const std::vector<Rect> rects = {
            {3, 2, 20, 9}, {15, 5, 33, 14}, {33, 0, 40, 3}, {50, 10, 80, 40}, {5, 20, 5, 30}};
        Surface dst(64, 24, depth);
        pad(dst);
        platform::fill(dst, 0x1111);
        Clipper clip;
        set_clip(clip, rects);
        dst.set_clipper(&clip);
        ASSERT_EQ(platform::fill(dst, 0x2222), platform::kOk);
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(dst.pixel(x, y), inside(rects, x, y) ? 0x2222u : 0x1111u)
                    << x << "," << y;
            }
        }

        Surface src(70, 30, depth);
        src.set_color_key(0x07C0);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 70; ++x) {
                src.set_pixel(x, y, (x + y) % 5 == 0 ? 0x07C0u : 0x3000u + x + 70u * y);
            }
        }
        const Pixels before = pixels_of(dst);
        // Over the top left corner: source cut by the same amounts.
        ASSERT_EQ(platform::blit(dst, {-4, -3, 66, 27}, src, {0, 0, 70, 30}, true), platform::kOk);
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 64; ++x) {
                const std::uint32_t s = src.pixel(x + 4, y + 3);
                const std::uint32_t want = inside(rects, x, y) && s != 0x07C0u ? s : before[y][x];
                ASSERT_EQ(dst.pixel(x, y), want) << x << "," << y;
            }
        }
        EXPECT_TRUE(padding_intact(dst));
    }
}

TEST(Surface, FillCoversEveryStartAndLengthExactly) {
    // Start and length of a row decide which stores the fill uses.
    for (int depth : {16, 32}) {
        for (std::uint32_t value : {0x0000u, 0x4242u, 0xF81Fu, 0x12345678u}) {
            const std::uint32_t v = depth == 16 ? (value & 0xFFFF) : value;
            for (int left = 0; left < 9; ++left) {
                for (int width : {0, 1, 2, 3, 7, 8, 9, 31, 33, 64, 100}) {
                    SCOPED_TRACE(testing::Message() << depth << " bits, value " << value
                                                    << ", left " << left << ", width " << width);
                    Surface s(120, 2, depth);
                    pad(s);
                    for (int x = 0; x < 120; ++x) {
                        s.set_pixel(x, 0, 0x5A5A);
                        s.set_pixel(x, 1, 0x5A5A);
                    }
                    Clipper clip;
                    set_clip(clip, {{left, 1, left + width, 2}});
                    s.set_clipper(&clip);
                    ASSERT_EQ(platform::fill(s, v), platform::kOk);
                    for (int x = 0; x < 120; ++x) {
                        ASSERT_EQ(s.pixel(x, 0), 0x5A5Au);
                        ASSERT_EQ(s.pixel(x, 1), x >= left && x < left + width ? v : 0x5A5Au) << x;
                    }
                    ASSERT_TRUE(padding_intact(s));
                }
            }
        }
    }
}

TEST(Surface, StretchedBlitSamplesCentresKeepsTheKeyAndClips) {
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        const std::uint32_t key = depth == 16 ? 0x07C0u : 0x00FF00u;
        Surface src(3, 2, depth);
        src.set_color_key(key);
        src.set_pixel(0, 0, 0x0101);
        src.set_pixel(1, 0, key);
        src.set_pixel(2, 0, 0x0103);
        src.set_pixel(0, 1, 0x0201);
        src.set_pixel(1, 1, 0x0202);
        src.set_pixel(2, 1, key);
        Surface dst(8, 6, depth);
        pad(dst);
        platform::fill(dst, 0x0999);
        Clipper clip;
        set_clip(clip, {{0, 0, 8, 6}});
        dst.set_clipper(&clip);

        // Twice the size: every source pixel becomes a 2 x 2 block; key
        // pixels leave the destination alone.
        ASSERT_EQ(platform::blit_stretched(dst, {1, 1, 7, 5}, src, {0, 0, 3, 2}), platform::kOk);
        const std::uint32_t want[6][8] = {
            {0x999, 0x999, 0x999, 0x999, 0x999, 0x999, 0x999, 0x999},
            {0x999, 0x101, 0x101, 0x999, 0x999, 0x103, 0x103, 0x999},
            {0x999, 0x101, 0x101, 0x999, 0x999, 0x103, 0x103, 0x999},
            {0x999, 0x201, 0x201, 0x202, 0x202, 0x999, 0x999, 0x999},
            {0x999, 0x201, 0x201, 0x202, 0x202, 0x999, 0x999, 0x999},
            {0x999, 0x999, 0x999, 0x999, 0x999, 0x999, 0x999, 0x999},
        };
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                EXPECT_EQ(dst.pixel(x, y), want[y][x]) << x << "," << y;
            }
        }

        // Hanging over the left and top edges: the visible part is sampled
        // as if the whole rectangle were drawn (three times the size, so the
        // first visible column is still source column 0).
        platform::fill(dst, 0x0999);
        ASSERT_EQ(platform::blit_stretched(dst, {-2, -3, 7, 3}, src, {0, 0, 3, 2}), platform::kOk);
        EXPECT_EQ(dst.pixel(0, 0), 0x0201u);  // source (0, 1)
        EXPECT_EQ(dst.pixel(1, 0), 0x0202u);  // source (1, 1), from x 1
        EXPECT_EQ(dst.pixel(3, 0), 0x0202u);
        EXPECT_EQ(dst.pixel(4, 0), 0x0999u);  // source (2, 1) is the key
        EXPECT_EQ(dst.pixel(7, 0), 0x0999u);  // beyond the rectangle
        EXPECT_EQ(dst.pixel(0, 3), 0x0999u);

        // Half the size: the pixel under each destination pixel's centre.
        Surface wide(4, 1, depth);
        wide.set_color_key(key);
        for (int x = 0; x < 4; ++x) {
            wide.set_pixel(x, 0, 0x0300u + static_cast<std::uint32_t>(x));
        }
        ASSERT_EQ(platform::blit_stretched(dst, {0, 5, 2, 6}, wide, {0, 0, 4, 1}), platform::kOk);
        EXPECT_EQ(dst.pixel(0, 5), 0x0301u);
        EXPECT_EQ(dst.pixel(1, 5), 0x0303u);
        EXPECT_TRUE(padding_intact(dst));
    }
}

TEST(Surface, BlitsRefuseWhatDirectDrawRefuses) {
    Surface a(10, 10, 16);
    Surface b(10, 10, 16);
    Surface c32(10, 10, 32);
    // Without a clipper a rectangle beyond the destination is refused.
    EXPECT_EQ(platform::blit(a, {-1, 0, 9, 10}, b, {0, 0, 10, 10}, true),
              platform::kErrInvalidRect);
    // The source rectangle must lie in the source; sizes must agree.
    EXPECT_EQ(platform::blit(a, {0, 0, 11, 10}, b, {0, 0, 11, 10}, true),
              platform::kErrInvalidRect);
    EXPECT_EQ(platform::blit(a, {0, 0, 5, 5}, b, {0, 0, 4, 5}, true), platform::kErrInvalidParams);
    EXPECT_EQ(platform::blit(a, {0, 0, 5, 5}, c32, {0, 0, 5, 5}, true),
              platform::kErrInvalidParams);
    // A locked surface is busy.
    platform::LockedPixels l;
    ASSERT_TRUE(b.lock(l));
    EXPECT_EQ(platform::blit(a, {0, 0, 5, 5}, b, {0, 0, 5, 5}, true), platform::kErrSurfaceBusy);
    EXPECT_EQ(platform::fill(b, 0), platform::kErrSurfaceBusy);
    EXPECT_FALSE(b.lock(l));
    b.unlock();

    // Malformed clip lists are refused and leave the old list in place.
    Clipper clip;
    set_clip(clip, {{0, 0, 5, 5}});
    auto block = region({{1, 1, 2, 2}, {3, 3, 4, 4}});
    EXPECT_FALSE(clip.set_clip_list(block.data(), block.size() - 1));  // cut short
    block[8] = 0x7F;  // a count that the rectangle bytes do not match
    block[9] = 0x7F;
    block[10] = 0x7F;
    block[11] = 0x7F;
    EXPECT_FALSE(clip.set_clip_list(block.data(), block.size()));
    block[8] = 0xFF;  // negative
    block[11] = 0xFF;
    EXPECT_FALSE(clip.set_clip_list(block.data(), block.size()));
    ASSERT_EQ(clip.rects().size(), 1u);
    EXPECT_EQ(clip.rects()[0].right, 5);
}

}  // namespace
