// KeyboardDlg: the LCD page's handlers: screen slots, layers (new, delete,
// choose), editing and preview, the canvas, frames (select, delay, copy,
// delete), text, colours, saving, and the requests that go to the worker
// (GIF export and import, send, command).
//
// Edits live in the frame strip (each row's edit picture) and in the canvas's
// edit copies until the layer is saved; the database and the layer folder
// hold the saved state. m_lcdCurrentLedId names the layer the strip holds:
// saving writes that layer, whichever list row is selected.
#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "CCheckButton.h"
#include "CColorButton.h"
#include "CTextButton.h"
#include "ImageView.h"
#include "ImageViewList.h"
#include "LCDPalette.h"
#include "LCDViewCtrl.h"
#include "LCDViewList.h"
#include "MEdit.h"
#include "Manager.h"
#include "MenuWnd.h"
#include "mainwnd/DeleteFolder.h"
#include "mainwnd/KeyboardDlg.h"
#include "pages/LcdFrames.h"
#include "pages/LcdNames.h"
#include "dialogs/LCDDelayEditDlg.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"

using namespace WEXA;

namespace {

DeviceDataDB& LcdDb()
{
    return *DeviceDataDB::Instance();
}

// A delay typed into the delay dialog: its number limited to 30 .. 500 ms;
// text without digits gives 30.
int DelayFromText(const CString& text)
{
    const long value = wcstol(text, nullptr, 10);
    return int(std::min(500L, std::max(30L, value)));
}

// Replaces the file at target by a copy of source: written beside it first
// and moved over it only when the copy is complete.
bool ReplaceFileWithCopy(const wchar_t* source, const wchar_t* target)
{
    const std::wstring temporary = std::wstring(target) + L".tmp~";
    if (!CopyFileW(source, temporary.c_str(), FALSE)) return false;
    if (MoveFileExW(temporary.c_str(), target, MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}

int ChannelField(MEdit* field, int low, int high)
{
    if (!field) return low;
    const CString text = field->GetEditText();
    long value = wcstol(text, nullptr, 10);
    value = std::min<long>(high, std::max<long>(low, value));
    wchar_t corrected[16];
    swprintf(corrected, 16, L"%ld", value);
    if (wcstol(text, nullptr, 10) != value || text.IsEmpty()) field->SetEditText(corrected);
    return int(value);
}

}  // namespace

LONG KeyboardDlg::OnLcdSlotSelect(UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 2) return 0;
    auto* slots = CtlAs<LCDViewCtrl>(366);
    const int slot = slots ? slots->GetCurSel() : -1;
    if (slot >= 0 && slot < 5) m_lcdCurrentLimit = m_lcdSlotLimits[slot];
    AppendTask(TASK_LCD_SLOT_CHANGED);
    LcdToolsFollowLayers();
    return 0;
}

LONG KeyboardDlg::OnLcdLayerSelect(UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 2) return 1;
    auto* layers = CtlAs<LCDViewList>(368);
    if (!layers) return 0;
    const int row = layers->GetCurSel();
    if (row < 0) return 0;
    const int ledId = layers->GetItemLEDId(row);
    if (ledId == m_lcdCurrentLedId && m_lcdDirty) return 1;  // the edits stay in the strip
    if (ledId != m_lcdCurrentLedId && m_lcdDirty) {
        // The strip still holds the previous layer: that is what is saved.
        if (AskUser(LangText(830), LangText(831), 4) == 1) SaveLcdFrames();
        m_lcdDirty = 0;
    }
    m_lcdCurrentLedId = ledId;
    if (layers->GetItemFrameSize(row) > 0) {
        LoadLayerFrames(ledId);
        return 1;
    }
    PromptSaveLcdFrames();
    if (layers->GetItemFrameSize(row) > 0) {
        LoadLayerFrames(ledId);
        return 1;
    }
    // A layer without frames starts with pictures.
    ClearLcdFrames(*this);
    auto* strip = CtlAs<ImageViewList>(381);
    auto* canvas = CtlAs<ImageView>(377);
    ImportLcdPictures();
    if (strip && strip->GetItemCount() > 0) {
        if (canvas) canvas->SetImage(strip->GetItemImageFile(0));
        strip->SetCurSel(0);
    }
    m_lcdDirty = 1;
    return 1;
}

