// KeyboardDlg: selecting a keyboard model (its database, its layout file on
// the keyboard picture and the effect preview, the key maps, the light bars,
// the main tab's items).
#include "BatteryCtrl.h"
#include "KeyboardCtrl.h"
#include "MControlFont.h"
#include "MTabCtrl.h"
#include "NimbrelEffect.h"
#include "mainwnd/KeyboardDlg.h"
#include "mainwnd/KeyboardLayout.h"
#include "services/AppEnvironment.h"
#include "services/SafePaths.h"
#include "services/db/DeviceDataDB.h"

using WEXA::KeyboardCtrl;
using WEXA::NimbrelEffect;

namespace {

// The model caption's largest size; a name too long for the caption's width
// at that size is drawn smaller (down to the smallest) instead of cut off.
const int kModelCaptionSize = 28;
const int kModelCaptionSmallest = 16;

void FitModelCaption(WEXA::MControlFont* title, const std::wstring& name)
{
    const int width = title->GetRect().Width();
    Gdiplus::FontFamily* family = title->GetFontFamily(L"Roboto-Bold");
    int size = kModelCaptionSize;
    if (family && width > 0 && !name.empty()) {
        HDC screen = GetDC(nullptr);
        {
            Gdiplus::Graphics graphics(screen);
            for (; size > kModelCaptionSmallest; --size) {
                Gdiplus::Font font(family, Gdiplus::REAL(size), Gdiplus::FontStyleBold,
                                   Gdiplus::UnitPixel);
                Gdiplus::RectF box;
                graphics.MeasureString(name.c_str(), -1, &font, Gdiplus::PointF(0, 0), &box);
                if (box.Width <= Gdiplus::REAL(width)) break;
            }
        }
        ReleaseDC(nullptr, screen);
    }
    title->SetFont(L"Roboto-Bold", size, Gdiplus::FontStyleBold);
}

}  // namespace

