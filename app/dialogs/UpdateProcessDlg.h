#pragma once
// The small modal window that shows the download of a software update: a
// caption ("Downloading: 45%"), a progress bar and a Cancel button, with which
// the user closes it (DoModal returns IDCANCEL; the main window then stops the
// download). The main window opens it
// when the user accepts a new version and hands it the download percentages
// (SetProgress, UI thread); the worker closes it when the download task is
// over (RequestClose, any thread: a request made before the window exists is
// kept until it does, one made after it is gone does nothing).
#include <windows.h>

#include "CRect.h"
#include "DialogCloseLatch.h"
#include "MDialog.h"

namespace WEXA {
class MText;
class MProgress;
}  // namespace WEXA

class UpdateProcessDlg : public WEXA::MDialog
{
public:
    UpdateProcessDlg();
    ~UpdateProcessDlg() override;

    int OnInitDialog() override;
    void InitUI(CRect client) override;
    void UISize(CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void OnDestroyMessage(HWND hwnd) override;
    virtual BOOL DestroyDialog();

    // Control id of the Cancel button.
    static const UINT kCancelId = 33;

    // Creates the 360 x 140 window centred over owner and runs it modally.
    UINT DoModal(HWND owner);
    // The bar (values above 100 show as 100, negative ones are ignored) and the
    // caption, the language text followed by the percentage as given.
    void SetProgress(int percent);
    // The last percentage given to SetProgress (-1 before the first).
    int ShownPercent() const { return m_shownPercent; }
    // The caption line for a percentage: language text 539, a colon, the number.
    static CString Caption(int percent);

    void RequestClose(UINT result) { m_closeLatch.Request(result); }
    bool CloseRequested() const { return m_closeLatch.Requested(); }

    WEXA::MText* m_captionText = nullptr;
    WEXA::MProgress* m_progress = nullptr;

private:
    DialogCloseLatch m_closeLatch;
    int m_shownPercent = -1;
};

inline constexpr const wchar_t* kUpdateDlgWindowName = L"UpdateProcessDlg";
