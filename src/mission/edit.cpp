#include "mission/edit.h"

#include "format/ansi.h"
#include "format/countformat.h"
#include "format/filewords.h"
#include "format/plaintext.h"
#include "format/reader.h"

#include <algorithm>
#include <optional>
#include <span>
#include <tuple>

namespace qor
{

namespace
{

constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";

const WrittenSection *writtenSection(const Pressed &pressed, std::size_t section)
{
    for (const WrittenSection &s : pressed.sections)
        if (s.title == sectionTitles[section])
            return &s;
    return nullptr;
}

// What a press writes for each row of a section's table: its count's text,
// or nothing; and where its lines stand in the press's bytes.
struct RowWritten {
    std::optional<std::string_view> count;
    WrittenSpan whole;
};

std::vector<RowWritten> rowsWritten(const Pressed &pressed, std::size_t section)
{
    const auto table = sectionTable(section);
    std::vector<RowWritten> rows(table.size());
    const WrittenSection *written = writtenSection(pressed, section);
    if (!written)
        return rows;
    // A press writes entries in table order.
    std::size_t row = 0;
    for (const WrittenEntry &e : written->entries) {
        const std::string_view name = e.name.of(pressed.bytes);
        while (row < table.size() && table[row].name != name)
            ++row;
        if (row == table.size())
            break;
        rows[row] = {e.count.of(pressed.bytes), e.whole};
    }
    return rows;
}

// The press's CR LF made the file's own line end.
std::string withLineEnd(std::string_view text, std::string_view lineEnd)
{
    if (lineEnd == pressLineEnd)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text.compare(at, pressLineEnd.size(), pressLineEnd) == 0) {
            out += lineEnd;
            at += pressLineEnd.size() - 1;
        } else {
            out += text[at];
        }
    }
    return out;
}

std::string firstLineEnd(std::string_view bytes)
{
    const std::size_t at = bytes.find_first_of("\r\n");
    if (at == std::string_view::npos)
        return std::string(pressLineEnd);
    if (bytes[at] == '\n')
        return "\n";
    return bytes.compare(at, 2, "\r\n") == 0 ? "\r\n" : "\r";
}

// One replacement of [begin, end) by text; an insertion where they meet.
// Changes at one place apply in the order they were made.
struct Change {
    std::size_t begin;
    std::size_t end;
    std::string text;
};

class Editor
{
  public:
    Editor(const Document &document, const Form &form, const Pressed &pressed, Edit &out, bool write)
        : write_(write), doc_(document), bytes_(document.bytes), places_(document.loaded.places), form_(form),
          pressed_(pressed), out_(out),
          body_(document.loaded.encoding == Encoding::Utf8Mark && bytes_.substr(0, 3) == utf8Mark ? 3 : 0)
    {
    }

    void run()
    {
        header();
        for (std::size_t s = 0; s < sectionTitles.size(); ++s)
            section(s);
        apply();
    }

  private:
    const std::string &lineEnd() const { return doc_.lineEnd; }

    // ---- where lines begin and end

    bool atLineStart(std::size_t at) const { return at <= body_ || isLineEnd(bytes_[at - 1]); }

    std::size_t lineEndLength(std::size_t at) const
    {
        if (at >= bytes_.size())
            return 0;
        return bytes_.compare(at, 2, "\r\n") == 0 ? 2 : isLineEnd(bytes_[at]) ? 1 : 0;
    }

    // [begin, end) with the lines it stands on where nothing else does; else
    // with the blanks beside it.
    std::pair<std::size_t, std::size_t> ownLines(std::size_t begin, std::size_t end) const
    {
        std::size_t b = begin;
        while (b > body_ && isBlank(bytes_[b - 1]))
            --b;
        std::size_t e = end;
        while (e < bytes_.size() && isBlank(bytes_[e]))
            ++e;
        const bool startsLine = atLineStart(b);
        const bool endsLine = e == bytes_.size() || isLineEnd(bytes_[e]);
        if (startsLine && endsLine)
            return {b, e + lineEndLength(e)};
        if (endsLine)
            return {b, e};
        return {begin, e};
    }

    void remove(std::size_t begin, std::size_t end)
    {
        const auto [b, e] = ownLines(begin, end);
        changes_.push_back({b, e, {}});
    }

