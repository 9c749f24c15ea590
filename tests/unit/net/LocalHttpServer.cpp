#include "LocalHttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char* ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

class Connection : public ServerConnection {
public:
    Connection(int fd, SSL* ssl, const std::atomic<bool>& stopping) : fd_(fd), ssl_(ssl), stopping_(stopping) {}

    bool Send(std::string_view bytes) override
    {
        while (!bytes.empty()) {
            const int n = ssl_ ? SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size()))
                               : static_cast<int>(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL));
            if (n <= 0) {
                if (!ssl_ && n < 0 && errno == EINTR)
                    continue;
                return false;
            }
            bytes.remove_prefix(static_cast<size_t>(n));
        }
        return true;
    }

    bool WaitForClientToLeave(std::chrono::milliseconds limit) override
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!stopping_ && std::chrono::steady_clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                char buf[256];
                const ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_PEEK | MSG_DONTWAIT);
                if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR) || (p.revents & (POLLHUP | POLLERR)))
                    return true;
                if (n > 0)   // the client talked (a TLS alert or more data): drain and keep watching
                    ::recv(fd_, buf, static_cast<size_t>(n), MSG_DONTWAIT);
            }
        }
        return false;
    }

private:
    int fd_;
    SSL* ssl_;
    const std::atomic<bool>& stopping_;
};

bool ReadRequestHead(int fd, SSL* ssl, std::string& head)
{
    char buf[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int n = ssl ? SSL_read(ssl, buf, sizeof buf) : static_cast<int>(::recv(fd, buf, sizeof buf, 0));
        if (n <= 0)
            return false;
        head.append(buf, static_cast<size_t>(n));
    }
    return head.find("\r\n\r\n") != std::string::npos;
}

SeenRequest ParseRequest(const std::string& head)
{
    SeenRequest r;
    size_t pos = head.find("\r\n");
    const std::string first = head.substr(0, pos);
    const size_t sp1 = first.find(' ');
    const size_t sp2 = first.find(' ', sp1 + 1);
    r.method = first.substr(0, sp1);
    r.target = first.substr(sp1 + 1, sp2 - sp1 - 1);
    while (pos != std::string::npos) {
        const size_t start = pos + 2;
        pos = head.find("\r\n", start);
        const std::string line = head.substr(start, pos - start);
        if (line.empty())
            break;
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        size_t valueStart = colon + 1;
        while (valueStart < line.size() && line[valueStart] == ' ')
            ++valueStart;
        r.headers.emplace_back(line.substr(0, colon), line.substr(valueStart));
    }
    return r;
}

}  // namespace

std::vector<std::string> SeenRequest::All(std::string_view name) const
{
    std::vector<std::string> values;
    for (const auto& [key, value] : headers) {
        if (key.size() == name.size() && strncasecmp(key.c_str(), name.data(), name.size()) == 0)
            values.push_back(value);
    }
    return values;
}

std::string SeenRequest::Get(std::string_view name) const
{
    const auto values = All(name);
    return values.empty() ? std::string() : values.front();
}

TlsFiles MakeSelfSignedCertificate(const std::string& folder)
{
    TlsFiles files{folder + "/cert.pem", folder + "/key.pem"};
    const std::string command =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
        " -subj /CN=localhost -addext subjectAltName=IP:127.0.0.1,DNS:localhost"
        " -keyout '" + files.privateKeyPem + "' -out '" + files.certificatePem + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return {};
    return files;
}

LocalHttpServer::LocalHttpServer(RequestHandler handler, const TlsFiles* tls) : handler_(std::move(handler))
{
    std::signal(SIGPIPE, SIG_IGN);
    if (tls) {
        SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
        if (!ctx || SSL_CTX_use_certificate_file(ctx, tls->certificatePem.c_str(), SSL_FILETYPE_PEM) != 1 ||
            SSL_CTX_use_PrivateKey_file(ctx, tls->privateKeyPem.c_str(), SSL_FILETYPE_PEM) != 1) {
            SSL_CTX_free(ctx);
            return;
        }
        sslContext_ = ctx;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    listenFd_ = fd;
    port_ = ntohs(addr.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

LocalHttpServer::~LocalHttpServer()
{
    stopping_ = true;
    if (acceptor_.joinable())
        acceptor_.join();
    for (std::thread& t : workers_)
        t.join();
    if (listenFd_ >= 0)
        ::close(listenFd_);
    SSL_CTX_free(static_cast<SSL_CTX*>(sslContext_));
}

std::string LocalHttpServer::Url(std::string_view path) const
{
    return std::string(sslContext_ ? "https://" : "http://") + HostPort() + std::string(path);
}

std::vector<SeenRequest> LocalHttpServer::Requests() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return requests_;
}

void LocalHttpServer::AcceptLoop()
{
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard<std::mutex> guard(lock_);
        workers_.emplace_back([this, fd] { Serve(fd); });
    }
}

void LocalHttpServer::Serve(int fd)
{
    SSL* ssl = nullptr;
    if (sslContext_) {
        ssl = SSL_new(static_cast<SSL_CTX*>(sslContext_));
        SSL_set_fd(ssl, fd);
        if (SSL_accept(ssl) != 1) {
            SSL_free(ssl);
            ::close(fd);
            return;
        }
    }
    std::string head;
    if (ReadRequestHead(fd, ssl, head)) {
        const SeenRequest request = ParseRequest(head);
        {
            std::lock_guard<std::mutex> guard(lock_);
            requests_.push_back(request);
        }
        Connection connection(fd, ssl, stopping_);
        handler_(request, connection);
    }
    if (ssl) {
        SSL_shutdown(ssl);
        SSL_free(ssl);
    }
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

std::string HttpResponse(int status, std::string_view body, std::string_view extraHeaders)
{
    std::string reply = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
    reply += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    reply += "Connection: close\r\n";
    reply += extraHeaders;
    reply += "\r\n";
    reply += body;
    return reply;
}

std::string RedirectResponse(int status, std::string_view location)
{
    return HttpResponse(status, "moved", "Location: " + std::string(location) + "\r\n");
}
