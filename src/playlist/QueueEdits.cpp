#include "playlist/QueueEdits.h"

#include <algorithm>
#include <utility>

std::string QueueLine(int index, const std::string& entry)
{
    const auto slash = entry.find_last_of("\\/");
    return std::to_string(index + 1) + ". " + (slash == std::string::npos ? entry : entry.substr(slash + 1));
}

int RemoveEntries(Playlist& queue, std::vector<int> indexes)
{
    const int size = static_cast<int>(queue.entries.size());
    indexes.erase(std::remove_if(indexes.begin(), indexes.end(), [size](int i) { return i < 0 || i >= size; }),
                  indexes.end());
    if (indexes.empty())
        return -1;
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    const int first = indexes.front();
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        const int r = *it;
        queue.entries.erase(queue.entries.begin() + r);
        if (r < queue.current)
            --queue.current;
        else if (r == queue.current)
            queue.current = -1;
    }
    const int remaining = static_cast<int>(queue.entries.size());
    if (remaining == 0)
        return -1;
    return std::min(first, remaining - 1);
}

int InsertEntries(Playlist& queue, int at, const std::vector<std::string>& items)
{
    at = std::clamp(at, 0, static_cast<int>(queue.entries.size()));
    queue.entries.insert(queue.entries.begin() + at, items.begin(), items.end());
    if (queue.current >= at)
        queue.current += static_cast<int>(items.size());
    return at;
}

std::vector<int> MoveEntriesUp(Playlist& queue, std::vector<int> selected)
{
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    if (selected.empty() || selected.front() <= 0 || selected.back() >= static_cast<int>(queue.entries.size()))
        return {};
    for (int& i : selected) {
        std::swap(queue.entries[i], queue.entries[i - 1]);
        if (queue.current == i)
            --queue.current;
        else if (queue.current == i - 1)
            ++queue.current;
        --i;
    }
    return selected;
}

std::vector<int> MoveEntriesDown(Playlist& queue, std::vector<int> selected)
{
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    const int last = static_cast<int>(queue.entries.size()) - 1;
    if (selected.empty() || selected.front() < 0 || selected.back() >= last)
        return {};
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        int& i = *it;
        std::swap(queue.entries[i], queue.entries[i + 1]);
        if (queue.current == i)
            ++queue.current;
        else if (queue.current == i + 1)
            --queue.current;
        ++i;
    }
    return selected;
}
