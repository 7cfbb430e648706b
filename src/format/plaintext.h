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

// UTF-8 in (or what claims to be), plain UTF-8 out.
std::string plainText(std::string_view text);

// The first `characters` code points of plainText(text), with "…" where
// anything was cut; a character is never split.
std::string plainText(std::string_view text, std::size_t characters);

} // namespace qor
