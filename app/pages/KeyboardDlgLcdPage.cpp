// KeyboardDlg: the LCD page (panel 77): its controls and layout, the loader
// with the first-use creation of the default layers from the stock
// animations, loading one layer's frames, the picture import, the colours,
// the save prompt and the two enable sets.
//
// On disk (DATA the per-user data folder, EXE the executable's folder):
//   EXE\gif\MODEL\n.gif              stock animation of screen slot n
//   DATA\led\MODEL\FOLDER\           one layer: its frames as PNG files
//   DATA\default_led\MODEL\n.png     default screen picture of slot n
// FOLDER and the names of imported or copied frames are 17-digit local-time
// stamps; a stamp whose file or folder exists already is counted up until it
// is free, so nothing existing is ever written over.
#include <windows.h>
// (after windows.h)
#include <commdlg.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>

#include "CArea.h"
#include "CCheckButton.h"
#include "CColorButton.h"
#include "CTextButton.h"
#include "ImageView.h"
#include "ImageViewList.h"
#include "LCDPalette.h"
#include "LCDViewCtrl.h"
#include "LCDViewList.h"
#include "MButton.h"
#include "MEdit.h"
#include "MText.h"
#include "mainwnd/KeyboardDlg.h"
#include "mainwnd/device/LcdTransfer.h"
#include "pages/PagePanel.h"
#include "pages/LcdFrames.h"
#include "pages/LcdNames.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"

using namespace WEXA;

namespace {

using pages::As;

const UINT kToolIds[] = {371, 377, 384, 387, 388, 389, 390, 391, 392, 393, 394, 396,
                         397, 401, 402, 403, 404, 405, 406, 407, 408, 409, 411};
const UINT kPreviewLockIds[] = {366, 368, 369, 370, 371, 377, 381, 389,
                                390, 391, 392, 393, 411, 412, 413};

// The frame files of a layer split from a stock animation: 0.png, 1.png, ...
const wchar_t kFrameFileFormat[] = L"%d.png";

const wchar_t* const kDefaultColourKeys[] = {L"default_color1", L"default_color2",
                                             L"default_color3", L"default_color4",
                                             L"default_color5", L"default_color6"};

DeviceDataDB& LcdDb()
{
    return *DeviceDataDB::Instance();
}

// A layer is a default layer when it is marked as one; databases written
// before layers were marked have no mark, and there the first rows, one per
// screen slot, are the default layers.
std::vector<bool> DefaultLayerFlags(const std::vector<LedLayerData*>& rows, int slotCount)
{
    bool marked = false;
    for (const LedLayerData* row : rows) marked |= row->type == kLcdDefaultLayerType;
    std::vector<bool> flags;
    for (size_t i = 0; i < rows.size(); ++i)
        flags.push_back(marked ? rows[i]->type == kLcdDefaultLayerType : int(i) < slotCount);
    return flags;
}

}  // namespace

std::wstring KeyboardDlg::LcdModelFolder() const
{
    if (!IsPlainLcdName(m_modelName.c_str())) return L"";
    return GetDataFolder() + L"led\\" + m_modelName + L"\\";
}

std::wstring KeyboardDlg::LcdLayerFolder(const CString& fileDir) const
{
    const std::wstring model = LcdModelFolder();
    if (model.empty() || !IsPlainLcdName(fileDir)) return L"";
    return model + static_cast<const wchar_t*>(fileDir) + L"\\";
}

