#include "Gallery.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "MDialog.h"
#include "MenuWnd.h"
#include "ScreenshotCompare.h"

namespace gallery {

namespace {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// "<build folder>\gallery\" (the working folder of a test program is the
// build folder), created on first use.
std::wstring Folder()
{
    static const std::wstring folder = [] {
        wchar_t current[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, current);
        std::wstring path = std::wstring(current) + L"\\gallery\\";
        CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }();
    return folder;
}

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

const char* LanguageName(int language)
{
    switch (language) {
        case 2052: return "Simplified Chinese (2052)";
        case 1033: return "English (1033)";
        case 1028: return "Traditional Chinese (1028)";
        default: return "?";
    }
}

}  // namespace

std::vector<Shot>& Shots()
{
    static std::vector<Shot> shots;
    return shots;
}

std::string ShortName(const std::string& model)
{
    std::string name = model.substr(model.find('-') + 1);
    for (char& c : name) {
        if (c == '-') c = '_';
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return name;
}

void WriteIndex()
{
    // Models in the order they were taken; in each, states by first appearance.
    std::vector<std::string> models;
    std::map<std::string, std::vector<std::string>> states;
    std::map<std::string, std::string> captions;
    std::map<std::string, const Shot*> byKey;
    std::set<int> languageSet;
    for (const Shot& shot : Shots()) {
        if (states.find(shot.model) == states.end()) models.push_back(shot.model);
        std::vector<std::string>& list = states[shot.model];
        bool known = false;
        for (const std::string& s : list) known = known || s == shot.state;
        if (!known) list.push_back(shot.state);
        captions[shot.model + "/" + shot.state] = shot.caption;
        byKey[shot.model + "/" + shot.state + "/" + std::to_string(shot.language)] = &shot;
        languageSet.insert(shot.language);
    }
    const int order[] = {2052, 1033, 1028};
    std::vector<int> languages;
    for (int language : order)
        if (languageSet.count(language)) languages.push_back(language);

    FILE* out = _wfopen((Folder() + L"index.html").c_str(), L"wb");
    if (!out) return;
    std::fprintf(out,
                 "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                 "<title>Kestrova page gallery</title>\n<style>\n"
                 "body{font-family:sans-serif;background:#f3f4f6;margin:16px}\n"
                 "table{border-collapse:collapse;margin-bottom:32px}\n"
                 "th,td{border:1px solid #ccc;padding:6px;vertical-align:top;background:#fff}\n"
                 "th{background:#e5e7eb}\n"
                 "img{max-width:460px;display:block}\n"
                 "figure{margin:0}figcaption{font-size:12px;color:#333;margin-top:4px}\n"
                 ".differs figcaption{color:#b91c1c;font-weight:bold}\n"
                 "</style></head><body>\n<h1>Kestrova page gallery</h1>\n");
    std::fprintf(out,
                 "<p>%zu pictures. A caption in red: the picture differs from its "
                 "reference.</p>\n<ul>\n",
                 Shots().size());
    for (const std::string& model : models)
        std::fprintf(out, "<li><a href=\"#%s\">%s</a></li>\n", ShortName(model).c_str(),
                     Escaped(model).c_str());
    std::fprintf(out, "</ul>\n");
    for (const std::string& model : models) {
        std::fprintf(out, "<h2 id=\"%s\">%s</h2>\n<table>\n<tr>", ShortName(model).c_str(),
                     Escaped(model).c_str());
        for (int language : languages) std::fprintf(out, "<th>%s</th>", LanguageName(language));
        std::fprintf(out, "</tr>\n");
        for (const std::string& state : states[model]) {
            std::fprintf(out, "<tr>");
            for (int language : languages) {
                auto found = byKey.find(model + "/" + state + "/" + std::to_string(language));
                if (found == byKey.end()) {
                    std::fprintf(out, "<td></td>");
                    continue;
                }
                const Shot& shot = *found->second;
                std::fprintf(out,
                             "<td%s><figure><a href=\"%s\"><img src=\"%s\" alt=\"%s\"></a>"
                             "<figcaption>%s &middot; %s &middot; %s</figcaption></figure></td>",
                             shot.matched ? "" : " class=\"differs\"", shot.file.c_str(),
                             shot.file.c_str(), Escaped(shot.caption).c_str(),
                             Escaped(shot.caption).c_str(), Escaped(model).c_str(),
                             LanguageName(language));
            }
            std::fprintf(out, "</tr>\n");
        }
        std::fprintf(out, "</table>\n");
    }
    std::fprintf(out, "</body></html>\n");
    std::fclose(out);
}

void Take(const std::string& model, int language, const std::string& state,
          const std::string& caption, const RECT& area, WEXA::PaintManager* engine, HWND window)
{
    testutil::PixelBuffer actual = testutil::CaptureScreen(area);
    const std::string file =
        ShortName(model) + "_" + state + "_" + std::to_string(language) + ".png";
    testutil::SavePng(actual, Folder() + Wide(file));
    testutil::ScreenshotCompare compare;
    if (engine) compare.AddControls(engine, window, area);
    const std::string reference = "references/" + file;
    const ::testing::AssertionResult result = compare.MatchesReference(
        actual, testutil::TestSourceFile(TEST_SOURCE_DIR, reference.c_str()));
    EXPECT_TRUE(result) << model << ", " << language << ": " << caption;
    Shots().push_back({model, language, state, caption, file, bool(result)});
}

RECT ClientArea(HWND window)
{
    RECT area;
    GetClientRect(window, &area);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

RECT WindowArea(HWND window)
{
    RECT area;
    GetWindowRect(window, &area);
    return area;
}

namespace {

struct WindowSearch
{
    const wchar_t* name;
    HWND found;
};

BOOL CALLBACK MatchVisible(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    wchar_t className[32] = {}, title[64] = {};
    GetClassNameW(window, className, 32);
    // Read without asking the window's thread (GetWindowText would send it
    // WM_GETTEXT, a call the locked-send watch cannot tell from the worker's).
    InternalGetWindowText(window, title, 64);
    if (!IsWindowVisible(window) || std::wstring(className) != L"PavexWindow" ||
        std::wstring(title) != search->name)
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindShownWindow(const wchar_t* name, DWORD thread)
{
    WindowSearch search = {name, nullptr};
    EnumThreadWindows(thread, &MatchVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

WEXA::PaintManager* EngineOf(HWND window)
{
    auto* object = reinterpret_cast<WEXA::MWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!object) return nullptr;
    if (auto* dialog = dynamic_cast<WEXA::MDialog*>(object)) return dialog->GetPaintManager();
    if (auto* menu = dynamic_cast<WEXA::MenuWnd*>(object)) return menu->GetPaintManager();
    return nullptr;
}

}  // namespace gallery
