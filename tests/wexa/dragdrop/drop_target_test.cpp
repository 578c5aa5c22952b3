// The window engine as OLE drop target and drag source, run headless in one
// process: the drop source is scripted (it moves the cursor and decides when
// to drop), the target is a real window registered by its engine.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <shlobj.h>
#include <string>
#include <vector>

#include "ControlRegistry.h"
#include "DibBuilders.h"
#include "DragDrop.h"
#include "MDialog.h"
#include "MControl.h"
#include "PaintManager.h"
#include "WindowTestHelpers.h"

using namespace WEXA;
using namespace dibtest;

namespace {

// ---- effect choice ----

// A bare drop target: the two engine hooks do nothing.
class BareTarget : public CIDropTarget
{
public:
    BareTarget() : CIDropTarget(nullptr) {}
    bool OnDrop(FORMATETC*, STGMEDIUM&, DWORD*) override
    {
        ++drops;
        return true;
    }
    void OnDragOver(POINTL) override { ++overs; }
    int drops = 0;
    int overs = 0;
};

// Data offering one bitmap.
CIDataObject* BitmapData()
{
    auto* data = new CIDataObject(nullptr);
    data->AddRef();
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 6, 4);
    ReleaseDC(nullptr, screen);
    FORMATETC f = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM m = {};
    m.tymed = TYMED_GDI;
    m.hBitmap = bmp;
    data->SetData(&f, &m, TRUE);
    return data;
}

struct EffectCase
{
    bool accepted;
    DWORD keys;
    DWORD allowed;
    DWORD effect;
};

class QueryDropTable : public ::testing::TestWithParam<EffectCase>
{};

