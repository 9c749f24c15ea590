#include "speech/OrcaEngine.h"

#include "speech/BrailleLink.h"
#include "speech/ProcessLookup.h"
#include "speech/SpeechDispatcherLink.h"

namespace {

struct OrcaEngine : ScreenReaderEngine {
    OrcaEngine() : ScreenReaderEngine("Orca") {}
    ~OrcaEngine() override { Unload(); }

    bool IsRunning() override
    {
        return FindProcess("orca", nullptr, 0) && OpenSpeechLink(speech);
    }
    bool Speak(const std::string& text, bool interrupt) override
    {
        return SpeakOnLink(speech, text, interrupt);
    }
    bool StopOutput() override { return CancelOnLink(speech); }
    bool Braille(const std::string& text) override { return WriteBraille(braille, text); }
    void Unload() override
    {
        CloseSpeechLink(speech);
        CloseBrailleLink(braille);
    }

    SpeechDispatcherLink speech;
    BrailleLink braille;
};

}  // namespace

std::unique_ptr<ScreenReaderEngine> MakeOrcaEngine()
{
    return std::make_unique<OrcaEngine>();
}
