#pragma once
// MRichEdit: the windowless rich text field, and its variants.
//
// The field is a panel whose text is held, edited and drawn by the platform's
// windowless text services through its host (CTxtWinHost.h). The field draws
// its face (a four-frame skin strip: normal, hover, focused, disabled), a grey
// placeholder while its stored title is empty, lays out its text area and its
// two scroll-bar children (vertical id 1, horizontal id 2), forwards the
// window's messages to the services while it has the focus, offers a context
// menu, and wraps the rich edit messages in small operations.
//
// The placeholder follows the title the program set (SetControlTitle), not the
// live text: typing does not remove it until the program sets a title.
//
// Without text services (the library missing) the field still draws its face
// and placeholder; the wrapped operations answer the value named with them
// ("no host: ...") and no text can be entered.
//
// Events to the owner (OnBaseMessage(id, code, 0, 0)): 1 on a left press
// inside, 2 on the release inside after a press; the scroll bars'
// notifications pass through unchanged. CSpinButton sends 28 after each step
// by its buttons and nothing else.
//
// UI thread only.
#include <windows.h>
#include <richedit.h>

#include "CRect.h"
#include "CString.h"
#include "MPanel.h"
#include "WexaExport.h"

namespace WEXA {

class CTxtWinHost;
class CImageButton;

class WEXA_API MRichEdit : public MPanel
{
public:
    MRichEdit(MObject* owner, UINT id, CRect rect, const wchar_t* placeholder, int visible,
              int enabled);
    ~MRichEdit() override;

    const wchar_t* GetClassNameW() const override;  // "MRichEdit"

    // ---- overridden virtual operations ----
    // Once: attaches the bars, creates the host, makes it transparent, turns
    // the language options off, sets the event mask, activates it in place and
    // lays the text area out.
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    // Returns 1 when the visual state changed.
    int SetControlFocus(int focus) override;
    LONG OnWindowMessage(UINT msg, UINT_PTR wparam, LONG_PTR lparam) override;
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;
    int OnControlScroll(int step, UINT down, CPoint point) override;
    // Keys belong to the text services (forwarded in OnWindowMessage): 0.
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override;
    void SetTextFont(CString face) override;
    void SetTextColor(Gdiplus::Color color) override;
    void SetControlTitle(const wchar_t* title) override;
    // The live text of the services (the stored title without them).
    CString GetControlTitle() override;

    // ---- virtual operations of its own ----
    // 1 without a host (result untouched), else the services' answer (HRESULT).
    virtual HRESULT TxSendMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result);
    virtual BOOL OnTxViewChanged(BOOL update);
    virtual void OnTxNotify(DWORD code, void* data);

    // ---- text and selection ----
    LONG GetTextLength(DWORD flags = GTL_DEFAULT);
    int GetModify();  // no host: 0
    void SetModify(int modified = 1);
    void GetSel(CHARRANGE& range);
    void GetSel(long& start, long& end);
    int SetSel(CHARRANGE& range);
    int SetSel(long start, long end);
    void SetSelAll();
    void SetSelNone();
    void ReplaceSel(const wchar_t* text, int canUndo);
    void ReplaceSelW(const wchar_t* text, int canUndo = 0);
    CString GetSelText();  // no host: empty
    // Characters start .. end; end -1 means to the end of the text. An end
    // before start, a negative start or no host gives an empty text.
    CString GetTextRange(long start, long end);
    int InsertText(long pos, const wchar_t* text, int canUndo = 0);
    int AppendText(const wchar_t* text, int canUndo = 0);
    void HideSelection(int hide = 1, int changeStyle = 0);
    void ScrollCaret();
    WORD GetSelectionType();
    // Removes the whole text.
    void Clear();
    void Copy();
    void Cut();
    void Paste();
    int CanUndo();   // no host: 0
    int CanRedo();   // no host: 0
    int CanPaste();  // no host: 0
    int Undo();      // no host: 0
    int Redo();      // no host: 0
    void EmptyUndoBuffer();
    int SetUndoLimit(UINT limit);  // no host: 0

