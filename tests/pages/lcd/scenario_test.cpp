// A keyboard owner with the K75-LCD makes an animation for the keyboard's
// screen with the mouse alone: opens the LCD page from its tab, finds the
// screen's animation there, makes a layer from pictures, draws on a frame,
// changes a delay, plays the preview, saves and sends. What the simulated
// keyboard received and what the database and the layer folder hold are
// checked against what the user made.
#include <algorithm>
#include <cstdlib>

#include "ImageView.h"
#include "ImageViewList.h"
#include "LCDViewCtrl.h"
#include "LCDViewList.h"
#include "LcdFixture.h"
#include "MButton.h"
#include "MEdit.h"
#include "MTabCtrl.h"
#include "ScreenshotCompare.h"
#include "dialogs/LCDDelayEditDlg.h"
#include "mainwnd/device/LcdTransfer.h"

namespace lcdtest {
namespace {

// A pixel of an RGB565 frame as COLORREF (each channel widened to 8 bits).
COLORREF Rgb565At(const sim::Bytes& pixels, int width, int x, int y)
{
    const size_t at = (size_t(y) * width + x) * 2;
    const unsigned v = pixels[at] | (pixels[at + 1] << 8);
    return RGB(((v >> 11) & 0x1F) << 3, ((v >> 5) & 0x3F) << 2, (v & 0x1F) << 3);
}

bool Greenish(COLORREF c)
{
    return GetGValue(c) >= 0x80 && GetRValue(c) < 0x80 && GetBValue(c) < 0x80;
}

class LcdScenario : public LcdPageTest
{
protected:
    WEXA::LCDViewList* LayerList() { return Dlg().CtlAs<WEXA::LCDViewList>(368); }
    WEXA::ImageViewList* Strip() { return Dlg().CtlAs<WEXA::ImageViewList>(381); }
    WEXA::ImageView* Canvas() { return Dlg().CtlAs<WEXA::ImageView>(377); }

    // The mouse's messages of a click at a point of the window's client area.
    static void ClickIn(HWND window, POINT at)
    {
        const LPARAM where = MAKELPARAM(at.x, at.y);
        SendMessageW(window, WM_MOUSEMOVE, 0, where);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
        SendMessageW(window, WM_LBUTTONUP, 0, where);
    }
    void ClickAt(POINT at)
    {
        ClickIn(h.Window(), at);
        h.Pump(30);
    }
    // Pressed at `from`, moved in steps of 10 pixels with the button held,
    // released at `to`.
    void Drag(POINT from, POINT to)
    {
        HWND window = h.Window();
        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(from.x, from.y));
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        const int steps = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y)) / 10;
        for (int i = 1; i <= steps; ++i) {
            const int x = from.x + (to.x - from.x) * i / steps;
            const int y = from.y + (to.y - from.y) * i / steps;
            SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        }
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        h.Pump(30);
    }
    static POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    // A row of the layer list (rows are 150 pixels apart, the card 10 below
    // the row's top).
    POINT LayerRow(int row)
    {
        const RECT list = LayerList()->GetRect();
        return {list.left + 100, list.top + 150 * row + 60};
    }
    // The delay dialog, once it is up: the value typed into its field for
    // this frame, then a click on OK.
    void AnswerDelayDialog(const wchar_t* value)
    {
        delayTick_.reset(new EveryTick([=] {
            HWND window = FindWindowW(nullptr, kDelayDialogWindowName);
            auto* dialog = dynamic_cast<LCDDelayEditDlg*>(DialogOf(window));
            if (!dialog || !IsWindowVisible(window) || !dialog->m_okButton) return false;
            dialog->m_thisFrameField->SetEditText(value);
            ClickIn(window, Middle(dialog->m_okButton->GetRect()));
            return true;
        }));
    }
    std::unique_ptr<EveryTick> delayTick_;
};

