// XmlDocument: element table, parser, result messages, navigation and reading.
// Editing is in XmlDocumentEdit.cpp, files and encodings in XmlTextFile.cpp.
#include "services/xml/XmlDocument.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "services/xml/XmlNodeScanner.h"

using namespace xmlscan;

// ---- element table -----------------------------------------------------------

void XmlElementTable::Grow(int newCapacity)
{
    if (newCapacity <= m_capacity) return;
    const int lastSeg = m_capacity ? (m_capacity - 1) / kSegmentRecords : -1;
    auto resizeSegment = [this](int seg, int oldCount, int newCount) {
        XmlElementRecord* fresh = new XmlElementRecord[newCount];
        if (oldCount) std::memcpy(fresh, m_segments[seg], sizeof(XmlElementRecord) * oldCount);
        delete[] m_segments[seg];
        m_segments[seg] = fresh;
    };
    if (lastSeg >= 0) {
        const int lastCount = m_capacity - lastSeg * kSegmentRecords;
        if (newCapacity <= (lastSeg + 1) * kSegmentRecords) {
            resizeSegment(lastSeg, lastCount, newCapacity - lastSeg * kSegmentRecords);
            m_capacity = newCapacity;
            return;
        }
        if (lastCount < kSegmentRecords) resizeSegment(lastSeg, lastCount, kSegmentRecords);
        m_capacity = (lastSeg + 1) * kSegmentRecords;
    }
    const int newSeg = lastSeg + 1;
    const long long cut = static_cast<long long>(newSeg + 1) * kSegmentRecords;
    if (newCapacity > cut) newCapacity = static_cast<int>(cut);
    if (newSeg >= m_segmentSlots) {
        const int slots = newSeg * 2 + 4;
        XmlElementRecord** fresh = new XmlElementRecord*[slots]();
        if (m_segments) std::memcpy(fresh, m_segments, sizeof(XmlElementRecord*) * m_segmentSlots);
        delete[] m_segments;
        m_segments = fresh;
        m_segmentSlots = slots;
    }
    m_segments[newSeg] = nullptr;
    resizeSegment(newSeg, 0, newCapacity - newSeg * kSegmentRecords);
    m_capacity = newCapacity;
}

void XmlElementTable::Release()
{
    for (int i = 0; i < m_segmentSlots; ++i) delete[] m_segments[i];
    delete[] m_segments;
    m_segments = nullptr;
    m_segmentSlots = 0;
    m_capacity = 0;
}

// ---- construction ----------------------------------------------------------------

XmlDocument::XmlDocument() : m_table(new XmlElementTable)
{
    SetDocumentText(L"");
}

XmlDocument::XmlDocument(const wchar_t* text) : m_table(new XmlElementTable)
{
    SetDocumentText(text ? text : L"");
}

XmlDocument::~XmlDocument()
{
    delete m_table;
}

bool XmlDocument::SetDocumentText(const wchar_t* text)
{
    if (!text) {
        m_text.clear();
        m_text.shrink_to_fit();
        m_table->Release();
    } else {
        m_text.assign(text);
    }
    m_result.clear();
    return Parse();
}

bool XmlDocument::SetDocumentText(const std::wstring& text)
{
    m_text = text;
    m_result.clear();
    return Parse();
}

// ---- parsing -------------------------------------------------------------------------

XmlPos XmlDocument::TakeRecord()
{
    if (m_nextRecord >= m_table->Capacity()) {
        const int cap = m_table->Capacity();
        m_table->Grow(std::max(cap + cap / 2, m_nextRecord + 1));
    }
    const XmlPos pos = static_cast<XmlPos>(m_nextRecord++);
    std::memset(&Rec(pos), 0, sizeof(XmlElementRecord));
    return pos;
}

