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

// 3849 -> "3,849"
std::string grouped(std::uint64_t n)
{
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t at = 0; at < digits.size(); ++at) {
        if (at > 0 && (digits.size() - at) % 3 == 0)
            out += ',';
        out += digits[at];
    }
    return out;
}

std::string plural(std::uint64_t n, const char *one, const char *many)
{
    return grouped(n) + " " + (n == 1 ? one : many);
}

// A line of the file for the details of a question: its first characters,
// decoded, each byte the code page leaves undefined shown as U+FFFD.
std::string lineText(std::string_view line, bool utf8)
{
    constexpr std::size_t shown = 80;
    line = line.substr(0, shown * 4); // a line can be the whole file
    line = line.substr(0, line.find_first_of("\r\n"));
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    std::string text;
    for (const char c : line) {
        if (c == '\t')
            text += ' ';
        else if (utf8 || static_cast<unsigned char>(c) < 0x80)
            text += c;
        else
            text += fromAnsi(std::string_view(&c, 1)).value_or("\xEF\xBF\xBD");
    }
    return plainText(text, shown);
}

std::string range(int first, int last)
{
    return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
}

// "a FIFO (named pipe)": what stands where the file should be.
std::string kindName(Snapshot::Kind kind)
{
    switch (kind) {
    case Snapshot::Kind::Folder:
        return "a folder";
    case Snapshot::Kind::Fifo:
        return "a FIFO (named pipe)";
    case Snapshot::Kind::Device:
        return "a device";
    case Snapshot::Kind::Socket:
        return "a socket";
    case Snapshot::Kind::File:
    case Snapshot::Kind::Other:
        break;
    }
    return "not a file";
}

// A status line stays one line on any screen.
constexpr std::size_t statusLength = 600;

// Ranges named in a one-line text; the rest are counted.
constexpr std::size_t namedRanges = 3;

// Holds what a press commits, so that the kept lines go in before the disk
// sees any of it; opening is the real file's.
class Capture final : public OutputFile
{
  public:
    explicit Capture(OutputFile &file) : file_(file) {}
    bool open() override { return file_.open(); }
    bool commit(std::string_view bytes) override
    {
        bytes_ = bytes;
        return true;
    }
    std::string path() const override { return file_.path(); }
    std::string errorString() const override { return file_.errorString(); }
    const std::string &bytes() const { return bytes_; }

  private:
    OutputFile &file_;
    std::string bytes_;
};

// Keeping reads the file's statements whole, some 70 bytes each however short
// the statement: beyond this many lines to keep, or from a larger file, a
// press asks before it drops them, as it did before it kept any.
constexpr std::uint64_t mostKeptLines = 200'000;
constexpr std::size_t mostKeptBytes = 4u << 20;

std::string pressedInMemory(const FormView &form)
{
    WindowFields fields;
    return pressForm(readForm(form), fields).bytes;
}

std::string lineList(const std::vector<Leftover> &ranges)
{
    std::string out = ranges.size() == 1 && ranges[0].firstLine == ranges[0].lastLine ? "line " : "lines ";
    for (std::size_t n = 0; n < ranges.size() && n < namedRanges; ++n)
        out += (n ? ", " : "") + range(ranges[n].firstLine, ranges[n].lastLine);
    if (ranges.size() > namedRanges)
        out += " and " + grouped(ranges.size() - namedRanges) + " more";
    return out;
}

std::uint64_t lineCount(const std::vector<Leftover> &ranges)
{
    std::uint64_t n = 0;
    for (const Leftover &l : ranges)
        n += static_cast<std::uint64_t>(l.lastLine - l.firstLine + 1);
    return n;
}

} // namespace

std::string lineList(const Leftovers &leftovers)
{
    const auto [ranges, rest] = leftovers.firstRanges(namedRanges);
    std::string out = ranges.size() == 1 && ranges[0].first == ranges[0].second && !rest ? "line " : "lines ";
    for (std::size_t n = 0; n < ranges.size(); ++n)
        out += (n ? ", " : "") + range(ranges[n].first, ranges[n].second);
    if (rest)
        out += " and " + grouped(rest) + " more";
    return out;
}

