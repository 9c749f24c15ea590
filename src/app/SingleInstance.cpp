#include "app/SingleInstance.h"

#include "platform/Paths.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

int g_lockFd = -1;
int g_listenFd = -1;
int g_wakePipe[2] = {-1, -1};
std::thread g_serverThread;

std::string SocketPath() { return InstanceDir() + "/instance.sock"; }

bool FillAddress(sockaddr_un& addr)
{
    const std::string path = SocketPath();
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool WaitFor(int fd, short events, int timeoutMs)
{
    pollfd p{fd, events, 0};
    int r;
    do {
        r = poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & events);
}

bool WriteAll(int fd, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, void* data, size_t size, int timeoutMs)
{
    char* p = static_cast<char*>(data);
    while (size > 0) {
        if (!WaitFor(fd, POLLIN, timeoutMs))
            return false;
        const ssize_t n = recv(fd, p, size, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void ServeConnection(int fd, const InstanceHandler& handler)
{
    for (;;) {
        std::uint32_t header[2];
        if (!ReadAll(fd, header, sizeof header, 5000))
            return;
        const std::uint32_t kind = header[0];
        const std::uint32_t length = header[1];
        if (length > kMaxInstancePathBytes)
            return;
        std::string path(length, '\0');
        if (length > 0 && !ReadAll(fd, path.data(), length, 5000))
            return;
        InstanceRecord record;
        record.kind = static_cast<InstanceKind>(kind);
        record.path = std::move(path);
        const std::int32_t reply = handler(record);
        if (!WriteAll(fd, &reply, sizeof reply))
            return;
    }
}

}  // namespace

std::string InstanceDir()
{
    const std::string dir = RuntimeDir() + "/Corvane";
    MakeDirectories(dir);
    return dir;
}

bool AcquireInstanceLock()
{
    if (g_lockFd >= 0)
        return true;
    const std::string path = InstanceDir() + "/instance.lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;  // cannot tell: behave as the only instance
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    g_lockFd = fd;
    return true;
}

void ReleaseInstanceLock()
{
    if (g_lockFd >= 0) {
        close(g_lockFd);
        g_lockFd = -1;
    }
}

std::vector<InstanceRecord> RecordsForLaunch(const std::vector<std::string>& files)
{
    std::vector<InstanceRecord> records;
    for (const std::string& f : files) {
        records.push_back({records.empty() ? InstanceKind::FirstFile : InstanceKind::FurtherFile, f});
    }
    if (records.empty())
        records.push_back({InstanceKind::BringForward, {}});
    return records;
}

std::string EncodeInstanceRecord(const InstanceRecord& record)
{
    const std::uint32_t header[2] = {static_cast<std::uint32_t>(record.kind),
                                     static_cast<std::uint32_t>(record.path.size())};
    std::string out(reinterpret_cast<const char*>(header), sizeof header);
    out += record.path;
    return out;
}

bool SendToRunningInstance(const std::vector<InstanceRecord>& records, int replyTimeoutMs)
{
    sockaddr_un addr;
    if (!FillAddress(addr))
        return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return false;
    }
    for (const InstanceRecord& r : records) {
        const std::string wire = EncodeInstanceRecord(r);
        std::int32_t reply = 0;
        if (!WriteAll(fd, wire.data(), wire.size()) || !ReadAll(fd, &reply, sizeof reply, replyTimeoutMs))
            break;  // the instance went away mid-way; what arrived stays delivered
    }
    close(fd);
    return true;
}

bool StartInstanceServer(InstanceHandler handler)
{
    if (g_listenFd >= 0)
        return true;
    sockaddr_un addr;
    if (!FillAddress(addr))
        return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    unlink(addr.sun_path);  // left over from an instance that crashed; we hold the lock
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 8) != 0) {
        close(fd);
        return false;
    }
    if (pipe2(g_wakePipe, O_CLOEXEC) != 0) {
        close(fd);
        return false;
    }
    g_listenFd = fd;
    g_serverThread = std::thread([fd, handler = std::move(handler)] {
        for (;;) {
            pollfd fds[2] = {{fd, POLLIN, 0}, {g_wakePipe[0], POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (fds[1].revents)
                return;
            const int client = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            ServeConnection(client, handler);
            close(client);
        }
    });
    return true;
}

void StopInstanceServer()
{
    if (g_listenFd < 0)
        return;
    const char wake = 1;
    [[maybe_unused]] ssize_t n = write(g_wakePipe[1], &wake, 1);
    if (g_serverThread.joinable())
        g_serverThread.join();
    close(g_listenFd);
    g_listenFd = -1;
    close(g_wakePipe[0]);
    close(g_wakePipe[1]);
    g_wakePipe[0] = g_wakePipe[1] = -1;
    unlink(SocketPath().c_str());
}
