#include "speech/AnnouncementQueue.h"

#include "app/AppMessages.h"
#include "platform/TextEncoding.h"
#include "speech/ScreenReaderBridge.h"

#include <atomic>
#include <deque>
#include <mutex>

namespace {

struct AnnouncementEntry {
    std::string text;
    bool interrupt = true;
};

struct AnnouncementState {
    std::mutex lock;
    std::deque<AnnouncementEntry> queue;
    std::atomic<bool> lockReady{false};
    std::atomic<bool> active{false};
};

AnnouncementState g_announcements;

void Enqueue(std::string text, bool interrupt)
{
    if (!g_announcements.active.load() || !HasMainWindow())
        return;
    {
        std::lock_guard<std::mutex> guard(g_announcements.lock);
        g_announcements.queue.push_back({std::move(text), interrupt});
    }
    // One post per call; the drains after the first of a burst find nothing.
    PostAppMessage(msg::WM_ANNOUNCE);
}

}  // namespace

void Announce(const std::string& text, bool interrupt)
{
    Enqueue(SanitizeUtf8(text), interrupt);
}

void Announce(const char* text, bool interrupt)
{
    Enqueue(text ? SanitizeUtf8(text) : std::string(), interrupt);
}

void Announce(const std::u16string& text, bool interrupt)
{
    Enqueue(Utf16ToUtf8(text), interrupt);
}

void Announce(const char16_t* text, bool interrupt)
{
    Enqueue(text ? Utf16ToUtf8(text) : std::string(), interrupt);
}

void InitAnnouncements()
{
    g_announcements.lockReady.store(true);
    g_announcements.active.store(true);
}

void DrainAnnouncements()
{
    if (!g_announcements.active.load())
        return;
    std::string joined;
    bool interrupt = false;
    {
        std::lock_guard<std::mutex> guard(g_announcements.lock);
        if (g_announcements.queue.empty())
            return;
        // The oldest entry decides for the whole batch.
        interrupt = g_announcements.queue.front().interrupt;
        for (const AnnouncementEntry& entry : g_announcements.queue) {
            if (!joined.empty())
                joined += ", ";
            joined += entry.text;
        }
        g_announcements.queue.clear();
    }
    if (joined.empty())
        return;
    if (interrupt)
        StopSpeaking();
    Speak(joined, interrupt);
}

void ShutdownAnnouncements()
{
    if (g_announcements.active.load()) {
        StopSpeaking();
        g_announcements.active.store(false);
    }
    if (g_announcements.lockReady.load()) {
        std::lock_guard<std::mutex> guard(g_announcements.lock);
        g_announcements.queue.clear();
        g_announcements.lockReady.store(false);
    }
}
