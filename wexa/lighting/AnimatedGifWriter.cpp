#include "lighting/AnimatedGifWriter.h"

#include "lighting/LcdImaging.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>

namespace WEXA {

namespace {

bool GetEncoderClsid(const wchar_t* mime, CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i)
        if (codecs[i].MimeType && _wcsicmp(codecs[i].MimeType, mime) == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    return false;
}

// The GIF encoder needs a paletted bitmap (a 32-bit one is written broken by
// some GDI+ versions).
Gdiplus::Bitmap* Paletted(Gdiplus::Bitmap* source)
{
    Gdiplus::Bitmap* copy = source->Clone(Gdiplus::Rect(0, 0, static_cast<INT>(source->GetWidth()),
                                                        static_cast<INT>(source->GetHeight())),
                                          PixelFormat8bppIndexed);
    if (copy && copy->GetLastStatus() != Gdiplus::Ok) {
        delete copy;
        copy = nullptr;
    }
    return copy;
}

// Skips a chain of data sub-blocks from pos; the position after the
// terminator, or 0 when the data ends first.
size_t SkipSubBlocks(const std::vector<unsigned char>& d, size_t pos)
{
    while (pos < d.size()) {
        const size_t n = d[pos];
        pos += 1 + n;
        if (n == 0) return pos;
    }
    return 0;
}

// Gives every frame of a GIF the encoder wrote its delay (hundredths of a
// second) in a graphic control block, and the file a loop block, whether or
// not the encoder wrote them (some GDI+ versions write neither). The finished
// file in out; false when the data is not a whole GIF with exactly `frames`
// frames ending in its trailer.
bool FinishGifData(const std::vector<unsigned char>& d, const std::vector<unsigned>& delays,
                   int loopCount, size_t frames, std::vector<unsigned char>& out)
{
    out.clear();
    if (d.size() < 13 || memcmp(d.data(), "GIF8", 4) != 0) return false;
    size_t pos = 13;
    if (d[10] & 0x80) pos += 3u * (1u << ((d[10] & 7) + 1));
    if (pos > d.size()) return false;
    out.assign(d.begin(), d.begin() + static_cast<long>(pos));
    out[3] = '8';
    out[4] = '9';
    out[5] = 'a';
    bool hasLoop = false;
    size_t frame = 0;
    int pendingControl = -1;  // index in out of the control block of the next frame
    const size_t loopAt = out.size();
    bool ended = false;
    while (pos < d.size()) {
        const unsigned char kind = d[pos];
        if (kind == 0x3B) {
            ended = true;
            break;
        }
        if (kind == 0x21 && pos + 1 < d.size()) {
            const unsigned char label = d[pos + 1];
            const size_t end = SkipSubBlocks(d, pos + 2);
            if (!end) return false;
            if (label == 0xFF && pos + 13 < d.size() && memcmp(&d[pos + 3], "NETSCAPE2.0", 11) == 0)
                hasLoop = true;
            if (label == 0xF9 && end - pos == 8) pendingControl = static_cast<int>(out.size());
            out.insert(out.end(), d.begin() + static_cast<long>(pos),
                       d.begin() + static_cast<long>(end));
            pos = end;
        } else if (kind == 0x2C && pos + 10 <= d.size()) {
            const unsigned delay = frame < delays.size() ? delays[frame] : 0;
            if (pendingControl < 0) {
                const unsigned char control[8] = {0x21, 0xF9, 0x04, 0x00, 0, 0, 0x00, 0x00};
                pendingControl = static_cast<int>(out.size());
                out.insert(out.end(), control, control + 8);
            }
            out[pendingControl + 4] = static_cast<unsigned char>(delay & 0xFF);
            out[pendingControl + 5] = static_cast<unsigned char>((delay >> 8) & 0xFF);
            pendingControl = -1;
            size_t end = pos + 10;
            if (d[pos + 9] & 0x80) end += 3u * (1u << ((d[pos + 9] & 7) + 1));
            end += 1;  // LZW minimum code size
            if (end > d.size()) return false;
            end = SkipSubBlocks(d, end);
            if (!end) return false;
            out.insert(out.end(), d.begin() + static_cast<long>(pos),
                       d.begin() + static_cast<long>(end));
            pos = end;
            ++frame;
        } else {
            return false;
        }
    }
    if (!ended || frame != frames) return false;
    out.push_back(0x3B);
    if (!hasLoop) {
        const unsigned char loop[19] = {0x21,
                                        0xFF,
                                        0x0B,
                                        'N',
                                        'E',
                                        'T',
                                        'S',
                                        'C',
                                        'A',
                                        'P',
                                        'E',
                                        '2',
                                        '.',
                                        '0',
                                        0x03,
                                        0x01,
                                        static_cast<unsigned char>(loopCount & 0xFF),
                                        static_cast<unsigned char>((loopCount >> 8) & 0xFF),
                                        0x00};
        out.insert(out.begin() + static_cast<long>(loopAt), loop, loop + 19);
    }
    return true;
}

}  // namespace

AnimatedGifWriter::AnimatedGifWriter()
    : m_width(1300),
      m_height(100),
      m_loopCount(0),
      m_refused(false),
      m_started(false),
      m_firstAdded(false),
      m_firstFrame(nullptr)
{}

AnimatedGifWriter::~AnimatedGifWriter()
{
    Clear();
}

bool AnimatedGifWriter::SetSize(int width, int height)
{
    if (m_firstAdded) return false;
    if (height < 1) {
        m_refused = true;
        return false;
    }
    m_refused = false;
    m_height = height;
    m_width = width < 1 ? 320 : width;
    return true;
}

bool AnimatedGifWriter::Begin(const wchar_t* path)
{
    m_path = path;
    m_started = true;
    return true;
}

Gdiplus::Rect AnimatedGifWriter::GetFitRect(int w, int h) const
{
    int fw = w, fh = h;
    if (w > 0 && h > 0) {
        if (w > m_width && h > m_height) {
            if (static_cast<double>(w) / h > static_cast<double>(m_width) / m_height) {
                fw = m_width;
                fh = static_cast<int>(static_cast<long long>(h) * m_width / w);
            } else {
                fh = m_height;
                fw = static_cast<int>(static_cast<long long>(w) * m_height / h);
            }
        } else if (w > m_width) {
            fw = m_width;
            fh = static_cast<int>(static_cast<long long>(h) * m_width / w);
        } else if (h > m_height) {
            fh = m_height;
            fw = static_cast<int>(static_cast<long long>(w) * m_height / h);
        }
    }
    return Gdiplus::Rect((m_width - fw) / 2, (m_height - fh) / 2, fw, fh);
}

bool AnimatedGifWriter::AddFrame(const wchar_t* picture, unsigned delayMs)
{
    if (!m_started || m_refused) return false;
    m_delays.push_back(delayMs / 10);
    auto* canvas = new Gdiplus::Bitmap(m_width, m_height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(canvas);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        g.Clear(Gdiplus::Color(0, 0, 0, 0));
        if (picture && *picture) {
            std::unique_ptr<Gdiplus::Bitmap> source(new Gdiplus::Bitmap(picture));
            if (source->GetLastStatus() == Gdiplus::Ok && source->GetWidth() > 0) {
                const Gdiplus::Rect fit = GetFitRect(static_cast<int>(source->GetWidth()),
                                                     static_cast<int>(source->GetHeight()));
                g.DrawImage(source.get(), fit);
            }
        }
    }
    if (!m_firstAdded) {
        m_firstFrame = canvas;
        m_firstAdded = true;
    } else {
        m_frames.push_back(canvas);
    }
    return true;
}

void AnimatedGifWriter::SetProperties(Gdiplus::Image* first)
{
    Gdiplus::PropertyItem loop;
    short loopValue = static_cast<short>(m_loopCount & 0xFFFF);
    loop.id = PropertyTagLoopCount;
    loop.type = PropertyTagTypeShort;
    loop.length = 2;
    loop.value = &loopValue;
    first->SetPropertyItem(&loop);

    const size_t n = m_frames.size() + 1;
    std::vector<LONG> delays(n, 0);
    for (size_t i = 0; i < n && i < m_delays.size(); ++i)
        delays[i] = static_cast<LONG>(m_delays[i]);
    Gdiplus::PropertyItem delay;
    delay.id = PropertyTagFrameDelay;
    delay.type = PropertyTagTypeLong;
    delay.length = static_cast<ULONG>(4 * n);
    delay.value = delays.data();
    first->SetPropertyItem(&delay);
}

bool AnimatedGifWriter::Save()
{
    if (!m_started || !m_firstAdded || m_refused || !m_firstFrame) return false;
    // The encoder writes beside the target; the target is replaced only by
    // the finished file, once it holds every frame.
    const CString temp = lcd::TempPathFor(m_path);
    CLSID gif;
    bool ok = GetEncoderClsid(L"image/gif", &gif);
    std::unique_ptr<Gdiplus::Bitmap> first(ok ? Paletted(m_firstFrame) : nullptr);
    ok = ok && first;
    if (ok) {
        SetProperties(first.get());
        ULONG flag = Gdiplus::EncoderValueMultiFrame;
        Gdiplus::EncoderParameters params;
        params.Count = 1;
        params.Parameter[0].Guid = Gdiplus::EncoderSaveFlag;
        params.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
        params.Parameter[0].NumberOfValues = 1;
        params.Parameter[0].Value = &flag;
        ok = first->Save(temp, &gif, &params) == Gdiplus::Ok;
        for (Gdiplus::Bitmap* frame : m_frames) {
            if (!ok) break;
            std::unique_ptr<Gdiplus::Bitmap> next(frame ? Paletted(frame) : nullptr);
            if (!next) {
                ok = false;  // a frame left out would shift every later delay
                break;
            }
            flag = Gdiplus::EncoderValueFrameDimensionTime;
            Gdiplus::Status status = first->SaveAdd(next.get(), &params);
            if (status == Gdiplus::InvalidParameter) {
                // GDI+ versions that add frames only along the page dimension.
                flag = Gdiplus::EncoderValueFrameDimensionPage;
                status = first->SaveAdd(next.get(), &params);
            }
            ok = status == Gdiplus::Ok;
        }
        if (ok) {
            // The last frame is written out only by the flush.
            flag = Gdiplus::EncoderValueFlush;
            ok = first->SaveAdd(&params) == Gdiplus::Ok;
        }
    }
    first.reset();  // releases the encoder's hold on the file
    std::vector<unsigned char> encoded, finished;
    ok = ok && lcd::ReadFileBytes(temp, encoded) &&
         FinishGifData(encoded, m_delays, m_loopCount, m_frames.size() + 1, finished) &&
         lcd::WriteFileSafely(m_path, finished.data(), finished.size());
    if (!ok) DeleteFileW(temp);
    m_started = false;
    m_firstAdded = false;
    return ok;
}

void AnimatedGifWriter::Clear()
{
    m_path.Empty();
    delete m_firstFrame;
    m_firstFrame = nullptr;
    for (Gdiplus::Bitmap* frame : m_frames) delete frame;
    m_frames.clear();
    m_delays.clear();
    m_firstAdded = false;
}

}  // namespace WEXA
