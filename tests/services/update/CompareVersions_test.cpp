#include <gtest/gtest.h>

#include "services/update/HttpDownloader.h"

#include <string>

namespace {

struct VersionCase
{
    const wchar_t* first;
    const wchar_t* second;
    int expected;
};

TEST(CompareVersions, Table)
{
    const std::wstring longer(400, L'9');
    const std::wstring longerPlusOne = L"1" + std::wstring(400, L'0');
    const std::wstring manyParts = [] {
        std::wstring s = L"1";
        for (int i = 0; i < 300; ++i) s += L".7";
        return s;
    }();
    const std::wstring manyPartsNewer = manyParts.substr(0, manyParts.size() - 1) + L"8";
    const VersionCase cases[] = {
        {L"1.0.0", L"1.0.0", 0},
        {L"1.0.2", L"1.0.10", 1},  // numeric, not text order
        {L"2.0.0", L"1.9.9", -1},
        {L"1.0.2.0", L"1.0.3.0", 1},
        {L"1.0.3.0", L"1.0.2.9", -1},
        {L"1.2", L"1.1.9", 2},  // different part counts
        {L"1.0", L"1.0.0", 2},
        {L"1.0.0", L"1.0", 2},
        {L"", L"", 0},  // one empty part each
        {L"", L"1", 1},
        {L"1", L"", -1},
        {L"", L"1.0", 2},
        {L"1..2", L"1.0.2", 0},    // an empty part reads as 0
        {L"1.a.2", L"1.0.2", 0},   // no digits: 0
        {L"1.2b.3", L"1.2.3", 0},  // digits up to the first other character
        {L"1.b2.3", L"1.0.3", 0},
        {L"v1.0", L"0.0", 0},
        {L"1.007", L"1.7", 0},  // leading zeros
        {L" 3.1", L"3.1", 0},   // leading blanks are skipped
        {L"1.-1", L"1.0", 1},   // a sign is read like atoi reads it
        {L"1.2.3", L"1.2.3\n", 0},
        {L"1.0.2.0\r\n", L"1.0.2.1", 1},
        {longer.c_str(), longerPlusOne.c_str(), 1},  // parts beyond 64 bits
        {longerPlusOne.c_str(), longer.c_str(), -1},
        {longer.c_str(), longer.c_str(), 0},
        {manyParts.c_str(), manyPartsNewer.c_str(), 1},
        {manyParts.c_str(), manyParts.c_str(), 0},
    };
    for (const VersionCase& c : cases)
        EXPECT_EQ(CompareVersions(c.first, c.second), c.expected)
            << "\"" << std::wstring(c.first).substr(0, 40).c_str() << "\"";
    EXPECT_EQ(CompareVersions(nullptr, L""), 0);
    EXPECT_EQ(CompareVersions(L"1", nullptr), -1);
}

}  // namespace
