// The LCD frame editor: edit copies in the per-user edit folder (under a
// Cyrillic/CJK device and picture folder), pen, eraser and text layers, undo,
// the PNG it writes, fitting pictures, and the timed preview.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControlProbe.h"
#include "ControlRegistry.h"
#include "EngineFixture.h"
#include "ImageView.h"
#include "LcdFiles.h"
#include "Manager.h"
#include "WindowTestHelpers.h"

namespace {

using lcdtest::FileExists;
using lcdtest::ReadBytes;
using WEXA::ImageView;

const wchar_t* const kDevice = L"\u041a\u0435\u0441\u0442\u0440\u043e\u0432\u0430 \u6d4b\u8bd5";

std::wstring WorkFolder()
{
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData);
    return std::wstring(appData) + L"\\" + kDevice + L" Files\\";
}

class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        oldDevice = WEXA::Manager::GetDeviceName();
        WEXA::Manager::SetDeviceName(kDevice);
        lcdtest::RemoveFolder(WorkFolder());
        folder = lcdtest::ScratchFolder(L"editor");
        source = folder + L"f1.png";
        ASSERT_TRUE(lcdtest::WriteSolidPng(source, 320, 240, 0xFF2040C0));
        view.reset(new ImageView(&owner, 377, CRect(10, 20, 330, 260), 1, 1));
    }
    void TearDown() override
    {
        view.reset();
        WEXA::Manager::SetDeviceName(oldDevice);
        lcdtest::RemoveFolder(WorkFolder());
        lcdtest::RemoveFolder(folder);
    }
    int Count(UINT code) const
    {
        int n = 0;
        for (const probe::Event& e : owner.events) n += e.code == code;
        return n;
    }
    // Paints the control once, as the window would (text boxes are measured).
    void Paint()
    {
        testutil::MemoryCanvas canvas(400, 300);
        HDC dc = canvas.dc();
        view->SetUpdate(0, 0);
        view->DrawControl(dc, CRect(0, 0, 400, 300));
    }

    CString oldDevice;
    std::wstring folder, source;
    probe::RecordingOwner owner;
    std::unique_ptr<ImageView> view;
};

TEST_F(EditorTest, OpeningCopiesThePictureIntoACreatedEditFolder)
{
    EXPECT_NE(WEXA::FindControlClass(L"ImageView"), nullptr);
    ASSERT_FALSE(FileExists(WorkFolder()));
    const CString edit = view->SetImage(source.c_str());
    const std::wstring editFolder = WorkFolder() + L"\\edit\\";
    EXPECT_EQ(std::wstring(edit.Left(int(editFolder.size() + 5))), editFolder + L"edit_");
    EXPECT_EQ(std::wstring(edit.Right(7)), L"_f1.png");
    EXPECT_EQ(view->GetEditImageFile(), edit);
    EXPECT_EQ(ReadBytes(edit.GetString()), ReadBytes(source));
    EXPECT_EQ(view->GetPictureSize(), CSize(320, 240));
    EXPECT_TRUE(owner.events.empty());

    // Reopening the edit copy keeps it as it is: no "edit_edit_..." growth.
    EXPECT_EQ(view->SetImage(edit), edit);
    EXPECT_EQ(view->SetImage(edit), edit);

    // Two frames with one file name get two copies; other separators and no separator.
    const std::wstring other = lcdtest::ScratchFolder(L"editor2") + L"f1.png";
    ASSERT_TRUE(lcdtest::WriteSolidPng(other, 20, 20, 0xFFFF0000));
    const CString second = view->SetImage(other.c_str());
    EXPECT_NE(second.CompareNoCase(edit), 0);
    EXPECT_EQ(ReadBytes(edit.GetString()), ReadBytes(source));
    EXPECT_EQ(std::wstring(view->SetImage(L"x/y/f2.png").Right(7)), L"_f2.png");
    EXPECT_EQ(std::wstring(view->SetImage(L"f3.png").Right(7)), L"_f3.png");
    lcdtest::RemoveFolder(other.substr(0, other.size() - 6));
}

