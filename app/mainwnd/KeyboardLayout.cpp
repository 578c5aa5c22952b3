#include "mainwnd/KeyboardLayout.h"

#include <algorithm>
#include <cwchar>

#include "services/xml/XmlDocument.h"

namespace {

int Decimal(const std::wstring& text)
{
    return int(wcstol(text.c_str(), nullptr, 10));
}

int Hex(const std::wstring& text)
{
    return int(wcstoul(text.c_str(), nullptr, 16));
}

int Clamp(int value, int low, int high)
{
    return std::min(std::max(value, low), high);
}

}  // namespace

void ParseNumberPair(const std::wstring& text, int& row, int& column)
{
    row = text.empty() ? 0 : Decimal(text.substr(0, 1));
    if (text.size() == 3)
        column = Decimal(text.substr(2));
    else if (text.size() > 2)
        column = Decimal(text.substr(text.size() - 2));
    else
        column = Decimal(text);
}

KeyboardLayout LoadKeyboardLayout(const std::wstring& path)
{
    KeyboardLayout layout;
    XmlDocument doc;
    if (!doc.Load(path.c_str()) || !doc.FindElement(L"device.info")) return layout;
    layout.loaded = true;
    if (!doc.EnterElement() || !doc.FindElement(L"Keyboard")) return layout;
    layout.hasKeyboard = true;
    layout.background = COLORREF(Hex(doc.GetAttribute(L"bk_color")));
    const int x = Decimal(doc.GetAttribute(L"xpos"));
    const int y = Decimal(doc.GetAttribute(L"ypos"));
    layout.width = std::max(0, Decimal(doc.GetAttribute(L"width")));
    layout.height = std::max(0, Decimal(doc.GetAttribute(L"height")));
    layout.rect = {x, y, x + layout.width, y + layout.height};
    layout.image = L"keyboard\\" + doc.GetAttribute(L"image");
    layout.rowCount = Clamp(Decimal(doc.GetAttribute(L"row_count")), 0, kEffectGridRows);
    layout.columnCount = Clamp(Decimal(doc.GetAttribute(L"col_count")), 0, kEffectGridColumns);
    if (!doc.EnterElement() || !doc.FindElement(L"KeyItems")) return layout;
    layout.hasKeyItems = true;
    if (!doc.EnterElement()) return layout;
    while (doc.FindElement(L"key")) {
        LayoutKey key;
        key.code = Hex(doc.GetAttribute(L"code"));
        key.name = doc.GetAttribute(L"name");
        key.desc = doc.GetAttribute(L"desc");
        key.keyIndex = Decimal(doc.GetAttribute(L"key_index"));
        key.lightIndex = Decimal(doc.GetAttribute(L"light_index"));
        key.indexesValid = key.keyIndex >= 0 && key.keyIndex < kLayoutTableSize &&
                           key.lightIndex >= 0 && key.lightIndex < kLayoutTableSize;
        const int left = Decimal(doc.GetAttribute(L"rect_left"));
        const int top = Decimal(doc.GetAttribute(L"rect_top"));
        const int width = std::max(0, Decimal(doc.GetAttribute(L"rect_width")));
        const int height = std::max(0, Decimal(doc.GetAttribute(L"rect_height")));
        key.rect = {left, top, left + width, top + height};
        int row = 0, column = 0;
        ParseNumberPair(doc.GetAttribute(L"row_col"), row, column);
        key.gridRow = Clamp(row, 0, kEffectGridRows - 1);
        key.gridColumn = Clamp(column, 0, kEffectGridColumns - 1);
        layout.keys.push_back(key);
    }
    return layout;
}
