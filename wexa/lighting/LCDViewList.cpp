#include "LCDViewList.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "ControlRegistry.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"
#include "lighting/LcdImaging.h"
#include "lighting/LcdRowStrip.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(LCDViewList, new LCDViewList(a.owner, a.id, a.rect, a.visible));

namespace {

const GUID kFrameDimensionTime = {
    0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};

void SetThumbnail(LCDITEM_INFO* row, Gdiplus::Image* image)
{
    delete row->pThumbnail;
    row->pThumbnail = image;
    row->nWidth = image ? static_cast<int>(image->GetWidth()) : 0;
    row->nHeight = image ? static_cast<int>(image->GetHeight()) : 0;
}

Gdiplus::Image* LoadSkin(const wchar_t* name, int& width, int& height)
{
    Gdiplus::Image* image = name ? MRender::LoadImageFromFile(GetSkinsPath() + name) : nullptr;
    width = image ? static_cast<int>(image->GetWidth()) : 0;
    height = image ? static_cast<int>(image->GetHeight()) : 0;
    return image;
}

}  // namespace

std::vector<unsigned long> LCDViewList::ReadFrameDelays(const BYTE* buffer, size_t size,
                                                        unsigned frames)
{
    std::vector<unsigned long> delays;
    if (!buffer || size < sizeof(Gdiplus::PropertyItem)) return delays;
    const auto* item = reinterpret_cast<const Gdiplus::PropertyItem*>(buffer);
    const BYTE* begin = buffer;
    const BYTE* end = begin + size;
    const BYTE* value = static_cast<const BYTE*>(item->value);
    if (!value || value < begin || value > end) return delays;
    const size_t length = std::min<size_t>(item->length, static_cast<size_t>(end - value));
    const size_t stored = length / 4;
    for (UINT i = 0; i < frames; ++i) {
        UINT32 hundredths = 10;  // a frame the property does not cover: 100 ms
        if (i < stored) memcpy(&hundredths, value + i * 4, 4);
        delays.push_back(hundredths ? static_cast<unsigned long>(hundredths) * 10 : 10);
    }
    return delays;
}

lcd::RowStrip<LCDITEM_INFO> LCDViewList::Rows()
{
    return lcd::RowStrip<LCDITEM_INFO>(*this, m_rowLock, m_rows, &LCDITEM_INFO::rcItem,
                                       [this](const RECT& r) { return RowToWindow(r); });
}

LCDViewList::LCDViewList(MObject* owner, UINT id, CRect rect, int visible)
    : MPanel(owner, id, rect, visible),
      m_rowHeight(150),
      m_hoverRow(-1),
      m_curSel(-1),
      m_firstVisible(-1),
      m_lastVisible(-1),
      m_canvasOffset(0),
      m_thumbRect(3, 5, 172, 105),
      m_previewImage(nullptr),
      m_previewWidth(0),
      m_previewHeight(0),
      m_previewIndex(0),
      m_previewCount(0),
      m_previewTick(0),
      m_frameDimension(kFrameDimensionTime),
      m_placeholder(nullptr),
      m_normalRowImage(nullptr),
      m_hoverRowImage(nullptr),
      m_normalRowWidth(0),
      m_normalRowHeight(0),
      m_hoverRowWidth(0),
      m_hoverRowHeight(0),
      m_pClock(nullptr)
{
    if (m_pScrollVertical) m_pScrollVertical->SetControlVisible(0);
    if (m_pScrollHorizontal) m_pScrollHorizontal->SetControlVisible(0);
    LCDViewList::SetControlRect(rect);
}

LCDViewList::~LCDViewList()
{
    {
        CAutoLock lock(m_rowLock);
        for (LCDITEM_INFO* row : m_rows) lcd::FreeRow(row);
        m_rows.clear();
        ClearPreview();
    }
    m_pImage = nullptr;
    delete m_placeholder;
    delete m_normalRowImage;
    delete m_hoverRowImage;
}

void LCDViewList::Repaint()
{
    paint::Repaint(this, 1);
}

void LCDViewList::ClearPreview()
{
    m_previewImage = nullptr;
    for (PREVIEWFRAME_INFO* frame : m_previewFrames) {
        delete frame->pImage;
        delete frame;
    }
    m_previewFrames.clear();
}

HDC LCDViewList::CompatibleDC() const
{
    return m_pManager ? m_pManager->GetPaintDC() : nullptr;
}

