#pragma once
// The window's values in memory: a FormView for tests, fuzzing and
// benchmarks. It starts from the window's start values (startvalues.h) and
// records what a press shows and where it moves the focus.

#include "catalogue/catalogue.h"
#include "press/formview.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace qor
{

class FormRecord final : public FormView
{
  public:
    FormRecord();

    std::string text(ControlId box) const override;
    void setText(ControlId box, std::string_view text) override;
    void setFocus(ControlId box) override;
    std::int16_t value(ControlId checkBox) const override;
    std::string tag(ControlId control) const override;
    void showMessage(std::string_view text) override;

    void setValue(ControlId checkBox, std::int16_t value) override;

    std::string intro, mission;
    std::string quote;
    std::array<std::int16_t, 8> briefing{}; // chki1..chki7 at index 1..7
    std::array<std::int16_t, checkBoxCount> wepValue{};
    std::array<std::string, slotCount> cantText;

    std::vector<std::string> messages;
    std::vector<ControlId> focusMoves;
    std::optional<ControlId> focus;
};

} // namespace qor
