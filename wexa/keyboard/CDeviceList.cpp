#include "CDeviceList.h"
#include "GlyphFaces.h"

#include <algorithm>
#include <cwchar>
#include <memory>

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "controls/ControlPaint.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CDeviceList, new CDeviceList(a.owner, a.id, a.rect, a.visible, a.enabled));
WEXA_REGISTER_CONTROL(CDeviceCtrl, new CDeviceCtrl(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {

std::unique_ptr<Gdiplus::Font> FontOf(MControlFont* c, const wchar_t* face, float size, int style)
{
    if (Gdiplus::FontFamily* family = c->GetFontFamily(face))
        return std::unique_ptr<Gdiplus::Font>(
            new Gdiplus::Font(family, size, style, Gdiplus::UnitPixel));
    return std::unique_ptr<Gdiplus::Font>(
        new Gdiplus::Font(L"Arial", size, style, Gdiplus::UnitPixel));
}

// Reads a card picture whose file was not read yet (the file is forgotten
// then, whether it loaded or not).
void ReadPicture(CString& file, Gdiplus::Image*& image, int& width, int& height)
{
    if (file.IsEmpty()) return;
    image = MRender::LoadImageFromFileEx(file, 0, 0);
    file = L"";
    if (!image) return;
    width = static_cast<int>(image->GetWidth());
    height = static_cast<int>(image->GetHeight());
}

void ReadOnlinePicture(DEVICEITEM_INFO* card)
{
    ReadPicture(card->strOnlineFile, card->pOnlineImage, card->nOnlineWidth, card->nOnlineHeight);
}

void ReadOfflinePicture(DEVICEITEM_INFO* card)
{
    ReadPicture(card->strOfflineFile, card->pOfflineImage, card->nOfflineWidth,
                card->nOfflineHeight);
}

void FreeCard(DEVICEITEM_INFO* card)
{
    delete card->pOfflineImage;
    delete card->pOnlineImage;
    delete card;
}

}  // namespace

// ---- CDeviceList ----

CDeviceList::CDeviceList(MObject* owner, UINT id, CRect rect, int visible, int)
    : MPanel(owner, id, rect, visible),
      m_nHover(-1),
      m_nSelect(0),
      m_nItemPitch(200)
{}

CDeviceList::~CDeviceList()
{
    ClearList();
}

void CDeviceList::Repaint()
{
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, 1, this);
}

DEVICEITEM_INFO* CDeviceList::Find(int id) const
{
    for (DEVICEITEM_INFO* card : m_items)
        if (card->nDeviceId == id) return card;
    return nullptr;
}

int CDeviceList::AddDevice(CString name, int id, CString offlineImage, CString onlineImage)
{
    DEVICEITEM_INFO* card = new DEVICEITEM_INFO;
    card->strName = name;
    card->nDeviceId = id;
    // Read when first needed: most models are never connected, and the
    // program starts without reading ten pictures.
    card->strOfflineFile = offlineImage;
    card->strOnlineFile = onlineImage;
    int index;
    {
        CAutoLock lock(m_itemLock);
        m_items.push_back(card);
        index = static_cast<int>(m_items.size()) - 1;
    }
    Repaint();
    return index;
}

void CDeviceList::ClearList()
{
    {
        CAutoLock lock(m_itemLock);
        for (DEVICEITEM_INFO* card : m_items) FreeCard(card);
        m_items.clear();
        m_nHover = -1;
        m_nSelect = 0;
    }
    Repaint();
}

int CDeviceList::GetItemCount()
{
    return static_cast<int>(m_items.size());
}

void CDeviceList::SetAllDeviceState(int online)
{
    {
        CAutoLock lock(m_itemLock);
        for (DEVICEITEM_INFO* card : m_items) {
            card->nOnline = online;
            card->nBattery = 0;
            card->nCharging = 0;
        }
    }
    Repaint();
}

void CDeviceList::SetDeviceState(int id, int link, int online)
{
    {
        CAutoLock lock(m_itemLock);
        if (DEVICEITEM_INFO* card = Find(id)) {
            if (link == 0) {
                card->nOnline = online;
                card->nLink = 0;
            } else if (link == 1) {
                // A card already online over USB stays a USB card.
                if (card->nOnline == 0) card->nLink = 1;
                card->nOnline = online;
            }
        }
    }
    Repaint();
}

void CDeviceList::SetDeviceBattery(int id, int link, int level, int charging)
{
    {
        CAutoLock lock(m_itemLock);
        if (DEVICEITEM_INFO* card = Find(id)) {
            if (link == 0 || (link == 1 && card->nBattery == 0)) {
                card->nBattery = level;
                card->nCharging = charging;
            }
        }
    }
    Repaint();
}

int CDeviceList::GetDeviceState(int id)
{
    CAutoLock lock(m_itemLock);
    const DEVICEITEM_INFO* card = Find(id);
    return card ? card->nOnline : 0;
}

int CDeviceList::GetOnlineCount()
{
    CAutoLock lock(m_itemLock);
    int count = 0;
    for (const DEVICEITEM_INFO* card : m_items)
        if (card->nOnline > 0) ++count;
    return count;
}

void CDeviceList::SetSelectDevice(int id)
{
    {
        CAutoLock lock(m_itemLock);
        int first = -1, match = -1;
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (m_items[i]->nOnline <= 0) continue;
            if (first < 0) first = static_cast<int>(i);
            if (m_items[i]->nDeviceId == id) {
                match = static_cast<int>(i);
                break;
            }
        }
        m_nSelect = match >= 0 ? match : first;
    }
    Repaint();
}

