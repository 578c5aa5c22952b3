#pragma once

// Helpers shared by the XmlDocument tests: a compact description of the
// element table, structural invariants, and the comparison of an edited
// document's table with the table a fresh parse of its text builds.

#include <map>
#include <sstream>
#include <string>

#include "services/xml/XmlDocument.h"

namespace xmltest {

// One line per record: start len stl/etl depth marks parent first next prev.
inline std::string Describe(const XmlDocument& doc)
{
    std::ostringstream out;
    for (int r = 1; r < doc.GetRecordCount(); ++r) {
        const XmlElementRecord& e = doc.GetRecord(r);
        out << r << ": " << e.start << ' ' << e.length << ' ' << e.StartTagLength() << '/'
            << e.EndTagLength() << " d" << e.Depth() << ' ' << (e.IsFirstChild() ? 'F' : '-')
            << (e.IsUnended() ? 'U' : '-') << " p" << e.parent << " c" << e.firstChild << " n"
            << e.nextSibling << " b" << e.prevSibling << '\n';
    }
    return out.str();
}

inline std::string Narrow(const std::wstring& w)
{
    std::string s;
    for (wchar_t c : w) s += c < 0x80 ? static_cast<char>(c) : '?';
    return s;
}

// Checks what must hold for every table, however bad the input; returns "" or a fault.
inline std::string CheckInvariants(const XmlDocument& doc)
{
    const std::wstring& text = doc.GetDocumentText();
    const XmlElementRecord& root = doc.GetRecord(0);
    std::ostringstream err;
    if (root.length != text.size())
        err << "record 0 length " << root.length << " != " << text.size() << '\n';
    const int count = doc.GetRecordCount();
    for (int r = 1; r < count; ++r) {
        const XmlElementRecord& e = doc.GetRecord(r);
        if (e.start >= text.size() || text[e.start] != L'<')
            err << r << ": start " << e.start << " is not a '<'\n";
        if (e.start + e.length > text.size() || e.StartTagLength() > e.length ||
            e.StartTagLength() + e.EndTagLength() > e.length)
            err << r << ": extent out of range\n";
        if (e.EndTagLength() && text.compare(e.start + e.length - e.EndTagLength(), 2, L"</") != 0)
            err << r << ": end tag does not start with </\n";
        if (e.parent >= static_cast<XmlPos>(count) || e.nextSibling >= static_cast<XmlPos>(count) ||
            e.prevSibling >= static_cast<XmlPos>(count) ||
            e.firstChild >= static_cast<XmlPos>(count)) {
            err << r << ": link out of range\n";
            continue;
        }
        const XmlElementRecord& p = doc.GetRecord(e.parent);
        const uint32_t depth = e.parent ? p.Depth() + 1 : 0;
        if (e.Depth() != depth) err << r << ": depth " << e.Depth() << " != " << depth << '\n';
        if (e.parent && (e.start < p.start || e.start + e.length > p.start + p.length))
            err << r << ": outside its parent\n";
        const bool first = p.firstChild == static_cast<XmlPos>(r);
        if (first != e.IsFirstChild()) err << r << ": first-child mark wrong\n";
        if (e.nextSibling && doc.GetRecord(e.nextSibling).prevSibling != static_cast<XmlPos>(r))
            err << r << ": next's back link wrong\n";
        if (e.nextSibling && doc.GetRecord(e.nextSibling).start < e.start + e.length)
            err << r << ": next sibling overlaps\n";
        if (!e.nextSibling && doc.GetRecord(p.firstChild).prevSibling != static_cast<XmlPos>(r))
            err << r << ": first child's back link does not reach the last child\n";
    }
    return err.str();
}

// The edited table must equal the fresh parse's, record for record (matched
// by start offset, since edits number records out of document order).
inline std::string CompareWithFreshParse(const XmlDocument& edited, bool ignoreIllFormedMark)
{
    XmlDocument fresh;
    fresh.SetDocumentText(edited.GetDocumentText());
    std::ostringstream err;
    if (fresh.GetRecordCount() != edited.GetRecordCount())
        err << "record count " << edited.GetRecordCount() << " != fresh " << fresh.GetRecordCount()
            << '\n';
    std::map<uint32_t, XmlPos> freshByStart;
    for (int r = 1; r < fresh.GetRecordCount(); ++r) freshByStart[fresh.GetRecord(r).start] = r;
    auto startOf = [](const XmlDocument& d, XmlPos p) -> long long {
        return p ? static_cast<long long>(d.GetRecord(p).start) : -1;
    };
    const XmlElementRecord& e0 = edited.GetRecord(0);
    const XmlElementRecord& f0 = fresh.GetRecord(0);
    if (e0.length != f0.length || startOf(edited, e0.firstChild) != startOf(fresh, f0.firstChild))
        err << "record 0 differs\n";
    if (!ignoreIllFormedMark && e0.levelMarks != f0.levelMarks) err << "record 0 marks differ\n";
    for (int r = 1; r < edited.GetRecordCount(); ++r) {
        const XmlElementRecord& e = edited.GetRecord(r);
        auto it = freshByStart.find(e.start);
        if (it == freshByStart.end()) {
            err << "edited record " << r << " at " << e.start << " has no fresh twin\n";
            continue;
        }
        const XmlElementRecord& f = fresh.GetRecord(it->second);
        if (e.length != f.length || e.tagLengths != f.tagLengths || e.levelMarks != f.levelMarks ||
            startOf(edited, e.parent) != startOf(fresh, f.parent) ||
            startOf(edited, e.firstChild) != startOf(fresh, f.firstChild) ||
            startOf(edited, e.nextSibling) != startOf(fresh, f.nextSibling) ||
            startOf(edited, e.prevSibling) != startOf(fresh, f.prevSibling))
            err << "record at " << e.start << " differs\n";
    }
    if (!err.str().empty())
        err << "text: " << Narrow(edited.GetDocumentText()) << "\nedited:\n"
            << Describe(edited) << "fresh:\n"
            << Describe(fresh);
    return err.str();
}

}  // namespace xmltest
