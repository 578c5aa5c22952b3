#include "KeyboardCtrl.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <map>
#include <string>
#include <memory>
#include <utility>

#include "CKeyboardTips.h"
#include "ControlRegistry.h"
#include "GlyphFaces.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "TipWindow.h"
#include "controls/ButtonPaint.h"
#include "keyboard/BlendCache.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(KeyboardCtrl, new KeyboardCtrl(a.owner, a.id, a.rect, a.visible));

namespace {

Gdiplus::ARGB Opaque(COLORREF c)
{
    return 0xFF000000u | (static_cast<Gdiplus::ARGB>(GetRValue(c)) << 16) |
           (static_cast<Gdiplus::ARGB>(GetGValue(c)) << 8) | GetBValue(c);
}

// Key labels: the control's face at 12 pixels. A label too long for its key
// at that size is drawn smaller (down to 7 pixels), on two lines where the
// key is tall enough, so that no label is cut.
class LabelFonts
{
public:
    // cache: the size chosen per label, key size, face and style (measuring
    // every label on every rendering would cost more than drawing them).
    LabelFonts(MControlFont* c, std::map<std::wstring, int>& cache)
        : m_style(c->m_fontStyle),
          m_cache(cache),
          m_face(c->m_strFontFace.GetString())
    {
        if (m_cache.size() > 4096) m_cache.clear();
        Gdiplus::FontFamily* family = c->GetFontFamily(c->m_strFontFace);
        for (int i = 0; i < kSizes; ++i) {
            const Gdiplus::REAL size = static_cast<Gdiplus::REAL>(12 - i);
            if (family)
                m_fonts[i].reset(new Gdiplus::Font(family, size, m_style, Gdiplus::UnitPixel));
            else
                m_fonts[i].reset(new Gdiplus::Font(L"Arial", size, m_style, Gdiplus::UnitPixel));
        }
        m_oneLine.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
    }

    // Draws the label centred in box, from its stored rendering when the
    // cache has one (labels change rarely; drawing text is slow).
    void Draw(Gdiplus::Graphics& g, const CString& label, const Gdiplus::RectF& box,
              const Gdiplus::StringFormat* format, Gdiplus::ARGB colour, BlendCache* cache,
              Gdiplus::TextRenderingHint hint)
    {
        if (label.IsEmpty()) return;
        std::unique_ptr<Gdiplus::Font>* fonts = FontsFor(label);
        wchar_t size[64];
        swprintf(size, 64, L"\x1%dx%d\x1%d\x1%08X\x1%d\x1", static_cast<int>(box.Width),
                 static_cast<int>(box.Height), m_style, static_cast<unsigned>(colour),
                 static_cast<int>(hint));
        const std::wstring key = std::wstring(label.GetString()) + size + m_face;
        bool fits = true;
        Gdiplus::Font* font = nullptr;
        auto known = m_cache.find(key);
        if (known != m_cache.end()) {
            fits = known->second < kSizes;
            font = fonts[known->second % kSizes].get();
        } else {
            font = Pick(g, label, box, format, fits, fonts);
            int index = kSizes - 1;
            for (int i = 0; i < kSizes; ++i)
                if (fonts[i].get() == font) index = i;
            m_cache[key] = index + (fits ? 0 : kSizes);
        }
        if (!font) return;
        auto paint = [&](Gdiplus::Graphics& t, const Gdiplus::RectF& at) {
            Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
            if (fits) {
                GlyphFaces::DrawString(t, label, label.GetLength(), font, at, format, &brush);
                return;
            }
            // Not even the smallest size fits: one line, centred, rather than
            // a word broken in two.
            Gdiplus::StringFormat line(format);
            line.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                                Gdiplus::StringFormatFlagsNoClip);
            Gdiplus::RectF bounds;
            t.MeasureString(label, label.GetLength(), font, Gdiplus::PointF(0, 0), &m_oneLine,
                            &bounds);
            const Gdiplus::REAL width = std::max(bounds.Width, at.Width);
            GlyphFaces::DrawString(
                t, label, label.GetLength(), font,
                Gdiplus::RectF(at.X + (at.Width - width) / 2, at.Y, width, at.Height), &line,
                &brush);
        };
        const int pad = 6;
        const int left = static_cast<int>(box.X) - pad, top = static_cast<int>(box.Y);
        bool drawn = false;
        if (cache) {
            HDC hdc = g.GetHDC();
            drawn = cache->Blend(
                hdc, left, top, L"label\x1" + key, static_cast<int>(box.Width) + 2 * pad,
                static_cast<int>(box.Height) + 2, [&](Gdiplus::Graphics& t) {
                    t.SetTextRenderingHint(hint);
                    paint(t, Gdiplus::RectF(box.X - left, box.Y - top, box.Width, box.Height));
                });
            g.ReleaseHDC(hdc);
        }
        if (!drawn) paint(g, box);
    }

private:
    enum { kSizes = 6 };