TEST_P(QueryDropTable, ChoosesTheEffect)
{
    const EffectCase& c = GetParam();
    BareTarget target;
    target.AddRef();
    if (c.accepted) {
        FORMATETC f = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
        target.AddSuportedFormat(f);
    }
    CIDataObject* data = BitmapData();
    DWORD effect = c.allowed;
    ASSERT_EQ(target.DragEnter(data, c.keys, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, c.effect);
    effect = c.allowed;
    EXPECT_EQ(target.QueryDrop(c.keys, &effect), c.effect != DROPEFFECT_NONE);
    EXPECT_EQ(effect, c.effect);
    effect = c.allowed;
    target.DragOver(c.keys, POINTL{1, 1}, &effect);
    EXPECT_EQ(effect, c.effect);
    EXPECT_EQ(target.overs, 1);  // reported even when refused
    // A drop never tells the source what happened.
    effect = c.allowed;
    EXPECT_EQ(target.Drop(data, c.keys, POINTL{1, 1}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target.drops, c.effect != DROPEFFECT_NONE ? 1 : 0);
    data->Release();
}

const DWORD kCopyMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;
const DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

INSTANTIATE_TEST_SUITE_P(
    Table, QueryDropTable,
    ::testing::Values(EffectCase{false, 0, kAll, DROPEFFECT_NONE},
                      EffectCase{true, 0, kCopyMove, DROPEFFECT_COPY},  // copy preferred
                      EffectCase{true, 0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
                      EffectCase{true, 0, DROPEFFECT_LINK, DROPEFFECT_LINK},
                      EffectCase{true, 0, DROPEFFECT_NONE, DROPEFFECT_NONE},
                      EffectCase{true, MK_CONTROL, kCopyMove, DROPEFFECT_COPY},
                      EffectCase{true, MK_CONTROL, DROPEFFECT_MOVE,
                                 DROPEFFECT_NONE},  // Ctrl, move only
                      EffectCase{true, MK_SHIFT, kCopyMove, DROPEFFECT_MOVE},
                      EffectCase{true, MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
                      EffectCase{true, MK_CONTROL | MK_SHIFT, kAll, DROPEFFECT_LINK},
                      EffectCase{true, MK_CONTROL | MK_SHIFT, kCopyMove, DROPEFFECT_NONE},
                      EffectCase{true, MK_LBUTTON, kCopyMove, DROPEFFECT_COPY}));

TEST(DropTarget, FormatsAreTriedInOrderAndNullDataIsRefused)
{
    BareTarget target;
    target.AddRef();
    FORMATETC text = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    FORMATETC bitmap = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    target.AddSuportedFormat(text);
    target.AddSuportedFormat(bitmap);
    DWORD effect = kCopyMove;
    EXPECT_EQ(target.DragEnter(nullptr, 0, POINTL{0, 0}, &effect), E_INVALIDARG);
    EXPECT_EQ(target.Drop(nullptr, 0, POINTL{0, 0}, &effect), E_INVALIDARG);
    CIDataObject* data = BitmapData();
    EXPECT_EQ(target.DragEnter(data, 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(target.DragLeave(), S_OK);
    effect = kCopyMove;
    EXPECT_FALSE(target.QueryDrop(0, &effect));  // left: nothing allowed
    data->Release();
    void* p = nullptr;
    EXPECT_EQ(target.QueryInterface(IID_IDropTarget, &p), S_OK);
    EXPECT_EQ(target.Release(), 1u);
    EXPECT_EQ(target.QueryInterface(IID_IDataObject, &p), E_NOINTERFACE);
}

// ---- the engine's window ----

struct WindowLog
{
    std::vector<LPARAM> overs;  // WM_DRAG_OVER_NOTIFY lParams
    int drops = 0;              // WM_DROP_NOTIFY
    std::vector<LPARAM> buttonUps;
    std::vector<HBITMAP> images;  // STM_SETIMAGE
    HBITMAP current = nullptr;
    // Whether the window keeps the images it is given (as a static control
    // does) or leaves STM_SETIMAGE to DefWindowProc, as the library's windows do.
    bool takesImages = true;
};

WindowLog* g_log = nullptr;

LRESULT CALLBACK TargetProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (g_log) {
        switch (msg) {
            case WM_DRAG_OVER_NOTIFY:
                EXPECT_EQ(wp, 0u);
                g_log->overs.push_back(lp);
                return 0;
            case WM_DROP_NOTIFY:
                EXPECT_EQ(wp, 0u);
                EXPECT_EQ(lp, 0);
                ++g_log->drops;
                return 0;
            case WM_LBUTTONUP: g_log->buttonUps.push_back(lp); return 0;
            case STM_SETIMAGE: {
                EXPECT_EQ(wp, static_cast<WPARAM>(IMAGE_BITMAP));
                if (!g_log->takesImages) {
                    g_log->images.push_back(reinterpret_cast<HBITMAP>(lp));
                    break;
                }
                HBITMAP previous = g_log->current;
                g_log->current = reinterpret_cast<HBITMAP>(lp);
                g_log->images.push_back(g_log->current);
                return reinterpret_cast<LRESULT>(previous);
            }
            case STM_GETIMAGE:
                if (!g_log->takesImages) break;
                return reinterpret_cast<LRESULT>(g_log->current);
            default: break;
        }
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

// The engine with its IDropTarget calls counted.
class CountingEngine : public PaintManager
{
public:
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override
    {
        overPoints.push_back(point);
        return PaintManager::DragOver(keys, point, effect);
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                   DWORD* effect) override
    {
        ++dropCalls;
        return PaintManager::Drop(data, keys, point, effect);
    }
    std::vector<POINTL> overPoints;
    int dropCalls = 0;
};

// A drop source that walks the cursor along a path, then drops.
class ScriptedSource : public CIDropSource
{
public:
    explicit ScriptedSource(std::vector<POINT> path) : path_(std::move(path)) {}
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override
    {
        ++queries;
        if (escape) return DRAGDROP_S_CANCEL;
        if (step_ < path_.size()) {
            SetCursorPos(path_[step_].x, path_[step_].y);
            ++step_;
            return S_OK;
        }
        m_bDropped = 1;
        return DRAGDROP_S_DROP;
    }
    int queries = 0;

private:
    std::vector<POINT> path_;
    size_t step_ = 0;
};

class EngineTarget : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log = &log_;
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TargetProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"DropTargetTestWindow";
        RegisterClassW(&wc);
        wnd_ =
            CreateWindowExW(WS_EX_TOPMOST, L"DropTargetTestWindow", L"", WS_POPUP | WS_VISIBLE, 200,
                            150, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(wnd_, nullptr);
        testutil::PumpPending();
        engine_.Init(wnd_, nullptr);
    }
    void TearDown() override
    {
        engine_.DestroyData();
        if (wnd_) DestroyWindow(wnd_);
        testutil::PumpPending();
        for (HBITMAP b : log_.images)
            if (b) DeleteObject(b);
        g_log = nullptr;
    }

    // Runs a drag of `data` along `path` (screen points inside the window);
    // returns DoDragDrop's answer.
    HRESULT Drag(IDataObject* data, std::vector<POINT> path, DWORD* effect)
    {
        SetCursorPos(path.front().x, path.front().y);
        auto* source = new ScriptedSource(path);
        source->AddRef();
        *effect = 0xFFFF;
        HRESULT hr = DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
        queries_ = source->queries;
        source->Release();
        testutil::PumpPending();
        return hr;
    }

    WindowLog log_;
    HWND wnd_ = nullptr;
    CountingEngine engine_;
    int queries_ = 0;
};

std::vector<POINT> PathInWindow()
{
    return {{260, 200}, {270, 210}, {280, 215}, {300, 230}, {320, 240}};
}

TEST_F(EngineTarget, RegistersAndRevokesWithItsWindowData)
{
    // OLE holds references to the engine while the window is registered.
    const ULONG registered = engine_.AddRef();
    engine_.Release();
    EXPECT_GE(registered, 2u);
    EXPECT_EQ(RegisterDragDrop(wnd_, &engine_), DRAGDROP_E_ALREADYREGISTERED);

    engine_.DestroyData();
    EXPECT_EQ(RevokeDragDrop(wnd_), DRAGDROP_E_NOTREGISTERED);
    EXPECT_EQ(engine_.AddRef(), 1u);  // every OLE reference given back
    // Dropping the last reference leaves the engine alone: it belongs to its window object.
    EXPECT_EQ(engine_.Release(), 0u);
    EXPECT_EQ(engine_.Release(), 0u);
    EXPECT_TRUE(PaintManager::IsLiveManager(&engine_));

    // The window can be bound again, with the same four formats.
    engine_.Init(wnd_, nullptr);
    EXPECT_EQ(RegisterDragDrop(wnd_, &engine_), DRAGDROP_E_ALREADYREGISTERED);
}

TEST_F(EngineTarget, DroppedDibIsShownAndEveryStepIsReported)
{
    HGLOBAL dib = ToGlobal(InfoDib(7, 5, 24));
    auto* data = new CIDataObject(nullptr);
    data->AddRef();
    FORMATETC f = {CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m = {};
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = dib;
    data->SetData(&f, &m, TRUE);

    const ULONG targetRefs = engine_.AddRef();
    engine_.Release();
    DWORD effect = 0;
    EXPECT_EQ(Drag(data, PathInWindow(), &effect), DRAGDROP_S_DROP);
    // Every reference taken during the drag was given back.
    EXPECT_EQ(engine_.AddRef(), targetRefs);
    engine_.Release();
    EXPECT_EQ(data->AddRef(), 2u);
    data->Release();
    EXPECT_EQ(data->Release(), 0u);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));  // the source never learns more

    // One WM_DRAG_OVER_NOTIFY per DragOver, carrying its screen point.
    ASSERT_FALSE(engine_.overPoints.empty());
    ASSERT_EQ(log_.overs.size(), engine_.overPoints.size());
    for (size_t i = 0; i < log_.overs.size(); ++i) {
        EXPECT_EQ(static_cast<short>(LOWORD(log_.overs[i])), engine_.overPoints[i].x);
        EXPECT_EQ(static_cast<short>(HIWORD(log_.overs[i])), engine_.overPoints[i].y);
    }
    EXPECT_EQ(engine_.overPoints.back().x, 300);  // the points walked by the script
    EXPECT_EQ(engine_.overPoints.back().y, 230);

    EXPECT_EQ(engine_.dropCalls, 1);
    EXPECT_EQ(log_.drops, 1);
    ASSERT_EQ(log_.buttonUps.size(), 1u);  // the release the OLE drag swallowed
    EXPECT_EQ(static_cast<short>(LOWORD(log_.buttonUps[0])), 320 - 200);
    EXPECT_EQ(static_cast<short>(HIWORD(log_.buttonUps[0])), 240 - 150);
    ASSERT_EQ(log_.images.size(), 1u);
    BITMAP b = {};
    ASSERT_TRUE(GetObjectW(log_.images[0], sizeof(b), &b));
    EXPECT_EQ(b.bmWidth, 7);
    EXPECT_EQ(b.bmHeight, 5);
}

TEST_F(EngineTarget, MalformedDibsAreRefusedAtTheDrop)
{
    std::vector<std::vector<BYTE>> hostile;
    auto truncated = InfoDib(64, 64, 24);
    truncated.resize(truncated.size() / 2);
    hostile.push_back(truncated);
    auto huge = InfoDib(4, 4, 24);
    Patch(huge, 4, 0x7FFFFFFF);
    Patch(huge, 8, 0x7FFFFFFF);
    hostile.push_back(huge);
    auto negative = InfoDib(4, 4, 8);
    Patch(negative, 32, -1);  // colour count
    hostile.push_back(negative);
    auto header = InfoDib(4, 4, 24);
    Patch(header, 0, 0x10000);  // header larger than the block
    hostile.push_back(header);
    hostile.push_back(std::vector<BYTE>(2, 0));

    int run = 0;
    for (const auto& bytes : hostile) {
        auto* data = new CIDataObject(nullptr);
        data->AddRef();
        FORMATETC f = {CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM m = {};
        m.tymed = TYMED_HGLOBAL;
        m.hGlobal = ToGlobal(bytes);
        data->SetData(&f, &m, TRUE);
        DWORD effect = 0;
        EXPECT_EQ(Drag(data, {{260, 200}, {270, 210}}, &effect), DRAGDROP_S_DROP) << run;
        data->Release();
        ++run;
        EXPECT_EQ(log_.drops, run);        // the drop is reported ...
        EXPECT_TRUE(log_.images.empty());  // ... but shows nothing
    }
}

TEST_F(EngineTarget, UnacceptedDataIsReportedWhileOverButNeverDropped)
{
    auto* data = new CIDataObject(nullptr);
    data->AddRef();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 4);
    FORMATETC f = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m = {};
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = text;
    data->SetData(&f, &m, TRUE);
    DWORD effect = 0;
    HRESULT hr = Drag(data, PathInWindow(), &effect);
    data->Release();
    EXPECT_TRUE(hr == DRAGDROP_S_DROP || hr == DRAGDROP_S_CANCEL) << std::hex << hr;
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_FALSE(engine_.overPoints.empty());
    EXPECT_EQ(log_.overs.size(), engine_.overPoints.size());
    EXPECT_EQ(log_.drops, 0);
    EXPECT_TRUE(log_.buttonUps.empty());
}

TEST_F(EngineTarget, DroppedBitmapStaysWithTheWindow)
{
    CIDataObject* data = BitmapData();
    DWORD effect = 0;
    EXPECT_EQ(Drag(data, {{260, 200}}, &effect), DRAGDROP_S_DROP);
    data->Release();
    ASSERT_EQ(log_.images.size(), 1u);
    BITMAP b = {};
    ASSERT_TRUE(GetObjectW(log_.images[0], sizeof(b), &b));  // not released by the drop
    EXPECT_EQ(b.bmWidth, 6);
}

// A window that does not take the picture (it leaves STM_SETIMAGE to
// DefWindowProc) still gets the message; the picture is deleted, whichever
// format brought it.
TEST_F(EngineTarget, PictureTheWindowDoesNotTakeIsDeleted)
{
    log_.takesImages = false;
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"wexa_untaken_drop.bmp";
    testutil::PixelBuffer pixels;
    pixels.width = pixels.height = 2;
    pixels.pixels.assign(4, 0xFF0000FF);
    ASSERT_TRUE(testutil::SaveBmp(pixels, path.c_str()));

    struct Case
    {
        const char* name;
        std::function<STGMEDIUM(FORMATETC&)> make;
    };
    const Case cases[] = {
        {"bitmap",
         [](FORMATETC& f) {
             f = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
             STGMEDIUM m = {};
             m.tymed = TYMED_GDI;
             HDC screen = GetDC(nullptr);
             m.hBitmap = CreateCompatibleBitmap(screen, 5, 3);
             ReleaseDC(nullptr, screen);
             return m;
         }},
        {"packed DIB",
         [](FORMATETC& f) {
             f = {CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
             STGMEDIUM m = {};
             m.tymed = TYMED_HGLOBAL;
             m.hGlobal = ToGlobal(InfoDib(7, 5, 24));
             return m;
         }},
        {"metafile",
         [](FORMATETC& f) {
             f = {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
             HDC rec = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
             Rectangle(rec, 0, 0, 30, 12);
             STGMEDIUM m = {};
             m.tymed = TYMED_ENHMF;
             m.hEnhMetaFile = CloseEnhMetaFile(rec);
             return m;
         }},
        {"bitmap file",
         [&path](FORMATETC& f) {
             f = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
             std::vector<BYTE> bytes(sizeof(DROPFILES));
             DROPFILES df = {};
             df.pFiles = sizeof(DROPFILES);
             df.fWide = TRUE;
             memcpy(bytes.data(), &df, sizeof(df));
             std::wstring list = path + L'\0';
             const BYTE* raw = reinterpret_cast<const BYTE*>(list.c_str());
             bytes.insert(bytes.end(), raw, raw + (list.size() + 1) * sizeof(wchar_t));
             STGMEDIUM m = {};
             m.tymed = TYMED_HGLOBAL;
             m.hGlobal = ToGlobal(bytes);
             return m;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log_.images.clear();
        FORMATETC f;
        STGMEDIUM m = c.make(f);
        DWORD effect = DROPEFFECT_COPY;
        if (engine_.OnDrop(&f, m, &effect)) ReleaseStgMedium(&m);
        ASSERT_EQ(log_.images.size(), 1u);  // the message was sent
        EXPECT_EQ(GetObjectType(log_.images[0]), 0u) << "the picture nobody took still exists";
    }
    DeleteFileW(path.c_str());
}

// Counts the references a medium's release object is given.
class ReleaseObject : public IUnknown
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (IsEqualIID(riid, IID_IUnknown)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    ULONG refs = 1;
};

TEST_F(EngineTarget, BitmapKeptByItsSourceIsCopiedAndItsMediumReleased)
{
    HDC screen = GetDC(nullptr);
    HBITMAP kept = CreateCompatibleBitmap(screen, 5, 3);
    ReleaseDC(nullptr, screen);
    ReleaseObject owner;
    FORMATETC f = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM m = {};
    m.tymed = TYMED_GDI;
    m.hBitmap = kept;
    m.pUnkForRelease = &owner;
    owner.AddRef();  // the medium's reference
    DWORD effect = DROPEFFECT_COPY;
    if (!engine_.OnDrop(&f, m, &effect))
        ADD_FAILURE() << "the medium must be released";
    else
        ReleaseStgMedium(&m);
    EXPECT_EQ(owner.refs, 1u);  // the medium's reference given back
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BITMAP));  // still the source's
    ASSERT_EQ(log_.images.size(), 1u);
    EXPECT_NE(log_.images[0], kept);  // the window has its own copy
    BITMAP b = {};
    ASSERT_TRUE(GetObjectW(log_.images[0], sizeof(b), &b));
    EXPECT_EQ(b.bmWidth, 5);
    EXPECT_EQ(b.bmHeight, 3);
    DeleteObject(kept);
}

TEST_F(EngineTarget, DroppedFilesAndMetafilesAreShown)
{
    // A bitmap file named first in a file list.
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + L"wexa_drop_test.bmp";
    testutil::PixelBuffer pixels;
    pixels.width = 9;
    pixels.height = 3;
    pixels.pixels.assign(27, 0xFF00FF00);
    ASSERT_TRUE(testutil::SaveBmp(pixels, path.c_str()));

    std::vector<BYTE> bytes(sizeof(DROPFILES));
    DROPFILES df = {};
    df.pFiles = sizeof(DROPFILES);
    df.fWide = TRUE;
    memcpy(bytes.data(), &df, sizeof(df));
    std::wstring list = path + L'\0' + L"C:\\other.bmp" + L'\0';
    const BYTE* raw = reinterpret_cast<const BYTE*>(list.c_str());
    bytes.insert(bytes.end(), raw, raw + (list.size() + 1) * sizeof(wchar_t));

    FORMATETC files = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m = {};
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = ToGlobal(bytes);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_TRUE(engine_.OnDrop(&files, m, &effect));
    ReleaseStgMedium(&m);
    ASSERT_EQ(log_.images.size(), 1u);
    BITMAP b = {};
    ASSERT_TRUE(GetObjectW(log_.images[0], sizeof(b), &b));
    EXPECT_EQ(b.bmWidth, 9);
    EXPECT_EQ(b.bmHeight, 3);
    DeleteFileW(path.c_str());

    // A list that runs off its block is not read.
    bytes.resize(bytes.size() - 4);
    m.hGlobal = ToGlobal(bytes);
    m.tymed = TYMED_HGLOBAL;
    EXPECT_TRUE(engine_.OnDrop(&files, m, &effect));
    ReleaseStgMedium(&m);
    EXPECT_EQ(log_.images.size(), 1u);

    // A metafile becomes a bitmap as large as its bounds' right and bottom.
    HDC rec = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    Rectangle(rec, 0, 0, 30, 12);
    HENHMETAFILE emf = CloseEnhMetaFile(rec);
    ENHMETAHEADER header = {};
    GetEnhMetaFileHeader(emf, sizeof(header), &header);
    FORMATETC meta = {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    STGMEDIUM mm = {};
    mm.tymed = TYMED_ENHMF;
    mm.hEnhMetaFile = emf;
    EXPECT_TRUE(engine_.OnDrop(&meta, mm, &effect));
    ReleaseStgMedium(&mm);
    ASSERT_EQ(log_.images.size(), 2u);
    ASSERT_TRUE(GetObjectW(log_.images[1], sizeof(b), &b));
    EXPECT_EQ(b.bmWidth, header.rclBounds.right);
    EXPECT_EQ(b.bmHeight, header.rclBounds.bottom);
    testutil::PumpPending();
    EXPECT_EQ(log_.drops, 3);
}

// Data that offers nothing and records which formats it was asked for.
class AskedData : public IDataObject
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        asked.push_back(*format);
        return format->cfFormat == answers ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

    ULONG refs = 1;
    CLIPFORMAT answers = 0;
    std::vector<FORMATETC> asked;
};

TEST_F(EngineTarget, AcceptsFourPictureFormatsInTheirOrder)
{
    // Offering none of them: each of the four is asked for once, in order.
    AskedData none;
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(engine_.DragEnter(&none, 0, POINTL{250, 200}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    struct Expected
    {
        CLIPFORMAT format;
        DWORD tymed;
    };
    const Expected order[] = {{CF_BITMAP, TYMED_GDI},
                              {CF_DIB, TYMED_HGLOBAL},
                              {CF_HDROP, TYMED_HGLOBAL},
                              {CF_ENHMETAFILE, TYMED_ENHMF}};
    ASSERT_EQ(none.asked.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(none.asked[i].cfFormat, order[i].format) << i;
        EXPECT_EQ(none.asked[i].tymed, order[i].tymed) << i;
        EXPECT_EQ(none.asked[i].dwAspect, static_cast<DWORD>(DVASPECT_CONTENT)) << i;
        EXPECT_EQ(none.asked[i].lindex, -1) << i;
        EXPECT_EQ(none.asked[i].ptd, nullptr) << i;
    }
    engine_.DragLeave();

    // The first format offered ends the search.
    AskedData dib;
    dib.answers = CF_DIB;
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(engine_.DragEnter(&dib, 0, POINTL{250, 200}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_EQ(dib.asked.size(), 2u);
    EXPECT_EQ(dib.asked[1].cfFormat, CF_DIB);
    engine_.DragLeave();

    // Another format (text) is refused.
    AskedData text;
    text.answers = CF_UNICODETEXT;
    effect = DROPEFFECT_COPY;
    engine_.DragEnter(&text, 0, POINTL{250, 200}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    engine_.DragLeave();
    EXPECT_EQ(none.refs, 1u);
    EXPECT_EQ(dib.refs, 1u);
}

// ---- the engine as drag source ----

class DragTile : public MControl
{
public:
    DragTile(MObject* owner, UINT id, CRect rect) : MControl(owner, id, rect, 1, 1, 1)
    {
        SetDragDrop(1);
    }
    void DrawControl(HDC&, CRect) override {}
    HBITMAP GetControlDropBitmap() override
    {
        HDC screen = GetDC(nullptr);
        HBITMAP bmp = CreateCompatibleBitmap(screen, 24, 16);
        ReleaseDC(nullptr, screen);
        return bmp;
    }
    int OnControlLButtonDown(UINT, CPoint) override { return 1; }
};

MControl* MakeTile(const ControlArgs& a)
{
    return new DragTile(a.owner, a.id, a.rect);
}

TEST_F(EngineTarget, PressedDraggableControlIsDraggedOutAsAPicture)
{
    ControlCreator previous = RegisterControlClass(L"CArea", MakeTile);
    MControl* tile =
        engine_.CreateControl(nullptr, L"CArea", 40, CRect(20, 20, 120, 80), L"", 1, 1);
    ASSERT_NE(tile, nullptr);

    // Pointer onto the tile, press, then move. The real buttons are up, so
    // once the drag runs the drop source drops at once, here.
    SetCursorPos(200 + 50, 150 + 50);
    engine_.OnMouseMove(0, CPoint(50, 50));
    ASSERT_EQ(engine_.GetHoverControl(), tile);
    engine_.OnLButtonDown(MK_LBUTTON, CPoint(50, 50));
    EXPECT_EQ(engine_.m_bDragPending, 1);
    ASSERT_NE(engine_.m_hDragBitmap, nullptr);
    // The last drag point is where the previous move was, not the press: a
    // long move only brings it up to date ...
    engine_.OnMouseMove(MK_LBUTTON, CPoint(51, 51));
    EXPECT_EQ(engine_.m_bDragPending, 1);
    EXPECT_EQ(engine_.dropCalls, 0);
    // ... and a short one from there starts the drag.
    EXPECT_EQ(engine_.OnMouseMove(MK_LBUTTON, CPoint(52, 52)), 1);
    testutil::PumpPending();

    EXPECT_EQ(engine_.m_bDragPending, 0);
    EXPECT_EQ(engine_.m_bPressed, 0);
    EXPECT_EQ(engine_.dropCalls, 1);
    EXPECT_EQ(log_.drops, 1);
    // The first format the window takes is the bitmap, a copy of the tile's picture.
    ASSERT_EQ(log_.images.size(), 1u);
    BITMAP b = {};
    ASSERT_TRUE(GetObjectW(log_.images[0], sizeof(b), &b));
    EXPECT_EQ(b.bmWidth, 24);
    EXPECT_EQ(b.bmHeight, 16);
    // The pointer is free again.
    RECT clip = {};
    GetClipCursor(&clip);
    EXPECT_EQ(clip.right - clip.left, GetSystemMetrics(SM_CXSCREEN));
    RegisterControlClass(L"CArea", previous);
}

// ---- a dialog's window ----

TEST(DialogTarget, WindowIsRegisteredWhileItLivesAndRevokedWhenDestroyed)
{
    {
        MDialog dlg;
        HWND wnd = dlg.Create(nullptr, L"drop", WS_POPUP, 0, CRect(0, 0, 100, 80));
        ASSERT_NE(wnd, nullptr);
        PaintManager* engine = dlg.GetPaintManager();
        EXPECT_EQ(RegisterDragDrop(wnd, engine), DRAGDROP_E_ALREADYREGISTERED);
        const ULONG registered = engine->AddRef();
        engine->Release();
        EXPECT_GE(registered, 2u);

        DestroyWindow(wnd);
        testutil::PumpPending();
        // OLE gave its references back; the engine goes with the dialog object.
        EXPECT_EQ(engine->AddRef(), 1u);
        EXPECT_EQ(engine->Release(), 0u);
        EXPECT_TRUE(PaintManager::IsLiveManager(engine));
    }
}

}  // namespace
