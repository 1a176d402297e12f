// Device-context text rendered with SDL2_ttf and the font that fonts.h
// finds (fontconfig's "sans-serif" on Linux, DejaVu Sans from the data
// elsewhere). Compiled into both backends, so the headless frames
// show the same pixels as the real game.
#include "platform/text.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp1252.h"
#include "platform/fonts.h"

namespace platform {

class TextDC {
   public:
    Surface* surface = nullptr;
    int bk_mode = OPAQUE;
    COLORREF color = 0;  // black, the default of a new context
    bool in_use = false;
};

namespace {

// 13 pixels to the em gives DejaVu Sans a 16-pixel line, the height of a
// small system font.
constexpr int kPixelSize = 13;
constexpr COLORREF kBackground = 0xFFFFFF;  // white, the default background

// The font is loaded once, on first use, and kept for the whole run.
struct FontState {
    bool tried = false;
    bool ttf_ready = false;
    TTF_Font* font = nullptr;
    std::string file_override;

    ~FontState() {
        if (font != nullptr) {
            TTF_CloseFont(font);
        }
        if (ttf_ready) {
            TTF_Quit();
        }
    }
};

FontState& font_state() {
    static FontState state;
    return state;
}

// The font lookup's answer, looked for on a thread of its own once the real
// game has asked for it early where the lookup is slow (fontconfig reads its
// configuration and cache, some milliseconds), else at the first text.
std::future<FontFile>& font_lookup() {
    static std::future<FontFile> lookup;
    return lookup;
}

TTF_Font* text_font() {
    FontState& st = font_state();
    if (st.tried) {
        return st.font;
    }
    st.tried = true;
    if (!st.ttf_ready) {
        if (TTF_Init() != 0) {
            return nullptr;
        }
        st.ttf_ready = true;
    }
    int index = 0;
    std::string file = st.file_override;
    if (file.empty()) {
        std::future<FontFile>& lookup = font_lookup();
        const FontFile found = lookup.valid() ? lookup.get() : sans_font_file();
        file = found.file;
        index = found.index;
    }
    if (file.empty()) {
        return nullptr;
    }
    st.font = TTF_OpenFontIndex(file.c_str(), kPixelSize, index);
    if (st.font != nullptr) {
        // Unsmoothed glyphs fitted to the pixel grid, as a system font draws.
        TTF_SetFontHinting(st.font, TTF_HINTING_MONO);
        TTF_SetFontKerning(st.font, 1);
    }
    return st.font;
}

std::vector<std::unique_ptr<TextDC>>& contexts() {
    static std::vector<std::unique_ptr<TextDC>> all;
    return all;
}

bool valid(const TextDC* dc) {
    if (dc == nullptr || !dc->in_use || dc->surface == nullptr) {
        return false;
    }
    for (const auto& c : contexts()) {
        if (c.get() == dc) {
            return true;
        }
    }
    return false;
}

// A COLORREF (low byte red) as a pixel of the surface's format.
std::uint32_t pixel_value(const Surface& s, COLORREF color) {
    const std::uint32_t r = color & 0xFF;
    const std::uint32_t g = (color >> 8) & 0xFF;
    const std::uint32_t b = (color >> 16) & 0xFF;
    if (s.bits_per_pixel() == 16) {
        return ((r >> 3) << 11) | ((g >> 3) << 6) | (b >> 3);
    }
    return (r << 16) | (g << 8) | b;
}

Rect intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

void fill_box(Surface& s, const Rect& box, const Rect& clip, std::uint32_t value) {
    const Rect r = intersect(box, clip);
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            s.set_pixel(x, y, value);
        }
    }
}

int line_width(TTF_Font* font, const std::string& utf8) {
    int w = 0;
    int h = 0;
    if (utf8.empty() || TTF_SizeUTF8(font, utf8.c_str(), &w, &h) != 0) {
        return 0;
    }
    return w;
}

