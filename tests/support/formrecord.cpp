#include "formrecord.h"

#include <stdexcept>

namespace qor
{

namespace
{

template <typename T, std::size_t N> T &at(std::array<T, N> &a, int index)
{
    return a.at(static_cast<std::size_t>(index));
}

} // namespace

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
        return counts.at(static_cast<std::size_t>(box.index));
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
        at(counts, box.index) = text;
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
        return briefing.at(static_cast<std::size_t>(checkBox.index - 1));
    if (checkBox.name == ControlName::wep)
        return ticks.at(static_cast<std::size_t>(checkBox.index));
    throw std::invalid_argument("not a check box");
}

void FormRecord::setValue(ControlId checkBox, std::int16_t value)
{
    if (checkBox.name == ControlName::chki)
        at(briefing, checkBox.index - 1) = value;
    else if (checkBox.name == ControlName::wep)
        at(ticks, checkBox.index) = value;
    else
        throw std::invalid_argument("not a check box");
}

void FormRecord::showMessage(std::string_view text, MessageKind kind)
{
    messages.emplace_back(text);
    kinds.push_back(kind);
    if (onMessage)
        onMessage();
}

} // namespace qor