    // Lines (each ending in the file's line end) before what stands at `at`.
    void insertBefore(std::size_t at, std::string lines)
    {
        std::size_t b = at;
        while (b > body_ && isBlank(bytes_[b - 1]))
            --b;
        if (atLineStart(b))
            changes_.push_back({b, b, std::move(lines)});
        else
            changes_.push_back({at, at, lineEnd() + lines});
    }

    // Lines after what ends at `end`, past a comment closing its line.
    void insertAfter(std::size_t end, std::string lines)
    {
        std::size_t e = end;
        while (e < bytes_.size() && isBlank(bytes_[e]))
            ++e;
        if (bytes_.compare(e, 2, "//") == 0)
            while (e < bytes_.size() && !isLineEnd(bytes_[e]))
                ++e;
        if (e == bytes_.size())
            return insertAtEnd(std::move(lines));
        if (isLineEnd(bytes_[e]))
            changes_.push_back({e + lineEndLength(e), e + lineEndLength(e), std::move(lines)});
        else
            changes_.push_back({end, end, lineEnd() + lines});
    }

    void insertAtEnd(std::string lines)
    {
        const bool open = bytes_.size() > body_ && !isLineEnd(bytes_.back());
        changes_.push_back({bytes_.size(), bytes_.size(), (open ? lineEnd() : std::string()) + lines});
    }

    void replace(std::size_t begin, std::size_t end, std::string text)
    {
        changes_.push_back({begin, end, std::move(text)});
    }

    // ---- the header

    std::string encoded(std::string_view utf8) const
    {
        return doc_.loaded.encoding == Encoding::CodePage ? toAnsi(utf8) : std::string(utf8);
    }

    std::string keyValue(std::size_t key) const
    {
        if (key == 0)
            return encoded(quotedScript(form_.quote, form_.intro));
        if (key == 1)
            return encoded(quotedScript(form_.quote, form_.mission));
        return std::to_string(form_.briefing[key - 2]);
    }

    // An array or string may end its statement without a ';', and more may
    // follow on its line: another key, an entry's '}'. A number in its place
    // is read up to the ';' or the line's end, so it would take all of that
    // in; a line comment after a blank is the only thing it leaves alone.
    std::string apart(std::size_t valueEnd, std::size_t statementEnd) const
    {
        const std::string &bytes = doc_.bytes;
        if (statementEnd != valueEnd)
            return "";
        std::size_t at = valueEnd;
        while (at < bytes.size() && isBlank(bytes[at]))
            ++at;
        if (at == bytes.size() || isLineEnd(bytes[at]))
            return "";
        const bool commentAfterBlank = at > valueEnd && bytes.compare(at, 2, "//") == 0;
        return commentAfterBlank ? "" : ";";
    }

    bool keyChanged(std::size_t key) const
    {
        const Form &was = doc_.loaded.form;
        if (key == 0)
            return form_.intro != was.intro;
        if (key == 1)
            return form_.mission != was.mission;
        return form_.briefing[key - 2] != was.briefing[key - 2];
    }

    void header()
    {
        const auto &keys = places_.keys;
        for (std::size_t key = 0; key < headerKeyCount; ++key) {
            const KeyPlace &place = keys[key];
            const bool changed = keyChanged(key);
            if (changed && place.found && place.runsOn) {
                // Never half-edited: the form's value on a line of its own after it.
                insertAfter(place.end, std::string(headerKey(key)) + "=" + keyValue(key) + lineEnd());
                out_.inserted.emplace_back(headerKey(key));
            } else if (changed && place.found) {
                replace(place.valueBegin, place.valueEnd, keyValue(key) + apart(place.valueEnd, place.end));
            } else if (changed) {
                insertKey(key);
                out_.inserted.emplace_back(headerKey(key));
            }
            // What the press writes once, it writes nowhere else.
            if (place.found || changed)
                removeRepeats(places_.keyRepeats[key], std::string(headerKey(key)));
        }
    }

    // Beside the keys the file sets, in the press's order: after the nearest
    // before it, else before the nearest after it, else where a press puts
    // the header.
    void insertKey(std::size_t key)
    {
        std::string line = std::string(headerKey(key)) + "=" + keyValue(key) + lineEnd();
        const auto &keys = places_.keys;
        for (std::size_t before = key; before-- > 0;)
            if (keys[before].found)
                return insertAfter(keys[before].end, std::move(line));
        for (std::size_t after = key + 1; after < headerKeyCount; ++after)
            if (keys[after].found)
                return insertBefore(keys[after].begin, std::move(line));
        changes_.push_back({body_, body_, std::move(line)});
    }

