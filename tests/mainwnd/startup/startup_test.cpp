// Start-up decisions: the DPI rule, the language choice, the command line,
// config.xml (missing, damaged, complete) and the data folders.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "Manager.h"
#include "OutsideSnapshot.h"
#include "services/AppEnvironment.h"

namespace {

const wchar_t kKey[] = L"SOFTWARE\\Kestrova Startup Test";

struct RegistryFixture : ::testing::Test
{
    void SetUp() override
    {
        WEXA::Manager::SetDeviceName(L"Kestrova Startup Test");
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    static void SetLcid(const wchar_t* value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, L"LCID", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       DWORD((wcslen(value) + 1) * 2));
        RegCloseKey(key);
    }
    static std::wstring Lcid()
    {
        wchar_t buffer[64] = {};
        DWORD size = sizeof(buffer);
        if (RegGetValueW(HKEY_CURRENT_USER, kKey, L"LCID", RRF_RT_REG_SZ, nullptr, buffer, &size) !=
            ERROR_SUCCESS)
            return L"<none>";
        return buffer;
    }
};

std::wstring TempFile(const wchar_t* name, const char* content)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + name;
    if (content) {
        FILE* out = _wfopen(path.c_str(), L"wb");
        if (out) {
            fputs(content, out);
            fclose(out);
        }
    } else {
        DeleteFileW(path.c_str());
    }
    return path;
}

