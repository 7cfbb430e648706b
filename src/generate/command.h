#pragma once
// The generator: one press of "G E N E R A T E" turns the window's values into
// description.ext.
//
//   window (FormView) --cmd_Click--> checks (checks.h) --> sections (sections.h)
//                                         |                     |
//                                         +--> FileWriter (fileformat.h): the whole
//                                              file in memory, ANSI code page, CR LF
//                                                   |
//   OutputFile (outputfile.h): open() before any check, commit(bytes) at the end
//
// The checks and the sections walk the runs of slots and the ammo-box
// pairings that the catalogue (catalogue/catalogue.h) defines; the window's
// start values and the briefing keys are in startvalues.h.
//
// The window only moves values between its widgets and FormView; every
// decision is made here, without Qt, so all of it is testable in memory.

#include "form.h"
#include "outputfile.h"

#include <cstdint>
#include <string>

namespace qor
{

// The two values of `valid`, a Basic-style boolean.
inline constexpr std::int16_t validTrue = -1;
inline constexpr std::int16_t validFalse = 0;

inline constexpr const char *fileName = "description.ext";
inline constexpr const char *notANumber = "error; not a number";

// Working fields the window keeps for the command; nothing carries meaning
// from one press to the next.
struct WindowFields {
    std::int16_t valid = 0; // validTrue while the current check pass has not failed
    std::int16_t i = 0;     // loop index of every slot loop
    std::string cname;      // class name of the entry being written
};

// One press: header, first check pass, Weapons section, second check pass,
// Magazines section. A failure of the file stops the press, shows
// "Cannot write <path>: <reason>" and leaves the old file in place.
// Returns true when the file was replaced (its notice, if any, shown after).
bool cmd_Click(FormView &form, OutputFile &file, WindowFields &fields);

} // namespace qor
