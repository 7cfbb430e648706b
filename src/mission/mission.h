#pragma once
// The mission a front-end works on: one folder's description.ext, opened the
// way an editor opens a document. A front-end holds one Mission per folder and
// asks it everything: what to show in the status line, whether a press must
// ask first and with which words, and what to do with the answer. The
// front-end only shows the question (through an Asker) and the status text.
//
//   open(form)       read the file (Snapshot) -> readDescription -> loadForm -> showForm
//   press(...)       question? -> Asker -> cmd_Click -> the file's new identity
//   status()         "<folder>: Read description.ext: 23 items, ..."
//
// A press keeps the lines the form does not hold (keep.h) and asks once
// before it drops anything: lines that would contradict what the form writes,
// a file that could not be read, was not read, or was changed by another
// program since it was read or last written. After a Replace the same file is
// not asked about again. A press that leaves out a section the file has asks
// again, after the count's message; that question writes nothing by default.

#include "catalogue/catalogue.h"
#include "io/snapshot.h"
#include "mission/keep.h"
#include "mission/loader.h"
#include "press/command.h"
#include "press/form.h"
#include "press/formview.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qor
{

enum class Answer : std::uint8_t { Replace, Cancel, Load };

inline constexpr const char *replaceLabel = "Replace";
inline constexpr const char *cancelLabel = "Cancel";
inline constexpr const char *loadLabel = "Load it into the form";

struct Question {
    std::string text;    // plain text, one or two sentences
    std::string details; // every line concerned, one per line
    bool offerLoad = false;
    std::string acceptLabel = replaceLabel; // the answer Replace, as the button says it
};

// Shows a question and returns the user's answer; tests answer it themselves.
class Asker
{
  public:
    virtual ~Asker() = default;
    virtual Answer ask(const Question &question) = 0;
};

class Mission
{
  public:
    using Reader = std::function<Snapshot(const std::string &name, Reading reading)>;
    using Clock = std::function<std::string()>; // "12:04:31"
    // Whether a name relative to the folder names a file there, as the game
    // finds it (case-insensitive).
    using Finder = std::function<bool(const std::string &relative)>;

    // folder: shown in the status line, as the user knows it.
    explicit Mission(std::string folder, Reader reader = snapshotOf, Clock clock = {}, Finder finder = {});

    const std::string &folder() const { return folder_; }

    // Reads the folder's description.ext into the form. Where there is none,
    // or it cannot be read, the form holds the start values.
    void open(FormView &form);
    // Keeps the start values: a file already there counts as not read.
    void openBlank(FormView &form);

    // The question the next press of this form would ask, if any (reads the
    // disk, presses the form in memory).
    std::optional<Question> questionBeforePress(const FormView &form) const;

    // One press of the button: the question first, if one is due, then
    // cmd_Click. Cancel writes nothing and changes no value; "Load it into
    // the form" reads the file again instead. True when the file was written.
    bool press(FormView &form, OutputFile &file, WindowFields &fields, Asker &asker);

    // Whether the form holds values that the last read or written file does
    // not: leaving the folder would lose them.
    bool hasUnsavedValues(const FormView &form) const;
    // Asked before another folder replaces values not yet written; the
    // answer Replace leaves them.
    Question leavingQuestion() const;
    // Asked before the window closes with values not yet written.
    Question closingQuestion() const;
    // Whether the window may close now: values not yet written are asked
    // about first, and only the answer Replace leaves them.
    bool mayClose(const FormView &form, Asker &asker) const;

    // "<folder>: <what happened last>".
    std::string status() const;
    // The folder as the status names it, as the system names it now.
    std::string shownFolder() const;
    const LoadReport &report() const { return report_; }

  private:
    enum class Known : std::uint8_t { Nothing, Loaded, Refused, NotRead, Written };

    void remember(const FormView &form);
    std::optional<Question> questionAbout(const Snapshot &now, bool changedWhileAsked, const FormView &form) const;
    Question unsavedQuestion(std::string_view then, std::string_view when, std::string_view accept) const;
    std::string readStatus() const;
    std::string leftoverDetails() const;
    std::string unkeptDetails(const std::vector<Leftover> &unkept) const;
    std::string tooMuchToKeep() const;
    Kept spliced(std::string_view pressed) const;
    std::optional<Question> droppingQuestion(const Kept &kept) const;
    std::string scriptHint(const FormView &form) const;

    std::string folder_;
    Reader reader_;
    Clock clock_;
    Finder finder_;

    Known known_ = Known::Nothing;
    Snapshot snapshot_; // as read, or as last written; no bytes kept
    LoadReport report_;
    std::string details_;                 // the leftovers as a question shows them
    std::vector<Leftover> contradicting_; // what a press of the form as read would ask to drop
    std::string linkAccepted_;            // a link out of the folder the user let a press follow
    std::optional<Snapshot> replaceAccepted_;
    std::string lastPress_; // status after a press; empty before the first
    std::string hint_;      // a script the folder lacks

    Form saved_; // as last read or written, to tell unsaved changes
};

// "lines 4, 17-18": ranges merged where they touch; past the first three,
// "lines 1, 3, 5 and 1,249,997 more".
std::string lineList(const Leftovers &leftovers);

} // namespace qor
