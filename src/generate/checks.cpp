#include "checks.h"

#include "countformat.h"

namespace qor
{

namespace
{

// All three values are read for every check, whichever decides it.
bool countFails(const FormView &form, int box, int checkBox)
{
    const double v = readCount(form.text(cant(box)));
    const std::string t = form.text(cant(box));
    const std::int16_t k = form.value(wep(checkBox));
    return t != "0" && k == ticked && v == 0;
}

void reportFailure(FormView &form, WindowFields &fields, int box)
{
    form.showMessage(notANumber);
    fields.valid = validFalse;
    form.setText(cant(box), "");
    form.setFocus(cant(box));
}

} // namespace

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
