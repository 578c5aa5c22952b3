// CString: storage management, editing, formatting and conversions.

#include "CString.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Largest length whose block size still fits comfortably in an int.
const int kMaxLength = INT_MAX / 2 - 64;

[[noreturn]] void OutOfMemory()
{
    // Same outcome as a heap created with HEAP_GENERATE_EXCEPTIONS.
    RaiseException(STATUS_NO_MEMORY, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    std::abort();
}

SIZE_T BlockBytes(SIZE_T headerBytes, int capacity)
{
    return headerBytes + (static_cast<SIZE_T>(capacity) + 1) * sizeof(wchar_t);
}

bool InSet(const wchar_t* set, wchar_t ch)
{
    // wcschr would report the terminator as a match for ch == 0.
    return ch != L'\0' && std::wcschr(set, ch) != nullptr;
}

int SafeLength(const wchar_t* text)
{
    if (!text) return 0;
    size_t n = std::wcslen(text);
    if (n > static_cast<size_t>(kMaxLength)) OutOfMemory();
    return static_cast<int>(n);
}

// Converts narrow text in the ANSI code page, appending to out.
void AppendAnsi(std::wstring& out, const char* text, int length)
{
    if (!text || length <= 0) return;
    int n = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (n <= 0) return;
    size_t at = out.size();
    out.resize(at + n);
    MultiByteToWideChar(CP_ACP, 0, text, length, &out[at], n);
}

// ---------------------------------------------------------------------------
// printf-style formatter with the Windows wide-character conventions.
//
// We do not hand the format to the C runtime: MinGW's C99 printf reads %s in a
// wide format as a narrow string, msvcrt's reads it as wide, and the set of
// size prefixes msvcrt understands depends on the Windows version. Parsing the
// format here keeps the result the same everywhere. Only the digits of
// floating-point conversions come from the runtime (MinGW's own snprintf, in
// the C locale).
// ---------------------------------------------------------------------------

enum class SizeMod {
    None,
    HH,
    H,
    L,
    LL,
    LongDouble,
    I64,
    I32,
    IntPtr,
    Wide,
    SizeT,
    IntMax,
    PtrDiff
};

struct Conversion
{
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alt = false;
    bool zero = false;
    int width = 0;
    int precision = -1;  // -1: not given
    SizeMod size = SizeMod::None;
    wchar_t conv = 0;
};

class Formatter
{
public:
    Formatter(std::wstring& out, va_list args) : m_out(out) { va_copy(m_args, args); }
    ~Formatter() { va_end(m_args); }
    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    void Run(const wchar_t* format);

private:
    static int ReadNumber(const wchar_t*& p);
    void Emit(const Conversion& cv, const wchar_t* prefix, int prefixLen, const wchar_t* body,
              int bodyLen, bool zeroPadAllowed);
    void Integer(const Conversion& cv);
    void Floating(const Conversion& cv);
    void Text(const Conversion& cv, bool wide);
    void Character(const Conversion& cv, bool wide);
    void Pointer(const Conversion& cv);

    std::wstring& m_out;
    va_list m_args;
};

int Formatter::ReadNumber(const wchar_t*& p)
{
    long long value = 0;
    while (*p >= L'0' && *p <= L'9') {
        value = value * 10 + (*p - L'0');
        if (value > kMaxLength) value = kMaxLength;
        ++p;
    }
    return static_cast<int>(value);
}

void Formatter::Run(const wchar_t* format)
{
    const wchar_t* p = format;
    while (*p) {
        if (*p != L'%') {
            const wchar_t* run = p;
            while (*p && *p != L'%') ++p;
            m_out.append(run, p - run);
            continue;
        }

        const wchar_t* specStart = p++;
        if (*p == L'%') {
            m_out.push_back(L'%');
            ++p;
            continue;
        }

        Conversion cv;
        for (;; ++p) {
            if (*p == L'-')
                cv.left = true;
            else if (*p == L'+')
                cv.plus = true;
            else if (*p == L' ')
                cv.space = true;
            else if (*p == L'#')
                cv.alt = true;
            else if (*p == L'0')
                cv.zero = true;
            else
                break;
        }

        if (*p == L'*') {
            int w = va_arg(m_args, int);
            if (w < 0) {
                cv.left = true;
                w = (w == INT_MIN) ? kMaxLength : -w;
            }
            cv.width = std::min(w, kMaxLength);
            ++p;
        } else {
            cv.width = ReadNumber(p);
        }

        if (*p == L'.') {
            ++p;
            if (*p == L'*') {
                int prec = va_arg(m_args, int);
                cv.precision = prec < 0 ? -1 : std::min(prec, kMaxLength);
                ++p;
            } else {
                cv.precision = ReadNumber(p);
            }
        }

        switch (*p) {
            case L'h':
                ++p;
                if (*p == L'h') {
                    cv.size = SizeMod::HH;
                    ++p;
                } else
                    cv.size = SizeMod::H;
                break;
            case L'l':
                ++p;
                if (*p == L'l') {
                    cv.size = SizeMod::LL;
                    ++p;
                } else
                    cv.size = SizeMod::L;
                break;
            case L'L':
                cv.size = SizeMod::LongDouble;
                ++p;
                break;
            case L'q':
                cv.size = SizeMod::LL;
                ++p;
                break;
            case L'w':
                cv.size = SizeMod::Wide;
                ++p;
                break;
            case L'z':
                cv.size = SizeMod::SizeT;
                ++p;
                break;
            case L'j':
                cv.size = SizeMod::IntMax;
                ++p;
                break;
            case L't':
                cv.size = SizeMod::PtrDiff;
                ++p;
                break;
            case L'I':
                if (p[1] == L'6' && p[2] == L'4') {
                    cv.size = SizeMod::I64;
                    p += 3;
                } else if (p[1] == L'3' && p[2] == L'2') {
                    cv.size = SizeMod::I32;
                    p += 3;
                } else {
                    cv.size = SizeMod::IntPtr;
                    ++p;
                }
                break;
            default: break;
        }

        cv.conv = *p;
        if (cv.conv == L'\0') break;  // format ends inside a conversion: drop it
        ++p;

        switch (cv.conv) {
            case L'd':
            case L'i':
            case L'u':
            case L'o':
            case L'x':
            case L'X': Integer(cv); break;
            case L'e':
            case L'E':
            case L'f':
            case L'F':
            case L'g':
            case L'G':
            case L'a':
            case L'A': Floating(cv); break;
            case L's': Text(cv, cv.size != SizeMod::H && cv.size != SizeMod::HH); break;
            case L'S': Text(cv, cv.size == SizeMod::L || cv.size == SizeMod::Wide); break;
            case L'c': Character(cv, cv.size != SizeMod::H && cv.size != SizeMod::HH); break;
            case L'C': Character(cv, cv.size == SizeMod::L || cv.size == SizeMod::Wide); break;
            case L'p': Pointer(cv); break;
            case L'n':
                // Writing through %n is disabled, as in the Windows runtime's
                // default; the argument is consumed so the rest stays aligned.
                (void)va_arg(m_args, void*);
                break;
            default:
                // Unknown conversion: show it as written.
                m_out.append(specStart, p - specStart);
                break;
        }
    }
}

void Formatter::Emit(const Conversion& cv, const wchar_t* prefix, int prefixLen,
                     const wchar_t* body, int bodyLen, bool zeroPadAllowed)
{
    int used = prefixLen + bodyLen;
    int pad = cv.width > used ? cv.width - used : 0;
    if (cv.left) {
        m_out.append(prefix, prefixLen);
        m_out.append(body, bodyLen);
        m_out.append(pad, L' ');
    } else if (cv.zero && zeroPadAllowed) {
        m_out.append(prefix, prefixLen);
        m_out.append(pad, L'0');
        m_out.append(body, bodyLen);
    } else {
        m_out.append(pad, L' ');
        m_out.append(prefix, prefixLen);
        m_out.append(body, bodyLen);
    }
}

void Formatter::Integer(const Conversion& cv)
{
    const bool isSigned = cv.conv == L'd' || cv.conv == L'i';
    unsigned long long magnitude = 0;
    bool negative = false;

    if (isSigned) {
        long long v;
        switch (cv.size) {
            case SizeMod::LL:
            case SizeMod::I64:
            case SizeMod::IntMax: v = va_arg(m_args, long long); break;
            case SizeMod::L: v = va_arg(m_args, long); break;
            case SizeMod::SizeT:
                v = static_cast<long long>(static_cast<ptrdiff_t>(va_arg(m_args, size_t)));
                break;
            case SizeMod::PtrDiff: v = va_arg(m_args, ptrdiff_t); break;
            case SizeMod::IntPtr: v = va_arg(m_args, INT_PTR); break;
            default: v = va_arg(m_args, int); break;
        }
        if (cv.size == SizeMod::H)
            v = static_cast<short>(v);
        else if (cv.size == SizeMod::HH)
            v = static_cast<signed char>(v);
        negative = v < 0;
        magnitude = negative ? 0ULL - static_cast<unsigned long long>(v)
                             : static_cast<unsigned long long>(v);
    } else {
        switch (cv.size) {
            case SizeMod::LL:
            case SizeMod::I64:
            case SizeMod::IntMax: magnitude = va_arg(m_args, unsigned long long); break;
            case SizeMod::L: magnitude = va_arg(m_args, unsigned long); break;
            case SizeMod::SizeT: magnitude = va_arg(m_args, size_t); break;
            case SizeMod::PtrDiff:
                magnitude = static_cast<size_t>(va_arg(m_args, ptrdiff_t));
                break;
            case SizeMod::IntPtr: magnitude = va_arg(m_args, UINT_PTR); break;
            default: magnitude = va_arg(m_args, unsigned int); break;
        }
        if (cv.size == SizeMod::H)
            magnitude = static_cast<unsigned short>(magnitude);
        else if (cv.size == SizeMod::HH)
            magnitude = static_cast<unsigned char>(magnitude);
    }

    const unsigned base = (cv.conv == L'o') ? 8u : (cv.conv == L'x' || cv.conv == L'X') ? 16u : 10u;
    const wchar_t* digitSet = (cv.conv == L'X') ? L"0123456789ABCDEF" : L"0123456789abcdef";

    wchar_t digits[32];
    int n = 0;
    for (unsigned long long v = magnitude; v != 0; v /= base) digits[n++] = digitSet[v % base];

    std::wstring body;
    const int minDigits = cv.precision < 0 ? 1 : cv.precision;
    if (minDigits > n) body.append(minDigits - n, L'0');
    for (int i = n - 1; i >= 0; --i) body.push_back(digits[i]);
    if (cv.conv == L'o' && cv.alt && (body.empty() || body[0] != L'0'))
        body.insert(body.begin(), L'0');

    wchar_t prefix[3];
    int prefixLen = 0;
    if (isSigned) {
        if (negative)
            prefix[prefixLen++] = L'-';
        else if (cv.plus)
            prefix[prefixLen++] = L'+';
        else if (cv.space)
            prefix[prefixLen++] = L' ';
    } else if (cv.alt && magnitude != 0 && base == 16) {
        prefix[prefixLen++] = L'0';
        prefix[prefixLen++] = cv.conv;
    }

    Emit(cv, prefix, prefixLen, body.data(), static_cast<int>(body.size()), cv.precision < 0);
}

void Formatter::Floating(const Conversion& cv)
{
    double value = (cv.size == SizeMod::LongDouble)
                       ? static_cast<double>(va_arg(m_args, long double))
                       : va_arg(m_args, double);

    char narrow[16];
    int at = 0;
    narrow[at++] = '%';
    if (cv.left) narrow[at++] = '-';
    if (cv.plus) narrow[at++] = '+';
    if (cv.space) narrow[at++] = ' ';
    if (cv.alt) narrow[at++] = '#';
    if (cv.zero) narrow[at++] = '0';
    narrow[at++] = '*';
    narrow[at++] = '.';
    narrow[at++] = '*';
    narrow[at++] = static_cast<char>(cv.conv);
    narrow[at] = '\0';

    int needed = __mingw_snprintf(nullptr, 0, narrow, cv.width, cv.precision, value);
    if (needed <= 0) return;
    std::vector<char> text(static_cast<size_t>(needed) + 1);
    __mingw_snprintf(text.data(), text.size(), narrow, cv.width, cv.precision, value);
    m_out.append(text.data(), text.data() + needed);  // plain ASCII: widen unit by unit
}

void Formatter::Text(const Conversion& cv, bool wide)
{
    const void* arg = va_arg(m_args, const void*);
    std::wstring converted;
    const wchar_t* body;
    int length;

    if (!arg) {
        body = L"(null)";
        length = 6;
        if (cv.precision >= 0 && cv.precision < length) length = cv.precision;
    } else if (wide) {
        body = static_cast<const wchar_t*>(arg);
        size_t n = cv.precision >= 0 ? wcsnlen(body, cv.precision) : std::wcslen(body);
        length = static_cast<int>(std::min<size_t>(n, kMaxLength));
    } else {
        const char* narrow = static_cast<const char*>(arg);
        size_t n = cv.precision >= 0 ? strnlen(narrow, cv.precision) : std::strlen(narrow);
        AppendAnsi(converted, narrow, static_cast<int>(std::min<size_t>(n, kMaxLength)));
        if (cv.precision >= 0 && converted.size() > static_cast<size_t>(cv.precision))
            converted.resize(cv.precision);
        body = converted.c_str();
        length = static_cast<int>(converted.size());
    }
    // The Windows runtime honours the 0 flag for strings too.
    Emit(cv, L"", 0, body, length, true);
}

void Formatter::Character(const Conversion& cv, bool wide)
{
    int value = va_arg(m_args, int);
    wchar_t ch;
    if (wide) {
        ch = static_cast<wchar_t>(value);
    } else {
        char narrow = static_cast<char>(value);
        if (MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &ch, 1) != 1) ch = L'?';
    }
    Emit(cv, L"", 0, &ch, 1, true);
}

