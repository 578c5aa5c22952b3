#pragma once

// DeviceDataDB: the profile database of the keyboard model that is selected.
//
// Every keyboard model keeps its settings in its own SQLite file,
// "<data folder>db\<model>_data_2.db". The one process-wide object
// (Instance) holds the connection to the current model's file. The UI thread
// and the main window's worker thread call its table operations; each of them
// holds the object's recursive lock from start to end, so operations never
// interleave and one operation may call another. Opening, closing, creating
// and deleting the file and writing the default configuration take the same
// lock.
//
// Conventions of the table operations:
// - texts are stored as UTF-8 and come back as wide strings; a NULL column
//   reads as an empty text or 0;
// - a statement that changes rows counts as done when its step gives
//   SQLITE_OK, SQLITE_ROW or SQLITE_DONE;
// - inserts return the new row id, or 0 when nothing was inserted;
// - single-row reads return true only when a row came back and leave the
//   caller's record unchanged otherwise;
// - list reads delete the records the caller's list still holds, fill it with
//   new records (owned by the caller) and return their number;
// - without an open database every operation fails quietly: 0, false, an
//   empty list.
//
// The lock (m_lock) and the connection (m_db) are public: the main window
// runs a few statements of its own on the connection while holding the lock.

#include <string>
#include <vector>

#include "CLock.h"
#include "CString.h"
#include "services/db/DeviceDataRecords.h"
#include "services/db/SQLiteDB.h"

class DeviceDataDB
{
public:
    // The process-wide object, created on first use.
    static DeviceDataDB* Instance();

    DeviceDataDB();
    ~DeviceDataDB();

    DeviceDataDB(const DeviceDataDB&) = delete;
    DeviceDataDB& operator=(const DeviceDataDB&) = delete;

    // Full path of a model's file: folder (with trailing backslash) followed by
    // "db\<name>_data_2.db".
    static CString MakeFilePath(const wchar_t* folder, const wchar_t* name);

    // ---- file ------------------------------------------------------------
    // Opens the model's file below the data folder, creating it with the full
    // schema (and no rows) when it does not exist. A connection to another file
    // is closed first. An existing file that is not a readable profile database
    // (not SQLite, damaged, or without the profile table) is left untouched and
    // the result is false; a zero-length file holds nothing and is given the
    // schema. The result is also kept in the opened flag. A name that is no
    // plain file name (IsPlainFileName) opens nothing and gives false (the
    // connection open before is closed).
    bool OpenDevice(const wchar_t* folder, const wchar_t* name);
    // Closes the connection, whatever the opened flag says, and clears the flag.
    void CloseDevice();
    // Deletes the model's file (closing the connection first when it is open on
    // that very file). True when no file is left. A name that is no plain
    // file name deletes nothing and gives false.
    bool DeleteDeviceFile(const wchar_t* folder, const wchar_t* name);
    // Creates the file at the current path with the 18 tables and their
    // indexes. True when every schema statement succeeded; on failure nothing
    // stays open. With a connection already open: true, nothing changes.
    bool CreateTables();
    bool IsOpened();
    std::string GetPath();

    // ---- configuration rows (t_config_data) ---------------------------------
    // Writes the 32 default rows of a profile (again, when called twice).
    void InsertDefaultConfig(int profile);
    // Updates an existing row; a missing key is not added. True when the
    // statement ran.
    bool SetConfigValue(int profile, const wchar_t* key, const wchar_t* value);
    // As SetConfigValue, adding the row when the profile has none for the key
    // (values that databases of earlier versions never got). True when stored.
    bool StoreConfigValue(int profile, const wchar_t* key, const wchar_t* value);
    // True and the value when the row exists; false and an empty value otherwise.
    bool GetConfigValue(int profile, const wchar_t* key, CString& value);

    // ---- profiles (t_profile_data) ------------------------------------------
    // Inserts a profile (status and type stored as 0) and gives it a music layer
    // and a custom-light row named "Profile". New profile id, or 0.
    int AddProfile(const ProfileData& record);
    bool DeleteProfile(int profile);
    bool RenameProfile(int profile, const wchar_t* name);
    bool GetProfileName(int profile, CString& name);
    int GetProfiles(std::vector<ProfileData*>& list);
    bool SetActiveProfile(int profile);
    // Id of the first active profile; 0 when none.
    int GetActiveProfile();

    // ---- music layers (t_musiclayer_data) -----------------------------------
    // New layer_id, or 0.
    int AddMusicLayer(int profile, const wchar_t* name);
    bool GetMusicLayer(int layerId, MusicLayerData& record);
    bool UpdateMusicLayer(int layerId, const MusicLayerData& record);

    // ---- key assignments (t_key_macro_data) ---------------------------------
    int CountKeyMacros(int profile);
    // Replaces the row of (profile, fn_layer, key_code): the old row goes; the
    // record is stored unless macro_value and macro_value2 are both 0. Key code
    // 0 changes nothing. New key_id, or 0 when nothing was inserted (a failed
    // insert keeps the old row).
    int ReplaceKeyMacro(const KeyMacroData& record);
    // Inserts every record in one transaction; a failing row does not stop the
    // others.
    void InsertKeyMacros(std::vector<KeyMacroData> records);
    // Sets the function fields of the row of the record's (profile, fn_layer,
    // key_code); no row is created. False when the change was not stored.
    bool UpdateKeyMacro(const KeyMacroData& record);
    void UpdateKeyMacros(std::vector<KeyMacroData> records);
    bool GetKeyMacro(int profile, int fnLayer, int keyCode, KeyMacroData& record);
    int GetLayerKeyMacros(int profile, int fnLayer, std::vector<KeyMacroData*>& list);
    int GetProfileKeyMacros(int profile, std::vector<KeyMacroData*>& list);
    int GetAllKeyMacros(std::vector<KeyMacroData*>& list);