LONG KeyboardDlg::OnLcdLayerAdd()
{
    PromptSaveLcdFrames();
    const std::wstring modelFolder = LcdModelFolder();
    if (modelFolder.empty()) return 0;
    const std::wstring stamp = FreeLcdStamp(modelFolder, L"");
    const int ledId = LcdDb().AddLedLayer(1, stamp.c_str());
    if (ledId <= 0) {
        AskUser(LangText(849), LangText(803), 0);
        return 0;
    }
    CreateDirectoryTree(modelFolder + stamp + L"\\");
    if (auto* layers = CtlAs<LCDViewList>(368)) layers->AddString(stamp.c_str(), L"", 0, ledId);
    m_lcdCurrentLedId = ledId;
    LoadLayerFrames(ledId);
    LcdToolsFollowLayers();
    return 1;
}

LONG KeyboardDlg::OnLcdLayerDelete()
{
    PromptSaveLcdFrames();
    if (AskUser(LangText(835), LangText(836), 4) != 1) return 0;
    auto* layers = CtlAs<LCDViewList>(368);
    if (!layers) return 0;
    const int row = layers->GetCurSel();
    if (row < 0) return 0;
    const int ledId = layers->GetItemLEDId(row);
    LedLayerData layer;
    if (ledId <= 0 || !LcdDb().GetLedLayer(ledId, layer)) return 0;
    // Only the layer's own folder goes: never the model's folder, a folder
    // elsewhere, or a folder another layer row names as well.
    const std::wstring folder = LcdLayerFolder(layer.file_dir);
    bool shared = false;
    std::vector<LedLayerData*> all;
    LcdDb().GetLedLayers(1, all);
    for (const LedLayerData* other : all)
        shared |= other->led_id != ledId && other->file_dir.CompareNoCase(layer.file_dir) == 0;
    FreeRecordList(all);
    if (!folder.empty() && !shared) DeleteDataFolder(folder);
    LcdDb().DeleteLedLayer(ledId);
    layers->DeleteItem(row);
    const int previous = row - 1;
    layers->SetCurSel(previous);
    m_lcdCurrentLedId = previous >= 0 ? layers->GetItemLEDId(previous) : 0;
    LoadLayerFrames(m_lcdCurrentLedId);
    m_lcdDirty = 0;
    LcdToolsFollowLayers();
    return 1;
}

LONG KeyboardDlg::ShowLcdEditMode()
{
    const Gdiplus::Color down(Manager::m_down_color);
    const Gdiplus::Color white(0xFFFFFFFF), grey(0xFF808080), theme(m_textColor);
    if (auto* canvas = CtlAs<ImageView>(377)) {
        canvas->SetImagePreviewMode(false);
        canvas->InvalidateRect(nullptr, 0);
    }
    if (auto* edit = CtlAs<CTextButton>(378)) edit->SetTextButtonColor(down, white, white, grey);
    if (auto* preview = CtlAs<CTextButton>(380))
        preview->SetTextButtonColor(theme, down, down, grey);
    EnableLcdPageControls(true);
    return 1;
}

