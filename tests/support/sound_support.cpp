#include "support/sound_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "archive.h"
#include "support/game_data.h"

namespace bramble_test {

namespace {

void put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

std::uint32_t get32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

}  // namespace

Bytes chunk(const char id[4], const Bytes& data) {
    Bytes b(id, id + 4);
    put32(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() % 2 != 0) {
        b.push_back(0);
    }
    return b;
}

WavSpec wav_spec(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    WavSpec s;
    s.channels = channels;
    s.rate = rate;
    s.bits = bits;
    return s;
}

Bytes wav(const WavSpec& s, const Bytes& data) {
    Bytes fmt;
    put16(fmt, s.tag);
    put16(fmt, s.channels);
    put32(fmt, s.rate);
    const std::uint16_t align =
        s.block_align != 0 ? s.block_align : static_cast<std::uint16_t>(s.channels * s.bits / 8);
    put32(fmt, s.rate * align);
    put16(fmt, align);
    put16(fmt, s.bits);
    if (s.fmt_size >= 18) {
        put16(fmt, 0);
    }
    Bytes data_chunk{'d', 'a', 't', 'a'};
    put32(data_chunk, s.data_size >= 0 ? static_cast<std::uint32_t>(s.data_size)
                                       : static_cast<std::uint32_t>(data.size()));
    data_chunk.insert(data_chunk.end(), data.begin(), data.end());
    if (data.size() % 2 != 0) {
        data_chunk.push_back(0);
    }
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& c : s.chunks_before) {
        body.insert(body.end(), c.begin(), c.end());
    }
    const Bytes fmt_chunk = chunk("fmt ", fmt);
    if (s.data_first) {
        body.insert(body.end(), data_chunk.begin(), data_chunk.end());
        body.insert(body.end(), fmt_chunk.begin(), fmt_chunk.end());
    } else {
        body.insert(body.end(), fmt_chunk.begin(), fmt_chunk.end());
        body.insert(body.end(), data_chunk.begin(), data_chunk.end());
    }
    Bytes out{'R', 'I', 'F', 'F'};
    put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes pcm16(const std::vector<std::int16_t>& samples) {
    Bytes b;
    for (std::int16_t s : samples) {
        put16(b, static_cast<std::uint16_t>(s));
    }
    return b;
}

std::vector<std::int16_t> tone(double freq, int rate, int frames, double amplitude, int channels) {
    std::vector<std::int16_t> out;
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(
            std::lround(amplitude * std::sin(2.0 * M_PI * freq * i / rate)));
        for (int c = 0; c < channels; ++c) {
            out.push_back(v);
        }
    }
    return out;
}

Bytes sound_archive(const std::vector<std::pair<std::int32_t, Bytes>>& entries,
                    const std::string& key) {
    std::vector<packfile::Entry> list;
    for (const auto& [marker, bytes] : entries) {
        list.push_back(packfile::Entry{marker, bytes});
    }
    Bytes out;
    std::string error;
    if (!packfile::build_archive(list, key, out, error)) {
        throw std::runtime_error("build_archive: " + error);
    }
    return out;
}

Verzeichnis verzeichnis_of(const Bytes& a) {
    Verzeichnis v{};
    std::memcpy(v.bytes, a.data() + a.size() - bramble_test::kVerzeichnisGroesse,
                bramble_test::kVerzeichnisGroesse);
    return v;
}

void write_file(const std::string& path, const Bytes& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Bytes read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Capture read_capture(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    Bytes b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    Capture c;
    if (b.size() < 44 || std::memcmp(b.data(), "RIFF", 4) != 0 ||
        std::memcmp(b.data() + 36, "data", 4) != 0) {
        return c;
    }
    const std::size_t n = std::min<std::size_t>(get32(b, 40), b.size() - 44) / 2;
    c.samples.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        c.samples[i] = static_cast<std::int16_t>(b[44 + 2 * i] | (b[45 + 2 * i] << 8));
    }
    return c;
}

double Capture::rms(int channel, std::size_t from, std::size_t to) const {
    to = std::min(to, frames());
    if (to <= from) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const double v = at(i, channel);
        sum += v * v;
    }
    return std::sqrt(sum / static_cast<double>(to - from));
}

double Capture::amplitude_at(double freq, int channel, std::size_t from, std::size_t to) const {
    to = std::min(to, frames());
    if (to <= from) {
        return 0.0;
    }
    const double w = 2.0 * M_PI * freq / 44100.0;
    const double k = 2.0 * std::cos(w);
    double s1 = 0.0;
    double s2 = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const double s0 = at(i, channel) + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - k * s1 * s2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(to - from);
}

std::size_t Capture::sounding_frames(int threshold, std::size_t* first) const {
    std::size_t a = frames();
    std::size_t z = 0;
    for (std::size_t i = 0; i < frames(); ++i) {
        if (std::abs(at(i, 0)) > threshold || std::abs(at(i, 1)) > threshold) {
            a = std::min(a, i);
            z = i + 1;
        }
    }
    if (first != nullptr) {
        *first = a;
    }
    return z > a ? z - a : 0;
}

double Capture::crossings_per_second(int channel, std::size_t from, std::size_t to) const {
    to = std::min(to, frames());
    int n = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (at(i - 1, channel) < 0 && at(i, channel) >= 0) {
            ++n;
        }
    }
    return to > from ? n * 44100.0 / static_cast<double>(to - from) : 0.0;
}

bool have_lame() {
    return std::system("command -v lame >/dev/null 2>&1") == 0;
}

bool make_mp3(const std::string& path, double freq, int rate, int frames) {
    const std::string source = path + ".source.wav";
    write_file(source, wav(wav_spec(1, static_cast<std::uint32_t>(rate)),
                           pcm16(tone(freq, rate, frames, 12000))));
    const std::string cmd = "lame --quiet -b 128 '" + source + "' '" + path + "'";
    const bool ok = std::system(cmd.c_str()) == 0;
    std::filesystem::remove(source);
    return ok;
}

std::string scratch_dir(const std::string& name) {
    // The test output folder, found as output_dir() finds it; not called from
    // here so that SDL tests can use these helpers without the headless fixture.
    const char* env = std::getenv("BRAMBLE_TEST_OUTPUT");
    const std::string base = env != nullptr ? env : std::string(BRAMBLE_BUILD_DIR) + "/test-output";
    // One folder per test case: CTest runs the cases side by side.
    std::string dir = base + "/" + name;
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
        dir += std::string(".") + info->test_suite_name() + "." + info->name();
    }
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

InDirectory::InDirectory(const std::string& dir)
    : previous_(std::filesystem::current_path().string()) {
    std::filesystem::current_path(dir);
}

InDirectory::~InDirectory() {
    std::filesystem::current_path(previous_);
}

}  // namespace bramble_test