// Links pos as the last child of parent (record 0 at the top level).
void XmlDocument::LinkLastChild(XmlPos parent, XmlPos pos)
{
    XmlElementRecord& rec = Rec(pos);
    XmlElementRecord& par = Rec(parent);
    rec.parent = parent;
    rec.nextSibling = 0;
    if (!par.firstChild) {
        par.firstChild = pos;
        rec.prevSibling = pos;
        rec.levelMarks |= XmlElementRecord::kFirstChildMark;
    } else {
        XmlElementRecord& first = Rec(par.firstChild);
        const XmlPos last = first.prevSibling;
        Rec(last).nextSibling = pos;
        rec.prevSibling = last;
        first.prevSibling = pos;
    }
}

bool XmlDocument::Parse()
{
    m_parentPos = m_currentPos = m_childPos = 0;
    m_currentIsElement = 0;
    const int len = static_cast<int>(m_text.size());
    // Room for one record per 64 units plus 8; a growth step adds at most one segment.
    const int wanted = len / 64 + 8;
    while (m_table->Capacity() < wanted) m_table->Grow(wanted);
    m_nextRecord = 1;
    std::memset(&Rec(0), 0, sizeof(XmlElementRecord));
    if (len == 0) return false;
    const XmlPos first = BuildElements();
    XmlElementRecord& doc = Rec(0);
    doc.length = static_cast<uint32_t>(len);
    if (!first) {
        AddResult(m_result, ResultAppend, L"no_root_element", nullptr, -1, -1);
    } else {
        doc.firstChild = first;
        if (Rec(first).nextSibling)
            AddResult(m_result, ResultAppend, L"root_has_sibling", nullptr, -1, -1);
    }
    m_parentPos = m_currentPos = m_childPos = 0;
    m_currentIsElement = 0;
    return !(Rec(0).levelMarks & XmlElementRecord::kIllFormedMark) && first &&
           !Rec(first).nextSibling;
}

namespace {

struct OpenElement
{
    XmlPos pos;
    int nameStart;
    int nameLength;
};

}  // namespace

