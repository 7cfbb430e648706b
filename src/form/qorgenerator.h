#pragma once
// The program's one window. It builds its controls from the catalogue and the
// window description (layout/), hands them to the core as a FormView, and
// runs the core's command when "G E N E R A T E" is pressed. It decides
// nothing itself.

#include "generate/command.h"
#include "widgetform.h"

#include <QPalette>
#include <QWidget>

#include <memory>

class QPushButton;
class QScrollArea;

namespace qor
{

class QorGenerator final : public QWidget
{
    Q_OBJECT
  public:
    explicit QorGenerator(QWidget *parent = nullptr);
    ~QorGenerator() override;

    // Replaces the modal message box, e.g. by a recorder in tests.
    void setMessagePresenter(MessagePresenter presenter);
    // The core's view of the controls, as cmd_Click sees them.
    FormView &formView() { return *form_; }
    const WindowFields &fields() const { return fields_; }

  public slots:
    // Writes description.ext into the current directory from what is on screen.
    void cmd_Click();

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    void createShapes();
    void createLabels();
    void createLines();
    void createCheckBoxes();
    void createTextBoxes();
    void createButton();
    void chainTabOrder();
    void setFocusBackdrops();
    void describeForScreenReaders();
    void showModalMessage(const QString &text);

    // Where the system colours of the fixed fills come from: the light palette
    // under a dark desktop, so the fills and their texts keep their colours.
    QPalette fills_;
    WidgetForm::Controls controls_;
    QPushButton *cmd_ = nullptr;
    QScrollArea *scroller_ = nullptr;
    bool followsScreen_ = false;
    std::unique_ptr<WidgetForm> form_;
    WindowFields fields_;
};

} // namespace qor
