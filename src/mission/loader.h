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
#include "press/form.h"

#include <string>
#include <vector>

namespace qor
{

struct Leftover {
    int firstLine = 0;
    int lastLine = 0;
    std::string reason; // "not a key the form has"
};

struct Guess {
    int line = 0;
    std::string what;
};

struct LoadReport {
    std::vector<Leftover> leftovers; // in line order
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

} // namespace qor
