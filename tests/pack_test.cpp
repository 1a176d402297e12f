#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/spiel.h"
#include "audio/audio.h"
#include "gfx/ddraw.h"
#include "pack/packfile.h"
#include "platform/headless/audio.h"
#include "platform/png.h"
#include "support/fixture.h"
#include "support/game_data.h"
#include "support/sound_support.h"

using bramble_test::HeadlessTest;
using platform::Fault;
namespace headless = platform::headless;
using Bytes = std::vector<std::uint8_t>;

namespace {

void put32(Bytes& b, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
    }
}

// Palette entries as stored: blue, green, red, reserved.
using Farbe = std::array<std::uint8_t, 4>;

Farbe bgr(int b, int g, int r) {
    return {static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
            static_cast<std::uint8_t>(r), 0x77};
}

std::vector<Farbe> test_palette() {
    std::vector<Farbe> p(256);
    for (int i = 0; i < 256; ++i) {
        p[i] = bgr(i, (i * 7) & 0xFF, 255 - i);
    }
    p[0] = bgr(0x10, 0x20, 0x30);
    p[1] = bgr(0, 255, 0);  // pure green: the colour key
    p[2] = bgr(7, 250, 5);  // almost green: the key at 16 bits only
    p[3] = bgr(255, 255, 255);
    return p;
}

// An 8-bit BMP as the game stores pictures; `stored` is in file order
// (bottom row first).
Bytes bmp(int w, int h, const std::vector<Farbe>& palette, const Bytes& stored) {
    Bytes b(1078, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::int32_t>(1078 + stored.size()));
    put32(b, 10, 1078);
    put32(b, 14, 40);
    put32(b, 18, w);
    put32(b, 22, h);
    b[26] = 1;
    b[28] = 8;
    put32(b, 46, 256);
    for (int i = 0; i < 256; ++i) {
        std::memcpy(&b[54 + 4 * i], palette[i].data(), 4);
    }
    b.insert(b.end(), stored.begin(), stored.end());
    return b;
}

Bytes pattern(int w, int h) {
    Bytes p(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < p.size(); ++i) {
        p[i] = static_cast<std::uint8_t>((i * 37 + 11) & 0xFF);
    }
    return p;
}

struct Eintrag {
    std::int32_t marker;
    Bytes bytes;
};

// An archive laid out as the game expects, with its own trailer writer so
// the loader is not tested against the tool's code.
Bytes archive(const std::vector<Eintrag>& entries, const char* tag = "PackFile-1.2",
              const char* key = "QK7RM2D9TXB4HP1Z") {
    Bytes out;
    Bytes trailer(bramble_test::kVerzeichnisGroesse, 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        put32(trailer, 4 * i, entries[i].marker);
        put32(trailer, bramble_test::kOffsetTabelle + 4 * i, static_cast<std::int32_t>(out.size()));
        out.insert(out.end(), entries[i].bytes.begin(), entries[i].bytes.end());
    }
    std::memcpy(&trailer[bramble_test::kTagOffset], tag, std::strlen(tag));
    std::memcpy(&trailer[bramble_test::kKeyOffset], key,
                std::min<std::size_t>(std::strlen(key), 20));
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

void write_file(const std::string& name, const Bytes& bytes) {
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(f.good()) << name;
}

int open_files() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
        ++n;
    }
    return n;
}

// A directory whose every marker slot says "picture" and whose offsets all
// point at byte `offset`, for loads from files that are not archives.
Verzeichnis verzeichnis_bei(std::int32_t offset) {
    Verzeichnis v{};
    Bytes b(bramble_test::kVerzeichnisGroesse, 0);
    for (int i = 0; i < 51; ++i) {
        put32(b, 4 * i, bramble_test::kMarkerBild);
    }
    for (int i = 0; i < bramble_test::kMaxEintraege; ++i) {
        put32(b, bramble_test::kOffsetTabelle + 4 * i, offset);
    }
    std::memcpy(v.bytes, b.data(), b.size());
    return v;
}

std::uint32_t erwartet(const Farbe& f, int depth) {
    const std::uint32_t b = f[0], g = f[1], r = f[2];
    if (depth == 16) {
        return ((r >> 3) << 11) | ((g >> 3) << 6) | (b >> 3);
    }
    return (r << 16) | (g << 8) | b;
}

