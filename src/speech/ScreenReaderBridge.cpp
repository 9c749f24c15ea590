#include "speech/ScreenReaderBridge.h"

#include "platform/Clock.h"

#include <functional>

namespace {

// Re-examine the choice this often, so that a screen reader started or
// closed while we run is noticed and an earlier one in the table wins.
constexpr std::uint32_t kRedetectMs = 10000;

struct ScreenReaderState {
    ScreenReaderTable engines;
    bool tableInstalled = false;
    int currentEngine = -1;
    std::uint32_t lastReset = 0;
    std::uint32_t (*now)() = &TickCount;
};

ScreenReaderState g_screenReader;

void EnsureTable()
{
    if (!g_screenReader.tableInstalled) {
        g_screenReader.engines = MakePlatformScreenReaders();
        g_screenReader.tableInstalled = true;
    }
}

void DetectScreenReader()
{
    g_screenReader.currentEngine = -1;
    for (std::size_t i = 0; i < g_screenReader.engines.size(); ++i) {
        if (g_screenReader.engines[i]->IsRunning()) {
            g_screenReader.currentEngine = static_cast<int>(i);
            return;
        }
    }
}

bool RunOnScreenReader(const std::function<bool(ScreenReaderEngine&)>& operation)
{
    EnsureTable();
    // An engine that claims to run at detection but not after a failure
    // could otherwise keep the UI thread in this loop for ever.
    std::size_t attemptsLeft = g_screenReader.engines.size() + 1;
    for (;;) {
        if (g_screenReader.currentEngine < 0) {
            if (attemptsLeft == 0)
                return false;
            DetectScreenReader();
            if (g_screenReader.currentEngine < 0)
                return false;
        }
        --attemptsLeft;
        ScreenReaderEngine& engine = *g_screenReader.engines[g_screenReader.currentEngine];
        if (operation(engine) || engine.IsRunning())
            break;  // a failure on a reader that still runs loses the text, nothing more
        engine.Unload();
        g_screenReader.currentEngine = -1;
    }
    const std::uint32_t now = g_screenReader.now();
    if (static_cast<std::uint32_t>(now - g_screenReader.lastReset) >= kRedetectMs) {
        g_screenReader.lastReset = now;
        g_screenReader.currentEngine = -1;  // stays loaded; found again if still first
    }
    return true;
}

}  // namespace

void SetScreenReaderEngines(ScreenReaderTable engines)
{
    for (auto& engine : g_screenReader.engines)
        engine->Unload();
    g_screenReader.engines = std::move(engines);
    g_screenReader.tableInstalled = true;
    g_screenReader.currentEngine = -1;
    g_screenReader.lastReset = 0;
}

void SetScreenReaderClock(std::uint32_t (*now)())
{
    g_screenReader.now = now ? now : &TickCount;
}

const ScreenReaderEngine* CurrentScreenReader()
{
    if (g_screenReader.currentEngine < 0)
        return nullptr;
    return g_screenReader.engines[g_screenReader.currentEngine].get();
}

bool Speak(const std::string& text, bool interrupt)
{
    return RunOnScreenReader(
        [&](ScreenReaderEngine& engine) { return engine.Speak(text, interrupt); });
}

bool StopSpeaking()
{
    return RunOnScreenReader([](ScreenReaderEngine& engine) { return engine.StopOutput(); });
}

bool ShowBraille(const std::string& text)
{
    return RunOnScreenReader([&](ScreenReaderEngine& engine) { return engine.Braille(text); });
}
