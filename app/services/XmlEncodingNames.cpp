// Encoding names (lower case) and the code pages they name, looked up through
// 155 buckets keyed by the sum of the name's UTF-16 units.
#include <cstring>
#include <string>
#include <vector>

#include "services/XmlTextFile.h"

namespace {

struct EncodingName
{
    const char* name;
    int codePage;
};

const EncodingName kEncodingNames[] = {
    // Unicode
    {"utf-8", 65001}, {"utf8", 65001}, {"cp65001", 65001}, {"unicode-1-1-utf-8", 65001},
    {"unicode-2-0-utf-8", 65001}, {"x-unicode-2-0-utf-8", 65001}, {"x-unicode20utf8", 65001},
    {"utf-16", 1200}, {"utf-16le", 1200}, {"utf16", 1200}, {"unicode", 1200}, {"ucs-2", 1200},
    {"ucs-2le", 1200}, {"cp1200", 1200}, {"iso-10646-ucs-2", 1200},
    {"utf-16be", 1201}, {"ucs-2be", 1201}, {"unicodefffe", 1201}, {"cp1201", 1201},
    {"utf-32", 12000}, {"utf-32le", 12000}, {"utf32", 12000}, {"ucs-4", 12000}, {"ucs-4le", 12000},
    {"utf-32be", 12001}, {"ucs-4be", 12001},
    {"utf-7", 65000}, {"utf7", 65000}, {"unicode-1-1-utf-7", 65000}, {"unicode-2-0-utf-7", 65000},
    {"x-unicode-1-1-utf-7", 65000}, {"x-unicode-2-0-utf-7", 65000}, {"cp65000", 65000},
    // ASCII and ISO 8859
    {"us-ascii", 20127}, {"ascii", 20127}, {"us", 20127}, {"ansi_x3.4-1968", 20127},
    {"ansi_x3.4-1986", 20127}, {"iso646-us", 20127}, {"iso-ir-6", 20127}, {"cp367", 20127},
    {"ibm367", 20127}, {"csascii", 20127}, {"cp20127", 20127},
    {"iso-8859-1", 28591}, {"iso8859-1", 28591}, {"iso_8859-1", 28591}, {"iso_8859-1:1987", 28591},
    {"latin1", 28591}, {"l1", 28591}, {"iso-ir-100", 28591}, {"ibm819", 28591}, {"cp819", 28591},
    {"csisolatin1", 28591}, {"cp28591", 28591},
    {"iso-8859-2", 28592}, {"iso8859-2", 28592}, {"iso_8859-2", 28592}, {"iso_8859-2:1987", 28592},
    {"latin2", 28592}, {"l2", 28592}, {"iso-ir-101", 28592}, {"csisolatin2", 28592},
    {"iso-8859-3", 28593}, {"iso_8859-3", 28593}, {"latin3", 28593}, {"l3", 28593},
    {"iso-ir-109", 28593}, {"csisolatin3", 28593},
    {"iso-8859-4", 28594}, {"iso_8859-4", 28594}, {"latin4", 28594}, {"l4", 28594},
    {"iso-ir-110", 28594}, {"csisolatin4", 28594},
    {"iso-8859-5", 28595}, {"iso_8859-5", 28595}, {"cyrillic", 28595}, {"iso-ir-144", 28595},
    {"csisolatincyrillic", 28595},
    {"iso-8859-6", 28596}, {"iso_8859-6", 28596}, {"arabic", 28596}, {"iso-ir-127", 28596},
    {"ecma-114", 28596}, {"asmo-708", 708}, {"csisolatinarabic", 28596},
    {"iso-8859-7", 28597}, {"iso_8859-7", 28597}, {"greek", 28597}, {"greek8", 28597},
    {"iso-ir-126", 28597}, {"elot_928", 28597}, {"ecma-118", 28597}, {"csisolatingreek", 28597},
    {"iso-8859-8", 28598}, {"iso_8859-8", 28598}, {"hebrew", 28598}, {"iso-ir-138", 28598},
    {"iso-8859-8-i", 38598}, {"iso-8859-8 visual", 28598}, {"logical", 28598}, {"visual", 28598},
    {"csisolatinhebrew", 28598},
    {"iso-8859-9", 28599}, {"iso_8859-9", 28599}, {"latin5", 28599}, {"l5", 28599},
    {"iso-ir-148", 28599}, {"csisolatin5", 28599},
    {"iso-8859-11", 874}, {"iso-8859-13", 28603}, {"iso-8859-15", 28605}, {"iso_8859-15", 28605},
    {"latin-9", 28605}, {"latin9", 28605}, {"l9", 28605}, {"csisolatin9", 28605},
    // Windows
    {"windows-1250", 1250}, {"cp1250", 1250}, {"x-cp1250", 1250},
    {"windows-1251", 1251}, {"cp1251", 1251}, {"x-cp1251", 1251},
    {"windows-1252", 1252}, {"cp1252", 1252}, {"ms-ansi", 1252}, {"x-ansi", 1252},
    {"windows-1253", 1253}, {"cp1253", 1253},
    {"windows-1254", 1254}, {"cp1254", 1254},
    {"windows-1255", 1255}, {"cp1255", 1255},
    {"windows-1256", 1256}, {"cp1256", 1256},
    {"windows-1257", 1257}, {"cp1257", 1257},
    {"windows-1258", 1258}, {"cp1258", 1258},
    {"windows-874", 874}, {"cp874", 874}, {"dos-874", 874}, {"tis-620", 874},
    {"windows-1361", 1361}, {"johab", 1361}, {"cp1361", 1361},
    // DOS / OEM
    {"ibm437", 437}, {"cp437", 437}, {"437", 437}, {"cspc8codepage437", 437},
    {"dos-720", 720}, {"cp720", 720}, {"ibm737", 737}, {"cp737", 737}, {"ibm775", 775},
    {"cp775", 775}, {"ibm850", 850}, {"cp850", 850}, {"850", 850}, {"ibm852", 852}, {"cp852", 852},
    {"ibm855", 855}, {"cp855", 855}, {"ibm857", 857}, {"cp857", 857}, {"ibm00858", 858},
    {"cp858", 858}, {"ibm860", 860}, {"cp860", 860}, {"ibm861", 861}, {"cp861", 861},
    {"dos-862", 862}, {"cp862", 862}, {"ibm862", 862}, {"ibm863", 863}, {"cp863", 863},
    {"ibm864", 864}, {"cp864", 864}, {"ibm865", 865}, {"cp865", 865}, {"cp866", 866},
    {"ibm866", 866}, {"ibm869", 869}, {"cp869", 869}, {"cp1125", 1125}, {"cp1133", 1133},
    {"ibm037", 37}, {"cp037", 37}, {"ibm500", 500}, {"cp500", 500}, {"ibm1026", 1026},
    {"cp875", 875}, {"ibm01047", 1047}, {"ibm01140", 1140}, {"cp154", 154}, {"pt154", 154},
    // East Asian
    {"shift_jis", 932}, {"shift-jis", 932}, {"sjis", 932}, {"windows-31j", 932}, {"cp932", 932},
    {"ms_kanji", 932}, {"csshiftjis", 932}, {"x-sjis", 932}, {"x-ms-cp932", 932},
    {"euc-jp", 51932}, {"x-euc-jp", 51932}, {"cseucpkdfmtjapanese", 51932},
    {"extended_unix_code_packed_format_for_japanese", 51932}, {"iso-2022-jp", 50220},
    {"csiso2022jp", 50221}, {"iso-2022-jp-2", 50222},
    {"gb2312", 936}, {"gbk", 936}, {"cp936", 936}, {"windows-936", 936}, {"gb2312-80", 936},
    {"gb_2312-80", 936}, {"csgb2312", 936}, {"chinese", 936}, {"x-gbk", 936}, {"euc-cn", 936},
    {"x-euc-cn", 936}, {"iso-ir-58", 936}, {"gb18030", 54936}, {"hz-gb-2312", 52936},
    {"ks_c_5601-1987", 949}, {"ks_c_5601", 949}, {"ks_c_5601-1989", 949}, {"ksc_5601", 949},
    {"ksc5601", 949}, {"korean", 949}, {"csksc56011987", 949}, {"iso-ir-149", 949}, {"cp949", 949},
    {"windows-949", 949}, {"euc-kr", 51949}, {"cseuckr", 51949}, {"iso-2022-kr", 50225},
    {"csiso2022kr", 50225},
    {"big5", 950}, {"big5-hkscs", 950}, {"cn-big5", 950}, {"csbig5", 950}, {"x-x-big5", 950},
    {"cp950", 950},
    // Cyrillic and others
    {"koi8-r", 20866}, {"koi8", 20866}, {"koi", 20866}, {"cskoi8r", 20866}, {"koi8r", 20866},
    {"koi8-u", 21866}, {"koi8-ru", 21866},
    // Mac
    {"macintosh", 10000}, {"mac", 10000}, {"x-mac-roman", 10000}, {"csmacintosh", 10000},
    {"x-mac-japanese", 10001}, {"x-mac-chinesetrad", 10002}, {"x-mac-korean", 10003},
    {"x-mac-arabic", 10004}, {"x-mac-hebrew", 10005}, {"x-mac-greek", 10006},
    {"x-mac-cyrillic", 10007}, {"x-mac-chinesesimp", 10008}, {"x-mac-romanian", 10010},
    {"x-mac-ukrainian", 10017}, {"x-mac-thai", 10021}, {"x-mac-ce", 10029},
    {"x-mac-icelandic", 10079}, {"x-mac-turkish", 10081}, {"x-mac-croatian", 10082},
    // Miscellaneous code pages
    {"x-chinese-cns", 20000}, {"x-cp20001", 20001}, {"x-chinese-eten", 20002},
    {"x-cp20003", 20003}, {"x-cp20004", 20004}, {"x-cp20005", 20005}, {"x-ia5", 20105},
    {"x-ia5-german", 20106}, {"x-ia5-swedish", 20107}, {"x-ia5-norwegian", 20108},
    {"x-cp20261", 20261}, {"x-cp20269", 20269}, {"x-ebcdic-koreanextended", 20833},
    {"ibm-thai", 20838}, {"x-cp20936", 20936}, {"x-cp20949", 20949}, {"cp1025", 21025},
    {"x-europa", 29001}, {"x-cp50227", 50227}, {"x-cp50229", 50229},
    {"x-iscii-de", 57002}, {"x-iscii-be", 57003}, {"x-iscii-ta", 57004}, {"x-iscii-te", 57005},
    {"x-iscii-as", 57006}, {"x-iscii-or", 57007}, {"x-iscii-ka", 57008}, {"x-iscii-ma", 57009},
    {"x-iscii-gu", 57010}, {"x-iscii-pa", 57011},
    // Further aliases: ISO 8859 and KOI8-U
    {"iso8859-3", 28593}, {"iso8859-4", 28594}, {"iso8859-5", 28595}, {"iso8859-6", 28596},
    {"iso8859-7", 28597}, {"iso8859-8", 28598}, {"iso8859-9", 28599}, {"iso8859-13", 28603},
    {"iso8859-15", 28605}, {"csiso885913", 28603}, {"csiso885915", 28605}, {"csiso88598i", 38598},
    {"cskoi8u", 21866},
    // Further aliases: DOS / OEM
    {"cspc850multilingual", 850}, {"852", 852}, {"cspcp852", 852}, {"855", 855}, {"csibm855", 855},
    {"857", 857}, {"csibm857", 857}, {"860", 860}, {"csibm860", 860}, {"861", 861}, {"cp-is", 861},
    {"csibm861", 861}, {"862", 862}, {"cspc862latinhebrew", 862}, {"863", 863}, {"csibm863", 863},
    {"864", 864}, {"csibm864", 864}, {"865", 865}, {"csibm865", 865}, {"866", 866},
    {"csibm866", 866}, {"869", 869}, {"cp-gr", 869}, {"csibm869", 869}, {"cspc775baltic", 775},
    // Further aliases: EBCDIC
    {"ebcdic-cp-us", 37}, {"ebcdic-cp-ca", 37}, {"ebcdic-cp-nl", 37}, {"csibm037", 37},
    {"ebcdic-cp-be", 500}, {"ebcdic-cp-ch", 500}, {"csibm500", 500}, {"ibm273", 20273},
    {"cp273", 20273}, {"ibm277", 20277}, {"ibm278", 20278}, {"ibm280", 20280}, {"ibm284", 20284},
    {"ibm285", 20285}, {"ibm290", 20290}, {"ibm297", 20297}, {"ibm420", 20420}, {"ibm423", 20423},
    {"ibm424", 20424}, {"ibm871", 20871}, {"ibm880", 20880}, {"ibm905", 20905}, {"ibm00924", 20924},
};

const int kBuckets = 155;

int BucketOf(const std::wstring& name)
{
    unsigned sum = 0;
    for (wchar_t c : name)
        sum += c;
    return static_cast<int>(sum % kBuckets);
}

// Built on first use; function-local statics are initialised once even when
// several threads get here together.
const std::vector<std::vector<const EncodingName*>>& Buckets()
{
    static const std::vector<std::vector<const EncodingName*>> buckets = [] {
        std::vector<std::vector<const EncodingName*>> b(kBuckets);
        for (const EncodingName& e : kEncodingNames) {
            std::wstring wide(e.name, e.name + std::strlen(e.name));
            b[BucketOf(wide)].push_back(&e);
        }
        return b;
    }();
    return buckets;
}

}  // namespace

int EncodingNameTableSize()
{
    return static_cast<int>(sizeof(kEncodingNames) / sizeof(kEncodingNames[0]));
}

int CodePageFromEncodingName(const std::wstring& name)
{
    if (name.empty())
        return 0;
    if (name.compare(0, 6, L"UTF-32") == 0)
        return name.size() >= 8 && name.compare(6, 2, L"BE") == 0 ? kCodePageUtf32BE : kCodePageUtf32LE;
    if (name.size() >= 100)
        return 0;
    std::wstring folded(name);
    for (wchar_t& c : folded) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + 32);
    }
    for (const EncodingName* e : Buckets()[BucketOf(folded)]) {
        size_t i = 0;
        while (i < folded.size() && e->name[i] && static_cast<wchar_t>(e->name[i]) == folded[i])
            ++i;
        if (i == folded.size() && !e->name[i])
            return e->codePage;
    }
    return 0;
}
