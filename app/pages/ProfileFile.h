#pragma once
// The profile exchange file: one profile's name and key assignments as UTF-8
// XML, written by the export and read back by the import.
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <profile>
//   <profileinfo name="..."/>
//   <key_macro>
//   <item fn_layer=".." key_code=".." layout_value=".." layout_desc=".." macro_type=".."
//         macro_value=".." macro_value2=".." macro_value3=".." macro_desc=".."/>
//   ...
//
// The reader takes a file of at most kMaxProfileFileBytes bytes in an encoding
// the program's XML reader reads (UTF-8, UTF-16 with a byte-order mark in
// either order, or another encoding the document declares and this system can
// convert), holding a well-formed document whose root is `profile`, nested no
// deeper than kMaxProfileFileDepth, with at most kMaxProfileFileItems `item`
// elements and no second `profile`. Anything else is refused as a whole, before
// anything is stored.
//
// A second `profileinfo` or `key_macro` is ignored: the name is the first
// `profileinfo`'s, the keys are those of the first `key_macro` after it.
//
// Inside an accepted file, an `item` the program could never have written (see
// IsImportableKeyRow) is skipped and counted; the others are imported.
#include <set>
#include <string>
#include <vector>

#include "CString.h"
#include "services/db/DeviceDataRecords.h"

const size_t kMaxProfileFileBytes = 1024 * 1024;
const int kMaxProfileFileDepth = 8;
const int kMaxProfileFileItems = 4096;

enum class ProfileFileError {
    None,
    Unreadable,       // missing, a folder, or a read error
    TooLarge,         // more than kMaxProfileFileBytes
    BadEncoding,      // an encoding the reader does not read, or bytes invalid in it
    TooDeep,          // elements nested deeper than kMaxProfileFileDepth
    NotWellFormed,    // the parser refused it
    NoProfileRoot,    // the root element is not `profile`
    TooManyItems,     // more than kMaxProfileFileItems key rows
    SeveralProfiles,  // a profile inside the profile
};

struct ImportedProfile
{
    CString name;
    // Key rows in document order, one per (Fn layer, key code): a later item
    // for the same layer and key replaces the earlier one in place; items with
    // rows the program could never have written are left out. The profile
    // field is 0.
    std::vector<KeyMacroData> rows;
    // Items left out because the program could never have written them.
    int skipped = 0;
};

// The key codes of the model a file is imported for; null accepts any code a
// key can have (1-255).
using ModelKeyCodes = std::set<int>;

// A decimal number as the export writes it ("%d", white space around it
// tolerated): false for anything else, or a value outside 32 bits.
bool ParseProfileNumber(const std::wstring& text, int& value);

// Whether the program could have written this key row: Fn layer 0-3, a key of
// the model, a layout value of 0 or the key's code, and a function the key
// codec encodes with every value in its column's range.
bool IsImportableKeyRow(const KeyMacroData& row, const ModelKeyCodes* keys);

// The document text of a profile (declaration line and CR LF first).
std::wstring BuildProfileDocument(const wchar_t* name, const std::vector<KeyMacroData*>& rows);
// Writes the document as UTF-8 (no byte-order mark); false when the file could
// not be written.
bool WriteProfileFile(const wchar_t* path, const wchar_t* name,
                      const std::vector<KeyMacroData*>& rows);

// Reads a document text.
ProfileFileError ParseProfileDocument(const std::wstring& text, ImportedProfile& profile,
                                      const ModelKeyCodes* keys = nullptr);
// Reads a file through the program's XML reader.
ProfileFileError ReadProfileFile(const wchar_t* path, ImportedProfile& profile,
                                 const ModelKeyCodes* keys = nullptr);
