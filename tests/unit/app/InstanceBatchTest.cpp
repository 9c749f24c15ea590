#include "app/InstanceBatch.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace {

class InstanceBatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/corvane-batch-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            std::ofstream(dir + "/" + name) << "x";
    }
    void TearDown() override { std::system(("rm -rf " + dir).c_str()); }
    std::string File(const char* name) { return dir + "/" + name; }

    std::string dir;
    InstanceBatch batch;
    std::vector<std::string> queue;
};

}  // namespace

TEST_F(InstanceBatchTest, FilesWithinThreeHundredMsJoinANonEmptyQueue)
{
    batch.startTick = 1000;
    queue = {File("a.mp3")};
    const ReceiveResult r = ReceiveFileFromInstance(batch, queue, File("b.mp3"), 1299, false, nullptr);
    EXPECT_TRUE(r.accepted);
    EXPECT_TRUE(r.joinedQueue);
    EXPECT_FALSE(r.restartTimer);
    EXPECT_EQ(queue, (std::vector<std::string>{File("a.mp3"), File("b.mp3")}));
    EXPECT_TRUE(batch.pending.empty());
}

TEST_F(InstanceBatchTest, WhereAReceivedFileGoes)
{
    struct Case {
        const char* what;
        std::uint32_t start, now;
        bool queueEmpty, disableDelay;
        bool joined;
        std::uint32_t timerMs;
    };
    const Case cases[] = {
        {"at 300 ms the window has closed", 1000, 1300, false, false, false, 300},
        {"an empty queue never joins", 1000, 1001, true, false, false, 300},
        {"no delay sends everything to the batch", 1000, 1001, false, true, false, 0},
        {"tick wrap-around still measures 200 ms", 0xFFFFFF00u, 0x00000008u, false, false, true, 0},
        {"a tick before the start reads as long ago", 1000, 999, false, false, false, 300},
    };
    for (const Case& c : cases) {
        InstanceBatch b;
        b.startTick = c.start;
        std::vector<std::string> q;
        if (!c.queueEmpty)
            q.push_back(File("a.mp3"));
        const ReceiveResult r = ReceiveFileFromInstance(b, q, File("b.mp3"), c.now, c.disableDelay, nullptr);
        EXPECT_EQ(r.joinedQueue, c.joined) << c.what;
        EXPECT_EQ(r.restartTimer, !c.joined) << c.what;
        if (!c.joined) {
            EXPECT_EQ(r.timerMs, c.timerMs) << c.what;
            EXPECT_EQ(b.pending, std::vector<std::string>{File("b.mp3")}) << c.what;
        }
    }
}

TEST_F(InstanceBatchTest, MissingPathsAreDroppedAndPlaylistsExpanded)
{
    batch.startTick = 0;
    EXPECT_FALSE(ReceiveFileFromInstance(batch, queue, File("missing.mp3"), 5000, false, nullptr).accepted);
    EXPECT_FALSE(ReceiveFileFromInstance(batch, queue, "", 5000, false, nullptr).accepted);
    EXPECT_TRUE(batch.pending.empty());

    auto expand = [&](const std::string&) { return std::vector<std::string>{File("b.mp3"), File("c.mp3")}; };
    ReceiveFileFromInstance(batch, queue, File("a.mp3"), 5000, false, expand);
    EXPECT_EQ(batch.pending, (std::vector<std::string>{File("b.mp3"), File("c.mp3")}));
}

TEST_F(InstanceBatchTest, BatchReplacesQueueOrLoadsTheSingleFilesFolder)
{
    batch.pending = {File("b.mp3"), File("c.mp3")};
    BatchPlan plan = TakePendingBatch(batch, true, nullptr);
    EXPECT_TRUE(plan.play);
    EXPECT_EQ(plan.queue, (std::vector<std::string>{File("b.mp3"), File("c.mp3")}));
    EXPECT_EQ(plan.index, 0);
    EXPECT_TRUE(batch.pending.empty());

    batch.pending = {File("b.mp3")};
    plan = TakePendingBatch(batch, true, [&](const std::string& p, std::vector<std::string>& q, int& i) {
        q = {File("a.mp3"), p, File("c.mp3")};
        i = 1;
        return true;
    });
    EXPECT_EQ(plan.queue.size(), 3u);
    EXPECT_EQ(plan.index, 1);

    EXPECT_FALSE(TakePendingBatch(batch, false, nullptr).play);
}