    // The fonts to draw the label in: the control's face, or, when that face
    // lacks some of its characters (arrows, CJK), a face that holds them.
    std::unique_ptr<Gdiplus::Font>* FontsFor(const CString& label)
    {
        const std::wstring face = GlyphFaces::FaceFor(m_fonts[0].get(), label, label.GetLength());
        if (face.empty()) return m_fonts;
        std::array<std::unique_ptr<Gdiplus::Font>, kSizes>& set = m_others[face];
        if (!set[0]) {
            Gdiplus::FontFamily family(face.c_str());
            for (int i = 0; i < kSizes; ++i)
                set[i].reset(new Gdiplus::Font(&family, static_cast<Gdiplus::REAL>(12 - i), m_style,
                                               Gdiplus::UnitPixel));
        }
        return set.data();
    }

    Gdiplus::Font* Pick(Gdiplus::Graphics& g, const CString& label, const Gdiplus::RectF& box,
                        const Gdiplus::StringFormat* format, bool& fits,
                        std::unique_ptr<Gdiplus::Font>* fonts)
    {
        fits = true;
        const Gdiplus::REAL room = box.Width - 2.0f;
        for (int i = 0; i < kSizes; ++i) {
            Gdiplus::Font* font = fonts[i].get();
            if (!font || font->GetLastStatus() != Gdiplus::Ok) continue;
            // Every word must fit on a line of its own ...
            bool wordsFit = true;
            const wchar_t* text = label;
            for (int start = 0, n = label.GetLength(); start < n && wordsFit;) {
                int end = start;
                while (end < n && text[end] != L' ') ++end;
                if (end > start) {
                    Gdiplus::RectF bounds;
                    g.MeasureString(text + start, end - start, font, Gdiplus::PointF(0, 0),
                                    &m_oneLine, &bounds);
                    wordsFit = bounds.Width <= room;
                }
                start = end + 1;
            }
            if (!wordsFit) continue;
            // ... and the wrapped label within the key's height.
            Gdiplus::RectF bounds;
            g.MeasureString(label, label.GetLength(), font, Gdiplus::RectF(0, 0, room, 1000.0f),
                            format, &bounds);
            if (bounds.Height <= box.Height) return font;
        }
        fits = false;
        return fonts[kSizes - 1].get();
    }

    int m_style;
    std::map<std::wstring, int>& m_cache;
    std::wstring m_face;
    std::unique_ptr<Gdiplus::Font> m_fonts[kSizes];
    std::map<std::wstring, std::array<std::unique_ptr<Gdiplus::Font>, kSizes>> m_others;
    Gdiplus::StringFormat m_oneLine;
};

// What a key shows outside the custom-key mode: its own legend, the same set
// of short names on every page (the description is for the tooltip).
const CString& Legend(const KEY_INFO* key)
{
    return key->strLegend.IsEmpty() ? key->strDesc : key->strLegend;
}

// The box a key's label is centred in.
Gdiplus::RectF LabelBox(const CRect& r)
{
    return Gdiplus::RectF(
        static_cast<Gdiplus::REAL>(r.left + 1), static_cast<Gdiplus::REAL>(r.top + 1),
        static_cast<Gdiplus::REAL>(r.Width()), static_cast<Gdiplus::REAL>(r.Height()));
}

// A frame of the key-cap strip stretched into a key, sampled within its own
// cell (a smoothing filter would read the neighbouring frame into its border).
void StretchFrame(Gdiplus::Graphics& g, Gdiplus::Image* image, const CRect& r, int x, int w, int h)
{
    Gdiplus::ImageAttributes clamp;
    clamp.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    g.DrawImage(image, Gdiplus::Rect(r.left, r.top, r.Width(), r.Height()), x, 0, w, h,
                Gdiplus::UnitPixel, &clamp);
}

}  // namespace