TEST_F(EditorTest, PenStrokeIsSavedOnlyAfterAMoveAndReadsBackFromThePng)
{
    const CString edit = view->SetImage(source.c_str());
    ASSERT_EQ(view->GetPictureRect(), CRect(0, 0, 320, 240));

    // A click without a move: a one-point stroke that writes nothing.
    view->OnControlLButtonDown(MK_LBUTTON, CPoint(40, 60));
    view->OnControlMouseMove(MK_LBUTTON, CPoint(46, 66));  // not more than 6 px
    view->OnControlLButtonUp(0, CPoint(46, 66));
    {
        WEXA::EDITLAYER_INFO layer;
        ASSERT_TRUE(view->GetLayer(0, layer));
        EXPECT_EQ(layer.type, 2);
        EXPECT_EQ(layer.nPoints, 1);
        EXPECT_EQ(layer.color, 0xFFEE6E01u);
        EXPECT_EQ(layer.size, 2);
    }
    EXPECT_EQ(Count(32), 0);
    EXPECT_EQ(ReadBytes(edit.GetString()), ReadBytes(source));

    view->SetPenSize(6);
    view->OnControlLButtonDown(MK_LBUTTON, CPoint(50, 60));
    view->OnControlMouseMove(MK_LBUTTON, CPoint(90, 60));
    view->OnControlMouseMove(MK_LBUTTON, CPoint(130, 60));
    view->OnControlLButtonUp(0, CPoint(130, 60));
    EXPECT_EQ(Count(32), 1);
    EXPECT_EQ(view->GetSelectedLayer(), 1);

    lcdtest::Png png;
    ASSERT_TRUE(lcdtest::ReadPng(edit.GetString(), png));
    ASSERT_EQ(png.width, 320u);
    ASSERT_EQ(png.height, 240u);
    EXPECT_EQ(png.Rgb(80 - 10, 60 - 20), 0xEE6E01u);  // on the stroke
    EXPECT_EQ(png.Rgb(200, 200), 0x2040C0u);          // the picture
    EXPECT_EQ(png.Alpha(80 - 10, 60 - 20), 255);
    // The picture file itself was never drawn on.
    lcdtest::Png original;
    ASSERT_TRUE(lcdtest::ReadPng(source, original));
    EXPECT_EQ(original.Rgb(70, 40), 0x2040C0u);
}

TEST_F(EditorTest, StrokesKeepFiveHundredPointsAndTheEraserTakesTheScreenColour)
{
    view->SetImage(source.c_str());
    view->OnControlLButtonDown(MK_LBUTTON, CPoint(20, 30));
    for (int i = 1; i <= 600; ++i)
        view->OnControlMouseMove(MK_LBUTTON, CPoint(20 + (i % 2) * 100, 30 + (i % 3) * 50));
    view->OnControlLButtonUp(0, CPoint(20, 30));
    WEXA::EDITLAYER_INFO layer;
    ASSERT_TRUE(view->GetLayer(0, layer));
    EXPECT_EQ(layer.nPoints, 500);
    EXPECT_EQ(Count(32), 1);

    view->SetDrawMode(ImageView::MODE_ERASER);
    view->OnControlLButtonDown(MK_LBUTTON, CPoint(100, 100));
    ASSERT_TRUE(view->GetLayer(1, layer));
    EXPECT_EQ(layer.type, 3);
    EXPECT_EQ(layer.color & 0xFF000000u, 0xFF000000u);

    // Outside the control a move adds nothing.
    view->OnControlMouseMove(MK_LBUTTON, CPoint(500, 500));
    ASSERT_TRUE(view->GetLayer(1, layer));
    EXPECT_EQ(layer.nPoints, 1);
}

