// Prints the cost of the audio work against its time budget: one analysis block
// and one 16 ms capture step against the capture period of 16 ms, one visualiser
// frame against its 15 ms period.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "services/audio/AudioAnalysis.h"
#include "services/audio/KeyboardAudio.h"
#include "services/audio/Visualizer.h"
#include "services/audio/AudioTestDoubles.h"
#include "../BenchClock.h"

namespace {

void Report(const char* what, double us, double budgetMs)
{
    std::printf("%-52s %9.1f us  %6.2f %% of %.0f ms\n", what, us, us / (budgetMs * 10.0),
                budgetMs);
}

}  // namespace

int main()
{
    std::vector<float> block(AudioAnalysis::kBlockSize);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = float(0.3 * std::sin(2.0 * M_PI * 440.0 * i / 48000.0) +
                         0.2 * std::sin(2.0 * M_PI * 3000.0 * i / 48000.0));

    AudioAnalysis analysis;
    DWORD tick = 1000;
    double analyse =
        bench::MicrosecondsPer(2000, [&] { analysis.Analyse(block.data(), tick += 43); });
    Report("analysis of one 2048-sample block", analyse, 16);

    // A capture step of 16 ms of 48 kHz stereo float (768 frames) through the
    // capture path, spectrum analysis included when its block fills.
    audiotest::FakeCaptureClient client;
    KeyboardAudio audio;
    audiotest::RecordingEffect effect;
    audiotest::RecordingMatrix matrix;
    Visualizer visualizer;
    audio.SetEffect(&effect);
    audio.SetMatrixScreen(&matrix);
    audio.SetVisualizer(&visualizer);
    WAVEFORMATEXTENSIBLE format = audiotest::ExtensibleFormat(WAVE_FORMAT_IEEE_FLOAT, 2, 48000, 32);
    audio.AttachStream(&client, &format.Format);
    std::vector<float> packet(768 * 2);
    for (size_t i = 0; i < packet.size(); ++i) packet[i] = block[(i / 2) % block.size()];
    const int steps = 2000;
    double stepTotal = 0;
    for (int i = 0; i < steps; ++i) {
        client.Add(packet, 768);
        double start = bench::Seconds();
        audio.CaptureStep();
        stepTotal += bench::Seconds() - start;
        effect.history.clear();
    }
    Report("capture step, 16 ms of 48 kHz stereo (incl. analysis)", stepTotal * 1e6 / steps, 16);

    Visualizer v;
    v.Reset();
    std::vector<float> wave(512);
    for (int i = 0; i < 512; ++i) wave[i] = float(100.0 * std::sin(2.0 * M_PI * 12.0 * i / 512.0));
    struct Scheme
    {
        const char* name;
        int fore, back;
    } schemes[] = {
        {"visualiser frame, rainbow over black (17 / 0)", 17, 0},
        {"visualiser frame, hue by angle over palette (4 / 2)", 4, 2},
        {"visualiser frame, audio rings over black (21 / 0)", 21, 0},
    };
    for (const Scheme& s : schemes) {
        v.SetForegroundScheme(s.fore);
        v.SetBackgroundScheme(s.back);
        double us = bench::MicrosecondsPer(300, [&] {
            v.PushSamples(wave.data(), 512);
            v.RenderFrame();
        });
        Report(s.name, us, 15);
    }
    return 0;
}
