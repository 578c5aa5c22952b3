// MControlFont without a window: defaults taken from the library settings,
// repaint requests of the setters, null texts, the GDI font and the image strip
// of a control that is not attached yet.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ControlProbe.h"
#include "MControlFont.h"
#include "Manager.h"

using probe::RecordingOwner;

namespace {

class Label : public WEXA::MControlFont
{
public:
    Label(WEXA::MObject* owner, const wchar_t* title)
        : MControlFont(owner, 5, CRect(0, 0, 80, 20), title, 1, 1, 1)
    {}
    void DrawControl(HDC&, CRect) override {}
};

// Restores the library font face on scope exit.
struct FontNameGuard
{
    CString saved = WEXA::Manager::GetFontName();
    ~FontNameGuard() { WEXA::Manager::SetFontName(saved); }
};

}  // namespace

TEST(MControlFont, DefaultsComeFromTheLibraryAtConstruction)
{
    const Gdiplus::Color saved = WEXA::Manager::GetTextColor();
    Label before(nullptr, nullptr);
    WEXA::Manager::SetTextColor(Gdiplus::Color(0xFF112233));
    Label after(nullptr, L"x");
    WEXA::Manager::SetTextColor(saved);

    EXPECT_STREQ(before.GetTitle(), L"");
    EXPECT_STREQ(before.GetTextFont(), L"Roboto-Medium");
    EXPECT_EQ(before.GetFontWidth(), 14);
    EXPECT_EQ(before.m_clrText.GetValue(), 0xFF333333u);
    EXPECT_EQ(after.m_clrText.GetValue(), 0xFF112233u);
    ASSERT_NE(after.m_pTextBrush, nullptr);
    Gdiplus::Color brushColor;
    after.m_pTextBrush->GetColor(&brushColor);
    EXPECT_EQ(brushColor.GetValue(), 0xFF112233u);
    UINT h = 9, v = 9;
    before.GetAlignment(h, v);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(v, 4u);
    EXPECT_EQ(before.m_nFrameCount, 4);
    EXPECT_EQ(before.m_textRenderingHint, Gdiplus::TextRenderingHintAntiAliasGridFit);
    EXPECT_EQ(before.m_smoothingMode, Gdiplus::SmoothingModeHighQuality);
}

TEST(MControlFont, AlignmentRepaintsOnlyOnChange)
{
    RecordingOwner owner;
    Label label(&owner, L"a");
    label.SetAlignment(1);
    label.SetAlignment(1);
    EXPECT_EQ(owner.updates.size(), 1u);
    label.SetAlignment(1, 4);
    EXPECT_EQ(owner.updates.size(), 1u);
    label.SetVAlignment(8);
    EXPECT_EQ(owner.updates.size(), 2u);
    EXPECT_EQ(owner.updates.back().erase, 1);
    label.m_bVisible = 0;
    label.SetAlignment(2, 0);
    EXPECT_EQ(owner.updates.size(), 2u);
}

TEST(MControlFont, NullTextsAreEmpty)
{
    RecordingOwner owner;
    Label label(&owner, L"start");
    HFONT font = label.GetGDIFont();
    ASSERT_NE(font, nullptr);
    label.SetTitle(nullptr);
    EXPECT_STREQ(label.GetTitle(), L"");
    EXPECT_EQ(label.m_hGDIFont, nullptr);  // the title change dropped the cached font
    EXPECT_EQ(owner.updates.size(), 1u);
    label.SetControlTitle(nullptr);
    EXPECT_STREQ(label.GetControlTitle(), L"");
    label.SetFont(nullptr, 20, Gdiplus::FontStyleBold);
    EXPECT_STREQ(label.GetTextFont(), L"");
    EXPECT_EQ(label.GetFontWidth(), 20);
    EXPECT_EQ(owner.updates.size(), 1u);  // SetFont does not repaint
    EXPECT_EQ(label.SetImage(static_cast<const wchar_t*>(nullptr), 4), 0);
}

TEST(MControlFont, ImageNeedsAnEngine)
{
    Label label(nullptr, L"");
    EXPECT_EQ(label.SetImage(L"img_button.png", 4), 0);
    EXPECT_EQ(label.SetImage(101, CString(L"PNG"), 4), 0);
    EXPECT_EQ(label.m_pImage, nullptr);
    EXPECT_EQ(label.GetFontFamily(L"Roboto-Medium"), nullptr);
    label.SetImageCount(0);
    EXPECT_EQ(label.m_nFrameCount, 1);
    label.SetImageCount(3);
    EXPECT_EQ(label.m_nFrameCount, 3);
}

TEST(MControlFont, GdiFontOfTheLibraryFaceWithClampedWeight)
{
    FontNameGuard guard;
    LOGFONTW base = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(base), &base);

    Label label(nullptr, L"");
    label.SetFont(L"Other Face", 14, static_cast<Gdiplus::FontStyle>(3));
    LOGFONTW lf = {};
    ASSERT_EQ(GetObjectW(label.GetGDIFont(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_FALSE(lf.lfUnderline);
    EXPECT_EQ(lf.lfWeight, std::min<LONG>(base.lfWeight + 700, 1000));
    EXPECT_LE(lf.lfWeight, 1000);
    EXPECT_STREQ(lf.lfFaceName, L"Roboto-Medium");    // the library face, not the control's
    EXPECT_EQ(label.GetGDIFont(), label.m_hGDIFont);  // cached

    // A face name longer than a LOGFONT holds is cut to 31 characters.
    const std::wstring longFace(45, L'F');
    WEXA::Manager::SetFontName(longFace.c_str());
    Label other(nullptr, L"");
    other.SetFontStyle(Gdiplus::FontStyleUnderline);
    ASSERT_EQ(GetObjectW(other.GetGDIFont(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(std::wstring(lf.lfFaceName), longFace.substr(0, 31));
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_EQ(lf.lfWeight, base.lfWeight);
}
