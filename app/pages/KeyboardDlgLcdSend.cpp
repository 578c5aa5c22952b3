// KeyboardDlg: the LCD page's send on the worker (task 25): the layer the
// page saved just before, its frames packed for the screen, to the slot the
// user chose.
#include <windows.h>

#include "LCDViewList.h"
#include "mainwnd/KeyboardDlg.h"
#include "dialogs/LEDWaitDlg2.h"
#include "mainwnd/device/LcdTransfer.h"
#include "services/db/DeviceDataDB.h"
#include "services/hid/HidDeviceManager.h"

bool KeyboardDlg::SendLcdToKeyboard()
{
    DeviceDataDB& db = *DeviceDataDB::Instance();
    const int ledId = m_lcdSendLedId.load();
    LedLayerData layer;
    if (ledId <= 0 || !db.GetLedLayer(ledId, layer)) return false;
    const std::wstring folder = LcdLayerFolder(layer.file_dir);
    if (folder.empty()) return false;
    std::vector<LedFrameData*> rows;
    db.GetLedFrames(ledId, rows);
    std::vector<LcdSendFrame> frames;
    WEXA::LCDViewList packer(nullptr, 0, CRect(), 0);
    bool packed = !rows.empty();
    for (const LedFrameData* row : rows) {
        LcdSendFrame frame;
        frame.delayMs = row->delay_time;
        frame.pixels.assign(size_t(kLcdScreenWidth) * kLcdScreenHeight * 2, 0);
        const std::wstring file = folder + (const wchar_t*)row->file_name;
        if (!packer.GetImageRGB565Data(CString(file.c_str()), frame.pixels.data(), kLcdScreenWidth,
                                       kLcdScreenHeight)) {
            packed = false;  // a frame that cannot be read is not sent as black
            break;
        }
        frames.push_back(std::move(frame));
    }
    FreeRecordList(rows);
    if (!packed) return false;
    const int count = int(frames.size());
    return SendLcdAnimation(HidDeviceManager::Instance(), m_lcdSendSlot.load(), kLcdScreenWidth,
                            kLcdScreenHeight, frames, [this, count](int sent) {
                                m_lcdSendDlg.With([&](LEDWaitDlg2* dialog) {
                                    dialog->PostProgress(sent * 100 / count);
                                });
                            });
}
