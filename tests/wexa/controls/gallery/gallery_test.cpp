// Every area, button and text field of the library in each of its states,
// drawn from the skin theme the program ships, compared with a committed
// reference picture. The reference, gallery_reference.png beside this file,
// changes only on purpose (see ScreenshotCompare.h: KESTROVA_UPDATE_REFERENCE=1).
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "CArea.h"
#include "CCheckButton.h"
#include "CColorButton.h"
#include "CIconButton.h"
#include "CSwitchButton.h"
#include "CTextButton.h"
#include "CTimerButton.h"
#include "MButton.h"
#include "MDialog.h"
#include "MEdit.h"
#include "Manager.h"
#include "ScreenshotCompare.h"
#include "WindowTestHelpers.h"

using namespace WEXA;

namespace {

const int kLeft = 100, kTop = 120;
const int kWidth = 1580, kHeight = 606;
// Two halves side by side; in each, a label column and the five states.
const int kHalfWidth = 790;
const int kLabelWidth = 162;
const int kColumnWidth = 122;
const int kRowHeight = 50;
const int kHeaderTop = 56;
const int kFirstRow = 92;
const wchar_t* const kStates[] = {L"Normal", L"Hover", L"Pressed", L"Checked", L"Disabled"};

DWORD FixedClock()
{
    return 5000;
}

class GalleryDialog : public MDialog
{
public:
    void InitUI(CRect) override
    {
        m_pm.SetBackColor(RGB(0xF3, 0xF5, 0xF9), RGB(0xC9, 0xD1, 0xDE));
        // A white card per half, a title band, a dark strip for the key layer row.
        Card(CRect(12, 12, kHalfWidth - 6, kHeight - 12));
        Card(CRect(kHalfWidth + 6, 12, kWidth - 12, kHeight - 12));
        for (int half = 0; half < 2; ++half) {
            const int x = half * kHalfWidth;
            auto* band = static_cast<CArea*>(CreateArea(
                L"CArea", 900 + half, CRect(x + 24, 24, x + kHalfWidth - 18, 48), L"", 1, 1));
            band->SetTransparent(0, 0, RGB(0xE8, 0xEE, 0xFA));
            Label(x + 24, 22, half == 0 ? L"Push buttons" : L"Check, select and text controls",
                  kHalfWidth - 42);
            for (int s = 0; s < 5; ++s)
                Label(x + kLabelWidth + s * kColumnWidth, kHeaderTop, kStates[s], kColumnWidth);
        }
        int row = 0;
        Row(row++, L"MButton", [&](int x, int y, int s) {
            auto* b = Make<MButton>(L"MButton", x, y, 110, 36, L"Apply", s);
            b->SetImage(L"img_button.png", 4);
            return State(b, s, false);
        });
        Row(row++, L"MButton3", [&](int x, int y, int s) {
            auto* b = new MButton3(this, Next(), CRect(x, y, x + 108, y + 36), L"Record", 1, 1);
            Attach(b);
            // Its caption is dark in every look but the pressed one, which is
            // white: a face whose pressed frame is the accent plate and whose
            // disabled frame is greyed.
            b->SetImage(L"img_button.png", 4);
            if (s == 3) b->SetCheck(1);
            return State(b, s, true);
        });
        Row(row++, L"CImageButton", [&](int x, int y, int s) {
            // The close button of the light dialogs: a glyph, a plate under the pointer.
            auto* b = Make<CImageButton>(L"CImageButton", x + 42, y + 6, 24, 24, L"Close", s);
            b->SetImage(L"img_sys_close.png", 4);
            return State(b, s, false);
        });
        Row(row++, L"CImageButton icon", [&](int x, int y, int s) {
            // A single-frame icon: centred, on a rounded highlight when hovered
            // or pressed. Its disabled look is its normal one, so that cell
            // stays empty with the check cell.
            if (s == 3 || s == 4) return (MControl*)nullptr;
            auto* icon = Make<CImageButton>(L"CImageButton", x + 36, y, 36, 36, L"Add", s);
            icon->SetImage(L"icon\\icon_add.png", 1);
            return State(icon, s, false);
        });
        Row(row++, L"CTextButton", [&](int x, int y, int s) {
            auto* b = Make<CTextButton>(L"CTextButton", x, y, 108, 36, L"Learn more", s);
            return State(b, s, false);
        });
        Row(row++, L"UpgradeButton", [&](int x, int y, int s) {
            auto* b =
                new UpgradeButton(this, Next(), CRect(x, y, x + 108, y + 36), L"Update", 1, 1);
            Attach(b);
            b->SetImage(L"img_button2.png", 4);
            if (s == 3) b->SetUpgradeStatus(1);
            return State(b, s, true);
        });
        Row(row++, L"DownloadButton", [&](int x, int y, int s) {
            auto* b =
                new DownloadButton(this, Next(), CRect(x, y, x + 108, y + 36), L"Download", 1, 1);
            Attach(b);
            b->SetImage(L"img_button.png", 4);
            if (s == 3) b->SetDownloadProcess(60);
            return State(b, s, true);
        });
        Row(row++, L"CTimerButton", [&](int x, int y, int s) {
            auto* b = Make<CTimerButton>(L"CTimerButton", x, y, 108, 36, L"Reset", s);
            b->SetImage(L"img_button.png", 4);
            b->SetTickClock(&FixedClock);
            if (s == 3) b->SetRun(1);
            return State(b, s, true);
        });
        Row(row++, L"CIconButton", [&](int x, int y, int s) {
            auto* b = Make<CIconButton>(L"CIconButton", x, y, 108, 36, L"Profile", s);
            b->SetImage(L"img_button2.png", 4);
            b->SetIconImage(L"icon\\icon_profile.png", 1);
            if (s == 3) b->SetCheck(1);
            return State(b, s, true);
        });
        Row(row++, L"CSwitchButton", [&](int x, int y, int s) {
            auto* b = static_cast<CSwitchButton*>(CreateControl(
                L"CSwitchButton", Next(), CRect(x + 32, y + 4, x + 76, y + 32), L"", 1, 1));
            b->SetImage(L"img_switch_on.png", L"img_switch_off.png", 4);
            if (s == 3) b->SetCheck(1);
            if (s == 2) return (MControl*)nullptr;
            return State(b, s, true);
        });
        row = 0;
        const int right = kHalfWidth;
        RowAt(right, row++, L"CCheckButton", [&](int x, int y, int s) {
            auto* b = Make<CCheckButton>(L"CCheckButton", x, y, 112, 36, L"Sync", s);
            b->SetImage(L"btn_checkbox.png", 8);
            return CheckState(b, s);
        });
        RowAt(right, row++, L"CRadioButton", [&](int x, int y, int s) {
            auto* b = Make<CRadioButton>(L"CRadioButton", x, y, 112, 36, L"English", s);
            b->SetImage(L"btn_radiobox.png", 8);
            b->SetGroupName(std::to_wstring(Next()).c_str());  // one group per cell
            return CheckState(b, s);
        });
        RowAt(right, row++, L"TextCheckButton", [&](int x, int y, int s) {
            auto* b = Make<TextCheckButton>(L"TextCheckButton", x, y, 108, 36, L"Auto", s);
            b->SetTextButtonColor(Gdiplus::Color(0xFF3A4E60), Gdiplus::Color(0xFF4977E5),
                                  Gdiplus::Color(0xFF2F5BC8), Gdiplus::Color(0xFFA0A8B4));
            return CheckState(b, s);
        });
        RowAt(right, row++, L"CSelectButton", [&](int x, int y, int s) {
            auto* b = Make<CSelectButton>(L"CSelectButton", x - 4, y, 120, 36, L"Game", s);
            b->SetImage(L"img_button.png", 4);
            b->SetTextColor(Gdiplus::Color(0xFF333333));
            b->SetGroupName(std::to_wstring(Next()).c_str());
            return CheckState(b, s);
        });
        RowAt(right, row++, L"KeyLayerButton", [&](int x, int y, int s) {
            auto* strip = static_cast<CRoundArea*>(
                CreateArea(L"CRoundArea", Next(), CRect(x, y, x + 108, y + 36), L"", 1, 1));
            strip->SetColor(Gdiplus::Color(0xFF2B3340));
            auto* b = new KeyLayerButton(this, Next(), CRect(x, y, x + 108, y + 36), L"Fn1", 1, 1);
            Attach(b);
            b->SetGroupName(std::to_wstring(Next()).c_str());
            return CheckState(b, s);
        });
        RowAt(right, row++, L"CColorButton", [&](int x, int y, int s) {
            auto* strip = static_cast<CRoundArea*>(
                CreateArea(L"CRoundArea", Next(), CRect(x, y, x + 108, y + 36), L"", 1, 1));
            strip->SetColor(Gdiplus::Color(0xFF2B3340));
            auto* b = static_cast<CColorButton*>(CreateControl(
                L"CColorButton", Next(), CRect(x + 38, y + 2, x + 70, y + 34), L"", 1, 1));
            const COLORREF colours[] = {RGB(0xE5, 0x39, 0x35), RGB(0x43, 0xA0, 0x47),
                                        RGB(0x1E, 0x88, 0xE5), RGB(0xFB, 0x8C, 0x00),
                                        RGB(0x8E, 0x24, 0xAA)};
            b->SetColor(colours[s]);
            b->SetGroupName(std::to_wstring(Next()).c_str());
            if (s == 1) m_hovers.push_back({b, CPoint(x + 50, y + 10)});
            if (s == 2) b->OnControlLButtonDown(0, CPoint(x + 50, y + 10));
            if (s == 3) b->SetCheck(1);
            if (s == 4) b->SetEnabled(0);
            return (MControl*)b;
        });
        RowAt(right, row++, L"MEdit", [&](int x, int y, int s) {
            auto* e = Make<MEdit>(L"MEdit", x, y + 2, 108, 32, L"Name", s);
            e->SetImage(L"img_edit.png", 4);
            e->SetEditFont(L"Roboto", 14, 0, 0, 0);
            e->SetEditBKColor(0xFFFFFF);
            e->SetTextColor(Gdiplus::Color(0xFF333333));
            if (s != 0) e->SetEditText(s == 3 ? L"secret" : L"Profile");
            if (s == 3) {
                e->EnablePassWord(1);
                e->SetPassWordChar(0x2022);
            }
            if (s == 1) m_hovers.push_back({e, CPoint(x + 20, y + 16)});
            if (s == 2) m_pEditing = e;
            if (s == 4) e->SetEnabled(0);
            return (MControl*)e;
        });
        RowAt(right, row++, L"CHelpButton", [&](int x, int y, int s) {
            if (s != 0 && s != 4) return (MControl*)nullptr;
            auto* b = Make<CHelpButton>(L"CHelpButton", x + 44, y + 8, 20, 20, L"Help", s);
            b->SetImage(L"img_info.png", 1);
            if (s == 4) b->SetEnabled(0);
            return (MControl*)b;
        });
        RowAt(right, row++, L"Areas", [&](int x, int y, int s) {
            if (s == 0) {
                auto* a = static_cast<CArea*>(
                    CreateArea(L"CArea", Next(), CRect(x, y, x + 108, y + 36), L"", 1, 1));
                a->SetTransparent(0, 0, RGB(0xE6, 0xE6, 0xE6));
                return (MControl*)a;
            }
            if (s == 1) {
                auto* a = static_cast<CArea*>(
                    CreateArea(L"CArea", Next(), CRect(x, y, x + 108, y + 36), L"", 1, 1));
                a->SetTransparent(0, 0, RGB(0xFF, 0xFF, 0xFF));
                a->SetFrame(1, Gdiplus::Color(0xFFB8C2D3), 0);
                return (MControl*)a;
            }
            if (s == 2) {
                auto* a = static_cast<CRoundArea*>(
                    CreateArea(L"CRoundArea", Next(), CRect(x, y, x + 108, y + 36), L"", 1, 1));
                return (MControl*)a;
            }
            if (s == 3) {
                auto* a = static_cast<CRoundArea*>(
                    CreateArea(L"CRoundArea", Next(), CRect(x, y, x + 108, y + 36), L"", 1, 1));
                a->SetColor(Gdiplus::Color(0x804977E5));
                return (MControl*)a;
            }
            auto* a = static_cast<CRoundArea*>(
                CreateArea(L"CRoundArea", Next(), CRect(x, y, x + 108, y + 36), L"", 1, 1));
            a->SetColor(Gdiplus::Color(0xFF4977E5));
            a->SetRound(0);
            return (MControl*)a;
        });
    }

