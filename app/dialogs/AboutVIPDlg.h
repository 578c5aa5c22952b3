#pragma once
// The picture window of the frame's picture button: one full-height picture
// ("img_vip2.png", 1316 x 788) centred in a 1400 x 788 window named
// "UpdateTipDlg", with a close button in the top-right corner. Only the close
// button ends it (result 2); the exit sequence closes it by its name.
//
// The control pointers are null before the window exists and again once it is
// gone (the engine deletes the controls with the window).
#include <windows.h>

#include "CRect.h"
#include "MDialog.h"

namespace WEXA {
class MPicture;
class CImageButton;
}  // namespace WEXA

class AboutVIPDlg : public WEXA::MDialog
{
public:
    AboutVIPDlg();
    ~AboutVIPDlg() override;

    int OnInitDialog() override;
    void InitUI(CRect client) override;
    void UISize(CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void OnDestroyMessage(HWND hwnd) override;

    // The picture's rectangle for a client rectangle: 1316 wide, centred, full height.
    static CRect PictureRect(const CRect& client);
    // The close button's rectangle for a client rectangle.
    static CRect CloseButtonRect(const CRect& client);

    WEXA::MPicture* m_picture;
    WEXA::CImageButton* m_closeButton;
};

inline constexpr const wchar_t* kAboutVIPDlgWindowName = L"UpdateTipDlg";
