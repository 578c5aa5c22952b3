#include <algorithm>
#include <cstring>
#include <vector>

#include "ControlRegistry.h"
#include "MPicture.h"
#include "MRender.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"
#include "controls/GifFrameCache.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(CGifPicture, new CGifPicture(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {
// FrameDimensionTime
const GUID kFrameDimensionTime = {
    0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
const PROPID kFrameDelayTag = 0x5100;
const DWORD kDefaultDelayMs = 100;
}  // namespace

CGifPicture::CGifPicture(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_bRun(0),
      m_nFrameCount2(0),
      m_nCurFrame(0),
      m_dimension(kFrameDimensionTime),
      m_nShown(0),
      m_bHoverPlay(false),
      m_nTick(0),
      m_bOwnImage(false),
      m_dwFrameStart(0),
      m_pClock(nullptr),
      m_pFrames(new GifFrameCache),
      m_nRenders(0)
{
    m_bRunTimer = 1;
    m_nFrameCount = 1;
}

CGifPicture::~CGifPicture()
{
    ReleaseImage();
    delete m_pFrames;
}

size_t CGifPicture::GetFrameCacheBytes() const
{
    return m_pFrames->Bytes();
}

void CGifPicture::ResetFrameCache()
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    m_pFrames->Reset(m_pImage ? m_nFrameCount2 : 0, w, h);
    CAutoLock lock(m_frameLock);
    m_changed.assign(static_cast<size_t>(std::max(m_nFrameCount2, 0)), CRect());
    m_changeKnown.assign(m_changed.size(), 0);
}

bool CGifPicture::WindowHidden() const
{
    PaintManager* manager = m_pManager;
    HWND window = manager ? manager->GetPaintWnd() : nullptr;
    if (!window || !::IsWindow(window)) return false;
    return !::IsWindowVisible(window) || ::IsIconic(window);
}

void CGifPicture::ReleaseImage()
{
    CAutoLock lock(m_frameLock);
    if (m_bOwnImage) delete m_pImage;
    m_pImage = nullptr;
    m_bOwnImage = false;
    m_delays.clear();
}

DWORD CGifPicture::GetFrameDelay(int frame) const
{
    CAutoLock lock(m_frameLock);
    if (frame < 0 || frame >= static_cast<int>(m_delays.size())) return kDefaultDelayMs;
    return m_delays[frame];
}

void CGifPicture::OnSetImage(Gdiplus::Image* image)
{
    CAutoLock lock(m_frameLock);
    m_delays.clear();
    const UINT dimensions = image ? image->GetFrameDimensionsCount() : 0;
    if (dimensions == 0) {
        if (image == m_pImage) ReleaseImage();
        m_nFrameCount2 = 0;
        return;
    }
    std::vector<GUID> ids(dimensions);
    image->GetFrameDimensionsList(ids.data(), dimensions);
    m_dimension = ids[0];
    m_nFrameCount2 = static_cast<int>(image->GetFrameCount(&m_dimension));
    m_delays.assign(std::max(m_nFrameCount2, 0), kDefaultDelayMs);

    const UINT size = image->GetPropertyItemSize(kFrameDelayTag);
    if (size >= sizeof(Gdiplus::PropertyItem)) {
        std::vector<BYTE> buffer(size);
        Gdiplus::PropertyItem* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
        if (image->GetPropertyItem(kFrameDelayTag, size, item) == Gdiplus::Ok)
            ReadFrameDelays(buffer.data(), buffer.size(), m_delays);
    }
}

void CGifPicture::ReadFrameDelays(const BYTE* buffer, size_t size, std::vector<DWORD>& delays)
{
    if (!buffer || size < sizeof(Gdiplus::PropertyItem)) return;
    const Gdiplus::PropertyItem* item = reinterpret_cast<const Gdiplus::PropertyItem*>(buffer);
    const BYTE* value = static_cast<const BYTE*>(item->value);
    const BYTE* end = buffer + size;
    if (!value || value < buffer || value > end) return;
    // The delays, in hundredths of a second: only as many as the property holds.
    const size_t length = std::min<size_t>(item->length, static_cast<size_t>(end - value));
    const size_t count = std::min<size_t>(length / 4, delays.size());
    for (size_t i = 0; i < count; ++i) {
        UINT32 hundredths = 0;
        memcpy(&hundredths, value + i * 4, 4);
        delays[i] = hundredths ? hundredths * 10 : kDefaultDelayMs;
    }
}

