// The speech path of the desktop screen reader against a real SSIP peer.
#include "SpeechTestSupport.h"
#include "SsipTestServer.h"
#include "speech/OrcaEngine.h"
#include "speech/ScreenReaderBridge.h"
#include "speech/SpeechDispatcherLink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

class SpeechServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = std::make_unique<SsipTestServer>(scratch.path + "/speechd.sock");
        setenv("SPEECHD_ADDRESS", server->Address().c_str(), 1);
    }
    void TearDown() override
    {
        CloseSpeechLink(link);
        SetScreenReaderEngines({});
        unsetenv("SPEECHD_ADDRESS");
    }

    // What the peer received, without the connection's set-up chatter.
    std::vector<std::string> Received()
    {
        // The peer records on its own thread; replies come after recording,
        // so by the time a call returned its request is there.
        std::vector<std::string> kept;
        for (const std::string& request : server->Requests()) {
            if (request == "CONNECT" || request.rfind("CANCEL", 0) == 0 || request == "SPEAK" ||
                request.rfind("TEXT ", 0) == 0)
                kept.push_back(request);
        }
        return kept;
    }

    ScratchDir scratch;
    std::unique_ptr<SsipTestServer> server;
    SpeechDispatcherLink link;
};

TEST_F(SpeechServiceTest, InterruptCancelsEveryoneThenSpeaks)
{
    ASSERT_TRUE(SpeakOnLink(link, "Shuffle on", true));
    ASSERT_TRUE(SpeakOnLink(link, "Paused", false));
    ASSERT_TRUE(CancelOnLink(link));
    EXPECT_EQ(Received(), (std::vector<std::string>{"CONNECT", "CANCEL ALL", "SPEAK", "TEXT Shuffle on",
                                                    "SPEAK", "TEXT Paused", "CANCEL ALL"}));
}

TEST_F(SpeechServiceTest, ADroppedConnectionIsReopenedWithinTheSameCall)
{
    server->DropAfterNextMessage();
    ASSERT_TRUE(SpeakOnLink(link, "first", true));
    // The peer hung up; the next call notices, connects again and speaks.
    EXPECT_TRUE(SpeakOnLink(link, "second", true));
    const std::vector<std::string> received = Received();
    EXPECT_EQ(std::count(received.begin(), received.end(), "CONNECT"), 2);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back(), "TEXT second");
    EXPECT_EQ(std::count(received.begin(), received.end(), "TEXT second"), 1);
}

TEST_F(SpeechServiceTest, NoServiceMeansTheLinkFailsQuietly)
{
    server.reset();
    EXPECT_FALSE(OpenSpeechLink(link));
    EXPECT_FALSE(SpeakOnLink(link, "nobody listens", true));
    EXPECT_FALSE(CancelOnLink(link));
}

// The whole engine: it counts as running only while a process named orca
// runs and the service answers, and the bridge speaks through it.
TEST_F(SpeechServiceTest, TheDesktopReaderSpeaksThroughTheServiceWhileItRuns)
{
    ScreenReaderTable table;
    table.push_back(MakeOrcaEngine());
    SetScreenReaderEngines(std::move(table));
    EXPECT_FALSE(Speak("before it starts", true));

    {
        NamedProcess orca(scratch.path, "orca");
        ASSERT_GT(orca.pid, 0);
        EXPECT_TRUE(StopSpeaking());
        EXPECT_TRUE(Speak("Playing", true));
        EXPECT_TRUE(ShowBraille("Playing"));  // no BRLTTY here: nothing to show on
    }
    SetScreenReaderEngines({});  // unload: the connection is closed

    const std::vector<std::string> received = Received();
    ASSERT_GE(received.size(), 5u);
    EXPECT_EQ(received[0], "CONNECT");
    EXPECT_EQ(std::vector<std::string>(received.end() - 4, received.end()),
              (std::vector<std::string>{"CANCEL ALL", "CANCEL ALL", "SPEAK", "TEXT Playing"}));
    EXPECT_EQ(std::count(received.begin(), received.end(), "TEXT before it starts"), 0);
}

}  // namespace
