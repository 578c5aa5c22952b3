// KeyboardDlg: the device routines the worker runs, as forwards to the routines
// of mainwnd/device/ over the process-wide device manager and database; the
// main window adds what it shows on its widgets.
#include "BatteryCtrl.h"
#include "CDeviceList.h"
#include "KeyboardCtrl.h"
#include "MatrixScreen.h"
#include "mainwnd/KeyboardDlg.h"
#include "mainwnd/KeyLegend.h"
#include "services/LanguageText.h"
#include "mainwnd/device/ColourTransfer.h"
#include "mainwnd/device/DeviceCommands.h"
#include "mainwnd/device/KeyFuncCodec.h"
#include "mainwnd/device/MacroUpload.h"
#include "mainwnd/device/SettingsBlock.h"
#include "services/db/DeviceDataDB.h"
#include "services/hid/HidDeviceManager.h"

#include <set>
#include <tuple>

using WEXA::KeyboardCtrl;
using WEXA::MATRIXITEM_INFO;
using WEXA::MatrixScreen;

namespace {

HidDeviceManager& Hid()
{
    return HidDeviceManager::Instance();
}

DeviceDataDB& Db()
{
    return *DeviceDataDB::Instance();
}

CString DialogText(int id)
{
    return GetLanguageText(id);
}

}  // namespace

ColourTransfer KeyboardDlg::Colours()
{
    return ColourTransfer(Hid(), Db(), m_keyMaps, &m_reopenSession, &m_effectStreamStarted);
}

KeyTableRoutines KeyboardDlg::KeyTables()
{
    return KeyTableRoutines(Hid(), Db(), KeyFuncCodec::Default(), m_keyMaps);
}

void KeyboardDlg::BuildKeyFunctionList()
{
    KeyFuncCodec::SetDefaultTextSource(DialogText);
    ::BuildKeyFunctionList(m_keyFunctions, DialogText);
}

bool KeyboardDlg::ReadDeviceInfo()
{
    const DeviceInfoReadResult result =
        ::ReadDeviceInfo(Hid(), Db(), m_currentProfile, m_deviceInfo, !m_applyUnfinished);
    if (result.capabilityRead) {
        if (MainTab()) MainTab()->SetItemVisible(2, m_deviceInfo.matrixPresent ? 1 : 0);
        // The matrix screen's music animations hear the capture only on a
        // keyboard that has the screen.
        MatrixScreen* screen = m_deviceInfo.matrixPresent ? CtlAs<MatrixScreen>(277) : nullptr;
        m_matrixAudio.Attach(screen);
        SetMatrixScreen(screen ? &m_matrixAudio : nullptr);
    }
    // A keyboard that answers with level 0 has no battery: both displays show
    // none. A failed read leaves them as they are.
    if (result.batteryAnswered) {
        if (auto* battery = dynamic_cast<WEXA::BatteryCtrl*>(Ctl(46)))
            battery->SetBatteryInfo(result.batteryLevel, result.batteryCharging);
        if (WEXA::CDeviceList* list = DeviceList())
            list->SetDeviceBattery(m_deviceType, 0, result.batteryLevel, result.batteryCharging);
    }
    return result.Ok();
}

bool KeyboardDlg::ReadDefaultKeyTables()
{
    return KeyTables().ReadDefaultKeyTables();
}

bool KeyboardDlg::ReadLedMap()
{
    return KeyTables().ReadLedMap(m_deviceType, m_deviceInfo);
}

bool KeyboardDlg::ReadKeyFunctions()
{
    return KeyTables().ReadKeyFunctions(m_currentProfile);
}

void KeyboardDlg::QueueKeyWrite(int fnLayer, int key, const KeyMacroData* before)
{
    m_keyWrites.Push(fnLayer, key, before);
    AppendTask(TASK_WRITE_KEY_FUNCTIONS);
}

