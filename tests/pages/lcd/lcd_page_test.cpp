// The LCD page driven as a user drives it, checked against the database and
// the files on disk: the first load with the default layer made from the
// stock animation, new layers filled with pictures, frame edits, copies,
// deletions and delays, saving and loading again. Every case runs under a
// data folder with a plain name and under one with non-ASCII characters.
#include <algorithm>

#include "CCheckButton.h"
#include "CColorButton.h"
#include "ImageView.h"
#include "ImageViewList.h"
#include "LCDViewCtrl.h"
#include "LCDViewList.h"
#include "LcdFixture.h"
#include "MEdit.h"
#include "pages/LcdNames.h"
#include "dialogs/LCDDelayEditDlg.h"
#include "services/AppEnvironment.h"

namespace lcdtest {
namespace {

const COLORREF kColours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF,
                             0xFFFF00, 0x808080, 0x004080, 0x800040};

std::wstring StockGif()
{
    return GetExeFolder() + L"gif\\Kestrova-K75-LCD\\0.gif";
}

bool IsStamp(const CString& text)
{
    const std::wstring s = static_cast<const wchar_t*>(text);
    return s.size() == 17 && std::all_of(s.begin(), s.end(), iswdigit);
}

class LcdPage : public LcdPageTest
{
protected:
    WEXA::LCDViewList* LayerList() { return Dlg().CtlAs<WEXA::LCDViewList>(368); }
    WEXA::ImageViewList* Strip() { return Dlg().CtlAs<WEXA::ImageViewList>(381); }
    WEXA::ImageView* Canvas() { return Dlg().CtlAs<WEXA::ImageView>(377); }

