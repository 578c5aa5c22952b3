#pragma once
// Timing helpers shared by the effect benchmarks.
#include <windows.h>

#include <cstdio>

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

template <typename F>
double MicrosecondsPer(int iterations, F&& body)
{
    body();  // warm up
    const double start = Seconds();
    for (int i = 0; i < iterations; ++i) body();
    return (Seconds() - start) * 1e6 / iterations;
}

inline void Report(const char* what, double us, double budgetMs)
{
    std::printf("%-40s %9.1f us  %6.2f %% of %.0f ms\n", what, us, us / (budgetMs * 10.0),
                budgetMs);
}

}  // namespace bench
