#include "services/update/HttpDownloader.h"

#include "services/TextConvert.h"

#include <wininet.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

const char HttpDownloader::kUserAgent[] = "IIC2.0/PC 5.5.0000";
const char HttpDownloader::kRequestHeaders[] = "Accept: */*\r\n\r\n";

namespace {

// ---- version comparison -------------------------------------------------------

// One version part read the way atoi reads it (blanks, sign, digits), but kept as a
// digit string so that parts of any length compare correctly.
struct VersionNumber
{
    bool negative = false;
    std::wstring digits;  // without leading zeros; empty for 0
};

VersionNumber ParseVersionPart(const std::wstring& part)
{
    VersionNumber n;
    size_t i = 0;
    while (i < part.size() && (part[i] == L' ' || (part[i] >= L'\t' && part[i] <= L'\r'))) ++i;
    if (i < part.size() && (part[i] == L'+' || part[i] == L'-')) {
        n.negative = part[i] == L'-';
        ++i;
    }
    while (i < part.size() && part[i] == L'0') ++i;
    while (i < part.size() && part[i] >= L'0' && part[i] <= L'9') n.digits += part[i++];
    if (n.digits.empty()) n.negative = false;
    return n;
}

// -1, 0 or 1 as a is smaller, equal or larger than b.
int CompareNumbers(const VersionNumber& a, const VersionNumber& b)
{
    if (a.negative != b.negative) return a.negative ? -1 : 1;
    int magnitude = 0;
    if (a.digits.size() != b.digits.size())
        magnitude = a.digits.size() < b.digits.size() ? -1 : 1;
    else if (a.digits != b.digits)
        magnitude = a.digits < b.digits ? -1 : 1;
    return a.negative ? -magnitude : magnitude;
}

std::vector<std::wstring> SplitVersion(const wchar_t* text)
{
    std::vector<std::wstring> parts(1);
    for (const wchar_t* p = text ? text : L""; *p; ++p) {
        if (*p == L'.')
            parts.emplace_back();
        else
            parts.back() += *p;
    }
    return parts;
}

// ---- WinINet handles --------------------------------------------------------------

class InternetHandle
{
public:
    explicit InternetHandle(HINTERNET h = nullptr) : h_(h) {}
    ~InternetHandle() { Close(); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    void Close()
    {
        if (h_) InternetCloseHandle(h_);
        h_ = nullptr;
    }
    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HINTERNET h_;
};

// The server's answer is usable only when it carries an HTTP status below 400; an
// error page is never taken for a version text or a package.
bool StatusIsSuccess(HINTERNET request)
{
    DWORD status = 0, size = sizeof(status);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr))
        return false;
    return status >= 100 && status < 400;
}

// Content length announced by the server, 0 when there is none.
uint64_t ContentLength(HINTERNET request)
{
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return 0;
    uint64_t value = 0;
    for (const wchar_t* p = text; *p >= L'0' && *p <= L'9'; ++p) {
        if (value > (UINT64_MAX - 9) / 10) return 0;
        value = value * 10 + uint64_t(*p - L'0');
    }
    return value;
}

HINTERNET OpenUrl(HINTERNET session, const wchar_t* url)
{
    std::string url8 = Utf16ToUtf8(url);
    // No INTERNET_FLAG_IGNORE_CERT_* and no security-flag option: a certificate that the
    // system does not trust makes the request fail.
    return InternetOpenUrlA(session, url8.c_str(), HttpDownloader::kRequestHeaders, DWORD(-1),
                            HttpDownloader::kOpenFlags, 0);
}

}  // namespace

int CompareVersions(const wchar_t* first, const wchar_t* second)
{
    std::vector<std::wstring> a = SplitVersion(first);
    std::vector<std::wstring> b = SplitVersion(second);
    if (a.size() != b.size()) return 2;
    for (size_t i = 0; i < a.size(); ++i) {
        int c = CompareNumbers(ParseVersionPart(a[i]), ParseVersionPart(b[i]));
        if (c != 0) return c > 0 ? -1 : 1;
    }
    return 0;
}

DWORD HttpDownloader::AccessType() const
{
    DWORD flags = 0;
    if (InternetGetConnectedState(&flags, 0) && (flags & INTERNET_CONNECTION_PROXY))
        return INTERNET_OPEN_TYPE_PRECONFIG;
    return INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
}

bool HttpDownloader::WriteBlock(HANDLE file, const void* data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

void HttpDownloader::Post(HWND notify, int progress)
{
    if (!notify || progress == lastProgress_) return;
    PostMessageW(notify, WM_KESTROVA_DOWNLOAD_PROGRESS, 0, progress);
    lastProgress_ = progress;
}

int HttpDownloader::GetText(const wchar_t* url, CString& text)
{
    running_.store(true);
    InternetHandle session(InternetOpenA(kUserAgent, AccessType(), nullptr, nullptr, 0));
    if (!session) return kNoInternet;
    InternetHandle request(OpenUrl(session.get(), url));
    if (!request || !StatusIsSuccess(request.get())) return kFailed;

    const uint64_t announced = ContentLength(request.get());
    std::string body;
    std::vector<char> buffer(kReadSize);
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), 0);
        DWORD read = 0;
        if (!InternetReadFile(request.get(), buffer.data(), kReadSize, &read)) return kFailed;
        if (read == 0) break;
        body.append(buffer.data(), read);
        if (!running_.load()) break;
    }
    const bool stopped = !running_.load();
    // A connection that ends before the announced length is a failure, not a text.
    if (!stopped && announced != 0 && body.size() < announced) return kFailed;
    text = Utf8ToUtf16(body.c_str());  // up to the first zero byte
    return stopped ? kStopped : kDone;
}

int HttpDownloader::DownloadFile(const wchar_t* url, const wchar_t* path, HWND notify)
{
    running_.store(true);
    Post(notify, 0);
    InternetHandle session(InternetOpenA(kUserAgent, AccessType(), nullptr, nullptr, 0));
    if (!session) return kNoInternet;
    Post(notify, 2);
    InternetHandle request(OpenUrl(session.get(), url));
    if (!request || !StatusIsSuccess(request.get())) return kFailed;
    Post(notify, 8);

    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW(path);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kFailed;

    const uint64_t length = ContentLength(request.get());
    const uint64_t blocks = length / kReadSize;
    Post(notify, 10);

    // After the n-th read the progress is 10 + 90 * n / blocks. Reads, not bytes, are
    // counted, so a body that is not a whole number of blocks (or reads that come back
    // short) would pass 100 before the end: the value is held at 100.
    int result = kDone;
    uint64_t received = 0;
    uint64_t accumulated = 0;
    std::vector<char> buffer(kReadSize);
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), 0);
        DWORD read = 0;
        if (!InternetReadFile(request.get(), buffer.data(), kReadSize, &read)) {
            result = kFailed;
            break;
        }
        if (read == 0) break;
        if (!WriteBlock(file, buffer.data(), read)) {
            result = kFailed;
            break;
        }
        received += read;
        accumulated += 90;
        if (blocks != 0) Post(notify, int(std::min<uint64_t>(100, 10 + accumulated / blocks)));
        if (!running_.load()) break;
    }
    const bool stopped = !running_.load();
    if (result == kDone && !stopped && length != 0 && received < length) result = kFailed;
    CloseHandle(file);
    request.Close();
    session.Close();
    if (result == kFailed) {
        // Never leave a damaged package where the caller would unpack it.
        DeleteFileW(path);
        return kFailed;
    }
    Post(notify, 100);
    return stopped ? kStopped : kDone;
}