TEST_F(EditorTest, TextLayersUndoAndTheWheelSizes)
{
    view->SetImage(source.c_str());
    view->SetFontSize(58);
    view->SetColorValue(RGB(255, 255, 255));
    EXPECT_EQ(Count(32), 1);  // the colour is saved although no layer is selected
    view->AddText(L"Hello");
    EXPECT_EQ(Count(32), 2);
    WEXA::EDITLAYER_INFO layer;
    ASSERT_TRUE(view->GetLayer(0, layer));
    EXPECT_EQ(layer.type, 1);
    EXPECT_EQ(layer.x, 10 + 160);
    EXPECT_EQ(layer.y, 20 + 120);
    EXPECT_EQ(layer.size, 58);
    EXPECT_EQ(layer.color, 0xFFFFFFFFu);
    EXPECT_EQ(view->GetSelectedLayer(), -1);

    Paint();
    ASSERT_TRUE(view->GetLayer(0, layer));
    ASSERT_GT(layer.rcText.right, layer.rcText.left + 6);
    view->SetDrawMode(ImageView::MODE_MOVE_TEXT);
    view->OnControlLButtonDown(MK_LBUTTON, CPoint(layer.x + 3, layer.y + 3));
    EXPECT_EQ(view->GetSelectedLayer(), 0);

    // Wheel towards the user shrinks by 2, away grows by 2, within 6 .. 60.
    const struct
    {
        UINT down;
        int size;
    } steps[] = {{0, 60}, {0, 60}, {1, 58}};
    for (const auto& s : steps) {
        EXPECT_EQ(view->OnControlScroll(1, s.down, CPoint(0, 0)), 1);
        ASSERT_TRUE(view->GetLayer(0, layer));
        EXPECT_EQ(layer.size, s.size);
    }
    view->SetFontSize(8);
    for (int size : {6, 6}) {
        view->OnControlScroll(1, 1, CPoint(0, 0));
        ASSERT_TRUE(view->GetLayer(0, layer));
        EXPECT_EQ(layer.size, size);
    }

    // Dragging moves the text by the pointer's way; outside the control nothing moves.
    view->OnControlMouseMove(MK_LBUTTON, CPoint(layer.x + 3 + 2, layer.y + 3 + 1));  // too small
    view->OnControlMouseMove(MK_LBUTTON, CPoint(layer.x + 3 + 100, layer.y + 3 + 30));
    view->OnControlMouseMove(MK_LBUTTON, CPoint(layer.x + 3 + 500, layer.y + 3 + 30));
    ASSERT_TRUE(view->GetLayer(0, layer));
    EXPECT_EQ(layer.x, 170 + 100);
    EXPECT_EQ(layer.y, 140 + 30);

    // Undo drops the last layer and saves; on an empty list it still saves.
    const int saves = Count(32);
    view->RecoverCurEdit();
    EXPECT_EQ(view->GetLayerCount(), 0);
    view->RecoverCurEdit();
    EXPECT_EQ(Count(32), saves + 2);
    EXPECT_EQ(view->GetSelectedLayer(), -1);
}

TEST_F(EditorTest, TheSavedNoticeComesOnlyWithTheWrittenFile)
{
    const CString edit = view->SetImage(source.c_str());
    // The new edit copy cannot be written (its temporary name is taken by a
    // folder): the old copy stays and the owner is not told of a save.
    const std::wstring blocker = std::wstring(edit.GetString()) + L".tmp~";
    ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
    view->AddText(L"Lost");
    EXPECT_EQ(Count(32), 0);
    EXPECT_EQ(ReadBytes(edit.GetString()), ReadBytes(source));
    RemoveDirectoryW(blocker.c_str());
    view->AddText(L"Saved");
    EXPECT_EQ(Count(32), 1);
    EXPECT_NE(ReadBytes(edit.GetString()), ReadBytes(source));
}

