#include "press/checks.h"

#include "format/countformat.h"

namespace qor
{

namespace
{

// Every value is read for every check, whichever decides it. The text is
// read once for the number and the comparison: nothing changes it between.
bool countFails(const FormView &form, int box, int checkBox)
{
    const std::string t = form.text(cant(box));
    const double v = readCount(t);
    const std::int16_t k = form.value(wep(checkBox));
    return t != "0" && k == ticked && v == 0;
}

// The message first, so that the user reads it before anything moves. The
// focus before the emptying: a screen reader announces the box as it takes
// the focus; emptied first, the box would move the reader there silently and
// the focus that follows would go unannounced.
void reportFailure(FormView &form, WindowFields &fields, int box)
{
    form.showMessage(notANumber);
    fields.valid = validFalse;
    form.setFocus(cant(box));
    form.setText(cant(box), "");
}

} // namespace

// Groups and boxes in table order: the messages, and where the focus rests
// after the last of them, follow it.
void checkPass(std::span<const CheckGroup> groups, FormView &form, WindowFields &fields)
{
    for (const CheckGroup &group : groups) {
        for (fields.i = static_cast<std::int16_t>(group.boxes.first); fields.i <= group.boxes.last; ++fields.i) {
            const int box = fields.i;
            if (!countFails(form, box, checkBoxOf(box)))
                continue;
            reportFailure(form, fields, box);
            if (group.endsAtFailure)
                fields.i = static_cast<std::int16_t>(group.boxes.last);
        }
    }
}

} // namespace qor