int LCDViewList::SetImage(const wchar_t* skinFileName, int frames)
{
    int w = 0, h = 0;
    Gdiplus::Image* image = LoadSkin(skinFileName, w, h);
    if (!image) return 0;
    if (frames < 1) frames = 1;
    delete m_placeholder;
    m_placeholder = image;
    m_pImage = image;
    m_nFrameCount = frames;
    m_nFrameWidth = w / frames;
    m_nImageHeight = h;
    Repaint();
    return 1;
}

int LCDViewList::SetItemImage(const wchar_t* normal, const wchar_t* hover)
{
    delete m_normalRowImage;
    delete m_hoverRowImage;
    m_normalRowImage = LoadSkin(normal, m_normalRowWidth, m_normalRowHeight);
    m_hoverRowImage = LoadSkin(hover, m_hoverRowWidth, m_hoverRowHeight);
    return 0;
}

// ---- rows ----

int LCDViewList::AddString(CString name, CString path, int frames, int ledId)
{
    LCDITEM_INFO* row = new LCDITEM_INFO();
    row->strName = name;
    row->pThumbnail = nullptr;
    SetThumbnail(row, lcd::LoadPictureCopy(path));
    row->nFrameCount = frames;
    row->nLEDId = ledId;
    row->rcItem = RECT{0, 0, 0, 0};
    int index;
    {
        CAutoLock lock(m_rowLock);
        m_rows.push_back(row);
        index = static_cast<int>(m_rows.size()) - 1;
    }
    UpdateScrollBar();
    Repaint();
    return index;
}

bool LCDViewList::SetFrameData(int index, CString path, int frames)
{
    Gdiplus::Image* image = lcd::LoadPictureCopy(path);
    CAutoLock lock(m_rowLock);
    if (index < 0 || index >= static_cast<int>(m_rows.size())) {
        delete image;
        return false;
    }
    SetThumbnail(m_rows[index], image);
    m_rows[index]->nFrameCount = frames;
    return true;
}

int LCDViewList::SetFrameSize(int index, int frames)
{
    CAutoLock lock(m_rowLock);
    if (index < 0 || index >= static_cast<int>(m_rows.size())) return 0;
    m_rows[index]->nFrameCount = frames;
    return 1;
}

int LCDViewList::SetItemLEDId(int index, int ledId)
{
    CAutoLock lock(m_rowLock);
    if (index < 0 || index >= static_cast<int>(m_rows.size())) return 0;
    m_rows[index]->nLEDId = ledId;
    return 1;
}

int LCDViewList::GetItemLEDId(int index)
{
    return Rows().Read(index, 0, [](const LCDITEM_INFO& row) { return row.nLEDId; });
}

void LCDViewList::SetItemLEDIdSelect(int ledId)
{
    {
        CAutoLock lock(m_rowLock);
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i]->nLEDId == ledId) {
                m_curSel = static_cast<int>(i);
                break;
            }
    }
    Repaint();
}

int LCDViewList::GetItemFrameSize(int index)
{
    return Rows().Read(index, 0, [](const LCDITEM_INFO& row) { return row.nFrameCount; });
}

int LCDViewList::GetCurImageFrameSize()
{
    return GetItemFrameSize(m_curSel);
}

CString LCDViewList::GetItemText(int index)
{
    return Rows().Read(index, CString(), [](const LCDITEM_INFO& row) { return row.strName; });
}

int LCDViewList::GetItemCount()
{
    CAutoLock lock(m_rowLock);
    return static_cast<int>(m_rows.size());
}

int LCDViewList::SetCurSel(int index)
{
    return Rows().Select(index, m_curSel);
}

int LCDViewList::DeleteItem(int index)
{
    if (!Rows().Remove(index, {m_hoverRow, m_curSel, m_firstVisible, m_lastVisible},
                       [this] { m_previewImage = nullptr; }))
        return 0;
    UpdateScrollBar();
    Repaint();
    return 1;
}

int LCDViewList::DeleteAllItems()
{
    Rows().RemoveAll({m_hoverRow, m_curSel, m_firstVisible, m_lastVisible},
                     [this] { m_previewImage = nullptr; });
    FitScrollBar(m_pScrollVertical, 0, 0);
    Repaint();
    return 1;
}

// ---- picture utilities ----

