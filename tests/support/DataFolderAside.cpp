#include "DataFolderAside.h"

#include <windows.h>

#include <utility>

#include "Manager.h"
#include "mainwnd/DeleteFolder.h"
#include "services/AppEnvironment.h"
#include "services/db/DeviceDataDB.h"

namespace testutil {

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

DataFolderAside::DataFolderAside(std::wstring deviceName) : deviceName_(std::move(deviceName)) {}

std::wstring DataFolderAside::Folder() const
{
    WEXA::Manager::SetDeviceName(deviceName_.c_str());
    std::wstring folder = GetDataFolder();
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
}

std::wstring DataFolderAside::AsideFolder() const
{
    return Folder() + L" (put aside by a test)";
}

void DataFolderAside::PutAside()
{
    if (engaged_ || !::testing::UnitTest::GetInstance()->current_test_info()) return;
    engaged_ = true;
    const std::wstring folder = Folder(), aside = AsideFolder();
    if (Exists(aside)) {
        // An earlier program ended before it put the folder back: what is in
        // the data folder now is that program's.
        DeleteFolder(folder);
        if (!MoveFileW(aside.c_str(), folder.c_str()))
            ADD_FAILURE() << "the data folder left aside could not be put back";
    }
    moved_ = Exists(folder) && MoveFileW(folder.c_str(), aside.c_str());
    if (Exists(folder)) ADD_FAILURE() << "the data folder could not be put aside";
}

void DataFolderAside::TearDown()
{
    if (!engaged_) return;
    engaged_ = false;
    // The database the tests opened there keeps its file open.
    DeviceDataDB::Instance()->CloseDevice();
    const std::wstring folder = Folder(), aside = AsideFolder();
    if (Exists(folder) && !DeleteFolder(folder))
        ADD_FAILURE() << "what the tests wrote in the data folder could not be deleted";
    if (moved_ && !MoveFileW(aside.c_str(), folder.c_str()))
        ADD_FAILURE() << "the data folder could not be put back";
    moved_ = false;
}

}  // namespace testutil
