#include "mission/mission.h"

#include "catalogue/catalogue.h"
#include "format/ansi.h"
#include "format/plaintext.h"
#include "format/reader.h"
#include "io/infolder.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace qor
{

namespace
{

std::string localTime()
{
    const std::time_t now = std::time(nullptr);
    char text[16] = "";
    if (const std::tm *t = std::localtime(&now))
        std::strftime(text, sizeof text, "%H:%M:%S", t);
    return text;
}

} // namespace

Mission::Mission(std::string folder, Reader reader, Clock clock, Finder finder)
    : folder_(std::move(folder)), reader_(std::move(reader)), clock_(clock ? std::move(clock) : Clock(localTime)),
      finder_(finder ? std::move(finder) : Finder(isInFolder))
{
}

void Mission::open(FormView &form)
{
    read(form, reader_(fileName, Reading::Whole));
}

// Takes a snapshot as what the form now shows.
void Mission::read(FormView &form, Snapshot snapshot)
{
    snapshot_ = std::move(snapshot);
    report_ = {};
    document_.reset();
    repeatsAtOpen_ = 0;
    namedAtOpen_.clear();
    lastPress_.clear();
    replaceAccepted_.reset();
    repeatsAccepted_ = false;
    noticed_.reset();
    Form loaded;
    switch (snapshot_.state) {
    case Snapshot::State::Read:
        document_ = readDocument(std::exchange(snapshot_.bytes, {}));
        if (document_->loaded.report.refusal) {
            report_ = std::move(document_->loaded.report);
            document_.reset();
            known_ = Known::Refused;
        } else {
            known_ = Known::Loaded;
            loaded = document_->loaded.form;
        }
        break;
    case Snapshot::State::Missing:
        known_ = Known::Nothing;
        break;
    default:
        known_ = Known::Refused;
        break;
    }
    showForm(loaded, form);
    hint_ = scriptHint(form);
    // The status tells what a press of the form as read would ask about.
    if (document_) {
        WindowFields fields;
        Edit e = edit(*document_, loaded, fields, false);
        repeatsAtOpen_ = e.repeatCount;
        namedAtOpen_ = std::move(e.repeats);
    }
    remember(form);
}

// "Load it into the form": a file that cannot be read now leaves the form
// and the mission as they were, and says why.
void Mission::reload(FormView &form)
{
    Snapshot now = reader_(fileName, Reading::Whole);
    if (now.state == Snapshot::State::Read) {
        if (const Loaded test = loadDescription(now.bytes); test.report.refusal) {
            lastPress_ = notLoaded(describe(*test.report.refusal));
            return;
        }
        read(form, std::move(now));
        return;
    }
    if (now.state == Snapshot::State::Missing) {
        // Nothing left to replace: the next press writes the form's file.
        snapshot_ = std::move(now);
        document_.reset();
        known_ = Known::Nothing;
        lastPress_ = notLoaded({});
        return;
    }
    lastPress_ = notLoaded(unreadable(now));
}

void Mission::openBlank(FormView &form)
{
    snapshot_ = reader_(fileName, Reading::Identity);
    report_ = {};
    document_.reset();
    repeatsAtOpen_ = 0;
    namedAtOpen_.clear();
    lastPress_.clear();
    replaceAccepted_.reset();
    repeatsAccepted_ = false;
    noticed_.reset();
    showForm(Form{}, form);
    known_ = snapshot_.state == Snapshot::State::Missing ? Known::Nothing : Known::NotRead;
    hint_.clear();
    remember(form);
}

// The press of the form: an edit of the file where there is one to edit,
// else the whole file.
Edit Mission::editOf(const Form &form, WindowFields &fields, bool write) const
{
    const bool editable =
        document_ && (known_ == Known::Loaded || known_ == Known::Written) && !document_->bytes.empty();
    return editable ? edit(*document_, form, fields, write) : pressWhole(form, fields);
}

std::optional<Question> Mission::questionBeforePress(const FormView &form) const
{
    WindowFields fields;
    return questionAbout(reader_(fileName, Reading::Version), false, editOf(readForm(form), fields, false),
                         Moment::Start, false);
}

// Asks until the file on disk is a version the user let the press write
// over, and returns that version; nothing when the press stops. A Replace
// accepts the version it was about.
std::optional<Snapshot> Mission::settle(FormView &form, Asker &asker, const Edit &e, Moment moment,
                                        bool &repeatsAnswered)
{
    Snapshot asked = reader_(fileName, Reading::Version);
    bool changed = false;
    while (const auto question = questionAbout(asked, changed, e, moment, repeatsAnswered)) {
        switch (asker.ask(*question)) {
        case Answer::Cancel:
            return std::nullopt;
        case Answer::Load:
            reload(form);
            return std::nullopt;
        case Answer::Replace:
            break;
        }
        repeatsAnswered = repeatsAnswered || question->aboutRepeats;
        Snapshot now = reader_(fileName, Reading::Version);
        changed = !now.sameVersion(asked);
        if (!changed) {
            if (!replaceAccepted_ || !replaceAccepted_->sameVersion(now))
                repeatsAccepted_ = false;
            repeatsAccepted_ = repeatsAccepted_ || question->aboutRepeats;
            replaceAccepted_ = now;
            if (asked.outsideFolder)
                linkAccepted_ = asked.linkTarget;
        }
        asked = std::move(now);
    }
    return asked;
}

bool Mission::press(FormView &form, OutputFile &file, WindowFields &fields, Asker &asker)
{
    // The form is read once and the edit made once: every question and the
    // status come from it.
    const Form typed = readForm(form);
    Edit e = editOf(typed, fields);
    // What the reader would refuse is never written: the file stays as it is.
    if (e.bytes.size() > maxFileSize)
        return tooLarge(form, e.bytes.size());
    bool repeatsAnswered = false;
    if (!settle(form, asker, e, Moment::Start, repeatsAnswered))
        return false;
    // No "?" reaches the file unannounced, no class is defined twice unasked.
    for (auto question : {lossyQuestion(typed), redefiningQuestion(e)})
        if (question && asker.ask(*question) != Answer::Replace)
            return false;
    // Opened before the messages, so that a folder that cannot take the file
    // is reported before them.
    if (!file.open())
        return notWritten(form, file);
    showFailures(e.failed, form);
    if (const auto question = droppingQuestion(e); question && asker.ask(*question) != Answer::Replace)
        return false;
    // Another program may have written while a message or question was open,
    // or between the last look and the write itself: the sink replaces only
    // the version settled on, and says when it found another.
    std::optional<Snapshot> version;
    for (Moment moment = Moment::AfterMessages;; moment = Moment::AtWrite) {
        version = settle(form, asker, e, moment, repeatsAnswered);
        if (!version)
            return false;
        file.expect(*version);
        if (file.commit(e.bytes))
            break;
        if (!file.changed())
            return notWritten(form, file);
    }
    if (const std::string notice = file.notice(); !notice.empty())
        form.showMessage(notice, MessageKind::notice);
    // The version of the bytes written, from the written file itself; where
    // it lies is what the last look by name found.
    snapshot_ = placed(file.written(), *version);
    noticed_.reset();
    known_ = Known::Written;
    lastPress_ = wroteStatus(e, typed);
    // The bytes written, not a read of the disk, are what the next press
    // edits; the old document goes first, so that two never stand together.
    document_.reset();
    document_ = readDocument(std::move(e.bytes));
    repeatsAtOpen_ = 0;
    namedAtOpen_.clear();
    replaceAccepted_.reset();
    repeatsAccepted_ = false;
    hint_ = scriptHint(form);
    remember(form);
    return true;
}

bool Mission::diskChanged(FormView &form)
{
    Snapshot now = reader_(fileName, Reading::Version);
    const Snapshot &known = noticed_ ? *noticed_ : snapshot_;
    if (now.sameVersion(known) && now.linkTarget == known.linkTarget)
        return false;
    noticed_ = now;
    lastPress_ = changedOnDisk(form, std::move(now));
    return true;
}

// As the window holds them: a box that shows a value its own way (a text
// cut at its length) is compared as shown, not as set.
void Mission::remember(const FormView &form)
{
    saved_ = readForm(form);
}

// Every field of the form counts, whatever is added to it.
bool Mission::hasUnsavedValues(const FormView &form) const
{
    return readForm(form) != saved_;
}

bool Mission::mayClose(const FormView &form, Asker &asker) const
{
    return !hasUnsavedValues(form) || asker.ask(closingQuestion(form)) == Answer::Replace;
}

// The game finds a script relative to the mission folder, in any case.
std::string Mission::scriptHint(const FormView &form) const
{
    std::string hint;
    for (const ControlId box : {txti1, txti2}) {
        const std::string name = form.text(box);
        if (name.empty() || name.front() == '$' || finder_(name))
            continue;
        hint += (hint.empty() ? "" : "; ") + plainText(name, 200) + " is not in this folder";
    }
    return hint;
}

std::string Mission::shownFolder() const
{
    // The folder can be renamed while the window is open: the system's name
    // for it now is where the file went.
    return snapshot_.folder.empty() ? folder_ : snapshot_.folder;
}

} // namespace qor
