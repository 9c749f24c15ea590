#include "speech/AnnouncementQueue.h"

#include "SpeechTestSupport.h"
#include "app/AppMessages.h"
#include "speech/CaptureEngine.h"
#include "speech/ScreenReaderBridge.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_announcePosts{0};
std::atomic<int> g_otherPosts{0};

void CountMessage(PostedMessage&& message)
{
    if (message.message == msg::WM_ANNOUNCE && message.wParam == 0 && !message.payload)
        ++g_announcePosts;
    else
        ++g_otherPosts;
}
void IgnoreCommand(PostedCommand) {}

// The queue in front of the capture engine, which writes what reaches the
// bridge to a file in the scratch folder.
class AnnouncementQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        logPath = scratch.path + "/speech.log";
        ScreenReaderTable table;
        table.push_back(MakeCaptureEngine(logPath));
        SetScreenReaderEngines(std::move(table));
        g_announcePosts = 0;
        g_otherPosts = 0;
        SetMessageSinks(&CountMessage, &IgnoreCommand);
    }
    void TearDown() override
    {
        ShutdownAnnouncements();
        SetMessageSinks(nullptr, nullptr);
        SetScreenReaderEngines({});
    }

    // Handles every WM_ANNOUNCE posted so far, as the main window would.
    void DeliverPosts()
    {
        for (int posts = g_announcePosts.exchange(0); posts > 0; --posts)
            DrainAnnouncements();
    }

    std::vector<std::string> Heard() { return ReadLines(logPath); }

    ScratchDir scratch;
    std::string logPath;
};

TEST_F(AnnouncementQueueTest, InactiveQueueDropsEverythingAndPostsNothing)
{
    Announce("before start", true);
    EXPECT_EQ(g_announcePosts, 0);

    InitAnnouncements();
    DrainAnnouncements();
    EXPECT_TRUE(Heard().empty()) << "the early text must not have been kept";

    SetMessageSinks(nullptr, nullptr);  // no main window
    Announce("no window", true);
    SetMessageSinks(&CountMessage, &IgnoreCommand);
    DrainAnnouncements();
    EXPECT_EQ(g_announcePosts, 0);

    ShutdownAnnouncements();
    ASSERT_EQ(Heard(), (std::vector<std::string>{"STOP"}));
    Announce("after shutdown", true);
    DrainAnnouncements();
    EXPECT_EQ(g_announcePosts, 0);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"STOP"}));
    EXPECT_EQ(g_otherPosts, 0);
}

TEST_F(AnnouncementQueueTest, ABurstIsSpokenOnceAsOneSentence)
{
    InitAnnouncements();
    Announce("Stopped", true);
    Announce(std::string("Shuffle on"), true);
    Announce(u"Volume 50%", true);
    EXPECT_EQ(g_announcePosts, 3);
    DeliverPosts();
    EXPECT_EQ(Heard(), (std::vector<std::string>{"STOP", "SPEAK 1 Stopped, Shuffle on, Volume 50%"}));
}

// Empty entries: a leading one adds nothing, a later one still brings its
// separator; only empty texts speak nothing and do not silence. The oldest
// entry's interrupt flag decides for the batch.
TEST_F(AnnouncementQueueTest, JoiningRules)
{
    struct Entry {
        const char* text;
        bool interrupt;
    };
    struct Case {
        std::vector<Entry> entries;
        std::vector<std::string> heard;
    };
    const Case cases[] = {
        {{{"", true}, {"a", true}}, {"STOP", "SPEAK 1 a"}},
        {{{"a", true}, {"", true}, {"b", true}}, {"STOP", "SPEAK 1 a, , b"}},
        {{{"a", true}, {"", true}}, {"STOP", "SPEAK 1 a, "}},
        {{{"", true}, {"", true}}, {}},
        {{{"a", false}, {"b", true}}, {"SPEAK 0 a, b"}},
        {{{"a", true}, {"b", false}}, {"STOP", "SPEAK 1 a, b"}},
        {{{nullptr, true}, {"b", true}}, {"STOP", "SPEAK 1 b"}},
    };
    InitAnnouncements();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.heard));
        std::remove(logPath.c_str());
        for (const Entry& entry : c.entries)
            Announce(entry.text, entry.interrupt);
        DeliverPosts();
        EXPECT_EQ(Heard(), c.heard);
    }
}

TEST_F(AnnouncementQueueTest, TextArrivesAsTheSameCharactersFromEveryForm)
{
    InitAnnouncements();
    Announce("Lecture : Désolé, ça marche", true);
    DeliverPosts();
    Announce(std::u16string(u"Ünïcödé ☃ \U0001F3B5"), true);
    DeliverPosts();
    const char16_t* zeroTerminated = u"Fin";
    Announce(zeroTerminated, true);
    DeliverPosts();
    // Malformed UTF-8 and a lone surrogate become U+FFFD rather than
    // reaching the speech service as broken text.
    Announce("bad \xC3 byte", true);
    DeliverPosts();
    Announce(std::u16string(u"lone ") + char16_t(0xD800), true);
    DeliverPosts();
    EXPECT_EQ(Heard(), (std::vector<std::string>{
                           "STOP", "SPEAK 1 Lecture : Désolé, ça marche",
                           "STOP", "SPEAK 1 Ünïcödé ☃ \U0001F3B5",
                           "STOP", "SPEAK 1 Fin",
                           "STOP", "SPEAK 1 bad \xEF\xBF\xBD byte",
                           "STOP", "SPEAK 1 lone \xEF\xBF\xBD",
                       }));
}

TEST_F(AnnouncementQueueTest, ShutdownDiscardsQueuedTextsAndSilences)
{
    InitAnnouncements();
    Announce("never spoken", true);
    Announce("nor this", true);
    ShutdownAnnouncements();
    DeliverPosts();  // the posts outlived the window
    EXPECT_EQ(Heard(), (std::vector<std::string>{"STOP"}));

    // A new active period starts empty.
    InitAnnouncements();
    Announce("fresh", true);
    DeliverPosts();
    EXPECT_EQ(Heard(), (std::vector<std::string>{"STOP", "STOP", "SPEAK 1 fresh"}));
}

TEST_F(AnnouncementQueueTest, AnnouncementsFromManyThreadsAllArrive)
{
    InitAnnouncements();
    constexpr int kThreads = 4;
    constexpr int kEach = 200;
    std::atomic<int> finished{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([t, &finished] {
            for (int i = 0; i < kEach; ++i)
                Announce("t" + std::to_string(t) + "-" + std::to_string(i), true);
            ++finished;
        });
    }
    // Drain while they announce, as the UI thread would.
    while (finished < kThreads)
        DeliverPosts();
    for (auto& worker : workers)
        worker.join();
    DeliverPosts();

    std::multiset<std::string> spoken;
    for (const std::string& line : Heard()) {
        if (line.rfind("SPEAK 1 ", 0) != 0)
            continue;
        std::string batch = line.substr(8);
        std::size_t start = 0;
        for (std::size_t comma; (comma = batch.find(", ", start)) != std::string::npos; start = comma + 2)
            spoken.insert(batch.substr(start, comma - start));
        spoken.insert(batch.substr(start));
    }
    std::multiset<std::string> expected;
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kEach; ++i)
            expected.insert("t" + std::to_string(t) + "-" + std::to_string(i));
    EXPECT_EQ(spoken, expected);
}

}  // namespace
