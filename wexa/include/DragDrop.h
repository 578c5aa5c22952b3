#pragma once
// The source side of OLE drag and drop, as plain COM objects:
//   CIDropSource       IDropSource: ends the drag when the buttons are released;
//   CIDataObject       IDataObject holding the dragged formats and media;
//   CEnumFormatEtc     IEnumFORMATETC over a copied list of formats;
//   CDragSourceHelper  holder of the shell's drag-image service.
// The drop target is CIDropTarget (CIDropTarget.h).
//
// Reference counts are plain counters: every object lives on the UI thread.
// Release deletes the object when its count reaches 0.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <vector>

#include "WexaExport.h"

namespace WEXA {

// Posted to the drop target's window: each DragOver (lParam = screen point,
// x in the low word, y in the high word) and each drop (both parameters 0).
enum : UINT {
    WM_DRAG_OVER_NOTIFY = 2025,
    WM_DROP_NOTIFY = 2026,
};

class WEXA_API CIDropSource : public IDropSource
{
public:
    CIDropSource();
    virtual ~CIDropSource();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // Esc cancels; releasing both mouse buttons drops (and sets dropped).
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

    int IsDropped() const { return m_bDropped; }

protected:
    int m_lRefCount;
    int m_bDropped;
};

class WEXA_API CEnumFormatEtc : public IEnumFORMATETC
{
public:
    // The formats are copied (target-device pointers are copied as pointers).
    explicit CEnumFormatEtc(const std::vector<FORMATETC>& formats);
    explicit CEnumFormatEtc(const std::vector<FORMATETC*>& formats);
    virtual ~CEnumFormatEtc();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* out, ULONG* fetched) override;
    // Refused (S_FALSE, position kept) when it would reach or pass the end.
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override;

protected:
    ULONG m_lRefCount;
    std::vector<FORMATETC> m_formats;
    ULONG m_nPosition;
};

class WEXA_API CIDataObject : public IDataObject
{
public:
    // The drop source is kept, not owned.
    explicit CIDataObject(CIDropSource* source);
    // Releases every stored medium.
    virtual ~CIDataObject();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // A copy of the first stored entry of the same format and aspect whose
    // medium type shares a bit with the request's.
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    // Appends an entry (never replaces one). With release the medium is taken
    // over as it is, without it the medium is duplicated.
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

    // Duplicates src into dest (handles with OleDuplicateData, interfaces with
    // AddRef); dest takes src's medium type and release object.
    static void CopyMedium(STGMEDIUM* dest, STGMEDIUM* src, FORMATETC* format);

protected:
    CIDropSource* m_pDropSource;
    int m_lRefCount;
    std::vector<FORMATETC*> m_formats;  // owned
    std::vector<STGMEDIUM*> m_media;    // owned, parallel to m_formats
};

class WEXA_API CDragSourceHelper
{
public:
    // Creates the shell's drag-image service; it stays null when that fails.
    CDragSourceHelper();
    virtual ~CDragSourceHelper();

    CDragSourceHelper(const CDragSourceHelper&) = delete;
    CDragSourceHelper& operator=(const CDragSourceHelper&) = delete;

    // E_FAIL without the service; otherwise the service's answer (an error,
    // for instance E_NOTIMPL, just means the drag shows no image).
    HRESULT InitializeFromBitmap(HBITMAP bitmap, POINT& cursor, RECT& imageRect, IDataObject* data,
                                 COLORREF colorKey);
    bool HasService() const { return m_pDragSourceHelper != nullptr; }

protected:
    IDragSourceHelper* m_pDragSourceHelper;  // owned, may be null
};

}  // namespace WEXA
