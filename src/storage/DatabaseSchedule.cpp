// Scheduled events and their list-box text.
#include "storage/Database.h"
#include "storage/DatabaseInternal.h"

#include <ctime>

using dbi::Statement;

namespace {

constexpr const char* kEventColumns =
    "SELECT id, name, action, source_type, source_path, radio_station_id, scheduled_time, "
    "repeat_type, enabled, last_run, duration, stop_action FROM scheduled_events ";

const char* ActionWord(int action)
{
    switch (action) {
    case 0: return "Play";
    case 1: return "Record";
    case 2: return "Play+Record";
    default: return "Unknown";
    }
}

const char* RepeatWord(int repeatType)
{
    switch (repeatType) {
    case 0: return "Once";
    case 1: return "Daily";
    case 2: return "Weekly";
    case 3: return "Weekdays";
    case 4: return "Weekends";
    case 5: return "Monthly";
    default: return "Unknown";
    }
}

std::string LocalMinuteText(int64_t time)
{
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return {};
    char buf[64];
    const size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M", &local);
    return std::string(buf, n);
}

// Steps the statement to its end; rows whose id does not fit are left out.
std::vector<ScheduledEvent> ReadEvents(Statement& st, bool withDisplay)
{
    std::vector<ScheduledEvent> events;
    while (st.Step() == SQLITE_ROW) {
        ScheduledEvent e;
        if (!st.Id(0, e.id))
            continue;
        e.name = st.Text(1);
        e.action = st.Int(2);
        e.sourceType = st.Int(3);
        e.sourcePath = st.Text(4);
        e.radioStationId = st.Int(5);
        e.scheduledTime = st.Int64(6);
        e.repeatType = st.Int(7);
        e.enabled = st.Int64(8) != 0;
        e.lastRun = st.Int64(9);
        e.duration = st.Int(10);
        e.stopAction = st.Int(11);
        if (withDisplay)
            e.display = ScheduledEventDisplayText(e);
        events.push_back(std::move(e));
    }
    return events;
}

void BindEventFields(Statement& st, const std::string& name, int action, int sourceType,
                     const std::string& sourcePath, int radioStationId, int64_t scheduledTime,
                     int repeatType, bool enabled, int duration, int stopAction)
{
    st.BindText(1, name);
    st.BindInt(2, action);
    st.BindInt(3, sourceType);
    st.BindText(4, sourcePath);
    st.BindInt(5, radioStationId);
    st.BindInt64(6, scheduledTime);
    st.BindInt(7, repeatType);
    st.BindInt(8, enabled ? 1 : 0);
    st.BindInt(9, duration);
    st.BindInt(10, stopAction);
}

bool UpdateOneColumn(const char* sql, int64_t value, int id)
{
    Statement st(sql);
    if (!st.ok())
        return false;
    st.BindInt64(1, value);
    st.BindInt(2, id);
    return st.StepDone();
}

}  // namespace

std::string ScheduledEventDisplayText(const ScheduledEvent& e)
{
    std::string text = e.enabled ? "[On] " : "[Off] ";
    text += e.name;
    text += " - ";
    text += ActionWord(e.action);
    text += " @ ";
    text += LocalMinuteText(e.scheduledTime);
    text += " (";
    text += RepeatWord(e.repeatType);
    text += ")";
    if (e.duration > 0)
        text += " [" + std::to_string(e.duration) + " min]";
    return text;
}

int AddScheduledEvent(const std::string& name, int action, int sourceType,
                      const std::string& sourcePath, int radioStationId, int64_t scheduledTime,
                      int repeatType, bool enabled, int duration, int stopAction)
{
    Statement st("INSERT INTO scheduled_events (name, action, source_type, source_path, "
                 "radio_station_id, scheduled_time, repeat_type, enabled, last_run, duration, "
                 "stop_action) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?);");
    if (!st.ok())
        return -1;
    BindEventFields(st, name, action, sourceType, sourcePath, radioStationId, scheduledTime,
                    repeatType, enabled, duration, stopAction);
    return dbi::InsertAndGetId(st);
}

bool UpdateScheduledEvent(int id, const std::string& name, int action, int sourceType,
                          const std::string& sourcePath, int radioStationId,
                          int64_t scheduledTime, int repeatType, bool enabled, int duration,
                          int stopAction)
{
    Statement st("UPDATE scheduled_events SET name = ?, action = ?, source_type = ?, "
                 "source_path = ?, radio_station_id = ?, scheduled_time = ?, repeat_type = ?, "
                 "enabled = ?, duration = ?, stop_action = ? WHERE id = ?;");
    if (!st.ok())
        return false;
    BindEventFields(st, name, action, sourceType, sourcePath, radioStationId, scheduledTime,
                    repeatType, enabled, duration, stopAction);
    st.BindInt(11, id);
    return st.StepDone();
}

bool DeleteScheduledEvent(int id)
{
    Statement st("DELETE FROM scheduled_events WHERE id = ?;");
    if (!st.ok())
        return false;
    st.BindInt(1, id);
    return st.StepDone();
}

bool SetScheduledEventEnabled(int id, bool enabled)
{
    return UpdateOneColumn("UPDATE scheduled_events SET enabled = ? WHERE id = ?;",
                           enabled ? 1 : 0, id);
}

bool SetScheduledEventLastRun(int id, int64_t time)
{
    return UpdateOneColumn("UPDATE scheduled_events SET last_run = ? WHERE id = ?;", time, id);
}

bool SetScheduledEventTime(int id, int64_t time)
{
    return UpdateOneColumn("UPDATE scheduled_events SET scheduled_time = ? WHERE id = ?;", time,
                           id);
}

std::vector<ScheduledEvent> ListScheduledEvents()
{
    Statement st((std::string(kEventColumns) + "ORDER BY scheduled_time ASC;").c_str());
    if (!st.ok())
        return {};
    return ReadEvents(st, true);
}

std::vector<ScheduledEvent> ListDueScheduledEvents()
{
    const int64_t now = dbi::Now();
    Statement st((std::string(kEventColumns) +
                  "WHERE enabled = 1 AND scheduled_time <= ? AND last_run < scheduled_time "
                  "ORDER BY scheduled_time ASC;")
                     .c_str());
    if (!st.ok())
        return {};
    st.BindInt64(1, now);
    return ReadEvents(st, false);
}
