#pragma once
// description.ext as found on disk at one moment, with what tells one version
// of it from another. Reading it is the disk's job; what the bytes mean is
// the mission's.

#include <cstdint>
#include <string>

namespace qor
{

struct Snapshot {
    enum class State : std::uint8_t { Missing, Read, NotAFile, Unreadable, TooLarge };
    State state = State::Missing;
    std::string bytes;  // Read: the whole file
    std::string reason; // Unreadable: the system's reason
    std::uint64_t size = 0;
    std::int64_t modified = 0; // the file system's own clock ticks
    std::uint64_t hash = 0;    // of the bytes

    bool sameVersion(const Snapshot &other) const;
};

// Larger files are not read: no mission file comes near this.
inline constexpr std::uint64_t maxFileSize = 64u << 20;

// Reads description.ext (name relative to the working folder, as the file
// sink writes it) from the disk.
Snapshot snapshotOf(const std::string &name);

// The system's part of snapshotOf: state, bytes, reason, size and time, read
// through the platform's own calls (one implementation file per platform;
// the standard library's streams would bring its whole locale machinery
// into the Windows program).
Snapshot readSnapshot(const std::string &name);

} // namespace qor
