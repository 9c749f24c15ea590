// The engine table of this platform. Another platform supplies its own
// version of this file; the bridge's selection loop stays as it is.
#include "speech/ScreenReaderBridge.h"

#include "speech/CaptureEngine.h"
#include "speech/OrcaEngine.h"

#include <cstdlib>

ScreenReaderTable MakePlatformScreenReaders()
{
    ScreenReaderTable engines;
    const char* capturePath = std::getenv("CORVANE_SPEECH_LOG");
    if (capturePath && *capturePath) {
        // Tests and headless runs hear exactly what would have been spoken.
        engines.push_back(MakeCaptureEngine(capturePath));
        return engines;
    }
    engines.push_back(MakeOrcaEngine());
    return engines;
}
