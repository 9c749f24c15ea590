#include "storage/PlaylistState.h"

#include "playlist/Playlist.h"
#include "storage/IniEncoding.h"
#include "storage/IniFile.h"
#include "storage/Settings.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr size_t kEntryChars = 2048;

// Playlist keys "Track<n>" with n in 0 .. count-1, as "Track%d" spells them.
// Walking the section rather than every n keeps a huge stored TrackCount
// from stalling the start.
std::map<int, std::string> StoredTracks(const IniDocument& doc, int count)
{
    std::map<int, std::string> tracks;
    for (const auto& [key, value] : IniSectionEntries(doc, "Playlist")) {
        if (key.size() < 6 || key.size() > 15)
            continue;
        std::string prefix = key.substr(0, 5);
        for (char& c : prefix)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        const std::string digits = key.substr(5);
        if (prefix != "track" || digits.find_first_not_of("0123456789") != std::string::npos ||
            (digits.size() > 1 && digits[0] == '0'))
            continue;
        const long long n = std::stoll(digits);
        if (n < count && !tracks.count(static_cast<int>(n)))
            tracks.emplace(static_cast<int>(n), TruncateToBuffer(value, kEntryChars));
    }
    return tracks;
}

}  // namespace

bool SavePlaylistStateTo(const std::string& path, double positionSeconds)
{
    const bool remember = g_settings.playback.rememberState;
    return IniUpdateFile(path, [&](IniDocument& doc) {
        IniClearSection(doc, "Playlist");
        std::string lastFile;
        std::string lastPosition = "0";
        int count = 0;
        int current = 0;
        if (remember) {
            const auto& entries = g_playlist.entries;
            count = static_cast<int>(entries.size());
            for (size_t i = 0; i < entries.size(); ++i) {
                // An entry with a line break cannot be stored; an empty
                // value keeps the numbering and is skipped on restore.
                const std::string key = "Track" + std::to_string(i);
                if (!IniSetString(doc, "Playlist", key, entries[i]))
                    IniSetString(doc, "Playlist", key, "");
            }
            current = g_playlist.current;
            if (current >= 0 && current < count) {
                lastFile = entries[static_cast<size_t>(current)];
                const double pos = std::isfinite(positionSeconds) ? std::max(0.0, positionSeconds) : 0.0;
                lastPosition = IniFormatDouble(pos, 2);
            }
        }
        IniSetString(doc, "State", "TrackCount", std::to_string(count));
        IniSetString(doc, "State", "CurrentTrack", std::to_string(current));
        if (!IniSetString(doc, "State", "LastFile", lastFile))
            IniSetString(doc, "State", "LastFile", "");
        IniSetString(doc, "State", "LastPosition", lastPosition);
    });
}

bool SavePlaylistState(double positionSeconds)
{
    return SavePlaylistStateTo(SettingsFilePath(), positionSeconds);
}

PlaylistRestore RestorePlaylistStateFrom(const std::string& path)
{
    PlaylistRestore result;
    if (!g_settings.playback.rememberState)
        return result;
    const IniDocument doc = IniLoadFile(path);
    const int count = IniGetInt(doc, "State", "TrackCount", 0);
    int current = IniGetInt(doc, "State", "CurrentTrack", 0);
    g_playlist.entries.clear();
    g_playlist.current = -1;

    if (count > 0) {
        for (auto& [n, entry] : StoredTracks(doc, count))
            if (!entry.empty())
                g_playlist.entries.push_back(std::move(entry));
    }
    if (!g_playlist.entries.empty()) {
        if (current < 0 || current >= static_cast<int>(g_playlist.entries.size()))
            current = 0;
    } else {
        std::string lastFile = IniGetString(doc, "State", "LastFile", "", kEntryChars);
        if (lastFile.empty())
            return result;
        g_playlist.entries.push_back(std::move(lastFile));
        current = 0;
    }
    g_playlist.current = current;
    result.open = true;
    result.index = current;
    const double pos = IniParseDouble(IniGetString(doc, "State", "LastPosition", "0", 32));
    result.positionSeconds = pos > 0 ? pos : 0.0;
    return result;
}

PlaylistRestore RestorePlaylistState()
{
    return RestorePlaylistStateFrom(SettingsFilePath());
}
