#pragma once
// The keys of the file's header as the game reads them: the reader needs the
// script keys to know which values it may read up to the line's last quote,
// and the press writes every one of them.

#include <string_view>

namespace qor
{

// The keys of the two script names, txti1 and txti2: "onloadintro" all in
// lower case.
inline constexpr std::string_view introKey = "onloadintro";
inline constexpr std::string_view missionKey = "onLoadMission";

} // namespace qor
