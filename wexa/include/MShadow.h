#pragma once
// MShadow: a soft drop shadow for a top-level window of the library: a
// layered, click-through "ShadowWnd" popup kept directly below its parent and
// following it (the parent's window procedure is subclassed). The picture is
// computed from the parent's window region or drawn from a nine-slice image.
// Every PaintManager owns one. UI thread only.
#include <windows.h>

#include <map>

#include "CRect.h"
#include "CString.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class PaintManager;

class WEXA_API MShadow
{
public:
    MShadow();
    virtual ~MShadow();

    MShadow(const MShadow&) = delete;
    MShadow& operator=(const MShadow&) = delete;

    // Registers the "ShadowWnd" class; 0 when done already and force is false.
    static int Initialize(HINSTANCE instance, bool force);
    void Create(PaintManager* manager);
    // The same for a plain window, which becomes the shadow's parent.
    void Create(HWND parent);

    void ShowShadow(int show) { m_bShow = show; }
    int IsShowShadow() const { return m_bShow; }
    void DisableShadow(int disable);
    int IsDisableShadow() const { return m_bDisabled; }

    int SetSize(int size);                 // -35..35
    int SetSharpness(unsigned sharpness);  // 0..35
    int SetDarkness(unsigned darkness);    // 0..255
    int SetPosition(int x, int y);         // each -35..35
    int SetColor(COLORREF color);          // an ordinary COLORREF; black by default
    int SetShadowCorner(CRect corner);     // margins, each >= 0
    int SetImage(CString skinFileName);
    int SetImage(UINT resourceId);
    int CopyShadow(MShadow* target);

    static COLORREF PreMultiply(COLORREF color, UINT alpha);
    void Update(HWND parent);
    void MakeShadow(UINT32* pixels, HWND parent, RECT* parentRect);
    // Reference path for tests and the benchmark: MakeShadow finds the rows of
    // the parent's region by testing every pixel instead of reading its
    // rectangles (same picture, much slower). Off by default.
    static void SetHitTestRows(bool hitTest);
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    static std::map<HWND, MShadow*>& GetShadowMap();

    HWND GetHwnd() const { return m_hWnd; }
    BYTE GetStatus() const { return m_Status; }
    int GetSize() const { return m_nSize; }
    unsigned GetSharpness() const { return m_nSharpness; }
    unsigned GetDarkness() const { return m_nDarkness; }
    int GetxOffset() const { return m_nxOffset; }
    int GetyOffset() const { return m_nyOffset; }
    COLORREF GetColor() const { return m_Color; }
    int IsImageMode() const { return m_bIsImageMode; }
    int HasImage() const { return m_pImage != nullptr; }
    CRect GetShadowCorner() const { return m_rcShadowCorner; }
    // The shadow window's rectangle for a parent window rectangle.
    CRect ShadowRect(const RECT& parentRect) const;

    enum ShadowStatus {
        SS_ENABLED = 1,
        SS_VISABLE = 2,
        SS_PARENTVISIBLE = 4,
    };

protected:
    PaintManager* m_pManager;
    HWND m_hWnd;
    WNDPROC m_OriParentProc;
    BYTE m_Status;
    int m_bIsImageMode;
    int m_bShow;
    int m_bDisabled;
    Gdiplus::Image* m_pImage;
    int m_nImageWidth;
    int m_nImageHeight;
    unsigned char m_nDarkness;
    unsigned char m_nSharpness;
    signed char m_nSize;
    signed char m_nxOffset;
    signed char m_nyOffset;
    LPARAM m_WndSize;
    int m_bUpdate;
    COLORREF m_Color;
    CString m_sShadowImage;
    UINT m_uShadowImageRes;
    CRect m_rcShadowCorner;

private:
    void RebuildIfShown();
    void StatusFromParent(HWND parent);
    void MoveToParent(HWND parent);
    void ReleaseImage();
    bool EnsureImage();
};

}  // namespace WEXA
