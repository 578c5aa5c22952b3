#pragma once
// The lists of pictures the build makes from data/skins/: the skin theme's images
// with their frame sizes, the device card pictures and the stock LCD animations.
#include <string>
#include <vector>

namespace skintest {

struct ListedImage
{
    std::string file;  // relative to the executable's folder, with '/'
    int frameWidth = 0;
    int frameHeight = 0;
    int frames = 0;
};

struct LcdModel
{
    std::string name;
    int slots = 0;
    int width = 0;
    int height = 0;
};

// The rows of a whitespace-separated table below data/skins/ ('#' starts a comment).
std::vector<std::vector<std::string>> ReadTable(const char* name);

std::vector<ListedImage> SkinImages();      // theme1_images.txt
std::vector<std::string> DevicePictures();  // DEVICE_PICTURES.txt, "device/<file>"
std::vector<LcdModel> LcdModels();          // lcd_models.txt

// The executable's folder + file, with backslashes.
std::wstring BesideExe(const std::string& file);

}  // namespace skintest
