#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "core/bytes.h"

namespace assets {

namespace {

// Colours are grouped by what the 16-bit display can tell apart: 5 bits a
// channel. A picture never needs finer steps than those.
constexpr int kBins = 1 << 15;

int bin_of(int r, int g, int b) {
    return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
}

// Weighted squared distance; green counts most, as the eye sees it.
long long distance(int r1, int g1, int b1, int r2, int g2, int b2) {
    const long long dr = r1 - r2;
    const long long dg = g1 - g2;
    const long long db = b1 - b2;
    return 2 * dr * dr + 4 * dg * dg + 3 * db * db;
}

struct Bin {
    int key = 0;
    long long count = 0;
    double r = 0;  // mean colour of the pixels in the bin
    double g = 0;
    double b = 0;
};

struct Box {
    std::vector<int> bins;  // indices into the bin list
    double error = 0;       // weighted squared error around the mean
};

void box_stats(const std::vector<Bin>& all, Box& box, double mean[3], double var[3]) {
    double n = 0;
    double s[3] = {0, 0, 0};
    double q[3] = {0, 0, 0};
    for (int i : box.bins) {
        const Bin& b = all[i];
        const double c[3] = {b.r, b.g, b.b};
        n += b.count;
        for (int k = 0; k < 3; ++k) {
            s[k] += b.count * c[k];
            q[k] += b.count * c[k] * c[k];
        }
    }
    const double weights[3] = {2, 4, 3};
    box.error = 0;
    for (int k = 0; k < 3; ++k) {
        mean[k] = s[k] / n;
        var[k] = std::max(0.0, q[k] / n - mean[k] * mean[k]) * weights[k];
        box.error += var[k] * n;
    }
}

// Median cut over the occupied bins, then a few rounds of k-means.
std::vector<Rgb> make_palette(const std::vector<Bin>& bins, int colours) {
    std::vector<Box> boxes(1);
    for (int i = 0; i < static_cast<int>(bins.size()); ++i) {
        boxes[0].bins.push_back(i);
    }
    double mean[3];
    double var[3];
    box_stats(bins, boxes[0], mean, var);
    while (static_cast<int>(boxes.size()) < colours) {
        int worst = -1;
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
            if (boxes[i].bins.size() > 1 && (worst < 0 || boxes[i].error > boxes[worst].error)) {
                worst = i;
            }
        }
        if (worst < 0) {
            break;
        }
        Box& box = boxes[worst];
        box_stats(bins, box, mean, var);
        const int axis = var[0] >= var[1] && var[0] >= var[2] ? 0 : (var[1] >= var[2] ? 1 : 2);
        auto value = [&](int i) {
            const Bin& b = bins[i];
            return axis == 0 ? b.r : (axis == 1 ? b.g : b.b);
        };
        std::sort(box.bins.begin(), box.bins.end(), [&](int a, int b) {
            const double va = value(a);
            const double vb = value(b);
            return va != vb ? va < vb : bins[a].key < bins[b].key;
        });
        long long total = 0;
        for (int i : box.bins) {
            total += bins[i].count;
        }
        long long run = 0;
        std::size_t cut = 1;
        for (std::size_t i = 0; i + 1 < box.bins.size(); ++i) {
            run += bins[box.bins[i]].count;
            cut = i + 1;
            if (run * 2 >= total) {
                break;
            }
        }
        Box other;
        other.bins.assign(box.bins.begin() + static_cast<long>(cut), box.bins.end());
        box.bins.resize(cut);
        box_stats(bins, box, mean, var);
        box_stats(bins, other, mean, var);
        boxes.push_back(std::move(other));
    }

