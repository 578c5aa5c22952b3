#pragma once
// Plays a sine on the default playback device (under the test run, the null
// sink whose monitor the audio capture records).
#include <windows.h>
// (after windows.h)
#include <mmsystem.h>

#include <vector>

namespace testutil {

class TonePlayer
{
public:
    ~TonePlayer() { Stop(); }
    // A 16-bit mono sine at 48 kHz, half of full scale; false when the
    // device cannot play it.
    bool Start(double frequency, double seconds)
    {
        return Start(std::vector<double>{frequency}, seconds);
    }
    // A chord of sines of equal loudness, together half of full scale: as
    // music does, it reaches many bands of a spectrum at once.
    bool Start(const std::vector<double>& frequencies, double seconds);
    void Stop();

private:
    HWAVEOUT out_ = nullptr;
    WAVEHDR header_ = {};
    std::vector<INT16> samples_;
};

}  // namespace testutil