void KeyboardDlg::InitLcdPage()
{
    const pages::PagePanel area(*this, 77);
    if (!area) return;
    MControl* page = area.panel();
    auto control = [&](const wchar_t* className, UINT id, const wchar_t* title = L"") {
        return MakeIn(page, className, id, title);
    };
    const Gdiplus::Color white(0xFFFFFFFF);
    const Gdiplus::Color theme(m_textColor);

    for (UINT id = 354; id <= 363; ++id)
        if (auto* background = As<CRoundArea>(area(L"CRoundArea", id)))
            background->SetColor(Gdiplus::Color(0x960F1713));
    if (auto* text = As<MText>(area(L"MText", 364, LangText(801)))) text->SetTextColor(white);
    if (auto* help = As<CHelpButton>(control(L"CHelpButton", 365))) {
        help->SetImage(L"img_info.png", 1);
        help->SetAirbladderMode(AIRBLADDER_MODE_RIGHT);
        help->SetTooltip(LangText(802));
        CString balloon;
        balloon.Format(L"%s%d%s", static_cast<const wchar_t*>(LangText(865)), m_lcdCurrentLimit,
                       static_cast<const wchar_t*>(LangText(866)));
        help->SetTooltip(balloon);
    }
    control(L"LCDViewCtrl", 366);
    if (auto* text = As<MText>(area(L"MText", 367, LangText(870)))) text->SetTextColor(white);
    if (auto* layers = As<LCDViewList>(control(L"LCDViewList", 368))) {
        layers->SetImage(L"icon\\icon_lcd_add.png", 1);
        layers->SetItemImage(L"lcdlist_item_hover.png", L"lcdlist_item_normal.png");
        layers->AddMTimer();
        layers->SetTitle(LangText(863));
    }
    for (UINT id : {372u, 373u})
        if (auto* background = As<CRoundArea>(area(L"CRoundArea", id)))
            background->SetColor(Gdiplus::Color(0xC83A4E60));
    const int layerButtonTexts[] = {803, 804, 805};
    for (UINT id = 369; id <= 371; ++id) {
        if (auto* button = As<CTextButton>(
                control(L"CTextButton", id, LangText(layerButtonTexts[id - 369])))) {
            button->SetAlignment(1, 4);
            button->SetFontWidth(18);
            button->SetTextButtonColor(white, Gdiplus::Color(0xFFEE6E01),
                                       Gdiplus::Color(0xFFEE6E01), Gdiplus::Color(0xFF808080));
        }
    }
    if (auto* text = As<MText>(area(L"MText", 374, LangText(806)))) text->SetTextColor(white);
    if (auto* help = As<CHelpButton>(control(L"CHelpButton", 375))) {
        // The skin's info picture has a single frame, as for button 365.
        help->SetImage(L"img_info.png", 1);
        CString balloon;
        balloon.Format(L"%s\n%s\n%s", static_cast<const wchar_t*>(LangText(850)),
                       static_cast<const wchar_t*>(LangText(851)),
                       static_cast<const wchar_t*>(LangText(852)));
        help->SetTooltip(balloon);
    }
    if (auto* canvas = As<ImageView>(control(L"ImageView", 377))) {
        // The preview plays on the window's multimedia tick.
        canvas->AddMTimer();
        canvas->SetRunTimer(1);
    }
    if (auto* grid = As<CCheckButton>(control(L"CCheckButton", 376, LangText(862)))) {
        grid->SetImage(L"btn_checkbox.png", 8);
        grid->SetTextColor(white);
    }
    if (auto* background = As<CRoundArea>(area(L"CRoundArea", 379)))
        background->SetColor(Gdiplus::Color(0xC80F171D));
    if (auto* edit = As<CTextButton>(control(L"CTextButton", 378, LangText(808)))) {
        edit->SetImage(L"img_button_check.png", 4);
        edit->SetAlignment(1, 4);
    }
    if (auto* preview = As<CTextButton>(control(L"CTextButton", 380, LangText(809)))) {
        preview->SetImage(L"img_button_nocheck.png", 4);
        preview->SetAlignment(1, 4);
    }
    if (auto* strip = As<ImageViewList>(control(L"ImageViewList", 381))) {
        strip->SetItemImage(L"imageview_item_hover.png", L"imageview_item_normal.png");
        strip->SetFontWidth(15);
    }
    if (auto* text = As<MText>(area(L"MText", 382, LangText(810)))) text->SetTextColor(white);
    if (auto* background = As<CRoundArea>(area(L"CRoundArea", 385)))
        background->SetColor(Gdiplus::Color(0xFF141414));
    if (auto* field = As<MEdit>(control(L"MEdit", 384))) {
        field->SetTextColor(white);
        field->SetLimitText(60);
        field->SetEditBKColor(0x141414);
    }
    if (auto* text = As<MText>(area(L"MText", 386, LangText(860)))) text->SetTextColor(white);
    if (auto* field = As<MEdit>(control(L"MEdit", 387))) {
        field->SetImage(L"img_edit.png", 4);
        field->SetTextColor(white);
        field->SetNumberOnly(1);
        field->SetLimitText(2);
        field->SetAlignment(1, 4);
        field->SetEditBKColor(0x303014);
    }
    const struct
    {
        UINT id;
        const wchar_t* image;
        int tip;
    } tools[] = {
        {388, L"imgbtn_lcd_addtext.png", 813}, {389, L"imgbtn_lcd_add.png", 814},
        {390, L"imgbtn_lcd_copy.png", 815},    {391, L"imgbtn_lcd_edit.png", 816},
        {394, L"imgbtn_lcd_revoke.png", 885},  {392, L"imgbtn_lcd_erase.png", 817},
        {393, L"imgbtn_lcd_del.png", 818},
    };
    for (const auto& tool : tools) {
        if (auto* button = As<CImageButton>(control(L"CImageButton", tool.id))) {
            button->SetImage(tool.image, 4);
            button->SetTooltip(LangText(tool.tip));
        }
    }
    if (auto* text = As<MText>(area(L"MText", 395, LangText(812)))) text->SetTextColor(white);
    if (auto* gradient = As<LCDPalette3>(control(L"LCDPalette3", 396))) {
        gradient->SetImage(L"icon/icon_palette_bar2.png", 1);
        gradient->SetSelectColor(0x0000FF);
    }
    if (auto* hue = As<LCDPalette2>(control(L"LCDPalette2", 397)))
        hue->SetImage(L"icon/icon_palette_bar1.png", 1);
    const wchar_t* const channels[] = {L"R", L"G", L"B"};
    for (UINT id = 398; id <= 400; ++id)
        if (auto* text = As<MText>(area(L"MText", id, channels[id - 398])))
            text->SetTextColor(white);
    for (UINT id = 401; id <= 403; ++id) {
        if (auto* field = As<MEdit>(control(L"MEdit", id, L"255"))) {
            field->SetImage(L"img_edit.png", 4);
            field->SetTextColor(white);
            field->SetNumberOnly(1);
            field->SetLimitText(3);
            field->SetAlignment(1, 4);
            field->SetEditBKColor(0x4F4241);
        }
    }
    for (UINT id = 404; id <= 409; ++id) {
        if (auto* colour = As<CColorButton>(control(L"CColorButton", id))) {
            colour->SetColor(0xFFFFFF);
            colour->SetGroupName(L"IDC_LCD_DEFAULTCOLOR");
        }
    }
    const int commandTexts[] = {827, 819, 820, 821};
    for (UINT id = 410; id <= 413; ++id) {
        if (auto* button = As<MButton>(control(L"MButton", id, LangText(commandTexts[id - 410])))) {
            button->SetImage(L"img_button.png", 4);
            button->SetTextColor(theme);
        }
    }
    // The page starts in editing mode.
    ShowLcdEditMode();
}

