#include "playlist/QueueEdits.h"

#include <gtest/gtest.h>

namespace {

Playlist Queue(int count, int current)
{
    Playlist p;
    for (int i = 0; i < count; ++i)
        p.entries.push_back("/m/" + std::to_string(i) + ".mp3");
    p.current = current;
    return p;
}

}  // namespace

TEST(QueueEdits, RemovingKeepsTheCurrentEntry)
{
    // Entries 2 and 5 of 8 (1-based) go while entry 6 plays.
    Playlist q = Queue(8, 5);
    EXPECT_EQ(RemoveEntries(q, {4, 1}), 1);
    EXPECT_EQ(q.entries.size(), 6u);
    EXPECT_EQ(q.current, 3);
    EXPECT_EQ(q.entries[q.current], "/m/5.mp3");

    Playlist r = Queue(3, 1);
    EXPECT_EQ(RemoveEntries(r, {1}), 1);
    EXPECT_EQ(r.current, -1);  // playback is not stopped, but nothing is current

    Playlist last = Queue(3, 0);
    EXPECT_EQ(RemoveEntries(last, {2}), 1);  // the new last line
    EXPECT_EQ(RemoveEntries(last, {7, -1}), -1);
    Playlist all = Queue(2, 0);
    EXPECT_EQ(RemoveEntries(all, {0, 1}), -1);
    EXPECT_TRUE(all.entries.empty());
}

TEST(QueueEdits, InsertingAfterTheFocusShiftsTheCurrentIndex)
{
    Playlist q = Queue(8, 5);
    EXPECT_EQ(InsertEntries(q, 2, {"a", "b"}), 2);
    EXPECT_EQ(q.entries[2], "a");
    EXPECT_EQ(q.current, 7);
    EXPECT_EQ(q.entries[q.current], "/m/5.mp3");
    Playlist end = Queue(2, 0);
    EXPECT_EQ(InsertEntries(end, 99, {"x"}), 2);
    EXPECT_EQ(end.current, 0);
}

TEST(QueueEdits, MovingSelectionsUpAndDown)
{
    Playlist q = Queue(6, 2);
    EXPECT_EQ(MoveEntriesUp(q, {2, 3}), (std::vector<int>{1, 2}));
    EXPECT_EQ(q.entries[1], "/m/2.mp3");
    EXPECT_EQ(q.entries[2], "/m/3.mp3");
    EXPECT_EQ(q.entries[3], "/m/1.mp3");
    EXPECT_EQ(q.current, 1);
    EXPECT_TRUE(MoveEntriesUp(q, {0, 3}).empty());  // the first entry cannot go up

    EXPECT_EQ(MoveEntriesDown(q, {1, 2}), (std::vector<int>{2, 3}));
    EXPECT_EQ(q.entries, Queue(6, 0).entries);
    EXPECT_EQ(q.current, 2);
    EXPECT_TRUE(MoveEntriesDown(q, {5}).empty());
}

TEST(QueueEdits, LinesShowTheFileNamePart)
{
    EXPECT_EQ(QueueLine(0, "/music/a b.mp3"), "1. a b.mp3");
    EXPECT_EQ(QueueLine(9, "http://radio.example/live"), "10. live");
    EXPECT_EQ(QueueLine(2, "plain"), "3. plain");
}
