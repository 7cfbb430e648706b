#include "mission/loader.h"

#include "format/ansi.h"
#include "format/countformat.h"
#include "format/filewords.h"
#include "press/sections.h"
#include "press/startvalues.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <span>

namespace qor
{

namespace
{

// A section's entries by class name in a small open-addressing table, built
// once: a lookup hashes the name and compares it with one entry, mostly.
class EntryNames
{
  public:
    using Found = std::pair<const SectionEntry *, std::size_t>; // the entry, its index

    explicit EntryNames(std::span<const SectionEntry> entries) : entries_(entries)
    {
        slots_.fill(-1);
        for (std::size_t n = 0; n < entries.size(); ++n) {
            std::size_t at = hash(entries[n].name);
            while (slots_[at] >= 0)
                at = (at + 1) % slots_.size();
            slots_[at] = static_cast<std::int16_t>(n);
        }
    }
    std::size_t size() const { return entries_.size(); }
    // `next` is the entry expected: a file the program wrote lists them in
    // the table's order, so one compare finds most.
    std::optional<Found> find(std::string_view name, std::size_t next) const
    {
        if (next < entries_.size() && entries_[next].name == name)
            return Found{&entries_[next], next};
        // The game's class names do not depend on case.
        for (std::size_t at = hash(name); slots_[at] >= 0; at = (at + 1) % slots_.size()) {
            const auto n = static_cast<std::size_t>(slots_[at]);
            if (sameIgnoringCase(entries_[n].name, name))
                return Found{&entries_[n], n};
        }
        return std::nullopt;
    }

  private:
    std::size_t hash(std::string_view name) const
    {
        // Three bytes and the length tell the catalogue's names apart well
        // enough; hashing every byte cost more than the probes it saved.
        if (name.empty())
            return 0;
        // Letters in either case hash alike.
        const auto byte = [&](std::size_t n) {
            return static_cast<std::size_t>(static_cast<unsigned char>(name[n]) | 0x20);
        };
        return (name.size() * 131 + byte(0) * 31 + byte(name.size() - 1) * 7 + byte(name.size() / 2) * 3) %
               slots_.size();
    }

    std::span<const SectionEntry> entries_;
    std::array<std::int16_t, 512> slots_; // far more than entries: short probes
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

// The parts in one string, allocated once.
std::string joined(std::initializer_list<std::string_view> parts)
{
    std::size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    std::string text;
    text.reserve(size);
    for (const std::string_view part : parts)
        text += part;
    return text;
}

// Up to N values in place: the loader holds at most one per table row or
// header key, so nothing is allocated per read. That bound rests on the
// loader setting second listings aside; should it ever not, a value past N
// is dropped rather than written beyond the array.
template <typename T, std::size_t N> class FixedList
{
  public:
    void push_back(const T &value)
    {
        if (size_ < N)
            items_[size_++] = value;
    }
    const T *begin() const { return items_.data(); }
    const T *end() const { return items_.data() + size_; }
    std::size_t size() const { return size_; }
    void cut(std::size_t size) { size_ = std::min(size, size_); }

  private:
    std::array<T, N> items_;
    std::size_t size_ = 0;
};

// An entry of a section as the file gives it.
struct Listed {
    const SectionEntry *entry;
    std::string_view count; // as written, in the bytes read
    int line;               // of "class <name>"
    int lastLine;           // of its "};"
};

// Takes the statements one at a time as the reader gives them and keeps
// only what the form can hold, so that a file of millions of statements
// costs no more than one of a few.
class Loader final : public StatementSink
{
  public:
    // Fills `loaded` in place, which holds the start values: the caller's
    // result, so no form is moved on the way out.
    Loader(Encoding encoding, Loaded &loaded)
        : utf8_(encoding != Encoding::CodePage), form_(loaded.form), places_(loaded.places), report_(loaded.report)
    {
    }

    // Inside a section, the usual case, the three statements go straight
    // to their handlers.
    void takeEntry(const Statement &begin, const Statement &assignment, const Statement &end) override
    {
        if (skipped_ || where_ != Where::Section) {
            take(begin);
            take(assignment);
            take(end);
            return;
        }
        beginEntry(begin);
        if (skipped_) {
            skip(assignment);
            skip(end);
        } else if (!isCountKey(assignment)) {
            entryKey(assignment);
            endEntry(end);
        } else {
            // The count goes straight to the list, never through count_:
            // stored and read back at once, it stalled every entry.
            const std::string_view count = countText(assignment);
            placeCount(assignment);
            endEntry(&count, end);
        }
    }

