#include "speech/BrailleLink.h"

#include "platform/TextEncoding.h"
#include "speech/PipeSignalGuard.h"

#include <brlapi.h>

namespace {

// The library's default reaction to a protocol error is to abort the
// process; a braille hiccup must not end playback.
void BRLAPI_STDCALL IgnoreBrailleException(int, brlapi_packetType_t, const void*, size_t) {}

bool Connect(BrailleLink& link)
{
    brlapi_setExceptionHandler(&IgnoreBrailleException);
    brlapi_connectionSettings_t settings = BRLAPI_SETTINGS_INITIALIZER;
    if (brlapi_openConnection(&settings, &settings) < 0)
        return false;
    // A desktop program has no console of its own: let BRLTTY place us.
    if (brlapi_enterTtyMode(BRLAPI_TTY_DEFAULT, nullptr) < 0 &&
        brlapi_enterTtyModeWithPath(nullptr, 0, nullptr) < 0) {
        brlapi_closeConnection();
        return false;
    }
    link.connected = true;
    return true;
}

}  // namespace

bool WriteBraille(BrailleLink& link, const std::string& text)
{
    PipeSignalGuard guard;
    if (!link.connected && !Connect(link))
        return true;
    std::wstring wide;
    for (char32_t codePoint : Utf8ToUtf32(text))
        wide += static_cast<wchar_t>(codePoint);
    if (brlapi_writeWText(BRLAPI_CURSOR_OFF, wide.c_str()) == 0)
        return true;
    CloseBrailleLink(link);
    return false;
}

void CloseBrailleLink(BrailleLink& link)
{
    if (!link.connected)
        return;
    PipeSignalGuard guard;
    brlapi_leaveTtyMode();
    brlapi_closeConnection();
    link.connected = false;
}