// Draws one line of Windows-1252 text with its cell's top left at (x, y):
// every pixel the glyphs cover gets the text colour, nothing else changes
// unless the context is opaque. Cut to clip.
bool draw_line(TextDC& dc, TTF_Font* font, int x, int y, std::string_view text, const Rect& clip) {
    Surface& s = *dc.surface;
    const std::string utf8 = cp1252_to_utf8(text);
    const int width = line_width(font, utf8);
    if (dc.bk_mode == OPAQUE) {
        fill_box(s, Rect{x, y, x + width, y + TTF_FontHeight(font)}, clip,
                 pixel_value(s, kBackground));
    }
    if (utf8.empty()) {
        return true;
    }
    const SDL_Color white{255, 255, 255, 255};
    SDL_Surface* glyphs = TTF_RenderUTF8_Solid(font, utf8.c_str(), white);
    if (glyphs == nullptr) {
        return false;
    }
    // A solid rendering is 8-bit: index 0 is the background, anything else ink.
    const std::uint32_t ink = pixel_value(s, dc.color);
    const Rect area = intersect(Rect{x, y, x + glyphs->w, y + glyphs->h}, clip);
    SDL_LockSurface(glyphs);
    const auto* rows = static_cast<const std::uint8_t*>(glyphs->pixels);
    for (int py = area.top; py < area.bottom; ++py) {
        const std::uint8_t* row = rows + static_cast<std::ptrdiff_t>(py - y) * glyphs->pitch;
        for (int px = area.left; px < area.right; ++px) {
            if (row[px - x] != 0) {
                s.set_pixel(px, py, ink);
            }
        }
    }
    SDL_UnlockSurface(glyphs);
    SDL_FreeSurface(glyphs);
    return true;
}

// Removes the '&' prefixes: "&&" stays one '&', a single '&' marks the next
// character for underlining. Returns that character's byte index or -1.
int strip_prefixes(std::string& line) {
    std::string out;
    int marked = -1;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '&' && i + 1 < line.size()) {
            ++i;
            if (line[i] != '&') {
                marked = static_cast<int>(out.size());
            }
        }
        out.push_back(line[i]);
    }
    line = std::move(out);
    return marked;
}

std::vector<std::string> split_lines(std::string_view text, bool single_line) {
    std::vector<std::string> lines;
    if (single_line) {
        lines.emplace_back(text);
        return lines;
    }
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines.push_back(std::move(current));
            current.clear();
            continue;
        }
        current.push_back(c);
    }
    lines.push_back(std::move(current));
    return lines;
}

}  // namespace

TextDC* get_dc(Surface* surface) {
    if (surface == nullptr || surface->locked()) {
        return nullptr;
    }
    auto& all = contexts();
    for (const auto& c : all) {
        if (c->in_use && c->surface == surface) {
            return nullptr;  // one context per surface at a time
        }
    }
    TextDC* dc = nullptr;
    for (const auto& c : all) {
        if (!c->in_use) {
            dc = c.get();
            break;
        }
    }
    if (dc == nullptr) {
        all.push_back(std::make_unique<TextDC>());
        dc = all.back().get();
    }
    *dc = TextDC{};
    dc->surface = surface;
    dc->in_use = true;
    return dc;
}

