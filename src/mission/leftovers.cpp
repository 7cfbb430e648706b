#include "mission/leftovers.h"

#include <algorithm>
#include <bit>

namespace qor
{

namespace
{

bool bitAt(const std::vector<std::uint64_t> &bits, int line)
{
    const auto n = static_cast<std::size_t>(line - 1);
    return n / 64 < bits.size() && (bits[n / 64] >> (n % 64) & 1);
}

void setBits(std::vector<std::uint64_t> &bits, std::size_t first, std::size_t last)
{
    if (last / 64 >= bits.size())
        bits.resize(std::max(last / 64 + 1, bits.size() * 3 / 2), 0);
    for (std::size_t word = first / 64; word <= last / 64; ++word) {
        const std::size_t from = word == first / 64 ? first % 64 : 0;
        const std::size_t to = word == last / 64 ? last % 64 : 63;
        const std::uint64_t high = to == 63 ? ~0ull : (1ull << (to + 1)) - 1;
        bits[word] |= high & ~((1ull << from) - 1);
    }
}

} // namespace

void Leftovers::add(int firstLine, int lastLine, std::string_view reason, bool comment)
{
    if (firstLine < 1 || lastLine < firstLine)
        return;
    const auto first = static_cast<std::size_t>(firstLine - 1);
    const auto last = static_cast<std::size_t>(lastLine - 1);
    setBits(lines_, first, last);
    if (!comment)
        setBits(statements_, first, last);
    // Mostly in line order: a class entry's own range comes after the lines
    // inside it.
    if (kept_.size() == keptLimit && firstLine >= kept_.back().firstLine)
        return;
    const auto at = std::upper_bound(kept_.begin(), kept_.end(), firstLine,
                                     [](int line, const Leftover &l) { return line < l.firstLine; });
    kept_.insert(at, {firstLine, lastLine, std::string(reason)});
    if (kept_.size() > keptLimit)
        kept_.pop_back();
}

bool Leftovers::covered(int line) const
{
    return bitAt(lines_, line);
}

bool Leftovers::coveredBesidesComments(int line) const
{
    return bitAt(statements_, line);
}

std::uint64_t Leftovers::lineCount() const
{
    std::uint64_t n = 0;
    for (const std::uint64_t word : lines_)
        n += static_cast<std::uint64_t>(std::popcount(word));
    return n;
}

std::pair<std::vector<std::pair<int, int>>, std::uint64_t> Leftovers::firstRanges(std::size_t most) const
{
    std::vector<std::pair<int, int>> ranges;
    std::uint64_t named = 0;
    const int end = static_cast<int>(lines_.size() * 64);
    for (int line = 1; line <= end && ranges.size() < most;) {
        const auto word = static_cast<std::size_t>(line - 1) / 64;
        if (lines_[word] == 0 && (line - 1) % 64 == 0) {
            line += 64;
            continue;
        }
        if (!covered(line)) {
            ++line;
            continue;
        }
        const int first = line;
        while (line <= end && covered(line))
            ++line;
        ranges.emplace_back(first, line - 1);
        named += static_cast<std::uint64_t>(line - first);
    }
    return {ranges, lineCount() - named};
}

} // namespace qor
