#include "io/snapshot.h"

#include <cstring>

namespace qor
{

namespace
{

std::uint64_t mix(std::uint64_t h, std::uint64_t word)
{
    h = (h ^ word) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

} // namespace

// Eight bytes at a time: a 64 MB file is hashed in a few tens of
// milliseconds, a byte at a time it took several times longer.
void ContentHash::add(const char *bytes, std::size_t size)
{
    total_ += size;
    while (size && count_) {
        pending_ |= static_cast<std::uint64_t>(static_cast<unsigned char>(*bytes++)) << (8 * count_++);
        --size;
        if (count_ == 8) {
            h_ = mix(h_, pending_);
            pending_ = 0;
            count_ = 0;
        }
    }
    for (; size >= 8; size -= 8, bytes += 8) {
        std::uint64_t word = 0;
        for (unsigned n = 0; n < 8; ++n)
            word |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[n])) << (8 * n);
        h_ = mix(h_, word);
    }
    while (size--)
        pending_ |= static_cast<std::uint64_t>(static_cast<unsigned char>(*bytes++)) << (8 * count_++);
}

std::uint64_t ContentHash::value() const
{
    return mix(mix(h_, pending_), total_);
}

bool Snapshot::sameVersion(const Snapshot &other) const
{
    return state == other.state && kind == other.kind && size == other.size && modified == other.modified &&
           device == other.device && file == other.file && (!hashed || !other.hashed || hash == other.hash);
}

bool stillReplaceable(const Snapshot &now, const Snapshot &expected)
{
    return now.state == Snapshot::State::Missing || now.sameVersion(expected);
}

Snapshot writtenVersion(Snapshot file, std::string_view bytes)
{
    ContentHash hash;
    hash.add(bytes.data(), bytes.size());
    file.hash = hash.value();
    file.hashed = true;
    return file;
}

Snapshot placed(Snapshot version, const Snapshot &place)
{
    version.folder = place.folder;
    version.linkTarget = place.linkTarget;
    version.outsideFolder = place.outsideFolder;
    return version;
}

Snapshot snapshotOf(const std::string &name, Reading reading)
{
    return readSnapshot(name, reading);
}

} // namespace qor