Mission::Mission(std::string folder, Reader reader, Clock clock, Finder finder)
    : folder_(std::move(folder)), reader_(std::move(reader)), clock_(clock ? std::move(clock) : Clock(localTime)),
      finder_(finder ? std::move(finder) : Finder(isInFolder))
{
}

void Mission::open(FormView &form)
{
    snapshot_ = reader_(fileName, Reading::Whole);
    report_ = {};
    details_.clear();
    lastPress_.clear();
    replaceAccepted_.reset();
    Form loaded;
    switch (snapshot_.state) {
    case Snapshot::State::Read: {
        Loaded l = loadDescription(snapshot_.bytes);
        loaded = std::move(l.form);
        report_ = std::move(l.report);
        known_ = report_.refusal ? Known::Refused : Known::Loaded;
        details_ = leftoverDetails();
        break;
    }
    case Snapshot::State::Missing:
        known_ = Known::Nothing;
        break;
    default:
        known_ = Known::Refused;
        break;
    }
    showForm(loaded, form);
    hint_ = scriptHint(form);
    // The status tells what the next press keeps only where that is so.
    contradicting_.clear();
    if (known_ == Known::Loaded && !report_.leftovers.empty() && tooMuchToKeep().empty())
        contradicting_ = spliced(pressedInMemory(form)).unkept;
    // The bytes stay only where a press must keep lines from them.
    if (report_.leftovers.empty())
        std::string().swap(snapshot_.bytes);
    remember(form);
}

void Mission::openBlank(FormView &form)
{
    snapshot_ = reader_(fileName, Reading::Identity);
    report_ = {};
    contradicting_.clear();
    details_.clear();
    lastPress_.clear();
    replaceAccepted_.reset();
    showForm(Form{}, form);
    known_ = snapshot_.state == Snapshot::State::Missing ? Known::Nothing : Known::NotRead;
    hint_.clear();
    remember(form);
}

std::string Mission::leftoverDetails() const
{
    // The kept ranges, each with its reason and the start of its first line,
    // then a count of the rest: a file of millions of leftovers still gives a
    // question one can read.
    const std::string_view bytes = snapshot_.bytes;
    const bool utf8 = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    std::string details;
    std::size_t at = utf8 ? 3 : 0;
    int line = 1;
    std::uint64_t named = 0;
    int namedUpTo = 0;
    for (const Leftover &l : report_.leftovers) {
        // Kept ranges come in line order: one pass finds every line.
        while (line < l.firstLine && at < bytes.size()) {
            at = bytes.find_first_of("\r\n", at);
            if (at == std::string_view::npos)
                at = bytes.size();
            else
                at += bytes.compare(at, 2, "\r\n") == 0 ? 2 : 1;
            ++line;
        }
        details += (l.firstLine == l.lastLine ? "line " : "lines ") + range(l.firstLine, l.lastLine) + ": " +
                   plainText(l.reason);
        if (line == l.firstLine)
            details += ": " + lineText(bytes.substr(at), utf8);
        details += "\n";
        const int from = std::max(l.firstLine, namedUpTo + 1);
        if (l.lastLine >= from)
            named += static_cast<std::uint64_t>(l.lastLine - from + 1);
        namedUpTo = std::max(namedUpTo, l.lastLine);
    }
    if (const std::uint64_t rest = report_.leftovers.lineCount() - named)
        details += "and " + plural(rest, "more line", "more lines") + " the form cannot hold\n";
    return details;
}