TEST_F(EditorTest, WithoutAPictureNothingIsEditedWrittenOrSent)
{
    view->SetImage(source.c_str());
    EXPECT_EQ(view->SetImage(L""), CString());
    EXPECT_EQ(view->GetEditImageFile(), CString());
    EXPECT_EQ(view->GetPictureSize(), CSize(0, 0));
    view->RecoverCurEdit();
    view->SetColorValue(RGB(1, 2, 3));
    view->AddText(L"x");
    view->SetFontSize(20);
    view->OnControlScroll(1, 1, CPoint(0, 0));
    view->OnControlLButtonDown(MK_LBUTTON, CPoint(50, 50));
    view->OnControlMouseMove(MK_LBUTTON, CPoint(100, 100));
    view->OnControlLButtonUp(0, CPoint(100, 100));
    view->SaveCurrentImage();
    EXPECT_EQ(view->GetLayerCount(), 0);
    EXPECT_EQ(Count(32), 0);
    EXPECT_EQ(view->GetColorValue(), RGB(1, 2, 3));  // kept for the next picture

    // A path that does not load: no picture, no stale size.
    view->SetImage((folder + L"missing.png").c_str());
    EXPECT_EQ(view->GetPictureSize(), CSize(0, 0));
    view->AddText(L"x");
    EXPECT_EQ(Count(32), 0);
}

TEST_F(EditorTest, RecoveringNeverWritesThePictureFile)
{
    const CString edit = view->SetImage(source.c_str());
    const std::vector<unsigned char> original = ReadBytes(source);
    view->AddText(L"Changed");
    ASSERT_NE(ReadBytes(edit.GetString()), original);
    view->RecoverOriginalImage();
    EXPECT_EQ(ReadBytes(source), original);
    EXPECT_EQ(ReadBytes(edit.GetString()), original);
    EXPECT_EQ(view->GetLayerCount(), 0);
    EXPECT_EQ(Count(32), 2);

    // Saving copies the edit copy over the picture, as the page asks.
    view->AddText(L"Kept");
    view->SaveImageData();
    EXPECT_EQ(ReadBytes(source), ReadBytes(edit.GetString()));
}

TEST_F(EditorTest, SavingReplacesThePictureOnlyWithAWholePicture)
{
    const std::vector<unsigned char> original = ReadBytes(source);
    const std::wstring temp = source + L".tmp~";
    HANDLE held = INVALID_HANDLE_VALUE;
    // Each way the save can fail leaves the picture file (in a Cyrillic/CJK
    // folder) as it was, and no temporary file behind.
    const struct
    {
        const char* what;
        std::function<void(const std::wstring&edit)> inject, undo;
    } failures[] = {
        {"edit copy gone", [](const std::wstring& edit) { DeleteFileW(edit.c_str()); },
         [](const std::wstring&) {}},
        {"edit copy empty",
         [](const std::wstring& edit) { ASSERT_TRUE(lcdtest::WriteBytes(edit, {})); },
         [](const std::wstring&) {}},
        {"edit copy not a picture",
         [](const std::wstring& edit) {
             ASSERT_TRUE(lcdtest::WriteBytes(edit, {0x89, 'P', 'N', 'G', 1, 2, 3}));
         },
         [](const std::wstring&) {}},
        {"new file cannot be written",
         [&](const std::wstring&) { ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr)); },
         [&](const std::wstring&) { RemoveDirectoryW(temp.c_str()); }},
        {"picture file open in another program",
         [&](const std::wstring&) {
             held = CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
             ASSERT_NE(held, INVALID_HANDLE_VALUE);
         },
         [&](const std::wstring&) { CloseHandle(held); }},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.what);
        const std::wstring edit = view->SetImage(source.c_str()).GetString();
        view->AddText(L"Kept");
        ASSERT_NE(ReadBytes(edit), original);
        failure.inject(edit);
        view->SaveImageData();
        failure.undo(edit);
        EXPECT_EQ(ReadBytes(source), original);
        EXPECT_FALSE(FileExists(temp));
    }

    // Saved: the picture file is the edit copy, with the text drawn in.
    const CString edit = view->SetImage(source.c_str());
    view->AddText(L"Kept");
    view->SaveImageData();
    EXPECT_EQ(ReadBytes(source), ReadBytes(edit.GetString()));
    EXPECT_NE(ReadBytes(source), original);
    EXPECT_FALSE(FileExists(temp));
    lcdtest::Png png;
    EXPECT_TRUE(lcdtest::ReadPng(source, png));
}

