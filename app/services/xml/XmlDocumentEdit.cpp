// XmlDocument: editing. Every edit changes the markup text in place and fixes
// the element records up, so the table stays equal to what a fresh parse of the
// edited text would build.
#include "services/xml/XmlDocument.h"

#include <cwchar>

#include "services/xml/XmlNodeScanner.h"

using namespace xmlscan;

namespace {

// A written name stops at an entity too.
bool IsNameBreak(wchar_t c)
{
    return c == L'&' || IsNameDelimiter(c);
}

// A name that reads back as itself once written into a tag.
bool IsWritableName(const wchar_t* name, bool element)
{
    if (!name || !*name) return false;
    if (element && !IsNameStart(name[0])) return false;
    for (const wchar_t* p = name; *p; ++p) {
        if (IsNameBreak(*p)) return false;
    }
    return true;
}

bool IsReferenceNameChar(wchar_t c, bool first)
{
    if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || c == L':' || c >= 0x80)
        return true;
    if (first) return c == L'#';
    return (c >= L'0' && c <= L'9') || c == L'-' || c == L'.';
}

// "&" followed by a reference name and ";".
bool BeginsReference(const wchar_t* text, int length, int at)
{
    int i = at + 1;
    if (i >= length || !IsReferenceNameChar(text[i], true)) return false;
    for (++i; i < length; ++i) {
        if (text[i] == L';') return true;
        if (!IsReferenceNameChar(text[i], false)) return false;
    }
    return false;
}

}  // namespace

std::wstring XmlDocument::Escape(const wchar_t* value, int length, unsigned options, bool attribute)
{
    std::wstring out;
    if (!value) return out;
    if (length < 0) length = static_cast<int>(std::wcslen(value));
    out.reserve(length + length / 8 + 8);
    const bool quotes = attribute || (options & AddEscapeQuotes);
    for (int i = 0; i < length; ++i) {
        const wchar_t c = value[i];
        switch (c) {
            case L'<': out += L"&lt;"; break;
            case L'>': out += L"&gt;"; break;
            case L'&':
                if ((options & AddKeepReferences) && BeginsReference(value, length, i))
                    out += L'&';
                else
                    out += L"&amp;";
                break;
            case L'\'':
                if (quotes)
                    out += L"&apos;";
                else
                    out += c;
                break;
            case L'"':
                if (quotes)
                    out += L"&quot;";
                else
                    out += c;
                break;
            default: out += c; break;
        }
    }
    return out;
}

// Replaces removeCount units at `at` by insert; the text grows by half again
// plus 128 units when it runs out of room. False when the text would outgrow
// the 32-bit offsets of the records.
bool XmlDocument::ReplaceText(size_t at, size_t removeCount, const std::wstring& insert)
{
    const size_t needed = m_text.size() - removeCount + insert.size();
    if (needed >= 0x7FFFFFF0u) return false;
    if (needed > m_text.capacity()) m_text.reserve(needed + needed / 2 + 128);
    m_text.replace(at, removeCount, insert);
    return true;
}

// After an edit of delta units at editAt inside `container` (0: the document),
// walks the elements in document order from the container's children on and
// moves every element that starts at or after the edit; then grows the length
// of lengthFrom and of each of its ancestors up to the document record.
void XmlDocument::AdjustOffsets(XmlPos container, uint32_t editAt, int delta, XmlPos lengthFrom)
{
    XmlPos x = Rec(container).firstChild;
    if (!x && container) {
        for (XmlPos up = container; up && !x; up = Rec(up).parent) x = Rec(up).nextSibling;
    }
    while (x) {
        XmlElementRecord& rec = Rec(x);
        if (rec.start >= editAt) rec.start += delta;
        if (rec.firstChild) {
            x = rec.firstChild;
            continue;
        }
        XmlPos up = x;
        x = 0;
        while (up && !x) {
            x = Rec(up).nextSibling;
            up = Rec(up).parent;
        }
    }
    for (XmlPos a = lengthFrom;; a = Rec(a).parent) {
        Rec(a).length += delta;
        if (!a) break;
    }
}

