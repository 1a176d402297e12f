// Generates the game's default data:
//   assets OUTDIR                     Grafik.dat, Sound.dat and the five tunes
//   assets --contact-sheet FILE.png   all pictures on one labelled sheet
//   assets --preview DIR              sprites on every sky, landscape marked
//   assets --icons DIR                the desktop icons (48, 128, 256 px, SVG)
// Options can be combined; every run draws and synthesises everything anew
// and gives the same bytes every time.
#include <archive.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "art.h"
#include "audio.h"
#include "catalogue.h"
#include "draw.h"
#include "icon.h"
#include "preview.h"

namespace {

void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    // Written beside the target and renamed, so an interrupted build never
    // leaves a half-written archive that looks up to date.
    const std::filesystem::path tmp = path.string() + ".part";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            throw std::runtime_error("cannot write " + tmp.string());
        }
    }
    std::filesystem::rename(tmp, path);
}

void write_archive(const std::filesystem::path& path, const std::vector<packfile::Entry>& entries,
                   const char* key) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!packfile::build_archive(entries, key, bytes, error)) {
        throw std::runtime_error(path.string() + ": " + error);
    }
    write_file(path, bytes);
}

int usage() {
    std::fprintf(stderr,
                 "usage: assets [OUTDIR] [--contact-sheet FILE.png] [--preview DIR]\n"
                 "              [--icons DIR]\n"
                 "  OUTDIR receives Grafik.dat, Sound.dat, start.wav, main.wav, win.wav,\n"
                 "  lose.wav and credits.wav; DIR of --preview sprites_on_skies.png and\n"
                 "  landscape_marked_*.png (horizon, hiding places); DIR of --icons\n"
                 "  bramblecourt-48.png, bramblecourt-128.png, bramblecourt-256.png and\n"
                 "  bramblecourt.svg. The game's screens: bramblecourt-sim's snap.\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string out_dir;
    std::string sheet;
    std::string preview;
    std::string icons;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--contact-sheet" && i + 1 < argc) {
            sheet = argv[++i];
        } else if (arg == "--preview" && i + 1 < argc) {
            preview = argv[++i];
        } else if (arg == "--icons" && i + 1 < argc) {
            icons = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && out_dir.empty()) {
            out_dir = arg;
        } else {
            return usage();
        }
    }
    if (out_dir.empty() && sheet.empty() && preview.empty() && icons.empty()) {
        return usage();
    }
    try {
        if (!icons.empty()) {
            assets::write_icons(icons);
            if (out_dir.empty() && sheet.empty() && preview.empty()) {
                assets::release_drawing_state();
                return 0;
            }
        }
        const std::vector<assets::Picture> pictures = assets::draw_pictures();
        if (!sheet.empty()) {
            assets::write_contact_sheet(pictures, sheet);
        }
        if (!preview.empty()) {
            assets::write_previews(pictures, preview);
        }
        if (!out_dir.empty()) {
            const std::filesystem::path dir(out_dir);
            std::filesystem::create_directories(dir);
            std::vector<packfile::Entry> entries;
            for (const assets::Picture& p : pictures) {
                entries.push_back({Archiv::Marker_Bild, assets::bmp_bytes(p)});
            }
            write_archive(dir / "Grafik.dat", entries, Grafik_Schluessel);

            entries.clear();
            for (const assets::Wave& w : assets::make_sounds()) {
                entries.push_back({Archiv::Marker_Sound, assets::wav_bytes(w)});
            }
            write_archive(dir / "Sound.dat", entries, Sound_Schluessel);

            for (const assets::Tune& t : assets::make_tunes()) {
                write_file(dir / t.file, assets::wav_bytes(t.wave));
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assets: %s\n", e.what());
        assets::release_drawing_state();
        return 1;
    }
    assets::release_drawing_state();
    return 0;
}
