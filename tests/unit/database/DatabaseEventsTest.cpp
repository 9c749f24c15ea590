// Scheduled events, the song history, text that must round-trip unchanged,
// and what every operation answers with no database.
#include "storage/Database.h"

#include "DatabaseTestSupport.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace {

class DatabaseEvents : public FreshDatabaseTest {};

int AddSimpleEvent(const std::string& name, int64_t when, bool enabled = true)
{
    return AddScheduledEvent(name, 0, 0, "/music/" + name + ".mp3", 0, when, 0, enabled, 0, 0);
}

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz)
    {
        if (const char* old = std::getenv("TZ"))
            saved_ = old, hadOld_ = true;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (hadOld_)
            setenv("TZ", saved_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string saved_;
    bool hadOld_ = false;
};

constexpr int64_t k2026March2At0700Utc = 1772434800;

}  // namespace

TEST_F(DatabaseEvents, ScheduledEventsStoreEveryFieldAndListEarliestFirst)
{
    ScopedTimeZone utc("UTC0");
    const int late = AddScheduledEvent("Evening", 2, 1, "http://radio/stream", 7,
                                       k2026March2At0700Utc + 3600, 5, false, 45, 2);
    const int early = AddScheduledEvent("Morning news", 0, 0, "/music/news.mp3", 0,
                                        k2026March2At0700Utc, 3, true, 30, 0);
    ASSERT_GT(late, 0);
    ASSERT_GT(early, late);

    auto events = ListScheduledEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].id, early);
    EXPECT_EQ(events[0].display, "[On] Morning news - Play @ 2026-03-02 07:00 (Weekdays) [30 min]");
    const ScheduledEvent& e = events[1];
    EXPECT_EQ(e.id, late);
    EXPECT_EQ(e.name, "Evening");
    EXPECT_EQ(e.action, 2);
    EXPECT_EQ(e.sourceType, 1);
    EXPECT_EQ(e.sourcePath, "http://radio/stream");
    EXPECT_EQ(e.radioStationId, 7);
    EXPECT_EQ(e.scheduledTime, k2026March2At0700Utc + 3600);
    EXPECT_EQ(e.repeatType, 5);
    EXPECT_FALSE(e.enabled);
    EXPECT_EQ(e.lastRun, 0);
    EXPECT_EQ(e.duration, 45);
    EXPECT_EQ(e.stopAction, 2);
    EXPECT_EQ(e.display, "[Off] Evening - Play+Record @ 2026-03-02 08:00 (Monthly) [45 min]");

    // Moving the late one before the early one reorders the list.
    EXPECT_TRUE(UpdateScheduledEvent(late, "Dawn", 1, 0, "/music/dawn.mp3", 0,
                                     k2026March2At0700Utc - 60, 1, true, 0, 1));
    EXPECT_TRUE(SetScheduledEventLastRun(early, 1700000000));
    EXPECT_TRUE(SetScheduledEventTime(early, k2026March2At0700Utc + 86400));
    EXPECT_TRUE(SetScheduledEventEnabled(early, false));
    events = ListScheduledEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].id, late);
    EXPECT_EQ(events[0].display, "[On] Dawn - Record @ 2026-03-02 06:59 (Daily)");
    EXPECT_EQ(events[0].stopAction, 1);
    EXPECT_EQ(events[1].id, early);
    EXPECT_EQ(events[1].lastRun, 1700000000);
    EXPECT_EQ(events[1].scheduledTime, k2026March2At0700Utc + 86400);
    EXPECT_FALSE(events[1].enabled);

    EXPECT_TRUE(DeleteScheduledEvent(late));
    EXPECT_TRUE(DeleteScheduledEvent(late));
    ASSERT_EQ(ListScheduledEvents().size(), 1u);
}

