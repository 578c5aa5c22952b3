#pragma once
// KeyboardDlg: the main window of Kestrova and the object that holds the whole
// program state: the dialog whose window is the main window, the system-audio
// capture, the periodic worker that talks to the keyboard and the controls of
// every page.
//
// The class is one class; its definition is split by concern. The window's
// core is in app/mainwnd/:
//   KeyboardDlg.cpp           construction, destruction, ShowMainWindow, Shutdown
//   KeyboardDlgStartup.cpp    OnInitDialog, InitMainWindow, task 1
//   KeyboardDlgWorker.cpp     Run, the task table, idle work, tasks 2 to 5
//   KeyboardDlgDispatch.cpp   OnMessage routing and the frame handlers
//   KeyboardDlgFrame.cpp      InitUI, the frame, the main tab, the key test, UISize
//   KeyboardDlgWidgets.cpp    the keyboard picture, the key test, the frame's dialogs
//   KeyboardDlgMessages.cpp   window messages, tray, exit, skin menu
//   KeyboardDlgLanguage.cpp   ApplyLanguage, language texts and registry settings
//   KeyboardDlgDevices.cpp    device list, scan and connect steps
//   KeyboardDlgDevice.cpp     the worker's device routines (forwards to device/)
//   KeyboardDlgPendingWrites.cpp settings stored ahead of a keyboard write
//   KeyboardDlgSelect.cpp     model selection: database, layout file, key maps
//   KeyboardDlgUpdate.cpp     software update and its progress dialog
// Every page is in app/pages/:
//   KeyboardDlgPages.cpp      what the pages share: tab and combo texts
//   KeyboardDlgSettings.cpp   the settings page
//   KeyboardDlgProfiles.cpp   profile load, apply, the frame's profile controls
//   KeyboardDlgProfileFile.cpp profile export and import
//   KeyboardDlgReset.cpp      factory reset
//   KeyboardDlgDevicePage.cpp the device page
//   KeyboardDlgCustomKeyPage.cpp   the custom-key page and the key-picture clicks
//   KeyboardDlgPerformancePage.cpp the performance page
//   KeyboardDlgLightPage.cpp       the lighting page
//   KeyboardDlgMacroPage.cpp  the macro page; KeyboardDlgMacroRecording.cpp its recording;
//                             KeyboardDlgMacroEditor.cpp its menus and inserted events
//   KeyboardDlgEffectPage.cpp the effect page (modes, window list, picture file)
//   KeyboardDlgMusicPage.cpp  the effect page's music controls
//   KeyboardDlgEffectStream.cpp the worker's effect step (StreamEffectColors)
//   KeyboardDlgMatrixPage.cpp the matrix-screen page
//   KeyboardDlgLcdPage.cpp    the LCD page: controls, layout, loading, colours
//   KeyboardDlgLcdEdit.cpp    the LCD page's handlers: layers, frames, save
//   KeyboardDlgLcdSend.cpp    the LCD page's send on the worker (task 25)
//
// Threads. The UI thread runs every handler. The worker (CThreadBasic part)
// runs Run every 16 ms: one queued task or the idle work. Both share the
// device state (database, key maps, widget records, the device members); the
// device-state lock guards it: the worker holds it for each task and each idle
// step, the UI thread for the operations that replace that state (device pick,
// factory reset, page loads, restoring default keys). Neither thread sends a
// message to the other while holding it: the worker makes no call that waits
// for the UI thread (ShowWindow, SetWindowText, SendMessage, EnableWindow of
// its windows) with the lock held. It posts (ShowWindowAsync, PostMessage) or
// calls after releasing it. Page switches (the main tab's change event) run
// on the UI thread alone: the worker asks for them (SelectMainTab). The test
// harness fails any test in which the worker makes the UI thread serve a call
// while it holds the lock (tests/support/LockedSendWatch.h).
//
// Lock order (see wexa/include/PaintManager.h for the engine's locks):
//   device-state lock  before any engine or control lock (a task holding it
//                      calls controls)
//   wait-dialog slot   leaf (m_waitDlg's lock, then the dialog's close latch)
//   dialog lock        guards m_updateDlg; the progress handler repaints the
//                      update dialog's controls under it (before their
//                      locks), the worker only posts under it
//   task queue lock    leaf (TaskQueue)
#include <windows.h>
// (after windows.h)
#include <dbt.h>
#include <shellapi.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "CLock.h"
#include "MDialog.h"
#include "mainwnd/DeviceEntry.h"
#include "mainwnd/KeyboardDef.h"
#include "mainwnd/PendingWrites.h"
#include "mainwnd/TaskQueue.h"
#include "mainwnd/device/ColourTransfer.h"
#include "mainwnd/device/DeviceInfo.h"
#include "mainwnd/device/KeyFuncCatalogue.h"
#include "mainwnd/device/KeyTables.h"
#include "mainwnd/device/KeyWriteQueue.h"
#include "mainwnd/ThreadBasic.h"
#include "mainwnd/AudioConsumers.h"
#include "dialogs/LEDWaitDlg.h"
#include "dialogs/LEDWaitDlg2.h"
#include "dialogs/WaitDialogSlot.h"
#include "dialogs/WaitDlg.h"
#include "services/audio/KeyboardAudio.h"
#include "services/audio/Visualizer.h"
#include "services/update/HttpDownloader.h"
#include "services/db/DeviceDataRecords.h"
#include "services/input/InputHookManager.h"

