#pragma once
// A small SSIP peer on a Unix socket that answers like the speech service
// and records what it was sent, so a test can check the exact requests.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SsipTestServer {
public:
    explicit SsipTestServer(const std::string& socketPath);
    ~SsipTestServer();

    // Value for SPEECHD_ADDRESS.
    std::string Address() const { return "unix_socket:" + socketPath_; }

    // Requests in arrival order: command lines in upper case ("CANCEL ALL"), spoken
    // data as "TEXT <text>", a new client as "CONNECT".
    std::vector<std::string> Requests();

    // Hang up on the current client after it has queued its next message,
    // as a restarted service would.
    void DropAfterNextMessage() { dropAfterMessage_ = true; }

private:
    void Serve();
    void ServeClient(int client);
    void Record(const std::string& request);

    std::string socketPath_;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<bool> dropAfterMessage_{false};
    std::mutex lock_;
    std::vector<std::string> requests_;
    std::thread thread_;
};
