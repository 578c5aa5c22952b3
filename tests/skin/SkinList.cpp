#include "SkinList.h"

#include <fstream>
#include <sstream>

#include "Manager.h"

namespace skintest {

std::vector<std::vector<std::string>> ReadTable(const char* name)
{
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(std::string(PROJECT_SOURCE_DIR) + "/data/skins/" + name);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream cells(line);
        std::vector<std::string> row;
        std::string cell;
        while (cells >> cell) row.push_back(cell);
        if (!row.empty()) rows.push_back(row);
    }
    return rows;
}

std::vector<ListedImage> SkinImages()
{
    std::vector<ListedImage> out;
    for (const auto& r : ReadTable("theme1_images.txt"))
        if (r.size() == 4) out.push_back({r[0], std::stoi(r[1]), std::stoi(r[2]), std::stoi(r[3])});
    return out;
}

std::vector<std::string> DevicePictures()
{
    std::vector<std::string> out;
    for (const auto& r : ReadTable("DEVICE_PICTURES.txt"))
        if (r.size() == 3) out.push_back("device/" + r[0]);
    return out;
}

std::vector<LcdModel> LcdModels()
{
    std::vector<LcdModel> out;
    for (const auto& r : ReadTable("lcd_models.txt"))
        if (r.size() == 4) out.push_back({r[0], std::stoi(r[1]), std::stoi(r[2]), std::stoi(r[3])});
    return out;
}

std::wstring BesideExe(const std::string& file)
{
    std::wstring path = WEXA::GetAppPath().GetString();
    for (char ch : file) path += ch == '/' ? L'\\' : static_cast<wchar_t>(ch);
    return path;
}

}  // namespace skintest
