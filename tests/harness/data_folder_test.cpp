// The data folder a test program puts aside: it comes back as it was found,
// without what the tests wrote, and a folder an interrupted run left aside is
// the one that comes back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "DataFolderAside.h"
#include "Manager.h"
#include "mainwnd/DeleteFolder.h"
#include "services/AppEnvironment.h"

namespace {

const wchar_t kName[] = L"Kestrova Aside Test";

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFile(const std::wstring& path)
{
    CreateDirectoryTree(path.substr(0, path.find_last_of(L'\\')));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

class DataFolderAsideTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = aside.Folder();
        DeleteFolder(aside.AsideFolder());
        DeleteFolder(folder);
    }
    void TearDown() override
    {
        DeleteFolder(aside.AsideFolder());
        DeleteFolder(folder);
    }

    testutil::DataFolderAside aside{kName};
    std::wstring folder;
};

TEST_F(DataFolderAsideTest, TheFolderComesBackAsItWasFound)
{
    WriteFile(folder + L"\\db\\found.db");
    aside.PutAside();
    ASSERT_FALSE(HasFailure());
    EXPECT_FALSE(Exists(folder)) << "the program starts without the folder";
    WriteFile(folder + L"\\db\\written.db");
    WriteFile(folder + L"\\led\\written.png");
    aside.TearDown();
    EXPECT_TRUE(Exists(folder + L"\\db\\found.db"));
    EXPECT_FALSE(Exists(folder + L"\\db\\written.db"));
    EXPECT_FALSE(Exists(folder + L"\\led"));
    EXPECT_FALSE(Exists(aside.AsideFolder()));
}

TEST_F(DataFolderAsideTest, NoFolderBeforeMeansNoneAfter)
{
    aside.PutAside();
    WriteFile(folder + L"\\db\\written.db");
    aside.TearDown();
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(aside.AsideFolder()));
}

TEST_F(DataFolderAsideTest, AFolderAnInterruptedRunLeftAsideIsTheOneKept)
{
    // An earlier program put the folder aside and ended before it put it back.
    WriteFile(aside.AsideFolder() + L"\\db\\found.db");
    WriteFile(folder + L"\\db\\left.db");
    aside.PutAside();
    ASSERT_FALSE(HasFailure());
    EXPECT_FALSE(Exists(folder));
    aside.TearDown();
    EXPECT_TRUE(Exists(folder + L"\\db\\found.db"));
    EXPECT_FALSE(Exists(folder + L"\\db\\left.db"));
    EXPECT_FALSE(Exists(aside.AsideFolder()));
}

}  // namespace
