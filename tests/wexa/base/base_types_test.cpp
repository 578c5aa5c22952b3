// Tests of the base value types shared by Wexa and Kestrova: CString, the
// rectangle classes and the critical-section lock.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <climits>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "CLock.h"
#include "CRect.h"
#include "CString.h"

namespace {

std::wstring W(const CString& s)
{
    return std::wstring(s.GetString(), s.GetLength());
}

// ===========================================================================
// CString: formatting
// ===========================================================================

struct FormatCase
{
    const char* what;
    const wchar_t* expected;
    std::function<void(CString&)> run;
};

TEST(CStringFormat, ConversionsFollowWindowsWidePrintf)
{
    const FormatCase cases[] = {
        // strings: %s / %c are wide in a wide format, %S / %C narrow
        {"wide %s", L"[wide]", [](CString& s) { s.Format(L"[%s]", L"wide"); }},
        {"narrow %S", L"[narrow]", [](CString& s) { s.Format(L"[%S]", "narrow"); }},
        {"explicit sizes", L"a b c d",
         [](CString& s) { s.Format(L"%hs %ls %ws %hS", "a", L"b", L"c", "d"); }},
        {"wide %lS", L"x", [](CString& s) { s.Format(L"%lS", L"x"); }},
        {"non-ASCII wide", L"\x4E2D\x6587=\x00E9",
         [](CString& s) { s.Format(L"%s=%c", L"\x4E2D\x6587", L'\x00E9'); }},
        {"null wide", L"[(null)]",
         [](CString& s) { s.Format(L"[%s]", static_cast<const wchar_t*>(nullptr)); }},
        {"null narrow", L"[(null)]",
         [](CString& s) { s.Format(L"[%S]", static_cast<const char*>(nullptr)); }},
        {"null with precision", L"(nu",
         [](CString& s) { s.Format(L"%.3s", static_cast<const wchar_t*>(nullptr)); }},
        {"string width and precision", L"   ab|ab   |abc|",
         [](CString& s) { s.Format(L"%5s|%-5s|%.3s|", L"ab", L"ab", L"abcdef"); }},
        {"narrow precision", L"ab", [](CString& s) { s.Format(L"%.2S", "abcdef"); }},
        {"star precision", L"abc", [](CString& s) { s.Format(L"%.*s", 3, L"abcdef"); }},
        {"characters", L"A b c d",
         [](CString& s) { s.Format(L"%C %hc %c %lc", 'A', 'b', L'c', L'd'); }},
        {"CString arguments", L"one-two",
         [](CString& s) { s.Format(L"%s-%s", CString(L"one"), CString(L"two")); }},
        {"percent", L"50%", [](CString& s) { s.Format(L"%d%%", 50); }},
        {"title and seconds", L"Wait(7s)", [](CString& s) { s.Format(L"%s(%ds)", L"Wait", 7); }},

        // integers
        {"signed", L"-42 0 2147483647", [](CString& s) { s.Format(L"%d %i %d", -42, 0, INT_MAX); }},
        {"unsigned wraps", L"4294967295", [](CString& s) { s.Format(L"%u", -1); }},
        {"width and flags", L"[   42][42   ][00042][+5][ 5][-0042]",
         [](CString& s) { s.Format(L"[%5d][%-5d][%05d][%+d][% d][%05d]", 42, 42, 42, 5, 5, -42); }},
        {"precision", L"007|||0",
         [](CString& s) { s.Format(L"%.3d|%.0d||%.0d%#.0o", 7, 0, 0, 0); }},
        {"precision disables zero flag", L"  007", [](CString& s) { s.Format(L"%05.3d", 7); }},
        {"hex and octal", L"ff FF 0xff 0XFF 010 0 0x0000ff",
         [](CString& s) {
             s.Format(L"%x %X %#x %#X %#o %#x %#08x", 255, 255, 255, 255, 8, 0, 255);
         }},
        {"short sizes", L"1 -1 1",
         [](CString& s) { s.Format(L"%hd %hd %hhu", 65537, 0xFFFF, 257); }},
        {"64-bit", L"-9000000000 9223372036854775807 18446744073709551615 ffffffffff",
         [](CString& s) {
             s.Format(L"%I64d %lld %I64u %llx", -9000000000LL, LLONG_MAX, ULLONG_MAX,
                      0xFFFFFFFFFFULL);
         }},
        {"64-bit keeps later arguments aligned", L"1 2 3",
         [](CString& s) { s.Format(L"%d %I64d %d", 1, 2LL, 3); }},
        {"pointer-sized", L"7 8 9",
         [](CString& s) { s.Format(L"%Iu %zu %I32d", size_t(7), size_t(8), 9); }},
        {"star width", L"    42|7   |", [](CString& s) { s.Format(L"%*d|%*d|", 6, 42, -4, 7); }},

        // floating point
        {"fixed", L"3.141590 2.50 -1.500 ",
         [](CString& s) { s.Format(L"%f %.2f %6.3f ", 3.14159, 2.5, -1.5); }},
        {"fixed padding", L"[  1.5][1.5  ][001.5][+1.5]",
         [](CString& s) { s.Format(L"[%5.1f][%-5.1f][%05.1f][%+.1f]", 1.5, 1.5, 1.5, 1.5); }},
        {"float argument promoted", L"0.25", [](CString& s) { s.Format(L"%.2f", 0.25f); }},
        {"exponent and general", L"1.234568e+04 1.5E-03 0.0001 1e+10",
         [](CString& s) { s.Format(L"%e %.1E %g %g", 12345.678, 0.0015, 0.0001, 1e10); }},
        {"diagnostic style", L"Input level: 0.50, Auto gain: 1.250",
         [](CString& s) { s.Format(L"Input level: %.2f, Auto gain: %.3f", 0.5, 1.25); }},

        // odds and ends
        {"pointer", sizeof(void*) == 8 ? L"0000000000001234" : L"00001234",
         [](CString& s) { s.Format(L"%p", reinterpret_cast<void*>(0x1234)); }},
        {"unknown conversion shown as written", L"a%yb", [](CString& s) { s.Format(L"a%yb"); }},
        {"trailing lone percent dropped", L"x", [](CString& s) { s.Format(L"x%"); }},
        {"null format", L"",
         [](CString& s) {
             s = L"old";
             s.Format(nullptr);
         }},
    };

    for (const FormatCase& c : cases) {
        CString s(L"previous content");
        c.run(s);
        EXPECT_EQ(std::wstring(c.expected), W(s)) << c.what;
    }
}

TEST(CStringFormat, OutputHasNoLengthLimitAndAppendFormatAppends)
{
    const std::wstring longText(20000, L'q');
    CString s;
    s.Format(L"<%s>", longText.c_str());
    ASSERT_EQ(20002, s.GetLength());
    EXPECT_EQ(L'<', s[0]);
    EXPECT_EQ(L'>', s[20001]);

    s.Format(L"%9000d", 5);
    EXPECT_EQ(9000, s.GetLength());
    EXPECT_EQ(L'5', s[8999]);

    CString log(L"a");
    for (int i = 0; i < 3; ++i) log.AppendFormat(L",%d", i);
    EXPECT_EQ(std::wstring(L"a,0,1,2"), W(log));
}

TEST(CStringFormat, ArgumentMayBeTheTargetItself)
{
    CString s(L"abc");
    s.Format(L"<%s|%s>", s, s.GetString());
    EXPECT_EQ(std::wstring(L"<abc|abc>"), W(s));

    s.AppendFormat(L"%s", s);
    EXPECT_EQ(std::wstring(L"<abc|abc><abc|abc>"), W(s));
}

// ===========================================================================
// CString: construction, access and copy-on-write
// ===========================================================================

TEST(CStringBasics, ConstructionAndAccess)
{
    EXPECT_TRUE(CString(static_cast<const wchar_t*>(nullptr)).IsEmpty());
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_STREQ(L"", CString().GetString());
    EXPECT_EQ(std::wstring(L"xxx"), W(CString(L'x', 3)));
    EXPECT_TRUE(CString(L'x', 0).IsEmpty());
    EXPECT_EQ(std::wstring(L"ab"), W(CString(L"abcdef", 2)));
    EXPECT_EQ(std::wstring(L"ascii"), W(CString("ascii")));

    CString s(L"hello");
    EXPECT_EQ(5, s.GetLength());
    EXPECT_EQ(L'e', s.GetAt(1));
    EXPECT_EQ(L'\0', s.GetAt(5));
    EXPECT_EQ(L'\0', s.GetAt(-1));
    EXPECT_EQ(L'o', s[4]);
    EXPECT_EQ(L'o', s[size_t(4)]);
    EXPECT_EQ(L'\0', s[99u]);
    s.SetAt(0, L'j');
    s.SetAt(5, L'!');  // out of range: ignored
    s.SetAt(-1, L'!');
    EXPECT_STREQ(L"jello", static_cast<const wchar_t*>(s));
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(L"", s.GetString());

    CString moved(std::move(s = L"moving"));
    EXPECT_EQ(std::wstring(L"moving"), W(moved));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringCopyOnWrite, CopiesShareUntilOneChanges)
{
    CString original(L"shared text");
    CString copy(original);
    CString assigned;
    assigned = original;
    EXPECT_EQ(original.GetString(), copy.GetString());
    EXPECT_EQ(original.GetString(), assigned.GetString());

    // Every kind of modification detaches only the modified object.
    const std::vector<std::pair<const char*, std::function<void(CString&)>>> edits = {
        {"SetAt", [](CString& s) { s.SetAt(0, L'S'); }},
        {"+=", [](CString& s) { s += L"!"; }},
        {"Replace", [](CString& s) { s.Replace(L"text", L"data"); }},
        {"Replace char", [](CString& s) { s.Replace(L't', L'T'); }},
        {"Remove", [](CString& s) { s.Remove(L' '); }},
        {"Insert", [](CString& s) { s.Insert(0, L'>'); }},
        {"Delete", [](CString& s) { s.Delete(0, 3); }},
        {"Trim", [](CString& s) { s.Trim(L"st"); }},
        {"MakeUpper", [](CString& s) { s.MakeUpper(); }},
        {"MakeReverse", [](CString& s) { s.MakeReverse(); }},
        {"GetBuffer",
         [](CString& s) {
             s.GetBuffer()[0] = L'#';
             s.ReleaseBuffer();
         }},
        {"Format", [](CString& s) { s.Format(L"%d", 1); }},
        {"Empty", [](CString& s) { s.Empty(); }},
    };
    for (const auto& edit : edits) {
        CString victim(original);
        edit.second(victim);
        EXPECT_STREQ(L"shared text", original.GetString()) << edit.first;
        EXPECT_STREQ(L"shared text", copy.GetString()) << edit.first;
        EXPECT_NE(std::wstring(L"shared text"), W(victim)) << edit.first;
    }
}

TEST(CStringCopyOnWrite, BufferHandedOutIsNeverShared)
{
    CString s(L"abc");
    wchar_t* buffer = s.GetBuffer(10);
    CString copyWhileOut(s);  // must not alias the buffer being written
    EXPECT_NE(buffer, copyWhileOut.GetString());
    wcscpy(buffer, L"written");
    s.ReleaseBuffer();
    EXPECT_STREQ(L"written", s.GetString());
    EXPECT_EQ(7, s.GetLength());
    EXPECT_STREQ(L"abc", copyWhileOut.GetString());

    // After release the string shares again.
    CString later(s);
    EXPECT_EQ(s.GetString(), later.GetString());
}

TEST(CStringCopyOnWrite, BufferLengthRules)
{
    CString s;
    wchar_t* p = s.GetBufferSetLength(4);
    EXPECT_EQ(4, s.GetLength());
    wmemcpy(p, L"wxyz", 4);
    s.ReleaseBuffer(2);
    EXPECT_STREQ(L"wx", s.GetString());

    p = s.GetBuffer(100);
    EXPECT_GE(s.GetAllocLength(), 100);
    wcscpy(p, L"longer text");
    s.ReleaseBuffer(-1);
    EXPECT_EQ(11, s.GetLength());

    s.GetBuffer();
    s.ReleaseBuffer(100000);  // clamped to the buffer, never past it
    EXPECT_LE(s.GetLength(), s.GetAllocLength());

    s = L"keep";
    s.Preallocate(50);
    EXPECT_GE(s.GetAllocLength(), 50);
    EXPECT_STREQ(L"keep", s.GetString());
    s.FreeExtra();
    EXPECT_STREQ(L"keep", s.GetString());
    EXPECT_EQ(4, s.GetAllocLength());
}

TEST(CStringCopyOnWrite, SourceInsideTheTargetIsSafe)
{
    CString s(L"abcdef");
    s = s.GetString() + 2;
    EXPECT_STREQ(L"cdef", s.GetString());

    s = s.Mid(1, 2);
    EXPECT_STREQ(L"de", s.GetString());

    for (int i = 0; i < 6; ++i) s += s;  // grows past the capacity while reading itself
    EXPECT_EQ(128, s.GetLength());
    for (int i = 0; i < s.GetLength(); i += 2) ASSERT_TRUE(s[i] == L'd' && s[i + 1] == L'e') << i;

    // Large enough that growing moves the block to fresh memory and gives the
    // old one back, so reading the source from the old place would fault.
    CString big(L'z', 400000);
    big.Append(big.GetString() + 1, 300000);
    big += big;
    ASSERT_EQ(1400000, big.GetLength());
    EXPECT_EQ(L'z', big[1399999]);
    EXPECT_EQ(1400000 - 1, big.ReverseFind(L'z'));
    EXPECT_EQ(-1, big.FindOneOf(L"\xFEEE\xDDDD"));

    CString t(L"xy");
    t.Append(t.GetString() + 1);
    EXPECT_STREQ(L"xyy", t.GetString());
    t.Insert(1, t.GetString());
    EXPECT_STREQ(L"xxyyyy", t.GetString());
    t.Replace(L"y", t.GetString());
    EXPECT_EQ(2 + 4 * 6, t.GetLength());
}

TEST(CStringCopyOnWrite, SharedStringSurvivesCopiesOnManyThreads)
{
    const CString shared(L"text shared between threads");
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared, &mismatches] {
            for (int i = 0; i < 20000; ++i) {
                CString a(shared);
                CString b;
                b = a;
                if (i % 64 == 0) b += L'!';  // detach now and then
                if (a != L"text shared between threads") ++mismatches;
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(0, mismatches.load());
    EXPECT_STREQ(L"text shared between threads", shared.GetString());
    CString after(shared);  // the count is balanced: the block is still alive and shareable
    EXPECT_EQ(shared.GetString(), after.GetString());
}

// ===========================================================================
// CString: searching and editing
// ===========================================================================

TEST(CStringSearch, FindFamily)
{
    const CString s(L"abcabc");
    struct
    {
        int got;
        int expected;
        const char* what;
    } cases[] = {
        {s.Find(L'c'), 2, "char"},
        {s.Find(L'c', 3), 5, "char from start"},
        {s.Find(L'a', 6), -1, "char start at end"},
        {s.Find(L'a', -1), -1, "char negative start"},
        {s.Find(L'z'), -1, "char missing"},
        {s.Find(L"bc"), 1, "substring"},
        {s.Find(L"bc", 2), 4, "substring from start"},
        {s.Find(L"abcd"), -1, "substring longer than rest"},
        {s.Find(L"c", 6), -1, "substring at end"},
        {s.Find(L"", 3), 3, "empty substring"},
        {s.Find(L"", 6), 6, "empty substring at end"},
        {s.Find(L"", 7), -1, "empty substring past end"},
        {s.Find(L"a", 99), -1, "start past end"},
        {s.Find(static_cast<const wchar_t*>(nullptr)), 0, "null substring"},
        {s.ReverseFind(L'b'), 4, "reverse"},
        {s.ReverseFind(L'z'), -1, "reverse missing"},
        {s.FindOneOf(L"xc"), 2, "one of"},
        {s.FindOneOf(L"xyz"), -1, "one of missing"},
        {s.FindOneOf(L""), -1, "one of empty set"},
        {s.FindOneOf(nullptr), -1, "one of null set"},
        {CString().Find(L'a'), -1, "empty string"},
        {CString().Find(L""), 0, "empty in empty"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, c.got) << c.what;
}

TEST(CStringEdit, ReplaceStrings)
{
    struct
    {
        const wchar_t* input;
        const wchar_t* from;
        const wchar_t* to;
        const wchar_t* expected;
        int count;
    } cases[] = {
        {L"aaa", L"a", L"bb", L"bbbbbb", 3},
        {L"aaaa", L"aa", L"a", L"aa", 2},  // non-overlapping, left to right
        {L"aaa", L"aa", L"b", L"ba", 1},
        {L"abc", L"", L"x", L"abc", 0},  // empty pattern replaces nothing
        {L"abc", nullptr, L"x", L"abc", 0},
        {L"abc", L"b", nullptr, L"ac", 1},  // null replacement deletes
        {L"abab", L"ab", L"", L"", 2},
        {L"xyz", L"q", L"r", L"xyz", 0},
        {L"a.b.c", L".", L"::", L"a::b::c", 2},
        {L"", L"a", L"b", L"", 0},
        {L"C:\\x\\..\\y", L"\\..\\", L"\\", L"C:\\x\\y", 1},
    };
    for (const auto& c : cases) {
        CString s(c.input);
        EXPECT_EQ(c.count, s.Replace(c.from, c.to)) << c.input;
        EXPECT_EQ(std::wstring(c.expected), W(s)) << c.input;
    }

    CString chars(L"a-b-c");
    EXPECT_EQ(2, chars.Replace(L'-', L'+'));
    EXPECT_STREQ(L"a+b+c", chars.GetString());
    EXPECT_EQ(0, chars.Replace(L'-', L'+'));
    EXPECT_EQ(2, chars.Remove(L'+'));
    EXPECT_STREQ(L"abc", chars.GetString());
    EXPECT_EQ(0, chars.Remove(L'+'));
}

TEST(CStringEdit, InsertAndDeleteClampPositions)
{
    struct
    {
        std::function<int(CString&)> op;
        const wchar_t* expected;
        int result;
        const char* what;
    } cases[] = {
        {[](CString& s) { return s.Insert(1, L"XY"); }, L"aXYbc", 5, "insert inside"},
        {[](CString& s) { return s.Insert(-5, L'X'); }, L"Xabc", 4, "insert before start"},
        {[](CString& s) { return s.Insert(100, L"X"); }, L"abcX", 4, "insert past end"},
        {[](CString& s) { return s.Insert(1, L""); }, L"abc", 3, "insert nothing"},
        {[](CString& s) { return s.Insert(1, static_cast<const wchar_t*>(nullptr)); }, L"abc", 3,
         "insert null"},
        {[](CString& s) { return s.Delete(1); }, L"ac", 2, "delete one"},
        {[](CString& s) { return s.Delete(1, 100); }, L"a", 1, "delete past end"},
        {[](CString& s) { return s.Delete(3, 1); }, L"abc", 3, "delete at end"},
        {[](CString& s) { return s.Delete(-2, 2); }, L"c", 1, "delete from negative index"},
        {[](CString& s) { return s.Delete(0, 0); }, L"abc", 3, "delete zero"},
        {[](CString& s) { return s.Delete(0, -3); }, L"abc", 3, "delete negative count"},
    };
    for (const auto& c : cases) {
        CString s(L"abc");
        EXPECT_EQ(c.result, c.op(s)) << c.what;
        EXPECT_EQ(std::wstring(c.expected), W(s)) << c.what;
    }
}

TEST(CStringEdit, ExtractionIsClamped)
{
    const CString s(L"abcdef");
    struct
    {
        CString got;
        const wchar_t* expected;
        const char* what;
    } cases[] = {
        {s.Left(2), L"ab", "left"},
        {s.Left(-1), L"", "left negative"},
        {s.Left(99), L"abcdef", "left too long"},
        {s.Right(2), L"ef", "right"},
        {s.Right(-1), L"", "right negative"},
        {s.Right(99), L"abcdef", "right too long"},
        {s.Mid(2), L"cdef", "mid to end"},
        {s.Mid(2, 2), L"cd", "mid"},
        {s.Mid(-3, 2), L"ab", "mid negative start"},
        {s.Mid(4, 99), L"ef", "mid count too long"},
        {s.Mid(6), L"", "mid at end"},
        {s.Mid(99, 1), L"", "mid past end"},
        {s.Mid(1, -1), L"", "mid negative count"},
        {CString(L"123abc").SpanIncluding(L"0123456789"), L"123", "span including"},
        {CString(L"123abc").SpanIncluding(L"xyz"), L"", "span including none"},
        {CString(L"key=value").SpanExcluding(L"=:"), L"key", "span excluding"},
        {CString(L"novalue").SpanExcluding(L"="), L"novalue", "span excluding all"},
    };
    for (const auto& c : cases) EXPECT_EQ(std::wstring(c.expected), W(c.got)) << c.what;
}

TEST(CStringEdit, TrimVariants)
{
    struct
    {
        std::function<void(CString&)> op;
        const wchar_t* input;
        const wchar_t* expected;
    } cases[] = {
        {[](CString& s) { s.Trim(); }, L" \t\r\n x y \n", L"x y"},
        {[](CString& s) { s.TrimLeft(); }, L"  x  ", L"x  "},
        {[](CString& s) { s.TrimRight(); }, L"  x  ", L"  x"},
        {[](CString& s) { s.Trim(); }, L" \t ", L""},
        {[](CString& s) { s.Trim(L'0'); }, L"00100", L"1"},
        {[](CString& s) { s.TrimLeft(L'0'); }, L"00100", L"100"},
        {[](CString& s) { s.TrimRight(L'0'); }, L"00100", L"001"},
        {[](CString& s) { s.Trim(L"\\/"); }, L"\\/dir\\sub\\", L"dir\\sub"},
        {[](CString& s) { s.TrimLeft(L"ab"); }, L"abbaXab", L"Xab"},
        {[](CString& s) { s.TrimRight(L"ab"); }, L"abXabba", L"abX"},
        {[](CString& s) { s.Trim(L""); }, L" x ", L" x "},
        {[](CString& s) { s.Trim(static_cast<const wchar_t*>(nullptr)); }, L" x ", L" x "},
        {[](CString& s) { s.Trim(L"xyz"); }, L"zyx", L""},
    };
    for (const auto& c : cases) {
        CString s(c.input);
        c.op(s);
        EXPECT_EQ(std::wstring(c.expected), W(s)) << c.input;
    }
}

TEST(CStringEdit, TokenizeWalksTokensAndEnds)
{
    const CString s(L"  a,b;;c ");
    std::vector<std::wstring> tokens;
    std::vector<int> positions;  // each token leaves pos just past its delimiter
    int pos = 0;
    for (CString token = s.Tokenize(L" ,;", pos); pos != -1; token = s.Tokenize(L" ,;", pos)) {
        tokens.push_back(W(token));
        positions.push_back(pos);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"c"}), tokens);
    EXPECT_EQ((std::vector<int>{4, 6, 9}), positions);

    pos = 0;
    EXPECT_TRUE(CString(L",,,").Tokenize(L",", pos).IsEmpty());
    EXPECT_EQ(-1, pos);

    pos = -1;
    EXPECT_TRUE(s.Tokenize(L",", pos).IsEmpty());
    EXPECT_EQ(-1, pos);

    // Without delimiters the rest is one token, and the walk then ends.
    pos = 2;
    EXPECT_STREQ(L"a,b;;c ", s.Tokenize(L"", pos).GetString());
    EXPECT_TRUE(s.Tokenize(L"", pos).IsEmpty());
    EXPECT_EQ(-1, pos);
}

TEST(CStringEdit, CaseAndReverse)
{
    CString s(L"Mixed \x00E4\x00F6 Case");
    s.MakeUpper();
    EXPECT_STREQ(L"MIXED \x00C4\x00D6 CASE", s.GetString());
    s.MakeLower();
    EXPECT_STREQ(L"mixed \x00E4\x00F6 case", s.GetString());

    CString r(
        L"ab\xD83D\xDE00"
        L"c");  // U+1F600 between ASCII letters
    r.MakeReverse();
    EXPECT_STREQ(
        L"c\xD83D\xDE00"
        L"ba",
        r.GetString());
    CString single(L"x");
    EXPECT_STREQ(L"x", single.MakeReverse().GetString());
}

TEST(CStringCompare, OrderingAndOperators)
{
    const CString abc(L"abc");
    EXPECT_EQ(0, abc.Compare(L"abc"));
    EXPECT_LT(abc.Compare(L"abd"), 0);
    EXPECT_GT(abc.Compare(L"ab"), 0);
    EXPECT_GT(abc.Compare(L"ABC"), 0);
    EXPECT_GT(abc.Compare(static_cast<const wchar_t*>(nullptr)), 0);
    EXPECT_EQ(0, CString().Compare(static_cast<const wchar_t*>(nullptr)));
    EXPECT_LT(CString(L"\x00E9").Compare(L"\xD83D\xDE00"), 0);  // by code unit, no sign trouble

    EXPECT_EQ(0, abc.CompareNoCase(L"ABC"));
    EXPECT_EQ(0, CString(L"\x00C4rger").CompareNoCase(L"\x00E4RGER"));
    EXPECT_LT(abc.CompareNoCase(L"ABD"), 0);
    EXPECT_GT(abc.CompareNoCase(L"AB"), 0);

    EXPECT_TRUE(abc == L"abc");
    EXPECT_TRUE(L"abc" == abc);
    EXPECT_TRUE(abc == CString(L"abc"));
    EXPECT_TRUE(abc != L"abd");
    EXPECT_TRUE(abc < L"abd" && L"abd" > abc);
    EXPECT_TRUE(abc <= abc && abc >= abc);
    EXPECT_FALSE(abc < abc);

    CString sum = CString(L"a") + L"b" + L'c' + CString(L"d");
    sum = L'<' + sum + L'>';
    sum = L"[" + sum + L"]";
    EXPECT_STREQ(L"[<abcd>]", sum.GetString());
    sum += CString(L"1");
    sum += L"2";
    sum += L'3';
    EXPECT_STREQ(L"[<abcd>]123", sum.GetString());
}

// ===========================================================================
// CString: conversions
// ===========================================================================

TEST(CStringConvert, Utf8RoundTrips)
{
    struct
    {
        const char* utf8;
        const wchar_t* utf16;
    } cases[] = {
        {"plain", L"plain"},
        {"h\xC3\xA9llo", L"h\x00E9llo"},                                // 2-byte sequence
        {"\xE4\xB8\xAD\xE6\x96\x87 profile", L"\x4E2D\x6587 profile"},  // 3-byte sequences
        {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"},                          // U+1F600: surrogate pair
        {"a\xF0\x90\x8D\x88z\xE2\x82\xAC", L"a\xD800\xDF48z\x20AC"},
        {"", L""},
    };
    for (const auto& c : cases) {
        CString wide = CString::FromUtf8(c.utf8);
        EXPECT_EQ(std::wstring(c.utf16), W(wide)) << c.utf8;
        EXPECT_EQ(std::string(c.utf8), wide.ToUtf8()) << c.utf8;
        EXPECT_EQ(std::string(c.utf8), CString(c.utf16).ToUtf8()) << c.utf8;
    }

    EXPECT_TRUE(CString::FromUtf8(nullptr).IsEmpty());
    EXPECT_STREQ(L"abc", CString::FromUtf8("abcdef", 3).GetString());
    EXPECT_STREQ(L"\x00E9", CString::FromUtf8("\xC3\xA9xyz", 2).GetString());
    EXPECT_STREQ(
        L"a\xFFFD"
        L"b",
        CString::FromUtf8("a\xFF"
                          "b")
            .GetString());                               // invalid byte
    EXPECT_EQ(3u, CString(L"a\0b", 3).ToUtf8().size());  // embedded zero kept
}

TEST(CStringConvert, AnsiCodePage)
{
    const char ascii[] = "Key 42 ~!@#";
    EXPECT_STREQ(L"Key 42 ~!@#", CString::FromAnsi(ascii).GetString());
    EXPECT_EQ(std::string(ascii), CString::FromAnsi(ascii).ToAnsi());
    EXPECT_STREQ(L"Key", CString::FromAnsi(ascii, 3).GetString());
    EXPECT_TRUE(CString::FromAnsi(nullptr).IsEmpty());

    if (GetACP() == 1252) {
        EXPECT_STREQ(L"caf\x00E9 \x20AC", CString::FromAnsi("caf\xE9 \x80").GetString());
        EXPECT_EQ(std::string("caf\xE9 \x80"), CString(L"caf\x00E9 \x20AC").ToAnsi());
        EXPECT_STREQ(L"caf\x00E9", CString("caf\xE9").GetString());
        CString formatted;
        formatted.Format(L"%S", "caf\xE9");
        EXPECT_STREQ(L"caf\x00E9", formatted.GetString());
        EXPECT_EQ(std::string("?"), CString(L"\x4E2D").ToAnsi());  // not in the code page
    } else {
        // Whatever the code page, its own text converts back unchanged.
        std::string bytes;
        for (int b = 0xA0; b < 0x100; ++b)
            if (!IsDBCSLeadByte(static_cast<BYTE>(b))) bytes.push_back(static_cast<char>(b));
        CString wide = CString::FromAnsi(bytes.c_str());
        EXPECT_EQ(wide.ToAnsi(), CString::FromAnsi(wide.ToAnsi().c_str()).ToAnsi());
    }
}

// ===========================================================================
// CPoint, CSize, CRect
// ===========================================================================

TEST(CRectBasics, ConstructionMeasuresAndMoves)
{
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(100, r.Width());
    EXPECT_EQ(50, r.Height());
    EXPECT_EQ(CSize(100, 50), r.Size());
    EXPECT_EQ(CPoint(60, 45), r.CenterPoint());
    EXPECT_EQ(CPoint(10, 20), r.TopLeft());
    EXPECT_EQ(CPoint(110, 70), r.BottomRight());

    EXPECT_EQ(r, CRect(CPoint(10, 20), CSize(100, 50)));
    EXPECT_EQ(r, CRect(CPoint(10, 20), CPoint(110, 70)));
    RECT raw = {10, 20, 110, 70};
    EXPECT_EQ(r, CRect(raw));
    EXPECT_EQ(r, CRect(&raw));
    EXPECT_TRUE(CRect().IsRectNull());
    EXPECT_TRUE(r.EqualRect(&raw));
    EXPECT_FALSE(r.EqualRect(nullptr));

    // Corners are references into the rectangle.
    CRect c(0, 0, 5, 5);
    c.TopLeft() = CPoint(1, 2);
    c.BottomRight().x = 9;
    EXPECT_EQ(CRect(1, 2, 9, 5), c);

    // Usable wherever the API wants a RECT*.
    CRect fromApi;
    ::SetRect(fromApi, 1, 2, 3, 4);
    EXPECT_EQ(CRect(1, 2, 3, 4), fromApi);
    const CRect constRect(0, 0, 4, 4);
    EXPECT_TRUE(::PtInRect(constRect, POINT{3, 3}));

    CRect m(10, 20, 30, 40);
    m.MoveToXY(0, 0);
    EXPECT_EQ(CRect(0, 0, 20, 20), m);
    m.MoveToX(5);
    m.MoveToY(-5);
    EXPECT_EQ(CRect(5, -5, 25, 15), m);
    m.OffsetRect(CPoint(1, 1));
    m.OffsetRect(CSize(1, 1));
    m.OffsetRect(-2, -2);
    EXPECT_EQ(CRect(5, -5, 25, 15), m);
    m += CPoint(10, 0);
    m -= CSize(0, 10);
    EXPECT_EQ(CRect(15, -15, 35, 5), m);
    EXPECT_EQ(CRect(16, -14, 36, 6), m + CPoint(1, 1));
    EXPECT_EQ(CRect(14, -16, 34, 4), m - CSize(1, 1));

    CRect s(0, 0, 100, 200);
    s.MulDiv(3, 2);
    EXPECT_EQ(CRect(0, 0, 150, 300), s);
}

TEST(CRectBasics, InflateAndDeflateOverloads)
{
    const CRect base(10, 10, 20, 20);
    const RECT margins = {1, 2, 3, 4};
    struct
    {
        std::function<void(CRect&)> op;
        CRect expected;
        const char* what;
    } cases[] = {
        {[](CRect& r) { r.InflateRect(2, 3); }, CRect(8, 7, 22, 23), "inflate x y"},
        {[](CRect& r) { r.InflateRect(CSize(2, 3)); }, CRect(8, 7, 22, 23), "inflate size"},
        {[](CRect& r) { r.InflateRect(1, 2, 3, 4); }, CRect(9, 8, 23, 24), "inflate sides"},
        {[&](CRect& r) { r.InflateRect(&margins); }, CRect(9, 8, 23, 24), "inflate rect"},
        {[](CRect& r) { r.DeflateRect(2, 3); }, CRect(12, 13, 18, 17), "deflate x y"},
        {[](CRect& r) { r.DeflateRect(CSize(2, 3)); }, CRect(12, 13, 18, 17), "deflate size"},
        {[](CRect& r) { r.DeflateRect(1, 2, 3, 4); }, CRect(11, 12, 17, 16), "deflate sides"},
        {[&](CRect& r) { r.DeflateRect(&margins); }, CRect(11, 12, 17, 16), "deflate rect"},
        {[&](CRect& r) { r += &margins; }, CRect(9, 8, 23, 24), "+= rect inflates"},
        {[&](CRect& r) { r -= &margins; }, CRect(11, 12, 17, 16), "-= rect deflates"},
        {[](CRect& r) { r.DeflateRect(6, 6); }, CRect(16, 16, 14, 14), "deflate past centre"},
    };
    for (const auto& c : cases) {
        CRect r(base);
        c.op(r);
        EXPECT_EQ(c.expected, r) << c.what;
    }
}

TEST(CRectBasics, EmptyNullNormaliseAndHitTest)
{
    struct
    {
        CRect r;
        bool empty;
        bool null;
        CRect normalised;
    } cases[] = {
        {CRect(0, 0, 0, 0), true, true, CRect(0, 0, 0, 0)},
        {CRect(0, 0, 10, 0), true, false, CRect(0, 0, 10, 0)},
        {CRect(5, 5, 5, 9), true, false, CRect(5, 5, 5, 9)},
        {CRect(10, 10, 0, 0), true, false, CRect(0, 0, 10, 10)},
        {CRect(0, 10, 10, 0), true, false, CRect(0, 0, 10, 10)},
        {CRect(-5, -5, 5, 5), false, false, CRect(-5, -5, 5, 5)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.empty, c.r.IsRectEmpty());
        EXPECT_EQ(c.empty, ::IsRectEmpty(c.r) != FALSE);
        EXPECT_EQ(c.null, c.r.IsRectNull());
        CRect n(c.r);
        n.NormalizeRect();
        EXPECT_EQ(c.normalised, n);
    }

    const CRect r(0, 0, 10, 10);
    struct
    {
        POINT pt;
        bool inside;
    } points[] = {
        {{0, 0}, true},   {{9, 9}, true},   {{10, 5}, false},
        {{5, 10}, false}, {{-1, 5}, false}, {{5, 5}, true},
    };
    for (const auto& p : points) {
        EXPECT_EQ(p.inside, r.PtInRect(p.pt)) << p.pt.x << "," << p.pt.y;
        EXPECT_EQ(p.inside, ::PtInRect(r, p.pt) != FALSE);
    }
    EXPECT_FALSE(CRect(10, 10, 0, 0).PtInRect(CPoint(5, 5)));  // inverted: nothing inside
}

// The set operations must agree with user32's functions of the same name.
TEST(CRectSetOperations, AgreeWithUser32)
{
    const CRect shapes[] = {
        CRect(0, 0, 10, 10),    // reference square
        CRect(5, 5, 15, 15),    // partial overlap
        CRect(2, 2, 8, 8),      // inside
        CRect(-5, -5, 20, 20),  // contains
        CRect(10, 0, 20, 10),   // touches the right edge only
        CRect(0, 10, 10, 20),   // touches the bottom edge only
        CRect(30, 30, 40, 40),  // disjoint
        CRect(0, 0, 0, 0),      // null
        CRect(3, 3, 3, 9),      // empty, zero width, inside
        CRect(10, 10, 0, 0),    // inverted
        CRect(0, 0, 4, 10),     // left strip, full height
        CRect(6, 0, 12, 10),    // right strip, full height
        CRect(-1, 0, 11, 3),    // top band wider than the square
        CRect(0, 8, 10, 10),    // bottom band
        CRect(3, 0, 6, 10),     // middle column (subtraction leaves two pieces)
        CRect(0, 0, 10, 10),    // equal to the reference
    };
    for (const CRect& a : shapes) {
        for (const CRect& b : shapes) {
            RECT expected;
            CRect got;

            BOOL ok = ::IntersectRect(&expected, &a, &b);
            EXPECT_EQ(ok != FALSE, got.IntersectRect(&a, &b));
            EXPECT_EQ(CRect(expected), got) << "intersect";
            EXPECT_EQ(CRect(expected), a & b);

            ok = ::UnionRect(&expected, &a, &b);
            EXPECT_EQ(ok != FALSE, got.UnionRect(&a, &b));
            EXPECT_EQ(CRect(expected), got) << "union";
            EXPECT_EQ(CRect(expected), a | b);

            ok = ::SubtractRect(&expected, &a, &b);
            EXPECT_EQ(ok != FALSE, got.SubtractRect(&a, &b));
            EXPECT_EQ(CRect(expected), got) << "subtract";

            CRect inPlace(a);
            inPlace &= b;
            EXPECT_EQ(a & b, inPlace);
            inPlace = a;
            inPlace |= b;
            EXPECT_EQ(a | b, inPlace);
        }
    }
}

TEST(CRectSetOperations, KnownResults)
{
    const CRect square(0, 0, 10, 10);
    EXPECT_EQ(CRect(5, 5, 10, 10), square & CRect(5, 5, 15, 15));
    EXPECT_TRUE((square & CRect(10, 0, 20, 10)).IsRectNull());  // shared edge is no overlap
    EXPECT_EQ(CRect(0, 0, 15, 15), square | CRect(5, 5, 15, 15));
    EXPECT_EQ(square, square | CRect(100, 100, 100, 200));  // empty one is ignored

    CRect rest;
    EXPECT_TRUE(rest.SubtractRect(&square, CRect(6, -1, 20, 11)));
    EXPECT_EQ(CRect(0, 0, 6, 10), rest);
    EXPECT_TRUE(rest.SubtractRect(&square, CRect(3, 0, 6, 10)));  // would split: unchanged
    EXPECT_EQ(square, rest);
    EXPECT_FALSE(rest.SubtractRect(&square, CRect(-1, -1, 11, 11)));
    EXPECT_TRUE(rest.IsRectNull());

    // The target may be one of the sources.
    CRect self(0, 0, 10, 10);
    EXPECT_TRUE(self.IntersectRect(&self, CRect(2, 3, 20, 20)));
    EXPECT_EQ(CRect(2, 3, 10, 10), self);
    EXPECT_TRUE(self.UnionRect(CRect(0, 0, 1, 1), &self));
    EXPECT_EQ(CRect(0, 0, 10, 10), self);
}

TEST(CPointSize, Arithmetic)
{
    CPoint p(3, 4);
    EXPECT_EQ(CPoint(4, 6), p + CSize(1, 2));
    EXPECT_EQ(CPoint(2, 2), p - CSize(1, 2));
    EXPECT_EQ(CPoint(5, 5), p + CPoint(2, 1));
    EXPECT_EQ(CSize(2, 3), p - CPoint(1, 1));
    EXPECT_EQ(CPoint(-3, -4), -p);
    p += CSize(1, 1);
    p -= CPoint(2, 2);
    p.Offset(10, 10);
    EXPECT_EQ(CPoint(12, 13), p);
    EXPECT_TRUE(p != CPoint(0, 0));

    // Mouse-message coordinates are signed 16-bit values.
    EXPECT_EQ(CPoint(-2, 300), CPoint(MAKELPARAM(-2, 300)));

    CSize s(5, 6);
    EXPECT_EQ(CSize(6, 8), s + CSize(1, 2));
    EXPECT_EQ(CSize(4, 4), s - CSize(1, 2));
    EXPECT_EQ(CSize(-5, -6), -s);
    EXPECT_EQ(CPoint(6, 7), s + CPoint(1, 1));
    s += CSize(1, 1);
    s -= CSize(2, 2);
    EXPECT_EQ(CSize(4, 5), s);
    EXPECT_EQ(CRect(5, 5, 15, 15), CPoint(5, 5) + CRect(0, 0, 10, 10));
    EXPECT_EQ(CRect(-1, -1, 9, 9), CSize(1, 1) - CRect(0, 0, 10, 10));
}

// ===========================================================================
// CCriticalLock / CAutoLock
// ===========================================================================

// Asks from another thread whether the lock could be taken right now.
bool FreeForOtherThread(CCriticalLock& lock)
{
    bool taken = false;
    std::thread probe([&] {
        taken = lock.TryLock();
        if (taken) lock.Unlock();
    });
    probe.join();
    return taken;
}

TEST(CriticalLock, ReentrantAndHeldUntilFullyReleased)
{
    CCriticalLock lock;
    EXPECT_TRUE(FreeForOtherThread(lock));

    lock.Lock();
    lock.Lock();  // the owning thread may lock again without blocking
    EXPECT_TRUE(lock.TryLock());
    EXPECT_FALSE(FreeForOtherThread(lock));
    lock.Unlock();
    lock.Unlock();
    EXPECT_FALSE(FreeForOtherThread(lock));  // one level still held
    lock.Unlock();
    EXPECT_TRUE(FreeForOtherThread(lock));
}

TEST(CriticalLock, AutoLockHoldsForItsScope)
{
    CCriticalLock lock;
    {
        CAutoLock outer(lock);
        {
            CAutoLock inner(&lock);  // nested in the same thread
            EXPECT_FALSE(FreeForOtherThread(lock));
        }
        EXPECT_FALSE(FreeForOtherThread(lock));
    }
    EXPECT_TRUE(FreeForOtherThread(lock));

    {
        CAutoLock none(static_cast<CCriticalLock*>(nullptr));  // no lock: nothing happens
        EXPECT_TRUE(FreeForOtherThread(lock));
    }
}

TEST(CriticalLock, TwoThreadsCountWithoutLosingUpdates)
{
    CCriticalLock lock;
    // volatile keeps each read-modify-write a separate load and store, so an
    // unguarded version of this loop does lose updates.
    volatile long counter = 0;
    std::atomic<int> ready{0};
    const int perThread = 500000;
    auto work = [&] {
        // Start together so that the two loops really overlap.
        ++ready;
        while (ready.load() < 2) std::this_thread::yield();
        for (int i = 0; i < perThread; ++i) {
            CAutoLock guard(lock);
            counter = counter + 1;
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(2L * perThread, static_cast<long>(counter));
}

}  // namespace
