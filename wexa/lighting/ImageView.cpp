#include "ImageView.h"
#include "GlyphFaces.h"

#include <cstdlib>
#include <memory>

#include "ControlRegistry.h"
#include "MRender.h"
#include "PaintManager.h"
#include "controls/ControlPaint.h"
#include "framework/GdiOwners.h"
#include "lighting/LcdImaging.h"

namespace WEXA {

WEXA_REGISTER_CONTROL(ImageView, new ImageView(a.owner, a.id, a.rect, a.visible, a.enabled));

namespace {

const Gdiplus::ARGB kGridColor = 0xC8646464;
const Gdiplus::ARGB kSelectionColor = 0xFF06B025;

Gdiplus::ARGB ToArgb(COLORREF color)
{
    return 0xFF000000u | (static_cast<Gdiplus::ARGB>(GetRValue(color)) << 16) |
           (static_cast<Gdiplus::ARGB>(GetGValue(color)) << 8) | GetBValue(color);
}

// FNV-1a over the folder of a picture: tells apart frames of different
// folders that share a file name.
unsigned FolderKey(const CString& path)
{
    const CString folder = lcd::NormalisedFolderOf(path);
    unsigned hash = 2166136261u;
    for (int i = 0; i < folder.GetLength(); ++i) {
        const unsigned c = static_cast<unsigned>(folder.GetString()[i]);
        hash = (hash ^ (c & 0xFF)) * 16777619u;
        hash = (hash ^ (c >> 8)) * 16777619u;
    }
    return hash;
}

// The text font of a layer: the control's face and style at the layer's size
// (the engine's private family, else the system's, else a sans-serif one).
class LayerFont
{
public:
    LayerFont(MControlFont* c, int size)
        : m_named(c->m_strFontFace),
          m_library(L"Roboto"),
          m_arial(L"Arial")
    {
        const Gdiplus::REAL px = static_cast<Gdiplus::REAL>(size > 0 ? size : 1);
        const Gdiplus::FontFamily* family = c->GetFontFamily(c->m_strFontFace);
        if (!family) family = m_named.IsAvailable() ? &m_named : nullptr;
        if (!family) family = m_library.IsAvailable() ? &m_library : nullptr;
        if (!family) family = m_arial.IsAvailable() ? &m_arial : nullptr;
        if (!family) family = Gdiplus::FontFamily::GenericSansSerif();
        m_font.reset(new Gdiplus::Font(family, px, c->m_fontStyle, Gdiplus::UnitPixel));
    }
    Gdiplus::Font* get() const { return m_font.get(); }

private:
    Gdiplus::FontFamily m_named;
    Gdiplus::FontFamily m_library;
    Gdiplus::FontFamily m_arial;
    std::unique_ptr<Gdiplus::Font> m_font;
};

}  // namespace

ImageView::ImageView(MObject* owner, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(owner, id, rect, L"", visible, enabled, 1),
      m_bPreview(false),
      m_nPreviewIndex(0),
      m_nPreviewCount(0),
      m_dwLastTick(0),
      m_bModified(false),
      m_bGrid(0),
      m_nDrawMode(MODE_PEN),
      m_nPenSize(2),
      m_crColor(0x00016EEE),
      m_ptLast(0, 0),
      m_nSelect(-1),
      m_pClock(nullptr)
{}

ImageView::~ImageView()
{
    ReleasePicture();
    DeleteAllItems();
    DeleteLayers();
}

void ImageView::Repaint()
{
    paint::Repaint(this, 1);
}

void ImageView::ReleasePicture()
{
    CAutoLock lock(m_pictureLock);
    delete m_pPicture;
    m_pPicture = nullptr;
}

bool ImageView::HasPicture()
{
    CAutoLock lock(m_pictureLock);
    return m_pPicture != nullptr && m_nPictureWidth > 0 && m_nPictureHeight > 0;
}

bool ImageView::EditablePicture()
{
    return HasPicture();
}

void ImageView::DeleteLayers()
{
    CAutoLock lock(m_layerLock);
    for (EDITLAYER_INFO* layer : m_layers) delete layer;
    m_layers.clear();
}

void ImageView::AppendLayer(EDITLAYER_INFO* layer, bool select)
{
    CAutoLock lock(m_layerLock);
    if (select) m_nSelect = static_cast<int>(m_layers.size());
    m_layers.push_back(layer);
}

int ImageView::GetLayerCount()
{
    CAutoLock lock(m_layerLock);
    return static_cast<int>(m_layers.size());
}

bool ImageView::GetLayer(int index, EDITLAYER_INFO& out)
{
    CAutoLock lock(m_layerLock);
    if (index < 0 || index >= static_cast<int>(m_layers.size())) return false;
    out = *m_layers[index];
    return true;
}

// ---- opening and saving ----

CString ImageView::SetImage(const wchar_t* path)
{
    m_nSelect = -1;
    DeleteLayers();
    m_bModified = false;
    const CString source(path);
    CString edit;
    if (!source.IsEmpty()) {
        const CString editFolder = lcd::EditFolder();
        if (lcd::NormalisedFolderOf(source) == lcd::NormalisedFolder(editFolder)) {
            // Already an edit copy: it stays its own copy.
            edit = source;
        } else {
            lcd::EnsureFolder(editFolder);
            edit.Format(L"%sedit_%08x_%s", editFolder.GetString(), FolderKey(source),
                        lcd::FileNameOf(source).GetString());
            lcd::CopyFileSafely(source, edit);
        }
    }
    Gdiplus::Image* picture = lcd::LoadPictureCopy(source);
    {
        CAutoLock lock(m_pictureLock);
        delete m_pPicture;
        m_pPicture = picture;
        m_nPictureWidth = picture ? static_cast<int>(picture->GetWidth()) : 0;
        m_nPictureHeight = picture ? static_cast<int>(picture->GetHeight()) : 0;
        m_strSourceFile = source;
        m_strEditFile = edit;
    }
    Repaint();
    return edit;
}

CRect ImageView::GetImageRect(int width, int height, CRect box)
{
    const int bw = box.Width(), bh = box.Height();
    const double ratio = bh > 0 ? static_cast<double>(static_cast<float>(bw) / bh) : 0.0;
    return lcd::FitRect(width, height, box, ratio);
}

CRect ImageView::GetPictureRect()
{
    int w, h;
    {
        CAutoLock lock(m_pictureLock);
        if (!m_pPicture) return CRect();
        w = m_nPictureWidth;
        h = m_nPictureHeight;
    }
    m_rcImage = GetImageRect(w, h, CRect(0, 0, m_rcControl.Width(), m_rcControl.Height()));
    return m_rcImage;
}

HBITMAP ImageView::CreateARGB32Bitmap(HDC dc, int width, int height, unsigned char** bits)
{
    void* pixels = nullptr;
    HBITMAP bitmap = lcd::CreateTopDownBitmap(dc, width, height, &pixels);
    if (bits) *bits = static_cast<unsigned char*>(pixels);
    return bitmap;
}

CSize ImageView::GetPictureSize() const
{
    CAutoLock lock(m_pictureLock);
    return CSize(m_nPictureWidth, m_nPictureHeight);
}

CString ImageView::GetEditImageFile() const
{
    CAutoLock lock(m_pictureLock);
    return m_strEditFile;
}

CString ImageView::GetSourceImageFile() const
{
    CAutoLock lock(m_pictureLock);
    return m_strSourceFile;
}

void ImageView::SaveCurrentImage()
{
    const CString editFile = GetEditImageFile();
    if (!EditablePicture() || editFile.IsEmpty()) return;
    const CRect picture = GetPictureRect();
    int w, h;
    {
        CAutoLock lock(m_pictureLock);
        w = m_nPictureWidth;
        h = m_nPictureHeight;
    }
    HDC window = m_pManager ? m_pManager->GetPaintDC() : nullptr;
    lcd::Canvas canvas(window, w, h);
    if (!canvas.ok()) return;
    {
        Gdiplus::Graphics g(canvas.dc());
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        {
            CAutoLock lock(m_pictureLock);
            if (m_pPicture) g.DrawImage(m_pPicture, 0, 0, w, h);
        }
        // The layers were drawn on the picture as shown (fitted to the canvas):
        // their points, pen widths and letters grow by the picture's own scale.
        if (picture.Width() > 0 && picture.Height() > 0)
            g.ScaleTransform(
                static_cast<Gdiplus::REAL>(w) / static_cast<Gdiplus::REAL>(picture.Width()),
                static_cast<Gdiplus::REAL>(h) / static_cast<Gdiplus::REAL>(picture.Height()));
        DrawLayer(g,
                  CRect(m_rcControl.left + picture.left, m_rcControl.top + picture.top,
                        m_rcControl.right, m_rcControl.bottom),
                  0);
    }
    if (!lcd::WritePngFile(editFile, canvas.ToOpaqueRgba(), w, h)) return;
    SendMessageW(32, 0, 0);
}

void ImageView::SaveCurrentImage(CString path)
{
    const int cw = m_rcControl.Width(), ch = m_rcControl.Height();
    std::unique_ptr<Gdiplus::Image> picture(lcd::LoadPictureCopy(path));
    const int w = picture ? static_cast<int>(picture->GetWidth()) : 0;
    const int h = picture ? static_cast<int>(picture->GetHeight()) : 0;
    if (!picture || (w < cw && h < ch)) return;
    const CRect fit = GetImageRect(w, h, CRect(0, 0, cw, ch));
    HDC window = m_pManager ? m_pManager->GetPaintDC() : nullptr;
    lcd::Canvas canvas(window, fit.Width(), fit.Height());
    if (!canvas.ok()) return;
    {
        Gdiplus::Graphics g(canvas.dc());
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        g.DrawImage(picture.get(), 0, 0, fit.Width(), fit.Height());
    }
    picture.reset();
    lcd::WritePngFile(path, canvas.ToOpaqueRgba(), fit.Width(), fit.Height());
}

void ImageView::SaveImageData()
{
    const CString editFile = GetEditImageFile(), sourceFile = GetSourceImageFile();
    if (editFile.IsEmpty() || sourceFile.IsEmpty()) return;
    if (editFile.CompareNoCase(sourceFile) == 0) return;
    // Only a picture replaces the picture file: an edit copy that is missing,
    // empty or damaged leaves it as it was.
    std::unique_ptr<Gdiplus::Image> check(lcd::LoadPictureCopy(editFile));
    if (!check) return;
    check.reset();
    lcd::CopyFileSafely(editFile, sourceFile);
}

void ImageView::RecoverOriginalImage()
{
    m_nSelect = -1;
    DeleteLayers();
    m_bModified = false;
    bool restored = false;
    const CString editFile = GetEditImageFile(), sourceFile = GetSourceImageFile();
    if (!editFile.IsEmpty() && !sourceFile.IsEmpty() && editFile.CompareNoCase(sourceFile) != 0)
        restored = lcd::CopyFileSafely(sourceFile, editFile);
    Repaint();
    if (restored) SendMessageW(32, 0, 0);
}

// ---- editing operations ----

void ImageView::AddImage(CString)
{
    m_nDrawMode = MODE_PICTURE;
    Repaint();
}

void ImageView::SetColorValue(COLORREF color)
{
    m_crColor = color;
    if (!EditablePicture()) return;
    {
        CAutoLock lock(m_layerLock);
        if (m_nSelect >= 0 && m_nSelect < static_cast<int>(m_layers.size()))
            m_layers[m_nSelect]->color = ToArgb(color);
    }
    Repaint();
    m_bModified = false;
    SaveCurrentImage();
}

void ImageView::SetFontSize(int size)
{
    m_nFontWidth = size;
    bool changed = false;
    {
        CAutoLock lock(m_layerLock);
        if (m_nSelect >= 0 && m_nSelect < static_cast<int>(m_layers.size())) {
            if (m_layers[m_nSelect]->type == 1) m_layers[m_nSelect]->size = size;
            changed = true;
        }
    }
    if (changed) Repaint();
}

void ImageView::AddText(CString text)
{
    if (!EditablePicture()) return;
    EDITLAYER_INFO* layer = new EDITLAYER_INFO;
    layer->type = 1;
    layer->color = ToArgb(m_crColor);
    layer->size = m_nFontWidth;
    layer->text = text;
    layer->x = m_rcControl.left + m_rcControl.Width() / 2;
    layer->y = m_rcControl.top + m_rcControl.Height() / 2;
    AppendLayer(layer, false);
    Repaint();
    m_bModified = false;
    SaveCurrentImage();
}

void ImageView::RecoverCurEdit()
{
    if (!EditablePicture()) return;
    m_nSelect = -1;
    {
        CAutoLock lock(m_layerLock);
        if (!m_layers.empty()) {
            delete m_layers.back();
            m_layers.pop_back();
        }
    }
    Repaint();
    SaveCurrentImage();
}

void ImageView::ClearCurEdit()
{
    m_nSelect = -1;
    DeleteLayers();
    Repaint();
    SaveCurrentImage();
}

void ImageView::SetShowGridLine(int show)
{
    m_bGrid = show;
    Repaint();
}

void ImageView::SetScale100(float)
{
    Repaint();
}

// ---- preview frames ----

int ImageView::AddString(CString path, int delay, int id)
{
    PREVIEWITEM_INFO* item = new PREVIEWITEM_INFO;
    item->strPath = path;
    item->pImage = lcd::LoadPictureCopy(path);
    item->nWidth = item->pImage ? static_cast<int>(item->pImage->GetWidth()) : 0;
    item->nHeight = item->pImage ? static_cast<int>(item->pImage->GetHeight()) : 0;
    item->nDelay = delay;
    item->nId = id;
    CAutoLock lock(m_previewLock);
    m_previews.push_back(item);
    return 1;
}

int ImageView::DeleteAllItems()
{
    CAutoLock lock(m_previewLock);
    for (PREVIEWITEM_INFO* item : m_previews) {
        delete item->pImage;
        delete item;
    }
    m_previews.clear();
    return 1;
}

int ImageView::GetItemCount()
{
    CAutoLock lock(m_previewLock);
    return static_cast<int>(m_previews.size());
}

CString ImageView::GetItemImageFile(int index)
{
    CAutoLock lock(m_previewLock);
    if (index < 0 || index >= static_cast<int>(m_previews.size())) return CString();
    return m_previews[index]->strPath;
}

void ImageView::SetImagePreviewMode(bool on)
{
    CAutoLock lock(m_previewLock);
    m_bPreview = on;
    m_nPreviewCount = static_cast<int>(m_previews.size());
    m_nPreviewIndex = 0;
    m_dwLastTick = Now();
}

int ImageView::OnControlTimer()
{
    if (!m_bVisible || !m_bPreview) return 0;
    {
        CAutoLock lock(m_previewLock);
        const int count = static_cast<int>(m_previews.size());
        if (count < 1) return 0;
        // A list refilled while previewing: start again inside it.
        if (m_nPreviewIndex < 0 || m_nPreviewIndex >= count) m_nPreviewIndex = 0;
        const DWORD now = Now();
        if (now - m_dwLastTick <= static_cast<DWORD>(m_previews[m_nPreviewIndex]->nDelay)) return 0;
        ++m_nPreviewIndex;
        m_dwLastTick = now;
        const int wrap = m_nPreviewCount > 0 && m_nPreviewCount <= count ? m_nPreviewCount : count;
        if (m_nPreviewIndex >= wrap) m_nPreviewIndex = 0;
    }
    Repaint();
    return 1;
}

// ---- painting ----

void ImageView::DrawLayer(Gdiplus::Graphics& g, CRect origin, int showSelection)
{
    CAutoLock lock(m_layerLock);
    for (size_t i = 0; i < m_layers.size(); ++i) {
        EDITLAYER_INFO* layer = m_layers[i];
        if (layer->type == 1) {
            if (layer->text.IsEmpty()) continue;
            LayerFont font(this, layer->size);
            Gdiplus::SolidBrush brush{Gdiplus::Color(layer->color)};
            const Gdiplus::PointF at(static_cast<Gdiplus::REAL>(layer->x - origin.left),
                                     static_cast<Gdiplus::REAL>(layer->y - origin.top));
            Gdiplus::RectF measured;
            g.MeasureString(layer->text, -1, font.get(), at, &measured);
            const int boxW = static_cast<int>(measured.Width + 6.0f);
            const int boxH = static_cast<int>(measured.Height + 6.0f);
            layer->rcText.left = layer->x;
            layer->rcText.top = layer->y;
            layer->rcText.right =
                static_cast<int>(static_cast<float>(layer->x) + measured.Width + 6.0f);
            layer->rcText.bottom =
                static_cast<int>(static_cast<float>(layer->y) + measured.Height + 6.0f);
            Gdiplus::StringFormat format;
            format.SetAlignment(Gdiplus::StringAlignmentNear);
            format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
            format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                                  Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
            const Gdiplus::RectF box(at.X, at.Y, static_cast<Gdiplus::REAL>(boxW),
                                     static_cast<Gdiplus::REAL>(boxH));
            GlyphFaces::DrawString(g, layer->text, -1, font.get(), box, &format, &brush);
            if (showSelection && static_cast<int>(i) == m_nSelect) {
                Gdiplus::Pen frame(Gdiplus::Color(kSelectionColor), 3.0f);
                g.DrawRectangle(&frame, box);
            }
        } else if (layer->type == 2 || layer->type == 3) {
            if (layer->nPoints < 2) continue;
            std::vector<Gdiplus::Point> points(static_cast<size_t>(layer->nPoints));
            for (int k = 0; k < layer->nPoints; ++k)
                points[k] = Gdiplus::Point(layer->points[k].x - origin.left,
                                           layer->points[k].y - origin.top);
            Gdiplus::Pen pen(Gdiplus::Color(layer->color), static_cast<Gdiplus::REAL>(layer->size));
            g.DrawCurve(&pen, points.data(), layer->nPoints);
        }
    }
}

void ImageView::DrawLayer2(Gdiplus::Graphics& g, CRect target, int)
{
    const int cw = m_rcControl.Width(), ch = m_rcControl.Height();
    if (cw <= 0 || ch <= 0) return;
    const CRect fit = GetImageRect(target.Width(), target.Height(), CRect(0, 0, cw, ch));
    const float scale = fit.Width() > 0
                            ? static_cast<float>(target.Width()) / static_cast<float>(fit.Width())
                            : 1.0f;
    CAutoLock lock(m_layerLock);
    for (EDITLAYER_INFO* layer : m_layers) {
        if (layer->type == 1) {
            if (layer->text.IsEmpty()) continue;
            LayerFont font(this, static_cast<int>(static_cast<float>(layer->size) * scale));
            Gdiplus::SolidBrush brush{Gdiplus::Color(layer->color)};
            const Gdiplus::PointF at(
                target.left + static_cast<float>(layer->x - m_rcControl.left) / cw * target.Width(),
                target.top + static_cast<float>(layer->y - m_rcControl.top) / ch * target.Height());
            GlyphFaces::DrawString(g, layer->text, -1, font.get(), at, &brush);
        } else if ((layer->type == 2 || layer->type == 3) && layer->nPoints >= 2) {
            std::vector<Gdiplus::Point> points(static_cast<size_t>(layer->nPoints));
            for (int k = 0; k < layer->nPoints; ++k)
                points[k] = Gdiplus::Point(layer->points[k].x + target.left,
                                           layer->points[k].y + target.top);
            Gdiplus::Pen pen(Gdiplus::Color(layer->color), static_cast<Gdiplus::REAL>(layer->size));
            g.DrawCurve(&pen, points.data(), layer->nPoints);
        }
    }
}

void ImageView::DrawControl(HDC& dc, CRect)
{
    const int W = m_rcControl.Width(), H = m_rcControl.Height();
    if (W <= 0 || H <= 0) return;
    if (!m_bUpdate || !m_hMemDC) {
        UpdateMemDC(dc, W, H);
        if (!m_hMemDC) return;
        MRender::FillSolidRect(m_hMemDC, 0, 0, W, H, RGB(0, 0, 0));
        Gdiplus::Graphics g(m_hMemDC);
        g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const CRect box(0, 0, W, H);
        if (!m_bPreview) {
            bool drawn = false;
            {
                CAutoLock lock(m_pictureLock);
                if (m_pPicture) {
                    m_rcImage = GetImageRect(m_nPictureWidth, m_nPictureHeight, box);
                    g.DrawImage(m_pPicture, m_rcImage.left, m_rcImage.top, m_rcImage.Width(),
                                m_rcImage.Height());
                    drawn = true;
                }
            }
            if (drawn) DrawLayer(g, m_rcControl, 1);
        } else {
            CAutoLock lock(m_previewLock);
            if (m_nPreviewIndex >= 0 && m_nPreviewIndex < static_cast<int>(m_previews.size())) {
                PREVIEWITEM_INFO* item = m_previews[m_nPreviewIndex];
                if (item->pImage) {
                    const CRect fit = GetImageRect(item->nWidth, item->nHeight, box);
                    g.DrawImage(item->pImage, fit.left, fit.top, fit.Width(), fit.Height());
                }
            }
        }
        if (m_bGrid) {
            Gdiplus::Pen pen{Gdiplus::Color(kGridColor), 1.0f};
            pen.SetDashStyle(Gdiplus::DashStyleDashDot);
            for (int x = 0; x < W; x += 10) g.DrawLine(&pen, x, 0, x, H);
            for (int y = 0; y < H; y += 10) g.DrawLine(&pen, 0, y, W, y);
        }
    }
    ::BitBlt(dc, m_rcControl.left, m_rcControl.top, W, H, m_hMemDC, 0, 0, SRCCOPY);
}

// ---- mouse ----

int ImageView::OnControlLButtonDown(UINT, CPoint point)
{
    if (m_bPreview) return 0;
    if (!EditablePicture()) return 1;
    if (m_nDrawMode == MODE_MOVE_TEXT) {
        m_nSelect = -1;
        bool hit = false;
        {
            CAutoLock lock(m_layerLock);
            for (size_t i = 0; i < m_layers.size(); ++i) {
                const EDITLAYER_INFO* layer = m_layers[i];
                if (layer->type == 1 && !layer->text.IsEmpty() &&
                    ::PtInRect(&layer->rcText, point)) {
                    m_nSelect = static_cast<int>(i);
                    hit = true;
                    break;
                }
            }
        }
        if (hit) {
            m_ptLast = point;
            Repaint();
        }
    } else if (m_nDrawMode == MODE_PEN || m_nDrawMode == MODE_ERASER) {
        EDITLAYER_INFO* layer = new EDITLAYER_INFO;
        layer->type = m_nDrawMode == MODE_PEN ? 2 : 3;
        layer->size = m_nPenSize;
        if (m_nDrawMode == MODE_PEN) {
            layer->color = ToArgb(m_crColor);
        } else {
            COLORREF under = 0;
            HWND window = m_pManager ? m_pManager->GetPaintWnd() : nullptr;
            if (window) {
                gdi::WindowDC wdc(window);
                const COLORREF pixel = ::GetPixel(wdc, point.x, point.y);
                if (pixel != CLR_INVALID) under = pixel;
            }
            layer->color = ToArgb(under);
        }
        layer->nPoints = 1;
        layer->points[0] = point;
        AppendLayer(layer, true);
        m_ptLast = point;
        Repaint();
    }
    return 1;
}

int ImageView::OnControlMouseMove(UINT flags, CPoint point)
{
    if (m_bPreview) return 0;
    if (!m_rcControl.PtInRect(point)) {
        SetCursorEx(L"arrow");
        return 0;
    }
    if (!(flags & MK_LBUTTON) && !m_bPressed) return 0;
    const int dx = point.x - m_ptLast.x, dy = point.y - m_ptLast.y;
    if (m_nDrawMode == MODE_MOVE_TEXT) {
        if (std::abs(dx) <= 2 && std::abs(dy) <= 2) return 0;
        m_bModified = true;
        {
            CAutoLock lock(m_layerLock);
            if (m_nSelect >= 0 && m_nSelect < static_cast<int>(m_layers.size())) {
                EDITLAYER_INFO* layer = m_layers[m_nSelect];
                layer->x += dx;
                layer->y += dy;
                if (layer->x < m_rcControl.left) layer->x = m_rcControl.left;
                if (layer->x > m_rcControl.right) layer->x = m_rcControl.right;
                if (layer->y < m_rcControl.top) layer->y = m_rcControl.top;
                if (layer->y > m_rcControl.bottom) layer->y = m_rcControl.bottom;
            }
        }
    } else if (m_nDrawMode == MODE_PEN || m_nDrawMode == MODE_ERASER) {
        if (std::abs(dx) <= 6 && std::abs(dy) <= 6) return 0;
        CAutoLock lock(m_layerLock);
        if (m_nSelect >= 0 && m_nSelect < static_cast<int>(m_layers.size())) {
            m_bModified = true;
            EDITLAYER_INFO* layer = m_layers[m_nSelect];
            if (layer->nPoints < EDITLAYER_INFO::MAX_POINTS)
                layer->points[layer->nPoints++] = point;
        }
    } else {
        return 0;
    }
    Repaint();
    m_ptLast = point;
    return 0;
}

int ImageView::OnControlLButtonUp(UINT, CPoint)
{
    if (m_bPreview) return 0;
    Repaint();
    if (m_bModified) {
        m_bModified = false;
        SaveCurrentImage();
    }
    return 0;
}

int ImageView::OnControlScroll(int, UINT down, CPoint)
{
    if (m_bPreview) return 0;
    if (!EditablePicture()) return 1;
    bool changed = false;
    {
        CAutoLock lock(m_layerLock);
        if (m_nSelect >= 0 && m_nSelect < static_cast<int>(m_layers.size())) {
            EDITLAYER_INFO* layer = m_layers[m_nSelect];
            layer->size += down == 1 ? -2 : 2;
            if (layer->size < 6) layer->size = 6;
            if (layer->size > 60) layer->size = 60;
            changed = true;
        }
    }
    Repaint();
    if (changed) {
        m_bModified = false;
        SaveCurrentImage();
    }
    return 1;
}

int ImageView::OnControlRButtonDown(UINT, CPoint)
{
    return 0;
}

int ImageView::OnControlRButtonUp(UINT, CPoint point)
{
    if (m_bPreview) return 0;
    if (m_rcControl.PtInRect(point)) SendMessageW(5, 0, 0);
    return 0;
}

}  // namespace WEXA