struct RawInputEvent;
struct KeyboardLayout;
class DeviceDataDB;
class UpdateProcessDlg;
class InputHookManager;

// The main window's private messages.
enum KeyboardMessage : UINT {
    KBM_DOWNLOAD_PROGRESS = 1684,
    KBM_TRAY = 1690,
    KBM_EXIT_REQUEST = 1691,
    KBM_HOOK_KEY = 1692,
    KBM_HOOK_MOUSE = 1693,
    KBM_VERSION_RESULT = 1694,
    KBM_SKIN_MENU = 1695,
    KBM_MACRO_INSERT_MENU = 1710,  // lParam: the chosen entry of the macro page's insert menu
    KBM_MACRO_RECORD_MENU = 1711,  // lParam: the chosen entry of an event's menu
    KBM_DEVICE_NOTIFY = 1715,
    KBM_PROFILE_MENU = 1825,
    KBM_CANVAS_MENU = 1834,
    KBM_LANGUAGE_CHANGED = 2024,
    KBM_DRAG_OVER = 2025,
    KBM_DROP = 2026,
    KBM_WRITE_NOT_CONFIRMED = 2027,
    KBM_DATABASE_UNREADABLE = 2028,
    // The worker asks for a main-tab position (wParam; lParam the request's serial).
    KBM_SELECT_MAIN_TAB = 2033,
};

namespace WEXA {
class CDeviceList;
class ProfileList;
}  // namespace WEXA