    // A click on the layer list's row.
    void ChooseLayer(int row)
    {
        LayerList()->SetCurSel(row);
        h.SendControlEvent(368, 2, row);
    }
    void ChooseFrame(int row)
    {
        Strip()->SetCurSel(row);
        h.SendControlEvent(381, 2, row);
    }
    // New layer, chosen, filled with solid pictures of the colours given.
    int NewLayerWithPictures(std::initializer_list<COLORREF> colours)
    {
        EXPECT_EQ(h.SendControlEvent(369, 2), 1);
        const int ledId = Dlg().m_lcdCurrentLedId;
        chosenPictures.clear();
        int n = 0;
        for (COLORREF colour : colours)
            chosenPictures.push_back(SourcePicture(
                L"p" + std::to_wstring(ledId) + L"_" + std::to_wstring(n++) + L".png", colour));
        ChooseLayer(LayerList()->GetItemCount() - 1);
        return ledId;
    }
    // The middle colours of the strip's frames, in strip order.
    std::vector<COLORREF> StripColours()
    {
        std::vector<COLORREF> out;
        for (const WEXA::IMGITEM_INFO* row : Strip()->GetImageViewItems())
            out.push_back(MiddleColour(static_cast<const wchar_t*>(row->strEditImagePath)));
        return out;
    }
    // The middle colours of the stored frames, in frame_index order.
    std::vector<COLORREF> StoredColours(int ledId)
    {
        LedLayerData layer;
        EXPECT_TRUE(Db().GetLedLayer(ledId, layer));
        std::vector<COLORREF> out;
        for (const LedFrameData& frame : Frames(ledId))
            out.push_back(MiddleColour(ModelFolder() + (const wchar_t*)layer.file_dir + L"\\" +
                                       (const wchar_t*)frame.file_name));
        return out;
    }
    // Answers the delay dialog once it is up: picks the radio, types the value, OK.
    void AnswerDelayDialog(bool allFrames, const wchar_t* value, std::wstring* shownValue = nullptr)
    {
        delayTick_.reset(new EveryTick([=] {
            HWND window = FindWindowW(nullptr, kDelayDialogWindowName);
            auto* dialog = dynamic_cast<LCDDelayEditDlg*>(DialogOf(window));
            if (!dialog || !IsWindowVisible(window)) return false;
            if (shownValue)
                *shownValue = static_cast<const wchar_t*>(dialog->m_thisFrameField->GetEditText());
            if (allFrames) {
                dialog->m_allFramesRadio->SetCheck(1);
                dialog->OnMessage(34, 2, 0, 0);
                dialog->m_allFramesField->SetEditText(value);
            } else {
                dialog->m_thisFrameField->SetEditText(value);
            }
            dialog->OnMessage(39, 2, 0, 0);
            return true;
        }));
    }
    std::unique_ptr<EveryTick> delayTick_;
};

TEST_P(LcdPage, FirstLoadMakesTheDefaultLayerOnceFromTheStockAnimation)
{
    const int n = GifFrameCount(StockGif());
    ASSERT_GT(n, 0) << "the stock animation is missing beside the program";
    LoadProfiles();

    const std::vector<LedLayerData> layers = Layers();
    ASSERT_EQ(layers.size(), 2u);
    const LedLayerData& layer = layers[0];
    EXPECT_TRUE(IsStamp(layer.file_dir)) << static_cast<const wchar_t*>(layer.file_dir);
    EXPECT_EQ(layer.name, layer.file_dir);
    EXPECT_EQ(layer.first_file, CString(L"0.png"));
    EXPECT_EQ(layer.frame_size, n);
    EXPECT_EQ(layer.type, kLcdDefaultLayerType);

    const std::wstring folder = ModelFolder() + (const wchar_t*)layer.file_dir + L"\\";
    const auto files = FilesBelow(folder);
    EXPECT_EQ(files.size(), size_t(n));
    const std::vector<LedFrameData> frames = Frames(layer.led_id);
    ASSERT_EQ(frames.size(), size_t(n));
    for (int i = 0; i < n; ++i) {
        const std::wstring name = std::to_wstring(i) + L".png";
        EXPECT_EQ(frames[i].frame_index, i);
        EXPECT_EQ(std::wstring(frames[i].name), name);
        EXPECT_EQ(std::wstring(frames[i].file_name), name);
        EXPECT_GE(frames[i].delay_time, 10);
        EXPECT_TRUE(files.count(name)) << name;
    }
    const std::wstring screen = Data() + L"default_led\\" + modelName + L"\\0.png";
    ASSERT_TRUE(Exists(screen));
    EXPECT_EQ(FilesBelow(Data() + L"default_led\\" + modelName + L"\\").at(L"0.png"),
              files.at(L"0.png"));
    std::vector<TftScreenData*> screens;
    ASSERT_EQ(Db().GetTftScreens(1, screens), 1);
    EXPECT_EQ(std::wstring(screens[0]->file_name), screen);
    EXPECT_EQ(screens[0]->frame_size, n);
    FreeRecordList(screens);

    // The default layer is not listed; the screen's animation is, as a
    // layer of the user's own with copies of the frames, chosen and open.
    const LedLayerData& own = layers[1];
    EXPECT_NE(own.type, kLcdDefaultLayerType);
    EXPECT_TRUE(IsStamp(own.file_dir));
    EXPECT_NE(own.file_dir, layer.file_dir);
    EXPECT_EQ(own.first_file, CString(L"0.png"));
    EXPECT_EQ(own.frame_size, n);
    EXPECT_EQ(FilesBelow(ModelFolder() + (const wchar_t*)own.file_dir + L"\\"), files);
    const std::vector<LedFrameData> ownFrames = Frames(own.led_id);
    ASSERT_EQ(ownFrames.size(), size_t(n));
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(ownFrames[i].file_name, frames[i].file_name);
        EXPECT_EQ(ownFrames[i].delay_time, frames[i].delay_time);
        EXPECT_EQ(ownFrames[i].frame_index, i);
    }
    ASSERT_EQ(LayerList()->GetItemCount(), 1);
    EXPECT_EQ(LayerList()->GetCurSel(), 0);
    EXPECT_EQ(Dlg().m_lcdCurrentLedId, own.led_id);
    EXPECT_EQ(Strip()->GetItemCount(), n);
    EXPECT_TRUE(Canvas()->HasPicture());
    EXPECT_TRUE(Canvas()->IsEnabled());
    auto* slots = Dlg().CtlAs<WEXA::LCDViewCtrl>(366);
    EXPECT_EQ(slots->GetItemCount(), 1);
    EXPECT_EQ(slots->GetCurSel(), 0);
    EXPECT_EQ(Dlg().m_lcdCurrentLimit, 0);

