#include "storage/Database.h"

#include "platform/Paths.h"
#include "storage/DatabaseInternal.h"

#include <climits>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

struct DatabaseState {
    sqlite3* connection = nullptr;
    std::string path;
};

DatabaseState g_database;

// Stamped into PRAGMA user_version once the schema below is in place. Files
// from before the stamp read 0 and are upgraded; a larger number means a newer
// build wrote the file, and its schema is left alone.
constexpr int kSchemaVersion = 1;

constexpr const char* kCreateFilePositions =
    "CREATE TABLE IF NOT EXISTS file_positions (  path TEXT PRIMARY KEY,  position REAL,  "
    "last_updated INTEGER);";

constexpr const char* kCreateOtherTables[] = {
    "CREATE TABLE IF NOT EXISTS bookmarks (  id INTEGER PRIMARY KEY AUTOINCREMENT,  "
    "path TEXT NOT NULL,  position REAL NOT NULL,  created INTEGER NOT NULL);",
    "CREATE TABLE IF NOT EXISTS radio_favorites (  id INTEGER PRIMARY KEY AUTOINCREMENT,  "
    "name TEXT NOT NULL,  url TEXT NOT NULL,  created INTEGER NOT NULL);",
    "CREATE TABLE IF NOT EXISTS podcast_subscriptions (  id INTEGER PRIMARY KEY AUTOINCREMENT,  "
    "name TEXT NOT NULL,  feed_url TEXT NOT NULL UNIQUE,  image_url TEXT,  "
    "last_updated INTEGER NOT NULL);",
    "CREATE TABLE IF NOT EXISTS scheduled_events (  id INTEGER PRIMARY KEY AUTOINCREMENT,  "
    "name TEXT NOT NULL,  action INTEGER NOT NULL,  source_type INTEGER NOT NULL,  "
    "source_path TEXT NOT NULL,  radio_station_id INTEGER DEFAULT 0,  "
    "scheduled_time INTEGER NOT NULL,  repeat_type INTEGER DEFAULT 0,  enabled INTEGER DEFAULT 1,  "
    "last_run INTEGER DEFAULT 0,  duration INTEGER DEFAULT 0,  stop_action INTEGER DEFAULT 0);",
};

// Run at every open; each one whose column already exists fails harmlessly.
constexpr const char* kUpgrades[] = {
    "ALTER TABLE scheduled_events ADD COLUMN duration INTEGER DEFAULT 0;",
    "ALTER TABLE scheduled_events ADD COLUMN stop_action INTEGER DEFAULT 0;",
    "ALTER TABLE radio_favorites ADD COLUMN sort_order INTEGER DEFAULT 0;",
    "ALTER TABLE podcast_subscriptions ADD COLUMN sort_order INTEGER DEFAULT 0;",
    "CREATE TABLE IF NOT EXISTS song_history (id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "title TEXT NOT NULL, timestamp INTEGER NOT NULL);",
};

bool ExecOn(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Also the first read of the file: a file that is not a database fails here,
// before anything has been written to it.
bool ReadUserVersion(sqlite3* db, int& version)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version;", -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return false;
    }
    const bool ok = sqlite3_step(st) == SQLITE_ROW;
    if (ok)
        version = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return ok;
}

// Writing into a damaged file can spread the damage, so it is only read.
bool PassesQuickCheck(sqlite3* db)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check;", -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return false;
    }
    bool intact = false;
    if (sqlite3_step(st) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(st, 0);
        intact = text && std::string(reinterpret_cast<const char*>(text)) == "ok";
    }
    sqlite3_finalize(st);
    return intact;
}

