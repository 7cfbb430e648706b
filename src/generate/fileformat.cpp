#include "fileformat.h"

#include "ansi.h"
#include "countformat.h"
#include "startvalues.h"

namespace qor
{

void FileWriter::line(std::string_view utf8)
{
    bytes_ += toAnsi(utf8);
    bytes_ += "\r\n";
}

void FileWriter::header(const FormView &form)
{
    line("");
    line(std::string(introKey) + "=" + form.text(txtt) + form.text(txti1) + form.text(txtt));
    line("");
    line(std::string(missionKey) + "=" + form.text(txtt) + form.text(txti2) + form.text(txtt));
    line("");
    for (std::size_t n = 0; n < briefingOptions.size(); ++n) {
        const int box = static_cast<int>(n) + 1; // chki1..chki7
        line(std::string(briefingOptions[n].key) + "=" + std::to_string(form.value(chki(box))));
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
