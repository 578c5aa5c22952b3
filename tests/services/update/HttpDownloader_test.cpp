#include <gtest/gtest.h>

#include "services/update/HttpDownloader.h"
#include "UpdateTestServer.h"

#include <wininet.h>

#include <functional>
#include <string>
#include <vector>

using namespace updatetest;

namespace {

class ServerEnvironment : public ::testing::Environment
{
public:
    void TearDown() override { StopServer(); }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new ServerEnvironment);

// The downloader with its file writes open to the test. It connects directly, so that
// no proxy setting of the machine stands between it and the local server.
class TestDownloader : public HttpDownloader
{
public:
    std::function<bool(HANDLE, const void*, DWORD)> write;

protected:
    DWORD AccessType() const override { return INTERNET_OPEN_TYPE_DIRECT; }
    bool WriteBlock(HANDLE file, const void* data, DWORD size) override
    {
        return write ? write(file, data, size) : HttpDownloader::WriteBlock(file, data, size);
    }
};

// A message-only window that collects the progress messages posted to it.
class ProgressWindow
{
public:
    ProgressWindow()
    {
        hwnd_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    }
    ~ProgressWindow() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }
    std::vector<int> Take()
    {
        std::vector<int> values;
        MSG msg;
        while (PeekMessageW(&msg, hwnd_, WM_KESTROVA_DOWNLOAD_PROGRESS,
                            WM_KESTROVA_DOWNLOAD_PROGRESS, PM_REMOVE)) {
            EXPECT_EQ(msg.wParam, 0u);
            values.push_back(int(msg.lParam));
        }
        return values;
    }

private:
    HWND hwnd_;
};

class HttpDownloaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_NE(Server(&error), nullptr) << error;
        ASSERT_NE(window.hwnd(), nullptr);
    }

    TestDownloader downloader;
    ProgressWindow window;
    DownloadFolder folder;
    std::wstring package = folder / L"Kestrova-1.0.3.0.zip";
};

// ---- text requests ----------------------------------------------------------------------

TEST_F(HttpDownloaderTest, GetTextFetchesTheVersion)
{
    CString text;
    HttpDownloader plain;  // with the access type the program uses
    EXPECT_EQ(plain.GetText(HttpUrl(L"/software-upgrade/version").c_str(), text),
              HttpDownloader::kDone);
    EXPECT_STREQ(text, L"1.0.3.0");
    EXPECT_EQ(CompareVersions(L"1.0.2.0", text), 1);

    EXPECT_EQ(downloader.GetText(HttpUrl(L"/utf8").c_str(), text), HttpDownloader::kDone);
    EXPECT_STREQ(text, L"Gr\u00fc\u00dfe \u7248\u672c");
}

TEST_F(HttpDownloaderTest, RequestCarriesTheUserAgentAndHeaders)
{
    CString text;
    ASSERT_EQ(downloader.GetText(HttpUrl(L"/headers").c_str(), text), HttpDownloader::kDone);
    EXPECT_EQ(text.Find(L"GET /headers HTTP/1.1\r\n"), 0) << text.GetString();
    EXPECT_GT(text.Find(L"\r\nUser-Agent: IIC2.0/PC 5.5.0000\r\n"), 0) << text.GetString();
    EXPECT_GT(text.Find(L"\r\nAccept: */*\r\n"), 0) << text.GetString();
    EXPECT_GT(text.Find(L"\r\nPragma: no-cache\r\n"), 0) << text.GetString();
}

TEST_F(HttpDownloaderTest, UrlTravelsAsUtf8)
{
    CString hex;
    ASSERT_EQ(
        downloader.GetText(HttpUrl(L"/echo/Gr\u00fc\u00dfe/\u7248\u672c.zip?v=1.0").c_str(), hex),
        HttpDownloader::kDone);
    // "/echo/Grüße/版本.zip?v=1.0" in UTF-8, byte for byte.
    EXPECT_STREQ(hex,
                 L"2f6563686f2f"          // "/echo/"
                 L"4772c3bcc39f652f"      // "Grüße/"
                 L"e78988e69cac2e7a6970"  // "版本.zip"
                 L"3f763d312e30");        // "?v=1.0"
}

TEST_F(HttpDownloaderTest, ErrorStatusIsNeverTakenAsAVersion)
{
    for (const wchar_t* path : {L"/missing", L"/error"}) {
        CString text = L"unchanged";
        EXPECT_EQ(downloader.GetText(HttpUrl(path).c_str(), text), HttpDownloader::kFailed) << path;
        EXPECT_STREQ(text, L"unchanged");
    }
}

