// MRichEdit: the thin operations over the rich edit messages, formats and
// options.
#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "CLock.h"
#include "CTxtWinHost.h"
#include "MRichEdit.h"
#include "Manager.h"
#include "PaintManager.h"
#include "framework/GdiOwners.h"

namespace WEXA {

namespace {

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// True when GDI has a family of that name.
bool GdiKnowsFace(const wchar_t* face)
{
    LOGFONTW query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    gdi::WindowDC dc(nullptr);
    ::EnumFontFamiliesExW(dc, &query, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

// The library's fonts are named by their files ("Roboto-Medium"), which GDI
// does not know: the text services then get the family name of the engine's
// font of that name. Any other face is taken as it is. At most 31 characters
// and the terminator are written.
void MRichEdit::ResolveFace(const wchar_t* face, wchar_t (&out)[LF_FACESIZE])
{
    lstrcpynW(out, face ? face : L"", LF_FACESIZE);
    if (!face || !*face || !m_pManager || GdiKnowsFace(out)) return;
    wchar_t name[LF_FACESIZE] = {};
    {
        CAutoLock lock(m_pManager->m_fontsLock);
        auto it = m_pManager->m_fonts.find(face);
        if (it == m_pManager->m_fonts.end() || !it->second ||
            it->second->GetFamilyName(name) != Gdiplus::Ok)
            return;
    }
    if (name[0] && GdiKnowsFace(name)) lstrcpynW(out, name, LF_FACESIZE);
}

// ---- text and selection ----

LONG MRichEdit::GetTextLength(DWORD flags)
{
    GETTEXTLENGTHEX query = {flags, 1200};
    LRESULT length = 0;
    TxSendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0, &length);
    return static_cast<LONG>(length);
}

int MRichEdit::GetModify()
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_GETMODIFY, 0, 0, &result);
    return result == 1 ? 1 : 0;
}

void MRichEdit::SetModify(int modified)
{
    LRESULT ignored = 0;
    TxSendMessage(EM_SETMODIFY, modified, 0, &ignored);
}

void MRichEdit::GetSel(CHARRANGE& range)
{
    LRESULT ignored = 0;
    TxSendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range), &ignored);
}

void MRichEdit::GetSel(long& start, long& end)
{
    CHARRANGE range = {0, 0};
    GetSel(range);
    start = range.cpMin;
    end = range.cpMax;
}

int MRichEdit::SetSel(CHARRANGE& range)
{
    LRESULT result = 0;
    TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), &result);
    return static_cast<int>(result);
}

int MRichEdit::SetSel(long start, long end)
{
    CHARRANGE range = {start, end};
    return SetSel(range);
}

void MRichEdit::SetSelAll()
{
    SetSel(0, -1);
}

void MRichEdit::SetSelNone()
{
    SetSel(-1, 0);
}

void MRichEdit::ReplaceSel(const wchar_t* text, int canUndo)
{
    LRESULT ignored = 0;
    TxSendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text ? text : L""), &ignored);
}

void MRichEdit::ReplaceSelW(const wchar_t* text, int canUndo)
{
    ReplaceSel(text, canUndo);
}

CString MRichEdit::GetSelText()
{
    if (!m_pTwh) return CString(L"");
    CHARRANGE range = {0, 0};
    GetSel(range);
    if (range.cpMax <= range.cpMin || range.cpMin < 0) return CString(L"");
    // Room for every character twice over, in case line ends come out as
    // CR LF pairs; the text is cut at the terminator.
    std::vector<wchar_t> buffer(2 * static_cast<size_t>(range.cpMax - range.cpMin) + 1, 0);
    LRESULT ignored = 0;
    TxSendMessage(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()), &ignored);
    buffer.back() = 0;
    return CString(buffer.data());
}