std::vector<std::uint32_t> pixels(const Surface* s) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < s->height(); ++y) {
        for (int x = 0; x < s->width(); ++x) {
            out.push_back(s->pixel(x, y));
        }
    }
    return out;
}

}  // namespace

class PackFileOeffnenTest : public HeadlessTest {};

TEST_F(PackFileOeffnenTest, OpensWhenTagAndKeyMatchWhateverTheOtherBytesHold) {
    Bytes a = archive({{bramble_test::kMarkerBild, pattern(40, 3)}});
    // Every trailer byte the game does not read holds rubbish.
    const std::size_t t = a.size() - bramble_test::kVerzeichnisGroesse;
    for (std::size_t i = 0; i < bramble_test::kVerzeichnisGroesse; ++i) {
        const bool tag = i >= bramble_test::kTagOffset && i <= bramble_test::kTagOffset + 12;
        const bool key = i >= bramble_test::kKeyOffset && i <= bramble_test::kKeyOffset + 16;
        if (!tag && !key && ((i >= 156 && i < 204) || i >= 360)) {
            a[t + i] = 0xAB;
        }
    }
    write_file("pack_ok.dat", a);
    Verzeichnis v{};
    EXPECT_EQ(PackFile_oeffnen("pack_ok.dat", &v, "QK7RM2D9TXB4HP1Z"), 0);
    EXPECT_EQ(std::memcmp(v.bytes, &a[t], bramble_test::kVerzeichnisGroesse), 0);
    EXPECT_EQ(Verzeichnis_Marker(v, 0), bramble_test::kMarkerBild);
    EXPECT_EQ(Verzeichnis_Offset(v, 0), 0);
    EXPECT_EQ(PackFile_oeffnen("pack_ok.dat", &v, nullptr), 0);
    EXPECT_TRUE(box_texts().empty());
}

TEST_F(PackFileOeffnenTest, TagAndKeyAreComparedExactly) {
    struct Fall {
        const char* tag;
        const char* stored_key;
        const char* expected_key;
        int result;
    };
    const Fall faelle[] = {
        {"PackFile-1.3", "QK7RM2D9TXB4HP1Z", "QK7RM2D9TXB4HP1Z", 2},
        {"packfile-1.2", "QK7RM2D9TXB4HP1Z", "QK7RM2D9TXB4HP1Z", 2},
        {"PackFile-1.2X", "QK7RM2D9TXB4HP1Z", "QK7RM2D9TXB4HP1Z", 2},  // no zero after the tag
        {"PackFile-1.2", "QK7RM2D9TXB4HP1Y", "QK7RM2D9TXB4HP1Z", 3},
        {"PackFile-1.2", "qk7rm2d9txb4hp1z", "QK7RM2D9TXB4HP1Z", 3},
        {"PackFile-1.2", "QK7RM2D9TXB4HP1ZX", "QK7RM2D9TXB4HP1Z", 3},  // stored key too long
        {"PackFile-1.2", "QK7RM2D9TXB4HP1Z", "QK7RM2D9TXB4HP1ZX", 3},  // expected key too long
        {"PackFile-1.2", "QK7RM2D9TXB4HP1ZQK7R", "QK7RM2D9TXB4HP1ZQK7R", 0},  // fills the trailer
        {"Nonsense", "Nonsense", "QK7RM2D9TXB4HP1Z", 2},  // the tag is checked first
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(std::string(f.tag) + " / " + f.stored_key + " / " + f.expected_key);
        headless::clear_boxes();
        write_file("pack_tag.dat", archive({}, f.tag, f.stored_key));
        Verzeichnis v{};
        EXPECT_EQ(PackFile_oeffnen("pack_tag.dat", &v, f.expected_key), f.result);
        if (f.result == 0) {
            EXPECT_TRUE(headless::boxes().empty());
            continue;
        }
        ASSERT_EQ(headless::boxes().size(), 1u);
        const headless::Box& box = headless::boxes()[0];
        EXPECT_EQ(box.caption, "Error...");
        EXPECT_EQ(box.type, MB_OK | MB_ICONERROR);
        EXPECT_EQ(box.text,
                  f.result == 2
                      ? "Die Datei 'pack_tag.dat' ist keine g\xFCltige 'PackFile' - Datei!"
                      : "Die Datei 'pack_tag.dat' ist nicht das richtige 'PackFile' !");
    }
}

