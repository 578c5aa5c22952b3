// The text host: the windowless text services run inside a field, draw into a
// memory bitmap, answer in the host's units, drive the field's scroll bars,
// and are gone with the field.
#include <gtest/gtest.h>

#include "CTxtWinHost.h"
#include "MScroll.h"
#include "PaintManager.h"
#include "RichEditFixture.h"
#include "WindowTestHelpers.h"

using richedit_test::HostDialog;
using richedit_test::HostedField;
using WEXA::CTxtWinHost;
using WEXA::MRichEdit;

namespace {

// Dark pixels (all channels below 128) inside / outside a rectangle.
void CountDark(const testutil::PixelBuffer& pixels, const RECT& inside, int& in, int& out)
{
    in = out = 0;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            const uint32_t p = pixels.At(x, y);
            const bool dark =
                ((p >> 16) & 0xFF) < 128 && ((p >> 8) & 0xFF) < 128 && (p & 0xFF) < 128;
            if (!dark) continue;
            POINT pt = {x, y};
            if (PtInRect(&inside, pt))
                ++in;
            else
                ++out;
        }
}

TEST(TextHost, ServicesDrawTheTextIntoAMemoryBitmap)
{
    HostedField hosted;
    ASSERT_NE(hosted.field, nullptr);
    CTxtWinHost* host = hosted.field->GetHost();
    ASSERT_NE(host, nullptr) << "the text services could not be created";
    ASSERT_NE(host->GetTextServices(), nullptr);

    hosted.field->SetControlTitle(L"WWW Kestrova");
    EXPECT_EQ(CString(hosted.field->GetControlTitle()), CString(L"WWW Kestrova"));

    // Drawn over a coloured ground: the services paint no background.
    const uint32_t ground = 0xC8E6C8;
    testutil::MemoryCanvas canvas(260, 160);
    canvas.Fill(0xFF000000 | ground);
    HDC dc = canvas.dc();
    hosted.field->DrawControl(dc, CRect(0, 0, 260, 160));
    testutil::PixelBuffer pixels = canvas.Read();
    const RECT area = host->GetClientRect();
    EXPECT_EQ(area.left, 15);
    EXPECT_EQ(area.top, 15);
    int in = 0, out = 0;
    CountDark(pixels, area, in, out);
    EXPECT_GT(in, 40) << "no text drawn in the text area";
    EXPECT_EQ(out, 0) << "text drawn outside the text area";
    int groundInArea = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if ((pixels.At(x, y) & 0xFFFFFF) == ground) ++groundInArea;
    EXPECT_GT(groundInArea, (area.right - area.left) * (area.bottom - area.top) * 8 / 10)
        << "the services painted a background";

    // An empty text draws nothing.
    hosted.field->SetControlTitle(L"");
    canvas.Fill(0xFFFFFFFF);
    hosted.field->DrawControl(dc, CRect(0, 0, 260, 160));
    CountDark(canvas.Read(), area, in, out);
    EXPECT_EQ(in + out, 0);
}

TEST(TextHost, UnitsFollowTheWindowDpi)
{
    HostedField hosted;
    CTxtWinHost* host = hosted.field->GetHost();
    ASSERT_NE(host, nullptr);
    const int dpiX = host->GetLogPixelsX();
    const int dpiY = host->GetLogPixelsY();

    host->SetClientRect(RECT{0, 0, 200, 50});
    EXPECT_EQ(host->GetExtent().cx, MulDiv(200, 2540, dpiX));
    EXPECT_EQ(host->GetExtent().cy, MulDiv(50, 2540, dpiY));
    if (dpiX == 96) {
        EXPECT_EQ(host->GetExtent().cx, 5292);
    }

    LOGFONTW lf = {};
    lf.lfHeight = -14;
    lf.lfWeight = FW_BOLD;
    lstrcpyW(lf.lfFaceName, L"Arial");
    HFONT font = CreateFontIndirectW(&lf);
    host->SetFont(font);
    DeleteObject(font);
    EXPECT_EQ(host->GetCharFormat().yHeight, 14 * 1440 / dpiY);
    if (dpiY == 96) {
        EXPECT_EQ(host->GetCharFormat().yHeight, 210);
    }
    EXPECT_TRUE(host->GetCharFormat().dwEffects & CFE_BOLD);
    EXPECT_STREQ(host->GetCharFormat().szFaceName, L"Arial");
}

