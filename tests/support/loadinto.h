#pragma once
// A read file loaded into an in-memory window. Apart from testutil.h: the
// reader's ReadFile would clash with the system's function of that name in
// the Windows tests.

#include "formrecord.h"
#include "mission/loader.h"

namespace qor::test
{

inline LoadReport loadInto(const ReadFile &file, FormRecord &form)
{
    Loaded loaded = loadForm(file);
    static_cast<Form &>(form) = std::move(loaded.form);
    return std::move(loaded.report);
}

} // namespace qor::test
