#include "app/StatusView.h"

#include "app/MainFrame.h"
#include "app/StatusBarPanel.h"
#include "app/StatusText.h"
#include "playback/PlaybackSession.h"
#include "playback/SpokenInfo.h"
#include "recording/Recorder.h"
#include "playlist/Playlist.h"
#include "storage/Settings.h"

void RefreshStatusBar(MainFrame& frame)
{
    StatusBarPanel* bar = frame.StatusBar();
    if (!bar)
        return;
    StatusInputs in;
    in.volume = g_settings.playback.volume;
    if (g_session.opening || g_session.changingTrack)
        return;
    in.recording = IsRecording();
    if (g_session.output) {
        in.position = CurrentPositionSeconds();
        in.length = CurrentLengthSeconds();
        switch (audio::ChannelIsActive(g_session.output)) {
        case audio::kStatePlaying: in.state = ChannelState::Playing; break;
        case audio::kStatePaused: in.state = ChannelState::Paused; break;
        case audio::kStateStalled: in.state = ChannelState::Stalled; break;
        default: in.state = ChannelState::Stopped; break;
        }
        in.bitrateKbps = CurrentBitrate();
        const audio::Handle source = g_session.source ? g_session.source : g_session.tagChannel;
        float vbr = 0;
        in.vbr = source && audio::ChannelGetAttribute(source, audio::kAttribVbr, &vbr) && vbr > 0;
    }
    const StatusTexts texts = ComposeStatus(in);
    bar->SetPartText(0, wxString::FromUTF8(texts.time));
    bar->SetPartText(1, wxString::FromUTF8(texts.volume));
    bar->SetPartText(2, wxString::FromUTF8(texts.state));
}

void RefreshWindowTitle(MainFrame& frame)
{
    TitleInputs in;
    in.showTitleInWindow = g_settings.playback.showTitleInWindow;
    const int cur = g_playlist.current;
    in.hasCurrentItem = cur >= 0 && cur < static_cast<int>(g_playlist.entries.size());
    if (in.hasCurrentItem) {
        in.currentItem = g_playlist.entries[cur];
        in.titleText = CurrentTitleText();
    }
    const wxString title = wxString::FromUTF8(ComposeWindowTitle(in));
    if (frame.GetTitle() != title)
        frame.SetTitle(title);
}
