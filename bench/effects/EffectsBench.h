#pragma once
// Timing helpers shared by the effect benchmarks.
#include <windows.h>

#include <cstdio>

#include "../BenchClock.h"

namespace bench {

inline void Report(const char* what, double us, double budgetMs)
{
    std::printf("%-40s %9.1f us  %6.2f %% of %.0f ms\n", what, us, us / (budgetMs * 10.0),
                budgetMs);
}

}  // namespace bench
