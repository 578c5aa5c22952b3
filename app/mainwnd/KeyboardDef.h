#pragma once
// KeyboardDef: where the main window keeps its controls. Every control the
// window builds is kept here by its control id (null until built); the frame's
// controls also have named accessors. The group methods show or hide controls
// that belong together.
#include <initializer_list>
#include <vector>

#include "MControl.h"
#include "MPicture.h"
#include "MTabCtrl.h"

class KeyboardDef
{
public:
    static const UINT kMaxControlId = 440;

    KeyboardDef();

    // The control kept under the id, or null.
    WEXA::MControl* Ctl(UINT id) const { return id <= kMaxControlId ? m_controls[id] : nullptr; }
    template <class T>
    T* CtlAs(UINT id) const
    {
        return static_cast<T*>(Ctl(id));
    }
    // Keeps a control under its id (null is ignored); returns it.
    WEXA::MControl* Keep(WEXA::MControl* control);
    // Every kept control, with the second control of id 64 (the text button).
    std::vector<WEXA::MControl*> KeptControls() const;

    // The picture button and the text button share id 64; the text button:
    WEXA::MControl* m_pJoinVipText = nullptr;

    // ---- frame groups ----
    void ShowPageFrame(bool show);
    void ShowCustomKeyFrame(bool show);
    void HideEffectColorControls();
    void ShowVisualizerControls(bool show);
    void ShowMusicLayerChecks(bool show);
    void ShowMusicLayerColors(bool show);
    void ShowEffectFileControls(bool show);
    void ShowGameKeyControls(bool show);
    void ShowPresetControls(bool show);
    // Custom-key page: the macro play-mode controls (90-95) and the key
    // combination editor (96-116).
    void ShowMacroModeControls(bool show);
    void ShowKeyComboControls(bool show);
    // Lighting page: palette 141, fields 145-147 and colour buttons 148-156.
    void EnableLightColorControls(BOOL enable);

    // Shows or hides the kept controls of the ids (missing ones are skipped).
    void ShowIds(std::initializer_list<UINT> ids, bool show);
    void ShowRange(UINT first, UINT last, bool show);
    void Show(UINT id, bool show);

    // ---- named frame controls ----
    WEXA::MPicture* PictureBackground() const { return CtlAs<WEXA::MPicture>(30); }
    WEXA::CGifPicture* GifBackground() const { return CtlAs<WEXA::CGifPicture>(31); }
    WEXA::MTabCtrl* MainTab() const { return CtlAs<WEXA::MTabCtrl>(68); }

protected:
    WEXA::MControl* m_controls[kMaxControlId + 1];
};
