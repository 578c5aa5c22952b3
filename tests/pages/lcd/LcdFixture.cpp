#include "LcdFixture.h"

#include "MDialog.h"
#include "Manager.h"
#include "ScreenshotCompare.h"
#include "WexaGdiplus.h"
#include "mainwnd/DeleteFolder.h"
#include "services/AppEnvironment.h"

namespace lcdtest {

namespace {

void CollectFiles(const std::wstring& root, const std::wstring& relative,
                  std::map<std::wstring, std::vector<unsigned char>>& out)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((root + relative + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CollectFiles(root, relative + name + L"\\", out);
            continue;
        }
        std::vector<unsigned char> bytes;
        HANDLE file = CreateFileW((root + relative + name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            bytes.resize(GetFileSize(file, nullptr));
            DWORD read = 0;
            if (!bytes.empty()) ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
            CloseHandle(file);
        }
        out[relative + name] = bytes;
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

}  // namespace

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::map<std::wstring, std::vector<unsigned char>> FilesBelow(const std::wstring& folder)
{
    std::map<std::wstring, std::vector<unsigned char>> files;
    CollectFiles(folder, L"", files);
    return files;
}

bool WriteSolidPng(const std::wstring& path, int width, int height, COLORREF colour)
{
    testutil::PixelBuffer picture;
    picture.width = width;
    picture.height = height;
    const uint32_t argb = 0xFF000000u | (uint32_t(GetRValue(colour)) << 16) |
                          (uint32_t(GetGValue(colour)) << 8) | GetBValue(colour);
    picture.pixels.assign(size_t(width) * height, argb);
    return testutil::SavePng(picture, path);
}

COLORREF MiddleColour(const std::wstring& path)
{
    testutil::PixelBuffer picture;
    if (!testutil::LoadPng(path, picture) || picture.width == 0) return 0xFFFFFFFF;
    return picture.ColorAt(picture.width / 2, picture.height / 2);
}

int GifFrameCount(const std::wstring& path)
{
    Gdiplus::Image gif(path.c_str());
    if (gif.GetLastStatus() != Gdiplus::Ok) return 0;
    GUID dimension = Gdiplus::FrameDimensionTime;
    return int(gif.GetFrameCount(&dimension));
}

WEXA::MDialog* DialogOf(HWND window)
{
    if (!window) return nullptr;
    return dynamic_cast<WEXA::MDialog*>(
        reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
}

void LcdPageTest::SetUp()
{
    SetSupportedLanguageIds({2052, 1033, 1028});
    SetCurrentLanguageId(1033);
    WEXA::Manager::SetDeviceName(GetParam());
    RegDeleteTreeW(HKEY_CURRENT_USER, SoftwareRegistryKey().c_str());
    data = GetDataFolder();
    sources = data + L"pictures \u00e9\u4e2d\\";
    CreateDirectoryTree(sources);
    keyboard.reset(new sim::SimKeyboard(sim::Model("Kestrova-K75-LCD")));
    h.Bus().AddModel(*keyboard);
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.WaitForTasks({TASK_INIT, TASK_CHECK_VERSION}));
    ASSERT_TRUE(Dlg().m_deviceConnected);
    modelName = Dlg().m_modelName;
    ASSERT_EQ(modelName, L"Kestrova-K75-LCD");
    {
        CAutoLock hold(Dlg().DeviceStateLock());
        CreateDirectoryTree(data + L"db");
        Db().DeleteDeviceFile(data.c_str(), modelName.c_str());
        ASSERT_TRUE(Db().OpenDevice(data.c_str(), modelName.c_str()));
        Db().m_db.Exec("PRAGMA synchronous = OFF;");
        RemoveLcdFolders();
    }
    Dlg().SetLcdFileChooser(&LcdPageTest::Choose, this);
    Dlg().SetMessageBoxFunction(&LcdPageTest::Box, this);
}

void LcdPageTest::TearDown()
{
    h.Stop();
    Db().DeleteDeviceFile(data.c_str(), modelName.c_str());
    RemoveLcdFolders();
    DeleteFolder(sources);
}

void LcdPageTest::RemoveLcdFolders()
{
    DeleteFolder(data + L"led\\");
    DeleteFolder(data + L"default_led\\");
}

void LcdPageTest::LoadProfiles()
{
    const size_t before = TaskCount(TASK_RELOAD_PROFILES);
    Dlg().AppendTask(TASK_RELOAD_PROFILES);
    // The first load splits the stock animation and opens the screen's copy
    // of it with all its frames: on a busy machine that takes a while.
    ASSERT_TRUE(WaitForTaskCount(TASK_RELOAD_PROFILES, before + 1, 20000));
}

bool LcdPageTest::WaitForTaskCount(int code, size_t count, DWORD timeoutMs)
{
    return h.PumpUntil([&] { return TaskCount(code) >= count; }, timeoutMs);
}

size_t LcdPageTest::TaskCount(int code) const
{
    size_t n = 0;
    for (const auto& task : h.Tasks())
        if (task.code == code) ++n;
    return n;
}

std::vector<LedLayerData> LcdPageTest::Layers()
{
    std::vector<LedLayerData*> rows;
    Db().GetLedLayers(1, rows);
    std::vector<LedLayerData> out;
    for (const LedLayerData* row : rows) out.push_back(*row);
    FreeRecordList(rows);
    return out;
}

std::vector<LedFrameData> LcdPageTest::Frames(int ledId)
{
    std::vector<LedFrameData*> rows;
    Db().GetLedFrames(ledId, rows);
    std::vector<LedFrameData> out;
    for (const LedFrameData* row : rows) out.push_back(*row);
    FreeRecordList(rows);
    return out;
}

std::wstring LcdPageTest::SourcePicture(const std::wstring& name, COLORREF colour, int width,
                                        int height)
{
    const std::wstring path = sources + name;
    EXPECT_TRUE(WriteSolidPng(path, width, height, colour)) << "cannot write a source picture";
    return path;
}

bool LcdPageTest::Choose(void* self, HWND, int kind, std::vector<std::wstring>& paths)
{
    auto* test = static_cast<LcdPageTest*>(self);
    test->dialogKinds.push_back(kind);
    if (kind == 0)
        paths = test->chosenPictures;
    else if (!test->chosenGif.empty())
        paths.push_back(test->chosenGif);
    return !paths.empty();
}

int LcdPageTest::Box(void* self, HWND, const wchar_t* message, const wchar_t* title, int mode)
{
    auto* test = static_cast<LcdPageTest*>(self);
    test->boxes.push_back({message ? message : L"", title ? title : L"", mode});
    if (test->answers.empty()) return 1;
    const int answer = test->answers.front();
    test->answers.erase(test->answers.begin());
    return answer;
}

}  // namespace lcdtest
