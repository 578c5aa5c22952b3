#pragma once
// KeyboardCtrl: the interactive picture of the keyboard.
//
// A windowless panel that draws one picture of the keyboard stretched over
// its rectangle and, over it, one key per KEY_INFO record at the record's
// rectangle moved by the picture offset. Draw modes:
//   100 none        key caps (frame 0 of the control's sprite) with the description
//   101 custom      key caps, frame 1 for the pressed, hovered or checked key, with the name
//   102             the picture alone (as every other unknown value)
//   103 light       keys filled with their key colour, description in white
//   104 user light  keys outlined in their key colour
// A key with code 255 is round (an ellipse in 100 and 101, nothing in 103).
//
// Events to the owner (OnBaseMessage, after the lock is released):
//   1  left button down inside:  (pressed index or -1, key code or 0)
//   2  left button up:           (pressed index, or -1 outside / no key; 0)
//   5  right button up inside:   (pressed index or -1, key code or 0)
// The owner reads the chosen key with GetCurrentKeyValue (m_nCurKeyValue).
//
// Threads: the UI thread creates, paints and feeds the mouse; the program's
// worker refills the keys, writes their texts and colours, swaps the picture
// and changes the draw mode at the same time. The key lock (EnterCriSec /
// LeaveCriSec, re-entrant) guards the key list, the records' texts and the
// picture; the drawing holds it for the picture and the keys, so a picture
// or a record is never freed while it is drawn. SetKeyColor and
// SetKeyBkgColor write one colour without the lock (once per key per worker
// tick); they must not race with a refill. Repaint requests, notifications
// and the tip window are called after the lock is released. The key lock is
// a leaf of the engine's lock order (an item lock, PaintManager.h): nothing
// else is taken while it is held.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"
#include "KeyboardRecords.h"
#include "MPanel.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class CKeyboardTips;
class BlendCache;

class WEXA_API KeyboardCtrl : public MPanel
{
public:
    enum DrawMode {
        MODE_NONE = 100,
        MODE_CUSTOM = 101,
        MODE_PICTURE = 102,
        MODE_LIGHT = 103,
        MODE_USER_LIGHT = 104,
    };
    enum { ROUND_KEY_CODE = 255 };

    KeyboardCtrl(MObject* owner, UINT id, CRect rect, int visible);
    ~KeyboardCtrl() override;

    // ---- MControl / MPanel ----
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlRButtonDown(UINT flags, CPoint point) override;
    int OnControlRButtonUp(UINT flags, CPoint point) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;

    // ---- picture ----
    // Skin folder + name; no picture when it does not load. The old picture is
    // freed under the key lock.
    void SetKeyboardImage(const wchar_t* skinFileName);
    // Picture size; on a placed control the picture offset becomes (20, 25).
    void SetWidthAndHeight(int width, int height);
    // Stored as opaque ARGB; nothing draws it.
    void SetKeyboardColor(COLORREF color);
    void SetKeyboardCtrlMode(int mode);
    int GetKeyboardCtrlMode() const { return m_nMode; }
    CPoint GetPictureOffset() const { return CPoint(m_nOffsetX, m_nOffsetY); }
    // The rectangle moved by the picture offset.
    CRect GetRealRect(CRect rect);

    // ---- keys ----
    // Appends a key (both colours = colour); the icon from skin folder + icon
    // file when it loads. The new index.
    int AddKeyItem(const wchar_t* name, const wchar_t* desc, int keyCode, CRect rect,
                   const wchar_t* iconFile, COLORREF color);
    void ClearItem();
    // A copy of the record pointers (taken without the lock; the records stay
    // the control's until ClearItem).
    std::vector<KEY_INFO*> GetKeyItems();
    int GetKeyCount();
    void EnterCriSec() { m_keyLock.Lock(); }
    void LeaveCriSec() { m_keyLock.Unlock(); }

    // On the first key with the code (nothing when none has it):
    void SetKeyItemInfo(int keyCode, const wchar_t* name, int value, const wchar_t* tip);
    void SetKeyDesc(int keyCode, const wchar_t* text);
    // The legend of the key with that code (empty when there is none).
    CString GetKeyLegend(int keyCode);
    void SetKeyColor(int keyCode, COLORREF color);     // no lock
    void SetKeyBkgColor(int keyCode, COLORREF color);  // no lock
    void SetKeyCheck(int keyCode, int check);
    // Tooltip texts 1 and 5 of the first key with the code.
    void SetTipKey(int keyCode, const wchar_t* text, const wchar_t* text5);