TEST_F(EditorTest, EditsOnAShrunkPictureLandWhereTheyWereDrawn)
{
    // 640 x 480 shown at half size in the 320 x 240 canvas; 960 x 480 at a
    // third, 40 pixels from the canvas's top.
    const struct
    {
        int w, h;
        double scale;  // picture pixels per canvas pixel
        int top;       // the picture's top in the canvas
    } cases[] = {{640, 480, 2.0, 0}, {960, 480, 3.0, 40}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.w);
        const std::wstring large = folder + L"large.png";
        ASSERT_TRUE(lcdtest::WriteSolidPng(large, c.w, c.h, 0xFF2040C0));
        ImageView shrunk(&owner, 377, CRect(10, 20, 330, 260), 1, 1);
        const CString edit = shrunk.SetImage(large.c_str());
        ASSERT_EQ(shrunk.GetPictureRect().top, c.top);
        // A text layer in the canvas's middle lands in the picture's middle,
        // in letters as large as on the canvas.
        shrunk.SetFontSize(20);
        shrunk.SetColorValue(RGB(255, 255, 255));
        shrunk.AddText(L"HH");
        lcdtest::Png png;
        ASSERT_TRUE(lcdtest::ReadPng(edit.GetString(), png));
        int left = c.w, top = c.h, right = -1, bottom = -1;
        for (int py = 0; py < c.h; ++py)
            for (int px = 0; px < c.w; ++px)
                if (png.Rgb(unsigned(px), unsigned(py)) == 0xFFFFFFu) {
                    left = std::min(left, px);
                    top = std::min(top, py);
                    right = std::max(right, px);
                    bottom = std::max(bottom, py);
                }
        ASSERT_GE(right, 0) << "the text is in the picture";
        // The layer starts at canvas (160, 120): picture (160, 120 - top) scaled.
        EXPECT_GE(left, int(160 * c.scale) - 2);
        EXPECT_LE(left, int(160 * c.scale + 12 * c.scale));
        EXPECT_GE(top, int((120 - c.top) * c.scale) - 2 - int(20 * c.scale));
        EXPECT_LE(bottom, int((120 - c.top) * c.scale + 40 * c.scale));
        EXPECT_GE(bottom - top, int(10 * c.scale)) << "letters grow with the picture";
        // A stroke 6 wide across the canvas at 40 below the picture's top.
        const int y = 20 + c.top + 40;
        shrunk.SetColorValue(RGB(0xEE, 0x6E, 0x01));  // no layer is selected
        shrunk.SetPenSize(6);
        shrunk.OnControlLButtonDown(MK_LBUTTON, CPoint(50, y));
        shrunk.OnControlMouseMove(MK_LBUTTON, CPoint(90, y));
        shrunk.OnControlMouseMove(MK_LBUTTON, CPoint(130, y));
        shrunk.OnControlLButtonUp(0, CPoint(130, y));
        ASSERT_TRUE(lcdtest::ReadPng(edit.GetString(), png));
        ASSERT_EQ(png.width, unsigned(c.w));
        auto at = [&](double x, double yy) {
            return png.Rgb(unsigned(x * c.scale + 0.5), unsigned(yy * c.scale + 0.5));
        };
        // Canvas point (80, 40) of the picture, in picture pixels.
        EXPECT_EQ(at(80 - 10, 40), 0xEE6E01u) << "on the stroke";
        EXPECT_EQ(at(120 - 10, 40), 0xEE6E01u);
        // The pen's width grows with the picture: 2 canvas pixels off the
        // stroke's middle is still on it.
        EXPECT_EQ(at(80 - 10, 40 + 2), 0xEE6E01u);
        EXPECT_EQ(at(80 - 10, 40 + 8), 0x2040C0u) << "beside the stroke";
        EXPECT_EQ(png.Rgb(unsigned(80 - 10), unsigned(40)), 0x2040C0u) << "not at canvas pixels";
    }
}

