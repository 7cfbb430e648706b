#pragma once
// The window in memory, for tests, fuzzing and benchmarks: a Form value (it
// starts from the start values) plus what a press showed and where it moved
// the focus.

#include "press/form.h"
#include "press/formview.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qor
{

class FormRecord final : public Form, public FormView
{
  public:
    FormRecord() = default;
    explicit FormRecord(Form form) : Form(std::move(form)) {}

    std::string text(ControlId box) const override;
    void setText(ControlId box, std::string_view text) override;
    void setFocus(ControlId box) override;
    std::int16_t value(ControlId checkBox) const override;
    void setValue(ControlId checkBox, std::int16_t value) override;
    void showMessage(std::string_view text, MessageKind kind) override;

    const Form &form() const { return *this; }

    std::vector<std::string> messages;
    std::vector<MessageKind> kinds; // one a message
    std::vector<ControlId> focusMoves;
    std::optional<ControlId> focus;
    // Runs while a message shows: what another program does meanwhile.
    std::function<void()> onMessage;
};

} // namespace qor
