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
    view.setText(txti1, form.intro);
    view.setText(txti2, form.mission);
    for (int n = 1; n <= briefingCount; ++n)
        view.setValue(chki(n), form.option(n));
    for (int slot = 0; slot < checkBoxCount; ++slot)
        view.setValue(wep(slot), form.tick(slot));
    for (int slot = 0; slot < slotCount; ++slot)
        view.setText(cant(slot), form.count(slot));
}

} // namespace qor
