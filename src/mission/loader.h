#pragma once
// A read description.ext -> the form. The loader puts into the form what a
// press would write back the same way, notes where each of those values
// stands in the bytes (Places, what a press edits), and reports everything
// else: each leftover is a range of lines the form cannot hold, which a press
// leaves as it stands, with the reason; each guess is a choice the file left
// open.
//
//   header: the two script names and the briefing options (keys in any
//           case, briefing values 0, 1 or 2)
//   class Weapons:   the weapon entries, each ticking its weapon
//   class Magazines: the magazine entries, each ticking the weapon that
//           governs its box; a shared magazine's total goes to one weapon's
//           box; the Kozlice's ammunition without the Kozlice is a leftover,
//           since ticking the Kozlice would make a press add it
//
// Everything the form holds that the file does not give keeps its start value,
// as a greyed box or an unticked count leaves no trace in a file.

#include "format/reader.h"
#include "mission/leftovers.h"
#include "press/form.h"
#include "press/sections.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor
{

// Longer script names stay aside: no game file name comes near it, and a
// window's text box laid out with megabytes of text takes gigabytes.
inline constexpr std::size_t longestScriptName = 32767; // bytes as written

struct Guess {
    int line = 0;
    std::string what;
};

struct LoadReport {
    std::optional<Refusal> refusal; // set: the form holds its start values
    Leftovers leftovers;
    std::vector<Guess> guesses;
    bool hasWeapons = false;
    bool hasMagazines = false;
    int items = 0;    // class entries taken into the form
    int scripts = 0;  // script names taken
    int briefing = 0; // briefing options taken
};

// The header keys the form holds, in the press's order: txti1, txti2, then
// chki1, chki2, ...
inline constexpr std::size_t headerKeyCount = 2 + briefingOptions.size();
std::string_view headerKey(std::size_t key);
ControlId headerControl(std::size_t key);

inline constexpr std::size_t mostSectionEntries = std::max(weaponEntries.size(), magazineEntries.size());

// Where a header key stands: the statement the form's value came from, or
// else the first that sets the key.
struct KeyPlace {
    bool found = false;
    bool taken = false;                       // its value is the form's
    std::size_t begin = 0, end = 0;           // the statement
    std::size_t valueBegin = 0, valueEnd = 0; // its value as written, quotes included
    ValueShape shape = ValueShape::Word;
    // Its value runs on into what reads as another statement ("showMap = 1
    // showGPS = 0;"): no press splits it, or edits it.
    bool runsOn = false;
};

// Where a section entry stands: its first listing.
struct EntryPlace {
    bool found = false;
    std::size_t begin = 0, end = 0; // "class <name>" to its "};"
    std::size_t close = 0;          // its "}"
    bool hasCount = false;
    std::size_t countBegin = 0, countEnd = 0; // the first count's value
    std::size_t countStatementEnd = 0;        // and its statement's end
};

struct SectionPlace {
    bool found = false;
    std::size_t begin = 0, end = 0; // "class <title>" to its "};"
    std::size_t close = 0;          // its "}", or the #if it closes within
    bool closesInCondition = false;
    std::array<EntryPlace, mostSectionEntries> entries; // by table row
    // The first line that defines the section, or each entry, in a way the
    // form cannot hold (a declaration, a macro call naming it): a press that
    // adds one asks first. 0: none.
    int elsewhere = 0;
    std::array<int, mostSectionEntries> entriesElsewhere{};
};

// A later or conditional copy of what the form holds: a key or section given
// again, an entry listed again, a key, entry or section between #if and
// #endif.
struct Repeat {
    std::uint32_t begin = 0, end = 0; // the statement or block
};

// Repeats in file order, held in blocks of a fixed size: a file of nothing
// but repeats costs eight bytes a repeat, never a doubling on top.
class RepeatList
{
  public:
    static constexpr std::size_t block = 1024;
    void push_back(Repeat r)
    {
        if (blocks_.empty() || blocks_.back().size() == block) {
            blocks_.emplace_back();
            blocks_.back().reserve(block);
        }
        blocks_.back().push_back(r);
        ++size_;
    }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Repeat operator[](std::size_t n) const { return blocks_[n / block][n % block]; }

  private:
    std::vector<std::vector<Repeat>> blocks_;
    std::size_t size_ = 0;
};

// Where everything the form holds stands in the bytes read: what a press
// edits. Its size is fixed but for the repeats, each smaller than the bytes
// it points to.
struct Places {
    std::array<KeyPlace, headerKeyCount> keys;
    std::array<SectionPlace, 2> sections; // Weapons, Magazines
    std::array<RepeatList, headerKeyCount> keyRepeats;
    std::array<RepeatList, 2> sectionRepeats;
    std::array<std::array<RepeatList, mostSectionEntries>, 2> entryRepeats;
};

struct Loaded {
    Form form; // the start values, then what the file gives
    LoadReport report;
    Encoding encoding = Encoding::CodePage;
    Places places;
};

// A refused file gives the start values and reports nothing.
Loaded loadForm(const ReadFile &file);
// The same straight from the bytes, statement by statement: memory stays
// that of the leftovers' line marks and the repeats whatever the file holds.
// A file of valid UTF-8 is read as UTF-8, with or without its mark, unless
// `encoding` says how to read it.
Loaded loadDescription(std::string_view bytes, std::optional<Encoding> encoding = std::nullopt);

} // namespace qor