    // A second load adds nothing.
    const auto before = FilesBelow(Data());
    LoadProfiles();
    EXPECT_EQ(Layers().size(), 2u);
    EXPECT_EQ(Frames(layer.led_id).size(), size_t(n));
    EXPECT_EQ(Db().GetTftScreens(1, screens), 1);
    FreeRecordList(screens);
    auto after = FilesBelow(Data());
    for (const auto& file : before)
        if (file.first.rfind(L"db\\", 0) != 0) {
            EXPECT_TRUE(after.count(file.first)) << file.first;
        }
    size_t lcdFiles = 0;
    for (const auto& file : after)
        if (file.first.rfind(L"led\\", 0) == 0 || file.first.rfind(L"default_led\\", 0) == 0)
            ++lcdFiles;
    EXPECT_EQ(lcdFiles, 2 * size_t(n) + 1);
}

TEST_P(LcdPage, EditedFramesSaveToTheirLayerAloneAndLoadAgain)
{
    LoadProfiles();
    // Another model's drawing and the default layer must not change.
    CreateDirectoryTree(Data() + L"led\\Other-Model\\20240101000000000\\");
    WriteSolidPng(Data() + L"led\\Other-Model\\20240101000000000\\0.png", 8, 8, 0x123456);
    const auto untouched = [&] {
        auto files = FilesBelow(Data() + L"led\\");
        auto screens = FilesBelow(Data() + L"default_led\\");
        files.insert(screens.begin(), screens.end());
        return files;
    };
    const auto before = untouched();

    const int ledId =
        NewLayerWithPictures({kColours[0], kColours[1], kColours[2], kColours[3], kColours[4]});
    EXPECT_EQ(dialogKinds, std::vector<int>{0});
    ASSERT_EQ(Strip()->GetItemCount(), 5);
    EXPECT_EQ(Dlg().m_lcdDirty, 1);
    EXPECT_TRUE(Canvas()->HasPicture());

    // Three more pictures after frame 2: they stand in reverse order.
    ChooseFrame(2);
    chosenPictures = {SourcePicture(L"a.png", kColours[5]), SourcePicture(L"b.png", kColours[6]),
                      SourcePicture(L"c.png", kColours[7])};
    h.SendControlEvent(389, 2);
    EXPECT_EQ(StripColours(),
              (std::vector<COLORREF>{kColours[0], kColours[1], kColours[2], kColours[7],
                                     kColours[6], kColours[5], kColours[3], kColours[4]}));
    for (const WEXA::IMGITEM_INFO* row : Strip()->GetImageViewItems()) EXPECT_EQ(row->nDelay, 50);

    // Copy frame 1: the copy follows it, selected, with the same delay.
    ChooseFrame(1);
    EXPECT_EQ(h.SendControlEvent(390, 2), 1);
    ASSERT_EQ(Strip()->GetItemCount(), 9);
    EXPECT_EQ(Strip()->GetCurSel(), 2);
    EXPECT_EQ(Strip()->GetItemDelayTime(2), 50);
    EXPECT_EQ(MiddleColour(static_cast<const wchar_t*>(Strip()->GetItemImageFile(2))), kColours[1]);
    EXPECT_TRUE(IsStamp(Strip()->GetFrameItemName(2).Left(17)));

    // Delete the last frame: the first is selected.
    ChooseFrame(8);
    answers = {1};
    EXPECT_EQ(h.SendControlEvent(393, 2), 1);
    EXPECT_EQ(Strip()->GetItemCount(), 8);
    EXPECT_EQ(Strip()->GetCurSel(), 0);

    // Delays: this frame 900 gives 500, 5 gives 30; all frames 120.
    ChooseFrame(0);
    std::wstring shown;
    AnswerDelayDialog(false, L"900", &shown);
    h.SendControlEvent(381, 9, 0);
    EXPECT_EQ(shown, L"50");
    EXPECT_EQ(Strip()->GetItemDelayTime(0), 500);
    AnswerDelayDialog(false, L"5");
    h.SendControlEvent(381, 9, 0);
    EXPECT_EQ(Strip()->GetItemDelayTime(0), 30);
    AnswerDelayDialog(true, L"120");
    h.SendControlEvent(381, 9, 0);
    for (const WEXA::IMGITEM_INFO* row : Strip()->GetImageViewItems()) EXPECT_EQ(row->nDelay, 120);

    const std::vector<COLORREF> expected = {kColours[0], kColours[1], kColours[1], kColours[2],
                                            kColours[7], kColours[6], kColours[5], kColours[3]};
    EXPECT_EQ(StripColours(), expected);
    EXPECT_EQ(h.SendControlEvent(411, 2), 1);
    EXPECT_EQ(Dlg().m_lcdDirty, 0);

    const std::vector<LedFrameData> frames = Frames(ledId);
    ASSERT_EQ(frames.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(frames[i].frame_index, i);
        EXPECT_EQ(frames[i].delay_time, 120);
        EXPECT_EQ(frames[i].name, frames[i].file_name);
    }
    EXPECT_EQ(StoredColours(ledId), expected);
    LedLayerData layer;
    ASSERT_TRUE(Db().GetLedLayer(ledId, layer));
    EXPECT_EQ(layer.frame_size, 8);
    EXPECT_EQ(layer.first_file, frames[0].file_name);
    EXPECT_EQ(LayerList()->GetItemFrameSize(1), 8);

    // Load again: the page shows what was saved (below the screen's animation).
    LoadProfiles();
    ASSERT_EQ(LayerList()->GetItemCount(), 2);
    ChooseLayer(1);
    EXPECT_EQ(Dlg().m_lcdCurrentLedId, ledId);
    EXPECT_EQ(StripColours(), expected);
    for (const WEXA::IMGITEM_INFO* row : Strip()->GetImageViewItems()) EXPECT_EQ(row->nDelay, 120);

    // Nothing outside the layer's own folder changed.
    const auto after = untouched();
    for (const auto& file : before) {
        auto found = after.find(file.first);
        ASSERT_TRUE(found != after.end()) << file.first;
        EXPECT_TRUE(found->second == file.second) << file.first;
    }
}