    MEdit* m_pEditing = nullptr;
    // Controls shown hovered, and a point inside each; the test moves the
    // pointer over them once the window is up.
    std::vector<std::pair<MControl*, CPoint>> m_hovers;

private:
    UINT m_nNextId = 100;
    UINT Next() { return m_nNextId++; }

    void Attach(MControl* c)
    {
        c->SetManager(&m_pm);
        CAutoLock lock(m_pm.m_controlsLock);
        m_pm.GetControls().push_back(c);
    }
    void Card(CRect rect)
    {
        auto* card = static_cast<CArea*>(CreateArea(L"CArea", Next(), rect, L"", 1, 1));
        card->SetTransparent(0, 0, RGB(0xFF, 0xFF, 0xFF));
    }
    void Label(int x, int y, const wchar_t* text, int width)
    {
        auto* label = static_cast<CTextButton*>(
            CreateControl(L"CTextButton", Next(), CRect(x, y, x + width, y + 28), text, 1, 1));
        label->SetTextButtonColor(Gdiplus::Color(0xFF5A6678), Gdiplus::Color(0xFF5A6678),
                                  Gdiplus::Color(0xFF5A6678), Gdiplus::Color(0xFF5A6678));
        label->m_bResponse = 0;
    }
    template <class T>
    T* Make(const wchar_t* name, int x, int y, int w, int h, const wchar_t* title, int)
    {
        return static_cast<T*>(CreateControl(name, Next(), CRect(x, y, x + w, y + h), title, 1, 1));
    }
    // Puts a push-style button into the look of the column.
    MControl* State(MControl* c, int s, bool hasChecked)
    {
        const CRect r = c->GetRect();
        const CPoint inside(r.left + 8, r.top + 8);
        if (s == 1) m_hovers.push_back({c, inside});
        if (s == 2) c->OnControlLButtonDown(MK_LBUTTON, inside);
        if (s == 3 && !hasChecked) {
            RemoveLast(c);
            return nullptr;
        }
        if (s == 4) c->SetEnabled(0);
        return c;
    }
    template <class T>
    MControl* CheckState(T* b, int s)
    {
        const CRect r = b->GetRect();
        const CPoint inside(r.left + 8, r.top + 8);
        if (s == 1) m_hovers.push_back({b, inside});
        if (s == 2) b->OnControlLButtonDown(MK_LBUTTON, inside);
        if (s == 3) b->SetCheck(1);
        if (s == 4) {
            b->SetCheck(1);
            b->SetEnabled(0);
        }
        return b;
    }
    void RemoveLast(MControl* c) { m_pm.RemoveControl(c); }
    void Row(int row, const wchar_t* name, const std::function<MControl*(int, int, int)>& make)
    {
        RowAt(0, row, name, make);
    }
    void RowAt(int x0, int row, const wchar_t* name,
               const std::function<MControl*(int, int, int)>& make)
    {
        const int y = kFirstRow + row * kRowHeight;
        Label(x0 + 24, y + 4, name, kLabelWidth - 30);
        for (int s = 0; s < 5; ++s) make(x0 + kLabelWidth + s * kColumnWidth + 4, y, s);
    }
};

// Runs the message loop for a while, dropping pointer messages: the pointer
// rests outside the window, and its moves would end the hovered looks.
void PumpWithoutPointer(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                msg.message == WM_MOUSELEAVE || msg.message == WM_NCMOUSEMOVE)
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace

TEST(Gallery, EveryControlInEachStateFromTheShippedSkin)
{
    Manager::SetThemeSkins(L"theme1\\");
    // The light theme's highlight behind a hovered icon.
    const Gdiplus::Color normal = Manager::GetNormalColor();
    Manager::SetNormalColor(Gdiplus::Color(0xFFE3EBFB));
    SetCursorPos(0, 0);
    GalleryDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, L"gallery", WS_POPUP | WS_VISIBLE, 0,
                            CRect(kLeft, kTop, kLeft + kWidth, kTop + kHeight), nullptr),
              nullptr);
    SetForegroundWindow(dialog.GetSafeHwnd());
    PumpWithoutPointer(300);
    for (auto& hover : dialog.m_hovers) hover.first->OnControlMouseMove(0, hover.second);
    // The pressed text field shows its native overlay with the caret.
    ASSERT_NE(dialog.m_pEditing, nullptr);
    const CRect r = dialog.m_pEditing->GetRect();
    dialog.m_pEditing->OnControlLButtonDown(MK_LBUTTON, CPoint(r.left + 10, r.top + 10));
    ASSERT_NE(dialog.m_pEditing->GetEditHwnd(), nullptr);
    HideCaret(dialog.m_pEditing->GetEditHwnd());
    InvalidateRect(dialog.GetSafeHwnd(), nullptr, TRUE);
    UpdateWindow(dialog.GetSafeHwnd());
    PumpWithoutPointer(400);

    RECT area = {kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    testutil::ScreenshotCompare compare;
    compare.AddControls(dialog.GetPaintManager(), dialog.GetSafeHwnd(), area);
    dialog.DestroyWindow();
    Manager::SetNormalColor(normal);
    EXPECT_TRUE(compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, "gallery_reference.png")));
}
