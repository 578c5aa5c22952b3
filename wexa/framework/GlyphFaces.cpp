// GlyphFaces: character maps of fonts, the choice of a face that holds a
// text's characters, and text drawing that falls back to such a face.
#include "GlyphFaces.h"

#include <algorithm>
#include <map>
#include <memory>

#include "CLock.h"

namespace WEXA {

namespace {

UINT32 Read16(const BYTE* p)
{
    return (UINT32(p[0]) << 8) | p[1];
}
UINT32 Read32(const BYTE* p)
{
    return (UINT32(p[0]) << 24) | (UINT32(p[1]) << 16) | (UINT32(p[2]) << 8) | p[3];
}

// Characters that take no glyph of their own: spaces and controls, the
// soft hyphen, zero-width marks and joiners, directional marks, variation
// selectors and the byte-order mark.
bool NeedsNoGlyph(UINT32 c)
{
    return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202F) || (c >= 0x2060 && c <= 0x2064) || c == 0x3000 ||
           (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || (c >= 0xE0100 && c <= 0xE01EF);
}

// Calls each(code point) for every character of the text that needs a glyph;
// a lone surrogate counts as the replacement character.
template <typename Each>
void ForEachDrawn(const wchar_t* text, int length, Each each)
{
    if (!text) return;
    if (length < 0) length = static_cast<int>(wcslen(text));
    for (int i = 0; i < length; ++i) {
        UINT32 c = static_cast<UINT16>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length) {
            const UINT32 low = static_cast<UINT16>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        if (!NeedsNoGlyph(c)) each(c);
    }
}

bool InRanges(const GlyphFaces::Ranges& ranges, UINT32 c)
{
    auto it =
        std::upper_bound(ranges.begin(), ranges.end(), c,
                         [](UINT32 v, const std::pair<UINT32, UINT32>& r) { return v < r.first; });
    if (it == ranges.begin()) return false;
    --it;
    return c >= it->first && c <= it->second;
}

// Adds [first, last] to a list that is sorted and merged at the end.
void Add(GlyphFaces::Ranges& ranges, UINT32 first, UINT32 last)
{
    if (first > last) return;
    if (!ranges.empty() && ranges.back().second + 1 == first) {
        ranges.back().second = last;
        return;
    }
    ranges.emplace_back(first, last);
}

void Normalise(GlyphFaces::Ranges& ranges)
{
    std::sort(ranges.begin(), ranges.end());
    GlyphFaces::Ranges merged;
    for (const auto& r : ranges) {
        if (!merged.empty() && r.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    }
    ranges.swap(merged);
}

// Format 4: segments of 16-bit characters; a character whose glyph works
// out to 0 has none.
bool ParseFormat4(const BYTE* sub, size_t avail, GlyphFaces::Ranges& out)
{
    if (avail < 14) return false;
    const size_t length = std::min<size_t>(Read16(sub + 2), avail);
    const UINT32 segments = Read16(sub + 6) / 2;
    const size_t ends = 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
                 offsets = deltas + 2 * segments;
    if (segments == 0 || offsets + 2 * segments > length) return false;
    for (UINT32 s = 0; s < segments; ++s) {
        const UINT32 end = Read16(sub + ends + 2 * s);
        const UINT32 start = Read16(sub + starts + 2 * s);
        const UINT32 delta = Read16(sub + deltas + 2 * s);
        const size_t rangeOffsetAt = offsets + 2 * s;
        const UINT32 rangeOffset = Read16(sub + rangeOffsetAt);
        if (start > end) continue;
        const UINT32 last = end == 0xFFFF ? 0xFFFE : end;  // the closing segment
        if (rangeOffset == 0) {
            // Glyph (c + delta) mod 65536: only one character can land on 0.
            const UINT32 none = (0x10000 - delta) & 0xFFFF;
            if (none >= start && none <= last) {
                if (none > start) Add(out, start, none - 1);
                Add(out, none + 1, last);
            } else {
                Add(out, start, last);
            }
            continue;
        }
        for (UINT32 c = start; c <= last; ++c) {
            const size_t at = rangeOffsetAt + rangeOffset + 2 * (c - start);
            if (at + 2 > length) break;
            if (Read16(sub + at) != 0) Add(out, c, c);
        }
    }
    return true;
}

// Format 12: groups of characters with consecutive glyphs.
bool ParseFormat12(const BYTE* sub, size_t avail, GlyphFaces::Ranges& out)
{
    if (avail < 16) return false;
    const size_t length = std::min<size_t>(Read32(sub + 4), avail);
    const UINT32 groups = Read32(sub + 12);
    if (16 + size_t(groups) * 12 > length) return false;
    for (UINT32 g = 0; g < groups; ++g) {
        const BYTE* p = sub + 16 + size_t(g) * 12;
        UINT32 first = Read32(p);
        const UINT32 last = std::min<UINT32>(Read32(p + 4), 0x10FFFF);
        if (Read32(p + 8) == 0) ++first;  // the first character maps to "no glyph"
        Add(out, first, last);
    }
    return true;
}

// ---- the registry ----

struct Face
{
    bool known = false;  // the ranges were read
    GlyphFaces::Ranges ranges;
    std::unique_ptr<Gdiplus::FontFamily> family;  // registered private faces only
};

struct Registry
{
    CCriticalLock lock;
    std::map<std::wstring, std::unique_ptr<Face>> faces;  // by lower-case name
    std::vector<std::wstring> fallback;
};

Registry& TheRegistry()
{
    static Registry* registry = new Registry;  // lives as long as the process
    return *registry;
}

std::wstring Lower(const wchar_t* s)
{
    std::wstring out(s ? s : L"");
    for (wchar_t& c : out) c = static_cast<wchar_t>(towlower(c));
    return out;
}

const std::vector<std::wstring>& DefaultFallback()
{
    // Symbol faces first (arrows and signs; their Latin matches the library's
    // face better than a Chinese face's), then the faces of the simplified and
    // the traditional Chinese windows, then faces of hosts without them.
    static const std::vector<std::wstring> faces = {L"Segoe UI Symbol",
                                                    L"Segoe UI",
                                                    L"Arial Unicode MS",
                                                    L"Lucida Sans Unicode",
                                                    L"Microsoft YaHei",
                                                    L"SimHei",
                                                    L"SimSun",
                                                    L"Microsoft JhengHei",
                                                    L"PMingLiU",
                                                    L"MingLiU",
                                                    L"WenQuanYi Micro Hei",
                                                    L"Noto Sans CJK SC",
                                                    L"Noto Sans CJK TC",
                                                    L"DejaVu Sans",
                                                    L"Arial"};
    return faces;
}

// The installed face's character map through GDI; false when no face of
// that very name is installed (GDI would hand out another one).
bool ReadInstalledFace(const wchar_t* name, GlyphFaces::Ranges& ranges)
{
    Gdiplus::FontFamily family(name, nullptr);
    if (family.GetLastStatus() != Gdiplus::Ok || !family.IsAvailable()) return false;
    HDC dc = ::CreateCompatibleDC(nullptr);
    if (!dc) return false;
    LOGFONTW lf = {};
    lf.lfHeight = -16;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, name, LF_FACESIZE);
    HFONT font = ::CreateFontIndirectW(&lf);
    bool ok = false;
    if (font) {
        HGDIOBJ old = ::SelectObject(dc, font);
        wchar_t chosen[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, chosen);
        if (lstrcmpiW(chosen, name) == 0) {
            const DWORD tag = 0x70616D63;  // "cmap"
            const DWORD size = ::GetFontData(dc, tag, 0, nullptr, 0);
            if (size != GDI_ERROR && size > 0) {
                std::vector<BYTE> table(size);
                if (::GetFontData(dc, tag, 0, table.data(), size) == size)
                    ok = GlyphFaces::ParseCmap(table.data(), table.size(), ranges);
            }
        }
        ::SelectObject(dc, old);
        ::DeleteObject(font);
    }
    ::DeleteDC(dc);
    return ok;
}

Face* FindFace(Registry& r, const wchar_t* name)
{
    const std::wstring key = Lower(name);
    auto it = r.faces.find(key);
    if (it != r.faces.end()) return it->second.get();
    std::unique_ptr<Face> face(new Face);
    face->known = !key.empty() && ReadInstalledFace(name, face->ranges);
    Face* raw = face.get();
    r.faces.emplace(key, std::move(face));
    return raw;
}

std::wstring FamilyName(const Gdiplus::Font* font)
{
    if (!font) return std::wstring();
    Gdiplus::FontFamily family;
    if (font->GetFamily(&family) != Gdiplus::Ok) return std::wstring();
    wchar_t name[LF_FACESIZE] = {};
    if (family.GetFamilyName(name, LANG_NEUTRAL) != Gdiplus::Ok) return std::wstring();
    return name;
}

// A font like the given one in another face; null when it cannot be made.
std::unique_ptr<Gdiplus::Font> FontInFace(const Gdiplus::Font* font, const std::wstring& face)
{
    if (face.empty()) return nullptr;
    std::unique_ptr<Gdiplus::FontFamily> family;
    {
        Registry& r = TheRegistry();
        CAutoLock lock(r.lock);
        auto it = r.faces.find(Lower(face.c_str()));
        if (it != r.faces.end() && it->second->family) family.reset(it->second->family->Clone());
    }
    if (!family) family.reset(new Gdiplus::FontFamily(face.c_str(), nullptr));
    if (!family || family->GetLastStatus() != Gdiplus::Ok) return nullptr;
    std::unique_ptr<Gdiplus::Font> made(
        new Gdiplus::Font(family.get(), font->GetSize(), font->GetStyle(), font->GetUnit()));
    if (made->GetLastStatus() != Gdiplus::Ok) {
        // A face without the asked style (a regular-only symbol face).
        made.reset(new Gdiplus::Font(family.get(), font->GetSize(), Gdiplus::FontStyleRegular,
                                     font->GetUnit()));
        if (made->GetLastStatus() != Gdiplus::Ok) return nullptr;
    }
    return made;
}

}  // namespace

bool GlyphFaces::ParseCmap(const BYTE* cmap, size_t size, Ranges& ranges)
{
    ranges.clear();
    if (!cmap || size < 4) return false;
    const UINT32 count = Read16(cmap + 2);
    if (4 + size_t(count) * 8 > size) return false;
    bool any = false;
    for (UINT32 i = 0; i < count; ++i) {
        const BYTE* record = cmap + 4 + size_t(i) * 8;
        const UINT32 platform = Read16(record), encoding = Read16(record + 2);
        const size_t offset = Read32(record + 4);
        // Unicode subtables: platform 0, or Windows with Unicode BMP / full.
        if (!(platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10)))) continue;
        if (offset + 2 > size) continue;
        const BYTE* sub = cmap + offset;
        const UINT32 format = Read16(sub);
        if (format == 4)
            any = ParseFormat4(sub, size - offset, ranges) || any;
        else if (format == 12)
            any = ParseFormat12(sub, size - offset, ranges) || any;
    }
    Normalise(ranges);
    return any;
}

