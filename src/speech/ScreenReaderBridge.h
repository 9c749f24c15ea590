#pragma once
// Speech and braille through whichever screen reader the user runs. Driven
// only from the UI thread (the announcement queue); no locks.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One screen reader the program knows how to reach. A build swaps in its
// platform's engines; the selection loop below never changes for them.
struct ScreenReaderEngine {
    explicit ScreenReaderEngine(std::string engineName) : name(std::move(engineName)) {}
    virtual ~ScreenReaderEngine() = default;

    std::string name;

    // Running and reachable now.
    virtual bool IsRunning() = 0;
    // interrupt asks engines that can to cut off their current speech first.
    virtual bool Speak(const std::string& text, bool interrupt) = 0;
    virtual bool StopOutput() = 0;
    virtual bool Braille(const std::string& text) = 0;
    // Releases connections or libraries; the engine may be used again later.
    virtual void Unload() = 0;
};

using ScreenReaderTable = std::vector<std::unique_ptr<ScreenReaderEngine>>;

// This platform's engines in detection order (ScreenReaderEngines.cpp).
ScreenReaderTable MakePlatformScreenReaders();

// Replaces the table (the old engines are unloaded) and forgets the current
// choice and the last re-detection time. Without a call, the first operation
// installs MakePlatformScreenReaders().
void SetScreenReaderEngines(ScreenReaderTable engines);

// The millisecond tick source of the re-detection rule; nullptr restores TickCount.
void SetScreenReaderClock(std::uint32_t (*now)());

// The engine in use, or nullptr when none is chosen.
const ScreenReaderEngine* CurrentScreenReader();

// False when no screen reader is found; nothing else is tried then.
bool Speak(const std::string& text, bool interrupt);
bool StopSpeaking();
bool ShowBraille(const std::string& text);
