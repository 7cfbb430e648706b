// A file the press wrote loads back as a form that presses the same bytes:
// press(load(press(F))) == press(F) for every form whose file has both
// sections, and loading that form's file again gives the same form.
#include "format/countformat.h"
#include "loadinto.h"
#include "mission/loader.h"
#include "testutil.h"

#include <gtest/gtest.h>

#ifndef QOR_ROUNDS
#define QOR_ROUNDS 3000
#endif

namespace qor
{
namespace
{

using namespace test;

FormRecord loaded(const std::string &bytes, LoadReport *report = nullptr)
{
    FormRecord form = fullestForm(); // every control must be set by the load
    const LoadReport r = loadInto(readDescription(bytes), form);
    if (report)
        *report = r;
    return form;
}

bool sameForm(const FormRecord &a, const FormRecord &b)
{
    return a.intro == b.intro && a.mission == b.mission && a.briefing == b.briefing && a.ticks == b.ticks &&
           a.counts == b.counts;
}

void checkRoundTrip(FormRecord form)
{
    const std::string file = press(form);
    LoadReport report;
    FormRecord once = loaded(file, &report);
    if (!report.hasWeapons || !report.hasMagazines)
        return;
    EXPECT_TRUE(report.leftovers.empty())
        << report.leftovers.front().firstLine << ": " << report.leftovers.front().reason;
    const std::string again = press(once);
    ASSERT_EQ(again, file);
    EXPECT_TRUE(once.messages.empty());
    FormRecord twice = loaded(again);
    EXPECT_TRUE(sameForm(once, twice));
}

// The random form with every count that a check would refuse replaced by a
// number, so that both sections are written; the messy counts that read as
// numbers ("3x", " 7", "&HFF", "1e-3") stay.
FormRecord passingForm(std::mt19937 &rng)
{
    FormRecord form = randomForm(rng);
    for (int box = 0; box < slotCount; ++box) {
        auto &text = form.counts[static_cast<std::size_t>(box)];
        if (form.value(wep(checkBoxOf(box))) == ticked && text != "0" && readCount(text) == 0)
            text = std::to_string(rng() % 200) + "1";
    }
    return form;
}

TEST(RoundTrip, FullestForm)
{
    checkRoundTrip(fullestForm());
}

TEST(RoundTrip, RandomForms)
{
    std::mt19937 rng(20261208);
    int bothSections = 0;
    for (int round = 0; round < QOR_ROUNDS; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        FormRecord form = passingForm(rng);
        const std::string file = press(form);
        bothSections +=
            file.find("class Magazines") != std::string::npos && file.find("class Weapons") != std::string::npos;
        checkRoundTrip(form);
        if (HasFatalFailure())
            return;
    }
    // The property says nothing about a form whose file lacks a section.
    EXPECT_EQ(bothSections, QOR_ROUNDS);
}

} // namespace
} // namespace qor
