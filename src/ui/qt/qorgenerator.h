#pragma once
// The program's one window. It builds its controls from the catalogue and the
// window description (layout/), hands them to the core as a FormView, and
// runs the core's command when "G E N E R A T E" is pressed. It decides
// nothing itself.

#include "mission/session.h"
#include "press/command.h"
#include "ui/qt/widgetform.h"

#include <QPalette>
#include <QWidget>

#include <memory>
#include <string>

class QLabel;
class QPushButton;
class QScrollArea;

namespace qor
{

class StatusLine;
class FolderWatch;

// Shows the core's question and returns the answer. The window's default is
// a modal box with the question's buttons; tests answer it themselves.
using QuestionPresenter = std::function<Answer(const Question &question)>;
// Offers a folder to work in, starting at `current`, with the recently used
// ones; returns the chosen folder or an empty string.
using FolderChooser = std::function<QString(const QString &current, const QStringList &recent)>;

class QorGenerator final : public QWidget
{
    Q_OBJECT
  public:
    explicit QorGenerator(QWidget *parent = nullptr);
    ~QorGenerator() override;

    // Replaces the modal message box, e.g. by a recorder in tests.
    void setMessagePresenter(MessagePresenter presenter);
    void setQuestionPresenter(QuestionPresenter presenter) { asker_ = std::move(presenter); }
    // Empty: the window's own chooser.
    void setFolderChooser(FolderChooser chooser);

    // Reads the working folder's description.ext into the form, or with
    // startValues keeps the start values; the status line says which.
    void openWorkingFolder(bool startValues = false);
    // Puts the working folder first among the recently used ones.
    void rememberFolder();
    QString statusText() const;
    // Another program changed the working folder: the core looks at its file
    // again (called once the watcher's notifications settle).
    void folderChanged();
    // The core's view of the controls, as cmd_Click sees them.
    FormView &formView() { return *form_; }

  public slots:
    // Writes description.ext into the current directory from what is on screen,
    // after the mission's question if one is due.
    void cmd_Click();
    // "Folder...": another mission folder, read as at start.
    void chooseFolder();

  protected:
    void showEvent(QShowEvent *event) override;
    // The status at start is heard once the window is there to be heard.
    void changeEvent(QEvent *event) override;
    // Values not yet written are asked about first (the core decides).
    void closeEvent(QCloseEvent *event) override;
    // A wider or narrower window wraps the status again.
    void resizeEvent(QResizeEvent *event) override;

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
    void showModalMessage(const QString &text, MessageKind kind);
    void createFooter();
    void showStatus(); // the one place both the eye and the ear get it
    void fitStatusBand(int width);
    // The keys back on the folder button after the chooser, until they are.
    void giveFocusBack();
    Answer askModal(const Question &question);
    QString chooseModal(const QString &current, const QStringList &recent);

    // Where the system colours of the fixed fills come from: the light palette
    // under a dark desktop, so the fills and their texts keep their colours.
    QPalette fills_;
    WidgetForm::Controls controls_;
    QPushButton *cmd_ = nullptr;
    QScrollArea *scroller_ = nullptr;
    bool followsScreen_ = false;
    bool startHeard_ = false;
    bool focusBack_ = false;
    int focusBackTries_ = 0;
    std::string heardFolder_; // the folder screen readers were told of last
    std::unique_ptr<WidgetForm> form_;
    QWidget *footer_ = nullptr;
    StatusLine *status_ = nullptr;
    QPushButton *folderButton_ = nullptr;
    QuestionPresenter asker_;
    FolderChooser chooser_;
    class SettingsDesk;
    std::unique_ptr<SettingsDesk> desk_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<FolderWatch> watch_;
};

} // namespace qor
