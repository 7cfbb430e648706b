#pragma once
// Who may read and change the replaced file: the old file's owner, group,
// mode and extended attributes (with them its ACL) carried over to the new
// one.

#include <sys/stat.h>

namespace qor::detail
{

// The old file's owner, group, mode and ACL on the new file, and no more:
// the entries the folder's default ACL put on it go, and where the group
// cannot be kept its rights are cleared rather than handed to the presser's
// group. Returns an errno, or 0.
int keepAccess(int old, int file, const struct stat &was);

} // namespace qor::detail
