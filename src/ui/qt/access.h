#pragma once
// What screen readers are told about the window's structure: the window's
// role and which nodes are shown at all, the status line as a status bar
// that announces each new text, the text boxes read as one run of text, and
// a question's details reachable by keyboard. The controls' names and the
// count boxes' descriptions are the window description's (layout/texts.h).

#include <QString>

class QAccessibleEvent;
class QMessageBox;
class QWidget;

namespace qor
{

class StatusLine;

// Makes the window a window to assistive technology and leaves decoration
// and hidden controls out of its tree. Safe to call more than once.
void installAccessibility();

// After the status line's text changed: screen readers hear `spoken` (the
// status as it should be heard), unless it is what they heard last; `again`:
// even so (the window was not there to be heard).
void announceStatus(StatusLine *status, const QString &spoken, bool again = false);
// Where announcements go: the platform's bridge, or a test that listens
// where no bridge is active.
using Announce = void (*)(QAccessibleEvent *event);
void setAnnounce(Announce announce);

// While it lives, what the program changes in the form's controls (a folder
// read into the form: over a hundred texts and ticks) is not told control by
// control, which would drown the announcement that follows; at its end, one
// change for the whole form where any was made. Focus moves are told as they
// happen, and nothing outside `form` is held back.
class QuietForm
{
  public:
    // `selectionsOnly`: only the selection and caret moves a focus change
    // makes, which would be heard before the box's name; no summary.
    explicit QuietForm(QWidget *form, bool selectionsOnly = false);
    ~QuietForm();
    QuietForm(const QuietForm &) = delete;
    QuietForm &operator=(const QuietForm &) = delete;
};

// The details of a question box (setDetailedText) take the focus when shown,
// are read by keyboard, and carry a name.
void readableDetails(QMessageBox &box);

} // namespace qor
