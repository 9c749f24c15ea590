#include "audio/Syncs.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace audio {
namespace {

struct Delivery {
    Handle sync = 0;
    Handle channel = 0;
    std::uint32_t data = 0;
    SyncProc proc = nullptr;
    void* user = nullptr;
};

struct NotifyState {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Delivery> queue;
    std::thread thread;
    bool running = false;
    // Guards one delivery at a time, so that removing a sync waits for a
    // running callback of it to return.
    std::mutex deliveryLock;
};

NotifyState g_notify;

void NotifyLoop()
{
    std::unique_lock<std::mutex> lock(g_notify.mutex);
    while (true) {
        g_notify.wake.wait(lock, [] { return !g_notify.running || !g_notify.queue.empty(); });
        if (!g_notify.running)
            return;
        Delivery d = g_notify.queue.front();
        g_notify.queue.pop_front();
        std::lock_guard<std::mutex> delivering(g_notify.deliveryLock);
        lock.unlock();
        d.proc(d.sync, d.channel, d.data, d.user);
        lock.lock();
    }
}

}  // namespace

void NotificationThreadStart()
{
    std::lock_guard<std::mutex> lock(g_notify.mutex);
    if (g_notify.running)
        return;
    g_notify.running = true;
    g_notify.thread = std::thread(NotifyLoop);
}

void NotificationThreadStop()
{
    {
        std::lock_guard<std::mutex> lock(g_notify.mutex);
        if (!g_notify.running)
            return;
        g_notify.running = false;
        g_notify.queue.clear();
    }
    g_notify.wake.notify_all();
    if (g_notify.thread.joinable()) {
        if (g_notify.thread.get_id() == std::this_thread::get_id())
            g_notify.thread.detach();  // freed from inside a sync callback
        else
            g_notify.thread.join();
    }
}

void FireSyncs(Channel& channel, std::uint32_t type, std::uint32_t data, Handle only)
{
    std::vector<Delivery> due;
    {
        std::lock_guard<std::mutex> lock(channel.syncLock);
        for (auto it = channel.syncs.begin(); it != channel.syncs.end();) {
            if ((it->type & ~kSyncOneTime) != type || (only != 0 && it->handle != only)) {
                ++it;
                continue;
            }
            due.push_back({it->handle, channel.handle, data, it->proc, it->user});
            if (it->type & kSyncOneTime)
                it = channel.syncs.erase(it);
            else
                ++it;
        }
    }
    if (due.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(g_notify.mutex);
        if (!g_notify.running)
            return;
        for (auto& d : due)
            g_notify.queue.push_back(d);
    }
    g_notify.wake.notify_one();
}

void FireSyncs(Handle handle, std::uint32_t type, std::uint32_t data)
{
    ChannelPtr ch;
    {
        std::lock_guard<std::mutex> lock(g_audio.mutex);
        auto it = g_audio.channels.find(handle);
        if (it == g_audio.channels.end())
            return;
        ch = it->second;
    }
    FireSyncs(*ch, type, data);
}

void DropQueuedSyncs(Handle handle)
{
    {
        std::lock_guard<std::mutex> lock(g_notify.mutex);
        std::erase_if(g_notify.queue, [handle](const Delivery& d) { return d.sync == handle || d.channel == handle; });
    }
    // Wait out a callback already running, unless we are that callback.
    if (g_notify.thread.get_id() != std::this_thread::get_id()) {
        std::lock_guard<std::mutex> waitDelivery(g_notify.deliveryLock);
    }
}

}  // namespace audio