void KeyboardDlg::LayoutLcdPage(CRect client)
{
    const int B = client.bottom;
    const int R = client.right;
    // Three columns inside the page panel (285, 80) - (R - 1, B - 1): screen
    // slots over the layer list, the canvas over the frame strip and the
    // tools, the colours over the page's commands.
    const struct
    {
        UINT id;
        CRect rect;
    } places[] = {
        {354, CRect(295, 90, 575, 330)},
        {364, CRect(312, 98, 520, 126)},
        {365, CRect(540, 102, 560, 122)},
        {366, CRect(328, 136, 540, 320)},
        {355, CRect(295, 340, 575, B - 11)},
        {367, CRect(312, 348, 560, 376)},
        {368, CRect(305, 382, 565, B - 66)},
        {372, CRect(305, B - 58, 565, B - 21)},
        {369, CRect(309, B - 56, 391, B - 23)},
        {370, CRect(393, B - 56, 477, B - 23)},
        {371, CRect(479, B - 56, 561, B - 23)},
        {356, CRect(585, 90, R - 275, B - 11)},
        {374, CRect(602, 98, 800, 126)},
        {375, CRect(806, 102, 826, 122)},
        {376, CRect(R - 440, 100, R - 290, 124)},
        // The canvas has the screen's own size, centred on a darker stage:
        // an imported picture is fitted to the screen's pixels, and what is
        // drawn is what the keyboard shows, pixel for pixel.
        {358, CRect(615, 136, 1095, 406)},
        {377, CRect(855 - kLcdScreenWidth / 2, 271 - kLcdScreenHeight / 2,
                    855 - kLcdScreenWidth / 2 + kLcdScreenWidth,
                    271 - kLcdScreenHeight / 2 + kLcdScreenHeight)},
        {379, CRect(730, 416, 980, 452)},
        {378, CRect(734, 419, 854, 449)},
        {380, CRect(856, 419, 976, 449)},
        {381, CRect(597, 462, R - 287, 592)},
        {382, CRect(602, 602, 700, 628)},
        {385, CRect(602, 632, 920, 664)},
        {384, CRect(608, 635, 914, 661)},
        {386, CRect(940, 602, 1040, 628)},
        {387, CRect(940, 632, 1020, 664)},
        {388, CRect(602, 690, 638, 726)},
        {389, CRect(648, 690, 684, 726)},
        {390, CRect(694, 690, 730, 726)},
        {391, CRect(740, 690, 776, 726)},
        {392, CRect(786, 690, 822, 726)},
        {394, CRect(832, 690, 868, 726)},
        {393, CRect(878, 690, 914, 726)},
        {357, CRect(R - 265, 90, R - 11, B - 11)},
        {395, CRect(602, 420, 720, 446)},
        {396, CRect(R - 250, 102, R - 26, 326)},
        {397, CRect(R - 250, 336, R - 26, 356)},
        {398, CRect(R - 250, 372, R - 226, 404)},
        {401, CRect(R - 220, 372, R - 140, 404)},
        {399, CRect(R - 250, 412, R - 226, 444)},
        {402, CRect(R - 220, 412, R - 140, 444)},
        {400, CRect(R - 250, 452, R - 226, 484)},
        {403, CRect(R - 220, 452, R - 140, 484)},
        {404, CRect(R - 250, 500, R - 222, 528)},
        {405, CRect(R - 212, 500, R - 184, 528)},
        {406, CRect(R - 174, 500, R - 146, 528)},
        {407, CRect(R - 136, 500, R - 108, 528)},
        {408, CRect(R - 98, 500, R - 70, 528)},
        {409, CRect(R - 60, 500, R - 32, 528)},
        {410, CRect(R - 250, B - 214, R - 26, B - 182)},
        {411, CRect(R - 250, B - 170, R - 26, B - 138)},
        {412, CRect(R - 250, B - 126, R - 26, B - 94)},
        {413, CRect(R - 250, B - 82, R - 26, B - 50)},
    };
    for (const auto& place : places)
        if (MControl* control = Ctl(place.id)) control->SetRect(place.rect);
}

