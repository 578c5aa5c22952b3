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
// The reader takes only what a real export can hold: a file of at most
// kMaxProfileFileBytes bytes of valid UTF-8, a well-formed document whose root
// is `profile`, nested no deeper than kMaxProfileFileDepth, with at most
// kMaxProfileFileItems `item` elements. Anything else is refused as a whole,
// before anything is stored.
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
    BadEncoding,      // not UTF-8
    TooDeep,          // elements nested deeper than kMaxProfileFileDepth
    NotWellFormed,    // the parser refused it
    NoProfileRoot,    // the root element is not `profile`
    TooManyItems,     // more than kMaxProfileFileItems key rows
    SeveralProfiles,  // more than one profile, name or key list
};

struct ImportedProfile
{
    CString name;
    // Key rows in document order, one per (Fn layer, key code): a later item
    // for the same layer and key replaces the earlier one in place; items with
    // key code 0 are left out. The profile field is 0.
    std::vector<KeyMacroData> rows;
};

// The document text of a profile (declaration line and CR LF first).
std::wstring BuildProfileDocument(const wchar_t* name, const std::vector<KeyMacroData*>& rows);
// Writes the document as UTF-8 (no byte-order mark); false when the file could
// not be written.
bool WriteProfileFile(const wchar_t* path, const wchar_t* name,
                      const std::vector<KeyMacroData*>& rows);

// Reads a document text.
ProfileFileError ParseProfileDocument(const std::wstring& text, ImportedProfile& profile);
// Reads a file (UTF-8, a byte-order mark allowed).
ProfileFileError ReadProfileFile(const wchar_t* path, ImportedProfile& profile);
