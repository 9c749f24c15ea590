#include "SsipTestServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cstring>

namespace {

void SendAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

SsipTestServer::SsipTestServer(const std::string& socketPath) : socketPath_(socketPath)
{
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath_.c_str(), sizeof address.sun_path - 1);
    unlink(socketPath_.c_str());
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 4) != 0) {
        close(listener_);
        listener_ = -1;
        return;
    }
    thread_ = std::thread([this] { Serve(); });
}

SsipTestServer::~SsipTestServer()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ >= 0)
        close(listener_);
    unlink(socketPath_.c_str());
}

std::vector<std::string> SsipTestServer::Requests()
{
    std::lock_guard<std::mutex> guard(lock_);
    return requests_;
}

void SsipTestServer::Record(const std::string& request)
{
    std::lock_guard<std::mutex> guard(lock_);
    requests_.push_back(request);
}

void SsipTestServer::Serve()
{
    while (!stop_) {
        pollfd ready{listener_, POLLIN, 0};
        if (poll(&ready, 1, 50) <= 0)
            continue;
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        Record("CONNECT");
        ServeClient(client);
        close(client);
    }
}

// One client at a time is enough: the program keeps a single connection.
void SsipTestServer::ServeClient(int client)
{
    std::string pending;
    bool receivingData = false;
    std::string data;
    while (!stop_) {
        pollfd ready{client, POLLIN, 0};
        if (poll(&ready, 1, 50) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        pending.append(buffer, static_cast<std::size_t>(n));
        std::size_t end;
        while ((end = pending.find("\r\n")) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 2);
            if (receivingData) {
                if (line == ".") {
                    receivingData = false;
                    Record("TEXT " + data);
                    SendAll(client, "225-42\r\n225 OK MESSAGE QUEUED\r\n");
                    if (dropAfterMessage_.exchange(false))
                        return;
                } else {
                    // SSIP doubles a leading dot inside the data.
                    const std::string unescaped = line.rfind("..", 0) == 0 ? line.substr(1) : line;
                    data += (data.empty() ? "" : "\n") + unescaped;
                }
                continue;
            }
            // SSIP commands are case-insensitive; record them in one case.
            std::string command = line;
            for (char& c : command)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            Record(command);
            if (command == "SPEAK") {
                receivingData = true;
                data.clear();
                SendAll(client, "230 OK RECEIVING DATA\r\n");
            } else if (command.rfind("CANCEL", 0) == 0) {
                SendAll(client, "210 OK CANCELED\r\n");
            } else if (command == "QUIT") {
                SendAll(client, "231 HAPPY HACKING\r\n");
                return;
            } else if (command.rfind("SET", 0) == 0) {
                SendAll(client, "203 OK SET\r\n");
            } else {
                SendAll(client, "200 OK\r\n");
            }
        }
    }
}