TEST(DatabaseText, ScheduledEventDisplayTextUsesLocalTimeAndFixedWords)
{
    struct Case {
        const char* tz;
        bool enabled;
        int action, repeat, duration;
        const char* display;
    };
    const Case cases[] = {
        {"UTC0", true, 0, 3, 30, "[On] Wake - Play @ 2026-03-02 07:00 (Weekdays) [30 min]"},
        {"UTC0", false, 1, 0, 0, "[Off] Wake - Record @ 2026-03-02 07:00 (Once)"},
        {"UTC0", true, 2, 4, -5, "[On] Wake - Play+Record @ 2026-03-02 07:00 (Weekends)"},
        {"UTC0", true, 9, 6, 1, "[On] Wake - Unknown @ 2026-03-02 07:00 (Unknown) [1 min]"},
        {"UTC0", true, -1, 2, 0, "[On] Wake - Unknown @ 2026-03-02 07:00 (Weekly)"},
        {"XYZ-2", true, 0, 1, 0, "[On] Wake - Play @ 2026-03-02 09:00 (Daily)"},
        {"XYZ+8", true, 0, 5, 0, "[On] Wake - Play @ 2026-03-01 23:00 (Monthly)"},
    };
    for (const Case& c : cases) {
        ScopedTimeZone zone(c.tz);
        ScheduledEvent e;
        e.name = "Wake";
        e.enabled = c.enabled;
        e.action = c.action;
        e.repeatType = c.repeat;
        e.duration = c.duration;
        e.scheduledTime = k2026March2At0700Utc;
        EXPECT_EQ(ScheduledEventDisplayText(e), c.display) << c.tz;
    }
}

TEST_F(DatabaseEvents, DueEventsAreEnabledPastAndNotYetRun)
{
    const int64_t now = Now();
    struct Case { const char* name; int64_t when; bool enabled; int64_t lastRun; bool due; };
    const Case cases[] = {
        {"never run", now - 600, true, 0, true},
        {"ran before it became due", now - 60, true, now - 86400, true},
        {"earliest", now - 7200, true, 0, true},
        {"disabled", now - 600, false, 0, false},
        {"in the future", now + 3600, true, 0, false},
        {"ran at its time", now - 600, true, now - 600, false},
        {"ran after its time", now - 600, true, now - 300, false},
    };
    for (const Case& c : cases) {
        const int id = AddSimpleEvent(c.name, c.when, c.enabled);
        ASSERT_GT(id, 0);
        if (c.lastRun) {
            ASSERT_TRUE(SetScheduledEventLastRun(id, c.lastRun));
        }
    }

    std::vector<std::string> due;
    for (const ScheduledEvent& e : ListDueScheduledEvents()) {
        due.push_back(e.name);
        EXPECT_TRUE(e.display.empty()) << e.name;
    }
    EXPECT_EQ(due, (std::vector<std::string>{"earliest", "never run", "ran before it became due"}));
}

TEST_F(DatabaseEvents, SongHistorySkipsRepeatsInARow)
{
    struct Case { std::vector<std::string> added; std::vector<std::string> listed; };
    const Case cases[] = {
        {{"x", "x"}, {"x"}},
        {{"x", "y", "x"}, {"x", "y", "x"}},
        {{"Song", "song", "SONG"}, {"SONG", "song", "Song"}},
        {{"a", "", "a"}, {"a"}},
        {{"a", "a ", "a"}, {"a", "a ", "a"}},
    };
    for (const Case& c : cases) {
        ClearSongHistory();
        for (const std::string& title : c.added)
            AddSongHistory(title);
        std::vector<std::string> listed;
        for (const SongHistoryEntry& e : ListSongHistory()) {
            listed.push_back(e.title);
            EXPECT_LE(std::llabs(e.timestamp - Now()), 5);
        }
        EXPECT_EQ(listed, c.listed) << c.added.size() << " titles from " << c.added[0];
    }
}

TEST_F(DatabaseEvents, SongHistoryKeepsTheNewestHundred)
{
    for (int i = 0; i < 150; ++i)
        AddSongHistory("Title " + std::to_string(i));

    const auto entries = ListSongHistory();
    ASSERT_EQ(entries.size(), 100u);
    EXPECT_EQ(entries.front().title, "Title 149");
    EXPECT_EQ(entries.back().title, "Title 50");
    for (size_t i = 1; i < entries.size(); ++i)
        EXPECT_LT(entries[i].id, entries[i - 1].id);
    RawDb raw(path);
    EXPECT_EQ(raw.Value("SELECT count(*) FROM song_history;"), "100");

    ClearSongHistory();
    EXPECT_TRUE(ListSongHistory().empty());
    // After clearing, the last title counts as new again.
    AddSongHistory("Title 149");
    EXPECT_EQ(ListSongHistory().size(), 1u);
}

