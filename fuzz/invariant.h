#pragma once
// A broken invariant is a crash to libFuzzer: it saves the input that did it.

#include <cstdio>
#include <cstdlib>

#define QOR_INVARIANT(condition)                                                                                       \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);                     \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