void KeyboardDlg::SetKeyMacroData()
{
    KeyWriteRequest request{m_currentFnLayer, m_selectedKey};
    const bool queued = m_keyWrites.Pop(request);  // none: the profile apply's own write
    if (KeyTables().WriteKeyFunctions(m_currentProfile, request.fnLayer, request.key)) return;
    // The keyboard keeps what it had: so does the database, for this change and
    // for the ones queued behind it (their tasks write the rows put back).
    std::vector<KeyWriteRequest> failed;
    if (queued) failed.push_back(request);
    for (const KeyWriteRequest& later : m_keyWrites.Clear()) failed.push_back(later);
    TakeBackKeyWrites(failed);
    ReportUnconfirmedWrite();
}

bool KeyboardDlg::TakeBackKeyWrites(const std::vector<KeyWriteRequest>& requests)
{
    KeyboardCtrl* picture = CtlAs<KeyboardCtrl>(58);
    std::set<std::tuple<int, int, int>> done;
    bool any = false;
    for (const KeyWriteRequest& request : requests) {
        if (!request.hasBefore) continue;
        const KeyMacroData& row = request.before;
        if (!done.insert(std::make_tuple(row.profile, row.fn_layer, row.key_code)).second) continue;
        any = true;
        Db().UpdateKeyMacro(row);
        if (picture && row.profile == m_currentProfile && row.fn_layer == m_currentFnLayer)
            picture->SetKeyItemInfo(row.key_code, KeyFunctionLabel(picture, row), row.macro_type,
                                    row.macro_desc);
    }
    if (any && picture) picture->UpdateControl(1, 0);
    return any;
}

void KeyboardDlg::ReportUnconfirmedWrite()
{
    if (m_unconfirmedShown.exchange(true)) return;
    if (!::PostMessageW(GetSafeHwnd(), KBM_WRITE_NOT_CONFIRMED, 0, 0)) m_unconfirmedShown = false;
}

LONG KeyboardDlg::OnUnconfirmedWrite()
{
    // The pages show what the keyboard holds before the user reads why, and
    // again for what was put back while the message was open.
    ShowTakenBackSettings();
    AskUser(LangText(71), LangText(533), 0);
    m_unconfirmedShown = false;
    ShowTakenBackSettings();
    return 1;
}

LONG KeyboardDlg::RestoreDefaultKeys()
{
    // The default tables and key maps are the device state: a device task may
    // be rebuilding them (a pick, a keyboard that came).
    CAutoLock hold(m_deviceStateLock);
    KeyboardCtrl* picture = CtlAs<KeyboardCtrl>(58);
    const RestoreResult result =
        KeyTables().RestoreDefaultKeys(m_currentProfile, m_currentFnLayer, m_selectedKey);
    if (!result.restored) return 0;
    if (m_selectedKey <= 0) {
        LoadKeyAssignments(m_currentProfile);
        QueueKeyWrite(m_currentFnLayer, -1);
    } else {
        if (picture) {
            const KeyMacroData& row = result.rows.front();
            picture->SetKeyItemInfo(m_selectedKey, KeyFunctionLabel(picture, row), 2,
                                    row.macro_desc);
            picture->UpdateControl(1, 0);
        }
        QueueKeyWrite(m_currentFnLayer, m_selectedKey);
    }
    return 1;
}

void KeyboardDlg::LoadKeyAssignments(int profile)
{
    KeyboardCtrl* picture = CtlAs<KeyboardCtrl>(58);
    if (!picture) return;
    picture->ResetAllItemCheck(0);
    picture->ResetTipKey();
    std::vector<KeyMacroData*> rows;
    Db().GetLayerKeyMacros(profile, m_currentFnLayer, rows);
    for (const KeyMacroData* row : rows)
        picture->SetKeyItemInfo(row->key_code, KeyFunctionLabel(picture, *row), row->macro_type,
                                row->macro_desc);
    FreeRecordList(rows);
}

bool KeyboardDlg::UploadMacros()
{
    return ::UploadMacros(Hid(), Db(), m_deviceInfo.macroStorage);
}

