#include "testutil.h"

#include "press/writer.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qor::test
{

std::string crlf(const Lines &lines)
{
    std::string out;
    for (const auto &line : lines)
        out += line + "\r\n";
    return out;
}

Lines headerLines(const std::string &intro, const std::string &mission, const std::vector<int> &flags,
                  const std::string &quote)
{
    static const char *const keys[] = {
        "showCompass=", "showGPS=", "showMap=", "showNotepad=", "showWatch=", "debriefing=", "showRadio="};
    Lines lines = {"", "onloadintro=" + quotedScript(quote, intro), "", "onLoadMission=" + quotedScript(quote, mission),
                   ""};
    for (std::size_t n = 0; n < std::size(keys); ++n) {
        lines.push_back(keys[n] + std::to_string(flags.at(n)));
        lines.push_back("");
    }
    return lines;
}

Lines entry(const std::string &name, const std::string &count)
{
    return {"class " + name, "{", "         count = " + count + ";", "};"};
}

Lines section(const std::string &title, const std::vector<Lines> &entries)
{
    Lines lines = {"class " + title, "{"};
    for (const auto &e : entries)
        lines.insert(lines.end(), e.begin(), e.end());
    lines.push_back("};");
    return lines;
}

Lines concat(const std::vector<Lines> &parts)
{
    Lines lines;
    for (const auto &p : parts)
        lines.insert(lines.end(), p.begin(), p.end());
    return lines;
}

std::string press(FormRecord &form)
{
    MemoryFile file;
    WindowFields fields;
    cmd_Click(form, file, fields);
    return file.committed;
}

void tick(FormRecord &form, int slot, const std::string &count)
{
    form.setValue(wep(slot), ticked);
    form.counts[static_cast<std::size_t>(slot)] = count;
}

FormRecord fullestForm()
{
    FormRecord form;
    form.intro = "intro.sqs";
    form.mission = "mission.sqs";
    form.briefing.fill(ticked);
    for (int slot = 0; slot < slotCount; ++slot) {
        if (slot < checkBoxCount)
            form.setValue(wep(slot), ticked);
        form.counts[static_cast<std::size_t>(slot)] = std::to_string(slot + 1);
    }
    return form;
}

namespace
{

const char *const countPool[] = {"0",
                                 "1",
                                 "5",
                                 "12",
                                 "-3",
                                 "2.5",
                                 "abc",
                                 "",
                                 "00",
                                 " 7",
                                 "&HFF",
                                 "1e3",
                                 "0.0",
                                 "3x",
                                 "1e999",
                                 "-0",
                                 "999999999999999",
                                 "1,5",
                                 "&HFFFF",
                                 "1e-3"};

// Quotes where the writer puts its own, blanks at the end, characters of
// the code page and beyond it.
const char *const scriptPool[] = {
    "",           "\"",      "a\"b", "x\"\"y", "intro.sqs ", "caf\u00e9.sqs", "\u20ac5", "\u041f\u0440\u0438",
    "\U0001F600", "a;b // c"};

} // namespace

FormRecord randomForm(std::mt19937 &rng)
{
    FormRecord f;
    std::uniform_int_distribution<int> tick(0, 9), pool(0, std::size(countPool) - 1), digits(0, 99999),
        script(0, std::size(scriptPool) - 1);
    auto state = [&] {
        const int t = tick(rng);
        return static_cast<std::int16_t>(t < 5 ? 0 : t < 9 ? 1 : 2);
    };
    for (auto &option : f.briefing)
        option = state();
    for (int s = 0; s < checkBoxCount; ++s)
        f.setValue(wep(s), state());
    for (auto &text : f.counts)
        text = tick(rng) < 7 ? countPool[pool(rng)] : std::to_string(digits(rng));
    char numbered[16];
    std::snprintf(numbered, sizeof numbered, "i%d", digits(rng));
    f.intro = tick(rng) < 5 ? numbered : scriptPool[script(rng)];
    f.mission = scriptPool[script(rng)];
    return f;
}

std::string readFile(const std::string &path)
{
#ifndef _WIN32
    // Plain POSIX reads, so that nothing in the reader can smooth over a torn
    // file; never blocks on a FIFO.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return "<missing>";
    std::string bytes;
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return bytes;
#else
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
#endif
}

bool writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

} // namespace qor::test
