#pragma once
// The working fields the window keeps for the command, and the two values of
// `valid`. Nothing in them carries meaning from one press to the next.

#include <cstdint>
#include <string>

namespace qor
{

// `valid` is a Basic-style truth value: True is -1, False 0.
inline constexpr std::int16_t validTrue = -1;
inline constexpr std::int16_t validFalse = 0;

struct WindowFields {
    std::int16_t valid = 0; // validTrue while the current check pass has not failed
    std::int16_t i = 0;     // loop index of every slot loop
    std::string cname;      // class name of the entry being written
};

} // namespace qor