void Formatter::Pointer(const Conversion& cv)
{
    UINT_PTR value = reinterpret_cast<UINT_PTR>(va_arg(m_args, void*));
    wchar_t digits[2 * sizeof(void*)];
    const int count = static_cast<int>(sizeof(digits) / sizeof(digits[0]));
    for (int i = count - 1; i >= 0; --i, value >>= 4) digits[i] = L"0123456789ABCDEF"[value & 0xF];
    Emit(cv, L"", 0, digits, count, false);
}

void FormatInto(std::wstring& out, const wchar_t* format, va_list args)
{
    if (!format) return;
    try {
        Formatter formatter(out, args);
        formatter.Run(format);
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    } catch (const std::length_error&) {
        OutOfMemory();
    }
    if (out.size() > static_cast<size_t>(kMaxLength)) OutOfMemory();
}

}  // namespace

// ===========================================================================
// Storage
// ===========================================================================

CString::Data* CString::Nil() noexcept
{
    // The shared empty string; recognised by its capacity of 0 and never counted.
    static struct
    {
        Data header;
        wchar_t text[2];
    } nil = {{1, 0, 0}, {L'\0', L'\0'}};
    return &nil.header;
}

CString::Data* CString::Allocate(int capacity)
{
    if (capacity < 0 || capacity > kMaxLength) OutOfMemory();
    if (capacity == 0) capacity = 1;  // capacity 0 is reserved for the shared empty string
    void* block = HeapAlloc(GetProcessHeap(), 0, BlockBytes(sizeof(Data), capacity));
    if (!block) OutOfMemory();
    Data* data = static_cast<Data*>(block);
    data->refs = 1;
    data->length = 0;
    data->capacity = capacity;
    TextOf(data)[0] = L'\0';
    return data;
}

