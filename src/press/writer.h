#pragma once
// The shape of description.ext: lines in the ANSI code page ending in CR LF,
// the header entries, sections and four-line class entries. The file is built
// in memory and handed to the sink whole, so no failure can leave half of it.

#include "press/form.h"

#include <string>
#include <string_view>

namespace qor
{

class FileWriter
{
  public:
    FileWriter();
    void line(std::string_view utf8); // converted, then CR LF appended
    const std::string &bytes() const { return bytes_; }
    std::string take() { return std::move(bytes_); }

    // The script names between quotes, then the briefing flags.
    void header(const Form &form);

    void beginSection(std::string_view title); // "class <title>", "{"
    void endSection();                         // "};"
    void classEntry(std::string_view className, double count);

  private:
    void append(std::string_view utf8); // converted

    std::string bytes_; // the whole file so far
};

} // namespace qor
