#include "speech/ProcessLookup.h"

#include "platform/Paths.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

std::string Lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ReadLink(const std::string& path)
{
    char buffer[4096];
    const ssize_t length = readlink(path.c_str(), buffer, sizeof buffer - 1);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

std::string ReadFirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::vector<std::string> CommandLine(const std::string& procDir)
{
    std::ifstream in(procDir + "/cmdline", std::ios::binary);
    std::vector<std::string> arguments;
    std::string argument;
    while (std::getline(in, argument, '\0'))
        arguments.push_back(argument);
    return arguments;
}

// The path that names this process for the search: its executable, or for a
// script run through an interpreter the script (the kernel names the process
// after it).
bool MatchProcess(const std::string& procDir, const std::string& wanted, std::string& matched)
{
    // No executable: a kernel thread, a zombie or a process on its way out.
    const std::string executable = ReadLink(procDir + "/exe");
    if (executable.empty())
        return false;
    if (Lowered(executable).find(wanted) != std::string::npos) {
        matched = executable;
        return true;
    }
    const std::string command = ReadFirstLine(procDir + "/comm");
    if (command.empty() || Lowered(command).find(wanted) == std::string::npos)
        return false;
    matched = executable;
    for (const std::string& argument : CommandLine(procDir)) {
        if (FileNamePart(argument).rfind(command, 0) == 0) {
            matched = argument;
            break;
        }
    }
    return true;
}

int OpenProcessDescriptor(long pid)
{
#ifdef SYS_pidfd_open
    const long fd = syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0u);
    if (fd >= 0)
        return static_cast<int>(fd);
#endif
    // Older kernels: the /proc entry also refers to this very process.
    return open(("/proc/" + std::to_string(pid)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

extern "C" __attribute__((visibility("default"), used)) int
getProcessHandle(const char* exeName, char* pathOut, std::size_t pathOutSize)
{
    if (!exeName || !*exeName)
        return -1;
    const std::string wanted = Lowered(exeName);
    DIR* proc = opendir("/proc");
    if (!proc)
        return -1;
    int handle = -1;
    std::string matched;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        const std::string procDir = std::string("/proc/") + entry->d_name;
        if (!MatchProcess(procDir, wanted, matched))
            continue;
        handle = OpenProcessDescriptor(pid);
        if (handle >= 0)
            break;  // a process gone in between is skipped like on any scan
    }
    closedir(proc);
    if (handle >= 0 && pathOut && pathOutSize > 0) {
        const std::size_t length = std::min(matched.size(), pathOutSize - 1);
        std::memcpy(pathOut, matched.data(), length);
        pathOut[length] = '\0';
    }
    return handle;
}

extern "C" __attribute__((visibility("default"), used)) bool
FindProcess(const char* exeName, char* pathOut, std::size_t pathOutSize)
{
    const int handle = getProcessHandle(exeName, pathOut, pathOutSize);
    if (handle < 0)
        return false;
    close(handle);
    return true;
}
