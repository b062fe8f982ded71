// What every fuzz target shares: the input as bytes, and a check that stops the run when a property fails.
#pragma once

#include <QtCore/QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);                      \
            __builtin_trap();                                                                                          \
        }                                                                                                              \
    } while (false)

inline QByteArray fuzzBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