void KeyboardDlg::EnableLcdTools(bool enabled)
{
    for (UINT id : kToolIds)
        if (MControl* control = Ctl(id)) control->SetEnabled(enabled ? 1 : 0);
}

void KeyboardDlg::EnableLcdPageControls(bool enabled)
{
    for (UINT id : kPreviewLockIds)
        if (MControl* control = Ctl(id)) control->SetEnabled(enabled ? 1 : 0);
}

void KeyboardDlg::LcdToolsFollowLayers()
{
    auto* layers = CtlAs<LCDViewList>(368);
    const bool any = layers && layers->GetItemCount() > 0;
    for (UINT id : {378u, 380u, 376u})
        if (MControl* control = Ctl(id)) control->SetEnabled(any ? 1 : 0);
    EnableLcdTools(any);
}

void KeyboardDlg::LoadLcdPage()
{
    auto* slots = CtlAs<LCDViewCtrl>(366);
    auto* layers = CtlAs<LCDViewList>(368);
    auto* strip = CtlAs<ImageViewList>(381);
    if (layers) layers->DeleteAllItems();
    if (slots) slots->DeleteAllItems();
    if (strip) strip->DeleteAllItems();
    DeviceDataDB& db = LcdDb();
    const std::wstring modelFolder = LcdModelFolder();

    std::vector<LedLayerData*> rows;
    db.GetLedLayers(1, rows);
    if (rows.empty() && !modelFolder.empty()) {
        CreateDefaultLcdLayers(db, modelFolder);
        db.GetLedLayers(1, rows);
    }

    std::vector<TftScreenData*> screens;
    db.GetTftScreens(1, screens);
    if (!screens.empty() && slots) {
        const int shown = std::min(m_lcdSlotCount, 5);
        for (int s = 0; s < shown; ++s) {
            CString text, tip;
            text.Format(L"%s %d", static_cast<const wchar_t*>(LangText(871)), 0);
            tip.Format(L"%s %d", static_cast<const wchar_t*>(LangText(872)), m_lcdSlotLimits[s]);
            slots->AddItem(L"", text, tip);
        }
        const int rowsShown = std::min(int(screens.size()), shown);
        for (int i = 0; i < rowsShown; ++i) {
            CString text, tip;
            text.Format(L"%s %d", static_cast<const wchar_t*>(LangText(871)),
                        screens[i]->frame_size);
            tip.Format(L"%s %d", static_cast<const wchar_t*>(LangText(872)), m_lcdSlotLimits[i]);
            slots->SetItemInfo(i, screens[i]->file_name, text, tip);
        }
        slots->SetCurSel(0);
    }
    FreeRecordList(screens);

    const std::vector<bool> isDefault = DefaultLayerFlags(rows, m_lcdSlotCount);
    int firstLedId = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (isDefault[i]) continue;
        const std::wstring folder = LcdLayerFolder(rows[i]->file_dir);
        if (folder.empty()) continue;  // not a folder of this model: never touched
        CreateDirectoryTree(folder);
        if (layers)
            layers->AddString(folder.c_str(),
                              (folder + (const wchar_t*)rows[i]->first_file).c_str(),
                              rows[i]->frame_size, rows[i]->led_id);
        if (!firstLedId) firstLedId = rows[i]->led_id;
    }
    FreeRecordList(rows);
    if (firstLedId) {
        if (layers) layers->SetCurSel(0);
        m_lcdCurrentLedId = firstLedId;
        LoadLayerFrames(firstLedId);
    } else {
        // No user layer: nothing is current, so no save can reach a layer
        // that is gone or a default layer.
        m_lcdCurrentLedId = 0;
        m_lcdCurrentFrame = 0;
    }
    m_lcdDirty = 0;

    for (int k = 1; k <= 6; ++k) {
        CString value;
        db.GetConfigValue(m_currentProfile, kDefaultColourKeys[k - 1], value);
        if (auto* button = CtlAs<CColorButton>(403 + k))
            button->SetColor(COLORREF(wcstoul(value, nullptr, 10)));
    }
    LcdToolsFollowLayers();
}

