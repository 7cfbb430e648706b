#include "mission/loader.h"

#include "format/ansi.h"
#include "format/countformat.h"
#include "press/sections.h"
#include "press/startvalues.h"

#include <algorithm>
#include <optional>
#include <span>

namespace qor
{

namespace
{

// A section's entries by class name, sorted once for a binary search.
class EntryNames
{
  public:
    using Found = std::pair<const SectionEntry *, std::size_t>; // the entry, its index

    explicit EntryNames(std::span<const SectionEntry> entries)
    {
        for (std::size_t n = 0; n < entries.size(); ++n)
            sorted_.push_back({entries[n].name, {&entries[n], n}});
        std::sort(sorted_.begin(), sorted_.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    }
    std::size_t size() const { return sorted_.size(); }
    std::optional<Found> find(std::string_view name) const
    {
        const auto at = std::lower_bound(sorted_.begin(), sorted_.end(), name,
                                         [](const auto &entry, std::string_view n) { return entry.first < n; });
        if (at == sorted_.end() || at->first != name)
            return std::nullopt;
        return at->second;
    }

  private:
    std::vector<std::pair<std::string_view, Found>> sorted_;
};

const EntryNames &weaponNames()
{
    static const EntryNames names(weaponEntries);
    return names;
}

const EntryNames &magazineNames()
{
    static const EntryNames names(magazineEntries);
    return names;
}

// An entry of a section as the file gives it.
struct Listed {
    const SectionEntry *entry;
    std::string count; // as written
    int line;          // of "class <name>"
    int lastLine;      // of its "};"
};

class Loader
{
  public:
    explicit Loader(const ReadFile &file) : st_(file.statements), utf8_(file.utf8)
    {
        // The matching end of every class, found once with a stack: no
        // recursion, however deep the file nests.
        match_.assign(st_.size(), 0);
        std::vector<std::size_t> open;
        for (std::size_t n = 0; n < st_.size(); ++n) {
            if (st_[n].kind == StatementKind::ClassBegin)
                open.push_back(n);
            else if (st_[n].kind == StatementKind::ClassEnd && !open.empty()) {
                match_[open.back()] = n;
                open.pop_back();
            }
        }
    }

    Loaded run()
    {
        for (std::size_t n = 0; n < st_.size(); n = next(n))
            topLevel(n);
        applyWeapons();
        applyMagazines();
        std::sort(report_.leftovers.begin(), report_.leftovers.end(),
                  [](const Leftover &a, const Leftover &b) { return a.firstLine < b.firstLine; });
        return {std::move(form_), std::move(report_)};
    }

  private:
    void tick(int slot) { form_.ticks[static_cast<std::size_t>(slot)] = ticked; }
    void setCount(int box, std::string text) { form_.counts[static_cast<std::size_t>(box)] = std::move(text); }

    std::size_t next(std::size_t n) const { return st_[n].kind == StatementKind::ClassBegin ? match_[n] + 1 : n + 1; }

    // The statement and, for a class, its whole block.
    void leftover(std::size_t n, std::string reason)
    {
        const int last = st_[next(n) - 1].lastLine;
        report_.leftovers.push_back({st_[n].firstLine, last, std::move(reason)});
    }

    // What no position in the file makes readable.
    bool common(std::size_t n)
    {
        switch (st_[n].kind) {
        case StatementKind::Comment:
            leftover(n, "comment");
            return true;
        case StatementKind::Include:
            leftover(n, "#include of another file");
            return true;
        case StatementKind::Semicolon:
            leftover(n, "a ';' on its own");
            return true;
        case StatementKind::ClassDeclaration:
            leftover(n, "class the form does not know");
            return true;
        default:
            return false;
        }
    }

    void topLevel(std::size_t n)
    {
        const Statement &s = st_[n];
        if (common(n))
            return;
        if (s.kind == StatementKind::Assignment) {
            headerKey(n);
            return;
        }
        // ClassBegin: ends never stand at the top, the reader refuses them.
        const bool weapons = sameIgnoringCase(s.name, "Weapons");
        const bool magazines = sameIgnoringCase(s.name, "Magazines");
        if (!weapons && !magazines)
            return leftover(n, "class the form does not know");
        if (!s.base.empty())
            return leftover(n, "section that inherits from another class");
        bool &seen = weapons ? report_.hasWeapons : report_.hasMagazines;
        if (seen)
            return leftover(n, "the section a second time");
        seen = true;
        section(n, weapons ? weaponNames() : magazineNames(), weapons ? weapons_ : magazines_);
    }

