#pragma once
// Colours between the program and the keyboard: the per-key colours of the five
// user light modes (3 bytes R, G, B at 3 x LED index), the 7 x 7 matrix picture
// (R, G, B at 3 x cell id), the keyboard's live key colours, and the streamed
// effect and matrix frames (RGB565, little-endian, at 2 x LED index or cell id).
//
// The live read and the two streams run as the worker's idle steps: they open a
// command sequence (AA 10) only when m_reopenSession is set, which the worker
// sets after every task it runs and a failed frame sets too, and never close it.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <vector>

class HidDeviceManager;
class DeviceDataDB;
struct KeyMaps;

// Bytes of the effect frame buffer: 400 LEDs.
const int kEffectFrameBuffer = 800;
// Effect frame length of device type 102: 107 LEDs.
const int kMatrixModelFrameLength = 214;

// ((R & 0xF8) << 8) | ((G & 0xFC) << 3) | (B >> 3) of a COLORREF.
uint16_t Rgb565(COLORREF colour);

// One key item of the effect engine or one cell of the matrix preview.
struct KeyColour
{
    int keyCode;
    COLORREF colour;
};
struct CellColour
{
    int id;
    COLORREF colour;
};

// The effect frame: the RGB565 of every item whose key has an LED index at 2 x
// that index (LEDs past the buffer are left out), and the frame's length: 214
// for device type 102, else 2 x the number of items; a length that leaves out an
// item's LED grows to cover it, up to the buffer. `frame` gets kEffectFrameBuffer
// bytes.
int BuildEffectFrame(const std::vector<KeyColour>& items, const std::map<int, int>& keyCodeToLed,
                     int deviceType, uint8_t* frame);

class ColourTransfer
{
public:
    // The two flags live as long as the stream: the main window passes its own
    // members; without them the object keeps its own.
    ColourTransfer(HidDeviceManager& hid, DeviceDataDB& db, const KeyMaps& maps,
                   std::atomic<int>* reopenSession = nullptr,
                   std::atomic<bool>* effectStreamStarted = nullptr)
        : m_reopenSession(reopenSession ? *reopenSession : m_ownReopenSession),
          m_hid(hid),
          m_db(db),
          m_maps(maps),
          m_effectStreamStarted(effectStreamStarted ? *effectStreamStarted : m_ownStreamStarted)
    {}
    ColourTransfer(const ColourTransfer&) = delete;
    ColourTransfer& operator=(const ColourTransfer&) = delete;

    // Task 17: the colours of user mode `lightMode` (128-132) by key code (COLORREF).
    // Another mode reads nothing and fails. AA 10 ... AA 11 either way.
    bool ReadUserKeyColors(int lightMode, std::map<int, COLORREF>& colours);
    // Task 18: the stored colours of (profile, lightMode) to the keyboard. True
    // when the keyboard acknowledged the block; a mode that is not a user mode
    // writes nothing and is false.
    bool WriteUserKeyColors(int profile, int lightMode);
    // Task 14: the 49 cell colours of the matrix picture (COLORREF, by cell id).
    bool ReadMatrixColors(std::vector<COLORREF>& cells);
    // Task 15: the cells (ids 0-48; others are not sent). True when the keyboard
    // acknowledged (and echoed) every chunk.
    bool WriteMatrixColors(const std::vector<CellColour>& cells);
    // Idle step: the keyboard's current colours by key code, brightened for the
    // picture (R x 1.5, G x 1.3, B x 1.2, capped at 255). Nothing for a user mode.
    bool ReadLiveKeyColors(int lightMode, int generation, std::map<int, COLORREF>& colours);
    // Task 22: AA 10 and AA 2F, once until ResetEffectStream.
    void StartEffectStream();
    // The keyboard changed: the next task 22 starts the stream again.
    void ResetEffectStream() { m_effectStreamStarted = false; }
    bool EffectStreamStarted() const { return m_effectStreamStarted; }
    // One effect frame (0x2E). False when it was not acknowledged.
    bool SendEffectFrame(int deviceType, const std::vector<KeyColour>& items);
    // One matrix frame (0x3C, 98 bytes), device type 102 only.
    bool SendMatrixFrame(int deviceType, const std::vector<CellColour>& cells);

private:
    std::atomic<int> m_ownReopenSession{0};
    std::atomic<bool> m_ownStreamStarted{false};

public:
    // Set by the worker after each task it runs; cleared by the AA 10 of the next
    // live read or frame; set again by a failed frame.
    std::atomic<int>& m_reopenSession;

private:
    void ReopenIfNeeded();

    HidDeviceManager& m_hid;
    DeviceDataDB& m_db;
    const KeyMaps& m_maps;
    std::atomic<bool>& m_effectStreamStarted;
};
