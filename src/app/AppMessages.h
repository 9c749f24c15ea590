#pragma once
// Posting work to the UI thread from any thread. The window layer installs
// the sink; until then (and after shutdown) posts are dropped.
#include <cstdint>
#include <memory>
#include <string>

namespace msg {
constexpr unsigned WM_USER = 1024;
constexpr unsigned WM_APP = 32768;
constexpr unsigned WM_ANNOUNCE = WM_USER + 1;
constexpr unsigned WM_STREAM_TITLE = WM_USER + 3;
constexpr unsigned WM_PLAYLIST_CURRENT_CHANGED = WM_USER + 4;
constexpr unsigned WM_YOUTUBE_HYBRID = WM_USER + 5;
constexpr unsigned WM_YOUTUBE_MORE = WM_USER + 6;
constexpr unsigned WM_DOWNLOAD_FINISHED = WM_USER + 7;  // a URL item arrived whole (wParam: its tag channel)
constexpr unsigned WM_TRAY_NOTIFY = WM_USER + 10;
constexpr unsigned WM_UPDATE_PROGRESS = WM_USER + 100;
constexpr unsigned WM_UPDATE_DONE = WM_USER + 101;
constexpr unsigned WM_UPDATE_FAILED = WM_USER + 102;
constexpr unsigned WM_DOWNLOAD_DONE = WM_USER + 101;
constexpr unsigned WM_UPDATE_RESULT = WM_USER + 200;
constexpr unsigned WM_RUN_UPDATE = WM_USER + 201;
constexpr unsigned WM_COUNTRY_LIST_READY = WM_APP + 11;
constexpr unsigned WM_EPISODE_ACTIVATED = WM_APP + 12;
}  // namespace msg

// Base of every heap object carried by a posted message; the receiver owns it.
struct MessagePayload {
    virtual ~MessagePayload() = default;
};

struct TextPayload : MessagePayload {
    explicit TextPayload(std::string t) : text(std::move(t)) {}
    std::string text;
};

struct PostedMessage {
    unsigned message = 0;
    std::uintptr_t wParam = 0;
    std::unique_ptr<MessagePayload> payload;
};

struct PostedCommand {
    int id = 0;
    long lParam = 0;
};

using MessageSink = void (*)(PostedMessage&&);
using CommandSink = void (*)(PostedCommand);

// Installed by the main window while it exists; pass nullptr to detach.
void SetMessageSinks(MessageSink messages, CommandSink commands);

// True while a main window receives posts (the "window handle is not null" test).
bool HasMainWindow();

// Thread-safe; delivery happens later on the UI thread.
void PostCommand(int id, long lParam = 0);
void PostAppMessage(unsigned message, std::uintptr_t wParam = 0,
                    std::unique_ptr<MessagePayload> payload = nullptr);
