#pragma once
// A press as an edit of the mission's file: what the user changed in the
// form changes in the file, and every other byte stays as it was.
//
//   readDocument(bytes)   the file, what the loader made of it (the form,
//                         the report, where each value the form holds
//                         stands) and the press of that form
//   edit(document, form)  the form now against the form as read: a header
//                         value, an entry or a section whose value differs
//                         is replaced, inserted or removed in place; the
//                         repeats of what the press writes (a key given
//                         again, an entry listed again, a copy between #if
//                         and #endif) are removed and named for a question
//   pressWhole(form)      no file to edit: the whole file, as a press writes it
//
// Values are compared as values, never as texts: "showMap = 1;" and a
// ticked Show Map are the same, so an unchanged form changes no byte. A file
// a press wrote itself edits into exactly the bytes of a fresh press.

#include "mission/loader.h"
#include "press/command.h"
#include "press/form.h"
#include "press/windowfields.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qor
{

struct Document {
    std::string bytes; // as read, or as last written
    Loaded loaded;
    Pressed pressed;     // of loaded.form: what the file says, as a press says it
    bool own = false;    // the bytes are a press's own (a section may be left out)
    std::string lineEnd; // the file's own: its first, else CR LF
};

Document readDocument(std::string bytes);

// Lines an edit removes that the user did not ask for, named for a question.
struct Removal {
    int firstLine = 0;
    int lastLine = 0;
    std::string what; // "showMap", "class M16 in Weapons"
    std::string text; // the start of its first line, as plain text
};

// A section the file has and the press leaves out.
struct DroppedSection {
    std::string_view title; // "Weapons"
    int entries = 0;        // the classes it holds
    std::string names;      // "M16, M60 and 3 more"
};

// "class M60 in Weapons", first defined on line 12 in a way the form cannot
// hold.
struct Redefinition {
    std::string what;
    int line = 0;
};

struct Edit {
    std::string bytes;
    std::vector<int> failed;       // count boxes that failed their check, as the press tells them
    std::vector<Removal> repeats;  // the first of them, in line order
    std::uint64_t repeatCount = 0; // all of them
    std::vector<DroppedSection> sections;
    // Each header key and section the form writes and the file leaves
    // unset, in the press's order ("debriefing", "class Weapons").
    std::vector<std::string> inserted;
    // Classes this edit adds that the file already defines in a way the
    // form cannot hold: a second definition, asked about first.
    std::vector<Redefinition> redefinitions;
};

// Repeats named in full; the rest are counted.
inline constexpr std::size_t namedRepeats = 500;

// Without `write`, everything but the bytes: what a press would ask and say.
Edit edit(const Document &document, const Form &form, WindowFields &fields, bool write = true);
Edit pressWhole(const Form &form, WindowFields &fields);

// The header keys a file leaves unset that the form holds a value for.
std::vector<std::string_view> unsetKeys(const Document &document);

} // namespace qor