CString MRichEdit::GetTextRange(long start, long end)
{
    if (!m_pTwh || start < 0) return CString(L"");
    const long length = GetTextLength(GTL_DEFAULT);
    // -1 reads to the end; the range never reaches past the text, so the
    // buffer always holds what the services copy.
    if (end == -1 || end > length) end = length;
    if (end < start || start > length) return CString(L"");
    if (end == start) return CString(L"");
    std::vector<wchar_t> buffer(2 * static_cast<size_t>(end - start) + 1, 0);
    TEXTRANGEW range = {};
    range.chrg.cpMin = start;
    range.chrg.cpMax = end;
    range.lpstrText = buffer.data();
    LRESULT ignored = 0;
    TxSendMessage(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range), &ignored);
    buffer.back() = 0;
    return CString(buffer.data());
}

int MRichEdit::InsertText(long pos, const wchar_t* text, int canUndo)
{
    const int result = SetSel(pos, pos);
    ReplaceSel(text, canUndo);
    return result;
}

int MRichEdit::AppendText(const wchar_t* text, int canUndo)
{
    const int result = SetSel(-1, -1);
    ReplaceSel(text, canUndo);
    return result;
}

void MRichEdit::HideSelection(int hide, int changeStyle)
{
    LRESULT ignored = 0;
    TxSendMessage(EM_HIDESELECTION, hide, changeStyle, &ignored);
}

void MRichEdit::ScrollCaret()
{
    LRESULT ignored = 0;
    TxSendMessage(EM_SCROLLCARET, 0, 0, &ignored);
}

WORD MRichEdit::GetSelectionType()
{
    LRESULT result = 0;
    TxSendMessage(EM_SELECTIONTYPE, 0, 0, &result);
    return static_cast<WORD>(result);
}

void MRichEdit::Clear()
{
    SetSel(0, -1);
    LRESULT ignored = 0;
    TxSendMessage(WM_CLEAR, 0, 0, &ignored);
}

void MRichEdit::Copy()
{
    LRESULT ignored = 0;
    TxSendMessage(WM_COPY, 0, 0, &ignored);
}

void MRichEdit::Cut()
{
    LRESULT ignored = 0;
    TxSendMessage(WM_CUT, 0, 0, &ignored);
}

void MRichEdit::Paste()
{
    LRESULT ignored = 0;
    TxSendMessage(WM_PASTE, 0, 0, &ignored);
}

int MRichEdit::CanUndo()
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_CANUNDO, 0, 0, &result);
    return result == 1 ? 1 : 0;
}

int MRichEdit::CanRedo()
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_CANREDO, 0, 0, &result);
    return result == 1 ? 1 : 0;
}

int MRichEdit::CanPaste()
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_CANPASTE, 0, 0, &result);
    return result == 1 ? 1 : 0;
}

int MRichEdit::Undo()
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_UNDO, 0, 0, &result);
    return result == 1 ? 1 : 0;
}

int MRichEdit::Redo()
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_REDO, 0, 0, &result);
    return result == 1 ? 1 : 0;
}

void MRichEdit::EmptyUndoBuffer()
{
    LRESULT ignored = 0;
    TxSendMessage(EM_EMPTYUNDOBUFFER, 0, 0, &ignored);
}

int MRichEdit::SetUndoLimit(UINT limit)
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_SETUNDOLIMIT, limit, 0, &result);
    return static_cast<int>(result);
}

// ---- lines, positions, scrolling ----

int MRichEdit::GetLineCount()
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_GETLINECOUNT, 0, 0, &result);
    return static_cast<int>(result);
}

CString MRichEdit::GetLine(int line, int maxChars)
{
    if (maxChars < 0 || !m_pTwh) return CString(L"");
    // The first word of the buffer carries the maximum: at least one word.
    std::vector<wchar_t> buffer(static_cast<size_t>(maxChars) + 1, 0);
    buffer[0] = static_cast<wchar_t>(maxChars > 0xFFFF ? 0xFFFF : maxChars);
    if (maxChars == 0) return CString(L"");
    LRESULT copied = 0;
    TxSendMessage(EM_GETLINE, line, reinterpret_cast<LPARAM>(buffer.data()), &copied);
    const size_t end = copied > 0 ? std::min<size_t>(static_cast<size_t>(copied), maxChars) : 0;
    buffer[end] = 0;
    return CString(buffer.data());
}