LONG KeyboardDlg::ShowLcdPreviewMode()
{
    auto* canvas = CtlAs<ImageView>(377);
    auto* strip = CtlAs<ImageViewList>(381);
    const Gdiplus::Color down(Manager::m_down_color);
    const Gdiplus::Color grey(0xFF808080), theme(m_textColor);
    if (canvas) {
        canvas->DeleteAllItems();
        if (strip)
            for (const IMGITEM_INFO* row : strip->GetImageViewItems())
                canvas->AddString(row->strEditImagePath, row->nDelay, row->nFrameId);
        canvas->SetImagePreviewMode(true);
        canvas->InvalidateRect(nullptr, 0);
    }
    if (auto* edit = CtlAs<CTextButton>(378)) edit->SetTextButtonColor(theme, down, down, grey);
    if (auto* preview = CtlAs<CTextButton>(380))
        preview->SetTextButtonColor(down, theme, theme, grey);
    EnableLcdPageControls(false);
    return 1;
}

LONG KeyboardDlg::OnLcdCanvasEvent(UINT code, UINT_PTR, LONG_PTR)
{
    auto* canvas = CtlAs<ImageView>(377);
    auto* strip = CtlAs<ImageViewList>(381);
    if (code == 32) {
        if (!canvas || !strip || strip->GetCurSel() < 0) return 0;
        // The edit belongs to the frame the canvas shows, which need not be
        // the selected row (a copy selects the copy).
        int row = m_lcdCurrentFrame;
        if (row < 0 || row >= strip->GetItemCount()) row = strip->GetCurSel();
        strip->UpdateItemImageFile(row, canvas->GetEditImageFile());
        m_lcdDirty = 1;
        return 1;
    }
    if (code == 5) {
        POINT cursor;
        GetCursorPos(&cursor);
        // The menu deletes itself once its window is gone; its items have no
        // action of their own.
        auto* menu = new MenuWnd(this);
        if (!menu->Create(GetSafeHwnd(), CPoint(cursor.x, cursor.y), KBM_CANVAS_MENU, L"", 0, 150,
                          BACK_MODE_FRAME)) {
            delete menu;
            return 1;
        }
        const int items[][2] = {{880, 105}, {881, 106}, {882, 107}, {884, 110},
                                {885, 112}, {886, 113}, {887, 114}};
        for (const auto& item : items) menu->AddMenu(LangText(item[0]), item[1], L"", 0, 0);
        menu->ShowWindow(SW_SHOW);
        return 1;
    }
    return 0;
}

LONG KeyboardDlg::OnLcdFrameListEvent(UINT code, UINT_PTR, LONG_PTR)
{
    auto* strip = CtlAs<ImageViewList>(381);
    auto* canvas = CtlAs<ImageView>(377);
    if (!strip) return 0;
    const int selected = strip->GetCurSel();
    if (code == 2) {
        if (selected < 0) return 0;
        if (selected != m_lcdCurrentFrame) {
            // The previous frame keeps its edit.
            const CString edit = strip->GetItemEditImageFile(m_lcdCurrentFrame);
            if (!edit.IsEmpty()) strip->UpdateItemImageFile(m_lcdCurrentFrame, edit);
            m_lcdCurrentFrame = selected;
            strip->SetCurSel(selected);
        }
        if (canvas) canvas->SetImage(strip->GetItemEditImageFile(selected));
        return 1;
    }
    if (code == 9) {
        if (selected < 0) return 0;
        LCDDelayEditDlg dialog;
        dialog.m_title = LangText(837);
        dialog.m_thisFrameValue.Format(L"%d", strip->GetItemDelayTime(selected));
        if (dialog.Run(GetSafeHwnd()) != 1) return 1;
        m_lcdDirty = 1;
        if (dialog.m_allFrames)
            strip->SetDelayTime(DelayFromText(dialog.m_allFramesValue));
        else
            strip->SetItemDelayTime(selected, DelayFromText(dialog.m_thisFrameValue));
        return 1;
    }
    return 0;
}

LONG KeyboardDlg::OnLcdAddText()
{
    auto* field = CtlAs<MEdit>(384);
    const CString text = field ? field->GetEditText() : CString();
    if (text.IsEmpty()) {
        AskUser(LangText(838), LangText(839), 0);
        return 0;
    }
    if (auto* canvas = CtlAs<ImageView>(377)) {
        canvas->SetDrawMode(ImageView::MODE_MOVE_TEXT);
        canvas->AddText(text);
    }
    m_lcdDirty = 1;
    return 1;
}

