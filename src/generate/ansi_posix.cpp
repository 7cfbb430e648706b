#include "ansi.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace qor
{

namespace
{

// Bytes of the character at s that iconv refused: its lead byte and the
// continuation bytes that follow it, so that an unmappable character becomes
// one "?" and a broken sequence never swallows the valid text after it.
std::size_t refusedLength(const char *s, std::size_t left)
{
    const auto lead = static_cast<unsigned char>(s[0]);
    const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t n = 1;
    while (n < expected && n < left && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

class Converter
{
  public:
    Converter() : cd_(iconv_open("WINDOWS-1252", "UTF-8")) {}
    ~Converter()
    {
        if (cd_ != invalid())
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    std::string convert(std::string_view in)
    {
        std::string out;
        if (cd_ == invalid()) { // no converter on this system: keep ASCII only
            for (unsigned char c : in)
                out += c < 0x80 ? static_cast<char>(c) : '?';
            return out;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.resize(in.size()); // never longer: one byte per character at most
        char *src = const_cast<char *>(in.data());
        std::size_t srcLeft = in.size();
        char *dst = out.data();
        std::size_t dstLeft = out.size();
        while (srcLeft > 0) {
            if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG)
                break; // cannot happen: output is never longer than input
            // EILSEQ (unmappable or invalid) or EINVAL (truncated at the end).
            const std::size_t skip = refusedLength(src, srcLeft);
            *dst++ = '?';
            --dstLeft;
            src += skip;
            srcLeft -= skip;
        }
        out.resize(out.size() - dstLeft);
        return out;
    }

  private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t cd_;
};

} // namespace

std::string toAnsi(std::string_view utf8)
{
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(utf8);
    thread_local Converter converter;
    return converter.convert(utf8);
}

} // namespace qor
