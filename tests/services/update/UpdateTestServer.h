#pragma once
// The local HTTP/HTTPS server of the transport tests (update_test_server.py), started
// once per test process as a host program through Wine, plus helpers around it.

#include <windows.h>

#include <string>

namespace updatetest {

struct ServerPorts
{
    int http = 0;
    int httpsTrusted = 0;
    int httpsUntrusted = 0;
};

// Starts the server on first use (bounded wait) and trusts its test certificate in the
// current user's Root store. Returns null with a reason in `error` when that fails.
const ServerPorts* Server(std::string* error);
// Ends the server (closes the watch connection) and removes the certificate from the
// Root store.
void StopServer();

std::wstring HttpUrl(const std::wstring& path);
std::wstring HttpsUrl(const std::wstring& path, bool trusted);

// A TCP port on 127.0.0.1 that nobody listens on (held by this process until StopServer).
int ClosedPort();

// The bytes the server sends for /size/N and /big: byte i is i % 251.
std::string Pattern(size_t size);

// A folder for downloads below the Windows temp folder (trailing backslash), emptied
// and removed when the object goes.
class DownloadFolder
{
public:
    DownloadFolder();
    ~DownloadFolder();
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

bool FileExists(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);

}  // namespace updatetest