void CString::Release(Data* data) noexcept
{
    if (data->capacity == 0) return;
    // refs == -1: the buffer is handed out and belongs to one object only.
    if (data->refs < 0 || InterlockedDecrement(&data->refs) == 0)
        HeapFree(GetProcessHeap(), 0, data);
}

void CString::Attach(Data* data) noexcept
{
    Data* old = GetData();
    m_pszData = TextOf(data);
    Release(old);
}

// Makes the block private to this object with room for at least `length`
// characters, keeping the current text. The length itself is not changed.
wchar_t* CString::PrepareWrite(int length, bool grow)
{
    if (length < 0 || length > kMaxLength) OutOfMemory();

    Data* data = GetData();
    const bool exclusive = data->capacity != 0 && (data->refs == 1 || data->refs == -1);
    if (exclusive && data->capacity >= length) return m_pszData;

    int capacity = length;
    if (grow && data->capacity > 0) {
        long long grown = static_cast<long long>(data->capacity) + data->capacity / 2;
        if (grown > capacity) capacity = static_cast<int>(std::min<long long>(grown, kMaxLength));
    }

    if (exclusive) {
        void* block = HeapReAlloc(GetProcessHeap(), 0, data, BlockBytes(sizeof(Data), capacity));
        if (!block) OutOfMemory();
        data = static_cast<Data*>(block);
        data->capacity = capacity;
        m_pszData = TextOf(data);
        return m_pszData;
    }

    Data* fresh = Allocate(capacity);
    const int keep = std::min(data->length, fresh->capacity);
    std::wmemcpy(TextOf(fresh), m_pszData, keep);
    fresh->length = keep;
    TextOf(fresh)[keep] = L'\0';
    Attach(fresh);
    return m_pszData;
}

