// The keyboard picture under the program's threads: a worker refills the
// keys, writes their texts and colours, swaps the picture and changes the
// draw mode while the UI thread paints, hovers (with key tips) and clicks.
// Nothing may crash, and no record may ever be seen half written.
#include <gtest/gtest.h>

#include <atomic>
#include <cwchar>
#include <thread>

#include "KeyboardCtrl.h"
#include "KeyboardLayout.h"
#include "WidgetHost.h"

namespace kbtest {
namespace {

using WEXA::KEY_INFO;
using WEXA::KeyboardCtrl;

TEST_F(WidgetTest, WorkerRefillsWhileTheWindowPaintsAndTheUserClicks)
{
    auto* keyboard = host.Make<KeyboardCtrl>(L"KeyboardCtrl", 58, CRect(0, 0, 0, 0));
    ASSERT_NE(keyboard, nullptr);
    ASSERT_EQ(keyboard->SetImage(L"img_key_bkg.png", 4), 1);
    keyboard->SetKeyboardCtrlMode(101);
    keyboard->EnableKBTips(true);
    const Layout layouts[2] = {ReadLayout(L"kestrova_k87"), ReadLayout(L"kestrova_k75_air")};
    const CRect place(20, 20, 20 + layouts[0].width, 20 + layouts[0].height);
    FillFromLayout(keyboard, layouts[0], place);

    const int kRefills = 36, kWritesPerRefill = 4;
    std::atomic<bool> done{false};
    std::atomic<int> writes{0};
    std::thread worker([&] {
        for (int r = 0; r < kRefills; ++r) {
            const Layout& layout = layouts[r % 2];
            FillFromLayout(keyboard, layout, place);
            keyboard->SetKeyboardCtrlMode(r % 3 == 0 ? 103 : 101);
            for (int w = 0; w < kWritesPerRefill; ++w) {
                keyboard->ResetAllItemCheck(0);
                keyboard->ResetTipKey();
                for (const LayoutKey& key : layout.keys) {
                    // Name, value and tooltip text always travel together.
                    wchar_t text[32];
                    const int value = r * 100 + w;
                    swprintf(text, 32, L"F%d", value);
                    keyboard->SetKeyItemInfo(key.code, text, value, text);
                    keyboard->SetKeyColor(key.code, RGB(value & 0xFF, w * 40, r));
                }
                keyboard->UpdateControl(1, 0);
                ++writes;
            }
        }
        done = true;
    });

    int paints = 0, clicks = 0, checked = 0;
    unsigned seed = 12345;
    while (!done || paints < 10) {
        testutil::PumpPending();
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
        ++paints;
        // Hover and click somewhere over the keys (tips on).
        seed = seed * 1103515245u + 12345u;
        const int x = place.left + 30 + static_cast<int>((seed >> 8) % 840);
        const int y = place.top + 30 + static_cast<int>((seed >> 20) % 260);
        keyboard->OnControlMouseMove(0, CPoint(x, y));
        keyboard->OnControlMouseMove(0, CPoint(x + 1, y));
        keyboard->OnControlLButtonDown(0, CPoint(x, y));
        keyboard->OnControlLButtonUp(0, CPoint(x, y));
        ++clicks;
        // Every record read under the lock is whole.
        keyboard->EnterCriSec();
        for (KEY_INFO* key : keyboard->GetKeyItems()) {
            if (key->strTip1.IsEmpty()) continue;
            ++checked;
            ASSERT_EQ(key->strName, key->strTip1);
            ASSERT_EQ(_wtoi(key->strName.GetString() + 1), key->nValue);
        }
        keyboard->LeaveCriSec();
    }
    worker.join();
    testutil::PumpPending();
    EXPECT_EQ(writes, kRefills * kWritesPerRefill);
    EXPECT_GT(checked, 0);
    EXPECT_GE(clicks, 10);
    // The last refill shows, with the last texts.
    EXPECT_EQ(keyboard->GetKeyCount(), static_cast<int>(layouts[(kRefills - 1) % 2].keys.size()));
    const KEY_INFO* first = keyboard->GetKeyItems().front();
    wchar_t last[32];
    swprintf(last, 32, L"F%d", (kRefills - 1) * 100 + kWritesPerRefill - 1);
    EXPECT_EQ(first->strName, CString(last));
}

}  // namespace
}  // namespace kbtest
