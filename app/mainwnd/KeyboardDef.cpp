#include "mainwnd/KeyboardDef.h"

#include <cstring>

KeyboardDef::KeyboardDef()
{
    for (auto& control : m_controls) control = nullptr;
}

WEXA::MControl* KeyboardDef::Keep(WEXA::MControl* control)
{
    if (!control) return nullptr;
    UINT id = control->GetControlID();
    if (id > kMaxControlId) return control;
    if (id == 64 && m_controls[64])
        m_pJoinVipText = control;
    else
        m_controls[id] = control;
    return control;
}

std::vector<WEXA::MControl*> KeyboardDef::KeptControls() const
{
    std::vector<WEXA::MControl*> all;
    for (auto* control : m_controls)
        if (control) all.push_back(control);
    if (m_pJoinVipText) all.push_back(m_pJoinVipText);
    return all;
}

void KeyboardDef::Show(UINT id, bool show)
{
    if (WEXA::MControl* control = Ctl(id)) control->SetVisible(show ? 1 : 0);
    if (id == 64 && m_pJoinVipText) m_pJoinVipText->SetVisible(show ? 1 : 0);
}

void KeyboardDef::ShowIds(std::initializer_list<UINT> ids, bool show)
{
    for (UINT id : ids) Show(id, show);
}

void KeyboardDef::ShowRange(UINT first, UINT last, bool show)
{
    for (UINT id = first; id <= last; ++id) Show(id, show);
}

void KeyboardDef::ShowPageFrame(bool show)
{
    ShowIds({38, 35, 51, 52, 54, 55, 53, 48, 49, 50, 46, 64, 66, 67, 32, 33, 58}, show);
}

void KeyboardDef::ShowCustomKeyFrame(bool show)
{
    ShowIds({56, 57, 60, 61}, show);
}

void KeyboardDef::HideEffectColorControls()
{
    ShowRange(244, 267, false);
}

void KeyboardDef::ShowVisualizerControls(bool show)
{
    Show(160, show);
    ShowRange(193, 202, show);
}

void KeyboardDef::ShowMusicLayerChecks(bool show)
{
    ShowRange(161, 172, show);
}

void KeyboardDef::ShowMusicLayerColors(bool show)
{
    ShowRange(173, 192, show);
}

void KeyboardDef::ShowEffectFileControls(bool show)
{
    ShowIds({270, 271, 272}, show);
}

void KeyboardDef::ShowGameKeyControls(bool show)
{
    ShowIds({275, 276}, show);
}

void KeyboardDef::ShowPresetControls(bool show)
{
    ShowIds({273, 274}, show);
}
