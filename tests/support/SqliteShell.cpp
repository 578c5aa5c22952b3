#include "SqliteShell.h"

#include <windows.h>

namespace testutil {

std::string RunSqliteShell(const CString& dbFile, const std::string& sql, int* exitCode)
{
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, inRead = nullptr, inWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &sa, 0) || !CreatePipe(&inRead, &inWrite, &sa, 0))
        return "<pipe failed>";
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = inRead;
    si.hStdOutput = outWrite;
    si.hStdError = outWrite;
    PROCESS_INFORMATION pi = {};
    CString cmd;
    cmd.Format(L"sqlite3.exe -batch -list -noheader \"%s\"", dbFile.GetString());
    std::vector<wchar_t> cmdBuf(cmd.GetString(), cmd.GetString() + cmd.GetLength() + 1);
    BOOL started = CreateProcessW(nullptr, cmdBuf.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                  nullptr, nullptr, &si, &pi);
    CloseHandle(outWrite);
    CloseHandle(inRead);
    if (!started) {
        CloseHandle(outRead);
        CloseHandle(inWrite);
        return "<sqlite3.exe did not start>";
    }
    std::string input = sql + "\n.quit\n";
    DWORD written = 0;
    WriteFile(inWrite, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    CloseHandle(inWrite);

    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(outRead, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        output.append(buffer, got);
    CloseHandle(outRead);
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    if (exitCode) *exitCode = static_cast<int>(code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);

    std::string clean;
    for (char c : output)
        if (c != '\r') clean += c;
    return clean;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace testutil
