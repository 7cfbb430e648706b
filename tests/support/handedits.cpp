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
            depth += lines[n] == "{" ? 1 : lines[n] == "};" ? -1 : 0;
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

Keeping pressLoaded(std::string_view bytes)
{
    Keeping p;
    const ReadFile file = readDescription(bytes);
    Loaded loaded = loadForm(file);
    p.form = FormRecord(std::move(loaded.form));
    p.kept = keep(bytes, file, loaded.report.leftovers, press(p.form));
    return p;
}

} // namespace qor::test
