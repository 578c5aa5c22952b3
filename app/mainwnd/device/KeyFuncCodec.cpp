#include "mainwnd/device/KeyFuncCodec.h"

#include <mutex>

#include "services/db/DeviceDataDB.h"
#include "services/keys/KeyCodeTable.h"

namespace {

struct ConsumerCode
{
    int code;
    int usage;
    int textId;  // description when read
};

// One table for both directions (111 and 112 included: they have a usage, so
// they are written with it, and read back).
const ConsumerCode kConsumer[] = {
    {100, 0x00CD, 264}, {101, 0x00B7, 265}, {102, 0x00B6, 266}, {103, 0x00B5, 267},
    {104, 0x00E9, 268}, {105, 0x00EA, 269}, {106, 0x00E2, 270}, {110, 0x0183, 263},
    {111, 0x006F, 278}, {112, 0x0070, 279}, {113, 0x0194, 280}, {114, 0x0192, 281},
    {115, 0x018A, 282}, {116, 0x0223, 271}, {117, 0x0227, 272}, {118, 0x0226, 273},
    {119, 0x0224, 274}, {120, 0x0225, 275}, {121, 0x022A, 276}, {122, 0x0221, 277},
};

struct Shortcut
{
    int code;
    uint8_t modifiers;
    uint8_t usage;
};

const Shortcut kShortcuts[] = {
    {150, 0x08, 0x07}, {151, 0x08, 0x08}, {152, 0x08, 0x0F}, {153, 0x01, 0x1A},
    {154, 0x04, 0x2B}, {155, 0x01, 0x06}, {156, 0x01, 0x19}, {157, 0x01, 0x1B},
    {158, 0x01, 0x16}, {159, 0x01, 0x12}, {160, 0x01, 0x11},
};

// Mouse functions as written (byte 1, byte 2) and their description texts.
struct MouseCode
{
    int code;
    uint8_t b1, b2;
    int textId;
};

const MouseCode kMouseWritten[] = {
    {90, 0x00, 0x01, 220}, {91, 0x00, 0x04, 222}, {92, 0x00, 0x02, 223}, {94, 0x00, 0x08, 227},
    {95, 0x00, 0x10, 228}, {96, 0x05, 0x01, 225}, {97, 0x06, 0x01, 226},
};

int MouseText(int code)
{
    if (code == 93) return 224;
    for (const MouseCode& m : kMouseWritten)
        if (m.code == code) return m.textId;
    return 0;
}

bool IsModifierUsage(int usage)
{
    return usage >= 0xE0 && usage <= 0xE7;
}

int SingleBitIndex(int bits)
{
    for (int n = 0; n < 8; ++n)
        if (bits == (1 << n)) return n;
    return -1;
}

// The modifier text the custom-key page's combination editor makes: names in
// bit order, joined with "+ ".
CString ModifierText(int bits)
{
    static const wchar_t* const kNames[8] = {L"LCtrl", L"LShift", L"LAlt", L"LWin",
                                             L"RCtrl", L"RShift", L"Alt",  L"RWin"};
    CString text;
    for (int n = 0; n < 8; ++n) {
        if (!(bits & (1 << n))) continue;
        if (!text.IsEmpty()) text += L"+ ";
        text += kNames[n];
    }
    return text;
}

// Short name of a key; usages without one in the key-code table take the
// catalogue's name (keypad 0 and ".", the right Windows key).
CString KeyName(int usage)
{
    CString name = KeyCodeTable::HidUsageToKeyName(static_cast<unsigned int>(usage));
    if (name.IsEmpty()) {
        const wchar_t* fallback = CatalogueKeyName(usage);
        if (fallback) name = fallback;
    }
    return name;
}

std::mutex g_defaultLock;
KeyFuncTextFn g_defaultText;

}  // namespace

KeyFuncCodec::KeyFuncCodec(DeviceDataDB& db, KeyFuncTextFn text) : m_db(db), m_text(std::move(text))
{}

const KeyFuncCodec& KeyFuncCodec::Default()
{
    // The text source is read through a forwarding function, so that setting it
    // later reaches the one codec.
    static const KeyFuncCodec codec(*DeviceDataDB::Instance(), [](int id) {
        KeyFuncTextFn text;
        {
            std::lock_guard<std::mutex> guard(g_defaultLock);
            text = g_defaultText;
        }
        return text ? text(id) : CString();
    });
    return codec;
}

