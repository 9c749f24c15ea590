// The operations on an open database: main paths, orders, display texts,
// song-history rules, the due-event rule and the closed-database answers.
#include "storage/Database.h"

#include "DatabaseTestSupport.h"

#include <cmath>
#include <ctime>

namespace {

class DatabaseRows : public FreshDatabaseTest {};

std::vector<std::string> FavoriteNames()
{
    std::vector<std::string> names;
    for (const RadioFavorite& f : ListRadioFavorites())
        names.push_back(f.name + ":" + std::to_string(f.sortOrder));
    return names;
}

std::vector<std::string> PodcastNames()
{
    std::vector<std::string> names;
    for (const PodcastSubscription& s : ListPodcastSubscriptions())
        names.push_back(s.name + ":" + std::to_string(s.sortOrder));
    return names;
}

using Names = std::vector<std::string>;

}  // namespace

TEST_F(DatabaseRows, FilePositionsAreKeptPerPathAndReplaced)
{
    EXPECT_EQ(LoadFilePosition("/music/never.mp3"), 0.0);
    SaveFilePosition("/music/book.m4b", 1234.25);
    SaveFilePosition("/music/other.mp3", 5.0);
    SaveFilePosition("/music/book.m4b", 4321.5);
    EXPECT_DOUBLE_EQ(LoadFilePosition("/music/book.m4b"), 4321.5);
    EXPECT_DOUBLE_EQ(LoadFilePosition("/music/other.mp3"), 5.0);
    EXPECT_EQ(LoadFilePosition("/music/BOOK.m4b"), 0.0);

    RawDb raw(path);
    EXPECT_EQ(raw.Value("SELECT count(*) FROM file_positions;"), "2");
    const int64_t saved = std::stoll(raw.Value(
        "SELECT last_updated FROM file_positions WHERE path = '/music/book.m4b';"));
    EXPECT_LE(std::llabs(saved - Now()), 5);
}

TEST_F(DatabaseRows, BookmarksListNewestFirstWithTheirDisplayText)
{
    const int first = AddBookmark("/music/a.mp3", 65.0);
    const int second = AddBookmark("/music/b.mp3", 3725.9);
    const int third = AddBookmark("/music/c.mp3", 1.0);
    ASSERT_GT(first, 0);
    EXPECT_GT(second, first);
    EXPECT_GT(third, second);
    {
        // An older bookmark must list after newer ones whatever its id.
        RawDb raw(path);
        raw.Exec("UPDATE bookmarks SET created = created - 100 WHERE id = " +
                 std::to_string(third) + ";");
    }

    auto rows = ListBookmarks();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].id, second);
    EXPECT_EQ(rows[0].display, "b.mp3 @ 1:02:05");
    EXPECT_DOUBLE_EQ(rows[0].position, 3725.9);
    EXPECT_EQ(rows[0].path, "/music/b.mp3");
    EXPECT_LE(std::llabs(rows[0].created - Now()), 5);
    EXPECT_EQ(rows[1].id, first);
    EXPECT_EQ(rows[2].id, third);

    EXPECT_TRUE(DeleteBookmark(second));
    EXPECT_TRUE(DeleteBookmark(second));  // no such row any more: still done
    rows = ListBookmarks();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, first);
}

