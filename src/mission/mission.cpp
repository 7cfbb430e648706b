#include "mission/mission.h"

#include "catalogue/catalogue.h"
#include "format/ansi.h"
#include "format/reader.h"

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

std::string plural(int n, const char *one, const char *many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Where each line of the file begins, counted as the reader counts lines.
std::vector<std::size_t> lineStarts(std::string_view bytes, bool utf8)
{
    std::vector<std::size_t> starts{utf8 ? 3u : 0u};
    for (std::size_t at = starts[0]; at < bytes.size(); ++at) {
        if (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n')
            ++at;
        if (bytes[at] == '\r' || bytes[at] == '\n')
            starts.push_back(at + 1);
    }
    return starts;
}

// A line of the file for the details of a question: as far as 80 bytes,
// decoded, with what cannot be shown as "?".
std::string lineText(std::string_view bytes, bool utf8, std::size_t at)
{
    const std::size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
    std::string text(bytes.substr(at, std::min<std::size_t>(end - at, 80)));
    for (char &c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    if (utf8)
        return isUtf8(text) ? text : std::string("?");
    return fromAnsi(text).value_or("?");
}

std::string range(int first, int last)
{
    return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
}

std::vector<std::pair<int, int>> merged(const std::vector<Leftover> &leftovers)
{
    std::vector<std::pair<int, int>> ranges;
    for (const Leftover &l : leftovers)
        ranges.emplace_back(l.firstLine, l.lastLine);
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<int, int>> out;
    for (const auto &r : ranges) {
        if (!out.empty() && r.first <= out.back().second + 1)
            out.back().second = std::max(out.back().second, r.second);
        else
            out.push_back(r);
    }
    return out;
}

} // namespace

std::string lineList(const std::vector<Leftover> &leftovers)
{
    const auto ranges = merged(leftovers);
    std::string out = ranges.size() == 1 && ranges[0].first == ranges[0].second ? "line " : "lines ";
    for (std::size_t n = 0; n < ranges.size(); ++n)
        out += (n ? ", " : "") + range(ranges[n].first, ranges[n].second);
    return out;
}

int lineCount(const std::vector<Leftover> &leftovers)
{
    int n = 0;
    for (const auto &r : merged(leftovers))
        n += r.second - r.first + 1;
    return n;
}

Mission::Mission(std::string folder, Reader reader, Clock clock)
    : folder_(std::move(folder)), reader_(std::move(reader)), clock_(clock ? std::move(clock) : Clock(localTime))
{
}

void Mission::open(FormView &form)
{
    snapshot_ = reader_(fileName);
    refusal_.reset();
    report_ = {};
    lastPress_.clear();
    replaceAccepted_.reset();
    Form loaded;
    switch (snapshot_.state) {
    case Snapshot::State::Read: {
        const ReadFile file = readDescription(snapshot_.bytes);
        refusal_ = file.refusal;
        Loaded l = loadForm(file);
        loaded = std::move(l.form);
        report_ = std::move(l.report);
        known_ = refusal_ ? Known::Refused : Known::Loaded;
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
    remember(form);
}

void Mission::openBlank(FormView &form)
{
    open(form);
    showForm(Form{}, form);
    report_ = {};
    if (snapshot_.state != Snapshot::State::Missing)
        known_ = Known::NotRead;
    remember(form);
}

std::string Mission::leftoverDetails() const
{
    // Every range with its reason; the text of the first lines only, so that
    // a file of thousands of leftovers still gives a question one can read.
    constexpr std::size_t quoted = 200;
    std::string details;
    const bool utf8 = snapshot_.bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    const std::vector<std::size_t> starts = lineStarts(snapshot_.bytes, utf8);
    for (std::size_t n = 0; n < report_.leftovers.size(); ++n) {
        const Leftover &l = report_.leftovers[n];
        details += (l.firstLine == l.lastLine ? "line " : "lines ") + range(l.firstLine, l.lastLine) + ": " + l.reason;
        const auto line = static_cast<std::size_t>(l.firstLine - 1);
        if (n < quoted && line < starts.size())
            details += ": " + lineText(snapshot_.bytes, utf8, starts[line]);
        details += "\n";
    }
    return details;
}

std::optional<Question> Mission::questionBeforePress() const
{
    const Snapshot now = reader_(fileName);
    // Nothing there to lose, or nothing a press could replace (the press
    // itself reports a folder in the file's place).
    if (now.state == Snapshot::State::Missing || now.state == Snapshot::State::NotAFile)
        return std::nullopt;
    if (replaceAccepted_ && replaceAccepted_->sameVersion(now))
        return std::nullopt;

    Question q;
    if (known_ == Known::Nothing || !now.sameVersion(snapshot_)) {
        q.text = known_ == Known::Nothing
                     ? "description.ext was created by another program since this folder was opened"
                     : "description.ext was changed by another program since it was " +
                           std::string(known_ == Known::Written ? "written" : "read");
        q.text += ". Replace it with the form's file, or load it into the form?";
        q.details = "The form does not show the file as it is now; replacing it drops every change made there.";
        q.offerLoad = true;
        return q;
    }
    switch (known_) {
    case Known::Refused:
        q.text = "description.ext could not be read (" + readStatus() + "). Replace it with the form's file?";
        q.details = q.text;
        return q;
    case Known::NotRead:
        q.text = "description.ext was not read into the form. Replace it with the form's file?";
        q.details = "The form started from its start values; the file's content is not in it.";
        return q;
    case Known::Loaded:
        if (report_.leftovers.empty())
            return std::nullopt;
        q.text = "description.ext has " + plural(lineCount(report_.leftovers), "line", "lines") +
                 " the form cannot hold (" + lineList(report_.leftovers) + "). Replace it and drop them?";
        q.details = leftoverDetails();
        return q;
    default:
        return std::nullopt;
    }
}

bool Mission::press(FormView &form, OutputFile &file, WindowFields &fields, Asker &asker)
{
    if (const auto question = questionBeforePress()) {
        switch (asker.ask(*question)) {
        case Answer::Cancel:
            return false;
        case Answer::Load:
            open(form);
            return false;
        case Answer::Replace:
            replaceAccepted_ = reader_(fileName);
            break;
        }
    }
    if (!cmd_Click(form, file, fields)) {
        lastPress_ = "description.ext was not written: " + file.errorString();
        return false;
    }
    snapshot_ = reader_(fileName);
    known_ = Known::Written;
    refusal_.reset();
    report_ = {};
    replaceAccepted_.reset();
    lastPress_ = "Wrote description.ext, " + grouped(snapshot_.size) + " bytes, " + clock_();
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

Question Mission::leavingQuestion() const
{
    Question q;
    q.text = "The form holds values not yet written to description.ext in " + folder_ +
             ". Open the other folder and leave them?";
    q.details = "A press of G E N E R A T E before leaving writes them.";
    q.acceptLabel = "Leave them";
    return q;
}

std::string Mission::readStatus() const
{
    switch (snapshot_.state) {
    case Snapshot::State::Unreadable:
        return snapshot_.reason;
    case Snapshot::State::TooLarge:
        return "larger than " + std::to_string(maxFileSize >> 20) + " MB";
    case Snapshot::State::NotAFile:
        return "it is not a file";
    default:
        return refusal_ ? describe(*refusal_) : std::string();
    }
}

std::string Mission::status() const
{
    std::string s;
    if (!lastPress_.empty()) {
        s = lastPress_;
    } else if (snapshot_.state == Snapshot::State::NotAFile) {
        s = "description.ext here is not a file (a folder?); a press cannot replace it";
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
        if (!report_.leftovers.empty())
            s += "; " + plural(lineCount(report_.leftovers), "line", "lines") + " the form cannot hold (" +
                 lineList(report_.leftovers) + ") will be dropped by the next press";
        if (!report_.guesses.empty()) {
            s += "; " + plural(static_cast<int>(report_.guesses.size()), "guess", "guesses") + " (";
            for (std::size_t n = 0; n < report_.guesses.size(); ++n)
                s += (n ? ", line " : "line ") + std::to_string(report_.guesses[n].line);
            s += ")";
        }
        if (!report_.hasWeapons || !report_.hasMagazines)
            s += std::string("; the next press writes the missing ") + (!report_.hasWeapons && !report_.hasMagazines
                                                                            ? "Weapons and Magazines sections"
                                                                        : !report_.hasWeapons ? "Weapons section"
                                                                                              : "Magazines section");
    }
    return folder_ + ": " + s;
}

} // namespace qor