TEST_F(EditorTest, TheEraserPaintsTheScreenColourOverAStrokeInTheSavedPng)
{
    // The eraser takes its colour from the window, so the editor is shown in one.
    enginetest::HostWindow host;
    ASSERT_NE(host.Create(nullptr, L"editor", WS_POPUP | WS_VISIBLE, 0, CRect(60, 60, 460, 360)),
              nullptr);
    auto* editor = new ImageView(&host, 377, CRect(10, 20, 330, 260), 1, 1);
    editor->SetManager(&host.engine);
    {
        CAutoLock lock(host.engine.m_controlsLock);
        host.engine.m_controls.push_back(editor);
    }
    const CString edit = editor->SetImage(source.c_str());
    editor->SetPenSize(6);
    editor->OnControlLButtonDown(MK_LBUTTON, CPoint(50, 100));
    editor->OnControlMouseMove(MK_LBUTTON, CPoint(90, 100));
    editor->OnControlMouseMove(MK_LBUTTON, CPoint(130, 100));
    editor->OnControlLButtonUp(0, CPoint(130, 100));
    auto shown = [&](int x, int y) {
        HDC dc = GetDC(host.GetSafeHwnd());
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(host.GetSafeHwnd(), dc);
        return c;
    };
    ASSERT_TRUE(testutil::PumpUntil([&] {
        return shown(90, 100) == RGB(0xEE, 0x6E, 0x01) && shown(90, 150) == RGB(0x20, 0x40, 0xC0);
    }));

    // Pressed on the picture and drawn across the stroke.
    editor->SetEraserMode();
    editor->SetPenSize(12);
    editor->OnControlLButtonDown(MK_LBUTTON, CPoint(90, 150));
    editor->OnControlMouseMove(MK_LBUTTON, CPoint(90, 100));
    editor->OnControlMouseMove(MK_LBUTTON, CPoint(90, 60));
    editor->OnControlLButtonUp(0, CPoint(90, 60));
    WEXA::EDITLAYER_INFO layer;
    ASSERT_TRUE(editor->GetLayer(1, layer));
    EXPECT_EQ(layer.type, 3);
    EXPECT_EQ(layer.color, 0xFF2040C0u);

    lcdtest::Png png;
    ASSERT_TRUE(lcdtest::ReadPng(edit.GetString(), png));
    ASSERT_EQ(png.width, 320u);
    EXPECT_EQ(png.Rgb(90 - 10, 100 - 20), 0x2040C0u);  // erased where the lines cross
    EXPECT_EQ(png.Rgb(90 - 10, 60 - 20), 0x2040C0u);
    EXPECT_EQ(png.Rgb(60 - 10, 100 - 20), 0xEE6E01u);  // the stroke beside it stays
    EXPECT_EQ(png.Rgb(120 - 10, 100 - 20), 0xEE6E01u);
    EXPECT_EQ(png.Alpha(90 - 10, 100 - 20), 255);
    const size_t saves = std::count_if(host.events.begin(), host.events.end(),
                                       [](const probe::Event& e) { return e.code == 32; });
    EXPECT_EQ(saves, 2u);
    host.DestroyWindow();
}

TEST_F(EditorTest, PicturesAreFittedWithTheBoxOfEachCall)
{
    const struct
    {
        int w, h;
        CRect control;
        CRect expected;
    } cases[] = {
        {200, 100, CRect(0, 0, 320, 240), CRect(60, 70, 260, 170)},
        {800, 480, CRect(0, 0, 320, 240), CRect(0, 24, 320, 216)},
        {640, 200, CRect(0, 0, 320, 240), CRect(0, 70, 320, 170)},
        {280, 200, CRect(0, 0, 200, 100), CRect(30, 0, 170, 100)},  // ratio 2 here
        {320, 240, CRect(0, 0, 320, 240), CRect(0, 0, 320, 240)},
    };
    for (const auto& c : cases) {
        const std::wstring path = folder + L"fit.png";
        ASSERT_TRUE(lcdtest::WriteSolidPng(path, c.w, c.h, 0xFF00FF00));
        ImageView fit(&owner, 1, c.control, 1, 1);
        fit.SetImage(path.c_str());
        EXPECT_EQ(fit.GetPictureRect(), c.expected) << c.w << "x" << c.h;
    }
}

