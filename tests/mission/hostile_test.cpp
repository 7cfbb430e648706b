// Files made to hurt: each row generates its bytes (nothing committed), opens
// them as the window does and asserts the memory the read takes beyond the
// file itself, measured by counting every allocation. An allocation past a
// ceiling fails the row instead of taking the machine down.
#include "mission/mission.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace
{

std::atomic<std::size_t> current{0}, peak{0};
constexpr std::size_t ceiling = std::size_t{1} << 30;

} // namespace

[[gnu::noinline]] void *operator new(std::size_t size)
{
    void *p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    const std::size_t now = current += malloc_usable_size(p);
    if (now > ceiling) {
        current -= malloc_usable_size(p);
        std::free(p);
        throw std::bad_alloc();
    }
    for (std::size_t seen = peak; now > seen && !peak.compare_exchange_weak(seen, now);) {
    }
    return p;
}

[[gnu::noinline]] void operator delete(void *p) noexcept
{
    if (p)
        current -= malloc_usable_size(p);
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    operator delete(p);
}

// The standard library's temporary buffers (std::stable_sort) take the
// nothrow form and give it back through the plain delete: both must be ours.
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void *p, const std::nothrow_t &) noexcept
{
    operator delete(p);
}

namespace qor
{
namespace
{

using namespace test;

constexpr std::size_t fileSize = 8 << 20;

std::string repeated(const std::string &head, const std::string &unit, const std::string &tail = "")
{
    std::string out = head;
    out.reserve(fileSize + unit.size() + tail.size());
    while (out.size() + tail.size() < fileSize)
        out += unit;
    return out + tail;
}

struct Hostile {
    const char *name;
    std::string (*bytes)();
    double most; // memory beyond the file, in file sizes
};

void PrintTo(const Hostile &c, std::ostream *os)
{
    *os << c.name;
}

const Hostile hostileFiles[] = {
    {"semicolons", [] { return repeated("", ";"); }, 4},
    {"scattered_leftovers", [] { return repeated("", "a=1;\n\n"); }, 4},
    {"comments", [] { return repeated("", "//\n"); }, 4},
    {"unknown_classes", [] { return repeated("", "class a{};"); }, 4},
    {"entries_listed_again", [] { return repeated("class Weapons{", "class UZI{count=1;};", "};"); }, 4},
    {"counts_without_a_number", [] { return repeated("class Magazines{", "class UZI{count=x;};", "};"); }, 4},
    {"script_name", [] { return repeated("onloadintro=\"", "x", "\""); }, 4},
    {"script_name_beyond_ascii", [] { return repeated("onloadintro=\"", "\xE9", "\""); }, 4},
    {"count_of_millions_of_digits", [] { return repeated("class Weapons{class UZI{count=", "1", ";};};"); }, 4},
    {"unclosed_string", [] { return repeated("onloadintro=\"", "x"); }, 4},
    {"block_comment", [] { return repeated("/*", "*\n", "*/"); }, 4},
    {"nested_braces", [] { return repeated("x[]=", "{"); }, 4},
    {"nul_at_the_end", [] { return repeated("", "\n", std::string(1, '\0')); }, 4},
    {"line_separators", [] { return repeated("\xEF\xBB\xBF", "//\xE2\x80\xA8\n"); }, 4},
};

class HostileFiles : public ::testing::TestWithParam<Hostile>
{
};

TEST_P(HostileFiles, AreReadInMemoryBoundedByTheirSize)
{
    std::string bytes = GetParam().bytes();
    const std::size_t size = bytes.size();
    FormRecord form;
    Mission mission("/m", [&](const std::string &, Reading) {
        Snapshot s;
        s.state = Snapshot::State::Read;
        s.bytes = std::exchange(bytes, {});
        s.size = size;
        return s;
    });
    const std::size_t before = current;
    peak = before;
    mission.open(form);
    const std::size_t beyond = peak - before; // the file itself was counted before
    const auto question = mission.questionBeforePress(form);
    const std::string status = mission.status();

    const double ratio = static_cast<double>(beyond) / static_cast<double>(size);
    std::printf("%s: %.2f x the file beyond it\n", GetParam().name, ratio);
    EXPECT_LE(ratio, GetParam().most);
    EXPECT_LE(status.size(), 1000u) << status.substr(0, 200);
    if (question) {
        EXPECT_LE(question->text.size(), 400u);
        EXPECT_LE(question->details.size(), 200'000u);
    }
}

INSTANTIATE_TEST_SUITE_P(Mission, HostileFiles, ::testing::ValuesIn(hostileFiles));

} // namespace
} // namespace qor
