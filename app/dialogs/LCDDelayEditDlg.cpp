#include "LCDDelayEditDlg.h"

#include "CCheckButton.h"
#include "MButton.h"
#include "MEdit.h"
#include "MText.h"
#include "Manager.h"
#include "services/LanguageText.h"
#include "services/RegistrySettings.h"

using namespace WEXA;

namespace {

enum : UINT {
    kTitleId = 31,
    kCloseId = 32,
    kThisFrameRadioId = 33,
    kAllFramesRadioId = 34,
    kThisFrameFieldId = 36,
    kAllFramesFieldId = 38,
    kOkId = 39,
};

MEdit* MakeField(MDialog& dialog, UINT id, const wchar_t* text, COLORREF background)
{
    auto* field = dynamic_cast<MEdit*>(dialog.CreateControl(L"MEdit", id, CRect(), text, 1, 1));
    if (!field) return nullptr;
    field->SetImage(L"img_edit.png", 4);
    field->SetTextColor(Gdiplus::Color(Manager::m_text_color));
    field->SetEditBKColor(background);
    field->SetNumberOnly(1);
    field->SetLimitText(3);
    field->SetAlignment(1, 4);
    field->SetEditText(text);
    return field;
}

CRadioButton* MakeRadio(MDialog& dialog, UINT id, int textId, int on)
{
    auto* radio = dynamic_cast<CRadioButton*>(
        dialog.CreateControl(L"CRadioButton", id, CRect(), GetLanguageText(textId), 1, 1));
    if (!radio) return nullptr;
    radio->SetImage(L"btn_radiobox.png", 8);
    radio->SetTextColor(Gdiplus::Color(Manager::m_text_color));
    radio->SetGroupName(L"DELAYTIME_TYPE");
    radio->SetCheck(on);
    return radio;
}

}  // namespace

LCDDelayEditDlg::LCDDelayEditDlg()
    : m_allFrames(false),
      m_titleText(nullptr),
      m_closeButton(nullptr),
      m_thisFrameRadio(nullptr),
      m_allFramesRadio(nullptr),
      m_thisFrameField(nullptr),
      m_allFramesField(nullptr),
      m_okButton(nullptr)
{}

LCDDelayEditDlg::~LCDDelayEditDlg() = default;

LONG LCDDelayEditDlg::OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam)
{
    return MDialog::OnWindowMessage(msg, wparam, lparam);
}

int LCDDelayEditDlg::OnInitDialog()
{
    MDialog::OnInitDialog();
    return 1;
}

void LCDDelayEditDlg::InitUI(CRect client)
{
    COLORREF fieldBackground = 0xFFFFFF;
    if (ReadRegistryInt(L"theme_type") == 1) {
        m_pm.SetBackColor(0x110B06, 0xCCB9AF);
        fieldBackground = 0xCCB9B2;
    } else {
        // The light dialogs' card: white with a grey edge.
        m_pm.SetBackColor(0xFBFBFB, 0xCBBDB4);
    }
    m_titleText = dynamic_cast<MText*>(CreateArea(L"MText", kTitleId, CRect(), m_title, 1, 1));
    if (m_titleText) {
        m_titleText->SetAlignment(1, 4);
        m_titleText->SetTextColor(Gdiplus::Color(Manager::m_text_color));
        m_titleText->SetFontWidth(18);
    }
    m_closeButton =
        dynamic_cast<CImageButton*>(CreateControl(L"CImageButton", kCloseId, CRect(), L"", 1, 1));
    if (m_closeButton) {
        // The title bar's close glyph is light; this one stands on white.
        m_closeButton->SetImage(L"img_sys_close.png", 4);
        m_closeButton->SetTooltip(GetLanguageText(2));
    }
    m_thisFrameRadio = MakeRadio(*this, kThisFrameRadioId, 825, 1);
    m_thisFrameField = MakeField(*this, kThisFrameFieldId, m_thisFrameValue, fieldBackground);
    m_allFramesRadio = MakeRadio(*this, kAllFramesRadioId, 826, 0);
    m_allFramesField = MakeField(*this, kAllFramesFieldId, L"50", fieldBackground);
    if (m_allFramesField) m_allFramesField->SetEnabled(0);
    m_okButton = dynamic_cast<MButton*>(
        CreateControl(L"MButton", kOkId, CRect(), GetLanguageText(22), 1, 1));
    if (m_okButton) {
        m_okButton->SetImage(L"img_button.png", 4);
        m_okButton->SetTextColor(Gdiplus::Color(Manager::m_text_color));
    }
    UISize(client);
}

void LCDDelayEditDlg::UISize(CRect client)
{
    if (!m_titleText) return;
    const int W = client.right - client.left;
    const int R = client.right;
    const int B = client.bottom;
    m_titleText->SetRect(CRect(W / 2 - 100, 10, W / 2 + 100, 40));
    if (m_closeButton) m_closeButton->SetRect(CRect(R - 40, 15, R - 10, 45));
    if (m_thisFrameRadio) m_thisFrameRadio->SetRect(CRect(20, 60, 150, 90));
    if (m_thisFrameField) m_thisFrameField->SetRect(CRect(150, 60, 280, 90));
    if (m_allFramesRadio) m_allFramesRadio->SetRect(CRect(20, 96, 150, 126));
    if (m_allFramesField) m_allFramesField->SetRect(CRect(150, 96, 280, 126));
    if (m_okButton) m_okButton->SetRect(CRect((W - 120) / 2, B - 50, (W - 120) / 2 + 120, B - 20));
}

LONG LCDDelayEditDlg::OnMessage(UINT id, UINT code, UINT_PTR, LONG_PTR)
{
    if (code != 2) return 0;
    switch (id) {
        case kCloseId: DoCancel(); return 1;
        case kThisFrameRadioId:
            if (m_thisFrameField) m_thisFrameField->SetEnabled(1);
            if (m_allFramesField) m_allFramesField->SetEnabled(0);
            return 0;
        case kAllFramesRadioId:
            if (m_thisFrameField) m_thisFrameField->SetEnabled(0);
            if (m_allFramesField) m_allFramesField->SetEnabled(1);
            return 0;
        case kOkId: AcceptValues(); return 1;
        default: return 0;
    }
}

void LCDDelayEditDlg::AcceptValues()
{
    if (m_thisFrameField) m_thisFrameValue = m_thisFrameField->GetControlTitle();
    if (m_allFramesField) m_allFramesValue = m_allFramesField->GetControlTitle();
    m_allFrames = m_allFramesRadio && m_allFramesRadio->GetCheck() != 0;
    DoOK();
}

int LCDDelayEditDlg::Run(HWND parent)
{
    if (!Create(parent, kDelayDialogWindowName, 0x96020000, 0, CRect(0, 0, 300, 200))) return -1;
    CenterWindow();
    return static_cast<int>(ShowModal(SW_SHOW));
}
