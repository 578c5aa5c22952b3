#pragma once

// XmlDocument: one XML document held as its complete markup text plus a table
// that records where every element lies in that text, and a cursor that walks
// the elements level by level.
//
// Reading is lenient: the parser checks only the structure of the tags and
// reports every problem as a message in the result text (a run of empty
// elements such as <lone_end_tag tagname="x" offset="0"/>) instead of
// stopping. Names and attributes are never copied into the table; they are
// read from the markup whenever they are asked for. Edits change the text in
// place and adjust the records, so no second parse is needed.
//
// A document is used by one thread at a time; it takes no lock.

#include <cstdint>
#include <string>

// A position designates one element record: upper 16 bits segment, lower 16
// bits index within the segment (numerically the record number). Position 0 is
// the document record and stands for "no element" where an element is expected.
typedef uint32_t XmlPos;

// One element record: eight 32-bit fields.
struct XmlElementRecord
{
    uint32_t start;       // offset of the element's "<" in the text (UTF-16 units)
    uint32_t length;      // "<" to the last unit of the end tag (start tag only when there is none)
    uint32_t tagLengths;  // bits 0-21 start-tag length, bits 22-31 end-tag length
    uint32_t
        levelMarks;  // bits 0-15 depth, bit 19 first child, bit 20 unended, bit 23 ill-formed (record 0)
    XmlPos parent;
    XmlPos firstChild;
    XmlPos nextSibling;
    XmlPos prevSibling;  // the first child holds the last child here

    enum : uint32_t {
        kStartTagMax = 0x3FFFFF,
        kEndTagMax = 0x3FF,
        kDepthMax = 0xFFFF,
        kFirstChildMark = 1u << 19,
        kUnendedMark = 1u << 20,
        kIllFormedMark = 1u << 23,
    };

    uint32_t StartTagLength() const { return tagLengths & kStartTagMax; }
    uint32_t EndTagLength() const { return tagLengths >> 22; }
    uint32_t Depth() const { return levelMarks & kDepthMax; }
    bool IsFirstChild() const { return (levelMarks & kFirstChildMark) != 0; }
    bool IsUnended() const { return (levelMarks & kUnendedMark) != 0; }
    void SetTagLengths(uint32_t startTag, uint32_t endTag)
    {
        tagLengths = startTag | (endTag << 22);
    }
    void SetDepth(uint32_t depth) { levelMarks = (levelMarks & ~uint32_t(kDepthMax)) | depth; }
};
static_assert(sizeof(XmlElementRecord) == 32, "an element record is eight 32-bit fields");

// The element records, in segments of 65,536 records. All segments but the last
// are full; growing copies at most the last segment.
class XmlElementTable
{
public:
    enum { kSegmentRecords = 65536 };

    XmlElementTable() = default;
    ~XmlElementTable() { Release(); }
    XmlElementTable(const XmlElementTable&) = delete;
    XmlElementTable& operator=(const XmlElementTable&) = delete;

    int Capacity() const { return m_capacity; }
    // One growth step towards newCapacity; a step adds at most one segment.
    void Grow(int newCapacity);
    void Release();

    XmlElementRecord& operator[](XmlPos pos) { return m_segments[pos >> 16][pos & 0xFFFF]; }
    const XmlElementRecord& operator[](XmlPos pos) const
    {
        return m_segments[pos >> 16][pos & 0xFFFF];
    }

private:
    XmlElementRecord** m_segments = nullptr;
    int m_segmentSlots = 0;  // length of the segment-pointer array
    int m_capacity = 0;      // records
};

// Encoding marks and file modes kept in the flags of a document or a text file.
enum XmlFileFlags : unsigned {
    XmlFileRead = 0x1,
    XmlFileWrite = 0x2,
    XmlFileAppend = 0x4,
    XmlFileModeMarks = 0x7,
    XmlFileUtf16LE = 0x100,
    XmlFileUtf8Signature = 0x200,
    XmlFileUtf16BE = 0x400,
    XmlFileEncodingMarks = 0x700,
};

class XmlDocument
{
public:
    // Option bits of AddElement.
    enum AddOptions : unsigned {
        AddCData = 1,           // value written as a CDATA section
        AddInline = 2,          // no line break, no skipping of whitespace
        AddSpaceSlash = 4,      // "<name />" instead of "<name/>"
        AddKeepReferences = 8,  // an "&" that begins a reference is kept
        AddNoEndTag = 16,       // "<name>", marked unended; no value allowed
        AddEscapeQuotes = 256,  // quotes escaped in the value too
        AddBefore = 8192,       // before the reference element
        AddAsChild = 16384,     // child of the current element, after the child position
    };