XmlPos XmlDocument::BuildElements()
{
    const wchar_t* text = m_text.c_str();
    const int len = static_cast<int>(m_text.size());
    std::vector<OpenElement> open;
    open.reserve(7);
    XmlPos first = 0;
    bool moved = false;
    bool stop = false;

    auto illFormed = [this]() { Rec(0).levelMarks |= XmlElementRecord::kIllFormedMark; };
    auto nameOf = [text](const OpenElement& e) {
        return std::wstring(text + e.nameStart, e.nameLength);
    };

    // Every open element from index k outward... inward becomes unended: its
    // children become its following siblings. Done for the whole run at once,
    // so each record moves at most once.
    auto unend = [&](size_t k, int offset2) {
        illFormed();
        for (size_t j = open.size(); j-- > k;) {
            const XmlElementRecord& rec = Rec(open[j].pos);
            AddResult(m_result, ResultAppend, L"unended_start_tag", nameOf(open[j]).c_str(),
                      static_cast<int>(rec.start), offset2);
        }
        const XmlPos outer = k ? open[k - 1].pos : 0;
        const uint32_t depth = k ? Rec(outer).Depth() + 1 : 0;
        XmlPos last = open[k].pos;
        for (size_t j = k; j < open.size(); ++j) {
            XmlElementRecord& u = Rec(open[j].pos);
            XmlPos c = u.firstChild;
            while (c) {
                XmlElementRecord& child = Rec(c);
                const XmlPos next = child.nextSibling;
                Rec(last).nextSibling = c;
                child.prevSibling = last;
                child.parent = outer;
                child.SetDepth(depth);
                child.levelMarks &= ~XmlElementRecord::kFirstChildMark;
                last = c;
                c = next;
                moved = true;
            }
            u.firstChild = 0;
            u.length = u.StartTagLength();
            u.SetTagLengths(u.StartTagLength(), 0);
            u.levelMarks |= XmlElementRecord::kUnendedMark;
        }
        Rec(last).nextSibling = 0;
        Rec(Rec(outer).firstChild).prevSibling = last;
        open.resize(k);
    };
    // A field would overflow: the document is ill-formed and the rest is not read.
    auto limit = [&](const wchar_t* what, int offset) {
        illFormed();
        AddResult(m_result, ResultType, L"limit_exceeded", what, offset, -1);
        stop = true;
    };

    NodeScanner scanner(text, len);
    Node node;
    while (!stop && scanner.Next(node)) {
        switch (node.kind) {
            case NodeStartTag:
            case NodeEmptyTag: {
                if (static_cast<uint32_t>(node.length) > XmlElementRecord::kStartTagMax) {
                    limit(L"start_tag", node.start);
                    break;
                }
                if (open.size() > XmlElementRecord::kDepthMax) {
                    limit(L"depth", node.start);
                    break;
                }
                const XmlPos pos = TakeRecord();
                LinkLastChild(open.empty() ? 0 : open.back().pos, pos);
                XmlElementRecord& rec = Rec(pos);
                rec.start = static_cast<uint32_t>(node.start);
                rec.length = static_cast<uint32_t>(node.length);
                rec.SetTagLengths(static_cast<uint32_t>(node.length), 0);
                rec.SetDepth(static_cast<uint32_t>(open.size()));
                if (!first) first = pos;
                if (node.kind == NodeStartTag)
                    open.push_back(OpenElement{pos, node.nameStart, node.nameLength});
                break;
            }
            case NodeEndTag: {
                if (static_cast<uint32_t>(node.length) > XmlElementRecord::kEndTagMax) {
                    limit(L"end_tag", node.start);
                    break;
                }
                const wchar_t* name = text + node.nameStart;
                size_t match = open.size();
                while (match-- > 0) {
                    const OpenElement& e = open[match];
                    if (e.nameLength == node.nameLength &&
                        std::wmemcmp(text + e.nameStart, name, node.nameLength) == 0)
                        break;
                }
                if (match == static_cast<size_t>(-1)) {
                    illFormed();
                    AddResult(m_result, ResultAppend, L"lone_end_tag",
                              std::wstring(name, node.nameLength).c_str(), node.start, -1);
                    break;
                }
                if (match + 1 < open.size()) unend(match + 1, node.start + 1);
                XmlElementRecord& rec = Rec(open[match].pos);
                rec.length = static_cast<uint32_t>(node.start + node.length) - rec.start;
                rec.SetTagLengths(rec.StartTagLength(), static_cast<uint32_t>(node.length));
                open.pop_back();
                break;
            }
            case NodeError:
                illFormed();
                for (int m = 0; m < node.messageCount; ++m) {
                    const SyntaxMessage& msg = node.messages[m];
                    bool repeated = false;
                    for (int k = 0; k < m; ++k)
                        repeated |= std::wcscmp(node.messages[k].name, msg.name) == 0;
                    if (!repeated)
                        AddResult(m_result, msg.type ? ResultType : ResultAppend, msg.name,
                                  msg.type, msg.offset, -1);
                }
                break;
            default: break;
        }
    }
    if (!open.empty()) unend(0, len);
    // Children that moved up took their new depth; their descendants follow here.
    // Parents always precede their children in the parse's record order.
    if (moved) {
        for (int32_t r = 1; r < m_nextRecord; ++r) {
            XmlElementRecord& rec = Rec(static_cast<XmlPos>(r));
            rec.SetDepth(rec.parent ? Rec(rec.parent).Depth() + 1 : 0);
        }
    }
    return first;
}

// ---- result messages ------------------------------------------------------------

void XmlDocument::AddResult(std::wstring& result, unsigned kind, const wchar_t* name,
                            const wchar_t* value, int number, int number2)
{
    if (result.size() > 999 || !name) return;
    XmlDocument doc;
    doc.m_text = result;
    doc.Parse();
    bool found = false;
    if (kind & ResultUpdate) found = doc.FindElement(name);
    if (!found && !doc.AddElement(name, nullptr, AddInline)) return;
    if (value) {
        const wchar_t* attr = (kind & ResultType)       ? L"type"
                              : (kind & ResultEncoding) ? L"encoding"
                              : (kind & ResultMsg)      ? L"msg"
                                                        : L"tagname";
        doc.SetAttribute(attr, value);
    }
    if (kind & (ResultN | ResultCount | ResultLength)) {
        doc.SetAttribute((kind & ResultN)       ? L"n"
                         : (kind & ResultCount) ? L"count"
                                                : L"length",
                         number);
    } else if (number != -1) {
        doc.SetAttribute(L"offset", number);
    }
    if (number2 != -1) doc.SetAttribute(L"offset2", number2);
    result.swap(doc.m_text);
}

