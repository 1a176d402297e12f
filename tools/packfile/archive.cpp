#include "archive.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/bytes.h"

namespace packfile {

namespace {

// The zero-terminated text at p, ending at the zero byte or after `room` bytes.
std::string text_at(const std::uint8_t* p, std::size_t room) {
    const auto* c = reinterpret_cast<const char*>(p);
    return std::string(c, strnlen(c, room));
}

std::string fourcc(const std::uint8_t* p) {
    return printable(std::string(reinterpret_cast<const char*>(p), 4));
}

}  // namespace

bool build_archive(const std::vector<Entry>& entries, const std::string& key,
                   std::vector<std::uint8_t>& out, std::string& error) {
    if (entries.size() > static_cast<std::size_t>(Archiv::Max_Eintraege)) {
        error = "more than " + std::to_string(Archiv::Max_Eintraege) + " entries";
        return false;
    }
    if (key.size() != static_cast<std::size_t>(Archiv::Key_Laenge) ||
        key.find('\0') != std::string::npos) {
        error = "the key must be 16 characters";
        return false;
    }
    std::uint64_t total = Archiv::Trailergroesse;
    for (const Entry& e : entries) {
        total += e.bytes.size();
    }
    if (total > 0x7FFFFFFFull) {
        error = "archive larger than 2 GiB";
        return false;
    }
    out.clear();
    out.reserve(static_cast<std::size_t>(total));
    std::uint8_t trailer[Archiv::Trailergroesse] = {};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        le::put_i32(trailer + Archiv::Marker_Offset + 4 * i, entries[i].marker);
        le::put_i32(trailer + Archiv::Offsettabelle + 4 * i, static_cast<std::int32_t>(out.size()));
        out.insert(out.end(), entries[i].bytes.begin(), entries[i].bytes.end());
    }
    std::memcpy(trailer + Archiv::Tag_Offset, Archiv::Tag, std::strlen(Archiv::Tag) + 1);
    std::memcpy(trailer + Archiv::Key_Offset, key.c_str(), key.size() + 1);
    out.insert(out.end(), trailer, trailer + Archiv::Trailergroesse);
    return true;
}

