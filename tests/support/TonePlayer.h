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
    bool Start(double frequency, double seconds);
    void Stop();

private:
    HWAVEOUT out_ = nullptr;
    WAVEHDR header_ = {};
    std::vector<INT16> samples_;
};

}  // namespace testutil