bool GlyphFaces::ParseFontFile(const BYTE* font, size_t size, Ranges& ranges)
{
    ranges.clear();
    if (!font || size < 12) return false;
    size_t base = 0;
    if (Read32(font) == 0x74746366) {  // "ttcf": the collection's first font
        if (size < 16 || Read32(font + 8) == 0) return false;
        base = Read32(font + 12);
        if (base + 12 > size) return false;
    }
    const UINT32 tables = Read16(font + base + 4);
    if (base + 12 + size_t(tables) * 16 > size) return false;
    for (UINT32 i = 0; i < tables; ++i) {
        const BYTE* record = font + base + 12 + size_t(i) * 16;
        if (Read32(record) != 0x636D6170) continue;  // "cmap"
        const size_t offset = Read32(record + 8), length = Read32(record + 12);
        if (offset > size || length > size - offset) return false;
        return ParseCmap(font + offset, length, ranges);
    }
    return false;
}

int GlyphFaces::Missing(const Ranges& ranges, const wchar_t* text, int length)
{
    int missing = 0;
    ForEachDrawn(text, length, [&](UINT32 c) {
        if (!InRanges(ranges, c)) ++missing;
    });
    return missing;
}

bool GlyphFaces::Covers(const Ranges& ranges, const wchar_t* text, int length)
{
    return Missing(ranges, text, length) == 0;
}

