#pragma once
// The temporary file a press writes beside its target before renaming it
// over: its name, its making, and the removal of those a killed press left.

#include "io/descriptor_posix.h"

#include <string>
#include <string_view>
#include <sys/types.h>

namespace qor::detail
{

// A new temporary for base in folder, made with mode (before the umask), its
// name in `name`. Invalid, with errno set, where none could be made.
Fd createTemporary(int folder, std::string_view base, mode_t mode, std::string &name);

// Removes the temporaries that killed presses of this user left for base,
// matched by their exact name pattern. A folder this process may not list
// keeps them.
void removeStale(int folder, std::string_view base);

} // namespace qor::detail
