#pragma once
// The whole form as a value: what a press reads and what a load gives. The
// window's values are read into one before a press and set from one after a
// load; the mission keeps the one last read or written to tell unsaved
// changes. A default Form holds the values the window opens with.

#include "catalogue/catalogue.h"
#include "press/formview.h"
#include "press/startvalues.h"

#include <array>
#include <cstdint>
#include <string>

namespace qor
{

inline constexpr int briefingCount = static_cast<int>(briefingOptions.size());

namespace detail
{
constexpr std::array<std::int16_t, briefingOptions.size()> briefingStarts()
{
    std::array<std::int16_t, briefingOptions.size()> starts{};
    for (std::size_t n = 0; n < briefingOptions.size(); ++n)
        starts[n] = briefingOptions[n].start;
    return starts;
}

std::array<std::string, slotCount> startCounts();
} // namespace detail

struct Form {
    std::string intro;                 // txti1
    std::string mission;               // txti2
    std::string quote{quoteCharacter}; // txtt, hidden: encloses both script names
    // chki1, chki2, ... in header order (briefingOptions).
    std::array<std::int16_t, briefingOptions.size()> briefing = detail::briefingStarts();
    std::array<std::int16_t, checkBoxCount> ticks = [] {
        std::array<std::int16_t, checkBoxCount> t{};
        t.fill(startTick);
        return t;
    }(); // wep(slot)
    // cant(slot), as typed: a count that is not a number is a value too.
    std::array<std::string, slotCount> counts = detail::startCounts();

    std::int16_t tick(int slot) const { return ticks[static_cast<std::size_t>(slot)]; }
    const std::string &count(int slot) const { return counts[static_cast<std::size_t>(slot)]; }
    std::int16_t option(int n) const { return briefing[static_cast<std::size_t>(n - 1)]; } // chki(n)

    friend bool operator==(const Form &, const Form &) = default;
};

// What the window holds now.
Form readForm(const FormView &view);
// Sets every control that differs from the form, but the hidden quote
// holder, which never changes.
void showForm(const Form &form, FormView &view);

} // namespace qor
