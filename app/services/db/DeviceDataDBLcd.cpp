// DeviceDataDB: LCD rows (t_ledlayer_data, t_ledframe_data, t_tftscreen_data).
// Layers and screens are always stored and read under profile 1, so the LCD
// content is the same for every profile of a model.

#include "services/db/DeviceDataDB.h"

#include "services/db/DeviceDataDBInternal.h"

using namespace devicedb;

namespace {

const int kLcdProfile = 1;

const char kInsertLedFrame[] =
    "INSERT INTO t_ledframe_data(led_id, name, delay_time, frame_index, file_name) VALUES (?, ?, "
    "?, "
    "?, ?);";

bool BindLedFrame(SQLiteStatement& stmt, const LedFrameData& r)
{
    return stmt.BindInt(1, r.led_id) == SQLITE_OK && BindWide(stmt, 2, r.name) == SQLITE_OK &&
           stmt.BindInt(3, r.delay_time) == SQLITE_OK &&
           stmt.BindInt(4, r.frame_index) == SQLITE_OK &&
           BindWide(stmt, 5, r.file_name) == SQLITE_OK;
}

// Columns 0..6 of "SELECT *": led_id, profile, type, name, frame_size, file_dir, first_file.
void ReadLedLayer(SQLiteStatement& stmt, LedLayerData& r)
{
    r.led_id = stmt.GetInt(0);
    r.profile = stmt.GetInt(1);
    r.type = stmt.GetInt(2);
    r.name = ColumnText(stmt, 3);
    r.frame_size = stmt.GetInt(4);
    r.file_dir = ColumnText(stmt, 5);
    r.first_file = ColumnText(stmt, 6);
}

}  // namespace

int DeviceDataDB::AddTftScreen(int /*profile*/, int frameSize, const wchar_t* fileName)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt,
                     "INSERT INTO t_tftscreen_data(profile, frame_size, file_name) VALUES (?, "
                     "?, ?);") != SQLITE_OK)
        return 0;
    stmt.BindInt(1, kLcdProfile);
    stmt.BindInt(2, frameSize);
    BindWide(stmt, 3, fileName);
    return InsertAndGetId(stmt);
}

int DeviceDataDB::GetTftScreens(int /*profile*/, std::vector<TftScreenData*>& list)
{
    CAutoLock lock(m_lock);
    FreeRecordList(list);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "SELECT * FROM t_tftscreen_data WHERE profile = ?",
                         kLcdProfile))
        return 0;
    while (stmt.Step() == SQLITE_ROW) {
        TftScreenData* r = new TftScreenData;
        r->tft_id = stmt.GetInt(0);
        r->profile = stmt.GetInt(1);
        r->frame_size = stmt.GetInt(2);
        r->file_name = ColumnText(stmt, 3);
        list.push_back(r);
    }
    return static_cast<int>(list.size());
}

int DeviceDataDB::AddLedLayer(int /*profile*/, const wchar_t* text)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt,
                     "INSERT INTO t_ledlayer_data(profile, type, name, frame_size, file_dir, "
                     "first_file) VALUES (?, ?, ?, ?, ?, ?);") != SQLITE_OK)
        return 0;
    // The text serves as name, folder and first picture until the frames are stored.
    stmt.BindInt(1, kLcdProfile);
    stmt.BindInt(2, 0);
    BindWide(stmt, 3, text);
    stmt.BindInt(4, 0);
    BindWide(stmt, 5, text);
    BindWide(stmt, 6, text);
    return InsertAndGetId(stmt);
}

bool DeviceDataDB::SetLedLayerFrameSize(int ledId, int frameSize)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "UPDATE t_ledlayer_data SET frame_size = ? WHERE led_id = ?",
                         frameSize, ledId))
        return false;
    return RunChange(stmt);
}

bool DeviceDataDB::SetLedLayerFirstFile(int ledId, const wchar_t* firstFile)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (m_db.Prepare(stmt, "UPDATE t_ledlayer_data SET first_file = ? WHERE led_id = ?") !=
        SQLITE_OK)
        return false;
    BindWide(stmt, 1, firstFile);
    stmt.BindInt(2, ledId);
    return RunChange(stmt);
}

