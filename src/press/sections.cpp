#include "press/sections.h"

#include "format/countformat.h"

#include <algorithm>

namespace qor
{

namespace
{

// Every term is read and combined; none short-circuits another. Each box is
// read once for the condition and the count.
void writeEntry(const SectionEntry &entry, const Form &form, FileWriter &out, WindowFields &fields)
{
    bool any = false;
    bool all = true;
    double count = 0;
    for (const CountPair &pair : entry.activePairs()) {
        fields.i = pair.box;
        const bool isTicked = form.tick(pair.checkBox) == ticked;
        const double value = readCount(form.count(pair.box));
        const bool active = isTicked && value > 0;
        any = any || active;
        all = all && active;
        if (pair.summed)
            count += value;
    }
    if (!(entry.rule == EntryRule::AnyPair ? any : all))
        return;
    fields.cname = entry.name;
    out.classEntry(fields.cname, count);
}

} // namespace

std::vector<CountCondition> whenCounted(int box)
{
    std::vector<CountCondition> alternatives;
    using Section = std::span<const SectionEntry>;
    for (Section section : {Section(weaponEntries), Section(magazineEntries)})
        for (const SectionEntry &entry : section) {
            const auto pairs = entry.activePairs();
            if (std::none_of(pairs.begin(), pairs.end(), [&](CountPair p) { return p.summed && p.box == box; }))
                continue;
            // Any pair opens the entry: one alternative per pair. All must:
            // one alternative holding every pair.
            CountCondition all;
            for (const CountPair &pair : pairs) {
                CountCondition &c = entry.rule == EntryRule::AllPairs ? all : alternatives.emplace_back();
                c.ticked.push_back(pair.checkBox);
                if (pair.box != box)
                    c.aboveZero.push_back(pair.box);
            }
            if (entry.rule == EntryRule::AllPairs)
                alternatives.push_back(all);
        }
    return alternatives;
}

namespace
{

std::string captionOf(int slot)
{
    return std::string(catalogue[static_cast<std::size_t>(slot)].caption);
}

std::string joined(const std::vector<std::string> &words)
{
    std::string text;
    for (std::size_t n = 0; n < words.size(); ++n)
        text += (n == 0 ? "" : " and ") + words[n];
    return text;
}

std::string boxPhrase(int box)
{
    const Item &item = catalogue[static_cast<std::size_t>(box)];
    return item.kind == Kind::AmmoBox ? "the magazines for " + captionOf(item.weaponSlot) + " are above 0"
                                      : "the number of " + captionOf(box) + " is above 0";
}

} // namespace

std::string countedWhen(int box)
{
    std::string text = "Counted only when ";
    const auto alternatives = whenCounted(box);
    for (std::size_t n = 0; n < alternatives.size(); ++n) {
        const CountCondition &c = alternatives[n];
        std::vector<std::string> ticks, above;
        for (int checkBox : c.ticked)
            ticks.push_back(captionOf(checkBox));
        for (int other : c.aboveZero)
            above.push_back(boxPhrase(other));
        text += n == 0 ? "" : ", or when ";
        text += joined(ticks) + (ticks.size() == 1 ? " is ticked" : " are ticked");
        // Heard often: an item's own box is "its", not its name again.
        if (c.ticked.size() == 1 && c.aboveZero.size() == 1 && checkBoxOf(c.aboveZero[0]) == c.ticked[0])
            text += catalogue[static_cast<std::size_t>(c.aboveZero[0])].kind == Kind::AmmoBox
                        ? " with its magazines above 0"
                        : " with its number above 0";
        else if (!above.empty())
            text += " and " + joined(above);
    }
    return text + ".";
}

// Table order is file order: a file made from the same window is the same
// file, byte for byte, whatever was ticked first.
void writeEntries(std::span<const SectionEntry> entries, const Form &form, FileWriter &out, WindowFields &fields)
{
    for (const SectionEntry &entry : entries)
        writeEntry(entry, form, out, fields);
}

} // namespace qor
