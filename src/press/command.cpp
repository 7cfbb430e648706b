#include "press/command.h"

#include "press/checks.h"
#include "press/sections.h"
#include "press/writer.h"

namespace qor
{

namespace
{

void section(std::string_view title, std::span<const SectionEntry> entries, const Form &form, FileWriter &out,
             WindowFields &fields)
{
    if (fields.valid != validTrue)
        return;
    out.beginSection(title);
    writeEntries(entries, form, out, fields);
    out.endSection();
}

// The message first, so that the user reads it before anything moves. The
// focus before the emptying: a screen reader announces the box as it takes
// the focus; emptied first, the box would move the reader there silently and
// the focus that follows would go unannounced.
} // namespace

void showFailures(const std::vector<int> &failed, FormView &form)
{
    for (int box : failed) {
        form.showMessage(notANumber, MessageKind::warning);
        form.setFocus(cant(box));
        form.setText(cant(box), "");
    }
}

namespace
{

// The sink keeps the old file; the window keeps what was typed.
bool fileFailed(FormView &form, const OutputFile &file)
{
    form.showMessage(cannotWrite(file), MessageKind::warning);
    return false;
}

} // namespace

std::string cannotWrite(const OutputFile &file)
{
    return "Cannot write " + file.path() + ": " + file.errorString();
}

Pressed pressForm(const Form &form, WindowFields &fields)
{
    Pressed pressed;
    FileWriter out;
    out.header(form);

    fields.valid = validTrue;
    firstCheckPass(form, fields, pressed.failed);
    section(sectionTitles[weaponsSection], weaponEntries, form, out, fields);

    // Each section answers only to its own pass.
    fields.valid = validTrue;
    secondCheckPass(form, fields, pressed.failed);
    section(sectionTitles[magazinesSection], magazineEntries, form, out, fields);

    pressed.sections = out.takeSections();
    pressed.bytes = out.take();
    return pressed;
}

bool cmd_Click(FormView &form, OutputFile &file, WindowFields &fields)
{
    // Opened before any check, so that every press replaces the file and a
    // folder that cannot take it is reported before any count message.
    if (!file.open())
        return fileFailed(form, file);

    const Pressed pressed = pressForm(readForm(form), fields);
    showFailures(pressed.failed, form);

    if (!file.commit(pressed.bytes))
        return fileFailed(form, file);
    if (const std::string notice = file.notice(); !notice.empty())
        form.showMessage(notice, MessageKind::notice);
    return true;
}

} // namespace qor