    void take(const Statement &s) override
    {
        // Where the outermost #if now open begins: what is inserted where a
        // class closes inside it goes before it, never into the condition.
        if (s.kind == StatementKind::Directive && !s.conditional && s.name.starts_with("if")) {
            conditionBegins_ = s.begin;
            // Only an #if among a section's entries can take them before
            // it: one inside an entry would have them inside that entry.
            conditionAmongEntries_ = where_ == Where::Section && !skipped_;
        }
        if (skipped_) {
            skip(s);
            return;
        }
        switch (where_) {
        case Where::Top:
            topLevel(s);
            break;
        case Where::Section:
            inSection(s);
            break;
        case Where::Entry:
            inEntry(s);
            break;
        }
    }

    void finish()
    {
        applyWeapons();
        applyMagazines();
    }

  private:
    enum class Where : std::uint8_t { Top, Section, Entry };

    void tick(int slot) { form_.ticks[static_cast<std::size_t>(slot)] = ticked; }
    void setCount(int box, std::string_view text) { form_.counts[static_cast<std::size_t>(box)] = text; }

    // A class the form does not read, passed over to its end and kept aside
    // whole.
    struct Skipped {
        int firstLine;
        int depth;
        std::string reason;
        std::size_t begin;
        RepeatList *repeats;    // where a copy of what the form holds is noted
        std::size_t conditions; // #if lines open at its start
    };

    void leftover(const Statement &s, std::string_view reason)
    {
        report_.leftovers.add(s.firstLine, s.lastLine, reason);
    }

    // A class block, or the statement itself; a copy of what the form holds
    // is noted in `repeats` as well.
    void leftoverBlock(const Statement &s, std::string reason, RepeatList *repeats = nullptr)
    {
        if (s.kind == StatementKind::ClassBegin) {
            skipped_ = Skipped{s.firstLine, 1, std::move(reason), s.begin, repeats, s.conditions};
            return;
        }
        leftover(s, reason);
        if (repeats)
            noteRepeat(*repeats, s.begin, s.end);
    }

    static void noteRepeat(RepeatList &repeats, std::size_t begin, std::size_t end)
    {
        repeats.push_back({static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end)});
    }

    void skip(const Statement &s)
    {
        if (s.kind == StatementKind::ClassBegin) {
            ++skipped_->depth;
        } else if (s.kind == StatementKind::ClassEnd && --skipped_->depth == 0) {
            report_.leftovers.add(skipped_->firstLine, s.lastLine, skipped_->reason);
            // Removed only where it holds its #if lines whole: a press never
            // leaves an #if without its #endif.
            if (skipped_->repeats && s.conditions == skipped_->conditions)
                noteRepeat(*skipped_->repeats, skipped_->begin, s.end);
            skipped_.reset();
        }
    }

    // What no position in the file makes readable.
    bool common(const Statement &s)
    {
        switch (s.kind) {
        case StatementKind::Comment:
            report_.leftovers.add(s.firstLine, s.lastLine, "comment", true);
            return true;
        case StatementKind::Directive:
            leftover(s, s.name == "include" ? "#include of another file" : "preprocessor line");
            return true;
        case StatementKind::Import:
            leftover(s, "import of a class");
            return true;
        case StatementKind::Macro:
            leftover(s, "macro call");
            return true;
        case StatementKind::Semicolon:
            leftover(s, "a ';' on its own");
            return true;
        case StatementKind::ClassDeclaration:
            leftover(s, "class the form does not know");
            return true;
        default:
            return false;
        }
    }

    // Each word of a declaration or macro call: a class the form knows that
    // the file also defines in a way the form cannot hold, by the line.
    template <typename Mark> static void eachWord(std::string_view text, Mark mark)
    {
        for (std::size_t at = 0; at < text.size();) {
            if (!isNameByte(text[at])) {
                ++at;
                continue;
            }
            std::size_t end = at;
            while (end < text.size() && isNameByte(text[end]))
                ++end;
            mark(text.substr(at, end - at));
            at = end;
        }
    }
    void notePlacedElsewhere(const Statement &s, bool inSection)
    {
        if (s.kind != StatementKind::ClassDeclaration && s.kind != StatementKind::Macro)
            return;
        const std::string_view text = s.kind == StatementKind::Macro ? s.value : s.name;
        eachWord(text, [&](std::string_view word) {
            if (inSection) {
                if (const auto found = names_->find(word, names_->size())) {
                    int &line = places_.sections[section_].entriesElsewhere[found->second];
                    line = line ? line : s.firstLine;
                }
                return;
            }
            for (const std::size_t section : {weaponsSection, magazinesSection}) {
                int &line = places_.sections[section].elsewhere;
                if (sameIgnoringCase(word, sectionTitles[section]) && !line)
                    line = s.firstLine;
            }
        });
    }