// ---- navigation ---------------------------------------------------------------------

std::wstring XmlDocument::GetElementName(XmlPos pos) const
{
    if (!pos || static_cast<int32_t>(pos) >= m_nextRecord) return std::wstring();
    const wchar_t* t = m_text.c_str();
    const size_t len = m_text.size();
    size_t i = Rec(pos).start + 1;
    while (i < len && IsSpace(t[i])) ++i;
    if (i >= len) return std::wstring();
    size_t end = i + 1;
    while (end < len && !IsNameDelimiter(t[end])) ++end;
    return std::wstring(t + i, end - i);
}

bool XmlDocument::FindElement(const wchar_t* name)
{
    if (!name || name[0] == L'/') return false;
    // Path forms ("a/b", "a[2]", "a/@b") compare their first step's name only.
    std::wstring step(name);
    const size_t cut = step.find_first_of(L"/[");
    if (cut != std::wstring::npos) {
        const size_t open = step.find(L'[');
        if (open != std::wstring::npos && step.find(L']', open) == std::wstring::npos) return false;
        step.resize(cut);
    }
    // A tag name ends at its first delimiter, so a name holding one matches no element.
    if (std::find_if(step.begin(), step.end(), IsNameDelimiter) != step.end()) return false;
    XmlPos cand = m_currentPos ? Rec(m_currentPos).nextSibling : Rec(m_parentPos).firstChild;
    // Compared in place: the name starts after "<" and any whitespace and ends
    // at the first delimiter, as GetElementName reads it.
    const wchar_t* t = m_text.c_str();
    const size_t len = m_text.size();
    auto nameIs = [&](XmlPos pos) {
        size_t i = Rec(pos).start + 1;
        while (i < len && IsSpace(t[i])) ++i;
        if (i + step.size() > len || std::wmemcmp(t + i, step.c_str(), step.size()) != 0)
            return false;
        const size_t end = i + step.size();
        return end == len || IsNameDelimiter(t[end]);
    };
    for (; cand; cand = Rec(cand).nextSibling) {
        if (step.empty() || nameIs(cand)) break;
    }
    if (!cand) return false;
    m_currentPos = cand;
    m_parentPos = Rec(cand).parent;
    m_childPos = 0;
    m_currentIsElement = 1;
    return true;
}

bool XmlDocument::EnterElement()
{
    if (!m_currentPos || !m_currentIsElement) return false;
    m_parentPos = m_currentPos;
    m_currentPos = m_childPos;
    m_childPos = 0;
    m_currentIsElement = m_currentPos ? 1 : 0;
    return true;
}

bool XmlDocument::LeaveElement()
{
    if (!m_parentPos) return false;
    m_childPos = m_currentPos;
    m_currentPos = m_parentPos;
    m_parentPos = Rec(m_currentPos).parent;
    m_currentIsElement = 1;
    return true;
}

// ---- attributes ------------------------------------------------------------------------

