#pragma once
// A property a harness asserts. A failure must reach libFuzzer as a crash so
// that it keeps the input; abort() does, and the message says which property
// broke before the sanitizer's stack trace.

#include <cstdio>
#include <cstdlib>

#define KORVALEN_FUZZ_CHECK(condition, what)                                           \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: property broken: %s\n  (%s)\n", __FILE__,      \
                         __LINE__, what, #condition);                                  \
            std::abort();                                                              \
        }                                                                              \
    } while (false)