std::string ImmutableUri(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string uri = "file:";
    for (const unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (plain || c == '/' || c == '.' || c == '_' || c == '-' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri + "?immutable=1";
}

}  // namespace

namespace dbi {

sqlite3* Connection() { return g_database.connection; }

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

Statement::Statement(const char* sql)
{
    if (!g_database.connection)
        return;
    if (sqlite3_prepare_v2(g_database.connection, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

// The explicit length keeps text with embedded NUL bytes whole.
void Statement::BindText(int index, const std::string& text)
{
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::BindInt(int index, int value) { sqlite3_bind_int(stmt_, index, value); }
void Statement::BindInt64(int index, int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
void Statement::BindDouble(int index, double value) { sqlite3_bind_double(stmt_, index, value); }

int Statement::Step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_MISUSE; }

void Statement::Reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::string Statement::Text(int column) const
{
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    if (!text)
        return {};
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

int Statement::Int(int column) const { return sqlite3_column_int(stmt_, column); }
int64_t Statement::Int64(int column) const { return sqlite3_column_int64(stmt_, column); }
double Statement::Double(int column) const { return sqlite3_column_double(stmt_, column); }

bool Statement::Id(int column, int& id) const
{
    const int64_t wide = sqlite3_column_int64(stmt_, column);
    if (wide < INT_MIN || wide > INT_MAX)
        return false;
    id = static_cast<int>(wide);
    return true;
}

int InsertAndGetId(Statement& st)
{
    if (!st.ok() || !st.StepDone())
        return -1;
    const int64_t rowid = sqlite3_last_insert_rowid(g_database.connection);
    return rowid >= 0 && rowid <= INT_MAX ? static_cast<int>(rowid) : -1;
}

bool Exec(const char* sql)
{
    return g_database.connection && ExecOn(g_database.connection, sql);
}

}  // namespace dbi

using dbi::Statement;

std::string DefaultDatabasePath()
{
    const std::string dir = UserDataDir();
    if (dir.empty())
        return {};
    return dir == "/" ? "/Corvane.db" : dir + "/Corvane.db";
}

bool OpenDatabase() { return OpenDatabase(DefaultDatabasePath()); }

bool OpenDatabase(const std::string& path)
{
    if (g_database.connection)
        return true;
    if (path.empty())
        return false;

    // A file we may not write, or one in a folder where SQLite cannot make
    // its side files, is only read. A read-only connection would still leave
    // side files behind, read-only like the database, that keep it unwritable
    // after the user restores its permissions; an immutable open touches
    // nothing but the file itself.
    const std::string folder = ParentDir(path).empty() ? "." : ParentDir(path);
    const bool readOnlyFile = PathExists(path) && (access(path.c_str(), W_OK) != 0 ||
                                                   access(folder.c_str(), W_OK) != 0);
    sqlite3* db = nullptr;
    const int rc =
        readOnlyFile
            ? sqlite3_open_v2(ImmutableUri(path).c_str(), &db,
                              SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr)
            : sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                              nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, 5000);

    int version = 0;
    if (!ReadUserVersion(db, version)) {
        sqlite3_close(db);
        return false;
    }
    if (readOnlyFile || version > kSchemaVersion || !PassesQuickCheck(db)) {
        // Keep what is stored readable, and write nothing at all.
        if (!ExecOn(db, "PRAGMA query_only=1;")) {
            sqlite3_close(db);
            return false;
        }
        g_database = {db, path};
        return true;
    }

    ExecOn(db, "PRAGMA journal_mode=WAL;");
    if (!ExecOn(db, kCreateFilePositions)) {
        sqlite3_close(db);
        return false;
    }
    for (const char* sql : kCreateOtherTables)
        ExecOn(db, sql);
    for (const char* sql : kUpgrades)
        ExecOn(db, sql);
    if (version < kSchemaVersion)
        ExecOn(db, ("PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";").c_str());

    g_database = {db, path};
    return true;
}

void CloseDatabase()
{
    if (!g_database.connection)
        return;
    sqlite3_close(g_database.connection);
    g_database = {};
}

bool IsDatabaseOpen() { return g_database.connection != nullptr; }

// ---- Resume positions ----

void SaveFilePosition(const std::string& path, double seconds)
{
    Statement st("INSERT OR REPLACE INTO file_positions (path, position, last_updated) "
                 "VALUES (?, ?, ?);");
    if (!st.ok())
        return;
    st.BindText(1, path);
    st.BindDouble(2, seconds);
    st.BindInt64(3, dbi::Now());
    st.Step();
}

double LoadFilePosition(const std::string& path)
{
    Statement st("SELECT position FROM file_positions WHERE path = ?;");
    if (!st.ok())
        return 0.0;
    st.BindText(1, path);
    return st.Step() == SQLITE_ROW ? st.Double(0) : 0.0;
}

// ---- Bookmarks ----

std::string BookmarkDisplayText(const std::string& path, double seconds)
{
    // Negative, NaN and absurd positions must not overflow the clock.
    long long s = 0;
    if (seconds > 0)
        s = seconds < 1e15 ? static_cast<long long>(seconds) : 999999999999999LL;
    const long long h = s / 3600, m = (s % 3600) / 60, r = s % 60;
    char clock[64];
    if (h > 0)
        std::snprintf(clock, sizeof clock, "%lld:%02lld:%02lld", h, m, r);
    else
        std::snprintf(clock, sizeof clock, "%lld:%02lld", m, r);
    return FileNamePart(path) + " @ " + clock;
}

int AddBookmark(const std::string& path, double seconds)
{
    Statement st("INSERT INTO bookmarks (path, position, created) VALUES (?, ?, ?);");
    if (!st.ok())
        return -1;
    st.BindText(1, path);
    st.BindDouble(2, seconds);
    st.BindInt64(3, dbi::Now());
    return dbi::InsertAndGetId(st);
}

bool DeleteBookmark(int id)
{
    Statement st("DELETE FROM bookmarks WHERE id = ?;");
    if (!st.ok())
        return false;
    st.BindInt(1, id);
    return st.StepDone();
}

std::vector<BookmarkRow> ListBookmarks()
{
    std::vector<BookmarkRow> rows;
    // Bookmarks made within the same second keep newest first by their id.
    Statement st("SELECT id, path, position, created FROM bookmarks "
                 "ORDER BY created DESC, id DESC;");
    if (!st.ok())
        return rows;
    while (st.Step() == SQLITE_ROW) {
        BookmarkRow row;
        if (!st.Id(0, row.id))
            continue;
        row.path = st.Text(1);
        row.position = st.Double(2);
        row.created = st.Int64(3);
        row.display = BookmarkDisplayText(row.path, row.position);
        rows.push_back(std::move(row));
    }
    return rows;
}

// ---- Song history ----

void AddSongHistory(const std::string& title)
{
    if (!g_database.connection || title.empty())
        return;
    {
        Statement last("SELECT title FROM song_history ORDER BY id DESC LIMIT 1;");
        if (last.ok() && last.Step() == SQLITE_ROW && last.Text(0) == title)
            return;
    }
    {
        Statement insert("INSERT INTO song_history (title, timestamp) VALUES (?, ?);");
        if (!insert.ok())
            return;
        insert.BindText(1, title);
        insert.BindInt64(2, dbi::Now());
        if (!insert.StepDone())
            return;
    }
    dbi::Exec("DELETE FROM song_history WHERE id NOT IN "
              "(SELECT id FROM song_history ORDER BY id DESC LIMIT 100);");
}

std::vector<SongHistoryEntry> ListSongHistory()
{
    std::vector<SongHistoryEntry> entries;
    Statement st("SELECT id, title, timestamp FROM song_history ORDER BY id DESC LIMIT 100;");
    if (!st.ok())
        return entries;
    while (st.Step() == SQLITE_ROW) {
        SongHistoryEntry entry;
        if (!st.Id(0, entry.id))
            continue;
        entry.title = st.Text(1);
        entry.timestamp = st.Int64(2);
        entries.push_back(std::move(entry));
    }
    return entries;
}

void ClearSongHistory()
{
    dbi::Exec("DELETE FROM song_history;");
}
