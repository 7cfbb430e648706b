#include "sections.h"

#include "countformat.h"

#include <algorithm>

namespace qor
{

namespace
{

double boxValue(const FormView &form, int box)
{
    return readCount(form.text(cant(box)));
}

bool active(const FormView &form, CountPair pair)
{
    const bool isTicked = form.value(wep(pair.checkBox)) == ticked;
    const bool counted = boxValue(form, pair.box) > 0;
    return isTicked && counted;
}

// Every term is read and combined; none short-circuits another.
bool holds(const SectionEntry &entry, const FormView &form)
{
    bool any = false;
    bool all = true;
    for (std::size_t n = 0; n < entry.pairCount; ++n) {
        const bool a = active(form, entry.pairs[n]);
        any = any || a;
        all = all && a;
    }
    return entry.rule == EntryRule::AnyPair ? any : all;
}

void writeEntry(const SectionEntry &entry, const FormView &form, FileWriter &out, WindowFields &fields)
{
    fields.i = static_cast<std::int16_t>(entry.counted[0]);
    if (!holds(entry, form))
        return;
    double count = 0;
    for (std::size_t n = 0; n < entry.countedCount; ++n)
        count += boxValue(form, entry.counted[n]);
    fields.cname = form.tag(entry.nameFrom);
    out.classEntry(fields.cname, count);
}

} // namespace

std::vector<int> checkBoxesCounting(int box)
{
    std::vector<int> checkBoxes;
    auto add = [&](int checkBox) {
        if (std::find(checkBoxes.begin(), checkBoxes.end(), checkBox) == checkBoxes.end())
            checkBoxes.push_back(checkBox);
    };
    using Section = std::span<const SectionEntry>;
    for (Section section : {Section(weaponEntries), Section(magazineEntries)})
        for (const SectionEntry &entry : section)
            for (std::size_t n = 0; n < entry.pairCount; ++n) {
                if (entry.pairs[n].box != box)
                    continue;
                for (std::size_t k = 0; k < entry.pairCount; ++k)
                    if (entry.rule == EntryRule::AllPairs || k == n)
                        add(entry.pairs[k].checkBox);
            }
    return checkBoxes;
}

void writeEntries(std::span<const SectionEntry> entries, const FormView &form, FileWriter &out, WindowFields &fields)
{
    for (const SectionEntry &entry : entries)
        writeEntry(entry, form, out, fields);
}

} // namespace qor
