#pragma once

// CString: reference-counted, copy-on-write UTF-16 string.
//
// The object is a single pointer to the first character of a heap block that
// starts with a small header (reference count, length, capacity); the text is
// always zero-terminated, so the object converts to const wchar_t* for free and
// is cheap to pass across the DLL boundary. Copies share the block until one of
// them is modified. Reference counts are updated with Interlocked operations, so
// separate CString objects that share one block may live on different threads.
// A single CString object is not itself synchronised.
//
// All allocation and release happen inside CString.cpp (on the process heap), so
// a string built in one module may be freed in another.
//
// Indexes are in UTF-16 code units. Operations that take positions clamp them to
// the string instead of failing.

#include <windows.h>

#include <cstdarg>
#include <string>
#include <type_traits>

#include "WexaExport.h"

class WEXA_API CString
{
public:
    // --- construction ---------------------------------------------------
    CString() noexcept;
    CString(const CString& other);
    CString(CString&& other) noexcept;
    CString(const wchar_t* text);              // null gives an empty string
    CString(const wchar_t* text, int length);  // exactly length units (null or length <= 0: empty)
    CString(const char* text);                 // ANSI code page; null gives an empty string
    CString(const char* text, int length);     // ANSI code page, length in bytes
    explicit CString(wchar_t ch, int repeat = 1);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const wchar_t* text);
    CString& operator=(const char* text);
    CString& operator=(wchar_t ch);

    // --- content and access -------------------------------------------------
    int GetLength() const noexcept { return GetData()->length; }
    bool IsEmpty() const noexcept { return GetData()->length == 0; }
    void Empty();
    int GetAllocLength() const noexcept { return GetData()->capacity; }

    const wchar_t* GetString() const noexcept { return m_pszData; }
    operator const wchar_t*() const noexcept { return m_pszData; }

    // Out-of-range reads give 0; out-of-range writes are ignored.
    wchar_t GetAt(int index) const noexcept;
    void SetAt(int index, wchar_t ch);

    // Read-only subscript. A template so that any integer type picks this over
    // the built-in pointer subscript reached through operator const wchar_t*.
    template <class Index, class = typename std::enable_if<std::is_integral<Index>::value>::type>
    wchar_t operator[](Index index) const noexcept
    {
        const long long i = static_cast<long long>(index);
        return (i < 0 || i >= GetLength()) ? L'\0' : m_pszData[i];
    }

    void SetString(const wchar_t* text);
    void SetString(const wchar_t* text, int length);
    void Append(const wchar_t* text);
    void Append(const wchar_t* text, int length);
    void Append(const CString& other);
    void AppendChar(wchar_t ch);

    // --- formatting ---------------------------------------------------------
    // printf-style, with the conventions of the Windows wide-character printf
    // family: in these wide formats %s / %c take a wide string / character and
    // %S / %C a narrow (ANSI) one; %hs, %hc are always narrow and %ls, %lc, %ws,
    // %wc always wide. Integer sizes: h, hh, l, ll, I64, I32, I, z, j, t.
    // Also %u %o %x %X %e %E %f %F %g %G %a %A %p %% with flags, width and
    // precision ('*' included). A null string argument prints "(null)".
    // CString arguments may be passed directly; they are passed on as text.
    template <class... Args>
    void Format(const wchar_t* format, const Args&... args)
    {
        FormatImpl(format, PassArg(args)...);
    }
    template <class... Args>
    void AppendFormat(const wchar_t* format, const Args&... args)
    {
        AppendFormatImpl(format, PassArg(args)...);
    }
    void FormatV(const wchar_t* format, va_list args);
    void AppendFormatV(const wchar_t* format, va_list args);

    // --- searching ------------------------------------------------------------
    // All return an index or -1. A start index outside [0, length] finds nothing;
    // an empty substring is found at the start index.
    int Find(wchar_t ch, int start = 0) const noexcept;
    int Find(const wchar_t* sub, int start = 0) const noexcept;
    int ReverseFind(wchar_t ch) const noexcept;
    int FindOneOf(const wchar_t* charSet) const noexcept;

    // --- editing --------------------------------------------------------------
    int Replace(wchar_t oldCh, wchar_t newCh);                    // returns the count replaced
    int Replace(const wchar_t* oldText, const wchar_t* newText);  // empty oldText replaces nothing
    int Remove(wchar_t ch);                                       // returns the count removed
    int Insert(int index, wchar_t ch);                            // returns the new length
    int Insert(int index, const wchar_t* text);                   // returns the new length
    int Delete(int index, int count = 1);                         // returns the new length

    CString& Trim();  // white space
    CString& Trim(wchar_t ch);
    CString& Trim(const wchar_t* charSet);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t ch);
    CString& TrimLeft(const wchar_t* charSet);
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    CString& TrimRight(const wchar_t* charSet);

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    // --- extraction (all clamped) --------------------------------------------
    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString SpanIncluding(const wchar_t* charSet) const;
    CString SpanExcluding(const wchar_t* charSet) const;
    // Returns the next token at or after start, skipping leading delimiters, and
    // moves start past it. When no token is left returns "" and sets start to -1.
    CString Tokenize(const wchar_t* delimiters, int& start) const;

    // --- comparison -----------------------------------------------------------
    // Ordinal by UTF-16 code unit; result < 0, 0 or > 0. Null compares as "".
    int Compare(const wchar_t* text) const noexcept;
    int Compare(const CString& other) const noexcept;
    int CompareNoCase(const wchar_t* text) const noexcept;
    int CompareNoCase(const CString& other) const noexcept;

    // --- direct buffer access -------------------------------------------------
    // GetBuffer returns a private, writable buffer of at least minLength + 1
    // units holding the current text. Until ReleaseBuffer the string is not
    // shared with copies. ReleaseBuffer(-1) takes the length up to the first
    // zero; any other value is clamped to the buffer.
    wchar_t* GetBuffer();
    wchar_t* GetBuffer(int minLength);
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);
    void ReleaseBufferSetLength(int newLength);
    void Preallocate(int length);
    void FreeExtra();

    // --- conversions ----------------------------------------------------------
    // length -1 measures a zero-terminated input; null gives an empty string.
    static CString FromUtf8(const char* text, int length = -1);
    static CString FromAnsi(const char* text, int length = -1);
    std::string ToUtf8() const;
    std::string ToAnsi() const;  // unmappable characters become the code page default ('?')

    // --- operators ------------------------------------------------------------
    CString& operator+=(const CString& other)
    {
        Append(other);
        return *this;
    }
    CString& operator+=(const wchar_t* text)
    {
        Append(text);
        return *this;
    }
    CString& operator+=(wchar_t ch)
    {
        AppendChar(ch);
        return *this;
    }

    friend CString operator+(const CString& a, const CString& b)
    {
        CString r(a);
        r.Append(b);
        return r;
    }
    friend CString operator+(const CString& a, const wchar_t* b)
    {
        CString r(a);
        r.Append(b);
        return r;
    }
    friend CString operator+(const wchar_t* a, const CString& b)
    {
        CString r(a);
        r.Append(b);
        return r;
    }
    friend CString operator+(const CString& a, wchar_t b)
    {
        CString r(a);
        r.AppendChar(b);
        return r;
    }
    friend CString operator+(wchar_t a, const CString& b)
    {
        CString r(a);
        r.Append(b);
        return r;
    }

    friend bool operator==(const CString& a, const CString& b) noexcept
    {
        return a.Compare(b) == 0;
    }
    friend bool operator==(const CString& a, const wchar_t* b) noexcept
    {
        return a.Compare(b) == 0;
    }
    friend bool operator==(const wchar_t* a, const CString& b) noexcept
    {
        return b.Compare(a) == 0;
    }
    friend bool operator!=(const CString& a, const CString& b) noexcept
    {
        return a.Compare(b) != 0;
    }
    friend bool operator!=(const CString& a, const wchar_t* b) noexcept
    {
        return a.Compare(b) != 0;
    }
    friend bool operator!=(const wchar_t* a, const CString& b) noexcept
    {
        return b.Compare(a) != 0;
    }
    friend bool operator<(const CString& a, const CString& b) noexcept { return a.Compare(b) < 0; }
    friend bool operator<(const CString& a, const wchar_t* b) noexcept { return a.Compare(b) < 0; }
    friend bool operator<(const wchar_t* a, const CString& b) noexcept { return b.Compare(a) > 0; }
    friend bool operator>(const CString& a, const CString& b) noexcept { return a.Compare(b) > 0; }
    friend bool operator>(const CString& a, const wchar_t* b) noexcept { return a.Compare(b) > 0; }
    friend bool operator>(const wchar_t* a, const CString& b) noexcept { return b.Compare(a) < 0; }
    friend bool operator<=(const CString& a, const CString& b) noexcept
    {
        return a.Compare(b) <= 0;
    }
    friend bool operator<=(const CString& a, const wchar_t* b) noexcept
    {
        return a.Compare(b) <= 0;
    }
    friend bool operator<=(const wchar_t* a, const CString& b) noexcept
    {
        return b.Compare(a) >= 0;
    }
    friend bool operator>=(const CString& a, const CString& b) noexcept
    {
        return a.Compare(b) >= 0;
    }
    friend bool operator>=(const CString& a, const wchar_t* b) noexcept
    {
        return a.Compare(b) >= 0;
    }
    friend bool operator>=(const wchar_t* a, const CString& b) noexcept
    {
        return b.Compare(a) <= 0;
    }

