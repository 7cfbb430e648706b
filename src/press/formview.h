#pragma once
// What the core needs of the window, and nothing more: the window's values
// are read into a Form (form.h) before a press and written from one after a
// load; a press moves the focus, empties boxes and shows messages.
//
// The window implements FormView over its widgets; the tests' FormRecord
// (tests/support) implements it in memory. Controls are addressed by the
// window's object names and, for the two item arrays, by slot. Texts travel
// as UTF-8. The class name each control stands for is the catalogue's, not
// the window's.
//
// Words for the controls' properties:
//   Text   what a text box holds, as typed;
//   Value  a check box's state: 0 unticked, 1 ticked, 2 greyed.

#include <cstdint>
#include <string>
#include <string_view>

namespace qor
{

enum class ControlName : std::uint8_t {
    txti1, // intro script name
    txti2, // mission script name
    txtt,  // hidden holder of the quote character
    chki,  // briefing options chki1, chki2, ... (index from 1)
    wep,   // item check boxes, by slot
    cant,  // count boxes, by slot
};

struct ControlId {
    ControlName name;
    int index = 0;
    friend constexpr bool operator==(ControlId, ControlId) = default;
};

constexpr ControlId txti1{ControlName::txti1};
constexpr ControlId txti2{ControlName::txti2};
constexpr ControlId txtt{ControlName::txtt};
constexpr ControlId chki(int n)
{
    return {ControlName::chki, n};
}
constexpr ControlId wep(int slot)
{
    return {ControlName::wep, slot};
}
constexpr ControlId cant(int slot)
{
    return {ControlName::cant, slot};
}

// Tick states of a check box's Value.
inline constexpr std::int16_t unticked = 0;
inline constexpr std::int16_t ticked = 1;
inline constexpr std::int16_t greyed = 2;

// The Value a click leaves: unticked and ticked take turns; a greyed box
// becomes ticked.
constexpr std::int16_t clickedValue(std::int16_t value)
{
    return value == ticked ? unticked : ticked;
}

// What a message is to the user, which the window shows as its icon: a
// notice of something done, or a warning that something was refused.
enum class MessageKind : std::uint8_t { notice, warning };

class FormView
{
  public:
    virtual ~FormView() = default;
    // Text of txti1, txti2, txtt or cant(slot), exactly as typed.
    virtual std::string text(ControlId box) const = 0;
    // A press only empties cant(slot) after a failed count check; loading a
    // file sets txti1, txti2 and cant(slot).
    virtual void setText(ControlId box, std::string_view text) = 0;
    virtual void setFocus(ControlId box) = 0;
    // Value of chki(n) or wep(slot): unticked, ticked or greyed.
    virtual std::int16_t value(ControlId checkBox) const = 0;
    // Only used when a file is loaded into the form.
    virtual void setValue(ControlId checkBox, std::int16_t value) = 0;
    // Modal box with one OK button, titled with the application's title.
    virtual void showMessage(std::string_view text, MessageKind kind) = 0;
};

} // namespace qor