bool XmlDocument::SetAttributeAt(XmlPos pos, const wchar_t* name, const wchar_t* value)
{
    if (!pos || !m_currentIsElement || static_cast<int32_t>(pos) >= m_nextRecord) return false;
    if (!IsWritableName(name, false)) return false;
    AttributeSpot spot;
    FindAttribute(pos, name, spot);
    XmlElementRecord& rec = Rec(pos);
    // Never write past the start tag's own ">" (or "/>").
    size_t tagEnd = rec.start + rec.StartTagLength() - 1;
    if (rec.StartTagLength() >= 3 && m_text[tagEnd - 1] == L'/' &&
        rec.StartTagLength() == rec.length && !rec.IsUnended())
        --tagEnd;
    // In "<a b= />" the value token "/" is the empty element's closing slash: it stays.
    if (spot.found && spot.hasValue && !spot.quoted && spot.valueStart <= tagEnd &&
        spot.valueEnd > tagEnd)
        spot.valueEnd = tagEnd;
    const std::wstring quoted = L"\"" + Escape(value ? value : L"", -1, 0, true) + L"\"";
    size_t at, removeCount = 0;
    std::wstring insert;
    if (spot.found && spot.hasValue && spot.valueEnd <= tagEnd) {
        at = spot.valueStart;
        removeCount = spot.valueEnd - spot.valueStart;
        insert = quoted;
    } else if (spot.found && !spot.hasValue && spot.nameEnd <= tagEnd) {
        at = spot.nameEnd;
        insert = L"=" + quoted;
    } else {
        at = spot.lastTokenEnd < tagEnd ? spot.lastTokenEnd : tagEnd;
        insert = L" " + std::wstring(name) + L"=" + quoted;
    }
    const long long delta =
        static_cast<long long>(insert.size()) - static_cast<long long>(removeCount);
    const long long startTag = static_cast<long long>(rec.StartTagLength()) + delta;
    if (startTag > XmlElementRecord::kStartTagMax) return false;
    if (!ReplaceText(at, removeCount, insert)) return false;
    XmlElementRecord& edited = Rec(pos);
    edited.SetTagLengths(static_cast<uint32_t>(startTag), edited.EndTagLength());
    edited.length += static_cast<int>(delta);
    AdjustOffsets(pos, static_cast<uint32_t>(at), static_cast<int>(delta), edited.parent);
    return true;
}

bool XmlDocument::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    return SetAttributeAt(m_currentPos, name, value);
}

bool XmlDocument::SetAttribute(const wchar_t* name, int value)
{
    return SetAttributeAt(m_currentPos, name, std::to_wstring(value).c_str());
}

bool XmlDocument::AddElement(const wchar_t* name, const wchar_t* value, unsigned options)
{
    const bool hasValue = value && *value;
    if ((options & AddNoEndTag) && hasValue) return false;
    if ((options & AddAsChild) && !m_currentPos) return false;
    if (!IsWritableName(name, true)) return false;
    return AddElementAt(name, hasValue ? value : nullptr, options);
}

