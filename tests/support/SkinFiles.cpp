#include "SkinFiles.h"

#include <shlobj.h>

#include "Manager.h"

namespace testutil {

std::wstring UseTestSkinFolder(const wchar_t* theme)
{
    std::wstring folder = WEXA::GetAppPath().GetString();
    folder += L"skins\\";
    folder += theme;
    folder += L"\\";
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    WEXA::Manager::SetThemeSkins(CString(theme) + L"\\");
    return folder;
}

bool WriteSkinPng(const std::wstring& folder, const wchar_t* name, int width, int height,
                  const std::function<void(Gdiplus::Graphics&)>& draw)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bitmap);
        g.Clear(Gdiplus::Color(0, 0, 0, 0));
        draw(g);
    }
    // The PNG encoder's class id.
    const CLSID png = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    std::wstring path = folder + name;
    if (bitmap.Save(path.c_str(), &png, nullptr) != Gdiplus::Ok) return false;
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace testutil