    std::vector<std::array<double, 3>> centre(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        box_stats(bins, boxes[i], mean, var);
        centre[i] = {mean[0], mean[1], mean[2]};
    }
    std::vector<int> owner(bins.size(), 0);
    for (int round = 0; round < 4; ++round) {
        std::vector<std::array<double, 4>> sum(centre.size(), {0, 0, 0, 0});
        for (std::size_t i = 0; i < bins.size(); ++i) {
            const Bin& b = bins[i];
            long long best = -1;
            for (std::size_t c = 0; c < centre.size(); ++c) {
                const long long d =
                    distance(static_cast<int>(b.r), static_cast<int>(b.g), static_cast<int>(b.b),
                             static_cast<int>(centre[c][0]), static_cast<int>(centre[c][1]),
                             static_cast<int>(centre[c][2]));
                if (best < 0 || d < best) {
                    best = d;
                    owner[i] = static_cast<int>(c);
                }
            }
            auto& s = sum[owner[i]];
            s[0] += b.count * b.r;
            s[1] += b.count * b.g;
            s[2] += b.count * b.b;
            s[3] += b.count;
        }
        for (std::size_t c = 0; c < centre.size(); ++c) {
            if (sum[c][3] > 0) {
                centre[c] = {sum[c][0] / sum[c][3], sum[c][1] / sum[c][3], sum[c][2] / sum[c][3]};
            }
        }
    }
    std::vector<Rgb> palette;
    for (const auto& c : centre) {
        palette.push_back({static_cast<std::uint8_t>(std::lround(c[0])),
                           static_cast<std::uint8_t>(std::lround(c[1])),
                           static_cast<std::uint8_t>(std::lround(c[2]))});
    }
    return palette;
}

// A colour that must stay opaque is moved off the key: the key is pure green
// at 16 bits, so lowering green by one 16-bit step is the smallest change.
Rgb away_from_key(Rgb c) {
    if (keys_at_16bit(c)) {
        c.g = 240;
    }
    return c;
}

}  // namespace

bool Picture::transparent(int x, int y) const {
    return keys_at_16bit(at(x, y));
}

std::uint16_t pixel16(Rgb c) {
    return static_cast<std::uint16_t>(((c.r >> 3) << 11) | ((c.g >> 3) << 6) | (c.b >> 3));
}

Rgb shown16(Rgb c) {
    auto expand = [](int v5) { return static_cast<std::uint8_t>((v5 << 3) | (v5 >> 2)); };
    return {expand(c.r >> 3), expand(c.g >> 3), expand(c.b >> 3)};
}

bool keys_at_16bit(Rgb c) {
    return pixel16(c) == pixel16(kKeyColour);
}

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot create a drawing surface");
    }
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

std::uint32_t Canvas::argb(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    std::uint32_t p;
    std::memcpy(&p, data + y * stride + 4 * x, 4);
    const std::uint32_t a = p >> 24;
    if (a == 0) {
        return 0;
    }
    auto un = [&](std::uint32_t v) { return std::min<std::uint32_t>(255, (v * 255 + a / 2) / a); };
    return (a << 24) | (un((p >> 16) & 255) << 16) | (un((p >> 8) & 255) << 8) | un(p & 255);
}

Picture to_picture(const Canvas& canvas, const QuantOptions& options) {
    const int w = canvas.width();
    const int h = canvas.height();
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(w) * h);
    std::vector<std::uint8_t> cover(argb.size(), 0);  // coverage of the opaque pixels
    cairo_surface_flush(canvas.surface());
    const unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint32_t p;
            std::memcpy(&p, data + static_cast<std::ptrdiff_t>(y) * stride + 4 * x, 4);
            const std::uint32_t a = p >> 24;
            if (static_cast<int>(a) < options.opaque_from || a == 0) {
                continue;
            }
            auto un = [&](std::uint32_t v) {
                return std::min<std::uint32_t>(255, (v * 255 + a / 2) / a);
            };
            argb[static_cast<std::size_t>(y) * w + x] =
                0xFF000000u | (un((p >> 16) & 255) << 16) | (un((p >> 8) & 255) << 8) | un(p & 255);
            cover[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(a);
        }
    }
    // Dividing the coverage out of a premultiplied edge pixel is only exact
    // to a step or two; where a fully covered neighbour has (within that
    // error) the same colour, the edge takes the neighbour's colour exactly.
    std::vector<std::uint32_t> snapped = argb;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            const int a = cover[i];
            if (a == 0 || a == 255) {
                continue;
            }
            const int slack = 255 / a + 1;
            int best = -1;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) {
                        continue;
                    }
                    const std::size_t n = static_cast<std::size_t>(ny) * w + nx;
                    if (cover[n] != 255) {
                        continue;
                    }
                    int d = 0;
                    for (int shift = 0; shift <= 16; shift += 8) {
                        d = std::max(d, std::abs(static_cast<int>((argb[n] >> shift) & 255) -
                                                 static_cast<int>((argb[i] >> shift) & 255)));
                    }
                    if (d <= slack && (best < 0 || d < best)) {
                        best = d;
                        snapped[i] = argb[n];
                    }
                }
            }
        }
    }
    return quantize(w, h, snapped, options.dither);
}