int MRichEdit::LineIndex(int line)
{
    LRESULT result = 0;
    TxSendMessage(EM_LINEINDEX, line, 0, &result);
    return static_cast<int>(result);
}

int MRichEdit::LineLength(int index)
{
    LRESULT result = 0;
    TxSendMessage(EM_LINELENGTH, index, 0, &result);
    return static_cast<int>(result);
}

int MRichEdit::LineScroll(int lines, int chars)
{
    LRESULT result = 0;
    TxSendMessage(EM_LINESCROLL, chars, lines, &result);
    return result == 1 ? 1 : 0;
}

long MRichEdit::LineFromChar(long index)
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_EXLINEFROMCHAR, 0, index, &result);
    return static_cast<long>(result);
}

CPoint MRichEdit::PosFromChar(UINT index)
{
    if (!m_pTwh) return CPoint(0, 0);
    POINTL point = {0, 0};
    LRESULT ignored = 0;
    TxSendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), index, &ignored);
    return CPoint(point.x, point.y);
}

int MRichEdit::CharFromPos(CPoint pt)
{
    if (!m_pTwh) return 0;
    POINTL point = {pt.x, pt.y};
    LRESULT result = 0;
    TxSendMessage(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&point), &result);
    return static_cast<int>(result);
}

#define WEXA_SCROLL_OP(Name, Msg, Code)        \
    void MRichEdit::Name()                     \
    {                                          \
        LRESULT ignored = 0;                   \
        TxSendMessage(Msg, Code, 0, &ignored); \
    }
WEXA_SCROLL_OP(LineUp, WM_VSCROLL, SB_LINEUP)
WEXA_SCROLL_OP(LineDown, WM_VSCROLL, SB_LINEDOWN)
WEXA_SCROLL_OP(PageUp, WM_VSCROLL, SB_PAGEUP)
WEXA_SCROLL_OP(PageDown, WM_VSCROLL, SB_PAGEDOWN)
WEXA_SCROLL_OP(HomeUp, WM_VSCROLL, SB_TOP)
WEXA_SCROLL_OP(EndDown, WM_VSCROLL, SB_BOTTOM)
WEXA_SCROLL_OP(LineLeft, WM_HSCROLL, SB_LINELEFT)
WEXA_SCROLL_OP(LineRight, WM_HSCROLL, SB_LINERIGHT)
WEXA_SCROLL_OP(PageLeft, WM_HSCROLL, SB_PAGELEFT)
WEXA_SCROLL_OP(PageRight, WM_HSCROLL, SB_PAGERIGHT)
WEXA_SCROLL_OP(HomeLeft, WM_HSCROLL, SB_LEFT)
WEXA_SCROLL_OP(EndRight, WM_HSCROLL, SB_RIGHT)
#undef WEXA_SCROLL_OP

int MRichEdit::GetZoom(int& numerator, int& denominator)
{
    LRESULT result = 0;
    TxSendMessage(EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
                  reinterpret_cast<LPARAM>(&denominator), &result);
    return result == 1 ? 1 : 0;
}

int MRichEdit::SetZoom(int numerator, int denominator)
{
    if (static_cast<unsigned>(numerator) > 64 || static_cast<unsigned>(denominator) > 64) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_SETZOOM, numerator, denominator, &result);
    return result == 1 ? 1 : 0;
}

int MRichEdit::SetZoomOff()
{
    LRESULT result = 0;
    TxSendMessage(EM_SETZOOM, 0, 0, &result);
    return result == 1 ? 1 : 0;
}

// ---- formats and options ----

DWORD MRichEdit::GetDefaultCharFormat(CHARFORMAT2W& format)
{
    format.cbSize = sizeof(CHARFORMAT2W);
    LRESULT result = 0;
    TxSendMessage(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format), &result);
    return static_cast<DWORD>(result);
}

