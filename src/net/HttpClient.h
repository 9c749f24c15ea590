#pragma once
// Blocking one-shot HTTP GET helpers. Each call opens its own transfer,
// follows redirects where said, reads the whole body and frees everything
// before it returns; any thread may call them at the same time. Every
// request carries the user agent "Corvane/1.0"; TLS certificates are always
// verified. Failures are values: empty text, empty bytes or false.
//
// Text results are the body decoded as UTF-8 up to its first zero byte, with
// invalid sequences replaced by U+FFFD (see BodyText.h). Only http and https
// URLs are fetched, also when a redirect points elsewhere.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/AppMessages.h"

struct FetchDiagnostics {
    std::uint32_t status = 0;        // HTTP status of the final response; 0 when none came
    std::uint32_t lastError = 0;     // transport (curl) error of the failing step; 0 when none
    std::string errorText;           // TransportErrorText(lastError) or the unsupported-scheme text
    std::size_t bytesReceived = 0;   // length of the body in bytes
    std::int32_t itemTagCount = 0;   // filled by the feed parser
    std::int32_t episodeCount = 0;   // filled by the feed parser
    std::string preview;             // the first 400 bytes of the body, decoded
};

constexpr const char* kHttpUserAgent = "Corvane/1.0";
constexpr const char* kUnsupportedSchemeText = "Unsupported URL scheme (expected http:// or https://)";
constexpr std::size_t kDiagnosticsPreviewBytes = 400;

// Time limits that keep every call from hanging: connecting (TLS included),
// a transfer during which no body byte arrives for stallMs, and the whole
// call for the helpers that keep the body in memory (downloads may take long
// and have no total limit).
struct HttpTimeouts {
    long connectMs = 60000;
    long stallMs = 60000;
    long totalMs = 300000;
};
void SetHttpTimeouts(const HttpTimeouts& timeouts);
HttpTimeouts CurrentHttpTimeouts();

// Extra certificate authorities in a PEM file; empty means the system store.
void SetHttpTrustedCaFile(const std::string& pemPath);

// "Accept: */*" then extraHeaders ("Name: value" lines ended by "\r\n").
// Redirects followed; the status is not looked at, so an error page comes
// back like any body.
std::string HttpGetText(const std::string& url, const std::string& extraHeaders = {});

// Only "http://" and "https://" (case-sensitive) are accepted. The body comes
// back whatever the status; diagnostics (optional) get what was reached.
std::string HttpGetDiagnosed(const std::string& url, FetchDiagnostics* diagnostics = nullptr);

// Answers the server's authentication challenge (Basic, Digest, ...) with
// the given login; with both empty it is HttpGetDiagnosed.
std::string HttpGetDiagnosedWithLogin(const std::string& url, const std::string& user,
                                      const std::string& password,
                                      FetchDiagnostics* diagnostics = nullptr);

// No request headers of its own; each 4095-byte chunk is kept up to its
// first zero byte (the answers are JSON text).
std::string HttpGetPlain(const std::string& url);

// The job a download worker runs. The cancel flag may be set from any thread.
struct DownloadJob {
    std::int32_t jobId = 0;
    std::string url;
    std::string destinationPath;
    std::shared_ptr<std::atomic<bool>> cancel;
};

// Carried by msg::WM_DOWNLOAD_DONE, whose wParam is the job id.
struct DownloadDonePayload : MessagePayload {
    explicit DownloadDonePayload(bool ok) : success(ok) {}
    bool success = false;
};

// Streams the body to the destination (its folder is created, one level).
// The data goes to a temporary file beside it that is renamed into place only
// when the transfer completed; cancelling, a broken transfer or an error
// status (400 and above) fail and leave no partial file. Posts
// WM_DOWNLOAD_DONE to the main window when one exists; also returns the result.
bool DownloadToFile(const DownloadJob& job);

// Called after each chunk with (bytes so far, Content-Length or 0); return
// false to cancel.
using DownloadProgress = std::function<bool(std::uint64_t received, std::uint64_t total)>;

// Follows 3xx answers itself while redirectsLeft > 0 (callers pass 5); a 3xx
// with none left fails. Any other answer below 400 is written to path; true
// when the transfer completed with at least one byte. Cancelling or a broken
// transfer leaves path as it was.
bool DownloadWithProgress(const std::string& url, const std::string& path,
                          const DownloadProgress& progress, int redirectsLeft);

// Host may carry ":port"; the default port follows `secure`. Sends
// "Accept: application/vnd.github.v3+json" over TLS 1.2 only; each chunk is
// kept up to its first zero byte; the status is not looked at.
std::string GetReleaseInfo(const std::string& host, const std::string& path, bool secure);

// GET https://host/path; true when any byte came, body in `body`.
bool HttpsGetBytes(const std::string& host, const std::string& path, std::string& body);

// GET https://host/path following 301/302/303/307/308 itself (callers pass
// 3; a call with -1 fails). A 200 body goes to target + ".new", which then
// replaces the target in one rename, keeping the target's permissions. Any
// other status, a write error or a broken transfer fails and leaves the
// target as it was.
bool HttpsDownloadReplace(const std::string& host, const std::string& path,
                          const std::string& target, int redirectsLeft);

// curl's message for a transport error code, without trailing CR, LF,
// spaces and full stops; empty for 0 and for codes without a message.
std::string TransportErrorText(std::uint32_t code);
