#include "layout/texts.h"

#include "catalogue/catalogue.h"
#include "layout/layout.h"
#include "press/sections.h"

namespace qor::layout
{

namespace
{

std::string captionOf(int slot)
{
    return std::string(catalogue[static_cast<std::size_t>(slot)].caption);
}

} // namespace

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

std::string countDescription(int slot)
{
    const Item &item = catalogue[static_cast<std::size_t>(slot)];
    std::string text = item.kind == Kind::AmmoBox ? "Magazines for " + captionOf(item.weaponSlot) + "."
                                                  : "Number of " + captionOf(slot) + ".";
    return text + " " + countedWhen(slot) + " A number such as 12, 2.5, 1e3, &H10 (hexadecimal) or &O17 (octal).";
}

} // namespace qor::layout
