#pragma once
// One GET over libcurl, shared by the HTTP helpers. Each call builds and
// frees its own handle; nothing is pooled between calls.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What is known of the response whose body is arriving.
struct ResponseHead {
    long status = 0;
    std::uint64_t contentLength = 0;    // 0 when the server sent none
    std::string redirectUrl;            // absolute Location of a 3xx, when given
};

// Gets the body in pieces of at most TransferRequest::bufferSize bytes.
// Returning false stops the transfer, which then reports a write error.
using BodySink = std::function<bool(const ResponseHead& head, const char* data, std::size_t size)>;

struct TransferRequest {
    std::string url;
    std::vector<std::string> headers;   // "Name: value"; "Name:" removes a default header
    bool followRedirects = true;        // at most kAutomaticRedirectLimit
    std::size_t bufferSize = 16384;     // largest piece handed to the sink
    std::string user;                   // credentials, used when either is set
    std::string password;
    bool tls12Only = false;
    bool boundTotalTime = true;         // off for file downloads, which may take long
    std::function<bool()> keepGoing;    // polled during the transfer, also while idle
    BodySink sink;
};

struct TransferResult {
    std::uint32_t curlCode = 0;         // 0 = complete (a CURLcode)
    bool bodyStarted = false;           // the sink saw at least one byte
    bool stoppedBySink = false;         // the sink or keepGoing asked to stop
    ResponseHead head;                  // of the last response; status 0 when none
};

// The number of redirects the transport follows by itself.
constexpr long kAutomaticRedirectLimit = 10;

TransferResult PerformGet(const TransferRequest& request);

// URL pieces as the Windows URL cracker gives them; false when the URL is not
// http(s) or a piece exceeds its buffer (host 255, path and query 2047).
struct CrackedUrl {
    bool secure = false;
    std::string hostAndPort;            // "host" or "host:port"
    std::string pathAndQuery;           // starts with "/"
};
bool CrackHttpUrl(const std::string& url, CrackedUrl& out);
