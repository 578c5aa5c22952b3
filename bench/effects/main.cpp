// Prints the cost of the lighting previews' steps against the 16 ms tick and
// of the music visualiser's schemes against its 15 ms frame. An argument
// ("matrix", "visualizer" or "effect") runs only that part.
#include <cstring>

#include "WexaGdiplus.h"

void BenchMatrixScreen();
void BenchNimbrelEffect();
void BenchVisualizer();

int main(int argc, char** argv)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    const char* only = argc > 1 ? argv[1] : "";
    if (!*only || !strcmp(only, "matrix")) BenchMatrixScreen();
    if (!*only || !strcmp(only, "visualizer")) BenchVisualizer();
    if (!*only || !strcmp(only, "effect")) BenchNimbrelEffect();
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
