// PaintManager: the window's part in OLE drag and drop.
//
// As a target the engine's window takes four picture formats; a drop shows the
// picture through STM_SETIMAGE (a picture the window does not take is deleted)
// and tells the window with WM_DROP_NOTIFY. As a
// source the engine drags a picture of the pressed control out of the window.
// Everything runs on the window's UI thread.
#include <shlobj.h>

#include "DragDrop.h"
#include "DropImage.h"
#include "PaintManager.h"
#include "framework/GdiOwners.h"
#include "framework/WindowUtil.h"

namespace WEXA {

namespace {

// Offers a bitmap to a live window as its image (STM_SETIMAGE); the previous
// image it hands back is deleted. True when the window took the bitmap: it
// answers STM_GETIMAGE with it, as a static control does. A window that leaves
// the message to DefWindowProc takes nothing.
bool OfferWindowImage(HWND wnd, HBITMAP bitmap)
{
    HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(
        ::SendMessageW(wnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous && previous != bitmap) ::DeleteObject(previous);
    return IsLiveWindow(wnd) &&
           reinterpret_cast<HBITMAP>(::SendMessageW(wnd, STM_GETIMAGE, IMAGE_BITMAP, 0)) == bitmap;
}

// Hands a bitmap of ours to a window as its image; a bitmap the window did
// not take (or with no window) is deleted.
void SetWindowImage(HWND wnd, HBITMAP bitmap)
{
    if (!bitmap) return;
    if (!IsLiveWindow(wnd) || !OfferWindowImage(wnd, bitmap)) ::DeleteObject(bitmap);
}

FORMATETC Accepted(CLIPFORMAT format, DWORD tymed)
{
    FORMATETC f = {format, nullptr, DVASPECT_CONTENT, -1, tymed};
    return f;
}

}  // namespace

ULONG STDMETHODCALLTYPE PaintManager::Release()
{
    if (m_lRefCount > 0) --m_lRefCount;
    return static_cast<ULONG>(m_lRefCount);
}

int PaintManager::InitDragDrop()
{
    if (!IsLiveWindow(m_hWndPaint)) return 0;
    if (FAILED(::RegisterDragDrop(m_hWndPaint, static_cast<IDropTarget*>(this)))) return 0;
    // A window registered again after its data was destroyed starts afresh.
    m_pSupportedFrmt = nullptr;
    m_formatetc.clear();
    FORMATETC formats[] = {
        Accepted(CF_BITMAP, TYMED_GDI),
        Accepted(CF_DIB, TYMED_HGLOBAL),
        Accepted(CF_HDROP, TYMED_HGLOBAL),
        Accepted(CF_ENHMETAFILE, TYMED_ENHMF),
    };
    for (FORMATETC& f : formats) AddSuportedFormat(f);
    return 1;
}

void PaintManager::OnDragOver(POINTL screenPoint)
{
    ::PostMessageW(m_hTargetWnd, WM_DRAG_OVER_NOTIFY, 0, MAKELPARAM(screenPoint.x, screenPoint.y));
}

bool PaintManager::OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD*)
{
    // The OLE drag swallowed the button release: hand it to the control
    // under the pointer.
    if (IsLiveWindow(m_hTargetWnd)) {
        POINT pt = {};
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hTargetWnd, &pt);
        ::SendMessageW(m_hTargetWnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    }
    ::PostMessageW(m_hTargetWnd, WM_DROP_NOTIFY, 0, 0);
    if (!format) return true;

    if (format->cfFormat == CF_DIB && medium.tymed == TYMED_HGLOBAL) {
        // Checked against its block before GDI reads it: a malformed DIB is
        // refused and changes nothing.
        SetWindowImage(m_hWndPaint, BitmapFromPackedDib(medium.hGlobal));
        return true;
    }
    if (format->cfFormat == CF_BITMAP && medium.tymed == TYMED_GDI) {
        if (!medium.hBitmap || ::GetObjectType(medium.hBitmap) != OBJ_BITMAP) return true;
        // The receiving window keeps the bitmap; with no window to take it
        // the medium is released as usual.
        if (!IsLiveWindow(m_hTargetWnd)) return true;
        // A bitmap whose source keeps it (a release object comes with it)
        // cannot be handed on: the window gets a copy of its own, and the
        // medium is released so that the source hears of it.
        if (medium.pUnkForRelease) {
            SetWindowImage(m_hTargetWnd,
                           static_cast<HBITMAP>(::OleDuplicateData(medium.hBitmap, CF_BITMAP, 0)));
            return true;
        }
        // Taken: the medium is not released. Not taken: releasing it deletes it.
        return !OfferWindowImage(m_hTargetWnd, medium.hBitmap);
    }
    if (format->cfFormat == CF_ENHMETAFILE && medium.tymed == TYMED_ENHMF) {
        SetWindowImage(m_hTargetWnd, BitmapFromEnhMetaFile(medium.hEnhMetaFile, m_hTargetWnd));
        return true;
    }
    if (format->cfFormat == CF_HDROP && medium.tymed == TYMED_HGLOBAL) {
        wchar_t file[520];
        if (FirstDroppedFile(medium.hGlobal, file, 520)) {
            HBITMAP bitmap = static_cast<HBITMAP>(
                ::LoadImageW(nullptr, file, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
            SetWindowImage(m_hWndPaint, bitmap);
        }
        return true;
    }
    return true;
}

void PaintManager::StartControlDrag()
{
    gdi::Bitmap dragBitmap(m_hDragBitmap);
    m_hDragBitmap = nullptr;
    if (!dragBitmap || !IsLiveWindow(m_hWndPaint)) return;

    RECT windowRect = {};
    ::GetWindowRect(m_hWndPaint, &windowRect);
    ::ClipCursor(&windowRect);
    ReleaseCapture();

    auto* source = new CIDropSource();
    source->AddRef();
    auto* data = new CIDataObject(source);
    data->AddRef();

    // The data object keeps copies of its own.
    HBITMAP copy = static_cast<HBITMAP>(::OleDuplicateData(dragBitmap, CF_BITMAP, 0));
    if (copy) {
        FORMATETC bitmapFormat = Accepted(CF_BITMAP, TYMED_GDI);
        STGMEDIUM bitmapMedium = {};
        bitmapMedium.tymed = TYMED_GDI;
        bitmapMedium.hBitmap = copy;
        data->SetData(&bitmapFormat, &bitmapMedium, FALSE);

        BITMAP info = {};
        ::GetObjectW(copy, sizeof(info), &info);
        gdi::WindowDC windowDC(m_hWndPaint);
        HDC recorder = ::CreateEnhMetaFileW(windowDC, nullptr, nullptr, nullptr);
        if (recorder) {
            {
                gdi::MemoryDC bitmapDC(windowDC);
                gdi::Selection select(bitmapDC, copy);
                ::BitBlt(recorder, 0, 0, info.bmWidth, info.bmHeight, bitmapDC, 0, 0, SRCCOPY);
            }
            HENHMETAFILE metafile = ::CloseEnhMetaFile(recorder);
            if (metafile) {
                FORMATETC metaFormat = Accepted(CF_ENHMETAFILE, TYMED_ENHMF);
                STGMEDIUM metaMedium = {};
                metaMedium.tymed = TYMED_ENHMF;
                metaMedium.hEnhMetaFile = metafile;
                if (FAILED(data->SetData(&metaFormat, &metaMedium, TRUE)))
                    ::DeleteEnhMetaFile(metafile);
            }
        }

        // The drag image: where the shell service works it takes the bitmap
        // over; where it does not (E_NOTIMPL under some systems) the drag
        // simply shows no image.
        CDragSourceHelper helper;
        POINT cursor = {info.bmWidth / 2, info.bmHeight / 2};
        RECT imageRect = {0, 0, info.bmWidth, info.bmHeight};
        HRESULT hr =
            helper.InitializeFromBitmap(copy, cursor, imageRect, data, ::GetSysColor(COLOR_WINDOW));
        if (FAILED(hr)) ::DeleteObject(copy);

        DWORD effect = DROPEFFECT_NONE;
        ::DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    }

    data->Release();
    source->Release();
    dragBitmap.reset();
    m_bDragPending = 0;
    m_bPressed = 0;
    ::ClipCursor(nullptr);
}

}  // namespace WEXA
