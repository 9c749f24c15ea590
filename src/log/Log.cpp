#include "log/Log.h"

#include "platform/Paths.h"

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

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

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
