#include "SpeechTestSupport.h"
#include "speech/CaptureEngine.h"
#include "speech/ProcessLookup.h"
#include "speech/ScreenReaderBridge.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(CaptureEngine, OneLinePerCallWithLineBreaksEscaped)
{
    ScratchDir scratch;
    const std::string logPath = scratch.path + "/capture.log";
    auto engine = MakeCaptureEngine(logPath);
    ASSERT_TRUE(engine->IsRunning());
    EXPECT_TRUE(engine->Speak("Title: A\nB\r\\n", true));
    EXPECT_TRUE(engine->StopOutput());
    EXPECT_TRUE(engine->Speak("quiet", false));
    EXPECT_TRUE(engine->Braille("dots"));
    EXPECT_EQ(ReadLines(logPath), (std::vector<std::string>{
                                      "SPEAK 1 Title: A\\nB\\r\\\\n", "STOP", "SPEAK 0 quiet", "BRAILLE dots"}));

    // A reader may empty the file between calls; lines keep coming.
    ASSERT_EQ(truncate(logPath.c_str(), 0), 0);
    EXPECT_TRUE(engine->StopOutput());
    EXPECT_EQ(ReadLines(logPath), (std::vector<std::string>{"STOP"}));
}

TEST(CaptureEngine, AnUnwritableLogIsNoScreenReader)
{
    ScratchDir scratch;
    auto engine = MakeCaptureEngine(scratch.path + "/missing-folder/capture.log");
    EXPECT_FALSE(engine->IsRunning());
    ScreenReaderTable table;
    table.push_back(std::move(engine));
    SetScreenReaderEngines(std::move(table));
    EXPECT_FALSE(Speak("nowhere", true));
    SetScreenReaderEngines({});
}

TEST(CaptureEngine, TheLogVariableMakesItTheOnlyEngine)
{
    struct Case {
        const char* value;  // nullptr: unset
        const char* onlyEngine;
    };
    const Case cases[] = {{"/tmp/some.log", "Capture"}, {"-", "Capture"}, {"", "Orca"}, {nullptr, "Orca"}};
    const char* saved = std::getenv("CORVANE_SPEECH_LOG");
    const std::string savedValue = saved ? saved : "";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        if (c.value)
            setenv("CORVANE_SPEECH_LOG", c.value, 1);
        else
            unsetenv("CORVANE_SPEECH_LOG");
        ScreenReaderTable table = MakePlatformScreenReaders();
        ASSERT_EQ(table.size(), 1u);
        EXPECT_EQ(table[0]->name, c.onlyEngine);
    }
    if (saved)
        setenv("CORVANE_SPEECH_LOG", savedValue.c_str(), 1);
    else
        unsetenv("CORVANE_SPEECH_LOG");
}

TEST(ProcessLookup, FindsARunningProgramByPartOfItsPathIgnoringCase)
{
    ScratchDir scratch;
    NamedProcess reader(scratch.path, "CorvaneFakeReader");
    ASSERT_GT(reader.pid, 0);

    char path[512] = "unchanged";
    EXPECT_TRUE(FindProcess("corvanefakereader", path, sizeof path));
    EXPECT_EQ(std::string(path), reader.executable);
    EXPECT_TRUE(FindProcess("FAKEREADER", nullptr, 0));

    // A short buffer gets the start of the path, terminated.
    char shortPath[6];
    std::memset(shortPath, 'x', sizeof shortPath);
    EXPECT_TRUE(FindProcess("corvanefakereader", shortPath, sizeof shortPath));
    EXPECT_EQ(std::string(shortPath), reader.executable.substr(0, 5));

    // The handle is an open descriptor on that process.
    const int handle = getProcessHandle("corvanefakereader", nullptr, 0);
    ASSERT_GE(handle, 0);
    struct stat info {};
    EXPECT_EQ(fstat(handle, &info), 0);
    close(handle);

    for (const char* absent : {"corvane-no-such-program", "", static_cast<const char*>(nullptr)}) {
        char untouched[8] = "same";
        EXPECT_FALSE(FindProcess(absent, untouched, sizeof untouched));
        EXPECT_STREQ(untouched, "same");
        EXPECT_EQ(getProcessHandle(absent, nullptr, 0), -1);
    }
}

// A script's executable is its interpreter; the desktop screen reader is one.
TEST(ProcessLookup, FindsAScriptByItsOwnName)
{
    ScratchDir scratch;
    NamedProcess script(scratch.path, "fakereadscript", true);
    ASSERT_GT(script.pid, 0);
    char path[512] = "";
    EXPECT_TRUE(FindProcess("fakereadscript", path, sizeof path));
    EXPECT_EQ(std::string(path), script.executable);
}

}  // namespace