    void headerKey(std::size_t n)
    {
        const Statement &s = st_[n];
        if (s.isArray) {
            leftover(n, "not a key the form has");
        } else if (sameIgnoringCase(s.name, introKey) || sameIgnoringCase(s.name, missionKey)) {
            script(n, sameIgnoringCase(s.name, introKey) ? txti1 : txti2);
        } else {
            const auto option = std::find_if(briefingOptions.begin(), briefingOptions.end(),
                                             [&](const BriefingOption &o) { return sameIgnoringCase(o.key, s.name); });
            if (option == briefingOptions.end())
                leftover(n, "not a key the form has");
            else
                briefingOption(n, chki(static_cast<int>(option - briefingOptions.begin()) + 1));
        }
    }

    // The first of a key counts; a later one is dropped and said so.
    bool firstTime(std::size_t n, ControlId control)
    {
        const auto seen =
            std::find_if(headerSeen_.begin(), headerSeen_.end(), [&](const auto &p) { return p.first == control; });
        if (seen != headerSeen_.end()) {
            leftover(n, "given again after line " + std::to_string(seen->second));
            return false;
        }
        headerSeen_.emplace_back(control, st_[n].firstLine);
        return true;
    }

    void script(std::size_t n, ControlId box)
    {
        const Statement &s = st_[n];
        if (s.shape != ValueShape::LineString && s.shape != ValueShape::String)
            return leftover(n, "script name not in quotes");
        if (!firstTime(n, box))
            return;
        const std::string raw = unquoted(s);
        std::optional<std::string> text;
        if (utf8_) {
            if (isUtf8(raw))
                text = raw;
        } else {
            text = fromAnsi(raw);
        }
        if (!text)
            return leftover(n, utf8_ ? "bytes that are not UTF-8" : "a byte the code page does not define");
        (box == txti1 ? form_.intro : form_.mission) = *text;
        ++report_.scripts;
        // Read from UTF-8, a character the code page lacks would come back as "?".
        if (fromAnsi(toAnsi(*text)) != text)
            leftover(n, "characters the code page lacks: the next press writes \"?\" for them");
    }

    void briefingOption(std::size_t n, ControlId box)
    {
        const Statement &s = st_[n];
        if (s.shape != ValueShape::Word || s.value.size() != 1 || s.value[0] < '0' || s.value[0] > '2')
            return leftover(n, "briefing value is not 0, 1 or 2");
        if (!firstTime(n, box))
            return;
        form_.briefing[static_cast<std::size_t>(box.index - 1)] = static_cast<std::int16_t>(s.value[0] - '0');
        ++report_.briefing;
    }

    void section(std::size_t begin, const EntryNames &names, std::vector<Listed> &listed)
    {
        std::vector<int> seen(names.size()); // line where each entry was first listed
        for (std::size_t n = begin + 1; n < match_[begin]; n = next(n)) {
            const Statement &s = st_[n];
            if (common(n))
                continue;
            if (s.kind == StatementKind::Assignment) {
                leftover(n, "not a key the form has");
                continue;
            }
            const auto found = names.find(s.name);
            if (!found || !s.base.empty()) {
                leftover(n, "class the form does not know");
                continue;
            }
            int &firstLine = seen[found->second];
            if (firstLine) {
                leftover(n, "listed again after line " + std::to_string(firstLine));
                continue;
            }
            firstLine = s.firstLine;
            if (const auto count = entryCount(n, *found->first))
                listed.push_back({found->first, *count, s.firstLine, st_[match_[n]].lastLine});
        }
    }

    // The count of one class entry; nothing (and a leftover) when the form
    // cannot hold it so that a press writes it again.
    std::optional<std::string> entryCount(std::size_t begin, const SectionEntry &entry)
    {
        std::optional<std::size_t> count;
        for (std::size_t n = begin + 1; n < match_[begin]; n = next(n)) {
            const Statement &s = st_[n];
            if (common(n))
                continue;
            if (!count && s.kind == StatementKind::Assignment && !s.isArray && sameIgnoringCase(s.name, "count"))
                count = n;
            else
                leftover(n, s.kind == StatementKind::Assignment ? "not a key the form has"
                                                                : "class the form does not know");
        }
        if (!count) {
            leftover(begin, "entry without a count");
            return std::nullopt;
        }
        const Statement &c = st_[*count];
        const std::optional<double> value = c.shape == ValueShape::Word ? writtenCount(c.value) : std::nullopt;
        if (!value) {
            leftover(begin, "count is not a number");
            return std::nullopt;
        }
        // A press writes a single box only above 0; a shared total can be
        // anything, split over two boxes below.
        const auto summed = std::count_if(entry.activePairs().begin(), entry.activePairs().end(),
                                          [](const CountPair &p) { return p.summed; });
        if (summed == 1 && *value <= 0) {
            leftover(begin, "count of 0 or less, which a press leaves out");
            return std::nullopt;
        }
        return std::string(c.value);
    }

