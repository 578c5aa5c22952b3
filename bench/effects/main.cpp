// Prints the cost of the lighting previews' steps against the 16 ms tick.
#include "WexaGdiplus.h"

void BenchMatrixScreen();
void BenchNimbrelEffect();

int main()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    BenchMatrixScreen();
    BenchNimbrelEffect();
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
