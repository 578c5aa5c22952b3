#include "MPicture.h"

#include <shlwapi.h>

#include <algorithm>

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(MPicture, new MPicture(a.owner, a.id, a.rect, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(CPhotoFrame, new CPhotoFrame(a.owner, a.id, a.rect, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(CSliderPicture,
                      new CSliderPicture(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {

Gdiplus::Image* LoadSkin(const wchar_t* name)
{
    if (!name) return nullptr;
    Gdiplus::Image* image = MRender::LoadImageFromFile(GetSkinsPath() + name);
    if (image && (image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0)) {
        delete image;
        image = nullptr;
    }
    return image;
}

Gdiplus::Image* LoadResource(UINT id, const wchar_t* type)
{
    Gdiplus::Image* image = MRender::LoadImageFromIDResource(id, type, Manager::GetInstance());
    if (image && (image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0)) {
        delete image;
        image = nullptr;
    }
    return image;
}

// Replaces an owned image slot of the control font part.
void PutImage(MControlFont* c, Gdiplus::Image* image, int frames)
{
    delete c->m_pImage;
    frames = std::max(frames, 1);
    c->m_pImage = image;
    c->m_nFrameCount = frames;
    c->m_nFrameWidth = image ? static_cast<int>(image->GetWidth()) / frames : 0;
    c->m_nImageHeight = image ? static_cast<int>(image->GetHeight()) : 0;
}

// An image's first frame by a show mode into the control-sized area at (ox, 0).
void DrawShowMode(Gdiplus::Graphics& g, Gdiplus::Image* image, int fw, int ih, int ox, int w, int h,
                  int mode, int param, const int margins[4], UINT hAlign, UINT vAlign, CRect custom)
{
    if (!image || fw <= 0 || ih <= 0) return;
    if (mode == SHOW_MODE_FRAME) {
        MRender::DrawImageFrame(g, image, CRect(ox, 0, ox + w, h), 0, 0, fw, ih, param);
        return;
    }
    if (mode == SHOW_MODE_MID) {
        MRender::DrawImageFrameMID(g, image, CRect(ox, 0, ox + w, h), 0, 0, fw, ih, margins[0],
                                   margins[1], margins[2], margins[3]);
        return;
    }
    for (const PICTURE_BLIT& b : LayoutShowMode(mode, fw, ih, w, h, hAlign, vAlign, custom))
        g.DrawImage(image, Gdiplus::Rect(ox + b.dst.left, b.dst.top, b.dst.Width(), b.dst.Height()),
                    b.src.left, b.src.top, b.src.Width(), b.src.Height(), Gdiplus::UnitPixel);
}

}  // namespace

std::vector<PICTURE_BLIT> LayoutShowMode(int mode, int fw, int ih, int w, int h, UINT hAlign,
                                         UINT vAlign, CRect custom)
{
    std::vector<PICTURE_BLIT> out;
    if (fw <= 0 || ih <= 0 || w <= 0 || h <= 0) return out;
    switch (mode) {
        case SHOW_MODE_NORMAL: {
            const int x = hAlign == 0 ? 0 : hAlign == 2 ? w - fw : (w - fw) / 2;
            const int y = vAlign == 0 ? 0 : vAlign == 8 ? h - ih : (h - ih) / 2;
            out.push_back({CRect(0, 0, fw, ih), CRect(x, y, x + fw, y + ih)});
            break;
        }
        case SHOW_MODE_TILE:
            for (int c = 0; c <= w / fw; ++c)
                for (int r = 0; r <= h / ih; ++r) {
                    const int x = c * fw, y = r * ih;
                    const int tw = std::min(fw, w - x), th = std::min(ih, h - y);
                    if (tw <= 0 || th <= 0) continue;
                    out.push_back({CRect(0, 0, tw, th), CRect(x, y, x + tw, y + th)});
                }
            break;
        case SHOW_MODE_STRETCH: out.push_back({CRect(0, 0, fw, ih), CRect(0, 0, w, h)}); break;
        case SHOW_MODE_CUSTOM:
            if (!custom.IsRectEmpty()) out.push_back({custom, CRect(0, 0, w, h)});
            break;
        default: break;
    }
    return out;
}

namespace {

// The show-mode setters of the three picture controls (their members are
// public): a new mode (or, in frame mode, a new parameter) is kept and
// repainted, 1; the same one changes nothing, 0.
template <class Picture>
int ChangeShowMode(Picture* c, enumShowMode mode, int param)
{
    if (mode == c->m_showMode && (mode != SHOW_MODE_FRAME || param == c->m_nShowParam)) return 0;
    c->m_showMode = mode;
    c->m_nShowParam = param;
    paint::Repaint(c, 1);
    return 1;
}

// The middle mode with its four margins; always 1.
template <class Picture>
int ShowMiddle(Picture* c, int left, int top, int right, int bottom)
{
    c->m_nMarginLeft = left;
    c->m_nMarginTop = top;
    c->m_nMarginRight = right;
    c->m_nMarginBottom = bottom;
    c->m_showMode = SHOW_MODE_MID;
    paint::Repaint(c, 1);
    return 1;
}

// Draws a picture control's image in its show mode with its margins and
// alignment; mode is the control's mode (or -1 where a control has no custom
// rectangle and shows SHOW_MODE_CUSTOM as nothing).
template <class Picture>
void DrawInShowMode(Gdiplus::Graphics& g, const Picture* c, Gdiplus::Image* image, int fw, int fh,
                    int w, int h, int mode, const CRect& custom)
{
    const int margins[4] = {c->m_nMarginLeft, c->m_nMarginTop, c->m_nMarginRight,
                            c->m_nMarginBottom};
    DrawShowMode(g, image, fw, fh, 0, w, h, mode, c->m_nShowParam, margins, c->m_uAlignment,
                 c->m_uVAlignment, custom);
}

// A control without a custom rectangle shows its custom mode as nothing.
int WithoutCustom(enumShowMode mode)
{
    return mode == SHOW_MODE_CUSTOM ? -1 : mode;
}

// A skin file or resource picture as the control's strip; 0 when it does not load.
int TakeImage(MControlFont* c, Gdiplus::Image* image, int frames)
{
    if (!image) return 0;
    PutImage(c, image, frames);
    return 1;
}

}  // namespace

// A picture control's show mode as it starts: normal, parameter 4, no margins.
#define WEXA_PICTURE_SHOW_MODE_DEFAULTS                                               \
    m_showMode(SHOW_MODE_NORMAL), m_nShowParam(4), m_nMarginLeft(0), m_nMarginTop(0), \
        m_nMarginRight(0), m_nMarginBottom(0)

// SetShowMode and SetShowModeMID of a picture control (see above).
#define WEXA_PICTURE_SHOW_MODE_SETTERS(Class)                           \
    int Class::SetShowMode(enumShowMode mode, int param)                \
    {                                                                   \
        return ChangeShowMode(this, mode, param);                       \
    }                                                                   \
    int Class::SetShowModeMID(int left, int top, int right, int bottom) \
    {                                                                   \
        return ShowMiddle(this, left, top, right, bottom);              \
    }

// SetImage from a skin file or a resource of a control that owns its strip.
#define WEXA_PICTURE_IMAGE_SETTERS(Class)                                       \
    int Class::SetImage(const wchar_t* skinFileName, int frames)                \
    {                                                                           \
        return TakeImage(this, LoadSkin(skinFileName), frames);                 \
    }                                                                           \
    int Class::SetImage(UINT resourceId, CString resourceType, int frames)      \
    {                                                                           \
        return TakeImage(this, LoadResource(resourceId, resourceType), frames); \
    }

// ---- MPicture ----

MPicture::MPicture(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      WEXA_PICTURE_SHOW_MODE_DEFAULTS,
      m_rcCustom(0, 0, 0, 0)
{
    m_nFrameCount = 1;
}

MPicture::~MPicture()
{
    delete m_pImage;
    m_pImage = nullptr;
}

void MPicture::ReplaceImage(Gdiplus::Image* image, int frames)
{
    PutImage(this, image, frames);
}

int MPicture::SetImage(const wchar_t* skinFileName, int frames)
{
    Gdiplus::Image* image = LoadSkin(skinFileName);
    ReplaceImage(image, frames);
    paint::Repaint(this, 1);
    return image ? 1 : 0;
}

int MPicture::SetImage(UINT resourceId, CString resourceType, int frames)
{
    Gdiplus::Image* image = LoadResource(resourceId, resourceType);
    ReplaceImage(image, frames);
    if (image) paint::Repaint(this, 1);
    return image ? 1 : 0;
}

int MPicture::SetImageFile(const wchar_t* path)
{
    Gdiplus::Image* image = path ? MRender::LoadImageFromFile(path) : nullptr;
    if (image && (image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0)) {
        delete image;
        image = nullptr;
    }
    const int frames = m_nFrameCount;
    ReplaceImage(image, 1);
    m_nFrameCount = frames;
    paint::Repaint(this, 1);
    return image ? 1 : 0;
}

int MPicture::SetImageFile(const wchar_t* path, int width, int height)
{
    if (!path || !PathFileExistsW(path)) return 0;
    Gdiplus::Image* image = MRender::LoadImageFromFileEx(path, width, height);
    if (image && (image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0)) {
        delete image;
        image = nullptr;
    }
    ReplaceImage(image, 1);
    paint::Repaint(this, 1);
    return image ? 1 : 0;
}

WEXA_PICTURE_SHOW_MODE_SETTERS(MPicture)

void MPicture::DrawControl(HDC& dc, CRect)
{
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 1)) return;
        Gdiplus::Graphics g(m_hMemDC);
        DrawInShowMode(g, this, m_pImage, m_nFrameWidth, m_nImageHeight, m_rcControl.Width(),
                       m_rcControl.Height(), m_showMode, m_rcCustom);
    }
    paint::ShowFrame(this, dc, 0);
}

// ---- CPhotoFrame ----

CPhotoFrame::CPhotoFrame(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_pPhoto(nullptr),
      m_nPhotoWidth(0),
      m_nPhotoHeight(0),
      m_nState(0),
      m_showMode(SHOW_MODE_NORMAL),
      m_nShowParam(4),
      m_nMarginLeft(0),
      m_nMarginTop(0),
      m_nMarginRight(0),
      m_nMarginBottom(0)
{
    m_nFrameCount = 1;
}

CPhotoFrame::~CPhotoFrame()
{
    delete m_pPhoto;
    delete m_pImage;
    m_pImage = nullptr;
}

WEXA_PICTURE_IMAGE_SETTERS(CPhotoFrame)

static int TakePhoto(CPhotoFrame* c, Gdiplus::Image* image, int frames)
{
    if (!image) return 0;
    delete c->m_pPhoto;
    frames = std::max(frames, 1);
    c->m_pPhoto = image;
    c->m_nPhotoWidth = static_cast<int>(image->GetWidth()) / frames;
    c->m_nPhotoHeight = static_cast<int>(image->GetHeight());
    return 1;
}

int CPhotoFrame::SetPhotoFrame(const wchar_t* skinFileName, int frames)
{
    return TakePhoto(this, LoadSkin(skinFileName), frames);
}

int CPhotoFrame::SetPhotoFrame(UINT resourceId, CString resourceType, int frames)
{
    return TakePhoto(this, LoadResource(resourceId, resourceType), frames);
}

WEXA_PICTURE_SHOW_MODE_SETTERS(CPhotoFrame)

void CPhotoFrame::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 4)) return;
        {
            Gdiplus::Graphics g(m_hMemDC);
            DrawInShowMode(g, this, m_pPhoto, m_nPhotoWidth, m_nPhotoHeight, w, h,
                           WithoutCustom(m_showMode), CRect(0, 0, 0, 0));
        }
        // Every state shows the photo; the frame image lies over the first three.
        for (int i = 1; i < 4; ++i) ::BitBlt(m_hMemDC, i * w, 0, w, h, m_hMemDC, 0, 0, SRCCOPY);
        if (m_pImage && m_nFrameWidth > 0) {
            Gdiplus::Graphics g(m_hMemDC);
            for (int i = 0; i < 3; ++i) {
                const int src = m_nFrameCount > i ? i : 0;
                MRender::DrawImageFrame(g, m_pImage, CRect(i * w, 0, (i + 1) * w, h),
                                        src * m_nFrameWidth, 0, m_nFrameWidth, m_nImageHeight, 12);
            }
        }
    }
    paint::ShowFrame(this, dc, m_nState);
}

int CPhotoFrame::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled || m_nState == 2) return 0;
    const int state = m_rcControl.PtInRect(point) ? 1 : 0;
    if (state == m_nState) return 0;
    m_nState = state;
    paint::Repaint(this, 0);
    return 1;
}