// Splits the start tag into tokens as the attribute readers see them.
bool XmlDocument::FindAttribute(XmlPos pos, const wchar_t* name, AttributeSpot& spot) const
{
    spot = AttributeSpot();
    if (!pos || !m_currentIsElement || !name || static_cast<int32_t>(pos) >= m_nextRecord)
        return false;
    // Attributes live in the start tag: tokens never run past its end.
    const wchar_t* t = m_text.c_str();
    const XmlElementRecord& rec = Rec(pos);
    const size_t len =
        std::min(m_text.size(), static_cast<size_t>(rec.start) + rec.StartTagLength());
    const size_t nameLen = std::wcslen(name);
    size_t i = rec.start + 1;
    int tokens = 0;
    bool afterEquals = false;
    bool pending = false;  // the previous token is the requested name
    for (;;) {
        while (i < len && IsSpace(t[i])) ++i;
        if (i >= len) break;
        const wchar_t ch = t[i];
        const size_t begin = i;
        bool quoted = false;
        if (ch == L'"' || ch == L'\'') {
            ++i;
            while (i < len && t[i] != ch) ++i;
            if (i < len) ++i;
            quoted = true;
        } else if (afterEquals) {
            while (i < len && !IsSpace(t[i]) && t[i] != L'>') ++i;
        } else {
            ++i;
            if (ch != L'=' && ch != L'>' && ch != L'/' && ch != L'?') {
                while (i < len && t[i] != L'=' && t[i] != L'>' && t[i] != L'/' && t[i] != L'?' &&
                       !IsSpace(t[i]))
                    ++i;
            }
        }
        if (afterEquals) {
            afterEquals = false;
            spot.lastTokenEnd = i;
            if (pending) {
                spot.hasValue = true;
                spot.valueStart = begin;
                spot.valueEnd = i;
                spot.quoted = quoted;
                return true;
            }
            continue;
        }
        if (!quoted && (ch == L'/' || ch == L'>' || ch == L'?')) break;
        if (!quoted && ch == L'=') {
            afterEquals = true;
            spot.lastTokenEnd = i;
            continue;
        }
        if (pending) return true;  // the name stands without "="
        spot.lastTokenEnd = i;
        if (++tokens == 1 || quoted) continue;
        if (i - begin == nameLen && std::wmemcmp(t + begin, name, nameLen) == 0) {
            pending = true;
            spot.found = true;
            spot.nameStart = begin;
            spot.nameEnd = i;
        }
    }
    if (pending && afterEquals) {
        // "name=" at the very end of the text: an empty value.
        spot.hasValue = true;
        spot.valueStart = spot.valueEnd = len;
    }
    return pending;
}

std::wstring XmlDocument::GetAttributeAt(XmlPos pos, const wchar_t* name) const
{
    AttributeSpot spot;
    if (!FindAttribute(pos, name, spot)) return std::wstring();
    if (!spot.hasValue) return std::wstring(m_text, spot.nameStart, spot.nameEnd - spot.nameStart);
    size_t a = spot.valueStart, b = spot.valueEnd;
    if (spot.quoted) {
        ++a;
        if (b > a && m_text[b - 1] == m_text[spot.valueStart]) --b;
    }
    const wchar_t* v = m_text.c_str() + a;
    const int n = static_cast<int>(b - a);
    if (std::find(v, v + n, L'&') == v + n) return std::wstring(v, n);
    return DecodeEntities(v, n);
}

std::wstring XmlDocument::GetAttribute(const wchar_t* name) const
{
    return GetAttributeAt(m_currentPos, name);
}

// ---- entity references -----------------------------------------------------------------