void LCDViewList::SelectActiveFrame(Gdiplus::Image* picture, int index)
{
    if (picture && m_previewCount > 1 && index < m_previewCount)
        picture->SelectActiveFrame(&m_frameDimension, static_cast<UINT>(index));
}

int LCDViewList::LoadGIFImageFile(CString gifPath, CString folder)
{
    m_delayTimes.clear();
    std::unique_ptr<Gdiplus::Image> gif(MRender::LoadImageFromFile(gifPath));
    if (!gif || gif->GetLastStatus() != Gdiplus::Ok) return 0;
    const UINT dimensions = gif->GetFrameDimensionsCount();
    if (dimensions == 0) return 0;
    std::vector<GUID> ids(dimensions);
    if (gif->GetFrameDimensionsList(ids.data(), dimensions) != Gdiplus::Ok) return 0;
    const UINT frames = gif->GetFrameCount(&ids[0]);
    if (frames == 0) return 0;
    if (frames > 1) {
        const UINT size = gif->GetPropertyItemSize(PropertyTagFrameDelay);
        if (size > 0) {
            std::vector<BYTE> buffer(size);
            if (gif->GetPropertyItem(PropertyTagFrameDelay, size,
                                     reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data())) ==
                Gdiplus::Ok)
                m_delayTimes = ReadFrameDelays(buffer.data(), buffer.size(), frames);
        }
    }
    bool all = true;
    for (UINT i = 0; i < frames; ++i) {
        gif->SelectActiveFrame(&m_frameDimension, i);
        CString path;
        path.Format(L"%s\\%d.png", folder.GetString(), static_cast<int>(i));
        all = SavePNGImageFile(gif.get(), path) == 1 && all;
    }
    return all ? static_cast<int>(frames) : 0;
}

int LCDViewList::SavePNGImageFile(Gdiplus::Image* picture, CString path)
{
    if (!picture) return 0;
    const int w = static_cast<int>(picture->GetWidth()), h = static_cast<int>(picture->GetHeight());
    lcd::Canvas canvas(CompatibleDC(), w, h);
    if (!canvas.ok()) return 0;
    {
        Gdiplus::Graphics g(canvas.dc());
        g.DrawImage(picture, 0, 0, w, h);
    }
    return lcd::WritePngFile(path, canvas.ToOpaqueRgba(), w, h) ? 1 : 0;
}

int LCDViewList::SavePNGImageFile(HDC&, CString)
{
    return 1;
}

bool LCDViewList::GetImageRGB565Data(CString path, unsigned char* buffer, int width, int height)
{
    Gdiplus::Image* picture = MRender::LoadImageFromFile(path);
    if (!picture) return false;
    return GetImageRGB565Data(picture, buffer, width, height);
}

bool LCDViewList::GetImageRGB565Data(Gdiplus::Image* picture, unsigned char* buffer, int width,
                                     int height)
{
    std::unique_ptr<Gdiplus::Image> owned(picture);
    if (!picture || !buffer || width <= 0 || height <= 0) return false;
    lcd::Canvas canvas(CompatibleDC(), width, height);
    if (!canvas.ok()) return false;
    {
        const CRect fit =
            GetImageRect(static_cast<int>(picture->GetWidth()),
                         static_cast<int>(picture->GetHeight()), CRect(0, 0, width, height));
        Gdiplus::Graphics g(canvas.dc());
        g.DrawImage(picture, fit.left, fit.top, fit.Width(), fit.Height());
    }
    GdiFlush();
    const uint32_t* bits = canvas.bits();
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
        const uint32_t p = bits[i];
        const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        const unsigned v = ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3);
        buffer[i * 2] = static_cast<unsigned char>(v & 0xFF);
        buffer[i * 2 + 1] = static_cast<unsigned char>(v >> 8);
    }
    return true;
}

void LCDViewList::AddFrameData(std::vector<VIEW_INFO> frames)
{
    std::vector<PREVIEWFRAME_INFO*> loaded;
    for (const VIEW_INFO& info : frames) {
        Gdiplus::Image* image = lcd::LoadPictureCopy(info.strPath);
        if (!image) continue;
        PREVIEWFRAME_INFO* frame = new PREVIEWFRAME_INFO;
        frame->pImage = image;
        frame->nWidth = static_cast<int>(image->GetWidth());
        frame->nHeight = static_cast<int>(image->GetHeight());
        frame->nDelay = info.nDelay;
        loaded.push_back(frame);
    }
    CAutoLock lock(m_rowLock);
    ClearPreview();  // the shown frame goes with the old list
    m_previewFrames = loaded;
    m_previewIndex = 0;
}

