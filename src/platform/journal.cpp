#include "platform/journal.h"

#include <zlib.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/file.h"
#include "platform/window.h"

namespace platform::journal {

namespace {

constexpr char kMagic[8] = {'B', 'R', 'A', 'M', 'B', 'R', 'E', 'C'};
constexpr std::size_t kPrefix = 12;     // magic, version, reserved
constexpr std::size_t kBlockHead = 12;  // length, its complement, CRC-32
constexpr std::size_t kBlockTarget = 256 * 1024;
constexpr std::size_t kHandOver = 16 * 1024;
constexpr auto kFlushEvery = std::chrono::milliseconds(500);

std::uint32_t crc32_of(const std::uint8_t* p, std::size_t n) {
    uLong c = crc32(0L, Z_NULL, 0);
    while (n > 0) {
        const uInt step = static_cast<uInt>(n > (1u << 30) ? (1u << 30) : n);
        c = crc32(c, p, step);
        p += step;
        n -= step;
    }
    return static_cast<std::uint32_t>(c);
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

std::uint32_t get_u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void put_varint(std::vector<std::uint8_t>& out, std::uint64_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(v));
}

std::uint64_t zigzag(std::int64_t v) {
    return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}

std::int64_t unzigzag(std::uint64_t v) {
    return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
}

void put_text(std::vector<std::uint8_t>& out, const std::string& s) {
    put_varint(out, s.size());
    out.insert(out.end(), s.begin(), s.end());
}

// Bounds-checked reading of a block's payload: every get fails (and stays
// failed) rather than read past the end.
class Cursor {
   public:
    Cursor(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
    bool ok() const { return ok_; }
    bool done() const { return pos_ >= n_; }
    std::size_t pos() const { return pos_; }
    std::uint8_t byte() {
        if (!ok_ || pos_ >= n_) {
            ok_ = false;
            return 0;
        }
        return p_[pos_++];
    }
    std::uint64_t varint() {
        std::uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const std::uint8_t b = byte();
            v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if ((b & 0x80) == 0) {
                return v;
            }
        }
        ok_ = false;
        return 0;
    }
    std::uint64_t varint_max(std::uint64_t max) {
        const std::uint64_t v = varint();
        if (v > max) {
            ok_ = false;
            return 0;
        }
        return v;
    }
    std::string text(std::uint32_t max) {
        const std::uint64_t n = varint_max(max);
        if (!ok_ || n > n_ - pos_) {
            ok_ = false;
            return {};
        }
        std::string s(reinterpret_cast<const char*>(p_ + pos_), static_cast<std::size_t>(n));
        pos_ += static_cast<std::size_t>(n);
        return s;
    }

