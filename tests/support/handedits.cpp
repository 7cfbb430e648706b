#include "handedits.h"

#include "format/reader.h"
#include "mission/loader.h"
#include "testutil.h"

#include <array>
#include <string_view>

namespace qor::test
{

namespace
{

constexpr std::array<std::string_view, 10> topLevel = {
    "respawn = 3;",
    "// a note",
    "#include \"sounds.hpp\"",
    "class Extra { a = 1; };",
    "titleParam1[] = {1, \"two\", {3}};",
    "/* two\r\n   lines */",
    "// caf\xC3\xA9 \xE2\x98\x83",
    "  disabledAI=1",
    "class CfgSounds\r\n{\r\n\r\n    sounds[] = {};\r\n};",
    "",
};

constexpr std::array<std::string_view, 5> inSection = {
    "class Addon_Gun { count = 5; };",
    "// add-on",
    "class Addon_Rifle\r\n{\r\n    count = 2;\r\n};",
    "class Addon_Mag\r\n{\r\n    count = 1O;\r\n};",
    "class Addon_Other;",
};

} // namespace

std::string spliceHandEdits(const std::string &pressed, std::mt19937 &rng, int count)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < pressed.size();) {
        const std::size_t end = pressed.find("\r\n", at);
        lines.emplace_back(pressed.substr(at, end - at));
        at = end == std::string::npos ? pressed.size() : end + 2;
    }
    // Where an edit may go: before line n, at depth 0 or 1, never between a
    // class and its "{".
    std::vector<std::pair<std::size_t, int>> places;
    int depth = 0;
    for (std::size_t n = 0; n <= lines.size(); ++n) {
        if (n == lines.size() || lines[n] != "{")
            places.emplace_back(n, depth);
        if (n < lines.size())
            for (const char c : lines[n])
                depth += c == '{' ? 1 : c == '}' ? -1 : 0;
    }
    std::vector<std::vector<std::string_view>> added(lines.size() + 1);
    for (int e = 0; e < count; ++e) {
        const auto &[line, d] = places[rng() % places.size()];
        if (d == 0)
            added[line].push_back(topLevel[rng() % topLevel.size()]);
        else if (d == 1)
            added[line].push_back(inSection[rng() % inSection.size()]);
    }
    std::string out;
    for (std::size_t n = 0; n <= lines.size(); ++n) {
        for (std::string_view a : added[n])
            out.append(a).append("\r\n");
        if (n < lines.size())
            out += lines[n] + "\r\n";
    }
    return out;
}

namespace
{

// The press's lines: header keys "key=value" with blank lines between, then
// the sections, each entry four lines.
struct Pieces {
    std::vector<std::string> keys;                       // as written
    std::vector<std::pair<std::string, Lines>> sections; // title, entries each as one text
};

std::vector<std::string> splitLines(const std::string &bytes)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", at);
        lines.emplace_back(bytes.substr(at, end - at));
        at = end == std::string::npos ? bytes.size() : end + 2;
    }
    return lines;
}

std::string flipCase(std::string text, std::mt19937 &rng)
{
    for (char &c : text)
        if (((c | 0x20) >= 'a' && (c | 0x20) <= 'z') && rng() % 3 == 0)
            c = static_cast<char>(c ^ 0x20);
    return text;
}

} // namespace

std::string reshape(const std::string &pressed, std::mt19937 &rng)
{
    const std::vector<std::string> lines = splitLines(pressed);
    std::vector<std::string> keys;
    std::vector<std::pair<std::string, std::vector<std::vector<std::string>>>> sections;
    for (std::size_t n = 0; n < lines.size();) {
        const std::string &line = lines[n];
        if (line.rfind("class ", 0) == 0) {
            sections.push_back({line.substr(6), {}});
            n += 2; // "class <title>", "{"
            while (n < lines.size() && lines[n] != "};") {
                sections.back().second.push_back({lines[n], lines[n + 1], lines[n + 2], lines[n + 3]});
                n += 4;
            }
            ++n;
        } else {
            if (!line.empty())
                keys.push_back(line);
            ++n;
        }
    }
    const std::string end = "\r\n";
    std::string out;
    const auto blank = [&] {
        if (rng() % 3 == 0)
            out += end;
    };
    // A script name runs to its line's last quote: nothing may follow it.
    const auto headerLine = [&](const std::string &key) {
        const std::size_t eq = key.find('=');
        const bool script = key.find('"') != std::string::npos;
        std::string name = key.substr(0, eq);
        if (!script)
            name = flipCase(name, rng);
        out += name + (rng() % 2 ? " = " : "=") + key.substr(eq + 1);
        if (!script && rng() % 2)
            out += ";";
        if (!script && rng() % 4 == 0)
            out += " // note";
        out += end;
    };
    // Keys before and after the sections, in their order or not.
    std::vector<std::string> before, after;
    for (const std::string &key : keys)
        (rng() % 4 == 0 ? after : before).push_back(key);
    if (rng() % 2)
        std::shuffle(before.begin(), before.end(), rng);
    for (const std::string &key : before) {
        blank();
        headerLine(key);
    }
    for (auto &[title, entries] : sections) {
        blank();
        out += "class " + (rng() % 3 == 0 ? flipCase(title, rng) : title) + (rng() % 2 ? " {" : end + "{") + end;
        if (rng() % 3 == 0)
            std::shuffle(entries.begin(), entries.end(), rng);
        for (const auto &e : entries) {
            const std::string name = e[0].substr(6), count = e[2].substr(e[2].find('=') + 2);
            const std::string shown = rng() % 4 == 0 ? flipCase(name, rng) : name;
            switch (rng() % 3) {
            case 0:
                out += "    class " + shown + " { count = " + count + "; };" + end;
                break;
            case 1:
                out += "class " + shown + end + "{" + end + "\tcount=" + count + end + "};" +
                       (rng() % 2 ? " // x" : "") + end;
                break;
            default:
                out += "class " + shown + " {count = " + count + "};" + end;
                break;
            }
        }
        out += "};" + end;
    }
    for (const std::string &key : after)
        headerLine(key);
    return out;
}

std::string withLineEnds(const std::string &crlfText, std::mt19937 &rng)
{
    const char *const ends[] = {"\r\n", "\n", "\r"};
    const std::string_view end = ends[rng() % 3];
    std::string out;
    for (std::size_t at = 0; at < crlfText.size(); ++at) {
        if (crlfText.compare(at, 2, "\r\n") == 0) {
            out += end;
            ++at;
        } else {
            out += crlfText[at];
        }
    }
    return out;
}

Editing pressLoaded(std::string bytes)
{
    Editing e{readDocument(std::move(bytes)), {}, {}};
    e.form = FormRecord(e.document.loaded.form);
    e.edit = editInto(e.document, e.form);
    return e;
}

Edit editInto(const Document &document, const FormRecord &form)
{
    WindowFields fields;
    return edit(document, form, fields);
}

} // namespace qor::test