void KeyboardDlg::CreateDefaultLcdLayers(DeviceDataDB& db, const std::wstring& modelFolder)
{
    std::vector<TftScreenData*> screens;
    const bool noScreens = db.GetTftScreens(1, screens) == 0;
    FreeRecordList(screens);
    const std::wstring data = GetDataFolder();
    const std::wstring screenFolder = data + L"default_led\\" + m_modelName + L"\\";
    LCDViewList splitter(nullptr, 0, CRect(), 0);
    for (int n = 0; n < m_lcdSlotCount; ++n) {
        wchar_t gif[MAX_PATH * 2];
        swprintf(gif, MAX_PATH * 2, L"%lsgif\\%ls\\%d.gif", GetExeFolder().c_str(),
                 m_modelName.c_str(), n);
        if (!PathFileExistsW(gif)) continue;
        Sleep(2);
        const std::wstring stamp = FreeLcdStamp(modelFolder, L"");
        const int ledId = db.AddLedLayer(1, stamp.c_str());
        if (!ledId) continue;
        db.SetLedLayerType(ledId, kLcdDefaultLayerType);
        const std::wstring folder = modelFolder + stamp;
        CreateDirectoryTree(folder + L"\\");
        const int frames = splitter.LoadGIFImageFile(gif, folder.c_str());
        const std::vector<unsigned long> delays = splitter.GetDelayTimes();
        CString firstFrame;
        firstFrame.Format(kFrameFileFormat, 0);
        db.SetLedLayerFirstFile(ledId, firstFrame);
        db.SetLedLayerFrameSize(ledId, frames);
        if (noScreens) {
            CreateDirectoryTree(screenFolder);
            wchar_t picture[MAX_PATH * 2];
            swprintf(picture, MAX_PATH * 2, L"%ls%d.png", screenFolder.c_str(), n);
            CopyFileW((folder + L"\\" + (const wchar_t*)firstFrame).c_str(), picture, FALSE);
            db.AddTftScreen(1, frames, picture);
        }
        std::vector<LedFrameData> records;
        for (int i = 0; i < frames; ++i) {
            LedFrameData record;
            record.led_id = ledId;
            record.name.Format(kFrameFileFormat, i);
            record.file_name = record.name;
            // A frame without a delay of its own shows for 100 ms.
            record.delay_time = size_t(i) < delays.size() ? int(delays[i]) : 100;
            record.frame_index = i;
            records.push_back(record);
        }
        if (!records.empty()) db.InsertLedFrames(records);
        // The screen shows its stock animation: the user finds it in the
        // layer list, as a layer of its own to edit and send, while the
        // default layer stays as the keyboard left the factory.
        if (frames > 0) CopyLcdLayer(db, modelFolder, folder + L"\\", frames, records);
    }
}