DWORD MRichEdit::GetSelectionCharFormat(CHARFORMAT2W& format)
{
    format.cbSize = sizeof(CHARFORMAT2W);
    LRESULT result = 0;
    TxSendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format), &result);
    return static_cast<DWORD>(result);
}

int MRichEdit::SetDefaultCharFormat(CHARFORMAT2W& format)
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format), &result);
    if (result != 1) return 0;
    CHARFORMAT2W stored = {};
    stored.cbSize = sizeof(CHARFORMAT2W);
    LRESULT ignored = 0;
    TxSendMessage(EM_GETCHARFORMAT, 1, reinterpret_cast<LPARAM>(&stored), &ignored);
    m_pTwh->SetCharFormat(stored);
    return 1;
}

int MRichEdit::SetSelectionCharFormat(CHARFORMAT2W& format)
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format), &result);
    return result == 1 ? 1 : 0;
}

int MRichEdit::SetWordCharFormat(CHARFORMAT2W& format)
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_SETCHARFORMAT, SCF_SELECTION | SCF_WORD, reinterpret_cast<LPARAM>(&format),
                  &result);
    return result == 1 ? 1 : 0;
}

DWORD MRichEdit::GetParaFormat(PARAFORMAT2& format)
{
    format.cbSize = sizeof(PARAFORMAT2);
    LRESULT result = 0;
    TxSendMessage(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format), &result);
    return static_cast<DWORD>(result);
}

int MRichEdit::SetParaFormat(PARAFORMAT2& format)
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format), &result);
    if (result != 1) return 0;
    m_pTwh->SetParaFormat(format);
    return 1;
}

int MRichEdit::GetAutoURLDetect()
{
    LRESULT result = 0;
    TxSendMessage(EM_GETAUTOURLDETECT, 0, 0, &result);
    return result == 1 ? 1 : 0;
}

int MRichEdit::SetAutoURLDetect(int detect)
{
    LRESULT result = 0;
    TxSendMessage(EM_AUTOURLDETECT, detect, 0, &result);
    return result == 0 ? 1 : 0;
}

DWORD MRichEdit::GetEventMask()
{
    LRESULT result = 0;
    TxSendMessage(EM_GETEVENTMASK, 0, 0, &result);
    return static_cast<DWORD>(result);
}

DWORD MRichEdit::SetEventMask(DWORD mask)
{
    LRESULT result = 0;
    TxSendMessage(EM_SETEVENTMASK, 0, mask, &result);
    return static_cast<DWORD>(result);
}

int MRichEdit::SetDropAcceptFile(int)
{
    LRESULT result = 0;
    TxSendMessage(EM_SETEVENTMASK, 0, ENM_LINK | ENM_DROPFILES, &result);
    return result == 0 ? 1 : 0;
}

IDropTarget* MRichEdit::GetTxDropTarget()
{
    if (m_pDropTarget) return m_pDropTarget;
    if (!m_pTwh || !m_pTwh->GetTextServices()) return nullptr;
    IDropTarget* target = nullptr;
    if (FAILED(m_pTwh->GetTextServices()->TxGetDropTarget(&target))) return nullptr;
    m_pDropTarget = target;
    return target;
}

void MRichEdit::SetRich(int rich)
{
    m_bRich = rich;
    if (m_pTwh) m_pTwh->SetRichText(rich != 0);
}

void MRichEdit::SetReadOnly(int readOnly)
{
    m_bReadOnly = readOnly;
    if (m_pTwh) m_pTwh->SetReadOnly(readOnly != 0);
}

void MRichEdit::SetWordWrap(int wrap)
{
    m_bWordWrap = wrap;
    if (m_pTwh) m_pTwh->SetWordWrap(wrap != 0);
}

void MRichEdit::SetPassword(int password)
{
    m_bPassword = password;
    if (password)
        m_dwWinStyle |= ES_PASSWORD;
    else
        m_dwWinStyle &= ~static_cast<DWORD>(ES_PASSWORD);
    if (m_pTwh) m_pTwh->SetPassword(password != 0);
}

