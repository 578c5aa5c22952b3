#include "MControlFont.h"

#include <algorithm>

#include "Manager.h"
#include "PaintManager.h"

namespace WEXA {

namespace {

Gdiplus::SolidBrush* NewBrush(const Gdiplus::Color& color)
{
    Gdiplus::SolidBrush* brush = new Gdiplus::SolidBrush(color);
    if (brush && brush->GetLastStatus() != Gdiplus::Ok) {
        delete brush;
        brush = nullptr;
    }
    return brush;
}

}  // namespace

MControlFont::MControlFont(MObject* owner, UINT id, CRect rect, const wchar_t* title, int visible,
                           int enabled, int mouseResponse)
    : MControl(owner, id, rect, visible, enabled, mouseResponse),
      m_strTitle(title ? title : L""),
      m_strFontFace(Manager::GetFontName()),
      m_nFontWidth(Manager::GetFontWidth()),
      m_clrText(Manager::GetTextColor()),
      m_pTextBrush(nullptr),
      m_fontStyle(Gdiplus::FontStyleRegular),
      m_pFontFamily(nullptr),
      m_uAlignment(DT_LEFT),
      m_uVAlignment(DT_VCENTER),
      m_textRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit),
      m_smoothingMode(Gdiplus::SmoothingModeHighQuality),
      m_hGDIFont(nullptr),
      m_pImage(nullptr),
      m_nFrameWidth(0),
      m_nImageHeight(0),
      m_nFrameCount(4)
{
    m_pTextBrush = NewBrush(m_clrText);
}

MControlFont::~MControlFont()
{
    ClearGDIFont();
    delete m_pTextBrush;
    m_pTextBrush = nullptr;
    delete m_pFontFamily;
    m_pFontFamily = nullptr;
}

void MControlFont::RepaintIfVisible()
{
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
}

// ---- virtual operations ----

void MControlFont::SetTextFont(CString face)
{
    m_strFontFace = face;
}

void MControlFont::SetTextColor(Gdiplus::Color color)
{
    delete m_pTextBrush;
    m_pTextBrush = nullptr;
    m_clrText = color;
    m_pTextBrush = NewBrush(color);
}

int MControlFont::SetImage(UINT resourceId, CString resourceType, int frames)
{
    if (!m_pManager) return 0;
    frames = std::max(frames, 1);
    ImgResInfo* info = m_pManager->AddImgResInfo(resourceId, resourceType, frames, 1);
    if (!info) return 0;
    m_nFrameCount = frames;
    m_pImage = info->pImage;
    m_nFrameWidth = info->nWidth;
    m_nImageHeight = info->nHeight;
    RepaintIfVisible();
    return 1;
}

int MControlFont::SetImage(const wchar_t* skinFileName, int frames)
{
    if (!m_pManager || !skinFileName) return 0;
    frames = std::max(frames, 1);
    ImgResInfo* info = m_pManager->AddImgResInfo(skinFileName, frames);
    if (!info) return 0;
    m_nFrameCount = frames;
    m_pImage = info->pImage;
    m_nFrameWidth = info->nWidth;
    m_nImageHeight = info->nHeight;
    RepaintIfVisible();
    return 1;
}

void MControlFont::SetControlTitle(const wchar_t* title)
{
    m_strTitle = title ? title : L"";
}

CString MControlFont::GetControlTitle()
{
    return m_strTitle;
}

// ---- title, alignment, font ----

void MControlFont::SetTitle(const wchar_t* title)
{
    ClearGDIFont();
    SetControlTitle(title ? title : L"");
    RepaintIfVisible();
}

CString MControlFont::GetTitle()
{
    return GetControlTitle();
}

void MControlFont::SetAlignment(UINT horizontal)
{
    if (horizontal == m_uAlignment) return;
    m_uAlignment = horizontal;
    RepaintIfVisible();
}

void MControlFont::SetVAlignment(UINT vertical)
{
    if (vertical == m_uVAlignment) return;
    m_uVAlignment = vertical;
    RepaintIfVisible();
}

void MControlFont::SetAlignment(UINT horizontal, UINT vertical)
{
    if (horizontal == m_uAlignment && vertical == m_uVAlignment) return;
    m_uAlignment = horizontal;
    m_uVAlignment = vertical;
    RepaintIfVisible();
}

void MControlFont::GetAlignment(UINT& horizontal, UINT& vertical) const
{
    horizontal = m_uAlignment;
    vertical = m_uVAlignment;
}

void MControlFont::SetFont(const wchar_t* face, int size, Gdiplus::FontStyle style)
{
    m_strFontFace = face ? face : L"";
    m_nFontWidth = size;
    m_fontStyle = style;
}

Gdiplus::FontFamily* MControlFont::GetFontFamily(const wchar_t* face)
{
    if (!m_pManager) return nullptr;
    delete m_pFontFamily;
    m_pFontFamily = nullptr;
    Gdiplus::FontFamily* cached = m_pManager->FindTempFont(face ? face : L"");
    if (!cached) return nullptr;
    Gdiplus::FontFamily* copy = cached->Clone();
    if (copy && copy->GetLastStatus() != Gdiplus::Ok) {
        delete copy;
        copy = nullptr;
    }
    m_pFontFamily = copy;
    return copy;
}

HFONT MControlFont::GetGDIFont()
{
    if (m_hGDIFont) return m_hGDIFont;
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    // LOGFONTW holds 32 characters: at most 31 of the face and the terminator.
    const CString face = Manager::GetFontName();
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -m_nFontWidth;
    const int style = static_cast<int>(m_fontStyle);
    if (style & Gdiplus::FontStyleBold) lf.lfWeight = std::min<LONG>(lf.lfWeight + FW_BOLD, 1000);
    if (style & Gdiplus::FontStyleUnderline) lf.lfUnderline = TRUE;
    if (style & Gdiplus::FontStyleItalic) lf.lfItalic = TRUE;
    m_hGDIFont = CreateFontIndirectW(&lf);
    return m_hGDIFont;
}

void MControlFont::ClearGDIFont()
{
    if (m_hGDIFont) {
        DeleteObject(m_hGDIFont);
        m_hGDIFont = nullptr;
    }
}

void MControlFont::SetImageCount(int frames)
{
    m_nFrameCount = std::max(frames, 1);
}

}  // namespace WEXA