void KeyboardDlg::CopyLcdLayer(DeviceDataDB& db, const std::wstring& modelFolder,
                               const std::wstring& sourceFolder, int frames,
                               std::vector<LedFrameData> records)
{
    Sleep(2);
    const std::wstring stamp = FreeLcdStamp(modelFolder, L"");
    const int ledId = db.AddLedLayer(1, stamp.c_str());
    if (!ledId) return;
    const std::wstring folder = modelFolder + stamp + L"\\";
    CreateDirectoryTree(folder);
    for (LedFrameData& record : records) {
        CopyFileW((sourceFolder + (const wchar_t*)record.file_name).c_str(),
                  (folder + (const wchar_t*)record.file_name).c_str(), TRUE);
        record.led_id = ledId;
    }
    db.SetLedLayerFirstFile(ledId, records.front().file_name);
    db.SetLedLayerFrameSize(ledId, frames);
    db.InsertLedFrames(records);
}

void KeyboardDlg::LoadLayerFrames(int ledId)
{
    ClearLcdFrames(*this);
    auto* strip = CtlAs<ImageViewList>(381);
    auto* canvas = CtlAs<ImageView>(377);
    std::vector<LedFrameData*> frames;
    LedLayerData layer;
    if (ledId > 0 && LcdDb().GetLedFrames(ledId, frames) > 0 && LcdDb().GetLedLayer(ledId, layer)) {
        const std::wstring folder = LcdLayerFolder(layer.file_dir);
        if (!folder.empty() && strip) {
            for (const LedFrameData* frame : frames)
                strip->AddString((folder + (const wchar_t*)frame->file_name).c_str(),
                                 frame->delay_time, frame->frame_id, frame->file_name);
            strip->SetCurSel(0);
            if (canvas) canvas->SetImage(strip->GetItemImageFile(0));
        }
    }
    FreeRecordList(frames);
    LcdToolsFollowLayers();
}