    void topLevel(const Statement &s)
    {
        notePlacedElsewhere(s, false);
        if (common(s))
            return;
        if (s.kind == StatementKind::Assignment) {
            headerKey(s);
            return;
        }
        // ClassBegin: ends never stand at the top, the reader refuses them.
        const bool weapons = sameIgnoringCase(s.name, sectionTitles[weaponsSection]);
        const bool magazines = sameIgnoringCase(s.name, sectionTitles[magazinesSection]);
        if (!weapons && !magazines)
            return leftoverBlock(s, "class the form does not know");
        section_ = weapons ? weaponsSection : magazinesSection;
        if (s.conditional)
            return leftoverBlock(s, inConditional, &places_.sectionRepeats[section_]);
        bool &seen = weapons ? report_.hasWeapons : report_.hasMagazines;
        if (seen)
            return leftoverBlock(s, "the section a second time", &places_.sectionRepeats[section_]);
        seen = true;
        SectionPlace &place = places_.sections[section_];
        place.found = true;
        place.begin = s.begin;
        where_ = Where::Section;
        names_ = weapons ? &weaponNames() : &magazineNames();
        listed_ = weapons ? &weapons_ : &magazines_;
        listedBefore_ = listed_->size();
        sectionLine_ = s.firstLine;
        std::fill_n(seen_.begin(), names_->size(), 0);
        next_ = 0;
    }

    // A section whose "};" stands inside an #if opened within one of its
    // entries: nothing can go into it or be taken out of it that the next
    // read sees as written. It stays as it stands, none of it in the form,
    // and a press that would add the section asks first.
    void setSectionAside(const Statement &end)
    {
        SectionPlace &place = places_.sections[section_];
        SectionPlace aside;
        aside.elsewhere = place.elsewhere ? place.elsewhere : sectionLine_;
        aside.entriesElsewhere = place.entriesElsewhere;
        place = aside;
        places_.entryRepeats[section_] = {};
        listed_->cut(listedBefore_);
        (section_ == weaponsSection ? report_.hasWeapons : report_.hasMagazines) = false;
        report_.leftovers.add(sectionLine_, end.lastLine, "section whose end stands between #if and #endif");
        where_ = Where::Top;
    }

    void headerKey(const Statement &s)
    {
        std::size_t key = 0;
        while (key < headerKeyCount && !sameIgnoringCase(s.name, qor::headerKey(key)))
            ++key;
        if (s.isArray || key == headerKeyCount)
            return leftover(s, "not a key the form has");
        if (s.conditional) {
            leftover(s, inConditional);
            return noteRepeat(places_.keyRepeats[key], s.begin, s.end);
        }
        key_ = key;
        if (key < 2)
            script(s, headerControl(key));
        else
            briefingOption(s, headerControl(key));
    }

    // The first of a key counts; a later one is set aside and said so.
    bool firstTime(const Statement &s, ControlId control)
    {
        const auto seen =
            std::find_if(headerSeen_.begin(), headerSeen_.end(), [&](const auto &p) { return p.first == control; });
        if (seen != headerSeen_.end()) {
            leftover(s, "given again after line " + std::to_string(seen->second));
            noteRepeat(places_.keyRepeats[key_], s.begin, s.end);
            return false;
        }
        headerSeen_.push_back({control, s.firstLine});
        return true;
    }

    // The key's place: the statement the form takes its value from, else
    // the first that sets it.
    void placeKey(const Statement &s, bool taken)
    {
        KeyPlace &place = places_.keys[key_];
        if (place.taken || (place.found && !taken))
            return;
        const auto [begin, end] = valueSpan(s);
        place = {true, taken, s.begin, s.end, begin, end, s.shape, runsOn(s)};
    }

