#include <gtest/gtest.h>

#include "services/zip/ZipReader.h"
#include "ZipTestSupport.h"

#include <string>
#include <vector>

using namespace ziptest;

namespace {

std::string Pattern(size_t size, unsigned seed)
{
    std::string s(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        s[i] = char(x >> 16);
    }
    return s;
}

EntrySpec File(const std::string& name, const std::string& data, int method = 8)
{
    EntrySpec e;
    e.name = name;
    e.data = data;
    e.method = method;
    return e;
}

EntrySpec Folder(const std::string& name)
{
    EntrySpec e;
    e.name = name;
    e.externalAttributes = 0x10;
    return e;
}

class ZipTest : public ::testing::Test
{
protected:
    ScratchFolder scratch;
    std::wstring archive = scratch / L"package.zip";
    std::wstring out = scratch / L"out\\";
};

// ---- whole packages -------------------------------------------------------------------

TEST_F(ZipTest, UnzipAllWritesNestedFilesAndFolders)
{
    const std::string big = Pattern(200000, 1);
    const std::string stored = Pattern(40000, 2);
    ASSERT_TRUE(BuildZip(archive, {
                                      Folder("a/"),
                                      File("a/b/c/deep.txt", "deep file"),
                                      Folder("empty/"),
                                      Folder("x/y/z/"),
                                      File("top.bin", big),
                                      File("stored.bin", stored, 0),
                                      File("zero.txt", ""),
                                      File("win\\style\\name.txt", "backslashes"),
                                  }));

    ASSERT_TRUE(UnzipAll(archive.c_str(), out.c_str()));

    EXPECT_EQ(ListTree(out),
              (std::vector<std::wstring>{L"a\\", L"a\\b\\", L"a\\b\\c\\", L"a\\b\\c\\deep.txt",
                                         L"empty\\", L"stored.bin", L"top.bin", L"win\\",
                                         L"win\\style\\", L"win\\style\\name.txt", L"x\\",
                                         L"x\\y\\", L"x\\y\\z\\", L"zero.txt"}));
    EXPECT_EQ(ReadText(out + L"a\\b\\c\\deep.txt"), "deep file");
    EXPECT_TRUE(ReadText(out + L"top.bin") == big);
    EXPECT_TRUE(ReadText(out + L"stored.bin") == stored);
    EXPECT_EQ(ReadText(out + L"win\\style\\name.txt"), "backslashes");
}

TEST_F(ZipTest, ExistingFilesAreReplacedEvenWhenReadOnly)
{
    ASSERT_TRUE(BuildZip(archive, {File("keep/file.txt", "new content")}));
    CreateDirectoryW(out.c_str(), nullptr);
    CreateDirectoryW((out + L"keep").c_str(), nullptr);
    const std::wstring target = out + L"keep\\file.txt";
    ASSERT_TRUE(WriteBytes(target, std::vector<unsigned char>(5000, 'x')));
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);

    ASSERT_TRUE(UnzipAll(archive.c_str(), out.c_str()));
    EXPECT_EQ(ReadText(target), "new content");
    EXPECT_EQ(ListTree(out), (std::vector<std::wstring>{L"keep\\", L"keep\\file.txt"}));
}

// Entries are written under temporary names no entry and no file of the
// folder can have: an entry named like another one's temporary file, and the
// user's own files of such names, come through.
TEST_F(ZipTest, TemporaryNamesCollideWithNoEntryAndNoFile)
{
    ASSERT_TRUE(BuildZip(
        archive, {File("a.part", "entry a.part"), File("a", "entry a"), File("b", "entry b"),
                  File("sub/c.part.part", "entry c.part.part"), File("sub/c", "entry c")}));
    CreateDirectoryW(out.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(out + L"b.part", {'m', 'i', 'n', 'e'}));
    ASSERT_TRUE(WriteBytes(out + L"b.part.part", {'m', 'i', 'n', 'e', '2'}));

    ASSERT_TRUE(UnzipAll(archive.c_str(), out.c_str()));
    EXPECT_EQ(ListTree(out),
              (std::vector<std::wstring>{L"a", L"a.part", L"b", L"b.part", L"b.part.part", L"sub\\",
                                         L"sub\\c", L"sub\\c.part.part"}));
    EXPECT_EQ(ReadText(out + L"a.part"), "entry a.part");
    EXPECT_EQ(ReadText(out + L"a"), "entry a");
    EXPECT_EQ(ReadText(out + L"b"), "entry b");
    EXPECT_EQ(ReadText(out + L"b.part"), "mine");
    EXPECT_EQ(ReadText(out + L"b.part.part"), "mine2");
    EXPECT_EQ(ReadText(out + L"sub\\c.part.part"), "entry c.part.part");
    EXPECT_EQ(ReadText(out + L"sub\\c"), "entry c");
}