Picture quantize(int width, int height, const std::vector<std::uint32_t>& argb, bool dither) {
    Picture pic;
    pic.width = width;
    pic.height = height;
    pic.pixels.assign(static_cast<std::size_t>(width) * height, kKeyIndex);

    // Histogram of the opaque pixels by 16-bit colour.
    std::vector<long long> count(kBins, 0);
    std::vector<std::array<long long, 3>> sum(kBins, {0, 0, 0});
    for (std::uint32_t p : argb) {
        if ((p >> 24) == 0) {
            continue;
        }
        const int r = (p >> 16) & 255;
        const int g = (p >> 8) & 255;
        const int b = p & 255;
        const int k = bin_of(r, g, b);
        ++count[k];
        sum[k][0] += r;
        sum[k][1] += g;
        sum[k][2] += b;
    }
    std::vector<Bin> bins;
    for (int k = 0; k < kBins; ++k) {
        if (count[k] > 0) {
            const double n = static_cast<double>(count[k]);
            bins.push_back({k, count[k], sum[k][0] / n, sum[k][1] / n, sum[k][2] / n});
        }
    }

    std::vector<Rgb> colours;
    const bool exact = bins.size() <= 255;
    if (exact) {
        for (const Bin& b : bins) {
            colours.push_back({static_cast<std::uint8_t>(std::lround(b.r)),
                               static_cast<std::uint8_t>(std::lround(b.g)),
                               static_cast<std::uint8_t>(std::lround(b.b))});
        }
    } else {
        colours = make_palette(bins, 255);
    }
    for (Rgb& c : colours) {
        c = away_from_key(c);
    }
    pic.palette.fill(Rgb{0, 0, 0});
    pic.palette[kKeyIndex] = kKeyColour;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        pic.palette[i + 1] = colours[i];
    }

    // Nearest palette entry per 16-bit colour, found on first use.
    std::vector<int> nearest(kBins, -1);
    auto lookup = [&](int r, int g, int b) {
        const int k = bin_of(r, g, b);
        if (nearest[k] < 0) {
            const int cr = (r & ~7) + 4;
            const int cg = (g & ~7) + 4;
            const int cb = (b & ~7) + 4;
            long long best = -1;
            for (std::size_t i = 0; i < colours.size(); ++i) {
                const Rgb& c = colours[i];
                const long long d = distance(cr, cg, cb, c.r, c.g, c.b);
                if (best < 0 || d < best) {
                    best = d;
                    nearest[k] = static_cast<int>(i) + 1;
                }
            }
        }
        return nearest[k];
    };
    if (exact) {
        for (std::size_t i = 0; i < bins.size(); ++i) {
            nearest[bins[i].key] = static_cast<int>(i) + 1;
        }
    }

    if (!dither || exact) {
        for (std::size_t i = 0; i < argb.size(); ++i) {
            const std::uint32_t p = argb[i];
            if ((p >> 24) != 0) {
                pic.pixels[i] =
                    static_cast<std::uint8_t>(lookup((p >> 16) & 255, (p >> 8) & 255, p & 255));
            }
        }
        return pic;
    }

    // Floyd-Steinberg, serpentine, damped so flat areas stay calm; the error
    // never crosses into transparent pixels.
    std::vector<std::array<float, 3>> err(static_cast<std::size_t>(width + 2) * 2, {0, 0, 0});
    auto row_err = [&](int row, int x) -> std::array<float, 3>& {
        return err[static_cast<std::size_t>(row & 1) * (width + 2) + x + 1];
    };
    constexpr float kDamp = 0.8f;
    for (int y = 0; y < height; ++y) {
        for (int x = -1; x <= width; ++x) {
            row_err(y + 1, x) = {0, 0, 0};
        }
        const bool ltr = (y % 2) == 0;
        for (int i = 0; i < width; ++i) {
            const int x = ltr ? i : width - 1 - i;
            const int dir = ltr ? 1 : -1;
            const std::uint32_t p = argb[static_cast<std::size_t>(y) * width + x];
            if ((p >> 24) == 0) {
                continue;
            }
            const auto& e = row_err(y, x);
            float want[3] = {static_cast<float>((p >> 16) & 255) + e[0],
                             static_cast<float>((p >> 8) & 255) + e[1],
                             static_cast<float>(p & 255) + e[2]};
            int v[3];
            for (int k = 0; k < 3; ++k) {
                v[k] = std::clamp(static_cast<int>(std::lround(want[k])), 0, 255);
            }
            const int idx = lookup(v[0], v[1], v[2]);
            pic.pixels[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(idx);
            const Rgb& got = pic.palette[idx];
            const float diff[3] = {std::clamp(want[0] - got.r, -24.f, 24.f) * kDamp,
                                   std::clamp(want[1] - got.g, -24.f, 24.f) * kDamp,
                                   std::clamp(want[2] - got.b, -24.f, 24.f) * kDamp};
            auto spread = [&](int row, int xx, float f) {
                if (xx < 0 || xx >= width || row >= height) {
                    return;
                }
                if ((argb[static_cast<std::size_t>(row) * width + xx] >> 24) == 0) {
                    return;
                }
                auto& t = row_err(row, xx);
                for (int k = 0; k < 3; ++k) {
                    t[k] += diff[k] * f;
                }
            };
            spread(y, x + dir, 7.f / 16);
            spread(y + 1, x - dir, 3.f / 16);
            spread(y + 1, x, 5.f / 16);
            spread(y + 1, x + dir, 1.f / 16);
        }
    }
    return pic;
}

