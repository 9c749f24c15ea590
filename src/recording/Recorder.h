#pragma once
// The recorder: what the current output channel plays, after tempo, pitch and
// effects, goes to a file in the recordings folder. The entry points run on
// the UI thread; a writer thread of the recorder encodes the tapped frames.
#include <string>

#include "audio/AudioEngine.h"

// How the recorder reaches the user; every member may stay null (tests). A
// null `announce` speaks through Announce(text, true).
struct RecorderUi {
    void (*announce)(const std::string& text) = nullptr;
    void (*showMessage)(const std::string& text, bool isError) = nullptr;  // caption "Corvane"
    void (*refreshStatus)() = nullptr;
};
void SetRecorderUi(const RecorderUi& ui);

// Starts recording g_session.output; false (with the announcement or message
// box) when nothing started. True at once when already recording.
bool StartRecording();
// Ends the recording and announces "Recording stopped"; nothing when idle.
void StopRecording();
// The recording flag (the status bar's "REC").
bool IsRecording();
// Command 820.
void ToggleRecording();

// The playback session calls this just before it frees an output channel:
// the file being recorded from `channel` is completed and gets its name; the
// recording flag stays set until StopRecording, like an encoder that ended
// with its channel. Any other channel is ignored.
void RecorderOutputClosing(audio::Handle channel);

// The folder recordings go to: Recording/Path, else the music folder, else
// the current folder.
std::string RecordingFolder();
// Path of the last completed recording file; empty when none.
std::string LastRecordingPath();