void KeyFuncCodec::SetDefaultTextSource(KeyFuncTextFn text)
{
    std::lock_guard<std::mutex> guard(g_defaultLock);
    g_defaultText = std::move(text);
}

int KeyFuncCodec::MacroPosition(int macroId) const
{
    std::vector<MacroData*> macros;
    m_db.GetMacros(macros);
    int position = -1;
    for (size_t i = 0; i < macros.size(); ++i) {
        if (macros[i]->macro_id == macroId) {
            position = static_cast<int>(i);
            break;
        }
    }
    FreeRecordList(macros);
    return position;
}

CString KeyFuncCodec::ShownMacroName(const CString& name) const
{
    static const wchar_t* const kPrefixes[] = {L"New Macro", L"\u65B0\u5EFA\u5DE8\u96C6",
                                               L"\u65B0\u5EFA\u5B8F"};
    for (const wchar_t* prefix : kPrefixes) {
        const int length = static_cast<int>(wcslen(prefix));
        if (name.GetLength() >= length && wcsncmp(name, prefix, size_t(length)) == 0) {
            CString shown;
            shown.Format(L"%s%s", Text(351).GetString(), name.GetString() + length);
            return shown;
        }
    }
    return name;
}

void KeyFuncCodec::Encode(const KeyMacroData& row, uint8_t* record) const
{
    if (row.macro_type == 0) return;
    record[0] = record[1] = record[2] = 0;
    const int value = row.macro_value;
    switch (row.macro_type) {
        case 1:
            record[0] = 0x05;
            record[1] = 0x03;
            break;
        case 2:
            record[0] = 0x10;
            if (IsModifierUsage(value)) {
                // A modifier key, alone or with further modifiers: all of them are
                // bits of byte 1, and there is no key usage.
                record[1] = uint8_t((row.macro_value2 | (1 << (value - 0xE0))) & 0xFF);
            } else {
                record[1] = uint8_t(row.macro_value2 & 0xFF);
                record[2] = uint8_t(value & 0xFF);
            }
            break;
        case 3: {
            const int position = MacroPosition(value);
            if (position < 0) break;
            record[1] = uint8_t(position & 0xFF);
            if (row.macro_value2 == 0 && row.macro_value3 > 1) {
                record[0] = 0x61;
                record[2] = uint8_t(row.macro_value3 & 0xFF);
            } else {
                record[0] = 0x60;
                record[2] = uint8_t(row.macro_value2 & 0xFF);
            }
            break;
        }
        case 5:
            record[0] = 0x40;
            for (const MouseCode& m : kMouseWritten) {
                if (m.code == value) {
                    record[1] = m.b1;
                    record[2] = m.b2;
                }
            }
            break;
        case 6:
            record[0] = 0x30;
            for (const ConsumerCode& c : kConsumer) {
                if (c.code == value) {
                    record[1] = uint8_t(c.usage & 0xFF);
                    record[2] = uint8_t(c.usage >> 8);
                }
            }
            break;
        case 7:
            if (value == 161 || value == 162) {
                record[0] = 0x02;
                record[1] = value == 161 ? 0x02 : 0x01;
                break;
            }
            record[0] = 0x10;
            for (const Shortcut& s : kShortcuts) {
                if (s.code == value) {
                    record[1] = s.modifiers;
                    record[2] = s.usage;
                }
            }
            break;
        case 8:
        case 9:
        case 10:
        case 11:
            record[0] = 0x05;
            record[1] = 0x02;
            record[2] = uint8_t(value & 0xFF);
            break;
        case 12:
            record[0] = 0x50;
            record[1] = uint8_t(value & 0xFF);
            break;
        default: break;
    }
}

