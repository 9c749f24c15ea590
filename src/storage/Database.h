#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The one SQLite file that keeps what the user builds up over time: resume
// positions, bookmarks, radio favourites, podcast subscriptions, scheduled
// events and the song history of streams. UI thread only.
//
// Every function answers at once when the database is closed: additions -1,
// updates and deletions false, lists empty, the position lookup 0.0.
// Times are seconds since 1970-01-01 UTC; positions are seconds; text is UTF-8.

struct BookmarkRow {
    int id = 0;
    std::string path;
    double position = 0.0;
    std::string display;  // "a.mp3 @ 1:02:05"
    int64_t created = 0;
};

struct RadioFavorite {
    int id = 0;
    std::string name;
    std::string url;
    int64_t created = 0;
    int sortOrder = 0;  // 0 = alphabetical, 1..n = placed by the user
};

struct PodcastSubscription {
    int id = 0;
    std::string name;
    std::string feedUrl;
    std::string imageUrl;
    int64_t lastUpdated = 0;
    int sortOrder = 0;
};

struct ScheduledEvent {
    int id = 0;
    std::string name;
    int action = 0;  // 0 play, 1 record, 2 play and record
    int sourceType = 0;
    std::string sourcePath;
    int radioStationId = 0;
    int64_t scheduledTime = 0;
    int repeatType = 0;  // 0 Once, 1 Daily, 2 Weekly, 3 Weekdays, 4 Weekends, 5 Monthly
    bool enabled = true;
    int64_t lastRun = 0;
    int duration = 0;  // minutes, 0 = no automatic stop
    int stopAction = 0;
    std::string display;  // filled by ListScheduledEvents only
};

struct SongHistoryEntry {
    int id = 0;
    std::string title;
    int64_t timestamp = 0;
};

// Corvane.db in the folder of the settings file.
std::string DefaultDatabasePath();

// Opens (creating or upgrading) the database; true when open. A second call
// while open is a no-op. A file that is damaged, written by a newer build, or
// not writable here is opened read-only: what can be read is listed, every
// change fails. A file that is not a database is not opened at all.
bool OpenDatabase();
bool OpenDatabase(const std::string& path);
void CloseDatabase();
bool IsDatabaseOpen();

void SaveFilePosition(const std::string& path, double seconds);
double LoadFilePosition(const std::string& path);

int AddBookmark(const std::string& path, double seconds);
bool DeleteBookmark(int id);
std::vector<BookmarkRow> ListBookmarks();  // newest first

int AddRadioFavorite(const std::string& name, const std::string& url);
bool UpdateRadioFavorite(int id, const std::string& name, const std::string& url);
bool DeleteRadioFavorite(int id);
std::vector<RadioFavorite> ListRadioFavorites();
// Gives the favourites the sort orders 1, 2, 3, ... in the order of the list.
bool SaveRadioFavoriteOrder(const std::vector<RadioFavorite>& list);
bool ResetRadioFavoriteOrder();

int AddPodcastSubscription(const std::string& name, const std::string& feedUrl,
                           const std::string& imageUrl);
bool DeletePodcastSubscription(int id);
bool TouchPodcastSubscription(int id);
std::vector<PodcastSubscription> ListPodcastSubscriptions();
bool SavePodcastOrder(const std::vector<PodcastSubscription>& list);
bool ResetPodcastOrder();

int AddScheduledEvent(const std::string& name, int action, int sourceType,
                      const std::string& sourcePath, int radioStationId,
                      int64_t scheduledTime, int repeatType, bool enabled,
                      int duration, int stopAction);
bool UpdateScheduledEvent(int id, const std::string& name, int action, int sourceType,
                          const std::string& sourcePath, int radioStationId,
                          int64_t scheduledTime, int repeatType, bool enabled,
                          int duration, int stopAction);
bool DeleteScheduledEvent(int id);
bool SetScheduledEventEnabled(int id, bool enabled);
bool SetScheduledEventLastRun(int id, int64_t time);
bool SetScheduledEventTime(int id, int64_t time);
std::vector<ScheduledEvent> ListScheduledEvents();  // earliest first, display filled
// Enabled events due by now that have not run since they became due.
std::vector<ScheduledEvent> ListDueScheduledEvents();

// Keeps the newest 100 titles; a title equal to the newest one is dropped.
void AddSongHistory(const std::string& title);
std::vector<SongHistoryEntry> ListSongHistory();  // newest first, at most 100
void ClearSongHistory();

// List-box texts, also used by the list operations above.
std::string BookmarkDisplayText(const std::string& path, double seconds);
std::string ScheduledEventDisplayText(const ScheduledEvent& event);  // local time
