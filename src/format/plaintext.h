#pragma once
// Text from outside (a file's lines, a path, a link's target) as the user
// may safely read it: nothing in it can move, hide or forge other text.
// Control characters (C0, DEL, C1), line and paragraph separators and the
// invisible format characters (direction marks, embeddings, overrides and
// isolates, zero-width characters, the byte-order mark) become visible as
// "\u202E"; a byte that is not UTF-8 becomes U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

namespace qor
{

// The length of the well-formed UTF-8 character at the start of s (no
// overlong form, no surrogate, nothing beyond U+10FFFF) and its code point;
// 0 where s does not start with one.
std::size_t utf8Character(std::string_view s, char32_t &code);

// UTF-8 in (or what claims to be), plain UTF-8 out.
std::string plainText(std::string_view text);

// The first `characters` code points of plainText(text), with "…" where
// anything was cut; a character is never split.
std::string plainText(std::string_view text, std::size_t characters);

// A message of several lines: each line as plainText, the line breaks
// ("\n") kept. For standard error, where an escape sequence would reach the
// terminal.
std::string plainLines(std::string_view text);

} // namespace qor