std::vector<std::uint8_t> bmp_bytes(const Picture& picture) {
    const int w = picture.width;
    const int h = picture.height;
    if (w <= 0 || h <= 0 || w % 4 != 0) {
        throw std::runtime_error("picture widths must be positive multiples of 4");
    }
    const std::size_t data = 14 + 40 + 1024;
    std::vector<std::uint8_t> out(data + static_cast<std::size_t>(w) * h, 0);
    out[0] = 'B';
    out[1] = 'M';
    le::put_u32(&out[2], static_cast<std::uint32_t>(out.size()));
    le::put_u32(&out[10], static_cast<std::uint32_t>(data));
    le::put_u32(&out[14], 40);
    le::put_u32(&out[18], w);
    le::put_u32(&out[22], h);
    le::put_u16(&out[26], 1);
    le::put_u16(&out[28], 8);
    le::put_u32(&out[30], 0);
    le::put_u32(&out[34], static_cast<std::int64_t>(w) * h);
    le::put_u32(&out[38], 2835);
    le::put_u32(&out[42], 2835);
    le::put_u32(&out[46], 256);
    le::put_u32(&out[50], 256);
    for (int i = 0; i < 256; ++i) {
        const Rgb& c = picture.palette[i];
        out[54 + 4 * i] = c.b;
        out[54 + 4 * i + 1] = c.g;
        out[54 + 4 * i + 2] = c.r;
        out[54 + 4 * i + 3] = 0;
    }
    for (int row = 0; row < h; ++row) {
        const std::uint8_t* src = &picture.pixels[static_cast<std::size_t>(h - 1 - row) * w];
        std::memcpy(&out[data + static_cast<std::size_t>(row) * w], src, w);
    }
    return out;
}

}  // namespace assets
