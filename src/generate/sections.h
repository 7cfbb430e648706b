#pragma once
// Which class entries the two sections hold, as tables: one row per entry the
// file can contain, in file order.
//
// A pair is a count box and the check box that governs it; it is active when
// the box reads above 0 and the check box is ticked (greyed does not count).
// An entry is written when any of its pairs is active (or, for the Kozlice
// ammunition, when all are), with the sum of its counted boxes, active or not.

#include "catalogue/catalogue.h"
#include "command.h"
#include "fileformat.h"
#include "form.h"

#include <array>
#include <cstdint>

namespace qor
{

struct Pair {
    std::int8_t box;
    std::int8_t checkBox;
};

enum class Rule : std::uint8_t { AnyPair, AllPairs };

struct Entry {
    ControlId nameFrom; // whose Tag is the class name
    Rule rule = Rule::AnyPair;
    std::array<Pair, 3> pairs{};
    std::uint8_t pairCount = 0;
    std::array<std::int8_t, 3> counted{}; // summed left to right
    std::uint8_t countedCount = 0;
};

namespace detail
{

constexpr Entry single(ControlId name, int box, int checkBox)
{
    Entry e{name};
    e.pairs[0] = {static_cast<std::int8_t>(box), static_cast<std::int8_t>(checkBox)};
    e.pairCount = 1;
    e.counted[0] = static_cast<std::int8_t>(box);
    e.countedCount = 1;
    return e;
}

// A magazine several weapons share: written once, counting all its boxes.
template <std::size_t N> constexpr Entry shared(int nameBox, const int (&boxes)[N])
{
    Entry e{cant(nameBox)};
    for (std::size_t n = 0; n < N; ++n) {
        e.pairs[n] = {static_cast<std::int8_t>(boxes[n]), static_cast<std::int8_t>(weaponSlotOf(boxes[n]))};
        e.counted[n] = static_cast<std::int8_t>(boxes[n]);
    }
    e.pairCount = e.countedCount = static_cast<std::uint8_t>(N);
    return e;
}

// The Kozlice's own ammunition: only with the Kozlice itself ticked and counted.
constexpr Entry kozliceAmmo(int slot)
{
    constexpr int kozlice = 47;
    Entry e = single(cant(slot), slot, slot);
    e.rule = Rule::AllPairs;
    e.pairs[1] = e.pairs[0];
    e.pairs[0] = {kozlice, kozlice};
    e.pairCount = 2;
    return e;
}

struct Run {
    int first, last;
};

template <std::size_t N, std::size_t R, typename Make>
constexpr std::array<Entry, N> runs(const Run (&list)[R], Make make)
{
    std::array<Entry, N> table{};
    std::size_t n = 0;
    for (const Run &run : list)
        for (int slot = run.first; slot <= run.last; ++slot)
            table[n++] = make(slot);
    return table;
}

template <std::size_t A, std::size_t B>
constexpr std::array<Entry, A + B> join(const std::array<Entry, A> &a, const std::array<Entry, B> &b)
{
    std::array<Entry, A + B> table{};
    for (std::size_t n = 0; n < A; ++n)
        table[n] = a[n];
    for (std::size_t n = 0; n < B; ++n)
        table[A + n] = b[n];
    return table;
}

} // namespace detail

// Weapons, under the class name of their check box.
inline constexpr auto weaponEntries =
    detail::runs<38>({{0, 31}, {44, 47}, {50, 51}}, [](int s) { return detail::single(wep(s), s, s); });

// Equipment (class name on the count box), then the magazines that belong to
// one weapon alone, judged by that weapon's check box.
inline constexpr auto magazineEntries =
    detail::join(detail::join(detail::runs<12>({{32, 43}}, [](int s) { return detail::single(cant(s), s, s); }),
                              detail::runs<24>({{53, 55}, {57, 62}, {64, 69}, {72, 73}, {75, 75}, {78, 83}},
                                               [](int b) { return detail::single(cant(b), b, weaponSlotOf(b)); })),
                 std::array<Entry, 7>{
                     detail::shared(56, {56, 74, 77}), // "GrenadeLauncher"
                     detail::shared(52, {52, 63}),     // "M4"
                     detail::kozliceAmmo(48),          // "Kozliceshell"
                     detail::kozliceAmmo(49),          // "Kozliceball"
                     detail::shared(71, {70, 71}),     // "AK74"
                     detail::shared(84, {76, 84}),     // "AK47"
                     detail::single(cant(85), 85, 51), // "CZ75Mag"
                 });

// Writes the entries of one section whose pairs hold, in table order.
template <std::size_t N>
void writeEntries(const std::array<Entry, N> &entries, const FormView &form, FileWriter &out, WindowFields &fields);

void writeEntry(const Entry &entry, const FormView &form, FileWriter &out, WindowFields &fields);

template <std::size_t N>
void writeEntries(const std::array<Entry, N> &entries, const FormView &form, FileWriter &out, WindowFields &fields)
{
    for (const Entry &entry : entries)
        writeEntry(entry, form, out, fields);
}

} // namespace qor