    // ---- the sections

    static std::string sectionClass(std::size_t s) { return "class " + std::string(sectionTitles[s]); }

    void section(std::size_t s)
    {
        const SectionPlace &place = places_.sections[s];
        const WrittenSection *written = writtenSection(pressed_, s);
        if (!written) {
            // Left out because a count is not a number: asked about first.
            // A second copy goes with it, or it would stand in its place.
            // One whose "};" stands inside an #if cannot go without what the
            // condition holds of it changing meaning: it stays as it stands.
            if (place.found && !place.closesInCondition) {
                out_.sections.push_back(dropped(s));
                remove(place.begin, place.end);
                removeRepeats(places_.sectionRepeats[s], sectionClass(s));
            }
            return;
        }
        const std::vector<RowWritten> was = rowsWritten(doc_.pressed, s), now = rowsWritten(pressed_, s);
        if (!place.found) {
            // A press of the form as read would add the section too: only a
            // change that writes into it adds it to a mission maker's file;
            // the tool's own file gets it back, empty, with any change.
            if (written->entries.empty() && !(doc_.own && form_ != doc_.loaded.form))
                return;
            addSection(s, *written);
            removeRepeats(places_.sectionRepeats[s], sectionClass(s));
            return;
        }
        removeRepeats(places_.sectionRepeats[s], sectionClass(s));
        const auto table = sectionTable(s);
        for (std::size_t row = 0; row < table.size(); ++row) {
            const EntryPlace &entry = place.entries[row];
            const bool changed = was[row].count != now[row].count;
            if (changed && now[row].count) {
                if (entry.found && entry.hasCount)
                    replace(entry.countBegin, entry.countEnd,
                            std::string(*now[row].count) + apart(entry.countEnd, entry.countStatementEnd));
                else if (entry.found)
                    insertBefore(entry.close, "count = " + std::string(*now[row].count) + ";" + lineEnd());
                else
                    insertEntry(s, row, nextKept(s, row, was, now), entryText(now[row].whole));
            } else if (changed && entry.found) {
                remove(entry.begin, entry.end);
            }
            if (changed || now[row].count)
                removeRepeats(places_.entryRepeats[s][row],
                              "class " + std::string(table[row].name) + " in " + std::string(sectionTitles[s]));
        }
    }

    void insertEntry(std::size_t s, std::size_t row, std::size_t at, std::string text)
    {
        if (const int line = places_.sections[s].entriesElsewhere[row])
            out_.redefinitions.push_back(
                {"class " + std::string(sectionTable(s)[row].name) + " in " + std::string(sectionTitles[s]), line});
        insertBefore(at, std::move(text));
    }

    // The entry as the press writes it, in the file's line end.
    std::string entryText(WrittenSpan whole) const { return withLineEnd(whole.of(pressed_.bytes), lineEnd()); }

    // Before the file's next entry in table order that stays, else before
    // the section's "}".
    std::size_t nextKept(std::size_t s, std::size_t row, const std::vector<RowWritten> &was,
                         const std::vector<RowWritten> &now) const
    {
        const SectionPlace &place = places_.sections[s];
        for (std::size_t next = row + 1; next < place.entries.size() && next < was.size(); ++next) {
            const EntryPlace &entry = place.entries[next];
            const bool removed = was[next].count != now[next].count && !now[next].count;
            if (entry.found && !removed)
                return entry.begin;
        }
        return place.close;
    }

    // Where a press puts it: Weapons before Magazines, Magazines after
    // Weapons, else at the end.
    void addSection(std::size_t s, const WrittenSection &written)
    {
        std::string text = withLineEnd(written.whole.of(pressed_.bytes), lineEnd());
        out_.inserted.push_back(sectionClass(s));
        if (const int line = places_.sections[s].elsewhere)
            out_.redefinitions.push_back({sectionClass(s), line});
        const SectionPlace &weapons = places_.sections[0], &magazines = places_.sections[1];
        if (s == 0 && magazines.found)
            insertBefore(magazines.begin, std::move(text));
        else if (s == 1 && weapons.found && !weapons.closesInCondition)
            insertAfter(weapons.end, std::move(text));
        else
            insertAtEnd(std::move(text));
    }

