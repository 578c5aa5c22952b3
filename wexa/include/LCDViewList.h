#pragma once
// LCDViewList: the list of LCD animations (layers) of the LCD page. Each row
// shows the first frame of its animation in a rounded cell with a label strip
// "<title>: <frame count>", carries the animation's LED id and frame count,
// and reports clicks to the owner. While the pointer rests on a row the list
// can play a set of preview frames (AddFrameData) in it.
//
// The class also holds the LCD picture utilities: splitting an animated GIF
// into numbered PNG files with its frame delays, writing a picture as an
// opaque RGBA PNG file (wide paths; the file is replaced only by a complete
// new one), and packing a picture into 16-bit RGB565 pixels.
//
// Events to the owner: 2 (row, 0) left button released over a row, which
// becomes selected first; 3 (row, 0) double click on the hovered row's cell;
// 5 (selection or -1, 0) right button released inside the control, the
// selection first becoming the hovered row; 11 (LED id, 0) the pointer moved
// inside the hovered row's cell. The scroll bars' notifications are passed on.
//
// Threads: the UI thread draws and handles the mouse; the program's worker
// fills the list and splits stock animations while the LCD page loads; the
// multimedia tick plays the preview. The row lock guards the rows, the
// preview frames and the preview fields; it is a leaf of the engine's lock
// order and is never held while the owner is notified or asked to repaint.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MPanel.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

struct LCDITEM_INFO
{
    CString strName;
    Gdiplus::Image* pThumbnail;  // in-memory copy, owned; null when it did not load
    int nWidth;
    int nHeight;
    int nFrameCount;  // 0 shows the placeholder picture
    int nLEDId;
    RECT rcItem;  // canvas coordinates, set by every drawing pass
};

struct PREVIEWFRAME_INFO
{
    Gdiplus::Image* pImage;  // owned
    int nWidth;
    int nHeight;
    int nDelay;  // ms
};

// One frame handed to AddFrameData.
struct VIEW_INFO
{
    CString strPath;
    int nReserved1;
    int nReserved2;
    int nReserved3;
    int nDelay;  // ms
    int nReserved4;
};

// The view of the rows the handlers of both LCD lists share (internal).
namespace lcd {
template <class Row>
class RowStrip;
}  // namespace lcd

class WEXA_API LCDViewList : public MPanel
{
public:
    LCDViewList(MObject* owner, UINT id, CRect rect, int visible);
    ~LCDViewList() override;

    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlLButtonDblClk(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int OnControlRButtonUp(UINT flags, CPoint point) override;
    // The placeholder picture (skin folder + name); 1, or 0 when it does not load.
    int SetImage(const wchar_t* skinFileName, int frames) override;

    int SetItemImage(const wchar_t* normal, const wchar_t* hover);
    int AddString(CString name, CString path, int frames, int ledId);
    bool SetFrameData(int index, CString path, int frames);
    int SetFrameSize(int index, int frames);
    int SetItemLEDId(int index, int ledId);
    int GetItemLEDId(int index);
    void SetItemLEDIdSelect(int ledId);
    int GetItemFrameSize(int index);
    int GetCurImageFrameSize();
    CString GetItemText(int index);
    int GetItemCount();
    int SetCurSel(int index);
    int GetCurSel() const { return m_curSel; }
    int GetHoverRow() const { return m_hoverRow; }
    int DeleteItem(int index);
    int DeleteAllItems();

    // Splits the GIF into "<folder>\0.png", "1.png", ...; the frame count, 0
    // when the GIF does not load or a frame could not be written. The frame
    // delays (ms; 0 stored as 10) are kept for GetDelayTimes.
    int LoadGIFImageFile(CString gifPath, CString folder);
    std::vector<unsigned long> GetDelayTimes() { return m_delayTimes; }
    // Writes the picture (transparent parts black) as an RGBA PNG; 1 when written.
    int SavePNGImageFile(Gdiplus::Image* picture, CString path);
    int SavePNGImageFile(HDC& dc, CString path);
    // Packs the picture, fitted into width x height, as little-endian RGB565
    // into buffer (2 x width x height bytes).
    bool GetImageRGB565Data(CString path, unsigned char* buffer, int width, int height);
    // Takes ownership of the picture and deletes it.
    bool GetImageRGB565Data(Gdiplus::Image* picture, unsigned char* buffer, int width, int height);
    void AddFrameData(std::vector<VIEW_INFO> frames);
    // The delays in ms of a frame-delay property item held in buffer (size
    // bytes), one per frame: only values within both the item's stated length
    // and the buffer are read; 0 counts as 10 ms, a frame without a value as
    // 100 ms.
    static std::vector<unsigned long> ReadFrameDelays(const BYTE* buffer, size_t size,
                                                      unsigned frames);
    int GetPreviewFrameCount();

    int GetFirstVisible() const { return m_firstVisible; }
    int GetLastVisible() const { return m_lastVisible; }
    int GetCanvasOffset() const { return m_canvasOffset; }
    CRect GetImageRect(int width, int height, CRect box);
    // Test seam: the clock the preview is timed by (null: GetTickCount).
    void SetTickClock(DWORD (*clock)()) { m_pClock = clock; }

private:
    DWORD Now() const { return m_pClock ? m_pClock() : GetTickCount(); }
    HDC CompatibleDC() const;
    void SelectActiveFrame(Gdiplus::Image* picture, int index);
    void UpdateScrollBar();
    int DrawWidth() const;
    CRect RowToWindow(const RECT& r) const;
    // The rows as the handlers both LCD lists share see them.
    lcd::RowStrip<LCDITEM_INFO> Rows();
    void ClearPreview();
    void Repaint();

    std::vector<LCDITEM_INFO*> m_rows;
    CCriticalLock m_rowLock;
    std::vector<PREVIEWFRAME_INFO*> m_previewFrames;
    std::vector<unsigned long> m_delayTimes;
    int m_rowHeight;
    int m_hoverRow;
    int m_curSel;
    int m_firstVisible;
    int m_lastVisible;
    int m_canvasOffset;
    CRect m_thumbRect;
    Gdiplus::Image* m_previewImage;  // one of the preview frames' pictures
    int m_previewWidth;
    int m_previewHeight;
    int m_previewIndex;
    int m_previewCount;
    DWORD m_previewTick;
    GUID m_frameDimension;
    Gdiplus::Image* m_placeholder;  // owned; also the control's image slot
    Gdiplus::Image* m_normalRowImage;
    Gdiplus::Image* m_hoverRowImage;
    int m_normalRowWidth, m_normalRowHeight, m_hoverRowWidth, m_hoverRowHeight;
    DWORD (*m_pClock)();
};

}  // namespace WEXA