TEST_F(ZipTest, MissingOrUnreadableArchiveFailsAndWritesNothing)
{
    EXPECT_FALSE(UnzipAll((scratch / L"absent.zip").c_str(), out.c_str()));
    ASSERT_TRUE(WriteBytes(archive, std::vector<unsigned char>(3000, 'z')));
    EXPECT_FALSE(UnzipAll(archive.c_str(), out.c_str()));
    EXPECT_FALSE(IsFolder(out));
    EXPECT_EQ(OpenZipArchive(archive.c_str()), nullptr);
}

// ---- description: attributes, times, names --------------------------------------------

struct AttributeCase
{
    unsigned versionMadeBy;
    unsigned long external;
    DWORD expected;
};

TEST_F(ZipTest, AttributesFollowTheHostSystem)
{
    const AttributeCase cases[] = {
        {0x0014, 0x20, FILE_ATTRIBUTE_ARCHIVE},
        {0x0014, 0x21, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
        {0x0014, 0x06, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {0x0B14, 0x10, FILE_ATTRIBUTE_DIRECTORY},           // NTFS host
        {0x0314, 0100644ul << 16, FILE_ATTRIBUTE_ARCHIVE},  // Unix rw-r--r--
        {0x0314, 0100444ul << 16, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
        {0x0314, (040755ul << 16) | 0x10, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE},
        {0x1314, 0100644ul << 16, FILE_ATTRIBUTE_ARCHIVE},  // OS X host
    };
    std::vector<EntrySpec> entries;
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        EntrySpec e = File("f" + std::to_string(i), "data");
        if (cases[i].expected & FILE_ATTRIBUTE_DIRECTORY) e = Folder("d" + std::to_string(i));
        e.versionMadeBy = cases[i].versionMadeBy;
        e.externalAttributes = cases[i].external;
        entries.push_back(e);
    }
    ASSERT_TRUE(BuildZip(archive, entries));

    ZipReader reader;
    ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
    reader.SetBaseFolder(out.c_str());
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        ZipEntryInfo info;
        ASSERT_EQ(reader.GetEntry(int(i), &info), kZipOk);
        EXPECT_EQ(info.attributes, cases[i].expected);
        ASSERT_EQ(reader.ExtractEntry(int(i), info.name), kZipOk);
        DWORD onDisk = GetFileAttributesW((out + info.name).c_str());
        ASSERT_NE(onDisk, INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(onDisk & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY),
                  cases[i].expected & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
    }
}

TEST_F(ZipTest, TimesComeFromTheDosStampAndTheExtendedTimestamp)
{
    const uint32_t mod = 1700000000, acc = 1700000100, cre = 1600000000;
    const unsigned long dos = 0x5A8B6C2A;
    std::string otherBlock = std::string("\x0a\x00\x04\x00", 4) + "abcd";  // skipped by length
    struct
    {
        const char* name;
        std::string extra;
        uint64_t mod, acc, cre;
    } cases[] = {
        {"dos-only", "", DosToUtc(dos), DosToUtc(dos), DosToUtc(dos)},
        {"ut-mod", ExtendedTimestamp(1, mod), UnixToFileTime(mod), DosToUtc(dos), DosToUtc(dos)},
        {"ut-all", ExtendedTimestamp(7, mod, acc, cre), UnixToFileTime(mod), UnixToFileTime(acc),
         UnixToFileTime(cre)},
        {"ut-after-other", otherBlock + ExtendedTimestamp(2, 0, acc), DosToUtc(dos),
         UnixToFileTime(acc), DosToUtc(dos)},
        // Flags promise three times, the block holds one: only what is inside is read.
        {"ut-short-block",
         std::string("UT\x05\x00\x07", 5) + std::string("\x00\xf1\x53\x65", 4) +
             std::string("\xff\xff\xff\xff", 4),
         UnixToFileTime(1700000000), DosToUtc(dos), DosToUtc(dos)},
        // A block that claims more bytes than the field holds is not parsed at all.
        {"ut-overrun", std::string("UT\x40\x00\x01", 5) + std::string("\x00\xf1\x53\x65", 4),
         DosToUtc(dos), DosToUtc(dos), DosToUtc(dos)},
        // The first "UT" block ends the scan.
        {"ut-twice", ExtendedTimestamp(1, mod) + ExtendedTimestamp(1, cre), UnixToFileTime(mod),
         DosToUtc(dos), DosToUtc(dos)},
    };
    std::vector<EntrySpec> entries;
    for (auto& c : cases) {
        EntrySpec e = File(c.name, "timed");
        e.dosDate = dos;
        e.localExtra = c.extra;
        entries.push_back(e);
    }
    ASSERT_TRUE(BuildZip(archive, entries));

    ZipReader reader;
    ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
    reader.SetBaseFolder(out.c_str());
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        ZipEntryInfo info;
        ASSERT_EQ(reader.GetEntry(int(i), &info), kZipOk);
        EXPECT_EQ(ToU64(info.modificationTime), cases[i].mod);
        EXPECT_EQ(ToU64(info.accessTime), cases[i].acc);
        EXPECT_EQ(ToU64(info.creationTime), cases[i].cre);
        ASSERT_EQ(reader.ExtractEntry(int(i), info.name), kZipOk);
        WIN32_FILE_ATTRIBUTE_DATA data;
        ASSERT_TRUE(GetFileAttributesExW((out + info.name).c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(ToU64(data.ftLastWriteTime), cases[i].mod);
    }
}

// The DOS stamp is the packer's local time. This test runs in a zone nine hours east of
// UTC without daylight saving (test.cmake sets TZ), where 2025-04-11 13:33:20 local is
// 04:33:20 UTC.
TEST_F(ZipTest, DosStampIsTakenAsLocalTime)
{
    TIME_ZONE_INFORMATION zone;
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID || zone.Bias != -540)
        GTEST_SKIP() << "needs TZ=JST-9";
    EntrySpec e = File("local.txt", "x");
    e.dosDate = 0x5A8B6C2A;  // 2025-04-11 13:33:20
    ASSERT_TRUE(BuildZip(archive, {e}));
    ZipReader reader;
    ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
    ZipEntryInfo info;
    ASSERT_EQ(reader.GetEntry(0, &info), kZipOk);
    const uint64_t expected = UnixToFileTime(1744346000);  // 2025-04-11 04:33:20 UTC
    EXPECT_EQ(ToU64(info.modificationTime), expected);
    EXPECT_EQ(ToU64(info.accessTime), expected);
    EXPECT_EQ(ToU64(info.creationTime), expected);
}

TEST_F(ZipTest, EntryCountSizesAndIndexErrors)
{
    ASSERT_TRUE(BuildZip(archive, {File("one", Pattern(30000, 3)), File("two", "2", 0)}));
    ZipReader reader;
    ZipEntryInfo info;
    EXPECT_EQ(reader.GetEntry(0, &info), kZipBadIndex);  // nothing open
    ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
    EXPECT_EQ(reader.OpenFile(archive.c_str()), kZipBusy);

    ASSERT_EQ(reader.GetEntry(-1, &info), kZipOk);
    EXPECT_EQ(info.index, 2);
    EXPECT_EQ(info.name[0], L'\0');
    EXPECT_EQ(reader.GetEntry(2, &info), kZipBadIndex);
    EXPECT_EQ(reader.GetEntry(-2, &info), kZipBadIndex);
    EXPECT_EQ(reader.ExtractEntry(2, L"x"), kZipBadIndex);
    EXPECT_EQ(reader.ExtractEntry(-1, L"x"), kZipBadIndex);

    // Backwards and forwards, and the cached description again.
    ASSERT_EQ(reader.GetEntry(1, &info), kZipOk);
    EXPECT_STREQ(info.name, L"two");
    EXPECT_EQ(info.uncompressedSize, 1u);
    EXPECT_EQ(info.compressedSize, 1u);
    ASSERT_EQ(reader.GetEntry(0, &info), kZipOk);
    EXPECT_STREQ(info.name, L"one");
    EXPECT_EQ(info.index, 0);
    EXPECT_EQ(info.uncompressedSize, 30000u);
    ASSERT_EQ(reader.GetEntry(0, &info), kZipOk);
    EXPECT_STREQ(info.name, L"one");

    // Extracting the other entry after describing this one writes the right data.
    reader.SetBaseFolder(out.c_str());
    ASSERT_EQ(reader.ExtractEntry(1, L"renamed.txt"), kZipOk);
    EXPECT_EQ(ReadText(out + L"renamed.txt"), "2");
    EXPECT_EQ(reader.Close(), kZipOk);
    EXPECT_EQ(reader.GetEntry(0, &info), kZipBadIndex);
    EXPECT_EQ(reader.OpenFile(archive.c_str()), kZipOk);  // reusable after Close
}

TEST_F(ZipTest, NamesAreCleanedOfDrivesRootsAndInnerParentSteps)
{
    const std::pair<std::string, std::wstring> cases[] = {
        {"C:\\dir\\f1.txt", L"dir\\f1.txt"},
        {"/abs/f2.txt", L"abs/f2.txt"},
        {"\\\\server\\share\\f3.txt", L"server\\share\\f3.txt"},
        {"a/../f4.txt", L"f4.txt"},
        {"a\\b\\..\\f5.txt", L"f5.txt"},
        {"d:/x/../y/f6.txt", L"y/f6.txt"},
        {"name..with.dots...txt", L"name..with.dots...txt"},
        {"a/b/../../../f8.txt", L"f8.txt"},  // each step is cut in turn
    };
    std::vector<EntrySpec> entries;
    for (auto& c : cases) entries.push_back(File(c.first, "ok"));
    ASSERT_TRUE(BuildZip(archive, entries));

    ZipReader reader;
    ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
    for (size_t i = 0; i < entries.size(); ++i) {
        ZipEntryInfo info;
        ASSERT_EQ(reader.GetEntry(int(i), &info), kZipOk) << cases[i].first;
        EXPECT_EQ(std::wstring(info.name), cases[i].second) << cases[i].first;
    }
    reader.Close();

    ASSERT_TRUE(UnzipAll(archive.c_str(), out.c_str()));
    for (auto& c : cases) {
        std::wstring expected = c.second;
        for (auto& ch : expected)
            if (ch == L'/') ch = L'\\';
        EXPECT_EQ(ReadText(out + expected), "ok") << c.first;
    }
}

TEST_F(ZipTest, Utf8FlaggedNamesAreDecodedAsUtf8)
{
    EntrySpec e = File("caf\xc3\xa9/\xe7\x89\x88.txt", "utf8");
    e.flagBase = 0x800;
    ASSERT_TRUE(BuildZip(archive, {e}));
    ASSERT_TRUE(UnzipAll(archive.c_str(), out.c_str()));
    EXPECT_EQ(ReadText(out + L"caf\u00e9\\\u7248.txt"), "utf8");
}

// ---- hostile archives -------------------------------------------------------------------

// Every name here would leave the target folder, name a device, or is otherwise
// unusable; none may be written anywhere.
const char* const kHostileNames[] = {
    "../escape1.txt",
    "..\\escape2.txt",
    "a/../../escape3.txt",
    "/../escape5.txt",
    "\\..\\escape6.txt",
    "C:..\\escape7.txt",
    "C:/../escape8.txt",
    ".. /escape9.txt",
    "../ /escape10.txt",
    "... /escape11.txt",
    "..../escape12.txt",
    ". ./escape13.txt",
    "sub/..",
    "sub/../..",
    "..",
    "\\\\?\\C:\\escape14.txt",
    "\\\\.\\C:\\escape15.txt",
    "//?/UNC/server/share/escape16.txt",
    "\\\\.\\nul",
    "nul",
    "sub/CON.txt",
    "aux",
    "com1.log",
    "LPT9",
    "conout$",
    "file.txt:stream",
    "sub/C:/escape17.txt",
    "bad\x01name.txt",
    "star*.txt",
    "a//double.txt",
};

TEST_F(ZipTest, HostileNamesAreRefusedAndNothingEscapes)
{
    const std::wstring base = scratch / L"base\\";
    std::vector<EntrySpec> entries;
    for (const char* name : kHostileNames) entries.push_back(File(name, "evil"));
    entries.push_back(File(std::string(300, 'n'), "too long"));
    entries.push_back(File("good/kept.txt", "good"));
    ASSERT_TRUE(BuildZip(archive, entries));

    ZipReader reader;
    ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
        ZipEntryInfo info;
        EXPECT_EQ(reader.GetEntry(int(i), &info), kZipCannotOpen) << entries[i].name;
        EXPECT_EQ(info.name[0], L'\0') << entries[i].name;
    }
    reader.Close();

    EXPECT_FALSE(UnzipAll(archive.c_str(), base.c_str()));
    EXPECT_EQ(ReadText(base + L"good\\kept.txt"), "good");
    // Nothing but the base folder and the good entry exists below the scratch folder.
    EXPECT_EQ(ListTree(scratch.path()),
              (std::vector<std::wstring>{L"base\\", L"base\\good\\", L"base\\good\\kept.txt",
                                         L"package.zip"}));
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_FALSE(IsFile(std::wstring(windows).substr(0, 3) + L"escape14.txt"));
}

TEST_F(ZipTest, ExtractEntryChecksTheNameItIsGiven)
{
    ASSERT_TRUE(BuildZip(archive, {File("plain.txt", "plain"), Folder("dir/")}));
    ZipReader reader;
    ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
    reader.SetBaseFolder(out.c_str());
    const wchar_t* refused[] = {L"",
                                L"..\\x.txt",
                                L"a\\..\\..\\x.txt",
                                L"\\rooted.txt",
                                L"C:relative.txt",
                                L"\\\\server\\share\\x.txt",
                                L"\\\\?\\C:\\x.txt",
                                L"nul",
                                L"a\\.\\b.txt"};
    for (const wchar_t* name : refused) {
        EXPECT_EQ(reader.ExtractEntry(0, name), kZipCannotOpen) << name;
        EXPECT_EQ(reader.ExtractEntry(1, name), kZipCannotOpen) << name;
    }
    EXPECT_EQ(reader.ExtractEntry(0, nullptr), kZipCannotOpen);
    EXPECT_FALSE(IsFolder(out));

    // A full path chosen by the caller is honoured.
    const std::wstring absolute = scratch / L"chosen\\place\\plain.txt";
    ASSERT_EQ(reader.ExtractEntry(0, absolute.c_str()), kZipOk);
    EXPECT_EQ(ReadText(absolute), "plain");

    // The joined path must fit in MAX_PATH (with its terminating null).
    std::wstring longName(MAX_PATH - out.size(), L'q');
    EXPECT_EQ(reader.ExtractEntry(0, longName.c_str()), kZipCannotOpen);
    EXPECT_EQ(reader.ExtractEntry(0, longName.substr(1).c_str()), kZipOk);
    EXPECT_EQ(ReadText(out + longName.substr(1)), "plain");
}

// ---- traversal forms -------------------------------------------------------------------

// Every name here tries to leave the target folder, or to reach a device or a stream.
// The target lies five levels below the scratch folder, so an escape of up to five steps
// lands where the listing sees it; the temp folder, the drive root and the host's /tmp
// are searched for the rest. Names marked "tNN" are looked for everywhere.
TEST_F(ZipTest, TraversalFormsNeverLeaveTheTarget)
{
    const std::string longComponent(250, 'L');
    const std::vector<std::string> hostile = {
        "../t01",
        "..\\t02",
        "../../t03",
        "..\\..\\..\\..\\..\\..\\t04",
        "..\\/t05",
        "../\\t06",
        "./../t07",
        "a/./../../t08",
        ".../t09",
        "..../t10",
        ".. /t11",
        "..  /t12",
        " ../t13",
        "..\t/t14",
        ". ./t15",
        "...  ./t16",
        "a/b/../../../../../t17",
        "a/../..\\t18",
        "a\\../..\\t19",
        "a/..\\../t20",
        "a\\..//../t21",
        "a/../../../t22/x",
        "a/.. /../t23",
        "C:\\..\\t24",
        "C:../t25",
        "C:..\\..\\t26",
        "C:x/../../t27",
        "c:/c:/../t28",
        "\\\\?\\C:\\t29",
        "\\\\?\\UNC\\localhost\\c$\\t30",
        "\\??\\C:\\t31",
        "//./C:/t32",
        "\\\\.\\GLOBALROOT\\t33",
        "\\\\localhost\\C$\\t34",
        "//127.0.0.1/c$/t35",
        "Z:/tmp/t36",
        "Z:\\..\\..\\t37",
        "\\..\\..\\t38",
        "///../t39",
        "/\\/../t40",
        "CON",
        "con.txt",
        "a/NUL.log",
        "PRN.",
        "AUX ",
        "nul .txt",
        "COM1",
        "com9.x",
        "LPT1",
        "lpt5.tar.gz",
        "COM\xb9",
        "CONIN$",
        "conout$.txt",
        "CLOCK$",
        "t41:s",
        "dir/t42::$DATA",
        "t43.txt:$DATA",
        "a/b:c/t44",
        "t45?",
        "t46*",
        "t47<",
        "t48>",
        "t49|",
        "t50\"",
        "a/" + longComponent + "/" + longComponent,
        std::string(259, 'n'),
        "x/../..",
        "x/../../",
        "C:..",
        "/..",
        "\\..",
        "..",
        "../",
        "...",
        ".",
        "./",
        "a/..",
        "a/.",
        "a//b",
        "a\\\\b",
    };
    // UTF-8 names, overlong forms of "." and "/" among them.
    const std::vector<std::string> utf8 = {"\xc0\xae\xc0\xae/t51", "\xc0\xae\xc0\xae\xc0\xaft52",
                                           "a/\xc0\xae\xc0\xae/\xc0\xae\xc0\xae/t53",
                                           "\xef\xbc\x8e\xef\xbc\x8e/t54"};
    std::vector<EntrySpec> entries;
    for (const std::string& name : hostile) entries.push_back(File(name, "evil"));
    for (const std::string& name : utf8) {
        entries.push_back(File(name, "evil"));
        entries.back().flagBase = 0x800;
    }
    entries.push_back(File("inside/kept.txt", "good"));
    ASSERT_TRUE(BuildZip(archive, entries));

    const std::wstring inner = L"d1\\d2\\d3\\d4\\";
    const std::wstring base = scratch / (inner + L"base\\");
    CreateEntryFolders(scratch.path().c_str(), inner.c_str());
    EXPECT_FALSE(UnzipAll(archive.c_str(), base.c_str()));
    EXPECT_EQ(ReadText(base + L"inside\\kept.txt"), "good");

    // Only the package and the folders down to the target exist outside it, and no
    // temporary file was left anywhere.
    for (const std::wstring& path : ListTree(scratch.path())) {
        const bool inside = path.compare(0, inner.size() + 5, inner + L"base\\") == 0;
        const bool allowed =
            inside || path == L"package.zip" || inner.compare(0, path.size(), path) == 0;
        EXPECT_TRUE(allowed) << "escaped: " << std::string(path.begin(), path.end());
        EXPECT_EQ(path.find(L".part"), std::wstring::npos);
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (int n = 1; n <= 54; ++n) {
        wchar_t marker[8];
        swprintf(marker, 8, L"t%02d", n);
        for (const std::wstring& folder : {std::wstring(temp), std::wstring(temp).substr(0, 3),
                                           std::wstring(L"Z:\\tmp\\"), std::wstring(L"Z:\\")})
            EXPECT_FALSE(IsFile(folder + marker)) << std::string(folder.begin(), folder.end()) << n;
    }

    // Names that cleaning cannot make safe are given to no one.
    ZipReader reader;
    ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
    for (size_t i = 0; i < entries.size(); ++i) {
        ZipEntryInfo info;
        const DWORD result = reader.GetEntry(int(i), &info);
        ASSERT_TRUE(result == kZipOk || result == kZipCannotOpen) << i;
        if (result == kZipCannotOpen) {
            EXPECT_EQ(info.name[0], L'\0') << i;
        }
    }
}

// An archive whose first entry's bytes are changed after writing.
class DamagedZipTest : public ZipTest
{
protected:
    std::string payload = Pattern(100000, 7);
    std::vector<unsigned char> bytes;

    void Build(int method)
    {
        ASSERT_TRUE(BuildZip(archive,
                             {File("installer.exe", payload, method), File("readme.txt", "fine")}));
        bytes = ReadBytes(archive);
        ASSERT_EQ(FindSignatures(bytes, kLocalHeader).size(), 2u);
        ASSERT_EQ(FindSignatures(bytes, kCentralHeader).size(), 2u);
    }
    // Sets a 32-bit field in the first entry's local and central header.
    void PatchFirstEntry(size_t localOffset, size_t centralOffset, uint32_t value)
    {
        Put32(bytes, FindSignatures(bytes, kLocalHeader)[0] + localOffset, value);
        Put32(bytes, FindSignatures(bytes, kCentralHeader)[0] + centralOffset, value);
        ASSERT_TRUE(WriteBytes(archive, bytes));
    }
    void ExpectOnlyReadme()
    {
        EXPECT_EQ(ListTree(out), (std::vector<std::wstring>{L"readme.txt"}));
        EXPECT_EQ(ReadText(out + L"readme.txt"), "fine");
    }
};

TEST_F(DamagedZipTest, CrcMismatchLeavesNoFileAndKeepsTheOldOne)
{
    for (int method : {0, 8}) {
        SCOPED_TRACE(method);
        RemoveTree(out);
        Build(method);
        PatchFirstEntry(14, 16, 0x12345678);
        EXPECT_FALSE(UnzipAll(archive.c_str(), out.c_str()));
        ExpectOnlyReadme();

        // An older copy already in place stays untouched.
        ASSERT_TRUE(WriteBytes(out + L"installer.exe", {'o', 'l', 'd'}));
        EXPECT_FALSE(UnzipAll(archive.c_str(), out.c_str()));
        EXPECT_EQ(ReadText(out + L"installer.exe"), "old");
    }
}

TEST_F(DamagedZipTest, EntryDeclaringAHugeSizeFails)
{
    for (int method : {0, 8}) {
        SCOPED_TRACE(method);
        RemoveTree(out);
        Build(method);
        PatchFirstEntry(22, 24, 0xFFFFFF00u);  // uncompressed size
        ZipReader reader;
        ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
        ZipEntryInfo info;
        ASSERT_EQ(reader.GetEntry(0, &info), kZipOk);
        EXPECT_EQ(info.uncompressedSize, 0xFFFFFF00u);
        reader.Close();
        EXPECT_FALSE(UnzipAll(archive.c_str(), out.c_str()));
        ExpectOnlyReadme();
    }
}

TEST_F(DamagedZipTest, CorruptDataAndHeadersFail)
{
    // Deflated data overwritten in the middle.
    Build(8);
    size_t local = FindSignatures(bytes, kLocalHeader)[0];
    for (size_t i = 0; i < 64; ++i) bytes[local + 30 + 13 + 500 + i] ^= 0x5A;
    ASSERT_TRUE(WriteBytes(archive, bytes));
    EXPECT_FALSE(UnzipAll(archive.c_str(), out.c_str()));
    ExpectOnlyReadme();

    // The local header's signature destroyed: the directory no longer agrees with it.
    RemoveTree(out);
    Build(8);
    Put32(bytes, FindSignatures(bytes, kLocalHeader)[0], 0x11111111);
    ASSERT_TRUE(WriteBytes(archive, bytes));
    {
        ZipReader reader;
        ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
        ZipEntryInfo info;
        EXPECT_EQ(reader.GetEntry(0, &info), kZipBadLocalHeader);
    }
    EXPECT_FALSE(UnzipAll(archive.c_str(), out.c_str()));
    ExpectOnlyReadme();

    // The second central directory record destroyed: the first entry is still unpacked,
    // the walk to the second fails.
    RemoveTree(out);
    Build(8);
    Put32(bytes, FindSignatures(bytes, kCentralHeader)[1], 0x22222222);
    ASSERT_TRUE(WriteBytes(archive, bytes));
    EXPECT_FALSE(UnzipAll(archive.c_str(), out.c_str()));
    EXPECT_TRUE(ReadText(out + L"installer.exe") == payload);
    EXPECT_FALSE(IsFile(out + L"readme.txt"));

    // The end-of-directory record pointing past the file: the archive does not open.
    RemoveTree(out);
    Build(8);
    Put32(bytes, FindSignatures(bytes, kEndOfDirectory).back() + 16, 0x7FFFFFF0);
    ASSERT_TRUE(WriteBytes(archive, bytes));
    EXPECT_FALSE(UnzipAll(archive.c_str(), out.c_str()));
    EXPECT_FALSE(IsFolder(out));
}

TEST_F(DamagedZipTest, TruncatedArchiveWritesNothing)
{
    Build(8);
    for (size_t keep : {bytes.size() - 10, bytes.size() / 2, size_t(100), size_t(0)}) {
        SCOPED_TRACE(keep);
        std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + keep);
        ASSERT_TRUE(WriteBytes(archive, cut));
        EXPECT_FALSE(UnzipAll(archive.c_str(), out.c_str()));
        EXPECT_FALSE(IsFolder(out));
    }
}

TEST_F(ZipTest, EncryptedEntriesAreRefused)
{
    EntrySpec secret = File("secret.txt", "hidden text");
    secret.password = "pw";
    ASSERT_TRUE(BuildZip(archive, {secret, File("open.txt", "open")}));
    ZipReader reader;
    ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
    reader.SetBaseFolder(out.c_str());
    EXPECT_EQ(reader.ExtractEntry(0, L"secret.txt"), kZipPassword);
    reader.Close();
    EXPECT_FALSE(UnzipAll(archive.c_str(), out.c_str()));
    EXPECT_EQ(ListTree(out), (std::vector<std::wstring>{L"open.txt"}));
}

// A reader whose disk fills up after the first block.
class FailingWriter : public ZipReader
{
protected:
    bool WriteData(HANDLE file, const void* data, DWORD size) override
    {
        if (++writes > 1) return false;
        return ZipReader::WriteData(file, data, size);
    }

public:
    int writes = 0;
};

TEST_F(ZipTest, WriteErrorLeavesNoPartialFile)
{
    ASSERT_TRUE(BuildZip(archive, {File("big.bin", Pattern(100000, 9))}));
    FailingWriter reader;
    ASSERT_EQ(reader.OpenFile(archive.c_str()), kZipOk);
    reader.SetBaseFolder(out.c_str());
    EXPECT_EQ(reader.ExtractEntry(0, L"big.bin"), kZipWriteFailed);
    EXPECT_EQ(reader.writes, 2);
    EXPECT_EQ(ListTree(out), std::vector<std::wstring>{});
}

TEST(CreateEntryFolders, CreatesBaseAndEveryLevel)
{
    ScratchFolder scratch;
    const std::wstring base = scratch / L"base\\";
    CreateEntryFolders(base.c_str(), L"one\\two/three\\");
    EXPECT_TRUE(IsFolder(base + L"one\\two\\three"));
    CreateEntryFolders(nullptr, (scratch / L"abs\\olute").c_str());
    EXPECT_TRUE(IsFolder(scratch / L"abs\\olute"));
    CreateEntryFolders(base.c_str(), L"");  // nothing to do, no failure
}

}  // namespace