TEST_P(LcdPage, SavingWritesTheLayerTheStripHoldsNotTheSelectedRow)
{
    LoadProfiles();
    const int first = NewLayerWithPictures({kColours[0], kColours[1]});
    EXPECT_EQ(h.SendControlEvent(411, 2), 1);
    // A new layer: it becomes current while the list keeps the first one's row selected.
    EXPECT_EQ(h.SendControlEvent(369, 2), 1);
    const int second = Dlg().m_lcdCurrentLedId;
    ASSERT_NE(second, first);
    EXPECT_EQ(LayerList()->GetCurSel(), 1);
    chosenPictures = {SourcePicture(L"s0.png", kColours[4]), SourcePicture(L"s1.png", kColours[5]),
                      SourcePicture(L"s2.png", kColours[6])};
    h.SendControlEvent(389, 2);
    EXPECT_EQ(Strip()->GetItemCount(), 3);
    EXPECT_EQ(h.SendControlEvent(411, 2), 1);

    EXPECT_EQ(StoredColours(first), (std::vector<COLORREF>{kColours[0], kColours[1]}));
    EXPECT_EQ(StoredColours(second),
              (std::vector<COLORREF>{kColours[4], kColours[5], kColours[6]}));
    LedLayerData a, b;
    ASSERT_TRUE(Db().GetLedLayer(first, a));
    ASSERT_TRUE(Db().GetLedLayer(second, b));
    EXPECT_EQ(a.frame_size, 2);
    EXPECT_EQ(b.frame_size, 3);
    EXPECT_EQ(b.first_file, Frames(second)[0].file_name);
    EXPECT_EQ(LayerList()->GetItemFrameSize(1), 2);
    EXPECT_EQ(LayerList()->GetItemFrameSize(2), 3);
}

