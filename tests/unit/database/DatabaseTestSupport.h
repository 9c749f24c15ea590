#pragma once
// A temporary folder per test and a second, plain SQLite connection for
// looking at (or preparing) the file behind the module's back.
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sqlite3.h>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "storage/Database.h"

inline std::string MakeTempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/corvane-db-XXXXXX";
    if (!mkdtemp(tmpl.data()))
        return {};
    return tmpl;
}

inline void RemoveTree(const std::string& dir)
{
    if (!dir.empty())
        std::system(("rm -rf '" + dir + "'").c_str());
}

inline std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// An independent connection to a database file.
class RawDb {
public:
    explicit RawDb(const std::string& path)
    {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
            sqlite3_close(db_);
            db_ = nullptr;
        }
    }
    ~RawDb() { sqlite3_close(db_); }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    bool Exec(const std::string& sql)
    {
        char* error = nullptr;
        const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
        if (rc != SQLITE_OK)
            ADD_FAILURE() << sql << ": " << (error ? error : "?");
        sqlite3_free(error);
        return rc == SQLITE_OK;
    }

    // Every row of a query, columns joined by '|'.
    std::vector<std::string> Rows(const std::string& sql)
    {
        std::vector<std::string> rows;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
            return rows;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                if (c)
                    row += '|';
                const unsigned char* t = sqlite3_column_text(st, c);
                row += t ? reinterpret_cast<const char*>(t) : "NULL";
            }
            rows.push_back(row);
        }
        sqlite3_finalize(st);
        return rows;
    }

    std::string Value(const std::string& sql)
    {
        const auto rows = Rows(sql);
        return rows.empty() ? std::string("<none>") : rows.front();
    }

    sqlite3* get() { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// A new database file in its own folder, open for each test.
class FreshDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CloseDatabase();
        dir = MakeTempDir();
        ASSERT_FALSE(dir.empty());
        path = dir + "/Corvane.db";
        ASSERT_TRUE(OpenDatabase(path));
    }
    void TearDown() override
    {
        CloseDatabase();
        RemoveTree(dir);
    }

    std::string dir;
    std::string path;
};

inline int64_t Now()
{
    return static_cast<int64_t>(std::time(nullptr));
}