int CDeviceList::GetSelectDevice()
{
    if (m_items.empty()) return 0;
    CAutoLock lock(m_itemLock);
    if (m_items.empty()) return 0;
    if (m_nSelect < 0) m_nSelect = 0;
    if (m_nSelect >= static_cast<int>(m_items.size())) return 0;
    return m_items[m_nSelect]->nDeviceId;
}

bool CDeviceList::GetDevice(int index, DEVICEITEM_INFO& out)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return false;
    DEVICEITEM_INFO* card = m_items[index];
    ReadOfflinePicture(card);
    ReadOnlinePicture(card);
    out.strName = card->strName;
    out.nDeviceId = card->nDeviceId;
    out.nLink = card->nLink;
    out.nOnline = card->nOnline;
    out.nBattery = card->nBattery;
    out.nCharging = card->nCharging;
    out.pOfflineImage = out.pOnlineImage = nullptr;
    out.nOfflineWidth = card->nOfflineWidth;
    out.nOfflineHeight = card->nOfflineHeight;
    out.nOnlineWidth = card->nOnlineWidth;
    out.nOnlineHeight = card->nOnlineHeight;
    out.rcItem = card->rcItem;
    return true;
}

CRect CDeviceList::GetImageRect(int width, int height, CRect box)
{
    if (width <= 10 || height <= 10) return box;
    const int bw = box.Width(), bh = box.Height();
    int w = width, h = height;
    const bool wider = w > bw, taller = h > bh;
    if (wider && taller) {
        // w / h against bw / bh, compared without dividing.
        if (static_cast<long long>(w) * bh > static_cast<long long>(bw) * h) {
            w = bw;
            h = static_cast<int>(static_cast<long long>(bw) * height / width);
        } else {
            h = bh;
            w = static_cast<int>(static_cast<long long>(bh) * width / height);
        }
    } else if (wider) {
        w = bw;
        h = static_cast<int>(static_cast<long long>(bw) * height / width);
    } else if (taller) {
        h = bh;
        w = static_cast<int>(static_cast<long long>(bh) * width / height);
    }
    const int left = box.left + (bw - w) / 2, top = box.top + (bh - h) / 2;
    return CRect(left, top, left + w, top + h);
}

CSize CDeviceList::CardSize(int online)
{
    if (online <= 1) return CSize(770, 500);
    if (online == 2) return CSize(500, 500);
    if (online == 3) return CSize(400, 500);
    return CSize(280, 300);
}

