#include "press/checks.h"

#include "format/countformat.h"

namespace qor
{

namespace
{

// Every value is read for every check, whichever decides it.
bool countFails(const Form &form, int box, int checkBox)
{
    const std::string &t = form.count(box);
    const double v = readCount(t);
    const std::int16_t k = form.tick(checkBox);
    return t != "0" && k == ticked && v == 0;
}

} // namespace

// Groups and boxes in table order: the messages, and where the focus rests
// after the last of them, follow it. A failed box reads as 0, as it does once
// emptied, so the sections read the form as it is.
void checkPass(std::span<const CheckGroup> groups, const Form &form, WindowFields &fields, std::vector<int> &failed)
{
    for (const CheckGroup &group : groups) {
        for (fields.i = static_cast<std::int16_t>(group.boxes.first); fields.i <= group.boxes.last; ++fields.i) {
            const int box = fields.i;
            if (!countFails(form, box, checkBoxOf(box)))
                continue;
            failed.push_back(box);
            fields.valid = validFalse;
            if (group.endsAtFailure)
                fields.i = static_cast<std::int16_t>(group.boxes.last);
        }
    }
}

} // namespace qor
