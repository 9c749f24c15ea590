#include "playback/SpokenInfo.h"

#include "playback/PlaybackSession.h"
#include "playback/TagReader.h"
#include "tempo/TempoProcessor.h"

int CurrentBitrate()
{
    float bitrate = 0;
    if (g_session.tagChannel && audio::ChannelGetAttribute(g_session.tagChannel, audio::kAttribBitrate, &bitrate) &&
        bitrate > 0)
        return static_cast<int>(bitrate);
    if (g_session.openBitrate > 0)
        return g_session.openBitrate;
    if (!g_session.tagChannel)
        return 0;
    const int header = HeaderBitrate(ReadTagBlocks(g_session.tagChannel));
    return header >= 1 ? header : 0;
}

PlayingInfo CurrentPlayingInfo()
{
    TempoProcessor* p = g_session.output ? CurrentTempoProcessor() : nullptr;
    const bool active = p && p->isActive();
    const audio::Handle tags = g_session.source ? g_session.source : g_session.tagChannel;
    return ReadPlayingInfo(tags ? tags : g_session.output, g_session.output, active,
                           active ? p->lengthSeconds() : 0.0, g_playlist);
}

std::string CurrentTitleText()
{
    return InfoText(InfoField::Title, CurrentPlayingInfo());
}