TEST_F(DatabaseEvents, TextRoundTripsUnchanged)
{
    const std::string values[] = {
        "It's a \"quoted\" name'); DROP TABLE radio_favorites; --",
        "Caf\xC3\xA9 \xE2\x80\x93 \xC3\x9C\x62\x65r \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xF0\x9F\x8E\xB5",
        std::string(200000, 'L') + "\xC3\xA9nd",
        std::string("nul\0inside", 10),
        "%s %d ?1 :name @x $y",
    };
    for (const std::string& v : values) {
        const std::string label = v.substr(0, 24);
        SaveFilePosition(v, 42.5);
        EXPECT_DOUBLE_EQ(LoadFilePosition(v), 42.5) << label;

        const int bookmark = AddBookmark(v, 1.0);
        ASSERT_GT(bookmark, 0) << label;
        EXPECT_EQ(ListBookmarks().front().path, v) << label;

        const int favorite = AddRadioFavorite(v, v + "/url");
        ASSERT_GT(favorite, 0) << label;
        bool found = false;
        for (const RadioFavorite& f : ListRadioFavorites())
            found |= f.id == favorite && f.name == v && f.url == v + "/url";
        EXPECT_TRUE(found) << label;

        const int podcast = AddPodcastSubscription(v, v, v);
        ASSERT_GT(podcast, 0) << label;
        found = false;
        for (const PodcastSubscription& s : ListPodcastSubscriptions())
            found |= s.id == podcast && s.name == v && s.feedUrl == v && s.imageUrl == v;
        EXPECT_TRUE(found) << label;

        const int event = AddSimpleEvent("e", 5);
        ASSERT_TRUE(UpdateScheduledEvent(event, v, 0, 0, v, 0, 5, 0, true, 0, 0));
        found = false;
        for (const ScheduledEvent& e : ListScheduledEvents())
            found |= e.id == event && e.name == v && e.sourcePath == v;
        EXPECT_TRUE(found) << label;

        AddSongHistory(v);
        EXPECT_EQ(ListSongHistory().front().title, v) << label;
        AddSongHistory(v);
        EXPECT_EQ(ListSongHistory().size(), 1u) << label;
        ClearSongHistory();
    }
    RawDb raw(path);
    EXPECT_EQ(raw.Value("SELECT count(*) FROM radio_favorites;"), "5");
}

TEST_F(DatabaseEvents, LockedDatabaseIsWaitedFor)
{
    RawDb other(path);
    ASSERT_TRUE(other.Exec("BEGIN IMMEDIATE; INSERT INTO song_history (title, timestamp) "
                           "VALUES ('from elsewhere', 1);"));
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        other.Exec("COMMIT;");
    });
    const int id = AddBookmark("/music/a.mp3", 1.0);
    release.join();
    EXPECT_GT(id, 0);
    EXPECT_EQ(ListSongHistory().size(), 1u);
}

TEST(DatabaseClosed, EveryOperationAnswersAtOnce)
{
    CloseDatabase();
    EXPECT_FALSE(IsDatabaseOpen());
    SaveFilePosition("/music/a.mp3", 10.0);
    EXPECT_EQ(LoadFilePosition("/music/a.mp3"), 0.0);
    EXPECT_EQ(AddBookmark("/music/a.mp3", 1.0), -1);
    EXPECT_FALSE(DeleteBookmark(1));
    EXPECT_TRUE(ListBookmarks().empty());
    EXPECT_EQ(AddRadioFavorite("a", "http://a/"), -1);
    EXPECT_FALSE(UpdateRadioFavorite(1, "a", "http://a/"));
    EXPECT_FALSE(DeleteRadioFavorite(1));
    EXPECT_TRUE(ListRadioFavorites().empty());
    EXPECT_FALSE(SaveRadioFavoriteOrder({RadioFavorite{}}));
    EXPECT_FALSE(ResetRadioFavoriteOrder());
    EXPECT_EQ(AddPodcastSubscription("p", "http://p/", ""), -1);
    EXPECT_FALSE(DeletePodcastSubscription(1));
    EXPECT_FALSE(TouchPodcastSubscription(1));
    EXPECT_TRUE(ListPodcastSubscriptions().empty());
    EXPECT_FALSE(SavePodcastOrder({PodcastSubscription{}}));
    EXPECT_FALSE(ResetPodcastOrder());
    EXPECT_EQ(AddSimpleEvent("e", 1), -1);
    EXPECT_FALSE(UpdateScheduledEvent(1, "e", 0, 0, "", 0, 1, 0, true, 0, 0));
    EXPECT_FALSE(DeleteScheduledEvent(1));
    EXPECT_FALSE(SetScheduledEventEnabled(1, true));
    EXPECT_FALSE(SetScheduledEventLastRun(1, 1));
    EXPECT_FALSE(SetScheduledEventTime(1, 1));
    EXPECT_TRUE(ListScheduledEvents().empty());
    EXPECT_TRUE(ListDueScheduledEvents().empty());
    AddSongHistory("title");
    EXPECT_TRUE(ListSongHistory().empty());
    ClearSongHistory();
    CloseDatabase();
}
