#pragma once
// AnimatedGifWriter: writes an animated GIF from picture files. Each picture
// is scaled into a fixed canvas (shrunk only, aspect kept, centred), and the
// frames are saved through the GDI+ GIF encoder with their own delays and an
// endless loop. Internal to the library; its user is the LCD frame list's
// export.
//
// Use: SetSize (before the first frame), Begin(path), AddFrame(...) per
// frame, Save(), Clear(). A canvas height below 1 is refused: nothing is
// added or written then.
#include <windows.h>

#include <vector>

#include "CString.h"
#include "WexaGdiplus.h"

namespace WEXA {

class AnimatedGifWriter
{
public:
    AnimatedGifWriter();
    ~AnimatedGifWriter();
    AnimatedGifWriter(const AnimatedGifWriter&) = delete;
    AnimatedGifWriter& operator=(const AnimatedGifWriter&) = delete;

    // Ignored once the first frame exists. Width below 1 counts as 320; a
    // height below 1 is refused (false, and the writer writes nothing).
    bool SetSize(int width, int height);
    bool Begin(const wchar_t* path);
    // Delay in milliseconds, stored in hundredths of a second.
    bool AddFrame(const wchar_t* picture, unsigned delayMs);
    // Writes every frame, the last one flushed, under a temporary name beside
    // the target, and moves the file over the target only when it holds every
    // frame. False when nothing could be written or the encoder failed; the
    // file at the target is then left as it was.
    bool Save();
    void Clear();

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    const std::vector<unsigned>& GetDelays() const { return m_delays; }

private:
    Gdiplus::Rect GetFitRect(int w, int h) const;
    void SetProperties(Gdiplus::Image* first);

    int m_width;
    int m_height;
    int m_loopCount;
    bool m_refused;
    bool m_started;
    bool m_firstAdded;
    CString m_path;
    Gdiplus::Bitmap* m_firstFrame;
    std::vector<Gdiplus::Bitmap*> m_frames;
    std::vector<unsigned> m_delays;
};

}  // namespace WEXA
