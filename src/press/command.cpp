#include "press/command.h"

#include "press/checks.h"
#include "press/sections.h"
#include "press/writer.h"

namespace qor
{

namespace
{

void section(std::string_view title, std::span<const SectionEntry> entries, const FormView &form, FileWriter &out,
             WindowFields &fields)
{
    if (fields.valid != validTrue)
        return;
    out.beginSection(title);
    writeEntries(entries, form, out, fields);
    out.endSection();
}

// The sink keeps the old file; the window keeps what was typed.
bool fileFailed(FormView &form, const OutputFile &file)
{
    form.showMessage("Cannot write " + file.path() + ": " + file.errorString());
    return false;
}

} // namespace

bool cmd_Click(FormView &form, OutputFile &file, WindowFields &fields)
{
    // Opened before any check, so that every press replaces the file and a
    // folder that cannot take it is reported before any count message.
    if (!file.open())
        return fileFailed(form, file);

    FileWriter out;
    out.header(form);

    fields.valid = validTrue;
    firstCheckPass(form, fields);
    section("Weapons", weaponEntries, form, out, fields);

    // Each section answers only to its own pass.
    fields.valid = validTrue;
    secondCheckPass(form, fields);
    section("Magazines", magazineEntries, form, out, fields);

    if (!file.commit(out.bytes()))
        return fileFailed(form, file);
    if (const std::string notice = file.notice(); !notice.empty())
        form.showMessage(notice);
    return true;
}

} // namespace qor