    // ---- lines, positions, scrolling ----
    int GetLineCount();  // no host: 0
    // At most maxChars characters of the line; a negative maximum gives an
    // empty text.
    CString GetLine(int line, int maxChars);
    int LineIndex(int line = -1);
    int LineLength(int index = -1);
    int LineScroll(int lines, int chars = 0);
    long LineFromChar(long index);   // no host: 0
    CPoint PosFromChar(UINT index);  // no host: (0, 0)
    int CharFromPos(CPoint point);   // no host: 0
    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();
    void HomeUp();
    void EndDown();
    void LineLeft();
    void LineRight();
    void PageLeft();
    void PageRight();
    void HomeLeft();
    void EndRight();
    int GetZoom(int& numerator, int& denominator);
    // 0 (nothing sent) when either value is above 64 as an unsigned number.
    int SetZoom(int numerator, int denominator);
    int SetZoomOff();

    // ---- formats and options ----
    DWORD GetDefaultCharFormat(CHARFORMAT2W& format);
    DWORD GetSelectionCharFormat(CHARFORMAT2W& format);
    int SetDefaultCharFormat(CHARFORMAT2W& format);  // no host: 0
    int SetSelectionCharFormat(CHARFORMAT2W& format);
    int SetWordCharFormat(CHARFORMAT2W& format);
    DWORD GetParaFormat(PARAFORMAT2& format);
    int SetParaFormat(PARAFORMAT2& format);  // no host: 0
    int GetAutoURLDetect();
    int SetAutoURLDetect(int detect = 1);
    DWORD GetEventMask();
    DWORD SetEventMask(DWORD mask);
    int SetDropAcceptFile(int accept);
    // The services' drop target, kept by the field and released with it (add
    // a reference to keep it longer); null on failure.
    IDropTarget* GetTxDropTarget();
    void SetRich(int rich = 1);
    void SetReadOnly(int readOnly = 1);
    void SetWordWrap(int wrap = 1);
    void SetPassword(int password = 1);
    void SetMultiLine(int multiLine);
    int IsMultiLine() const { return (m_dwWinStyle & ES_MULTILINE) ? 1 : 0; }
    void SetWinStyle(DWORD style) { m_dwWinStyle = style; }
    DWORD GetWinStyle() const { return m_dwWinStyle; }
    void SetLimitText(int limit);
    int GetLimitText() const { return m_nLimitText; }
    COLORREF GetTextColor() const { return m_crTextColor; }
    // The control font's face (at most 31 characters reach the services).
    void SetFont();
    void SetFont(const wchar_t* face, int size, int bold, int underline, int italic);
    // A new GDI font from the control font; the caller deletes it.
    HFONT GetDefaultFont();
    void SetTextPadding(RECT padding);
    RECT GetTextPadding() const { return m_rcTextPadding; }
    void SetTipInfo(const wchar_t* text);
    CString GetTipInfo() const { return m_strTipInfo; }
    int SetIconImage(const wchar_t* file, int frames);
    void SetPassWordChar(wchar_t ch) { m_chPasswordChar = ch; }
    wchar_t GetPassWordChar() const { return m_chPasswordChar; }
    int IsWantTab() const { return m_bWantTab; }
    void SetWantTab(int want = 1) { m_bWantTab = want; }
    int IsWantReturn() const { return m_bWantReturn; }
    void SetWantReturn(int want = 1) { m_bWantReturn = want; }
    int IsWantCtrlReturn() const { return m_bWantCtrlReturn; }
    void SetWantCtrlReturn(int want = 1) { m_bWantCtrlReturn = want; }
    int IsRich() const { return m_bRich; }
    int IsReadOnly() const { return m_bReadOnly; }
    int GetWordWrap() const { return m_bWordWrap; }
    int GetPassword() const { return m_bPassword; }
    void SetAccumulateDBCMode(int mode) { m_bAccumulateDBCMode = mode; }
    int IsAccumulateDBCMode() const { return m_bAccumulateDBCMode; }
    // 0 on success (the answer of the stream message), 0 when the file
    // cannot be opened.
    LRESULT SaveRtf(const wchar_t* file);
    LRESULT LoadRtf(const wchar_t* file);
    LONG StreamOut(int format, EDITSTREAM& stream);  // no host: 0
    LONG StreamIn(int format, EDITSTREAM& stream);   // no host: 0