int CDeviceList::ShownBattery(int level)
{
    if (level <= 30) return 25;
    if (level <= 60) return 50;
    if (level <= 80) return 75;
    if (level <= 95) return 90;
    return level;
}

void CDeviceList::SetControlRect(CRect rect)
{
    m_rcControl = rect;
}

LONG CDeviceList::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    if ((id == 1 || id == 2) && code == 8) Repaint();
    return m_pParent ? m_pParent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

void CDeviceList::DrawControl(HDC& dc, CRect)
{
    const int cw = m_rcControl.Width(), ch = m_rcControl.Height();
    if (cw <= 0 || ch <= 0) return;
    UpdateMemDC(dc, cw, ch);
    if (!m_hMemDC) return;
    ::BitBlt(m_hMemDC, 0, 0, cw, ch, dc, m_rcControl.left, m_rcControl.top, SRCCOPY);
    ::SetBkMode(m_hMemDC, TRANSPARENT);
    {
        Gdiplus::Graphics g(m_hMemDC);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        const int n = GetOnlineCount();
        const CSize card = CardSize(n);
        const int W = card.cx, H = card.cy;
        std::unique_ptr<Gdiplus::Font> title =
            FontOf(this, L"Roboto-Bold", 32.0f, Gdiplus::FontStyleBold);
        std::unique_ptr<Gdiplus::Font> smallFont = FontOf(
            this, m_strFontFace, static_cast<float>(m_nFontWidth), Gdiplus::FontStyleRegular);
        Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF050505));
        Gdiplus::StringFormat centred;
        centred.SetAlignment(Gdiplus::StringAlignmentCenter);
        centred.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        Gdiplus::StringFormat leftAligned;
        leftAligned.SetAlignment(Gdiplus::StringAlignmentNear);
        leftAligned.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        const Gdiplus::ARGB select = Manager::m_select_color.GetValue();
        int x = (cw - (W + 20) * n + 20) / 2;
        const int y = (ch - H) / 2;
        auto box = [](int l, int t, int w, int h) {
            return Gdiplus::RectF(static_cast<Gdiplus::REAL>(l), static_cast<Gdiplus::REAL>(t),
                                  static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(h));
        };
        CAutoLock lock(m_itemLock);
        for (size_t i = 0; i < m_items.size(); ++i) {
            DEVICEITEM_INFO* item = m_items[i];
            if (item->nOnline == 0) continue;
            item->rcItem = CRect(x, y, x + W, y + H);
            MRender::DrawRoundRectange(
                g, static_cast<float>(x), static_cast<float>(y), static_cast<float>(W),
                static_cast<float>(H), 6.0f,
                static_cast<int>(i) == m_nHover ? select : static_cast<Gdiplus::ARGB>(0x64FFFFFF),
                2.0f, 0xC8FFFFFF);
            ReadOnlinePicture(item);
            if (item->pOnlineImage) {
                const CRect picture(x + 50, y + 80, x + W - 50, y + H - 50);
                const CRect fit = GetImageRect(item->nOnlineWidth, item->nOnlineHeight, picture);
                g.DrawImage(item->pOnlineImage,
                            Gdiplus::Rect(fit.left, fit.top, fit.Width(), fit.Height()), 0, 0,
                            item->nOnlineWidth, item->nOnlineHeight, Gdiplus::UnitPixel);
            }
            if (!item->strName.IsEmpty() && title)
                GlyphFaces::DrawString(g, item->strName, item->strName.GetLength(), title.get(),
                                       box(x + 20, y + 20, W - 40, 60), &centred, &brush);
            if (m_pImage && m_nFrameWidth > 0) {
                const int fw = m_nFrameWidth, fh = m_nImageHeight;
                // Level 0: a keyboard without a battery (or none known).
                if (item->nBattery != 0) {
                    const int battery = item->nCharging == 1   ? 3
                                        : item->nBattery <= 25 ? 0
                                        : item->nBattery <= 75 ? 1
                                                               : 2;
                    g.DrawImage(m_pImage, Gdiplus::Rect(x + W / 2 - 100, y + H - 100, fw, fh),
                                battery * fw, 0, fw, fh, Gdiplus::UnitPixel);
                    wchar_t percent[16];
                    swprintf(percent, 16, L"%d%%", ShownBattery(item->nBattery));
                    if (smallFont)
                        GlyphFaces::DrawString(g, percent, -1, smallFont.get(),
                                               box(x + W / 2 - 70, y + H - 100, 60, 25),
                                               &leftAligned, &brush);
                }
                const int frame = 4 + (item->nLink ? 1 : 0);
                g.DrawImage(m_pImage, Gdiplus::Rect(x + W / 2 + 50, y + H - 100, fw, fh),
                            frame * fw, 0, fw, fh, Gdiplus::UnitPixel);
                if (smallFont)
                    GlyphFaces::DrawString(
                        g, item->nLink == 0 ? L"USB" : L"2.4G", -1, smallFont.get(),
                        box(x + W / 2 + 80, y + H - 100, 60, 25), &leftAligned, &brush);
            }
            x += W + 20;
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, cw, ch, m_hMemDC, 0, 0, SRCCOPY);
}

