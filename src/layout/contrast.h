#pragma once
// Contrast as accessibility guidelines measure it, for focus frames that must
// stand out against whatever fill lies behind them, in every front-end.

#include <cstdint>

namespace qor::layout
{

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb white{255, 255, 255};

// 0 for black, 1 for white.
double relativeLuminance(Rgb c);
// 1 for equal colours, 21 for black on white.
double contrastRatio(Rgb a, Rgb b);
// Black or white, whichever stands out more against `behind`: never less
// than 4.5:1.
Rgb outlineAgainst(Rgb behind);

// The least contrast a text needs against its fill.
inline constexpr double readableContrast = 4.5;
// `wanted` where it reaches readableContrast against `fill`, else black or
// white: a fill that follows the desktop may come out close to the text
// chosen for it.
Rgb textOn(Rgb fill, Rgb wanted);

} // namespace qor::layout
