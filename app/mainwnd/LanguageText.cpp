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
