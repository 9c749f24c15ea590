#include "playback/PlaybackSession.h"
#include "recording/Recorder.h"

#include "app/AppMessages.h"
#include "app/Commands.h"
#include "effects/EffectChain.h"
#include "i18n/Translations.h"
#include "platform/Paths.h"
#include "playback/Chapters.h"
#include "playback/OutputVolume.h"
#include "playlist/MediaExtensions.h"
#include "playlist/Playlist.h"
#include "storage/Database.h"
#include "storage/Settings.h"
#include "tempo/TempoProcessor.h"

#include <algorithm>
#include <cctype>

PlaybackSession g_session;

namespace {

PlaybackUi g_ui;

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    const size_t n = std::char_traits<char>::length(prefix);
    if (text.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

void ShowMessage(const std::string& text, MessageKind kind)
{
    if (g_ui.showMessage)
        g_ui.showMessage(text, kind);
}

bool IsMidiPath(const std::string& path)
{
    const std::string ext = LowerExtension(path);
    return ext == ".mid" || ext == ".midi" || ext == ".kar" || ext == ".rmi";
}

// Engine notifications arrive on its notification thread: only post.
void OnOutputEnd(audio::Handle, audio::Handle, std::uint32_t, void*)
{
    const bool holdPaused = !g_settings.playback.autoAdvance && g_settings.playback.repeatMode == 0;
    PostCommand(cmd::Next, holdPaused ? 1 : 0);
}

void OnStreamMeta(audio::Handle, audio::Handle, std::uint32_t, void*)
{
    PostAppMessage(msg::WM_STREAM_TITLE);
}

void OnDownloadFinished(audio::Handle, audio::Handle channel, std::uint32_t, void*)
{
    PostAppMessage(msg::WM_DOWNLOAD_FINISHED, channel);
}

void TearDownChain()
{
    if (g_session.output) {
        if (g_session.endSync)
            audio::ChannelRemoveSync(g_session.output, g_session.endSync);
        RecorderOutputClosing(g_session.output);
        RemoveAllEffects(g_session.output);
        audio::ChannelStop(g_session.output);
        audio::StreamFree(g_session.output);
    }
    if (g_session.source) {
        if (g_session.metaSync)
            audio::ChannelRemoveSync(g_session.source, g_session.metaSync);
        if (g_session.downloadSync)
            audio::ChannelRemoveSync(g_session.source, g_session.downloadSync);
        audio::StreamFree(g_session.source);
    }
    g_session.output = g_session.source = 0;
    g_session.endSync = g_session.metaSync = g_session.downloadSync = 0;
}

void LeaveVideoMode()
{
    g_session.mode = EngineMode::Audio;
    g_session.videoShowing = false;
    if (g_ui.leaveVideoMode)
        g_ui.leaveVideoMode();
}


bool HasCurrentEntry()
{
    return g_playlist.current >= 0 && g_playlist.current < static_cast<int>(g_playlist.entries.size());
}

double ResumeThresholdSeconds()
{
    return g_settings.playback.rememberPosMinutes * 60.0;
}

void SeekToResumePosition(const std::string& path)
{
    if (g_settings.playback.rememberPosMinutes <= 0 || !g_session.output)
        return;
    TempoProcessor* p = CurrentTempoProcessor();
    if (!p || !p->isActive())
        return;
    const double length = p->lengthSeconds();
    if (length < ResumeThresholdSeconds())
        return;
    const double position = LoadFilePosition(path);
    if (position > 0 && position < length)
        p->seek(position);
}

}  // namespace

void SetPlaybackUi(const PlaybackUi& ui)
{
    g_ui = ui;
}

void PlaybackRefresh()
{
    if (g_ui.refreshTitle)
        g_ui.refreshTitle();
    if (g_ui.refreshStatus)
        g_ui.refreshStatus();
}

void NotifyCurrentEntryChanged()
{
    if (g_ui.currentEntryChanged)
        g_ui.currentEntryChanged();
}

bool IsStreamUrl(const std::string& entry)
{
    return StartsWithNoCase(entry, "http://") || StartsWithNoCase(entry, "https://") ||
           StartsWithNoCase(entry, "ftp://");
}

void ApplyEngineOptions()
{
    if (g_session.midiFont) {
        audio::MidiFontFree(g_session.midiFont);
        g_session.midiFont = 0;
    }
    audio::AudioSetConfig(audio::kConfigMidiVoices, g_settings.midi.maxVoices);
    if (!g_settings.midi.soundFont.empty()) {
        g_session.midiFont = audio::MidiFontLoad(g_settings.midi.soundFont);
        if (g_session.midiFont)
            audio::MidiStreamSetFont(0, g_session.midiFont);
    }

    // Some stations turn away clients that do not look like a browser.
    audio::AudioSetConfigText(audio::kConfigNetAgent, "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36");
    audio::AudioSetConfig(audio::kConfigNetTimeout, 30000);
    audio::AudioSetConfig(audio::kConfigNetBuffer, 10000);
    audio::AudioSetConfig(audio::kConfigNetPrebuffer, 50);
}

bool AudioStartup()
{
    audio::AudioSetConfig(audio::kConfigBuffer, g_settings.advanced.bufferSize);
    audio::AudioSetConfig(audio::kConfigUpdatePeriod, g_settings.advanced.updatePeriod);
    audio::AudioSetConfig(audio::kConfigVolumeCurve, 1);

    int device = DeviceIndexByName(g_settings.playback.deviceName);
    if (!audio::AudioInit(device, 44100)) {
        if (device == -1 || !audio::AudioInit(-1, 44100)) {
            ShowMessage(TranslateUtf8("Failed to initialize the audio engine."), MessageKind::Error);
            return false;
        }
        device = -1;
        g_settings.playback.deviceName.clear();
    }
    g_session.deviceIndex = device;

    g_session.loadedPlugins.clear();
    g_session.failedPlugins.clear();
    audio::DecoderFamilies(&g_session.loadedPlugins, &g_session.failedPlugins);
    ApplyEngineOptions();
    return true;
}

void AudioShutdown()
{
    DestroyTempoProcessor();
    TearDownChain();
    g_session.tagChannel = 0;
    g_session.openBitrate = 0;
    g_session.mode = EngineMode::None;
    if (g_session.midiFont) {
        audio::MidiFontFree(g_session.midiFont);
        g_session.midiFont = 0;
    }
    audio::AudioFree();
}

std::string PluginReport()
{
    return audio::FormatPluginReport(g_session.loadedPlugins, g_session.failedPlugins);
}

bool OpenFile(const std::string& path)
{
    if (IsStreamUrl(path))
        return OpenUrl(path, false);

    if (HasVideoExtension(path) && !HasAudioExtension(path)) {
        // The video engine is not part of this build.
        ShowMessage(TranslateUtf8("Cannot play video file:") + std::string("\n") + FileNamePart(path) + "\n\n" +
                        TranslateUtf8("The video playback engine could not be loaded. Please reinstall Corvane."),
                    MessageKind::Warning);
        return false;
    }

    g_session.opening = true;
    g_session.live = false;
    DestroyTempoProcessor();
    TearDownChain();
    g_session.tagChannel = 0;
    ClearChapters();

    const std::uint32_t flags = audio::kUnicodePath | audio::kStreamDecode | audio::kSampleFloat;
    audio::Handle decode = 0;
    if (IsMidiPath(path) && g_settings.midi.sincInterp) {
        decode = audio::MidiStreamCreateFile(path, flags | audio::kMidiSincInterp);
        if (decode && g_session.midiFont)
            audio::MidiStreamSetFont(decode, g_session.midiFont);
    } else {
        decode = audio::StreamCreateFile(path, flags);
    }
    if (!decode) {
        const int code = audio::AudioErrorCode();
        g_session.opening = false;
        if (g_playlist.entries.size() < 2)
            ShowMessage(FileErrorText(path, code), MessageKind::Error);
        return false;
    }

    audio::ChannelInfo info;
    audio::ChannelGetInfo(decode, &info);
    g_session.sourceRate = static_cast<float>(info.freq > 0 ? info.freq : 44100);
    g_session.tagChannel = decode;
    g_session.source = decode;
    float bitrate = 0;
    g_session.openBitrate = audio::ChannelGetAttribute(decode, audio::kAttribBitrate, &bitrate) ? static_cast<int>(bitrate) : 0;

    const audio::Handle output = BuildTempoOutput(decode, g_session.sourceRate, g_settings.advanced.tempoAlgorithm,
                                                  g_settings.playback.tempo, g_settings.playback.pitch);
    if (!output) {
        DestroyTempoProcessor();
        audio::StreamFree(decode);
        g_session.source = g_session.tagChannel = 0;
        g_session.opening = false;
        if (g_playlist.entries.size() < 2)
            ShowMessage(TranslateUtf8("Failed to create tempo stream."), MessageKind::Error);
        return false;
    }
    g_session.output = output;
    if (CurrentTempoProcessor()->typeId() == 0)
        g_session.source = 0;  // the tempo stream frees it

    if (g_settings.playback.rate != 1.0f)
        audio::ChannelSetAttribute(output, audio::kAttribFreq, g_settings.playback.rate * g_session.sourceRate);
    ApplyEffects(output);
    g_session.endSync = audio::ChannelSetSync(output, audio::kSyncEnd, 0, OnOutputEnd, nullptr);
    SeekToResumePosition(path);
    audio::ChannelPlay(output, false);
    ReadChapters(g_session.tagChannel);
    LeaveVideoMode();
    g_session.opening = false;
    PlaybackRefresh();
    return true;
}

bool OpenUrl(const std::string& url, bool quiet)
{
    if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://")) {
        ShowMessage(TranslateUtf8("Only http:// and https:// URLs are supported."), MessageKind::Warning);
        return false;
    }
    g_session.opening = true;
    DestroyTempoProcessor();
    TearDownChain();
    g_session.tagChannel = 0;
    g_session.live = false;
    ClearChapters();