bool DeviceDataDB::SetLedLayerType(int ledId, int type)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "UPDATE t_ledlayer_data SET type = ? WHERE led_id = ?", type,
                         ledId))
        return false;
    return RunChange(stmt);
}

bool DeviceDataDB::DeleteLedLayer(int ledId)
{
    CAutoLock lock(m_lock);
    bool deleted = false;
    {
        SQLiteStatement stmt;
        if (PrepareWithInts(m_db, stmt, "DELETE FROM t_ledlayer_data WHERE led_id = ?", ledId))
            deleted = RunChange(stmt);
    }
    DeleteLedFrames(ledId);  // whatever the layer delete reported
    return deleted;
}

bool DeviceDataDB::GetLedLayer(int ledId, LedLayerData& record)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "SELECT * FROM t_ledlayer_data WHERE led_id = ?", ledId))
        return false;
    if (stmt.Step() != SQLITE_ROW) return false;
    ReadLedLayer(stmt, record);
    return true;
}

int DeviceDataDB::GetLedLayers(int /*profile*/, std::vector<LedLayerData*>& list)
{
    CAutoLock lock(m_lock);
    FreeRecordList(list);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "SELECT * FROM t_ledlayer_data WHERE profile = ?",
                         kLcdProfile))
        return 0;
    while (stmt.Step() == SQLITE_ROW) {
        LedLayerData* r = new LedLayerData;
        ReadLedLayer(stmt, *r);
        list.push_back(r);
    }
    return static_cast<int>(list.size());
}

int DeviceDataDB::InsertLedFrames(std::vector<LedFrameData> records)
{
    CAutoLock lock(m_lock);
    RunForEachInOneTransaction(
        m_db, kInsertLedFrame, records,
        [](SQLiteStatement& stmt, const LedFrameData& r) { BindLedFrame(stmt, r); });
    return static_cast<int>(records.size());
}

bool DeviceDataDB::ReplaceLedFrames(int ledId, std::vector<LedFrameData> records)
{
    CAutoLock lock(m_lock);
    RowSetReplace replace(m_db);
    if (!replace.IsActive()) return false;
    {
        SQLiteStatement stmt;
        if (!PrepareWithInts(m_db, stmt, "DELETE FROM t_ledframe_data WHERE led_id = ?", ledId) ||
            !RunChange(stmt))
            return false;
        for (LedFrameData& r : records) {
            r.led_id = ledId;
            if (m_db.Prepare(stmt, kInsertLedFrame) != SQLITE_OK || !BindLedFrame(stmt, r) ||
                !RunChange(stmt))
                return false;  // rolled back: the previous frames stay
        }
    }
    return replace.Commit();
}

bool DeviceDataDB::DeleteLedFrames(int ledId)
{
    CAutoLock lock(m_lock);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt, "DELETE FROM t_ledframe_data WHERE led_id = ?", ledId))
        return false;
    return RunChange(stmt);
}

int DeviceDataDB::GetLedFrames(int ledId, std::vector<LedFrameData*>& list)
{
    CAutoLock lock(m_lock);
    FreeRecordList(list);
    SQLiteStatement stmt;
    if (!PrepareWithInts(m_db, stmt,
                         "SELECT * FROM t_ledframe_data WHERE led_id = ? ORDER BY frame_index ASC",
                         ledId))
        return 0;
    while (stmt.Step() == SQLITE_ROW) {
        LedFrameData* r = new LedFrameData;
        r->frame_id = stmt.GetInt(0);
        r->led_id = stmt.GetInt(1);
        r->name = ColumnText(stmt, 2);
        r->delay_time = stmt.GetInt(3);
        r->frame_index = stmt.GetInt(4);
        r->file_name = ColumnText(stmt, 5);
        list.push_back(r);
    }
    return static_cast<int>(list.size());
}

int DeviceDataDB::CountLedFrames(int ledId)
{
    return Count("select count(*) FROM t_ledframe_data WHERE led_id = ?", ledId, true);
}

void DeviceDataDB::DeleteAllLedLayers()
{
    CAutoLock lock(m_lock);
    m_db.Exec("DELETE FROM t_ledlayer_data");
    m_db.Exec("DELETE FROM t_ledframe_data");
}