    // An unquoted value with an "=" outside its strings: another statement
    // on the line without a ';' before it, which the game may read either
    // way. The line is left as it stands.
    static bool runsOn(const Statement &s)
    {
        if (s.shape != ValueShape::Expression)
            return false;
        bool quoted = false;
        for (const char c : s.value) {
            quoted = c == '"' ? !quoted : quoted;
            if (c == '=' && !quoted)
                return true;
        }
        return false;
    }

    // A string-table reference ("$STR_MISSION_NAME") the game looks up in
    // the mission's own strings: the box shows it as written.
    static bool isStringReference(const Statement &s)
    {
        return s.shape == ValueShape::Word && s.value.size() > 4 && sameIgnoringCase(s.value.substr(0, 4), "$STR") &&
               std::all_of(s.value.begin() + 1, s.value.end(), isNameByte);
    }
    static bool isNameByte(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    }

    void script(const Statement &s, ControlId box)
    {
        const bool quoted = s.shape == ValueShape::LineString || s.shape == ValueShape::String;
        if (!quoted && !isStringReference(s)) {
            placeKey(s, false);
            return leftover(s, "script name not in quotes");
        }
        // A value the form cannot hold is not counted as given, as a briefing
        // value that is no number is not: the key's next setting is no repeat.
        if (s.value.size() > longestScriptName) {
            placeKey(s, false);
            return leftover(s, "script name longer than 32,767 bytes");
        }
        std::optional<std::string> text;
        if (s.shape == ValueShape::String)
            text = unquoted(s);
        else
            text = std::string(s.value);
        if (utf8_) {
            if (!isUtf8(*text))
                text.reset();
        } else {
            text = fromAnsi(*text);
        }
        if (!text) {
            placeKey(s, false);
            return leftover(s, utf8_ ? "bytes that are not UTF-8" : "a byte the code page does not define");
        }
        if (!firstTime(s, box))
            return;
        (box == txti1 ? form_.intro : form_.mission) = std::move(*text);
        ++report_.scripts;
        placeKey(s, true);
    }

    void briefingOption(const Statement &s, ControlId box)
    {
        if (runsOn(s)) {
            placeKey(s, false);
            return leftover(s, "a second statement on its line without a ';' before it");
        }
        if (s.shape != ValueShape::Word || s.value.size() != 1 || s.value[0] < '0' || s.value[0] > '2') {
            placeKey(s, false);
            return leftover(s, "briefing value is not 0, 1 or 2");
        }
        if (!firstTime(s, box))
            return;
        form_.briefing[static_cast<std::size_t>(box.index - 1)] = static_cast<std::int16_t>(s.value[0] - '0');
        ++report_.briefing;
        placeKey(s, true);
    }

    void inSection(const Statement &s)
    {
        notePlacedElsewhere(s, true);
        if (common(s))
            return;
        if (s.kind == StatementKind::ClassEnd) {
            if (s.conditional && !conditionAmongEntries_)
                return setSectionAside(s);
            SectionPlace &place = places_.sections[section_];
            place.closesInCondition = s.conditional && conditionAmongEntries_;
            place.close = place.closesInCondition ? conditionBegins_ : s.begin;
            place.end = s.end;
            where_ = Where::Top;
            return;
        }
        if (s.kind == StatementKind::Assignment)
            return leftover(s, "not a key the form has");
        beginEntry(s);
    }

    void beginEntry(const Statement &s)
    {
        // An entry that inherits from another is still its own entry: its
        // base stays as written.
        const auto found = names_->find(s.name, next_);
        if (!found)
            return leftoverBlock(s, "class the form does not know");
        auto &repeats = places_.entryRepeats[section_][found->second];
        if (s.conditional)
            return leftoverBlock(s, inConditional, &repeats);
        int &firstLine = seen_[found->second];
        if (firstLine)
            return leftoverBlock(s, "listed again after line " + std::to_string(firstLine), &repeats);
        firstLine = s.firstLine;
        entryPlace_ = &places_.sections[section_].entries[found->second];
        entryPlace_->found = true;
        entryPlace_->begin = s.begin;
        next_ = found->second + 1;
        where_ = Where::Entry;
        entry_ = found->first;
        entryLine_ = s.firstLine;
        entryRow_ = found->second;
        count_.reset();
    }

    void inEntry(const Statement &s)
    {
        if (common(s))
            return;
        if (s.kind == StatementKind::ClassEnd)
            endEntry(s);
        else if (s.kind == StatementKind::Assignment)
            entryKey(s);
        else
            leftoverBlock(s, "class the form does not know");
    }

