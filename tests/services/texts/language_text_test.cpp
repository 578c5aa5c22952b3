// GetLanguageText over the language files the program ships (language\<id>.lan
// beside the executables): each section, each language, missing ids, sections
// and files, and the cut at 259 characters.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Manager.h"
#include "services/LanguageText.h"

namespace {

// Restores the process's language after a test.
class LanguageTextTest : public ::testing::Test
{
protected:
    void TearDown() override { CurrentLanguageId = saved_; }
    int saved_ = CurrentLanguageId.load();
};

struct TextCase
{
    int language;
    const wchar_t* section;
    int id;
    const wchar_t* expected;
};

TEST_F(LanguageTextTest, EachSectionOfEachLanguage)
{
    const TextCase cases[] = {
        {1033, L"OEM", 1, L"Hub"},
        // The frame's wordmark is the product's name in every language.
        {2052, L"OEM", 1, L"Hub"},
        {1028, L"OEM", 1, L"Hub"},
        {1033, L"CAPTION", 2, L"Settings"},
        {2052, L"CAPTION", 2, L"设置"},
        {1028, L"CAPTION", 2, L"設定"},
        {1033, L"LAN", 539, L"Downloading"},
        {2052, L"LAN", 539, L"正在下载"},
        {1028, L"LAN", 539, L"正在下載"},
        {1033, L"KB.DIALOG", 20, L"OK"},
        {2052, L"KB.DIALOG", 25, L"取消"},
        {1028, L"KB.DIALOG", 861, L"正在傳送..."},
        // the same id in another section is another text, or none
        {1033, L"KB.DIALOG", 1, L"Close"},
        {1033, L"LAN", 20, L""},
        // missing key, missing section, missing file
        {1033, L"KB.DIALOG", 99999, L""},
        {1033, L"NO.SUCH.SECTION", 20, L""},
        {4242, L"KB.DIALOG", 20, L""},
    };
    for (const TextCase& c : cases) {
        CurrentLanguageId = c.language;
        EXPECT_STREQ(GetLanguageText(c.id, c.section).GetString(), c.expected)
            << c.language << " [" << c.section << "] " << c.id;
    }
}

TEST_F(LanguageTextTest, KbDialogIsTheDefaultSection)
{
    CurrentLanguageId = 1033;
    EXPECT_STREQ(GetLanguageText(23).GetString(), L"OK");
    EXPECT_STREQ(GetLanguageText(25).GetString(), L"Cancel");
}

TEST_F(LanguageTextTest, FollowsTheLanguageOnEveryCall)
{
    CurrentLanguageId = 1033;
    EXPECT_STREQ(GetLanguageText(21).GetString(), L"Cancel");
    CurrentLanguageId = 2052;
    EXPECT_STREQ(GetLanguageText(21).GetString(), L"取消");
    CurrentLanguageId = 1028;
    EXPECT_STREQ(GetLanguageText(21).GetString(), L"取消");
    CurrentLanguageId = 1033;
    EXPECT_STREQ(GetLanguageText(21).GetString(), L"Cancel");
}

TEST_F(LanguageTextTest, LongTextsAreCutAt259Characters)
{
    // A language file of our own beside the shipped ones, UTF-16 LE with a BOM.
    const int language = 9917;
    const std::wstring path = LanguageFilePath(language).GetString();
    struct Row
    {
        int id;
        int length;
        int expected;
    };
    const Row rows[] = {{1, 0, 0},     {2, 258, 258}, {3, 259, 259},
                        {4, 260, 259}, {5, 300, 259}, {6, 1000, 259}};
    std::wstring content = L"\xFEFF[KB.DIALOG]\r\n";
    for (const Row& row : rows) {
        std::wstring value;
        for (int i = 0; i < row.length; ++i) value += wchar_t(L'a' + i % 26);
        content += std::to_wstring(row.id) + L"=" + value + L"\r\n";
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, content.data(), DWORD(content.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);

    CurrentLanguageId = language;
    for (const Row& row : rows) {
        const CString text = GetLanguageText(row.id);
        EXPECT_EQ(text.GetLength(), row.expected) << "value of " << row.length;
        if (row.expected > 0) {
            EXPECT_EQ(text[0], L'a');
            EXPECT_EQ(text[row.expected - 1], wchar_t(L'a' + (row.expected - 1) % 26));
        }
    }
    DeleteFileW(path.c_str());
}

TEST(LanguageFile, BesideTheProgram)
{
    const std::wstring path = LanguageFilePath(2052).GetString();
    const std::wstring folder = WEXA::GetAppPath().GetString();
    EXPECT_EQ(path, folder + L"language\\2052.lan");
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
