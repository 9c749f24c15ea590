#pragma once
// Helpers shared by the speech tests: a scratch folder, a stand-in process
// with a chosen name, and the lines of a capture file.
#include <string>
#include <sys/types.h>
#include <vector>

// A fresh folder under the temporary directory, removed with its files.
struct ScratchDir {
    ScratchDir();
    ~ScratchDir();
    std::string path;
};

// Runs a copy of sleep under the given file name (or, with asScript, a
// shell script of that name that waits in the shell) until destroyed.
struct NamedProcess {
    NamedProcess(const std::string& folder, const std::string& fileName, bool asScript = false);
    ~NamedProcess();
    std::string executable;
    pid_t pid = -1;
};

std::vector<std::string> ReadLines(const std::string& path);
