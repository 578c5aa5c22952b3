#pragma once

// The node scanner under XmlDocument's parser and its declared-encoding probe:
// it cuts a markup text into nodes (tags, text, comments, ...) and reports
// syntax problems per node. Internal to the XML document code.

namespace xmlscan {

enum NodeKind {
    NodeEnd,
    NodeText,
    NodeWhitespace,
    NodeStartTag,
    NodeEmptyTag,
    NodeEndTag,
    NodeInstruction,
    NodeComment,
    NodeCData,
    NodeDoctype,
    NodeError,
};

struct SyntaxMessage
{
    const wchar_t* name;
    const wchar_t* type;  // null when the message has no type
    int offset;
};

struct Node
{
    NodeKind kind;
    int start;
    int length;
    int nameStart;  // tags: the name as the scanner cuts it
    int nameLength;
    int messageCount;
    SyntaxMessage messages[2];
};

inline bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

// The characters that end a name in a path or a tag.
inline bool IsNameDelimiter(wchar_t c)
{
    switch (c) {
        case L' ':
        case L'\t':
        case L'\n':
        case L'\r':
        case L'<':
        case L'>':
        case L'=':
        case L'\\':
        case L'/':
        case L'?':
        case L'!':
        case L'"':
        case L'\'':
        case L';': return true;
        default: return false;
    }
}

inline bool IsNameStart(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c >= 0x7B || c == L':' ||
           c == L'_';
}

class NodeScanner
{
public:
    NodeScanner(const wchar_t* text, int length) : m_text(text), m_length(length) {}

    int Position() const { return m_pos; }

    // Fills the next node; false (kind NodeEnd) when the text is exhausted.
    bool Next(Node& node)
    {
        const wchar_t* t = m_text;
        const int len = m_length;
        int p = m_pos;
        node.messageCount = 0;
        node.nameStart = 0;
        node.nameLength = 0;
        if (p >= len) {
            node.kind = NodeEnd;
            node.start = len;
            node.length = 0;
            return false;
        }
        node.start = p;
        if (t[p] != L'<') {
            while (p < len && IsSpace(t[p])) ++p;
            node.kind = NodeWhitespace;
            if (p < len && t[p] != L'<') {
                node.kind = NodeText;
                while (p < len && t[p] != L'<') ++p;
            }
            return Done(node, p);
        }
        const int q = p + 1;
        if (q >= len) return Unterminated(node, L"tag");
        const wchar_t c = t[q];
        if (IsNameStart(c)) return StartTag(node, q);
        if (c == L'/') return EndTag(node, q);
        if (c == L'?') {
            node.kind = NodeInstruction;
            return Terminated(node, q + 1, L'?', 0, L"processing_instruction");
        }
        if (c != L'!') return Error(node, L"first_tag_syntax", q);
        if (q + 1 >= len) return Unterminated(node, L"tag");
        const wchar_t c2 = t[q + 1];
        if (c2 == L'-') {
            if (q + 2 >= len) return Unterminated(node, L"comment");
            if (t[q + 2] != L'-') return Error(node, L"comment_tag_syntax", q);
            node.kind = NodeComment;
            return Terminated(node, q + 3, L'-', L'-', L"comment");
        }
        if (c2 == L'[') {
            if (q + 2 >= len) return Unterminated(node, L"cdata_section");
            if (t[q + 2] != L'C') return Error(node, L"cdata_section_syntax", q);
            node.kind = NodeCData;
            return Terminated(node, q + 3, L']', L']', L"cdata_section");
        }
        if (c2 == L'D') return Doctype(node, q + 2);
        return Error(node, L"exclamation_tag_syntax", q);
    }

private:
    bool Done(Node& node, int end)
    {
        node.length = end - node.start;
        m_pos = end;
        return true;
    }

    void AddMessage(Node& node, const wchar_t* name, const wchar_t* type)
    {
        if (node.messageCount < 2)
            node.messages[node.messageCount++] = SyntaxMessage{name, type, node.start};
    }

    // The text ends inside markup.
    bool Unterminated(Node& node, const wchar_t* type)
    {
        node.kind = NodeError;
        AddMessage(node, L"unterminated_tag_syntax", type);
        return Done(node, m_length);
    }

    // A syntax message; the node is skipped to the next ">" or up to the next "<".
    bool Error(Node& node, const wchar_t* name, int from)
    {
        node.kind = NodeError;
        AddMessage(node, name, nullptr);
        const wchar_t* t = m_text;
        for (int i = from; i < m_length; ++i) {
            if (t[i] == L'>') return Done(node, i + 1);
            if (t[i] == L'<') return Done(node, i);
        }
        AddMessage(node, L"unterminated_tag_syntax", L"tag");
        return Done(node, m_length);
    }

