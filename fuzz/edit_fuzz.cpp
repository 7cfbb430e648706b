// Editing any bytes the reader accepts: a press of the form as read changes
// nothing but the repeats it asks about; an edit into another form writes a
// file that reads back to what that form presses, and pressing it again
// changes nothing. The input also seeds hand edits of a random form's file,
// the property test's own generator, whose edit of the form as read changes
// no byte.
#include "handedits.h"
#include "invariant.h"
#include "mission/edit.h"
#include "mission/loader.h"
#include "testutil.h"

#include <cstdint>
#include <functional>
#include <string_view>

using namespace qor;
using qor::test::Editing;
using qor::test::editInto;
using qor::test::pressLoaded;

namespace
{

std::string pressOf(const Form &form)
{
    WindowFields fields;
    return pressForm(form, fields).bytes;
}

void editsCleanly(std::string_view bytes, std::mt19937 &rng, bool handEdits)
{
    if (readDescription(bytes).refusal)
        return;
    const Editing once = pressLoaded(std::string(bytes));
    QOR_INVARIANT(once.edit.repeatCount || once.edit.bytes == bytes);
    QOR_INVARIANT(!handEdits || !once.edit.repeatCount);

    // Into another form: the written file says what that form presses, and
    // is where a second press of it ends.
    const FormRecord other = test::randomForm(rng);
    const Edit into = editInto(once.document, other);
    QOR_INVARIANT(!readDescription(into.bytes).refusal);
    const Editing again = pressLoaded(into.bytes);
    QOR_INVARIANT(again.edit.bytes == into.bytes);
    QOR_INVARIANT(!again.edit.repeatCount);
    if (into.failed.empty())
        QOR_INVARIANT(pressOf(again.document.loaded.form) == pressOf(other));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    std::mt19937 rng(static_cast<std::uint32_t>(std::hash<std::string_view>()(bytes)));
    editsCleanly(bytes, rng, false);

    FormRecord form = test::randomForm(rng);
    std::string file = test::press(form);
    if (size % 2)
        file = test::reshape(file, rng);
    file = test::spliceHandEdits(file, rng, static_cast<int>(size % 12));
    editsCleanly(size % 3 ? test::withLineEnds(file, rng) : file, rng, true);
    return 0;
}