KeyboardCtrl::KeyboardCtrl(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_nCurKeyValue(0),
      m_bShowTips(false),
      m_nHover(-1),
      m_nPressed(-1),
      m_pKeyboardImage(nullptr),
      m_nMode(MODE_NONE),
      m_nOffsetX(6),
      m_nOffsetY(6),
      m_nPictureWidth(0),
      m_nPictureHeight(0),
      m_pStateImage{nullptr, nullptr, nullptr},
      m_nStateWidth{0, 0, 0},
      m_nStateHeight{0, 0, 0},
      m_bShowActuation(0),
      m_bFrameSelect(0),
      m_ptBandStart(0, 0),
      m_ptBandEnd(0, 0),
      m_bBandActive(0),
      m_crSelect(0x000000FF),
      m_keyboardColor(0xFFFFFFFF),
      m_pTextFormat(new Gdiplus::StringFormat()),
      m_pTips(nullptr),
      m_pBlend(new BlendCache()),
      m_pBlendPicture(nullptr),
      m_pCapSource(nullptr)
{
    m_pTextFormat->SetAlignment(Gdiplus::StringAlignmentCenter);
    m_pTextFormat->SetLineAlignment(Gdiplus::StringAlignmentCenter);
}

KeyboardCtrl::~KeyboardCtrl()
{
    DestroyTips();
    ClearItem();
    for (Gdiplus::Image*& image : m_pStateImage) {
        delete image;
        image = nullptr;
    }
    {
        CAutoLock lock(m_keyLock);
        delete m_pKeyboardImage;
        m_pKeyboardImage = nullptr;
        delete m_pBlend;
        m_pBlend = nullptr;
    }
    delete m_pTextFormat;
    m_pTextFormat = nullptr;
}

void KeyboardCtrl::DestroyTips()
{
    if (!m_pTips) return;
    HWND tips = m_pTips->GetSafeHwnd();
    if (tips && ::IsWindow(tips)) ::DestroyWindow(tips);
    delete m_pTips;
    m_pTips = nullptr;
}

void KeyboardCtrl::Repaint()
{
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
}

void KeyboardCtrl::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    SetControlRect(m_rcControl);
}

void KeyboardCtrl::SetControlRect(CRect rect)
{
    m_rcControl = rect;
    if (!rect.IsRectEmpty() && m_nPictureWidth != 0 && m_nPictureHeight != 0) {
        m_nOffsetX = (rect.Width() - m_nPictureWidth) / 2;
        m_nOffsetY = 20;
    }
    Repaint();
}

LONG KeyboardCtrl::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

int KeyboardCtrl::OnControlTimer()
{
    if (!m_bVisible) return 0;
    m_bRunning = 1;
    return 1;
}

int KeyboardCtrl::OnControlKeyDown(UINT key, UINT repeat, UINT flags)
{
    return MControl::OnControlKeyDown(key, repeat, flags);
}

// ---- picture ----

void KeyboardCtrl::SetKeyboardImage(const wchar_t* skinFileName)
{
    Gdiplus::Image* image = nullptr;
    if (skinFileName && *skinFileName)
        image = MRender::LoadImageFromFile(GetSkinsPath() + skinFileName);
    Gdiplus::Image* old = nullptr;
    {
        // The drawing holds the key lock while it draws the picture.
        CAutoLock lock(m_keyLock);
        old = m_pKeyboardImage;
        m_pKeyboardImage = image;
        // A new picture may be loaded where the old one was freed, so the
        // stored renderings are dropped here rather than told apart by address.
        m_pBlendPicture = nullptr;
    }
    delete old;
}

void KeyboardCtrl::SetWidthAndHeight(int width, int height)
{
    m_nPictureWidth = width;
    m_nPictureHeight = height;
    if (!m_rcControl.IsRectEmpty()) {
        m_nOffsetX = 20;
        m_nOffsetY = 25;
    }
}

void KeyboardCtrl::SetKeyboardColor(COLORREF color)
{
    m_keyboardColor = Opaque(color);
}

void KeyboardCtrl::SetKeyboardCtrlMode(int mode)
{
    m_nMode = mode;
    Repaint();
}

CRect KeyboardCtrl::GetRealRect(CRect rect)
{
    rect.OffsetRect(m_nOffsetX, m_nOffsetY);
    return rect;
}

// ---- keys ----