    // Markup closed by ">" preceded by one or two given characters.
    bool Terminated(Node& node, int from, wchar_t before1, wchar_t before2, const wchar_t* type)
    {
        const wchar_t* t = m_text;
        for (int i = from; i < m_length; ++i) {
            if (t[i] == L'>' && t[i - 1] == before1 && (before2 == 0 || t[i - 2] == before2))
                return Done(node, i + 1);
        }
        return Unterminated(node, type);
    }

    bool StartTag(Node& node, int q)
    {
        const wchar_t* t = m_text;
        const int len = m_length;
        int i = q;
        while (i < len) {
            const wchar_t ch = t[i];
            if (ch == L'>' || ch == L'/' || IsSpace(ch)) break;
            ++i;
        }
        node.nameStart = q;
        node.nameLength = i - q;
        // A quote opens a value only after "=" (whitespace between allowed); a
        // "/" closes the element only when it is not part of an unquoted value.
        bool afterEquals = false;
        bool inUnquoted = false;
        int closingSlash = -1;
        for (; i < len; ++i) {
            const wchar_t ch = t[i];
            if (ch == L'>') {
                node.kind =
                    (t[i - 1] == L'/' && closingSlash == i - 1) ? NodeEmptyTag : NodeStartTag;
                return Done(node, i + 1);
            }
            if (IsSpace(ch)) {
                inUnquoted = false;
            } else if (ch == L'=') {
                afterEquals = true;
                inUnquoted = false;
            } else if ((ch == L'"' || ch == L'\'') && afterEquals) {
                int j = i + 1;
                while (j < len && t[j] != ch) ++j;
                if (j >= len) break;
                i = j;
                afterEquals = false;
            } else if (ch == L'/' && IsSpace(t[i - 1])) {
                // After whitespace a "/" closes the element, even where a value was due.
                afterEquals = false;
                closingSlash = i;
            } else {
                if (afterEquals) {
                    afterEquals = false;
                    inUnquoted = true;
                }
                if (ch == L'/' && !inUnquoted) closingSlash = i;
            }
        }
        return Unterminated(node, L"start_tag");
    }

    bool EndTag(Node& node, int q)
    {
        const wchar_t* t = m_text;
        const int len = m_length;
        int i = q + 1;
        while (i < len && t[i] != L'>' && t[i] != L'/' && !IsSpace(t[i])) ++i;
        node.nameStart = q + 1;
        node.nameLength = i - (q + 1);
        while (i < len && t[i] != L'>') ++i;
        if (i >= len) return Unterminated(node, L"end_tag");
        node.kind = NodeEndTag;
        return Done(node, i + 1);
    }

    // "<!D...": ends at the first ">" outside its internal declarations.
    bool Doctype(Node& node, int from)
    {
        const wchar_t* t = m_text;
        const int len = m_length;
        int i = from;
        while (i < len) {
            const wchar_t ch = t[i];
            if (ch == L'>') {
                node.kind = NodeDoctype;
                return Done(node, i + 1);
            }
            if (ch != L'<' || i + 1 >= len || t[i + 1] != L'!') {
                ++i;
                continue;
            }
            if (i + 2 >= len) break;
            const wchar_t c3 = t[i + 2];
            if (c3 == L'E' || c3 == L'A' || c3 == L'N') {
                wchar_t quote = 0;
                int j = i + 3;
                for (; j < len; ++j) {
                    if (quote) {
                        if (t[j] == quote) quote = 0;
                    } else if (t[j] == L'"' || t[j] == L'\'') {
                        quote = t[j];
                    } else if (t[j] == L'>') {
                        break;
                    }
                }
                if (j >= len) break;
                i = j + 1;
            } else if (c3 == L'-' && i + 3 < len && t[i + 3] == L'-') {
                int j = i + 4;
                while (j < len && !(t[j] == L'>' && t[j - 1] == L'-' && t[j - 2] == L'-')) ++j;
                if (j >= len) break;
                i = j + 1;
            } else if (c3 == L'-' && i + 3 >= len) {
                break;
            } else {
                return Error(node, L"doctype_tag_syntax", i + 1);
            }
        }
        return Unterminated(node, L"document_type");
    }

    const wchar_t* m_text;
    int m_length;
    int m_pos = 0;
};

}  // namespace xmlscan