bool XmlDocument::AddElementAt(const wchar_t* name, const wchar_t* value, unsigned options)
{
    XmlPos parent = m_parentPos;
    XmlPos ref = m_currentPos;
    if (options & AddAsChild) {
        parent = m_currentPos;
        ref = m_childPos;
    }
    if (ref && Rec(ref).parent != parent) ref = 0;
    const bool inlineMode = (options & AddInline) != 0;
    const bool before = (options & AddBefore) != 0;
    const std::wstring tagName(name);
    const size_t nameLen = tagName.size();

    // The element's own text and tag lengths.
    std::wstring element = L"<" + tagName;
    size_t startTag, endTag = 0;
    if (value) {
        element += L">";
        if (options & AddCData) {
            std::wstring data(value);
            for (size_t p = 0; (p = data.find(L"]]>", p)) != std::wstring::npos; p += 15)
                data.replace(p, 3, L"]]]]><![CDATA[>");
            element += L"<![CDATA[" + data + L"]]>";
        } else {
            element += Escape(value, -1, options, false);
        }
        element += L"</" + tagName + L">";
        startTag = nameLen + 2;
        endTag = nameLen + 3;
    } else {
        element += (options & AddNoEndTag) ? L">" : (options & AddSpaceSlash) ? L" />" : L"/>";
        startTag = element.size();
    }
    const uint32_t depth = parent ? Rec(parent).Depth() + 1 : 0;
    if (startTag > XmlElementRecord::kStartTagMax || endTag > XmlElementRecord::kEndTagMax ||
        depth > XmlElementRecord::kDepthMax)
        return false;

    // Where it goes.
    size_t at, removeCount = 0, elementOffset = 0;
    std::wstring insert;
    const XmlElementRecord* par = parent ? &Rec(parent) : nullptr;
    const bool openParent = par && par->StartTagLength() == par->length;
    std::wstring parentName;
    if (openParent) {
        // "<p/>" becomes "<p>" CR LF, the element, CR LF, "</p>"; the parent's own
        // ">" ends the new end tag. An unended "<p>" keeps its text.
        // The name as the parser cuts it, so that the new end tag matches it.
        const size_t nameStart = par->start + 1;
        size_t nameEnd = nameStart;
        while (nameEnd < m_text.size() && m_text[nameEnd] != L'>' && m_text[nameEnd] != L'/' &&
               !IsSpace(m_text[nameEnd]))
            ++nameEnd;
        parentName.assign(m_text, nameStart, nameEnd - nameStart);
        if (parentName.size() + 3 > XmlElementRecord::kEndTagMax) return false;
        at = par->start + par->StartTagLength() - 1;
        if (!par->IsUnended()) {
            // Its "/" goes (every "/" right before the ">", or "<p//>" would stay empty).
            while (at - removeCount > par->start + 1 && m_text[at - removeCount - 1] == L'/')
                ++removeCount;
            if (!removeCount) return false;
            at -= removeCount;
        }
        const wchar_t* lineBreak = inlineMode ? L"" : L"\r\n";
        insert = L">" + std::wstring(lineBreak) + element + lineBreak + L"</" + parentName;
        elementOffset = inlineMode ? 1 : 3;
    } else {
        if (ref)
            at = before ? Rec(ref).start : Rec(ref).start + Rec(ref).length;
        else if (par)
            at = before ? par->start + par->StartTagLength()
                        : par->start + par->length - par->EndTagLength();
        else
            at = before ? 0 : m_text.size();
        if (!inlineMode) {
            size_t p = at;
            while (p < m_text.size() && IsSpace(m_text[p])) ++p;
            if (p == m_text.size() || m_text[p] == L'<') at = p;
        }
        const bool emptyContent = par && par->EndTagLength() &&
                                  par->StartTagLength() + par->EndTagLength() == par->length;
        const bool front = !inlineMode && emptyContent;
        insert = (front ? L"\r\n" : L"") + element + (inlineMode ? L"" : L"\r\n");
        elementOffset = front ? 2 : 0;
    }

    if (m_nextRecord >= static_cast<int32_t>(0x7FFFFFFF)) return false;
    const int delta = static_cast<int>(insert.size()) - static_cast<int>(removeCount);
    if (!ReplaceText(at, removeCount, insert)) return false;
    if (openParent) {
        XmlElementRecord& p = Rec(parent);
        p.SetTagLengths(p.StartTagLength() - static_cast<uint32_t>(removeCount),
                        static_cast<uint32_t>(parentName.size() + 3));
        p.levelMarks &= ~XmlElementRecord::kUnendedMark;
    }
    AdjustOffsets(parent, static_cast<uint32_t>(at), delta, parent);

    const XmlPos pos = TakeRecord();
    XmlElementRecord& rec = Rec(pos);
    rec.start = static_cast<uint32_t>(at + elementOffset);
    rec.length = static_cast<uint32_t>(element.size());
    rec.SetTagLengths(static_cast<uint32_t>(startTag), static_cast<uint32_t>(endTag));
    rec.SetDepth(depth);
    if (options & AddNoEndTag) rec.levelMarks |= XmlElementRecord::kUnendedMark;
    rec.parent = parent;

    XmlElementRecord& owner = Rec(parent);
    XmlPos after = 0;  // the sibling the new element follows; 0 = it becomes the first child
    if (ref)
        after = before ? (owner.firstChild == ref ? 0 : Rec(ref).prevSibling) : ref;
    else if (!before && owner.firstChild)
        after = Rec(owner.firstChild).prevSibling;
    if (after) {
        XmlElementRecord& prev = Rec(after);
        rec.prevSibling = after;
        rec.nextSibling = prev.nextSibling;
        if (prev.nextSibling)
            Rec(prev.nextSibling).prevSibling = pos;
        else
            Rec(owner.firstChild).prevSibling = pos;
        prev.nextSibling = pos;
    } else {
        const XmlPos oldFirst = owner.firstChild;
        rec.levelMarks |= XmlElementRecord::kFirstChildMark;
        rec.nextSibling = oldFirst;
        if (oldFirst) {
            XmlElementRecord& first = Rec(oldFirst);
            rec.prevSibling = first.prevSibling;
            first.prevSibling = pos;
            first.levelMarks &= ~XmlElementRecord::kFirstChildMark;
        } else {
            rec.prevSibling = pos;
        }
        owner.firstChild = pos;
    }

    if (options & AddAsChild) {
        m_childPos = pos;
    } else {
        m_parentPos = parent;
        m_currentPos = pos;
        m_childPos = 0;
    }
    m_currentIsElement = 1;
    return true;
}
