#pragma once
// Conversion between a key's function as the profile database keeps it (the
// function fields of a KeyMacroData row) and the 3-byte key-function record the
// keyboard keeps per key index and Fn layer.
//
// Function types (macro_type) and their records:
//   0  nothing assigned          the caller's bytes stay as they are
//   1  (imported only)           05 03 00
//   2  key / modifiers           10 <modifier bits> <HID usage>; 10 <bits> 00 for modifiers alone
//   3  macro                     60 <position> <play mode> or 61 <position> <repeat count>
//   5  mouse function 90-97      40 xx yy (table in KeyFuncCodec.cpp)
//   6  media / application       30 <consumer usage, low byte first>
//   7  shortcut 150-160          10 <bits> <usage>; system control 161, 162: 02 02 00, 02 01 00
//   8-11 (imported only)         05 02 <low byte of the value>
//   12 special function 1-74     50 <number> 00
// A macro record names the macro by its position in the macro table
// (DeviceDataDB::GetMacros order), a row by its macro_id.
//
// The bytes written are the ones the keyboard's firmware reads. The reader also
// understands every record the writer makes, so a function picked from the
// catalogue survives a write and a read-back: decoding an encoded record and
// encoding the result gives the same bytes. Shortcuts read back as the key
// combination they are; system control 163 has no written form (10 00 00).
#include <cstdint>

#include "mainwnd/device/KeyFuncCatalogue.h"
#include "services/db/DeviceDataRecords.h"

class DeviceDataDB;

// Modifier bits of byte 1 of a key record (also macro_value2 of a type-2 row).
enum : int {
    kModLeftCtrl = 0x01,
    kModLeftShift = 0x02,
    kModLeftAlt = 0x04,
    kModLeftGui = 0x08,
    kModRightCtrl = 0x10,
    kModRightShift = 0x20,
    kModRightAlt = 0x40,
    kModRightGui = 0x80,
};

class KeyFuncCodec
{
public:
    // Macro positions are looked up in `db`; descriptions come from `text`
    // (section "KB.DIALOG") and the key names of KeyCodeTable.
    KeyFuncCodec(DeviceDataDB& db, KeyFuncTextFn text);

    // Type 0 leaves `record` as it is; any other type first sets it to 00 00 00.
    void Encode(const KeyMacroData& row, uint8_t* record) const;
    // Sets macro_type and the three values (0 first), and macro_desc where the
    // record is recognised; every other field of the row stays.
    void Decode(const uint8_t* record, KeyMacroData& row) const;

    // A macro's name as shown: names beginning "New Macro", "新建巨集" or "新建宏"
    // show text 351 in place of that prefix.
    CString ShownMacroName(const CString& name) const;

    // The codec over the process-wide database, with the text source set by
    // SetDefaultTextSource (none: empty texts).
    static const KeyFuncCodec& Default();
    // Called once at start-up, before the worker runs.
    static void SetDefaultTextSource(KeyFuncTextFn text);

private:
    CString Text(int id) const { return m_text ? m_text(id) : CString(); }
    // Position of macro_id in the macro table; -1 when not there.
    int MacroPosition(int macroId) const;

    DeviceDataDB& m_db;
    KeyFuncTextFn m_text;
};

// Whether `row`'s function is one the codec writes as what the row says, with
// no value cut to its low byte: a type of the table above, a code of its table
// (or what a read-back leaves in a row), values 2 and 3 within a byte. Macro
// ids are not looked up: a macro missing from the table is written as none.
bool IsEncodableKeyFunction(const KeyMacroData& row);

// The codec's operations over the process-wide database and text source.
void EncodeKeyFunction(const KeyMacroData& row, uint8_t* record);
void DecodeKeyFunction(const uint8_t* record, KeyMacroData& row);