TEST_F(HttpDownloaderTest, UnreachableServerAndShortBodyFail)
{
    CString text = L"unchanged";
    const std::wstring refused = L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/version";
    EXPECT_EQ(downloader.GetText(refused.c_str(), text), HttpDownloader::kFailed);
    EXPECT_EQ(downloader.GetText(HttpUrl(L"/truncated").c_str(), text), HttpDownloader::kFailed);
    EXPECT_STREQ(text, L"unchanged");
}

// ---- downloads ----------------------------------------------------------------------------

// 2, 8, 10, then 10 + 90 * n / blocks after the n-th read of a body made of whole
// blocks, then 100; a value equal to the one before is not posted again.
std::vector<int> ExpectedProgress(size_t blocks)
{
    std::vector<int> values = {2, 8, 10};
    for (size_t n = 1; n <= blocks; ++n) {
        int v = int(10 + 90 * n / blocks);
        if (v != values.back()) values.push_back(v);
    }
    if (values.back() != 100) values.push_back(100);
    return values;
}

TEST_F(HttpDownloaderTest, DownloadsFiveMegabytesWithProgressInOrder)
{
    ASSERT_TRUE(WriteFileBytes(package, "old package"));  // an old file of that name is replaced
    EXPECT_EQ(downloader.DownloadFile(HttpUrl(L"/big").c_str(), package.c_str(), window.hwnd()),
              HttpDownloader::kDone);
    EXPECT_TRUE(ReadFileBytes(package) == Pattern(5 * 1024 * 1024));
    EXPECT_EQ(window.Take(), ExpectedProgress(5 * 1024 * 1024 / 10240));
}

TEST_F(HttpDownloaderTest, ProgressOfExactAndShortBodies)
{
    // Two full blocks: 2, 8, 10, 55, 100; the closing 100 is not posted twice.
    ASSERT_EQ(
        downloader.DownloadFile(HttpUrl(L"/size/20480").c_str(), package.c_str(), window.hwnd()),
        HttpDownloader::kDone);
    EXPECT_EQ(window.Take(), (std::vector<int>{2, 8, 10, 55, 100}));
    EXPECT_TRUE(ReadFileBytes(package) == Pattern(20480));

    // The next download by the same object starts from 0 again.
    ASSERT_EQ(
        downloader.DownloadFile(HttpUrl(L"/size/5000").c_str(), package.c_str(), window.hwnd()),
        HttpDownloader::kDone);
    EXPECT_EQ(window.Take(), (std::vector<int>{0, 2, 8, 10, 100}));
    EXPECT_TRUE(ReadFileBytes(package) == Pattern(5000));

    // Not a multiple of the block size: two blocks, three reads. The reads count, so the
    // second one reaches 100 and the third (10 + 270 / 2) is held there, never above.
    ASSERT_EQ(
        downloader.DownloadFile(HttpUrl(L"/size/25000").c_str(), package.c_str(), window.hwnd()),
        HttpDownloader::kDone);
    EXPECT_EQ(window.Take(), (std::vector<int>{0, 2, 8, 10, 55, 100}));
    EXPECT_TRUE(ReadFileBytes(package) == Pattern(25000));

    // No content length: no values between 10 and 100.
    ASSERT_EQ(
        downloader.DownloadFile(HttpUrl(L"/nolength").c_str(), package.c_str(), window.hwnd()),
        HttpDownloader::kDone);
    EXPECT_EQ(window.Take(), (std::vector<int>{0, 2, 8, 10, 100}));
    EXPECT_TRUE(ReadFileBytes(package) == Pattern(30000));
}

TEST_F(HttpDownloaderTest, DownloadWithoutWindowPostsNothing)
{
    ASSERT_EQ(downloader.DownloadFile(HttpUrl(L"/size/30000").c_str(), package.c_str(), nullptr),
              HttpDownloader::kDone);
    EXPECT_TRUE(ReadFileBytes(package) == Pattern(30000));
    EXPECT_EQ(window.Take(), std::vector<int>{});
    // Nothing was remembered either: the next download with a window starts at 2.
    ASSERT_EQ(
        downloader.DownloadFile(HttpUrl(L"/size/100").c_str(), package.c_str(), window.hwnd()),
        HttpDownloader::kDone);
    EXPECT_EQ(window.Take(), (std::vector<int>{2, 8, 10, 100}));
}