   private:
    const std::uint8_t* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

std::vector<std::uint8_t> encode_header(const Header& h) {
    std::vector<std::uint8_t> out;
    put_text(out, h.game_version);
    put_varint(out, h.depth);
    out.push_back(h.fullscreen ? 1 : 0);
    put_varint(out, h.data.size());
    for (const FileStamp& f : h.data) {
        put_text(out, f.name);
        put_varint(out, zigzag(f.size));
        put_varint(out, f.crc);
    }
    put_varint(out, h.embedded.size());
    for (const Header::Embedded& e : h.embedded) {
        put_text(out, e.name);
        out.push_back(e.present ? 1 : 0);
        put_text(out, e.bytes);
    }
    return out;
}

bool decode_header(Cursor& c, Header& h) {
    h.game_version = c.text(256);
    h.depth = static_cast<std::uint32_t>(c.varint_max(64));
    h.fullscreen = c.byte() != 0;
    const std::uint64_t files = c.varint_max(kMaxFiles);
    for (std::uint64_t i = 0; i < files && c.ok(); ++i) {
        FileStamp f;
        f.name = c.text(1024);
        f.size = unzigzag(c.varint());
        f.crc = static_cast<std::uint32_t>(c.varint_max(0xFFFFFFFFu));
        h.data.push_back(std::move(f));
    }
    const std::uint64_t embedded = c.varint_max(kMaxFiles);
    for (std::uint64_t i = 0; i < embedded && c.ok(); ++i) {
        Header::Embedded e;
        e.name = c.text(1024);
        e.present = c.byte() != 0;
        e.bytes = c.text(kMaxText);
        h.embedded.push_back(std::move(e));
    }
    return c.ok() && c.done();
}

// One reading from c; false when the bytes are not one.
bool decode_reading(Cursor& c, std::uint32_t& last_tick, Reading& r) {
    r = Reading{};
    const std::uint8_t b = c.byte();
    if (!c.ok()) {
        return false;
    }
    if (b & 0x80) {
        r.kind = Kind::Tick;
        last_tick += b & 0x7Fu;
        r.number = last_tick;
        return true;
    }
    r.kind = static_cast<Kind>(b);
    switch (r.kind) {
        case Kind::Tick:
            last_tick += static_cast<std::uint32_t>(c.varint_max(0xFFFFFFFFu));
            r.number = last_tick;
            break;
        case Kind::NoMessage:
        case Kind::End:
            break;
        case Kind::Message:
            r.msg = static_cast<std::uint32_t>(c.varint_max(0xFFFFFFFFu));
            r.wparam = static_cast<WPARAM>(c.varint());
            r.lparam = static_cast<LPARAM>(unzigzag(c.varint()));
            break;
        case Kind::LocalTime:
        case Kind::UtcTime: {
            std::uint16_t v[8];
            for (std::uint16_t& x : v) {
                x = static_cast<std::uint16_t>(c.varint_max(0xFFFF));
            }
            r.time = SystemTime{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
            break;
        }
        case Kind::LoginName:
            r.text = c.text(kMaxText);
            break;
        case Kind::SoundStatus:
            r.number = static_cast<std::uint32_t>(c.varint_max(0xFFFFFFFFu));
            break;
        case Kind::Names: {
            r.found = c.byte() != 0;
            const std::uint64_t n = c.varint_max(kMaxNames);
            for (std::uint64_t i = 0; i < n && c.ok(); ++i) {
                r.names.push_back(c.text(kMaxText));
            }
            break;
        }
        default:
            return false;
    }
    return c.ok();
}

}  // namespace

const char* kind_name(Kind kind) {
    switch (kind) {
        case Kind::Tick:
            return "the tick count";
        case Kind::NoMessage:
            return "an empty message queue";
        case Kind::Message:
            return "a message";
        case Kind::LocalTime:
            return "the local time";
        case Kind::UtcTime:
            return "the UTC time";
        case Kind::LoginName:
            return "the login name";
        case Kind::SoundStatus:
            return "a sound's status";
        case Kind::Names:
            return "a folder listing";
        case Kind::End:
            return "the end of the game";
    }
    return "an unknown reading";
}

FileStamp stamp(const std::string& name) {
    FileStamp s;
    s.name = name;
    std::unique_ptr<File> f = File::open(name.c_str(), File::Mode::Read);
    if (f == nullptr) {
        return s;
    }
    uLong c = crc32(0L, Z_NULL, 0);
    std::vector<std::uint8_t> buf(1 << 16);
    std::int64_t total = 0;
    for (;;) {
        const std::int64_t n = f->read(buf.data(), buf.size());
        if (n <= 0) {
            if (n < 0) {
                return FileStamp{name, -1, 0};
            }
            break;
        }
        c = crc32(c, buf.data(), static_cast<uInt>(n));
        total += n;
    }
    s.size = total;
    s.crc = static_cast<std::uint32_t>(c);
    return s;
}

void Encoder::put(const Reading& r, std::vector<std::uint8_t>& out) {
    switch (r.kind) {
        case Kind::Tick: {
            const std::uint32_t delta = r.number - last_tick_;
            last_tick_ = r.number;
            if (delta < 0x80) {
                out.push_back(static_cast<std::uint8_t>(0x80 | delta));
            } else {
                out.push_back(static_cast<std::uint8_t>(Kind::Tick));
                put_varint(out, delta);
            }
            return;
        }
        case Kind::NoMessage:
        case Kind::End:
            out.push_back(static_cast<std::uint8_t>(r.kind));
            return;
        case Kind::Message:
            out.push_back(static_cast<std::uint8_t>(r.kind));
            put_varint(out, r.msg);
            put_varint(out, static_cast<std::uint64_t>(r.wparam));
            put_varint(out, zigzag(static_cast<std::int64_t>(r.lparam)));
            return;
        case Kind::LocalTime:
        case Kind::UtcTime: {
            out.push_back(static_cast<std::uint8_t>(r.kind));
            const SystemTime& t = r.time;
            for (std::uint16_t v : {t.year, t.month, t.day_of_week, t.day, t.hour, t.minute,
                                    t.second, t.milliseconds}) {
                put_varint(out, v);
            }
            return;
        }
        case Kind::LoginName:
            out.push_back(static_cast<std::uint8_t>(r.kind));
            put_text(out, r.text);
            return;
        case Kind::SoundStatus:
            out.push_back(static_cast<std::uint8_t>(r.kind));
            put_varint(out, r.number);
            return;
        case Kind::Names:
            out.push_back(static_cast<std::uint8_t>(r.kind));
            out.push_back(r.found ? 1 : 0);
            put_varint(out, r.names.size());
            for (const std::string& n : r.names) {
                put_text(out, n);
            }
            return;
    }
}

// --- reading ------------------------------------------------------------------

bool Reader::load_block(std::uint64_t& offset, std::vector<std::uint8_t>& payload, bool& whole,
                        std::string& error) {
    whole = false;
    std::uint8_t head[kBlockHead];
    if (size_ - offset < kBlockHead || source_(offset, head, kBlockHead) != kBlockHead) {
        return true;  // cut off inside the block's head
    }
    const std::uint32_t length = get_u32(head);
    if (length != ~get_u32(head + 4) || length == 0 || length > kMaxBlock) {
        error = "the recording is damaged: the block at byte " + std::to_string(offset) +
                " has no valid length";
        return false;
    }
    if (size_ - offset - kBlockHead < length) {
        return true;  // cut off inside the block
    }
    payload.resize(length);
    if (source_(offset + kBlockHead, payload.data(), length) != length) {
        return true;
    }
    if (crc32_of(payload.data(), length) != get_u32(head + 8)) {
        error = "the recording is damaged: the block at byte " + std::to_string(offset) +
                " does not match its checksum";
        return false;
    }
    offset += kBlockHead + length;
    whole = true;
    return true;
}

bool Reader::open(Source source, std::uint64_t size, std::string& error) {
    *this = Reader{};
    source_ = std::move(source);
    size_ = size;
    if (size > kMaxFile) {
        error =
            "the recording is larger than " + std::to_string(kMaxFile >> 20) + " MiB; refusing it";
        return false;
    }
    std::uint8_t prefix[kPrefix];
    if (size < kPrefix || source_(0, prefix, kPrefix) != kPrefix ||
        std::memcmp(prefix, kMagic, sizeof kMagic) != 0) {
        error = "not a recording of this game";
        return false;
    }
    const std::uint16_t version = static_cast<std::uint16_t>(prefix[8] | prefix[9] << 8);
    if (version != kFormatVersion) {
        error = "the recording has format version " + std::to_string(version) +
                "; this program reads version " + std::to_string(kFormatVersion);
        return false;
    }
    if (prefix[10] != 0 || prefix[11] != 0) {
        error = "the recording is damaged: its first bytes are not those of a recording";
        return false;
    }
    std::uint64_t offset = kPrefix;
    std::vector<std::uint8_t> payload;
    bool whole = false;
    if (!load_block(offset, payload, whole, error)) {
        return false;
    }
    if (!whole) {
        error = "the recording is cut off inside its header";
        return false;
    }
    Cursor c(payload.data(), payload.size());
    if (!decode_header(c, header_)) {
        error = "the recording's header is damaged";
        return false;
    }
    first_block_ = offset;
    return scan(error);
}

// Checks every block after the header and the readings in it.
bool Reader::scan(std::string& error) {
    std::uint64_t offset = first_block_;
    std::vector<std::uint8_t> payload;
    std::uint32_t tick = 0;
    bool ended = false;
    for (;;) {
        const std::uint64_t at = offset;
        bool whole = false;
        if (!load_block(offset, payload, whole, error)) {
            return false;
        }
        if (!whole) {
            end_ = at;
            cut_off_ = !ended;
            if (ended && at != size_) {
                error = "the recording has bytes after its end";
                return false;
            }
            break;
        }
        if (ended) {
            error = "the recording has blocks after its end";
            return false;
        }
        Cursor c(payload.data(), payload.size());
        Reading r;
        while (!c.done()) {
            if (ended) {
                error = "the recording has readings after its end";
                return false;
            }
            if (!decode_reading(c, tick, r)) {
                error = "the recording is damaged: a reading in the block at byte " +
                        std::to_string(at) + " cannot be read";
                return false;
            }
            ended = r.kind == Kind::End;
        }
    }
    offset_ = first_block_;
    return true;
}

bool Reader::next(Reading& r) {
    while (pos_ >= block_.size()) {
        if (offset_ >= end_) {
            return false;
        }
        bool whole = false;
        std::string error;
        if (!load_block(offset_, block_, whole, error) || !whole) {
            offset_ = end_;
            block_.clear();
            return false;
        }
        pos_ = 0;
    }
    Cursor c(block_.data() + pos_, block_.size() - pos_);
    if (!decode_reading(c, last_tick_, r)) {
        pos_ = block_.size();
        offset_ = end_;
        return false;
    }
    pos_ += c.pos();
    return true;
}

bool open_file(const std::string& path, Reader& reader, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = "cannot read the recording " + path + ": not a file";
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    std::shared_ptr<std::FILE> f(std::fopen(path.c_str(), "rb"), [](std::FILE* p) {
        if (p != nullptr) {
            std::fclose(p);
        }
    });
    if (ec || f == nullptr) {
        error = "cannot read the recording " + path;
        return false;
    }
    auto source = [f](std::uint64_t offset, std::uint8_t* out, std::size_t n) -> std::size_t {
        if (std::fseek(f.get(), static_cast<long>(offset), SEEK_SET) != 0) {
            return 0;
        }
        return std::fread(out, 1, n, f.get());
    };
    return reader.open(source, size, error);
}

// --- the session --------------------------------------------------------------

namespace {

class Recorder {
   public:
    Recorder(std::FILE* f) : file_(f) {}
    ~Recorder() { finish(); }

