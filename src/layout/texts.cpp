#include "layout/texts.h"

#include "catalogue/catalogue.h"
#include "layout/layout.h"
#include "press/sections.h"

#include <algorithm>

namespace qor::layout
{

namespace
{

std::string captionOf(int slot)
{
    return std::string(catalogue[static_cast<std::size_t>(slot)].caption);
}

} // namespace

std::string controlName(ControlId control)
{
    switch (control.name) {
    case ControlName::txti1:
        return "txti1";
    case ControlName::txti2:
        return "txti2";
    case ControlName::txtt:
        return "txtt";
    case ControlName::chki:
        return "chki" + std::to_string(control.index);
    case ControlName::wep:
        return "wep_" + std::to_string(control.index);
    case ControlName::cant:
        return "cant_" + std::to_string(control.index);
    }
    return {};
}

std::string stopName(TabStop stop)
{
    if (const std::optional<ControlId> id = formControl(stop))
        return controlName(*id);
    switch (stop.control) {
    case Focusable::cmd:
        return "cmd";
    case Focusable::status:
        return std::string(statusTextName);
    default:
        return "folderButton";
    }
}

std::string accessibleName(ControlId control)
{
    switch (control.name) {
    case ControlName::txti1:
        return std::string(txti1Name);
    case ControlName::txti2:
        return std::string(txti2Name);
    case ControlName::txtt:
        return std::string(txttName);
    case ControlName::chki:
        return std::string(briefing[static_cast<std::size_t>(control.index - 1)].caption);
    case ControlName::wep:
        return captionOf(control.index);
    case ControlName::cant: {
        const Item &item = catalogue[static_cast<std::size_t>(control.index)];
        return item.kind == Kind::AmmoBox ? captionOf(item.weaponSlot) + " ammo" : captionOf(control.index) + " count";
    }
    }
    return {};
}

std::string buttonsInWords(std::string_view accept, std::string_view load, std::string_view cancel)
{
    const std::string acceptWords = std::string(accept) + ". ";
    const std::string cancelWords = "Cancel: " + std::string(cancel) + ".";
    if (load.empty())
        return "OK: " + acceptWords + cancelWords;
    return "Yes: " + acceptWords + "No: " + std::string(load) + ". " + cancelWords;
}

std::string countDescription(int slot)
{
    // Most boxes count only while the item they are named after is ticked:
    // that is said once, with the forms a count takes, by the first count
    // box Tab reaches. A box with a rule of its own says it every time.
    const bool ownRule = whenCounted(slot) != std::vector<CountCondition>{{{checkBoxOf(slot)}, {}}};
    std::string text = ownRule ? countedWhen(slot) : std::string();
    const auto first =
        std::find_if(tabStops.begin(), tabStops.end(), [](TabStop stop) { return stop.control == Focusable::cant; });
    if (first != tabStops.end() && first->index == slot)
        text += (text.empty() ? "" : " ") + std::string(countRule) + " " + std::string(numberForms);
    return text;
}

} // namespace qor::layout