int CGifPicture::SetImageFile(const wchar_t* path)
{
    {
        CAutoLock lock(m_frameLock);
        m_nFrameCount2 = 0;
        m_nCurFrame = 0;
        m_nShown = 0;
        ReleaseImage();
    }
    ResetFrameCache();
    Gdiplus::Image* image = path ? MRender::LoadImageFromFile(path) : nullptr;
    if (image && (image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0)) {
        delete image;
        image = nullptr;
    }
    if (!image) {
        paint::Repaint(this, 1);
        return 0;
    }
    m_pImage = image;
    m_bOwnImage = true;
    m_nFrameWidth = static_cast<int>(image->GetWidth());
    m_nImageHeight = static_cast<int>(image->GetHeight());
    OnSetImage(image);
    ResetFrameCache();
    m_dwFrameStart = Now();
    return 1;
}

int CGifPicture::SetImage(const wchar_t* skinFileName, int)
{
    Gdiplus::Image* before = m_pImage;
    const bool owned = m_bOwnImage;
    if (MControlFont::SetImage(skinFileName, 4)) {
        if (owned && before != m_pImage) delete before;
        m_bOwnImage = false;
        m_nCurFrame = m_nShown = 0;
        OnSetImage(m_pImage);
        ResetFrameCache();
        m_dwFrameStart = Now();
    }
    return 0;
}

void CGifPicture::SelectActiveFrame(int frame)
{
    if (m_pImage && m_nFrameCount2 > 1 && frame >= 0 && frame < m_nFrameCount2)
        m_pImage->SelectActiveFrame(&m_dimension, static_cast<UINT>(frame));
}

void CGifPicture::ActiveNextFrame()
{
    if (m_nFrameCount2 < 2) return;
    m_nCurFrame = (m_nCurFrame + 1) % m_nFrameCount2;
    SelectActiveFrame(m_nCurFrame);
}

int CGifPicture::SetRunState(int run, int frame)
{
    {
        // Under the tick's lock: a tick between these lines would step the
        // frame of an animation just stopped.
        CAutoLock lock(m_frameLock);
        if (m_nFrameCount2 <= 1) return 0;
        m_nShown = std::clamp(frame, 0, m_nFrameCount2 - 1);
        m_bRun = run != 0;
        m_dwFrameStart = Now();
    }
    // The frame shown may have changed: the cached look is stale, as after a tick.
    paint::Repaint(this, 1);
    return 1;
}

int CGifPicture::OnControlTimer()
{
    {
        CAutoLock lock(m_frameLock);
        if (!m_bRun || !m_bVisible || !m_pImage || m_nFrameCount2 < 1) return 0;
        const DWORD now = Now();
        if (now - m_dwFrameStart < GetFrameDelay(m_nShown)) return 0;
        m_dwFrameStart = now;
    }
    // Nobody sees the frames of a minimised or hidden window: they stand
    // still, and ask for no paints, until it shows again (asked outside the
    // frame lock, which is a leaf).
    if (WindowHidden()) return 0;
    CRect dirty = m_rcControl;
    {
        // The count is read once, under the lock the image's replacement
        // takes: it may have become 0 since the check.
        CAutoLock lock(m_frameLock);
        const int count = m_nFrameCount2;
        if (!m_bRun || !m_pImage || count < 1) return 0;
        m_nShown = (m_nShown + 1) % count;
        // The frames before were all shown whole or in the parts they
        // changed: only the part this one changes is drawn again.
        const size_t shown = static_cast<size_t>(m_nShown);
        if (shown < m_changeKnown.size() && m_changeKnown[shown]) {
            dirty = m_changed[shown];
            if (dirty.IsRectEmpty()) return 0;
            dirty.OffsetRect(m_rcControl.left, m_rcControl.top);
        }
    }
    if (m_bVisible && m_pParent) m_pParent->OnControlUpdate(dirty, 1, this);
    return 0;
}

int CGifPicture::OnControlMouseMove(UINT, CPoint point)
{
    {
        CAutoLock lock(m_frameLock);
        if (!m_bHoverPlay || !m_bEnabled || m_bPressed || m_nFrameCount2 <= 1) return 0;
        m_bRun = m_rcControl.PtInRect(point) ? 1 : 0;
        m_nShown = 0;
        m_dwFrameStart = Now();
    }
    paint::Repaint(this, 0);
    return 0;
}