int LCDViewList::GetPreviewFrameCount()
{
    CAutoLock lock(m_rowLock);
    return static_cast<int>(m_previewFrames.size());
}

CRect LCDViewList::GetImageRect(int width, int height, CRect box)
{
    return lcd::FitRect(width, height, box, 1.69);
}

// ---- layout ----

int LCDViewList::DrawWidth() const
{
    int w = m_rcControl.Width();
    if (m_pScrollVertical && m_pScrollVertical->m_bVisible) w -= m_nScrollThickness;
    return w;
}

void LCDViewList::UpdateScrollBar()
{
    FitScrollBar(m_pScrollVertical, m_rowHeight * GetItemCount(), m_rcControl.Height());
}

void LCDViewList::SetControlRect(CRect rect)
{
    lcd::PlaceList(*this, rect);
    UpdateScrollBar();
}

LONG LCDViewList::OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam)
{
    return lcd::PassOn(*this, id, code, wparam, lparam);
}

CRect LCDViewList::RowToWindow(const RECT& r) const
{
    return CRect(r.left + m_rcControl.left, r.top + m_rcControl.top - m_canvasOffset,
                 r.right + m_rcControl.left, r.bottom + m_rcControl.top - m_canvasOffset);
}

// ---- drawing ----

void LCDViewList::DrawControl(HDC& dc, CRect)
{
    const int Wd = DrawWidth(), Hc = m_rcControl.Height();
    if (Wd <= 0 || Hc <= 0) return;
    CAutoLock lock(m_rowLock);
    const int count = static_cast<int>(m_rows.size());
    const lcd::RowSpan span = lcd::RowsAlong(m_pScrollVertical, count, m_rowHeight, Hc);
    const int first = span.first, last = span.last, canvasH = span.canvas,
              canvasOffset = span.offset;
    if (first != m_firstVisible || last != m_lastVisible || canvasOffset != m_canvasOffset ||
        m_nMemHeight != canvasH || m_nMemWidth != Wd)
        m_bUpdate = 0;
    m_firstVisible = first;
    m_lastVisible = last;
    m_canvasOffset = canvasOffset;

    if (!m_bUpdate || !m_hMemDC) {
        if (!lcd::StartCanvas(*this, dc, Wd, canvasH, 0, canvasOffset, Wd, Hc)) return;
        if (count > 0) {
            Gdiplus::Graphics g(m_hMemDC);
            lcd::PrepareCards(g);
            paint::ControlFont font(this);
            const Gdiplus::ARGB normal = Manager::GetNormalColor().GetValue();
            const Gdiplus::ARGB hoverColor = Manager::GetHoverColor().GetValue();
            const Gdiplus::ARGB down = Manager::GetDownColor().GetValue();
            for (int i = first; i <= last; ++i) {
                LCDITEM_INFO* row = m_rows[i];
                const int y = (i - first) * m_rowHeight;
                row->rcItem = RECT{15, y + 10, Wd - 15, y + 141};
                const bool marked = i == m_curSel || i == m_hoverRow;
                MRender::DrawRoundRectange(g, 15.0f, static_cast<float>(y + 10), 175.0f, 131.0f,
                                           10.0f, marked ? down : normal, 1.0f, TRUE, normal);
                MRender::DrawRoundRectange(g, 15.0f, static_cast<float>(y + 113), 175.0f, 28.0f,
                                           10.0f, marked ? down : hoverColor, 1.0f, TRUE,
                                           marked ? down : hoverColor);
                Gdiplus::Image* picture = nullptr;
                int pw = 0, ph = 0;
                if (row->nFrameCount == 0) {
                    picture = m_placeholder;
                    pw = m_nFrameWidth;
                    ph = m_nImageHeight;
                } else if (i == m_hoverRow && m_previewImage) {
                    picture = m_previewImage;
                    pw = m_previewWidth;
                    ph = m_previewHeight;
                } else {
                    picture = row->pThumbnail;
                    pw = row->nWidth;
                    ph = row->nHeight;
                }
                if (picture) {
                    const CRect fit = GetImageRect(pw, ph, m_thumbRect);
                    g.DrawImage(picture, 15 + fit.left, y + 10 + fit.top + 1, fit.Width(),
                                fit.Height());
                }
                CString label;
                label.Format(L"%s: %d", m_strTitle.GetString(), row->nFrameCount);
                paint::DrawText(g, font.get(), label,
                                Gdiplus::RectF(15.0f, static_cast<float>(y + 119),
                                               static_cast<float>(Wd - 45), 20.0f),
                                m_clrText.GetValue(), Gdiplus::StringAlignmentCenter,
                                Gdiplus::StringAlignmentCenter);
            }
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, Wd, Hc, m_hMemDC, 0, canvasOffset, SRCCOPY);
}

// ---- preview ----

int LCDViewList::OnControlTimer()
{
    if (!m_bVisible || m_hoverRow < 0) return 0;
    {
        CAutoLock lock(m_rowLock);
        const int frames = static_cast<int>(m_previewFrames.size());
        if (frames < 2) return 0;
        m_previewCount = frames;
        if (m_previewIndex < 0 || m_previewIndex >= frames) m_previewIndex = 0;
        const DWORD now = Now();
        if (now - m_previewTick <= static_cast<DWORD>(m_previewFrames[m_previewIndex]->nDelay))
            return 0;
        m_previewIndex = (m_previewIndex + 1) % frames;
        PREVIEWFRAME_INFO* frame = m_previewFrames[m_previewIndex];
        m_previewImage = frame->pImage;
        m_previewWidth = frame->nWidth;
        m_previewHeight = frame->nHeight;
        m_previewTick = now;
    }
    Repaint();
    return 1;
}

// ---- mouse ----

int LCDViewList::OnControlMouseMove(UINT, CPoint point)
{
    if (!m_bEnabled) return 0;
    int hover = m_hoverRow;
    int ledId = 0;
    bool stillInside = false;
    {
        CAutoLock lock(m_rowLock);
        const int count = static_cast<int>(m_rows.size());
        if (count == 0 || m_firstVisible < 0 || m_lastVisible < 0) return 0;
        if (m_rcControl.PtInRect(point)) {
            if (hover >= 0 && hover < count) {
                if (RowToWindow(m_rows[hover]->rcItem).PtInRect(point)) {
                    m_previewImage = nullptr;
                    ledId = m_rows[hover]->nLEDId;
                    stillInside = true;
                } else {
                    hover = -1;
                    m_previewIndex = 0;
                    m_previewCount = 0;
                    m_previewTick = 0;
                }
            } else {
                hover = Rows().At(m_firstVisible, m_lastVisible, point);
                if (hover >= 0) {
                    m_previewIndex = 0;
                    m_previewTick = Now();
                    m_previewCount = m_rows[hover]->nFrameCount;
                }
            }
        } else {
            hover = -1;
            m_previewIndex = 0;
            m_previewCount = 0;
            m_previewTick = 0;
            m_previewImage = nullptr;
        }
    }
    if (stillInside) {
        SendMessageW(11, static_cast<UINT_PTR>(ledId), 0);
        return 1;
    }
    if (hover != m_hoverRow) {
        m_hoverRow = hover;
        Repaint();
    }
    return 0;
}

int LCDViewList::OnControlLButtonDown(UINT, CPoint)
{
    return m_bEnabled ? 1 : 0;
}

int LCDViewList::OnControlLButtonUp(UINT, CPoint point)
{
    if (!m_bEnabled || !m_rcControl.PtInRect(point)) return 0;
    const int hover = m_hoverRow;
    if (hover < 0 || hover >= GetItemCount()) return 0;
    if (hover != m_curSel) {
        m_curSel = hover;
        Repaint();
    }
    SendMessageW(2, static_cast<UINT_PTR>(hover), 0);
    return 1;
}

int LCDViewList::OnControlLButtonDblClk(UINT, CPoint point)
{
    return Rows().DoubleClick(m_hoverRow, m_curSel, point);
}

int LCDViewList::OnControlRButtonUp(UINT, CPoint point)
{
    return Rows().RightClick(m_hoverRow, m_curSel, point, false);
}

int LCDViewList::OnControlScroll(int, UINT down, CPoint)
{
    return Rows().Wheel(m_pScrollVertical, m_rowHeight * GetItemCount(), m_rcControl.Height(),
                        down);
}

}  // namespace WEXA