TEST_F(PackFileOeffnenTest, ArchiveShorterThanATrailerIsNoPackFile) {
    // Read from its start, this file would carry the right tag at byte 404.
    Bytes kurz(563, 0);
    std::memcpy(&kurz[bramble_test::kTagOffset], "PackFile-1.2", 13);
    std::memcpy(&kurz[bramble_test::kKeyOffset], "QK7RM2D9TXB4HP1Z", 17);
    write_file("pack_short.dat", kurz);
    write_file("pack_empty.dat", {});
    Verzeichnis v{};
    EXPECT_EQ(PackFile_oeffnen("pack_short.dat", &v, nullptr), 2);
    EXPECT_EQ(PackFile_oeffnen("pack_empty.dat", &v, "QK7RM2D9TXB4HP1Z"), 2);
    // Exactly a trailer and nothing else is a valid, empty archive.
    kurz.push_back(0);
    write_file("pack_short.dat", kurz);
    EXPECT_EQ(PackFile_oeffnen("pack_short.dat", &v, "QK7RM2D9TXB4HP1Z"), 0);
}

TEST_F(PackFileOeffnenTest, FileThatCannotBeOpenedOrRead) {
    Verzeichnis v{};
    const int offen = open_files();
    EXPECT_EQ(PackFile_oeffnen("pack_missing.dat", &v, nullptr), 1);
    EXPECT_EQ(box_texts().back(),
              "Die Datei 'pack_missing.dat' konnte nicht ge\xF6"
              "ffnet werden!");

    write_file("pack_read.dat", archive({}));
    headless::arm_fault(Fault::FileOpen);
    EXPECT_EQ(PackFile_oeffnen("pack_read.dat", &v, nullptr), 1);

    // The read's outcome is not examined: what it did not deliver stays zero.
    std::memset(v.bytes, 0xFF, sizeof v.bytes);
    headless::arm_fault(Fault::FileRead);
    EXPECT_EQ(PackFile_oeffnen("pack_read.dat", &v, nullptr), 2);
    EXPECT_EQ(std::count(std::begin(v.bytes), std::end(v.bytes), 0),
              bramble_test::kVerzeichnisGroesse);
    EXPECT_EQ(open_files(), offen);
}

class PackFileBildTest : public HeadlessTest {
   protected:
    Surface* surface(int w, int h) {
        Surface* s = nullptr;
        EXPECT_EQ(DDraw_Offscreen_anlegen(&s, w, h, 1), 0);
        return s;
    }

    // An archive file of the given pictures (entry i = picture i), opened.
    void archiv(const std::string& name, const std::vector<Eintrag>& entries) {
        write_file(name, archive(entries));
        ASSERT_EQ(PackFile_oeffnen(name.c_str(), &v, "QK7RM2D9TXB4HP1Z"), 0);
    }

    // Paints every pixel with a value no load produces, to see what a failed
    // load left alone.
    static void bemalen(Surface* s, std::uint32_t wert = 0x1234) {
        for (int y = 0; y < s->height(); ++y) {
            for (int x = 0; x < s->width(); ++x) {
                s->set_pixel(x, y, wert);
            }
        }
    }

    Verzeichnis v{};
};