std::string Mission::unkeptDetails(const std::vector<Leftover> &unkept) const
{
    const bool utf8 = std::string_view(snapshot_.bytes).substr(0, 3) == "\xEF\xBB\xBF";
    const std::vector<std::size_t> starts = lineStarts(snapshot_.bytes, utf8);
    std::string details;
    for (std::size_t n = 0; n < unkept.size() && n < Leftovers::keptLimit; ++n) {
        const Leftover &l = unkept[n];
        details += (l.firstLine == l.lastLine ? "line " : "lines ") + range(l.firstLine, l.lastLine) + ": " +
                   plainText(l.reason);
        if (static_cast<std::size_t>(l.firstLine) <= starts.size())
            details += ": " + lineText(std::string_view(snapshot_.bytes).substr(starts[l.firstLine - 1]), utf8);
        details += "\n";
    }
    if (unkept.size() > Leftovers::keptLimit)
        details += "and " + plural(unkept.size() - Leftovers::keptLimit, "more range", "more ranges") + "\n";
    return details;
}

// Why a press cannot keep the lines the form does not hold, if it cannot.
std::string Mission::tooMuchToKeep() const
{
    if (report_.leftovers.lineCount() > mostKeptLines)
        return "more than a press keeps (" + grouped(mostKeptLines) + ")";
    if (snapshot_.bytes.size() > mostKeptBytes)
        return "in a file larger than a press keeps lines from (" + grouped(mostKeptBytes >> 20) + " MB)";
    return {};
}

Kept Mission::spliced(std::string_view pressed) const
{
    if ((known_ != Known::Loaded && known_ != Known::Written) || snapshot_.bytes.empty() || !tooMuchToKeep().empty()) {
        Kept all;
        all.bytes = pressed;
        return all;
    }
    const ReadFile file = readDescription(snapshot_.bytes);
    return keep(snapshot_.bytes, file, report_.leftovers, pressed);
}

std::optional<Question> Mission::questionBeforePress(const FormView &form) const
{
    return questionAbout(reader_(fileName, Reading::Version), false, form);
}

std::optional<Question> Mission::questionAbout(const Snapshot &now, bool changedWhileAsked, const FormView &form) const
{
    // Nothing there to lose, or nothing a press could replace (the press
    // itself reports what stands in the file's place).
    if (now.state == Snapshot::State::Missing || now.state == Snapshot::State::NotAFile)
        return std::nullopt;
    if (replaceAccepted_ && replaceAccepted_->sameVersion(now))
        return std::nullopt;

    Question q;
    if (changedWhileAsked || known_ == Known::Nothing || !now.sameVersion(snapshot_)) {
        q.text = changedWhileAsked ? "description.ext was changed by another program while the question was open"
                 : known_ == Known::Nothing
                     ? "description.ext was created by another program since this folder was opened"
                     : "description.ext was changed by another program since it was " +
                           std::string(known_ == Known::Written ? "written" : "read");
        q.text += ". Replace it with the form's file, or load it into the form?";
        q.details = "The form does not show the file as it is now; replacing it drops every change made there.";
        q.offerLoad = true;
        return q;
    }
    if (now.outsideFolder && now.linkTarget != linkAccepted_) {
        q.text = "description.ext links to " + plainText(now.linkTarget, 200) +
                 ", a file outside this folder. Replace that file with the form's file?";
        q.details = "The press writes the file the link points to, not a file in " + plainText(shownFolder()) + ".";
        if (known_ == Known::Loaded && !report_.leftovers.empty())
            q.details += "\n" + details_;
        return q;
    }
    switch (known_) {
    case Known::Refused:
        q.text = "description.ext could not be read (" + plainText(readStatus(), 200) +
                 "). Replace it with the form's file?";
        q.details = "The form holds its start values; whatever the file holds now is dropped.";
        return q;
    case Known::NotRead:
        q.text = "description.ext was not read into the form. Replace it with the form's file?";
        q.details = "The form started from its start values; the file's content is not in it.";
        return q;
    case Known::Loaded:
    case Known::Written: {
        if (report_.leftovers.empty())
            return std::nullopt;
        if (const std::string why = tooMuchToKeep(); !why.empty()) {
            q.text = "description.ext has " + plural(report_.leftovers.lineCount(), "line", "lines") +
                     " the form does not hold (" + lineList(report_.leftovers) + "), " + why +
                     ". Replace it and drop them?";
            q.details = details_;
            return q;
        }
        const Kept kept = spliced(pressedInMemory(form));
        if (kept.unkept.empty())
            return std::nullopt;
        q.text = "description.ext has " + plural(lineCount(kept.unkept), "line", "lines") +
                 " that would contradict what the form writes (" + lineList(kept.unkept) +
                 "). Replace it and drop them?";
        q.details = unkeptDetails(kept.unkept);
        return q;
    }
    default:
        return std::nullopt;
    }
}

