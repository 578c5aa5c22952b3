#pragma once
// What lies around the program's own per-user data folder and registry key,
// listed before and after a run to tell that the run created, changed or
// deleted nothing outside them.
//
//     testutil::OutsideSnapshot before;          // the software name is set
//     ...                                        // run the program's code
//     EXPECT_EQ(before.ChangesSince(), std::vector<std::wstring>{});
//
// Listed: the direct entries (files with size and last write, folders by
// name) of the drive root, the user's profile folder and its application-data
// folders (roaming, local and the folder above them), where a name climbing
// out of the data folder lands; the subkeys of HKEY_CURRENT_USER; the subkeys
// and values of HKEY_CURRENT_USER\SOFTWARE. The program's data folder (its
// entry in the local application-data folder) and its key (its entry below
// SOFTWARE) are left out, both named by the software name at construction.
#include <string>
#include <vector>

namespace testutil {

class OutsideSnapshot
{
public:
    OutsideSnapshot();
    // The lines that appeared ("+ ...") or went ("- ...") since construction.
    std::vector<std::wstring> ChangesSince() const;

private:
    std::vector<std::wstring> Take() const;
    std::wstring dataEntry_, keyEntry_;
    std::vector<std::wstring> lines_;
};

}  // namespace testutil
