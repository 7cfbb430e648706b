#include "ui/qt/widgetform.h"

#include <QCheckBox>
#include <QLineEdit>

#include <stdexcept>

namespace qor
{

std::int16_t tickValue(const QCheckBox &box)
{
    const Qt::CheckState state = box.checkState();
    return state == Qt::Checked ? ticked : state == Qt::PartiallyChecked ? greyed : unticked;
}

void setTickValue(QCheckBox &box, std::int16_t value)
{
    box.setCheckState(value == ticked ? Qt::Checked : value == greyed ? Qt::PartiallyChecked : Qt::Unchecked);
}

WidgetForm::WidgetForm(const Controls &controls, MessagePresenter presenter)
    : c_(controls), presenter_(std::move(presenter))
{
}

// A wrong id is a fault in the core, never a user's doing: fail loudly.
QLineEdit *WidgetForm::lineEdit(ControlId id) const
{
    switch (id.name) {
    case ControlName::txti1:
        return c_.txti1;
    case ControlName::txti2:
        return c_.txti2;
    case ControlName::txtt:
        return c_.txtt;
    case ControlName::cant:
        return c_.cant.at(static_cast<std::size_t>(id.index));
    case ControlName::chki:
    case ControlName::wep:
        break;
    }
    throw std::invalid_argument("not a text box");
}

QCheckBox *WidgetForm::checkBox(ControlId id) const
{
    switch (id.name) {
    case ControlName::chki:
        return c_.chki.at(static_cast<std::size_t>(id.index - 1));
    case ControlName::wep:
        return c_.wep.at(static_cast<std::size_t>(id.index));
    case ControlName::txti1:
    case ControlName::txti2:
    case ControlName::txtt:
    case ControlName::cant:
        break;
    }
    throw std::invalid_argument("not a check box");
}

std::string WidgetForm::text(ControlId box) const
{
    return lineEdit(box)->text().toStdString();
}

void WidgetForm::setText(ControlId box, std::string_view text)
{
    lineEdit(box)->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void WidgetForm::setFocus(ControlId box)
{
    lineEdit(box)->setFocus(Qt::OtherFocusReason);
}

std::int16_t WidgetForm::value(ControlId checkBox) const
{
    return tickValue(*this->checkBox(checkBox));
}

void WidgetForm::setValue(ControlId checkBox, std::int16_t value)
{
    setTickValue(*this->checkBox(checkBox), value);
}

void WidgetForm::showMessage(std::string_view text, MessageKind kind)
{
    presenter_(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), kind);
}

} // namespace qor