TEST_F(PackFileBildTest, ConvertsThePaletteAndPutsTheFirstStoredRowAtTheBottom) {
    const int w = 8, h = 3;
    const std::vector<Farbe> pal = test_palette();
    Bytes stored = pattern(w, h);
    stored[0] = 1;  // stored row 0 = bottom row: green, almost green, white
    stored[1] = 2;
    stored[2] = 3;
    for (int depth : {16, 32}) {
        SCOPED_TRACE(depth);
        DDraw_beenden();
        start_display(depth);
        archiv("pack_convert.dat", {{bramble_test::kMarkerBild, bmp(w, h, pal, stored)}});
        Surface* s = surface(w, h);
        // Bytes past the first w pixels of a row belong to the padding.
        const int bpp = depth / 8;
        for (int y = 0; y < h; ++y) {
            std::memset(s->row(y) + w * bpp, 0x5A, static_cast<std::size_t>(s->pitch() - w * bpp));
        }
        ASSERT_EQ(PackFile_Bild_laden("pack_convert.dat", &v, 0, s), 0);
        EXPECT_FALSE(s->locked());
        for (int r = 0; r < h; ++r) {
            for (int x = 0; x < w; ++x) {
                const std::uint8_t index = stored[static_cast<std::size_t>(h - 1 - r) * w + x];
                EXPECT_EQ(s->pixel(x, r), erwartet(pal[index], depth)) << x << "," << r;
            }
            for (int i = w * bpp; i < s->pitch(); ++i) {
                EXPECT_EQ(s->row(r)[i], 0x5A);
            }
        }
        const std::uint32_t key = depth == 16 ? 0x07C0u : 0x0000FF00u;
        EXPECT_EQ(s->color_key(), key);
        EXPECT_EQ(s->pixel(0, h - 1), key);  // pure green is transparent at both depths
        // (5, 250, 7) is transparent only where green's low bits are lost.
        EXPECT_EQ(s->pixel(1, h - 1), depth == 16 ? 0x07C0u : 0x0005FA07u);
        EXPECT_EQ(s->pixel(2, h - 1), depth == 16 ? 0xFFDFu : 0x00FFFFFFu);
        EXPECT_TRUE(box_texts().empty());
    }
}

TEST_F(PackFileBildTest, LoadingAgainReplacesEveryPixel) {
    start_display(16);
    const std::vector<Farbe> pal = test_palette();
    archiv("pack_twice.dat", {{bramble_test::kMarkerBild, bmp(16, 4, pal, pattern(16, 4))},
                              {bramble_test::kMarkerBild, bmp(16, 4, pal, Bytes(64, 3))}});
    Surface* s = surface(16, 4);
    ASSERT_EQ(PackFile_Bild_laden("pack_twice.dat", &v, 0, s), 0);
    const std::vector<std::uint32_t> erstes = pixels(s);
    ASSERT_EQ(PackFile_Bild_laden("pack_twice.dat", &v, 1, s), 0);
    EXPECT_NE(pixels(s), erstes);
    bemalen(s);
    ASSERT_EQ(PackFile_Bild_laden("pack_twice.dat", &v, 0, s), 0);
    EXPECT_EQ(pixels(s), erstes);
}

TEST_F(PackFileBildTest, RefusesWhatItCannotLoadIntoWithoutTouchingTheFile) {
    start_display(16);
    Surface* s = surface(8, 2);
    bemalen(s);
    // Every slot says "picture", so only the range limits the entry number.
    const Verzeichnis alle = verzeichnis_bei(0);
    Verzeichnis mit_sound = alle;
    mit_sound.bytes[4] = 0xE8;  // marker of entry 1: 1000
    mit_sound.bytes[5] = 0x03;
    struct Fall {
        const Verzeichnis* v;
        int nummer;
        Surface* s;
        int result;
        const char* text;
    };
    const Fall faelle[] = {
        {&alle, 0, nullptr, 1, "PackFile_Bild_laden: Surface nich vorhanden!"},
        {&alle, 39, s, 2, "PackFile_Bild_laden: Ung\xFCltiger BMP-Sektor ausgew\xE4hlt!"},
        {&alle, -1, s, 2, "PackFile_Bild_laden: Ung\xFCltiger BMP-Sektor ausgew\xE4hlt!"},
        {&mit_sound, 1, s, 2, "PackFile_Bild_laden: Ung\xFCltiger BMP-Sektor ausgew\xE4hlt!"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.nummer);
        Zustand_setzen(0);
        headless::clear_boxes();
        // The file does not exist: reaching it would give result 4.
        EXPECT_EQ(PackFile_Bild_laden("pack_nowhere.dat", f.v, f.nummer, f.s), f.result);
        EXPECT_EQ(Spielzustand, 9);
        EXPECT_EQ(box_texts(), std::vector<std::string>{f.text});
        EXPECT_FALSE(s->locked());
    }
    EXPECT_EQ(s->pixel(0, 0), 0x1234u);
}

