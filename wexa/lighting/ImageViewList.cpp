#include "ImageViewList.h"

#include <algorithm>
#include <cstdint>

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"
#include "lighting/AnimatedGifWriter.h"
#include "lighting/LcdImaging.h"
#include "lighting/LcdRowStrip.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(ImageViewList, new ImageViewList(a.owner, a.id, a.rect, a.visible));

namespace {

// The thumbnail box's 176 / 102.
const double kThumbRatio = 1.7254902;

}  // namespace

lcd::RowStrip<IMGITEM_INFO> ImageViewList::Cards()
{
    return lcd::RowStrip<IMGITEM_INFO>(*this, m_itemLock, m_items, &IMGITEM_INFO::rcCard,
                                       [this](const RECT& r) { return CardToWindow(r); });
}

ImageViewList::ImageViewList(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_nPitch(CARD_PITCH),
      m_nHover(-1),
      m_nSelect(-1),
      m_nFirstVisible(-1),
      m_nLastVisible(-1),
      m_nStripOffset(0),
      m_rcThumb(3, 2, 179, 104),
      m_pCardImage1(nullptr),
      m_pCardImage2(nullptr),
      m_nCard1Width(0),
      m_nCard1Height(0),
      m_nCard2Width(0),
      m_nCard2Height(0)
{
    SetTextColor(Gdiplus::Color(0xFFFFFFFF));
    if (m_pScrollVertical) m_pScrollVertical->SetControlVisible(0);
    if (m_pScrollHorizontal) m_pScrollHorizontal->SetControlVisible(0);
    ImageViewList::SetControlRect(rect);
}

ImageViewList::~ImageViewList()
{
    delete m_pCardImage1;
    delete m_pCardImage2;
    CAutoLock lock(m_itemLock);
    for (IMGITEM_INFO* row : m_items) lcd::FreeRow(row);
    m_items.clear();
}

void ImageViewList::Repaint()
{
    paint::Repaint(this, 1);
}

int ImageViewList::SetImage(const wchar_t* skinFileName, int frames)
{
    if (!m_pManager || !skinFileName) return 0;
    ImgResInfo* info = m_pManager->AddImgResInfo(skinFileName, frames);
    if (!info) return 0;
    m_pImage = info->pImage;
    m_nFrameWidth = info->nWidth;
    m_nImageHeight = info->nHeight;
    m_nFrameCount = info->nCount;
    Repaint();
    return 1;
}

int ImageViewList::SetItemImage(const wchar_t* first, const wchar_t* second)
{
    delete m_pCardImage1;
    delete m_pCardImage2;
    m_pCardImage1 = first ? MRender::LoadImageFromFile(GetSkinsPath() + first) : nullptr;
    m_pCardImage2 = second ? MRender::LoadImageFromFile(GetSkinsPath() + second) : nullptr;
    m_nCard1Width = m_pCardImage1 ? static_cast<int>(m_pCardImage1->GetWidth()) : 0;
    m_nCard1Height = m_pCardImage1 ? static_cast<int>(m_pCardImage1->GetHeight()) : 0;
    m_nCard2Width = m_pCardImage2 ? static_cast<int>(m_pCardImage2->GetWidth()) : 0;
    m_nCard2Height = m_pCardImage2 ? static_cast<int>(m_pCardImage2->GetHeight()) : 0;
    return 0;
}

// ---- rows ----

int ImageViewList::InsertRow(int at, CString path, int delay, int id, CString name)
{
    IMGITEM_INFO* row = new IMGITEM_INFO;
    row->strImagePath = path;
    row->strEditImagePath = path;
    row->pThumbnail = lcd::LoadPictureCopy(path);
    row->nThumbWidth = row->pThumbnail ? static_cast<int>(row->pThumbnail->GetWidth()) : 0;
    row->nThumbHeight = row->pThumbnail ? static_cast<int>(row->pThumbnail->GetHeight()) : 0;
    row->nDelay = delay;
    row->nFrameId = id;
    row->strName = name;
    row->rcCard = RECT{0, 0, 0, 0};
    int count;
    {
        CAutoLock lock(m_itemLock);
        if (at < 0 || at > static_cast<int>(m_items.size())) at = static_cast<int>(m_items.size());
        m_items.insert(m_items.begin() + at, row);
        count = static_cast<int>(m_items.size());
    }
    UpdateScrollBar();
    Repaint();
    return count - 1;
}

int ImageViewList::AddString(CString path, int delay, int id, CString name)
{
    return InsertRow(-1, path, delay, id, name);
}

int ImageViewList::AddString(int index, CString path, int delay, int id, CString name)
{
    int at;
    {
        CAutoLock lock(m_itemLock);
        const int count = static_cast<int>(m_items.size());
        at = (index >= -1 && index < count) ? index + 1 : count;
    }
    return InsertRow(at, path, delay, id, name);
}

int ImageViewList::DeleteItem(int index)
{
    if (!Cards().Remove(index, {m_nHover, m_nSelect, m_nFirstVisible, m_nLastVisible}, [] {}))
        return 0;
    UpdateScrollBar();
    Repaint();
    return 1;
}

int ImageViewList::DeleteAllItems()
{
    Cards().RemoveAll({m_nHover, m_nSelect, m_nFirstVisible, m_nLastVisible}, [] {});
    FitScrollBar(m_pScrollHorizontal, 0, 0);
    if (MScroll* bar = m_pScrollHorizontal) {
        bar->SetScrollCurrentPos(0);
        bar->SetRange();
    }
    Repaint();
    return 1;
}

int ImageViewList::GetItemCount()
{
    return static_cast<int>(m_items.size());
}

int ImageViewList::SetCurSel(int index)
{
    return Cards().Select(index, m_nSelect);
}

CString ImageViewList::GetItemImageFile(int index)
{
    return Cards().Read(index, CString(), [](const IMGITEM_INFO& row) { return row.strImagePath; });
}

CString ImageViewList::GetItemEditImageFile(int index)
{
    return Cards().Read(index, CString(),
                        [](const IMGITEM_INFO& row) { return row.strEditImagePath; });
}

int ImageViewList::GetFrameID(int index)
{
    return Cards().Read(index, 0, [](const IMGITEM_INFO& row) { return row.nFrameId; });
}

CString ImageViewList::GetFrameItemName(int index)
{
    return Cards().Read(index, CString(), [](const IMGITEM_INFO& row) { return row.strName; });
}

int ImageViewList::GetItemDelayTime(int index)
{
    return Cards().Read(index, 0, [](const IMGITEM_INFO& row) { return row.nDelay; });
}

bool ImageViewList::SetItemDelayTime(int index, int ms)
{
    {
        CAutoLock lock(m_itemLock);
        if (index < 0 || index >= static_cast<int>(m_items.size())) return false;
        m_items[index]->nDelay = ms;
    }
    Repaint();
    return true;
}

bool ImageViewList::SetDelayTime(int ms)
{
    {
        CAutoLock lock(m_itemLock);
        for (IMGITEM_INFO* row : m_items) row->nDelay = ms;
    }
    Repaint();
    return true;
}

void ImageViewList::UpdateItemImageFile(int index, CString path)
{
    if (index < 0 || index >= GetItemCount()) return;
    Gdiplus::Image* copy = lcd::LoadPictureCopy(path);
    if (!copy) return;
    {
        CAutoLock lock(m_itemLock);
        if (index >= static_cast<int>(m_items.size())) {
            delete copy;
            return;
        }
        IMGITEM_INFO* row = m_items[index];
        row->strEditImagePath = path;
        delete row->pThumbnail;
        row->pThumbnail = copy;
        row->nThumbWidth = static_cast<int>(copy->GetWidth());
        row->nThumbHeight = static_cast<int>(copy->GetHeight());
    }
    Repaint();
}

int ImageViewList::SaveGIFImageFile(CString path, int width, int height)
{
    CAutoLock lock(m_itemLock);
    AnimatedGifWriter writer;
    writer.SetSize(width, height);
    writer.Begin(path);
    for (IMGITEM_INFO* row : m_items)
        writer.AddFrame(row->strImagePath,
                        static_cast<unsigned>(row->nDelay < 0 ? 0 : row->nDelay));
    writer.Save();
    writer.Clear();
    return 1;
}

// ---- layout and scrolling ----

int ImageViewList::TotalWidth()
{
    return GetItemCount() * m_nPitch;
}

void ImageViewList::UpdateScrollBar()
{
    FitScrollBar(m_pScrollHorizontal, TotalWidth(), m_rcControl.Width());
}

void ImageViewList::SetControlRect(CRect rect)
{
    lcd::PlaceList(*this, rect);
    UpdateScrollBar();
}

LONG ImageViewList::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return lcd::PassOn(*this, id, code, wparam, lparam);
}

