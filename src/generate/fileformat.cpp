#include "fileformat.h"

#include "ansi.h"
#include "countformat.h"

#include <array>

namespace qor
{

namespace
{

struct FlagLine {
    std::string_view key;
    int box; // chki1..chki7
};

// Keys exactly as the game reads them: note "onloadintro" in lower case and
// "debriefing" without "show".
constexpr std::array<FlagLine, 7> flagLines = {{
    {"showCompass=", 1},
    {"showGPS=", 2},
    {"showMap=", 3},
    {"showNotepad=", 4},
    {"showWatch=", 5},
    {"debriefing=", 6},
    {"showRadio=", 7},
}};

} // namespace

void FileWriter::line(std::string_view utf8)
{
    bytes_ += toAnsi(utf8);
    bytes_ += "\r\n";
}

void FileWriter::header(const FormView &form)
{
    line("");
    line("onloadintro=" + form.text(txtt) + form.text(txti1) + form.text(txtt));
    line("");
    line("onLoadMission=" + form.text(txtt) + form.text(txti2) + form.text(txtt));
    line("");
    for (const FlagLine &flag : flagLines) {
        line(std::string(flag.key) + std::to_string(form.value(chki(flag.box))));
        line("");
    }
}

void FileWriter::beginSection(std::string_view title)
{
    line("class " + std::string(title));
    line("{");
}

void FileWriter::endSection()
{
    line("};");
}

void FileWriter::classEntry(std::string_view className, double count)
{
    line("class " + std::string(className));
    line("{");
    line("         count = " + writeCount(count) + ";");
    line("};");
}

} // namespace qor