    // ---- lighting (t_light_data, t_userlightrgb_data, t_customlight_data) ---
    int CountLights(int profile);
    // New light_id, or 0.
    int AddLight(const LightData& record);
    // Finds the row by the record's profile and the given type and mode (the
    // first argument is not used); sets brightness .. reserved.
    bool UpdateLight(int profile, int type, int mode, const LightData& record);
    bool SetActiveLightMode(int profile, int type, int mode);
    // Mode of the first active row of (profile, type); 0 when none.
    int GetActiveLightMode(int profile, int type);
    bool GetLight(int profile, int type, int mode, LightData& record);
    int GetLights(int profile, int type, std::vector<LightData*>& list);
    // Inserts every record in one transaction; returns the number of records given.
    int InsertUserLightRgb(std::vector<UserLightRgbData> records);
    bool DeleteUserLightRgb(int profile, int userlightId);
    // Deletes the colours of (profile, userlight_id) and inserts the records, as
    // one transaction: on any failure the previous colours stay.
    bool ReplaceUserLightRgb(int profile, int userlightId, std::vector<UserLightRgbData> records);
    int GetUserLightRgb(int profile, int userlightId, std::vector<UserLightRgbData*>& list);
    // New customlight_id, or 0.
    int AddCustomLight(int profile, const wchar_t* name);

    // ---- macros (t_macro_data, t_macrorecord) -------------------------------
    // New macro_id, or 0.
    int AddMacro(const wchar_t* name);
    bool RenameMacro(int macroId, const wchar_t* name);
    // Deletes the macro, then (when that ran) its events.
    bool DeleteMacro(int macroId);
    bool GetMacro(int macroId, MacroData& record);
    // Writes the whole row but its id; the row is chosen by macroId.
    bool UpdateMacro(int macroId, MacroData record);
    // The same, for the row of the record's own macro_id.
    bool UpdateMacro(const MacroData& record);
    int GetMacros(std::vector<MacroData*>& list);
    // Puts a deleted macro back under its own macro_id (so in its old place of
    // the table order) with the events given, as one transaction.
    bool RestoreMacro(const MacroData& macro, std::vector<MacroRecordData> records);
    // Inserts every event in one transaction; a failing row does not stop the others.
    void InsertMacroRecords(std::vector<MacroRecordData> records);
    // Deletes the macro's events and inserts the records (their macro_id is set
    // to macroId), as one transaction: on any failure the previous events stay.
    bool ReplaceMacroRecords(int macroId, std::vector<MacroRecordData> records);
    // Events of the macro in ascending record_index.
    int GetMacroRecords(int macroId, std::vector<MacroRecordData*>& list);
    bool DeleteMacroRecords(int macroId);
    int CountMacroRecords(int macroId);
    int CountAllMacroRecords();

    // ---- LCD (t_ledlayer_data, t_ledframe_data, t_tftscreen_data) -----------
    // Rows of layers and screens always belong to profile 1; the profile
    // arguments are not used.
    int AddTftScreen(int profile, int frameSize, const wchar_t* fileName);
    int GetTftScreens(int profile, std::vector<TftScreenData*>& list);
    // One row with the text as name, folder and first file; new led_id, or 0.
    int AddLedLayer(int profile, const wchar_t* text);
    bool SetLedLayerFrameSize(int ledId, int frameSize);
    bool SetLedLayerFirstFile(int ledId, const wchar_t* firstFile);
    // The layer's type: 1 marks a default layer made from a stock animation.
    bool SetLedLayerType(int ledId, int type);
    // Deletes the layer row, then its frames; the result is the layer delete's.
    bool DeleteLedLayer(int ledId);
    bool GetLedLayer(int ledId, LedLayerData& record);
    int GetLedLayers(int profile, std::vector<LedLayerData*>& list);
    // Inserts every frame in one transaction; returns the number of records given.
    int InsertLedFrames(std::vector<LedFrameData> records);
    // Deletes the layer's frames and inserts the records (their led_id is set
    // to ledId), as one transaction: on any failure the previous frames stay.
    bool ReplaceLedFrames(int ledId, std::vector<LedFrameData> records);
    bool DeleteLedFrames(int ledId);
    // Frames of the layer in ascending frame_index.
    int GetLedFrames(int ledId, std::vector<LedFrameData*>& list);
    int CountLedFrames(int ledId);
    void DeleteAllLedLayers();

    // ---- shared with the main window ---------------------------------------
    SQLiteDB m_db;         // the connection of the current model's file
    CCriticalLock m_lock;  // recursive; held by every operation
    bool m_opened;         // result of the last OpenDevice; guarded by m_lock

private:
    bool OpenExisting();
    bool CheckReadable();
    void CloseConnection();
    int Count(const char* sql, int value, bool bindValue);
    int InsertAndGetId(SQLiteStatement& stmt);

    std::string m_path;  // UTF-8 path of the current file
    std::string m_key;   // always empty: files are plain SQLite files
};

// Deletes the records a list holds and empties it.
template <class T>
void FreeRecordList(std::vector<T*>& list)
{
    for (T* p : list) delete p;
    list.clear();
}
