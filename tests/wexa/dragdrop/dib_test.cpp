// Dropped pictures come from other processes: a packed DIB is checked against
// its block before GDI reads it, a metafile's bounds are clamped, a file list
// must end inside its block.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <vector>

#include "DibBuilders.h"
#include "DropImage.h"

using namespace WEXA;
using namespace dibtest;

namespace {

TEST(PackedDib, SoundDibsPassAndTheBitsFollowTheTable)
{
    SIZE_T offset = 0;
    auto dib8 = InfoDib(3, 2, 8);
    EXPECT_TRUE(CheckPackedDib(dib8.data(), dib8.size(), &offset));
    EXPECT_EQ(offset, 40u + 256 * 4);
    auto dib8used = InfoDib(3, 2, 8, BI_RGB, 2);
    EXPECT_TRUE(CheckPackedDib(dib8used.data(), dib8used.size(), &offset));
    EXPECT_EQ(offset, 40u + 2 * 4);
    auto dib24 = InfoDib(5, -4, 24);  // top-down
    EXPECT_TRUE(CheckPackedDib(dib24.data(), dib24.size(), &offset));
    EXPECT_EQ(offset, 40u);
    auto fields = InfoDib(4, 4, 32, BI_BITFIELDS);
    EXPECT_TRUE(CheckPackedDib(fields.data(), fields.size(), &offset));
    EXPECT_EQ(offset, 40u + 12);
    // A V5 header carries its masks inside: nothing follows it.
    auto v5 = InfoDib(4, 4, 32, BI_BITFIELDS, 0, sizeof(BITMAPV5HEADER));
    EXPECT_TRUE(CheckPackedDib(v5.data(), v5.size(), &offset));
    EXPECT_EQ(offset, sizeof(BITMAPV5HEADER));
    auto core = CoreDib(7, 3, 4);
    EXPECT_TRUE(CheckPackedDib(core.data(), core.size(), &offset));
    EXPECT_EQ(offset, 12u + 16 * 3);
}

TEST(PackedDib, BitmapFromASoundDibHasItsSizeAndColours)
{
    HGLOBAL g = ToGlobal(InfoDib(3, 2, 8));
    HBITMAP bmp = BitmapFromPackedDib(g);
    GlobalFree(g);
    ASSERT_NE(bmp, nullptr);
    BITMAP b = {};
    GetObjectW(bmp, sizeof(b), &b);
    EXPECT_EQ(b.bmWidth, 3);
    EXPECT_EQ(b.bmHeight, 2);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    EXPECT_EQ(GetPixel(mem, 1, 1), RGB(255, 0, 0));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);

    HGLOBAL v5 = ToGlobal(InfoDib(4, 4, 32, BI_BITFIELDS, 0, sizeof(BITMAPV5HEADER)));
    HBITMAP bmp5 = BitmapFromPackedDib(v5);
    GlobalFree(v5);
    ASSERT_NE(bmp5, nullptr);
    DeleteObject(bmp5);
}