TEST_F(PackFileBildTest, SizeComparisonNamesBothWidths) {
    start_display(16);
    const std::vector<Farbe> pal = test_palette();
    archiv("pack_size.dat", {{bramble_test::kMarkerBild, bmp(920, 152, pal, pattern(920, 152))},
                             {bramble_test::kMarkerBild, bmp(1024, 700, pal, pattern(1024, 700))}});
    Surface* s = surface(1024, 768);
    bemalen(s);
    const int offen = open_files();
    EXPECT_EQ(PackFile_Bild_laden("pack_size.dat", &v, 0, s), 7);
    EXPECT_EQ(Spielzustand, 9);
    EXPECT_EQ(box_texts().back(),
              "PackFile_Bild_laden: Formatvergleich - Breite1: 920 Breite2: 1024");
    Zustand_setzen(0);
    EXPECT_EQ(PackFile_Bild_laden("pack_size.dat", &v, 1, s), 7);  // right width, wrong height
    EXPECT_EQ(Spielzustand, 9);
    EXPECT_EQ(box_texts().back(),
              "PackFile_Bild_laden: Formatvergleich - Breite1: 1024 Breite2: 1024");
    EXPECT_FALSE(s->locked());
    EXPECT_EQ(open_files(), offen);
    EXPECT_EQ(s->pixel(500, 500), 0x1234u);
}

TEST_F(PackFileBildTest, SurfaceThatCannotBeLockedReadsAsZeroByZero) {
    start_display(16);
    archiv("pack_lock.dat",
           {{bramble_test::kMarkerBild, bmp(8, 2, test_palette(), pattern(8, 2))}});
    Surface* s = surface(8, 2);
    bemalen(s);
    headless::arm_fault(Fault::SurfaceLock);
    EXPECT_EQ(PackFile_Bild_laden("pack_lock.dat", &v, 0, s), 7);
    EXPECT_EQ(Spielzustand, 9);
    EXPECT_EQ(box_texts().back(), "PackFile_Bild_laden: Formatvergleich - Breite1: 8 Breite2: 0");
    EXPECT_FALSE(s->locked());
    // A lock held elsewhere is left to its holder.
    platform::LockedPixels fremd;
    ASSERT_TRUE(s->lock(fremd));
    EXPECT_EQ(PackFile_Bild_laden("pack_lock.dat", &v, 0, s), 7);
    EXPECT_TRUE(s->locked());
    s->unlock();
    // A 16-bit surface is not written as if it had 32-bit pixels.
    Farbtiefe = 32;
    EXPECT_EQ(PackFile_Bild_laden("pack_lock.dat", &v, 0, s), 7);
    EXPECT_FALSE(s->locked());
    EXPECT_EQ(s->pixel(0, 0), 0x1234u);
}

TEST_F(PackFileBildTest, EveryFailureGivesBackWhatItTook) {
    start_display(16);
    archiv("pack_fail.dat",
           {{bramble_test::kMarkerBild, bmp(8, 2, test_palette(), pattern(8, 2))}});
    Surface* s = surface(8, 2);
    bemalen(s);
    struct Fall {
        Fault fault;
        int skip;
        int result;
        const char* text;
    };
    const Fall faelle[] = {
        {Fault::Allocation, 0, 3, "PackFile_Bild_laden: malloc(lpbyBild)"},
        {Fault::FileOpen, 0, 4, "Die Datei <pack_fail.dat> wurde nicht gefunden!"},
        {Fault::FileRead, 0, 5, "PackFile_Bild_laden: ReadeFile(BMPFileHead)"},
        {Fault::FileRead, 1, 6, "PackFile_Bild_laden: ReadeFile(BMPInfoHead)"},
        {Fault::FileRead, 2, 8, "PackFile_Bild_laden: ReadeFile(Palette)"},
        {Fault::FileRead, 3, 9, "PackFile_Bild_laden: ReadeFile(Bilddaten)"},
    };
    const int offen = open_files();
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.result);
        headless::clear_boxes();
        headless::arm_fault(f.fault, f.skip);
        EXPECT_EQ(PackFile_Bild_laden("pack_fail.dat", &v, 0, s), f.result);
        EXPECT_EQ(box_texts(), std::vector<std::string>{f.text});
        EXPECT_EQ(Spielzustand, 0);  // none of these ends the game
        EXPECT_FALSE(s->locked());
        EXPECT_EQ(open_files(), offen);
        EXPECT_EQ(s->pixel(3, 1), 0x1234u);
    }
    headless::clear_boxes();
    EXPECT_EQ(PackFile_Bild_laden("pack_absent.dat", &v, 0, s), 4);
    EXPECT_EQ(box_texts(),
              std::vector<std::string>{"Die Datei <pack_absent.dat> wurde nicht gefunden!"});
    // After all that the picture still loads.
    EXPECT_EQ(PackFile_Bild_laden("pack_fail.dat", &v, 0, s), 0);
    EXPECT_NE(s->pixel(3, 1), 0x1234u);
}

