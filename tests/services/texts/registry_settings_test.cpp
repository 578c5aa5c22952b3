// The per-user registry settings, read and written under a test key of their
// own: HKEY_CURRENT_USER "SOFTWARE\<software name>" with a software name made
// for the test, deleted before and after.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Manager.h"
#include "services/RegistrySettings.h"

namespace {

class RegistrySettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        savedName_ = WEXA::Manager::GetDeviceName();
        WEXA::Manager::SetDeviceName(
            CString((L"KestrovaTest-registry-" + std::to_wstring(GetCurrentProcessId())).c_str()));
        DeleteKey();
    }
    void TearDown() override
    {
        DeleteKey();
        WEXA::Manager::SetDeviceName(savedName_);
    }

    static void DeleteKey() { RegDeleteTreeW(HKEY_CURRENT_USER, RegistrySettingsKey()); }
    static bool KeyExists()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, RegistrySettingsKey(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    // Stores raw bytes of a type under the key (which must exist).
    static void StoreRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, RegistrySettingsKey(), 0, KEY_ALL_ACCESS, &key),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(key);
    }
    // Type and size in bytes of a stored value.
    static bool Stored(const wchar_t* name, DWORD& type, DWORD& bytes)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, RegistrySettingsKey(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return false;
        const bool ok =
            RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    }

    CString savedName_;
};

TEST_F(RegistrySettingsTest, TheKeyIsNamedAfterTheSoftware)
{
    WEXA::Manager::SetDeviceName(L"Kestrova");
    EXPECT_STREQ(RegistrySettingsKey().GetString(), L"SOFTWARE\\Kestrova");
}

TEST_F(RegistrySettingsTest, AFirstReadCreatesTheKeySoThatLaterWritesSucceed)
{
    // A write before any read on a fresh account is lost: it never creates the key.
    WriteRegistryString(L"exit_mode", L"1");
    EXPECT_FALSE(KeyExists());

    EXPECT_EQ(ReadRegistryInt(L"exit_mode"), 0);
    EXPECT_TRUE(KeyExists());
    EXPECT_STREQ(ReadRegistryString(L"theme_bkg").GetString(), L"");

    WriteRegistryString(L"exit_mode", L"1");
    EXPECT_EQ(ReadRegistryInt(L"exit_mode"), 1);
}

TEST_F(RegistrySettingsTest, RoundTrips)
{
    ReadRegistryInt(L"exit_mode");  // creates the key

    std::wstring longPath = L"C:\\Users\\someone\\Pictures";
    while (longPath.size() < 300) longPath += L"\\a folder with a long name";
    longPath += L"\\background.png";
    std::wstring veryLong(40000, L'x');

    struct Case
    {
        const wchar_t* name;
        std::wstring written;
        int asInt;
    };
    const Case cases[] = {
        {L"exit_mode", L"0", 0},
        {L"exit_mode", L"2", 2},
        {L"autorun_minimize", L"2x", 2},
        {L"autorun_minimize", L"x2", 0},
        {L"theme_type", L" 17", 17},
        {L"theme_type", L"-3", -3},
        {L"theme_bkg", L"", 0},
        {L"theme_bkg", L"C:\\pictures\\bg.png", 0},
        // longer than 126 characters: read whole, not cut or lost
        {L"theme_bkg", std::wstring(126, L'p'), 0},
        {L"theme_bkg", std::wstring(127, L'p'), 0},
        {L"theme_bkg_gif", longPath, 0},
        {L"theme_bkg_gif", veryLong, 0},
        {L"theme_bkg_gif", L"背景\\动画.gif", 0},
    };
    for (const Case& c : cases) {
        WriteRegistryString(c.name, c.written.c_str());
        EXPECT_EQ(std::wstring(ReadRegistryString(c.name).GetString()), c.written)
            << "length " << c.written.size();
        EXPECT_EQ(ReadRegistryInt(c.name), c.asInt) << "length " << c.written.size();
        DWORD type = 0, bytes = 0;
        ASSERT_TRUE(Stored(c.name, type, bytes));
        EXPECT_EQ(type, DWORD(REG_SZ));
        EXPECT_EQ(bytes, DWORD((c.written.size() + 1) * sizeof(wchar_t)));
    }
}

TEST_F(RegistrySettingsTest, MissingAndOddValues)
{
    ReadRegistryInt(L"exit_mode");  // creates the key
    EXPECT_EQ(ReadRegistryInt(L"no_such_value"), 0);
    EXPECT_STREQ(ReadRegistryString(L"no_such_value").GetString(), L"");

    // Text stored without its terminating zero reads whole all the same.
    const wchar_t text[] = {L'1', L'2', L'3'};
    StoreRaw(L"theme_type", REG_SZ, text, sizeof text);
    EXPECT_STREQ(ReadRegistryString(L"theme_type").GetString(), L"123");
    EXPECT_EQ(ReadRegistryInt(L"theme_type"), 123);

    // The text ends at its first zero.
    const wchar_t twoParts[] =
        L"4\0"
        L"5";
    StoreRaw(L"theme_type", REG_SZ, twoParts, sizeof twoParts);
    EXPECT_STREQ(ReadRegistryString(L"theme_type").GetString(), L"4");

    // An odd number of bytes and a value that is not text read without harm.
    const unsigned char odd[] = {'7', 0, '8'};
    StoreRaw(L"theme_type", REG_BINARY, odd, sizeof odd);
    EXPECT_EQ(ReadRegistryInt(L"theme_type"), 78);
    StoreRaw(L"theme_type", REG_BINARY, odd, 0);
    EXPECT_EQ(ReadRegistryInt(L"theme_type"), 0);
}

}  // namespace
