#include "speech/ScreenReaderBridge.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A screen reader whose answers the test scripts; every call is logged as
// "<name>:<call>" in one log shared by the whole table.
struct SimulatedEngine : ScreenReaderEngine {
    SimulatedEngine(std::string name, std::vector<std::string>& log, bool runningAtStart)
        : ScreenReaderEngine(std::move(name)), calls(log), running(runningAtStart) {}

    bool IsRunning() override
    {
        calls.push_back(name + ":IsRunning");
        if (flapping)
            running = !running;
        return flapping ? !running : running;
    }
    bool Speak(const std::string& text, bool interrupt) override
    {
        calls.push_back(name + ":Speak " + (interrupt ? "1 " : "0 ") + text);
        return operationsSucceed;
    }
    bool StopOutput() override
    {
        calls.push_back(name + ":Stop");
        return operationsSucceed;
    }
    bool Braille(const std::string& text) override
    {
        calls.push_back(name + ":Braille " + text);
        return operationsSucceed;
    }
    void Unload() override { calls.push_back(name + ":Unload"); }

    std::vector<std::string>& calls;
    bool running;
    bool operationsSucceed = true;
    bool flapping = false;  // says "running" at detection, "closed" right after
};

std::uint32_t g_now = 0;
std::uint32_t FakeNow() { return g_now; }

class ScreenReaderBridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_now = 1000;  // below the first re-detection, so a choice sticks
        SetScreenReaderClock(&FakeNow);
    }
    void TearDown() override
    {
        SetScreenReaderEngines({});
        SetScreenReaderClock(nullptr);
    }

    // Installs engines named "A", "B", ... with the given running states.
    std::vector<SimulatedEngine*> Install(std::vector<bool> running)
    {
        ScreenReaderTable table;
        std::vector<SimulatedEngine*> engines;
        for (std::size_t i = 0; i < running.size(); ++i) {
            auto engine = std::make_unique<SimulatedEngine>(std::string(1, char('A' + i)), log, running[i]);
            engines.push_back(engine.get());
            table.push_back(std::move(engine));
        }
        SetScreenReaderEngines(std::move(table));
        return engines;
    }

    std::vector<std::string> TakeLog()
    {
        std::vector<std::string> taken;
        taken.swap(log);
        return taken;
    }

    std::vector<std::string> log;
};

TEST_F(ScreenReaderBridgeTest, TheEarliestRunningEngineSpeaks)
{
    Install({false, true, true});
    EXPECT_TRUE(Speak("hello", true));
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"A:IsRunning", "B:IsRunning", "B:Speak 1 hello"}));
    ASSERT_NE(CurrentScreenReader(), nullptr);
    EXPECT_EQ(CurrentScreenReader()->name, "B");

    // The choice is kept: no detection on the next calls.
    EXPECT_TRUE(StopSpeaking());
    EXPECT_TRUE(ShowBraille("dots"));
    EXPECT_TRUE(Speak("again", false));
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"B:Stop", "B:Braille dots", "B:Speak 0 again"}));
}

TEST_F(ScreenReaderBridgeTest, NoEngineRunningReturnsFalseAndTouchesNothingElse)
{
    Install({false, false});
    EXPECT_FALSE(Speak("lost", true));
    EXPECT_FALSE(StopSpeaking());
    EXPECT_FALSE(ShowBraille("lost"));
    const std::vector<std::string> detectionOnly{"A:IsRunning", "B:IsRunning"};
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i)
        expected.insert(expected.end(), detectionOnly.begin(), detectionOnly.end());
    EXPECT_EQ(TakeLog(), expected);
    EXPECT_EQ(CurrentScreenReader(), nullptr);
}

TEST_F(ScreenReaderBridgeTest, AClosedEngineIsUnloadedAndTheSameCallFallsThrough)
{
    auto engines = Install({true, true});
    ASSERT_TRUE(Speak("first", true));
    TakeLog();

    engines[0]->running = false;
    engines[0]->operationsSucceed = false;
    EXPECT_TRUE(Speak("second", true));
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"A:Speak 1 second", "A:IsRunning", "A:Unload",
                                                   "A:IsRunning", "B:IsRunning", "B:Speak 1 second"}));
    EXPECT_EQ(CurrentScreenReader()->name, "B");
}

TEST_F(ScreenReaderBridgeTest, AFailureOnAStillRunningEngineLosesTheTextOnly)
{
    auto engines = Install({true, true});
    engines[0]->operationsSucceed = false;
    EXPECT_TRUE(Speak("dropped", true));
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"A:IsRunning", "A:Speak 1 dropped", "A:IsRunning"}));
    EXPECT_EQ(CurrentScreenReader()->name, "A");
}

TEST_F(ScreenReaderBridgeTest, AnEngineThatFlapsCannotHoldTheCallForEver)
{
    auto engines = Install({true});
    engines[0]->operationsSucceed = false;
    engines[0]->flapping = true;
    EXPECT_FALSE(Speak("text", true));
    EXPECT_EQ(CurrentScreenReader(), nullptr);
}

// The choice is dropped (without unloading) once 10 s of ticks have passed
// since the last reset, so a reader earlier in the table is picked up; the
// difference is taken in 32 bits, so it holds across the tick wrap.
TEST_F(ScreenReaderBridgeTest, ReDetectionEveryTenSecondsAcrossTheTickWrap)
{
    struct Step {
        std::uint32_t now;
        bool earlierEngineRuns;
        const char* expectedSpeaker;
        bool choiceDroppedAfter;
    };
    const Step steps[] = {
        {0xFFFFE000u, false, "B", true},   // first call: 0xFFFFE000 - 0 >= 10 s
        {0xFFFFE100u, true, "A", false},   // A found by the detection; 256 ms later
        {0x00000700u, false, "A", false},  // wrapped: 0x2700 ms = 9984 ms since reset
        {0x00000710u, false, "A", true},   // exactly 10,000 ms: reset
        {0x00000720u, false, "B", false},  // A gone: B found again, nothing unloaded
    };
    auto engines = Install({false, true});
    for (const Step& step : steps) {
        SCOPED_TRACE(step.now);
        g_now = step.now;
        engines[0]->running = step.earlierEngineRuns;
        ASSERT_TRUE(Speak("tick", true));
        bool spokeOnExpected = false;
        for (const std::string& call : TakeLog()) {
            EXPECT_EQ(call.find("Unload"), std::string::npos);
            if (call == std::string(step.expectedSpeaker) + ":Speak 1 tick")
                spokeOnExpected = true;
        }
        EXPECT_TRUE(spokeOnExpected);
        EXPECT_EQ(CurrentScreenReader() == nullptr, step.choiceDroppedAfter);
    }
}

}  // namespace
