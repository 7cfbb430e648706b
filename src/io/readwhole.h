#pragma once
// The read loop both platforms' readSnapshot share.

#include "io/snapshot.h"

namespace qor::detail
{

// Reads a file to its end into s.bytes, starting from the size the system
// reported (s.size) and growing if the file grew meanwhile. readSome(buffer,
// room) returns the bytes read, 0 at the end, or a negative number on a
// failure the caller keeps the reason of. False on failure; a file that grows
// past maxFileSize makes s TooLarge.
template <typename ReadSome> bool readWhole(Snapshot &s, ReadSome readSome)
{
    s.bytes.resize(static_cast<std::size_t>(s.size));
    std::size_t have = 0;
    for (;;) {
        if (have == s.bytes.size())
            s.bytes.resize(have + 4096);
        const long long n = readSome(s.bytes.data() + have, s.bytes.size() - have);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        have += static_cast<std::size_t>(n);
        if (have > maxFileSize) {
            s = Snapshot{};
            s.state = Snapshot::State::TooLarge;
            s.size = have;
            return true;
        }
    }
    s.bytes.resize(have);
    s.size = have;
    s.state = Snapshot::State::Read;
    return true;
}

} // namespace qor::detail
