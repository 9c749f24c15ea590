#include "playlist/ClipboardMedia.h"

#include "platform/Paths.h"
#include "playlist/FolderScan.h"
#include "playlist/MediaExtensions.h"

namespace {

std::string Trimmed(const std::string& line)
{
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = line.find_last_not_of(" \t");
    return line.substr(first, last - first + 1);
}

bool IsStreamLine(const std::string& line)
{
    for (const char* prefix : {"http://", "https://", "mms://", "rtsp://"}) {
        if (line.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

}  // namespace

std::vector<std::string> MediaFromClipboard(const std::vector<std::string>& files, const std::string& text)
{
    std::vector<std::string> out;
    for (const std::string& path : files) {
        if (IsDirectory(path))
            ScanFolder(path, 0, out);
        else if (PathExists(path) && (HasAudioExtension(path) || HasVideoExtension(path)))
            out.push_back(path);
    }
    if (!out.empty())
        return out;

    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        const std::string line = Trimmed(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? text.size() : end + 1;
        if (line.empty())
            continue;
        if (IsStreamLine(line))
            out.push_back(line);
        else if (IsDirectory(line))
            ScanFolder(line, 0, out);
        else if (PathExists(line) && HasAudioExtension(line))
            out.push_back(line);
    }
    return out;
}
