#pragma once
// BatteryCtrl: the battery badge: a light rounded box with one frame of the
// device status strip (0 low, 1 middle, 2 high, 3 charging) and the stepped
// charge "%d%%" (25 up to 30, 50 up to 60, 75 up to 80, 90 up to 95, the level
// itself from 96). Level 0 (the start, and a keyboard without a battery) draws
// no badge. Level and charging flag are set by the program's worker (plain
// ints); the repaint request goes to the owner from that thread.
#include <windows.h>

#include "CRect.h"
#include "CString.h"
#include "MControlFont.h"
#include "WexaExport.h"
#include "WexaGdiplus.h"

namespace WEXA {

class WEXA_API BatteryCtrl : public MControlFont
{
public:
    static const Gdiplus::ARGB kBoxColor = 0xFFEBF2F7;

    BatteryCtrl(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~BatteryCtrl() override;

    // Registers for the window's multimedia ticks (nothing is done on them).
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    // The status strip from the skin folder, owned by the control; frame
    // counts below 1 count as 1. 0 when the file does not load.
    int SetImage(const wchar_t* skinFileName, int frames) override;
    using MControlFont::SetImage;

    // Stores both and repaints when either differs.
    void SetBatteryInfo(int level, int charging);
    int SetBatteryIcon(const wchar_t* first, const wchar_t* second);
    void SetShowBattery(int show) { m_bShowBattery = show; }

    int GetBatteryLevel() const { return m_nLevel; }
    int GetCharging() const { return m_nCharging; }
    // The frame the badge shows (-1: none, level 0) and the text it writes
    // ("" for level 0).
    int GetShownFrame() const;
    static int SteppedLevel(int level);

private:
    int m_nLevel;
    int m_nCharging;
    Gdiplus::Image* m_pIcon;  // owned
    int m_nIconWidth;
    int m_nIconHeight;
    Gdiplus::Image* m_pExtra[2];  // owned; not drawn
    int m_nExtraWidth[2];
    int m_nExtraHeight[2];
    int m_bShowBattery;
};

}  // namespace WEXA