    DroppedSection dropped(std::size_t s) const
    {
        DroppedSection d{sectionTitles[s], 0, {}};
        const SectionPlace &place = places_.sections[s];
        // The classes it holds, read from its own bytes.
        struct Names final : StatementSink {
            int depth = 0;
            DroppedSection &out;
            explicit Names(DroppedSection &d) : out(d) {}
            void take(const Statement &st) override
            {
                if (st.kind == StatementKind::ClassEnd)
                    --depth;
                const bool counted =
                    depth == 1 && (st.kind == StatementKind::ClassBegin || st.kind == StatementKind::ClassDeclaration);
                if (st.kind == StatementKind::ClassBegin)
                    ++depth;
                if (!counted)
                    return;
                if (++out.entries <= 12)
                    out.names += (out.entries > 1 ? ", " : "") + plainText(st.name, 40);
            }
        } names(d);
        readStatements(std::string_view(bytes_).substr(place.begin, place.end - place.begin), names);
        if (d.entries > 12)
            d.names += " and " + std::to_string(d.entries - 12) + " more";
        return d;
    }

    // ---- repeats

    // Removed in the one pass that writes the bytes: a file of millions of
    // repeats needs no change of its own for each.
    void removeRepeats(const RepeatList &repeats, const std::string &what)
    {
        if (repeats.empty())
            return;
        removing_.push_back({&repeats, 0});
        out_.repeatCount += repeats.size();
        for (std::size_t n = 0; n < repeats.size() && removals_.size() < namedRepeats; ++n)
            removals_.push_back({repeats[n].begin, repeats[n].end, what});
    }

    // Line numbers and first lines for the repeats named, found in one pass.
    void nameRepeats()
    {
        std::sort(removals_.begin(), removals_.end(), [](const Named &a, const Named &b) { return a.begin < b.begin; });
        std::size_t at = body_;
        int line = 1;
        for (const Named &n : removals_) {
            Removal r;
            r.what = n.what;
            line += countLines(at, n.begin);
            at = n.begin;
            r.firstLine = line;
            r.lastLine = line + countLines(n.begin, n.end);
            std::size_t lineStart = n.begin;
            while (lineStart > body_ && !isLineEnd(bytes_[lineStart - 1]))
                --lineStart;
            std::string_view text = std::string_view(bytes_).substr(lineStart, 320);
            text = text.substr(0, text.find_first_of("\r\n"));
            const std::optional<std::string> decoded =
                doc_.loaded.encoding == Encoding::CodePage ? fromAnsi(text) : std::optional<std::string>(text);
            r.text = plainText(decoded.value_or(std::string(text)), 80);
            out_.repeats.push_back(std::move(r));
        }
    }

    int countLines(std::size_t from, std::size_t to) const
    {
        int lines = 0;
        for (std::size_t at = from; at < to; ++at) {
            if (bytes_[at] == '\r' && at + 1 < to && bytes_[at + 1] == '\n')
                ++at;
            lines += isLineEnd(bytes_[at]) ? 1 : 0;
        }
        return lines;
    }

    // ---- the bytes

    // The next repeat to remove in file order, from every list being
    // removed; false when none is left.
    bool nextRepeat(std::size_t &begin, std::size_t &end)
    {
        Cursor *least = nullptr;
        for (Cursor &c : removing_)
            if (c.next < c.list->size() && (!least || (*c.list)[c.next].begin < (*least->list)[least->next].begin))
                least = &c;
        if (!least)
            return false;
        const Repeat r = (*least->list)[least->next++];
        std::tie(begin, end) = ownLines(r.begin, r.end);
        return true;
    }

    void apply()
    {
        nameRepeats();
        if (!write_)
            return;
        std::stable_sort(changes_.begin(), changes_.end(), [](const Change &a, const Change &b) {
            // At one place, insertions before replacements.
            return a.begin != b.begin ? a.begin < b.begin : (a.begin == a.end) > (b.begin == b.end);
        });
        // Twice through: the size first, so that the bytes are allocated
        // once and no larger than they end up.
        out_.bytes.reserve(splice(nullptr));
        splice(&out_.bytes);
    }

