#pragma once
// GlyphFaces: which face holds which characters, and which face a text is
// drawn in.
//
// The library's own face has Latin letters only: arrows, CJK and other
// symbols would come out as empty boxes, since GDI+ does not link fonts for
// DrawString reliably. Text drawn through DrawString below keeps the font it
// is given when that font's face holds every character of the text; else it is
// drawn, at the same size, style and unit, in the first face of the fallback
// list that holds them all (or, when none does, the one holding the most).
//
// A face's characters are read from its character map: the bytes of a private
// font given to RegisterFace, or the installed face's own table through GDI.
// The registry is process-wide and guarded by its own lock, a leaf lock (see
// PaintManager.h): nothing else is taken under it.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API GlyphFaces
{
public:
    // Characters of a face as sorted, disjoint, inclusive code point ranges.
    typedef std::vector<std::pair<UINT32, UINT32>> Ranges;

    // ---- character maps ----
    // The ranges of a TrueType/OpenType 'cmap' table (Unicode subtables of
    // format 4 or 12); false when it holds none that can be read.
    static bool ParseCmap(const BYTE* cmap, size_t size, Ranges& ranges);
    // The ranges of a whole font file (the first font of a collection).
    static bool ParseFontFile(const BYTE* font, size_t size, Ranges& ranges);
    // Whether the ranges hold every character of the text that is drawn
    // (spaces, controls, joiners and variation selectors need no glyph).
    static bool Covers(const Ranges& ranges, const wchar_t* text, int length);
    // How many drawn characters of the text the ranges lack.
    static int Missing(const Ranges& ranges, const wchar_t* text, int length);
    // The candidate to draw the text in: the first that holds every drawn
    // character, else the one lacking the fewest (the first of equals); a
    // null candidate (face unknown or not installed) is never chosen. -1
    // when no candidate can be chosen.
    static int Choose(const wchar_t* text, int length,
                      const std::vector<const Ranges*>& candidates);

    // ---- the faces of this process ----
    // A private font of the program, by its family name (its family is cloned;
    // the bytes are read at once and need not stay).
    static void RegisterFace(const Gdiplus::FontFamily* family, const BYTE* font, size_t size);
    // The ranges of a face: a registered private one, else the installed face
    // of that name; null when neither exists. The record lives as long as the
    // process.
    static const Ranges* FaceRanges(const wchar_t* face);
    // The faces tried, in order, for what the drawing face lacks: symbol faces
    // for arrows and signs, then the Chinese faces of the simplified and the
    // traditional windows. Replaceable (tests); an empty list restores these.
    static std::vector<std::wstring> FallbackFaces();
    static void SetFallbackFaces(const std::vector<std::wstring>& faces);

    // The face to draw the text in with the font: "" when the font's own face
    // will do (or its characters cannot be known).
    static std::wstring FaceFor(const Gdiplus::Font* font, const wchar_t* text, int length);

    // ---- drawing (as Graphics::DrawString / MeasureString) ----
    static Gdiplus::Status DrawString(Gdiplus::Graphics& g, const wchar_t* text, int length,
                                      const Gdiplus::Font* font, const Gdiplus::RectF& layout,
                                      const Gdiplus::StringFormat* format,
                                      const Gdiplus::Brush* brush);
    static Gdiplus::Status DrawString(Gdiplus::Graphics& g, const wchar_t* text, int length,
                                      const Gdiplus::Font* font, const Gdiplus::PointF& origin,
                                      const Gdiplus::Brush* brush);
    static Gdiplus::Status DrawString(Gdiplus::Graphics& g, const wchar_t* text, int length,
                                      const Gdiplus::Font* font, const Gdiplus::PointF& origin,
                                      const Gdiplus::StringFormat* format,
                                      const Gdiplus::Brush* brush);
    static Gdiplus::Status MeasureString(Gdiplus::Graphics& g, const wchar_t* text, int length,
                                         const Gdiplus::Font* font, const Gdiplus::RectF& layout,
                                         const Gdiplus::StringFormat* format,
                                         Gdiplus::RectF* bounds);
};

}  // namespace WEXA
