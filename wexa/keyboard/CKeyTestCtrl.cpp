#include "CKeyTestCtrl.h"
#include "GlyphFaces.h"

#include "ControlRegistry.h"
#include "keyboard/PickerCommon.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CKeyTestCtrl, new CKeyTestCtrl(a.owner, a.id, a.rect, a.visible, a.enabled));

CKeyTestCtrl::CKeyTestCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nTicks(0),
      m_dwLastPress(0),
      m_pClock(nullptr)
{}

CKeyTestCtrl::~CKeyTestCtrl()
{
    CAutoLock lock(m_itemsLock);
    for (KEYTESTITEM_INFO* item : m_items) delete item;
    m_items.clear();
}

void CKeyTestCtrl::AddKey(CString name, int code)
{
    m_dwLastPress = Now();
    {
        CAutoLock lock(m_itemsLock);
        m_items.push_back(new KEYTESTITEM_INFO{name, code, HELD, CRect()});
    }
    picker::Repaint(this);
}

void CKeyTestCtrl::RemoveKey(int code)
{
    CAutoLock lock(m_itemsLock);
    for (KEYTESTITEM_INFO* item : m_items)
        if (item->code == code && item->level == HELD) {
            item->level = RELEASED;
            break;
        }
}

void CKeyTestCtrl::ClearList()
{
    {
        CAutoLock lock(m_itemsLock);
        for (KEYTESTITEM_INFO* item : m_items) delete item;
        m_items.clear();
    }
    picker::Repaint(this);
}

int CKeyTestCtrl::GetKeyCount()
{
    CAutoLock lock(m_itemsLock);
    return static_cast<int>(m_items.size());
}

bool CKeyTestCtrl::GetKeyInfo(int index, KEYTESTITEM_INFO& out)
{
    CAutoLock lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return false;
    out = *m_items[static_cast<size_t>(index)];
    return true;
}

int CKeyTestCtrl::OnControlTimer()
{
    if (!m_bVisible) return 0;
    if (++m_nTicks <= DIVIDER) return 0;
    m_nTicks = 0;
    const DWORD now = Now();
    if (static_cast<DWORD>(now - m_dwLastPress.load()) >= IDLE_CLEAR_MS) {
        m_dwLastPress = now;
        ClearList();
        return 1;
    }
    {
        CAutoLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items.size(); ++i) {
            KEYTESTITEM_INFO* item = m_items[i];
            if (item->level == HELD) continue;
            item->level -= FADE_STEP;
            if (item->level >= FADE_END) continue;
            delete item;
            m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    picker::Repaint(this);
    return 1;
}

void CKeyTestCtrl::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        ::BitBlt(m_hMemDC, 0, 0, W, H, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::FontFamily* family = GetFontFamily(m_strFontFace);
        Gdiplus::Font* font =
            family ? new Gdiplus::Font(family, 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel)
                   : nullptr;
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        Gdiplus::SolidBrush brush(m_clrText);
        CAutoLock lock(m_itemsLock);
        int x = 5;
        for (size_t n = m_items.size(); n-- > 0;) {
            KEYTESTITEM_INFO* item = m_items[n];
            if (item->name.IsEmpty()) continue;
            item->rect = CRect(x, 1, x + TILE_WIDTH, 31);
            picker::DrawFrame(g, m_pImage, m_nFrameWidth, m_nImageHeight, 0,
                              Gdiplus::Rect(x, 1, TILE_WIDTH, 30));
            if (font)
                GlyphFaces::DrawString(
                    g, item->name, item->name.GetLength(), font,
                    Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), 1.0f,
                                   static_cast<Gdiplus::REAL>(TILE_WIDTH), 30.0f),
                    &format, &brush);
            x += TILE_WIDTH;
            if (x > W - TILE_WIDTH) break;
        }
        delete font;
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

}  // namespace WEXA
