#include "speech/CaptureEngine.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct CaptureEngine : ScreenReaderEngine {
    explicit CaptureEngine(std::string path) : ScreenReaderEngine("Capture"), logPath(std::move(path)) {}

    bool IsRunning() override
    {
        if (logPath == "-")
            return true;
        const int fd = OpenLog();
        if (fd < 0)
            return false;
        close(fd);
        return true;
    }
    bool Speak(const std::string& text, bool interrupt) override
    {
        return WriteLine(std::string("SPEAK ") + (interrupt ? "1 " : "0 ") + EscapeCaptureText(text));
    }
    bool StopOutput() override { return WriteLine("STOP"); }
    bool Braille(const std::string& text) override
    {
        return WriteLine("BRAILLE " + EscapeCaptureText(text));
    }
    void Unload() override {}

    int OpenLog() const
    {
        return open(logPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    }

    // Opened per line in append mode, so a reader may truncate or remove the
    // file between calls, and each line lands whole with one write.
    bool WriteLine(std::string line) const
    {
        line += '\n';
        if (logPath == "-") {
            const bool written = std::fwrite(line.data(), 1, line.size(), stdout) == line.size();
            return std::fflush(stdout) == 0 && written;
        }
        const int fd = OpenLog();
        if (fd < 0)
            return false;
        std::size_t done = 0;
        while (done < line.size()) {
            const ssize_t n = write(fd, line.data() + done, line.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        close(fd);
        return done == line.size();
    }

    std::string logPath;
};

}  // namespace

std::unique_ptr<ScreenReaderEngine> MakeCaptureEngine(const std::string& logPath)
{
    return std::make_unique<CaptureEngine>(logPath);
}

std::string EscapeCaptureText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}
