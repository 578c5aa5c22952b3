#pragma once
// What the pages stored ahead of a write the keyboard has not confirmed yet.
// The pages store a setting first and then queue the task that writes it; each
// store through KeyboardDlg's Store... helpers keeps here the row as it was
// before, under the writer it waits for. The worker takes a writer's entries
// when it starts that writer's task: a confirmed write drops them, a write the
// keyboard did not confirm (or a task that was dropped) puts every entry of that
// writer back, newest first (each undoes its own store, so a macro deleted after
// its events changed comes back with the events the keyboard holds), so the
// database holds what the keyboard holds. For a row changed several times
// before the worker came, the oldest entry (the row the keyboard last
// confirmed) is the one kept.
//
// Safe from any thread. Its lock is taken before the database's lock (a store
// runs under it, so that the worker never takes an entry whose row is half
// stored) and never while holding any other lock.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "services/db/DeviceDataRecords.h"

// The writers whose stored rows are kept.
enum class PendingWriter {
    Light,        // tasks 11, 12, 19: light rows, active light modes, "enable_light"
    Matrix,       // task 13: the matrix screen's rows and mode, "enable_matrixscreen"
    Performance,  // task 16: the performance configuration values
    UserColours,  // task 18: the per-key colours of a user light mode
    Macros,       // task 10: the events of a macro, new and deleted macros
};

// The writer a task code writes for; false for other tasks.
inline bool PendingWriterOfTask(int code, PendingWriter& writer)
{
    switch (code) {
        case 11:
        case 12:
        case 19: writer = PendingWriter::Light; return true;
        case 13: writer = PendingWriter::Matrix; return true;
        case 16: writer = PendingWriter::Performance; return true;
        case 18: writer = PendingWriter::UserColours; return true;
        case 10: writer = PendingWriter::Macros; return true;
        default: return false;
    }
}

// One stored row as it was.
struct StoredBefore
{
    enum Kind { LightRow, ActiveMode, Config, UserColours, MacroEvents, MacroAdded, MacroDeleted };
    Kind kind = LightRow;
    int profile = 0;
    int type = 0;          // light zone / type; user mode of UserColours; macro id of Macro...
    int mode = 0;          // light mode of LightRow
    std::wstring key;      // configuration key of Config
    bool existed = false;  // the row (or value) was there
    bool changed = true;   // the store changed it (an equal value puts nothing back)
    LightData light;
    int activeMode = 0;
    std::wstring text;
    std::vector<UserLightRgbData> colours;
    std::vector<MacroRecordData> events;  // MacroEvents, MacroDeleted
    MacroData macro;                      // MacroDeleted: the row as it was

    bool SameRowAs(const StoredBefore& other) const
    {
        return kind == other.kind && profile == other.profile && type == other.type &&
               mode == other.mode && key == other.key;
    }
};

class PendingWrites
{
public:
    // Runs `store` (the page's change to the database) under the lock and, when
    // it stored and changed the row (`store` may clear `before.changed`), keeps
    // `before` for `writer` unless an older entry of the same row waits already.
    // Returns what `store` returned.
    bool Store(PendingWriter writer, const StoredBefore& before, const std::function<bool()>& store)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (!store()) return false;
        if (!before.changed) return true;
        for (const Entry& entry : m_entries)
            if (entry.writer == writer && entry.before.SameRowAs(before)) return true;
        m_entries.push_back({writer, before});
        return true;
    }
    // Every entry of `writer`, oldest first; they are no longer kept.
    std::vector<StoredBefore> Take(PendingWriter writer)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        std::vector<StoredBefore> taken;
        std::vector<Entry> kept;
        for (Entry& entry : m_entries) {
            if (entry.writer == writer)
                taken.push_back(std::move(entry.before));
            else
                kept.push_back(std::move(entry));
        }
        m_entries.swap(kept);
        return taken;
    }

private:
    struct Entry
    {
        PendingWriter writer;
        StoredBefore before;
    };
    std::mutex m_lock;
    std::vector<Entry> m_entries;
};
