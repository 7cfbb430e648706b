#pragma once
// A read description.ext -> the form. The loader puts into the form what a
// press would write back the same way, and reports everything else: each
// leftover is a range of lines the next press drops, with the reason; each
// guess is a choice the file left open.
//
//   header: the two script names and the briefing options (keys in any
//           case, briefing values 0, 1 or 2)
//   class Weapons:   the weapon entries, each ticking its weapon
//   class Magazines: the magazine entries, each ticking the weapon that
//           governs its box; a shared magazine's total goes to one weapon's
//           box; the Kozlice's ammunition ticks the Kozlice too
//
// Everything the form holds that the file does not give keeps its start value,
// as a greyed box or an unticked count leaves no trace in a file.

#include "format/reader.h"
#include "mission/leftovers.h"
#include "press/form.h"

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

struct Loaded {
    Form form; // the start values, then what the file gives
    LoadReport report;
};

// A refused file gives the start values and reports nothing.
Loaded loadForm(const ReadFile &file);
// The same straight from the bytes, statement by statement: memory stays
// that of the leftovers' line marks whatever the file holds.
Loaded loadDescription(std::string_view bytes);

} // namespace qor
