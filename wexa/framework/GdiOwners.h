#pragma once
// Owners of GDI handles and GDI+ objects for the library's own drawing code:
// whatever a function creates is given back on every way out of it, early
// returns included. Use them in every new piece of drawing code instead of
// freeing handles by hand.
//
//     gdi::WindowDC screen(hwnd);                  // GetDC / ReleaseDC
//     gdi::MemoryDC mem(screen);                   // CreateCompatibleDC / DeleteDC
//     gdi::Bitmap bitmap(CreateCompatibleBitmap(screen, w, h));  // DeleteObject
//     if (!mem || !bitmap) return 0;
//     gdi::Selection select(mem, bitmap);          // SelectObject, restored at scope exit
//     ...
//     gdi::Owned<Gdiplus::Image> image(MRender::LoadImageFromFile(path));  // delete
//
// Declare the selection after the DC and the object it selects, so that it is
// undone before either goes. `release()` hands a handle on to a new owner (a
// window region taken by SetWindowRgn, a bitmap returned to the caller).
// Internal to the library: not exported.
#include <windows.h>

#include <memory>
#include <utility>

namespace WEXA {
namespace gdi {

// A GDI object (bitmap, brush, pen, font, region) deleted with DeleteObject.
template <typename Handle>
class Object
{
public:
    explicit Object(Handle handle = nullptr) : handle_(handle) {}
    ~Object() { reset(); }
    Object(Object&& other) noexcept : handle_(other.release()) {}
    Object& operator=(Object&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    Handle get() const { return handle_; }
    operator Handle() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr)
    {
        if (handle_ && handle_ != handle) ::DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_;
};

using Bitmap = Object<HBITMAP>;
using Brush = Object<HBRUSH>;
using Pen = Object<HPEN>;
using Font = Object<HFONT>;
using Region = Object<HRGN>;

// A memory DC compatible with another one (null: the screen), deleted with DeleteDC.
class MemoryDC
{
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {}
    // None yet (see Create).
    MemoryDC() : dc_(nullptr) {}
    ~MemoryDC()
    {
        if (dc_) ::DeleteDC(dc_);
    }
    // Creates the DC now (when none was made yet); false when that fails.
    bool Create(HDC compatibleWith)
    {
        if (!dc_) dc_ = ::CreateCompatibleDC(compatibleWith);
        return dc_ != nullptr;
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return dc_; }
    operator HDC() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// The DC of a window (null: the screen), released with ReleaseDC.
class WindowDC
{
public:
    explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC()
    {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }
    operator HDC() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a DC; the DC's previous object is selected again at
// scope exit. Select() swaps in another object without losing the original.
class Selection
{
public:
    Selection(HDC dc, HGDIOBJ object)
        : dc_(dc),
          old_(dc && object ? ::SelectObject(dc, object) : nullptr)
    {}
    ~Selection()
    {
        if (dc_ && old_) ::SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    void Select(HGDIOBJ object)
    {
        if (!dc_ || !object) return;
        HGDIOBJ previous = ::SelectObject(dc_, object);
        if (!old_) old_ = previous;
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A GDI+ object (image, font, brush, graphics, path ...) deleted at scope exit.
template <typename T>
using Owned = std::unique_ptr<T>;

}  // namespace gdi
}  // namespace WEXA
