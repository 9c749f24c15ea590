// What the settings take from the machine rather than the file: where the
// file lives, the user's language and the extractor program.
#include "storage/Settings.h"

#include "platform/Paths.h"

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

bool IsExecutableFile(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string SettingsFilePath()
{
    static const std::string path = [] {
        std::string dir = UserDataDir();
        if (dir.empty()) {  // the executable's folder is unknown
            dir = XdgConfigHome() + "/Corvane";
            MakeDirectories(dir);
        }
        return dir + "/Corvane.ini";
    }();
    return path;
}

std::string SystemLanguageCode()
{
    // The locale of messages, as gettext picks it: LC_ALL, LC_MESSAGES,
    // LANG; LANGUAGE's first choice wins unless the locale is plain C.
    std::string locale = Env("LC_ALL");
    if (locale.empty())
        locale = Env("LC_MESSAGES");
    if (locale.empty())
        locale = Env("LANG");
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0)
        return "en";
    std::string language = locale;
    const std::string preferred = Env("LANGUAGE");
    if (const std::string first = preferred.substr(0, preferred.find(':')); !first.empty())
        language = first;
    const std::string primary = language.substr(0, language.find_first_of("_.@-"));
    return primary == "fr" || primary == "FR" || primary == "Fr" ? "fr" : "en";
}

std::string DetectExtractorPath()
{
    const std::string exeDir = ExecutableDir();
    const std::string candidates[] = {
        XdgStateHome() + "/Corvane/yt-dlp",
        exeDir + "/lib/yt-dlp",
        exeDir + "/yt-dlp",
    };
    for (const std::string& c : candidates)
        if (IsExecutableFile(c))
            return c;

    // Only absolute PATH entries: an empty or relative one would run a
    // program from whatever the current folder happens to be.
    const std::string path = Env("PATH");
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find(':', start), path.size());
        const std::string dir = path.substr(start, end - start);
        if (!dir.empty() && dir[0] == '/' && IsExecutableFile(dir + "/yt-dlp"))
            return dir + "/yt-dlp";
        start = end + 1;
    }
    return {};
}