void KeyFuncCodec::Decode(const uint8_t* record, KeyMacroData& row) const
{
    row.macro_type = row.macro_value = row.macro_value2 = row.macro_value3 = 0;
    const int b0 = record[0], b1 = record[1], b2 = record[2];
    switch (b0) {
        case 0x10: {
            row.macro_type = 2;
            if (b1 == 0) {
                row.macro_value = b2;
            } else if (b2 != 0) {
                row.macro_value = b2;
                row.macro_value2 = b1;
            } else {
                const int bit = SingleBitIndex(b1);
                if (bit >= 0) {
                    row.macro_value = 0xE0 + bit;  // a modifier key alone
                } else {
                    row.macro_value2 = b1;  // modifiers pressed together, no key
                    row.macro_desc = ModifierText(b1);
                    break;
                }
            }
            row.macro_desc = KeyName(row.macro_value);
            break;
        }
        case 0x30: {
            row.macro_type = 6;
            row.macro_value2 = b2;
            const int usage = b1 + 256 * b2;
            for (const ConsumerCode& c : kConsumer) {
                if (c.usage == usage) {
                    row.macro_value = row.macro_value3 = c.code;
                    row.macro_desc = Text(c.textId);
                    return;
                }
            }
            row.macro_value = b1;
            break;
        }
        case 0x50: {
            row.macro_type = 12;
            row.macro_value = b1;
            const wchar_t* name = SpecialFunctionName(b1);
            if (b2 == 0 && name) row.macro_desc = name;
            break;
        }
        case 0x60:
        case 0x61: {
            row.macro_type = 3;
            std::vector<MacroData*> macros;
            m_db.GetMacros(macros);
            if (size_t(b1) < macros.size()) {
                row.macro_value = macros[size_t(b1)]->macro_id;
                row.macro_desc = ShownMacroName(macros[size_t(b1)]->name);
            } else {
                row.macro_value = b1 + 1;
            }
            FreeRecordList(macros);
            if (b0 == 0x60)
                row.macro_value2 = b2;
            else
                row.macro_value3 = b2;
            break;
        }
        case 0x40: {
            row.macro_type = 5;
            int code = 0;
            // The layout the program writes ...
            for (const MouseCode& m : kMouseWritten)
                if (m.b1 == b1 && m.b2 == b2) code = m.code;
            // ... and the one keyboards report by byte 1.
            if (code == 0) {
                switch (b1) {
                    case 0x01: code = b2 == 1 ? 93 : 90; break;
                    case 0x02: code = 92; break;
                    case 0x04: code = 91; break;
                    case 0x10: code = 94; break;
                    case 0x08: code = 95; break;
                    default: break;
                }
            }
            row.macro_value = code;
            if (code) row.macro_desc = Text(MouseText(code));
            break;
        }
        case 0x20: {
            row.macro_type = 7;
            const int code = b2 == 0x82 ? 161 : b2 == 0x81 ? 162 : b2 == 0x83 ? 163 : 0;
            row.macro_value = code;
            if (code) row.macro_desc = Text(code - 161 + 257);
            break;
        }
        case 0x02:
            // System control as the program writes it.
            if (b2 == 0 && (b1 == 0x02 || b1 == 0x01)) {
                row.macro_type = 7;
                row.macro_value = b1 == 0x02 ? 161 : 162;
                row.macro_desc = Text(row.macro_value - 161 + 257);
            }
            break;
        default: break;
    }
}

bool IsEncodableKeyFunction(const KeyMacroData& row)
{
    const int value = row.macro_value, value2 = row.macro_value2, value3 = row.macro_value3;
    auto byte = [](int v) { return v >= 0 && v <= 0xFF; };
    // Values the codec does not read for a type may hold what an earlier
    // function of the key left there (a repeat count, a consumer code, a
    // record byte): bytes, never more.
    if (!byte(value2) || !byte(value3)) return false;
    switch (row.macro_type) {
        case 0:
        case 1:
        case 2:
        case 8:
        case 9:
        case 10:
        case 11: return byte(value);
        case 3:
            // Macro id and play mode 0-3 (the repeat count is a byte).
            return value >= 1 && value2 <= 3;
        case 5: {
            // 0 and 93 are what reads of mouse records leave.
            bool known = value == 0 || value == 93;
            for (const MouseCode& m : kMouseWritten) known = known || m.code == value;
            return known;
        }
        case 6: {
            bool known = value == 0;
            for (const ConsumerCode& c : kConsumer) known = known || c.code == value;
            return known;
        }
        case 7: {
            bool known = value == 0 || (value >= 161 && value <= 163);
            for (const Shortcut& s : kShortcuts) known = known || s.code == value;
            return known;
        }
        case 12: return SpecialFunctionName(value) != nullptr;
        default: return false;
    }
}

void EncodeKeyFunction(const KeyMacroData& row, uint8_t* record)
{
    KeyFuncCodec::Default().Encode(row, record);
}

void DecodeKeyFunction(const uint8_t* record, KeyMacroData& row)
{
    KeyFuncCodec::Default().Decode(record, row);
}
