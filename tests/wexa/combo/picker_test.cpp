// The composite colour picker and the colour column keep their children in
// step and report colours as event 27.
#include <gtest/gtest.h>

#include "CColorPalette.h"
#include "ColorModel.h"

#include <vector>

#include "CColorButton.h"
#include "MDialog.h"
#include "MEdit.h"
#include "MPalette.h"
#include "MSpinButton.h"
#include "WindowTestHelpers.h"

namespace {

struct Event
{
    UINT id, code;
    UINT_PTR wparam;
    LONG_PTR lparam;
};

class PickerHost : public WEXA::MDialog
{
public:
    void InitUI(CRect) override
    {
        picker = dynamic_cast<WEXA::CColorPalette*>(
            CreateControl(L"CColorPalette", 600, CRect(10, 10, 340, 190), L"", 1, 1));
        column = dynamic_cast<WEXA::CColorSelect*>(
            CreateControl(L"CColorSelect", 700, CRect(350, 10, 380, 200), L"", 1, 1));
    }
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override
    {
        events.push_back({id, code, wparam, lparam});
        return 0;
    }
    std::vector<Event> Colours() const
    {
        std::vector<Event> out;
        for (const Event& e : events)
            if (e.code == 27) out.push_back(e);
        return out;
    }
    WEXA::CColorPalette* picker = nullptr;
    WEXA::CColorSelect* column = nullptr;
    std::vector<Event> events;
};

struct Fixture : ::testing::Test
{
    void SetUp() override
    {
        host.Create(nullptr, L"pickers", WS_POPUP | WS_VISIBLE, 0, CRect(200, 600, 600, 820));
        ASSERT_NE(host.picker, nullptr);
        ASSERT_NE(host.picker->m_pPalette, nullptr);
        ASSERT_NE(host.picker->m_pHex, nullptr);
        for (auto* spin : host.picker->m_pSpins) ASSERT_NE(spin, nullptr);
    }
    void TearDown() override { host.DestroyWindow(); }
    PickerHost host;
};

TEST_F(Fixture, ChildrenAreLaidOutAndSetUp)
{
    WEXA::CColorPalette* p = host.picker;
    EXPECT_EQ(p->m_pPalette->GetRect(), CRect(10, 37, 243, 186));
    EXPECT_EQ(p->m_pPalette->GetPalletHeight(), 147);
    EXPECT_EQ(p->m_pPresets[2]->GetColor(), 0x31FEFEu);
    EXPECT_EQ(p->m_pSelected->GetColor(), 0x00E1FFu);
    EXPECT_EQ(p->m_pSpins[1]->GetCurValue(), 255);
    EXPECT_EQ(p->m_pHex->GetEditText(), CString(L"33FFFE"));
}

TEST_F(Fixture, TypedHexColourUpdatesEveryChild)
{
    WEXA::CColorPalette* p = host.picker;
    p->m_pHex->SetEditText(L"FF80");
    EXPECT_EQ(p->OnMessage(657, 26, 0, 0), 0);
    EXPECT_TRUE(host.events.empty());

    p->m_pHex->SetEditText(L"FF8000");
    p->OnMessage(657, 26, 0, 0);
    EXPECT_EQ(p->m_pSpins[0]->GetCurValue(), 255);
    EXPECT_EQ(p->m_pSpins[1]->GetCurValue(), 128);
    EXPECT_EQ(p->m_pSpins[2]->GetCurValue(), 0);
    EXPECT_EQ(p->m_pSelected->GetColor(), 0x0080FFu);
    const std::vector<Event> colours = host.Colours();
    ASSERT_EQ(colours.size(), 1u);
    EXPECT_EQ(colours[0].id, 600u);
    EXPECT_EQ(colours[0].lparam, 0x0080FF);
    EXPECT_EQ(host.events.back().id, 657u);  // the field's own event follows
}

TEST_F(Fixture, DragOnTheFieldReportsEveryNewColour)
{
    WEXA::MPalette* field = host.picker->m_pPalette;
    field->OnControlLButtonDown(MK_LBUTTON, CPoint(60, 80));
    field->OnControlMouseMove(MK_LBUTTON, CPoint(90, 100));
    field->OnControlMouseMove(MK_LBUTTON, CPoint(120, 120));
    const std::vector<Event> colours = host.Colours();
    ASSERT_EQ(colours.size(), 3u);
    for (const Event& e : colours) EXPECT_EQ(e.id, 600u);
    EXPECT_EQ(static_cast<COLORREF>(colours[2].lparam), field->GetSelectColor());
    for (const Event& e : host.events) EXPECT_NE(e.id, 620u);
}

TEST_F(Fixture, PresetPressReportsItsColour)
{
    WEXA::CColorPalette* p = host.picker;
    p->m_pPresets[2]->SetCheck(1);
    p->OnMessage(633, 1, 0, 0);
    const std::vector<Event> colours = host.Colours();
    ASSERT_EQ(colours.size(), 1u);
    EXPECT_EQ(colours[0].lparam, 0x31FEFE);
    EXPECT_EQ(host.events.back().id, 633u);
    EXPECT_EQ(host.events.back().code, 1u);
}

TEST_F(Fixture, PickerShorterThanItsFieldMarginsHasAFieldWithoutHeight)
{
    // The field is the picker's height less 33 pixels; at 33 pixels or less
    // it has no height: presses and drags on it pick nothing and it draws
    // without dividing by its height.
    struct Case
    {
        int height, paletteHeight;
        bool picks;
    };
    const Case cases[] = {{40, 7, true},   {34, 1, true},    {33, 0, false},
                          {32, -1, false}, {20, -13, false}, {0, -33, false}};
    WEXA::CColorPalette* p = host.picker;
    WEXA::MPalette* field = p->m_pPalette;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "height " << c.height);
        p->SetRect(CRect(10, 10, 340, 10 + c.height));
        EXPECT_EQ(field->GetPalletHeight(), c.paletteHeight);
        host.events.clear();
        const CPoint top(60, 37);           // the field's top row
        field->SetSelectColor(0x00FFFFFF);  // a colour that survives H, S, L
        field->OnControlLButtonDown(MK_LBUTTON, top);
        field->OnControlMouseMove(MK_LBUTTON, CPoint(61, 37));
        field->OnControlLButtonUp(0, CPoint(61, 37));
        EXPECT_EQ(host.Colours().empty(), !c.picks);
        testutil::MemoryCanvas canvas(340, 200);
        HDC dc = canvas.dc();
        field->SetUpdate(0, 0);
        field->DrawControl(dc, CRect(0, 0, 340, 200));
        RedrawWindow(host.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

TEST_F(Fixture, ColumnIndexes)
{
    WEXA::CColorSelect* c = host.column;
    c->SetColorIndex(3);
    EXPECT_EQ(c->m_pSwatches[3]->GetCheck() != 0, true);
    c->SetColorIndex(7);
    EXPECT_NE(c->m_pSwatches[3]->GetCheck(), 0);
    c->SetColorIndex(-1);
    for (auto* swatch : c->m_pSwatches) EXPECT_EQ(swatch->GetCheck(), 0);
    c->SetColorIndex(1);
    c->OnMessage(632, 1, 0, 0);
    ASSERT_FALSE(host.Colours().empty());
    EXPECT_EQ(host.Colours()[0].wparam, 1u);
    EXPECT_EQ(host.Colours()[0].lparam, 0x00FF00);
}

}  // namespace
