// The helpers that stream a body to disk.
#include "net/DownloadFile.h"
#include "net/HttpClient.h"
#include "net/HttpTransfer.h"

#include <sys/stat.h>

namespace {

constexpr std::size_t kEpisodeChunk = 8192;
constexpr std::size_t kUpdateChunk = 65536;
constexpr std::size_t kReplaceChunk = 32768;
constexpr std::size_t kLocationLimit = 2047;   // a 4096-byte buffer of UTF-16

bool IsError(long status) { return status >= 400; }
bool IsRedirect(long status) { return status >= 300 && status <= 399; }

bool UsableLocation(const ResponseHead& head)
{
    return !head.redirectUrl.empty() && head.redirectUrl.size() <= kLocationLimit;
}

bool IsFollowedByReplace(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

bool DownloadToFile(const DownloadJob& job)
{
    const auto cancelled = [&job] { return job.cancel && job.cancel->load(); };
    const std::string& dest = job.destinationPath;
    // Only the immediate folder, as the download manager builds it.
    if (const auto slash = dest.rfind('/'); slash != std::string::npos && slash > 0)
        ::mkdir(dest.substr(0, slash).c_str(), 0755);

    PendingFile file;
    bool fileFailed = false;
    TransferRequest request;
    request.url = job.url;
    request.bufferSize = kEpisodeChunk;
    request.boundTotalTime = false;
    // Also polled while the server is silent, so a stalled transfer can be cancelled.
    request.keepGoing = [&] { return !cancelled(); };
    request.sink = [&](const ResponseHead& head, const char* data, std::size_t size) {
        if (IsError(head.status) || cancelled())
            return false;
        if (file.fd < 0 && !CreatePendingFile(file, dest)) {
            fileFailed = true;
            return false;
        }
        if (!WritePending(file, data, size)) {
            fileFailed = true;
            return false;
        }
        return true;
    };
    const TransferResult result = PerformGet(request);

    bool ok = result.curlCode == 0 && !fileFailed && !IsError(result.head.status);
    if (ok && file.fd < 0)
        ok = CreatePendingFile(file, dest);   // an empty body is still a file
    if (ok)
        ok = CommitPending(file);
    else
        DiscardPending(file);

    if (HasMainWindow())
        PostAppMessage(msg::WM_DOWNLOAD_DONE, static_cast<std::uintptr_t>(job.jobId),
                       std::make_unique<DownloadDonePayload>(ok));
    return ok;
}

bool DownloadWithProgress(const std::string& startUrl, const std::string& path,
                          const DownloadProgress& progress, int redirectsLeft)
{
    std::string url = startUrl;
    for (;;) {
        CrackedUrl cracked;
        if (!CrackHttpUrl(url, cracked))
            return false;

        PendingFile file;
        std::uint64_t total = 0;
        bool failed = false;
        TransferRequest request;
        request.url = url;
        request.followRedirects = false;
        request.bufferSize = kUpdateChunk;
        request.boundTotalTime = false;
        request.sink = [&](const ResponseHead& head, const char* data, std::size_t size) {
            if (IsRedirect(head.status) && (redirectsLeft <= 0 || UsableLocation(head)))
                return false;   // not saved: followed or failed below
            if (IsError(head.status))
                return false;
            if (file.fd < 0 && !CreatePendingFile(file, path)) {
                failed = true;
                return false;
            }
            if (!WritePending(file, data, size)) {
                failed = true;
                return false;
            }
            total += size;
            if (progress && !progress(total, head.contentLength)) {
                failed = true;
                return false;
            }
            return true;
        };
        const TransferResult result = PerformGet(request);
        const long status = result.head.status;

        if (IsRedirect(status) && redirectsLeft <= 0) {
            DiscardPending(file);
            return false;
        }
        if (IsRedirect(status) && UsableLocation(result.head)) {
            DiscardPending(file);
            url = result.head.redirectUrl;
            --redirectsLeft;
            continue;
        }
        if (failed || result.curlCode != 0 || IsError(status) || total == 0) {
            DiscardPending(file);
            return false;
        }
        return CommitPending(file);
    }
}

bool HttpsDownloadReplace(const std::string& startHost, const std::string& startPath,
                          const std::string& target, int redirectsLeft)
{
    std::string host = startHost;
    std::string path = startPath.empty() || startPath[0] != '/' ? "/" + startPath : startPath;
    for (;; --redirectsLeft) {
        if (redirectsLeft < 0)
            return false;

        PendingFile file;
        bool failed = false;
        TransferRequest request;
        request.url = "https://" + host + path;
        request.followRedirects = false;
        request.bufferSize = kReplaceChunk;
        request.boundTotalTime = false;
        request.sink = [&](const ResponseHead& head, const char* data, std::size_t size) {
            if (head.status != 200)
                return false;
            if (file.fd < 0 && !CreatePendingFileAt(file, target, target + ".new")) {
                failed = true;
                return false;
            }
            if (!WritePending(file, data, size)) {
                failed = true;
                return false;
            }
            return true;
        };
        const TransferResult result = PerformGet(request);
        const long status = result.head.status;

        if (IsFollowedByReplace(status)) {
            DiscardPending(file);
            CrackedUrl next;
            if (!UsableLocation(result.head) || !CrackHttpUrl(result.head.redirectUrl, next))
                return false;
            // Always over TLS, whatever scheme the Location names.
            host = next.hostAndPort;
            path = next.pathAndQuery;
            continue;
        }
        // An empty or cut-short answer must not replace a working file.
        if (status != 200 || failed || result.curlCode != 0 || file.fd < 0) {
            DiscardPending(file);
            return false;
        }
        return CommitPending(file);
    }
}