TEST(TextHost, AnswersOfTheHostInterface)
{
    HostedField hosted;
    CTxtWinHost* host = hosted.field->GetHost();
    ASSERT_NE(host, nullptr);

    // Pure black is never answered: the services treat 0 as "automatic".
    for (int index = 0; index < 31; ++index) {
        const COLORREF answer = host->TxGetSysColor(index);
        EXPECT_NE(answer, 0u) << "index " << index;
        if (GetSysColor(index) != 0) {
            EXPECT_EQ(answer, GetSysColor(index));
        }
    }
    host->SetColor(RGB(0, 0, 0));
    EXPECT_EQ(host->GetCharFormat().crTextColor, RGB(1, 0, 0));

    void* object = nullptr;
    EXPECT_EQ(host->QueryInterface(WEXA::IID_ITextHostWexa, &object), S_OK);
    EXPECT_EQ(object, static_cast<ITextHost*>(host));
    host->Release();
    EXPECT_EQ(host->QueryInterface(IID_IDropTarget, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    DWORD bars = 0;
    host->TxGetScrollBars(&bars);
    EXPECT_EQ(bars, DWORD(WS_VSCROLL | ES_AUTOVSCROLL));
    DWORD bits = 0;
    host->TxGetPropertyBits(0xFFFFFFFF, &bits);
    EXPECT_TRUE(bits & TXTBIT_MULTILINE);
    EXPECT_TRUE(bits & TXTBIT_RICHTEXT);
    EXPECT_TRUE(bits & TXTBIT_HIDESELECTION);
    EXPECT_FALSE(bits & (TXTBIT_READONLY | TXTBIT_AUTOWORDSEL | TXTBIT_ALLOWBEEP));
    hosted.field->SetReadOnly(1);
    host->TxGetPropertyBits(TXTBIT_READONLY, &bits);
    EXPECT_EQ(bits, DWORD(TXTBIT_READONLY));

    DWORD length = 0;
    host->TxGetMaxLength(&length);
    EXPECT_EQ(length, 256u);
    hosted.field->SetLimitText(0);
    host->TxGetMaxLength(&length);
    EXPECT_EQ(length, 0x7FFFu);
}

// A field whose text area stays where the test puts it.
class PinnedField : public MRichEdit
{
public:
    PinnedField(WEXA::MObject* owner) : MRichEdit(owner, 41, CRect(10, 10, 210, 110), L"", 1, 1) {}
    void SetControlRect(CRect rect) override
    {
        if (!pinned) MRichEdit::SetControlRect(rect);
    }
    bool pinned = false;
};

TEST(TextHost, ResizeRequestKeepsTheTopLeftCorner)
{
    HostedField hosted;
    PinnedField field(&hosted.dialog);
    field.SetManager(hosted.dialog.GetPaintManager());
    CTxtWinHost* host = field.GetHost();
    ASSERT_NE(host, nullptr);
    field.pinned = true;
    struct Case
    {
        RECT requested;
        RECT expected;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, {20, 30, 20, 30}},
        {{0, 0, 80, 16}, {20, 30, 100, 46}},
        {{5, 7, 80, 16}, {20, 30, 100, 46}},  // only the requested right and bottom count
    };
    for (const Case& c : cases) {
        host->SetClientRect(RECT{20, 30, 120, 80});
        REQRESIZE request = {};
        request.rc = c.requested;
        host->TxNotify(EN_REQUESTRESIZE, &request);
        const RECT got = host->GetClientRect();
        EXPECT_TRUE(EqualRect(&got, &c.expected))
            << got.left << "," << got.top << "," << got.right << "," << got.bottom;
    }
}

TEST(TextHost, ScrollRangeShowsAndHidesTheVerticalBar)
{
    HostedField hosted;
    CTxtWinHost* host = hosted.field->GetHost();
    ASSERT_NE(host, nullptr);
    WEXA::MScroll* bar = hosted.field->m_pScrollVertical;
    host->SetClientRect(RECT{0, 0, 180, 200});
    struct Case
    {
        int max;
        int visible;
    };
    const Case cases[] = {{300, 1}, {150, 0}, {201, 1}, {200, 0}};
    for (const Case& c : cases) {
        host->TxSetScrollRange(SB_VERT, 0, c.max, TRUE);
        EXPECT_EQ(bar->m_bVisible, c.visible) << "range 0.." << c.max;
        if (c.visible) {
            EXPECT_EQ(bar->GetScrollMaxRange(), c.max);
        }
    }
    // While the user drags the bar, the services' position does not move it.
    host->TxSetScrollRange(SB_VERT, 0, 300, TRUE);
    host->TxSetScrollPos(SB_VERT, 40, TRUE);
    const int before = bar->GetScrollCurrentPos();
    bar->m_bChanging = 1;
    host->TxSetScrollPos(SB_VERT, 90, TRUE);
    EXPECT_EQ(bar->GetScrollCurrentPos(), before);
    bar->m_bChanging = 0;
}

TEST(TextHost, LongTextShowsTheBarAndMakesRoomForIt)
{
    HostedField hosted;
    ASSERT_NE(hosted.field->GetHost(), nullptr);
    CString text;
    for (int i = 0; i < 30; ++i) text += L"line of text\r";
    hosted.field->SetControlTitle(text);
    testutil::PumpPending();
    EXPECT_EQ(hosted.field->m_pScrollVertical->m_bVisible, 1);
    const RECT area = hosted.field->GetHost()->GetClientRect();
    // Bar inside the padding, 10 px gap before it.
    EXPECT_EQ(hosted.field->m_pScrollVertical->GetRect().right, 210 - 5);
    EXPECT_EQ(area.right, 210 - 5 - hosted.field->m_nScrollThickness - 10);

    // Dragging the bar scrolls the services; the owner hears of it too.
    hosted.field->m_pScrollVertical->m_nPosition = 40;
    hosted.field->OnMessage(1, 8, 40, 0);
    LONG minPos = 0, maxPos = 0, pos = 0, page = 0;
    BOOL enabled = FALSE;
    hosted.field->GetHost()->GetTextServices()->TxGetVScroll(&minPos, &maxPos, &pos, &page,
                                                             &enabled);
    EXPECT_EQ(pos, 40);
    EXPECT_EQ(hosted.dialog.Count(1, 8), 1);
    // The wheel scrolls by lines while the bar shows.
    EXPECT_EQ(hosted.field->OnControlScroll(1, 1, CPoint(50, 50)), 1);
    hosted.field->GetHost()->GetTextServices()->TxGetVScroll(&minPos, &maxPos, &pos, &page,
                                                             &enabled);
    EXPECT_GT(pos, 40);
}

TEST(TextHost, ServicesAndTheirInterfacesGoWithTheField)
{
    HostedField hosted;
    CTxtWinHost* host = hosted.field->GetHost();
    ASSERT_NE(host, nullptr);
    ITextServices* services = host->GetTextServices();
    services->AddRef();
    host->AddRef();
    IDropTarget* target = hosted.field->GetTxDropTarget();
    if (target) target->AddRef();

    hosted.dialog.GetPaintManager()->RemoveControl(hosted.field);
    hosted.field = nullptr;

    // The host forgot the field and let the services go: calls that still
    // arrive reach no deleted control.
    EXPECT_EQ(host->GetControl(), nullptr);
    EXPECT_EQ(host->GetTextServices(), nullptr);
    REQRESIZE request = {};
    EXPECT_EQ(host->TxNotify(EN_CHANGE, &request), S_OK);
    host->TxSetFocus();
    EXPECT_EQ(host->TxSetTimer(1, 10), FALSE);
    EXPECT_EQ(host->TxGetDC(), nullptr);

    if (target) {
        EXPECT_EQ(target->Release(), 0u) << "the field kept a drop target reference";
    }
    EXPECT_EQ(services->Release(), 0u) << "the field kept a services reference";
    EXPECT_EQ(host->Release(), 0u) << "someone still holds the host";
}

}  // namespace

