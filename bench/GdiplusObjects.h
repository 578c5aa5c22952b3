#pragma once
// Counts the GDI+ objects the process holds: every module that imports
// gdiplus.dll (the program, Wexa.dll) has its calls that create and delete
// images, graphics, brushes, pens, fonts, font families, paths, regions and
// string formats routed through counters. Install once, early in main, before
// GDI+ is started; objects made before that are not counted, and deleting one
// of them changes nothing.
namespace bench {

enum GdiplusKind {
    kGdipImage,  // images and bitmaps
    kGdipGraphics,
    kGdipBrush,
    kGdipPen,
    kGdipFont,
    kGdipFontFamily,
    kGdipPath,
    kGdipRegion,
    kGdipStringFormat,
    kGdipKinds
};

struct GdiplusCounts
{
    long live[kGdipKinds] = {};
    long made = 0;  // objects created since counting began, deleted or not
    long Total() const;
};

// Patches the imports; false when no module imports GDI+ or a patch failed.
bool CountGdiplusObjects();
// The objects created since then and not yet deleted, by kind.
GdiplusCounts LiveGdiplusObjects();
const char* GdiplusKindName(int kind);

}  // namespace bench