TEST_P(LcdPage, SwitchingLayersAsksAndKeepsEachLayersFrames)
{
    LoadProfiles();
    const int first = NewLayerWithPictures({kColours[0]});
    h.SendControlEvent(411, 2);
    const int second = NewLayerWithPictures({kColours[1], kColours[2]});
    ASSERT_EQ(Dlg().m_lcdDirty, 1);
    // Back to the first layer, declining the save: the second keeps no frames.
    answers = {2};
    ChooseLayer(1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, std::wstring(Dlg().LangText(831)));
    EXPECT_EQ(Dlg().m_lcdDirty, 0);
    EXPECT_EQ(Dlg().m_lcdCurrentLedId, first);
    EXPECT_EQ(StripColours(), std::vector<COLORREF>{kColours[0]});
    EXPECT_TRUE(Frames(second).empty());
    // Clicking the current layer again with edits keeps them in the strip.
    ChooseFrame(0);
    chosenPictures = {SourcePicture(L"more.png", kColours[3])};
    h.SendControlEvent(389, 2);
    ChooseLayer(1);
    EXPECT_EQ(Strip()->GetItemCount(), 2);
    EXPECT_EQ(Dlg().m_lcdDirty, 1);
    // Accepting the save when switching stores the first layer's edits.
    chosenPictures = {SourcePicture(L"late.png", kColours[5])};
    answers = {1};
    ChooseLayer(2);
    EXPECT_EQ(StoredColours(first), (std::vector<COLORREF>{kColours[0], kColours[3]}));
    EXPECT_EQ(Dlg().m_lcdCurrentLedId, second);
}

TEST_P(LcdPage, DeletingALayerRemovesOnlyItsOwnFolder)
{
    LoadProfiles();
    const int first = NewLayerWithPictures({kColours[0]});
    h.SendControlEvent(411, 2);
    const int second = NewLayerWithPictures({kColours[1]});
    h.SendControlEvent(411, 2);
    const int third = NewLayerWithPictures({kColours[2]});
    h.SendControlEvent(411, 2);
    LedLayerData a, b, c;
    ASSERT_TRUE(Db().GetLedLayer(first, a));
    ASSERT_TRUE(Db().GetLedLayer(second, b));
    ASSERT_TRUE(Db().GetLedLayer(third, c));
    const std::wstring defaultFolder = ModelFolder() + (const wchar_t*)Layers()[0].file_dir;

    // Declined: nothing goes. (Row 0 is the screen's animation.)
    LayerList()->SetCurSel(2);
    answers = {2};
    EXPECT_EQ(h.SendControlEvent(371, 2), 0);
    EXPECT_TRUE(Exists(ModelFolder() + (const wchar_t*)b.file_dir));

    // The row's folder was emptied behind the page's back: the row goes, no folder does.
    Db().m_db.Exec(
        ("UPDATE t_ledlayer_data SET file_dir = '' WHERE led_id = " + std::to_string(second))
            .c_str());
    LayerList()->SetCurSel(2);
    EXPECT_EQ(h.SendControlEvent(371, 2), 1);
    EXPECT_TRUE(Exists(ModelFolder()));
    EXPECT_TRUE(Exists(defaultFolder));
    EXPECT_TRUE(Exists(ModelFolder() + (const wchar_t*)a.file_dir));
    EXPECT_TRUE(Exists(ModelFolder() + (const wchar_t*)b.file_dir));
    EXPECT_TRUE(Exists(ModelFolder() + (const wchar_t*)c.file_dir));
    EXPECT_FALSE(Db().GetLedLayer(second, b));
    EXPECT_EQ(Dlg().m_lcdCurrentLedId, first);

    // A folder that climbs out of the model's folder is never deleted.
    Db().m_db.Exec(
        ("UPDATE t_ledlayer_data SET file_dir = '..' WHERE led_id = " + std::to_string(third))
            .c_str());
    LayerList()->SetCurSel(2);
    EXPECT_EQ(h.SendControlEvent(371, 2), 1);
    EXPECT_TRUE(Exists(ModelFolder()));
    EXPECT_TRUE(Exists(Data() + L"led\\"));
    EXPECT_TRUE(Exists(ModelFolder() + (const wchar_t*)c.file_dir));

    // A row that is gone already: nothing happens at all.
    Db().m_db.Exec(("DELETE FROM t_ledlayer_data WHERE led_id = " + std::to_string(first)).c_str());
    LayerList()->SetCurSel(1);
    EXPECT_EQ(h.SendControlEvent(371, 2), 0);
    EXPECT_TRUE(Exists(ModelFolder() + (const wchar_t*)a.file_dir));

    // The first row: no selection, no current layer, an empty strip.
    Db().m_db.Exec("DELETE FROM t_ledlayer_data");
    LoadProfiles();
    ASSERT_EQ(LayerList()->GetItemCount(), 1);  // the screen's animation again
    LedLayerData d;
    ASSERT_TRUE(Db().GetLedLayer(LayerList()->GetItemLEDId(0), d));
    LayerList()->SetCurSel(0);
    answers = {1};
    EXPECT_EQ(h.SendControlEvent(371, 2), 1);
    EXPECT_FALSE(Exists(ModelFolder() + (const wchar_t*)d.file_dir));
    EXPECT_TRUE(Frames(d.led_id).empty());
    EXPECT_EQ(LayerList()->GetCurSel(), -1);
    EXPECT_EQ(Dlg().m_lcdCurrentLedId, 0);
    EXPECT_EQ(Strip()->GetItemCount(), 0);
}