// The bytes of a block placed so that its last byte is the last readable
// byte: the page after it cannot be read, so any read past the block faults.
class GuardedBlock
{
public:
    explicit GuardedBlock(const std::vector<BYTE>& bytes)
    {
        SYSTEM_INFO si = {};
        GetSystemInfo(&si);
        const SIZE_T page = si.dwPageSize;
        const SIZE_T body = (bytes.size() + page - 1) / page * page + page;
        base_ = static_cast<BYTE*>(
            VirtualAlloc(nullptr, body + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + body, page, PAGE_NOACCESS, &old);
        data_ = base_ + body - bytes.size();
        if (!bytes.empty()) memcpy(data_, bytes.data(), bytes.size());
        size_ = bytes.size();
    }
    ~GuardedBlock() { VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBlock(const GuardedBlock&) = delete;
    GuardedBlock& operator=(const GuardedBlock&) = delete;
    const BYTE* data() const { return data_; }
    SIZE_T size() const { return size_; }

private:
    BYTE* base_ = nullptr;
    BYTE* data_ = nullptr;
    SIZE_T size_ = 0;
};

struct Hostile
{
    const char* name;
    std::function<std::vector<BYTE>()> make;
};

class HostileDib : public ::testing::TestWithParam<Hostile>
{};

TEST_P(HostileDib, IsRefusedWithoutBeingRead)
{
    std::vector<BYTE> bytes = GetParam().make();
    {
        // Nothing past the block is looked at, even to refuse it.
        GuardedBlock block(bytes);
        EXPECT_FALSE(CheckPackedDib(block.data(), block.size(), nullptr));
        EXPECT_EQ(BitmapFromPackedDib(block.data(), block.size()), nullptr);
    }
    HGLOBAL g = ToGlobal(bytes);
    EXPECT_EQ(BitmapFromPackedDib(g), nullptr);
    GlobalFree(g);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileDib,
    ::testing::Values(
        Hostile{"Empty", [] { return std::vector<BYTE>(); }},
        Hostile{"ShorterThanTheSizeField", [] { return std::vector<BYTE>(3, 40); }},
        Hostile{"HeaderLongerThanBlock",
                [] {
                    auto d = InfoDib(2, 2, 24);
                    d.resize(30);
                    return d;
                }},
        Hostile{"TruncatedBits",
                [] {
                    auto d = InfoDib(64, 64, 24);
                    d.resize(d.size() - 1);
                    return d;
                }},
        Hostile{"TruncatedColourTable",
                [] {
                    auto d = InfoDib(2, 2, 8);
                    d.resize(40 + 100);
                    return d;
                }},
        Hostile{"TruncatedMasks",
                [] {
                    auto d = InfoDib(1, 1, 32, BI_BITFIELDS);
                    d.resize(44);
                    return d;
                }},
        Hostile{"HugeWidth",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 4, 0x7FFFFFFF);
                    return d;
                }},
        Hostile{"HugeHeight",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 8, 0x40000000);
                    return d;
                }},
        Hostile{"MostNegativeHeight",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 8, LONG(0x80000000));
                    return d;
                }},
        Hostile{"WrappingArea",
                [] {
                    // 65536 x 65536 x 32 bits wraps a 32-bit size computation to 0.
                    auto d = InfoDib(4, 4, 32);
                    Patch(d, 4, 65536);
                    Patch(d, 8, 65536);
                    return d;
                }},
        Hostile{"TooManyPixelsForTheLimit",
                [] {
                    auto d = InfoDib(1, 1, 1);
                    Patch(d, 4, 16384);
                    Patch(d, 8, 16384);
                    d.resize(d.size() + 16384 / 8 * 16384);
                    return d;
                }},
        Hostile{"NegativeWidth",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 4, -4);
                    return d;
                }},
        Hostile{"ZeroWidth",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 4, 0);
                    return d;
                }},
        Hostile{"ZeroHeight",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 8, 0);
                    return d;
                }},
        Hostile{"NegativeColourCount",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 32, -1);
                    return d;
                }},
        Hostile{"HugeColourCount",
                [] {
                    auto d = InfoDib(4, 4, 32);
                    Patch(d, 32, 0x40000000);
                    return d;
                }},
        Hostile{"MoreColoursThanTheDepth",
                [] {
                    auto d = InfoDib(4, 4, 4, BI_RGB, 16);
                    Patch(d, 32, 17);
                    d.resize(d.size() + 4);
                    return d;
                }},
        Hostile{"NegativeHeaderSize",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 0, -40);
                    return d;
                }},
        Hostile{"HeaderSize0",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 0, 0);
                    return d;
                }},
        Hostile{"HeaderSize41",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 0, 41);
                    return d;
                }},
        Hostile{"HeaderSize64",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    d.resize(d.size() + 24);
                    Patch(d, 0, 64);
                    return d;
                }},
        Hostile{"ZeroBitCount",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    PatchWord(d, 14, 0);
                    return d;
                }},
        Hostile{"OddBitCount",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    PatchWord(d, 14, 7);
                    return d;
                }},
        Hostile{"TwoPlanes",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    PatchWord(d, 12, 2);
                    return d;
                }},
        Hostile{"RunLengthCompressed",
                [] {
                    auto d = InfoDib(4, 4, 8);
                    Patch(d, 16, BI_RLE8);
                    return d;
                }},
        Hostile{"PngInside",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 16, BI_PNG);
                    PatchWord(d, 14, 0);
                    return d;
                }},
        Hostile{"BitFieldsAt24Bits", [] { return InfoDib(4, 4, 24, BI_BITFIELDS); }},
        Hostile{"CoreTruncated",
                [] {
                    auto d = CoreDib(8, 8, 8);
                    d.resize(d.size() - 1);
                    return d;
                }},
        Hostile{"CoreSixteenBits",
                [] {
                    auto d = CoreDib(8, 8, 24);
                    PatchWord(d, 10, 16);
                    return d;
                }},
        Hostile{"CoreZeroWidth",
                [] {
                    auto d = CoreDib(8, 8, 24);
                    PatchWord(d, 4, 0);
                    return d;
                }},
        Hostile{"HugeColourCount8",
                [] {
                    auto d = InfoDib(4, 4, 8);
                    Patch(d, 32, -1);
                    return d;
                }},
        Hostile{"HugeColourCount1",
                [] {
                    auto d = InfoDib(4, 4, 1);
                    Patch(d, 32, 3);
                    return d;
                }},
        Hostile{"HugeColourCountTrueColour",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 32, 0x3FFFFFFF);
                    return d;
                }},
        Hostile{"FieldsHeader52Truncated",
                [] {
                    auto d = InfoDib(2, 2, 32, BI_BITFIELDS, 0, 52);
                    d.resize(51);
                    return d;
                }},
        Hostile{"FieldsHeader124Truncated",
                [] {
                    auto d = InfoDib(2, 2, 32, BI_BITFIELDS, 0, 124);
                    d.resize(100);
                    return d;
                }},
        Hostile{"FieldsAt8Bits", [] { return InfoDib(4, 4, 8, BI_BITFIELDS); }},
        Hostile{"FieldsAt24BitsHeader108", [] { return InfoDib(4, 4, 24, BI_BITFIELDS, 0, 108); }},
        Hostile{"AlphaFields", [] { return InfoDib(4, 4, 32, 6 /* alpha bit fields */, 0, 124); }},
        Hostile{"RunLength4", [] { return InfoDib(4, 4, 4, BI_RLE4); }},
        Hostile{"RunLength8Header124", [] { return InfoDib(4, 4, 8, BI_RLE8, 0, 124); }},
        Hostile{"RunLength8TopDown", [] { return InfoDib(4, -4, 8, BI_RLE8); }},
        Hostile{"JpegInside",
                [] {
                    auto d = InfoDib(4, 4, 24);
                    Patch(d, 16, BI_JPEG);
                    return d;
                }},
        Hostile{"WidthTimesDepthWraps",
                [] {
                    // 2^27 pixels of 32 bits: a 32-bit stride computation wraps to 0.
                    auto d = InfoDib(4, 1, 32);
                    Patch(d, 4, 0x08000000);
                    return d;
                }}),
    [](const ::testing::TestParamInfo<Hostile>& info) { return std::string(info.param.name); });

