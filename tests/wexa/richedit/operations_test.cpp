// MRichEdit's operations over the rich edit messages: text ranges, lines,
// zoom, clearing, fonts, the placeholder rule, and the answers without text
// services.
#include <gtest/gtest.h>

#include <string>

#include "CTxtWinHost.h"
#include "PaintManager.h"
#include "RichEditFixture.h"
#include "SkinFiles.h"
#include "WindowTestHelpers.h"

using richedit_test::HostedField;
using WEXA::MRichEdit;

namespace {

std::wstring Text(const CString& s)
{
    return std::wstring(s.GetString());
}

TEST(RichEditOperations, TextRangeReadsWhatItMayAndRefusesTheRest)
{
    HostedField hosted;
    MRichEdit* field = hosted.field;
    ASSERT_NE(field->GetHost(), nullptr);
    field->SetControlTitle(L"Hello world");
    struct Case
    {
        long start, end;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0, 5, L"Hello"},   {6, -1, L"world"}, {0, -1, L"Hello world"},
        {6, 500, L"world"}, {5, 3, L""},       {-1, 3, L""},
        {3, 3, L""},        {11, -1, L""},     {20, -1, L""},
        {-1, -1, L""},      {0, -2, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(field->GetTextRange(c.start, c.end)), c.expected)
            << c.start << ".." << c.end;
}

TEST(RichEditOperations, RangesOverLineEndsReadEveryCharacter)
{
    // Multi-line text: each line end is one character of the text, however
    // the services write it out; ranges and selections over line ends, and
    // over nothing but line ends, come back whole.
    HostedField hosted;
    MRichEdit* field = hosted.field;
    ASSERT_NE(field->GetHost(), nullptr);
    field->SetMultiLine(1);
    struct Case
    {
        const wchar_t* text;
        long start, end;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"one\r\ntwo\r\n\r\nthree", 0, -1, L"one\rtwo\r\rthree"},
        {L"one\r\ntwo\r\n\r\nthree", 0, 4, L"one\r"},
        {L"one\r\ntwo\r\n\r\nthree", 3, 10, L"\rtwo\r\rt"},
        {L"one\r\ntwo\r\n\r\nthree", 7, 9, L"\r\r"},
        {L"one\r\ntwo\r\n\r\nthree", 9, 500, L"three"},
        {L"\r\n\r\n\r\n", 0, 3, L"\r\r\r"},
        {L"\r\n\r\n\r\n", 1, -1, L"\r\r"},
        {L"a\nb\rc", 0, -1, L"a\rb\rc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << ".." << c.end);
        field->SetControlTitle(c.text);
        EXPECT_EQ(Text(field->GetTextRange(c.start, c.end)), c.expected);
        field->SetSel(c.start, c.end);
        EXPECT_EQ(Text(field->GetSelText()), c.expected);
    }
}

TEST(RichEditOperations, GetLineHoldsToItsMaximum)
{
    HostedField hosted;
    MRichEdit* field = hosted.field;
    ASSERT_NE(field->GetHost(), nullptr);
    field->SetControlTitle(L"first\rsecond line");
    ASSERT_EQ(field->GetLineCount(), 2);
    struct Case
    {
        int line, max;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {1, 100, L"second line\r"}, {1, 6, L"second"}, {1, 1, L"s"}, {1, 0, L""}, {1, -1, L""},
        {1, -100000, L""},          {0, 5, L"first"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(field->GetLine(c.line, c.max)), c.expected)
            << "line " << c.line << " max " << c.max;
}

// Counts what reaches the text services.
class CountingField : public MRichEdit
{
public:
    explicit CountingField(WEXA::MObject* owner)
        : MRichEdit(owner, 42, CRect(10, 10, 210, 110), L"", 1, 1)
    {}
    HRESULT TxSendMessage(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override
    {
        if (msg == EM_SETZOOM) ++zoomsSent;
        return MRichEdit::TxSendMessage(msg, w, l, result);
    }
    int zoomsSent = 0;
};

TEST(RichEditOperations, SetZoomRefusesValuesAbove64WithoutSendingThem)
{
    HostedField hosted;
    CountingField field(&hosted.dialog);
    field.SetManager(hosted.dialog.GetPaintManager());
    ASSERT_NE(field.GetHost(), nullptr);
    struct Case
    {
        int numerator, denominator, result;
        bool sent;
    };
    // The services themselves take ratios strictly between 1/64 and 64.
    const Case cases[] = {
        {2, 1, 1, true},   {1, 2, 1, true},     {63, 1, 1, true},  {2, 63, 1, true},
        {64, 1, 0, true},  {65, 1, 0, false},   {1, 65, 0, false}, {-1, 1, 0, false},
        {1, -1, 0, false}, {1000, 1, 0, false},
    };
    for (const Case& c : cases) {
        field.SetZoomOff();
        field.zoomsSent = 0;
        EXPECT_EQ(field.SetZoom(c.numerator, c.denominator), c.result)
            << c.numerator << "/" << c.denominator;
        EXPECT_EQ(field.zoomsSent, c.sent ? 1 : 0) << c.numerator << "/" << c.denominator;
        int num = -7, den = -7;
        field.GetZoom(num, den);
        EXPECT_EQ(num, c.result ? c.numerator : 0) << c.numerator << "/" << c.denominator;
        EXPECT_EQ(den, c.result ? c.denominator : 0) << c.numerator << "/" << c.denominator;
    }
    EXPECT_EQ(field.SetZoomOff(), 1);
}

TEST(RichEditOperations, ClearRemovesTheWholeTextAndUndoBringsItBack)
{
    HostedField hosted;
    MRichEdit* field = hosted.field;
    ASSERT_NE(field->GetHost(), nullptr);
    field->SetControlTitle(L"");
    field->ReplaceSel(L"alpha beta", 1);
    field->SetSel(0, 3);
    EXPECT_EQ(Text(field->GetSelText()), L"alp");
    field->Clear();
    EXPECT_EQ(Text(field->GetControlTitle()), L"");
    EXPECT_EQ(field->CanUndo(), 1);
    EXPECT_EQ(field->Undo(), 1);
    EXPECT_EQ(Text(field->GetControlTitle()), L"alpha beta");
    EXPECT_EQ(field->CanRedo(), 1);
    field->AppendText(L"!");
    field->InsertText(0, L">");
    EXPECT_EQ(Text(field->GetControlTitle()), L">alpha beta!");
}

TEST(RichEditOperations, FaceNamesKeepAtMost31Characters)
{
    HostedField hosted;
    MRichEdit* field = hosted.field;
    ASSERT_NE(field->GetHost(), nullptr);
    const wchar_t* longFace = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    struct Case
    {
        const wchar_t* face;
        size_t length;
    };
    const Case cases[] = {{L"Arial", 5}, {L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde", 31}, {longFace, 31}};
    for (const Case& c : cases) {
        field->SetFont(c.face, 14, 0, 0, 0);
        const CHARFORMAT2W& cf = field->GetHost()->GetCharFormat();
        EXPECT_EQ(wcsnlen(cf.szFaceName, LF_FACESIZE), c.length) << "face " << Text(c.face);
        EXPECT_EQ(std::wstring(cf.szFaceName), std::wstring(c.face).substr(0, c.length));
        HFONT font = field->GetDefaultFont();
        LOGFONTW lf = {};
        GetObjectW(font, sizeof(lf), &lf);
        DeleteObject(font);
        EXPECT_LT(wcsnlen(lf.lfFaceName, LF_FACESIZE), size_t(LF_FACESIZE));
    }
    // The library's fonts are named by their files; the services get the
    // family's own name.
    Gdiplus::FontFamily* family = hosted.dialog.GetPaintManager()->FindTempFont(L"Roboto-Medium");
    ASSERT_NE(family, nullptr);
    wchar_t familyName[LF_FACESIZE] = {};
    family->GetFamilyName(familyName);
    field->SetFont(L"Roboto-Medium", 14, 0, 0, 0);
    EXPECT_EQ(std::wstring(field->GetHost()->GetCharFormat().szFaceName), familyName);
    field->SetTextFont(CString(longFace));
    EXPECT_EQ(wcsnlen(field->GetHost()->GetCharFormat().szFaceName, LF_FACESIZE), 31u);
}

// Pixels of the cached face strip that are the placeholder's grey.
int GreyPixelsPerFrame(MRichEdit* field, int frame)
{
    const int w = field->GetRect().Width(), h = field->GetRect().Height();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 4 * w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(size_t(4 * w) * h);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, field->m_hMemBitmap, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    int grey = 0;
    for (int y = 0; y < h; ++y)
        for (int x = frame * w; x < (frame + 1) * w; ++x) {
            const uint32_t p = pixels[size_t(y) * 4 * w + x];
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (r == g && g == b && r > 100 && r < 160) ++grey;
        }
    return grey;
}

TEST(RichEditOperations, PlaceholderFollowsTheStoredTitleNotTheLiveText)
{
    const std::wstring folder = testutil::UseTestSkinFolder(L"richedit_placeholder");
    ASSERT_TRUE(testutil::WriteSkinPng(folder, L"face.png", 4 * 20, 20, [](Gdiplus::Graphics& g) {
        Gdiplus::SolidBrush fill(Gdiplus::Color(255, 250, 240, 220));
        g.FillRectangle(&fill, 0, 0, 80, 20);
    }));
    HostedField hosted(L"MRichEdit", CRect(10, 10, 210, 50));
    MRichEdit* field = hosted.field;
    ASSERT_EQ(field->SetImage(L"face.png", 4), 1);
    field->SetTipInfo(L"Type a name");

    struct Case
    {
        const char* name;
        const wchar_t* title;  // set by the program (null: left as it is)
        const wchar_t* typed;  // typed into the services (null: nothing)
        bool placeholder;
    };
    const Case cases[] = {
        {"new field", nullptr, nullptr, true},          {"typing keeps it", nullptr, L"abc", true},
        {"title set", L"Jane", nullptr, false},         {"title emptied", L"", nullptr, true},
        {"typing after emptying", nullptr, L"x", true},
    };
    for (const Case& c : cases) {
        if (c.title) field->SetControlTitle(c.title);
        if (c.typed) field->ReplaceSel(c.typed, 1);
        field->SetUpdate(0, 0);
        testutil::MemoryCanvas canvas(260, 160);
        HDC dc = canvas.dc();
        field->DrawControl(dc, CRect(0, 0, 260, 160));
        for (int frame = 0; frame < 4; ++frame) {
            const int grey = GreyPixelsPerFrame(field, frame);
            if (c.placeholder)
                EXPECT_GT(grey, 10) << c.name << ", frame " << frame;
            else
                EXPECT_EQ(grey, 0) << c.name << ", frame " << frame;
        }
    }
    // Without a placeholder there is nothing grey to draw.
    field->SetTipInfo(L"");
    field->SetControlTitle(L"");
    field->SetUpdate(0, 0);
    testutil::MemoryCanvas canvas(260, 160);
    HDC dc = canvas.dc();
    field->DrawControl(dc, CRect(0, 0, 260, 160));
    EXPECT_EQ(GreyPixelsPerFrame(field, 0), 0);
}

TEST(RichEditOperations, WithoutTextServicesTheOperationsAnswerTheirNoHostValues)
{
    // Never attached to an engine: no host is made.
    MRichEdit field(nullptr, 5, CRect(0, 0, 100, 30), L"tip", 1, 1);
    ASSERT_EQ(field.GetHost(), nullptr);
    LRESULT result = 77;
    EXPECT_EQ(field.TxSendMessage(EM_GETLINECOUNT, 0, 0, &result), 1);
    EXPECT_EQ(result, 77);
    EXPECT_EQ(field.GetLineCount(), 0);
    EXPECT_EQ(field.GetModify(), 0);
    EXPECT_EQ(field.CanUndo(), 0);
    EXPECT_EQ(field.CanPaste(), 0);
    EXPECT_EQ(field.Undo(), 0);
    EXPECT_EQ(field.LineFromChar(3), 0);
    EXPECT_EQ(Text(field.GetSelText()), L"");
    EXPECT_EQ(Text(field.GetTextRange(0, -1)), L"");
    EXPECT_EQ(Text(field.GetLine(0, 10)), L"");
    EXPECT_EQ(field.GetTxDropTarget(), nullptr);
    field.SetControlTitle(L"stored");
    EXPECT_EQ(Text(field.GetControlTitle()), L"stored");
}

}  // namespace
