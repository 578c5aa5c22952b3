#include "keyboard/BlendCache.h"

#include "framework/GdiOwners.h"

namespace WEXA {

bool BlendCache::Blend(HDC dc, int x, int y, const std::wstring& key, int width, int height,
                       const std::function<void(Gdiplus::Graphics&)>& render)
{
    if (width <= 0 || height <= 0) return false;
    const auto id = std::make_tuple(key, width, height);
    auto found = m_surfaces.find(id);
    if (found == m_surfaces.end()) {
        if (m_surfaces.size() > 1024) Clear();
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        gdi::Bitmap section(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!section || !bits) return false;
        {
            // GDI+ writes premultiplied ARGB straight into the section's pixels.
            Gdiplus::Bitmap target(width, height, width * 4, PixelFormat32bppPARGB,
                                   static_cast<BYTE*>(bits));
            Gdiplus::Graphics g(&target);
            g.Clear(Gdiplus::Color(0, 0, 0, 0));
            render(g);
            g.Flush(Gdiplus::FlushIntentionSync);
        }
        Surface s;
        s.bitmap = section.release();
        s.dc = ::CreateCompatibleDC(dc);
        s.old = ::SelectObject(s.dc, s.bitmap);
        found = m_surfaces.emplace(id, s).first;
    }
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::AlphaBlend(dc, x, y, width, height, found->second.dc, 0, 0, width, height, blend) !=
           FALSE;
}

void BlendCache::Clear()
{
    for (auto& entry : m_surfaces) {
        Surface& s = entry.second;
        if (s.dc) {
            ::SelectObject(s.dc, s.old);
            ::DeleteDC(s.dc);
        }
        if (s.bitmap) ::DeleteObject(s.bitmap);
    }
    m_surfaces.clear();
}

}  // namespace WEXA