    const std::uint32_t flags = audio::kStreamDecode | audio::kSampleFloat | audio::kStreamStatus;
    audio::Handle stream = audio::StreamCreateUrl(url, flags);
    int code = stream ? 0 : audio::AudioErrorCode();
    if (!stream && code != audio::kErrTimeout && code != audio::kErrFileOpen) {
        // A server that refuses seeking may still play as a blocking stream.
        stream = audio::StreamCreateUrl(url, flags | audio::kStreamBlock);
        if (!stream)
            code = audio::AudioErrorCode();
    }
    if (!stream) {
        g_session.opening = false;
        if (!quiet)
            ShowMessage(UrlErrorText(url, code), MessageKind::Error);
        return false;
    }

    audio::ChannelInfo info;
    audio::ChannelGetInfo(stream, &info);
    g_session.sourceRate = static_cast<float>(info.freq > 0 ? info.freq : 44100);
    g_session.tagChannel = stream;
    g_session.source = stream;
    float bitrate = 0;
    g_session.openBitrate = audio::ChannelGetAttribute(stream, audio::kAttribBitrate, &bitrate) ? static_cast<int>(bitrate) : 0;
    g_session.metaSync = audio::ChannelSetSync(stream, audio::kSyncMeta, 0, OnStreamMeta, nullptr);

