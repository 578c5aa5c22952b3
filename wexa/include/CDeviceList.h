#pragma once
// CDeviceList: the device page, one card per configured keyboard model
// (DEVICEITEM_INFO). Only the connected ("online") cards are drawn, side by
// side and centred; a card shows the model's name, its picture and, at its
// foot, the battery icon with a stepped percentage (none for level 0, a
// keyboard without a battery) and the link icon with "USB" or "2.4G" (frames
// of the control's six-frame status strip, SetImage).
// Releasing the left button over an online card selects it and sends
// event 2 (0, 0); the owner reads the choice with GetSelectDevice.
//
// Threads: the program's worker updates the link and battery state while the
// UI thread paints and hit-tests. The card lock guards the card vector and
// every record's fields; repaint requests are made after it is released. The
// card lock is an item lock of the engine's lock order (PaintManager.h): a
// leaf.
//
// CDeviceCtrl: a single device tile button (its picture's first frame and
// its title, as a tile or as a row). UI thread only.
#include <windows.h>

#include <vector>

#include "CLock.h"
#include "KeyboardRecords.h"
#include "MPanel.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API CDeviceList : public MPanel
{
public:
    CDeviceList(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CDeviceList() override;

    void DrawControl(HDC& dc, CRect clip) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;

    // Pictures are loaded from the paths as given (not skin-relative).
    int AddDevice(CString name, int id, CString offlineImage, CString onlineImage);
    void ClearList();
    int GetItemCount();
    int GetSelectItem() const { return m_nSelect; }
    int GetHoverItem() const { return m_nHover; }
    void SetAllDeviceState(int online);
    void SetDeviceState(int id, int link, int online);
    void SetDeviceBattery(int id, int link, int level, int charging);
    int GetDeviceState(int id);
    int GetOnlineCount();
    void SetSelectDevice(int id);
    int GetSelectDevice();
    // Where an image of that size is drawn inside the box: scaled down to fit
    // (keeping its shape) and centred; the box itself for tiny images.
    CRect GetImageRect(int width, int height, CRect box);

    // A copy of a card's fields (the images are not copied); false outside the list.
    bool GetDevice(int index, DEVICEITEM_INFO& out);
    // Card size for a number of online cards.
    static CSize CardSize(int online);
    // The stepped percentage a battery level shows.
    static int ShownBattery(int level);

    std::vector<DEVICEITEM_INFO*> m_items;
    CCriticalLock m_itemLock;
    int m_nHover;
    int m_nSelect;
    int m_nItemPitch;

private:
    void Repaint();
    DEVICEITEM_INFO* Find(int id) const;  // caller holds the lock
};

class WEXA_API CDeviceCtrl : public MControlFont
{
public:
    CDeviceCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CDeviceCtrl() override;

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    // The picture from the path as given (not skin-relative), owned by the
    // tile; frame counts below 1 count as 1. 0 when it does not load.
    int SetImage(const wchar_t* file, int frames) override;
    using MControlFont::SetImage;

    void SetBackColor(Gdiplus::Color color) { m_backColor = color; }
    void SetDeviceStatus(int status);
    void SetShowMode(int mode);
    int GetState() const { return m_nState; }
    int GetDeviceStatus() const { return m_nDeviceStatus; }

    int m_nState;  // 0 normal, 1 hover, 2 pressed
    Gdiplus::Color m_backColor;
    int m_nDeviceStatus;           // 0: ignores the mouse, grey title
    int m_nShowMode;               // 0 tile, else row
    Gdiplus::Image* m_pTileImage;  // owned

private:
    void Repaint(int erase);
    void DrawFrame(Gdiplus::Graphics& g, int x);
};

}  // namespace WEXA