int KeyboardCtrl::AddKeyItem(const wchar_t* name, const wchar_t* desc, int keyCode, CRect rect,
                             const wchar_t* iconFile, COLORREF color)
{
    KEY_INFO* key = new KEY_INFO;
    key->nKeyCode = keyCode;
    key->strName = name;
    key->strDesc = desc;
    key->strLegend = name;
    key->rcKey = rect;
    key->crBkg = color;
    key->crKey = color;
    if (iconFile && *iconFile) {
        key->pIcon = MRender::LoadImageFromFile(GetSkinsPath() + iconFile);
        if (key->pIcon && key->pIcon->GetLastStatus() == Gdiplus::Ok) {
            key->nIconWidth = static_cast<int>(key->pIcon->GetWidth());
            key->nIconHeight = static_cast<int>(key->pIcon->GetHeight());
        }
    }
    CAutoLock lock(m_keyLock);
    key->nIndex = static_cast<int>(m_keys.size());
    m_keys.push_back(key);
    return static_cast<int>(m_keys.size()) - 1;
}

void KeyboardCtrl::ClearItem()
{
    CAutoLock lock(m_keyLock);
    for (KEY_INFO* key : m_keys) {
        delete key->pIcon;
        delete key;
    }
    m_keys.clear();
    m_nHover = -1;
    m_nPressed = -1;
}

std::vector<KEY_INFO*> KeyboardCtrl::GetKeyItems()
{
    return m_keys;
}

int KeyboardCtrl::GetKeyCount()
{
    CAutoLock lock(m_keyLock);
    return static_cast<int>(m_keys.size());
}

KEY_INFO* KeyboardCtrl::FindKey(int keyCode) const
{
    for (KEY_INFO* key : m_keys)
        if (key->nKeyCode == keyCode) return key;
    return nullptr;
}

void KeyboardCtrl::SetKeyItemInfo(int keyCode, const wchar_t* name, int value, const wchar_t* tip)
{
    CAutoLock lock(m_keyLock);
    if (KEY_INFO* key = FindKey(keyCode)) {
        key->strName = name;
        key->nValue = value;
        key->strTip1 = tip;
    }
}

CString KeyboardCtrl::GetKeyLegend(int keyCode)
{
    CAutoLock lock(m_keyLock);
    const KEY_INFO* key = FindKey(keyCode);
    return key ? key->strLegend : CString();
}

void KeyboardCtrl::SetKeyDesc(int keyCode, const wchar_t* text)
{
    CAutoLock lock(m_keyLock);
    if (KEY_INFO* key = FindKey(keyCode)) {
        key->strName = text;
        key->strDesc = text;
        key->strLegend = text;
    }
}

void KeyboardCtrl::SetKeyColor(int keyCode, COLORREF color)
{
    if (KEY_INFO* key = FindKey(keyCode)) key->crKey = color;
}

void KeyboardCtrl::SetKeyBkgColor(int keyCode, COLORREF color)
{
    if (KEY_INFO* key = FindKey(keyCode)) key->crBkg = color;
}

void KeyboardCtrl::SetKeyCheck(int keyCode, int check)
{
    CAutoLock lock(m_keyLock);
    if (KEY_INFO* key = FindKey(keyCode)) key->bCheck = check;
}

void KeyboardCtrl::SetTipKey(int keyCode, const wchar_t* text, const wchar_t* text5)
{
    CAutoLock lock(m_keyLock);
    if (KEY_INFO* key = FindKey(keyCode)) {
        key->strTip1 = text;
        key->strTip5 = text5;
    }
}

void KeyboardCtrl::ResetAllItemsColor(COLORREF color)
{
    {
        CAutoLock lock(m_keyLock);
        for (KEY_INFO* key : m_keys) key->crKey = color;
    }
    Repaint();
}

void KeyboardCtrl::SetLightModeColor(int mode, COLORREF color)
{
    if (mode != 0) return;
    {
        CAutoLock lock(m_keyLock);
        for (KEY_INFO* key : m_keys) {
            key->crBkg = color;
            key->crKey = color;
        }
    }
    Repaint();
}

void KeyboardCtrl::ResetAllItemCheck(int check)
{
    {
        CAutoLock lock(m_keyLock);
        for (KEY_INFO* key : m_keys) key->bCheck = check;
        m_nPressed = -1;
    }
    Repaint();
}

void KeyboardCtrl::ResetAllItemCheck()
{
    ResetAllItemCheck(0);
}

void KeyboardCtrl::ResetTipKey()
{
    CAutoLock lock(m_keyLock);
    for (KEY_INFO* key : m_keys) {
        key->strTip1.Empty();
        key->strTip5.Empty();
    }
}

