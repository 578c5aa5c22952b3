// Prints the parse throughput (MB/s) of XmlDocument and of pugixml on the same
// generated layout-like document of about 1 MB and 20 MB. Never fails on a time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "pugixml.hpp"
#include "services/xml/XmlDocument.h"
#include "../BenchClock.h"

namespace {

// A keyboard-layout-like document of at least `bytes` bytes (ASCII, so the
// UTF-8 and the UTF-16 texts have the same number of characters).
std::string Generate(size_t bytes)
{
    std::string s =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<device.info>\r\n"
        "<Keyboard bk_color=\"0x202020\" xpos=\"12\" ypos=\"40\" width=\"980\" height=\"360\" "
        "image=\"k75.png\" row_count=\"6\" col_count=\"16\">\r\n";
    int group = 0;
    while (s.size() < bytes) {
        s += "<KeyItems group=\"" + std::to_string(group++) + "\">\r\n";
        for (int i = 0; i < 100; ++i) {
            char line[400];
            std::snprintf(
                line, sizeof(line),
                "  <key code=\"0x%02X\" name=\"K%d &amp; more\" desc=\"key %d\" key_index=\"%d\" "
                "light_index=\"%d\" rect_left=\"%d\" rect_top=\"%d\" rect_width=\"38\" "
                "rect_height=\"38\" "
                "row_col=\"%d,%d\"/>\r\n",
                (i * 7) & 0xFF, i, i, i, i * 2, 10 + 40 * (i % 16), 8 + 40 * (i / 16), i / 16,
                i % 16);
            s += line;
        }
        s += "  <!-- end of group -->\r\n</KeyItems>\r\n";
    }
    s += "</Keyboard>\r\n</device.info>\r\n";
    return s;
}

template <class F>
double Best(int reps, F&& run)
{
    double best = 1e30;
    for (int r = 0; r < reps; ++r) {
        const double t0 = bench::Seconds();
        run();
        best = std::min(best, bench::Seconds() - t0);
    }
    return best;
}

}  // namespace

int main()
{
    std::printf("%-10s %12s %14s %14s %14s %14s %8s\n", "document", "bytes", "Xml set+parse",
                "Xml re-parse", "pugi UTF-8", "pugi UTF-16", "ratio");
    for (size_t target : {size_t(1) << 20, size_t(20) << 20}) {
        const std::string utf8 = Generate(target);
        const std::wstring wide(utf8.begin(), utf8.end());
        const int reps = target > (1u << 20) ? 5 : 30;
        const double mb = static_cast<double>(utf8.size()) / 1e6;
        bool ok = true;
        size_t records = 0;

        const double tSet = Best(reps, [&] {
            XmlDocument doc;
            ok &= doc.SetDocumentText(wide);
            records = doc.GetRecordCount();
        });
        XmlDocument reused;
        reused.SetDocumentText(wide);
        const double tParse = Best(reps, [&] { ok &= reused.Parse(); });
        size_t pugiNodes = 0;
        const double tPugi = Best(reps, [&] {
            pugi::xml_document doc;
            ok &= static_cast<bool>(doc.load_buffer(utf8.data(), utf8.size()));
            pugiNodes =
                doc.child("device.info").child("Keyboard").select_nodes("KeyItems/key").size();
        });
        const double tPugi16 = Best(reps, [&] {
            pugi::xml_document doc;
            ok &= static_cast<bool>(doc.load_buffer(wide.data(), wide.size() * sizeof(wchar_t),
                                                    pugi::parse_default, pugi::encoding_utf16_le));
        });
        std::printf("%-10s %12zu %10.1f MB/s %9.1f MB/s %9.1f MB/s %9.1f MB/s %7.2fx%s\n",
                    target > (1u << 20) ? "20 MB" : "1 MB", utf8.size(), mb / tSet, mb / tParse,
                    mb / tPugi, mb / tPugi16, tSet / tPugi, ok ? "" : "  (a parse failed!)");
        std::printf("%-10s elements: XmlDocument %zu, pugixml keys %zu\n", "", records - 1,
                    pugiNodes);
    }
    std::printf(
        "ratio = XmlDocument (set text + parse) time / pugixml (UTF-8) time; goal: within 2x\n");
    return 0;
}
