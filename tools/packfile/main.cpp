// packfile: builds, lists, extracts and checks PackFile archives.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "archive.h"
#include "convert.h"
#include "core/bytes.h"
#include "core/nummern.h"
#include "game_check.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: packfile build ARCHIVE --key KEY [--strict] FILE...\n"
    "       packfile list ARCHIVE\n"
    "       packfile extract ARCHIVE DIR\n"
    "       packfile check ARCHIVE [--key KEY] [--pictures N] [--sounds N]\n"
    "       packfile --help | --version\n"
    "\n"
    "PackFile archives hold complete BMP and WAV files followed by a 564-byte\n"
    "trailer with each entry's kind and offset, the tag \"PackFile-1.2\" and a\n"
    "16-character identity key.\n"
    "\n"
    "  build    writes ARCHIVE from the FILEs in the given order (entry i is the\n"
    "           i-th FILE, at most 50). Pictures and sounds already in the form the\n"
    "           game reads (8-bit BMP with a 256-colour palette, a 40-byte info\n"
    "           header, bottom-up rows and a width that is a multiple of 4; WAV as\n"
    "           PCM of 8 or 16 bits, mono or stereo) are stored as they are. Other\n"
    "           BMP and PNG pictures become such 8-bit BMPs (pure green 0x00FF00\n"
    "           and pixels less than half opaque become the transparent key), other\n"
    "           WAV files (8 to 32 bits, float, extensible, any channels and rate)\n"
    "           16-bit PCM; each conversion is shown in one line. --strict converts\n"
    "           nothing and refuses what is not in the game's form.\n"
    "  list     shows the tag, the key and every entry with its kind, offset and\n"
    "           picture size or sound format.\n"
    "  extract  writes every entry into DIR as NN.bmp or NN.wav (NN = entry).\n"
    "  check    checks the tag, the key (with --key) and that every entry reads as\n"
    "           the game reads it, loading each with the game's own loaders and\n"
    "           showing the game's messages for those it refuses; --pictures N:\n"
    "           entries 0 to N-1 are pictures (with N = 39 also of the game's\n"
    "           picture sizes); --sounds N: entries 0 to N-1 are sounds. Exit\n"
    "           status 0 only when everything holds.\n"
    "\n"
    "Exit status: 0 success, 1 bad input or a failed check, 2 wrong usage.\n"
    "\n"
    "Part of Bramblecourt, free software under the MIT licence (see --version).\n";

const char* const kVersion = "packfile (Bramblecourt) " BRAMBLE_VERSION
                             "\n"
                             "Copyright (c) 2026 The Bramblecourt authors\n"
                             "Free software under the MIT licence: see the file LICENSE\n"
                             "(/usr/share/doc/bramblecourt/copyright in the Debian package).\n"
                             "There is NO WARRANTY, to the extent permitted by law.\n";

int usage_error(const std::string& problem) {
    std::fprintf(stderr, "packfile: %s\n%s", problem.c_str(), kUsage);
    return kExitUsage;
}

void fail(const std::string& file, const std::string& problem) {
    std::fprintf(stderr, "packfile: %s: %s\n", file.c_str(), problem.c_str());
}

// Reads a whole regular file; archives and entries stay below 2 GiB.
bool read_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) {
        error = "no such file";
        return false;
    }
    if (!fs::is_regular_file(st)) {
        error = "not a regular file";
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    bytes.clear();
    std::uint8_t chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (bytes.size() + n > 0x7FFFFFFFu) {
            std::fclose(f);
            error = "larger than 2 GiB";
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    const bool bad = std::ferror(f) != 0;
    std::fclose(f);
    if (bad) {
        error = "read error";
        return false;
    }
    return true;
}

// Writes through a temporary file and a rename, so a failure never leaves a
// half-written file under the real name.
bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes,
                std::string& error) {
    const std::string temp = path + ".part";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) {
        error = std::string("cannot write: ") + std::strerror(errno);
        return false;
    }
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    std::error_code ec;
    if (!written || !closed) {
        fs::remove(temp, ec);
        error = "cannot write: disk full or I/O error";
        return false;
    }
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        error = "cannot write: " + ec.message();
        return false;
    }
    return true;
}