int KeyboardCtrl::GetCheckItemCount()
{
    CAutoLock lock(m_keyLock);
    int count = 0;
    for (const KEY_INFO* key : m_keys)
        if (key->bCheck) ++count;
    return count;
}

void KeyboardCtrl::SetAllSelectColor(COLORREF color)
{
    m_crSelect = color;
    Repaint();
}

CRect KeyboardCtrl::DrawRect(const KEY_INFO* key) const
{
    CRect r(key->rcKey);
    r.OffsetRect(m_nOffsetX, m_nOffsetY);
    return r;
}

CRect KeyboardCtrl::HitRect(const KEY_INFO* key) const
{
    CRect r = DrawRect(key);
    r.OffsetRect(m_rcControl.left, m_rcControl.top);
    return r;
}

int KeyboardCtrl::FindKeyAt(CPoint point) const
{
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (HitRect(m_keys[i]).PtInRect(point)) return static_cast<int>(i);
    return -1;
}

int KeyboardCtrl::GetKeyCodeByPoint(CPoint point)
{
    CAutoLock lock(m_keyLock);
    const int index = FindKeyAt(point);
    return index >= 0 ? m_keys[index]->nKeyCode : 0;
}

void KeyboardCtrl::LoadStateImage(int slot, const wchar_t* skinFileName, int frames)
{
    Gdiplus::Image* image = nullptr;
    if (skinFileName && *skinFileName)
        image = MRender::LoadImageFromFile(GetSkinsPath() + skinFileName);
    delete m_pStateImage[slot];
    m_pStateImage[slot] = image;
    m_nStateWidth[slot] = m_nStateHeight[slot] = 0;
    if (image && image->GetLastStatus() == Gdiplus::Ok) {
        m_nStateWidth[slot] = static_cast<int>(image->GetWidth()) / frames;
        m_nStateHeight[slot] = static_cast<int>(image->GetHeight());
    }
}

void KeyboardCtrl::SetKeyState1Image(const wchar_t* skinFileName)
{
    LoadStateImage(0, skinFileName, 3);
}

void KeyboardCtrl::SetKeyState2Image(const wchar_t* skinFileName)
{
    LoadStateImage(1, skinFileName, 3);
}

void KeyboardCtrl::SetKeyState3Image(const wchar_t* skinFileName)
{
    LoadStateImage(2, skinFileName, 2);
}

void KeyboardCtrl::SetShowActuation(int show)
{
    m_bShowActuation = show;
    Repaint();
}

// ---- drawing ----

void KeyboardCtrl::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, w, h);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, w, h, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        // The picture and the records are drawn under the key lock: another
        // thread may swap the picture or refill the keys meanwhile.
        CAutoLock lock(m_keyLock);
        Gdiplus::Image* picture = m_pKeyboardImage;
        bool pictureDrawn = !picture;
        if (picture) {
            if (m_pBlendPicture != picture) {
                m_pBlend->Clear();
                m_pBlendPicture = picture;
                m_pCapSource = nullptr;
            }
            pictureDrawn =
                m_pBlend->Blend(m_hMemDC, 0, 0, L"picture", w, h, [&](Gdiplus::Graphics& p) {
                    p.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
                    p.DrawImage(picture, Gdiplus::Rect(0, 0, w, h), 0, 0,
                                static_cast<INT>(picture->GetWidth()),
                                static_cast<INT>(picture->GetHeight()), Gdiplus::UnitPixel);
                });
        }
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(m_smoothingMode);
        if (!pictureDrawn)
            g.DrawImage(picture, Gdiplus::Rect(0, 0, w, h), 0, 0,
                        static_cast<INT>(picture->GetWidth()),
                        static_cast<INT>(picture->GetHeight()), Gdiplus::UnitPixel);
        int width = w, height = h;
        switch (m_nMode) {
            case MODE_NONE: DrawNoneMode(g, width, height); break;
            case MODE_CUSTOM: DrawCustomMode(g, width, height); break;
            case MODE_LIGHT: DrawLightMode(g, w, h); break;
            case MODE_USER_LIGHT: DrawUserLightMode(g, w, h); break;
            default: break;
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, w, h, m_hMemDC, 0, 0, SRCCOPY);
}