bool inspect_bmp(const std::uint8_t* b, std::size_t available, BmpInfo& info, std::string& error) {
    info = BmpInfo{};
    if (available < 54) {
        error = "shorter than the BMP headers (" + std::to_string(available) + " bytes)";
        return false;
    }
    if (b[0] != 'B' || b[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    info.size_field = le::u32(b + 2);
    const std::uint32_t data_offset = le::u32(b + 10);
    const std::uint32_t header_size = le::u32(b + 14);
    info.width = le::i32(b + 18);
    info.height = le::i32(b + 22);
    const std::uint16_t planes = le::u16(b + 26);
    const std::uint16_t bits = le::u16(b + 28);
    const std::uint32_t compression = le::u32(b + 30);
    const std::uint32_t colours = le::u32(b + 46);
    if (header_size != 40) {
        error = "info header of " + std::to_string(header_size) +
                " bytes; only the 40-byte BITMAPINFOHEADER is read";
        return false;
    }
    if (bits != 8 || planes != 1) {
        error = std::to_string(bits) + " bits per pixel; 8-bit pictures needed";
        return false;
    }
    if (compression != 0) {
        error = "compressed (method " + std::to_string(compression) + "); uncompressed needed";
        return false;
    }
    if (colours != 0 && colours != 256) {
        error = "palette of " + std::to_string(colours) + " colours; 256 needed";
        return false;
    }
    if (info.height < 0) {
        error = "rows stored top-down; bottom-up rows needed";
        return false;
    }
    if (info.width <= 0 || info.height == 0) {
        error = "empty picture (" + std::to_string(info.width) + " x " +
                std::to_string(info.height) + ")";
        return false;
    }
    if (info.width % 4 != 0) {
        error = "width " + std::to_string(info.width) + " is not a multiple of 4";
        return false;
    }
    if (data_offset != kBmpPixelOffset) {
        error = "pixel data at byte " + std::to_string(data_offset) +
                ", not right after the 256-colour palette at byte 1078";
        return false;
    }
    const std::uint64_t end = kBmpPixelOffset + static_cast<std::uint64_t>(info.width) *
                                                    static_cast<std::uint64_t>(info.height);
    if (end > available) {
        error = "pixel data incomplete: " + std::to_string(info.width) + " x " +
                std::to_string(info.height) + " needs " + std::to_string(end) + " bytes, " +
                std::to_string(available) + " present";
        return false;
    }
    info.length = (info.size_field >= end && info.size_field <= available)
                      ? static_cast<std::size_t>(info.size_field)
                      : static_cast<std::size_t>(end);
    return true;
}

bool inspect_wav(const std::uint8_t* b, std::size_t available, WavInfo& info, std::string& error) {
    info = WavInfo{};
    if (available < 12 || std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    const std::uint64_t form_end = 8 + static_cast<std::uint64_t>(le::u32(b + 4));
    if (form_end > available) {
        error = "RIFF form of " + std::to_string(form_end) + " bytes, only " +
                std::to_string(available) + " present";
        return false;
    }
    if (form_end < 12) {
        error = "RIFF form too small to hold a WAVE";
        return false;
    }
    // The chunk search the game's loader does: from the form's start, each
    // chunk padded to an even size, within the form.
    std::uint64_t fmt = 0, fmt_size = 0, data = 0, data_size = 0;
    std::uint64_t pos = 12;
    while (pos + 8 <= form_end && (fmt == 0 || data == 0)) {
        const std::uint8_t* chunk = b + pos;
        const std::uint64_t size = le::u32(chunk + 4);
        const std::uint64_t body = pos + 8;
        const bool is_fmt = std::memcmp(chunk, "fmt ", 4) == 0 && fmt == 0;
        const bool is_data = std::memcmp(chunk, "data", 4) == 0 && data == 0;
        if (body + size > form_end) {
            if (is_fmt || is_data) {
                error = "chunk '" + fourcc(chunk) + "' runs past the end of the RIFF form";
                return false;
            }
            break;
        }
        if (is_fmt) {
            fmt = body;
            fmt_size = size;
        } else if (is_data) {
            data = body;
            data_size = size;
        }
        pos = body + size + (size & 1);
    }
    if (fmt == 0) {
        error = "no 'fmt ' chunk";
        return false;
    }
    if (data == 0) {
        error = "no 'data' chunk";
        return false;
    }
    if (fmt_size < 16) {
        error = "'fmt ' chunk of " + std::to_string(fmt_size) + " bytes; at least 16 needed";
        return false;
    }
    const std::uint8_t* f = b + fmt;
    info.format_tag = le::u16(f);
    info.channels = le::u16(f + 2);
    info.rate = le::u32(f + 4);
    info.block_align = le::u16(f + 12);
    info.bits = le::u16(f + 14);
    info.data_bytes = static_cast<std::uint32_t>(data_size);
    if (info.format_tag != 1) {
        error = "format tag " + std::to_string(info.format_tag) + "; PCM (1) needed";
        return false;
    }
    if (info.channels < 1 || info.channels > 2) {
        error = std::to_string(info.channels) + " channels; 1 or 2 needed";
        return false;
    }
    if (info.bits != 8 && info.bits != 16) {
        error = std::to_string(info.bits) + " bits per sample; 8 or 16 needed";
        return false;
    }
    if (info.rate < 1000 || info.rate > 192000) {
        error = "sample rate " + std::to_string(info.rate) + " Hz out of range";
        return false;
    }
    if (info.block_align != info.channels * info.bits / 8) {
        error = "block alignment " + std::to_string(info.block_align) + " does not match " +
                std::to_string(info.channels) + " channels of " + std::to_string(info.bits) +
                " bits";
        return false;
    }
    if (info.data_bytes < info.block_align) {
        error = "no samples";
        return false;
    }
    const std::uint64_t per_second = static_cast<std::uint64_t>(info.rate) * info.block_align;
    info.duration_ms = static_cast<std::uint32_t>(
        (static_cast<std::uint64_t>(info.data_bytes) * 1000 + per_second / 2) / per_second);
    // A RIFF form of odd size is followed by one pad byte when the file has it.
    info.length = static_cast<std::size_t>(form_end);
    if ((form_end & 1) != 0 && form_end < available) {
        info.length += 1;
    }
    return true;
}

bool read_trailer(const std::vector<std::uint8_t>& archive, Trailer& trailer) {
    trailer = Trailer{};
    if (archive.size() < static_cast<std::size_t>(Archiv::Trailergroesse)) {
        return false;
    }
    const std::uint8_t* t = archive.data() + archive.size() - Archiv::Trailergroesse;
    for (int i = 0; i < Archiv::Max_Eintraege; ++i) {
        trailer.markers[i] = le::i32(t + Archiv::Marker_Offset + 4 * i);
        trailer.offsets[i] = le::i32(t + Archiv::Offsettabelle + 4 * i);
    }
    // The game compares each text up to its zero byte, which may lie beyond
    // the field; the trailer's end stops it.
    trailer.tag = text_at(t + Archiv::Tag_Offset, Archiv::Trailergroesse - Archiv::Tag_Offset);
    trailer.key = text_at(t + Archiv::Key_Offset, Archiv::Trailergroesse - Archiv::Key_Offset);
    return true;
}

bool inspect_archive(const std::vector<std::uint8_t>& archive, ArchiveReport& report,
                     std::string& error) {
    report = ArchiveReport{};
    if (!read_trailer(archive, report.trailer)) {
        error = "shorter than a PackFile trailer (" + std::to_string(archive.size()) +
                " bytes, 564 needed)";
        return false;
    }
    if (report.trailer.tag != Archiv::Tag) {
        error = "not a PackFile archive (tag '" + printable(report.trailer.tag) + "')";
        return false;
    }
    const Trailer& t = report.trailer;
    const auto known = [&](int i) {
        return t.markers[i] == Archiv::Marker_Bild || t.markers[i] == Archiv::Marker_Sound;
    };
    int count = 0;
    for (int i = 0; i < Archiv::Max_Eintraege; ++i) {
        if (known(i)) {
            count = i + 1;
        }
    }
    const std::size_t data_end = archive.size() - Archiv::Trailergroesse;
    for (int i = 0; i < count; ++i) {
        EntryReport e;
        e.index = i;
        e.marker = t.markers[i];
        e.offset = t.offsets[i];
        e.kind = t.markers[i] == Archiv::Marker_Bild    ? Kind::Picture
                 : t.markers[i] == Archiv::Marker_Sound ? Kind::Sound
                                                        : Kind::Other;
        if (e.kind == Kind::Other) {
            e.problem = "marker " + std::to_string(e.marker) + " is neither a picture nor a sound";
        } else if (e.offset < 0 || static_cast<std::size_t>(e.offset) >= data_end) {
            e.problem = "offset " + std::to_string(e.offset) +
                        " lies outside the entries' data (0 to " + std::to_string(data_end) + ")";
        } else {
            // Entry lengths are not stored: an entry may run up to the next
            // entry's start or the trailer.
            std::size_t end = data_end;
            for (int j = 0; j < count; ++j) {
                if (known(j) && t.offsets[j] > e.offset &&
                    static_cast<std::size_t>(t.offsets[j]) < end) {
                    end = static_cast<std::size_t>(t.offsets[j]);
                }
            }
            e.limit = end - static_cast<std::size_t>(e.offset);
            const std::uint8_t* at = archive.data() + e.offset;
            e.readable = e.kind == Kind::Picture ? inspect_bmp(at, e.limit, e.bmp, e.problem)
                                                 : inspect_wav(at, e.limit, e.wav, e.problem);
        }
        report.entries.push_back(std::move(e));
    }
    return true;
}

std::string printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

}  // namespace packfile