int CPhotoFrame::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled || !m_rcControl.PtInRect(point)) return 0;
    const int changed = m_nState != 2;
    m_nState = 2;
    if (changed) paint::Repaint(this, 0);
    SendMessageW(1, 0, 0);
    return changed;
}

int CPhotoFrame::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int old = m_nState;
    const bool inside = m_rcControl.PtInRect(point);
    m_nState = inside ? 1 : 0;
    if (m_nState == old) return 0;
    paint::Repaint(this, 0);
    if (inside && old == 2) SendMessageW(2, 0, 0);
    return 1;
}

// ---- CSliderPicture ----

CSliderPicture::CSliderPicture(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_bRun(0),
      WEXA_PICTURE_SHOW_MODE_DEFAULTS,
      m_slideMode(SLIDER_MODE_LEFT),
      m_nTick(0),
      m_nTicksPerStep(1),
      m_nPos(0),
      m_nEnd(0)
{
    m_bRunTimer = 1;
    m_nFrameCount = 1;
}

CSliderPicture::~CSliderPicture()
{
    delete m_pImage;
    m_pImage = nullptr;
}

void CSliderPicture::InitControl(PaintManager*) {}

WEXA_PICTURE_IMAGE_SETTERS(CSliderPicture)

WEXA_PICTURE_SHOW_MODE_SETTERS(CSliderPicture)

int CSliderPicture::SetRun(int run, SLIDER_MODE mode)
{
    if (!m_bEnabled) return m_bRun;
    const int old = m_bRun;
    m_bRun = run;
    m_slideMode = mode;
    switch (mode) {
        case SLIDER_MODE_LEFT:
            m_nPos = 0;
            m_nEnd = m_rcControl.Width();
            break;
        case SLIDER_MODE_TOP:
            m_nPos = m_rcControl.top;
            m_nEnd = m_rcControl.bottom;
            break;
        case SLIDER_MODE_RIGHT:
            m_nPos = m_rcControl.right;
            m_nEnd = m_rcControl.left;
            break;
        default: break;
    }
    m_nTick = 0;
    if (m_bVisible && old != m_bRun) paint::Repaint(this, 1);
    return m_bRun;
}

int CSliderPicture::OnControlTimer()
{
    if (!m_bRun || !m_bVisible) return 0;
    if (++m_nTick >= m_nTicksPerStep) {
        m_nTick = 0;
        switch (m_slideMode) {
            case SLIDER_MODE_LEFT:
                m_nPos += m_rcControl.Width() / 100;
                if (m_nPos >= m_nEnd) m_bRun = 0;
                break;
            case SLIDER_MODE_TOP:
                m_nPos += m_rcControl.Height() / 100;
                if (m_nPos >= m_nEnd) m_bRun = 0;
                break;
            case SLIDER_MODE_RIGHT:
                m_nPos -= m_rcControl.Width() / 100;
                if (m_nPos <= m_nEnd) m_bRun = 0;
                break;
            default: break;
        }
    }
    if (m_pManager && m_pManager->GetPaintWnd())
        ::InvalidateRect(m_pManager->GetPaintWnd(), &m_rcControl, FALSE);
    return 1;
}

void CSliderPicture::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 1)) return;
        Gdiplus::Graphics g(m_hMemDC);
        DrawInShowMode(g, this, m_pImage, m_nFrameWidth, m_nImageHeight, w, h,
                       WithoutCustom(m_showMode), CRect(0, 0, 0, 0));
    }
    const int L = m_rcControl.left, T = m_rcControl.top;
    const COLORREF blank = 0xF2F2F2;
    switch (m_slideMode) {
        case SLIDER_MODE_LEFT: {
            const int shown = std::clamp(m_nPos, 0, w);
            if (shown > 0) ::BitBlt(dc, L, T, shown, h, m_hMemDC, w - shown, 0, SRCCOPY);
            if (shown < w) MRender::FillSolidRect(dc, L + shown, T, w - shown, h, blank);
            break;
        }
        case SLIDER_MODE_TOP: {
            const int shown = std::clamp(m_nPos - T, 0, h);
            if (shown > 0) ::BitBlt(dc, L, T, w, shown, m_hMemDC, 0, h - shown, SRCCOPY);
            if (shown < h) MRender::FillSolidRect(dc, L, T + shown, w, h - shown, blank);
            break;
        }
        case SLIDER_MODE_RIGHT: {
            const int from = std::clamp(m_nPos, L, static_cast<int>(m_rcControl.right));
            if (from < m_rcControl.right)
                ::BitBlt(dc, from, T, m_rcControl.right - from, h, m_hMemDC, 0, 0, SRCCOPY);
            if (from > L) MRender::FillSolidRect(dc, L, T, from - L, h, blank);
            break;
        }
        default: paint::ShowFrame(this, dc, 0); break;
    }
    // The picture stays on the screen only while it slides.
    if (m_bVisible && !m_bRun) {
        SetControlVisible(0);
        if (m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
    }
}

}  // namespace WEXA
