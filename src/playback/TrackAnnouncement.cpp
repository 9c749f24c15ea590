#include "playback/TrackAnnouncement.h"

#include "playback/Id3v1.h"
#include "playback/PlaybackSession.h"
#include "playback/StreamTitle.h"
#include "playback/TagBlocks.h"
#include "playback/TagReader.h"

std::string TrackAnnouncementText(const TagBlocks& blocks, const std::string& entry)
{
    std::string text = StreamTitle(blocks);
    if (!text.empty())
        return text;

    std::string title = GetTag(blocks, "TITLE");
    std::string artist = GetTag(blocks, "ARTIST");
    if (title.empty()) {
        Id3v1Fields v1;
        if (ReadId3v1(blocks.id3v1, &v1)) {
            title = v1.title;
            if (artist.empty())
                artist = v1.artist;
        }
    }
    if (!title.empty())
        return artist.empty() ? title : artist + " - " + title;

    const auto slash = entry.find_last_of("\\/");
    return slash == std::string::npos ? entry : entry.substr(slash + 1);
}

std::string TrackAnnouncementText(const std::string& entry)
{
    return TrackAnnouncementText(ReadTagBlocks(g_session.tagChannel), entry);
}