TEST_F(PackFileBildTest, EntryPointingPastTheFileIsAReadFailure) {
    start_display(16);
    const Bytes bild = bmp(8, 2, test_palette(), pattern(8, 2));
    write_file("pack_edge.dat", bild);
    const auto laenge = static_cast<std::int32_t>(bild.size());
    Surface* s = surface(8, 2);
    bemalen(s);
    struct Fall {
        Bytes datei;
        std::int32_t offset;
        int result;
        const char* text;
    };
    const Fall faelle[] = {
        {bild, -5, 5, "PackFile_Bild_laden: ReadeFile(BMPFileHead)"},
        {bild, laenge, 5, "PackFile_Bild_laden: ReadeFile(BMPFileHead)"},
        {bild, laenge + 100000, 5, "PackFile_Bild_laden: ReadeFile(BMPFileHead)"},
        {Bytes(bild.begin(), bild.begin() + 14), 0, 6,
         "PackFile_Bild_laden: ReadeFile(BMPInfoHead)"},
        {Bytes(bild.begin(), bild.begin() + 54), 0, 8, "PackFile_Bild_laden: ReadeFile(Palette)"},
        {Bytes(bild.begin(), bild.begin() + 1078), 0, 9,
         "PackFile_Bild_laden: ReadeFile(Bilddaten)"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.offset);
        SCOPED_TRACE(f.datei.size());
        write_file("pack_edge.dat", f.datei);
        headless::clear_boxes();
        const Verzeichnis bei = verzeichnis_bei(f.offset);
        EXPECT_EQ(PackFile_Bild_laden("pack_edge.dat", &bei, 0, s), f.result);
        EXPECT_EQ(box_texts(), std::vector<std::string>{f.text});
        EXPECT_EQ(s->pixel(0, 0), 0x1234u);
        EXPECT_FALSE(s->locked());
    }
}

TEST_F(PackFileBildTest, PictureCutShortShowsPaletteEntryZeroNotOldMemory) {
    start_display(16);
    const int w = 64, h = 32;
    const std::vector<Farbe> pal = test_palette();
    // A full load first leaves index 5 in freed memory that the next pixel
    // buffer of the same size is likely to reuse.
    write_file("pack_full.dat", bmp(w, h, pal, Bytes(static_cast<std::size_t>(w) * h, 5)));
    Bytes kurz = bmp(w, h, pal, Bytes(static_cast<std::size_t>(w) * h, 3));
    const std::size_t vorhanden = 10 * w + 17;  // ten rows and a bit
    kurz.resize(1078 + vorhanden);
    write_file("pack_cut.dat", kurz);
    Surface* s = surface(w, h);
    const Verzeichnis v0 = verzeichnis_bei(0);
    ASSERT_EQ(PackFile_Bild_laden("pack_full.dat", &v0, 0, s), 0);
    ASSERT_EQ(PackFile_Bild_laden("pack_cut.dat", &v0, 0, s), 0);
    for (int r = 0; r < h; ++r) {
        for (int x = 0; x < w; ++x) {
            const std::size_t stored = static_cast<std::size_t>(h - 1 - r) * w + x;
            const Farbe& f = stored < vorhanden ? pal[3] : pal[0];
            ASSERT_EQ(s->pixel(x, r), erwartet(f, 16)) << x << "," << r;
        }
    }
}

