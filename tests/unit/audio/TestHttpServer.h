#pragma once
// A small HTTP/ICY server on 127.0.0.1 for the URL stream tests. Each
// connection runs the handler on its own thread with the request's text.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace audiotest {

class TestHttpServer {
public:
    using Handler = std::function<void(int fd, const std::string& request, const std::atomic<bool>& stopping)>;

    explicit TestHttpServer(Handler handler);
    ~TestHttpServer();

    int port() const { return port_; }
    std::string Url(const std::string& path) const;
    std::string LastRequest();

    // Writes everything; false once the peer is gone.
    static bool Send(int fd, const std::string& bytes);

private:
    void AcceptLoop();

    Handler handler_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    std::mutex mutex_;
    std::vector<std::thread> connections_;
    std::string lastRequest_;
};

// The listening port of a socket that was bound and closed: nothing answers there.
int UnusedPort();

}  // namespace audiotest
