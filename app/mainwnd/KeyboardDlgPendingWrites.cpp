// KeyboardDlg: settings the pages store ahead of a keyboard write, kept until
// the keyboard confirms the write and put back when it does not, so that the
// database and the pages show what the keyboard holds.
#include "CSwitchButton.h"
#include "KeyboardCtrl.h"
#include "MComboBox.h"
#include "MacroList.h"
#include "mainwnd/KeyboardDlg.h"
#include "services/db/DeviceDataDB.h"

#include <utility>

using WEXA::KeyboardCtrl;

namespace {

DeviceDataDB& Db()
{
    return *DeviceDataDB::Instance();
}

const int kMatrixLightType = 16;

unsigned Bit(PendingWriter writer)
{
    return 1u << unsigned(writer);
}

void PutBack(const StoredBefore& row)
{
    switch (row.kind) {
        case StoredBefore::LightRow:
            if (row.existed) Db().UpdateLight(row.profile, row.type, row.mode, row.light);
            break;
        case StoredBefore::ActiveMode:
            Db().SetActiveLightMode(row.profile, row.type, row.activeMode);
            break;
        case StoredBefore::Config:
            // A value that was missing counted as 0 for every reader.
            Db().SetConfigValue(row.profile, row.key.c_str(),
                                row.existed ? row.text.c_str() : L"0");
            break;
        case StoredBefore::UserColours:
            Db().ReplaceUserLightRgb(row.profile, row.type, row.colours);
            break;
        case StoredBefore::MacroEvents: Db().ReplaceMacroRecords(row.type, row.events); break;
        case StoredBefore::MacroAdded: Db().DeleteMacro(row.type); break;
        case StoredBefore::MacroDeleted: Db().RestoreMacro(row.macro, row.events); break;
    }
}

}  // namespace

bool KeyboardDlg::StoreLight(int type, int mode, const LightData& row)
{
    StoredBefore before;
    before.kind = StoredBefore::LightRow;
    before.profile = m_currentProfile;
    before.type = type;
    before.mode = mode;
    const PendingWriter writer =
        type == kMatrixLightType ? PendingWriter::Matrix : PendingWriter::Light;
    return m_pendingWrites.Store(writer, before, [&] {
        before.existed = Db().GetLight(before.profile, type, mode, before.light);
        return Db().UpdateLight(before.profile, type, mode, row);
    });
}

bool KeyboardDlg::StoreActiveLightMode(int type, int mode)
{
    StoredBefore before;
    before.kind = StoredBefore::ActiveMode;
    before.profile = m_currentProfile;
    before.type = type;
    const PendingWriter writer =
        type == kMatrixLightType ? PendingWriter::Matrix : PendingWriter::Light;
    return m_pendingWrites.Store(writer, before, [&] {
        before.existed = true;
        before.activeMode = Db().GetActiveLightMode(before.profile, type);
        before.changed = before.activeMode != mode;
        return Db().SetActiveLightMode(before.profile, type, mode);
    });
}

bool KeyboardDlg::StoreConfigValue(PendingWriter writer, const wchar_t* key, const wchar_t* value)
{
    StoredBefore before;
    before.kind = StoredBefore::Config;
    before.profile = m_currentProfile;
    before.key = key;
    return m_pendingWrites.Store(writer, before, [&] {
        CString text;
        before.existed = Db().GetConfigValue(before.profile, key, text);
        before.text = text.GetString();
        before.changed = !before.existed || before.text != value;
        return Db().SetConfigValue(before.profile, key, value);
    });
}

bool KeyboardDlg::StoreUserKeyColors(int userMode, const std::vector<UserLightRgbData>& colours)
{
    StoredBefore before;
    before.kind = StoredBefore::UserColours;
    before.profile = m_currentProfile;
    before.type = userMode;
    return m_pendingWrites.Store(PendingWriter::UserColours, before, [&] {
        std::vector<UserLightRgbData*> rows;
        Db().GetUserLightRgb(before.profile, userMode, rows);
        for (const UserLightRgbData* row : rows) before.colours.push_back(*row);
        FreeRecordList(rows);
        before.existed = true;
        return Db().ReplaceUserLightRgb(before.profile, userMode, colours);
    });
}