// ---- painting ----

CRect ImageViewList::GetImageRect(int width, int height, CRect box)
{
    return lcd::FitRect(width, height, box, kThumbRatio);
}

CRect ImageViewList::CardToWindow(const RECT& card) const
{
    const int dx = m_rcControl.left - m_nStripOffset;
    return CRect(card.left + dx, card.top + m_rcControl.top, card.right + dx,
                 card.bottom + m_rcControl.top);
}

CRect ImageViewList::GetCardRect(int index)
{
    CAutoLock lock(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return CRect();
    if (index < m_nFirstVisible || index > m_nLastVisible) return CRect();
    return CardToWindow(m_items[index]->rcCard);
}

void ImageViewList::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    CAutoLock lock(m_itemLock);
    const int count = static_cast<int>(m_items.size());
    const lcd::RowSpan span = lcd::RowsAlong(m_pScrollHorizontal, count, m_nPitch, W);
    const int first = span.first, last = span.last, strip = span.canvas, offset = span.offset;
    if (first != m_nFirstVisible || last != m_nLastVisible || offset != m_nStripOffset ||
        m_nMemWidth != strip)
        m_bUpdate = 0;
    m_nFirstVisible = first;
    m_nLastVisible = last;
    m_nStripOffset = offset;

    if (!m_bUpdate || !m_hMemDC) {
        if (!lcd::StartCanvas(*this, dc, strip, H, offset, 0, W, H)) return;
        if (count > 0) {
            Gdiplus::Graphics g(m_hMemDC);
            lcd::PrepareCards(g);
            paint::ControlFont font(this);
            const Gdiplus::ARGB normal = Manager::GetNormalColor().GetValue();
            const Gdiplus::ARGB down = Manager::GetDownColor().GetValue();
            for (int i = first; i <= last; ++i) {
                IMGITEM_INFO* row = m_items[i];
                const int x = (i - first) * m_nPitch;
                row->rcCard = RECT{x, 0, x + CARD_WIDTH, H};
                const bool marked = i == m_nHover || i == m_nSelect;
                MRender::DrawRoundRectange(g, static_cast<float>(x), 10.0f, 182.0f, 106.0f, 10.0f,
                                           marked ? down : normal, 1.0f, TRUE, normal);
                if (row->pThumbnail) {
                    const CRect fit = GetImageRect(row->nThumbWidth, row->nThumbHeight, m_rcThumb);
                    g.DrawImage(row->pThumbnail, x + fit.left, 10 + fit.top + 1, fit.Width(),
                                fit.Height());
                }
                if (row->nDelay > 0) {
                    MRender::DrawRoundRectange(g, static_cast<float>(x + 142),
                                               static_cast<float>(H - 39), 40.0f, 20.0f, 6.0f, down,
                                               1.0f, TRUE, down);
                    CString text;
                    text.Format(L"%d", row->nDelay);
                    paint::DrawText(g, font.get(), text,
                                    Gdiplus::RectF(static_cast<float>(x + 142),
                                                   static_cast<float>(H - 39), 38.0f, 20.0f),
                                    m_clrText.GetValue(), Gdiplus::StringAlignmentCenter,
                                    Gdiplus::StringAlignmentCenter);
                }
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, offset, 0, SRCCOPY);
}

// ---- mouse ----

int ImageViewList::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    int hover = m_nHover;
    {
        CAutoLock lock(m_itemLock);
        const int count = static_cast<int>(m_items.size());
        if (count == 0 || m_nFirstVisible < 0 || m_nLastVisible < 0) return 0;
        if (!m_rcControl.PtInRect(point)) {
            hover = -1;
        } else {
            if (Cards().Holds(hover, point)) return 1;
            hover = Cards().At(m_nFirstVisible, m_nLastVisible, point);
        }
    }
    if (hover != m_nHover) {
        m_nHover = hover;
        Repaint();
    }
    return 0;
}

int ImageViewList::OnControlLButtonDown(UINT, CPoint point)
{
    if (m_bEnabled && m_rcControl.PtInRect(point) && m_nHover >= 0 && m_nHover < GetItemCount()) {
        m_nSelect = m_nHover;
        Repaint();
    }
    return 1;
}

int ImageViewList::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_rcControl.PtInRect(point)) return 0;
    const int selected = m_nSelect;
    CRect card;
    {
        CAutoLock lock(m_itemLock);
        if (selected < 0 || selected >= static_cast<int>(m_items.size())) return 0;
        card = CardToWindow(m_items[selected]->rcCard);
    }
    const CRect badge(card.right - 40, card.bottom - 39, card.right - 1, card.bottom - 20);
    SendMessageW(badge.PtInRect(point) ? 9 : 2, static_cast<UINT_PTR>(selected), 0);
    return 0;
}

int ImageViewList::OnControlLButtonDblClk(UINT, CPoint point)
{
    return Cards().DoubleClick(m_nHover, m_nSelect, point);
}

int ImageViewList::OnControlRButtonUp(UINT, CPoint point)
{
    return Cards().RightClick(m_nHover, m_nSelect, point, true);
}

int ImageViewList::OnControlScroll(int, UINT down, CPoint)
{
    return Cards().Wheel(m_pScrollHorizontal, TotalWidth(), m_rcControl.Width(), down);
}

}  // namespace WEXA
