#pragma once
// Helpers shared by the tests, the fuzz targets and the benchmarks: whole
// files built from line lists, forms filled in one call, one press into
// memory, and files read and written whole.

#include "formrecord.h"
#include "memoryfile.h"
#include "press/command.h"

#include <random>
#include <string>
#include <vector>

namespace qor::test
{

using Lines = std::vector<std::string>;

// The lines, each ended by CR LF.
std::string crlf(const Lines &lines);

// The 19 header lines of a form with these script names, briefing values
// (chki1..chki7) and quote character; the script names as given, in UTF-8.
Lines headerLines(const std::string &intro = "", const std::string &mission = "",
                  const std::vector<int> &flags = {1, 0, 1, 1, 0, 0, 0}, const std::string &quote = "\"");

// One class entry: its four lines.
Lines entry(const std::string &name, const std::string &count);

// A section holding the given entries.
Lines section(const std::string &title, const std::vector<Lines> &entries);

Lines concat(const std::vector<Lines> &parts);

// One press on a form into memory; returns the committed file.
std::string press(FormRecord &form);

// Ticks wep(slot) and types `count` into cant(slot).
void tick(FormRecord &form, int slot, const std::string &count);
// The same for the item of that class name (slotOf).
inline void tick(FormRecord &form, std::string_view item, const std::string &count)
{
    tick(form, slotOf(item), count);
}

// The press that writes the most: every item ticked and counted with its
// slot number plus one, both script names set, every briefing option ticked.
FormRecord fullestForm();

// A form with random ticks (some greyed), counts from a pool of messy texts
// and script names with quotes and characters the code page lacks.
FormRecord randomForm(std::mt19937 &rng);

// The file's bytes, or "<missing>" when it cannot be opened.
std::string readFile(const std::string &path);
// Replaces the file's content; false when it cannot be written whole.
bool writeFile(const std::string &path, const std::string &bytes);

} // namespace qor::test