void KeyboardCtrl::DrawKeyCaps(Gdiplus::Graphics& g, bool custom)
{
    LabelFonts fonts(this, m_labelFit);
    const Gdiplus::TextRenderingHint hint = m_textRenderingHint;
    Gdiplus::SolidBrush roundFill{Gdiplus::Color(0xFFF6F6F6)};
    Gdiplus::Pen roundEdge(Manager::m_select_color, 1.0f);
    CAutoLock lock(m_keyLock);
    if (m_pCapSource != m_pImage) {
        // Another key-cap strip: the stored caps are stale.
        m_pBlend->Clear();
        m_pCapSource = m_pImage;
        m_pBlendPicture = nullptr;
    }
    auto lit = [&](size_t i) {
        const KEY_INFO* key = m_keys[i];
        const bool marked = static_cast<int>(i) == m_nPressed || static_cast<int>(i) == m_nHover;
        return std::make_pair(marked, custom && (marked || key->bCheck));
    };
    // The caps first, blended from their stored renderings with GDI ...
    if (m_pImage && m_nFrameWidth > 0) {
        HDC hdc = g.GetHDC();
        for (size_t i = 0; i < m_keys.size(); ++i) {
            const KEY_INFO* key = m_keys[i];
            if (key->nKeyCode == ROUND_KEY_CODE) continue;
            const CRect r = DrawRect(key);
            const int frame = lit(i).second ? 1 : 0;
            const bool drawn =
                m_pBlend->Blend(hdc, r.left, r.top, frame ? L"cap1" : L"cap0", r.Width(),
                                r.Height(), [&](Gdiplus::Graphics& cap) {
                                    const CRect at(0, 0, r.Width(), r.Height());
                                    if (r.Width() <= 50)
                                        StretchFrame(cap, m_pImage, at, frame * m_nFrameWidth,
                                                     m_nFrameWidth, m_nImageHeight);
                                    else
                                        buttonpaint::DrawFaceFrame(cap, this, frame, at, 8);
                                });
            if (!drawn) {
                g.ReleaseHDC(hdc);
                if (r.Width() <= 50)
                    StretchFrame(g, m_pImage, r, frame * m_nFrameWidth, m_nFrameWidth,
                                 m_nImageHeight);
                else
                    buttonpaint::DrawFaceFrame(g, this, frame, r, 8);
                hdc = g.GetHDC();
            }
        }
        g.ReleaseHDC(hdc);
    }
    // ... then the round keys and the labels with GDI+.
    for (size_t i = 0; i < m_keys.size(); ++i) {
        const KEY_INFO* key = m_keys[i];
        const CRect r = DrawRect(key);
        if (key->nKeyCode == ROUND_KEY_CODE) {
            g.FillEllipse(&roundFill, r.left, r.top, r.Width(), r.Height());
            if (custom && lit(i).first)
                g.DrawEllipse(&roundEdge, r.left, r.top, r.Width(), r.Height());
        }
        fonts.Draw(g, custom ? key->strName : Legend(key), LabelBox(r), m_pTextFormat,
                   m_clrText.GetValue(), m_pBlend, hint);
    }
}

void KeyboardCtrl::DrawNoneMode(Gdiplus::Graphics& g, int&, int&)
{
    DrawKeyCaps(g, false);
}

void KeyboardCtrl::DrawCustomMode(Gdiplus::Graphics& g, int&, int&)
{
    DrawKeyCaps(g, true);
}

void KeyboardCtrl::DrawLightMode(Gdiplus::Graphics& g, int, int)
{
    LabelFonts fonts(this, m_labelFit);
    const Gdiplus::TextRenderingHint hint = m_textRenderingHint;
    const Gdiplus::ARGB select = Manager::m_select_color.GetValue();
    CAutoLock lock(m_keyLock);
    for (const KEY_INFO* key : m_keys) {
        if (key->nKeyCode == ROUND_KEY_CODE) continue;
        const CRect r = DrawRect(key);
        const Gdiplus::ARGB fill = Opaque(key->crKey);
        const Gdiplus::ARGB edge = (m_bFrameSelect && key->bCheck) ? select : fill;
        MRender::DrawRoundRectange(g, static_cast<float>(r.left), static_cast<float>(r.top),
                                   static_cast<float>(r.Width()), static_cast<float>(r.Height()),
                                   12.0f, edge, 2.0f, TRUE, fill);
        fonts.Draw(g, Legend(key), LabelBox(r), m_pTextFormat, 0xFFFFFFFF, m_pBlend, hint);
    }
}