TEST_P(LcdScenario, AnAnimationMadeWithTheMouseReachesTheScreenAsMade)
{
    // The keyboard is picked in the device list; its profiles load with the
    // LCD page.
    h.SendControlEvent(81, 2);
    ASSERT_TRUE(h.WaitForTasks({TASK_DEVICE_SELECTED}));
    ASSERT_TRUE(h.Settle());

    // The page's tab, shown for this model, opens the page and is the one
    // the navigation marks.
    WEXA::MTabCtrl* tab = Dlg().MainTab();
    const int lcdTab = KeyboardDlg::kLcdTabPosition;
    ASSERT_TRUE(tab->GetItemVisible(lcdTab));
    ClickAt(Middle(tab->GetItemInfo(lcdTab)->rect));
    EXPECT_EQ(Dlg().m_currentPage.load(), 6);
    EXPECT_EQ(tab->GetSelectItem(), lcdTab);
    ASSERT_TRUE(Dlg().Ctl(77)->IsShown());
    EXPECT_FALSE(Dlg().Ctl(73)->IsShown());

    // At once the page shows what the screen holds: the slot's picture and
    // the screen's animation, chosen, its frames and the first on the canvas.
    auto* slots = Dlg().CtlAs<WEXA::LCDViewCtrl>(366);
    EXPECT_EQ(slots->GetItemCount(), 1);
    ASSERT_EQ(LayerList()->GetItemCount(), 1);
    EXPECT_EQ(LayerList()->GetCurSel(), 0);
    EXPECT_GT(Strip()->GetItemCount(), 0);
    EXPECT_TRUE(Canvas()->HasPicture());
    EXPECT_TRUE(Canvas()->IsEnabled());

    // The screen slot, then a new layer, chosen: it asks for its pictures.
    const RECT slotArea = slots->GetRect();
    const CRect cell = WEXA::LCDViewCtrl::CellRect(0);
    ClickAt({slotArea.left + cell.CenterPoint().x, slotArea.top + cell.CenterPoint().y});
    EXPECT_EQ(Dlg().m_lcdCurrentLimit, 256);
    ASSERT_TRUE(h.Click(369));
    ASSERT_EQ(LayerList()->GetItemCount(), 2);
    const int ledId = LayerList()->GetItemLEDId(1);
    chosenPictures = {SourcePicture(L"red.png", 0x0000FF, 320, 180),
                      SourcePicture(L"green.png", 0x00FF00, kLcdScreenWidth, kLcdScreenHeight)};
    h.Pump(100);
    ClickAt(LayerRow(1));
    EXPECT_EQ(Dlg().m_lcdCurrentLedId, ledId);
    ASSERT_EQ(Strip()->GetItemCount(), 2);
    // The larger picture was fitted to the screen.
    testutil::PixelBuffer fitted;
    ASSERT_TRUE(
        testutil::LoadPng(static_cast<const wchar_t*>(Strip()->GetItemImageFile(0)), fitted));
    EXPECT_EQ(fitted.width, kLcdScreenWidth);
    EXPECT_EQ(fitted.height, kLcdScreenHeight);

    // A green line across the middle of the red frame, with the pen.
    ASSERT_TRUE(h.Click(406));  // default colour 3: green
    ASSERT_TRUE(h.Click(391));
    const RECT canvas = Canvas()->GetRect();
    const int middleY = canvas.top + kLcdScreenHeight / 2;
    Drag({canvas.left + 30, middleY}, {canvas.right - 30, middleY});
    EXPECT_EQ(Dlg().m_lcdDirty, 1);
    EXPECT_TRUE(
        Greenish(MiddleColour(static_cast<const wchar_t*>(Strip()->GetItemEditImageFile(0)))));

    // The second frame, chosen, shows for 200 ms.
    h.Pump(100);
    ClickAt(Middle(Strip()->GetCardRect(1)));
    ASSERT_EQ(Strip()->GetCurSel(), 1);
    const CRect card = Strip()->GetCardRect(1);
    AnswerDelayDialog(L"200");
    ClickAt({card.right - 20, card.bottom - 29});
    EXPECT_EQ(Strip()->GetItemDelayTime(1), 200);
    EXPECT_EQ(Strip()->GetItemDelayTime(0), 50);

    // The preview plays on the window's own tick: the second frame comes,
    // then the first again.
    ASSERT_TRUE(h.Click(380));
    ASSERT_TRUE(Canvas()->IsPreviewMode());
    EXPECT_TRUE(h.PumpUntil([&] { return Canvas()->GetPreviewFrame() == 1; }, 3000))
        << "the preview stays on its first frame";
    EXPECT_TRUE(h.PumpUntil([&] { return Canvas()->GetPreviewFrame() == 0; }, 3000));
    ASSERT_TRUE(h.Click(378));
    EXPECT_FALSE(Canvas()->IsPreviewMode());

    // Saved: the rows and the files are the user's.
    ASSERT_TRUE(h.Click(411));
    EXPECT_EQ(Dlg().m_lcdDirty, 0);
    LedLayerData layer;
    ASSERT_TRUE(Db().GetLedLayer(ledId, layer));
    const std::vector<LedFrameData> frames = Frames(ledId);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(layer.frame_size, 2);
    EXPECT_EQ(layer.first_file, frames[0].file_name);
    const std::wstring folder = ModelFolder() + (const wchar_t*)layer.file_dir + L"\\";
    EXPECT_EQ(frames[0].delay_time, 50);
    EXPECT_EQ(frames[1].delay_time, 200);
    EXPECT_TRUE(Greenish(MiddleColour(folder + (const wchar_t*)frames[0].file_name)));
    EXPECT_EQ(MiddleColour(folder + (const wchar_t*)frames[1].file_name), COLORREF(0x00FF00));

    // Sent: the screen's slot 0 holds both frames, pixel for pixel.
    ASSERT_TRUE(h.Click(413));
    ASSERT_TRUE(h.WaitForTasks({TASK_LCD_SEND}));
    const sim::SimKeyboard::LcdAnimation sent = keyboard->LcdSlot(0);
    ASSERT_TRUE(sent.Complete());
    ASSERT_EQ(sent.frameCount, 2);
    EXPECT_EQ(sent.width, kLcdScreenWidth);
    EXPECT_EQ(sent.height, kLcdScreenHeight);
    EXPECT_EQ(sent.frames[0].delayMs, 50);
    EXPECT_EQ(sent.frames[1].delayMs, 200);
    const int W = kLcdScreenWidth;
    EXPECT_TRUE(Greenish(Rgb565At(sent.frames[0].pixels, W, W / 2, kLcdScreenHeight / 2)));
    EXPECT_EQ(Rgb565At(sent.frames[0].pixels, W, W / 2, 10), COLORREF(0x0000F8));
    EXPECT_EQ(Rgb565At(sent.frames[0].pixels, W, 5, kLcdScreenHeight / 2), COLORREF(0x0000F8));
    EXPECT_EQ(Rgb565At(sent.frames[1].pixels, W, 0, 0), COLORREF(0x00FC00));
    EXPECT_EQ(Rgb565At(sent.frames[1].pixels, W, W - 1, kLcdScreenHeight - 1), COLORREF(0x00FC00));
    EXPECT_TRUE(keyboard->Verify().empty());
    EXPECT_TRUE(boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(DataFolder, LcdScenario, ::testing::Values(L"Kestrova Test"));

}  // namespace
}  // namespace lcdtest
