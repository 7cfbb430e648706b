#pragma once
// Random hand edits of a file the press wrote: what a mission maker adds
// beside the form's lines (keys, comments, classes, add-on entries), each put
// where the file stays readable, and how they lay out the form's own lines
// (blanks, one-line entries, keys in any case and order, line ends). Shared
// by the property test and the fuzz target, so that both exercise the same
// edits.

#include "formrecord.h"
#include "mission/edit.h"

#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace qor::test
{

// `pressed` with `count` edits spliced in at line boundaries: top-level
// edits between top-level lines, entry edits between a section's entries.
// None names anything the form writes.
std::string spliceHandEdits(const std::string &pressed, std::mt19937 &rng, int count);

// `pressed` laid out by hand, meaning the same, with CR LF still: blanks
// and ";" around the header's keys, keys in other cases and places, blank
// lines dropped or added, entries on one line, in another order or with
// their class names in another case, comments closing lines.
std::string reshape(const std::string &pressed, std::mt19937 &rng);
// CR LF made LF or CR throughout, or left.
std::string withLineEnds(const std::string &crlfText, std::mt19937 &rng);

// A file read as a document and the form it loads, and the edit a press of
// that form makes of it: the step every editing property starts from.
struct Editing {
    Document document;
    FormRecord form;
    Edit edit;
};
Editing pressLoaded(std::string bytes);
// The edit of a read file into another form.
Edit editInto(const Document &document, const FormRecord &form);

} // namespace qor::test
