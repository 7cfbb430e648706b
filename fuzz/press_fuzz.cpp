// A whole press on a window filled from the fuzzer's bytes. What the file and
// the window must look like afterwards is worked out here, from the window
// before the press, and compared line by line.
#include "catalogue/catalogue.h"
#include "format/ansi.h"
#include "format/countformat.h"
#include "invariant.h"
#include "press/checks.h"
#include "press/command.h"
#include "testutil.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <span>
#include <string>
#include <vector>

using namespace qor;

namespace
{

const char *const countWords[] = {
    "0",      "1",     "12",     "-3",
    "2.5",    "abc",   "",       "00",
    " 7",     "&HFF",  "&HFFFF", "1e3",
    "0.0",    "3x",    "1e308",  "-0",
    "1,5",    "1e-3",  "&O17",   "999999999999999",
    "1e15",   "0.1",   "5e-324", "1.7976931348623157e308",
    "-1e308", "\t4\n",
};

// The script boxes are single-line in the window and never hand over a line
// break; the core writes the names verbatim, so CR and LF are kept out here
// and "no bare CR or LF" stays a property of the file.
std::string singleLine(std::string s)
{
    std::replace(s.begin(), s.end(), '\r', ' ');
    std::replace(s.begin(), s.end(), '\n', ' ');
    return s;
}

FormRecord formFrom(FuzzedDataProvider &in)
{
    FormRecord form;
    for (auto &option : form.briefing)
        option = in.ConsumeIntegralInRange<std::int16_t>(0, 2);
    for (int slot = 0; slot < checkBoxCount; ++slot)
        form.setValue(wep(slot), in.ConsumeIntegralInRange<std::int16_t>(0, 2));
    for (auto &text : form.counts) {
        const auto pick = in.ConsumeIntegral<std::uint8_t>();
        text = pick < 192 ? countWords[pick % std::size(countWords)] : in.ConsumeRandomLengthString(24);
    }
    form.intro = singleLine(in.ConsumeRandomLengthString(64));
    form.mission = singleLine(in.ConsumeRandomLengthString(64));
    if (in.ConsumeBool())
        form.quote = singleLine(in.ConsumeRandomLengthString(3));
    return form;
}

// The count checks, typed in again here rather than taken from the core's
// tables, so that a fault in those shows: box range, the check box judging the
// first box, and whether the group stops at its first failure.
struct ExpectedCheckGroup {
    int first, last, judge;
    bool loop;
};
const ExpectedCheckGroup firstPass[] = {{0, 31, 0, true}, {44, 47, 44, true}, {50, 51, 50, true}};
const ExpectedCheckGroup secondPass[] = {{32, 43, 32, true},  {52, 83, 0, true},   {48, 48, 48, false},
                                         {49, 49, 49, false}, {84, 84, 50, false}, {85, 85, 51, false}};

// Boxes that fail, in check order.
std::vector<int> failures(const FormRecord &f, std::span<const ExpectedCheckGroup> groups)
{
    std::vector<int> failed;
    for (const ExpectedCheckGroup &g : groups)
        for (int box = g.first; box <= g.last; ++box) {
            const std::string &t = f.counts[static_cast<std::size_t>(box)];
            if (f.ticks[static_cast<std::size_t>(g.judge + box - g.first)] == ticked && t != "0" && readCount(t) == 0) {
                failed.push_back(box);
                if (g.loop)
                    break;
            }
        }
    return failed;
}

std::vector<std::string> splitLines(const std::string &file)
{
    for (std::size_t n = 0; n < file.size(); ++n) {
        if (file[n] == '\r')
            QOR_INVARIANT(n + 1 < file.size() && file[n + 1] == '\n');
        if (file[n] == '\n')
            QOR_INVARIANT(n > 0 && file[n - 1] == '\r');
    }
    QOR_INVARIANT(file.size() >= 2 && file.substr(file.size() - 2) == "\r\n");
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(file.substr(start, end - start));
    return lines;
}

// The text after "count = ": the writer's text of a finite value.
std::string countOf(const std::string &line)
{
    const std::string prefix = "         count = ";
    QOR_INVARIANT(line.size() > prefix.size() + 1 && line.compare(0, prefix.size(), prefix) == 0 && line.back() == ';');
    const std::string count = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    QOR_INVARIANT(count.find_first_not_of("0123456789.E+-") == std::string::npos);
    const double v = readCount(count);
    QOR_INVARIANT(std::isfinite(v));
    QOR_INVARIANT(writeCount(v) == count);
    return count;
}

// Checks the section at lines[at]; returns the class names it lists and
// moves `at` past it.
std::vector<std::pair<std::string, std::string>> section(const std::vector<std::string> &lines, std::size_t &at,
                                                         const std::string &title)
{
    QOR_INVARIANT(at + 2 < lines.size() && lines[at] == "class " + title && lines[at + 1] == "{");
    at += 2;
    std::vector<std::pair<std::string, std::string>> entries;
    while (true) {
        QOR_INVARIANT(at < lines.size());
        if (lines[at] == "};")
            break;
        QOR_INVARIANT(at + 3 < lines.size() && lines[at].rfind("class ", 0) == 0 && lines[at + 1] == "{" &&
                      lines[at + 3] == "};");
        entries.emplace_back(lines[at].substr(6), countOf(lines[at + 2]));
        at += 4;
    }
    ++at;
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    FormRecord form = formFrom(in);
    const FormRecord before = form;
    const std::vector<int> failedFirst = failures(before, firstPass);
    const std::vector<int> failedSecond = failures(before, secondPass);
    std::vector<int> failed = failedFirst;
    failed.insert(failed.end(), failedSecond.begin(), failedSecond.end());

    MemoryFile file;
    file.committed = "old";
    WindowFields fields;
    QOR_INVARIANT(cmd_Click(form, file, fields));
    // The window's press is the value's: same bytes, same failures.
    const Pressed pressed = pressForm(before, fields);
    QOR_INVARIANT(pressed.bytes == file.committed && pressed.failed == failed);

    // The window: one message, one emptied and focused box per failure, and
    // nothing else touched.
    QOR_INVARIANT(form.messages.size() <= 9);
    QOR_INVARIANT(form.messages == std::vector<std::string>(failed.size(), notANumber));
    QOR_INVARIANT(form.focusMoves.size() == failed.size());
    for (std::size_t n = 0; n < failed.size(); ++n)
        QOR_INVARIANT(form.focusMoves[n] == cant(failed[n]));
    for (int box = 0; box < slotCount; ++box) {
        const bool emptied = std::find(failed.begin(), failed.end(), box) != failed.end();
        const auto i = static_cast<std::size_t>(box);
        QOR_INVARIANT(form.counts[i] == (emptied ? std::string() : before.counts[i]));
    }
    QOR_INVARIANT(form.intro == before.intro && form.mission == before.mission && form.quote == before.quote);
    QOR_INVARIANT(form.briefing == before.briefing && form.ticks == before.ticks);

    // The file: 19 header lines, then each section exactly when its pass held.
    const std::vector<std::string> lines = splitLines(file.committed);
    QOR_INVARIANT(lines.size() >= 19);
    const std::vector<std::string> header = test::headerLines(
        before.intro, before.mission, std::vector<int>(before.briefing.begin(), before.briefing.end()), before.quote);
    for (std::size_t n = 0; n < 19; ++n)
        QOR_INVARIANT(lines[n] == toAnsi(header[n]));

    std::size_t at = 19;
    if (failedFirst.empty()) {
        // Every ticked weapon item with a positive count, in slot order.
        std::vector<std::pair<std::string, std::string>> weapons;
        for (int slot = 0; slot < checkBoxCount; ++slot) {
            const auto i = static_cast<std::size_t>(slot);
            if (catalogue[i].kind != Kind::Weapon || before.ticks[i] != ticked)
                continue;
            const double v = readCount(before.counts[i]);
            if (v > 0)
                weapons.emplace_back(std::string(catalogue[i].itemClass), writeCount(v));
        }
        QOR_INVARIANT(section(lines, at, "Weapons") == weapons);
    }
    if (failedSecond.empty()) {
        // Magazines and ammo boxes only: the magazine names on slots 44 to 46
        // are never read. A sum may hold negative boxes, so any count goes.
        std::set<std::string> magazineNames, seen;
        for (const Item &item : catalogue)
            if (item.kind != Kind::Weapon)
                magazineNames.insert(std::string(item.magazineClass));
        for (const auto &entry : section(lines, at, "Magazines")) {
            QOR_INVARIANT(magazineNames.count(entry.first) == 1);
            QOR_INVARIANT(seen.insert(entry.first).second); // shared magazines once
        }
    }
    QOR_INVARIANT(at == lines.size());
    return 0;
}
