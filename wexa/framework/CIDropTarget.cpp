// CIDropTarget: the window side of OLE drag and drop.
//
// The target accepts the formats added with AddSuportedFormat, in the order
// they were added: the first one the dragged data offers becomes the current
// format. While something is dragged over the window the shell's drag-image
// service (when it exists) draws the drag image; every DragOver is reported
// through OnDragOver, and a drop of the current format is handed to OnDrop.
// The source never learns what the target did with the data: a drop always
// answers DROPEFFECT_NONE.
#include "CIDropTarget.h"

#include <shlguid.h>

namespace WEXA {

CIDropTarget::CIDropTarget(HWND targetWnd)
    : m_lRefCount(0),
      m_bAllowDrop(false),
      m_pDropTargetHelper(nullptr),
      m_pSupportedFrmt(nullptr),
      m_hTargetWnd(targetWnd)
{
    // Without the service (no COM on this thread, or no shell) drops still
    // work, only without a drag image.
    if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IDropTargetHelper,
                                reinterpret_cast<void**>(&m_pDropTargetHelper))))
        m_pDropTargetHelper = nullptr;
}

CIDropTarget::~CIDropTarget()
{
    if (m_pDropTargetHelper) m_pDropTargetHelper->Release();
    m_pDropTargetHelper = nullptr;
    m_pSupportedFrmt = nullptr;
    m_formatetc.clear();
}

HRESULT STDMETHODCALLTYPE CIDropTarget::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIDropTarget::AddRef()
{
    return static_cast<ULONG>(++m_lRefCount);
}

ULONG STDMETHODCALLTYPE CIDropTarget::Release()
{
    const int count = --m_lRefCount;
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

void CIDropTarget::AddSuportedFormat(FORMATETC& format)
{
    // The current format points into the list; a new entry may move it.
    m_pSupportedFrmt = nullptr;
    m_formatetc.push_back(format);
}

bool CIDropTarget::QueryDrop(DWORD keyState, DWORD* effect)
{
    if (!effect) return false;
    const DWORD allowed = *effect;
    if (!m_bAllowDrop) {
        *effect = DROPEFFECT_NONE;
        return false;
    }
    DWORD wanted = DROPEFFECT_NONE;
    if ((keyState & MK_CONTROL) && (keyState & MK_SHIFT))
        wanted = DROPEFFECT_LINK;
    else if (keyState & MK_CONTROL)
        wanted = DROPEFFECT_COPY;
    else if (keyState & MK_SHIFT)
        wanted = DROPEFFECT_MOVE;

    DWORD answer = DROPEFFECT_NONE;
    if (wanted != DROPEFFECT_NONE) {
        if (allowed & wanted) answer = wanted;
    } else if (allowed & DROPEFFECT_COPY) {
        answer = DROPEFFECT_COPY;
    } else if (allowed & DROPEFFECT_MOVE) {
        answer = DROPEFFECT_MOVE;
    } else if (allowed & DROPEFFECT_LINK) {
        answer = DROPEFFECT_LINK;
    }
    *effect = answer;
    return answer != DROPEFFECT_NONE;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                                  DWORD* effect)
{
    if (!data) return E_INVALIDARG;
    DWORD none = DROPEFFECT_NONE;
    if (!effect) effect = &none;
    if (m_pDropTargetHelper) {
        POINT pt = {point.x, point.y};
        m_pDropTargetHelper->DragEnter(m_hTargetWnd, data, &pt, *effect);
    }
    m_pSupportedFrmt = nullptr;
    m_bAllowDrop = false;
    for (FORMATETC& format : m_formatetc) {
        if (data->QueryGetData(&format) == S_OK) {
            m_pSupportedFrmt = &format;
            m_bAllowDrop = true;
            break;
        }
    }
    QueryDrop(keyState, effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect)
{
    DWORD none = DROPEFFECT_NONE;
    if (!effect) effect = &none;
    if (m_pDropTargetHelper) {
        POINT pt = {point.x, point.y};
        m_pDropTargetHelper->DragOver(&pt, *effect);
    }
    QueryDrop(keyState, effect);
    // Reported also while the data cannot be dropped here.
    OnDragOver(point);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragLeave()
{
    if (m_pDropTargetHelper) m_pDropTargetHelper->DragLeave();
    m_bAllowDrop = false;
    m_pSupportedFrmt = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point,
                                             DWORD* effect)
{
    if (!data) return E_INVALIDARG;
    DWORD none = DROPEFFECT_NONE;
    if (!effect) effect = &none;
    if (m_pDropTargetHelper) {
        POINT pt = {point.x, point.y};
        m_pDropTargetHelper->Drop(data, &pt, *effect);
    }
    if (QueryDrop(keyState, effect) && m_bAllowDrop && m_pSupportedFrmt) {
        STGMEDIUM medium = {};
        if (SUCCEEDED(data->GetData(m_pSupportedFrmt, &medium))) {
            if (OnDrop(m_pSupportedFrmt, medium, effect)) ReleaseStgMedium(&medium);
        }
    }
    m_bAllowDrop = false;
    *effect = DROPEFFECT_NONE;
    m_pSupportedFrmt = nullptr;
    return S_OK;
}

}  // namespace WEXA