void CString::SetLengthUnchecked(int length) noexcept
{
    Data* data = GetData();
    if (data->capacity == 0) return;
    data->length = length;
    m_pszData[length] = L'\0';
}

// ===========================================================================
// Construction and assignment
// ===========================================================================

CString::CString() noexcept : m_pszData(TextOf(Nil())) {}

CString::CString(const CString& other) : m_pszData(TextOf(Nil()))
{
    *this = other;
}

CString::CString(CString&& other) noexcept : m_pszData(other.m_pszData)
{
    other.m_pszData = TextOf(Nil());
}

CString::CString(const wchar_t* text) : m_pszData(TextOf(Nil()))
{
    SetString(text, SafeLength(text));
}

CString::CString(const wchar_t* text, int length) : m_pszData(TextOf(Nil()))
{
    SetString(text, length);
}

CString::CString(const char* text) : m_pszData(TextOf(Nil()))
{
    *this = FromAnsi(text);
}

CString::CString(const char* text, int length) : m_pszData(TextOf(Nil()))
{
    if (length > 0) *this = FromAnsi(text, length);
}

CString::CString(wchar_t ch, int repeat) : m_pszData(TextOf(Nil()))
{
    if (repeat <= 0) return;
    wchar_t* buffer = PrepareWrite(repeat, false);
    std::wmemset(buffer, ch, repeat);
    SetLengthUnchecked(repeat);
}

CString::~CString()
{
    Release(GetData());
}

