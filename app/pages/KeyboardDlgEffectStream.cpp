// KeyboardDlg: the worker's effect step. In the visualiser mode the visualiser's
// canvas is sampled into the effect panel's colour map (with the light-ring
// overlay and the light bars); off the effect page the worker steps the panel
// itself; then the panel's key colours go to the keyboard as one frame.
#include "MSlider.h"
#include "NimbrelEffect.h"
#include "pages/EffectSampling.h"
#include "mainwnd/KeyboardDlg.h"

using WEXA::KEYITEM_INFO;
using WEXA::NimbrelEffect;

void KeyboardDlg::StreamEffectColors()
{
    NimbrelEffect* panel = CtlAs<NimbrelEffect>(59);
    if (!panel || m_keyGridRows <= 0 || m_keyGridColumns <= 0 || !m_effectStreaming) return;
    // Layout files may describe more rows or columns than the sample tables and
    // the colour map hold.
    const int rows = ClampGridRows(m_keyGridRows);
    const int columns = ClampGridColumns(m_keyGridColumns);

    if (m_effectMode == 1) {
        const bool rings = m_musicForeMode == 22;
        if (m_effectCanvas.size() != size_t(Visualizer::kPixels))
            m_effectCanvas.assign(size_t(Visualizer::kPixels), 0);
        COLORREF* canvas = m_effectCanvas.data();
        if (rings)
            m_visualizer.CopyBackgroundLayer(canvas);
        else
            m_visualizer.CopyFrontCanvas(canvas);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                panel->SetColorMap(
                    c, r, canvas[m_spectrumRowY[r] * Visualizer::kWidth + m_spectrumColumnX[c]]);

        if (rings) {
            DWORD matrix[7 * 19] = {};
            panel->GetMatrixLightsColors(matrix, 7, 19, true, 0x0000FF);
            for (int r = 0; r < 7; ++r)
                for (int c = 0; c < 19; ++c)
                    if (matrix[r * 19 + c] > 1) panel->SetColorMap(c, r, matrix[r * 19 + c]);
        }

        auto* brightness = CtlAs<WEXA::MSlider>(198);
        const int scale = LightBarScale(brightness ? brightness->GetProgress() : 100);
        if (m_deviceType == 101) {
            for (int r = 0; r <= 10; ++r) {
                panel->SetColorMap(0, r, 0);
                panel->SetColorMap(24, r, 0);
            }
            for (int c = 1; c <= 24; ++c) panel->SetColorMap(c, 0, 0);
            DWORD side[32] = {};
            DWORD top[32] = {};
            panel->GetSideLightsColors(side, 10, true, 0x0000FF);
            panel->GetTopLightsColors(top, 24, true, 0x0000FF);
            for (int c = 1; c <= 24; ++c) panel->SetColorMap(c, 0, ScaleColour(top[c - 1], scale));
            for (int r = 0; r <= 10; ++r) {
                const COLORREF colour = ScaleColour(side[r], scale);
                panel->SetColorMap(0, r, colour);
                panel->SetColorMap(24, r, colour);
            }
        } else if (m_deviceType == 102) {
            DWORD top[32] = {};
            panel->GetTopLightsColors(top, 27, true, 0x0000FF);
            for (int c = 0; c < 27; ++c) panel->SetColorMap(c, 7, ScaleColour(top[c], scale));
        }
        panel->UpdateControl(1, 0);
    }

    if (m_currentPage != 2) {
        panel->OnTimer();
        panel->DrawHideControl();
    }

    // The key records stay the panel's: they are read under its key-item lock,
    // so that no other thread clears or recolours them meanwhile.
    m_effectItems.clear();
    panel->EnterCriSec();
    for (const KEYITEM_INFO* item : panel->GetKeyItems())
        m_effectItems.push_back({int(item->keyCode), item->color});
    panel->LeaveCriSec();
    SendEffectFrame(m_effectItems);
}