void KeyboardCtrl::DrawUserLightMode(Gdiplus::Graphics& g, int, int)
{
    CAutoLock lock(m_keyLock);
    for (const KEY_INFO* key : m_keys) {
        const CRect r = DrawRect(key);
        MRender::DrawRoundRectange(g, static_cast<float>(r.left), static_cast<float>(r.top),
                                   static_cast<float>(r.Width()), static_cast<float>(r.Height()),
                                   12.0f, Opaque(key->crKey), 2.0f, FALSE, 0);
    }
}

void KeyboardCtrl::DrawRoundRectange(Gdiplus::Graphics& g, int x, int y, int w, int h, int radius,
                                     Gdiplus::ARGB fill, int penWidth, Gdiplus::ARGB penColor)
{
    if (h < 12) h = 12;
    const int d = radius * 2;
    Gdiplus::GraphicsPath path;
    if (d > 0) {
        path.AddArc(x, y, d, d, 180, 90);
        path.AddArc(x + w - d, y, d, d, 270, 90);
        path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
        path.AddArc(x, y + h - d, d, d, 90, 90);
        path.CloseFigure();
    } else {
        path.AddRectangle(Gdiplus::Rect(x, y, w, h));
    }
    Gdiplus::SolidBrush brush{Gdiplus::Color(fill)};
    g.FillPath(&brush, &path);
    if (penWidth != 0) {
        Gdiplus::Pen pen(Gdiplus::Color(penColor), static_cast<Gdiplus::REAL>(penWidth));
        g.DrawPath(&pen, &path);
    }
}

void KeyboardCtrl::CalFrameSelect()
{
    CRect band(std::min(m_ptBandStart.x, m_ptBandEnd.x), std::min(m_ptBandStart.y, m_ptBandEnd.y),
               std::max(m_ptBandStart.x, m_ptBandEnd.x), std::max(m_ptBandStart.y, m_ptBandEnd.y));
    if (band.Width() < 6 && band.Height() < 6) return;
    CAutoLock lock(m_keyLock);
    for (KEY_INFO* key : m_keys) {
        CRect hit = HitRect(key), meet;
        key->bCheck = meet.IntersectRect(&hit, &band) ? 1 : 0;
    }
}

// ---- pointer ----

int KeyboardCtrl::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nHover;
    if (m_rcControl.PtInRect(point)) {
        if (m_nHover >= 0) {
            KEY_INFO* still = nullptr;
            CRect hit;
            {
                CAutoLock lock(m_keyLock);
                if (ValidIndex(m_nHover) && HitRect(m_keys[m_nHover]).PtInRect(point)) {
                    still = m_keys[m_nHover];
                    hit = HitRect(still);
                } else {
                    m_nHover = -1;
                }
            }
            if (still) {
                SetTips(still, hit, true);
                return 1;
            }
            SetTips(nullptr, CRect(), false);
        }
        CAutoLock lock(m_keyLock);
        m_nHover = FindKeyAt(point);
    } else {
        {
            CAutoLock lock(m_keyLock);
            m_nHover = -1;
        }
        SetTips(nullptr, CRect(), false);
    }
    if (m_nHover != before && !m_bRunning) {
        Repaint();
        return 1;
    }
    return 0;
}

void KeyboardCtrl::DragMove(CPoint point)
{
    if (!m_bEnabled) return;
    const int before = m_nHover;
    {
        CAutoLock lock(m_keyLock);
        if (!m_rcControl.PtInRect(point)) {
            m_nHover = -1;
        } else if (!(ValidIndex(m_nHover) && HitRect(m_keys[m_nHover]).PtInRect(point))) {
            m_nHover = FindKeyAt(point);
        }
    }
    if (m_nHover != before) Repaint();
}

// A press takes the key under it, not the one the last move left hovered:
// quick moves may reach the control merged, or not at all. Lock held.
void KeyboardCtrl::HoverKeyAt(CPoint point)
{
    if (ValidIndex(m_nHover) && HitRect(m_keys[m_nHover]).PtInRect(point)) return;
    m_nHover = FindKeyAt(point);
}