void CGifPicture::RenderFrame(HDC& dc, bool offer)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (!paint::BeginFrames(this, dc, 1)) return;
    // An image without frames shows nothing.
    if (!m_pImage || m_nFrameCount2 <= 0) return;
    const int frame = m_nShown;
    if (m_nFrameCount2 > 1 && frame < m_nFrameCount2)
        m_pImage->SelectActiveFrame(&m_dimension, static_cast<UINT>(frame));
    const Gdiplus::Rect to(0, 0, w, h);
    const int iw = static_cast<int>(m_pImage->GetWidth());
    const int ih = static_cast<int>(m_pImage->GetHeight());
    {
        Gdiplus::Graphics g(m_hMemDC);
        g.DrawImage(m_pImage, to, 0, 0, iw, ih, Gdiplus::UnitPixel);
    }
    ++m_nRenders;
    if (!offer) return;

    // Only a frame that covers the whole control with opaque pixels looks
    // the same whatever lies behind it: drawn on nothing, every pixel of it
    // must be opaque.
    bool opaque = false;
    {
        Gdiplus::Bitmap cover(w, h, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics g(&cover);
            g.DrawImage(m_pImage, to, 0, 0, iw, ih, Gdiplus::UnitPixel);
        }
        Gdiplus::BitmapData data;
        Gdiplus::Rect all(0, 0, w, h);
        if (cover.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) ==
            Gdiplus::Ok) {
            opaque = true;
            for (int y = 0; y < h && opaque; ++y) {
                const UINT32* row = reinterpret_cast<const UINT32*>(
                    static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride);
                for (int x = 0; x < w; ++x)
                    if ((row[x] >> 24) != 0xFF) {
                        opaque = false;
                        break;
                    }
            }
            cover.UnlockBits(&data);
        }
    }
    if (!opaque) {
        m_pFrames->Refuse(frame);
        return;
    }

    // The frame as drawn, read back whole.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP copy = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC copyDC = copy ? ::CreateCompatibleDC(dc) : nullptr;
    bool kept = false;
    if (copyDC && bits) {
        HGDIOBJ old = ::SelectObject(copyDC, copy);
        ::BitBlt(copyDC, 0, 0, w, h, m_hMemDC, 0, 0, SRCCOPY);
        ::GdiFlush();
        kept = m_pFrames->Store(frame, static_cast<const UINT32*>(bits));
        ::SelectObject(copyDC, old);
    } else {
        m_pFrames->Refuse(frame);
    }
    if (copyDC) ::DeleteDC(copyDC);
    if (copy) ::DeleteObject(copy);
    if (!kept) return;

    CAutoLock lock(m_frameLock);
    for (int f : {frame, (frame + 1) % m_pFrames->Frames()}) {
        CRect changed;
        if (static_cast<size_t>(f) < m_changeKnown.size() && m_pFrames->Changed(f, changed)) {
            m_changed[f] = changed;
            m_changeKnown[f] = 1;
        }
    }
}

void CGifPicture::DrawControl(HDC& dc, CRect clip)
{
    const int w = m_rcControl.Width(), h = m_rcControl.Height();
    if (m_pImage && m_nFrameCount2 > 1 && w > 0 && h > 0) {
        // An animation: each frame is decoded and drawn once, then copied.
        if (m_pFrames->Width() != w || m_pFrames->Height() != h ||
            m_pFrames->Frames() != m_nFrameCount2)
            ResetFrameCache();
        const int frame = m_nShown;
        if (!m_pFrames->Tried(frame)) {
            RenderFrame(dc, true);
            paint::ShowFrame(this, dc, 0);
            if (m_pFrames->Complete() && m_hMemDC) {
                // Every frame is kept or never will be: the off-screen image
                // is needed again only for a frame that is not kept.
                bool all = true;
                for (int i = 0; i < m_pFrames->Frames(); ++i) all = all && m_pFrames->Has(i);
                if (all) ReleaseMemDC();
            }
            return;
        }
        const POINT at = {m_rcControl.left, m_rcControl.top};
        if (m_pFrames->Draw(frame, dc, at, clip)) return;
    }
    if (!m_bUpdate || !m_hMemDC) RenderFrame(dc, false);
    paint::ShowFrame(this, dc, 0);
}

void CGifPicture::ReleaseMemDC()
{
    if (m_hMemDC) {
        if (m_hOldMemBitmap) ::SelectObject(m_hMemDC, m_hOldMemBitmap);
        ::DeleteDC(m_hMemDC);
    }
    if (m_hMemBitmap) ::DeleteObject(m_hMemBitmap);
    m_hMemDC = nullptr;
    m_hMemBitmap = nullptr;
    m_hOldMemBitmap = nullptr;
    m_nMemWidth = m_nMemHeight = 0;
    m_bUpdate = 0;
}

}  // namespace WEXA
