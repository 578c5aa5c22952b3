#pragma once
// Helpers for tests that need a real window under the virtual display and want to
// read its pixels back.
#include <windows.h>
#include <cstdint>
#include <vector>

namespace testutil {

// A 32-bit top-down pixel buffer (0xAARRGGBB per pixel, as a DIB stores it).
struct PixelBuffer
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    // The pixel as COLORREF (0x00BBGGRR), handy to compare with GDI colours.
    COLORREF ColorAt(int x, int y) const
    {
        uint32_t p = At(x, y);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

// A memory DC with a 32-bit top-down DIB section selected; draw into dc, then read bits.
class MemoryCanvas
{
public:
    MemoryCanvas(int width, int height);
    ~MemoryCanvas();
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    uint32_t* bits() const { return bits_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void Fill(uint32_t argb);
    PixelBuffer Read() const;

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// Copies what a window shows on screen (its client area) into a pixel buffer.
PixelBuffer CaptureClient(HWND hwnd);

// Runs the calling thread's message loop until `done` returns true or the time-out passes.
// Returns whether `done` became true.
template <typename Pred>
bool PumpUntil(Pred done, DWORD timeoutMs = 5000)
{
    DWORD start = GetTickCount();
    while (!done()) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) break;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// Dispatches every message already queued for this thread.
void PumpPending();

// Writes a pixel buffer as a 24-bit BMP (for looking at a failing test's output).
bool SaveBmp(const PixelBuffer& buf, const wchar_t* path);

}  // namespace testutil
