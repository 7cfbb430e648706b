#pragma once
// Keeping what the form does not hold. A press builds the whole file from the
// form; keep() splices the lines of the read file that the loader left over
// back into those bytes, verbatim and in the file's own order relative to
// what the form writes:
//
//   at the top level   before the first thing the form writes that followed
//                      them in the file (the header, a section), else at the end
//   inside a section   before the first entry the form writes that followed
//                      them in that section, else before the section's "};"
//
// Only what would make the file contradict itself is not kept: a key the
// header writes, a second section, an entry the form writes in the same
// section, a key or class inside an entry the form writes in its own shape,
// and anything sharing a line with what the form writes. Lines of a section
// the press leaves out go with it.

#include "format/reader.h"
#include "mission/loader.h"

#include <string>
#include <string_view>
#include <vector>

namespace qor
{

// A section the read file has and the press leaves out.
struct DroppedSection {
    std::string_view title; // "Weapons"
    int entries = 0;        // class entries the file lists in it
};

struct Kept {
    std::string bytes;             // the press with the kept lines in place
    std::vector<Leftover> kept;    // written back, in line order
    std::vector<Leftover> unkept;  // dropped: the reason says why they contradict
    std::vector<Leftover> dropped; // in a section the press leaves out
    std::vector<DroppedSection> sections;
    bool utf8 = false; // written as UTF-8 with its mark: a kept line needs it
};

// fileBytes: the file as read; file: readDescription(fileBytes) (not refused);
// leftovers: what loadForm reported for it; pressed: the bytes of a press.
// A statement on a line the loader marked is taken as not held, but for the
// first Weapons and Magazines sections: whatever that makes of a line shared
// with what the form holds, it is asked about, never kept twice.
Kept keep(std::string_view fileBytes, const ReadFile &file, const Leftovers &leftovers, std::string_view pressed);

// Where each line begins, counted as the reader counts lines (CR LF, LF or
// CR); line n starts at [n - 1].
std::vector<std::size_t> lineStarts(std::string_view bytes, bool utf8);

} // namespace qor