class KeyboardDlg : public WEXA::MDialog,
                    public KeyboardDef,
                    public KeyboardAudio,
                    public CThreadBasic
{
public:
    KeyboardDlg();
    ~KeyboardDlg() override;
    KeyboardDlg(const KeyboardDlg&) = delete;
    KeyboardDlg& operator=(const KeyboardDlg&) = delete;

    // ---- lifetime ----
    // Creates the 1400 x 788 window (centred) and runs it modally; the modal result.
    UINT ShowMainWindow(int showCommand);
    // The window alone, shown with the command but not run modally (the test
    // harness drives its messages); null when it cannot be created.
    HWND CreateMainWindow(int showCommand);
    // Stops the worker, the audio capture and the tray icon and destroys the window.
    virtual int Shutdown();
    // Stops and joins the worker (also from the destructor and before every
    // exit). On the window's thread the messages the worker sends meanwhile are
    // handled.
    void StopWorker();
    // Ends the key test's raw-input registration when it has one.
    void StopKeyTestInput();

    // ---- MDialog overrides ----
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;
    int OnInitDialog() override;
    void InitUI(CRect client) override;
    void UISize(CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;

    // ---- CThreadBasic ----
    void Run() override;
    // With no keyboard and no task the worker has nothing to watch: it waits
    // for the next task (a second at most) instead of stepping every 16 ms.
    DWORD IdleWaitMs() override;

    // ---- start-up ----
    void InitMainWindow();
    void InitRuntime();

    // ---- worker ----
    void AppendTask(int code) { m_taskQueue.Append(code); }
    // Empties the queue; every dropped task's after-step still runs (wait
    // dialogs close, the window is enabled again after a factory reset).
    void FlushTasks();
    void Trd_DeviceChanged(const char* trace);
    void ReloadDevice();
    void ReloadProfiles();
    // Waits of the worker routines (100 and 200 ms pauses); tests replace it.
    void Pause(DWORD milliseconds);
    // Closes the wait dialog (result OK) when one is held; any thread. The UI
    // thread installs the dialog in m_waitDlg before it queues the task.
    void CloseWaitDialog();
    // The update dialog the download messages go to (the object is kept until
    // the next one replaces it); the worker closes it after task 30.
    void SetUpdateDialog(UpdateProcessDlg* dialog);
    void CloseUpdateDialog();
    UpdateProcessDlg* UpdateDialog() const { return m_updateDlg; }
    CCriticalLock& DeviceStateLock() { return m_deviceStateLock; }

    // ---- dispatch and frame handlers ----
    LONG OnSettingsButton();
    LONG OnSkinButton();
    LONG OnProfileManagerButton();
    LONG OnPictureButton();
    LONG OnDeviceSelected();
    void OpenLink(const std::wstring& url);

    // ---- frame ----
    // The main tab's position of the LCD page (item id 6): the last one.
    static const int kLcdTabPosition = 8;
    LONG OnMainTabChanged(int position);
    // Selects the main tab's position (its change event switches the page).
    // Page switches run on the UI thread alone (the key test, the dialogs and
    // the pages' fields are its own): on any other thread the request is
    // posted, and a pick in the device list or a page switch made before it
    // is handled supersedes it.
    void SelectMainTab(int position);
    LONG OnMainTabRequest(int position, LONG_PTR serial);
    void OnKeyTestInput(HRAWINPUT input);
    // One translated raw-input event for the key test.
    void HandleKeyTestEvent(const RawInputEvent& event);
    const std::set<int>& KeyTestPressed() const { return m_keyTestPressed; }
    bool KeyTestActive() const { return m_keyTestInput != nullptr; }

    // ---- window messages, tray, exit ----
    LONG OnCloseButton();
    LONG OnTrayNotify(UINT mouseMessage);
    LONG OnExitRequest(LONG_PTR code);
    LONG OnSkinMenuCommand(LONG_PTR command);
    LONG OnPowerBroadcast(UINT_PTR event);
    LONG OnDeviceNotify(LONG_PTR online);
    void CloseSecondaryWindows();
    // Hands a download percentage to the open update dialog.
    void ForwardDownloadProgress(int percent);
    // Deletes the tray icon when it was added; the delete's result, 1 when none.
    BOOL RemoveTrayIcon();
    bool TrayIconAdded() const { return m_trayAdded; }
    // Joins the worker and ends the process (ExitProcess); tests replace the
    // ending and stop the program instead.
    void EndProcess();
    typedef void (*EndProcessFn)(void* context);
    void SetEndProcess(EndProcessFn end, void* context)
    {
        m_endProcess = end;
        m_endProcessContext = context;
    }

    // ---- language, registry ----
    void ApplyLanguage();
    // Item texts of the pages' tabs and combo boxes and the LCD page's titles
    // (after a language change).
    void ApplyLanguageToPageItems();
    // A text of the language file of the current language.
    CString LangText(int id, const wchar_t* section = L"KB.DIALOG") const;
    int RegInt(const wchar_t* name) const;
    std::wstring RegString(const wchar_t* name) const;
    void RegWriteString(const wchar_t* name, const std::wstring& text) const;

    // ---- devices ----
    void BuildKeyFunctionList();
    void LoadDeviceConfig();
    // The file LoadDeviceConfig reads: empty for config.xml beside the
    // executable (tests name another one before the window starts).
    std::wstring m_configFile;
    void ScanDevices(int = 0, int = 0);
    void ConnectSelectedDevice();
    void UpdateUSBDevice(const DEV_BROADCAST_DEVICEINTERFACE_W* record, UINT_PTR event);
    void PollDeviceNotify(int = 0);
    void SelectDevice(int deviceType);
    // The layout file's picture, keys and maps (under the device-state lock).
    void ApplyLayout(const KeyboardLayout& layout);
    void AddLightBarItems();
    // The main tab's lighting, matrix-screen and effect items of a device type.
    void ShowModelTabs(int deviceType);
    void RegisterHidNotification();
    // The frame for a connected keyboard or for none.
    void ShowKeyboardView(bool connected);
    void LoadProfiles();

    // ---- device routines run by tasks ----
    void ApplyProfileToDevice();
    void LoadKeyAssignments(int profile);
    void SetKeyMacroData();
    // The writers return true only when the keyboard confirmed the write.
    bool UploadMacros();
    bool SendUserLightMode();
    bool SendLightMode();
    bool SendMatrixMode();
    void ReadMatrixColors();
    // A picture the keyboard did not take is read back into the preview.
    bool WriteMatrixColors();
    bool SendPerformanceSettings();
    void ReadUserKeyColors();
    bool WriteUserKeyColors();
    void FactoryReset();
    void StartEffectStream();
    void CheckSoftwareVersion();
    void DownloadSoftwareUpdate();
    void DownloadFirmwareTool();
    // Downloads a package into the data folder's temp folder, unpacks it and
    // starts its installer; the program ends once the installer has started.
    // A package that does not unpack completely, or an installer that does
    // not start, is reported to the user and the program goes on.
    void InstallPackage(const std::wstring& url, const std::wstring& packageName,
                        const std::wstring& installerName,
                        const std::atomic<bool>* cancelled = nullptr);
    void ReadLiveKeyColors();
    void StreamEffectColors();
    // The load's read steps (inside its AA 10 ... AA 11).
    bool ReadDeviceInfo();
    bool ReadDefaultKeyTables();
    bool ReadLedMap();
    bool ReadKeyFunctions();
    // Task 8 for this key and layer; `before` is the key's row before the change
    // that is written, put back when the keyboard does not confirm the write.
    void QueueKeyWrite(int fnLayer, int key, const KeyMacroData* before = nullptr);
    // Puts back the rows key writes replaced (the oldest row of each key), in the
    // database and on the keyboard picture; true when there was one.
    bool TakeBackKeyWrites(const std::vector<KeyWriteRequest>& requests);
    // Tells the user (once until the message is closed) that the keyboard did
    // not confirm a change; any thread.
    void ReportUnconfirmedWrite();
    // Puts back the rows stored for `writer` that the keyboard did not take:
    // `taken` (the entries its task took) and every entry still waiting, then
    // has the pages show them and tells the user. Worker thread.
    void TakeBackStoredWrites(PendingWriter writer, std::vector<StoredBefore> taken);
    // The pages of the writers whose rows were put back show the database again
    // (UI thread).
    void ShowTakenBackSettings();
    // ---- stores of the pages ahead of a keyboard write (UI thread) ----
    // Each keeps the row as it was until the write is confirmed; true when stored.
    bool StoreLight(int type, int mode, const LightData& row);
    bool StoreActiveLightMode(int type, int mode);
    bool StoreConfigValue(PendingWriter writer, const wchar_t* key, const wchar_t* value);
    bool StoreUserKeyColors(int userMode, const std::vector<UserLightRgbData>& colours);
    bool StoreMacroEvents(int macroId, const std::vector<MacroRecordData>& events);
    // A new macro (its id, 0 when not stored) and a deleted one (with its
    // events): both wait for the next macro table write.
    int StoreNewMacro(const wchar_t* name);
    bool StoreDeletedMacro(int macroId);
    LONG OnUnconfirmedWrite();
    void SendEffectFrame(const std::vector<KeyColour>& items);
    KeyTableRoutines KeyTables();
    ColourTransfer Colours();
    std::vector<CellColour> MatrixCells();
    void SendMatrixFrame();

    // ---- pages: builders and layouts ----
    void InitCustomKeyPage();
    void InitMacroPage();
    void InitLightPage();
    void InitMatrixScreenPage();
    void InitEffectPage();
    void InitMusicPage();
    void InitPerformancePage();
    // The sleep-time list's labels ("10 min") in the current language.
    CString SleepTimeLabel(int minutes);
    void RelabelSleepTimes();
    void InitDevicePage();
    void InitLcdPage();
    void InitSettingsPage();
    void LayoutCustomKeyPage(CRect client);
    void LayoutMacroPage(CRect client);
    void LayoutLightPage(CRect client);
    void LayoutMatrixScreenPage(CRect client);
    void LayoutEffectPage(CRect client);
    void LayoutMusicPage(CRect client);
    void LayoutPerformancePage(CRect client);
    void LayoutDevicePage(CRect client);
    void LayoutSettingsPage(CRect client);
    void LoadLightModes();
    void LoadMatrixModes();

    // ---- effect, music and matrix-screen pages ----
    // Offers a top-level window to the capture mode's window list.
    void AddCaptureWindowItem(HWND window);
    // The canvas rows and columns the worker samples, from the key grid.
    void ComputeSpectrumSamples();
    // The music controls and the visualiser from the music row of the layer.
    void LoadMusicLayer(int layerId);
    void ApplyMusicEditColor();
    void SeedDefaultMatrixModes();
    void ShowMatrixModeControls();
    void ShowMatrixPresetControls();
    void ApplyMatrixColor(COLORREF colour);
    void ApplyMatrixEditColor();
    void EnableMatrixColorControls(bool on);
    // The effect page's picture dialog (GetOpenFileNameW); tests replace it.
    typedef bool (*PictureChooserFn)(void* context, std::wstring& path);
    void SetPictureChooser(PictureChooserFn chooser, void* context)
    {
        m_pictureChooser = chooser;
        m_pictureChooserContext = context;
    }
    bool ChoosePicture(std::wstring& path);
    PictureChooserFn m_pictureChooser = nullptr;
    void* m_pictureChooserContext = nullptr;
    // The foreground scheme as last chosen or loaded (22: matrix-light overlay).
    std::atomic<int> m_musicForeMode{0};
    // Canvas row per key-grid row and canvas column per key-grid column.
    int m_spectrumRowY[8] = {};
    int m_spectrumColumnX[32] = {};
    // The worker's effect buffers, sized once: the canvas copy and the key items.
    std::vector<COLORREF> m_effectCanvas;
    std::vector<KeyColour> m_effectItems;

    // ---- page handlers that take every event code ----
    LONG OnProfileListEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnKeyboardCtrlClick(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLightModeSelect(UINT code, UINT_PTR wparam = 0, LONG_PTR lparam = 0);
    LONG OnLightPaletteColor(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMusicPaletteColor(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG StoreMacroPlayMode(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnKeyComboFieldEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLightRedEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLightGreenEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLightBlueEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMusicRedEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMusicGreenEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMusicBlueEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMatrixModeSelect(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMatrixPaletteColor(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMatrixRedEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMatrixGreenEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMatrixBlueEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMacroListEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMacroDelayTimeEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMacroRecordValueEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMacroRecordListEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLcdSlotSelect(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLcdLayerSelect(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLcdCanvasEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLcdFrameListEvent(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLcdFontSizeEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLcdPaletteColor(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLcdRedEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLcdGreenEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLcdBlueEdit(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    LONG OnLcdPaletteBar();

    // ---- page handlers of clicks and selections (event code 2) ----
    LONG OnProfileAdd();
    LONG ImportProfileXml();
    LONG OnKeyLayerChanged();
    LONG RestoreDefaultKeys();
    LONG OnRestoreLayerButton();
    LONG OnKeyFunctionTypeTab();
    LONG OnKeyFunctionValue();
    // Tells the user to pick a key first; returns 0 (not handled).
    LONG AskForKey();
    LONG OnKeyComboSave();
    LONG OnMacroPlayModeRadio(UINT id);
    LONG OnLightZoneTab();
    LONG OnCustomLightSwitch();
    LONG OnLightEnableSwitch();
    LONG OnLightColorfulCheck();
    LONG OnLightDefaultColor(UINT id);
    LONG OnLightBrightnessSlider();
    LONG OnLightSpeedSlider();
    LONG OnLightDirectionRadio(UINT id);
    LONG OnUserLightModeSelect();
    LONG OnLightApplyButton();
    LONG OnMusicColorfulCheck();
    LONG OnMusicDefaultColor(UINT id);
    LONG OnMusicLayerCheck(UINT id);
    LONG OnMusicForeModeSelect();
    LONG OnMusicBackModeSelect();
    LONG OnMusicForeAmplitudeSlider();
    LONG OnMusicBackBrightnessSlider();
    LONG OnMusicLightBrightnessSlider();
    LONG OnEffectModeChanged();
    LONG OnCaptureWindowSelect();
    LONG OnEffectFileButton();
    LONG OnMatrixScreenEdit();
    LONG OnMatrixPresetSelect();
    LONG OnMatrixEnableSwitch();
    LONG OnMatrixColorfulCheck();
    LONG OnMatrixDefaultColor(UINT id);
    LONG OnMatrixBrightnessSlider();
    LONG OnMatrixSpeedSlider();
    LONG OnMatrixDirectionRadio(UINT id);
    LONG OnMatrixAmplitudeSlider();
    LONG OnMacroNew();
    LONG OnMacroDelete();
    LONG OnMacroRecordToggle();
    LONG OnMacroRecordDelete();
    LONG OnMacroRecordClear();
    LONG OnMacroDelayModeRadio(UINT id);
    LONG OnMacroRecordTypeSelect();
    LONG SaveMacroRecords();
    // The up (-1) and down (+1) buttons of the event list.
    LONG OnMacroRecordMove(int step);
    LONG OnMacroInsertMenu();
    // The entries of the insert menu and of an event's menu.
    LONG OnMacroInsertCommand(LONG_PTR entry);
    LONG OnMacroRecordMenuCommand(LONG_PTR entry);
    // The mouse button combo of the record editor.
    LONG OnMacroMouseButtonSelect();
    LONG OnLcdLayerAdd();
    LONG OnLcdImportGif();
    LONG OnLcdLayerDelete();
    LONG ShowLcdEditMode();
    LONG ShowLcdPreviewMode();
    LONG OnLcdAddText();
    LONG ImportLcdPictures();
    LONG OnLcdFrameCopy();
    LONG OnLcdFrameDelete();
    LONG OnLcdDefaultColor(UINT id);
    LONG OnLcdCommandButton();
    LONG SaveLcdFrames();
    LONG OnLcdExportGif();
    LONG SendLcdLayer();
    LONG OnMacModeSwitch();
    LONG OnGameModeSwitch();
    LONG OnLockWinSwitch();
    LONG OnWasdModeSwitch();
    LONG OnSleepTimeSelect();
    LONG OnKeyResponseSelect();
    LONG OnResetToDefaults();
    LONG OnDeviceMessageButton();
    LONG OnSettingsReturn();
    LONG OnLanguageRadio();
    LONG OnAutorunSwitch();
    LONG OnAutorunMinimizeSwitch();
    LONG OnExitModeRadio();
    LONG OnCheckVersionButton();
    // The settings page's language radio of the current language.
    void CheckLanguageRadio();
    // Rows the routing table handles on the spot, on pages built later:
    LONG OnEffectPresetSelect();        // 274: preset of the effect preview
    LONG OnLcdGridLineCheck();          // 376: grid lines of the LCD canvas
    LONG OnLcdDrawModeButton(UINT id);  // 391, 392: draw mode of the LCD canvas
    LONG OnLcdRecoverEdit();            // 394
    // The frame's keyboard widgets (keyboard picture 58, key test 57).
    void ClearKeyTest();
    void AddKeyTestKey(const wchar_t* name, int key);
    void RemoveKeyTestKey(int key);
    void EnableKeyboardTips(bool enable);
    void PrepareKeyboardForCustomKeys();
    void PrepareKeyboardForLighting();
    // The modal dialogs of the frame (profile manager, picture window).
    void RunProfileManager();
    void RunPictureDialog();
    // The device list's selection (type 0 and index -1 without a list or card).
    int SelectedCardDeviceType();
    int SelectedCardIndex();
    WEXA::CDeviceList* DeviceList();
    // ---- handlers of private window messages owned by the pages ----
    LONG OnMacroHookKey(UINT_PTR wparam, LONG_PTR lparam);
    // The key-combination field's capture (hook purpose 2).
    LONG OnKeyComboHookKey(UINT_PTR wparam, LONG_PTR lparam);
    LONG OnMacroHookMouse(UINT_PTR wparam, LONG_PTR lparam);
    LONG OnUpdateCheckResult(LONG_PTR result);
    // The device page's software text: what the last version check found.
    CString UpdateCheckText();
    void ShowUpdateCheckText();
    LONG OnUpdateFailed();
    // A message box over the main window (ShowMessageBox; tests replace it).
    int AskUser(const wchar_t* message, const wchar_t* title, int mode);
    typedef int (*MessageBoxFn)(void* context, HWND parent, const wchar_t* message,
                                const wchar_t* title, int mode);
    void SetMessageBoxFunction(MessageBoxFn show, void* context)
    {
        m_messageBox = show;
        m_messageBoxContext = context;
    }
    // Opens a file with the shell (ShellExecuteW "open"; tests replace it); the
    // shell's result, above 32 on success.
    INT_PTR OpenFile(const std::wstring& path);
    typedef INT_PTR (*OpenFileFn)(void* context, const wchar_t* path);
    void SetOpenFileFunction(OpenFileFn open, void* context)
    {
        m_openFile = open;
        m_openFileContext = context;
    }
    LONG OnProfileMenuCommand(LONG_PTR command);
    LONG OnKeyFunctionMenuCommand(UINT_PTR wparam);
    LONG OnDragOverNotify(LONG_PTR point);

    // ---- profiles ----
    // Reloads every page for the current profile (after a profile load).
    void RefreshPages();
    // After a profile apply the keyboard did not confirm: the user is told and
    // the last profile it took in full is made current and applied again.
    void FallBackToConfirmedProfile(int failed);
    void DeleteSelectedProfile();
    void ShowProfileLimit(HWND parent);
    void ExportProfileXml();
    // Rebuilds the frame's profile list from the database and selects the
    // current profile's row.
    void FillProfileList();
    // After the profile manager closed: the current profile is checked against
    // the database (a deleted one is replaced by the active profile, task 6
    // queued) and the frame's list rebuilt.
    void RevalidateCurrentProfile();
    WEXA::ProfileList* ProfileListCtl();
    // The file dialogs of the profile export and import; tests replace them.
    typedef bool (*FileChooserFn)(void* context, HWND owner, bool save, std::wstring& path);
    void SetFileChooser(FileChooserFn chooser, void* context)
    {
        m_fileChooser = chooser;
        m_fileChooserContext = context;
    }
    bool ChooseProfileFile(bool save, std::wstring& path);
    // The background picture's open dialog (the file chooser when one is set).
    bool ChooseBackgroundFile(bool home, std::wstring& path);
    FileChooserFn m_fileChooser = nullptr;
    void* m_fileChooserContext = nullptr;
    // ---- custom-key page ----
    LONG ShowSelectedKeyFunction(UINT code, UINT_PTR wparam, LONG_PTR lparam);
    // The selected key's row of the current profile and Fn layer; false without
    // a selected key. A key without a row gets one (function fields empty), so
    // what the picture shows is what the database keeps.
    bool ReadSelectedKeyRow(KeyMacroData& row);
    // Stores the row, shows its function on the key and queues the key write
    // (with the row it replaced). A row that cannot be stored is neither shown
    // nor written; the user is told.
    void StoreSelectedKeyRow(const KeyMacroData& row);
    // Ends the key-combination capture: hooks removed, input method context
    // given back, the key test's raw input on again. Harmless when none runs.
    void EndKeyComboCapture();
    bool KeyComboCaptureActive() const { return m_hookPurpose == 2 && m_hookManager != nullptr; }
    int m_keyFuncCategory = 0;
    CRect m_keyGridRect, m_keyGridMacroRect;
    int m_capturedVirtualKey = 0;
    CString m_capturedKeyName;
    // 1 macro recording, 2 the key-combination field, 3 the record editor's key capture
    int m_hookPurpose = 0;
    std::unique_ptr<InputHookManager> m_hookManager;
    HWND m_keyComboImeWindow = nullptr;
    HIMC m_keyComboImeContext = nullptr;
    bool m_keyComboImeTaken = false;

    // ---- performance page ----
    void LoadPerformanceSettings();

    // ---- lighting page ----
    LONG OnLightKeyClick(UINT code);
    // Inserts the default light rows of the current profile when it has none;
    // the count and the inserts form one transaction under the database lock.
    void SeedDefaultLightModes();
    void ShowLightModeControls();
    void ApplyLightColor(COLORREF color);
    void ApplyLightEditColor();
    // Rewrites the per-key colours of the shown user mode from the picture, in
    // one transaction.
    void SaveUserKeyColors();
    void ShowLightColorFields(COLORREF color);
    // The stored colours of the shown user mode on the keyboard picture.
    void ShowStoredUserKeyColors();
    void LightColourPicked();
    // ---- macro page and macro recording (KeyboardDlgMacroPage.cpp,
    //      KeyboardDlgMacroRecording.cpp) ----
    void LoadMacroPage();
    void ShowMacro(int macroId);
    LONG ResetKeysBoundToMacro(int macroId);
    LONG SaveMacroDelaySettings();
    void ShowRecordEditor(BOOL show);
    // Fills the macro list again and selects the macro with the id (the first
    // one when it is gone).
    void ReloadMacroList(int selectMacroId);
    // Opens the insert menu at the screen point; its entries insert at the
    // event list position `at`.
    LONG OpenMacroInsertMenu(POINT screen, int at);
    // How many events the selected macro may hold on the keyboard.
    int SelectedMacroRoom();
    void EnableMacroControls(BOOL enable);
    struct MacroHookEvent
    {
        int source = 0;  // 0 ignore, 1 mouse, 2 keyboard
        int action = 0;  // 0 pressed, 1 released
        int value = 0;   // virtual key or mouse button bit
        CString name;
    };
    void RecordMacroEvent(const MacroHookEvent& event);
    // The name recording gives a key; a fixed name may also change the code
    // stored for it (0x10 -> 0xA0 and the like).
    static CString MacroKeyName(int& key);
    void EndMacroRecording();
    // The record editor's key field: the next key pressed anywhere is taken.
    void BeginMacroKeyCapture();
    void EndMacroKeyCapture();
    bool MacroRecording() const { return m_macroRecording; }
    int MacroRecordRoom() const { return m_macroRecordRoom; }
    // The clock of recorded pauses (GetTickCount); tests replace it.
    typedef DWORD (*TickFn)(void* context);
    void SetMacroClock(TickFn tick, void* context)
    {
        m_macroTick = tick;
        m_macroTickContext = context;
    }

    // A test can watch the worker: called after each task is taken, with
    // whether its routine was run (false: dropped for want of a keyboard).
    typedef void (*TaskObserverFn)(void* context, int code, bool performed);
    void SetTaskObserver(TaskObserverFn observer, void* context)
    {
        m_taskObserver = observer;
        m_taskObserverContext = context;
    }
    typedef void (*PauseFn)(void* context, DWORD milliseconds);
    void SetPauseFunction(PauseFn pause, void* context)
    {
        m_pause = pause;
        m_pauseContext = context;
    }

    // ---- the state (read by pages and tests) ----
    TaskQueue m_taskQueue;
    // A message about an unconfirmed change is posted or open.
    std::atomic<bool> m_unconfirmedShown{false};
    // Rows the pages stored ahead of writes not yet confirmed, and the writers
    // (bits of PendingWriter) whose rows were put back and not yet shown again.
    PendingWrites m_pendingWrites;
    std::atomic<unsigned> m_takenBackWriters{0};
    // The database file the user was last told cannot be read (device-state lock).
    std::wstring m_unreadableDatabase;
    std::atomic<bool> m_runtimeStarted{false};
    std::atomic<int> m_workerPaused{0};
    std::atomic<int> m_reopenSession{0};
    int m_selectedCardIndex = 0;
    std::atomic<bool> m_devicePresent{false};
    std::atomic<bool> m_deviceConnected{false};
    std::atomic<int> m_changedDeviceType{0};
    std::atomic<bool> m_connecting{false};
    std::atomic<bool> m_effectStreamStarted{false};
    std::atomic<int> m_deviceType{0};
    // The model whose battery the badge (46) may show; written by SelectDevice
    // under m_deviceStateLock.
    int m_batteryModel = 0;
    std::atomic<int> m_connectionMode{0};
    std::wstring m_modelName;
    // The key grid of the model's layout (rows and columns of the effect preview).
    int m_keyGridRows = 0;
    int m_keyGridColumns = 0;
    // The settings page's two labels of id 424 (autorun, minimised start).
    WEXA::MControlFont* m_autorunLabel = nullptr;
    WEXA::MControlFont* m_minimizeLabel = nullptr;
    std::vector<DeviceEntry> m_keyboards;
    std::vector<DeviceEntry> m_deviceModes;
    int m_featureFlags = 0x7F;
    int m_wirelessFeatureFlags = 0x7F;
    std::wstring m_websiteUrl, m_feedbackUrl, m_faqsUrl, m_storeUrl;
    std::wstring m_upgradeUrl;
    std::wstring m_softwareVersion;
    std::wstring m_firmwareToolUrl;
    std::wstring m_serverVersion;
    // What the last version check found: 0 none yet, 1 a newer version, 2 up
    // to date, 3 the server could not be reached (or gave no version).
    std::atomic<int> m_updateCheckResult{0};
    std::atomic<int> m_currentPage{0};
    std::atomic<int> m_currentTab{1};
    std::atomic<int> m_currentProfile{1};
    // The profile the keyboard holds in full (read from it or applied); 0 none.
    std::atomic<int> m_confirmedProfile{0};
    // Set while a profile apply writes to the keyboard and kept when it did not
    // finish: the keyboard then holds part of a profile, so the next connect
    // applies the current profile again instead of reading the keyboard back.
    std::atomic<bool> m_applyUnfinished{false};
    int m_currentFnLayer = 0;
    int m_selectedKey = 0;
    std::atomic<int> m_lightMode{0};
    int m_lightZone = 0;
    int m_lightModeCaps = 0;
    std::atomic<int> m_liveKeyColors{0};
    int m_matrixMode = 0;
    std::atomic<int> m_matrixStreaming{0};
    int m_effectMode = 2;
    std::atomic<int> m_effectStreaming{0};
    // The keyboard's default tables and the key-code / key-index / LED maps.
    KeyMaps m_keyMaps;
    DeviceInfo m_deviceInfo;
    KeyWriteQueue m_keyWrites;
    std::vector<KeyFunctionItem> m_keyFunctions;
    // UI thread only (the page switch and WM_INPUT):
    std::unique_ptr<char> m_keyTestInput;  // present while the key test receives raw input
    std::set<int> m_keyTestPressed;
    // Serial of the main-tab requests posted by other threads; a pick in the
    // device list and every page switch move it on, so that older requests
    // are dropped.
    std::atomic<long> m_tabRequestSerial{0};
    Visualizer m_visualizer;
    // What the audio capture feeds besides the visualiser: the effect panel
    // (59, from task 1 on) and the matrix-screen preview (277, while the
    // keyboard reports a matrix screen).
    EffectAudioConsumer m_effectAudio;
    MatrixAudioConsumer m_matrixAudio;
    Gdiplus::ARGB m_textColor = 0xFF333333;
    COLORREF m_keyColor = 0x00604E3A;
    NOTIFYICONDATAW m_trayIcon;
    bool m_hasLcdPage = true;
    // The open wait dialog that the worker closes after a task.
    WaitDialogSlot<WaitDlg> m_waitDlg;
    // ---- the LCD page (KeyboardDlgLcdPage.cpp, KeyboardDlgLcdEdit.cpp) ----
    int m_lcdDirty = 0;  // the current layer has edits not saved
    int m_lcdSlotLimits[5] = {256, 256, 256, 256, 256};
    int m_lcdSlotCount = 1;
    int m_lcdCurrentLimit = 0;
    int m_lcdCurrentLedId = 0;
    int m_lcdCurrentFrame = 0;
    int m_lcdColorButton = 404;
    std::wstring m_lcdFilePath;
    // The GIF import and export wait, and the send's progress; the worker
    // closes them when it takes their task.
    WaitDialogSlot<LEDWaitDlg> m_lcdWaitDlg;
    WaitDialogSlot<LEDWaitDlg2> m_lcdSendDlg;
    // What a send takes to the keyboard (set by the page before it queues the
    // send, read by the worker): the layer and the screen slot.
    std::atomic<int> m_lcdSendLedId{0};
    std::atomic<int> m_lcdSendSlot{0};
    // Worker: the layer m_lcdSendLedId to slot m_lcdSendSlot; false when the
    // keyboard did not take it or a frame could not be read.
    bool SendLcdToKeyboard();
    void LoadLcdPage();
    void LoadLayerFrames(int ledId);
    // First use: one marked layer per stock animation, with its frames.
    void CreateDefaultLcdLayers(DeviceDataDB& db, const std::wstring& modelFolder);
    // A user layer holding copies of the frames in sourceFolder (the rows give
    // their files and delays).
    void CopyLcdLayer(DeviceDataDB& db, const std::wstring& modelFolder,
                      const std::wstring& sourceFolder, int frames,
                      std::vector<LedFrameData> records);
    void ApplyLcdRgbFields();
    void ApplyLcdDrawColor(COLORREF color);
    void PromptSaveLcdFrames();
    void EnableLcdTools(bool enabled);
    void EnableLcdPageControls(bool enabled);
    void LayoutLcdPage(CRect client);
    // The tools, the grid box and the two mode buttons follow the layer list.
    void LcdToolsFollowLayers();
    // The model's LCD folder "<data>\led\<model>\" (empty without a model).
    std::wstring LcdModelFolder() const;
    // A layer's folder with its trailing backslash; empty when file_dir is
    // not a plain folder name.
    std::wstring LcdLayerFolder(const CString& fileDir) const;
    // The file dialogs of the LCD page: kind 0 pictures (several), 1 a GIF to
    // open, 2 a GIF to save. Tests replace them.
    typedef bool (*LcdFileChooserFn)(void* context, HWND owner, int kind,
                                     std::vector<std::wstring>& paths);
    void SetLcdFileChooser(LcdFileChooserFn chooser, void* context)
    {
        m_lcdFileChooser = chooser;
        m_lcdFileChooserContext = context;
    }
    bool ChooseLcdFiles(int kind, std::vector<std::wstring>& paths);
    LcdFileChooserFn m_lcdFileChooser = nullptr;
    void* m_lcdFileChooserContext = nullptr;
    // The device type the device list has selected.
    std::atomic<int> m_listSelectedType{0};

protected:
    struct TaskAfter
    {
        bool closeWait = false;
        bool enableWindow = false;
        bool closeLcdWait = false;  // GIF import and export
        bool closeLcdSend = false;
        // A software download that never ran: its progress dialog closes and
        // the user is told the update was not installed.
        bool updateDropped = false;
    };
    // What a task does after its routine (also when it is dropped or flushed).
    static TaskAfter AfterStepOf(int code);
    void RunAfterSteps(const TaskAfter& after);
    // Empties the queue and returns the after-steps of what it held.
    TaskAfter TakeAllTasks();
    void RunTask(int code);
    void IdleStep();
    void NotifyTask(int code, bool performed);
    void CreateFrame();
    void FillMainTab();
    // A frame control created by class name and kept under its id.
    WEXA::MControl* Make(const wchar_t* className, UINT id, bool area, const wchar_t* title = L"");
    WEXA::MControl* MakeIn(WEXA::MControl* panel, const wchar_t* className, UINT id,
                           const wchar_t* title = L"");
    void ResetBackgrounds(bool gif, bool picture);
    // Shows the pages' background (30), reading its picture the first time:
    // the window starts on the home page, which does not show it.
    void ShowPageBackground();
    std::atomic<bool> m_pageBackgroundRead{false};

    CCriticalLock m_deviceStateLock;
    CCriticalLock m_dialogLock;
    UpdateProcessDlg* m_updateDlg = nullptr;
    bool m_updateOffered = false;     // UI thread: the question or the download is open
    bool m_updateCheckAsked = false;  // UI thread: the user pressed "Check for updates"
    HttpDownloader m_downloader;
    // The user closed the update's progress dialog: the download stops, and a
    // package that arrives anyway is not installed.
    std::atomic<bool> m_updateCancelled{false};
    MessageBoxFn m_messageBox = nullptr;
    void* m_messageBoxContext = nullptr;
    OpenFileFn m_openFile = nullptr;
    void* m_openFileContext = nullptr;
    bool m_trayAdded = false;
    HICON m_trayIconHandle = nullptr;
    EndProcessFn m_endProcess = nullptr;
    void* m_endProcessContext = nullptr;
    TaskObserverFn m_taskObserver = nullptr;
    void* m_taskObserverContext = nullptr;
    PauseFn m_pause = nullptr;
    void* m_pauseContext = nullptr;
    bool m_timerPeriodRaised = false;
    // Macro recording (UI thread only).
    bool m_macroRecording = false;
    InputHookManager* m_macroHooks = nullptr;
    int m_macroDelayMode = 0;
    DWORD m_macroPauseMemory = 0;
    int m_macroRecordRoom = 0;
    std::set<int> m_macroHeldKeys;
    int m_macroCapturedKey = 0;
    CString m_macroCapturedName;
    // Where the insert menu's entries go in the event list, and the event the
    // open event menu belongs to (-1: none).
    int m_macroInsertAt = -1;
    int m_macroMenuRecord = -1;
    TickFn m_macroTick = nullptr;
    void* m_macroTickContext = nullptr;
};

// Executable folder + "skins\" + the library's theme folder.
std::wstring GetSkinPath();
// The registry value "DeviceType" under the software's key (0 when missing).
int ReadDeviceTypeSetting();
void WriteDeviceTypeSetting(int value);
// A version text the update server may name: dotted decimal numbers, at most
// ten characters ("1.0.3.0").
bool IsVersionText(const std::wstring& text);
// Whether the file is a picture that loads (with a size): what a background
// may be set to.
bool IsReadablePicture(const wchar_t* path);
// The Run-key entry of the program ("\"<exe folder>Kestrova.exe\" -autorun"),
// under HKEY_CURRENT_USER's Run key, named by the software name.
std::wstring AutorunCommand();
bool IsAutorunEntryPresent();
void WriteAutorunEntry(bool on);
