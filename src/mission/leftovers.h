#pragma once
// The lines of a read file that the form cannot hold. A hostile file can
// have millions of them: each line is one bit, and only the first ranges
// keep their reason, so the cost is an eighth of a byte a line whatever the
// file holds, and every text built from them stays short.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qor
{

struct Leftover {
    int firstLine = 0;
    int lastLine = 0;
    std::string reason; // "not a key the form has"
};

class Leftovers
{
  public:
    // Ranges kept with their reasons, the first by line.
    static constexpr std::size_t keptLimit = 500;

    // A comment is marked apart: a line whose only leftover is a comment may
    // still hold what the form holds ("showMap=1; // map on").
    void add(int firstLine, int lastLine, std::string_view reason, bool comment = false);

    // The first ranges by line, at most keptLimit, in line order.
    const std::vector<Leftover> &kept() const { return kept_; }
    bool empty() const { return kept_.empty(); }
    std::size_t size() const { return kept_.size(); }
    const Leftover &operator[](std::size_t n) const { return kept_[n]; }
    const Leftover &front() const { return kept_.front(); }
    auto begin() const { return kept_.begin(); }
    auto end() const { return kept_.end(); }

    // Lines covered, each once.
    std::uint64_t lineCount() const;
    // Whether `line` (from 1) is one the form cannot hold.
    bool covered(int line) const;
    // Whether a leftover other than a comment covers `line`.
    bool coveredBesidesComments(int line) const;
    // The first `most` ranges with touching ones merged, and the lines of
    // every range after them.
    std::pair<std::vector<std::pair<int, int>>, std::uint64_t> firstRanges(std::size_t most) const;

  private:
    std::vector<std::uint64_t> lines_;      // bit n: line n + 1
    std::vector<std::uint64_t> statements_; // the same, without comments
    std::vector<Leftover> kept_;
};

} // namespace qor