TEST_F(EditorTest, ImportedPicturesShrinkInPlaceAndSurviveAFailedWrite)
{
    const std::wstring small = folder + L"small.png", large = folder + L"large.png";
    ASSERT_TRUE(lcdtest::WriteSolidPng(small, 100, 50, 0xFF00FF00));
    ASSERT_TRUE(lcdtest::WriteSolidPng(large, 640, 480, 0xFFFF0000));
    const std::vector<unsigned char> smallBytes = ReadBytes(small);
    view->SaveCurrentImage(CString(small.c_str()));
    EXPECT_EQ(ReadBytes(small), smallBytes);

    // The new file cannot be written (its temporary name is taken by a folder):
    // the imported picture stays as it was.
    const std::vector<unsigned char> largeBytes = ReadBytes(large);
    const std::wstring blocker = large + L".tmp~";
    ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
    view->SaveCurrentImage(CString(large.c_str()));
    EXPECT_EQ(ReadBytes(large), largeBytes);
    RemoveDirectoryW(blocker.c_str());

    view->SaveCurrentImage(CString(large.c_str()));
    lcdtest::Png png;
    ASSERT_TRUE(lcdtest::ReadPng(large, png));
    EXPECT_EQ(png.width, 320u);
    EXPECT_EQ(png.height, 240u);
    EXPECT_EQ(png.Rgb(160, 120), 0xFF0000u);
    EXPECT_FALSE(FileExists(blocker));
    EXPECT_TRUE(owner.events.empty());
}

DWORD g_now = 0;
DWORD FakeClock()
{
    return g_now;
}

TEST_F(EditorTest, PreviewShowsEachFrameForItsDelayOnTheTick)
{
    const std::wstring a = folder + L"a.png", b = folder + L"b.png";
    ASSERT_TRUE(lcdtest::WriteSolidPng(a, 40, 30, 0xFFFF0000));
    ASSERT_TRUE(lcdtest::WriteSolidPng(b, 40, 30, 0xFF0000FF));
    view->SetTickClock(FakeClock);
    EXPECT_EQ(view->AddString(CString(a.c_str()), 50, 1), 1);
    view->AddString(CString(b.c_str()), 100, 2);
    EXPECT_EQ(view->GetItemCount(), 2);
    EXPECT_EQ(view->GetItemImageFile(1), CString(b.c_str()));
    EXPECT_EQ(view->GetItemImageFile(2), CString());
    g_now = 10000;
    view->SetImagePreviewMode(true);

    // Ticks every 16 ms from 16 ms after the switch: how long each frame stays.
    std::vector<DWORD> shown;
    DWORD since = g_now;
    int frame = 0;
    for (int i = 1; i <= 40 && shown.size() < 3; ++i) {
        g_now = 10000 + 16 * i;
        view->OnControlTimer();
        if (view->GetPreviewFrame() != frame) {
            shown.push_back(g_now - since);
            since = g_now;
            frame = view->GetPreviewFrame();
        }
    }
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], 64u);
    EXPECT_EQ(shown[1], 112u);
    EXPECT_EQ(frame, 1);

    // Refilled with fewer frames while previewing: the tick and a paint stay inside.
    view->DeleteAllItems();
    view->AddString(CString(a.c_str()), 50, 1);
    g_now += 1000;
    view->OnControlTimer();
    Paint();
    EXPECT_EQ(view->GetPreviewFrame(), 0);
    // The mouse does nothing in preview mode.
    EXPECT_EQ(view->OnControlLButtonDown(MK_LBUTTON, CPoint(50, 50)), 0);
    view->OnControlRButtonUp(0, CPoint(50, 50));
    EXPECT_EQ(Count(5), 0);
    view->SetImagePreviewMode(false);
    view->OnControlRButtonUp(0, CPoint(50, 50));
    view->OnControlRButtonUp(0, CPoint(5, 5));  // outside
    EXPECT_EQ(Count(5), 1);
}

}  // namespace
