#pragma once
// Random hand edits of a file the press wrote: what a mission maker adds
// beside the form's lines (keys, comments, classes, add-on entries), each put
// where the file stays readable. Shared by the property test and the fuzz
// target, so that both exercise the same edits.

#include "formrecord.h"
#include "mission/keep.h"

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

// A file loaded into the form, the loaded form pressed, and what that press
// keeps of the file: the step every keeping property starts from.
struct Keeping {
    Kept kept;
    FormRecord form;
};
Keeping pressLoaded(std::string_view bytes);

} // namespace qor::test
