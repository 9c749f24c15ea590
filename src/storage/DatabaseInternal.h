#pragma once
// Shared by the Database*.cpp files only.
#include <cstdint>
#include <sqlite3.h>
#include <string>

namespace dbi {

// The process's one connection; null while closed.
sqlite3* Connection();

int64_t Now();

// One statement, prepared on the open connection and finalised when it goes.
// Not ok() while the database is closed or when the text does not prepare.
class Statement {
public:
    explicit Statement(const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_; }

    void BindText(int index, const std::string& text);
    void BindInt(int index, int value);
    void BindInt64(int index, int64_t value);
    void BindDouble(int index, double value);

    int Step();
    bool StepDone() { return Step() == SQLITE_DONE; }
    void Reset();

    std::string Text(int column) const;  // NULL reads as ""
    int Int(int column) const;
    int64_t Int64(int column) const;
    double Double(int column) const;
    // Row ids outside 32 bits cannot be passed back safely: false for those.
    bool Id(int column, int& id) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Steps an INSERT; the new row id, or -1.
int InsertAndGetId(Statement& st);

// sqlite3_exec without error text; true on SQLITE_OK.
bool Exec(const char* sql);

}  // namespace dbi