TEST_F(HttpDownloaderTest, FailedDownloadsLeaveNoFile)
{
    struct
    {
        std::wstring url;
        std::vector<int> progress;
    } cases[] = {
        {HttpUrl(L"/missing"), {2}},
        {HttpUrl(L"/error"), {2}},
        {L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/package.zip", {2}},
        {HttpUrl(L"/truncated"), {2, 8, 10}},  // then values up to 37, never 100
    };
    for (auto& c : cases) {
        SCOPED_TRACE(std::string(c.url.begin(), c.url.end()));
        TestDownloader fresh;
        EXPECT_EQ(fresh.DownloadFile(c.url.c_str(), package.c_str(), window.hwnd()),
                  HttpDownloader::kFailed);
        EXPECT_FALSE(FileExists(package));
        std::vector<int> progress = window.Take();
        ASSERT_GE(progress.size(), c.progress.size());
        EXPECT_EQ(std::vector<int>(progress.begin(), progress.begin() + c.progress.size()),
                  c.progress);
        for (int v : progress) EXPECT_LT(v, 100);
    }
}

TEST_F(HttpDownloaderTest, WriteFailureIsReportedAndLeavesNoFile)
{
    int writes = 0;
    downloader.write = [&writes](HANDLE file, const void* data, DWORD size) {
        if (++writes == 3) return false;  // the disk is full at the third block
        DWORD written = 0;
        return WriteFile(file, data, size, &written, nullptr) && written == size;
    };
    EXPECT_EQ(downloader.DownloadFile(HttpUrl(L"/big").c_str(), package.c_str(), window.hwnd()),
              HttpDownloader::kFailed);
    EXPECT_EQ(writes, 3);
    EXPECT_FALSE(FileExists(package));
    std::vector<int> progress = window.Take();
    EXPECT_EQ(progress.back(), 10);  // two blocks of 512 give no step yet; never 100
}

TEST_F(HttpDownloaderTest, ClearingRunningStopsAfterTheCurrentBlock)
{
    int writes = 0;
    downloader.write = [this, &writes](HANDLE file, const void* data, DWORD size) {
        if (++writes == 2) downloader.Stop();
        DWORD written = 0;
        return WriteFile(file, data, size, &written, nullptr) && written == size;
    };
    EXPECT_EQ(downloader.DownloadFile(HttpUrl(L"/big").c_str(), package.c_str(), window.hwnd()),
              HttpDownloader::kStopped);
    EXPECT_EQ(writes, 2);
    EXPECT_FALSE(downloader.IsRunning());
    // What was written stays and the window still sees 100.
    EXPECT_TRUE(ReadFileBytes(package) == Pattern(5 * 1024 * 1024).substr(0, 2 * 10240));
    EXPECT_EQ(window.Take().back(), 100);
    // The next transfer runs again.
    CString text;
    EXPECT_EQ(downloader.GetText(HttpUrl(L"/software-upgrade/version").c_str(), text),
              HttpDownloader::kDone);
}

// ---- HTTPS ------------------------------------------------------------------------------------

TEST_F(HttpDownloaderTest, HttpsWithATrustedCertificateWorks)
{
    CString text;
    EXPECT_EQ(downloader.GetText(HttpsUrl(L"/software-upgrade/version", true).c_str(), text),
              HttpDownloader::kDone);
    EXPECT_STREQ(text, L"1.0.3.0");
    EXPECT_EQ(downloader.DownloadFile(HttpsUrl(L"/size/300000", true).c_str(), package.c_str(),
                                      window.hwnd()),
              HttpDownloader::kDone);
    EXPECT_TRUE(ReadFileBytes(package) == Pattern(300000));
    EXPECT_EQ(window.Take().back(), 100);
}

TEST_F(HttpDownloaderTest, HttpsWithAnUntrustedCertificateFailsAndWritesNothing)
{
    CString text = L"unchanged";
    EXPECT_EQ(downloader.GetText(HttpsUrl(L"/software-upgrade/version", false).c_str(), text),
              HttpDownloader::kFailed);
    EXPECT_STREQ(text, L"unchanged");
    EXPECT_EQ(downloader.DownloadFile(HttpsUrl(L"/size/300000", false).c_str(), package.c_str(),
                                      window.hwnd()),
              HttpDownloader::kFailed);
    EXPECT_FALSE(FileExists(package));
    EXPECT_EQ(window.Take(), (std::vector<int>{2}));
}

}  // namespace