TEST_P(LcdPage, AFailedLayerInsertIsReportedAndNeverUsed)
{
    LoadProfiles();
    Db().m_db.Exec(
        "CREATE TRIGGER refuse_layers BEFORE INSERT ON t_ledlayer_data "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    const auto before = FilesBelow(Data() + L"led\\");
    const int current = Dlg().m_lcdCurrentLedId;
    EXPECT_EQ(h.SendControlEvent(369, 2), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, std::wstring(Dlg().LangText(849)));
    EXPECT_EQ(LayerList()->GetItemCount(), 1);
    EXPECT_EQ(Dlg().m_lcdCurrentLedId, current);
    EXPECT_EQ(FilesBelow(Data() + L"led\\"), before);
}

TEST_P(LcdPage, DefaultLayersAreKnownByTheirMarkAndOldDatabasesByPosition)
{
    // More slots than stock animations: only the marked layer is a default
    // one (the screen's animation beside it is the user's).
    Dlg().m_lcdSlotCount = 3;
    LoadProfiles();
    ASSERT_EQ(Layers().size(), 2u);
    h.SendControlEvent(369, 2);
    LoadProfiles();
    EXPECT_EQ(LayerList()->GetItemCount(), 2);

    // Seven screen rows and seven slots: the slot grid stops at five.
    for (int i = 0; i < 6; ++i) Db().AddTftScreen(1, 3, L"");
    Dlg().m_lcdSlotCount = 7;
    LoadProfiles();
    EXPECT_EQ(Dlg().CtlAs<WEXA::LCDViewCtrl>(366)->GetItemCount(), 5);
    EXPECT_EQ(LayerList()->GetItemCount(), 2);

    // An old database without marks: the first row per slot is the default one.
    Db().m_db.Exec("UPDATE t_ledlayer_data SET type = 0");
    Dlg().m_lcdSlotCount = 1;
    LoadProfiles();
    EXPECT_EQ(LayerList()->GetItemCount(), 2);
    Dlg().m_lcdSlotCount = 2;
    LoadProfiles();
    EXPECT_EQ(LayerList()->GetItemCount(), 1);
}

TEST_P(LcdPage, WaitWindowsOfRequestsWithoutARunnerAreClosed)
{
    LoadProfiles();
    NewLayerWithPictures({kColours[0], kColours[1]});
    h.SendControlEvent(411, 2);
    chosenGif = Data() + L"export \u00e9.gif";
    // Export, send (two frames, no slot chosen yet: asked first) and import
    // each return once the worker has taken their task.
    EXPECT_EQ(h.SendControlEvent(412, 2), 1);
    EXPECT_TRUE(WaitForTaskCount(TASK_LCD_EXPORT_GIF, 1));
    EXPECT_EQ(Dlg().m_lcdFilePath, chosenGif);
    answers = {1};
    EXPECT_EQ(h.SendControlEvent(413, 2), 1);
    EXPECT_TRUE(WaitForTaskCount(TASK_LCD_SEND, 1));
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().title, std::wstring(Dlg().LangText(848)));
    chosenGif = StockGif();
    EXPECT_EQ(h.SendControlEvent(370, 2), 1);
    EXPECT_TRUE(WaitForTaskCount(TASK_LCD_IMPORT_GIF, 1));

    // With a task queued, export and import do nothing.
    Dlg().m_workerPaused = 1;
    Dlg().AppendTask(TASK_LCD_COMMAND);
    const size_t exports = TaskCount(TASK_LCD_EXPORT_GIF);
    EXPECT_EQ(h.SendControlEvent(412, 2), 1);
    EXPECT_EQ(h.SendControlEvent(370, 2), 1);
    EXPECT_EQ(Dlg().m_taskQueue.Snapshot(), std::vector<int>{TASK_LCD_COMMAND});
    Dlg().m_workerPaused = 0;
    EXPECT_TRUE(WaitForTaskCount(TASK_LCD_COMMAND, 1));
    EXPECT_EQ(TaskCount(TASK_LCD_EXPORT_GIF), exports);

    // Choosing slot 0 takes its limit and queues the slot change.
    auto* slots = Dlg().CtlAs<WEXA::LCDViewCtrl>(366);
    slots->SetCurSel(0);
    h.SendControlEvent(366, 2, 0);
    EXPECT_EQ(Dlg().m_lcdCurrentLimit, 256);
    EXPECT_TRUE(WaitForTaskCount(TASK_LCD_SLOT_CHANGED, 1));
}

