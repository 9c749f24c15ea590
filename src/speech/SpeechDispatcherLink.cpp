#include "speech/SpeechDispatcherLink.h"

#include "speech/PipeSignalGuard.h"

#include <cstdlib>
#include <functional>
#include <libspeechd.h>

namespace {

SPDConnection* Connection(const SpeechDispatcherLink& link)
{
    return static_cast<SPDConnection*>(link.connection);
}

// Runs a request on the open connection; a failure may mean the service
// restarted, so the connection is dropped and the request tried once more
// on a new one.
bool WithConnection(SpeechDispatcherLink& link, const std::function<bool(SPDConnection*)>& request)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!OpenSpeechLink(link))
            return false;
        PipeSignalGuard guard;
        if (request(Connection(link)))
            return true;
        CloseSpeechLink(link);
    }
    return false;
}

}  // namespace

bool OpenSpeechLink(SpeechDispatcherLink& link)
{
    if (link.connection)
        return true;
    PipeSignalGuard guard;
    char* error = nullptr;
    SPDConnection* connection =
        spd_open2("corvane", "main", nullptr, SPD_MODE_SINGLE, nullptr, 1, &error);
    std::free(error);
    link.connection = connection;
    return connection != nullptr;
}

bool SpeakOnLink(SpeechDispatcherLink& link, const std::string& text, bool interrupt)
{
    return WithConnection(link, [&](SPDConnection* connection) {
        if (interrupt && spd_cancel_all(connection) != 0)
            return false;
        // Message priority: queued behind the reader's own speech rather
        // than dropped by it, since we may speak while another window has
        // the focus.
        return spd_say(connection, SPD_MESSAGE, text.c_str()) > 0;
    });
}

bool CancelOnLink(SpeechDispatcherLink& link)
{
    return WithConnection(link, [](SPDConnection* connection) {
        return spd_cancel_all(connection) == 0;
    });
}

void CloseSpeechLink(SpeechDispatcherLink& link)
{
    if (!link.connection)
        return;
    PipeSignalGuard guard;
    spd_close(Connection(link));
    link.connection = nullptr;
}