private:
    // Header in front of the characters. refs is the number of CString objects
    // sharing the block, or -1 while GetBuffer has handed the buffer out.
    // capacity counts characters, not including the terminator; the shared
    // empty block is the only one with capacity 0.
    struct Data
    {
        volatile LONG refs;
        int length;
        int capacity;
    };

    Data* GetData() const noexcept { return reinterpret_cast<Data*>(m_pszData) - 1; }

    static Data* Nil() noexcept;
    static Data* Allocate(int capacity);
    static void Release(Data* data) noexcept;
    static wchar_t* TextOf(Data* data) noexcept { return reinterpret_cast<wchar_t*>(data + 1); }

    void Attach(Data* data) noexcept;
    wchar_t* PrepareWrite(int length, bool grow);
    void SetLengthUnchecked(int length) noexcept;
    void FormatImpl(const wchar_t* format, ...);
    void AppendFormatImpl(const wchar_t* format, ...);
    int TrimLeftWhile(const wchar_t* charSet, wchar_t ch, int mode);
    int TrimRightWhile(const wchar_t* charSet, wchar_t ch, int mode);

    // Variadic arguments pass through unchanged, except CString, which becomes
    // its text pointer (a class object must not be passed through "...").
    template <class T>
    static const T& PassArg(const T& value) noexcept
    {
        static_assert(std::is_scalar<T>::value || std::is_array<T>::value,
                      "Format arguments are numbers, characters, pointers or CString");
        return value;
    }
    static const wchar_t* PassArg(const CString& value) noexcept { return value.GetString(); }

    wchar_t* m_pszData;
};

// The spelling used where the wide flavour is meant explicitly.
typedef CString CStringW;
