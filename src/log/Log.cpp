#include "log/Log.h"

#include "platform/Paths.h"
#include "platform/TextEncoding.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex g_logLock;               // serialises rotation and writing
std::atomic<bool> g_logEnabled{false};
std::string g_logPath;              // guarded by g_logLock

std::string TimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[64];
    std::snprintf(buf, sizeof buf, "[%04d-%02d-%02d %02d:%02d:%02d] ", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}

// Caller holds g_logLock. rename() replaces the earlier ".old" in one step.
void RotateIfLarge(const std::string& path)
{
    struct stat st{};
    if (stat(path.c_str(), &st) == 0 && static_cast<std::size_t>(st.st_size) > kLogRotateAbove)
        std::rename(path.c_str(), (path + ".old").c_str());
}

void WriteWhole(int fd, const std::string& line)
{
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::string DefaultLogPath()
{
    return XdgStateHome() + "/Corvane/corvane.log";
}

void LogStart(const std::string& path)
{
    {
        std::lock_guard<std::mutex> lock(g_logLock);
        if (path.empty()) {
            g_logPath = DefaultLogPath();
            MakeDirectories(ParentDir(g_logPath));
        } else {
            g_logPath = path;
        }
        g_logEnabled = true;
    }
    Log("INIT", "Corvane logger started");
}

void LogStop()
{
    if (!g_logEnabled)
        return;
    Log("EXIT", "Corvane logger stopped");
    std::lock_guard<std::mutex> lock(g_logLock);
    g_logEnabled = false;
    g_logPath.clear();
}

std::string LogFilePath()
{
    std::lock_guard<std::mutex> lock(g_logLock);
    return g_logPath;
}

void Log(std::string_view category, std::string_view message)
{
    if (!g_logEnabled)
        return;
    std::string line = TimeStamp();
    line += '[';
    line += category;
    line += "] ";
    line += message;
    line += "\r\n";

    std::lock_guard<std::mutex> lock(g_logLock);
    // Checked again under the lock: LogStop may have run in between.
    if (!g_logEnabled || g_logPath.empty())
        return;
    RotateIfLarge(g_logPath);
    const int fd = ::open(g_logPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    WriteWhole(fd, line);
    ::close(fd);
}

void LogFormat(const char* category, const char* format, ...)
{
    if (!g_logEnabled)
        return;
    char buf[kLogFormatLimit + 1];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n < 0)
        return;
    Log(category ? category : "", buf);
}

void LogWide(std::string_view category, std::u16string_view message)
{
    if (!g_logEnabled)
        return;
    Log(category, Utf16ToUtf8(message));
}