TEST_P(LcdPage, ColoursFollowTheActiveDefaultColourButton)
{
    LoadProfiles();
    const COLORREF defaults[] = {8331093, 4114939, 65280, 16776960, 255, 14237951};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(Dlg().CtlAs<WEXA::CColorButton>(404 + k)->GetColor(), defaults[k]) << k;
    h.SendControlEvent(406, 2);
    EXPECT_EQ(Dlg().m_lcdColorButton, 406);
    auto* red = Dlg().CtlAs<WEXA::MEdit>(401);
    red->SetEditText(L"300");
    h.SendControlEvent(401, 26);
    EXPECT_EQ(std::wstring(red->GetEditText()), L"255");
    CString stored;
    Db().GetConfigValue(Dlg().m_currentProfile, L"default_color3", stored);
    const COLORREF expected = RGB(255, GetGValue(65280), GetBValue(65280));
    EXPECT_EQ(wcstoul(stored, nullptr, 10), expected);
    EXPECT_EQ(Canvas()->GetColorValue(), expected);
    EXPECT_EQ(Dlg().CtlAs<WEXA::CColorButton>(406)->GetColor(), expected);
}

INSTANTIATE_TEST_SUITE_P(DataFolders, LcdPage,
                         ::testing::Values(L"Kestrova Test", L"Kestrova T\u00ebst \u952e\u76d8"));

TEST(LcdNames, StampsThatAreTakenAreCountedUpUntilFree)
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    const std::wstring folder = std::wstring(base) + L"lcd names \u00e9\\";
    CreateDirectoryTree(folder);
    const std::wstring stamp = L"20261211001502015";
    for (const wchar_t* taken : {L"20261211001502015.png", L"20261211001502016.png"})
        CloseHandle(CreateFileW((folder + taken).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                0, nullptr));
    EXPECT_EQ(FreeLcdStampFrom(stamp, folder, L".png"), L"20261211001502017");
    EXPECT_EQ(FreeLcdStampFrom(stamp, folder, L""), stamp);
    SYSTEMTIME time = {2026, 12, 5, 11, 0, 15, 2, 15};
    EXPECT_EQ(LcdStamp(time), stamp);
    DeleteFileW((folder + L"20261211001502015.png").c_str());
    DeleteFileW((folder + L"20261211001502016.png").c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(LcdNames, OnlyPlainNamesMakePaths)
{
    const struct
    {
        const wchar_t* name;
        bool plain;
    } cases[] = {
        {L"20261211001502015", true},
        {L"a b \u4e2d", true},
        {L"", false},
        {nullptr, false},
        {L".", false},
        {L"..", false},
        {L"a\\b", false},
        {L"a/b", false},
        {L"C:", false},
        {L"..\\x", false},
        {L"x..y", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPlainLcdName(c.name), c.plain) << (c.name ? c.name : L"(null)");
}

}  // namespace
}  // namespace lcdtest
