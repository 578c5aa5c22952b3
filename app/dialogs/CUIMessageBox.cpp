#include "CUIMessageBox.h"

#include "MButton.h"
#include "MText.h"
#include "services/LanguageText.h"
#include "services/RegistrySettings.h"

namespace {

const UINT kTitleId = 31;
const UINT kMessageId = 32;
const UINT kFirstButtonId = 33;
const UINT kSecondButtonId = 34;

WEXA::MButton* MakeButton(WEXA::MDialog& dialog, UINT id, CRect rect, int textId)
{
    auto* button = dynamic_cast<WEXA::MButton*>(
        dialog.CreateControl(L"MButton", id, rect, GetLanguageText(textId), 1, 1));
    if (button) {
        button->SetImage(L"img_button.png", 4);
        button->SetFrameSize(8);
    }
    return button;
}

}  // namespace

CUIMessageBox::CUIMessageBox() : m_buttonMode(0) {}

CUIMessageBox::~CUIMessageBox() = default;

int CUIMessageBox::OnInitDialog()
{
    MDialog::OnInitDialog();
    SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return 1;
}

void CUIMessageBox::InitUI(CRect client)
{
    SetLayeredWindow(1);
    if (ReadRegistryInt(L"theme_type") == 1)
        m_pm.SetBackColor(0x110B06, 0xCCB9AF);
    else
        m_pm.SetBackColor(0xFBFBFB, 0x6C4CF7);

    const int L = client.left, T = client.top, R = client.right, B = client.bottom;
    if (auto* title = dynamic_cast<WEXA::MText*>(
            CreateArea(L"MText", kTitleId, CRect(20, 15, R - 20, 40), m_title, 1, 1))) {
        title->SetFontWidth(20);
        title->SetAlignment(1);
    }
    const int middle = (B - T) / 2;
    if (auto* message = dynamic_cast<WEXA::MText*>(CreateArea(
            L"MText", kMessageId, CRect(20, middle - 30, R - 20, middle + 30), m_message, 1, 1))) {
        message->SetFontWidth(18);
        message->SetVAlignment(4);
        message->SetAlignment(1);
        message->EnableMultiLine(1);
        message->EnableVCenter(1);
    }
    if (HasTwoButtons(m_buttonMode)) {
        const int M = (R - L) / 2;
        MakeButton(*this, kFirstButtonId, CRect(M - 120, B - 50, M - 20, B - 14), 23);
        MakeButton(*this, kSecondButtonId, CRect(M + 20, B - 50, M + 120, B - 14), 25);
    } else {
        MakeButton(*this, kFirstButtonId, CRect(100, B - 50, R - 100, B - 14), 20);
    }
}

void CUIMessageBox::UISize(CRect) {}

LONG CUIMessageBox::OnMessage(UINT id, UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 2) return 0;
    if (id == kFirstButtonId) {
        DoOK();
        return 1;
    }
    if (id == kSecondButtonId) {
        DoCancel();
        return 1;
    }
    return 0;
}

int CUIMessageBox::OnDestroy()
{
    return 0;
}

int ShowMessageBox(HWND parent, const wchar_t* message, const wchar_t* title, int buttonMode)
{
    auto* box = new CUIMessageBox();
    box->m_title = title ? title : L"";
    box->m_message = message ? message : L"";
    box->LoadBKImage(L"bk_msgbox.png");
    box->SetBackMode(WEXA::BACK_MODE_FRAME, 30);
    box->m_buttonMode = buttonMode;
    int result = -1;
    if (box->Create(parent, kMessageBoxWindowName, 0x96020000, WS_EX_TOOLWINDOW,
                    CRect(0, 0, 500, 260))) {
        box->CenterWindow();
        result = static_cast<int>(box->ShowModal(SW_SHOWNORMAL));
        // A modal run that ends without its window (it is gone already) gives
        // 0xFFFFFFFF: no consent either.
    }
    delete box;
    return result;
}
