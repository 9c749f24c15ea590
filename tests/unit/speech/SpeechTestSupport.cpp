#include "SpeechTestSupport.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

ScratchDir::ScratchDir()
{
    std::string pattern = std::filesystem::temp_directory_path().string() + "/corvane-speech-XXXXXX";
    if (mkdtemp(pattern.data()))
        path = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    if (!path.empty())
        std::filesystem::remove_all(path, ignored);
}

NamedProcess::NamedProcess(const std::string& folder, const std::string& fileName, bool asScript)
{
    executable = folder + "/" + fileName;
    if (asScript) {
        // Waits on a pipe nobody writes to, inside the shell itself: a child
        // process would carry the script's name for a moment too.
        const std::string fifo = executable + ".fifo";
        mkfifo(fifo.c_str(), 0600);
        std::ofstream(executable) << "#!/bin/sh\nread line < '" << fifo << "'\n";
        std::filesystem::permissions(executable, std::filesystem::perms::owner_all);
    } else {
        std::filesystem::copy_file("/bin/sleep", executable);
    }
    char* argv[] = {executable.data(), const_cast<char*>("60"), nullptr};
    // Its own process group, so that a script's children go with it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int spawned = posix_spawn(&pid, executable.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        pid = -1;
        return;
    }
    // Wait until the kernel shows the new image, name and arguments, not
    // our forked copy or an exec half done.
    const std::string proc = "/proc/" + std::to_string(pid);
    for (int i = 0; i < 400; ++i) {
        std::string name;
        std::getline(std::ifstream(proc + "/comm"), name);
        std::string arguments;
        std::getline(std::ifstream(proc + "/cmdline"), arguments);
        if (!name.empty() && fileName.rfind(name, 0) == 0 &&
            arguments.find(executable) != std::string::npos)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

NamedProcess::~NamedProcess()
{
    if (pid > 0) {
        kill(-pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}
