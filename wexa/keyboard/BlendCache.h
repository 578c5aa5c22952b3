#pragma once
// Pictures that a control draws again and again at the same size (the
// keyboard picture, its key caps and labels), rendered once with GDI+ into premultiplied
// 32-bit DIB sections and then copied with AlphaBlend, which is many times
// cheaper than scaling the source image on every rendering. Internal to the
// library; used by one control's drawing only (callers serialise).
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "WexaGdiplus.h"

namespace WEXA {

class BlendCache
{
public:
    BlendCache() = default;
    ~BlendCache() { Clear(); }
    BlendCache(const BlendCache&) = delete;
    BlendCache& operator=(const BlendCache&) = delete;

    // Blends the picture stored under (key, width, height) onto dc at (x, y),
    // rendering it first with render (a graphics on a transparent width x
    // height surface) when it is not stored yet. False when no surface could
    // be made (the caller then draws directly).
    bool Blend(HDC dc, int x, int y, const std::wstring& key, int width, int height,
               const std::function<void(Gdiplus::Graphics&)>& render);
    // Forgets every stored picture.
    void Clear();

private:
    struct Surface
    {
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ old = nullptr;
    };
    std::map<std::tuple<std::wstring, int, int>, Surface> m_surfaces;
};

}  // namespace WEXA
