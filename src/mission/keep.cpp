#include "mission/keep.h"

#include "format/ansi.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <span>

namespace qor
{

std::vector<std::size_t> lineStarts(std::string_view bytes, bool utf8)
{
    std::vector<std::size_t> starts{utf8 ? 3u : 0u};
    for (std::size_t at = starts[0]; at < bytes.size(); ++at) {
        if (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n')
            ++at;
        if (bytes[at] == '\r' || bytes[at] == '\n')
            starts.push_back(at + 1);
    }
    return starts;
}

namespace
{

constexpr std::size_t none = static_cast<std::size_t>(-1);
constexpr std::array<std::string_view, 2> sectionTitles{"Weapons", "Magazines"};

int sectionIndex(std::string_view name)
{
    for (std::size_t s = 0; s < sectionTitles.size(); ++s)
        if (sameIgnoringCase(name, sectionTitles[s]))
            return static_cast<int>(s);
    return -1;
}

bool isClass(const Statement &s)
{
    return s.kind == StatementKind::ClassBegin || s.kind == StatementKind::ClassDeclaration;
}

// Every class's end and every statement's enclosing class, found with a stack.
struct Nesting {
    std::vector<std::size_t> match, parent; // a class's end; an end's class

    explicit Nesting(const std::vector<Statement> &st) : match(st.size(), 0), parent(st.size(), none)
    {
        std::vector<std::size_t> open;
        for (std::size_t n = 0; n < st.size(); ++n) {
            if (st[n].kind == StatementKind::ClassEnd && !open.empty()) {
                match[open.back()] = n;
                match[n] = open.back();
                open.pop_back();
            }
            parent[n] = open.empty() ? none : open.back();
            if (st[n].kind == StatementKind::ClassBegin)
                open.push_back(n);
        }
    }
    std::size_t next(const std::vector<Statement> &st, std::size_t n) const
    {
        return st[n].kind == StatementKind::ClassBegin ? match[n] + 1 : n + 1;
    }
};

// Where a key or a class's brace stands in the form's shape, the same for the
// file as read and for the press ("=showmap", "0{", "0/M16=count", "1/M16}"),
// so that what follows it on its line can follow it into the press. Nothing
// for what the form has no place for.
template <class SectionOf>
std::optional<std::string> shapeKey(const std::vector<Statement> &st, const Nesting &nest, std::size_t n,
                                    SectionOf sectionOf)
{
    const Statement &s = st[n];
    std::size_t owner = n;
    std::string tail;
    if (s.kind == StatementKind::Assignment) {
        owner = nest.parent[n];
        tail = "=";
        for (const char c : s.name)
            tail += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    } else if (s.kind == StatementKind::ClassBegin) {
        tail = "{";
    } else if (s.kind == StatementKind::ClassEnd) {
        owner = nest.match[n];
        tail = "}";
    } else {
        return std::nullopt;
    }
    if (owner == none)
        return tail;
    const std::size_t section = nest.parent[owner] == none ? owner : nest.parent[owner];
    const int index = nest.parent[section] == none ? sectionOf(section) : -1;
    if (index < 0)
        return std::nullopt;
    const std::string path = std::to_string(index);
    return section == owner ? path + tail : path + "/" + std::string(st[owner].name) + tail;
}

// What the press writes, found by reading its bytes back.
struct PressedFile {
    ReadFile file;
    std::vector<std::size_t> starts;
    std::array<int, 2> begin{};                             // line of "class <title>", 0 where left out
    std::array<int, 2> end{};                               // line of its "};"
    std::array<std::map<std::string_view, int>, 2> entries; // class name -> its line
    std::vector<std::string_view> keys;
    std::map<std::string, int> lastLines; // shapeKey -> the line it ends on
    std::string_view bytes;

    explicit PressedFile(std::string_view pressed)
        : file(readDescription(pressed)), starts(lineStarts(pressed, false)), bytes(pressed)
    {
        const auto &st = file.statements;
        const Nesting nest(st);
        for (std::size_t n = 0; n < st.size(); ++n)
            if (const auto key = shapeKey(st, nest, n, [&](std::size_t c) { return sectionIndex(st[c].name); }))
                lastLines.emplace(*key, st[n].lastLine);
        for (std::size_t n = 0; n < st.size(); n = nest.next(st, n)) {
            if (st[n].kind == StatementKind::Assignment)
                keys.push_back(st[n].name);
            const int s = st[n].kind == StatementKind::ClassBegin ? sectionIndex(st[n].name) : -1;
            if (s < 0)
                continue;
            const auto at = static_cast<std::size_t>(s);
            begin[at] = st[n].firstLine;
            end[at] = st[nest.match[n]].firstLine;
            for (std::size_t e = n + 1; e < nest.match[n]; e = nest.next(st, e))
                entries[at].emplace(st[e].name, st[e].firstLine);
        }
    }
    std::size_t lineAt(int line) const { return starts[static_cast<std::size_t>(line - 1)]; }
    // Where the line's text ends, before its line break.
    std::size_t lineEnd(int line) const
    {
        std::size_t end =
            static_cast<std::size_t>(line) < starts.size() ? starts[static_cast<std::size_t>(line)] : bytes.size();
        while (end > lineAt(line) && (bytes[end - 1] == '\r' || bytes[end - 1] == '\n'))
            --end;
        return end;
    }
    bool writesKey(std::string_view key) const
    {
        return std::any_of(keys.begin(), keys.end(), [&](std::string_view k) { return sameIgnoringCase(k, key); });
    }
};

// Lines of the read file, joined where they share a line, with where they go.
struct Chunk {
    Leftover range;
    std::size_t first = 0, end = 0; // statements
    std::optional<std::string> unkept;
    bool dropped = false;
    std::size_t at = 0;           // in the pressed bytes
    std::size_t container = none; // the section it goes into, or none
    int trailing = 0;             // a comment after what the form holds: the press's line it ends
};

class Splicer
{
  public:
    Splicer(std::string_view bytes, const ReadFile &file, const Leftovers &leftovers, std::string_view pressed)
        : bytes_(bytes), file_(file), st_(file.statements), nest_(st_), left_(st_.size()),
          heldLine_(static_cast<std::size_t>(file.lineCount) + 2), section_(st_.size(), -1), pressed_(pressed),
          pressedSize_(pressed.size()), starts_(lineStarts(bytes, file.utf8)), leftovers_(leftovers)
    {
        std::array<bool, 2> seen{};
        for (std::size_t n = 0; n < st_.size(); ++n) {
            const Statement &s = st_[n];
            const std::size_t parent = nest_.parent[n];
            const int title = parent == none && s.kind == StatementKind::ClassBegin ? sectionIndex(s.name) : -1;
            if (s.kind == StatementKind::ClassEnd) {
                left_[n] = left_[nest_.match[n]];
            } else if (title >= 0 && s.base.empty() && !seen[static_cast<std::size_t>(title)]) {
                seen[static_cast<std::size_t>(title)] = true; // the loader takes the first one
                section_[n] = title;
            } else {
                left_[n] = (parent != none && left_[parent]) ||
                           (s.kind == StatementKind::Comment ? leftovers.covered(s.firstLine)
                                                             : leftovers.coveredBesidesComments(s.firstLine));
            }
            if (left_[n])
                continue;
            for (int line = s.firstLine; line <= s.lastLine; ++line)
                heldLine_[static_cast<std::size_t>(line)] = 1;
            if (s.kind != StatementKind::ClassEnd)
                heldChildren_[parent].push_back(n);
        }
        chunks();
    }

    Kept run(std::string_view pressed)
    {
        Kept out;
        for (std::size_t n = 0; n < st_.size(); ++n)
            if (section_[n] >= 0 && !pressed_.begin[static_cast<std::size_t>(section_[n])])
                out.sections.push_back({sectionTitles[static_cast<std::size_t>(section_[n])], entriesIn(n)});

        struct Insert {
            std::size_t at;
            std::string text;
            int lastLine;
        };
        std::vector<Insert> inserts;
        // Kept lines keep their order among themselves, even where the press
        // writes what follows them in another order than the file.
        std::map<std::size_t, std::size_t> floor;
        for (Chunk &c : chunks_) {
            if (c.unkept) {
                out.unkept.push_back(c.range);
                out.unkept.back().reason = *c.unkept;
                continue;
            }
            place(c);
            if (c.dropped) {
                out.dropped.push_back(c.range);
                continue;
            }
            out.kept.push_back(c.range);
            if (c.trailing) {
                inserts.push_back({c.at, trailingText(c), c.range.lastLine});
                continue;
            }
            std::size_t &least = floor[c.container];
            c.at = least = std::max(c.at, least);
            // Blank lines between two kept ranges bound for one place go along.
            if (!inserts.empty() && inserts.back().at == c.at &&
                blankLines(inserts.back().lastLine + 1, c.range.firstLine - 1)) {
                inserts.back().text += lines(inserts.back().lastLine + 1, c.range.lastLine);
                inserts.back().lastLine = c.range.lastLine;
            } else {
                inserts.push_back({c.at, lines(c.range.firstLine, c.range.lastLine), c.range.lastLine});
            }
        }

        const auto isAscii = [](std::string_view s) {
            return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        };
        // A kept line of a UTF-8 file goes into the code page where that loses
        // nothing; otherwise the whole file becomes UTF-8 with its mark.
        if (file_.utf8) {
            for (Insert &i : inserts) {
                if (isAscii(i.text))
                    continue;
                std::string ansi = toAnsi(i.text);
                if (fromAnsi(ansi) == i.text)
                    i.text = std::move(ansi);
                else
                    out.utf8 = true;
            }
        }
        std::stable_sort(inserts.begin(), inserts.end(), [](const Insert &a, const Insert &b) { return a.at < b.at; });
        const auto pressedPart = [&](std::size_t from, std::size_t to) {
            const std::string_view part = pressed.substr(from, to - from);
            return out.utf8 && !isAscii(part) ? fromAnsi(part).value_or(std::string(part)) : std::string(part);
        };
        if (out.utf8)
            out.bytes = "\xEF\xBB\xBF";
        std::size_t from = 0;
        for (const Insert &i : inserts) {
            out.bytes += pressedPart(from, i.at);
            out.bytes += i.text;
            from = i.at;
        }
        out.bytes += pressedPart(from, pressed.size());
        return out;
    }

  private:
    // The outermost statements the form does not hold, joined where they
    // share a line.
    void chunks()
    {
        for (std::size_t n = 0; n < st_.size();) {
            const std::size_t parent = nest_.parent[n];
            if (!left_[n] || (parent != none && left_[parent]) || st_[n].kind == StatementKind::ClassEnd) {
                ++n; // inside what the form holds, lines of its own may follow
                continue;
            }
            const std::size_t end = nest_.next(st_, n);
            Leftover l{st_[n].firstLine, st_[end - 1].lastLine, reasonAt(st_[n].firstLine)};
            const std::optional<std::string> conflict = contradiction(n, end, l.reason);
            if (!chunks_.empty() && l.firstLine <= chunks_.back().range.lastLine) {
                Chunk &c = chunks_.back();
                c.range.lastLine = std::max(c.range.lastLine, l.lastLine);
                c.end = end;
                if (!c.unkept)
                    c.unkept = conflict;
            } else {
                chunks_.push_back({l, n, end, conflict});
            }
            n = end;
        }
        for (Chunk &c : chunks_)
            if (!c.unkept)
                for (int line = c.range.firstLine; line <= c.range.lastLine; ++line)
                    if (heldLine_[static_cast<std::size_t>(line)]) {
                        if (!(c.trailing = trailingLine(c)))
                            c.unkept = c.range.reason + "; shares its line with what the press writes";
                        break;
                    }
        followFirstListings();
    }

    // The reader takes the first listing of a name in a section. Where that
    // one is not kept, a later listing kept alone would be read as the first
    // next time and change the form, so it goes with the first.
    void followFirstListings()
    {
        std::map<std::pair<int, std::string_view>, const Chunk *> first;
        for (Chunk &c : chunks_) {
            std::vector<std::pair<int, std::string_view>> names;
            for (std::size_t n = c.first; n < c.end; ++n) {
                const std::size_t parent = nest_.parent[n];
                if (parent != none && section_[parent] >= 0 && isClass(st_[n]))
                    names.emplace_back(section_[parent], st_[n].name);
            }
            for (const auto &name : names) {
                const auto [at, isFirst] = first.emplace(name, &c);
                const Chunk &earlier = *at->second;
                if (!isFirst && earlier.unkept && !c.unkept)
                    c.unkept = c.range.reason + "; listed after line " + std::to_string(earlier.range.firstLine) +
                               ", which the press does not keep";
            }
        }
    }

    // A comment that ends a line the form holds ("showMap=1; // map on") goes
    // to the end of the line the press writes for the last thing it holds
    // there: 0 where the chunk is not such a comment or that has no line.
    int trailingLine(const Chunk &c) const
    {
        const int line = c.range.firstLine;
        if (c.range.lastLine != line || c.first == 0 || (c.end < st_.size() && st_[c.end].firstLine == line))
            return 0;
        for (std::size_t n = c.first; n < c.end; ++n)
            if (st_[n].kind != StatementKind::Comment || st_[n].value.data() < bytes_.data() ||
                st_[n].value.data() >= bytes_.data() + bytes_.size())
                return 0;
        const std::size_t held = c.first - 1;
        // A script name runs to its line's last quote: a comment there would
        // become part of it.
        if (left_[held] || st_[held].lastLine != line ||
            (st_[held].kind == StatementKind::Assignment && isScriptKey(st_[held].name)))
            return 0;
        const auto key = shapeKey(st_, nest_, held, [&](std::size_t n) { return section_[n]; });
        const auto found = key ? pressed_.lastLines.find(*key) : pressed_.lastLines.end();
        return found == pressed_.lastLines.end() ? 0 : found->second;
    }

    // The comment as it stands, with the blanks before it (one at least).
    std::string trailingText(const Chunk &c) const
    {
        const std::size_t lineStart = starts_[static_cast<std::size_t>(c.range.firstLine - 1)];
        auto from = static_cast<std::size_t>(st_[c.first].value.data() - bytes_.data());
        while (from > lineStart && (bytes_[from - 1] == ' ' || bytes_[from - 1] == '\t'))
            --from;
        const std::string_view rest = line(c.range.firstLine).substr(from - lineStart);
        return rest.front() == ' ' || rest.front() == '\t' ? std::string(rest) : " " + std::string(rest);
    }

    std::string reasonAt(int line) const
    {
        for (const Leftover &l : leftovers_)
            if (l.firstLine <= line && line <= l.lastLine)
                return l.reason;
        return "a line the form does not hold";
    }

    // Why keeping this leftover would make the file say something twice.
    std::optional<std::string> contradiction(std::size_t first, std::size_t end, const std::string &reason) const
    {
        const Statement &s = st_[first];
        const std::size_t parent = nest_.parent[first];
        if (parent == none) {
            if (s.kind == StatementKind::Assignment && pressed_.writesKey(s.name))
                return reason + "; the press writes " + std::string(s.name) + " itself";
            if (isClass(s) && sectionIndex(s.name) >= 0)
                return reason + "; the press writes class " + std::string(s.name) + " itself";
            return std::nullopt;
        }
        if (section_[parent] >= 0) {
            const auto &written = pressed_.entries[static_cast<std::size_t>(section_[parent])];
            if (isClass(s) && written.count(s.name))
                return reason + "; the press writes class " + std::string(s.name) + " itself";
            return std::nullopt;
        }
        const bool comments = std::all_of(st_.begin() + static_cast<std::ptrdiff_t>(first),
                                          st_.begin() + static_cast<std::ptrdiff_t>(end),
                                          [](const Statement &t) { return t.kind == StatementKind::Comment; });
        const std::size_t outer = nest_.parent[parent];
        if (comments && outer != none && section_[outer] >= 0)
            return std::nullopt;
        return reason + "; inside class " + std::string(st_[parent].name) + ", which the press writes in its own shape";
    }

    void place(Chunk &c) const
    {
        if (c.trailing) {
            c.at = pressed_.lineEnd(c.trailing);
            return;
        }
        std::size_t parent = nest_.parent[c.first];
        std::size_t from = c.end;
        if (parent != none && section_[parent] < 0) {
            // A comment inside an entry the form writes: after that entry.
            from = nest_.match[parent] + 1;
            parent = nest_.parent[parent];
        }
        c.container = parent;
        if (parent == none) {
            c.at = topLevelPlace(from);
            return;
        }
        const auto s = static_cast<std::size_t>(section_[parent]);
        if (!pressed_.begin[s]) {
            c.dropped = true;
            return;
        }
        for (const std::size_t n : heldAfter(parent, from)) {
            if (st_[n].kind != StatementKind::ClassBegin)
                continue;
            if (const auto found = pressed_.entries[s].find(st_[n].name); found != pressed_.entries[s].end()) {
                c.at = pressed_.lineAt(found->second);
                return;
            }
        }
        c.at = pressed_.lineAt(pressed_.end[s]);
    }

    std::size_t topLevelPlace(std::size_t from) const
    {
        for (const std::size_t n : heldAfter(none, from)) {
            if (st_[n].kind == StatementKind::Assignment)
                return 0; // before the header
            if (section_[n] >= 0 && pressed_.begin[static_cast<std::size_t>(section_[n])])
                return pressed_.lineAt(pressed_.begin[static_cast<std::size_t>(section_[n])]);
        }
        return pressedSize_; // at the end
    }

    // What the form holds directly inside `parent`, from statement `from` on:
    // a few dozen at most, however many lines are kept between them.
    std::span<const std::size_t> heldAfter(std::size_t parent, std::size_t from) const
    {
        const auto found = heldChildren_.find(parent);
        if (found == heldChildren_.end())
            return {};
        const std::vector<std::size_t> &held = found->second;
        return {std::lower_bound(held.begin(), held.end(), from), held.end()};
    }

    int entriesIn(std::size_t section) const
    {
        int n = 0;
        for (std::size_t e = section + 1; e < nest_.match[section]; e = nest_.next(st_, e))
            n += isClass(st_[e]) ? 1 : 0;
        return n;
    }

    std::string_view line(int n) const
    {
        const auto at = static_cast<std::size_t>(n - 1);
        const std::size_t begin = starts_[at];
        std::size_t end = at + 1 < starts_.size() ? starts_[at + 1] : bytes_.size();
        while (end > begin && (bytes_[end - 1] == '\r' || bytes_[end - 1] == '\n'))
            --end;
        return bytes_.substr(begin, end - begin);
    }

    bool blankLines(int first, int last) const
    {
        for (int n = first; n <= last; ++n)
            if (line(n).find_first_not_of(" \t") != std::string_view::npos)
                return false;
        return true;
    }

    // Verbatim, each line ended as the press ends its own.
    std::string lines(int first, int last) const
    {
        std::string text;
        for (int n = first; n <= last; ++n) {
            text += line(n);
            text += "\r\n";
        }
        return text;
    }

    std::string_view bytes_;
    const ReadFile &file_;
    const std::vector<Statement> &st_;
    Nesting nest_;
    std::vector<char> left_;     // inside a leftover
    std::vector<char> heldLine_; // a line the form holds part of
    std::vector<int> section_;   // the file's Weapons (0) or Magazines (1) the form holds
    std::map<std::size_t, std::vector<std::size_t>> heldChildren_; // by enclosing class, in file order
    PressedFile pressed_;
    std::size_t pressedSize_;
    std::vector<std::size_t> starts_;
    std::vector<Chunk> chunks_;
    const Leftovers &leftovers_;
};

} // namespace

Kept keep(std::string_view fileBytes, const ReadFile &file, const Leftovers &leftovers, std::string_view pressed)
{
    if (file.refusal) {
        Kept out;
        out.bytes = pressed;
        return out;
    }
    return Splicer(fileBytes, file, leftovers, pressed).run(pressed);
}

} // namespace qor
