#include "storage/IniFile.h"

#include "platform/Paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Read-modify-write cycles from different threads (the UI thread's saves,
// the extractor updater's version key) must not lose each other's keys.
std::mutex g_iniUpdateMutex;

bool ReadWholeFile(const std::string& path, std::string& out, bool& missing)
{
    missing = false;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a FIFO must not hang us
    if (fd < 0) {
        missing = errno == ENOENT || errno == ENOTDIR;
        return false;
    }
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    out.clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

std::string ResolveTarget(const std::string& path)
{
    struct stat st{};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved))
            return resolved;
    }
    return path;
}

}  // namespace

bool IniReadFile(const std::string& path, IniDocument& doc)
{
    std::string bytes;
    bool missing = false;
    if (!ReadWholeFile(path, bytes, missing)) {
        doc = IniParse({});
        return missing;
    }
    doc = IniParse(bytes);
    return true;
}

IniDocument IniLoadFile(const std::string& path)
{
    IniDocument doc;
    IniReadFile(path, doc);
    return doc;
}

bool IniSaveFile(const std::string& path, const IniDocument& doc)
{
    return WriteFileAtomically(path, IniSerialize(doc));
}

bool IniUpdateFile(const std::string& path, const std::function<void(IniDocument&)>& change)
{
    std::lock_guard<std::mutex> lock(g_iniUpdateMutex);
    IniDocument doc;
    // An unreadable file is not replaced: that would drop whatever it holds.
    if (!IniReadFile(path, doc))
        return false;
    change(doc);
    return IniSaveFile(path, doc);
}

int IniReadInt(const std::string& path, const std::string& section, const std::string& key, int def)
{
    return IniGetInt(IniLoadFile(path), section, key, def);
}

std::string IniReadString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def, size_t bufferChars)
{
    return IniGetString(IniLoadFile(path), section, key, def, bufferChars);
}

bool IniWriteString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value)
{
    bool stored = false;
    // A value that cannot be stored leaves the file as it is.
    IniDocument probe;
    if (!IniSetString(probe, section, key, value))
        return false;
    const bool written = IniUpdateFile(path, [&](IniDocument& doc) {
        stored = IniSetString(doc, section, key, value);
    });
    return written && stored;
}

bool IniClearSection(const std::string& path, const std::string& section)
{
    return IniUpdateFile(path, [&](IniDocument& doc) { IniClearSection(doc, section); });
}

bool WriteFileAtomically(const std::string& path, std::string_view data)
{
    if (path.empty())
        return false;
    const std::string target = ResolveTarget(path);
    std::string tmp = target + ".tmp-XXXXXX";
    const int fd = mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;

    // Keep the permissions of the file being replaced; a new file is private
    // to the user (it may hold an API key).
    struct stat st{};
    fchmod(fd, stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0600);

    const bool ok = WriteAll(fd, data) && fsync(fd) == 0;
    if (close(fd) != 0 || !ok || rename(tmp.c_str(), target.c_str()) != 0) {
        unlink(tmp.c_str());
        return false;
    }
    // Make the rename itself durable.
    const std::string dir = ParentDir(target);
    const int dfd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}
