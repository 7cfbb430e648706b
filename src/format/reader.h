#pragma once
// Reads description.ext back: bytes -> a flat list of statements with their
// line numbers and byte spans, or a refusal that names the line. It reads the
// game's file format as a mission maker writes it and never guesses what a
// line means: preprocessor lines, imports, macro calls and expressions are
// given as they stand, for the loader (loader.h) to keep or set aside.
//
// The grammar it accepts. A gap (blanks, line ends and comments) may stand
// between any two symbols of a statement; inside a string, a word and a
// line-string no line end may, and a value without ";" ends at its line's
// end. A comment inside a statement belongs to it.
//
//   file        = [ utf8-bom ] { statement } ;
//   statement   = comment | directive | import | class-begin | class-end
//               | class-decl | assignment | macro | ";" { ";" } ;
//   comment     = "//" { any but line end } | "/*" { any } "*/" ;
//   directive   = "#" [ name ] { any but line end | "\" line-end | block-comment } ;
//                 (* "#" first on its line, after blanks *)
//   import      = "import" class-name [ ";" ] ;
//   class-begin = "class" class-name [ ":" class-name ] "{" ;
//   class-end   = "}" [ ";" ] ;
//   class-decl  = "class" class-name ( ";" | macro ) ;   (* a body a macro makes *)
//   class-name  = name [ call ] ;                 (* GVAR(params) *)
//   macro       = name call [ ";" ] ;             (* __EXEC(a = 1) *)
//   assignment  = name [ "[]" [ "+" ] ] "=" [ value ] [ ";" | before "}" ] ;
//                 (* a value may begin on a later line unless what stands
//                    there is a statement of its own: "class", "import",
//                    or a name followed by "=" or "[" *)
//   value       = line-string | string | array | expression ;
//   line-string = '"' { any but line end } '"' blanks line-end ;
//                 (* script keys only, where the value is no string: a
//                    name with a quote as earlier versions wrote it, read
//                    up to the line's last quote *)
//   string      = '"' { any but '"' and line end | '""' } '"' ;
//   array       = "{" { string | array | comment | any but '"', "{", "}" } "}" ;
//   expression  = { string | call | any but ";", "{", "}", ")", comment, line end } ;
//                 (* a single word without blanks, quotes or parentheses
//                    is a Word; anything more an Expression *)
//   call        = "(" { string | call | comment | any but "(", ")" } ")" ;
//   name        = letter-or-digit-or-underscore { letter-or-digit-or-underscore } ;
//
// Keywords ("class", "import") in any case, as the game takes them.
//
// Refused: an #if without its #endif, a NUL byte, a brace or "(" without its partner, an unclosed "/*"
// or string, a "#" that is not first on its line, classes or arrays nested
// deeper than maxNesting, and anything the grammar does not cover. Nesting of
// parentheses and of #if lines is a count: any depth costs no memory.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor
{

inline constexpr int maxNesting = 32;

// The gap's bytes, as the grammar counts them.
inline bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

inline bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

enum class StatementKind : std::uint8_t {
    Assignment,
    ClassBegin,
    ClassEnd,
    ClassDeclaration,
    Directive, // a preprocessor line: name "include", "define", "ifdef", ...
    Import,    // import Name;
    Macro,     // a macro call standing alone: __EXEC(a = 1)
    Comment,
    Semicolon,
};

// An empty value is a Word with an empty text.
enum class ValueShape : std::uint8_t { Word, String, LineString, Array, Expression };

struct Statement {
    StatementKind kind = StatementKind::Semicolon;
    int firstLine = 0; // counted from 1
    int lastLine = 0;
    // Where it stands in the bytes read: [begin, end), from its first byte
    // to its last (a closing ';' included, blanks after it not).
    std::size_t begin = 0;
    std::size_t end = 0;
    // Views into the bytes read, which must outlive the statements.
    // Key, class name (a macro call whole: GVAR(x)), imported class, macro
    // or directive word, as written.
    std::string_view name;
    std::string_view base; // class A: B
    bool isArray = false;  // key[]
    bool appends = false;  // key[] += {...}: adds to the array, sets nothing
    // Stands between an #if, #ifdef or #ifndef and its #endif (nesting
    // counted), that opening line and its closing #endif aside.
    bool conditional = false;
    std::size_t conditions = 0; // how many #if lines are open at its start
    ValueShape shape = ValueShape::Word;
    // A word or expression trimmed, a string's inside as written (see
    // unquoted), an array whole, a comment whole, a macro call whole, a
    // directive's text after its word (continuations as written).
    std::string_view value;
};

// The value's text: for a string, its doubled quotes made single.
std::string unquoted(const Statement &statement);

struct Refusal {
    int line = 0;
    std::string reason; // "a '}' without its '{'"
};

// How the file's text is written: the code page, or UTF-8 with or without
// its mark. A value the press puts into the file is written the same way.
enum class Encoding : std::uint8_t { CodePage, Utf8, Utf8Mark };

// The encoding a file's bytes tell: its mark, else UTF-8 where every byte
// fits it and one is not ASCII, else the code page.
Encoding encodingOf(std::string_view bytes);

struct ReadFile {
    std::vector<Statement> statements;
    std::optional<Refusal> refusal; // set: nothing in statements counts
    bool utf8 = false;              // began with a UTF-8 byte-order mark
    Encoding encoding = Encoding::CodePage;
    int lineCount = 0;
};

// Keys, section titles and the game's keywords compare without case; so do
// the class names of entries, as the game takes them.
bool sameIgnoringCase(std::string_view a, std::string_view b);

// Keys whose value earlier versions put between quotes with nothing escaped.
bool isScriptKey(std::string_view key);

// What a read tells besides its statements.
struct ReadOutcome {
    std::optional<Refusal> refusal; // set: no statement given counts
    bool utf8 = false;
    int lineCount = 0;
};

// Receives the statements of a read, in order.
class StatementSink
{
  public:
    virtual void take(const Statement &statement) = 0;
    // An entry in the writer's own shape (a class holding one assignment),
    // given whole in one call: the usual statements of a file cost one call
    // instead of three.
    virtual void takeEntry(const Statement &begin, const Statement &assignment, const Statement &end)
    {
        take(begin);
        take(assignment);
        take(end);
    }

  protected:
    ~StatementSink() = default;
};

// Hands each statement to `sink` as it is read, holding none: memory stays
// the same whatever the file holds. Statements given before a refusal are
// not to be kept. A run of lone ";" comes as one statement.
ReadOutcome readStatements(std::string_view bytes, StatementSink &sink);

// Every statement in a list (small files, tests). The statements point into
// `bytes`: keep them alive while the result is used.
ReadFile readDescription(std::string_view bytes);

// "line 12: a '}' without its '{'"
std::string describe(const Refusal &refusal);

// Well-formed UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF.
bool isUtf8(std::string_view bytes);

} // namespace qor