std::optional<Question> Mission::droppingQuestion(const Kept &kept) const
{
    if (kept.sections.empty())
        return std::nullopt;
    Question q;
    std::string sections;
    for (std::size_t n = 0; n < kept.sections.size(); ++n)
        sections += std::string(n ? " and " : "") + "a " + std::string(kept.sections[n].title) + " section with " +
                    plural(static_cast<std::uint64_t>(kept.sections[n].entries), "entry", "entries");
    const bool one = kept.sections.size() == 1;
    q.text = "description.ext has " + sections + "; this press leaves " + (one ? "it" : "them") +
             " out because a count is not a number. Write without " + (one ? "it" : "them") + "?";
    q.details = "Cancel keeps description.ext as it is; the count boxes keep what was typed but the emptied box.";
    q.acceptLabel = one ? "Write without it" : "Write without them";
    return q;
}

bool Mission::press(FormView &form, OutputFile &file, WindowFields &fields, Asker &asker)
{
    // A Replace accepts the version the question was about: a file changed
    // while the question was open is asked about again.
    Snapshot asked = reader_(fileName, Reading::Version);
    bool changed = false;
    while (const auto question = questionAbout(asked, changed, form)) {
        switch (asker.ask(*question)) {
        case Answer::Cancel:
            return false;
        case Answer::Load:
            open(form);
            return false;
        case Answer::Replace:
            break;
        }
        Snapshot now = reader_(fileName, Reading::Version);
        changed = !now.sameVersion(asked);
        if (!changed) {
            replaceAccepted_ = std::move(now);
            if (asked.outsideFolder)
                linkAccepted_ = asked.linkTarget;
            break;
        }
        asked = std::move(now);
    }
    Capture capture(file);
    if (!cmd_Click(form, capture, fields)) {
        lastPress_ = "description.ext was not written: " + file.errorString();
        return false;
    }
    Kept kept = spliced(capture.bytes());
    if (const auto question = droppingQuestion(kept); question && asker.ask(*question) != Answer::Replace)
        return false;
    if (!file.commit(kept.bytes)) {
        form.showMessage("Cannot write " + file.path() + ": " + file.errorString());
        lastPress_ = "description.ext was not written: " + file.errorString();
        return false;
    }
    if (const std::string notice = file.notice(); !notice.empty())
        form.showMessage(notice);
    snapshot_ = reader_(fileName, Reading::Version);
    known_ = Known::Written;
    // The written file's leftovers are the kept lines, where they now stand.
    report_ = kept.kept.empty() ? LoadReport{} : loadDescription(kept.bytes).report;
    contradicting_.clear();
    if (!kept.kept.empty())
        snapshot_.bytes = std::move(kept.bytes);
    details_.clear();
    replaceAccepted_.reset();
    lastPress_ = "Wrote description.ext, " + grouped(snapshot_.size) + " bytes, " + clock_();
    if (!report_.leftovers.empty())
        lastPress_ += "; kept " + plural(report_.leftovers.lineCount(), "line", "lines") +
                      " the form does not hold: " + lineList(report_.leftovers);
    hint_ = scriptHint(form);
    remember(form);
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

// Asked before values not yet written are left behind; `then` is what the
// user asked for ("Open the other folder", "Close"), `when` its gerund.
Question Mission::unsavedQuestion(std::string_view then, std::string_view when, std::string_view accept) const
{
    Question q;
    q.text = "The form holds values not yet written to description.ext in " + plainText(shownFolder()) + ". " +
             std::string(then) + " and leave them?";
    q.details = "A press of G E N E R A T E before " + std::string(when) + " writes them.";
    q.acceptLabel = std::string(accept);
    return q;
}

Question Mission::leavingQuestion() const
{
    return unsavedQuestion("Open the other folder", "leaving", "Leave them");
}

Question Mission::closingQuestion() const
{
    return unsavedQuestion("Close", "closing", "Close without writing");
}

bool Mission::mayClose(const FormView &form, Asker &asker) const
{
    return !hasUnsavedValues(form) || asker.ask(closingQuestion()) == Answer::Replace;
}

// The game finds a script relative to the mission folder, in any case.
std::string Mission::scriptHint(const FormView &form) const
{
    std::string hint;
    for (const ControlId box : {txti1, txti2}) {
        const std::string name = form.text(box);
        if (name.empty() || finder_(name))
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

std::string Mission::readStatus() const
{
    switch (snapshot_.state) {
    case Snapshot::State::Unreadable:
        return snapshot_.reason;
    case Snapshot::State::TooLarge:
        return "larger than " + std::to_string(maxFileSize >> 20) + " MB";
    case Snapshot::State::NotAFile:
        return "it is " + kindName(snapshot_.kind);
    default:
        return report_.refusal ? describe(*report_.refusal) : std::string();
    }
}

std::string Mission::status() const
{
    std::string s;
    if (!lastPress_.empty()) {
        s = lastPress_;
    } else if (snapshot_.state == Snapshot::State::NotAFile) {
        s = "description.ext here is " + kindName(snapshot_.kind) + "; a press cannot replace it";
    } else if (known_ == Known::Nothing) {
        s = "No description.ext here yet";
    } else if (known_ == Known::NotRead) {
        s = "Started from the start values; description.ext was not read, the next press replaces it";
    } else if (known_ == Known::Refused) {
        s = "description.ext could not be read (" + readStatus() + "); the next press replaces it";
    } else {
        s = "Read description.ext: " + plural(report_.items, "item", "items") + ", " +
            plural(report_.scripts, "script name", "script names") + ", " +
            plural(report_.briefing, "briefing option", "briefing options");
        if (const std::uint64_t lines = report_.leftovers.lineCount()) {
            s +=
                "; " + plural(lines, "line", "lines") + " the form does not hold (" + lineList(report_.leftovers) + ")";
            const std::uint64_t asked = lineCount(contradicting_);
            if (const std::string why = tooMuchToKeep(); !why.empty()) {
                s += ", " + why + ": the next press asks before it drops them";
            } else if (asked == 0) {
                s += lines == 1 ? " is kept by the next press" : " are kept by the next press";
            } else {
                s += "; the next press " + (asked < lines ? "keeps " + grouped(lines - asked) + " and " : "") +
                     "asks before it drops " + grouped(asked) + " that would contradict what the form writes (" +
                     lineList(contradicting_) + ")";
            }
        }
        if (!report_.guesses.empty()) {
            s += "; " + plural(report_.guesses.size(), "guess", "guesses") + " (";
            for (std::size_t n = 0; n < report_.guesses.size() && n < namedRanges; ++n)
                s += (n ? ", line " : "line ") + std::to_string(report_.guesses[n].line);
            if (report_.guesses.size() > namedRanges)
                s += " and " + grouped(report_.guesses.size() - namedRanges) + " more";
            s += ")";
        }
        if (!report_.hasWeapons || !report_.hasMagazines)
            s += std::string("; the next press writes the missing ") + (!report_.hasWeapons && !report_.hasMagazines
                                                                            ? "Weapons and Magazines sections"
                                                                        : !report_.hasWeapons ? "Weapons section"
                                                                                              : "Magazines section");
    }
    if (!snapshot_.linkTarget.empty())
        s += "; description.ext links to " + snapshot_.linkTarget;
    if (!hint_.empty())
        s += "; " + hint_;
    // Folder names, link targets and the file's bytes come from outside.
    return plainText(shownFolder() + ": " + s, statusLength);
}

} // namespace qor
