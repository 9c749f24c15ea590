#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace audiotest {

namespace {

int BoundSocket(int* port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    *port = ntohs(addr.sin_port);
    return fd;
}

}  // namespace

int UnusedPort()
{
    int port = 0;
    close(BoundSocket(&port));
    return port;
}

TestHttpServer::TestHttpServer(Handler handler) : handler_(std::move(handler))
{
    listenFd_ = BoundSocket(&port_);
    listen(listenFd_, 16);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

TestHttpServer::~TestHttpServer()
{
    stopping_ = true;
    shutdown(listenFd_, SHUT_RDWR);
    acceptThread_.join();
    close(listenFd_);
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& t : connections_)
        t.join();
}

std::string TestHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string TestHttpServer::LastRequest()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lastRequest_;
}

bool TestHttpServer::Send(int fd, const std::string& bytes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t n = send(fd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        at += static_cast<std::size_t>(n);
    }
    return true;
}

void TestHttpServer::AcceptLoop()
{
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        const int fd = accept(listenFd_, nullptr, nullptr);
        if (fd < 0)
            continue;
        std::lock_guard<std::mutex> lock(mutex_);
        connections_.emplace_back([this, fd] {
            std::string request;
            char buf[2048];
            while (request.find("\r\n\r\n") == std::string::npos) {
                pollfd p{fd, POLLIN, 0};
                if (stopping_ || poll(&p, 1, 100) < 0)
                    break;
                if (!(p.revents & POLLIN))
                    continue;
                const ssize_t n = recv(fd, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                request.append(buf, static_cast<std::size_t>(n));
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                lastRequest_ = request;
            }
            handler_(fd, request, stopping_);
            close(fd);
        });
    }
}

}  // namespace audiotest
