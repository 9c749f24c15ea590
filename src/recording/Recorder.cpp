#include "recording/Recorder.h"

#include "audio/EncoderTap.h"
#include "i18n/Translations.h"
#include "platform/Paths.h"
#include "playback/PlaybackSession.h"
#include "recording/RecordingName.h"
#include "recording/SoundFileWriter.h"
#include "speech/AnnouncementQueue.h"
#include "storage/Settings.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Seconds of audio the ring holds while the writer is busy with the disk.
constexpr int kRingSeconds = 8;
constexpr std::size_t kWriteBlockFrames = 4096;
constexpr auto kIdleWait = std::chrono::milliseconds(20);
constexpr int kChannelCheckEvery = 5;   // idle waits between checks that the channel still exists

struct Encoder {
    audio::EncoderTap* tap = nullptr;
    SoundFileWriter writer;
    std::thread thread;
    std::atomic<bool> stopWanted{false};
    std::string finishedPath;
};

struct RecorderState {
    bool recording = false;
    Encoder* encoder = nullptr;   // null once its file is complete
    std::string lastPath;
    RecorderUi ui;
};

RecorderState g_recorder;

void Say(const char* english)
{
    const std::string text = TranslateUtf8(english);
    if (g_recorder.ui.announce)
        g_recorder.ui.announce(text);
    else
        Announce(text, true);
}

void ShowBox(const std::string& text, bool isError)
{
    if (g_recorder.ui.showMessage)
        g_recorder.ui.showMessage(text, isError);
}

void RefreshStatus()
{
    if (g_recorder.ui.refreshStatus)
        g_recorder.ui.refreshStatus();
}

bool ChannelStillExists(audio::Handle channel)
{
    // A stopped channel that still exists answers without an error; a freed
    // one, or an engine that has shut down, with one.
    return audio::ChannelIsActive(channel) != audio::kStateStopped || audio::AudioErrorCode() == audio::kOk;
}

// Writer thread: moves frames from the ring to the file until asked to stop
// or until the channel has gone (its encoder ends with it).
void WriterLoop(Encoder* enc)
{
    const int channels = audio::EncoderTapChannels(enc->tap);
    const audio::Handle channel = audio::EncoderTapChannel(enc->tap);
    std::vector<float> block(kWriteBlockFrames * static_cast<std::size_t>(channels));
    bool writeFailed = false;
    bool channelGone = false;
    int idle = 0;
    for (;;) {
        const std::size_t n = audio::EncoderTapRead(enc->tap, block.data(), kWriteBlockFrames);
        if (n > 0) {
            if (!writeFailed)
                writeFailed = !WriteSoundFrames(&enc->writer, block.data(), static_cast<long long>(n));
            continue;
        }
        if (enc->stopWanted.load() || channelGone)
            break;
        if (++idle >= kChannelCheckEvery) {
            idle = 0;
            // One more pass empties what arrived before the channel went.
            channelGone = !ChannelStillExists(channel);
            if (channelGone)
                continue;
        }
        std::this_thread::sleep_for(kIdleWait);
    }
    // The stop request comes after the tap was detached: a block pushed just
    // before that may have arrived after the last empty read.
    for (std::size_t n; (n = audio::EncoderTapRead(enc->tap, block.data(), kWriteBlockFrames)) > 0;) {
        if (!writeFailed)
            writeFailed = !WriteSoundFrames(&enc->writer, block.data(), static_cast<long long>(n));
    }
    // Keep whatever reached the disk, even after a write error (disk full).
    enc->finishedPath = FinishSoundFile(&enc->writer);
}

// Stops the tap and the writer and completes the file. UI thread.
void EndEncoder()
{
    Encoder* enc = g_recorder.encoder;
    if (!enc)
        return;
    audio::EncoderTapDetach(enc->tap);
    enc->stopWanted = true;
    if (enc->thread.joinable())
        enc->thread.join();
    if (!enc->finishedPath.empty())
        g_recorder.lastPath = enc->finishedPath;
    audio::EncoderTapFree(enc->tap);
    delete enc;
    g_recorder.encoder = nullptr;
}

std::string PathFor(const std::string& folder, int format)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != '\\')
        path += '/';
    return path + RecordingFileName(format);
}

}  // namespace

void SetRecorderUi(const RecorderUi& ui)
{
    g_recorder.ui = ui;
}

std::string RecordingFolder()
{
    if (!g_settings.recording.path.empty())
        return g_settings.recording.path;
    std::string music = XdgMusicDir();
    if (!music.empty())
        return music;
    char cwd[4096];
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) : std::string(".");
}

std::string LastRecordingPath()
{
    return g_recorder.lastPath;
}

bool IsRecording()
{
    return g_recorder.recording;
}

bool StartRecording()
{
    if (g_recorder.recording)
        return true;
    const audio::Handle output = g_session.output;
    if (!output) {
        Say("Nothing to record");
        return false;
    }
    const std::string folder = RecordingFolder();
    MakeDirectories(folder);

    audio::ChannelInfo info;
    if (!audio::ChannelGetInfo(output, &info) || info.channels <= 0 || info.freq <= 0) {
        Say("Cannot get stream info");
        return false;
    }

    auto* enc = new Encoder;
    const int format = ClampRecordingFormat(g_settings.recording.format);
    bool opened = OpenSoundFile(&enc->writer, PathFor(folder, format), format, g_settings.recording.bitrate,
                                info.freq, info.channels);
    if (!opened && format != kRecordWav) {
        static const char* const kWarnings[] = {
            "", "MP3 encoding failed.\nFalling back to WAV format.", "OGG encoding failed.\nFalling back to WAV format.",
            "FLAC encoding failed.\nFalling back to WAV format."};
        ShowBox(TranslateUtf8(kWarnings[format]), false);
        opened = OpenSoundFile(&enc->writer, PathFor(folder, kRecordWav), kRecordWav, 0, info.freq, info.channels);
    }
    int errorCode = audio::kErrFileOpen;
    if (opened) {
        enc->tap = audio::EncoderTapAttach(output, static_cast<std::size_t>(info.freq) * kRingSeconds);
        if (!enc->tap) {
            errorCode = audio::AudioErrorCode();
            AbandonSoundFile(&enc->writer);
            opened = false;
        }
    }
    if (!opened) {
        delete enc;
        char text[256];
        std::snprintf(text, sizeof text, Translate("Failed to start recording (error %d)"), errorCode);
        ShowBox(text, true);
        return false;
    }
    enc->thread = std::thread(WriterLoop, enc);
    g_recorder.encoder = enc;
    g_recorder.recording = true;
    Say("Recording started");
    RefreshStatus();
    return true;
}

void StopRecording()
{
    if (!g_recorder.recording)
        return;
    EndEncoder();
    g_recorder.recording = false;
    Say("Recording stopped");
    RefreshStatus();
}

void ToggleRecording()
{
    if (g_recorder.recording)
        StopRecording();
    else
        StartRecording();
}

void RecorderOutputClosing(audio::Handle channel)
{
    if (channel && g_recorder.encoder && audio::EncoderTapChannel(g_recorder.encoder->tap) == channel)
        EndEncoder();
}
