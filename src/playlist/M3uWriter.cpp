#include "playlist/PlaylistFiles.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Creates a new file beside path; mode 0666 lets the umask decide, as for
// any file the user saves.
int CreateTemporaryBeside(const std::string& path, std::string& tempPath)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void SyncFolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

bool WriteM3u(const std::string& path, const std::vector<std::string>& entries)
{
    if (path.empty())
        return false;
    std::string text = "\xEF\xBB\xBF#EXTM3U\r\n";
    for (const std::string& entry : entries) {
        if (entry.empty() || entry.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            continue;
        text += entry;
        text += "\r\n";
    }

    std::string tempPath;
    const int fd = CreateTemporaryBeside(path, tempPath);
    if (fd < 0)
        return false;
    // Overwriting keeps the permissions the old file had.
    struct stat old{};
    if (stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        fchmod(fd, old.st_mode & 07777);
    bool ok = WriteAll(fd, text) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(tempPath.c_str(), path.c_str()) != 0) {
        unlink(tempPath.c_str());
        return false;
    }
    SyncFolderOf(path);
    return true;
}
