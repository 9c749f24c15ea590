#include "net/DownloadFile.h"

#include "platform/Paths.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<unsigned> g_tempCounter{0};

void SyncFolderOf(const std::string& path)
{
    std::string dir = ParentDir(path);
    if (dir.empty())
        dir = ".";
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool CreatePendingFileAt(PendingFile& file, const std::string& finalPath, const std::string& tempPath)
{
    file.finalPath = finalPath;
    file.tempPath = tempPath;
    file.fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file.fd < 0) {
        file.tempPath.clear();
        return false;
    }
    return true;
}

bool CreatePendingFile(PendingFile& file, const std::string& finalPath)
{
    file.finalPath = finalPath;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = finalPath + ".part-" + std::to_string(::getpid()) + "-" +
                                      std::to_string(g_tempCounter.fetch_add(1));
        file.fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd >= 0) {
            file.tempPath = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool WritePending(PendingFile& file, const char* data, std::size_t size)
{
    if (file.fd < 0)
        return false;
    while (size > 0) {
        const ssize_t n = ::write(file.fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CommitPending(PendingFile& file)
{
    if (file.fd < 0)
        return false;
    struct stat existing{};
    if (::stat(file.finalPath.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(file.fd, existing.st_mode & 07777);
    const bool synced = ::fsync(file.fd) == 0;
    const bool closed = ::close(file.fd) == 0;
    file.fd = -1;
    if (!synced || !closed || std::rename(file.tempPath.c_str(), file.finalPath.c_str()) != 0) {
        ::unlink(file.tempPath.c_str());
        file.tempPath.clear();
        return false;
    }
    file.tempPath.clear();
    SyncFolderOf(file.finalPath);
    return true;
}

void DiscardPending(PendingFile& file)
{
    if (file.fd >= 0)
        ::close(file.fd);
    file.fd = -1;
    if (!file.tempPath.empty())
        ::unlink(file.tempPath.c_str());
    file.tempPath.clear();
}