LONG KeyboardDlg::OnLcdFontSizeEdit(UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 26) return 0;
    const int size = ChannelField(CtlAs<MEdit>(387), 1, 99);
    if (auto* canvas = CtlAs<ImageView>(377)) canvas->SetFontSize(size);
    return 1;
}

LONG KeyboardDlg::OnLcdFrameCopy()
{
    auto* strip = CtlAs<ImageViewList>(381);
    if (!strip || strip->GetItemCount() == 0) {
        AskUser(LangText(840), LangText(842), 0);
        return 0;
    }
    const int selected = strip->GetCurSel();
    if (selected < 0) {
        AskUser(LangText(841), LangText(842), 0);
        return 0;
    }
    LedLayerData layer;
    if (!LcdDb().GetLedLayer(m_lcdCurrentLedId, layer)) return 0;
    const std::wstring folder = LcdLayerFolder(layer.file_dir);
    if (folder.empty()) return 0;
    const int delay = strip->GetItemDelayTime(selected);
    const CString edit = strip->GetItemEditImageFile(selected);
    const std::wstring name = FreeLcdStamp(folder, L".png") + L".png";
    const std::wstring copy = folder + name;
    if (!CopyFileW(edit, copy.c_str(), TRUE)) return 0;
    strip->AddString(selected, copy.c_str(), delay, 0, name.c_str());
    strip->SetCurSel(selected + 1);
    m_lcdDirty = 1;
    return 1;
}

LONG KeyboardDlg::OnLcdFrameDelete()
{
    auto* strip = CtlAs<ImageViewList>(381);
    auto* canvas = CtlAs<ImageView>(377);
    if (!strip || strip->GetItemCount() == 0) {
        AskUser(LangText(843), LangText(844), 0);
        return 0;
    }
    const int selected = strip->GetCurSel();
    if (selected < 0) {
        AskUser(LangText(845), LangText(844), 0);
        return 0;
    }
    if (AskUser(LangText(846), LangText(844), 4) != 1) return 0;
    m_lcdDirty = 1;
    strip->DeleteItem(selected);
    const int next = selected < strip->GetItemCount() ? selected : 0;
    if (strip->GetItemCount() > 0) {
        strip->SetCurSel(next);
        m_lcdCurrentFrame = next;
        if (canvas) canvas->SetImage(strip->GetItemEditImageFile(next));
    } else {
        m_lcdCurrentFrame = 0;
        if (canvas) canvas->SetImage(L"");
    }
    return 1;
}

LONG KeyboardDlg::OnLcdPaletteColor(UINT code, UINT_PTR, LONG_PTR)
{
    auto* gradient = CtlAs<LCDPalette3>(396);
    if (!gradient) return 0;
    const COLORREF colour = gradient->GetSelectColor();
    const COLORREF channels[] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    for (UINT id = 401; id <= 403; ++id) {
        if (auto* field = CtlAs<MEdit>(id)) {
            wchar_t text[8];
            swprintf(text, 8, L"%lu", static_cast<unsigned long>(channels[id - 401]));
            field->SetEditText(text);
            field->InvalidateRect(nullptr, 0);
        }
    }
    ApplyLcdDrawColor(colour);
    return 1;
}

LONG KeyboardDlg::OnLcdPaletteBar()
{
    auto* hue = CtlAs<LCDPalette2>(397);
    auto* gradient = CtlAs<LCDPalette3>(396);
    if (!hue || !gradient) return 0;
    gradient->SetSelectColor(hue->GetSelectColor());
    return OnLcdPaletteColor(2, 0, 0);
}

