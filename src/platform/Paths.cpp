#include "platform/Paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string EnvOr(const char* name, const std::string& fallback)
{
    const char* v = std::getenv(name);
    if (v && *v == '/')
        return v;
    return fallback;
}

std::string StripTrailingSlash(std::string p)
{
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

}  // namespace

std::string ExecutablePath()
{
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    return std::string(buf, static_cast<size_t>(n));
}

std::string ExecutableDir()
{
    return ParentDir(ExecutablePath());
}

std::string ResourceDir()
{
    const std::string exeDir = ExecutableDir();
    if (IsDirectory(exeDir + "/docs") || IsDirectory(exeDir + "/lib"))
        return exeDir;
    // <prefix>/bin/corvane -> <prefix>/share/corvane
    const std::string shared = ParentDir(exeDir) + "/share/corvane";
    if (IsDirectory(shared))
        return shared;
    return exeDir;
}

bool IsInstalledCopy()
{
    const std::string exeDir = ExecutableDir();
    if (PathExists(exeDir + "/installed.txt"))
        return true;
    for (const char* prefix : {"/usr/bin", "/usr/local/bin", "/opt/"}) {
        if (exeDir.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

std::string HomeDir()
{
    const char* h = std::getenv("HOME");
    if (h && *h)
        return StripTrailingSlash(h);
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return StripTrailingSlash(pw->pw_dir);
    return "/tmp";
}

std::string XdgConfigHome() { return StripTrailingSlash(EnvOr("XDG_CONFIG_HOME", HomeDir() + "/.config")); }
std::string XdgStateHome() { return StripTrailingSlash(EnvOr("XDG_STATE_HOME", HomeDir() + "/.local/state")); }
std::string XdgCacheHome() { return StripTrailingSlash(EnvOr("XDG_CACHE_HOME", HomeDir() + "/.cache")); }

std::string XdgMusicDir()
{
    const std::string home = HomeDir();
    std::ifstream in(XdgConfigHome() + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "XDG_MUSIC_DIR=";
        if (line.rfind(key, 0) != 0)
            continue;
        std::string v = line.substr(key.size());
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
            v = v.substr(1, v.size() - 2);
        if (v.rfind("$HOME", 0) == 0)
            v = home + v.substr(5);
        if (!v.empty() && v[0] == '/')
            return StripTrailingSlash(v);
    }
    return home + "/Music";
}

std::string RuntimeDir()
{
    const char* v = std::getenv("XDG_RUNTIME_DIR");
    if (v && *v == '/' && IsDirectory(v))
        return StripTrailingSlash(v);
    const std::string dir = "/tmp/corvane-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    return dir;
}

std::string UserDataDir()
{
    if (IsInstalledCopy()) {
        const std::string dir = XdgConfigHome() + "/Corvane";
        MakeDirectories(dir);
        return dir;
    }
    return ExecutableDir();
}

bool MakeDirectories(const std::string& path)
{
    if (path.empty())
        return false;
    if (IsDirectory(path))
        return true;
    const std::string parent = ParentDir(path);
    if (!parent.empty() && parent != path)
        MakeDirectories(parent);
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST ? IsDirectory(path) : false;
}

bool PathExists(const std::string& path)
{
    struct stat st{};
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path)
{
    struct stat st{};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string FileNamePart(const std::string& path)
{
    const auto pos = path.find_last_of("/\\");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string ParentDir(const std::string& path)
{
    const auto pos = path.find_last_of('/');
    if (pos == std::string::npos)
        return {};
    if (pos == 0)
        return "/";
    return path.substr(0, pos);
}
