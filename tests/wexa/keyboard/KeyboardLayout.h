#pragma once
// A keyboard model's layout file read as the program reads it, and a keyboard
// picture filled from it the way the program fills one when a model is
// selected. Header only: the picture tests (tests/wexa/keyboard/pictures) use
// it too.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "KeyboardCtrl.h"
#include "services/xml/XmlDocument.h"

namespace kbtest {

struct LayoutKey
{
    int code = 0;
    std::wstring name, desc;
    CRect rect;
};

struct Layout
{
    int xpos = 0, ypos = 0, width = 0, height = 0;
    COLORREF body = 0;
    std::wstring image;
    std::vector<LayoutKey> keys;
};

inline std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// "layouts\<name>.xml" beside the executables.
inline Layout ReadLayout(const wchar_t* name)
{
    Layout layout;
    std::wstring text, messages;
    unsigned flags = 0;
    const std::wstring path = ExeFolder() + L"layouts\\" + name + L".xml";
    if (!XmlDocument::LoadTextFile(text, &messages, path.c_str(), &flags)) {
        ADD_FAILURE() << "cannot read the layout file";
        return layout;
    }
    XmlDocument doc;
    doc.SetDocumentText(text);
    EXPECT_TRUE(doc.FindElement(L"device.info"));
    doc.EnterElement();
    EXPECT_TRUE(doc.FindElement(L"Keyboard"));
    auto number = [&](const wchar_t* attribute, int base) {
        return static_cast<int>(wcstol(doc.GetAttribute(attribute).c_str(), nullptr, base));
    };
    layout.xpos = number(L"xpos", 10);
    layout.ypos = number(L"ypos", 10);
    layout.width = number(L"width", 10);
    layout.height = number(L"height", 10);
    const int body = number(L"bk_color", 16);
    layout.body = RGB((body >> 16) & 0xFF, (body >> 8) & 0xFF, body & 0xFF);
    layout.image = doc.GetAttribute(L"image");
    doc.EnterElement();
    EXPECT_TRUE(doc.FindElement(L"KeyItems"));
    doc.EnterElement();
    while (doc.FindElement(L"key")) {
        LayoutKey key;
        key.code = number(L"code", 16);
        key.name = doc.GetAttribute(L"name");
        key.desc = doc.GetAttribute(L"desc");
        const int left = number(L"rect_left", 10), top = number(L"rect_top", 10);
        key.rect =
            CRect(left, top, left + number(L"rect_width", 10), top + number(L"rect_height", 10));
        layout.keys.push_back(key);
    }
    EXPECT_FALSE(layout.keys.empty());
    return layout;
}

// The base key colour the program gives every key.
const COLORREF kBaseKeyColour = 0x00604E3A;

// Fills the picture as the program does after a model is selected: the
// picture rectangle at `place`, the layout's picture, size and keys.
inline void FillFromLayout(WEXA::KeyboardCtrl* keyboard, const Layout& layout, CRect place)
{
    keyboard->ClearItem();
    keyboard->SetRect(place);
    keyboard->SetKeyboardImage((L"keyboard\\" + layout.image).c_str());
    keyboard->SetWidthAndHeight(layout.width, layout.height);
    keyboard->SetKeyboardColor(layout.body);
    for (const LayoutKey& key : layout.keys)
        keyboard->AddKeyItem(key.name.c_str(), key.desc.c_str(), key.code, key.rect, L"",
                             kBaseKeyColour);
    keyboard->SetLightModeColor(0, kBaseKeyColour);
}

}  // namespace kbtest