int set_bk_mode(TextDC* dc, int mode) {
    if (!valid(dc) || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    const int previous = dc->bk_mode;
    dc->bk_mode = mode;
    return previous;
}

COLORREF set_text_color(TextDC* dc, COLORREF color) {
    if (!valid(dc)) {
        return CLR_INVALID;
    }
    const COLORREF previous = dc->color;
    dc->color = color & 0xFFFFFF;
    return previous;
}

bool text_out(TextDC* dc, int x, int y, const char* text, int length) {
    if (!valid(dc) || dc->surface->locked() || length < 0 || (text == nullptr && length > 0)) {
        return false;
    }
    TTF_Font* font = text_font();
    if (font == nullptr) {
        return false;
    }
    const Rect bounds{0, 0, dc->surface->width(), dc->surface->height()};
    return draw_line(
        *dc, font, x, y,
        std::string_view(text != nullptr ? text : "", static_cast<std::size_t>(length)), bounds);
}

int draw_text(TextDC* dc, const char* text, int length, Rect* rect, std::uint32_t format) {
    if (!valid(dc) || dc->surface->locked() || text == nullptr || rect == nullptr || length < -1) {
        return 0;
    }
    TTF_Font* font = text_font();
    if (font == nullptr) {
        return 0;
    }
    const std::size_t bytes = length == -1 ? std::strlen(text) : static_cast<std::size_t>(length);
    const bool single = (format & DT_SINGLELINE) != 0;
    std::vector<std::string> lines = split_lines(std::string_view(text, bytes), single);
    std::vector<int> marked(lines.size(), -1);
    if ((format & DT_NOPREFIX) == 0) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            marked[i] = strip_prefixes(lines[i]);
        }
    }
    const int line_height = TTF_FontHeight(font);
    const int total_height = line_height * static_cast<int>(lines.size());

    if ((format & DT_CALCRECT) != 0) {
        int widest = 0;
        for (const auto& line : lines) {
            widest = std::max(widest, line_width(font, cp1252_to_utf8(line)));
        }
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total_height;
        return total_height;
    }

    int top = rect->top;
    if (single && (format & DT_BOTTOM) != 0) {
        top = rect->bottom - line_height;
    } else if (single && (format & DT_VCENTER) != 0) {
        top = rect->top + (rect->bottom - rect->top - line_height) / 2;
    }
    Rect clip{0, 0, dc->surface->width(), dc->surface->height()};
    if ((format & DT_NOCLIP) == 0) {
        clip = intersect(clip, *rect);
    }
    const std::uint32_t ink = pixel_value(*dc->surface, dc->color);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int y = top + line_height * static_cast<int>(i);
        const int width = line_width(font, cp1252_to_utf8(lines[i]));
        int x = rect->left;
        if ((format & DT_CENTER) != 0) {
            x = rect->left + (rect->right - rect->left - width) / 2;
        } else if ((format & DT_RIGHT) != 0) {
            x = rect->right - width;
        }
        if (!draw_line(*dc, font, x, y, lines[i], clip)) {
            return 0;
        }
        if (marked[i] >= 0) {
            const auto at = static_cast<std::size_t>(marked[i]);
            const int from = x + line_width(font, cp1252_to_utf8(lines[i].substr(0, at)));
            const int to = x + line_width(font, cp1252_to_utf8(lines[i].substr(0, at + 1)));
            const int underline = y + TTF_FontAscent(font) + 1;
            fill_box(*dc->surface, Rect{from, underline, to, underline + 1}, clip, ink);
        }
    }
    const bool offset = single && (format & (DT_BOTTOM | DT_VCENTER)) != 0;
    return offset ? top + line_height - rect->top : total_height;
}

void release_dc(Surface* surface, TextDC* dc) {
    if (valid(dc) && dc->surface == surface) {
        *dc = TextDC{};
    }
}

bool text_extent(const char* text, int length, int* width, int* height) {
    TTF_Font* font = text_font();
    if (font == nullptr || width == nullptr || height == nullptr || length < 0 ||
        (text == nullptr && length > 0)) {
        return false;
    }
    const std::string_view bytes(text != nullptr ? text : "", static_cast<std::size_t>(length));
    *width = line_width(font, cp1252_to_utf8(bytes));
    *height = TTF_FontHeight(font);
    return true;
}

void text_prepare() {
    std::future<FontFile>& lookup = font_lookup();
    if (font_lookup_is_slow() && !lookup.valid() && !font_state().tried) {
        lookup = std::async(std::launch::async, sans_font_file);
    }
}

void set_text_font_file(const std::string& path) {
    FontState& st = font_state();
    if (st.font != nullptr) {
        TTF_CloseFont(st.font);
        st.font = nullptr;
    }
    st.file_override = path;
    st.tried = false;
}

}  // namespace platform