CString& CString::operator=(const CString& other)
{
    Data* source = other.GetData();
    if (source == GetData()) return *this;
    if (source->capacity == 0) {
        Empty();
    } else if (source->refs < 0) {
        // The other string's buffer is handed out: take a private copy.
        SetString(other.m_pszData, source->length);
    } else {
        InterlockedIncrement(&source->refs);
        Attach(source);
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        Release(GetData());
        m_pszData = other.m_pszData;
        other.m_pszData = TextOf(Nil());
    }
    return *this;
}

CString& CString::operator=(const wchar_t* text)
{
    SetString(text, SafeLength(text));
    return *this;
}

CString& CString::operator=(const char* text)
{
    *this = FromAnsi(text);
    return *this;
}

CString& CString::operator=(wchar_t ch)
{
    SetString(&ch, 1);
    return *this;
}

// ===========================================================================
// Content and access
// ===========================================================================

void CString::Empty()
{
    Attach(Nil());
}

wchar_t CString::GetAt(int index) const noexcept
{
    return (index < 0 || index >= GetLength()) ? L'\0' : m_pszData[index];
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index < 0 || index >= GetLength() || m_pszData[index] == ch) return;
    PrepareWrite(GetLength(), false)[index] = ch;
}

void CString::SetString(const wchar_t* text)
{
    SetString(text, SafeLength(text));
}

void CString::SetString(const wchar_t* text, int length)
{
    if (!text || length <= 0) {
        Empty();
        return;
    }
    if (length > kMaxLength) OutOfMemory();

    Data* data = GetData();
    const bool exclusive = data->capacity != 0 && (data->refs == 1 || data->refs == -1);
    if (exclusive && data->capacity >= length) {
        std::wmemmove(m_pszData, text, length);  // text may lie in our own buffer
        SetLengthUnchecked(length);
        return;
    }
    Data* fresh = Allocate(length);
    std::wmemcpy(TextOf(fresh), text, length);
    fresh->length = length;
    TextOf(fresh)[length] = L'\0';
    Attach(fresh);
}

void CString::Append(const wchar_t* text)
{
    Append(text, SafeLength(text));
}

void CString::Append(const wchar_t* text, int length)
{
    if (!text || length <= 0) return;
    const int oldLength = GetLength();
    if (length > kMaxLength - oldLength) OutOfMemory();

    // The text may be part of this string; the buffer can move below.
    const UINT_PTR begin = reinterpret_cast<UINT_PTR>(m_pszData);
    const UINT_PTR where = reinterpret_cast<UINT_PTR>(text);
    const bool inside =
        where >= begin && where < begin + static_cast<UINT_PTR>(oldLength) * sizeof(wchar_t);
    const int offset = inside ? static_cast<int>((where - begin) / sizeof(wchar_t)) : 0;

    wchar_t* buffer = PrepareWrite(oldLength + length, true);
    std::wmemmove(buffer + oldLength, inside ? buffer + offset : text, length);
    SetLengthUnchecked(oldLength + length);
}

void CString::Append(const CString& other)
{
    if (other.IsEmpty()) return;
    if (GetData()->capacity == 0) {
        *this = other;  // nothing of our own yet: share instead of copying
        return;
    }
    Append(other.m_pszData, other.GetLength());
}

void CString::AppendChar(wchar_t ch)
{
    const int oldLength = GetLength();
    wchar_t* buffer = PrepareWrite(oldLength + 1, true);
    buffer[oldLength] = ch;
    SetLengthUnchecked(oldLength + 1);
}

// ===========================================================================
// Formatting
// ===========================================================================

void CString::FormatV(const wchar_t* format, va_list args)
{
    std::wstring out;
    FormatInto(out, format, args);
    SetString(out.data(), static_cast<int>(out.size()));
}

void CString::AppendFormatV(const wchar_t* format, va_list args)
{
    std::wstring out;
    FormatInto(out, format, args);
    Append(out.data(), static_cast<int>(out.size()));
}