int GlyphFaces::Choose(const wchar_t* text, int length,
                       const std::vector<const Ranges*>& candidates)
{
    int best = -1, fewest = 0;
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (!candidates[i]) continue;
        const int missing = Missing(*candidates[i], text, length);
        if (missing == 0) return static_cast<int>(i);
        if (best < 0 || missing < fewest) {
            best = static_cast<int>(i);
            fewest = missing;
        }
    }
    return best;
}

void GlyphFaces::RegisterFace(const Gdiplus::FontFamily* family, const BYTE* font, size_t size)
{
    if (!family || family->GetLastStatus() != Gdiplus::Ok) return;
    wchar_t name[LF_FACESIZE] = {};
    if (family->GetFamilyName(name, LANG_NEUTRAL) != Gdiplus::Ok || !name[0]) return;
    std::unique_ptr<Face> face(new Face);
    face->known = ParseFontFile(font, size, face->ranges);
    face->family.reset(family->Clone());
    Registry& r = TheRegistry();
    CAutoLock lock(r.lock);
    r.faces[Lower(name)] = std::move(face);
}

const GlyphFaces::Ranges* GlyphFaces::FaceRanges(const wchar_t* face)
{
    Registry& r = TheRegistry();
    CAutoLock lock(r.lock);
    Face* found = FindFace(r, face);
    return found->known ? &found->ranges : nullptr;
}

