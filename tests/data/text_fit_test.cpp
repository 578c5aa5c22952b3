// Texts of controls whose size is fixed fit them in every language: each text is
// measured in the control's font (Chinese in a font with Chinese glyphs) against
// the room the control leaves for it.
#include "WexaGdiplus.h"

#include <map>
#include <memory>

#include "DataFiles.h"

namespace datatest {
namespace {

struct Room
{
    int id;
    int width;  // pixels the control leaves for its text
    int size;   // font size in pixels
    bool bold;  // Roboto-Bold, else Roboto-Medium (the library's default face)
    const char* control;
};

// Size and font from the controls' set-up, width from their rectangles (less a
// check or radio box of 24 pixels, or 40 for the icon of a main-tab item).
const Room kRooms[] = {
    {50, 239 - 90, 16, false, "main tab item"}, {51, 239 - 90, 16, false, "main tab item"},
    {52, 239 - 90, 16, false, "main tab item"}, {53, 239 - 90, 16, false, "main tab item"},
    {54, 239 - 90, 16, false, "main tab item"}, {56, 239 - 90, 16, false, "main tab item"},
    {57, 239 - 90, 16, false, "main tab item"}, {58, 239 - 90, 16, false, "main tab item"},
    {201, 160 - 16, 14, false, "button 60"},    {202, 160 - 16, 14, false, "button 61"},
    {175, 300, 16, true, "label 122"},          {176, 80, 14, false, "label 124"},
    {177, 300, 14, true, "label 127"},          {191, 230, 16, true, "label 128"},
    {192, 230, 16, true, "label 130"},          {178, 230, 16, true, "label 158"},
    {189, 120 - 24, 14, false, "check 138"},    {530, 220, 16, false, "label 324"},
    {532, 120 - 16, 14, false, "button 326"},   {550, 270, 16, false, "label 332"},
    {551, 120 - 16, 14, false, "button 333"},   {500, 120, 16, false, "label 417"},
    {506, 160, 16, true, "label 424"},          {507, 300, 14, false, "label 424"},
    {509, 120, 16, false, "label 428"},         {510, 300 - 24, 14, false, "radio 429"},
    {511, 120 - 24, 14, false, "radio 430"},    {515, 160, 16, false, "label 432"},
    {516, 180 - 16, 14, false, "button 434"},   {15, 120, 14, false, "link 436"},
    {16, 120, 14, false, "link 437"},           {17, 120, 14, false, "link 438"},
    {560, 120, 18, false, "page title 335"},    {561, 160, 16, false, "option 337"},
    {562, 160, 16, false, "option 340"},        {563, 160, 16, false, "option 343"},
    {564, 160, 16, false, "option 346"},        {565, 160, 16, false, "option 349"},
    {569, 160, 16, false, "option 352"},
};

class Fonts
{
public:
    Fonts()
    {
        // Another test program reading the same font file at that moment can
        // make one attempt fail under Wine: try again before giving up.
        for (const wchar_t* file : {L"Roboto-Medium.ttf", L"Roboto-Bold.ttf"}) {
            const std::wstring path = ExeFolder() + L"fonts\\" + file;
            for (int attempt = 0; attempt < 5; ++attempt) {
                if (collection_.AddFontFile(path.c_str()) == Gdiplus::Ok) break;
                Sleep(100);
            }
        }
        const int count = collection_.GetFamilyCount();
        families_.reset(new Gdiplus::FontFamily[size_t(count)]);
        int found = 0;
        collection_.GetFamilies(count, families_.get(), &found);
        for (int i = 0; i < found; ++i) {
            wchar_t name[LF_FACESIZE] = {};
            families_[size_t(i)].GetFamilyName(name);
            byName_[name] = &families_[size_t(i)];
        }
    }

    // Roboto Medium when the collection names it apart, else Roboto.
    const Gdiplus::FontFamily* Latin(bool bold) const
    {
        if (!bold && byName_.count(L"Roboto Medium")) return byName_.at(L"Roboto Medium");
        return byName_.count(L"Roboto") ? byName_.at(L"Roboto") : nullptr;
    }

private:
    Gdiplus::PrivateFontCollection collection_;
    std::unique_ptr<Gdiplus::FontFamily[]> families_;
    std::map<std::wstring, Gdiplus::FontFamily*> byName_;
};

float Width(const std::wstring& text, const Gdiplus::FontFamily& family, int size, bool bold)
{
    HDC screen = GetDC(nullptr);
    float width = 0;
    {
        Gdiplus::Graphics graphics(screen);
        Gdiplus::Font font(&family, float(size), bold ? Gdiplus::FontStyleBold : 0,
                           Gdiplus::UnitPixel);
        Gdiplus::RectF box;
        graphics.MeasureString(text.c_str(), -1, &font, Gdiplus::PointF(0, 0),
                               Gdiplus::StringFormat::GenericTypographic(), &box);
        width = box.Width;
    }
    ReleaseDC(nullptr, screen);
    return width;
}

std::wstring ReadText(int language, int id)
{
    const std::wstring file = ExeFolder() + L"language\\" + std::to_wstring(language) + L".lan";
    wchar_t buffer[260] = {};
    GetPrivateProfileStringW(L"KB.DIALOG", std::to_wstring(id).c_str(), L"", buffer, 260,
                             file.c_str());
    return buffer;
}

TEST(TextFit, FixedSizeControlsHoldTheirTextsInEveryLanguage)
{
    Fonts fonts;
    Gdiplus::FontFamily chinese(L"WenQuanYi Micro Hei");
    ASSERT_EQ(Gdiplus::Ok, chinese.GetLastStatus()) << "a font with Chinese glyphs is missing";
    for (int language : {1033, 2052, 1028}) {
        for (const Room& room : kRooms) {
            const std::wstring text = ReadText(language, room.id);
            SCOPED_TRACE(std::to_string(language) + " text " + std::to_string(room.id) + " in " +
                         room.control);
            ASSERT_FALSE(text.empty());
            const Gdiplus::FontFamily* family =
                language == 1033 ? fonts.Latin(room.bold) : &chinese;
            ASSERT_TRUE(family != nullptr);
            EXPECT_LE(Width(text, *family, room.size, room.bold), float(room.width));
        }
    }
}

}  // namespace
}  // namespace datatest
