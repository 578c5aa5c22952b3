// The engine's image cache (skin files, program and library resources) and
// its private fonts, and how MControlFont uses them.
#include <string>

#include "EngineFixture.h"
#include "MControlFont.h"
#include "Manager.h"

using enginetest::EngineTest;

namespace {

const wchar_t kTheme[] = L"wexa2-engine-test\\";

std::wstring SourceFile(const char* name)
{
    std::string path = std::string("Z:") + TEST_SOURCE_DIR + "/" + name;
    for (char& c : path)
        if (c == '/') c = '\\';
    return std::wstring(path.begin(), path.end());
}

// A skin folder of our own below the executable's "skins" folder, holding the
// test images; the theme is restored afterwards.
class SkinFolder
{
public:
    SkinFolder()
    {
        saved_ = WEXA::Manager::GetThemeSkins();
        WEXA::Manager::SetThemeSkins(kTheme);
        const CString skins = WEXA::GetAppPath() + L"skins\\";
        CreateDirectoryW(skins, nullptr);
        CreateDirectoryW(WEXA::GetSkinsPath(), nullptr);
        Copy("strip.png");
        Copy("tile.png");
    }
    ~SkinFolder() { WEXA::Manager::SetThemeSkins(saved_); }

private:
    static void Copy(const char* name)
    {
        const std::wstring target = std::wstring(WEXA::GetSkinsPath().GetString()) +
                                    std::wstring(name, name + strlen(name));
        CopyFileW(SourceFile(name).c_str(), target.c_str(), FALSE);
    }
    CString saved_;
};

class Label : public WEXA::MControlFont
{
public:
    Label(WEXA::MObject* owner) : MControlFont(owner, 5, CRect(0, 0, 80, 20), L"", 1, 1, 1) {}
    void DrawControl(HDC&, CRect) override {}
};

std::wstring FamilyName(Gdiplus::FontFamily* family)
{
    WCHAR name[LF_FACESIZE] = {};
    if (!family || family->GetFamilyName(name) != Gdiplus::Ok) return L"";
    return name;
}

}  // namespace

TEST_F(EngineTest, SkinImagesLoadOncePerPathAndFrameCount)
{
    SkinFolder skins;
    WEXA::ImgResInfo* four = engine->AddImgResInfo(L"strip.png", 4);
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(four->nWidth, 25);
    EXPECT_EQ(four->nHeight, 10);
    EXPECT_EQ(four->nCount, 4);
    EXPECT_STREQ(four->strName, L"strip.png");
    EXPECT_EQ(four->nResID, 0u);
    EXPECT_EQ(engine->AddImgResInfo(L"strip.png", 4), four);

    // Another frame count gets a record of its own; the first stays valid.
    WEXA::ImgResInfo* three = engine->AddImgResInfo(L"strip.png", 3);
    ASSERT_NE(three, nullptr);
    EXPECT_NE(three, four);
    EXPECT_EQ(three->nWidth, 33);
    EXPECT_EQ(four->nWidth, 25);

    // Frame counts below 1 count as 1.
    WEXA::ImgResInfo* whole = engine->AddImgResInfo(L"strip.png", 0);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->nWidth, 100);
    EXPECT_EQ(engine->AddImgResInfo(L"strip.png", -5), whole);

    EXPECT_EQ(engine->AddImgResInfo(L"missing.png", 1), nullptr);
    EXPECT_EQ(engine->AddImgResInfo(L"missing.png", 1), nullptr);
    EXPECT_EQ(engine->AddImgResInfo(static_cast<const wchar_t*>(nullptr), 1), nullptr);
    EXPECT_EQ(engine->m_imgByPath.size(), 3u);
    engine->ClearImgResInfo();
    EXPECT_TRUE(engine->m_imgByPath.empty());
}

TEST_F(EngineTest, ResourceImagesComeFromTheirModule)
{
    // The library's own resources: the default scroll-bar images.
    WEXA::ImgResInfo* vertical = engine->AddImgResInfo(102, CString(L"PNG"), 3, 0);
    ASSERT_NE(vertical, nullptr);
    EXPECT_EQ(vertical->nResID, 102u);
    EXPECT_EQ(vertical->nWidth, static_cast<int>(vertical->pImage->GetWidth()) / 3);
    // Same id again, other frame count: the first record.
    EXPECT_EQ(engine->AddImgResInfo(102, CString(L"PNG"), 1, 0), vertical);
    EXPECT_NE(engine->AddImgResInfo(101, CString(L"PNG"), 4, 0), nullptr);
    // The program has no resource 102: the caches are separate.
    EXPECT_EQ(engine->AddImgResInfo(102, CString(L"PNG"), 3, 1), nullptr);

    WEXA::ImgResInfo* program = engine->AddImgResInfo(500, CString(L"PNG"), 0, 1);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->nWidth, 100);
    EXPECT_EQ(program->nHeight, 10);
    EXPECT_EQ(engine->AddImgResInfo(500, CString(L"PNG"), 2, 0), nullptr);  // not in the library
    EXPECT_EQ(engine->AddImgResInfo(999, CString(L"PNG"), 1, 1), nullptr);
}

