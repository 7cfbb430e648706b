#include "formrecord.h"

#include "press/startvalues.h"

#include <stdexcept>

namespace qor
{

FormRecord::FormRecord() : quote(quoteCharacter)
{
    for (std::size_t n = 0; n < briefingOptions.size(); ++n)
        briefing[n + 1] = briefingOptions[n].start;
    wepValue.fill(startTick);
    cantText.fill(std::string(startCount));
}

std::string FormRecord::text(ControlId box) const
{
    switch (box.name) {
    case ControlName::txti1:
        return intro;
    case ControlName::txti2:
        return mission;
    case ControlName::txtt:
        return quote;
    case ControlName::cant:
        return cantText.at(static_cast<std::size_t>(box.index));
    default:
        throw std::invalid_argument("not a text box");
    }
}

void FormRecord::setText(ControlId box, std::string_view text)
{
    switch (box.name) {
    case ControlName::txti1:
        intro = text;
        break;
    case ControlName::txti2:
        mission = text;
        break;
    case ControlName::cant:
        cantText.at(static_cast<std::size_t>(box.index)) = text;
        break;
    default:
        throw std::invalid_argument("not an editable text box");
    }
}

void FormRecord::setFocus(ControlId box)
{
    focusMoves.push_back(box);
    focus = box;
}

std::int16_t FormRecord::value(ControlId checkBox) const
{
    if (checkBox.name == ControlName::chki)
        return briefing.at(static_cast<std::size_t>(checkBox.index));
    if (checkBox.name == ControlName::wep)
        return wepValue.at(static_cast<std::size_t>(checkBox.index));
    throw std::invalid_argument("not a check box");
}

void FormRecord::setValue(ControlId checkBox, std::int16_t value)
{
    if (checkBox.name == ControlName::chki)
        briefing.at(static_cast<std::size_t>(checkBox.index)) = value;
    else if (checkBox.name == ControlName::wep)
        wepValue.at(static_cast<std::size_t>(checkBox.index)) = value;
    else
        throw std::invalid_argument("not a check box");
}

std::string FormRecord::tag(ControlId control) const
{
    const auto &item = catalogue.at(static_cast<std::size_t>(control.index));
    if (control.name == ControlName::wep && control.index < checkBoxCount)
        return std::string(item.itemClass);
    if (control.name == ControlName::cant)
        return std::string(item.magazineClass);
    throw std::invalid_argument("no class name on this control");
}

void FormRecord::showMessage(std::string_view text)
{
    messages.emplace_back(text);
}

} // namespace qor
