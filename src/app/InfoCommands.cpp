#include "app/InfoCommands.h"

#include "app/MainFrame.h"
#include "app/TextWindow.h"
#include "playback/SpokenInfo.h"
#include "speech/AnnouncementQueue.h"

void SpeakInfoCommand(MainFrame&, int id, long)
{
    InfoField field;
    if (SpokenInfoField(id, &field))
        Announce(SpeakInfoText(field, CurrentPlayingInfo()), true);
}

void ShowInfoCommand(MainFrame& frame, int id, long)
{
    InfoField field;
    if (!ShownInfoField(id, &field))
        return;
    // The caption stays English in every language.
    ShowTextWindow(&frame, InfoFieldCaption(field), wxString::FromUTF8(InfoText(field, CurrentPlayingInfo())));
}