TEST(DatabaseText, BookmarkDisplayText)
{
    struct Case { const char* path; double seconds; const char* display; };
    const Case cases[] = {
        {"C:\\music\\a.mp3", 3725.9, "a.mp3 @ 1:02:05"},
        {"C:\\music\\a.mp3", 65.0, "a.mp3 @ 1:05"},
        {"/home/me/Music/b.ogg", 59.99, "b.ogg @ 0:59"},
        {"/home/me/Music/b.ogg", 36000.0, "b.ogg @ 10:00:00"},
        {"noslash.flac", 0.0, "noslash.flac @ 0:00"},
        {"http://radio.example/live", 3599.0, "live @ 59:59"},
        {"/x.mp3", -12.0, "x.mp3 @ 0:00"},
        {"/x.mp3", std::nan(""), "x.mp3 @ 0:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BookmarkDisplayText(c.path, c.seconds), c.display) << c.path << " " << c.seconds;
    // Absurd positions stay a clock instead of overflowing.
    EXPECT_EQ(BookmarkDisplayText("/x.mp3", 1e300).rfind("x.mp3 @ ", 0), 0u);
    EXPECT_EQ(BookmarkDisplayText("/x.mp3", INFINITY).find('-'), std::string::npos);
}

TEST_F(DatabaseRows, FavouritesFollowAlphabetThenTheUsersOrder)
{
    const int b = AddRadioFavorite("b", "http://b/");
    const int a = AddRadioFavorite("A", "http://a/");
    const int c = AddRadioFavorite("c", "http://c/");
    ASSERT_GT(b, 0);
    ASSERT_GT(a, 0);
    ASSERT_GT(c, 0);
    EXPECT_EQ(FavoriteNames(), (Names{"A:0", "b:0", "c:0"}));

    const auto shown = ListRadioFavorites();
    EXPECT_TRUE(SaveRadioFavoriteOrder({shown[2], shown[0], shown[1]}));
    EXPECT_EQ(FavoriteNames(), (Names{"c:1", "A:2", "b:3"}));

    ASSERT_GT(AddRadioFavorite("a0", "http://a0/"), 0);
    EXPECT_EQ(FavoriteNames(), (Names{"c:1", "A:2", "b:3", "a0:4"}));

    EXPECT_TRUE(ResetRadioFavoriteOrder());
    EXPECT_EQ(FavoriteNames(), (Names{"A:0", "a0:0", "b:0", "c:0"}));

    EXPECT_TRUE(UpdateRadioFavorite(b, "Bee FM", "http://bee/"));
    EXPECT_TRUE(DeleteRadioFavorite(a));
    const auto after = ListRadioFavorites();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[1].id, b);
    EXPECT_EQ(after[1].name, "Bee FM");
    EXPECT_EQ(after[1].url, "http://bee/");
    EXPECT_LE(std::llabs(after[1].created - Now()), 5);
}

TEST_F(DatabaseRows, SavingAnOrderIsAllOrNothing)
{
    for (const char* name : {"a", "b", "c", "d"})
        ASSERT_GT(AddRadioFavorite(name, "http://x/"), 0);
    {
        // Refuse the third position so the save fails half-way.
        RawDb raw(path);
        ASSERT_TRUE(raw.Exec("CREATE TRIGGER refuse BEFORE UPDATE OF sort_order ON radio_favorites "
                             "WHEN NEW.sort_order = 3 BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    }
    const auto shown = ListRadioFavorites();
    EXPECT_FALSE(SaveRadioFavoriteOrder({shown[3], shown[2], shown[1], shown[0]}));
    EXPECT_EQ(FavoriteNames(), (Names{"a:0", "b:0", "c:0", "d:0"}));

    // The database is usable afterwards: no transaction was left open.
    EXPECT_GT(AddRadioFavorite("e", "http://e/"), 0);
    EXPECT_TRUE(SaveRadioFavoriteOrder({shown[1], shown[0]}));
    EXPECT_EQ(FavoriteNames(), (Names{"c:0", "d:0", "e:0", "b:1", "a:2"}));
}

TEST_F(DatabaseRows, PodcastSubscriptionsAreUniqueAndOrdered)
{
    const int news = AddPodcastSubscription("news", "http://feeds/news", "");
    ASSERT_GT(news, 0);
    EXPECT_EQ(AddPodcastSubscription("News again", "http://feeds/news", ""), -1);
    ASSERT_GT(AddPodcastSubscription("Cooking", "http://feeds/cook", "http://img/c.png"), 0);
    ASSERT_GT(AddPodcastSubscription("zoology", "http://feeds/zoo", ""), 0);
    EXPECT_EQ(PodcastNames(), (Names{"Cooking:0", "news:0", "zoology:0"}));

    auto shown = ListPodcastSubscriptions();
    EXPECT_EQ(shown[0].feedUrl, "http://feeds/cook");
    EXPECT_EQ(shown[0].imageUrl, "http://img/c.png");
    EXPECT_TRUE(SavePodcastOrder({shown[2], shown[1], shown[0]}));
    ASSERT_GT(AddPodcastSubscription("Art", "http://feeds/art", ""), 0);
    EXPECT_EQ(PodcastNames(), (Names{"zoology:1", "news:2", "Cooking:3", "Art:4"}));
    EXPECT_TRUE(ResetPodcastOrder());
    EXPECT_EQ(PodcastNames(), (Names{"Art:0", "Cooking:0", "news:0", "zoology:0"}));

    {
        RawDb raw(path);
        raw.Exec("UPDATE podcast_subscriptions SET last_updated = 1000;");
    }
    EXPECT_TRUE(TouchPodcastSubscription(news));
    for (const PodcastSubscription& s : ListPodcastSubscriptions()) {
        const int64_t expected = s.id == news ? Now() : 1000;
        EXPECT_LE(std::llabs(s.lastUpdated - expected), 5) << s.name;
    }
    EXPECT_TRUE(DeletePodcastSubscription(news));
    // Once unsubscribed, the same feed can be added again.
    EXPECT_GT(AddPodcastSubscription("news", "http://feeds/news", ""), news);
}
