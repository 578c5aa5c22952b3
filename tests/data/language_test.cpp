// Language files: every text id the program uses is in each of the three files,
// the files are UTF-16 LE with a byte-order mark (so Windows reads them as
// Unicode), and each text reads back exactly as its UTF-8 source holds it.
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "DataFiles.h"
#include "services/LanguageTextIds.h"

namespace datatest {
namespace {

const int kLanguages[] = {2052, 1033, 1028};

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &wide[0], n);
    return wide;
}

// The source file's sections: section -> id -> text (quotes removed).
std::map<std::wstring, std::map<int, std::wstring>> ReadSource(int language)
{
    std::map<std::wstring, std::map<int, std::wstring>> sections;
    std::ifstream file(std::string(PROJECT_SOURCE_DIR) + "/data/language/" +
                       std::to_string(language) + ".lan.txt");
    EXPECT_TRUE(file.good()) << language;
    std::string line;
    std::wstring section;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = FromUtf8(line.substr(1, line.find(']') - 1));
            continue;
        }
        const size_t equals = line.find('=');
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        EXPECT_TRUE(
            sections[section].emplace(std::stoi(line.substr(0, equals)), FromUtf8(value)).second)
            << "id written twice: " << line;
    }
    return sections;
}

// As the program reads a text: 260 characters, at most 259 come back.
std::wstring ReadText(int language, const wchar_t* section, int id)
{
    const std::wstring file = ExeFolder() + L"language\\" + std::to_wstring(language) + L".lan";
    wchar_t buffer[260] = {};
    GetPrivateProfileStringW(section, std::to_wstring(id).c_str(), L"", buffer, 260, file.c_str());
    return buffer;
}

TEST(LanguageFiles, AreUtf16WithAByteOrderMark)
{
    for (int language : kLanguages) {
        std::ifstream file(Narrow(ExeFolder()) + "language\\" + std::to_string(language) + ".lan",
                           std::ios::binary);
        ASSERT_TRUE(file.good()) << language;
        char mark[2] = {};
        file.read(mark, 2);
        EXPECT_EQ('\xFF', mark[0]) << language;
        EXPECT_EQ('\xFE', mark[1]) << language;
    }
}

TEST(LanguageFiles, HoldEveryTextTheProgramUses)
{
    std::set<std::pair<std::wstring, int>> listed;
    for (const LanguageTextId& t : kLanguageTextIds) {
        EXPECT_TRUE(listed.insert({t.section, t.id}).second) << "listed twice: " << t.id;
    }
    for (int language : kLanguages) {
        SCOPED_TRACE(language);
        const auto source = ReadSource(language);
        for (const LanguageTextId& t : kLanguageTextIds) {
            SCOPED_TRACE(Narrow(t.section) + " " + std::to_string(t.id) + " (" + t.use + ")");
            const std::wstring text = ReadText(language, t.section, t.id);
            EXPECT_FALSE(text.empty()) << "missing";
            auto section = source.find(t.section);
            ASSERT_NE(source.end(), section);
            auto written = section->second.find(t.id);
            ASSERT_NE(section->second.end(), written);
            EXPECT_TRUE(text == written->second) << "reads back otherwise than written";
            EXPECT_LT(written->second.size(), 259u);
        }
        // Nothing in the files that the program does not ask for.
        for (const auto& section : source)
            for (const auto& text : section.second)
                EXPECT_TRUE(listed.count({section.first, text.first}))
                    << "not used: " << Narrow(section.first) << " " << text.first;
    }
}

TEST(LanguageFiles, TextsWithSpacesAtTheirEndsKeepThem)
{
    // Parts of a message joined around a number ("%s%d%s").
    EXPECT_EQ(L"This animation has ", ReadText(1033, L"KB.DIALOG", 832));
    EXPECT_EQ(L" frames.", ReadText(1033, L"KB.DIALOG", 866));
    EXPECT_EQ(L"正在下载", ReadText(2052, L"LAN", 539));
}

TEST(LanguageFiles, TextsTheWindowShowsTogetherAgree)
{
    for (int language : kLanguages) {
        SCOPED_TRACE(language);
        // The product's wordmark is the same in every language.
        EXPECT_EQ(L"Hub", ReadText(language, L"OEM", 1));
        // The fixed-delay choice is followed by its field and the "ms" unit.
        EXPECT_EQ(std::wstring::npos, ReadText(language, L"KB.DIALOG", 363).find(L"ms"));
        // The two modifier columns of a key combination say which side they hold.
        EXPECT_NE(ReadText(language, L"KB.DIALOG", 215), ReadText(language, L"KB.DIALOG", 216));
    }
}

}  // namespace
}  // namespace datatest
