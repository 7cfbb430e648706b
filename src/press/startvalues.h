#pragma once
// What the window holds when it opens. The window builds its controls with
// these values, and the in-memory form that tests drive starts from them.

#include "press/formview.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace qor
{

// Every count box cant(0..85).
inline constexpr std::string_view startCount = "0";
// Every item check box wep(0..51).
inline constexpr std::int16_t startTick = unticked;
// The hidden txtt: the character that encloses both script names in the
// file. The script boxes txti1 and txti2 start empty.
inline constexpr std::string_view quoteCharacter = "\"";

// The keys of the two script names, txti1 and txti2, exactly as the game
// reads them: "onloadintro" all in lower case.
inline constexpr std::string_view introKey = "onloadintro";
inline constexpr std::string_view missionKey = "onLoadMission";

// The briefing options chki1..chki7, in header order: the key the file gives
// each (the check box's Tag) and its start state. Keys are exactly as the
// game reads them: "debriefing" without "show".
struct BriefingOption {
    std::string_view key;
    std::int16_t start;
};

inline constexpr std::array<BriefingOption, 7> briefingOptions = {{
    {"showCompass", ticked},
    {"showGPS", unticked},
    {"showMap", ticked},
    {"showNotepad", ticked},
    {"showWatch", unticked},
    {"debriefing", unticked},
    {"showRadio", unticked},
}};

} // namespace qor