    static bool isCountKey(const Statement &s)
    {
        return !s.isArray && (s.name == "count" || sameIgnoringCase(s.name, "count"));
    }
    // Empty when not a word: no number.
    static std::string_view countText(const Statement &s)
    {
        return s.shape == ValueShape::Word ? s.value : std::string_view();
    }

    void entryKey(const Statement &s)
    {
        if (!isCountKey(s))
            return leftover(s, "not a key the form has");
        if (!count_) {
            count_ = countText(s);
            countLine_ = s.firstLine;
            return placeCount(s);
        }
        // A second count contradicts the first, which the form shows: a
        // repeat, dropped with the press that writes the entry.
        leftover(s, "count given again after line " + std::to_string(countLine_));
        noteRepeat(places_.entryRepeats[section_][entryRow_], s.begin, s.end);
    }

    void placeCount(const Statement &s)
    {
        const auto [begin, end] = valueSpan(s);
        entryPlace_->hasCount = true;
        entryPlace_->countBegin = begin;
        entryPlace_->countEnd = end;
        entryPlace_->countStatementEnd = s.end;
    }

    void endEntry(const Statement &end) { endEntry(count_ ? &*count_ : nullptr, end); }

    // Lists the entry with its count (null: the entry gave none), or sets
    // it aside when the form cannot hold it so that a press writes it again.
    void endEntry(const std::string_view *count, const Statement &end)
    {
        where_ = Where::Section;
        entryPlace_->close = end.begin;
        entryPlace_->end = end.end;
        const auto aside = [&](const char *reason) { report_.leftovers.add(entryLine_, end.lastLine, reason); };
        if (end.conditional) {
            // Its "};" stands inside an #if it does not hold whole: no press
            // edits or removes it, and one that adds the entry asks first.
            *entryPlace_ = EntryPlace{};
            int &line = places_.sections[section_].entriesElsewhere[entryRow_];
            line = line ? line : entryLine_;
            return aside("entry whose end stands between #if and #endif");
        }
        if (!count)
            return aside("entry without a count");
        const double value = writtenCount(*count);
        if (std::isnan(value))
            return aside("count is not a number");
        // A press writes a single box only above 0; a shared total can be
        // anything, split over two boxes below.
        const auto summed = [&] {
            return std::count_if(entry_->activePairs().begin(), entry_->activePairs().end(),
                                 [](const CountPair &p) { return p.summed; });
        };
        if (value <= 0 && summed() == 1)
            return aside("count of 0 or less, which a press leaves out");
        listed_->push_back({entry_, *count, entryLine_, end.lastLine});
    }

    void applyWeapons()
    {
        for (const Listed &l : weapons_) {
            const CountPair pair = l.entry->pairs[0];
            tick(pair.checkBox);
            setCount(pair.box, l.count);
            weaponListed_[static_cast<std::size_t>(pair.checkBox)] = true;
            ++report_.items;
        }
    }

    bool weaponListed(int checkBox) const { return weaponListed_[static_cast<std::size_t>(checkBox)]; }