    SelectTempoAlgorithm(0);
    const std::int64_t length = audio::ChannelGetLength(stream);
    g_session.live = length <= 0;
    DestroyTempoProcessor();
    TempoProcessor* p = CurrentTempoProcessor();
    if (!p) {
        TearDownChain();
        g_session.tagChannel = 0;
        g_session.opening = false;
        if (!quiet)
            ShowMessage(TranslateUtf8("Failed to create tempo processor."), MessageKind::Error);
        return false;
    }
    if (!g_session.live)
        p->setTempo(g_settings.playback.tempo);
    p->setPitch(g_settings.playback.pitch);
    const audio::Handle output = p->create(stream, g_session.sourceRate);
    if (!output) {
        DestroyTempoProcessor();
        TearDownChain();
        g_session.tagChannel = 0;
        g_session.opening = false;
        if (!quiet)
            ShowMessage(TranslateUtf8("Failed to create tempo stream for URL."), MessageKind::Error);
        return false;
    }
    g_session.output = output;
    g_session.source = 0;  // SoundTouch owns it now; its syncs stay with it

    if (!g_session.live && g_settings.playback.rate != 1.0f)
        audio::ChannelSetAttribute(output, audio::kAttribFreq, g_settings.playback.rate * g_session.sourceRate);
    audio::ChannelSetAttribute(output, audio::kAttribBuffer, 1.0f);
    ApplyEffects(output);
    g_session.endSync = audio::ChannelSetSync(output, audio::kSyncEnd, 0, OnOutputEnd, nullptr);
    if (!g_session.live) {
        ReadChapters(g_session.tagChannel);
        g_session.downloadSync = audio::ChannelSetSync(g_session.tagChannel, audio::kSyncDownload | audio::kSyncOneTime, 0,
                                                       OnDownloadFinished, nullptr);
    }
    audio::ChannelPlay(output, false);
    LeaveVideoMode();
    g_session.opening = false;
    PlaybackRefresh();
    return true;
}

void SaveResumePosition()
{
    if (g_settings.playback.rememberPosMinutes <= 0 || !g_session.output || !HasCurrentEntry())
        return;
    TempoProcessor* p = CurrentTempoProcessor();
    if (!p || !p->isActive())
        return;
    if (p->lengthSeconds() >= ResumeThresholdSeconds())
        SaveFilePosition(g_playlist.entries[g_playlist.current], p->positionSeconds());
}

double CurrentPositionSeconds()
{
    if (!g_session.output)
        return 0.0;
    TempoProcessor* p = CurrentTempoProcessor();
    return p && p->isActive() ? p->positionSeconds() : 0.0;
}

double CurrentLengthSeconds()
{
    if (!g_session.output)
        return 0.0;
    TempoProcessor* p = CurrentTempoProcessor();
    return p && p->isActive() ? p->lengthSeconds() : 0.0;
}

void SeekSeconds(double seconds)
{
    if (!g_session.output)
        return;
    if (TempoProcessor* p = CurrentTempoProcessor(); p && p->isActive())
        p->seek(std::max(0.0, seconds));
}
