// The helpers that keep the body in memory.
#include "net/BodyText.h"
#include "net/HttpClient.h"
#include "net/HttpTransfer.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kTextChunk = 4096;
constexpr std::size_t kPlainChunk = 4095;
constexpr std::size_t kBytesChunk = 8192;

// "A: x\r\nB: y\r\n" into separate header lines; blank lines are dropped so
// no caller text can end the header block early.
std::vector<std::string> SplitHeaderLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            if (!line.empty())
                lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

BodySink AppendAll(std::string& body)
{
    return [&body](const ResponseHead&, const char* data, std::size_t size) {
        body.append(data, size);
        return true;
    };
}

// Keeps each chunk up to its first zero byte.
BodySink AppendUpToZero(std::string& body)
{
    return [&body](const ResponseHead&, const char* data, std::size_t size) {
        const void* zero = std::memchr(data, 0, size);
        body.append(data, zero ? static_cast<const char*>(zero) - data : size);
        return true;
    };
}

std::string SecureUrl(const std::string& host, const std::string& path, bool secure = true)
{
    std::string url = (secure ? "https://" : "http://") + host;
    if (path.empty() || path[0] != '/')
        url += '/';
    return url + path;
}

}  // namespace

std::string HttpGetText(const std::string& url, const std::string& extraHeaders)
{
    std::string body;
    TransferRequest request;
    request.url = url;
    request.headers.push_back("Accept: */*");
    for (std::string& line : SplitHeaderLines(extraHeaders))
        request.headers.push_back(std::move(line));
    request.bufferSize = kTextChunk;
    request.sink = AppendAll(body);
    const TransferResult result = PerformGet(request);
    // A failure before the body leaves nothing; one in the middle keeps what came.
    if (result.curlCode != 0 && !result.bodyStarted)
        return {};
    return DecodeBodyText(body);
}

std::string HttpGetDiagnosedWithLogin(const std::string& url, const std::string& user,
                                      const std::string& password, FetchDiagnostics* diagnostics)
{
    FetchDiagnostics scratch;
    FetchDiagnostics& diag = diagnostics ? *diagnostics : scratch;

    std::string rest;
    bool secure = false;
    if (url.rfind("https://", 0) == 0) {
        secure = true;
        rest = url.substr(8);
    } else if (url.rfind("http://", 0) == 0) {
        rest = url.substr(7);
    } else {
        diag.errorText = kUnsupportedSchemeText;
        return {};
    }
    const std::size_t slash = rest.find('/');
    const std::string host = rest.substr(0, slash);
    const std::string objectName = slash == std::string::npos ? "/" : rest.substr(slash);

    std::string body;
    TransferRequest request;
    request.url = (secure ? "https://" : "http://") + host + objectName;
    request.bufferSize = kTextChunk;
    request.user = user;
    request.password = password;
    request.sink = AppendAll(body);
    const TransferResult result = PerformGet(request);

    diag.status = static_cast<std::uint32_t>(result.head.status);
    if (result.curlCode != 0) {
        diag.lastError = result.curlCode;
        diag.errorText = TransportErrorText(result.curlCode);
        if (!result.bodyStarted)
            return {};
        // A body cut short is still returned; the error stays on record.
    }
    diag.bytesReceived = body.size();
    diag.preview = DecodeBodyText(std::string_view(body).substr(0, kDiagnosticsPreviewBytes));
    return DecodeBodyText(body);
}

std::string HttpGetDiagnosed(const std::string& url, FetchDiagnostics* diagnostics)
{
    return HttpGetDiagnosedWithLogin(url, {}, {}, diagnostics);
}

std::string HttpGetPlain(const std::string& url)
{
    std::string body;
    TransferRequest request;
    request.url = url;
    request.headers.push_back("Accept:");   // curl would send "Accept: */*"
    request.bufferSize = kPlainChunk;
    request.sink = AppendUpToZero(body);
    const TransferResult result = PerformGet(request);
    if (result.curlCode != 0 && !result.bodyStarted)
        return {};
    return DecodeBodyText(body);
}

std::string GetReleaseInfo(const std::string& host, const std::string& path, bool secure)
{
    std::string body;
    TransferRequest request;
    request.url = SecureUrl(host, path, secure);
    request.headers = {"Accept: application/vnd.github.v3+json", std::string("User-Agent: ") + kHttpUserAgent};
    request.tls12Only = true;
    request.sink = AppendUpToZero(body);
    const TransferResult result = PerformGet(request);
    if (result.curlCode != 0 && !result.bodyStarted)
        return {};
    return body;
}

bool HttpsGetBytes(const std::string& host, const std::string& path, std::string& body)
{
    body.clear();
    TransferRequest request;
    request.url = SecureUrl(host, path);
    request.bufferSize = kBytesChunk;
    request.sink = AppendAll(body);
    PerformGet(request);
    return !body.empty();
}
