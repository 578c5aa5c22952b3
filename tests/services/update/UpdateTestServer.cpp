#include <winsock2.h>
#include <ws2tcpip.h>

#include "UpdateTestServer.h"

#include <wincrypt.h>
#include <cstdio>
#include <vector>

namespace updatetest {
namespace {

ServerPorts g_ports;
bool g_started = false;
bool g_winsock = false;
std::string g_error;
std::wstring g_workdir;
std::vector<BYTE> g_trustedHash;  // SHA-1 of the certificate added to the Root store
// The connection whose end tells the server to stop: closed by StopServer, or by the
// system when this process ends in any other way.
SOCKET g_watch = INVALID_SOCKET;
// Bound to a loopback port but never listening, for as long as the process runs, so
// that no other program can take the port and connections to it are refused.
SOCKET g_closed = INVALID_SOCKET;
int g_closedPort = 0;

bool StartWinsock()
{
    if (!g_winsock) {
        WSADATA wsa;
        g_winsock = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    }
    return g_winsock;
}

bool ConnectWatch(int port)
{
    if (!StartWinsock()) return false;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return false;
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(u_short(port));
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        closesocket(s);
        return false;
    }
    g_watch = s;
    return true;
}

using UnixNameFn = char*(CDECL*)(const wchar_t*);
using DosNameFn = wchar_t*(CDECL*)(const char*);

// Wine's own path conversions (present in every Wine kernel32).
std::string UnixPath(const std::wstring& dos)
{
    auto fn = reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (!fn) return std::string();
    char* unix = fn(dos.c_str());
    if (!unix) return std::string();
    std::string out(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

std::wstring DosPath(const char* unix)
{
    auto fn = reinterpret_cast<DosNameFn>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name"));
    if (!fn) return std::wstring();
    wchar_t* dos = fn(unix);
    if (!dos) return std::wstring();
    std::wstring out(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return out;
}

std::string ReadAll(const std::wstring& path)
{
    std::string out;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        out.append(buffer, read);
    CloseHandle(h);
    return out;
}

void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                SetFileAttributesW((folder + fd.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW((folder + fd.cFileName).c_str());
            }
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

HCERTSTORE OpenUserRootRegistry()
{
    return CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER,
                         L"Root");
}

void UntrustCertificate()
{
    if (g_trustedHash.empty()) return;
    HCERTSTORE store = OpenUserRootRegistry();
    if (store) {
        CRYPT_HASH_BLOB hash = {DWORD(g_trustedHash.size()), g_trustedHash.data()};
        PCCERT_CONTEXT cert = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0,
                                                         CERT_FIND_SHA1_HASH, &hash, nullptr);
        if (cert) CertDeleteCertificateFromStore(cert);  // frees the context
        CertCloseStore(store, 0);
    }
    g_trustedHash.clear();
}

bool TrustCertificate(const std::wstring& pemPath)
{
    std::string pem = ReadAll(pemPath);
    DWORD size = 0;
    if (pem.empty() ||
        !CryptStringToBinaryA(pem.c_str(), DWORD(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr,
                              &size, nullptr, nullptr))
        return false;
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(pem.c_str(), DWORD(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                              &size, nullptr, nullptr))
        return false;
    // The registry part of the user's Root store: Wine builds the machine's roots in
    // memory, so only this part persists; it is written when the store is closed, and
    // the chain engine reads it when the process makes its first TLS connection.
    HCERTSTORE store = OpenUserRootRegistry();
    if (!store) return false;
    PCCERT_CONTEXT added = nullptr;
    BOOL ok = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size,
                                               CERT_STORE_ADD_REPLACE_EXISTING, &added);
    if (ok) {
        DWORD hashSize = 20;
        g_trustedHash.resize(hashSize);
        CertGetCertificateContextProperty(added, CERT_SHA1_HASH_PROP_ID, g_trustedHash.data(),
                                          &hashSize);
        CertFreeCertificateContext(added);
    }
    CertCloseStore(store, 0);
    return ok != FALSE;
}

bool Start()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    wchar_t name[64];
    swprintf(name, 64, L"kupd-server-%lu\\", GetCurrentProcessId());
    g_workdir = std::wstring(temp) + name;
    RemoveFolder(g_workdir);
    CreateDirectoryW(g_workdir.c_str(), nullptr);

    std::string unixWorkdir = UnixPath(g_workdir);
    std::wstring python = DosPath("/usr/bin/python3");
    if (unixWorkdir.empty() || python.empty()) {
        g_error = "not running under Wine (no wine_get_unix_file_name)";
        return false;
    }
    std::string script =
        std::string(PROJECT_SOURCE_DIR) + "/tests/services/update/update_test_server.py";
    std::wstring command = L"\"" + python + L"\" \"" + std::wstring(script.begin(), script.end()) +
                           L"\" \"" + std::wstring(unixWorkdir.begin(), unixWorkdir.end()) + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        g_error = "cannot start /usr/bin/python3";
        return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    // The server writes its ports once it listens (certificate creation included).
    const std::wstring portsFile = g_workdir + L"ports.txt";
    for (int waited = 0; waited < 20000; waited += 50) {
        std::string text = ReadAll(portsFile);
        int watchPort = 0;
        if (!text.empty() &&
            sscanf(text.c_str(), "%d %d %d %d", &g_ports.http, &g_ports.httpsTrusted,
                   &g_ports.httpsUntrusted, &watchPort) == 4) {
            if (!ConnectWatch(watchPort)) {
                g_error = "cannot connect to the test server's watch port";
                return false;
            }
            if (!TrustCertificate(g_workdir + L"trusted.pem")) {
                g_error = "cannot add the test certificate to the Root store";
                return false;
            }
            return true;
        }
        Sleep(50);
    }
    g_error = "the test server did not start within 20 s: " + ReadAll(g_workdir + L"server.log");
    return false;
}

}  // namespace

const ServerPorts* Server(std::string* error)
{
    if (!g_started) {
        g_started = true;
        if (!Start()) g_ports = ServerPorts();
    }
    if (g_ports.http == 0) {
        if (error) *error = g_error;
        return nullptr;
    }
    return &g_ports;
}

void StopServer()
{
    if (g_watch != INVALID_SOCKET) closesocket(g_watch);  // the server ends on this
    g_watch = INVALID_SOCKET;
    g_ports = ServerPorts();
    if (g_closed != INVALID_SOCKET) closesocket(g_closed);
    g_closed = INVALID_SOCKET;
    g_closedPort = 0;
    if (g_winsock) WSACleanup();
    g_winsock = false;
    UntrustCertificate();
    if (!g_workdir.empty()) RemoveFolder(g_workdir);
}

std::wstring HttpUrl(const std::wstring& path)
{
    return L"http://127.0.0.1:" + std::to_wstring(g_ports.http) + path;
}

std::wstring HttpsUrl(const std::wstring& path, bool trusted)
{
    return L"https://localhost:" +
           std::to_wstring(trusted ? g_ports.httpsTrusted : g_ports.httpsUntrusted) + path;
}

int ClosedPort()
{
    if (g_closed == INVALID_SOCKET && StartWinsock()) {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s != INVALID_SOCKET) {
            sockaddr_in addr = {};
            addr.sin_family = AF_INET;
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            int len = sizeof(addr);
            if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 &&
                getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
                g_closed = s;
                g_closedPort = ntohs(addr.sin_port);
            } else {
                closesocket(s);
            }
        }
    }
    return g_closedPort != 0 ? g_closedPort : 1;
}

std::string Pattern(size_t size)
{
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = char(i % 251);
    return s;
}

DownloadFolder::DownloadFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    wchar_t name[64];
    swprintf(name, 64, L"kupd-%lu-%d\\", GetCurrentProcessId(), ++counter);
    path_ = std::wstring(temp) + name;
    RemoveFolder(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

DownloadFolder::~DownloadFolder()
{
    RemoveFolder(path_);
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::wstring& path)
{
    return ReadAll(path);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

}  // namespace updatetest
