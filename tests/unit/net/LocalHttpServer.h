#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the client tests, plain or TLS.
// Each connection carries one request; a scripted handler writes the reply
// byte by byte as it likes (chunked, stalled, cut short, ...).
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

struct SeenRequest {
    std::string method;
    std::string target;
    std::vector<std::pair<std::string, std::string>> headers;

    // Values of every header with this name (case-insensitive), in order.
    std::vector<std::string> All(std::string_view name) const;
    std::string Get(std::string_view name) const;   // first value or empty
};

class ServerConnection {
public:
    virtual ~ServerConnection() = default;
    virtual bool Send(std::string_view bytes) = 0;
    // Blocks until the client hangs up, the server stops or the time passes.
    // True when the client hung up.
    virtual bool WaitForClientToLeave(std::chrono::milliseconds limit) = 0;
};

using RequestHandler = std::function<void(const SeenRequest&, ServerConnection&)>;

struct TlsFiles {
    std::string certificatePem;
    std::string privateKeyPem;
};

// Makes a self-signed certificate for 127.0.0.1 and localhost with the
// openssl command; empty paths when that fails.
TlsFiles MakeSelfSignedCertificate(const std::string& folder);

class LocalHttpServer {
public:
    explicit LocalHttpServer(RequestHandler handler, const TlsFiles* tls = nullptr);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool Running() const { return listenFd_ >= 0; }
    int Port() const { return port_; }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Url(std::string_view path) const;   // scheme://127.0.0.1:port + path
    std::vector<SeenRequest> Requests() const;

private:
    void AcceptLoop();
    void Serve(int fd);

    RequestHandler handler_;
    void* sslContext_ = nullptr;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex lock_;
    std::vector<SeenRequest> requests_;
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

// A whole reply with Content-Length and "Connection: close".
std::string HttpResponse(int status, std::string_view body, std::string_view extraHeaders = {});
std::string RedirectResponse(int status, std::string_view location);