void CString::FormatImpl(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormatImpl(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

// ===========================================================================
// Searching
// ===========================================================================

int CString::Find(wchar_t ch, int start) const noexcept
{
    const int length = GetLength();
    if (start < 0 || start >= length) return -1;
    for (int i = start; i < length; ++i)
        if (m_pszData[i] == ch) return i;
    return -1;
}

int CString::Find(const wchar_t* sub, int start) const noexcept
{
    const int length = GetLength();
    if (start < 0 || start > length) return -1;
    const int subLength = sub ? static_cast<int>(std::wcslen(sub)) : 0;
    if (subLength == 0) return start;
    for (int i = start; i + subLength <= length; ++i)
        if (m_pszData[i] == sub[0] && std::wmemcmp(m_pszData + i, sub, subLength) == 0) return i;
    return -1;
}

int CString::ReverseFind(wchar_t ch) const noexcept
{
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pszData[i] == ch) return i;
    return -1;
}

int CString::FindOneOf(const wchar_t* charSet) const noexcept
{
    if (!charSet || !*charSet) return -1;
    const int length = GetLength();
    for (int i = 0; i < length; ++i)
        if (InSet(charSet, m_pszData[i])) return i;
    return -1;
}

// ===========================================================================
// Editing
// ===========================================================================

int CString::Replace(wchar_t oldCh, wchar_t newCh)
{
    if (oldCh == newCh) return 0;
    const int first = Find(oldCh);
    if (first < 0) return 0;
    const int length = GetLength();
    wchar_t* buffer = PrepareWrite(length, false);
    int count = 0;
    for (int i = first; i < length; ++i) {
        if (buffer[i] == oldCh) {
            buffer[i] = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    const int oldLength = oldText ? static_cast<int>(std::wcslen(oldText)) : 0;
    if (oldLength == 0) return 0;
    const int newLength = newText ? static_cast<int>(std::wcslen(newText)) : 0;

    int count = 0;
    for (int at = Find(oldText); at >= 0; at = Find(oldText, at + oldLength)) ++count;
    if (count == 0) return 0;

    const long long total = GetLength() + static_cast<long long>(count) * (newLength - oldLength);
    if (total > kMaxLength) OutOfMemory();
    if (total == 0) {
        Empty();
        return count;
    }

    // Build into a new block: newText may point into this string.
    Data* fresh = Allocate(static_cast<int>(total));
    wchar_t* out = TextOf(fresh);
    int from = 0;
    for (int at = Find(oldText); at >= 0; at = Find(oldText, at + oldLength)) {
        std::wmemcpy(out, m_pszData + from, at - from);
        out += at - from;
        std::wmemcpy(out, newText, newLength);
        out += newLength;
        from = at + oldLength;
    }
    std::wmemcpy(out, m_pszData + from, GetLength() - from);
    fresh->length = static_cast<int>(total);
    TextOf(fresh)[total] = L'\0';
    Attach(fresh);
    return count;
}

int CString::Remove(wchar_t ch)
{
    const int first = Find(ch);
    if (first < 0) return 0;
    const int length = GetLength();
    wchar_t* buffer = PrepareWrite(length, false);
    int kept = first;
    for (int i = first; i < length; ++i)
        if (buffer[i] != ch) buffer[kept++] = buffer[i];
    SetLengthUnchecked(kept);
    return length - kept;
}

int CString::Insert(int index, wchar_t ch)
{
    return Insert(index, std::wstring(1, ch).c_str());
}

int CString::Insert(int index, const wchar_t* text)
{
    const int length = GetLength();
    const int textLength = SafeLength(text);
    if (textLength == 0) return length;
    if (textLength > kMaxLength - length) OutOfMemory();
    index = std::max(0, std::min(index, length));

    // A new block keeps this safe when text points into our own buffer.
    Data* fresh = Allocate(length + textLength);
    wchar_t* out = TextOf(fresh);
    std::wmemcpy(out, m_pszData, index);
    std::wmemcpy(out + index, text, textLength);
    std::wmemcpy(out + index + textLength, m_pszData + index, length - index);
    fresh->length = length + textLength;
    out[fresh->length] = L'\0';
    Attach(fresh);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    const int length = GetLength();
    if (index < 0) index = 0;
    if (count <= 0 || index >= length) return length;
    count = std::min(count, length - index);
    wchar_t* buffer = PrepareWrite(length, false);
    std::wmemmove(buffer + index, buffer + index + count, length - index - count);
    SetLengthUnchecked(length - count);
    return GetLength();
}

namespace {

// mode 0: white space; 1: the single character; 2: any character of the set.
bool TrimMatch(wchar_t c, const wchar_t* charSet, wchar_t ch, int mode)
{
    switch (mode) {
        case 0: return std::iswspace(c) != 0;
        case 1: return c == ch;
        default: return InSet(charSet, c);
    }
}

}  // namespace

int CString::TrimLeftWhile(const wchar_t* charSet, wchar_t ch, int mode)
{
    if (mode == 2 && (!charSet || !*charSet)) return 0;
    const int length = GetLength();
    int skip = 0;
    while (skip < length && TrimMatch(m_pszData[skip], charSet, ch, mode)) ++skip;
    if (skip == 0) return 0;
    if (skip == length) {
        Empty();
        return skip;
    }
    wchar_t* buffer = PrepareWrite(length, false);
    std::wmemmove(buffer, buffer + skip, length - skip);
    SetLengthUnchecked(length - skip);
    return skip;
}

int CString::TrimRightWhile(const wchar_t* charSet, wchar_t ch, int mode)
{
    if (mode == 2 && (!charSet || !*charSet)) return 0;
    const int length = GetLength();
    int keep = length;
    while (keep > 0 && TrimMatch(m_pszData[keep - 1], charSet, ch, mode)) --keep;
    if (keep == length) return 0;
    if (keep == 0) {
        Empty();
        return length;
    }
    PrepareWrite(length, false);
    SetLengthUnchecked(keep);
    return length - keep;
}

CString& CString::Trim()
{
    TrimRightWhile(nullptr, 0, 0);
    TrimLeftWhile(nullptr, 0, 0);
    return *this;
}
CString& CString::Trim(wchar_t ch)
{
    TrimRightWhile(nullptr, ch, 1);
    TrimLeftWhile(nullptr, ch, 1);
    return *this;
}
CString& CString::Trim(const wchar_t* charSet)
{
    TrimRightWhile(charSet, 0, 2);
    TrimLeftWhile(charSet, 0, 2);
    return *this;
}
CString& CString::TrimLeft()
{
    TrimLeftWhile(nullptr, 0, 0);
    return *this;
}
CString& CString::TrimLeft(wchar_t ch)
{
    TrimLeftWhile(nullptr, ch, 1);
    return *this;
}
CString& CString::TrimLeft(const wchar_t* charSet)
{
    TrimLeftWhile(charSet, 0, 2);
    return *this;
}
CString& CString::TrimRight()
{
    TrimRightWhile(nullptr, 0, 0);
    return *this;
}
CString& CString::TrimRight(wchar_t ch)
{
    TrimRightWhile(nullptr, ch, 1);
    return *this;
}
CString& CString::TrimRight(const wchar_t* charSet)
{
    TrimRightWhile(charSet, 0, 2);
    return *this;
}

CString& CString::MakeUpper()
{
    const int length = GetLength();
    if (length > 0) CharUpperBuffW(PrepareWrite(length, false), static_cast<DWORD>(length));
    return *this;
}

CString& CString::MakeLower()
{
    const int length = GetLength();
    if (length > 0) CharLowerBuffW(PrepareWrite(length, false), static_cast<DWORD>(length));
    return *this;
}

CString& CString::MakeReverse()
{
    const int length = GetLength();
    if (length < 2) return *this;
    wchar_t* buffer = PrepareWrite(length, false);
    std::reverse(buffer, buffer + length);
    // Surrogate pairs were turned around with everything else; put each pair
    // back in order so characters outside the BMP survive.
    for (int i = 0; i + 1 < length; ++i) {
        if (IS_LOW_SURROGATE(buffer[i]) && IS_HIGH_SURROGATE(buffer[i + 1])) {
            std::swap(buffer[i], buffer[i + 1]);
            ++i;
        }
    }
    return *this;
}

// ===========================================================================
// Extraction
// ===========================================================================

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    const int length = GetLength();
    count = std::max(0, std::min(count, length));
    return Mid(length - count, count);
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    const int length = GetLength();
    first = std::max(0, std::min(first, length));
    count = std::max(0, std::min(count, length - first));
    if (first == 0 && count == length) return *this;
    return CString(m_pszData + first, count);
}

CString CString::SpanIncluding(const wchar_t* charSet) const
{
    if (!charSet) return CString();
    int n = 0;
    while (n < GetLength() && InSet(charSet, m_pszData[n])) ++n;
    return Left(n);
}

CString CString::SpanExcluding(const wchar_t* charSet) const
{
    if (!charSet) return *this;
    int n = 0;
    while (n < GetLength() && !InSet(charSet, m_pszData[n])) ++n;
    return Left(n);
}

CString CString::Tokenize(const wchar_t* delimiters, int& start) const
{
    const int length = GetLength();
    if (start < 0 || start >= length) {
        start = -1;
        return CString();
    }
    if (!delimiters || !*delimiters) {
        // No delimiters: the rest is one token.
        CString token = Mid(start);
        start = length;
        return token;
    }
    int from = start;
    while (from < length && InSet(delimiters, m_pszData[from])) ++from;
    if (from >= length) {
        start = -1;
        return CString();
    }
    int to = from;
    while (to < length && !InSet(delimiters, m_pszData[to])) ++to;
    start = to + 1;  // past the delimiter that ended the token
    return Mid(from, to - from);
}

// ===========================================================================
// Comparison
// ===========================================================================

namespace {

int CompareUnits(const wchar_t* a, int aLength, const wchar_t* b, int bLength)
{
    const int n = std::min(aLength, bLength);
    for (int i = 0; i < n; ++i) {
        if (a[i] != b[i]) return static_cast<unsigned>(a[i]) < static_cast<unsigned>(b[i]) ? -1 : 1;
    }
    return aLength < bLength ? -1 : (aLength > bLength ? 1 : 0);
}

int CompareUnitsNoCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength)
{
    switch (CompareStringOrdinal(a, aLength, b, bLength, TRUE)) {
        case CSTR_LESS_THAN: return -1;
        case CSTR_EQUAL: return 0;
        case CSTR_GREATER_THAN: return 1;
        default: break;
    }
    // Not expected; fall back to folding each unit ourselves.
    const int n = std::min(aLength, bLength);
    for (int i = 0; i < n; ++i) {
        wchar_t x = a[i], y = b[i];
        CharUpperBuffW(&x, 1);
        CharUpperBuffW(&y, 1);
        if (x != y) return x < y ? -1 : 1;
    }
    return aLength < bLength ? -1 : (aLength > bLength ? 1 : 0);
}

}  // namespace

int CString::Compare(const wchar_t* text) const noexcept
{
    const wchar_t* other = text ? text : L"";
    return CompareUnits(m_pszData, GetLength(), other, static_cast<int>(std::wcslen(other)));
}

int CString::Compare(const CString& other) const noexcept
{
    return CompareUnits(m_pszData, GetLength(), other.m_pszData, other.GetLength());
}

int CString::CompareNoCase(const wchar_t* text) const noexcept
{
    const wchar_t* other = text ? text : L"";
    return CompareUnitsNoCase(m_pszData, GetLength(), other, static_cast<int>(std::wcslen(other)));
}

int CString::CompareNoCase(const CString& other) const noexcept
{
    return CompareUnitsNoCase(m_pszData, GetLength(), other.m_pszData, other.GetLength());
}

// ===========================================================================
// Direct buffer access
// ===========================================================================

wchar_t* CString::GetBuffer()
{
    return GetBuffer(0);
}

wchar_t* CString::GetBuffer(int minLength)
{
    wchar_t* buffer = PrepareWrite(std::max(minLength, GetLength()), false);
    GetData()->refs = -1;  // private until ReleaseBuffer
    return buffer;
}

wchar_t* CString::GetBufferSetLength(int length)
{
    length = std::max(length, 0);
    const int oldLength = GetLength();
    wchar_t* buffer = GetBuffer(length);
    if (length > oldLength) std::wmemset(buffer + oldLength, L'\0', length - oldLength);
    SetLengthUnchecked(length);
    return buffer;
}

void CString::ReleaseBuffer(int newLength)
{
    Data* data = GetData();
    if (data->capacity == 0) return;
    if (newLength < 0) newLength = static_cast<int>(wcsnlen(m_pszData, data->capacity));
    SetLengthUnchecked(std::min(newLength, data->capacity));
    if (data->refs < 0) data->refs = 1;
}

void CString::ReleaseBufferSetLength(int newLength)
{
    ReleaseBuffer(std::max(newLength, 0));
}

void CString::Preallocate(int length)
{
    PrepareWrite(std::max(length, GetLength()), false);
}

void CString::FreeExtra()
{
    Data* data = GetData();
    if (data->capacity == 0 || data->refs != 1 || data->capacity == std::max(data->length, 1))
        return;
    if (data->length == 0) {
        Empty();
        return;
    }
    void* block = HeapReAlloc(GetProcessHeap(), 0, data, BlockBytes(sizeof(Data), data->length));
    if (!block) return;  // keeping the larger block is harmless
    data = static_cast<Data*>(block);
    data->capacity = data->length;
    m_pszData = TextOf(data);
}

// ===========================================================================
// Conversions
// ===========================================================================

namespace {

int NarrowLength(const char* text, int length)
{
    if (!text) return 0;
    if (length < 0) {
        size_t n = std::strlen(text);
        if (n > static_cast<size_t>(kMaxLength)) OutOfMemory();
        return static_cast<int>(n);
    }
    return length;
}

std::string ToCodePage(UINT codePage, const wchar_t* text, int length)
{
    std::string result;
    if (length <= 0) return result;
    int n = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return result;
    result.resize(n);
    WideCharToMultiByte(codePage, 0, text, length, &result[0], n, nullptr, nullptr);
    return result;
}

}  // namespace

CString CString::FromUtf8(const char* text, int length)
{
    CString result;
    length = NarrowLength(text, length);
    if (length == 0) return result;
    // Invalid sequences come out as U+FFFD.
    int n = MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
    if (n <= 0) return result;
    wchar_t* buffer = result.GetBuffer(n);
    n = MultiByteToWideChar(CP_UTF8, 0, text, length, buffer, n);
    result.ReleaseBuffer(std::max(n, 0));
    return result;
}

CString CString::FromAnsi(const char* text, int length)
{
    CString result;
    length = NarrowLength(text, length);
    if (length == 0) return result;
    int n = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (n <= 0) return result;
    wchar_t* buffer = result.GetBuffer(n);
    n = MultiByteToWideChar(CP_ACP, 0, text, length, buffer, n);
    result.ReleaseBuffer(std::max(n, 0));
    return result;
}

std::string CString::ToUtf8() const
{
    return ToCodePage(CP_UTF8, m_pszData, GetLength());
}

std::string CString::ToAnsi() const
{
    return ToCodePage(CP_ACP, m_pszData, GetLength());
}
