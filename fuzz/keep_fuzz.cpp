// Keeping on any bytes the reader accepts: the press of the loaded form, with
// the lines the form does not hold spliced back, reads back to the same form,
// keeps everything it kept once more and presses to the same bytes. The input
// also seeds random hand edits of a random form's file, the property test's
// own generator.
#include "handedits.h"
#include "invariant.h"
#include "mission/keep.h"
#include "mission/loader.h"
#include "testutil.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>

using namespace qor;
using qor::test::Keeping;
using qor::test::pressLoaded;

namespace
{

void fixedPoint(std::string_view bytes, bool handEdits)
{
    if (readDescription(bytes).refusal)
        return;
    const Keeping once = pressLoaded(bytes);
    QOR_INVARIANT(!handEdits || once.kept.unkept.empty());
    // No guess adds an entry: whatever the press writes, the file listed.
    FormRecord copy = once.form;
    const std::string pressed = test::press(copy);
    const ReadFile plain = readDescription(pressed), original = readDescription(bytes);
    for (const Statement &s : plain.statements)
        if (s.kind == StatementKind::ClassBegin && s.name != "Weapons" && s.name != "Magazines")
            QOR_INVARIANT(std::any_of(original.statements.begin(), original.statements.end(), [&](const Statement &o) {
                return o.kind == StatementKind::ClassBegin && o.name == s.name;
            }));
    QOR_INVARIANT(!readDescription(once.kept.bytes).refusal);
    const Keeping twice = pressLoaded(once.kept.bytes);
    QOR_INVARIANT(twice.kept.bytes == once.kept.bytes);
    QOR_INVARIANT(twice.kept.unkept.empty());
    QOR_INVARIANT(twice.kept.kept.size() <= once.kept.kept.size() + once.kept.dropped.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    fixedPoint(bytes, false);

    std::mt19937 rng(static_cast<std::uint32_t>(std::hash<std::string_view>()(bytes)));
    FormRecord form = test::randomForm(rng);
    fixedPoint(test::spliceHandEdits(test::press(form), rng, static_cast<int>(size % 12)), true);
    return 0;
}
