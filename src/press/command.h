#pragma once
// The generator: one press of "G E N E R A T E" turns the form into
// description.ext.
//
//   window (FormView) --readForm--> Form --pressForm--> Pressed: the bytes, and
//        ^                                     |         the boxes that failed
//        |                                     v
//        +---- messages, focus, emptied boxes -+-- cmd_Click --> OutputFile
//
// pressForm is pure: the checks (checks.h) and the sections (sections.h) walk
// the runs of slots and the ammo-box pairings that the catalogue
// (catalogue/catalogue.h) defines, and FileWriter (writer.h) builds the whole
// file in memory, ANSI code page, CR LF. cmd_Click opens the OutputFile
// (outputfile.h) before any check, shows what the press found, and commits
// the bytes at the end. The start values and the briefing keys are in
// startvalues.h.
//
// A window's press goes through the mission (mission/mission.h), which edits
// the folder's file with pressForm's result (mission/edit.h); cmd_Click is
// the same press with no file to edit. The window only moves values between
// its widgets and FormView; every decision is made in the core, without Qt,
// so all of it is testable in memory.

#include "format/filewords.h"
#include "io/outputfile.h"
#include "press/form.h"
#include "press/formview.h"
#include "press/windowfields.h"
#include "press/writer.h"

#include <optional>
#include <string>
#include <vector>

namespace qor
{

// What one press makes of a form.
struct Pressed {
    std::string bytes;                    // the whole file
    std::vector<WrittenSection> sections; // where each written section and entry stands in bytes
    // The count boxes that failed their check, in the order the user is told:
    // for each, the message notANumber, the focus on it, then the box emptied.
    std::vector<int> failed;

    // The box that holds the focus after the press, if the press moved it.
    std::optional<int> focus() const { return failed.empty() ? std::nullopt : std::optional<int>(failed.back()); }
};

// Header, first check pass, Weapons section, second check pass, Magazines
// section; each section left out only when its own pass failed.
Pressed pressForm(const Form &form, WindowFields &fields);

// What a press found, shown in the window: for each failed box the message
// notANumber, the focus on the box, then the box emptied.
void showFailures(const std::vector<int> &failed, FormView &form);

// "Cannot write <path>: <reason>": the message of a file that failed.
std::string cannotWrite(const OutputFile &file);

// One press of the button: opens the file, reads the window into a Form,
// presses it, shows the window what the press found and commits the bytes.
// A failure of the file stops the press, shows "Cannot write <path>:
// <reason>" and leaves the old file in place. Returns true when the file was
// replaced (its notice, if any, shown after).
bool cmd_Click(FormView &form, OutputFile &file, WindowFields &fields);

} // namespace qor
