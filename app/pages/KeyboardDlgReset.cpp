// KeyboardDlg: the factory reset of the device page: the question and the
// database renewal on the UI thread, the keyboard's reset and the reload on
// the worker (task 21).
#include "ImageView.h"
#include "ImageViewList.h"
#include "LCDViewCtrl.h"
#include "LCDViewList.h"
#include "TabCtrlEx.h"
#include "mainwnd/DeleteFolder.h"
#include "mainwnd/KeyboardDlg.h"
#include "mainwnd/device/DeviceCommands.h"
#include "dialogs/CUIMessageBox.h"
#include "services/AppEnvironment.h"
#include "services/SafePaths.h"
#include "services/db/DeviceDataDB.h"
#include "services/hid/HidDeviceManager.h"

LONG KeyboardDlg::OnResetToDefaults()
{
    Show(65, true);
    const int answer = ShowMessageBox(GetSafeHwnd(), LangText(552), LangText(550), 4);
    Show(65, false);
    if (!IsConfirmed(answer)) return 0;

    RegWriteString(L"theme_bkg", L"");
    RegWriteString(L"theme_bkg_gif", L"");
    ResetBackgrounds(true, true);
    m_pm.RefreshControls();
    CRect client;
    ::GetClientRect(GetSafeHwnd(), &client);
    InvalidateRect(client, 0);
    m_pm.RefreshControls();

    if (m_featureFlags & 0x40) {
        if (auto* slots = CtlAs<WEXA::LCDViewCtrl>(366)) slots->DeleteAllItems();
        if (auto* layers = CtlAs<WEXA::LCDViewList>(368)) layers->DeleteAllItems();
        if (auto* canvas = CtlAs<WEXA::ImageView>(377)) {
            canvas->SetImage(L"");
            canvas->DeleteAllItems();
        }
        if (auto* frames = CtlAs<WEXA::ImageViewList>(381)) frames->DeleteAllItems();
    }
    if (auto* effectTab = CtlAs<WEXA::TabCtrlEx>(242)) effectTab->SetCurData(2);
    if (!m_devicePresent) return 0;

    {
        // The database is replaced: no worker task may be using it meanwhile.
        CAutoLock hold(m_deviceStateLock);
        // The model by its device type; only a model whose name is a plain file
        // name has a file of its own (an empty name would widen every path made
        // from it, others would lead out of the data folder).
        const DeviceEntry* model = nullptr;
        for (const DeviceEntry& entry : m_keyboards) {
            if (entry.deviceType == m_deviceType && IsPlainFileName(entry.name)) {
                model = &entry;
                break;
            }
        }
        if (!model) return 0;
        const std::wstring folder = GetDataFolder();
        const CString file = DeviceDataDB::MakeFilePath(folder.c_str(), model->name.c_str());
        if (!IsInsideDataFolder(static_cast<const wchar_t*>(file))) return 0;
        DeviceDataDB& db = *DeviceDataDB::Instance();
        db.DeleteDeviceFile(folder.c_str(), model->name.c_str());
        db.OpenDevice(folder.c_str(), model->name.c_str());
        SelectDevice(model->deviceType);
    }
    EnableWindow(0);
    WaitDlg* wait = m_waitDlg.Reset(new WaitDlg);
    AppendTask(TASK_FACTORY_RESET);
    wait->DoModal(GetSafeHwnd());
    // The worker gives the window back after the task, also when it dropped it;
    // a wait that could not be shown must not leave it disabled either.
    EnableWindow(1);
    return 1;
}

void KeyboardDlg::FactoryReset()
{
    HidDeviceManager& hid = HidDeviceManager::Instance();
    SendShortCommand(hid, DeviceCommand::kOpen);
    SendShortCommand(hid, DeviceCommand::kFactoryReset, kCapabilityLength);
    SendShortCommand(hid, DeviceCommand::kClose);
    LoadProfiles();
    if ((m_featureFlags & 0x40) && m_hasLcdPage) {
        // Only this model's LCD folder: never "led\" itself, nor a folder
        // another name would lead to.
        if (IsPlainFileName(m_modelName))
            DeleteDataFolder(GetDataFolder() + L"led\\" + m_modelName + L"\\");
        DeviceDataDB::Instance()->DeleteAllLedLayers();
        LoadLcdPage();
    }
    LoadPerformanceSettings();
}
