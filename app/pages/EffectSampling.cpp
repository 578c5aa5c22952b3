#include "pages/EffectSampling.h"

#include <cmath>

int ClampGridRows(int rows)
{
    return rows < 0 ? 0 : (rows > kEffectGridRows ? kEffectGridRows : rows);
}

int ClampGridColumns(int columns)
{
    return columns < 0 ? 0 : (columns > kEffectGridColumns ? kEffectGridColumns : columns);
}

void ComputeSpectrumSamples(int rows, int columns, int rowY[kEffectGridRows],
                            int columnX[kEffectGridColumns])
{
    if (rows <= 0 || columns <= 0) return;
    for (int c = 0; c < kEffectGridColumns; ++c) columnX[c] = 0;
    for (int r = 0; r < kEffectGridRows; ++r) rowY[r] = 0;
    // A layout with more rows or columns than the map holds is sampled as if
    // it had the map's 8 rows and 32 columns.
    rows = ClampGridRows(rows);
    columns = ClampGridColumns(columns);
    const int rowStep = 62 / rows;
    const int columnStep = 255 / columns;
    for (int r = 0; r < rows; ++r) rowY[r] = int(2 + r * rowStep + 0.5 * rowStep);
    for (int c = 0; c < columns; ++c) columnX[c] = c * columnStep;
}

int LightBarScale(int slider)
{
    // slider x 2.55 in whole numbers: 100 gives 255, where the double product
    // 254.999... would truncate to 254.
    return slider * 255 / 100;
}

COLORREF ScaleColour(COLORREF colour, int scale)
{
    const unsigned r = (GetRValue(colour) * unsigned(scale)) / 256;
    const unsigned g = (GetGValue(colour) * unsigned(scale)) / 256;
    const unsigned b = (GetBValue(colour) * unsigned(scale)) / 256;
    return RGB(r, g, b);
}

float MatrixBrightness(int brightness, int limit)
{
    if (limit <= 0) limit = 100;
    return float(brightness) / float(limit);
}
