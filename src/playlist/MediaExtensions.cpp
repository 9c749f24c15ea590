#include "playlist/MediaExtensions.h"

#include <algorithm>

namespace {

template <size_t N>
bool ExtensionIn(std::string_view path, const std::array<std::string_view, N>& list)
{
    const std::string ext = LowerExtension(path);
    return !ext.empty() && std::find(list.begin(), list.end(), ext) != list.end();
}

}  // namespace

std::string LowerExtension(std::string_view path)
{
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos)
        return {};
    std::string ext(name.substr(dot));
    // ASCII only: a byte of a multi-byte UTF-8 sequence must stay as it is.
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return ext;
}

bool HasAudioExtension(std::string_view path) { return ExtensionIn(path, AudioExtensions); }
bool HasVideoExtension(std::string_view path) { return ExtensionIn(path, VideoExtensions); }
bool IsPlaylistFile(std::string_view path) { return ExtensionIn(path, PlaylistExtensions); }
