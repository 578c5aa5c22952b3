#include "EffectFixture.h"

#include "MPicture.h"
#include "MTabCtrl.h"
#include "ScreenshotCompare.h"
#include "mainwnd/device/DeviceCommands.h"
#include "services/AppEnvironment.h"

namespace effecttest {

void PageTest::SetUp()
{
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
    keyboard.reset(new sim::SimKeyboard(*model));
    port = h.Bus().AddModel(*keyboard);
    ASSERT_TRUE(h.Start(SW_SHOW));
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    ASSERT_TRUE(Dlg().m_deviceConnected);
    modelName = Dlg().m_modelName;
    {
        CAutoLock hold(Dlg().DeviceStateLock());
        const std::wstring folder = GetDataFolder();
        CreateDirectoryTree(folder + L"db");
        Db().DeleteDeviceFile(folder.c_str(), modelName.c_str());
        ASSERT_TRUE(Db().OpenDevice(folder.c_str(), modelName.c_str()));
        Db().m_db.Exec("PRAGMA synchronous = OFF;");
    }
    HWND window = h.Window();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RECT placed;
    GetWindowRect(window, &placed);
    SetCursorPos(placed.right + 50, placed.bottom + 50);
    if (auto* gif = static_cast<WEXA::CGifPicture*>(Dlg().Ctl(31))) gif->SetRunState(0, 0);
    // A pick of the model's card shows the device pages; the profiles load.
    h.SendControlEvent(81, 2);
    const size_t before = TaskCount(TASK_RELOAD_PROFILES);
    Dlg().AppendTask(TASK_RELOAD_PROFILES);
    ASSERT_TRUE(WaitForTaskCount(TASK_RELOAD_PROFILES, before + 1));
    ASSERT_GT(Profile(), 0);
}

void PageTest::TearDown()
{
    h.Stop();
    Db().DeleteDeviceFile(GetDataFolder().c_str(), modelName.c_str());
}

void PageTest::OpenTab(int position)
{
    Dlg().MainTab()->SetSelectItem(position);
    h.Pump(30);
}

void PageTest::ClickAt(int x, int y)
{
    const LPARAM at = MAKELPARAM(x, y);
    HWND window = h.Window();
    SendMessageW(window, WM_MOUSEMOVE, 0, at);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    // The pointer leaves again, so that no hover stays behind.
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(2, 780));
}

void PageTest::ClickTabItem(UINT id, int index)
{
    WEXA::MControl* tabs = Dlg().Ctl(id);
    ASSERT_NE(nullptr, tabs);
    const RECT rect = tabs->GetRect();
    ClickAt((rect.left + rect.right) / 2, rect.top + 43 * index + 21);
}

int PageTest::EffectFrames()
{
    int frames = 0;
    for (const sim::Request& request : h.Bus().WritesTo(port))
        if (request.Command() == DeviceCommand::kEffectFrame && request.Offset() == 0) ++frames;
    return frames;
}

int PageTest::MatrixFrames()
{
    int frames = 0;
    for (const sim::Request& request : h.Bus().WritesTo(port))
        if (request.Command() == DeviceCommand::kMatrixFrame) ++frames;
    return frames;
}

std::vector<uint8_t> PageTest::LastEffectFrame()
{
    std::vector<uint8_t> frame;
    WithWorkerPaused([&] { frame = keyboard->Block(DeviceCommand::kEffectFrame); });
    return frame;
}

uint16_t PageTest::LedValue(const std::vector<uint8_t>& frame, int led)
{
    if (size_t(2 * led + 1) >= frame.size()) return 0xDEAD;
    return uint16_t(frame[size_t(2 * led)] | frame[size_t(2 * led + 1)] << 8);
}

size_t PageTest::TaskCount(int code) const
{
    size_t n = 0;
    for (const auto& task : h.Tasks())
        if (task.code == code) ++n;
    return n;
}

bool PageTest::WaitForTaskCount(int code, size_t count, DWORD timeoutMs)
{
    return h.PumpUntil([&] { return TaskCount(code) >= count; }, timeoutMs);
}

void PageTest::ExpectScreen(const char* reference)
{
    HWND window = h.Window();
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    h.Pump(150);
    RECT area;
    GetClientRect(window, &area);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    compare.AddControls(Dlg().GetPaintManager(), window, area);
    EXPECT_TRUE(
        compare.MatchesReference(actual, testutil::TestSourceFile(TEST_SOURCE_DIR, reference)))
        << reference;
}

}  // namespace effecttest