LONG KeyboardDlg::ImportLcdPictures()
{
    auto* layers = CtlAs<LCDViewList>(368);
    auto* strip = CtlAs<ImageViewList>(381);
    if (!layers || !strip || layers->GetCurSel() < 0) return 0;
    std::vector<std::wstring> files;
    if (!ChooseLcdFiles(0, files)) return 0;
    auto* canvas = CtlAs<ImageView>(377);
    bool refused = false;  // a picture the layer's folder did not take
    for (const std::wstring& file : files) {
        LedLayerData layer;
        if (!LcdDb().GetLedLayer(m_lcdCurrentLedId, layer)) break;
        const std::wstring folder = LcdLayerFolder(layer.file_dir);
        if (folder.empty()) break;
        const std::wstring name = FreeLcdStamp(folder, L".png") + L".png";
        Sleep(2);
        const std::wstring copy = folder + name;
        if (!CopyFileW(file.c_str(), copy.c_str(), TRUE)) {
            refused = true;
            continue;
        }
        if (canvas) canvas->SaveCurrentImage(copy.c_str());
        const int selected = strip->GetCurSel();
        const int count = strip->GetItemCount();
        if (selected >= 0 && selected < count - 1)
            strip->AddString(selected, copy.c_str(), 50, 0, name.c_str());
        else
            strip->AddString(copy.c_str(), 50, 0, name.c_str());
    }
    if (refused) AskUser(LangText(73), LangText(819), 0);
    return 1;
}

void KeyboardDlg::ApplyLcdRgbFields()
{
    auto channel = [&](UINT id) {
        auto* field = CtlAs<MEdit>(id);
        return field ? unsigned(wcstol(field->GetEditText(), nullptr, 10)) & 0xFF : 0u;
    };
    const COLORREF colour = RGB(channel(401), channel(402), channel(403));
    if (auto* gradient = CtlAs<LCDPalette3>(396)) gradient->SetSelectColor(colour);
    ApplyLcdDrawColor(colour);
}

void KeyboardDlg::ApplyLcdDrawColor(COLORREF color)
{
    const int k = m_lcdColorButton - 403;
    if (k < 1 || k > 6) return;
    if (auto* button = CtlAs<CColorButton>(m_lcdColorButton)) button->SetColor(color);
    wchar_t text[16];
    swprintf(text, 16, L"%lu", static_cast<unsigned long>(color));
    LcdDb().SetConfigValue(m_currentProfile, kDefaultColourKeys[k - 1], text);
    if (auto* canvas = CtlAs<ImageView>(377)) canvas->SetColorValue(color);
}

void KeyboardDlg::PromptSaveLcdFrames()
{
    if (m_lcdDirty) {
        if (AskUser(LangText(830), LangText(831), 4) == 1) {
            SaveLcdFrames();
        } else if (auto* strip = CtlAs<ImageViewList>(381)) {
            // The pending edit of the open frame is dropped.
            const CString own = strip->GetItemImageFile(m_lcdCurrentFrame);
            if (!own.IsEmpty()) strip->UpdateItemImageFile(m_lcdCurrentFrame, own);
        }
    }
    m_lcdDirty = 0;
}

namespace {

bool RunLcdFileDialog(HWND owner, int kind, std::vector<std::wstring>& paths)
{
    std::vector<wchar_t> buffer(kind == 0 ? 52000 : 260, L'\0');
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = DWORD(buffer.size());
    if (kind == 0) {
        ofn.lpstrFilter = L"Picture (*.jpg;*.png)\0*.jpg;*.png\0";
        ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT;
    } else {
        ofn.lpstrFilter = kind == 1 ? L"LED File (*.gif)\0*.gif\0" : L"LED (*.gif)\0*.gif\0";
        ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ENABLESIZING;
    }
    const BOOL chosen = kind == 2 ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) return false;
    const std::wstring first = buffer.data();
    const wchar_t* next = buffer.data() + first.size() + 1;
    if (kind != 0 || !*next) {
        paths.push_back(first);
        return true;
    }
    // Several files: the folder, then the names.
    for (; *next; next += wcslen(next) + 1) paths.push_back(first + L"\\" + next);
    return true;
}

}  // namespace

bool KeyboardDlg::ChooseLcdFiles(int kind, std::vector<std::wstring>& paths)
{
    paths.clear();
    if (m_lcdFileChooser)
        return m_lcdFileChooser(m_lcdFileChooserContext, GetSafeHwnd(), kind, paths);
    return RunLcdFileDialog(GetSafeHwnd(), kind, paths);
}