int CDeviceList::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    const int before = m_nHover;
    if (!m_rcControl.PtInRect(point)) {
        m_nHover = -1;
    } else {
        CAutoLock lock(m_itemLock);
        const CPoint local(point.x - m_rcControl.left, point.y - m_rcControl.top);
        const int n = static_cast<int>(m_items.size());
        if (m_nHover >= 0 && m_nHover < n && m_items[m_nHover]->rcItem.PtInRect(local)) return 1;
        m_nHover = -1;
        for (int i = 0; i < n; ++i)
            if (m_items[i]->nOnline > 0 && m_items[i]->rcItem.PtInRect(local)) {
                m_nHover = i;
                break;
            }
    }
    if (m_nHover != before) Repaint();
    return 1;
}

int CDeviceList::OnControlLButtonDown(UINT, CPoint)
{
    return m_bEnabled ? 1 : 0;
}

int CDeviceList::OnControlLButtonUp(UINT, CPoint)
{
    if (!m_bEnabled) return 0;
    if (m_nHover < 0) return 1;
    bool online = false;
    {
        CAutoLock lock(m_itemLock);
        if (m_nHover >= static_cast<int>(m_items.size())) return 1;
        m_nSelect = m_nHover;
        online = m_items[m_nSelect]->nOnline > 0;
    }
    if (online) SendMessageW(2, 0, 0);
    return 1;
}

int CDeviceList::OnControlScroll(int, UINT down, CPoint)
{
    if (GetItemCount() * m_nItemPitch <= m_rcControl.Width()) return 0;
    CScrollHorizontal* bar = m_pScrollHorizontal;
    if (!bar) return 1;
    if (bar->ScrollRow(down == 1 ? 10 : -10)) Repaint();
    return 1;
}

// ---- CDeviceCtrl ----

CDeviceCtrl::CDeviceCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_nState(0),
      m_backColor(0x3CFFFFFF),
      m_nDeviceStatus(0),
      m_nShowMode(0),
      m_pTileImage(nullptr)
{
    SetTextColor(Gdiplus::Color(0xFFFFFFFF));
}

CDeviceCtrl::~CDeviceCtrl()
{
    // m_pImage points at the tile's own picture, not at the engine's cache.
    m_pImage = nullptr;
    delete m_pTileImage;
}

void CDeviceCtrl::Repaint(int erase)
{
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(m_rcControl, erase, this);
}

