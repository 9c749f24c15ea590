#include "app/StatusView.h"

#include "app/MainFrame.h"
#include "app/StatusBarPanel.h"
#include "app/StatusText.h"
#include "playlist/Playlist.h"
#include "storage/Settings.h"

void RefreshStatusBar(MainFrame& frame)
{
    StatusBarPanel* bar = frame.StatusBar();
    if (!bar)
        return;
    StatusInputs in;
    in.volume = g_settings.playback.volume;
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
    if (in.hasCurrentItem)
        in.currentItem = g_playlist.entries[cur];
    const wxString title = wxString::FromUTF8(ComposeWindowTitle(in));
    if (frame.GetTitle() != title)
        frame.SetTitle(title);
}
