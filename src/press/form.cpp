#include "press/form.h"

namespace qor
{

std::array<std::string, slotCount> detail::startCounts()
{
    std::array<std::string, slotCount> counts;
    counts.fill(std::string(startCount));
    return counts;
}

Form readForm(const FormView &view)
{
    Form form;
    form.intro = view.text(txti1);
    form.mission = view.text(txti2);
    form.quote = view.text(txtt);
    for (int n = 1; n <= briefingCount; ++n)
        form.briefing[static_cast<std::size_t>(n - 1)] = view.value(chki(n));
    for (int slot = 0; slot < checkBoxCount; ++slot)
        form.ticks[static_cast<std::size_t>(slot)] = view.value(wep(slot));
    for (int slot = 0; slot < slotCount; ++slot)
        form.counts[static_cast<std::size_t>(slot)] = view.text(cant(slot));
    return form;
}

void showForm(const Form &form, FormView &view)
{
    // Only what differs is set: a box the load keeps keeps its caret,
    // selection and undo, screen readers hear of no change there, and a
    // window whose every setting is a round trip (Win32 under Wine) starts
    // sooner.
    const auto text = [&view](ControlId box, const std::string &now) {
        if (view.text(box) != now)
            view.setText(box, now);
    };
    const auto value = [&view](ControlId box, std::int16_t now) {
        if (view.value(box) != now)
            view.setValue(box, now);
    };
    text(txti1, form.intro);
    text(txti2, form.mission);
    for (int n = 1; n <= briefingCount; ++n)
        value(chki(n), form.option(n));
    for (int slot = 0; slot < checkBoxCount; ++slot)
        value(wep(slot), form.tick(slot));
    for (int slot = 0; slot < slotCount; ++slot)
        text(cant(slot), form.count(slot));
}

} // namespace qor
