#include "io/snapshot.h"

#include <string_view>

namespace qor
{

namespace
{

std::uint64_t fnv1a(std::string_view bytes)
{
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

} // namespace

bool Snapshot::sameVersion(const Snapshot &other) const
{
    return state == other.state && size == other.size && modified == other.modified && hash == other.hash;
}

Snapshot snapshotOf(const std::string &name)
{
    Snapshot s = readSnapshot(name);
    if (s.state == Snapshot::State::Read)
        s.hash = fnv1a(s.bytes);
    return s;
}

} // namespace qor
