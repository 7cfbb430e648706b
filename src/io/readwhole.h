#pragma once
// The read loop both platforms' readSnapshot share.

#include "io/snapshot.h"

#include <array>

namespace qor::detail
{

// Reads a file to its end, hashing it on the way: into s.bytes for
// Reading::Whole (from the size the system reported, growing if the file
// grew meanwhile), through one small buffer otherwise. readSome(buffer,
// room) returns the bytes read, 0 at the end, or a negative number on a
// failure the caller keeps the reason of. False on failure; a file that
// grows past maxFileSize makes s TooLarge.
template <typename ReadSome> bool readWhole(Snapshot &s, Reading reading, ReadSome readSome)
{
    if (reading == Reading::Identity) {
        s.state = Snapshot::State::Read;
        return true;
    }
    const bool keep = reading == Reading::Whole;
    std::array<char, 64 * 1024> piece;
    if (keep) // one byte more: the read that finds the end needs no growing
        s.bytes.resize(static_cast<std::size_t>(s.size) + 1);
    ContentHash hash;
    std::size_t have = 0;
    for (;;) {
        if (keep && have == s.bytes.size())
            s.bytes.resize(have + 4096);
        char *to = keep ? s.bytes.data() + have : piece.data();
        const long long n = readSome(to, keep ? s.bytes.size() - have : piece.size());
        if (n < 0)
            return false;
        if (n == 0)
            break;
        hash.add(to, static_cast<std::size_t>(n));
        have += static_cast<std::size_t>(n);
        if (have > maxFileSize) {
            s = Snapshot{};
            s.state = Snapshot::State::TooLarge;
            s.size = have;
            return true;
        }
    }
    if (keep)
        s.bytes.resize(have);
    s.size = have;
    s.hash = hash.value();
    s.hashed = true;
    s.state = Snapshot::State::Read;
    return true;
}

} // namespace qor::detail
