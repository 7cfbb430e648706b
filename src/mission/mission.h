#pragma once
// The mission a front-end works on: one folder's description.ext, opened the
// way an editor opens a document. A front-end holds one Mission per folder and
// asks it everything: what to show in the status line, whether a press must
// ask first and with which words, and what to do with the answer. The
// front-end only shows the question (through an Asker) and the status text.
//
//   open(form)   read the file (Snapshot) -> readDocument -> showForm
//   press(...)   the form read once -> edit (edit.h) -> questions -> count
//                messages -> "Write without it?" -> the version checked
//                again -> one write; the written bytes are the next document
//   status()     "Read description.ext: 23 items, ..."
//
// A press edits the file in place: only what the form changed changes. It
// asks before it removes what the user did not change (a key given again,
// an entry listed again, a section left out because a count is not a
// number), and for a file that could not be read, was not read, was changed
// by another program since it was read or last written, or links out of the
// folder. After a Replace the same version is not asked about again; a
// change made while a message or question was open is asked about before
// the write.

#include "catalogue/catalogue.h"
#include "io/snapshot.h"
#include "mission/edit.h"
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
    bool aboutRepeats = false;              // Replace drops the lines a press would write again
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

    // The question the next press of this form would ask first, if any
    // (reads the file's version, edits in memory).
    std::optional<Question> questionBeforePress(const FormView &form) const;

    // One press of the button. Cancel writes nothing and changes no value;
    // "Load it into the form" reads the file again instead. True when the
    // file was written.
    bool press(FormView &form, OutputFile &file, WindowFields &fields, Asker &asker);

    // Something changed in the folder (a window's watcher saw it). A new
    // version of the file is loaded into a form that holds no change of the
    // user's; a form with changes keeps them, and the status says the file
    // changed (the next press asks about it). A file that cannot be read
    // now leaves the form as it is. The press's own writes and repeated
    // news of one version change nothing. True when the status changed.
    bool diskChanged(FormView &form);

    // Whether the form holds values that the last read or written file does
    // not: leaving the folder would lose them.
    bool hasUnsavedValues(const FormView &form) const;
    // Asked before another folder replaces values not yet written; the
    // answer Replace leaves them.
    Question leavingQuestion(const FormView &form) const;
    // Asked before the window closes with values not yet written; the
    // details name the controls that differ.
    Question closingQuestion(const FormView &form) const;
    // Whether the window may close now: values not yet written are asked
    // about first, and only the answer Replace leaves them.
    bool mayClose(const FormView &form, Asker &asker) const;

    // "<folder>: <what happened last>".
    std::string status() const;
    const LoadReport &report() const { return document_ ? document_->loaded.report : report_; }
    // The folder as the system names it now.
    std::string shownFolder() const;

  private:
    enum class Known : std::uint8_t { Nothing, Loaded, Refused, NotRead, Written };
    // When a press looks at the file: before its messages, after them, or
    // once more after the write found another version in its place.
    enum class Moment : std::uint8_t { Start, AfterMessages, AtWrite };

    void remember(const FormView &form);
    void read(FormView &form, Snapshot snapshot);
    void reload(FormView &form);
    Edit editOf(const Form &form, WindowFields &fields, bool write = true) const;
    std::optional<Snapshot> settle(FormView &form, Asker &asker, const Edit &edit, Moment moment,
                                   bool &repeatsAnswered);
    std::optional<Question> questionAbout(const Snapshot &now, bool changedWhileAsked, const Edit &edit, Moment moment,
                                          bool repeatsAnswered) const;
    std::string changedOnDisk(FormView &form, Snapshot now);
    std::string changeDetails(const Snapshot &now) const;
    Question unsavedQuestion(std::string_view then, std::string_view when, std::string_view accept,
                             const FormView &form) const;
    std::string readStatus() const;
    static std::string unreadable(const Snapshot &snapshot);
    static std::string notLoaded(const std::string &why);
    bool notWritten(FormView &form, const OutputFile &file);
    bool tooLarge(FormView &form, std::uint64_t size);
    std::string leftoverDetails() const;
    std::optional<Question> repeatsQuestion(const Edit &edit) const;
    std::optional<Question> droppingQuestion(const Edit &edit) const;
    std::string scriptHint(const FormView &form) const;
    std::string wroteStatus(const Edit &edit, const Form &typed) const;
    std::optional<Question> lossyQuestion(const Form &typed) const;
    static std::optional<Question> redefiningQuestion(const Edit &edit);

    std::string folder_;
    Reader reader_;
    Clock clock_;
    Finder finder_;

    Known known_ = Known::Nothing;
    Snapshot snapshot_;                // as read, or as last written; no bytes kept
    std::optional<Document> document_; // what a press edits: the file as read or last written
    LoadReport report_;                // of a file refused
    std::uint64_t repeatsAtOpen_ = 0;  // what a press of the form as read would ask to drop
    std::vector<Removal> namedAtOpen_; // the first of them
    std::string linkAccepted_;         // a link out of the folder the user let a press follow
    std::optional<Snapshot> replaceAccepted_;
    bool repeatsAccepted_ = false;    // and the repeats a press of it drops
    std::optional<Snapshot> noticed_; // a version on disk already told of, not loaded
    std::string lastPress_;           // status after a press; empty before the first
    std::string hint_;                // a script the folder lacks

    Form saved_; // as last read or written, to tell unsaved changes
};

// "lines 4, 17-18": ranges merged where they touch; past the first three,
// "lines 1, 3, 5 and 1,249,997 more".
std::string lineList(const Leftovers &leftovers);

} // namespace qor
