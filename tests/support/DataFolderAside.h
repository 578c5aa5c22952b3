#pragma once
// The program's own data folder ("<name> Files" in the user's local
// application data) put aside while a test program uses it and put back as it
// was found: what the program's tests write there goes with the program, and
// each program starts without what an earlier one left.
#include <gtest/gtest.h>

#include <string>

namespace testutil {

class DataFolderAside : public ::testing::Environment
{
public:
    // `deviceName` is the name the program's tests give the Manager, which
    // names the data folder.
    explicit DataFolderAside(std::wstring deviceName);

    // Puts the folder aside, once a program (first putting back one that an
    // interrupted run left aside: that is the folder as it was found). Only
    // while a test runs: a program outside the test runner keeps its folder.
    void PutAside();
    // Closes the device database, deletes what the program wrote and puts the
    // folder back; a folder that cannot be put back fails the program.
    void TearDown() override;

    // The data folder and the name it is kept under meanwhile, without a
    // trailing backslash.
    std::wstring Folder() const;
    std::wstring AsideFolder() const;

private:
    std::wstring deviceName_;
    bool engaged_ = false;
    bool moved_ = false;
};

}  // namespace testutil
