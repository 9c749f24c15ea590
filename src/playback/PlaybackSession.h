#pragma once
// What is playing: the chain of engine channels built for the current item,
// its flags, and the operations that open items, move through the play queue
// and drive the transport. UI thread only.
#include "audio/AudioEngine.h"

#include <string>
#include <vector>

enum class EngineMode { None, Audio, Video };

struct PlaybackSession {
    EngineMode mode = EngineMode::None;
    audio::Handle output = 0;      // the processor's output: plays, carries effects and volume
    audio::Handle source = 0;      // the decode stream while we still own it
    audio::Handle tagChannel = 0;  // the decode stream, kept for tags, chapters and bitrate
    audio::Handle endSync = 0;
    audio::Handle metaSync = 0;
    audio::Handle downloadSync = 0;
    bool live = false;
    bool opening = false;
    bool changingTrack = false;
    float sourceRate = 44100.0f;
    int openBitrate = 0;
    audio::Handle midiFont = 0;
    int deviceIndex = -1;
    bool muted = false;
    bool videoShowing = false;
    std::vector<std::string> loadedPlugins, failedPlugins;
};

extern PlaybackSession g_session;

// How the session reaches the windows; the window layer fills it in. Every
// member may be left null (tests, start-up).
enum class MessageKind { Error, Warning, Information };
struct PlaybackUi {
    void (*showMessage)(const std::string& text, MessageKind kind) = nullptr;  // caption "Corvane"
    void (*refreshTitle)() = nullptr;
    void (*refreshStatus)() = nullptr;
    void (*leaveVideoMode)() = nullptr;      // hide the video host, 500 x 150
    void (*currentEntryChanged)() = nullptr; // the playlist manager's refresh
};
void SetPlaybackUi(const PlaybackUi& ui);

bool AudioStartup();
// MIDI font and voices, network options: again after every engine start.
void ApplyEngineOptions();
void AudioShutdown();
std::string PluginReport();

bool OpenFile(const std::string& path);
bool OpenUrl(const std::string& url, bool quiet);

void PlayIndex(int index, bool play);
void NextTrack(bool play);
void PreviousTrack();
void JumpTracks(int n);
void Play();
void Pause();
void PlayPause();
void Stop();
void CycleRepeat();

// Title and status bar through the window layer.
void PlaybackRefresh();
// Tells the playlist manager the current entry moved.
void NotifyCurrentEntryChanged();

// Resume positions: stored for the current item when it is left or at exit.
void SaveResumePosition();

// The item's own time, through the tempo processor; 0 when nothing is open.
double CurrentPositionSeconds();
double CurrentLengthSeconds();
void SeekSeconds(double seconds);

// True when a URL (http, https, ftp) rather than a file path.
bool IsStreamUrl(const std::string& entry);

// The texts of the error boxes, by the engine's error code.
std::string FileErrorText(const std::string& path, int code);
std::string UrlErrorText(const std::string& url, int code);