int CDeviceCtrl::SetImage(const wchar_t* file, int frames)
{
    delete m_pTileImage;
    m_pTileImage = nullptr;
    m_pImage = nullptr;
    m_nFrameWidth = m_nImageHeight = 0;
    if (frames < 1) frames = 1;
    m_nFrameCount = frames;
    if (file && *file) m_pTileImage = MRender::LoadImageFromFile(file);
    if (m_pTileImage && m_pTileImage->GetLastStatus() != Gdiplus::Ok) {
        delete m_pTileImage;
        m_pTileImage = nullptr;
    }
    if (m_pTileImage) {
        m_pImage = m_pTileImage;
        m_nFrameWidth = static_cast<int>(m_pTileImage->GetWidth() / static_cast<UINT>(frames));
        m_nImageHeight = static_cast<int>(m_pTileImage->GetHeight());
    }
    Repaint(1);
    return m_pTileImage ? 1 : 0;
}

void CDeviceCtrl::SetDeviceStatus(int status)
{
    m_nDeviceStatus = status;
    Repaint(1);
}

void CDeviceCtrl::SetShowMode(int mode)
{
    if (mode == m_nShowMode) return;
    m_nShowMode = mode;
    Repaint(1);
}

void CDeviceCtrl::DrawFrame(Gdiplus::Graphics& g, int x)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (m_nShowMode) {
        Gdiplus::SolidBrush back(m_backColor);
        g.FillRectangle(&back, x, 0, w, h);
    }
    std::unique_ptr<Gdiplus::Font> font =
        FontOf(this, m_strFontFace, static_cast<float>(m_nFontWidth), m_fontStyle);
    Gdiplus::StringFormat format;
    format.SetAlignment(m_nShowMode ? Gdiplus::StringAlignmentNear
                                    : Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                          Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    const int fw = m_nFrameWidth, fh = m_nImageHeight;
    auto picture = [&](int px, int py) {
        if (m_pTileImage && fw > 0)
            g.DrawImage(m_pTileImage, Gdiplus::Rect(x + px, py, fw, fh), 0, 0, fw, fh,
                        Gdiplus::UnitPixel);
    };
    auto title = [&](Gdiplus::RectF box, Gdiplus::ARGB grey) {
        Gdiplus::SolidBrush brush(m_nDeviceStatus ? m_clrText : Gdiplus::Color(grey));
        if (font)
            GlyphFaces::DrawString(g, m_strTitle, m_strTitle.GetLength(), font.get(), box, &format,
                                   &brush);
    };
    if (m_strTitle.IsEmpty()) {
        picture((w - fw) / 2, (h - fh) / 2);
    } else if (m_nShowMode) {
        picture(5, 0);
        title(Gdiplus::RectF(static_cast<Gdiplus::REAL>(x + 238), 60.0f, 190.0f, 30.0f),
              0xFFC8C8C8);
    } else {
        picture((w - fw) / 2, (h - fh - 30) / 2);
        title(Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(h - 35),
                             static_cast<Gdiplus::REAL>(w), 30.0f),
              0xFF808080);
    }
}

void CDeviceCtrl::DrawControl(HDC& dc, CRect)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (w <= 0 || h <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        if (!paint::BeginFrames(this, dc, 2)) return;
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(m_smoothingMode);
        DrawFrame(g, 0);
        // Frame 1, the pressed look: frame 0 moved by one pixel right and down.
        g.TranslateTransform(1.0f, 1.0f);
        DrawFrame(g, w);
    }
    paint::ShowFrame(this, dc, (m_nState == 1 || m_nState == 2) ? 1 : 0);
}

int CDeviceCtrl::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled || !m_nDeviceStatus) return 0;
    if (m_nState != 2) {
        const int state = m_rcControl.PtInRect(point) ? 1 : 0;
        if (state != m_nState) {
            m_nState = state;
            Repaint(0);
        }
    }
    return 1;
}

int CDeviceCtrl::OnControlLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled || !m_nDeviceStatus) return 0;
    if (m_rcControl.PtInRect(point)) {
        m_nState = 2;
        Repaint(0);
        SendMessageW(1, 0, 0);
    }
    return 1;
}

int CDeviceCtrl::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled || !m_nDeviceStatus) return 0;
    if (m_rcControl.PtInRect(point)) {
        m_nState = 0;
        Repaint(0);
        SendMessageW(2, 0, 0);
    }
    return 1;
}

}  // namespace WEXA
