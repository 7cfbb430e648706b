#pragma once
// What the window holds when it opens. The window builds its controls with
// these values, and the in-memory form that tests drive starts from them.

#include "format/headerkeys.h"
#include "press/formview.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace qor
{

// Every count box cant(slot).
inline constexpr std::string_view startCount = "0";
// Every item check box wep(slot).
inline constexpr std::int16_t startTick = unticked;
// The hidden txtt: the character that encloses both script names in the
// file. The script boxes txti1 and txti2 start empty.
inline constexpr std::string_view quoteCharacter = "\"";

// The briefing options chki1, chki2, ..., in header order: the key the file gives
// each (the check box's Tag) and its start state. Keys are exactly as the
// game reads them: "debriefing" without "show".
struct BriefingOption {
    std::string_view key;
    std::int16_t start;
};

inline constexpr auto briefingOptions = std::to_array<BriefingOption>({
    {"showCompass", ticked},
    {"showGPS", unticked},
    {"showMap", ticked},
    {"showNotepad", ticked},
    {"showWatch", unticked},
    {"debriefing", unticked},
    {"showRadio", unticked},
});

} // namespace qor
