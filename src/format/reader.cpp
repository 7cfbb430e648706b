#include "format/reader.h"

#include "format/headerkeys.h"
#include "format/plaintext.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace qor
{

namespace
{

constexpr auto nameChars = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    return table;
}();

bool isNameChar(char c)
{
    return nameChars[static_cast<unsigned char>(c)];
}

// Thrown inside the scanner only; readDescription turns it into a Refusal.
struct Refused {
    Refusal refusal;
};

// One pass over the bytes, left to right; every loop advances, so the time is
// linear in the file's size whatever it holds.
class Scanner
{
  public:
    explicit Scanner(std::string_view s) : s_(s) {}

    ReadOutcome run(StatementSink &sink)
    {
        ReadOutcome outcome;
        if (const auto nul = s_.find('\0'); nul != std::string_view::npos) {
            // Counting lines up to it is the only work done on such a file.
            while (at_ < nul)
                step();
            refuse("a NUL byte: this is no text file");
        }
        if (s_.substr(0, 3) == "\xEF\xBB\xBF") {
            outcome.utf8 = true;
            at_ = lineBegin_ = 3;
        }
        std::optional<Statement> semicolons; // a run of them, given as one
        while (skipSpace()) {
            // The first byte decides most statements without a call.
            if (!semicolons && s_[at_] == 'c' && writerEntry(sink))
                continue;
            Statement st = statement();
            if (st.kind == StatementKind::Semicolon && semicolons && st.firstLine <= semicolons->lastLine + 1) {
                semicolons->lastLine = st.lastLine;
                semicolons->end = st.end;
                continue;
            }
            if (semicolons)
                sink.take(*std::exchange(semicolons, std::nullopt));
            if (st.kind == StatementKind::Semicolon)
                semicolons = st;
            else
                sink.take(st);
        }
        if (semicolons)
            sink.take(*semicolons);
        if (!openBraces_.empty())
            refuse("a '{' without its '}'", openBraces_.back());
        // As the game's preprocessor, which reads nothing past a missing
        // #endif.
        if (conditionalDepth_ > 0)
            refuse("an #if without its #endif", outermostIfLine_);
        outcome.lineCount = line_;
        return outcome;
    }

  private:
    [[noreturn]] void refuse(std::string reason, int line = 0) const
    {
        throw Refused{{line ? line : line_, std::move(reason)}};
    }

    bool atEnd() const { return at_ >= s_.size(); }
    char peek(std::size_t ahead = 0) const { return at_ + ahead < s_.size() ? s_[at_ + ahead] : '\0'; }

    // Moves past one byte, or one line end (CR LF, LF or CR).
    void step()
    {
        const char c = s_[at_++];
        if (c == '\r' && peek() == '\n')
            ++at_;
        if (isLineEnd(c)) {
            ++line_;
            lineBegin_ = at_;
        }
    }

    // A place to come back to when a look ahead finds no more of the
    // statement: every byte is looked at a bounded number of times.
    struct Mark {
        std::size_t at;
        int line;
        std::size_t lineBegin;
    };
    Mark mark() const { return {at_, line_, lineBegin_}; }
    void back(const Mark &m)
    {
        at_ = m.at;
        line_ = m.line;
        lineBegin_ = m.lineBegin;
    }

    // Skips blanks and line ends; false at the end of the file.
    bool skipSpace()
    {
        for (; at_ < s_.size(); ++at_) {
            const char c = s_[at_];
            if (isBlank(c))
                continue;
            if (!isLineEnd(c))
                return true;
            if (c == '\r' && at_ + 1 < s_.size() && s_[at_ + 1] == '\n')
                ++at_;
            ++line_;
            lineBegin_ = at_ + 1;
        }
        return false;
    }

    bool atComment() const { return peek() == '/' && (peek(1) == '/' || peek(1) == '*'); }

    void comment()
    {
        if (peek(1) == '/')
            restOfLine();
        else
            blockComment();
    }

    // Skips blanks, line ends and comments: what may stand between two
    // symbols of a statement. False at the end of the file.
    bool skipGap()
    {
        while (skipSpace()) {
            if (!atComment())
                return true;
            comment();
        }
        return false;
    }

    // Skips blanks and comments, but no line end outside a comment.
    void skipBlanksAndComments()
    {
        for (skipBlanks(); atComment(); skipBlanks())
            comment();
    }

    // Only blanks before the current byte on its line. Stops at the first
    // byte that is not one, and a line holds one directive: linear.
    bool firstOnLine() const
    {
        for (std::size_t at = lineBegin_; at < at_; ++at)
            if (!isBlank(s_[at]))
                return false;
        return true;
    }

    void skipBlanks()
    {
        while (at_ < s_.size() && isBlank(s_[at_]))
            ++at_;
    }

    // Name characters are neither blanks nor line ends: no line to count.
    std::string_view name()
    {
        const std::size_t start = at_;
        while (at_ < s_.size() && isNameChar(s_[at_]))
            ++at_;
        return s_.substr(start, at_ - start);
    }

    // A name, or a macro call standing for one: GVAR(params).
    std::string_view className()
    {
        const std::size_t start = at_;
        if (name().empty())
            return {};
        if (peek() == '(')
            parentheses();
        return s_.substr(start, at_ - start);
    }

    std::string_view restOfLine()
    {
        const std::size_t start = at_;
        while (!atEnd() && !isLineEnd(peek()))
            ++at_;
        return s_.substr(start, at_ - start);
    }

    // The whole line, as far as 40 bytes, with control and non-ASCII bytes
    // shown as "?": the reason is shown as plain text in any code page.
    [[noreturn]] void cannotRead()
    {
        restOfLine();
        std::string_view shown = s_.substr(lineBegin_, at_ - lineBegin_);
        while (!shown.empty() && isBlank(shown.front()))
            shown.remove_prefix(1);
        if (shown.size() > 40)
            shown = shown.substr(0, 40);
        std::string text(shown);
        for (char &c : text)
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
                c = '?';
        refuse("cannot read \"" + text + "\"");
    }

    // The statement's first line shown, not the one a look ahead reached.
    [[noreturn]] void cannotReadStatement()
    {
        back(start_);
        cannotRead();
    }

    Statement statement()
    {
        Statement st;
        st.firstLine = line_;
        st.begin = at_;
        st.conditional = conditionalDepth_ > 0;
        st.conditions = conditionalDepth_;
        start_ = mark();
        const char c = peek();
        if (c == '/' && peek(1) == '/') {
            st.kind = StatementKind::Comment;
            st.value = restOfLine();
        } else if (c == '/' && peek(1) == '*') {
            st.kind = StatementKind::Comment;
            const std::size_t from = at_;
            blockComment();
            st.value = s_.substr(from, at_ - from);
        } else if (c == '#') {
            directive(st);
        } else if (c == '}') {
            st.kind = StatementKind::ClassEnd;
            if (openBraces_.empty())
                refuse("a '}' without its '{'");
            openBraces_.pop_back();
            ++at_;
            endWithSemicolon(true);
        } else if (c == ';') {
            // A run of them on a line is one statement: 60 MB of ";" reads
            // as fast as any other file.
            while (at_ < s_.size() && (s_[at_] == ';' || isBlank(s_[at_])))
                ++at_;
        } else if (isNameChar(c)) {
            const std::string_view word = name();
            const auto gapFollows = [this] { return isBlank(peek()) || isLineEnd(peek()) || atComment(); };
            // The game takes its keywords in any case: CLASS, Import.
            if (sameIgnoringCase(word, "class") && gapFollows())
                classStatement(st);
            else if (sameIgnoringCase(word, "import") && gapFollows() && importStatement(st))
                ;
            else if (callFollows())
                macroStatement(st, word);
            else
                assignment(st, word);
        } else {
            cannotRead();
        }
        st.lastLine = line_;
        st.end = at_;
        // A line end taken last (a "\" before an empty line) is not the
        // statement's, nor its line.
        for (; st.end > st.begin && (isBlank(s_[st.end - 1]) || isLineEnd(s_[st.end - 1])); --st.end)
            if (s_[st.end - 1] == '\n' || (s_[st.end - 1] == '\r' && (st.end == s_.size() || s_[st.end] != '\n')))
                --st.lastLine;
        return st;
    }

    // An optional ';' closing a statement, with blanks and comments before
    // it (line ends too where `acrossLines`); none found, the statement ends
    // where it stood.
    void endWithSemicolon(bool acrossLines)
    {
        if (peek() == ';') { // the usual case, without a look ahead
            ++at_;
            return;
        }
        const Mark before = mark();
        if (acrossLines)
            skipGap();
        else
            skipBlanksAndComments();
        if (peek() == ';')
            ++at_;
        else
            back(before);
    }

    // The end of a run of name characters from `at`.
    const char *nameEnd(const char *at) const
    {
        const char *const end = s_.data() + s_.size();
        while (at < end && isNameChar(*at))
            ++at;
        return at;
    }

    // Whether `text` stands at `at`.
    template <std::size_t N> bool standsAt(const char *at, const char (&text)[N]) const
    {
        return static_cast<std::size_t>(s_.data() + s_.size() - at) >= N - 1 && sameBytes<N - 1>(at, text);
    }

    // Compared a word at a time: memcmp of an odd size is a call.
    template <std::size_t N> static bool sameBytes(const char *a, const char *b)
    {
        if constexpr (N >= 8)
            return sameWord<std::uint64_t>(a, b) && sameBytes<N - 8>(a + 8, b + 8);
        else if constexpr (N >= 4)
            return sameWord<std::uint32_t>(a, b) && sameBytes<N - 4>(a + 4, b + 4);
        else if constexpr (N >= 2)
            return sameWord<std::uint16_t>(a, b) && sameBytes<N - 2>(a + 2, b + 2);
        else
            return N == 0 || *a == *b;
    }
    template <typename Word> static bool sameWord(const char *a, const char *b)
    {
        Word x;
        Word y;
        std::memcpy(&x, a, sizeof x);
        std::memcpy(&y, b, sizeof y);
        return x == y;
    }

    // The writer's most frequent shape, an entry of a section, read whole:
    //
    //   class <name> CR LF { CR LF <blanks> <key> = <value>; CR LF };
    //
    // with a value of letters, digits, '.', '+' and '-'. The general scanner
    // reads these bytes to the same three statements and the same position,
    // but byte by byte; here the block is matched to its end before anything
    // moves, and on any other byte nothing has changed and the general
    // scanner reads the lines, refusals included. The line end after it is
    // taken too, as skipSpace would.
    bool writerEntry(StatementSink &sink)
    {
        static constexpr auto plain = [] {
            std::array<bool, 256> table = nameChars;
            for (const unsigned char c : std::string_view(".+-"))
                table[c] = true;
            return table;
        }();
        const char *const from = s_.data() + at_;
        if (!standsAt(from, "class "))
            return false;
        const char *const name = from + 6;
        const char *const nameTo = nameEnd(name);
        if (nameTo == name || !standsAt(nameTo, "\r\n{\r\n"))
            return false;
        const char *key = nameTo + 5;
        const char *keyTo = nullptr;
        if (standsAt(key, "         ") && standsAt(key + 9, "count = ")) { // the writer's indent and key
            key += 9;
            keyTo = key + 5;
        } else {
            while (key < s_.data() + s_.size() && isBlank(*key))
                ++key;
            keyTo = nameEnd(key);
            if (keyTo == key || !standsAt(keyTo, " = ") || sameIgnoringCase(std::string_view(key, keyTo), "class"))
                return false;
        }
        const char *const value = keyTo + 3;
        const char *valueTo = value;
        while (valueTo < s_.data() + s_.size() && plain[static_cast<unsigned char>(*valueTo)])
            ++valueTo;
        if (valueTo == value || !standsAt(valueTo, ";\r\n};"))
            return false;
        if (static_cast<int>(openBraces_.size()) >= maxNesting)
            return false; // the general scanner refuses it

        const auto offset = [&](const char *p) { return static_cast<std::size_t>(p - s_.data()); };
        entryBegin_.firstLine = line_;
        entryBegin_.lastLine = line_ + 1;
        entryBegin_.name = std::string_view(name, nameTo);
        entryBegin_.begin = offset(from);
        entryBegin_.end = offset(nameTo + 3);
        entryKey_.firstLine = entryKey_.lastLine = line_ + 2;
        entryKey_.name = std::string_view(key, keyTo);
        entryKey_.value = std::string_view(value, valueTo);
        entryKey_.begin = offset(key);
        entryKey_.end = offset(valueTo + 1);
        entryEnd_.firstLine = entryEnd_.lastLine = line_ + 3;
        entryEnd_.begin = offset(valueTo + 3);
        entryEnd_.end = offset(valueTo + 5);
        sink.takeEntry(entryBegin_, entryKey_, entryEnd_);

        const char *at = valueTo + 5;
        if (standsAt(at, "\r\n")) {
            at += 2;
            line_ += 4;
            lineBegin_ = static_cast<std::size_t>(at - s_.data());
        } else {
            line_ += 3;
            lineBegin_ = static_cast<std::size_t>(valueTo + 3 - s_.data());
        }
        at_ = static_cast<std::size_t>(at - s_.data());
        return true;
    }

    // A preprocessor line, with its "\" line continuations and any block
    // comment that runs on past a line's end, as one statement; kept as it
    // stands.
    void directive(Statement &st)
    {
        if (!firstOnLine())
            cannotRead();
        st.kind = StatementKind::Directive;
        ++at_;
        skipBlanks();
        st.name = name();
        skipBlanks();
        const std::size_t from = at_;
        char last = 0; // the last byte that is not a blank
        bool inString = false;
        bool inComment = false; // a "//" comment, which a continuation continues
        while (!atEnd()) {
            const char c = peek();
            if (isLineEnd(c)) {
                if (last != '\\')
                    break;
                step();
                last = 0;
                continue;
            }
            if (!inString && !inComment && c == '/' && peek(1) == '*') {
                blockComment();
                last = '/';
                continue;
            }
            if (inString && c == '\\' && !isLineEnd(peek(1)) && at_ + 1 < s_.size()) {
                at_ += 2; // an escaped quote or backslash
                last = 0;
                continue;
            }
            if (!inString && !inComment && c == '/' && peek(1) == '/')
                inComment = true;
            else if (!inComment && c == '"')
                inString = !inString;
            if (!isBlank(c))
                last = c;
            ++at_;
        }
        if (inString)
            refuse("a string without its closing quote");
        std::size_t to = at_;
        while (to > from && (isBlank(s_[to - 1]) || isLineEnd(s_[to - 1])))
            --to;
        st.value = s_.substr(from, to - from);

        // Which statements stand between an #if and its #endif.
        if (st.name == "if" || st.name == "ifdef" || st.name == "ifndef") {
            if (conditionalDepth_++ == 0)
                outermostIfLine_ = st.firstLine;
        } else if (st.name == "endif" && conditionalDepth_ > 0) {
            --conditionalDepth_;
            st.conditional = conditionalDepth_ > 0;
        } else {
            return;
        }
        const bool conditional = conditionalDepth_ > 0;
        entryBegin_.conditional = entryKey_.conditional = entryEnd_.conditional = conditional;
        entryBegin_.conditions = entryKey_.conditions = entryEnd_.conditions = conditionalDepth_;
    }

    void blockComment()
    {
        const int opened = line_;
        at_ += 2;
        while (!atEnd() && !(peek() == '*' && peek(1) == '/'))
            step();
        if (atEnd())
            refuse("a '/*' without its '*/'", opened);
        at_ += 2;
    }

    void openBrace()
    {
        if (static_cast<int>(openBraces_.size()) >= maxNesting)
            refuse("braces nested deeper than " + std::to_string(maxNesting));
        openBraces_.push_back(line_);
        step();
    }

    void classStatement(Statement &st)
    {
        skipGap();
        st.name = className();
        if (st.name.empty())
            cannotReadStatement();
        skipGap();
        if (peek() == ':') {
            ++at_;
            skipGap();
            st.base = className();
            if (st.base.empty())
                cannotReadStatement();
            skipGap();
        }
        if (peek() == '{') {
            st.kind = StatementKind::ClassBegin;
            openBrace();
        } else if (peek() == ';' && st.base.empty()) {
            st.kind = StatementKind::ClassDeclaration;
            ++at_;
        } else if (isNameChar(peek())) {
            // A body a macro makes: class Spacer0 PARAM(""); kept whole.
            const std::size_t macro = at_;
            if (name().empty() || peek() != '(')
                cannotReadStatement();
            parentheses();
            st.kind = StatementKind::ClassDeclaration;
            st.value = s_.substr(macro, at_ - macro);
            endWithSemicolon(true);
        } else {
            cannotReadStatement();
        }
    }

    // import Name; false when "import" is a key instead.
    bool importStatement(Statement &st)
    {
        const Mark afterWord = mark();
        skipGap();
        st.name = className();
        if (st.name.empty()) {
            back(afterWord);
            return false;
        }
        st.kind = StatementKind::Import;
        endWithSemicolon(true);
        return true;
    }

    // Whether a call's "(" follows, blanks before it allowed: __EXEC (a = 1).
    bool callFollows()
    {
        std::size_t at = at_;
        while (at < s_.size() && isBlank(s_[at]))
            ++at;
        if (at == s_.size() || s_[at] != '(')
            return false;
        at_ = at;
        return true;
    }

    // A macro standing alone: __EXEC(a = 1), SOME_MACRO(x).
    void macroStatement(Statement &st, std::string_view word)
    {
        st.kind = StatementKind::Macro;
        st.name = word;
        parentheses();
        st.value = s_.substr(st.begin, at_ - st.begin);
        endWithSemicolon(true);
    }

    // From a '(' to its ')', across lines, strings and comments; nesting
    // is a count, so any depth costs nothing.
    void parentheses()
    {
        const int opened = line_;
        std::size_t depth = 0;
        do {
            if (atEnd())
                refuse("a '(' without its ')'", opened);
            const char c = peek();
            if (c == '"') {
                string();
                continue;
            }
            if (atComment()) {
                comment();
                continue;
            }
            depth += c == '(' ? 1 : 0;
            depth -= c == ')' ? 1 : 0;
            step();
        } while (depth > 0);
    }

    void assignment(Statement &st, std::string_view key)
    {
        st.kind = StatementKind::Assignment;
        st.name = key;
        skipGap();
        if (peek() == '[' && peek(1) == ']') {
            st.isArray = true;
            at_ += 2;
            skipGap();
        }
        if (st.isArray && peek() == '+' && peek(1) == '=') { // appended to: list[] += {...}
            st.appends = true;
            ++at_;
        }
        if (peek() != '=')
            cannotReadStatement();
        ++at_;
        value(st);
    }

    void value(Statement &st)
    {
        const Mark afterEquals = mark();
        skipBlanksAndComments();
        if (atEnd() || isLineEnd(peek())) {
            // Nothing more on the line: the value on a later line, unless
            // what stands there is a statement of its own.
            skipGap();
            if (atEnd() || !valueFollows()) {
                back(afterEquals);
                st.value = s_.substr(at_, 0);
                return;
            }
        }
        if (peek() == '"' && string(st))
            ;
        else if (peek() == '"' && isScriptKey(st.name) && lineString(st))
            return;
        else if (peek() == '{')
            array(st);
        else
            expression(st);
        endWithSemicolon(false); // a value without one ends with its line
    }

    // Whether the symbol at a line's start, after a key's "=" that ended
    // the line before, goes on with that key rather than begin a statement.
    // A name and its "=" may stand on different lines, as anywhere in a
    // statement: "b\n= 1" begins one, whatever lines lie before it.
    bool valueFollows()
    {
        const char c = peek();
        if (c == '{' || c == '"' || c == ';')
            return true;
        if (!isNameChar(c))
            return false;
        const Mark at = mark();
        const std::string_view word = name();
        skipGap();
        const bool statement = sameIgnoringCase(word, "class") || sameIgnoringCase(word, "import") || peek() == '=' ||
                               peek() == '[' || peek() == '+';
        back(at);
        return !statement;
    }

    // A script name as earlier versions wrote it, its quotes not doubled:
    // everything up to the line's last quote, when nothing but blanks
    // follows that quote.
    bool lineString(Statement &st)
    {
        // The line's end and its last byte before trailing blanks, found once
        // per line: a line of many script keys stays linear.
        if (at_ >= lineEnd_) {
            lineEnd_ = at_; // a loop: find_first_of calls memchr for every byte
            while (lineEnd_ < s_.size() && !isLineEnd(s_[lineEnd_]))
                ++lineEnd_;
            lineLast_ = lineEnd_;
            while (lineLast_ > lineBegin_ && isBlank(s_[lineLast_ - 1]))
                --lineLast_;
        }
        if (lineLast_ <= at_ + 1 || s_[lineLast_ - 1] != '"')
            return false;
        st.shape = ValueShape::LineString;
        st.value = s_.substr(at_ + 1, lineLast_ - 1 - (at_ + 1));
        at_ = lineEnd_;
        return true;
    }

    // Past a string, which ends on its line; its inside as written.
    std::string_view string()
    {
        ++at_;
        const std::size_t start = at_;
        for (;;) {
            const std::size_t next = s_.find_first_of("\"\r\n", at_);
            if (next == std::string_view::npos || s_[next] != '"')
                refuse("a string without its closing quote");
            at_ = next + 1;
            if (peek() != '"')
                return s_.substr(start, next - start);
            ++at_;
        }
    }

    // A string that is the whole value; false, and nothing moved, when more
    // follows it ("a" + "b"): then the value is an expression.
    bool string(Statement &st)
    {
        const Mark before = mark();
        const std::string_view inside = string();
        skipBlanks();
        if (!atEnd() && !isLineEnd(peek()) && peek() != ';' && !atComment() && !closesClass()) {
            back(before);
            return false;
        }
        st.shape = ValueShape::String;
        st.value = inside;
        return true;
    }

    // A class's last statement may go without its ';': its value then ends
    // at the class's closing brace, as the game ends it.
    bool closesClass() const { return peek() == '}' && !openBraces_.empty(); }

    // Kept whole; the form holds no array, so only its extent matters.
    void array(Statement &st)
    {
        st.shape = ValueShape::Array;
        const std::size_t start = at_;
        const std::size_t depthBefore = openBraces_.size();
        openBrace();
        while (openBraces_.size() > depthBefore) {
            if (atEnd())
                refuse("a '{' without its '}'", openBraces_.back());
            const char c = peek();
            if (c == '{') {
                openBrace();
            } else if (c == '}') {
                openBraces_.pop_back();
                step();
            } else if (c == '"') {
                string();
            } else if (atComment()) {
                comment();
            } else {
                step();
            }
        }
        st.value = s_.substr(start, at_ - start);
    }

    // Up to the ';' or the line end, neither inside a string or
    // parentheses: a word, or words, strings and calls. Outside them no
    // line end: no line to count on the way.
    void expression(Statement &st)
    {
        const std::size_t start = at_;
        bool word = true;
        while (!atEnd()) {
            const char c = peek();
            if (isLineEnd(c) || c == ';' || (c == '/' && atComment()) || closesClass())
                break;
            if (c == '{' || c == '}' || c == ')')
                cannotReadStatement();
            if (c == '"') {
                word = false;
                string();
            } else if (c == '(') {
                word = false;
                parentheses();
            } else {
                ++at_;
            }
        }
        std::string_view text = s_.substr(start, at_ - start);
        while (!text.empty() && isBlank(text.back()))
            text.remove_suffix(1);
        if (word && std::any_of(text.begin(), text.end(), isBlank))
            word = false;
        st.shape = word ? ValueShape::Word : ValueShape::Expression;
        st.value = text;
    }

    std::string_view s_;
    std::size_t at_ = 0;
    int line_ = 1;
    std::size_t lineBegin_ = 0;
    Mark start_{};                     // of the statement being read
    std::size_t conditionalDepth_ = 0; // #if lines not yet closed by their #endif
    int outermostIfLine_ = 0;
    std::size_t lineEnd_ = 0;     // of the line lineString last looked at
    std::size_t lineLast_ = 0;    // its end less trailing blanks
    std::vector<int> openBraces_; // the line of each '{' still open
    // The statements of a writer's entry, made once: an entry sets only
    // their lines and texts.
    static Statement ofKind(StatementKind kind)
    {
        Statement st;
        st.kind = kind;
        return st;
    }
    Statement entryBegin_ = ofKind(StatementKind::ClassBegin);
    Statement entryKey_ = ofKind(StatementKind::Assignment);
    Statement entryEnd_ = ofKind(StatementKind::ClassEnd);
};

} // namespace

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t n = 0; n < a.size(); ++n) {
        // Bytes that differ are the same letter only when they differ in
        // the case bit alone.
        const auto x = static_cast<unsigned char>(a[n]);
        const auto y = static_cast<unsigned char>(b[n]);
        const auto lower = static_cast<unsigned char>(x | 0x20);
        if (x != y && ((x ^ y) != 0x20 || lower < 'a' || lower > 'z'))
            return false;
    }
    return true;
}