    // On every key:
    void ResetAllItemsColor(COLORREF color);
    // Mode 0: background and key colour of every key; other modes nothing.
    void SetLightModeColor(int mode, COLORREF color);
    void ResetAllItemCheck(int check);
    void ResetAllItemCheck();
    void ResetTipKey();
    int GetCheckItemCount();

    void SetAllSelectColor(COLORREF color);
    void EnableFrameSelect(int enable) { m_bFrameSelect = enable; }
    void EnableKBTips(bool enable) { m_bShowTips = enable; }
    int GetCurrentKeyValue() const { return m_nCurKeyValue; }
    int GetHoverIndex() const { return m_nHover; }
    int GetPressedIndex() const { return m_nPressed; }

    // Key code under a window client point; 0 when no key contains it.
    int GetKeyCodeByPoint(CPoint point);

    // Stored, not drawn.
    void SetKeyState1Image(const wchar_t* skinFileName);
    void SetKeyState2Image(const wchar_t* skinFileName);
    void SetKeyState3Image(const wchar_t* skinFileName);
    void SetShowActuation(int show);

    // Shows the tip for a key anchored at the middle of rect's top edge
    // (window client coordinates), or hides it. The key's texts are copied
    // under the lock, and only while the record is still in the list.
    void SetTips(KEY_INFO* key, CRect rect, bool show);
    CKeyboardTips* GetTipsWindow() const { return m_pTips; }
    // Hover tracking for a drag over the window (client point), without tips.
    void DragMove(CPoint point);

    // ---- data ----
    std::vector<KEY_INFO*> m_keys;
    CCriticalLock m_keyLock;
    int m_nCurKeyValue;  // key code of the last press (see GetCurrentKeyValue)
    bool m_bShowTips;
    int m_nHover;
    int m_nPressed;
    Gdiplus::Image* m_pKeyboardImage;  // owned, guarded by the key lock
    int m_nMode;
    int m_nOffsetX;
    int m_nOffsetY;
    int m_nPictureWidth;
    int m_nPictureHeight;
    Gdiplus::Image* m_pStateImage[3];  // owned
    int m_nStateWidth[3];
    int m_nStateHeight[3];
    int m_bShowActuation;
    int m_bFrameSelect;  // clicks toggle the checked flag
    CPoint m_ptBandStart;
    CPoint m_ptBandEnd;
    int m_bBandActive;
    COLORREF m_crSelect;
    Gdiplus::ARGB m_keyboardColor;
    Gdiplus::StringFormat* m_pTextFormat;  // owned
    CKeyboardTips* m_pTips;                // owned

protected:
    void DrawNoneMode(Gdiplus::Graphics& g, int& width, int& height);
    void DrawCustomMode(Gdiplus::Graphics& g, int& width, int& height);
    void DrawLightMode(Gdiplus::Graphics& g, int width, int height);
    void DrawUserLightMode(Gdiplus::Graphics& g, int width, int height);
    // Checks every key whose hit rectangle meets the band (not used yet).
    void CalFrameSelect();
    void DrawRoundRectange(Gdiplus::Graphics& g, int x, int y, int w, int h, int radius,
                           Gdiplus::ARGB fill, int penWidth, Gdiplus::ARGB penColor);

private:
    // Label sizes chosen by the drawing, and the picture and key caps it
    // rendered once and blends since (all under the key lock).
    std::map<std::wstring, int> m_labelFit;
    BlendCache* m_pBlend;
    const Gdiplus::Image* m_pBlendPicture;  // the picture the stored renderings are of
    const Gdiplus::Image* m_pCapSource;     // the key-cap strip they are of

    void Repaint();
    CRect DrawRect(const KEY_INFO* key) const;
    CRect HitRect(const KEY_INFO* key) const;
    // First key whose hit rectangle contains the point; -1. Caller holds the lock.
    int FindKeyAt(CPoint point) const;
    // The key under a press becomes the hovered key (lock held).
    void HoverKeyAt(CPoint point);
    KEY_INFO* FindKey(int keyCode) const;  // caller holds the lock (or accepts the race)
    bool ValidIndex(int index) const
    {
        return index >= 0 && index < static_cast<int>(m_keys.size());
    }
    void DrawKeyCaps(Gdiplus::Graphics& g, bool custom);
    void LoadStateImage(int slot, const wchar_t* skinFileName, int frames);
    void DestroyTips();
};

}  // namespace WEXA