void MRichEdit::SetMultiLine(int multiLine)
{
    if (multiLine)
        m_dwWinStyle |= ES_MULTILINE;
    else
        m_dwWinStyle &= ~static_cast<DWORD>(ES_MULTILINE);
}

void MRichEdit::SetLimitText(int limit)
{
    m_nLimitText = limit;
    if (!m_pTwh) return;
    m_pTwh->SetMaxLength(limit);
    // Wine's services read the host's maximum only when they are created:
    // tell them directly as well.
    LRESULT ignored = 0;
    TxSendMessage(EM_EXLIMITTEXT, 0, m_pTwh->GetMaxLength(), &ignored);
}

HFONT MRichEdit::GetDefaultFont()
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    const CString face = m_strFontFace.IsEmpty() ? Manager::GetFontName() : m_strFontFace;
    ResolveFace(face, lf.lfFaceName);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -m_nFontWidth;
    const int style = static_cast<int>(m_fontStyle);
    if (style & Gdiplus::FontStyleBold) lf.lfWeight += FW_BOLD;
    if (style & Gdiplus::FontStyleUnderline) lf.lfUnderline = TRUE;
    if (style & Gdiplus::FontStyleItalic) lf.lfItalic = TRUE;
    return ::CreateFontIndirectW(&lf);
}

void MRichEdit::SetFont()
{
    const int style = static_cast<int>(m_fontStyle);
    SetFont(m_strFontFace, m_nFontWidth, (style & Gdiplus::FontStyleBold) ? 1 : 0,
            (style & Gdiplus::FontStyleUnderline) ? 1 : 0,
            (style & Gdiplus::FontStyleItalic) ? 1 : 0);
}

void MRichEdit::SetFont(const wchar_t* face, int size, int bold, int underline, int italic)
{
    if (!m_pTwh) return;
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    ResolveFace(face, lf.lfFaceName);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold) lf.lfWeight += FW_BOLD;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfItalic = italic ? TRUE : FALSE;
    gdi::Font font(::CreateFontIndirectW(&lf));
    if (!font) return;
    m_pTwh->SetFont(font);
}

void MRichEdit::SetTextPadding(RECT padding)
{
    m_rcTextPadding = padding;
    Repaint(1);
}

void MRichEdit::SetTipInfo(const wchar_t* text)
{
    m_strTipInfo = text ? text : L"";
}

int MRichEdit::SetIconImage(const wchar_t* file, int frames)
{
    if (!m_pManager) return 0;
    ImgResInfo* info = m_pManager->AddImgResInfo(file, frames);
    if (!info || !info->pImage) return 0;
    m_pIconImage = info->pImage;
    m_nIconWidth = info->nWidth;
    m_nIconHeight = info->nHeight;
    m_nIconFrames = frames;
    Repaint(1);
    return 1;
}

LRESULT MRichEdit::SaveRtf(const wchar_t* file)
{
    FILE* stream = file ? _wfopen(file, L"wb") : nullptr;
    if (!stream) return 0;
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(stream), 0, CTxtWinHost::WriteCallback};
    LRESULT ignored = 0;
    const HRESULT result =
        TxSendMessage(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es), &ignored);
    fclose(stream);
    return static_cast<LRESULT>(result);
}

LRESULT MRichEdit::LoadRtf(const wchar_t* file)
{
    FILE* stream = file ? _wfopen(file, L"rb") : nullptr;
    if (!stream) return 0;
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(stream), 0, CTxtWinHost::ReadCallback};
    LRESULT ignored = 0;
    const HRESULT result =
        TxSendMessage(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es), &ignored);
    fclose(stream);
    return static_cast<LRESULT>(result);
}

LONG MRichEdit::StreamOut(int format, EDITSTREAM& stream)
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream), &result);
    return static_cast<LONG>(result);
}

LONG MRichEdit::StreamIn(int format, EDITSTREAM& stream)
{
    if (!m_pTwh) return 0;
    LRESULT result = 0;
    TxSendMessage(EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream), &result);
    return static_cast<LONG>(result);
}

}  // namespace WEXA
