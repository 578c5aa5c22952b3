#pragma once
// ImageView: the canvas of the LCD page. It shows one frame of an LCD
// animation (a picture file) and lets the user put layers on it: texts, pen
// strokes and eraser strokes. The picture file itself is never drawn on: when
// a picture is opened it is copied into the edit folder of the per-user work
// folder (the edit copy, "<work>\\edit\\edit_<folder key>_<file name>"; a
// picture that already lies in the edit folder is its own edit copy), and
// after every change the picture with all layers is rendered into a PNG that
// replaces the edit copy; the owner then gets code 32. In preview mode the
// control plays a list of frames, each for its own delay, on the
// multimedia-timer tick.
//
// Without an open picture (SetImage("") or a file that does not load) there is
// nothing to edit: undo, colour, text, wheel and mouse edits change nothing,
// write nothing and send nothing.
//
// Events to the owner: 32 (0, 0) after the edit copy was written; 5 (0, 0)
// when the right button is released inside the control outside preview mode.
//
// Threads: the UI thread runs the mouse, painting and the page handlers; the
// multimedia tick runs OnControlTimer; the program's worker calls SetImage and
// DeleteAllItems while it reloads the LCD page. Locks (leaves of the engine's
// lock order, never two at once, no notification or repaint request while one
// is held): the layer lock over the layers, the preview lock over the preview
// frames and the preview position, the picture lock over the open picture.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

// One editing layer.
struct EDITLAYER_INFO
{
    enum { MAX_POINTS = 500 };
    int type;             // 1 text, 2 pen stroke, 3 eraser stroke
    Gdiplus::ARGB color;  // always alpha 0xFF
    int size;             // text: pixel size; strokes: pen width
    CString text;         // text layers only
    int x, y;             // text layers: left and top, window client coordinates
    RECT rcText;          // recomputed by every paint of the layer; hit box of a text
    int nPoints;          // used points of a stroke
    POINT points[MAX_POINTS];

    EDITLAYER_INFO()
        : type(0),
          color(0xFF000000),
          size(0),
          x(0),
          y(0),
          rcText(),
          nPoints(0),
          points()
    {}
};

// One preview frame.
struct PREVIEWITEM_INFO
{
    CString strPath;
    Gdiplus::Image* pImage;  // in-memory copy, owned; null when the file did not load
    int nWidth;
    int nHeight;
    int nDelay;  // ms
    int nId;
};

class WEXA_API ImageView : public MControlFont
{
public:
    enum { MODE_MOVE_TEXT = 100, MODE_PICTURE = 101, MODE_PEN = 102, MODE_ERASER = 111 };

    ImageView(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~ImageView() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    int OnControlRButtonDown(UINT flags, CPoint point) override;
    int OnControlRButtonUp(UINT flags, CPoint point) override;

    // Opens a picture for editing: drops every layer, makes the edit copy
    // (creating the edit folder) and loads the picture. Returns the edit copy
    // path; "" (and no picture) for an empty path.
    CString SetImage(const wchar_t* path);
    // Read under the picture lock: the worker's SetImage replaces them.
    CString GetEditImageFile() const;
    CString GetSourceImageFile() const;
    // Renders the picture and the layers into the edit copy; code 32 when it
    // was written. Nothing without a picture.
    void SaveCurrentImage();
    // Rewrites the picture file at path in place, fitted into the control,
    // when it is at least as wide or as tall as the control. The file is
    // replaced only by a complete new one. Sends nothing.
    void SaveCurrentImage(CString path);
    // Copies the edit copy over the opened picture file. The picture file is
    // replaced only by a complete copy of an edit copy that loads as a picture
    // (written beside it, then moved over it); on any failure it stays as it was.
    void SaveImageData();
    // Drops every layer and restores the edit copy from the opened picture
    // file (the picture file is never written); code 32 when restored.
    void RecoverOriginalImage();
    void SetDrawMode(int mode) { m_nDrawMode = mode; }
    int GetDrawMode() const { return m_nDrawMode; }
    void SetEraserMode() { m_nDrawMode = MODE_ERASER; }
    void AddImage(CString unused);
    void SetPenSize(int size) { m_nPenSize = size; }
    int GetPenSize() const { return m_nPenSize; }
    void SetColorValue(COLORREF color);
    COLORREF GetColorValue() const { return m_crColor; }
    void SetFontSize(int size);
    void AddText(CString text);
    void RecoverCurEdit();
    void ClearCurEdit();
    void SetShowGridLine(int show);
    int GetShowGridLine() const { return m_bGrid; }
    void SetScale100(float unused);

    // ---- preview frames ----
    int AddString(CString path, int delay, int id);
    int DeleteAllItems();
    int GetItemCount();
    CString GetItemImageFile(int index);
    void SetImagePreviewMode(bool on);
    bool IsPreviewMode() const { return m_bPreview; }
    int GetPreviewFrame() const { return m_nPreviewIndex; }

    // ---- state for the page and tests ----
    int GetLayerCount();
    // A copy of a layer; false for an index outside the list.
    bool GetLayer(int index, EDITLAYER_INFO& out);
    int GetSelectedLayer() const { return m_nSelect; }
    CSize GetPictureSize() const;
    bool HasPicture();
    // Where the picture is painted, relative to the control's top-left corner.
    CRect GetPictureRect();
    // Test seam: the clock the preview is timed by (null: GetTickCount).
    void SetTickClock(DWORD (*clock)()) { m_pClock = clock; }

protected:
    void DrawLayer(Gdiplus::Graphics& g, CRect origin, int showSelection);
    void DrawLayer2(Gdiplus::Graphics& g, CRect target, int unused);
    // Fits a picture into the box, shrinking only, with the box's own ratio.
    CRect GetImageRect(int width, int height, CRect box);
    HBITMAP CreateARGB32Bitmap(HDC dc, int width, int height, unsigned char** bits);

private:
    DWORD Now() const { return m_pClock ? m_pClock() : GetTickCount(); }
    void Repaint();
    void AppendLayer(EDITLAYER_INFO* layer, bool select);
    void DeleteLayers();
    void ReleasePicture();
    bool EditablePicture();

    std::vector<PREVIEWITEM_INFO*> m_previews;
    CCriticalLock m_previewLock;
    bool m_bPreview;
    int m_nPreviewIndex;
    int m_nPreviewCount;
    DWORD m_dwLastTick;
    CRect m_rcImage;
    CString m_strEditFile;    // picture lock
    CString m_strSourceFile;  // picture lock
    bool m_bModified;
    int m_bGrid;
    int m_nDrawMode;
    int m_nPenSize;
    COLORREF m_crColor;
    CPoint m_ptLast;
    std::vector<EDITLAYER_INFO*> m_layers;
    CCriticalLock m_layerLock;
    int m_nSelect;
    // The picture being edited, owned here. It is not the inherited m_pImage,
    // which holds a skin image of the engine's cache when the inherited
    // setters are used, and must never be deleted here.
    Gdiplus::Image* m_pPicture = nullptr;
    int m_nPictureWidth = 0;
    int m_nPictureHeight = 0;
    // m_pPicture, its size and the two paths.
    mutable CCriticalLock m_pictureLock;
    DWORD (*m_pClock)();
};

}  // namespace WEXA
