#include "EffectsTestSupport.h"

#include "../audio/AudioTestSupport.h"

#include "app/AppMessages.h"
#include "effects/AdjustmentCycle.h"
#include "effects/EffectParams.h"
#include "i18n/Translations.h"
#include "speech/AnnouncementQueue.h"
#include "speech/ScreenReaderBridge.h"
#include "storage/Settings.h"

#include <memory>

namespace {

std::vector<std::string> g_heard;
int g_pendingAnnouncements = 0;

struct RecordingReader : ScreenReaderEngine {
    RecordingReader() : ScreenReaderEngine("recorder") {}
    bool IsRunning() override { return true; }
    bool Speak(const std::string& text, bool) override
    {
        g_heard.push_back(text);
        return true;
    }
    bool StopOutput() override { return true; }
    bool Braille(const std::string&) override { return true; }
    void Unload() override {}
};

void CountAnnouncement(PostedMessage&& message)
{
    if (message.message == msg::WM_ANNOUNCE)
        ++g_pendingAnnouncements;
}
void DropCommand(PostedCommand) {}

}  // namespace

SpokenTexts::SpokenTexts()
{
    BuildTranslationTables();
    SetLanguage("en");
    g_settings = Settings{};
    ResetEffectValues();
    g_effectCycle = EffectCycle{};
    g_heard.clear();
    g_pendingAnnouncements = 0;
    ScreenReaderTable table;
    table.push_back(std::make_unique<RecordingReader>());
    SetScreenReaderEngines(std::move(table));
    SetMessageSinks(&CountAnnouncement, &DropCommand);
    InitAnnouncements();
}

SpokenTexts::~SpokenTexts()
{
    ShutdownAnnouncements();
    SetMessageSinks(nullptr, nullptr);
    SetScreenReaderEngines({});
}

std::vector<std::string> SpokenTexts::Take()
{
    for (; g_pendingAnnouncements > 0; --g_pendingAnnouncements)
        DrainAnnouncements();
    std::vector<std::string> heard;
    heard.swap(g_heard);
    return heard;
}

void OutputTap::Proc(audio::Handle, audio::Handle, void* buffer, std::uint32_t length, void* user)
{
    auto* tap = static_cast<OutputTap*>(user);
    const float* s = static_cast<const float*>(buffer);
    std::lock_guard<std::mutex> guard(tap->lock);
    tap->samples.insert(tap->samples.end(), s, s + length / sizeof(float));
}

std::vector<float> OutputTap::Listen(double seconds, int rate)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        samples.clear();
    }
    audiotest::WaitFor([&] {
        std::lock_guard<std::mutex> guard(lock);
        return samples.size() >= static_cast<size_t>(seconds * rate);
    }, seconds * 4 + 2);
    std::lock_guard<std::mutex> guard(lock);
    return samples;
}
