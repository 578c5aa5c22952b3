#pragma once
// CIDropTarget: a plain IDropTarget implementation. The window engine
// (PaintManager) is one, registered for its window; it accepts the formats added
// with AddSuportedFormat and hands drops to the virtual OnDrop / OnDragOver.
// Reference counts are plain counters: drop targets live on the UI thread.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <vector>

#include "WexaExport.h"

namespace WEXA {

class WEXA_API CIDropTarget : public IDropTarget
{
public:
    explicit CIDropTarget(HWND targetWnd);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                   DWORD* effect) override;

    virtual ~CIDropTarget();
    // A drop of an accepted format; true when the caller releases the medium.
    virtual bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) = 0;
    virtual void OnDragOver(POINTL screenPoint) = 0;

    void AddSuportedFormat(FORMATETC& format);
    void SetTargetWnd(HWND wnd) { m_hTargetWnd = wnd; }
    // The effect to answer for the keys held and the effects the source allows.
    bool QueryDrop(DWORD keyState, DWORD* effect);

protected:
    int m_lRefCount;
    bool m_bAllowDrop;
    IDropTargetHelper* m_pDropTargetHelper;  // owned, may be null
    std::vector<FORMATETC> m_formatetc;
    FORMATETC* m_pSupportedFrmt;  // points into m_formatetc, or null
    HWND m_hTargetWnd;
};

}  // namespace WEXA