TEST(DpiRule, ScreenSizeAndScaleDecideAwareness)
{
    struct Row
    {
        int width, height, scale;
        bool aware;
    };
    const Row rows[] = {
        {1366, 768, 100, true},    // lower than 788
        {1280, 1024, 100, true},   // narrower than 1400
        {1400, 788, 100, false},   // exactly the window
        {1920, 1080, 100, false},  // 96 dpi
        {1920, 1080, 125, false},  // 120 dpi
        {1920, 1080, 144, true},  {1920, 1080, 168, true},
        {1920, 1080, 192, true},  {2560, 1440, 192, false},  // larger screens never
        {1920, 1200, 144, false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(NeedsSystemDpiAwareness(r.width, r.height, r.scale), r.aware)
            << r.width << "x" << r.height << " scale " << r.scale;
}

TEST(DpiRule, MonitorDpiMapsToScale)
{
    const int dpis[][2] = {{72, 100},  {96, 100},  {110, 100}, {120, 125}, {144, 144},
                           {168, 168}, {192, 192}, {240, 100}, {150, 100}};
    for (const auto& d : dpis) EXPECT_EQ(ScaleForDpi(d[0]), d[1]) << d[0];
}

TEST(DpiRule, TheEmulatedScreenGivesAScale)
{
    // The test display is 1920 x 1080 at 96 dpi (LogPixels unset): scale 100, not aware.
    int scale = GetMonitorScale();
    EXPECT_TRUE(scale == 100 || scale == 125 || scale == 144 || scale == 168 || scale == 192);
    EXPECT_EQ(NeedsSystemDpiAwareness(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                      scale),
              scale > 125);
}

TEST(CommandLine, AutorunAnywhereCaseSensitiveStartsMinimised)
{
    EXPECT_EQ(ShowCommandFor(L"Kestrova.exe -autorun"), SW_MINIMIZE);
    EXPECT_EQ(ShowCommandFor(L"autorun"), SW_MINIMIZE);
    EXPECT_EQ(ShowCommandFor(L"--noautorunx"), SW_MINIMIZE);
    EXPECT_EQ(ShowCommandFor(L"-AUTORUN"), SW_SHOW);
    EXPECT_EQ(ShowCommandFor(L""), SW_SHOW);
    EXPECT_EQ(ShowCommandFor(nullptr), SW_SHOW);
}

using LanguageChoice = RegistryFixture;

TEST_F(LanguageChoice, RegistrySystemAndFallback)
{
    struct Row
    {
        const wchar_t* lcid;  // null: no value (key exists), L"<nokey>": no key
        int system;
        int chosen;
        const wchar_t* stored;  // the value afterwards
    };
    const Row rows[] = {
        {nullptr, 1033, 1033, L"1033"},     // first start, supported system language
        {L"<nokey>", 2052, 2052, L"2052"},  // key created, then the system language
        {nullptr, 1031, 1033, L"1033"},     // unsupported system language
        {L"1028", 1033, 1028, L"1028"},     // kept, nothing written
        {L"abc", 2052, 2052, L"2052"},      // not a number: as missing
        {L"1041", 2052, 1033, L"1033"},     // stored but not supported
    };
    SetSupportedLanguageIds({2052, 1033, 1028});
    for (const Row& r : rows) {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        if (!r.lcid)
            SetLcid(L"");
        else if (wcscmp(r.lcid, L"<nokey>") != 0)
            SetLcid(r.lcid);
        ChooseLanguageWith(r.system);
        EXPECT_EQ(GetCurrentLanguageId(), r.chosen) << (r.lcid ? r.lcid : L"(empty)");
        EXPECT_EQ(Lcid(), r.stored) << (r.lcid ? r.lcid : L"(empty)");
    }
}

TEST_F(LanguageChoice, NoLanguageListMeans1033)
{
    SetSupportedLanguageIds({});
    SetLcid(L"2052");
    ChooseLanguageWith(2052);
    EXPECT_EQ(GetCurrentLanguageId(), 1033);
    EXPECT_EQ(Lcid(), L"1033");
}

using AppConfig = RegistryFixture;

TEST_F(AppConfig, CompleteMissingAndDamagedFiles)
{
    std::wstring good = TempFile(L"kestrova_config_good.xml",
                                 "<?xml version=\"1.0\"?>\n<config>\n"
                                 "<device.info/>\n"
                                 "<language.info default_lan=\"2052\"><lan value=\"2052\"/>"
                                 "<lan value=\"1033\"/></language.info>\n"
                                 "<software name=\"Kestrova Startup Test\" version=\"1.0\"/>\n"
                                 "</config>\n");
    LoadAppConfig(good.c_str());
    EXPECT_EQ(GetCurrentLanguageId(), 2052);
    EXPECT_EQ(GetSupportedLanguageIds(), (std::vector<int>{2052, 1033}));
    EXPECT_STREQ(WEXA::Manager::GetDeviceName(), L"Kestrova Startup Test");

    // Missing and damaged files: the list is emptied, the rest stays; start-up goes on.
    for (const char* content :
         {static_cast<const char*>(nullptr), "<config><language.info", "\xFF\xFE garbage <<<"}) {
        SetSupportedLanguageIds({1});
        std::wstring bad = TempFile(L"kestrova_config_bad.xml", content);
        LoadAppConfig(bad.c_str());
        EXPECT_TRUE(GetSupportedLanguageIds().empty());
        EXPECT_STREQ(WEXA::Manager::GetDeviceName(), L"Kestrova Startup Test");
        ChooseLanguageWith(2052);
        EXPECT_EQ(GetCurrentLanguageId(), 1033);
    }
}

TEST_F(AppConfig, SoftwareBeforeTheLanguagesIsNotFound)
{
    std::wstring path = TempFile(L"kestrova_config_order.xml",
                                 "<config><software name=\"Early\"/>"
                                 "<language.info default_lan=\"1033\"><lan value=\"1033\"/>"
                                 "</language.info></config>");
    LoadAppConfig(path.c_str());
    EXPECT_STREQ(WEXA::Manager::GetDeviceName(), L"Kestrova Startup Test");
    EXPECT_EQ(GetSupportedLanguageIds(), (std::vector<int>{1033}));

    std::wstring noLanguages =
        TempFile(L"kestrova_config_nolan.xml", "<config><software name=\"Alone\"/></config>");
    LoadAppConfig(noLanguages.c_str());
    EXPECT_STREQ(WEXA::Manager::GetDeviceName(), L"Alone");
}

// The value as an XML attribute (ASCII names only).
std::string XmlAttribute(const std::wstring& value)
{
    std::string out;
    for (wchar_t c : value) {
        if (c == L'&')
            out += "&amp;";
        else if (c == L'"')
            out += "&quot;";
        else if (c == L'<')
            out += "&lt;";
        else if (c < 32)
            out += "&#" + std::to_string(int(c)) + ";";
        else
            out += char(c);
    }
    return out;
}

bool FolderExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(AppConfig, ASoftwareNameThatIsNoPlainFileNameIsNotUsedAndNothingOutsideChanges)
{
    const struct
    {
        const wchar_t* name;
        bool plain;
    } cases[] = {
        {L"", false},
        {L"..", false},
        {L"..\\..\\Escape", false},
        {L"../../Escape", false},
        {L"C:\\Escape", false},
        {L"C:Escape", false},
        {L"\\Escape", false},
        {L"CON", false},
        {L"nul.txt", false},
        {L"COM1", false},
        {L"LPT9", false},
        {L"a/b", false},
        {L"a:b", false},
        {L"tab\there", false},
        {L"Escape.", false},
        {L"Escape ", false},
        {L"*", false},
        {L"Kestrova", true},
        {L"Kestrova Startup Test", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        const std::string config =
            "<config><language.info default_lan=\"1033\">"
            "<lan value=\"1033\"/></language.info><software name=\"" +
            XmlAttribute(c.name) + "\" version=\"1.0\"/></config>";
        const std::wstring path = TempFile(L"kestrova_config_name.xml", config.c_str());
        // The name the program is to run under: the one before (here the
        // library's as the test set it) unless the file's name is usable.
        const std::wstring expected = c.plain ? c.name : L"Kestrova Startup Test";
        WEXA::Manager::SetDeviceName(expected.c_str());
        const std::wstring key = SoftwareRegistryKey(), data = GetDataFolder();
        HKEY keep = nullptr;
        const bool keyExisted =
            RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &keep) == ERROR_SUCCESS;
        if (keyExisted) RegCloseKey(keep);
        const bool dataExisted = FolderExists(data);
        const testutil::OutsideSnapshot before;
        WEXA::Manager::SetDeviceName(L"Kestrova Startup Test");

        // What start-up does with the name: read it, choose and store the
        // language, create the data folder.
        LoadAppConfig(path.c_str());
        EXPECT_EQ(std::wstring(WEXA::Manager::GetDeviceName()), expected);
        ChooseLanguageWith(1033);
        EXPECT_EQ(LoadLanguageId(), 1033);
        EXPECT_TRUE(CreateDirectoryTree(GetDataFolder() + L"db"));
        EXPECT_EQ(before.ChangesSince(), std::vector<std::wstring>{});

        if (!keyExisted) RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        if (!dataExisted) {
            RemoveDirectoryW((data + L"db").c_str());
            RemoveDirectoryW(data.c_str());
        }
        DeleteFileW(path.c_str());
    }
    WEXA::Manager::SetDeviceName(L"Kestrova Startup Test");
}

TEST(DataFolders, TreeIsCreatedAndExistingFoldersAreSuccess)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + L"kestrova_tree_test";
    std::wstring deep = root + L"\\a\\b\\db";
    RemoveDirectoryW(deep.c_str());
    EXPECT_TRUE(CreateDirectoryTree(deep));
    DWORD attributes = GetFileAttributesW(deep.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(CreateDirectoryTree(deep));                // already there
    EXPECT_TRUE(CreateDirectoryTree(root + L"\\c\\d\\"));  // trailing backslash

    WEXA::Manager::SetDeviceName(L"Kestrova");
    std::wstring data = GetDataFolder();
    EXPECT_EQ(data.substr(data.size() - 16), L"\\Kestrova Files\\");
    EXPECT_TRUE(CreateDirectoryTree(data + L"db"));
    EXPECT_EQ(GetExeFolder().back(), L'\\');
    EXPECT_NE(GetModuleFolderAnsi().back(), L'\\');
}

}  // namespace

namespace {

TEST(SingleInstance, ASecondStartRaisesTheFirstWindowAndEnds)
{
    WEXA::Manager::SetDeviceName(L"Kestrova Instance Test");
    HANDLE first = nullptr;
    ASSERT_TRUE(ClaimSingleInstance(&first));
    ASSERT_NE(first, nullptr);

    // No window carries the property yet: the second start just ends.
    HANDLE second = reinterpret_cast<HANDLE>(1);
    EXPECT_FALSE(ClaimSingleInstance(&second));
    EXPECT_EQ(second, nullptr);

    // The running main window, minimised, is found by its property and restored.
    HWND window = CreateWindowExW(0, L"STATIC", L"running", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    SetPropW(window, L"Kestrova Instance Test", reinterpret_cast<HANDLE>(1));
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_EQ(FindWindowWithProperty(L"Kestrova Instance Test"), window);
    EXPECT_FALSE(ClaimSingleInstance(nullptr));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));
    RemovePropW(window, L"Kestrova Instance Test");
    DestroyWindow(window);
    CloseHandle(first);
}

}  // namespace
