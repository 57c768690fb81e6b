// What a fuzz target does when a property of the code under test fails: it
// says which and aborts, which libFuzzer reports as a crash and keeps the
// input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition, what)                                                   \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "fuzz: %s (%s, line %d)\n", what, __FILE__, __LINE__); \
            std::abort();                                                               \
        }                                                                               \
    } while (false)
