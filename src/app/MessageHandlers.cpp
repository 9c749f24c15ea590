#include "app/MessageHandlers.h"

#include "app/MainFrame.h"
#include "speech/AnnouncementQueue.h"

void HandleAppMessage(MainFrame& frame, PostedMessage& message)
{
    switch (message.message) {
    case msg::WM_ANNOUNCE:
        DrainAnnouncements();
        break;
    case msg::WM_STREAM_TITLE:
        frame.RefreshTitle();
        break;
    default:
        break;  // messages of subsystems that are not built are dropped
    }
}
