#pragma once
// The shape of description.ext: lines in the ANSI code page ending in CR LF,
// the header entries, sections and four-line class entries. The file is built
// in memory and handed to the sink whole, so no failure can leave half of it.

#include "press/form.h"

#include <string>
#include <string_view>
#include <vector>

namespace qor
{

// Where a press put a section and its entries in its bytes: what an edit of
// a mission maker's own file copies from.
struct WrittenSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string_view of(std::string_view bytes) const { return bytes.substr(begin, end - begin); }
};

struct WrittenEntry {
    WrittenSpan name;  // the class name
    WrittenSpan whole; // "class <name>" to "};" and its line end
    WrittenSpan count; // the count's text
};

struct WrittenSection {
    std::string_view title; // "Weapons"
    WrittenSpan whole;      // "class <title>" to "};" and its line end
    std::vector<WrittenEntry> entries;
};

// A script name as the file holds it: between the quotes, each quote inside
// doubled, the escape the game reads back as one quote.
std::string quotedScript(std::string_view quote, std::string_view name);

class FileWriter
{
  public:
    FileWriter();
    void line(std::string_view utf8); // converted, then CR LF appended
    const std::string &bytes() const { return bytes_; }
    std::string take() { return std::move(bytes_); }
    std::vector<WrittenSection> takeSections() { return std::move(sections_); }

    // The script names between quotes, then the briefing flags.
    void header(const Form &form);

    void beginSection(std::string_view title); // "class <title>", "{"
    void endSection();                         // "};"
    void classEntry(std::string_view className, double count);

  private:
    void append(std::string_view utf8); // converted

    std::string bytes_; // the whole file so far
    std::vector<WrittenSection> sections_;
};

} // namespace qor
