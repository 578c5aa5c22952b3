#include "GifWriter.h"

#include <algorithm>
#include <cstdio>

namespace testutil {

namespace {

// LZW codes of minimum code size 2, written 3 bits wide: a clear code after
// every two pixels keeps the decoder's table (and so the width) from growing.
class BitWriter
{
public:
    void Put(int code, int bits)
    {
        for (int i = 0; i < bits; ++i) {
            if ((code >> i) & 1) current_ |= static_cast<unsigned char>(1u << used_);
            if (++used_ == 8) Flush();
        }
    }
    void Flush()
    {
        if (used_ == 0) return;
        bytes.push_back(current_);
        current_ = 0;
        used_ = 0;
    }
    std::vector<unsigned char> bytes;

private:
    unsigned char current_ = 0;
    int used_ = 0;
};

void Word(std::vector<unsigned char>& out, int value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

}  // namespace

bool WriteGif(const std::wstring& path, int width, int height, const std::vector<GifFrame>& frames,
              const GifPalette& palette)
{
    std::vector<unsigned char> out = {'G', 'I', 'F', '8', '9', 'a'};
    Word(out, width);
    Word(out, height);
    out.insert(out.end(), {0x91, 0, 0});
    out.insert(out.end(), palette.rgb, palette.rgb + 12);
    const unsigned char loop[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P',
                                  'E',  '2',  '.',  '0', 3,   1,   0,   0,   0};
    out.insert(out.end(), loop, loop + sizeof(loop));
    for (const GifFrame& frame : frames) {
        if (frame.delayHundredths >= 0) {
            out.insert(out.end(), {0x21, 0xF9, 0x04, 0x00});
            Word(out, frame.delayHundredths);
            out.insert(out.end(), {0x00, 0x00});
        }
        out.push_back(0x2C);
        Word(out, 0);
        Word(out, 0);
        Word(out, width);
        Word(out, height);
        out.push_back(0);
        out.push_back(2);  // minimum code size
        BitWriter bits;
        bits.Put(4, 3);
        const int pixels = width * height;
        for (int i = 0; i < pixels; ++i) {
            const bool own = frame.pixels.size() == static_cast<size_t>(pixels);
            bits.Put((own ? frame.pixels[i] : frame.colorIndex) & 3, 3);
            if (i % 2 == 1 && i + 1 < pixels) bits.Put(4, 3);
        }
        bits.Put(5, 3);
        bits.Flush();
        for (size_t i = 0; i < bits.bytes.size(); i += 255) {
            const size_t n = std::min<size_t>(255, bits.bytes.size() - i);
            out.push_back(static_cast<unsigned char>(n));
            out.insert(out.end(), bits.bytes.begin() + i, bits.bytes.begin() + i + n);
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    const bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
    fclose(f);
    return ok;
}

}  // namespace testutil