    void start() {
        thread_ = std::thread([this] { run(); });
    }

    // The game thread gathers its readings without a lock and hands them to
    // the writer once a pass (at the empty queue that ends the pass's
    // messages) or when many have piled up. A block is cut where the pending
    // bytes pass kBlockTarget; a hand-over is at most kHandOver plus one
    // reading (a listing is kept under kBlockTarget), so no block comes near
    // kMaxBlock.
    void add(const Reading& r) {
        encoder_.put(r, staged_);
        if (r.kind == Kind::NoMessage || r.kind == Kind::End || staged_.size() > kHandOver) {
            hand_over();
        }
    }

    void hand_over() {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::size_t base = pending_.size();
        if (base - (cuts_.empty() ? 0 : cuts_.back()) + staged_.size() > kBlockTarget) {
            cuts_.push_back(base);
        }
        pending_.insert(pending_.end(), staged_.begin(), staged_.end());
        staged_.clear();
    }

    void finish() {
        if (file_ == nullptr) {
            return;
        }
        hand_over();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        if (thread_.joinable()) {
            thread_.join();
        }
        std::fclose(file_);
        file_ = nullptr;
    }

    bool write_block(const std::uint8_t* p, std::size_t n) {
        std::vector<std::uint8_t> head;
        put_u32(head, static_cast<std::uint32_t>(n));
        put_u32(head, ~static_cast<std::uint32_t>(n));
        put_u32(head, crc32_of(p, n));
        return std::fwrite(head.data(), 1, head.size(), file_) == head.size() &&
               std::fwrite(p, 1, n, file_) == n;
    }

