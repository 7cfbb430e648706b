#pragma once
// Helpers shared by the core tests: whole files built from line lists.

#include "generate/command.h"
#include "generate/formrecord.h"
#include "generate/memoryfile.h"

#include <initializer_list>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qor::test
{

inline std::string crlf(const std::vector<std::string> &lines)
{
    std::string out;
    for (const auto &line : lines)
        out += line + "\r\n";
    return out;
}

// The 19 header lines of a form whose script names and flags are given.
inline std::vector<std::string> headerLines(const std::string &intro = "", const std::string &mission = "",
                                            const std::vector<int> &flags = {1, 0, 1, 1, 0, 0, 0})
{
    static const char *keys[] = {
        "showCompass=", "showGPS=", "showMap=", "showNotepad=", "showWatch=", "debriefing=", "showRadio="};
    std::vector<std::string> lines = {"", "onloadintro=\"" + intro + "\"", "", "onLoadMission=\"" + mission + "\"", ""};
    for (int n = 0; n < 7; ++n) {
        lines.push_back(keys[n] + std::to_string(flags[static_cast<std::size_t>(n)]));
        lines.push_back("");
    }
    return lines;
}

inline std::vector<std::string> entry(const std::string &name, const std::string &count)
{
    return {"class " + name, "{", "         count = " + count + ";", "};"};
}

inline std::vector<std::string> section(const std::string &title,
                                        std::initializer_list<std::vector<std::string>> entries)
{
    std::vector<std::string> lines = {"class " + title, "{"};
    for (const auto &e : entries)
        lines.insert(lines.end(), e.begin(), e.end());
    lines.push_back("};");
    return lines;
}

inline std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> lines;
    for (const auto &p : parts)
        lines.insert(lines.end(), p.begin(), p.end());
    return lines;
}

// One press on a form into memory; returns the committed file.
inline std::string press(FormRecord &form)
{
    MemoryFile file;
    WindowFields fields;
    cmd_Click(form, file, fields);
    return file.committed;
}

inline void tick(FormRecord &form, int slot, const std::string &count)
{
    form.setValue(wep(slot), ticked);
    form.cantText[static_cast<std::size_t>(slot)] = count;
}

#ifndef _WIN32
// A file's bytes through plain POSIX reads, so that nothing in the reader can
// smooth over a torn file; never blocks on a FIFO.
inline std::string readFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return "<missing>";
    std::string bytes;
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return bytes;
}
#endif

} // namespace qor::test
