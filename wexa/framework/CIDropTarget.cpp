// CIDropTarget: COM bookkeeping of the drop target.
//
// Not built yet (placeholders): the drag image service, the format choice and
// the drag-enter / over / leave / drop handling, which refuse every drop.
#include "CIDropTarget.h"

namespace WEXA {

CIDropTarget::CIDropTarget(HWND targetWnd)
    : m_lRefCount(0),
      m_bAllowDrop(false),
      m_pDropTargetHelper(nullptr),
      m_pSupportedFrmt(nullptr),
      m_hTargetWnd(targetWnd)
{
}

CIDropTarget::~CIDropTarget()
{
    if (m_pDropTargetHelper) m_pDropTargetHelper->Release();
    m_pDropTargetHelper = nullptr;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIDropTarget::AddRef() { return static_cast<ULONG>(++m_lRefCount); }

ULONG STDMETHODCALLTYPE CIDropTarget::Release()
{
    const int count = --m_lRefCount;
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    if (!data) return E_INVALIDARG;
    m_bAllowDrop = false;
    if (effect) *effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragOver(DWORD, POINTL, DWORD* effect)
{
    if (effect) *effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragLeave()
{
    m_bAllowDrop = false;
    m_pSupportedFrmt = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    if (!data) return E_INVALIDARG;
    m_bAllowDrop = false;
    m_pSupportedFrmt = nullptr;
    if (effect) *effect = DROPEFFECT_NONE;
    return S_OK;
}

void CIDropTarget::AddSuportedFormat(FORMATETC& format) { m_formatetc.push_back(format); }

bool CIDropTarget::QueryDrop(DWORD, DWORD* effect)
{
    if (effect) *effect = DROPEFFECT_NONE;
    return false;
}

}  // namespace WEXA