    // The file with every change and every repeat removed, appended to `out`
    // where given; its size.
    std::size_t splice(std::string *out)
    {
        for (Cursor &c : removing_)
            c.next = 0;
        std::size_t size = 0, from = 0;
        const auto copy = [&](std::size_t to) {
            if (out)
                out->append(bytes_, from, to - from);
            size += to - from;
        };
        const auto change = [&](std::size_t begin, std::size_t end, std::string_view text) {
            // A change inside one already made (a repeat inside a removed
            // section) has nothing left to change.
            if (begin < from && begin != end)
                return;
            if (begin >= from) {
                copy(begin);
                from = end;
            }
            if (out)
                *out += text;
            size += text.size();
        };
        std::size_t repeatBegin = 0, repeatEnd = 0;
        bool repeat = nextRepeat(repeatBegin, repeatEnd);
        for (const Change &c : changes_) {
            for (; repeat && repeatBegin < c.begin; repeat = nextRepeat(repeatBegin, repeatEnd))
                change(repeatBegin, repeatEnd, {});
            change(c.begin, c.end, c.text);
        }
        for (; repeat; repeat = nextRepeat(repeatBegin, repeatEnd))
            change(repeatBegin, repeatEnd, {});
        copy(bytes_.size());
        return size;
    }

    struct Named {
        std::size_t begin, end;
        std::string what;
    };
    struct Cursor {
        const RepeatList *list;
        std::size_t next;
    };

    bool write_;
    const Document &doc_;
    const std::string &bytes_;
    const Places &places_;
    const Form &form_;
    const Pressed &pressed_;
    Edit &out_;
    std::size_t body_; // where the text begins, past a UTF-8 mark
    std::vector<Change> changes_;
    std::vector<Cursor> removing_;
    std::vector<Named> removals_;
};

// Whether the bytes are what a press writes: every header key in its shape
// and order, each section the file has with its entries in table order, each
// in the writer's shape, and nothing else. Such a file gets its sections back
// as a press writes them, empty or not, so that it edits into a fresh press.
bool isOwn(std::string_view bytes, const Loaded &loaded)
{
    const Places &places = loaded.places;
    if (loaded.report.refusal || loaded.encoding != Encoding::CodePage ||
        std::any_of(places.keys.begin(), places.keys.end(), [](const KeyPlace &k) { return !k.taken; }))
        return false;
    FileWriter out;
    out.header(loaded.form);
    for (std::size_t s = 0; s < sectionTitles.size(); ++s) {
        const SectionPlace &section = places.sections[s];
        if (!section.found)
            continue;
        out.beginSection(sectionTitles[s]);
        const auto table = sectionTable(s);
        for (std::size_t row = 0; row < table.size(); ++row) {
            const EntryPlace &entry = section.entries[row];
            if (!entry.found)
                continue;
            if (!entry.hasCount)
                return false;
            out.classEntry(table[row].name,
                           readCount(bytes.substr(entry.countBegin, entry.countEnd - entry.countBegin)));
        }
        out.endSection();
    }
    return out.bytes() == bytes;
}

} // namespace

Document readDocument(std::string bytes)
{
    Document doc;
    doc.loaded = loadDescription(bytes);
    WindowFields fields;
    doc.pressed = pressForm(doc.loaded.form, fields);
    doc.own = isOwn(bytes, doc.loaded);
    // A press's own file in the code page can happen to be valid UTF-8 too.
    if (!doc.own && !doc.loaded.report.refusal && doc.loaded.encoding == Encoding::Utf8) {
        Loaded asCodePage = loadDescription(bytes, Encoding::CodePage);
        if (isOwn(bytes, asCodePage)) {
            doc.loaded = std::move(asCodePage);
            doc.pressed = pressForm(doc.loaded.form, fields);
            doc.own = true;
        }
    }
    doc.lineEnd = firstLineEnd(bytes);
    doc.bytes = std::move(bytes);
    return doc;
}

Edit edit(const Document &document, const Form &form, WindowFields &fields, bool write)
{
    Pressed pressed = pressForm(form, fields);
    Edit out;
    out.failed = std::move(pressed.failed);
    Editor(document, form, pressed, out, write).run();
    return out;
}

Edit pressWhole(const Form &form, WindowFields &fields)
{
    Pressed pressed = pressForm(form, fields);
    Edit out;
    out.bytes = std::move(pressed.bytes);
    out.failed = std::move(pressed.failed);
    return out;
}

std::vector<std::string_view> unsetKeys(const Document &document)
{
    std::vector<std::string_view> unset;
    for (std::size_t key = 2; key < headerKeyCount; ++key)
        if (!document.loaded.places.keys[key].found)
            unset.push_back(headerKey(key));
    return unset;
}

} // namespace qor