TEST_F(PackFileBildTest, OtherPixelDepthsLoadNothing) {
    start_display(16);
    archiv("pack_depth.dat",
           {{bramble_test::kMarkerBild, bmp(8, 2, test_palette(), pattern(8, 2))}});
    Surface* s = surface(8, 2);
    bemalen(s);
    Farbtiefe = 24;
    EXPECT_EQ(PackFile_Bild_laden("pack_depth.dat", &v, 0, s), 0);
    EXPECT_EQ(PackFile_Bild_laden("pack_depth.dat", &v, 0, nullptr), 0);
    EXPECT_EQ(s->pixel(0, 0), 0x1234u);
    EXPECT_TRUE(box_texts().empty());
}

// The archive tool and the game agree: what `packfile build` writes, the
// game opens with its key and loads pixel for pixel.
TEST_F(PackFileBildTest, ReadsWhatTheArchiveToolWrote) {
    const std::string tool = std::string(BRAMBLE_BUILD_DIR) + "/packfile";
    ASSERT_TRUE(std::filesystem::exists(tool)) << "build the packfile target first";
    const std::vector<Farbe> pal = test_palette();
    write_file("pack_tool_a.bmp", bmp(920, 152, pal, pattern(920, 152)));
    write_file("pack_tool_b.bmp", bmp(32, 128, pal, Bytes(32 * 128, 1)));
    // The smallest sound: 16-bit mono PCM, two samples.
    Bytes wav = {'R', 'I', 'F', 'F', 0,   0,   0,   0,   'W',  'A',  'V', 'E', 'f',  'm',  't', ' ',
                 16,  0,   0,   0,   1,   0,   1,   0,   0x22, 0x56, 0,   0,   0x44, 0xAC, 0,   0,
                 2,   0,   16,  0,   'd', 'a', 't', 'a', 4,    0,    0,   0,   1,    2,    3,   4};
    put32(wav, 4, static_cast<std::int32_t>(wav.size() - 8));
    write_file("pack_tool_c.wav", wav);
    const std::string cmd = tool +
                            " build pack_tool.dat --key QK7RM2D9TXB4HP1Z pack_tool_a.bmp "
                            "pack_tool_c.wav pack_tool_b.bmp >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);

    start_display(16);
    ASSERT_EQ(PackFile_oeffnen("pack_tool.dat", &v, "QK7RM2D9TXB4HP1Z"), 0);
    EXPECT_EQ(Verzeichnis_Marker(v, 1), bramble_test::kMarkerSound);
    Surface* schrift = surface(920, 152);
    Surface* patrone = surface(32, 128);
    ASSERT_EQ(PackFile_Bild_laden("pack_tool.dat", &v, 0, schrift), 0);
    EXPECT_EQ(PackFile_Bild_laden("pack_tool.dat", &v, 1, patrone), 2);  // the sound
    ASSERT_EQ(PackFile_Bild_laden("pack_tool.dat", &v, 2, patrone), 0);
    const Bytes p = pattern(920, 152);
    for (int r : {0, 75, 151}) {
        for (int x : {0, 1, 460, 919}) {
            EXPECT_EQ(schrift->pixel(x, r),
                      erwartet(pal[p[static_cast<std::size_t>(151 - r) * 920 + x]], 16));
        }
    }
    EXPECT_EQ(patrone->pixel(31, 127), 0x07C0u);
}