int KeyboardCtrl::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_bBandActive) {
        m_bBandActive = 0;
        Repaint();
    }
    if (m_bFrameSelect && !(::GetKeyState(VK_CONTROL) & 0x8000)) ResetAllItemCheck(0);
    const int before = m_nPressed;
    if (m_rcControl.PtInRect(point)) {
        int code = 0;
        bool onKey = false;
        {
            CAutoLock lock(m_keyLock);
            HoverKeyAt(point);
            m_nPressed = m_nHover;
            if (ValidIndex(m_nPressed)) {
                KEY_INFO* key = m_keys[m_nPressed];
                onKey = true;
                code = key->nKeyCode;
                m_nCurKeyValue = code;
                if (m_bFrameSelect) {
                    key->bCheck = key->bCheck ? 0 : 1;
                    if (m_nMode == MODE_LIGHT)
                        key->crKey = key->crKey == m_crSelect ? 0 : m_crSelect;
                }
            } else {
                m_nPressed = -1;
            }
        }
        SendMessageW(1, static_cast<UINT_PTR>(onKey ? m_nPressed : -1), onKey ? code : 0);
    } else {
        m_ptBandStart = m_ptBandEnd = CPoint(0, 0);
        m_bBandActive = 0;
    }
    if (m_nPressed != before || m_bFrameSelect) Repaint();
    return 1;
}

int KeyboardCtrl::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_bBandActive) {
        m_ptBandStart = m_ptBandEnd = CPoint(0, 0);
        m_bBandActive = 0;
        Repaint();
    }
    int index = -1;
    if (m_rcControl.PtInRect(point)) {
        index = m_nPressed;
        if (index == -1) m_nCurKeyValue = -1;
    }
    SendMessageW(2, static_cast<UINT_PTR>(index), 0);
    return 1;
}

int KeyboardCtrl::OnControlRButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled || !m_bFrameSelect) return 0;
    if (m_rcControl.PtInRect(point)) {
        m_ptBandStart = point;
    } else {
        m_ptBandStart = m_ptBandEnd = CPoint(0, 0);
        m_bBandActive = 0;
    }
    return 1;
}

int KeyboardCtrl::OnControlRButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    if (m_bBandActive) {
        m_ptBandStart = m_ptBandEnd = CPoint(0, 0);
        m_bBandActive = 0;
        Repaint();
    }
    const int before = m_nPressed;
    if (m_rcControl.PtInRect(point)) {
        int code = 0;
        {
            CAutoLock lock(m_keyLock);
            HoverKeyAt(point);
            m_nPressed = ValidIndex(m_nHover) ? m_nHover : -1;
            if (m_nPressed >= 0) code = m_keys[m_nPressed]->nKeyCode;
        }
        m_nCurKeyValue = code;
        SendMessageW(5, static_cast<UINT_PTR>(m_nPressed), code);
    }
    if (m_nPressed != before) Repaint();
    return 1;
}

// ---- tips ----

void KeyboardCtrl::SetTips(KEY_INFO* key, CRect rect, bool show)
{
    if (!m_bShowTips) return;
    if (!m_pTips) {
        if (!m_pManager) return;
        m_pTips = new CKeyboardTips();
        m_pTips->Create(m_pManager->GetPaintWnd(), L"KeyboardTip Window",
                        tipwindow::kTipWindowStyle, 0, CRect(), nullptr);
        m_pTips->LoadBKImage(CString(L"img_tip_bk.png"));
    }
    if (!show) {
        m_pTips->ShowWindow(SW_HIDE);
        return;
    }
    // The worker replaces or frees the records' texts: copy them under the
    // lock, and only while the record is still one of ours.
    CString text[4];
    bool found = false;
    {
        CAutoLock lock(m_keyLock);
        for (const KEY_INFO* k : m_keys) {
            if (k != key) continue;
            found = true;
            if (!k->strTip1.IsEmpty() || !k->strTip5.IsEmpty()) {
                text[0] = k->strTip1;
                text[1] = k->strTip2;
                text[2] = k->strTip3;
                text[3] = k->strTip4;
            } else {
                text[0] = text[1] = text[2] = text[3] = k->strDesc;
            }
            break;
        }
    }
    if (!found) {
        m_pTips->ShowWindow(SW_HIDE);
        return;
    }
    POINT anchor = {rect.left + rect.Width() / 2, rect.top};
    if (m_pManager) ::ClientToScreen(m_pManager->GetPaintWnd(), &anchor);
    m_pTips->SetAirBladderMsg(text[0], text[1], text[2], text[3], anchor);
    // Shown as SW_SHOW would, the tip took the activation: the window lost its
    // hover on every tip, and the next press went nowhere.
    tipwindow::ShowWithoutActivation(m_pTips->GetSafeHwnd());
}

}  // namespace WEXA