bool valid_key(const std::string& key) {
    if (key.size() != static_cast<std::size_t>(Archiv::Key_Laenge)) {
        return false;
    }
    for (unsigned char c : key) {
        if (c < 0x21 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

bool parse_count(const std::string& text, int& value) {
    if (text.empty() || text.size() > 3) {
        return false;
    }
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return value <= Archiv::Max_Eintraege;
}

bool load_archive(const std::string& path, std::vector<std::uint8_t>& bytes,
                  packfile::ArchiveReport& report) {
    std::string error;
    if (!read_file(path, bytes, error) || !packfile::inspect_archive(bytes, report, error)) {
        fail(path, error);
        return false;
    }
    return true;
}

const char* kind_name(packfile::Kind kind) {
    switch (kind) {
        case packfile::Kind::Picture:
            return "picture";
        case packfile::Kind::Sound:
            return "sound";
        default:
            return "other";
    }
}

// Makes e.bytes (a whole file) an entry of the archive: a picture or sound
// already in the game's form is stored as it is, anything else is converted
// (unless strict), with a line on what was done in `converted`.
bool take_entry(packfile::Entry& e, bool strict, std::string& converted, std::string& error) {
    const std::uint8_t* b = e.bytes.data();
    const std::size_t n = e.bytes.size();
    packfile::Conversion conversion;
    if (n >= 2 && b[0] == 'B' && b[1] == 'M') {
        e.marker = Archiv::Marker_Bild;
        packfile::BmpInfo info;
        if (packfile::inspect_bmp(b, n, info, error)) {
            if (info.size_field == n) {
                return true;
            }
            // The archive stores no lengths: extraction relies on the
            // header's own size.
            error = "the header gives a file size of " + std::to_string(info.size_field) +
                    " bytes, the file has " + std::to_string(n);
            if (strict) {
                return false;
            }
            // Only the size is wrong: the picture is kept byte for byte.
            e.bytes.resize(info.length);
            le::put_u32(e.bytes.data() + 2, static_cast<std::uint32_t>(info.length));
            converted = "kept as it is, as a file of " + std::to_string(info.length) +
                        " bytes (its header said " + std::to_string(info.size_field) +
                        ", the file had " + std::to_string(n) + ")";
            return true;
        }
        if (strict || !packfile::convert_picture(b, n, conversion, error)) {
            return false;
        }
    } else if (!strict && packfile::is_png(b, n)) {
        e.marker = Archiv::Marker_Bild;
        if (!packfile::convert_picture(b, n, conversion, error)) {
            return false;
        }
    } else if (n >= 4 && std::memcmp(b, "RIFF", 4) == 0) {
        e.marker = Archiv::Marker_Sound;
        packfile::WavInfo info;
        if (packfile::inspect_wav(b, n, info, error)) {
            if (info.length == n) {
                return true;
            }
            error = std::to_string(n - info.length) + " bytes after the end of the RIFF form";
            if (strict) {
                return false;
            }
            converted = "kept as it is, without the " + std::to_string(n - info.length) +
                        " bytes after its RIFF form";
            e.bytes.resize(info.length);
            return true;
        }
        if (strict || !packfile::convert_sound(b, n, conversion, error)) {
            return false;
        }
    } else {
        error = strict ? "neither a BMP picture nor a WAV sound"
                       : "neither a BMP or PNG picture nor a WAV sound";
        return false;
    }
    e.bytes = std::move(conversion.bytes);
    converted = conversion.summary;
    return true;
}

int cmd_build(const std::vector<std::string>& args) {
    std::string archive;
    std::string key;
    bool have_key = false;
    bool strict = false;
    std::vector<std::string> files;
    bool options_done = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!options_done && a == "--") {
            options_done = true;
        } else if (!options_done && a == "--strict") {
            strict = true;
        } else if (!options_done && a == "--key") {
            if (i + 1 >= args.size()) {
                return usage_error("--key needs a value");
            }
            key = args[++i];
            have_key = true;
        } else if (!options_done && a.size() > 1 && a[0] == '-') {
            return usage_error("unknown option " + a);
        } else if (archive.empty()) {
            archive = a;
        } else {
            files.push_back(a);
        }
    }
    if (archive.empty()) {
        return usage_error("build needs an ARCHIVE");
    }
    if (!have_key) {
        return usage_error("build needs --key KEY");
    }
    if (files.empty()) {
        return usage_error("build needs at least one FILE");
    }
    if (!valid_key(key)) {
        fail(archive,
             "the key '" + packfile::printable(key) +
                 "': a key is 16 printable ASCII characters without spaces (this one has " +
                 std::to_string(key.size()) + " bytes)");
        return kExitFailed;
    }
    if (files.size() > static_cast<std::size_t>(Archiv::Max_Eintraege)) {
        fail(archive, std::to_string(files.size()) + " files; an archive holds at most " +
                          std::to_string(Archiv::Max_Eintraege) + " entries");
        return kExitFailed;
    }
    std::vector<packfile::Entry> entries;
    std::vector<std::string> conversions;
    for (const std::string& file : files) {
        packfile::Entry e;
        std::string error;
        std::string converted;
        if (!read_file(file, e.bytes, error) || !take_entry(e, strict, converted, error)) {
            fail(file, error);
            return kExitFailed;
        }
        if (!converted.empty()) {
            conversions.push_back("entry " + std::to_string(entries.size()) + " from " + file +
                                  ": " + converted);
        }
        entries.push_back(std::move(e));
    }
    std::vector<std::uint8_t> out;
    std::string error;
    if (!packfile::build_archive(entries, key, out, error) || !write_file(archive, out, error)) {
        fail(archive, error);
        return kExitFailed;
    }
    for (const std::string& line : conversions) {
        std::printf("%s\n", line.c_str());
    }
    std::printf("%s: %zu entries, %zu bytes\n", archive.c_str(), entries.size(), out.size());
    return kExitOk;
}

int cmd_list(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return usage_error("list needs exactly one ARCHIVE");
    }
    std::vector<std::uint8_t> bytes;
    packfile::ArchiveReport report;
    if (!load_archive(args[0], bytes, report)) {
        return kExitFailed;
    }
    std::printf("archive %s, %zu bytes\n", args[0].c_str(), bytes.size());
    std::printf("tag     %s\n", packfile::printable(report.trailer.tag).c_str());
    std::printf("key     %s\n", packfile::printable(report.trailer.key).c_str());
    std::printf("entries %zu\n", report.entries.size());
    for (const packfile::EntryReport& e : report.entries) {
        std::printf("%3d  %-7s  offset %10d  ", e.index, kind_name(e.kind), e.offset);
        if (!e.readable) {
            std::printf("unreadable: %s\n", e.problem.c_str());
        } else if (e.kind == packfile::Kind::Picture) {
            std::printf("%d x %d\n", e.bmp.width, e.bmp.height);
        } else {
            std::printf("%u ch, %u Hz, %u bit, %u ms\n", e.wav.channels, e.wav.rate, e.wav.bits,
                        e.wav.duration_ms);
        }
    }
    return kExitOk;
}

