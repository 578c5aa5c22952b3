#include "TonePlayer.h"

#include <cmath>

namespace testutil {

bool TonePlayer::Start(const std::vector<double>& frequencies, double seconds)
{
    const DWORD rate = 48000;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = rate * 2;
    if (waveOutOpen(&out_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        out_ = nullptr;
        return false;
    }
    samples_.resize(size_t(rate * seconds));
    const double amplitude = 0.5 * 32767.0 / double(frequencies.empty() ? 1 : frequencies.size());
    for (size_t i = 0; i < samples_.size(); ++i) {
        double sample = 0;
        for (double frequency : frequencies)
            sample += std::sin(2.0 * M_PI * frequency * double(i) / rate);
        samples_[i] = INT16(std::lround(amplitude * sample));
    }
    header_.lpData = reinterpret_cast<LPSTR>(samples_.data());
    header_.dwBufferLength = DWORD(samples_.size() * sizeof(INT16));
    if (waveOutPrepareHeader(out_, &header_, sizeof(header_)) != MMSYSERR_NOERROR) return false;
    return waveOutWrite(out_, &header_, sizeof(header_)) == MMSYSERR_NOERROR;
}

void TonePlayer::Stop()
{
    if (!out_) return;
    waveOutReset(out_);
    waveOutUnprepareHeader(out_, &header_, sizeof(header_));
    waveOutClose(out_);
    out_ = nullptr;
}

}  // namespace testutil
