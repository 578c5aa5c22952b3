#pragma once
// Pure arithmetic of the effect and matrix-screen pages: where the worker samples
// the visualiser's 256 x 64 canvas for each cell of the key grid, how light-bar
// colours are scaled, and the matrix preview's brightness.
#include <windows.h>

// The key grid the effect panel's colour map can hold.
const int kEffectGridRows = 8;
const int kEffectGridColumns = 32;

// A layout file's row and column counts as far as the colour map reaches:
// negative counts become 0, larger ones the map's 8 rows and 32 columns.
int ClampGridRows(int rows);
int ClampGridColumns(int columns);

// The canvas rows and columns sampled per grid row and column. Nothing changes
// when either count is 0 or less; otherwise both tables are cleared, the counts
// are clamped to the map (R <= 8, K <= 32) and the first R and K entries set:
//   row r:    trunc(2 + r x (62 / R) + 0.5 x (62 / R))   (62 / R an integer division)
//   column c: c x (255 / K)
void ComputeSpectrumSamples(int rows, int columns, int rowY[kEffectGridRows],
                            int columnX[kEffectGridColumns]);

// trunc(slider x 2.55), exactly: the scale of the light bars for a brightness slider 0-100.
int LightBarScale(int slider);
// Each byte b of the colour becomes (b x scale) / 256, byte order kept.
COLORREF ScaleColour(COLORREF colour, int scale);

// The matrix preview's brightness for a stored brightness and the keyboard's
// limit (a full slider gives 1.0); a limit of 0 or less counts as 100.
float MatrixBrightness(int brightness, int limit);
