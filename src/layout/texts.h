#pragma once
// What the window says, for every front-end: its caption and title, the
// button's caption, and what screen readers hear of each input.

#include "press/formview.h"

#include <string>
#include <string_view>

namespace qor::layout
{

// The name the program presents itself under; message boxes carry it.
inline constexpr std::string_view applicationTitle = "description.ext generator";
inline constexpr std::string_view windowCaption = "description.ext generator for QOR 1.75 - by Mara Velden";
inline constexpr std::string_view cmdCaption = "G E N E R A T E";
inline constexpr std::string_view folderCaption = "Folder...";
inline constexpr std::string_view folderDescription = "Choose the mission folder to work in";
inline constexpr std::string_view chooserTitle = "Mission folder";
// The band below the canvas, and its status text before the first status.
inline constexpr std::string_view statusLineName = "Status line";
inline constexpr std::string_view statusName = "Status";

// The scroll area around the canvas and its parts, for screen readers; the
// bars show only on a small screen.
inline constexpr std::string_view scrollAreaName = "Window contents";
inline constexpr std::string_view viewportName = "Visible part";
inline constexpr std::string_view canvasName = "Mission settings";
inline constexpr std::string_view verticalBarName = "Vertical scroll bar";
inline constexpr std::string_view horizontalBarName = "Horizontal scroll bar";

// Where a plain message box asks a question with the system's own buttons,
// what each button does, in words: "Yes: Replace. No: Load it into the
// form. Cancel: Cancel." with `load`, else "OK: Replace. Cancel: Cancel.".
std::string buttonsInWords(std::string_view accept, std::string_view load, std::string_view cancel);

// The accessible names of the controls that show no caption of their own.
inline constexpr std::string_view cmdName = "Generate";
inline constexpr std::string_view txti1Name = "On load intro";
inline constexpr std::string_view txti2Name = "On load mission";
inline constexpr std::string_view txttName = "Quote character";

// The name a control goes by in the window and in tests: "wep_3", "cant_0",
// "chki1", "txti1"; and a tab stop's, "cmd", "status" and "folderButton"
// among them.
std::string controlName(ControlId control);
struct TabStop;
std::string stopName(TabStop stop);

// The name a screen reader gives an input: a check box's caption, "<item>
// count" for a count box, "<weapon> ammo" for an ammo box.
std::string accessibleName(ControlId control);

// For count box `slot`, what its name does not say: when it counts, where
// that is not simply while the item it is named after is ticked; the first
// count box Tab reaches says that rule and what a count accepts. Empty for
// the other boxes, whose names say it all.
std::string countDescription(int slot);
inline constexpr std::string_view countRule =
    "Each count is counted only while the item it names is ticked, unless its box says otherwise.";
inline constexpr std::string_view numberForms = "A number such as 12, 2.5, 1e3, &H10 (hexadecimal) or &O17 (octal).";

} // namespace qor::layout