int cmd_extract(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return usage_error("extract needs an ARCHIVE and a DIR");
    }
    const std::string& archive = args[0];
    const fs::path dir = args[1];
    std::vector<std::uint8_t> bytes;
    packfile::ArchiveReport report;
    if (!load_archive(archive, bytes, report)) {
        return kExitFailed;
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) {
        fail(dir.string(), "cannot make this folder");
        return kExitFailed;
    }
    int status = kExitOk;
    int written = 0;
    for (const packfile::EntryReport& e : report.entries) {
        if (!e.readable) {
            fail(archive, "entry " + std::to_string(e.index) + ": " + e.problem);
            status = kExitFailed;
            continue;
        }
        char name[16];
        std::snprintf(name, sizeof name, "%02d.%s", e.index,
                      e.kind == packfile::Kind::Picture ? "bmp" : "wav");
        const std::size_t length = e.kind == packfile::Kind::Picture ? e.bmp.length : e.wav.length;
        const auto first = bytes.begin() + e.offset;
        const std::vector<std::uint8_t> entry(first, first + static_cast<std::ptrdiff_t>(length));
        const std::string path = (dir / name).string();
        std::string error;
        if (!write_file(path, entry, error)) {
            fail(path, error);
            return kExitFailed;
        }
        ++written;
    }
    std::printf("%s: %d entries written to %s\n", archive.c_str(), written, dir.string().c_str());
    return status;
}