std::vector<BYTE> WithMasks16(std::vector<BYTE> d)
{
    Patch(d, 40, 0x7C00);
    Patch(d, 44, 0x03E0);
    Patch(d, 48, 0x001F);
    return d;
}

struct TightDib
{
    const char* name;
    std::function<std::vector<BYTE>()> make;
    int width, height;
    COLORREF pixel;  // at (1, 0); CLR_INVALID: not compared
};

class TightDibs : public ::testing::TestWithParam<TightDib>
{};

// Every accepted layout is made into a bitmap reading nothing past the block
// (a read there faults, or makes GDI give up and return no bitmap), and the
// same block one byte shorter is refused.
TEST_P(TightDibs, AreReadOnlyInsideTheirBlock)
{
    const TightDib& c = GetParam();
    const std::vector<BYTE> bytes = c.make();
    {
        GuardedBlock block(bytes);
        ASSERT_TRUE(CheckPackedDib(block.data(), block.size(), nullptr));
        HBITMAP bmp = BitmapFromPackedDib(block.data(), block.size());
        ASSERT_NE(bmp, nullptr);
        BITMAP b = {};
        GetObjectW(bmp, sizeof(b), &b);
        EXPECT_EQ(b.bmWidth, c.width);
        EXPECT_EQ(b.bmHeight, c.height);
        if (c.pixel != CLR_INVALID) {
            HDC mem = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(mem, bmp);
            EXPECT_EQ(GetPixel(mem, 1, 0), c.pixel);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
        DeleteObject(bmp);
    }
    std::vector<BYTE> shorter(bytes.begin(), bytes.end() - 1);
    GuardedBlock block(shorter);
    EXPECT_FALSE(CheckPackedDib(block.data(), block.size(), nullptr));
    EXPECT_EQ(BitmapFromPackedDib(block.data(), block.size()), nullptr);
}

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGrey = RGB(0x7F, 0x7F, 0x7F);
const COLORREF kAny = CLR_INVALID;

INSTANTIATE_TEST_SUITE_P(
    Table, TightDibs,
    ::testing::Values(
        // Bit fields: the masks follow a 40-byte header, and sit inside the larger ones.
        TightDib{"Fields32Header40", [] { return InfoDib(3, 2, 32, BI_BITFIELDS); }, 3, 2, kGrey},
        TightDib{"Fields32Header52", [] { return InfoDib(3, 2, 32, BI_BITFIELDS, 0, 52); }, 3, 2,
                 kGrey},
        TightDib{"Fields32Header56", [] { return InfoDib(3, 2, 32, BI_BITFIELDS, 0, 56); }, 3, 2,
                 kGrey},
        TightDib{"Fields32Header108", [] { return InfoDib(3, 2, 32, BI_BITFIELDS, 0, 108); }, 3, 2,
                 kGrey},
        TightDib{"Fields32Header124", [] { return InfoDib(3, 2, 32, BI_BITFIELDS, 0, 124); }, 3, 2,
                 kGrey},
        TightDib{"Fields16Header40", [] { return WithMasks16(InfoDib(5, 3, 16, BI_BITFIELDS)); }, 5,
                 3, kAny},
        TightDib{"Fields16Header52",
                 [] { return WithMasks16(InfoDib(5, 3, 16, BI_BITFIELDS, 0, 52)); }, 5, 3, kAny},
        TightDib{"Fields16Header124",
                 [] { return WithMasks16(InfoDib(5, 3, 16, BI_BITFIELDS, 0, 124)); }, 5, 3, kAny},
        // A colour table after the masks (biClrUsed with bit fields).
        TightDib{"Fields32WithTable",
                 [] {
                     auto d = InfoDib(3, 2, 32, BI_RGB, 4);
                     Patch(d, 16, BI_BITFIELDS);
                     std::vector<BYTE> m(12);
                     DWORD masks[3] = {0xFF0000, 0xFF00, 0xFF};
                     memcpy(m.data(), masks, 12);
                     d.insert(d.begin() + 40, m.begin(), m.end());
                     return d;
                 },
                 3, 2, kGrey},
        // Palettes: full, short (biClrUsed), after larger headers, core triples.
        TightDib{"Palette8Full", [] { return InfoDib(3, 2, 8); }, 3, 2, kRed},
        TightDib{"Palette8Short", [] { return InfoDib(3, 2, 8, BI_RGB, 2); }, 3, 2, kRed},
        TightDib{"Palette8Header124", [] { return InfoDib(3, 2, 8, BI_RGB, 0, 124); }, 3, 2, kRed},
        TightDib{"Palette8Header52", [] { return InfoDib(3, 2, 8, BI_RGB, 2, 52); }, 3, 2, kRed},
        TightDib{"Palette4Full", [] { return InfoDib(9, 3, 4); }, 9, 3, kAny},
        TightDib{"Palette4One", [] { return InfoDib(9, 3, 4, BI_RGB, 1); }, 9, 3, kAny},
        TightDib{"Palette1Full", [] { return InfoDib(33, 2, 1); }, 33, 2, kAny},
        TightDib{"Palette1One", [] { return InfoDib(33, 2, 1, BI_RGB, 1); }, 33, 2, kAny},
        TightDib{"Core1", [] { return CoreDib(17, 2, 1); }, 17, 2, kAny},
        TightDib{"Core4", [] { return CoreDib(7, 3, 4); }, 7, 3, kAny},
        TightDib{"Core8", [] { return CoreDib(5, 3, 8); }, 5, 3, kAny},
        TightDib{"Core24", [] { return CoreDib(5, 3, 24); }, 5, 3, kAny},
        // Uncompressed true colour, bottom-up and top-down, odd widths (row padding).
        TightDib{"Rgb24Odd", [] { return InfoDib(5, 3, 24); }, 5, 3, kGrey},
        TightDib{"Rgb24TopDown", [] { return InfoDib(5, -3, 24); }, 5, 3, kGrey},
        TightDib{"Rgb16", [] { return InfoDib(3, 3, 16); }, 3, 3, kAny},
        TightDib{"Rgb32Header108", [] { return InfoDib(3, 2, 32, BI_RGB, 0, 108); }, 3, 2, kGrey},
        // A table given for a true-colour picture is skipped.
        TightDib{"Rgb24WithTable",
                 [] {
                     auto d = InfoDib(5, 3, 24);
                     Patch(d, 32, 3);
                     d.insert(d.begin() + 40, 12, 0);
                     return d;
                 },
                 5, 3, kGrey},
        // The image size field is not believed, whatever it says.
        TightDib{"ImageSizeTooSmall",
                 [] {
                     auto d = InfoDib(5, 3, 24);
                     Patch(d, 20, 1);
                     return d;
                 },
                 5, 3, kGrey},
        TightDib{"ImageSizeHuge",
                 [] {
                     auto d = InfoDib(5, 3, 24);
                     Patch(d, 20, 0x7FFFFFFF);
                     return d;
                 },
                 5, 3, kGrey}),
    [](const ::testing::TestParamInfo<TightDib>& info) { return std::string(info.param.name); });

TEST(DroppedMetafile, BoundsAreClampedBeforeTheBitmapIsMade)
{
    // A metafile drawn at (0,0)-(20,10) becomes a bitmap of that size.
    HDC rec = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    Rectangle(rec, 0, 0, 20, 10);
    HENHMETAFILE small = CloseEnhMetaFile(rec);
    HBITMAP bmp = BitmapFromEnhMetaFile(small, nullptr);
    ASSERT_NE(bmp, nullptr);
    BITMAP b = {};
    GetObjectW(bmp, sizeof(b), &b);
    ENHMETAHEADER h = {};
    GetEnhMetaFileHeader(small, sizeof(h), &h);
    EXPECT_EQ(b.bmWidth, h.rclBounds.right);
    EXPECT_EQ(b.bmHeight, h.rclBounds.bottom);
    DeleteObject(bmp);
    DeleteEnhMetaFile(small);

    // Far-away bounds: clamped, not a gigantic bitmap.
    rec = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    MoveToEx(rec, 1000000, 1000000, nullptr);
    LineTo(rec, 1000010, 1000010);
    HENHMETAFILE distant = CloseEnhMetaFile(rec);
    bmp = BitmapFromEnhMetaFile(distant, nullptr);
    ASSERT_NE(bmp, nullptr);
    GetObjectW(bmp, sizeof(b), &b);
    EXPECT_LE(b.bmWidth, kDropMetafileMaxSide);
    EXPECT_LE(b.bmHeight, kDropMetafileMaxSide);
    DeleteObject(bmp);
    DeleteEnhMetaFile(distant);

    // Bounds left of and above the origin: at least one pixel.
    rec = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    MoveToEx(rec, -50, -50, nullptr);
    LineTo(rec, -40, -40);
    HENHMETAFILE negative = CloseEnhMetaFile(rec);
    bmp = BitmapFromEnhMetaFile(negative, nullptr);
    ASSERT_NE(bmp, nullptr);
    GetObjectW(bmp, sizeof(b), &b);
    EXPECT_EQ(b.bmWidth, 1);
    EXPECT_EQ(b.bmHeight, 1);
    DeleteObject(bmp);
    DeleteEnhMetaFile(negative);

    EXPECT_EQ(BitmapFromEnhMetaFile(nullptr, nullptr), nullptr);
}

HGLOBAL FileList(const std::wstring& names, bool wide = true, DWORD pFiles = sizeof(DROPFILES),
                 size_t cut = 0)
{
    std::vector<BYTE> bytes(sizeof(DROPFILES));
    DROPFILES df = {};
    df.pFiles = pFiles;
    df.fWide = wide;
    memcpy(bytes.data(), &df, sizeof(df));
    const BYTE* p = reinterpret_cast<const BYTE*>(names.c_str());
    bytes.insert(bytes.end(), p, p + (names.size() + 1) * sizeof(wchar_t));
    if (cut) bytes.resize(bytes.size() - cut);
    return ToGlobal(bytes);
}

TEST(DroppedFiles, FirstNameOfAWellFormedList)
{
    std::wstring names = std::wstring(L"C:\\a.bmp") + L'\0' + L"C:\\b.bmp" + L'\0';
    HGLOBAL g = FileList(names);
    wchar_t name[520];
    EXPECT_TRUE(FirstDroppedFile(g, name, 520));
    EXPECT_STREQ(name, L"C:\\a.bmp");
    GlobalFree(g);
}

TEST(DroppedFiles, MalformedListsAreRefused)
{
    wchar_t name[520];
    std::wstring one = std::wstring(L"C:\\a.bmp") + L'\0';
    HGLOBAL unterminated = FileList(one, true, sizeof(DROPFILES), 2 * sizeof(wchar_t));
    EXPECT_FALSE(FirstDroppedFile(unterminated, name, 520));
    GlobalFree(unterminated);
    HGLOBAL outside = FileList(one, true, 0x7FFFFFF0);
    EXPECT_FALSE(FirstDroppedFile(outside, name, 520));
    GlobalFree(outside);
    HGLOBAL insideHeader = FileList(one, true, 4);
    EXPECT_FALSE(FirstDroppedFile(insideHeader, name, 520));
    GlobalFree(insideHeader);
    HGLOBAL empty = FileList(std::wstring());
    EXPECT_FALSE(FirstDroppedFile(empty, name, 520));
    GlobalFree(empty);
    HGLOBAL tiny = ToGlobal(std::vector<BYTE>(6, 0));
    EXPECT_FALSE(FirstDroppedFile(tiny, name, 520));
    GlobalFree(tiny);
}

}  // namespace
