#pragma once
// The benchmarks' clock: seconds from the performance counter, and the mean
// time of a piece of work in microseconds (after one warm-up run).
#include <windows.h>

namespace bench {

inline double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(frequency.QuadPart);
}

inline double Milliseconds()
{
    return 1000.0 * Seconds();
}

template <typename F>
double MicrosecondsPer(int iterations, F&& body)
{
    body();  // warm up
    const double start = Seconds();
    for (int i = 0; i < iterations; ++i) body();
    return (Seconds() - start) * 1e6 / iterations;
}

}  // namespace bench