// What players make with ImageMagick and sox goes through the archive tool
// and out of the game's own loaders: the pictures at their size, pure green
// and transparent pixels exactly the key and no other pixel, every other
// colour as made (to the display's 5 bits a channel), the sounds as long as
// they were made.
TEST_F(PackFileBildTest, ConvertsWhatPlayersMakeIntoEntriesTheGameLoads) {
    if (std::system("command -v convert >/dev/null && command -v sox >/dev/null") != 0) {
        GTEST_SKIP() << "needs ImageMagick's convert and sox";
    }
    const std::string tool = std::string(BRAMBLE_BUILD_DIR) + "/packfile";
    ASSERT_TRUE(std::filesystem::exists(tool)) << "build the packfile target first";
    const bramble_test::InDirectory here(bramble_test::scratch_dir("pack_players"));
    const char* const make[] = {
        // A gradient with a fully transparent corner and an alpha ramp over
        // its right-hand fifth: pixels less than half opaque become the key.
        "convert -size 200x112 gradient:red-blue -alpha set -channel A "
        "-fx 'i<40 && j<30 ? 0 : (i>=160 ? (i-160)/39 : 1)' +channel player.png",
        // 24-bit, with a pure green rectangle and a near-green one.
        "convert -size 152x88 gradient:yellow-navy -fill '#00FF00' -draw 'rectangle 10,10 40,30' "
        "-fill '#03FC04' -draw 'rectangle 50,10 80,30' -type TrueColor player.bmp",
        "convert player.png -depth 8 rgba:player_png.rgba",
        "convert player.bmp -depth 8 rgba:player_bmp.rgba",
        "sox -n -r 22050 -c 2 -b 24 player24.wav synth 0.5 sine 440",
        "sox -n -r 44100 -c 1 -e floating-point -b 32 playerf.wav synth 1.25 sine 300",
    };
    for (const char* cmd : make) {
        ASSERT_EQ(std::system(cmd), 0) << cmd;
    }
    const std::string build = tool +
                              " build player.dat --key QK7RM2D9TXB4HP1Z player.png player.bmp "
                              "player24.wav playerf.wav >build.txt";
    ASSERT_EQ(std::system(build.c_str()), 0);
    ASSERT_EQ(std::system((tool + " check player.dat --key QK7RM2D9TXB4HP1Z >check.txt").c_str()),
              0);

    start_display(16);
    ASSERT_EQ(PackFile_oeffnen("player.dat", &v, "QK7RM2D9TXB4HP1Z"), 0);
    struct Bild {
        const char* rgba;
        int w, h;
    };
    const Bild bilder[] = {{"player_png.rgba", 200, 112}, {"player_bmp.rgba", 152, 88}};
    for (int i = 0; i < 2; ++i) {
        const Bild& b = bilder[i];
        SCOPED_TRACE(b.rgba);
        std::ifstream f(b.rgba, std::ios::binary);
        const Bytes quelle((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        ASSERT_EQ(quelle.size(), static_cast<std::size_t>(b.w) * b.h * 4);
        Surface* s = surface(b.w, b.h);
        ASSERT_EQ(PackFile_Bild_laden("player.dat", &v, i, s), 0);
        // What the game shows, for a person to look at.
        platform::write_png(
            *s, bramble_test::output_dir() + "/pack_players_" + std::to_string(i) + ".png");
        int schluessel = 0, daneben = 0;
        for (int y = 0; y < b.h; ++y) {
            for (int x = 0; x < b.w; ++x) {
                const std::uint8_t* p = &quelle[(static_cast<std::size_t>(y) * b.w + x) * 4];
                const bool durchsichtig = p[3] < 128 || (p[0] == 0 && p[1] == 255 && p[2] == 0);
                const std::uint32_t pixel = s->pixel(x, y);
                schluessel += durchsichtig ? 1 : 0;
                if (durchsichtig != (pixel == 0x07C0u)) {
                    ++daneben;
                    continue;
                }
                if (durchsichtig) {
                    continue;
                }
                const int kanal[3] = {static_cast<int>(pixel >> 11),
                                      static_cast<int>(pixel >> 6) & 31,
                                      static_cast<int>(pixel) & 31};
                for (int k = 0; k < 3; ++k) {
                    daneben += std::abs(kanal[k] - (p[k] >> 3)) > 1 ? 1 : 0;
                }
            }
        }
        EXPECT_GT(schluessel, 600);
        EXPECT_EQ(daneben, 0);
    }

    platform::headless::audio_reset();
    lpDS = platform::sound_device_create();
    ASSERT_NE(lpDS, nullptr);
    const Verzeichnis sound = v;
    for (const auto& [nummer, ms] : {std::pair{2, 500u}, std::pair{3, 1250u}}) {
        SCOPED_TRACE(nummer);
        platform::SoundBuffer* puffer = nullptr;
        ASSERT_EQ(PackFile_Sound_laden("player.dat", &sound, nummer, &puffer), 0);
        EXPECT_EQ(DSound_abspielen(puffer, 0, 10000), 0);
        headless::advance(ms - 1);
        EXPECT_EQ(platform::sound_buffer_status(puffer), platform::kSoundStatusPlaying);
        headless::advance(2);
        EXPECT_EQ(platform::sound_buffer_status(puffer), 0u);
        platform::sound_buffer_release(puffer);
    }
    platform::sound_device_release(lpDS);
    lpDS = nullptr;
    EXPECT_TRUE(box_texts().empty());
}
