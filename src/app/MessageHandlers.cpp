#include "app/MessageHandlers.h"

#include "app/MainFrame.h"
#include "playback/Chapters.h"
#include "playback/PlaybackSession.h"
#include "playback/StreamTitle.h"
#include "playback/TagBlocks.h"
#include "speech/AnnouncementQueue.h"
#include "storage/Database.h"
#include "storage/Settings.h"

namespace {

// A radio station changed its title: remember it and say it.
void CaptureStreamTitle(MainFrame& frame)
{
    const audio::Handle channel = g_session.source ? g_session.source : g_session.output;
    const std::string title = channel ? StreamTitle(ReadTagBlocks(g_session.tagChannel ? g_session.tagChannel : channel))
                                      : std::string();
    if (!title.empty()) {
        AddSongHistory(title);
        if (g_settings.speech.trackChange)
            Announce(title, true);
    }
    frame.RefreshTitle();
}

}  // namespace

void HandleAppMessage(MainFrame& frame, PostedMessage& message)
{
    switch (message.message) {
    case msg::WM_ANNOUNCE:
        DrainAnnouncements();
        break;
    case msg::WM_STREAM_TITLE:
        CaptureStreamTitle(frame);
        break;
    case msg::WM_DOWNLOAD_FINISHED:
        // Chapters may sit at the end of a file that has only now arrived.
        if (g_session.tagChannel && g_session.tagChannel == message.wParam && g_chapters.chapters.empty())
            ReadChapters(g_session.tagChannel);
        break;
    default:
        break;  // messages of subsystems that are not built are dropped
    }
}
