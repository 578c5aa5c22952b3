#include "LanguageText.h"

#include <windows.h>

#include "Manager.h"

std::atomic<int> CurrentLanguageId{1033};

CString LanguageFilePath(int languageId)
{
    CString path;
    path.Format(L"%slanguage\\%d.lan", WEXA::GetAppPath().GetString(), languageId);
    return path;
}

CString GetLanguageText(int id, const wchar_t* section)
{
    wchar_t key[16];
    wsprintfW(key, L"%d", id);
    const CString file = LanguageFilePath(CurrentLanguageId.load());
    // 260 characters with the terminator: a longer value is cut at 259.
    wchar_t text[260] = {};
    ::GetPrivateProfileStringW(section ? section : L"", key, L"", text, 260, file);
    return CString(text);
}

namespace {

bool FaceInstalled(const wchar_t* face)
{
    Gdiplus::FontFamily family(face, nullptr);
    return family.GetLastStatus() == Gdiplus::Ok && family.IsAvailable();
}

}  // namespace

CString UseFontForLanguage(int languageId)
{
    // The face the library starts with, taken before anything replaced it.
    static const CString libraryFace = WEXA::Manager::GetFontName();
    static const wchar_t* const simplified[] = {L"Microsoft YaHei", L"WenQuanYi Micro Hei",
                                                L"SimHei", L"SimSun"};
    static const wchar_t* const traditional[] = {L"Microsoft JhengHei", L"WenQuanYi Micro Hei",
                                                 L"PMingLiU", L"MingLiU"};
    CString face = libraryFace;
    if (languageId == 2052 || languageId == 1028) {
        for (const wchar_t* candidate : languageId == 2052 ? simplified : traditional) {
            if (FaceInstalled(candidate)) {
                face = candidate;
                break;
            }
        }
    }
    WEXA::Manager::SetFontName(face);
    return face;
}