TEST_F(EngineTest, ControlImageStripSharedThroughTheCache)
{
    SkinFolder skins;
    probe::RecordingOwner owner;
    Label a(&owner), b(&owner);
    a.SetManager(engine);
    b.SetManager(engine);
    ASSERT_EQ(a.SetImage(L"strip.png", 4), 1);
    ASSERT_EQ(b.SetImage(L"strip.png", 4), 1);
    EXPECT_EQ(a.m_pImage, b.m_pImage);
    EXPECT_EQ(a.GetImageSize(), CSize(25, 10));
    EXPECT_EQ(owner.updates.size(), 2u);

    // A file that does not load keeps the previous strip.
    EXPECT_EQ(a.SetImage(L"missing.png", 2), 0);
    EXPECT_EQ(a.m_nFrameCount, 4);
    EXPECT_EQ(a.GetImageSize(), CSize(25, 10));

    ASSERT_EQ(a.SetImage(501, CString(L"PNG"), 0), 1);  // program resource, one frame
    EXPECT_EQ(a.m_nFrameCount, 1);
    EXPECT_EQ(a.GetImageSize(), CSize(12, 6));
}

TEST_F(EngineTest, PrivateFontsFromTheFontsFolder)
{
    // The build places Regular, Medium and Bold; SemiBold is not there.
    EXPECT_EQ(engine->m_fonts.count(L"Roboto-Medium"), 1u);
    EXPECT_EQ(engine->m_fonts.count(L"Roboto-Regular"), 1u);
    EXPECT_EQ(engine->m_fonts.count(L"Roboto-Bold"), 1u);
    EXPECT_EQ(engine->m_fonts.count(L"Roboto-SemiBold"), 0u);

    // The library font answers every request, whatever face is asked for:
    // private fonts of another name are not handed out by name.
    Gdiplus::FontFamily* medium = engine->m_fonts[L"Roboto-Medium"];
    ASSERT_NE(medium, nullptr);
    EXPECT_NE(FamilyName(medium).find(L"Roboto"), std::wstring::npos);
    for (const wchar_t* face : {L"Roboto-Medium", L"Roboto-Bold", L"Roboto-Regular", L"Arial",
                                L"Roboto-SemiBold", L"", static_cast<const wchar_t*>(nullptr)}) {
        EXPECT_EQ(engine->FindTempFont(face), medium) << (face ? face : L"(null)");
    }

    // A control gets its own copy of the family.
    Label label(nullptr);
    label.SetManager(engine);
    Gdiplus::FontFamily* copy = label.GetFontFamily(L"Roboto-Bold");
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, medium);
    EXPECT_EQ(FamilyName(copy), FamilyName(medium));
    Gdiplus::Font font(copy, 14, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    EXPECT_EQ(font.GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(label.GetFontFamily(L"Roboto-Medium"), label.m_pFontFamily);
}

DWORD WINAPI CloseHandleLater(void* handle)
{
    Sleep(150);
    CloseHandle(static_cast<HANDLE>(handle));
    return 0;
}

TEST_F(EngineTest, PrivateFontHeldBrieflyByAnotherLoaderStillLoads)
{
    // Another program loading the same font may hold the file for a moment
    // without any sharing (GDI+'s own font-file loader does). Starting an engine
    // then must wait for the file, not go without the font.
    const CString path = WEXA::GetAppPath() + L"fonts\\Roboto-Medium.ttf";
    // Test programs running beside this one read the file too: wait for a gap.
    HANDLE held = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 500 && held == INVALID_HANDLE_VALUE; ++attempt) {
        held = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (held == INVALID_HANDLE_VALUE) Sleep(5);
    }
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HANDLE closer = CreateThread(nullptr, 0, &CloseHandleLater, held, 0, nullptr);
    ASSERT_NE(closer, nullptr);

    WEXA::PaintManager other;
    other.Init(hwnd, &host);
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    EXPECT_EQ(other.m_fonts.count(L"Roboto-Medium"), 1u);
    Gdiplus::FontFamily* medium = other.FindTempFont(L"Roboto-Medium");
    ASSERT_NE(medium, nullptr);
    EXPECT_NE(FamilyName(medium).find(L"Roboto"), std::wstring::npos);
    Gdiplus::Font font(medium, 12, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    EXPECT_EQ(font.GetLastStatus(), Gdiplus::Ok);
    other.ClearTempFont();
}

TEST_F(EngineTest, MissingLibraryFontGivesNoFamily)
{
    // A library face whose file is missing and that the host does not have.
    const CString saved = WEXA::Manager::GetFontName();
    WEXA::Manager::SetFontName(L"Roboto-SemiBold");
    WEXA::PaintManager other;
    other.Init(hwnd, &host);
    EXPECT_EQ(other.FindTempFont(L"Roboto-SemiBold"), nullptr);
    EXPECT_EQ(other.FindTempFont(nullptr), nullptr);
    // A private font of another name does not stand in for it.
    EXPECT_EQ(other.FindTempFont(L"Roboto-Bold"), nullptr);
    WEXA::Manager::SetFontName(saved);
    other.ClearTempFont();
    EXPECT_TRUE(other.m_fonts.empty());
}
