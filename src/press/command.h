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

#include "press/formview.h"
#include "press/outputfile.h"
#include "press/windowfields.h"

namespace qor
{

inline constexpr const char *fileName = "description.ext";

// One press: header, first check pass, Weapons section, second check pass,
// Magazines section. A failure of the file stops the press, shows
// "Cannot write <path>: <reason>" and leaves the old file in place.
// Returns true when the file was replaced (its notice, if any, shown after).
bool cmd_Click(FormView &form, OutputFile &file, WindowFields &fields);

} // namespace qor