LONG KeyboardDlg::OnLcdRedEdit(UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 26) return 0;
    ChannelField(CtlAs<MEdit>(401), 0, 255);
    ApplyLcdRgbFields();
    return 1;
}

LONG KeyboardDlg::OnLcdGreenEdit(UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 26) return 0;
    ChannelField(CtlAs<MEdit>(402), 0, 255);
    ApplyLcdRgbFields();
    return 1;
}

LONG KeyboardDlg::OnLcdBlueEdit(UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 26) return 0;
    ChannelField(CtlAs<MEdit>(403), 0, 255);
    ApplyLcdRgbFields();
    return 1;
}

LONG KeyboardDlg::OnLcdDefaultColor(UINT id)
{
    auto* button = CtlAs<CColorButton>(id);
    if (!button) return 0;
    m_lcdColorButton = int(id);
    const COLORREF colour = button->GetColor();
    const COLORREF channels[] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    for (UINT field = 401; field <= 403; ++field) {
        if (auto* edit = CtlAs<MEdit>(field)) {
            wchar_t text[8];
            swprintf(text, 8, L"%lu", static_cast<unsigned long>(channels[field - 401]));
            edit->SetEditText(text);
            edit->InvalidateRect(nullptr, 0);
        }
    }
    if (auto* gradient = CtlAs<LCDPalette3>(396)) gradient->SetSelectColor(colour);
    ApplyLcdDrawColor(colour);
    return 1;
}

LONG KeyboardDlg::OnLcdCommandButton()
{
    AppendTask(TASK_LCD_COMMAND);
    return 1;
}

LONG KeyboardDlg::SaveLcdFrames()
{
    auto* strip = CtlAs<ImageViewList>(381);
    auto* canvas = CtlAs<ImageView>(377);
    const int ledId = m_lcdCurrentLedId;
    LedLayerData layer;
    if (!strip || ledId <= 0 || !LcdDb().GetLedLayer(ledId, layer)) return 0;
    const std::wstring folder = LcdLayerFolder(layer.file_dir);
    if (folder.empty()) return 0;
    if (canvas) canvas->SaveImageData();

    std::vector<LedFrameData> records;
    const std::vector<IMGITEM_INFO*> rows = strip->GetImageViewItems();
    for (size_t i = 0; i < rows.size(); ++i) {
        const IMGITEM_INFO* row = rows[i];
        // A frame whose picture the folder did not take is not stored: the
        // stored frames stay as they were and the edits stay in the strip.
        if (wcscmp(row->strEditImagePath, row->strImagePath) != 0 &&
            !ReplaceFileWithCopy(row->strEditImagePath, row->strImagePath)) {
            AskUser(LangText(73), LangText(819), 0);
            return 0;
        }
        LedFrameData record;
        record.led_id = ledId;
        record.name = row->strName;
        record.file_name = row->strName;
        record.delay_time = row->nDelay;
        record.frame_index = int(i);
        records.push_back(record);
    }
    // All frames at once: a failure leaves the stored frames as they were
    // and the edits in the strip.
    if (!LcdDb().ReplaceLedFrames(ledId, records)) return 0;
    const CString first = rows.empty() ? layer.first_file : rows.front()->strName;
    LoadLayerFrames(ledId);
    m_lcdDirty = 0;

    const int count = LcdDb().CountLedFrames(ledId);
    LcdDb().SetLedLayerFirstFile(ledId, first);
    LcdDb().SetLedLayerFrameSize(ledId, count);
    if (auto* layers = CtlAs<LCDViewList>(368)) {
        for (int i = 0; i < layers->GetItemCount(); ++i) {
            if (layers->GetItemLEDId(i) != ledId) continue;
            layers->SetFrameData(i, (folder + (const wchar_t*)first).c_str(), count);
            layers->InvalidateRect(nullptr, 0);
        }
    }
    return 1;
}

