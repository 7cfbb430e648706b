#include "mission/mission.h"

#include "catalogue/catalogue.h"
#include "format/ansi.h"
#include "format/countformat.h"
#include "format/filewords.h"
#include "format/plaintext.h"
#include "format/reader.h"
#include "press/sections.h"

#include <algorithm>
#include <cmath>
#include <ctime>

// What the mission says: its questions, their details and the status line.
// The flow that decides when each is said is in mission.cpp.

namespace qor
{

namespace
{

const std::string theFile = fileName;

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

// A status line wraps in its band and is read and copied whole; this bound
// only keeps a hostile file or path from making it megabytes long.
constexpr std::size_t statusLength = 4000;

// Ranges named in a one-line text; the rest are counted.
constexpr std::size_t namedRanges = 3;

// "line 26", "lines 4, 9-10, 12 and 3 more": the first repeats by line,
// touching ones merged; `total` counts every one.
std::string lineList(const std::vector<Removal> &removals, std::uint64_t total)
{
    std::vector<std::pair<int, int>> ranges;
    for (const Removal &r : removals) {
        if (!ranges.empty() && r.firstLine <= ranges.back().second + 1)
            ranges.back().second = std::max(ranges.back().second, r.lastLine);
        else
            ranges.emplace_back(r.firstLine, r.lastLine);
    }
    const std::uint64_t rest = total > removals.size() ? total - removals.size() : 0;
    std::string out = ranges.size() == 1 && ranges[0].first == ranges[0].second && !rest ? "line " : "lines ";
    for (std::size_t n = 0; n < ranges.size() && n < namedRanges; ++n)
        out += (n ? ", " : "") + range(ranges[n].first, ranges[n].second);
    if (ranges.size() > namedRanges || rest)
        out += " and " + grouped(ranges.size() > namedRanges ? ranges.size() - namedRanges + rest : rest) + " more";
    return out;
}

std::uint64_t lineCount(const std::vector<Removal> &removals, std::uint64_t total)
{
    std::uint64_t n = 0;
    for (const Removal &r : removals)
        n += static_cast<std::uint64_t>(r.lastLine - r.firstLine + 1);
    return n + (total > removals.size() ? total - removals.size() : 0);
}

// "2026-12-08 12:04:31" from the file system's clock, for a question's
// details.
std::string clockTime(std::int64_t modified)
{
    const auto seconds = static_cast<std::time_t>(secondsSince1970(modified));
    char text[32] = "";
    if (const std::tm *t = std::localtime(&seconds))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", t);
    return text;
}

// The controls whose values differ between two forms, by their captions:
// the first `named`, then how many more.
std::string differingControls(const Form &now, const Form &saved, std::size_t named = 12)
{
    std::vector<std::string> names;
    if (now.intro != saved.intro)
        names.emplace_back("On load intro");
    if (now.mission != saved.mission)
        names.emplace_back("On load mission");
    for (std::size_t n = 0; n < briefingOptions.size(); ++n)
        if (now.briefing[n] != saved.briefing[n])
            names.emplace_back(briefingOptions[n].key);
    for (const Item &item : catalogue) {
        const auto at = static_cast<std::size_t>(item.slot);
        const std::string caption =
            item.kind == Kind::AmmoBox
                ? "ammo for " + std::string(catalogue[static_cast<std::size_t>(item.weaponSlot)].caption)
                : std::string(item.caption);
        if (at < now.ticks.size() && now.ticks[at] != saved.ticks[at])
            names.push_back(caption + " (ticked)");
        if (now.counts[at] != saved.counts[at])
            names.push_back(caption + " (count)");
    }
    std::string text;
    for (std::size_t n = 0; n < names.size() && n < named; ++n)
        text += (n ? ", " : "") + names[n];
    if (names.size() > named)
        text += " and " + grouped(names.size() - named) + " more";
    return text;
}

// Whether the count checks left the section out of this press.
bool sectionFailed(const Edit &e, std::size_t section)
{
    return std::any_of(e.failed.begin(), e.failed.end(), [&](int box) {
        return (catalogue[static_cast<std::size_t>(box)].kind == Kind::Weapon) == (section == weaponsSection);
    });
}

// "M 16" for a weapon's box, "ammo for M 16" for its ammunition's.
std::string boxCaption(int box)
{
    const Item &item = catalogue[static_cast<std::size_t>(box)];
    return item.kind == Kind::AmmoBox
               ? "ammo for " + std::string(catalogue[static_cast<std::size_t>(item.weaponSlot)].caption)
               : std::string(item.caption);
}

// Each count of one box the press wrote otherwise than it was typed, or
// left out for being 0 or less: the box keeps its text, so the status says
// what the file holds. A section the checks left out wrote none of them.
std::string countNotes(const Edit &e, const Form &typed)
{
    constexpr std::size_t named = 3;
    std::vector<std::string> notes;
    std::size_t total = 0;
    const auto note = [&](std::string text) {
        if (total++ < named)
            notes.push_back(std::move(text));
    };
    for (std::size_t section = 0; section < sectionTitles.size(); ++section) {
        if (sectionFailed(e, section))
            continue;
        for (const SectionEntry &entry : sectionTable(section)) {
            if (entry.pairCount != 1 || !entry.pairs[0].summed)
                continue;
            const CountPair pair = entry.pairs[0];
            if (typed.ticks[static_cast<std::size_t>(pair.checkBox)] != 1)
                continue;
            const std::string &text = typed.counts[static_cast<std::size_t>(pair.box)];
            const double value = readCount(text);
            if (std::isnan(value))
                continue;
            const std::string shown = "\"" + plainText(text, 40) + "\"";
            if (value <= 0)
                note(boxCaption(pair.box) + ": " + shown + " is not above 0, not written");
            else if (writeCount(value) != text)
                note(boxCaption(pair.box) + ": " + shown + " written as " + writeCount(value));
        }
    }
    std::string out;
    for (std::size_t n = 0; n < notes.size(); ++n)
        out += (n ? "; " : "") + notes[n];
    if (total > named)
        out += " and " + grouped(total - named) + " more counts written otherwise than typed";
    return out;
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

std::string Mission::leftoverDetails() const
{
    // The ranges the form does not hold, each with its reason and the start
    // of its first line, then a count of the rest: a file of millions of
    // them still gives a question one can read.
    if (!document_)
        return {};
    const LoadReport &report = document_->loaded.report;
    const std::string_view bytes = document_->bytes;
    const bool utf8 = document_->loaded.encoding != Encoding::CodePage;
    std::string details;
    std::size_t at = document_->loaded.encoding == Encoding::Utf8Mark ? 3 : 0;
    int line = 1;
    std::uint64_t named = 0;
    int namedUpTo = 0;
    for (const Leftover &l : report.leftovers) {
        // Ranges come in line order: one pass finds every line.
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
    if (const std::uint64_t rest = report.leftovers.lineCount() - named)
        details += "and " + plural(rest, "more line", "more lines") + " the form cannot hold\n";
    return details;
}

// What changed on disk, as far as a version tells it.
std::string Mission::changeDetails(const Snapshot &now) const
{
    const Snapshot &then = replaceAccepted_ ? *replaceAccepted_ : snapshot_;
    std::string what;
    if (then.state == Snapshot::State::Missing)
        what = "It is new: " + plural(now.size, "byte", "bytes") + ", written " + clockTime(now.modified) + ".";
    else if ((then.device || then.file) && (then.device != now.device || then.file != now.file))
        what = "Another file took its place: " + plural(now.size, "byte", "bytes") + ", written " +
               clockTime(now.modified) + ".";
    else if (then.size != now.size)
        what = "Its size went from " + plural(then.size, "byte", "bytes") + " to " + grouped(now.size) + ", written " +
               clockTime(now.modified) + ".";
    else if (then.modified != now.modified)
        what = "Same size (" + plural(now.size, "byte", "bytes") + "), written again " + clockTime(now.modified) + ".";
    else
        what = "Same size and time, other bytes.";
    return what + " The form does not show the file as it is now; replacing it drops every change made there.";
}

std::optional<Question> Mission::questionAbout(const Snapshot &now, bool changedWhileAsked, const Edit &e,
                                               Moment moment, bool repeatsAnswered) const
{
    // Nothing there to lose, or nothing a press could replace (the press
    // itself reports what stands in the file's place).
    if (now.state == Snapshot::State::Missing || now.state == Snapshot::State::NotAFile)
        return std::nullopt;
    const bool late = moment != Moment::Start;
    Question q;
    const bool accepted = replaceAccepted_ && replaceAccepted_->sameVersion(now);
    if (!accepted) {
        if (changedWhileAsked || known_ == Known::Nothing || !now.sameVersion(snapshot_)) {
            q.text = changedWhileAsked ? theFile + " was changed by another program while the question was open"
                     : moment == Moment::AtWrite ? theFile + " was changed by another program as the press wrote it"
                     : late                      ? theFile + " was changed by another program while a message was open"
                     : known_ == Known::Nothing
                         ? theFile + " was created by another program since this folder was opened"
                         : theFile + " was changed by another program since it was " +
                               std::string(known_ == Known::Written ? "written" : "read");
            q.text += ". Replace it with the form's file, or load it into the form?";
            q.details = changeDetails(now);
            q.offerLoad = true;
            return q;
        }
        if (now.outsideFolder && now.linkTarget != linkAccepted_) {
            q.text = theFile + " links to " + plainText(now.linkTarget, 200) +
                     ", a file outside this folder. Replace that file with the form's file?";
            q.details = "The press writes the file the link points to, not a file in " + plainText(shownFolder()) + ".";
            if (document_ && !document_->loaded.report.leftovers.empty())
                q.details += "\n" + leftoverDetails();
            return q;
        }
        // Asked before the messages, about the same edit.
        if (!late && known_ == Known::Refused) {
            q.text =
                theFile + " could not be read (" + plainText(readStatus(), 200) + "). Replace it with the form's file?";
            q.details = "The form holds its start values; whatever the file holds now is dropped.";
            return q;
        }
        if (!late && known_ == Known::NotRead) {
            q.text = theFile + " was not read into the form. Replace it with the form's file?";
            q.details = "The form started from its start values; the file's content is not in it.";
            return q;
        }
    }
    // Whatever else was asked, lines the press drops are asked about once.
    if (repeatsAnswered || (accepted && repeatsAccepted_) || (known_ != Known::Loaded && known_ != Known::Written))
        return std::nullopt;
    return repeatsQuestion(e);
}

std::optional<Question> Mission::repeatsQuestion(const Edit &e) const
{
    if (!e.repeatCount)
        return std::nullopt;
    Question q;
    q.text = theFile + " has " + plural(lineCount(e.repeats, e.repeatCount), "line", "lines") +
             " that would contradict what the form writes (" + lineList(e.repeats, e.repeatCount) +
             "). Replace it and drop " + (lineCount(e.repeats, e.repeatCount) == 1 ? "it" : "them") + "?";
    q.aboutRepeats = true;
    for (const Removal &r : e.repeats)
        q.details += (r.firstLine == r.lastLine ? "line " : "lines ") + range(r.firstLine, r.lastLine) + ": " +
                     plainText(r.what) + " again, which the press writes once: " + r.text + "\n";
    if (e.repeatCount > e.repeats.size())
        q.details += "and " + plural(e.repeatCount - e.repeats.size(), "more", "more") + "\n";
    return q;
}

std::optional<Question> Mission::droppingQuestion(const Edit &e) const
{
    if (e.sections.empty())
        return std::nullopt;
    Question q;
    std::string sections;
    for (std::size_t n = 0; n < e.sections.size(); ++n)
        sections += std::string(n ? " and " : "") + "a " + std::string(e.sections[n].title) + " section with " +
                    plural(static_cast<std::uint64_t>(e.sections[n].entries), "entry", "entries");
    const bool one = e.sections.size() == 1;
    q.text = theFile + " has " + sections + "; this press leaves " + (one ? "it" : "them") +
             " out because a count is not a number. Write without " + (one ? "it" : "them") + "?";
    for (const DroppedSection &d : e.sections)
        if (d.entries)
            q.details += "The " + std::string(d.title) + " section holds " + d.names + ".\n";
    q.details += "Cancel keeps " + theFile + " as it is; the count boxes keep what was typed but the emptied box.";
    q.acceptLabel = one ? "Write without it" : "Write without them";
    return q;
}

std::string Mission::wroteStatus(const Edit &e, const Form &typed) const
{
    std::string s = "Wrote " + theFile + ", " + grouped(e.bytes.size()) + " bytes, " + clock_();
    // Each section the count checks left out, whether the file had it or not.
    for (std::size_t section = 0; section < sectionTitles.size(); ++section) {
        const bool failed = sectionFailed(e, section);
        if (failed)
            s +=
                "; the " + std::string(sectionTitles[section]) + " section is left out because a count is not a number";
    }
    if (e.repeatCount)
        s += "; dropped " + plural(lineCount(e.repeats, e.repeatCount), "line", "lines") +
             " that contradicted the form (" + lineList(e.repeats, e.repeatCount) + ")";
    if (!e.inserted.empty()) {
        s += "; added ";
        for (std::size_t n = 0; n < e.inserted.size(); ++n)
            s += (n ? ", " : "") + e.inserted[n];
    }
    if (const std::string notes = countNotes(e, typed); !notes.empty())
        s += "; " + notes;
    return s;
}

// Asked before the press adds a class the file already defines in a way the
// form cannot hold (a declaration, a macro): a second definition.
std::optional<Question> Mission::redefiningQuestion(const Edit &e)
{
    if (e.redefinitions.empty())
        return std::nullopt;
    Question q;
    const Redefinition &first = e.redefinitions.front();
    q.text = theFile + " already defines " + first.what + " on line " + std::to_string(first.line) +
             ", in a way the form cannot show" +
             (e.redefinitions.size() > 1 ? " (and " + plural(e.redefinitions.size() - 1, "more", "more") + ")" : "") +
             "; this press would add a second definition. Add it?";
    for (const Redefinition &r : e.redefinitions)
        q.details += "line " + std::to_string(r.line) + ": " + r.what + ", which the press would write again\n";
    q.details += "Cancel writes nothing; the form keeps its values.";
    q.acceptLabel = "Add it";
    return q;
}

// Asked before a script name the file's encoding cannot hold is written
// with "?" in place of its characters; the default writes nothing.
std::optional<Question> Mission::lossyQuestion(const Form &typed) const
{
    const bool codePage = !document_ || (known_ != Known::Loaded && known_ != Known::Written) ||
                          document_->bytes.empty() || document_->loaded.encoding == Encoding::CodePage;
    if (!codePage)
        return std::nullopt;
    Question q;
    for (const auto &[caption, name] :
         {std::pair{"On load intro", &typed.intro}, {"On load mission", &typed.mission}}) {
        const std::string written = toAnsi(*name);
        if (fromAnsi(written) == *name)
            continue;
        q.details += std::string(caption) + ": \"" + plainText(*name, 200) + "\" would be written as \"" +
                     plainText(fromAnsi(written).value_or(written), 200) + "\".\n";
    }
    if (q.details.empty())
        return std::nullopt;
    q.text = theFile + " is written in the Windows code page, which cannot hold every character of the script "
                       "names: each such character would be written as \"?\". Write it so?";
    q.details += "Cancel writes nothing; the names stay in their boxes as typed.";
    q.acceptLabel = "Write with \"?\"";
    return q;
}

// Asked before values not yet written are left behind; `then` is what the
// user asked for ("Open the other folder", "Close"), `when` its gerund.
Question Mission::unsavedQuestion(std::string_view then, std::string_view when, std::string_view accept,
                                  const FormView &form) const
{
    Question q;
    q.text = "The form holds values not yet written to " + theFile + " in " + plainText(shownFolder()) + ". " +
             std::string(then) + " and leave them?";
    q.details = "Changed: " + differingControls(readForm(form), saved_) + ".\nA press of G E N E R A T E before " +
                std::string(when) + " writes them.";
    q.acceptLabel = std::string(accept);
    return q;
}

Question Mission::leavingQuestion(const FormView &form) const
{
    return unsavedQuestion("Open the other folder", "leaving", "Leave them", form);
}

Question Mission::closingQuestion(const FormView &form) const
{
    return unsavedQuestion("Close", "closing", "Close without writing", form);
}

// Why a snapshot holds no bytes to read.
std::string Mission::unreadable(const Snapshot &snapshot)
{
    switch (snapshot.state) {
    case Snapshot::State::Unreadable:
        return snapshot.reason;
    case Snapshot::State::TooLarge:
        return "larger than " + std::to_string(maxFileSize >> 20) + " MB";
    case Snapshot::State::NotAFile:
        return "it is " + kindName(snapshot.kind);
    default:
        return {};
    }
}

// "Load it into the form" that could not: `why` empty, the file is gone.
std::string Mission::notLoaded(const std::string &why)
{
    return why.empty() ? theFile + " is no longer here; the form keeps its values"
                       : theFile + " was not loaded (" + why + "); the form keeps its values";
}

// The system's reason, in a message and in the status line.
bool Mission::notWritten(FormView &form, const OutputFile &file)
{
    form.showMessage(cannotWrite(file), MessageKind::warning);
    lastPress_ = theFile + " was not written: " + file.errorString();
    return false;
}

bool Mission::tooLarge(FormView &form, std::uint64_t size)
{
    lastPress_ = theFile + " was not written: it would be " + plural(size, "byte", "bytes") + ", larger than the " +
                 std::to_string(maxFileSize >> 20) + " MB this program reads; the file stays as it was";
    form.showMessage(lastPress_ + ".", MessageKind::warning);
    return false;
}

// A new version on disk, told of in the status: loaded where the form holds
// nothing of the user's, else left for the next press to ask about.
std::string Mission::changedOnDisk(FormView &form, Snapshot now)
{
    const std::string changed = theFile + " changed on disk";
    if (hasUnsavedValues(form))
        return changed + "; the form keeps the values you changed, and the next press asks before it replaces the file";
    if (now.state == Snapshot::State::Missing)
        return changed + ": it was removed; the form keeps its values, and the next press writes it again";
    if (now.outsideFolder && now.linkTarget != snapshot_.linkTarget)
        return changed + ": it now links to " + now.linkTarget +
               ", a file outside this folder, and was not loaded; the form keeps its values";
    if (now.state == Snapshot::State::Read)
        now = reader_(fileName, Reading::Whole);
    if (now.state != Snapshot::State::Read)
        return changed + ": it cannot be read (" + unreadable(now) + "); the form keeps its values";
    if (const Loaded test = loadDescription(now.bytes); test.report.refusal)
        return changed + ": it cannot be read (" + describe(*test.report.refusal) + "); the form keeps its values";
    const Form before = saved_;
    read(form, std::move(now));
    const std::string what = differingControls(saved_, before, 3);
    return changed + ": loaded (" + (what.empty() ? "no value of the form changed" : what + " changed") + ")";
}

std::string Mission::readStatus() const
{
    if (snapshot_.state == Snapshot::State::Read)
        return report_.refusal ? describe(*report_.refusal) : std::string();
    return unreadable(snapshot_);
}

std::string Mission::status() const
{
    std::string s;
    const LoadReport &report = this->report();
    if (!lastPress_.empty()) {
        s = lastPress_;
    } else if (snapshot_.state == Snapshot::State::NotAFile) {
        s = theFile + " here is " + kindName(snapshot_.kind) + "; a press cannot replace it";
    } else if (known_ == Known::Nothing) {
        s = "No " + theFile + " here yet";
    } else if (known_ == Known::NotRead) {
        s = "Started from the start values; " + theFile + " was not read, the next press replaces it";
    } else if (known_ == Known::Refused) {
        s = theFile + " could not be read (" + readStatus() + "); the next press replaces it";
    } else {
        s = "Read " + theFile + ": " + plural(report.items, "item", "items") + ", " +
            plural(report.scripts, "script name", "script names") + ", " +
            plural(report.briefing, "briefing option", "briefing options");
        if (const std::uint64_t lines = report.leftovers.lineCount())
            s += "; " + plural(lines, "line", "lines") + " the form does not hold (" + lineList(report.leftovers) +
                 "), which a press leaves as " + (lines == 1 ? "it stands" : "they stand");
        if (repeatsAtOpen_)
            s += "; the next press asks before it drops " +
                 plural(lineCount(namedAtOpen_, repeatsAtOpen_), "line", "lines") +
                 " that would contradict what the form writes (" + lineList(namedAtOpen_, repeatsAtOpen_) + ")";
        if (document_ && !document_->own) {
            const std::vector<std::string_view> unset = unsetKeys(*document_);
            if (!unset.empty()) {
                s += "; ";
                for (std::size_t n = 0; n < unset.size(); ++n)
                    s += std::string(n ? ", " : "") + std::string(unset[n]);
                s += unset.size() == 1 ? " is" : " are";
                s += " not set: the game's default until changed here";
            }
        }
        if (!report.guesses.empty()) {
            s += "; " + plural(report.guesses.size(), "guess", "guesses") + " (";
            for (std::size_t n = 0; n < report.guesses.size() && n < namedRanges; ++n)
                s += (n ? ", line " : "line ") + std::to_string(report.guesses[n].line);
            if (report.guesses.size() > namedRanges)
                s += " and " + grouped(report.guesses.size() - namedRanges) + " more";
            s += ")";
        }
    }
    if (!snapshot_.linkTarget.empty())
        s += "; " + theFile + " links to " + snapshot_.linkTarget;
    if (!hint_.empty())
        s += "; " + hint_;
    // Folder names, link targets and the file's bytes come from outside.
    return plainText(shownFolder() + ": " + s, statusLength);
}

} // namespace qor