bool KeyboardDlg::SendUserLightMode()
{
    return SettingsBlockWriter(Hid(), Db(), m_deviceInfo)
        .SendUserLightMode(m_currentProfile, m_lightZone, m_lightMode);
}

bool KeyboardDlg::SendLightMode()
{
    const int mode = m_lightMode;
    if (!SettingsBlockWriter(Hid(), Db(), m_deviceInfo)
             .SendLightMode(m_currentProfile, m_lightZone, mode))
        return false;
    KeyboardCtrl* picture = CtlAs<KeyboardCtrl>(58);
    if (picture && !m_liveKeyColors && mode < 128) picture->ResetAllItemsColor(0xF1F1F1);
    return true;
}

bool KeyboardDlg::SendMatrixMode()
{
    return SettingsBlockWriter(Hid(), Db(), m_deviceInfo)
        .SendMatrixMode(m_currentProfile, m_matrixMode);
}

bool KeyboardDlg::SendPerformanceSettings()
{
    return SettingsBlockWriter(Hid(), Db(), m_deviceInfo).SendPerformanceSettings(m_currentProfile);
}

void KeyboardDlg::ReadUserKeyColors()
{
    KeyboardCtrl* picture = CtlAs<KeyboardCtrl>(58);
    std::map<int, COLORREF> colours;
    // A failed read leaves the stored colours the page shows: zeros in their
    // place would be saved by the next key press.
    if (!Colours().ReadUserKeyColors(m_lightMode, colours) || !picture) return;
    picture->ResetAllItemsColor(0);
    for (const auto& key : colours) picture->SetKeyColor(key.first, key.second);
    picture->UpdateControl(1, 0);
}

bool KeyboardDlg::WriteUserKeyColors()
{
    return Colours().WriteUserKeyColors(m_currentProfile, m_lightMode);
}

void KeyboardDlg::ReadMatrixColors()
{
    std::vector<COLORREF> cells;
    MatrixScreen* screen = CtlAs<MatrixScreen>(277);
    if (!Colours().ReadMatrixColors(cells) || !screen) return;
    for (MATRIXITEM_INFO* cell : screen->GetKeyItems())
        if (cell->id >= 0 && cell->id < int(cells.size())) cell->color = cells[size_t(cell->id)];
    screen->UpdateControl(1, 0);
}

std::vector<CellColour> KeyboardDlg::MatrixCells()
{
    std::vector<CellColour> cells;
    if (MatrixScreen* screen = CtlAs<MatrixScreen>(277))
        for (const MATRIXITEM_INFO* cell : screen->GetKeyItems())
            cells.push_back({cell->id, cell->color});
    return cells;
}

bool KeyboardDlg::WriteMatrixColors()
{
    if (Colours().WriteMatrixColors(MatrixCells())) return true;
    // The picture is not stored: the preview shows the keyboard's own again,
    // where it can still be read.
    ReadMatrixColors();
    ReportUnconfirmedWrite();
    return false;
}

void KeyboardDlg::ReadLiveKeyColors()
{
    std::map<int, COLORREF> seen;
    const bool read = Colours().ReadLiveKeyColors(m_lightMode, m_deviceInfo.generation, seen);
    KeyboardCtrl* picture = CtlAs<KeyboardCtrl>(58);
    if (!read || !picture) return;
    for (const auto& key : seen) picture->SetKeyColor(key.first, key.second);
    picture->UpdateControl(1, 0);
}

void KeyboardDlg::StartEffectStream()
{
    // The main tab's handler only queues the task; the routine sets the flag, and
    // a keyboard change clears it.
    Colours().StartEffectStream();
}

void KeyboardDlg::SendEffectFrame(const std::vector<KeyColour>& items)
{
    Colours().SendEffectFrame(m_deviceType, items);
}

void KeyboardDlg::SendMatrixFrame()
{
    Colours().SendMatrixFrame(m_deviceType, MatrixCells());
}