LONG KeyboardDlg::OnLcdImportGif()
{
    PromptSaveLcdFrames();
    std::vector<std::wstring> paths;
    if (!ChooseLcdFiles(1, paths) || paths.empty()) return 0;
    m_lcdFilePath = paths.front();
    if (GetFileAttributesW(m_lcdFilePath.c_str()) == INVALID_FILE_ATTRIBUTES) return 0;
    if (!m_taskQueue.IsEmpty()) return 1;
    // The wait is in place before the task can be taken, so its close is
    // never missed.
    LEDWaitDlg* wait = m_lcdWaitDlg.Reset(new LEDWaitDlg);
    AppendTask(TASK_LCD_IMPORT_GIF);
    wait->DoModal(GetSafeHwnd());
    auto* layers = CtlAs<LCDViewList>(368);
    if (layers && layers->GetItemCount() > 0) {
        const int last = layers->GetItemCount() - 1;
        const int frames = layers->GetItemFrameSize(last);
        if (frames > m_lcdCurrentLimit) {
            CString notice;
            notice.Format(L"%s%d%s%d%s", static_cast<const wchar_t*>(LangText(867)),
                          m_lcdCurrentLimit, static_cast<const wchar_t*>(LangText(868)), frames,
                          static_cast<const wchar_t*>(LangText(833)));
            AskUser(notice, LangText(834), 0);
        }
        layers->SetCurSel(last);
    }
    LcdToolsFollowLayers();
    return 1;
}

LONG KeyboardDlg::OnLcdExportGif()
{
    PromptSaveLcdFrames();
    if (m_lcdCurrentLedId <= 0) return 0;
    std::vector<std::wstring> paths;
    if (!ChooseLcdFiles(2, paths) || paths.empty()) return 0;
    m_lcdFilePath = paths.front();
    if (!m_taskQueue.IsEmpty()) return 1;
    LEDWaitDlg* wait = m_lcdWaitDlg.Reset(new LEDWaitDlg);
    AppendTask(TASK_LCD_EXPORT_GIF);
    wait->DoModal(GetSafeHwnd());
    return 1;
}

LONG KeyboardDlg::SendLcdLayer()
{
    PromptSaveLcdFrames();
    if (m_lcdCurrentLedId <= 0) return 0;
    const int count = LcdDb().CountLedFrames(m_lcdCurrentLedId);
    if (count <= 0) {
        AskUser(LangText(847), LangText(848), 0);
        return 0;
    }
    if (count > m_lcdCurrentLimit) {
        CString question;
        question.Format(L"%s%d%s", static_cast<const wchar_t*>(LangText(832)), count,
                        static_cast<const wchar_t*>(LangText(833)));
        if (AskUser(question, LangText(848), 4) != 1) return 0;
    }
    auto* slots = CtlAs<LCDViewCtrl>(366);
    m_lcdSendSlot = slots && slots->GetCurSel() > 0 ? slots->GetCurSel() : 0;
    m_lcdSendLedId = m_lcdCurrentLedId;
    LEDWaitDlg2* progress = m_lcdSendDlg.Reset(new LEDWaitDlg2);
    AppendTask(TASK_LCD_SEND);
    progress->DoModal(nullptr);
    return 1;
}

LONG KeyboardDlg::OnLcdGridLineCheck()
{
    auto* box = CtlAs<CCheckButton>(376);
    if (auto* canvas = CtlAs<ImageView>(377))
        canvas->SetShowGridLine(box && box->GetCheck() ? 1 : 0);
    return 1;
}

LONG KeyboardDlg::OnLcdDrawModeButton(UINT id)
{
    if (auto* canvas = CtlAs<ImageView>(377))
        canvas->SetDrawMode(id == 391 ? ImageView::MODE_PEN : ImageView::MODE_ERASER);
    return 1;
}

LONG KeyboardDlg::OnLcdRecoverEdit()
{
    if (auto* canvas = CtlAs<ImageView>(377)) canvas->RecoverCurEdit();
    return 1;
}
