#pragma once

#include <cstdio>
#include <cstdlib>

// Fails the run with the broken invariant named, so a finding says what went wrong.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #cond);      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