int cmd_check(const std::vector<std::string>& args) {
    std::string archive;
    std::string key;
    bool have_key = false;
    int pictures = 0;
    int sounds = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--key" || a == "--pictures" || a == "--sounds") {
            if (i + 1 >= args.size()) {
                return usage_error(a + " needs a value");
            }
            const std::string& v = args[++i];
            if (a == "--key") {
                key = v;
                have_key = true;
            } else if (!parse_count(v, a == "--pictures" ? pictures : sounds)) {
                return usage_error(a + " needs a number from 0 to 50, not '" + v + "'");
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return usage_error("unknown option " + a);
        } else if (archive.empty()) {
            archive = a;
        } else {
            return usage_error("check takes one ARCHIVE");
        }
    }
    if (archive.empty()) {
        return usage_error("check needs an ARCHIVE");
    }
    if (pictures > 0 && sounds > 0) {
        return usage_error("--pictures and --sounds both name entries from 0 on; give one");
    }
    std::vector<std::uint8_t> bytes;
    packfile::ArchiveReport report;
    if (!load_archive(archive, bytes, report)) {
        return kExitFailed;
    }
    int problems = 0;
    const auto problem = [&](const std::string& text) {
        fail(archive, text);
        ++problems;
    };
    if (have_key && report.trailer.key != key) {
        problem("key '" + packfile::printable(report.trailer.key) + "', expected '" +
                packfile::printable(key) + "'");
    }
    const int wanted = pictures > 0 ? pictures : sounds;
    const packfile::Kind wanted_kind =
        pictures > 0 ? packfile::Kind::Picture : packfile::Kind::Sound;
    // What the game's own loaders say of each entry, by entry.
    std::vector<std::string> refused(report.entries.size());
    for (const packfile::GameRefusal& r : packfile::load_as_the_game(archive, report)) {
        if (r.index < 0) {
            problem(r.messages);
        } else {
            refused[static_cast<std::size_t>(r.index)] = r.messages;
        }
    }
    int picture_count = 0;
    int sound_count = 0;
    for (const packfile::EntryReport& e : report.entries) {
        const std::string where = "entry " + std::to_string(e.index) + ": ";
        if (e.index < wanted && e.kind != wanted_kind) {
            problem(where + kind_name(e.kind) + ", expected a " + kind_name(wanted_kind));
            continue;
        }
        if (!e.readable) {
            problem(where + e.problem);
            continue;
        }
        if (e.kind == packfile::Kind::Picture) {
            ++picture_count;
            // Only the game's pictures have a size to compare with; the
            // entries after them have none.
            if (pictures == Bild::Anzahl && e.index < Bild::Anzahl) {
                const Bildgroesse& s = Bildgroessen[e.index];
                if (e.bmp.width != s.Breite || e.bmp.height != s.Hoehe) {
                    problem(where + std::to_string(e.bmp.width) + " x " +
                            std::to_string(e.bmp.height) + ", the game needs " +
                            std::to_string(s.Breite) + " x " + std::to_string(s.Hoehe));
                }
            }
        } else {
            ++sound_count;
        }
        if (!refused[static_cast<std::size_t>(e.index)].empty()) {
            problem(where + "the game refuses it: " + refused[static_cast<std::size_t>(e.index)]);
        }
    }
    const int present = static_cast<int>(report.entries.size());
    if (present < wanted) {
        problem((present + 1 == wanted
                     ? "entry " + std::to_string(present)
                     : "entries " + std::to_string(present) + " to " + std::to_string(wanted - 1)) +
                ": missing, expected " +
                (wanted_kind == packfile::Kind::Picture ? "pictures" : "sounds"));
    }
    if (problems > 0) {
        return kExitFailed;
    }
    std::printf("%s: ok, %d picture%s, %d sound%s\n", archive.c_str(), picture_count,
                picture_count == 1 ? "" : "s", sound_count, sound_count == 1 ? "" : "s");
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage_error("no command given");
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "--version" || command == "version") {
        std::fputs(kVersion, stdout);
        return kExitOk;
    }
    try {
        if (command == "build") {
            return cmd_build(args);
        }
        if (command == "list") {
            return cmd_list(args);
        }
        if (command == "extract") {
            return cmd_extract(args);
        }
        if (command == "check") {
            return cmd_check(args);
        }
    } catch (const std::exception& e) {
        // Out of memory for a huge input, or a file system error.
        std::fprintf(stderr, "packfile: %s\n", e.what());
        return kExitFailed;
    }
    return usage_error("unknown command '" + command + "'");
}
