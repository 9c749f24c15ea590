#include "playback/Seeking.h"

#include "app/StatusText.h"
#include "playback/Chapters.h"
#include "playback/PlaybackSession.h"
#include "playback/SeekUnits.h"
#include "playlist/Playlist.h"
#include "speech/AnnouncementQueue.h"
#include "storage/Settings.h"
#include "tempo/TempoProcessor.h"

#include <algorithm>

namespace {

SeekContext CurrentSeekContext()
{
    SeekContext c;
    c.queueSize = static_cast<int>(g_playlist.entries.size());
    c.chapterCount = static_cast<int>(g_chapters.chapters.size());
    return c;
}

// The processor of an open item, or null.
TempoProcessor* ActiveProcessor()
{
    if (!g_session.output)
        return nullptr;
    TempoProcessor* p = CurrentTempoProcessor();
    return p && p->isActive() ? p : nullptr;
}

bool ChannelIsGone()
{
    if (audio::ChannelIsActive(g_session.output) == audio::kStateStopped &&
        audio::AudioErrorCode() == audio::kErrHandle) {
        g_session.output = g_session.source = 0;
        return true;
    }
    return false;
}

}  // namespace

double CurrentPosition()
{
    TempoProcessor* p = ActiveProcessor();
    return p ? p->positionSeconds() : 0.0;
}

void SeekRelative(double seconds)
{
    if (!g_session.output || g_session.opening || g_session.changingTrack || ChannelIsGone())
        return;
    TempoProcessor* p = ActiveProcessor();
    if (!p)
        return;
    const double length = p->lengthSeconds();
    if (length <= 0)
        return;  // live streams cannot be seeked
    p->seek(std::clamp(p->positionSeconds() + seconds, 0.0, length));
    PlaybackRefresh();
}

void SeekTo(double seconds)
{
    TempoProcessor* p = ActiveProcessor();
    if (!p)
        return;
    p->seek(std::clamp(seconds, 0.0, std::max(0.0, p->lengthSeconds())));
    PlaybackRefresh();
}

void SeekBy(int direction)
{
    const SeekAction action = SeekByAction(g_settings.movement, g_settings.movement.currentSeek, direction,
                                           CurrentSeekContext());
    switch (action.kind) {
    case SeekActionKind::None: break;
    case SeekActionKind::PreviousChapter: PreviousChapter(); break;
    case SeekActionKind::NextChapter: NextChapter(); break;
    case SeekActionKind::JumpTracks: JumpTracks(action.amount); break;
    case SeekActionKind::SeekSeconds: SeekRelative(action.amount); break;
    }
}

void CycleSeekUnit(int step)
{
    const SeekCycleResult r = CycleSeekUnitFrom(g_settings.movement, g_settings.movement.currentSeek, step,
                                                CurrentSeekContext());
    g_settings.movement.currentSeek = r.unit;
    if (!r.announcement.empty())
        Announce(r.announcement, true);
}

void SpeakSeekUnit()
{
    const std::string label = SeekUnitLabel(g_settings.movement.currentSeek);
    if (!label.empty())
        Announce(label, true);
}

bool NextChapter()
{
    if (g_chapters.chapters.empty() || !g_session.output)
        return false;
    const ChapterMove move = NextChapterMove(g_chapters.chapters, CurrentPosition());
    if (!move.moved)
        return false;
    SeekTo(move.target);
    if (!move.announcement.empty())
        Announce(move.announcement, true);
    return true;
}

bool PreviousChapter()
{
    if (g_chapters.chapters.empty() || !g_session.output)
        return false;
    const ChapterMove move = PreviousChapterMove(g_chapters.chapters, CurrentPosition());
    if (!move.moved)
        return false;
    SeekTo(move.target);
    if (!move.announcement.empty())
        Announce(move.announcement, true);
    return true;
}

void SpeakElapsed()
{
    if (TempoProcessor* p = ActiveProcessor())
        Announce(FormatTime(p->positionSeconds()), true);
}

void SpeakRemaining()
{
    if (TempoProcessor* p = ActiveProcessor())
        Announce(FormatTime(std::max(0.0, p->lengthSeconds() - p->positionSeconds())), true);
}

void SpeakTotal()
{
    if (TempoProcessor* p = ActiveProcessor())
        Announce(FormatTime(p->lengthSeconds()), true);
}