    void applyWeapons()
    {
        for (const Listed &l : weapons_) {
            const CountPair pair = l.entry->pairs[0];
            tick(pair.checkBox);
            setCount(pair.box, l.count);
            ++report_.items;
        }
    }

    bool weaponListed(int checkBox) const
    {
        return std::any_of(weapons_.begin(), weapons_.end(),
                           [&](const Listed &l) { return l.entry->pairs[0].checkBox == checkBox; });
    }

    void applyMagazines()
    {
        for (const Listed &l : magazines_) {
            const SectionEntry &e = *l.entry;
            if (e.rule == EntryRule::AllPairs) {
                ownAmmunition(l);
            } else if (e.pairCount == 1) {
                tick(e.pairs[0].checkBox);
                setCount(e.pairs[0].box, l.count);
            } else if (!sharedMagazine(l)) {
                continue;
            }
            ++report_.items;
        }
    }

    // Written only with every pair active: the weapon (pair 0) ticked and
    // counted too. A weapon the file does not list needs a count invented.
    void ownAmmunition(const Listed &l)
    {
        const SectionEntry &e = *l.entry;
        const CountPair weapon = e.pairs[0];
        const CountPair own = e.pairs[1];
        tick(own.checkBox);
        setCount(own.box, l.count);
        if (weaponListed(weapon.checkBox))
            return;
        tick(weapon.checkBox);
        setCount(weapon.box, "1");
        report_.guesses.push_back({l.line, std::string(catalogue[static_cast<std::size_t>(weapon.checkBox)].caption) +
                                               " ticked with a count of 1: its " + std::string(e.name) +
                                               " are written only with it"});
    }

    // One line, the total of several boxes: the whole total in the box of a
    // weapon the Weapons section lists, else in the first box's weapon.
    bool sharedMagazine(const Listed &l)
    {
        const SectionEntry &e = *l.entry;
        std::vector<std::size_t> candidates;
        for (std::size_t p = 0; p < e.pairCount; ++p)
            if (weaponListed(e.pairs[p].checkBox))
                candidates.push_back(p);
        const std::size_t chosen = candidates.empty() ? 0 : candidates.front();
        const CountPair pair = e.pairs[chosen];
        const std::string name(e.name);
        const std::string weapon(catalogue[static_cast<std::size_t>(pair.checkBox)].caption);
        const auto guessed = [&] {
            if (candidates.size() != 1)
                report_.guesses.push_back({l.line, name + " counted in the box of the " + weapon +
                                                       ": the file does not say which weapon's they are"});
            tick(pair.checkBox);
        };
        if (readCount(l.count) > 0) {
            guessed();
            setCount(pair.box, l.count);
            return true;
        }
        // A total of 0 or less is written only beside an active pair: 1 in
        // the chosen box, the rest in another, summed as a press sums them.
        const CountPair other = e.pairs[chosen == 0 ? 1 : 0];
        const std::string rest = writeCount(readCount(l.count) - 1);
        double total = 0;
        for (const CountPair &p : e.activePairs())
            if (p.summed)
                total += p.box == pair.box ? 1.0 : p.box == other.box ? readCount(rest) : 0.0;
        if (writeCount(total) != writeCount(readCount(l.count))) {
            report_.leftovers.push_back({l.line, l.lastLine, "a total the form cannot split over two boxes"});
            return false;
        }
        guessed();
        setCount(pair.box, "1");
        setCount(other.box, rest);
        report_.guesses.push_back(
            {l.line, "a total of " + l.count + " " + name + " split as 1 and " + rest + " over two boxes"});
        return true;
    }

    const std::vector<Statement> &st_;
    bool utf8_;
    Form form_;
    std::vector<std::size_t> match_;
    std::vector<Listed> weapons_, magazines_;
    std::vector<std::pair<ControlId, int>> headerSeen_;
    LoadReport report_;
};

} // namespace

Loaded loadForm(const ReadFile &file)
{
    if (file.refusal)
        return {};
    return Loader(file).run();
}

} // namespace qor
