#pragma once
// Reads description.ext back: bytes -> a flat list of statements with their
// line numbers, or a refusal that names the line. It understands a small,
// exact subset of the game's file format and never guesses what a line means;
// the loader (loader.h) decides what the form can hold.
//
// The grammar it accepts (blanks and line ends may stand between symbols,
// except inside a line-string and a word, which end at the line's end):
//
//   file        = [ utf8-bom ] { statement } ;
//   statement   = comment | include | class-begin | class-end | class-decl
//               | assignment | ";" ;
//   comment     = "//" { any but line end } | "/*" { any } "*/" ;
//   include     = "#include" { any but line end } ;     (* at a line's start *)
//   class-begin = "class" name [ ":" name ] "{" ;
//   class-end   = "}" [ ";" ] ;
//   class-decl  = "class" name ";" ;
//   assignment  = name [ "[]" ] "=" value [ ";" ] ;
//   value       = line-string | string | array | word ;
//   line-string = '"' { any but line end } '"' blanks line-end ;
//                 (* script keys only: the writer's own shape, read up to
//                    the line's last quote *)
//   string      = '"' { any but '"' and line end | '""' } '"' ;
//   array       = "{" { string | array | any but '"', "{", "}" } "}" ;
//   word        = { any but ";", '"', "{", "}", "//", "/*", line end } ;
//   name        = letter-or-digit-or-underscore { letter-or-digit-or-underscore } ;
//
// Refused: a NUL byte, a brace without its partner, an unclosed "/*" or
// string, any other preprocessor line, classes or arrays nested deeper than
// maxNesting, and anything the grammar does not cover.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor
{

inline constexpr int maxNesting = 32;

enum class StatementKind : std::uint8_t {
    Assignment,
    ClassBegin,
    ClassEnd,
    ClassDeclaration,
    Directive, // a preprocessor line: name is its word ("include", "define", ...)
    Comment,
    Semicolon,
    Import, // import Name;
    Macro,  // a macro call standing alone: __EXEC(...)
};

enum class ValueShape : std::uint8_t { Word, String, LineString, Array, Expression };

struct Statement {
    StatementKind kind = StatementKind::Semicolon;
    int firstLine = 0; // counted from 1
    int lastLine = 0;
    // Where it stands in the bytes read: [begin, end), from its first byte
    // to its last (a closing ';' included, blanks after it not).
    std::size_t begin = 0;
    std::size_t end = 0;
    // Between an #if, #ifdef or #ifndef and its #endif: what the game reads
    // there depends on what is defined.
    bool conditional = false;
    // Views into the bytes read, which must outlive the statements.
    std::string_view name; // key or class name, as written
    std::string_view base; // class A: B
    bool isArray = false;  // key[]
    ValueShape shape = ValueShape::Word;
    std::string_view value; // a word trimmed, a string's inside as written (see unquoted), an array whole,
                            // a comment whole
};

// The value's text: for a string, its doubled quotes made single.
std::string unquoted(const Statement &statement);

struct Refusal {
    int line = 0;
    std::string reason; // "a '}' without its '{'"
};

struct ReadFile {
    std::vector<Statement> statements;
    std::optional<Refusal> refusal; // set: nothing in statements counts
    bool utf8 = false;              // began with a UTF-8 byte-order mark
    int lineCount = 0;
};

// Keys, section titles and the game's keywords compare without case; class
// names of entries do not.
bool sameIgnoringCase(std::string_view a, std::string_view b);

// Keys whose value the writer puts between quotes with nothing escaped.
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