namespace {

struct NamedEntity
{
    const char* name;
    unsigned short code;
};

// The character entities of HTML 4 (Latin-1, symbols, special) and "apos".
const NamedEntity kEntities[] = {
    {"nbsp", 160},    {"iexcl", 161},   {"cent", 162},     {"pound", 163},   {"curren", 164},
    {"yen", 165},     {"brvbar", 166},  {"sect", 167},     {"uml", 168},     {"copy", 169},
    {"ordf", 170},    {"laquo", 171},   {"not", 172},      {"shy", 173},     {"reg", 174},
    {"macr", 175},    {"deg", 176},     {"plusmn", 177},   {"sup2", 178},    {"sup3", 179},
    {"acute", 180},   {"micro", 181},   {"para", 182},     {"middot", 183},  {"cedil", 184},
    {"sup1", 185},    {"ordm", 186},    {"raquo", 187},    {"frac14", 188},  {"frac12", 189},
    {"frac34", 190},  {"iquest", 191},  {"Agrave", 192},   {"Aacute", 193},  {"Acirc", 194},
    {"Atilde", 195},  {"Auml", 196},    {"Aring", 197},    {"AElig", 198},   {"Ccedil", 199},
    {"Egrave", 200},  {"Eacute", 201},  {"Ecirc", 202},    {"Euml", 203},    {"Igrave", 204},
    {"Iacute", 205},  {"Icirc", 206},   {"Iuml", 207},     {"ETH", 208},     {"Ntilde", 209},
    {"Ograve", 210},  {"Oacute", 211},  {"Ocirc", 212},    {"Otilde", 213},  {"Ouml", 214},
    {"times", 215},   {"Oslash", 216},  {"Ugrave", 217},   {"Uacute", 218},  {"Ucirc", 219},
    {"Uuml", 220},    {"Yacute", 221},  {"THORN", 222},    {"szlig", 223},   {"agrave", 224},
    {"aacute", 225},  {"acirc", 226},   {"atilde", 227},   {"auml", 228},    {"aring", 229},
    {"aelig", 230},   {"ccedil", 231},  {"egrave", 232},   {"eacute", 233},  {"ecirc", 234},
    {"euml", 235},    {"igrave", 236},  {"iacute", 237},   {"icirc", 238},   {"iuml", 239},
    {"eth", 240},     {"ntilde", 241},  {"ograve", 242},   {"oacute", 243},  {"ocirc", 244},
    {"otilde", 245},  {"ouml", 246},    {"divide", 247},   {"oslash", 248},  {"ugrave", 249},
    {"uacute", 250},  {"ucirc", 251},   {"uuml", 252},     {"yacute", 253},  {"thorn", 254},
    {"yuml", 255},    {"quot", 34},     {"amp", 38},       {"lt", 60},       {"gt", 62},
    {"apos", 39},     {"OElig", 338},   {"oelig", 339},    {"Scaron", 352},  {"scaron", 353},
    {"Yuml", 376},    {"circ", 710},    {"tilde", 732},    {"ensp", 8194},   {"emsp", 8195},
    {"thinsp", 8201}, {"zwnj", 8204},   {"zwj", 8205},     {"lrm", 8206},    {"rlm", 8207},
    {"ndash", 8211},  {"mdash", 8212},  {"lsquo", 8216},   {"rsquo", 8217},  {"sbquo", 8218},
    {"ldquo", 8220},  {"rdquo", 8221},  {"bdquo", 8222},   {"dagger", 8224}, {"Dagger", 8225},
    {"permil", 8240}, {"lsaquo", 8249}, {"rsaquo", 8250},  {"euro", 8364},   {"fnof", 402},
    {"Alpha", 913},   {"Beta", 914},    {"Gamma", 915},    {"Delta", 916},   {"Epsilon", 917},
    {"Zeta", 918},    {"Eta", 919},     {"Theta", 920},    {"Iota", 921},    {"Kappa", 922},
    {"Lambda", 923},  {"Mu", 924},      {"Nu", 925},       {"Xi", 926},      {"Omicron", 927},
    {"Pi", 928},      {"Rho", 929},     {"Sigma", 931},    {"Tau", 932},     {"Upsilon", 933},
    {"Phi", 934},     {"Chi", 935},     {"Psi", 936},      {"Omega", 937},   {"alpha", 945},
    {"beta", 946},    {"gamma", 947},   {"delta", 948},    {"epsilon", 949}, {"zeta", 950},
    {"eta", 951},     {"theta", 952},   {"iota", 953},     {"kappa", 954},   {"lambda", 955},
    {"mu", 956},      {"nu", 957},      {"xi", 958},       {"omicron", 959}, {"pi", 960},
    {"rho", 961},     {"sigmaf", 962},  {"sigma", 963},    {"tau", 964},     {"upsilon", 965},
    {"phi", 966},     {"chi", 967},     {"psi", 968},      {"omega", 969},   {"thetasym", 977},
    {"upsih", 978},   {"piv", 982},     {"bull", 8226},    {"hellip", 8230}, {"prime", 8242},
    {"Prime", 8243},  {"oline", 8254},  {"frasl", 8260},   {"weierp", 8472}, {"image", 8465},
    {"real", 8476},   {"trade", 8482},  {"alefsym", 8501}, {"larr", 8592},   {"uarr", 8593},
    {"rarr", 8594},   {"darr", 8595},   {"harr", 8596},    {"crarr", 8629},  {"lArr", 8656},
    {"uArr", 8657},   {"rArr", 8658},   {"dArr", 8659},    {"hArr", 8660},   {"forall", 8704},
    {"part", 8706},   {"exist", 8707},  {"empty", 8709},   {"nabla", 8711},  {"isin", 8712},
    {"notin", 8713},  {"ni", 8715},     {"prod", 8719},    {"sum", 8721},    {"minus", 8722},
    {"lowast", 8727}, {"radic", 8730},  {"prop", 8733},    {"infin", 8734},  {"ang", 8736},
    {"and", 8743},    {"or", 8744},     {"cap", 8745},     {"cup", 8746},    {"int", 8747},
    {"there4", 8756}, {"sim", 8764},    {"cong", 8773},    {"asymp", 8776},  {"ne", 8800},
    {"equiv", 8801},  {"le", 8804},     {"ge", 8805},      {"sub", 8834},    {"sup", 8835},
    {"nsub", 8836},   {"sube", 8838},   {"supe", 8839},    {"oplus", 8853},  {"otimes", 8855},
    {"perp", 8869},   {"sdot", 8901},   {"lceil", 8968},   {"rceil", 8969},  {"lfloor", 8970},
    {"rfloor", 8971}, {"lang", 9001},   {"rang", 9002},    {"loz", 9674},    {"spades", 9824},
    {"clubs", 9827},  {"hearts", 9829}, {"diams", 9830},
};

wchar_t FoldAscii(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

// Names are compared with ASCII capitals folded; where two names differ only in
// case, the one written exactly as the reference wins, else the small-letter one.
unsigned LookupEntity(const wchar_t* name, int n)
{
    unsigned folded = 0;
    for (const NamedEntity& e : kEntities) {
        int i = 0;
        bool exact = true;
        for (; i < n && e.name[i]; ++i) {
            if (FoldAscii(static_cast<wchar_t>(e.name[i])) != FoldAscii(name[i])) break;
            exact &= static_cast<wchar_t>(e.name[i]) == name[i];
        }
        if (i != n || e.name[i]) continue;
        if (exact) return e.code;
        if (!folded || (e.name[0] >= 'a' && e.name[0] <= 'z')) folded = e.code;
    }
    return folded;
}

}  // namespace

std::wstring XmlDocument::DecodeEntities(const wchar_t* text, int length)
{
    std::wstring out;
    out.reserve(length);
    int i = 0;
    while (i < length) {
        const wchar_t c = text[i];
        if (c != L'&') {
            out.push_back(c);
            ++i;
            continue;
        }
        int j = i + 1;
        while (j < length && j - i <= 9 && text[j] != L';' && text[j] < 0x80) ++j;
        const int n = j - i - 1;
        if (j >= length || text[j] != L';' || n < 1 || n > 9) {
            out.push_back(c);
            ++i;
            continue;
        }
        const wchar_t* name = text + i + 1;
        uint32_t code = 0;
        if (name[0] == L'#') {
            int k = 1;
            const bool hex = n > 1 && FoldAscii(name[1]) == L'x';
            if (hex) ++k;
            for (; k < n; ++k) {
                const wchar_t d = FoldAscii(name[k]);
                uint32_t v;
                if (d >= L'0' && d <= L'9')
                    v = d - L'0';
                else if (hex && d >= L'a' && d <= L'f')
                    v = d - L'a' + 10;
                else
                    break;
                code = code * (hex ? 16 : 10) + v;  // at most 8 hex or 9 decimal digits
            }
        } else {
            code = LookupEntity(name, n);
        }
        // A reference that names no character (0, a surrogate, beyond U+10FFFF)
        // stays as written.
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            out.append(text + i, n + 2);
        } else if (code < 0x10000) {
            out.push_back(static_cast<wchar_t>(code));
        } else {
            code -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
        }
        i = j + 1;
    }
    return out;
}
