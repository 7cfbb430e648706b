#include "sections.h"

#include "countformat.h"

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

void writeEntries(std::span<const SectionEntry> entries, const FormView &form, FileWriter &out, WindowFields &fields)
{
    for (const SectionEntry &entry : entries)
        writeEntry(entry, form, out, fields);
}

} // namespace qor