    CTxtWinHost* GetHost() const { return m_pTwh; }
    int GetVisualState() const { return m_nVisualState; }

    // ---- data ----
    int m_nVisualState;  // 0 normal, 1 hover, 2 focused, 3 disabled
    CTxtWinHost* m_pTwh;
    int m_bWantTab;
    int m_bWantReturn;
    int m_bWantCtrlReturn;
    int m_bRich;
    int m_bReadOnly;
    int m_bPassword;
    int m_bWordWrap;
    COLORREF m_crTextColor;
    int m_nLimitText;
    DWORD m_dwWinStyle;
    int m_bInited;
    int m_bAccumulateDBCMode;
    CString m_strTipInfo;
    RECT m_rcTextPadding;
    wchar_t m_chPasswordChar;
    Gdiplus::Image* m_pIconImage;  // from the engine's cache, not owned
    int m_nIconWidth;
    int m_nIconHeight;
    int m_nIconFrames;

protected:
    // Host client area and bar layout for a text area.
    void ApplyTextArea(CRect area);
    // Renders the face strip (four frames of frameWidth) into the cached
    // image when stale and copies the frame of the visual state.
    void DrawFace(HDC& dc, int frameWidth, bool placeholder, bool centreLine);
    void DrawPlaceholder(HDC memDC, CRect box, bool centreLine);
    // The services' text over dc, clipped to the text area and clip.
    void DrawServices(HDC& dc, CRect clip);
    void Repaint(int erase);
    void ActivateAndFocus(bool focus);
    // The COLORREF handed to the services (pure black as 0x000001).
    static COLORREF ServiceColor(COLORREF color);

private:
    LONG ForwardToServices(UINT msg, WPARAM wparam, LPARAM lparam);
    void ShowContextMenu(CPoint screen);
    void ReleaseServices();

    IDropTarget* m_pDropTarget;  // owned reference, see GetTxDropTarget
};

// Single-line field with a vertically centred text line.
class WEXA_API MEditEx : public MRichEdit
{
public:
    MEditEx(MObject* owner, UINT id, CRect rect, const wchar_t* placeholder, int visible,
            int enabled);
    ~MEditEx() override;
    const wchar_t* GetClassNameW() const override;  // "MEditEx"
    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlRect(CRect rect) override;
};

// Single-line field with an icon at the left and a floating label.
class WEXA_API CLogonEdit : public MRichEdit
{
public:
    CLogonEdit(MObject* owner, UINT id, CRect rect, const wchar_t* placeholder, int visible,
               int enabled);
    ~CLogonEdit() override;
    const wchar_t* GetClassNameW() const override;  // "CLogonEdit"
    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;  // nothing, 0
};

// Numeric field with up and down image buttons (ids 30 and 31).
class WEXA_API CSpinButton : public MRichEdit
{
public:
    CSpinButton(MObject* owner, UINT id, CRect rect, int visible, int enabled);
    ~CSpinButton() override;
    const wchar_t* GetClassNameW() const override;  // "CSpinButton"
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    // Steps by the buttons (wrapping at the ends) and reports 28; 1 then.
    LONG OnMessage(UINT id, UINT code, UINT_PTR wparam, LONG_PTR lparam) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    // Typed text: read as a decimal number, clamped to the range, no event.
    void OnTxNotify(DWORD code, void* data) override;

    // Stores and shows the value (no range check); nothing when unchanged.
    void SetCurValue(int value);
    int GetCurValue() const { return m_nCurValue; }
    // Stores the range; the current value is not adjusted.
    void SetRange(int minValue, int maxValue);
    int GetMinValue() const { return m_nMinValue; }
    int GetMaxValue() const { return m_nMaxValue; }

    // Leading decimal digits of text (any other character ends them), clamped to
    // minValue..maxValue; no digits give 0 (then clamped). Never overflows.
    static int ParseClamped(const wchar_t* text, int minValue, int maxValue);

    int m_nCurValue;
    int m_bSettingValue;  // the field's own text change, not typed
    int m_nMinValue;
    int m_nMaxValue;
    MControl* m_pUpButton;    // child id 30, owned through the child list
    MControl* m_pDownButton;  // child id 31, owned through the child list
};

}  // namespace WEXA
