// Start-up to the first painted frame of Win32 programs, run in turns in one
// session of the same Windows (or Wine, with its wineserver already
// running): from CreateProcess until the program's top-level window is
// visible and neither it nor any control in it has anything left to paint.
//
//   startup.exe RUNS ONEBUTTON.exe BARE.exe PROGRAM.exe
//
// Prints each program's median and fastest start, and the program's against
// the bare window of the same controls (its floor) and against the one-button
// window. Each round starts the three in a rotated order, so none always
// starts on a warmer system.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

struct Search {
    DWORD processId;
    HWND window;
};

BOOL CALLBACK findVisibleWindow(HWND window, LPARAM context)
{
    auto *search = reinterpret_cast<Search *>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER))
        return TRUE;
    search->window = window;
    return FALSE;
}

BOOL CALLBACK findUnpainted(HWND window, LPARAM context)
{
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool *>(context) = true;
        return FALSE;
    }
    return TRUE;
}

bool painted(HWND window)
{
    if (GetUpdateRect(window, nullptr, FALSE))
        return false;
    bool unpainted = false;
    EnumChildWindows(window, findUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

double seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// One start: the time to the first painted frame, or a negative number when
// the program did not get there within 30 s.
double startOnce(const std::wstring &program)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER begin, end;
    QueryPerformanceCounter(&begin);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", program.c_str(), GetLastError());
        return -1;
    }
    WaitForInputIdle(process.hProcess, 30000);
    Search search{process.dwProcessId, nullptr};
    double elapsed = -1;
    for (;;) {
        QueryPerformanceCounter(&end);
        if (seconds(begin, end) > 30)
            break;
        search.window = nullptr;
        EnumWindows(findVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.window && painted(search.window)) {
            elapsed = seconds(begin, end);
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    if (search.window)
        PostMessageW(search.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    constexpr int count = 3;
    if (argc != 2 + count || std::wcstol(argv[1], nullptr, 10) < 1) {
        std::fprintf(stderr, "usage: startup.exe RUNS ONEBUTTON.exe BARE.exe PROGRAM.exe\n");
        return 2;
    }
    const long runs = std::wcstol(argv[1], nullptr, 10);
    const char *names[count] = {"one-button", "bare", "program"};
    std::vector<double> times[count];
    // A few starts of each first, not counted: the system's caches, and in a
    // fresh Wine prefix its first-start work, warm up.
    for (int warm = 0; warm < 3; ++warm)
        for (int which = 0; which < count; ++which)
            if (startOnce(argv[2 + which]) < 0) {
                std::fprintf(stderr, "%ls: no painted window while warming up\n", argv[2 + which]);
                return 1;
            }
    for (long run = 0; run < runs; ++run) {
        for (int turn = 0; turn < count; ++turn) {
            const int which = static_cast<int>((run + turn) % count);
            const double elapsed = startOnce(argv[2 + which]);
            if (elapsed < 0) {
                std::fprintf(stderr, "%ls: no painted window\n", argv[2 + which]);
                return 1;
            }
            times[which].push_back(elapsed);
        }
    }
    double medians[count], fastest[count];
    for (int which = 0; which < count; ++which) {
        medians[which] = median(times[which]);
        fastest[which] = *std::min_element(times[which].begin(), times[which].end());
        std::printf("%-10s median %7.1f ms  fastest %7.1f ms  (%ls)\n", names[which], 1000 * medians[which],
                    1000 * fastest[which], argv[2 + which]);
    }
    std::printf("ratio program/bare (same controls, goal 1.2): %.2f (medians), %.2f (fastest)\n",
                medians[2] / medians[1], fastest[2] / fastest[1]);
    std::printf("ratio program/one-button: %.2f (medians), %.2f (fastest) over %ld runs each\n",
                medians[2] / medians[0], fastest[2] / fastest[0], runs);
    return 0;
}
