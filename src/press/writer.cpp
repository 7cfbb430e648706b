#include "press/writer.h"

#include "format/ansi.h"
#include "format/countformat.h"
#include "format/filewords.h"
#include "press/startvalues.h"

namespace qor
{

// The shapes below spell the line end out, so that each is one append.
static_assert(pressLineEnd == "\r\n");

namespace
{

// More than either section's table has rows.
constexpr std::size_t mostEntries = 64;

// No early exit: a plain loop over short texts.
bool isAscii(std::string_view s)
{
    unsigned char seen = 0;
    for (char c : s)
        seen |= static_cast<unsigned char>(c);
    return seen < 0x80;
}

} // namespace

// The fullest form writes under 4 KiB: one allocation per press, short of
// very long script names.
FileWriter::FileWriter()
{
    bytes_.reserve(4096);
    sections_.reserve(2);
}

// ASCII is the same in every code page, and it is all that class names and
// counts hold: only the script names ever need converting.
void FileWriter::append(std::string_view utf8)
{
    if (isAscii(utf8))
        bytes_ += utf8;
    else
        bytes_ += toAnsi(utf8);
}

void FileWriter::line(std::string_view utf8)
{
    append(utf8);
    bytes_ += pressLineEnd;
}

std::string quotedScript(std::string_view quote, std::string_view name)
{
    std::string out(quote);
    for (const char c : name) {
        out += c;
        if (c == '"')
            out += c;
    }
    out += quote;
    return out;
}

void FileWriter::header(const Form &form)
{
    // Each script line converted whole, as a quote and a name may only make
    // a character together.
    line("");
    line(std::string(introKey) + "=" + quotedScript(form.quote, form.intro));
    line("");
    line(std::string(missionKey) + "=" + quotedScript(form.quote, form.mission));
    line("");
    for (std::size_t n = 0; n < briefingOptions.size(); ++n) {
        bytes_ += briefingOptions[n].key;
        bytes_ += '=';
        bytes_ += std::to_string(form.briefing[n]);
        bytes_ += "\r\n\r\n";
    }
}

void FileWriter::beginSection(std::string_view title)
{
    sections_.push_back({title, {bytes_.size(), 0}, {}});
    sections_.back().entries.reserve(mostEntries); // one allocation a section
    bytes_ += "class ";
    append(title);
    bytes_ += "\r\n{\r\n";
}

void FileWriter::endSection()
{
    line("};");
    sections_.back().whole.end = bytes_.size();
}

void FileWriter::classEntry(std::string_view className, double count)
{
    // The file's most frequent lines, appended in place rather than built one
    // by one: "class <name>", "{", the count line, "};". Conversion works
    // character by character, so converting the name alone gives the same
    // bytes as converting its whole line.
    const std::size_t begin = bytes_.size();
    bytes_ += "class ";
    append(className);
    const std::size_t nameEnd = bytes_.size();
    bytes_ += "\r\n{\r\n         count = ";
    const std::size_t countAt = bytes_.size();
    appendCount(bytes_, count);
    const std::size_t countEnd = bytes_.size();
    bytes_ += ";\r\n};\r\n";
    if (!sections_.empty())
        sections_.back().entries.push_back({{begin + 6, nameEnd}, {begin, bytes_.size()}, {countAt, countEnd}});
}

} // namespace qor