   private:
    void run() {
        std::vector<std::uint8_t> out;
        std::vector<std::size_t> cuts;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait_for(lock, kFlushEvery, [this] { return stop_; });
            out.clear();
            cuts.clear();
            std::swap(out, pending_);
            std::swap(cuts, cuts_);
            const bool last = stop_;
            lock.unlock();
            cuts.push_back(out.size());
            std::size_t from = 0;
            bool ok = true;
            for (std::size_t to : cuts) {
                if (to > from) {
                    ok = write_block(out.data() + from, to - from) && ok;
                }
                from = to;
            }
            ok = std::fflush(file_) == 0 && ok;
            if (!ok && !failed_) {
                failed_ = true;
                std::fprintf(stderr, "recording: cannot write the recording; it ends here\n");
            }
            lock.lock();
            if (last) {
                return;
            }
        }
    }

    std::FILE* file_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::uint8_t> pending_;
    std::vector<std::size_t> cuts_;
    bool stop_ = false;
    bool failed_ = false;
    // The game thread's.
    Encoder encoder_;
    std::vector<std::uint8_t> staged_;
};

struct Session {
    Mode mode = Mode::Off;
    std::unique_ptr<Recorder> recorder;
    Reader reader;
    std::uint64_t pass = 0;
    std::uint32_t last_tick = 0;
};

Session& session() {
    static Session s;
    return s;
}

std::string where() {
    return "pass " + std::to_string(session().pass);
}

// The next recorded reading; at the end of a cut-off recording the replay
// stops.
Reading take_any() {
    Reading r;
    if (!session().reader.next(r)) {
        throw Stop{true, "the recording ends in " + where() + " (cut off: the recording " +
                             "stopped there, as when the game was killed)"};
    }
    return r;
}

[[noreturn]] void departs(const char* asked, Kind had) {
    throw Stop{false, where() + ": the game departs from the recording: it asks for " +
                          std::string(asked) + ", the recording has " + kind_name(had) + " next"};
}

// The next recorded reading, which must be of the kind the game asks for.
Reading take(Kind want) {
    Reading r = take_any();
    if (r.kind != want) {
        departs(kind_name(want), r.kind);
    }
    return r;
}

void note(const Reading& r) {
    session().recorder->add(r);
}

}  // namespace

Mode mode() {
    return session().mode;
}

bool record_begin(const std::string& path, const Header& header, std::string& error) {
    Session& s = session();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        error = "cannot write the recording " + path + ": " + std::strerror(errno);
        return false;
    }
    s.recorder = std::make_unique<Recorder>(f);
    std::vector<std::uint8_t> prefix(kMagic, kMagic + sizeof kMagic);
    prefix.push_back(static_cast<std::uint8_t>(kFormatVersion));
    prefix.push_back(static_cast<std::uint8_t>(kFormatVersion >> 8));
    prefix.push_back(0);
    prefix.push_back(0);
    const std::vector<std::uint8_t> h = encode_header(header);
    if (std::fwrite(prefix.data(), 1, prefix.size(), f) != prefix.size() ||
        !s.recorder->write_block(h.data(), h.size()) || std::fflush(f) != 0) {
        error = "cannot write the recording " + path + ": " + std::strerror(errno);
        s.recorder.reset();
        return false;
    }
    s.recorder->start();
    s.mode = Mode::Record;
    s.pass = 0;
    s.last_tick = 0;
    return true;
}

void record_end() {
    Session& s = session();
    if (s.mode != Mode::Record) {
        return;
    }
    Reading end;
    end.kind = Kind::End;
    note(end);
    s.recorder->finish();
    s.recorder.reset();
    s.mode = Mode::Off;
}

void replay_begin(Reader reader) {
    Session& s = session();
    s.reader = std::move(reader);
    s.mode = Mode::Replay;
    s.pass = 0;
    s.last_tick = 0;
}

bool replay_finish(std::string& message) {
    Session& s = session();
    Reading r;
    if (!s.reader.next(r)) {
        message = "the game ended in " + where() + " where the recording is cut off";
        return true;
    }
    if (r.kind != Kind::End) {
        message = where() + ": the game ended, but the recording goes on with " +
                  std::string(kind_name(r.kind));
        return false;
    }
    return true;
}

void replay_end() {
    Session& s = session();
    s.mode = Mode::Off;
    s.reader = Reader{};
}

void set_pass(std::uint64_t pass) {
    session().pass = pass;
}

std::uint32_t last_tick() {
    return session().last_tick;
}

std::uint32_t tick(std::uint32_t live) {
    Session& s = session();
    if (s.mode == Mode::Replay) {
        live = take(Kind::Tick).number;
    } else if (s.mode == Mode::Record) {
        Reading r;
        r.kind = Kind::Tick;
        r.number = live;
        note(r);
    }
    s.last_tick = live;
    return live;
}

bool message(bool found, Message& m) {
    Session& s = session();
    if (s.mode == Mode::Replay) {
        // Either is what the game asks for: the queue's next message or none.
        const Reading r = take_any();
        if (r.kind == Kind::NoMessage) {
            return false;
        }
        if (r.kind != Kind::Message) {
            departs("the next message", r.kind);
        }
        m.msg = r.msg;
        m.wparam = r.wparam;
        m.lparam = r.lparam;
        return true;
    }
    if (s.mode == Mode::Record) {
        Reading r;
        r.kind = found ? Kind::Message : Kind::NoMessage;
        r.msg = m.msg;
        r.wparam = m.wparam;
        r.lparam = m.lparam;
        note(r);
    }
    return found;
}

SystemTime time(Kind kind, const SystemTime& live) {
    Session& s = session();
    if (s.mode == Mode::Replay) {
        return take(kind).time;
    }
    if (s.mode == Mode::Record) {
        Reading r;
        r.kind = kind;
        r.time = live;
        note(r);
    }
    return live;
}

std::string login_name(const std::string& live) {
    Session& s = session();
    if (s.mode == Mode::Replay) {
        return take(Kind::LoginName).text;
    }
    if (s.mode == Mode::Record) {
        Reading r;
        r.kind = Kind::LoginName;
        r.text = live.substr(0, kMaxText);
        note(r);
        return r.text;
    }
    return live;
}

std::uint32_t sound_status(std::uint32_t live) {
    Session& s = session();
    if (s.mode == Mode::Replay) {
        return take(Kind::SoundStatus).number;
    }
    if (s.mode == Mode::Record) {
        Reading r;
        r.kind = Kind::SoundStatus;
        r.number = live;
        note(r);
    }
    return live;
}

bool listing(bool found, std::vector<std::string>& names) {
    Session& s = session();
    if (s.mode == Mode::Replay) {
        Reading r = take(Kind::Names);
        names = std::move(r.names);
        return r.found;
    }
    if (s.mode == Mode::Record) {
        // A listing the format cannot hold is cut to what it can: the game
        // sees what the recording keeps.
        if (names.size() > kMaxNames) {
            names.resize(kMaxNames);
        }
        std::size_t total = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i].size() > 1024 || (total += names[i].size() + 2) > kBlockTarget) {
                names.resize(i);
                break;
            }
        }
        Reading r;
        r.kind = Kind::Names;
        r.found = found;
        r.names = names;
        note(r);
    }
    return found;
}

}  // namespace platform::journal
