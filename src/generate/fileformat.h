#pragma once
// The shape of description.ext: lines in the ANSI code page ending in CR LF,
// the header entries, sections and four-line class entries.

#include "form.h"
#include "outputfile.h"

#include <string>
#include <string_view>

namespace qor
{

// Thrown when the sink refuses an operation; the press ends there.
struct FileFailure {
};

class FileWriter
{
  public:
    explicit FileWriter(OutputFile &file) : file_(file) {}

    void open();
    void line(std::string_view utf8); // converted, then CR LF appended
    void commit();

    // Lines 1..19: script names between quotes, then the briefing flags.
    void header(const FormView &form);

    void beginSection(std::string_view title); // "class <title>", "{"
    void endSection();                         // "};"
    void classEntry(std::string_view className, double count);

  private:
    OutputFile &file_;
    std::string buffer_; // reused for every line
};

} // namespace qor
