#pragma once
// Update transport: version comparison, a small text GET and a file download over
// WinINet that reports its progress to a window.

#include <windows.h>

#include <atomic>

#include "CString.h"

// Window message posted by HttpDownloader::DownloadFile: wParam 0, lParam = progress 0..100.
constexpr UINT WM_KESTROVA_DOWNLOAD_PROGRESS = 1684;

// Compares two dotted version texts ("1.0.2.0"). Returns 1 when the second is newer,
// -1 when the first is newer, 0 when they are equal and 2 when they have a different
// number of parts. Every part is read as a decimal number (no digits: 0).
int CompareVersions(const wchar_t* first, const wchar_t* second);

class HttpDownloader
{
public:
    // Results of GetText and DownloadFile.
    enum Result {
        kStopped = -2,    // the running flag was cleared by another thread
        kFailed = -1,     // cannot connect, HTTP error status, read/write failure, short body
        kNoInternet = 0,  // no WinINet session
        kDone = 1,
    };

    static constexpr DWORD kReadSize = 10240;
    static const char kUserAgent[];
    static const char kRequestHeaders[];
    static constexpr DWORD kOpenFlags = 0x84000100;  // RELOAD | NO_CACHE_WRITE | PRAGMA_NOCACHE

    HttpDownloader() = default;
    virtual ~HttpDownloader() = default;
    HttpDownloader(const HttpDownloader&) = delete;
    HttpDownloader& operator=(const HttpDownloader&) = delete;

    // Fetches a text body (UTF-8 on the wire). On kDone or kStopped, text receives the
    // body up to its first zero byte; on any failure text is left unchanged.
    int GetText(const wchar_t* url, CString& text);

    // Downloads url into path, posting progress to notify (may be null). A body that
    // fails part-way (read or write error, fewer bytes than announced) leaves no file.
    int DownloadFile(const wchar_t* url, const wchar_t* path, HWND notify);

    // May be called from any thread: the running transfer stops after its current block.
    void Stop() { running_.store(false); }
    bool IsRunning() const { return running_.load(); }

protected:
    // Access type for InternetOpen: the preconfigured settings, without auto-proxy
    // discovery unless the system reports a proxy connection.
    virtual DWORD AccessType() const;
    // Writes one block of a download; returns false when not everything was written.
    virtual bool WriteBlock(HANDLE file, const void* data, DWORD size);

private:
    void Post(HWND notify, int progress);

    std::atomic<bool> running_{false};
    int lastProgress_ = 0;
};
