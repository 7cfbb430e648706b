#pragma once
// description.ext as found on disk at one moment, with what tells one version
// of it from another. Reading it is the disk's job; what the bytes mean is
// the mission's.

#include <cstdint>
#include <string>
#include <string_view>

namespace qor
{

// How much of the file a snapshot reads.
enum class Reading : std::uint8_t {
    Whole,    // the bytes, kept
    Version,  // the bytes hashed on the way, none kept: memory stays flat
    Identity, // size, time and identity only: no byte read
};

struct Snapshot {
    enum class State : std::uint8_t { Missing, Read, NotAFile, Unreadable, TooLarge };
    // What stands in the file's place when it is not a file.
    enum class Kind : std::uint8_t { File, Folder, Fifo, Device, Socket, Other };
    State state = State::Missing;
    Kind kind = Kind::File;
    std::string bytes;  // Read, Reading::Whole: the whole file
    std::string reason; // Unreadable: the system's reason
    std::uint64_t size = 0;
    std::int64_t modified = 0; // the file system's own clock ticks
    std::uint64_t device = 0;  // with file: which file this is, however renamed
    std::uint64_t file = 0;
    std::uint64_t hash = 0; // of the bytes, where hashed
    bool hashed = false;
    std::string linkTarget;     // description.ext is a link to this, as the link says
    bool outsideFolder = false; // the link leads out of the folder
    std::string folder;         // the working folder as the system names it now

    // Where both were hashed, the bytes decide too: another program's edit
    // can keep the size and the time.
    bool sameVersion(const Snapshot &other) const;
};

// Whether a press that let itself replace `expected` may replace `now`: the
// same version, or no file at all, where nothing can be lost.
bool stillReplaceable(const Snapshot &now, const Snapshot &expected);

// The version of `bytes` written into the file `file` describes (its
// identity, size and time, from its own descriptor or handle).
Snapshot writtenVersion(Snapshot file, std::string_view bytes);

// `version` with where `place` looked for it: the working folder's name and
// the link that led there, which tell where a file is, not which it is.
Snapshot placed(Snapshot version, const Snapshot &place);

// A snapshot's `modified` as seconds since 1970, for showing it: each system
// keeps its own ticks.
std::int64_t secondsSince1970(std::int64_t modified);

// Larger files are not read: no mission file comes near this.
inline constexpr std::uint64_t maxFileSize = 64u << 20;

// Reads description.ext (name relative to the working folder, as the file
// sink writes it) from the disk.
Snapshot snapshotOf(const std::string &name, Reading reading = Reading::Whole);

// The system's part of snapshotOf, through the platform's own calls (one
// implementation file per platform; the standard library's streams would
// bring its whole locale machinery into the Windows program).
Snapshot readSnapshot(const std::string &name, Reading reading);

// Hashes bytes in pieces; the same bytes give the same hash however cut.
class ContentHash
{
  public:
    void add(const char *bytes, std::size_t size);
    std::uint64_t value() const;

  private:
    std::uint64_t h_ = 14695981039346656037ull;
    std::uint64_t pending_ = 0;
    unsigned count_ = 0; // bytes in pending_
    std::uint64_t total_ = 0;
};

} // namespace qor
