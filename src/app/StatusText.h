#pragma once
// The texts of the status bar and the window title, composed from plain
// values so they can be checked without a window.
#include <string>

enum class ChannelState { None, Stopped, Playing, Stalled, Paused };

struct StatusInputs {
    double position = 0.0;  // seconds
    double length = 0.0;    // seconds; 0 = unknown (live streams, nothing open)
    float volume = 1.0f;    // gain
    ChannelState state = ChannelState::None;
    int bitrateKbps = 0;
    bool vbr = false;
    bool recording = false;
    bool video = false;     // state comes from the video engine
};

struct StatusTexts {
    std::string time, volume, state;
};

// "%d:%02d" below one hour, "%d:%02d:%02d" from one hour; negatives show as 0.
std::string FormatTime(double seconds);

StatusTexts ComposeStatus(const StatusInputs& in);

struct TitleInputs {
    bool showTitleInWindow = true;
    bool hasCurrentItem = false;
    std::string currentItem;  // path or URL
    std::string titleText;    // what Speak Title would say
    bool video = false;
    std::string videoTitle;
};

std::string ComposeWindowTitle(const TitleInputs& in);
