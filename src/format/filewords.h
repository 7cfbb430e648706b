#pragma once
// The file's own words, written once for the reader, the press, the edit, the
// disk and every text that names them: the file's name, the titles of its two
// sections and the line end a press writes.

#include <array>
#include <string_view>

namespace qor
{

// Given without a folder: the file lies in the working folder.
inline constexpr const char *fileName = "description.ext";

// The sections in the order a press writes them; an index into this array
// names a section everywhere (0: Weapons, 1: Magazines).
inline constexpr std::array<std::string_view, 2> sectionTitles{"Weapons", "Magazines"};
inline constexpr std::size_t weaponsSection = 0;
inline constexpr std::size_t magazinesSection = 1;

// What ends every line a press writes, the last one too.
inline constexpr std::string_view pressLineEnd = "\r\n";

} // namespace qor