bool isScriptKey(std::string_view key)
{
    return sameIgnoringCase(key, introKey) || sameIgnoringCase(key, missionKey);
}

ReadOutcome readStatements(std::string_view bytes, StatementSink &sink)
{
    try {
        return Scanner(bytes).run(sink);
    } catch (const Refused &refused) {
        ReadOutcome outcome;
        outcome.refusal = refused.refusal;
        return outcome;
    }
}

Encoding encodingOf(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return Encoding::Utf8Mark;
    // Thirty-two bytes at a time: most files are ASCII throughout.
    std::size_t at = 0;
    for (; at + 32 <= bytes.size(); at += 32) {
        std::uint64_t words[4];
        std::memcpy(words, bytes.data() + at, sizeof words);
        if ((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080u)
            break;
    }
    while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80)
        ++at;
    if (at == bytes.size())
        return Encoding::CodePage;
    return isUtf8(bytes.substr(at)) ? Encoding::Utf8 : Encoding::CodePage;
}

ReadFile readDescription(std::string_view bytes)
{
    struct Listing final : StatementSink {
        std::vector<Statement> &statements;
        explicit Listing(std::vector<Statement> &list) : statements(list) {}
        void take(const Statement &statement) override { statements.push_back(statement); }
    };
    ReadFile file;
    Listing listing(file.statements);
    const ReadOutcome outcome = readStatements(bytes, listing);
    if (outcome.refusal)
        return {{}, outcome.refusal, false, Encoding::CodePage, 0};
    file.utf8 = outcome.utf8;
    file.encoding = encodingOf(bytes);
    file.lineCount = outcome.lineCount;
    return file;
}

std::string unquoted(const Statement &statement)
{
    std::string text(statement.value);
    if (statement.shape != ValueShape::String)
        return text;
    std::size_t to = 0;
    for (std::size_t at = 0; at < text.size(); ++at, ++to) {
        text[to] = text[at];
        at += text[at] == '"' ? 1 : 0; // the second of a doubled pair
    }
    text.resize(to);
    return text;
}

std::string describe(const Refusal &refusal)
{
    return "line " + std::to_string(refusal.line) + ": " + refusal.reason;
}

bool isUtf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t code = 0;
        const std::size_t length = utf8Character(bytes.substr(at), code);
        if (!length)
            return false;
        at += length;
    }
    return true;
}

} // namespace qor
