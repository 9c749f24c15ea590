#include "net/HttpTransfer.h"

#include "net/HttpClient.h"

#include <algorithm>
#include <chrono>
#include <curl/curl.h>
#include <mutex>
#include <strings.h>

namespace {

std::mutex g_configLock;
HttpTimeouts g_timeouts;
std::string g_caFile;

void EnsureCurlInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TransferState {
    CURL* curl = nullptr;
    const TransferRequest* request = nullptr;
    TransferResult* result = nullptr;
    std::string location;   // raw Location of the response being read
    long stallMs = 0;
    curl_off_t lastReceived = -1;
    std::chrono::steady_clock::time_point lastProgress = std::chrono::steady_clock::now();
    bool stalled = false;
};

// A Location made absolute against the URL that answered with it.
std::string ResolveLocation(CURL* curl, const std::string& location)
{
    if (location.empty())
        return {};
    char* base = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &base) != CURLE_OK || !base)
        return {};
    std::string resolved;
    if (CURLU* u = curl_url()) {
        char* full = nullptr;
        if (curl_url_set(u, CURLUPART_URL, base, 0) == CURLUE_OK &&
            curl_url_set(u, CURLUPART_URL, location.c_str(), CURLU_URLENCODE) == CURLUE_OK &&
            curl_url_get(u, CURLUPART_URL, &full, 0) == CURLUE_OK)
            resolved = full;
        curl_free(full);
        curl_url_cleanup(u);
    }
    return resolved;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user)
{
    auto* state = static_cast<TransferState*>(user);
    const size_t total = size * count;
    std::string line(data, total);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    if (line.rfind("HTTP/", 0) == 0) {
        state->location.clear();   // a new response begins
    } else if (line.size() > 9 && strncasecmp(line.c_str(), "location:", 9) == 0) {
        size_t start = 9;
        while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
            ++start;
        state->location = line.substr(start);
        while (!state->location.empty() && (state->location.back() == ' ' || state->location.back() == '\t'))
            state->location.pop_back();
    }
    return total;
}

ResponseHead ReadHead(TransferState* state)
{
    CURL* curl = state->curl;
    ResponseHead head;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &head.status);
    curl_off_t length = -1;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && length > 0)
        head.contentLength = static_cast<std::uint64_t>(length);
    if (head.status >= 300 && head.status <= 399)
        head.redirectUrl = ResolveLocation(curl, state->location);
    return head;
}

size_t OnBody(char* data, size_t size, size_t count, void* user)
{
    auto* state = static_cast<TransferState*>(user);
    const size_t total = size * count;
    if (total == 0)
        return 0;
    state->result->bodyStarted = true;
    if (!state->request->sink)
        return total;
    const ResponseHead head = ReadHead(state);
    // curl may hand over more than one buffer's worth; the helpers' per-chunk
    // rules (cancel checks, zero-byte cuts) are defined on buffer-sized reads.
    const size_t piece = std::max<size_t>(1, state->request->bufferSize);
    for (size_t done = 0; done < total; done += piece) {
        if (!state->request->sink(head, data + done, std::min(piece, total - done))) {
            state->result->stoppedBySink = true;
            return 0;
        }
    }
    return total;
}

// curl calls this often while data flows and about once a second while idle.
int OnProgress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t)
{
    auto* state = static_cast<TransferState*>(user);
    if (state->request->keepGoing && !state->request->keepGoing()) {
        state->result->stoppedBySink = true;
        return 1;
    }
    const auto now = std::chrono::steady_clock::now();
    if (received != state->lastReceived) {
        state->lastReceived = received;
        state->lastProgress = now;
    } else if (now - state->lastProgress > std::chrono::milliseconds(state->stallMs)) {
        state->stalled = true;
        return 1;
    }
    return 0;
}

std::string JoinHostPort(const char* host, const char* port)
{
    std::string text = host;
    // An IPv6 literal keeps its brackets in a URL.
    if (text.find(':') != std::string::npos)
        text = "[" + text + "]";
    if (port)
        text += std::string(":") + port;
    return text;
}

}  // namespace

void SetHttpTimeouts(const HttpTimeouts& timeouts)
{
    std::lock_guard<std::mutex> lock(g_configLock);
    g_timeouts = timeouts;
}

HttpTimeouts CurrentHttpTimeouts()
{
    std::lock_guard<std::mutex> lock(g_configLock);
    return g_timeouts;
}

void SetHttpTrustedCaFile(const std::string& pemPath)
{
    std::lock_guard<std::mutex> lock(g_configLock);
    g_caFile = pemPath;
}

TransferResult PerformGet(const TransferRequest& request)
{
    TransferResult result;
    EnsureCurlInitialised();
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.curlCode = CURLE_FAILED_INIT;
        return result;
    }
    HttpTimeouts timeouts;
    std::string caFile;
    {
        std::lock_guard<std::mutex> lock(g_configLock);
        timeouts = g_timeouts;
        caFile = g_caFile;
    }

    TransferState state;
    state.curl = curl;
    state.request = &request;
    state.result = &result;
    state.stallMs = timeouts.stallMs;
    curl_slist* headers = nullptr;
    for (const std::string& h : request.headers)
        headers = curl_slist_append(headers, h.c_str());

    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, kHttpUserAgent);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    if (headers)
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kAutomaticRedirectLimit);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE,
                     static_cast<long>(std::clamp<size_t>(request.bufferSize, 1024, 512 * 1024)));
    if (!request.user.empty() || !request.password.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, request.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, request.password.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
    }
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.empty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.c_str());
    if (request.tls12Only)
        curl_easy_setopt(curl, CURLOPT_SSLVERSION,
                         static_cast<long>(CURL_SSLVERSION_TLSv1_2) | static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));

    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeouts.connectMs);
    if (request.boundTotalTime)
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeouts.totalMs);

    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &state);
    // Also watches for a response that stops sending (no body byte for stallMs).
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &state);

    result.curlCode = static_cast<std::uint32_t>(curl_easy_perform(curl));
    if (state.stalled)
        result.curlCode = CURLE_OPERATION_TIMEDOUT;
    result.head = ReadHead(&state);

    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);
    return result;
}

bool CrackHttpUrl(const std::string& url, CrackedUrl& out)
{
    CURLU* u = curl_url();
    if (!u)
        return false;
    bool ok = false;
    char* scheme = nullptr;
    char* host = nullptr;
    char* port = nullptr;
    char* path = nullptr;
    char* query = nullptr;
    if (curl_url_set(u, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_PATH, &path, 0) == CURLUE_OK) {
        curl_url_get(u, CURLUPART_PORT, &port, 0);
        curl_url_get(u, CURLUPART_QUERY, &query, 0);
        const std::string s = scheme;
        if (s == "http" || s == "https") {
            out.secure = s == "https";
            out.hostAndPort = JoinHostPort(host, port);
            out.pathAndQuery = path;
            if (query)
                out.pathAndQuery += std::string("?") + query;
            ok = std::string(host).size() <= 255 && out.pathAndQuery.size() <= 2047;
        }
    }
    curl_free(scheme);
    curl_free(host);
    curl_free(port);
    curl_free(path);
    curl_free(query);
    curl_url_cleanup(u);
    return ok;
}

std::string TransportErrorText(std::uint32_t code)
{
    if (code == 0 || code >= CURL_LAST)
        return {};
    std::string text = curl_easy_strerror(static_cast<CURLcode>(code));
    if (text == "Unknown error")
        return {};
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                             text.back() == '.'))
        text.pop_back();
    return text;
}