std::vector<std::wstring> GlyphFaces::FallbackFaces()
{
    Registry& r = TheRegistry();
    CAutoLock lock(r.lock);
    return r.fallback.empty() ? DefaultFallback() : r.fallback;
}

void GlyphFaces::SetFallbackFaces(const std::vector<std::wstring>& faces)
{
    Registry& r = TheRegistry();
    CAutoLock lock(r.lock);
    r.fallback = faces;
}

std::wstring GlyphFaces::FaceFor(const Gdiplus::Font* font, const wchar_t* text, int length)
{
    if (!font || !text) return std::wstring();
    // Plain Latin text never needs another face: decided without a lookup.
    bool plain = true;
    for (int i = 0; length < 0 ? text[i] != 0 : i < length; ++i)
        if (static_cast<UINT16>(text[i]) > 0x7E) {
            plain = false;
            break;
        }
    if (plain) return std::wstring();
    const std::wstring own = FamilyName(font);
    const Ranges* ownRanges = FaceRanges(own.c_str());
    if (!ownRanges || Covers(*ownRanges, text, length)) return std::wstring();
    const std::vector<std::wstring> faces = FallbackFaces();
    std::vector<const Ranges*> candidates;
    candidates.reserve(faces.size() + 1);
    candidates.push_back(ownRanges);
    for (const std::wstring& face : faces) candidates.push_back(FaceRanges(face.c_str()));
    const int chosen = Choose(text, length, candidates);
    return chosen <= 0 ? std::wstring() : faces[chosen - 1];
}

Gdiplus::Status GlyphFaces::DrawString(Gdiplus::Graphics& g, const wchar_t* text, int length,
                                       const Gdiplus::Font* font, const Gdiplus::RectF& layout,
                                       const Gdiplus::StringFormat* format,
                                       const Gdiplus::Brush* brush)
{
    std::unique_ptr<Gdiplus::Font> other = FontInFace(font, FaceFor(font, text, length));
    return g.DrawString(text, length, other ? other.get() : font, layout, format, brush);
}

Gdiplus::Status GlyphFaces::DrawString(Gdiplus::Graphics& g, const wchar_t* text, int length,
                                       const Gdiplus::Font* font, const Gdiplus::PointF& origin,
                                       const Gdiplus::Brush* brush)
{
    std::unique_ptr<Gdiplus::Font> other = FontInFace(font, FaceFor(font, text, length));
    return g.DrawString(text, length, other ? other.get() : font, origin, brush);
}

Gdiplus::Status GlyphFaces::DrawString(Gdiplus::Graphics& g, const wchar_t* text, int length,
                                       const Gdiplus::Font* font, const Gdiplus::PointF& origin,
                                       const Gdiplus::StringFormat* format,
                                       const Gdiplus::Brush* brush)
{
    std::unique_ptr<Gdiplus::Font> other = FontInFace(font, FaceFor(font, text, length));
    return g.DrawString(text, length, other ? other.get() : font, origin, format, brush);
}

Gdiplus::Status GlyphFaces::MeasureString(Gdiplus::Graphics& g, const wchar_t* text, int length,
                                          const Gdiplus::Font* font, const Gdiplus::RectF& layout,
                                          const Gdiplus::StringFormat* format,
                                          Gdiplus::RectF* bounds)
{
    std::unique_ptr<Gdiplus::Font> other = FontInFace(font, FaceFor(font, text, length));
    return g.MeasureString(text, length, other ? other.get() : font, layout, format, bounds);
}

}  // namespace WEXA