namespace {

TEST(TextHost, CaretAndTimersGoThroughTheEngine)
{
    HostedField hosted;
    CTxtWinHost* host = hosted.field->GetHost();
    ASSERT_NE(host, nullptr);
    WEXA::PaintManager* engine = hosted.dialog.GetPaintManager();

    // Timers of the services are the engine's timers of the field.
    EXPECT_EQ(host->TxSetTimer(7, 50), TRUE);
    EXPECT_TRUE(host->GetFlags() & CTxtWinHost::kTimer);
    EXPECT_EQ(engine->KillTimer(hosted.field, 7), 1) << "no engine timer for the field";
    EXPECT_EQ(host->TxSetTimer(7, 50), TRUE);
    host->TxKillTimer(7);
    EXPECT_FALSE(host->GetFlags() & CTxtWinHost::kTimer);
    EXPECT_EQ(engine->KillTimer(hosted.field, 7), 0) << "the timer still runs";

    // On a layered window the engine draws the caret itself.
    engine->SetLayeredWindow(1);
    EXPECT_EQ(host->TxCreateCaret(nullptr, 2, 17), TRUE);
    EXPECT_EQ(engine->m_rcCaret.Width(), 2);
    EXPECT_EQ(engine->m_rcCaret.Height(), 17);
    EXPECT_EQ(host->TxSetCaretPos(40, 30), TRUE);
    EXPECT_EQ(engine->GetCurrentCaretObject(), hosted.field);
    EXPECT_EQ(engine->m_rcCaret.left, 40);
    EXPECT_EQ(engine->m_rcCaret.top, 30);
    host->TxShowCaret(TRUE);
    EXPECT_EQ(engine->m_bCaretShown, 1);
    EXPECT_TRUE(host->GetFlags() & CTxtWinHost::kCaretShown);
    // A read-only field never blinks a caret, whatever the services ask.
    hosted.field->SetReadOnly(1);
    host->TxShowCaret(TRUE);
    EXPECT_EQ(engine->m_bCaretShown, 0);
    hosted.field->SetReadOnly(0);
    host->TxShowCaret(FALSE);
    EXPECT_EQ(engine->m_bCaretShown, 0);
    EXPECT_FALSE(host->GetFlags() & CTxtWinHost::kCaretShown);
    engine->SetLayeredWindow(0);

    // Capture follows the services.
    host->TxSetCapture(TRUE);
    EXPECT_TRUE(host->IsCaptured());
    EXPECT_EQ(GetCapture(), hosted.dialog.GetSafeHwnd());
    host->TxSetCapture(FALSE);
    EXPECT_FALSE(host->IsCaptured());
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