    // Kind bits of AddResult.
    enum ResultKind : unsigned {
        ResultAppend = 0,
        ResultUpdate = 0x1,    // change the existing message of that name
        ResultType = 0x2,      // the value is the "type" attribute
        ResultEncoding = 0x4,  // ... the "encoding" attribute
        ResultMsg = 0x8,       // ... the "msg" attribute (else "tagname")
        ResultN = 0x10,        // the number is the "n" attribute
        ResultCount = 0x20,    // ... the "count" attribute
        ResultLength = 0x40,   // ... the "length" attribute (else "offset" unless -1)
    };

    XmlDocument();
    explicit XmlDocument(const wchar_t* text);
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // --- text and parsing -------------------------------------------------
    // Replaces the text (null empties it and releases the table), clears the
    // result text and parses.
    bool SetDocumentText(const wchar_t* text);
    bool SetDocumentText(const std::wstring& text);
    const std::wstring& GetDocumentText() const { return m_text; }
    // Rebuilds the element table; true when the document is well-formed with one root.
    bool Parse();

    // --- navigation -------------------------------------------------------
    bool FindElement(const wchar_t* name);
    bool EnterElement();
    bool LeaveElement();

    XmlPos GetParentPos() const { return m_parentPos; }
    XmlPos GetCurrentPos() const { return m_currentPos; }
    XmlPos GetChildPos() const { return m_childPos; }
    bool IsCurrentElement() const { return m_currentIsElement != 0; }

    // --- reading ------------------------------------------------------------
    std::wstring GetAttribute(const wchar_t* name) const;
    std::wstring GetAttributeAt(XmlPos pos, const wchar_t* name) const;
    std::wstring GetElementName(XmlPos pos) const;

    // --- editing ------------------------------------------------------------
    bool SetAttributeAt(XmlPos pos, const wchar_t* name, const wchar_t* value);
    bool SetAttribute(const wchar_t* name, const wchar_t* value);
    bool SetAttribute(const wchar_t* name, int value);
    bool AddElement(const wchar_t* name, const wchar_t* value = nullptr, unsigned options = 0);

    // --- files ----------------------------------------------------------------
    bool Load(const wchar_t* path);
    bool Save(const wchar_t* path);
    static bool LoadTextFile(std::wstring& text, std::wstring* result, const wchar_t* path,
                             unsigned* flags);
    static bool SaveTextFile(const std::wstring& text, std::wstring* result, const wchar_t* path,
                             unsigned* flags);
    unsigned GetFlags() const { return m_flags; }
    void SetFlags(unsigned flags) { m_flags = flags & XmlFileEncodingMarks; }

    // --- result messages --------------------------------------------------------
    // Appends one message element to a result text (or updates one with
    // ResultUpdate). value may be null; number and number2 are -1 when absent.
    static void AddResult(std::wstring& result, unsigned kind, const wchar_t* name,
                          const wchar_t* value, int number, int number2);

    // --- helpers shared with the file code and tests ------------------------------
    // Escapes a value for an attribute (quotes included) or for element text.
    static std::wstring Escape(const wchar_t* value, int length, unsigned options, bool attribute);
    // Decodes entity and character references in an attribute value.
    static std::wstring DecodeEntities(const wchar_t* text, int length);
    // The encoding a document declares (XML declaration or HTML meta), or "".
    static std::wstring GetDeclaredEncoding(const wchar_t* text, int length);

    // The element table as the parser and the edits left it (tests and tools).
    int GetRecordCount() const { return m_nextRecord; }
    const XmlElementRecord& GetRecord(XmlPos pos) const { return (*m_table)[pos]; }
    int GetTableCapacity() const { return m_table->Capacity(); }

private:
    std::wstring m_text;

public:
    // Messages of the last parse, load or save.
    std::wstring m_result;

private:
    // Where an attribute stands in a start tag (offsets into the text).
    struct AttributeSpot
    {
        bool found = false;
        size_t nameStart = 0, nameEnd = 0;
        bool hasValue = false;
        size_t valueStart = 0, valueEnd = 0;  // the value token, quotes included
        bool quoted = false;
        size_t lastTokenEnd = 0;  // end of the start tag's last token
    };

    XmlElementRecord& Rec(XmlPos pos) { return (*m_table)[pos]; }
    const XmlElementRecord& Rec(XmlPos pos) const { return (*m_table)[pos]; }
    XmlPos TakeRecord();
    void LinkLastChild(XmlPos parent, XmlPos pos);
    XmlPos BuildElements();
    bool FindAttribute(XmlPos pos, const wchar_t* name, AttributeSpot& spot) const;
    bool ReplaceText(size_t at, size_t removeCount, const std::wstring& insert);
    void AdjustOffsets(XmlPos edited, uint32_t editAt, int delta, XmlPos skip);
    bool AddElementAt(const wchar_t* name, const wchar_t* value, unsigned options);

    XmlPos m_parentPos = 0;
    XmlPos m_currentPos = 0;
    XmlPos m_childPos = 0;
    int32_t m_nextRecord = 1;
    int m_currentIsElement = 0;
    unsigned m_flags = 0;
    XmlElementTable* m_table = nullptr;
};
