// The reader on any bytes: it never crashes, never accepts what it must
// refuse, and whatever it loads is a form whose press reads back as itself.
#include "format/plaintext.h"
#include "format/reader.h"
#include "invariant.h"
#include "loadinto.h"
#include "mission/loader.h"
#include "testutil.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

using namespace qor;

namespace
{

bool sameForm(const FormRecord &a, const FormRecord &b)
{
    return a.intro == b.intro && a.mission == b.mission && a.briefing == b.briefing && a.ticks == b.ticks &&
           a.counts == b.counts;
}

std::string withoutCr(std::string_view text)
{
    std::string s(text);
    std::erase(s, '\r');
    return s;
}

// Line ends in bytes[from, to): CR LF, LF and CR each one.
int lineEnds(std::string_view bytes, std::size_t from, std::size_t to)
{
    int n = 0;
    for (std::size_t at = from; at < to; ++at)
        if (bytes[at] == '\n' || (bytes[at] == '\r' && (at + 1 == bytes.size() || bytes[at + 1] != '\n')))
            ++n;
    return n;
}

} // namespace

// A press's own file, read in the code page a press writes: its bytes can
// happen to be valid UTF-8 too, which the window tells apart by the file
// being a press's own (readDocument).
static ReadFile asPressed(const std::string &pressed)
{
    ReadFile file = readDescription(pressed);
    file.encoding = Encoding::CodePage;
    return file;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const ReadFile file = readDescription(bytes);

    FormRecord form = test::fullestForm();
    const LoadReport report = test::loadInto(file, form);

    // Statement by statement, straight from the bytes: the same form, the
    // same lines aside.
    const Loaded direct = loadDescription(bytes);
    QOR_INVARIANT(direct.form == loadForm(file).form);
    QOR_INVARIANT(direct.report.refusal.has_value() == file.refusal.has_value());
    QOR_INVARIANT(direct.report.leftovers.lineCount() == report.leftovers.lineCount());

    // CR LF and LF end a line alike: with every CR before an LF, the file
    // with LF alone reads to the same statements (arrays keep their bytes,
    // texts theirs but for the CRs).
    if (bytes.find('\r') != std::string_view::npos) {
        std::string lf;
        bool loneCr = false;
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            if (bytes[at] == '\r' && (at + 1 == bytes.size() || bytes[at + 1] != '\n'))
                loneCr = true;
            if (bytes[at] != '\r')
                lf += bytes[at];
        }
        const ReadFile lfFile = readDescription(lf);
        if (!loneCr) {
            QOR_INVARIANT(lfFile.refusal.has_value() == file.refusal.has_value());
            QOR_INVARIANT(!file.refusal || lfFile.refusal->line == file.refusal->line);
            QOR_INVARIANT(lfFile.statements.size() == file.statements.size());
            for (std::size_t n = 0; n < file.statements.size() && n < lfFile.statements.size(); ++n) {
                const Statement &a = file.statements[n];
                const Statement &b = lfFile.statements[n];
                QOR_INVARIANT(a.kind == b.kind && a.firstLine == b.firstLine && a.lastLine == b.lastLine &&
                              a.shape == b.shape && a.isArray == b.isArray && a.conditional == b.conditional);
                QOR_INVARIANT(withoutCr(a.name) == b.name && withoutCr(a.base) == b.base &&
                              withoutCr(a.value) == b.value);
            }
        }
    }

    // Shown as plain text: well-formed UTF-8 with nothing that moves or
    // hides text (C0, DEL, C1, U+2028/2029, U+202A..202E, U+2066..2069).
    const std::string shown = plainText(bytes, 200);
    QOR_INVARIANT(isUtf8(shown));
    for (std::size_t at = 0; at < shown.size(); ++at) {
        const auto c = static_cast<unsigned char>(shown[at]);
        QOR_INVARIANT(c >= 0x20 && c != 0x7F);
        QOR_INVARIANT(!(c == 0xC2 && at + 1 < shown.size() && static_cast<unsigned char>(shown[at + 1]) < 0xA0));
        QOR_INVARIANT(shown.compare(at, 2, "\xE2\x80") != 0 || at + 2 >= shown.size() ||
                      static_cast<unsigned char>(shown[at + 2]) < 0xA8 ||
                      static_cast<unsigned char>(shown[at + 2]) > 0xAE);
        QOR_INVARIANT(shown.compare(at, 2, "\xE2\x81") != 0 || at + 2 >= shown.size() ||
                      static_cast<unsigned char>(shown[at + 2]) < 0xA6 ||
                      static_cast<unsigned char>(shown[at + 2]) > 0xA9);
    }
    if (file.refusal) {
        FormRecord start;
        QOR_INVARIANT(sameForm(form, start));
        QOR_INVARIANT(report.leftovers.empty() && report.items == 0);
        QOR_INVARIANT(file.refusal->line >= 1);
        return 0;
    }

    // Accepted: no NUL byte, every class closed.
    QOR_INVARIANT(bytes.find('\0') == std::string_view::npos);
    const auto begins = std::count_if(file.statements.begin(), file.statements.end(),
                                      [](const Statement &s) { return s.kind == StatementKind::ClassBegin; });
    const auto ends = std::count_if(file.statements.begin(), file.statements.end(),
                                    [](const Statement &s) { return s.kind == StatementKind::ClassEnd; });
    QOR_INVARIANT(begins == ends);
    // Each statement's span: in order, apart, on the lines it names, and
    // marked conditional exactly between an #if and its #endif.
    std::size_t previousEnd = 0;
    int line = 1;
    std::size_t depth = 0;
    for (const Statement &s : file.statements) {
        QOR_INVARIANT(s.firstLine >= 1 && s.firstLine <= s.lastLine && s.lastLine <= file.lineCount);
        QOR_INVARIANT(previousEnd <= s.begin && s.begin < s.end && s.end <= bytes.size());
        line += lineEnds(bytes, previousEnd, s.begin);
        QOR_INVARIANT(s.firstLine == line);
        line += lineEnds(bytes, s.begin, s.end);
        QOR_INVARIANT(s.lastLine == line);
        previousEnd = s.end;
        QOR_INVARIANT((s.kind == StatementKind::Directive) == (bytes[s.begin] == '#'));
        const bool opens =
            s.kind == StatementKind::Directive && (s.name == "if" || s.name == "ifdef" || s.name == "ifndef");
        const bool closes = s.kind == StatementKind::Directive && s.name == "endif" && depth > 0;
        depth -= closes ? 1 : 0;
        QOR_INVARIANT(s.conditional == (depth > 0));
        depth += opens ? 1 : 0;
    }
    for (const Leftover &l : report.leftovers)
        QOR_INVARIANT(l.firstLine >= 1 && l.firstLine <= l.lastLine && l.lastLine <= file.lineCount);

    // What was loaded presses without a count message, and that file loads
    // back as the same form and presses the same bytes.
    const std::string pressed = test::press(form);
    QOR_INVARIANT(form.messages.empty());
    FormRecord again;
    const LoadReport second = test::loadInto(asPressed(pressed), again);
    QOR_INVARIANT(second.leftovers.empty());
    QOR_INVARIANT(second.hasWeapons && second.hasMagazines);
    QOR_INVARIANT(test::press(again) == pressed);
    FormRecord third;
    const std::string pressedAgain = test::press(again);
    test::loadInto(asPressed(pressedAgain), third);
    QOR_INVARIANT(sameForm(again, third));

    // Loaded without leftovers or guesses: every entry the file lists is in
    // the press, so nothing was dropped on the way.
    if (report.leftovers.empty() && report.guesses.empty())
        QOR_INVARIANT(report.items == second.items);
    return 0;
}
