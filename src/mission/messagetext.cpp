#include "mission/messagetext.h"

#include <vector>

namespace qor
{

namespace
{

bool continuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

constexpr std::string_view breakHere = "\xE2\x80\x8B"; // U+200B ZERO WIDTH SPACE

// Where each code point starts; a byte that is no valid UTF-8 counts as one.
// The break chances a fitting left are not counted, so that a fitted text
// fits as it stands.
std::vector<std::size_t> codePoints(std::string_view text)
{
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < text.size(); ++at)
        if ((!continuation(text[at]) || starts.empty()) && text.compare(at, breakHere.size(), breakHere) != 0)
            starts.push_back(at);
    return starts;
}

bool whitespace(char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
}

} // namespace

std::string fitForMessageBox(std::string_view text)
{
    static constexpr std::string_view ellipsis = "\xE2\x80\xA6";

    std::string kept(text);
    const std::vector<std::size_t> starts = codePoints(text);
    if (starts.size() > 2 * messageEndLength)
        kept = std::string(text.substr(0, starts[messageEndLength])) + std::string(ellipsis) +
               std::string(text.substr(starts[starts.size() - messageEndLength]));

    std::string out;
    out.reserve(kept.size() + kept.size() / messageLineLength * breakHere.size());
    std::size_t run = 0; // code points since whitespace or a break
    for (std::size_t at = 0; at < kept.size(); ++at) {
        const char byte = kept[at];
        if (!continuation(byte)) {
            // A break already there counts as one, so fitting twice changes nothing.
            const bool broken = kept.compare(at, breakHere.size(), breakHere) == 0;
            if (run == messageLineLength && !broken) {
                out += breakHere;
                run = 0;
            }
            run = whitespace(byte) || broken ? 0 : run + 1;
        }
        out += byte;
    }
    return out;
}

} // namespace qor
