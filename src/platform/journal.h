// A session's journal: every value the game read from outside (the messages
// it took from the queue, the clock, the calendar, the login name, the sound
// device's progress, folder listings), in the order it read them. The real
// game writes one with --record; the headless backend replays one, handing
// the game the recorded values instead of its own, so that the game does
// exactly what it did. The file format is described in docs/recording.md.
//
// Every backend routine that hands the game such a value passes it through
// the matching hook below: while recording the hook writes it down, while
// replaying it returns the recorded one, otherwise it returns the value as is.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/system.h"

namespace platform {
struct Message;
}

namespace platform::journal {

constexpr std::uint16_t kFormatVersion = 1;
// Limits of the reader, so that a hostile file cannot ask for unbounded
// memory or time.
constexpr std::uint32_t kMaxBlock = 1u << 20;
constexpr std::uint64_t kMaxFile = 1ull << 30;
constexpr std::uint32_t kMaxText = 1u << 16;
constexpr std::uint32_t kMaxNames = 4096;
constexpr std::uint32_t kMaxFiles = 64;

// What kind of value a reading is; the numbers are those of the file.
enum class Kind : std::uint8_t {
    Tick = 1,
    NoMessage = 2,
    Message = 3,
    LocalTime = 4,
    UtcTime = 5,
    LoginName = 6,
    SoundStatus = 7,
    Names = 8,
    End = 9,
};
const char* kind_name(Kind kind);

// A file's size and CRC-32 as the game found it; size -1 when it was missing.
struct FileStamp {
    std::string name;
    std::int64_t size = -1;
    std::uint32_t crc = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of a file the game reads (looked up as File::open reads it).
FileStamp stamp(const std::string& name);

struct Header {
    std::string game_version;
    std::uint32_t depth = 0;  // the screen's bits per pixel
    bool fullscreen = false;
    std::vector<FileStamp> data;  // the checked data files
    // The player's files the game read at the start that are not checked
    // data (Score.dat): their whole contents, so a replay starts from them.
    struct Embedded {
        std::string name;
        bool present = false;
        std::string bytes;
    };
    std::vector<Embedded> embedded;
};

struct Reading {
    Kind kind = Kind::End;
    std::uint32_t number = 0;        // Tick, SoundStatus
    std::uint32_t msg = 0;           // Message
    std::uintptr_t wparam = 0;       // WPARAM
    std::intptr_t lparam = 0;        // LPARAM
    SystemTime time{};               // LocalTime, UtcTime
    std::string text;                // LoginName
    bool found = false;              // Names: whether the folder could be read
    std::vector<std::string> names;  // Names
};

// Encodes readings the way the file stores them (the tick as a difference
// to the one before).
class Encoder {
   public:
    void put(const Reading& r, std::vector<std::uint8_t>& out);

   private:
    std::uint32_t last_tick_ = 0;
};

// Reads a journal from any source of bytes. open() checks the whole file
// first (magic, version, every block's length and CRC, every reading's
// form), so a file changed in any whole block is refused before anything is
// replayed; a file cut off in its last block (a crash or a kill while
// recording) is accepted up to its last whole block.
class Reader {
   public:
    // Reads up to n bytes at offset into out; the count read.
    using Source =
        std::function<std::size_t(std::uint64_t offset, std::uint8_t* out, std::size_t n)>;

    bool open(Source source, std::uint64_t size, std::string& error);
    const Header& header() const { return header_; }
    // Whether the file ends without the end mark (cut off).
    bool cut_off() const { return cut_off_; }
    // The next reading; false after the last one (the End reading is
    // returned as one).
    bool next(Reading& r);

   private:
    bool load_block(std::uint64_t& offset, std::vector<std::uint8_t>& payload, bool& whole,
                    std::string& error);
    bool scan(std::string& error);

    Source source_;
    std::uint64_t size_ = 0;
    std::uint64_t first_block_ = 0;
    std::uint64_t end_ = 0;  // offset after the last whole block
    Header header_;
    bool cut_off_ = false;
    // Replay position.
    std::uint64_t offset_ = 0;
    std::vector<std::uint8_t> block_;
    std::size_t pos_ = 0;
    std::uint32_t last_tick_ = 0;
};

// Reads a file's journal; false with the reason when it is refused.
bool open_file(const std::string& path, Reader& reader, std::string& error);

// --- the session's journal --------------------------------------------------

enum class Mode { Off, Record, Replay };
Mode mode();

// Starts writing path: the header now, readings as they come, on a
// background thread that writes a block at least every half second. False
// with the reason when the file cannot be made.
bool record_begin(const std::string& path, const Header& header, std::string& error);
// Writes the end mark and the rest, and closes the file.
void record_end();

// Starts handing out the readings of reader (which stays with the journal).
void replay_begin(Reader reader);
// At the game's end: whether the recording ends here too; else a message.
bool replay_finish(std::string& message);
void replay_end();

// Thrown out of a hook when the replay cannot go on: the recording ends
// (cut off) or the game asks for something else than the recording has next.
struct Stop {
    bool cut_off = false;
    std::string message;
};

// The pass of the main loop the game is in, for the messages of a replay.
void set_pass(std::uint64_t pass);
// The tick count the game read last (0 before the first): the clock of a
// trace that must read the same in the real run and in its replay.
std::uint32_t last_tick();

// The hooks: live is what the backend found; the result is what the game
// gets.
std::uint32_t tick(std::uint32_t live);
// found/m: what the queue gave. The result says whether there is a message
// (in m, without its window, which the caller fills in).
bool message(bool found, Message& m);
SystemTime time(Kind kind, const SystemTime& live);
std::string login_name(const std::string& live);
std::uint32_t sound_status(std::uint32_t live);
// A folder listing: found says whether the folder could be read, names its
// entries; both may be replaced by the recorded ones.
bool listing(bool found, std::vector<std::string>& names);

}  // namespace platform::journal