void KeyboardDlg::SelectDevice(int deviceType)
{
    // The database, the maps and the widgets' key records are the device
    // state: no worker task may be using them while they are replaced.
    CAutoLock hold(m_deviceStateLock);
    std::wstring name, layoutName;
    for (const DeviceEntry& keyboard : m_keyboards) {
        if (keyboard.deviceType != deviceType) continue;
        name = keyboard.name;
        layoutName = keyboard.layoutName;
        break;
    }
    if (auto* title = CtlAs<WEXA::MControlFont>(38)) {
        FitModelCaption(title, name);
        title->SetTitle(name.c_str());
    }
    m_deviceType = deviceType;
    m_modelName = name;
    // Another model's battery is not this one's: the badge shows none until
    // this keyboard's own read.
    if (deviceType != m_batteryModel) {
        m_batteryModel = deviceType;
        if (auto* battery = CtlAs<WEXA::BatteryCtrl>(46)) battery->SetBatteryInfo(0, 0);
    }

    DeviceDataDB* db = DeviceDataDB::Instance();
    if (db->IsOpened()) db->CloseDevice();
    // The folder may have gone since start-up (the user emptied the data
    // folder): without it the database could not be created and nothing the
    // user sets would be kept.
    CreateDirectoryTree(GetDataFolder() + L"db");
    // Without a model (a type config.xml does not name) there is no file of
    // its own: none is opened, nothing is stored meanwhile.
    if (IsPlainFileName(name) && !db->OpenDevice(GetDataFolder().c_str(), name.c_str())) {
        // A file that is there but cannot be read is left as it is (nothing is
        // stored meanwhile); the user is told once per file.
        const CString path = DeviceDataDB::MakeFilePath(GetDataFolder().c_str(), name.c_str());
        WIN32_FILE_ATTRIBUTE_DATA file = {};
        const bool present = GetFileAttributesExW(path, GetFileExInfoStandard, &file) &&
                             !(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                             (file.nFileSizeLow || file.nFileSizeHigh);
        if (present && m_unreadableDatabase != static_cast<const wchar_t*>(path)) {
            m_unreadableDatabase = static_cast<const wchar_t*>(path);
            ::PostMessageW(GetSafeHwnd(), KBM_DATABASE_UNREADABLE, 0, 0);
        }
    }

    // Only a layout file of the layouts folder; without one the previous
    // model's keys stay, as after a file that cannot be read.
    if (IsPlainFileName(layoutName)) {
        const KeyboardLayout layout =
            LoadKeyboardLayout(GetExeFolder() + L"layouts\\" + layoutName + L".xml");
        if (layout.loaded) ApplyLayout(layout);
    }
    ShowModelTabs(deviceType);
}

void KeyboardDlg::ApplyLayout(const KeyboardLayout& layout)
{
    KeyboardCtrl* picture = CtlAs<KeyboardCtrl>(58);
    NimbrelEffect* preview = CtlAs<NimbrelEffect>(59);
    m_keyMaps.keyCodeToIndex.clear();
    m_keyMaps.keyCodeToLed.clear();
    m_keyGridRows = 0;
    m_keyGridColumns = 0;
    if (picture) picture->ClearItem();
    if (preview) preview->ClearItem();
    if (!layout.hasKeyboard) return;

    const CRect rect(layout.rect);
    if (preview) {
        preview->SetRect(rect);
        preview->SetKeyboardImage(layout.image.c_str());
        preview->SetWidthAndHeight(layout.width, layout.height);
    }
    if (picture) {
        picture->SetRect(rect);
        picture->SetKeyboardImage(layout.image.c_str());
        picture->SetWidthAndHeight(layout.width, layout.height);
        picture->SetKeyboardColor(layout.background);
    }
    m_keyGridRows = layout.rowCount;
    m_keyGridColumns = layout.columnCount;
    for (const LayoutKey& key : layout.keys) {
        if (key.indexesValid) {
            m_keyMaps.keyCodeToIndex[key.code] = key.keyIndex;
            m_keyMaps.keyCodeToLed[key.code] = key.lightIndex;
            m_keyMaps.ledToKeyCode[key.lightIndex] = key.code;
        }
        const CRect keyRect(key.rect);
        if (picture)
            picture->AddKeyItem(key.name.c_str(), key.desc.c_str(), key.code, keyRect, L"",
                                m_keyColor);
        if (preview)
            preview->AddKeyItem(key.name.c_str(), DWORD(key.code), keyRect, key.gridColumn,
                                key.gridRow);
    }
    AddLightBarItems();
    if (picture) picture->SetLightModeColor(0, m_keyColor);
}

void KeyboardDlg::AddLightBarItems()
{
    NimbrelEffect* preview = CtlAs<NimbrelEffect>(59);
    auto add = [preview](int code, int left, int top, int column, int row) {
        if (preview)
            preview->AddKeyItem(L"", DWORD(code), CRect(left, top, left + 6, top + 6), column, row);
    };
    if (m_deviceType == 101) {
        for (int i = 0; i < 9; ++i) m_keyMaps.keyCodeToLed[300 + i] = 87 + i;
        // Left strip, column 0: 308 at the top down to 301, then 300.
        for (int i = 0; i < 8; ++i) add(308 - i, 1, 2 + 30 * i, 0, 8 - i);
        add(300, 1, 2 + 30 * 8, 0, 0);
        // Top strip, row 0: 24 LEDs spread evenly from the left strip (x 1) to the
        // right one (x 810), over the 23 columns between them; the first sixteen
        // take columns 1-16, the last eight 16-23.
        for (int k = 0; k < 24; ++k)
            add(310 + k, 1 + (809 * k + 11) / 23, 2, k < 16 ? k + 1 : k, 0);
        for (int i = 0; i < 24; ++i) m_keyMaps.keyCodeToLed[310 + i] = 96 + i;
        // Right strip, column 24: 332 at the top down to 339, then 340.
        for (int i = 0; i < 8; ++i) add(332 + i, 810, 2 + 30 * i, 24, 8 - i);
        add(340, 810, 2 + 30 * 8, 24, 0);
        for (int i = 0; i < 9; ++i) m_keyMaps.keyCodeToLed[332 + i] = 120 + i;
    } else if (m_deviceType == 102) {
        for (int i = 0; i < 27; ++i) {
            add(300 + i, 20 + 29 * i, 312, i, 7);
            m_keyMaps.keyCodeToLed[300 + i] = 80 + i;
        }
    }
}

void KeyboardDlg::ShowModelTabs(int deviceType)
{
    WEXA::MTabCtrl* tab = MainTab();
    if (!tab) return;
    // Only the keyboard with the LCD screen has its page.
    tab->SetItemVisible(kLcdTabPosition, deviceType == 104 && m_hasLcdPage ? 1 : 0);
    if (deviceType >= 150) {
        for (int position : {1, 2, 3}) tab->SetItemVisible(position, 0);
        return;
    }
    tab->SetItemVisible(1, 1);
    tab->SetItemVisible(2, deviceType == 102 ? 1 : 0);
    tab->SetItemVisible(3, 1);
}
