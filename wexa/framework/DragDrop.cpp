#include "DragDrop.h"

#include <shlguid.h>

#include <new>

namespace WEXA {

// ---------------------------------------------------------------------------
// CIDropSource
// ---------------------------------------------------------------------------

CIDropSource::CIDropSource() : m_lRefCount(0), m_bDropped(0) {}

CIDropSource::~CIDropSource() = default;

HRESULT STDMETHODCALLTYPE CIDropSource::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
        *object = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIDropSource::AddRef()
{
    return static_cast<ULONG>(++m_lRefCount);
}

ULONG STDMETHODCALLTYPE CIDropSource::Release()
{
    int count = --m_lRefCount;
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE CIDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState)
{
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if (!(keyState & (MK_LBUTTON | MK_RBUTTON))) {
        m_bDropped = 1;
        return DRAGDROP_S_DROP;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropSource::GiveFeedback(DWORD)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---------------------------------------------------------------------------
// CEnumFormatEtc
// ---------------------------------------------------------------------------

CEnumFormatEtc::CEnumFormatEtc(const std::vector<FORMATETC>& formats)
    : m_lRefCount(0),
      m_formats(formats),
      m_nPosition(0)
{}

CEnumFormatEtc::CEnumFormatEtc(const std::vector<FORMATETC*>& formats)
    : m_lRefCount(0),
      m_nPosition(0)
{
    m_formats.reserve(formats.size());
    for (FORMATETC* f : formats)
        if (f) m_formats.push_back(*f);
}

CEnumFormatEtc::~CEnumFormatEtc() = default;

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumFORMATETC)) {
        *object = static_cast<IEnumFORMATETC*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CEnumFormatEtc::AddRef()
{
    return ++m_lRefCount;
}

ULONG STDMETHODCALLTYPE CEnumFormatEtc::Release()
{
    ULONG count = --m_lRefCount;
    if (count == 0) delete this;
    return count;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Next(ULONG count, FORMATETC* out, ULONG* fetched)
{
    if (fetched) *fetched = 0;
    if (count == 0 || !out) return S_FALSE;
    const ULONG size = static_cast<ULONG>(m_formats.size());
    if (m_nPosition >= size) return S_FALSE;
    // Without a place for the count only one format may be asked for.
    if (!fetched && count != 1) return S_FALSE;
    ULONG copied = 0;
    while (copied < count && m_nPosition < size) {
        out[copied++] = m_formats[m_nPosition++];
    }
    if (fetched) *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Skip(ULONG count)
{
    const ULONG size = static_cast<ULONG>(m_formats.size());
    // Skipping onto the end itself is refused as well.
    if (count >= size || m_nPosition + count >= size) return S_FALSE;
    m_nPosition += count;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Reset()
{
    m_nPosition = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Clone(IEnumFORMATETC** out)
{
    if (!out) return E_POINTER;
    auto* clone = new (std::nothrow) CEnumFormatEtc(m_formats);
    if (!clone) {
        *out = nullptr;
        return E_OUTOFMEMORY;
    }
    clone->m_nPosition = m_nPosition;
    clone->AddRef();
    *out = clone;
    return S_OK;
}

// ---------------------------------------------------------------------------
// CIDataObject
// ---------------------------------------------------------------------------

CIDataObject::CIDataObject(CIDropSource* source) : m_pDropSource(source), m_lRefCount(0) {}

CIDataObject::~CIDataObject()
{
    for (size_t i = 0; i < m_media.size(); ++i) {
        ReleaseStgMedium(m_media[i]);
        delete m_media[i];
    }
    for (FORMATETC* f : m_formats) delete f;
}

HRESULT STDMETHODCALLTYPE CIDataObject::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIDataObject::AddRef()
{
    return static_cast<ULONG>(++m_lRefCount);
}

ULONG STDMETHODCALLTYPE CIDataObject::Release()
{
    int count = --m_lRefCount;
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!format || !medium) return E_INVALIDARG;
    medium->hGlobal = nullptr;
    for (size_t i = 0; i < m_formats.size(); ++i) {
        const FORMATETC* f = m_formats[i];
        if ((format->tymed & f->tymed) && format->dwAspect == f->dwAspect &&
            format->cfFormat == f->cfFormat) {
            CopyMedium(medium, m_media[i], m_formats[i]);
            return S_OK;
        }
    }
    return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CIDataObject::QueryGetData(FORMATETC* format)
{
    if (!format) return E_INVALIDARG;
    if (!(format->dwAspect & DVASPECT_CONTENT)) return DV_E_DVASPECT;
    if (m_formats.empty()) return DV_E_TYMED;
    HRESULT answer = DV_E_TYMED;
    for (const FORMATETC* f : m_formats) {
        if (format->tymed & f->tymed) {
            if (format->cfFormat == f->cfFormat) return S_OK;
            answer = DV_E_CLIPFORMAT;
        } else {
            answer = DV_E_TYMED;
        }
    }
    return answer;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (!out) return E_INVALIDARG;
    return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE CIDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release)
{
    if (!format || !medium) return E_INVALIDARG;
    auto* f = new (std::nothrow) FORMATETC(*format);
    auto* m = new (std::nothrow) STGMEDIUM();
    if (!f || !m) {
        delete f;
        delete m;
        return E_OUTOFMEMORY;
    }
    if (release) {
        *m = *medium;
    } else {
        CopyMedium(m, medium, format);
    }
    m_formats.push_back(f);
    m_media.push_back(m);
    return S_OK;
}

void CIDataObject::CopyMedium(STGMEDIUM* dest, STGMEDIUM* src, FORMATETC* format)
{
    switch (src->tymed) {
        case TYMED_HGLOBAL:
        case TYMED_FILE:
        case TYMED_GDI:
        case TYMED_MFPICT:
        case TYMED_ENHMF:
            dest->hGlobal =
                static_cast<HGLOBAL>(OleDuplicateData(src->hGlobal, format->cfFormat, 0));
            break;
        case TYMED_ISTREAM:
            dest->pstm = src->pstm;
            if (dest->pstm) dest->pstm->AddRef();
            break;
        case TYMED_ISTORAGE:
            dest->pstg = src->pstg;
            if (dest->pstg) dest->pstg->AddRef();
            break;
        default: break;
    }
    dest->tymed = src->tymed;
    dest->pUnkForRelease = src->pUnkForRelease;
    if (dest->pUnkForRelease) dest->pUnkForRelease->AddRef();
}

HRESULT STDMETHODCALLTYPE CIDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    auto* e = new (std::nothrow) CEnumFormatEtc(m_formats);
    if (!e) return E_OUTOFMEMORY;
    e->AddRef();
    *out = e;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CIDataObject::DUnadvise(DWORD)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CIDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

// ---------------------------------------------------------------------------
// CDragSourceHelper
// ---------------------------------------------------------------------------

CDragSourceHelper::CDragSourceHelper() : m_pDragSourceHelper(nullptr)
{
    if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IDragSourceHelper,
                                reinterpret_cast<void**>(&m_pDragSourceHelper))))
        m_pDragSourceHelper = nullptr;
}

CDragSourceHelper::~CDragSourceHelper()
{
    if (m_pDragSourceHelper) m_pDragSourceHelper->Release();
}

HRESULT CDragSourceHelper::InitializeFromBitmap(HBITMAP bitmap, POINT& cursor, RECT& imageRect,
                                                IDataObject* data, COLORREF colorKey)
{
    if (!m_pDragSourceHelper) return E_FAIL;
    SHDRAGIMAGE image = {};
    BITMAP info = {};
    if (bitmap && GetObjectW(bitmap, sizeof(info), &info)) {
        image.sizeDragImage.cx = info.bmWidth;
        image.sizeDragImage.cy = info.bmHeight;
    }
    image.hbmpDragImage = bitmap;
    image.ptOffset.x = cursor.x - imageRect.left;
    image.ptOffset.y = cursor.y - imageRect.top;
    image.crColorKey = colorKey;
    return m_pDragSourceHelper->InitializeFromBitmap(&image, data);
}

}  // namespace WEXA
