#pragma once
// Finding a running process by its executable name. Exported from the
// program under these plain names, so other tools can call them.
#include <cstddef>

extern "C" {

// An open descriptor on the first process whose executable path contains
// exeName (case-insensitive), or -1. For an interpreted script the script's
// name is matched as well. pathOut, when given, receives the matched path,
// cut to pathOutSize - 1 bytes and always terminated. The caller closes the
// descriptor.
int getProcessHandle(const char* exeName, char* pathOut, std::size_t pathOutSize);

// Whether such a process runs; same arguments.
bool FindProcess(const char* exeName, char* pathOut, std::size_t pathOutSize);
}