    void applyMagazines()
    {
        for (const Listed &l : magazines_) {
            const SectionEntry &e = *l.entry;
            if (e.rule == EntryRule::AllPairs) {
                if (!ownAmmunition(l))
                    continue;
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
    // counted too. Where the file does not list the weapon, ticking it would
    // make the next press add a weapon the mission does not offer: the entry
    // stays a line the form does not hold.
    bool ownAmmunition(const Listed &l)
    {
        const SectionEntry &e = *l.entry;
        const CountPair weapon = e.pairs[0];
        const CountPair own = e.pairs[1];
        if (!weaponListed(weapon.checkBox)) {
            report_.leftovers.add(l.line, l.lastLine,
                                  std::string(e.name) + " without the " +
                                      std::string(catalogue[static_cast<std::size_t>(weapon.checkBox)].caption) +
                                      ", which the Weapons section does not list");
            return false;
        }
        tick(own.checkBox);
        setCount(own.box, l.count);
        return true;
    }

    // One line, the total of several boxes: the whole total in the box of a
    // weapon the Weapons section lists, else in the first box's weapon.
    bool sharedMagazine(const Listed &l)
    {
        const SectionEntry &e = *l.entry;
        std::size_t candidates = 0;
        std::size_t chosen = 0;
        for (std::size_t p = e.pairCount; p-- > 0;)
            if (weaponListed(e.pairs[p].checkBox)) {
                ++candidates;
                chosen = p; // the first listed
            }
        const CountPair pair = e.pairs[chosen];
        const auto guessed = [&] {
            if (candidates != 1)
                report_.guesses.push_back({l.line, joined({e.name, " counted in the box of the ",
                                                           catalogue[static_cast<std::size_t>(pair.checkBox)].caption,
                                                           ": the file does not say which weapon's they are"})});
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
            report_.leftovers.add(l.line, l.lastLine, "a total the form cannot split over two boxes");
            return false;
        }
        guessed();
        setCount(pair.box, "1");
        setCount(other.box, rest);
        report_.guesses.push_back({l.line, "a total of " + std::string(l.count) + " " + std::string(e.name) +
                                               " split as 1 and " + rest + " over two boxes"});
        return true;
    }

    static constexpr const char *inConditional = "between #if and #endif, which the form does not read";

    // The value as written, quotes included; an empty value is where it
    // would stand.
    static std::pair<std::size_t, std::size_t> valueSpan(const Statement &s)
    {
        const char *const base = s.name.data() - s.begin; // a key begins its statement
        const char *const value = s.value.data();
        if (value && value >= base + s.begin && value + s.value.size() <= base + s.end) {
            const auto at = static_cast<std::size_t>(value - base);
            const std::size_t quotes = s.shape == ValueShape::String || s.shape == ValueShape::LineString ? 1 : 0;
            return {at - quotes, at + s.value.size() + quotes};
        }
        std::size_t at = s.begin + s.name.size();
        while (at < s.end && base[at] != '=')
            ++at;
        at += at < s.end ? 1 : 0;
        while (at < s.end && (base[at] == ' ' || base[at] == '\t'))
            ++at;
        return {at, at};
    }

    bool utf8_;
    Form &form_;
    Places &places_;
    std::size_t key_ = 0;     // the header key being read
    std::size_t section_ = 0; // the section being read: Weapons 0, Magazines 1
    EntryPlace *entryPlace_ = nullptr;
    Where where_ = Where::Top;
    std::optional<Skipped> skipped_;
    const EntryNames *names_ = nullptr;
    // Each entry is listed once at most: a second listing is a leftover.
    using Listing = FixedList<Listed, std::max(weaponEntries.size(), magazineEntries.size())>;
    Listing *listed_ = nullptr;
    // The line where each entry of the section was first listed.
    std::array<int, std::max(weaponEntries.size(), magazineEntries.size())> seen_{};
    std::size_t next_ = 0; // the entry after the last one found
    const SectionEntry *entry_ = nullptr;
    int entryLine_ = 0;
    std::size_t entryRow_ = 0;              // in its section's table
    std::optional<std::string_view> count_; // countText of the entry's count key
    int countLine_ = 0;
    std::size_t conditionBegins_ = 0;
    std::size_t listedBefore_ = 0; // entries listed before the section began
    int sectionLine_ = 0;
    bool conditionAmongEntries_ = false;
    Listing weapons_, magazines_;
    std::array<bool, checkBoxCount> weaponListed_{}; // by check box, once the weapons are applied
    FixedList<std::pair<ControlId, int>, 2 + briefingOptions.size()> headerSeen_; // each key once
    LoadReport &report_;
};

} // namespace

std::string_view headerKey(std::size_t key)
{
    return key == 0 ? introKey : key == 1 ? missionKey : briefingOptions[key - 2].key;
}

ControlId headerControl(std::size_t key)
{
    return key == 0 ? txti1 : key == 1 ? txti2 : chki(static_cast<int>(key) - 1);
}

Loaded loadForm(const ReadFile &file)
{
    Loaded loaded;
    if (file.refusal)
        return loaded;
    loaded.encoding = file.encoding;
    Loader loader(loaded.encoding, loaded);
    for (const Statement &s : file.statements)
        loader.take(s);
    loader.finish();
    return loaded;
}

Loaded loadDescription(std::string_view bytes, std::optional<Encoding> encoding)
{
    Loaded loaded;
    loaded.encoding = encoding ? *encoding : encodingOf(bytes);
    Loader loader(loaded.encoding, loaded);
    const ReadOutcome outcome = readStatements(bytes, loader);
    if (outcome.refusal) {
        loaded = Loaded{}; // what was taken before the refusal does not count
        loaded.encoding = encoding ? *encoding : encodingOf(bytes);
        loaded.report.refusal = outcome.refusal;
        return loaded;
    }
    loader.finish();
    return loaded;
}

} // namespace qor
