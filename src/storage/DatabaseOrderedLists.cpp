// Radio favourites and podcast subscriptions: two lists read alphabetically
// until the user places their rows, then in the user's order.
#include "storage/Database.h"
#include "storage/DatabaseInternal.h"

using dbi::Statement;

namespace {

// One transaction for the whole list: a failure half-way must not leave
// an order that is partly old and partly new.
bool SaveOrder(const char* sql, const std::vector<int>& ids)
{
    Statement st(sql);
    if (!st.ok())
        return false;
    if (!dbi::Exec("BEGIN;"))
        return false;
    bool allDone = true;
    for (size_t i = 0; i < ids.size() && allDone; ++i) {
        st.Reset();
        st.BindInt(1, static_cast<int>(i + 1));
        st.BindInt(2, ids[i]);
        allDone = st.StepDone();
    }
    st.Reset();
    if (allDone && dbi::Exec("COMMIT;"))
        return true;
    dbi::Exec("ROLLBACK;");
    return false;
}

}  // namespace

// ---- Radio favourites ----

int AddRadioFavorite(const std::string& name, const std::string& url)
{
    Statement st("INSERT INTO radio_favorites (name, url, created, sort_order) VALUES (?, ?, ?, "
                 "(SELECT CASE WHEN MAX(sort_order) > 0 THEN MAX(sort_order) + 1 ELSE 0 END "
                 "FROM radio_favorites));");
    if (!st.ok())
        return -1;
    st.BindText(1, name);
    st.BindText(2, url);
    st.BindInt64(3, dbi::Now());
    return dbi::InsertAndGetId(st);
}

bool UpdateRadioFavorite(int id, const std::string& name, const std::string& url)
{
    Statement st("UPDATE radio_favorites SET name = ?, url = ? WHERE id = ?;");
    if (!st.ok())
        return false;
    st.BindText(1, name);
    st.BindText(2, url);
    st.BindInt(3, id);
    return st.StepDone();
}

bool DeleteRadioFavorite(int id)
{
    Statement st("DELETE FROM radio_favorites WHERE id = ?;");
    if (!st.ok())
        return false;
    st.BindInt(1, id);
    return st.StepDone();
}

std::vector<RadioFavorite> ListRadioFavorites()
{
    std::vector<RadioFavorite> rows;
    Statement st("SELECT id, name, url, created, sort_order FROM radio_favorites "
                 "ORDER BY sort_order ASC, name COLLATE NOCASE ASC;");
    if (!st.ok())
        return rows;
    while (st.Step() == SQLITE_ROW) {
        RadioFavorite row;
        if (!st.Id(0, row.id))
            continue;
        row.name = st.Text(1);
        row.url = st.Text(2);
        row.created = st.Int64(3);
        row.sortOrder = st.Int(4);
        rows.push_back(std::move(row));
    }
    return rows;
}

bool SaveRadioFavoriteOrder(const std::vector<RadioFavorite>& list)
{
    std::vector<int> ids;
    ids.reserve(list.size());
    for (const RadioFavorite& f : list)
        ids.push_back(f.id);
    return SaveOrder("UPDATE radio_favorites SET sort_order = ? WHERE id = ?;", ids);
}

bool ResetRadioFavoriteOrder()
{
    return dbi::Exec("UPDATE radio_favorites SET sort_order = 0;");
}

// ---- Podcast subscriptions ----

int AddPodcastSubscription(const std::string& name, const std::string& feedUrl,
                           const std::string& imageUrl)
{
    // A feed already subscribed is refused by the UNIQUE constraint: -1.
    Statement st("INSERT INTO podcast_subscriptions (name, feed_url, image_url, last_updated, "
                 "sort_order) VALUES (?, ?, ?, ?, (SELECT CASE WHEN MAX(sort_order) > 0 THEN "
                 "MAX(sort_order) + 1 ELSE 0 END FROM podcast_subscriptions));");
    if (!st.ok())
        return -1;
    st.BindText(1, name);
    st.BindText(2, feedUrl);
    st.BindText(3, imageUrl);
    st.BindInt64(4, dbi::Now());
    return dbi::InsertAndGetId(st);
}

bool DeletePodcastSubscription(int id)
{
    Statement st("DELETE FROM podcast_subscriptions WHERE id = ?;");
    if (!st.ok())
        return false;
    st.BindInt(1, id);
    return st.StepDone();
}

bool TouchPodcastSubscription(int id)
{
    Statement st("UPDATE podcast_subscriptions SET last_updated = ? WHERE id = ?;");
    if (!st.ok())
        return false;
    st.BindInt64(1, dbi::Now());
    st.BindInt(2, id);
    return st.StepDone();
}

std::vector<PodcastSubscription> ListPodcastSubscriptions()
{
    std::vector<PodcastSubscription> rows;
    Statement st("SELECT id, name, feed_url, image_url, last_updated, sort_order "
                 "FROM podcast_subscriptions ORDER BY sort_order ASC, name COLLATE NOCASE ASC;");
    if (!st.ok())
        return rows;
    while (st.Step() == SQLITE_ROW) {
        PodcastSubscription row;
        if (!st.Id(0, row.id))
            continue;
        row.name = st.Text(1);
        row.feedUrl = st.Text(2);
        row.imageUrl = st.Text(3);
        row.lastUpdated = st.Int64(4);
        row.sortOrder = st.Int(5);
        rows.push_back(std::move(row));
    }
    return rows;
}

bool SavePodcastOrder(const std::vector<PodcastSubscription>& list)
{
    std::vector<int> ids;
    ids.reserve(list.size());
    for (const PodcastSubscription& s : list)
        ids.push_back(s.id);
    return SaveOrder("UPDATE podcast_subscriptions SET sort_order = ? WHERE id = ?;", ids);
}

bool ResetPodcastOrder()
{
    return dbi::Exec("UPDATE podcast_subscriptions SET sort_order = 0;");
}