bool KeyboardDlg::StoreMacroEvents(int macroId, const std::vector<MacroRecordData>& events)
{
    StoredBefore before;
    before.kind = StoredBefore::MacroEvents;
    before.type = macroId;
    return m_pendingWrites.Store(PendingWriter::Macros, before, [&] {
        std::vector<MacroRecordData*> rows;
        Db().GetMacroRecords(macroId, rows);
        for (const MacroRecordData* row : rows) before.events.push_back(*row);
        FreeRecordList(rows);
        before.existed = true;
        return Db().ReplaceMacroRecords(macroId, events);
    });
}

int KeyboardDlg::StoreNewMacro(const wchar_t* name)
{
    StoredBefore before;
    before.kind = StoredBefore::MacroAdded;
    int macroId = 0;
    m_pendingWrites.Store(PendingWriter::Macros, before, [&] {
        macroId = Db().AddMacro(name);
        // Kept under its new id: the entry is made once the row is stored.
        before.type = macroId;
        return macroId > 0;
    });
    return macroId;
}

bool KeyboardDlg::StoreDeletedMacro(int macroId)
{
    StoredBefore before;
    before.kind = StoredBefore::MacroDeleted;
    before.type = macroId;
    return m_pendingWrites.Store(PendingWriter::Macros, before, [&] {
        if (!Db().GetMacro(macroId, before.macro)) return false;
        std::vector<MacroRecordData*> rows;
        Db().GetMacroRecords(macroId, rows);
        for (const MacroRecordData* row : rows) before.events.push_back(*row);
        FreeRecordList(rows);
        before.existed = true;
        return Db().DeleteMacro(macroId);
    });
}

void KeyboardDlg::TakeBackStoredWrites(PendingWriter writer, std::vector<StoredBefore> taken)
{
    // The entries stored while the write ran or behind it go too: the keyboard
    // holds none of them.
    for (StoredBefore& later : m_pendingWrites.Take(writer)) taken.push_back(std::move(later));
    std::vector<const StoredBefore*> done;
    for (const StoredBefore& row : taken) {
        bool seen = false;
        for (const StoredBefore* earlier : done) seen = seen || earlier->SameRowAs(row);
        if (seen) continue;  // the oldest is what the keyboard holds
        done.push_back(&row);
    }
    // Newest first: each entry undoes its own store.
    for (auto row = done.rbegin(); row != done.rend(); ++row) PutBack(**row);
    m_takenBackWriters |= Bit(writer);
    ReportUnconfirmedWrite();
}

void KeyboardDlg::ShowTakenBackSettings()
{
    const unsigned writers = m_takenBackWriters.exchange(0);
    if (!writers) return;
    if (writers & (Bit(PendingWriter::Light) | Bit(PendingWriter::UserColours))) {
        // The mode list, the active mode and its controls from the database.
        if (m_featureFlags & 0x04) LoadLightModes();
        KeyboardCtrl* picture = CtlAs<KeyboardCtrl>(58);
        if (picture && m_currentPage == 1 && m_lightMode >= 128) {
            std::vector<UserLightRgbData*> rows;
            Db().GetUserLightRgb(m_currentProfile, m_lightMode, rows);
            for (const UserLightRgbData* row : rows)
                picture->SetKeyColor(row->key_code, COLORREF(row->key_rgb));
            FreeRecordList(rows);
            picture->UpdateControl(1, 0);
        }
    }
    if (writers & Bit(PendingWriter::Matrix)) {
        CString enabled;
        const bool on = !Db().GetConfigValue(m_currentProfile, L"enable_matrixscreen", enabled) ||
                        _wtoi(enabled) != 0;
        m_matrixMode = on ? Db().GetActiveLightMode(m_currentProfile, kMatrixLightType) : 0;
        if (auto* modes = CtlAs<WEXA::MComboBox>(289)) modes->SelectData(m_matrixMode);
        if (auto* onSwitch = CtlAs<WEXA::CSwitchButton>(286)) onSwitch->SetCheck(on ? 1 : 0);
        ShowMatrixModeControls();
    }
    if (writers & Bit(PendingWriter::Performance)) LoadPerformanceSettings();
    if (writers & Bit(PendingWriter::Macros)) {
        // Macros may have come back or gone: the list is read again.
        auto* list = CtlAs<WEXA::MacroList>(209);
        if (list) ReloadMacroList(list->GetCurSel() >= 0 ? int(list->GetCurData()) : 0);
    }
}
