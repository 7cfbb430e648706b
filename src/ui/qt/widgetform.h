#pragma once
// The core's view of the window: FormView read and written straight from the
// widgets, so every read sees what is on screen at that moment.

#include "catalogue/catalogue.h"
#include "press/form.h"

#include <QString>

#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;

namespace qor
{

// Shows a message and returns once the user has dismissed it. The window's
// default is a modal box; tests put a recorder in its place.
using MessagePresenter = std::function<void(const QString &text, MessageKind kind)>;

// Value of a check box as the core counts it: Qt orders its states
// unchecked, partially checked, checked, the core unticked, ticked, greyed.
std::int16_t tickValue(const QCheckBox &box);
void setTickValue(QCheckBox &box, std::int16_t value);

class WidgetForm final : public FormView
{
  public:
    struct Controls {
        QLineEdit *txti1 = nullptr;
        QLineEdit *txti2 = nullptr;
        QLineEdit *txtt = nullptr;
        std::array<QCheckBox *, briefingOptions.size()> chki{};
        std::array<QCheckBox *, checkBoxCount> wep{};
        std::array<QLineEdit *, slotCount> cant{};
    };

    WidgetForm(const Controls &controls, MessagePresenter presenter);
    void setPresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }

    std::string text(ControlId box) const override;
    void setText(ControlId box, std::string_view text) override;
    void setFocus(ControlId box) override;
    std::int16_t value(ControlId checkBox) const override;
    void setValue(ControlId checkBox, std::int16_t value) override;
    void showMessage(std::string_view text, MessageKind kind) override;

  private:
    QLineEdit *lineEdit(ControlId id) const;
    QCheckBox *checkBox(ControlId id) const;

    Controls c_;
    MessagePresenter presenter_;
};

} // namespace qor
