#include "UISize.h"

#include "MControl.h"
#include "MControlFont.h"
#include "MDialog.h"

std::vector<ControlPlacement> FrameLayout(const CRect& client, const CSize& logo)
{
    const int L = client.left, T = client.top, R = client.right, B = client.bottom;
    const int w = logo.cx, h = logo.cy;
    const CRect whole(L, T, R, B);
    const CRect lowerPanel(285, B - 350, R - 1, B - 1);
    const CRect tallPanel(285, 80, R - 1, B - 1);
    return {
        // backgrounds and the dimming overlay
        {30, whole},
        {31, whole},
        {65, whole},
        // logo and caption beside it
        {36, CRect(10, 10, 10 + w, 10 + h)},
        {37, CRect(10 + w, 10, 110 + w, 10 + h)},
        // window buttons, 28 x 28, from the right, 40 pixels apart
        {39, CRect(R - 60, 10, R - 32, 38)},
        {40, CRect(R - 100, 10, R - 72, 38)},
        {42, CRect(R - 140, 10, R - 112, 38)},
        {43, CRect(R - 180, 10, R - 152, 38)},
        {45, CRect(R - 220, 10, R - 192, 38)},
        // separators
        {33, CRect(1, 70, R - 1, 71)},
        {32, CRect(281, 71, 282, B - 1)},
        // left column
        {46, CRect(90, 80, 190, 116)},
        {38, CRect(10, 130, 270, 166)},
        // the main tab: room for eight items of 50 pixels, 1 apart, the most a
        // model shows (the LCD item comes only with models without a matrix)
        {68, CRect(20, 180, 261, 588)},
        {64, CRect(30, B - 120, 249, B - 35)},
        // profile card, between the main tab and the picture button (below
        // the eighth item a model's main tab may show): three rows of the
        // profile list, each with its menu button, and on the right the add
        // and import buttons; the card's background behind
        {51, CRect(20, 589, 261, B - 124)},
        {53, CRect(24, 592, 221, B - 127)},
        {54, CRect(225, 592, 257, 624)},
        {55, CRect(225, 628, 257, 660)},
        // profile manager button group
        {48, CRect(150, 20, 290, 56)},
        {49, CRect(160, 26, 184, 50)},
        {50, CRect(186, 25, 280, 56)},
        // custom-key companions
        {56, CRect(R - 160, 120, R - 100, 270)},
        {57, CRect(400, B - 360, 1220, B - 324)},
        {60, CRect(R - 180, 320, R - 20, 356)},
        {61, CRect(R - 180, 370, R - 20, 406)},
        // home page
        {80, CRect(100, 150, R - 100, 200)},
        {81, CRect(100, 150, R - 60, B - 50)},
        // page panels
        {70, lowerPanel},
        {71, lowerPanel},
        {74, lowerPanel},
        {75, lowerPanel},
        {73, lowerPanel},
        {72, tallPanel},
        {77, tallPanel},
        {76, tallPanel},
        {78, tallPanel},
        {69, CRect(1, 80, R - 1, B - 1)},
        {79, whole},
    };
}

bool UISize(WEXA::MDialog& dialog, CRect client)
{
    if (!dialog.GetControl(39)) return false;
    CSize logo(0, 0);
    if (auto* picture = dynamic_cast<WEXA::MControlFont*>(dialog.GetControl(36)))
        logo = picture->GetImageSize();
    for (const ControlPlacement& placement : FrameLayout(client, logo)) {
        if (WEXA::MControl* control = dialog.GetControl(placement.id))
            control->SetRect(placement.rect);
    }
    return true;
}
