#include "storage/Settings.h"

#include "storage/IniFile.h"

#include <algorithm>
#include <cfloat>
#include <string>

Settings g_settings;

namespace {

// Windows limits these paths to MAX_PATH (260); here a path may be as long
// as PATH_MAX, and cutting one would point at a different file.
constexpr size_t kPathChars = 4096;
// Room for any float written with "%.3f" (FLT_MAX has 39 digits), so that
// every value a save writes reads back as itself.
constexpr size_t kDecimalChars = 64;

struct DspParamRow {
    const char* key;
    float Settings::DspParams::*field;
    int decimals;
};

// Effect parameter ids 4..37, in id order.
constexpr DspParamRow kDspParams[] = {
    {"ReverbMix", &Settings::DspParams::reverbMix, 2},
    {"ReverbRoom", &Settings::DspParams::reverbRoom, 2},
    {"ReverbDamp", &Settings::DspParams::reverbDamp, 2},
    {"DX8ReverbTime", &Settings::DspParams::dx8ReverbTime, 2},
    {"DX8ReverbHFRatio", &Settings::DspParams::dx8ReverbHFRatio, 3},
    {"DX8ReverbMix", &Settings::DspParams::dx8ReverbMix, 2},
    {"I3DL2Room", &Settings::DspParams::i3dl2Room, 2},
    {"I3DL2DecayTime", &Settings::DspParams::i3dl2DecayTime, 2},
    {"I3DL2Diffusion", &Settings::DspParams::i3dl2Diffusion, 2},
    {"I3DL2Density", &Settings::DspParams::i3dl2Density, 2},
    {"EchoDelay", &Settings::DspParams::echoDelay, 2},
    {"EchoFeedback", &Settings::DspParams::echoFeedback, 2},
    {"EchoMix", &Settings::DspParams::echoMix, 2},
    {"EQPreamp", &Settings::DspParams::eqPreamp, 2},
    {"EQBass", &Settings::DspParams::eqBass, 2},
    {"EQMid", &Settings::DspParams::eqMid, 2},
    {"EQTreble", &Settings::DspParams::eqTreble, 2},
    {"CompThreshold", &Settings::DspParams::compThreshold, 2},
    {"CompRatio", &Settings::DspParams::compRatio, 2},
    {"CompAttack", &Settings::DspParams::compAttack, 2},
    {"CompRelease", &Settings::DspParams::compRelease, 2},
    {"CompGain", &Settings::DspParams::compGain, 2},
    {"StereoWidth", &Settings::DspParams::stereoWidth, 2},
    {"CenterCancel", &Settings::DspParams::centerCancel, 2},
    {"ConvolutionMix", &Settings::DspParams::convolutionMix, 2},
    {"ConvolutionGain", &Settings::DspParams::convolutionGain, 2},
    {"SpatialBlend", &Settings::DspParams::spatialBlend, 2},
    {"SpatialWidth", &Settings::DspParams::spatialWidth, 2},
    {"SpatialRotation", &Settings::DspParams::spatialRotation, 2},
    {"SpatialMode", &Settings::DspParams::spatialMode, 2},
    {"SpatialRearCenter", &Settings::DspParams::spatialRearCenter, 2},
    {"SpatialX", &Settings::DspParams::spatialX, 2},
    {"SpatialY", &Settings::DspParams::spatialY, 2},
    {"SpatialZ", &Settings::DspParams::spatialZ, 2},
};
constexpr int kFirstDspParamId = 4;

struct SeekAmountRow {
    const char* key;
    bool Settings::Movement::*field;
};

constexpr SeekAmountRow kSeekAmounts[] = {
    {"Seek1s", &Settings::Movement::seek1s},   {"Seek5s", &Settings::Movement::seek5s},
    {"Seek10s", &Settings::Movement::seek10s}, {"Seek30s", &Settings::Movement::seek30s},
    {"Seek1m", &Settings::Movement::seek1m},   {"Seek5m", &Settings::Movement::seek5m},
    {"Seek10m", &Settings::Movement::seek10m}, {"Seek30m", &Settings::Movement::seek30m},
    {"Seek1h", &Settings::Movement::seek1h},   {"Seek1t", &Settings::Movement::seek1t},
    {"Seek5t", &Settings::Movement::seek5t},   {"Seek10t", &Settings::Movement::seek10t},
};
constexpr int kSeekAmountCount = 12;

struct DspSwitchRow {
    const char* key;
    bool Settings::DspEffects::*field;
};

constexpr DspSwitchRow kDspSwitches[] = {
    {"Reverb", &Settings::DspEffects::reverb},
    {"Echo", &Settings::DspEffects::echo},
    {"EQ", &Settings::DspEffects::eq},
    {"Compressor", &Settings::DspEffects::compressor},
    {"StereoWidth", &Settings::DspEffects::stereoWidth},
    {"CenterCancel", &Settings::DspEffects::centerCancel},
    {"Convolution", &Settings::DspEffects::convolution},
    {"SpatialAudio", &Settings::DspEffects::spatialAudio},
};

struct Reader {
    const IniDocument& doc;

    bool Bool(const char* section, const char* key, bool def) const
    {
        return IniGetInt(doc, section, key, def ? 1 : 0) != 0;
    }
    int Int(const char* section, const char* key, int def) const
    {
        return IniGetInt(doc, section, key, def);
    }
    int Clamped(const char* section, const char* key, int def, int lo, int hi) const
    {
        return std::clamp(Int(section, key, def), lo, hi);
    }
    // 0 .. count-1; anything else becomes 0.
    int Choice(const char* section, const char* key, int def, int count) const
    {
        const int v = Int(section, key, def);
        return v >= 0 && v < count ? v : 0;
    }
    double Decimal(const char* section, const char* key, const char* def) const
    {
        return IniParseDouble(IniGetString(doc, section, key, def, kDecimalChars));
    }
    float DecimalClamped(const char* section, const char* key, const char* def, double lo, double hi) const
    {
        return static_cast<float>(std::clamp(Decimal(section, key, def), lo, hi));
    }
    std::string Text(const char* section, const char* key, const char* def, size_t bufferChars) const
    {
        return IniGetString(doc, section, key, def, bufferChars);
    }
};

struct Writer {
    IniDocument& doc;

    void Bool(const char* section, const char* key, bool v) { IniSetString(doc, section, key, v ? "1" : "0"); }
    void Int(const char* section, const char* key, int v) { IniSetString(doc, section, key, std::to_string(v)); }
    void Decimal(const char* section, const char* key, double v, int decimals)
    {
        IniSetString(doc, section, key, IniFormatDouble(v, decimals));
    }
    // A text with a line break cannot be stored; the old value then stays.
    void Text(const char* section, const char* key, const std::string& v) { IniSetString(doc, section, key, v); }
};

// Beyond float range a value would become infinite.
float ToFloat(double v)
{
    return static_cast<float>(std::clamp(v, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

int RoundedPercent(float fraction)
{
    return static_cast<int>(static_cast<double>(fraction) * 100.0 + 0.5);
}

void ReadPlayback(const Reader& r, Settings::Playback& p)
{
    const char* s = "Playback";
    p.deviceName = r.Text(s, "DeviceName", "", 256);
    p.rewindOnPauseMs = std::max(0, r.Int(s, "RewindOnPauseMs", 0));
    p.allowAmplify = r.Bool(s, "AllowAmplify", false);
    p.rememberState = r.Bool(s, "RememberState", false);
    p.rememberPosMinutes = r.Int(s, "RememberPosMinutes", 0);
    p.bringToFront = r.Bool(s, "BringToFront", true);
    p.minimizeToTray = r.Bool(s, "MinimizeToTray", true);
    p.loadFolder = r.Bool(s, "LoadFolder", false);
    p.registerFileTypes = r.Bool(s, "RegisterFileTypes", false);
    p.volumeStep = std::clamp(static_cast<float>(r.Int(s, "VolumeStep", 2) / 100.0), 0.01f, 0.25f);
    p.showTitleInWindow = r.Bool(s, "ShowTitleInWindow", true);
    const float maxVolume = p.allowAmplify ? 4.0f : 1.0f;
    p.volume = std::clamp(static_cast<float>(r.Int(s, "Volume", 100) / 100.0), 0.0f, maxVolume);
    p.pitch = r.DecimalClamped(s, "Pitch", "0", -12, 12);
    p.tempo = r.DecimalClamped(s, "Tempo", "0", -75, 200);
    p.rate = r.DecimalClamped(s, "Rate", "1.0", 0.25, 4);
    p.shuffle = r.Bool(s, "Shuffle", false);
    p.autoAdvance = r.Bool(s, "AutoAdvance", true);
    p.repeatMode = r.Choice(s, "RepeatMode", 0, 3);
    p.playlistFollow = r.Bool(s, "PlaylistFollow", true);
    p.checkForUpdates = r.Bool(s, "CheckForUpdates", true);
    p.allowMultipleInstances = r.Bool(s, "AllowMultipleInstances", false);
}

void WritePlayback(Writer& w, const Settings::Playback& p)
{
    const char* s = "Playback";
    w.Text(s, "DeviceName", p.deviceName);
    w.Int(s, "RewindOnPauseMs", p.rewindOnPauseMs);
    w.Bool(s, "AllowAmplify", p.allowAmplify);
    w.Bool(s, "RememberState", p.rememberState);
    w.Int(s, "RememberPosMinutes", p.rememberPosMinutes);
    w.Bool(s, "BringToFront", p.bringToFront);
    w.Bool(s, "MinimizeToTray", p.minimizeToTray);
    w.Bool(s, "LoadFolder", p.loadFolder);
    w.Bool(s, "RegisterFileTypes", p.registerFileTypes);
    w.Int(s, "VolumeStep", RoundedPercent(p.volumeStep));
    w.Bool(s, "ShowTitleInWindow", p.showTitleInWindow);
    w.Int(s, "Volume", RoundedPercent(p.volume));
    w.Decimal(s, "Pitch", p.pitch, 1);
    w.Decimal(s, "Tempo", p.tempo, 1);
    w.Decimal(s, "Rate", p.rate, 2);
    w.Bool(s, "Shuffle", p.shuffle);
    w.Bool(s, "AutoAdvance", p.autoAdvance);
    w.Int(s, "RepeatMode", p.repeatMode);
    w.Bool(s, "PlaylistFollow", p.playlistFollow);
    w.Bool(s, "CheckForUpdates", p.checkForUpdates);
    w.Bool(s, "AllowMultipleInstances", p.allowMultipleInstances);
}

void ReadAudioEngines(const Reader& r, Settings& st)
{
    Settings::Advanced& a = st.advanced;
    a.bufferSize = r.Clamped("Advanced", "BufferSize", 500, 100, 5000);
    a.updatePeriod = r.Clamped("Advanced", "UpdatePeriod", 100, 5, 500);
    a.tempoAlgorithm = r.Choice("Advanced", "TempoAlgorithm", 0, 3);
    a.legacyVolume = r.Bool("Advanced", "LegacyVolume", false);
    a.disableBatchDelay = r.Bool("Advanced", "DisableBatchDelay", false);
    a.eqBassFreq = ToFloat(r.Decimal("Advanced", "EQBassFreq", "50"));
    a.eqMidFreq = ToFloat(r.Decimal("Advanced", "EQMidFreq", "1000"));
    a.eqTrebleFreq = ToFloat(r.Decimal("Advanced", "EQTrebleFreq", "12000"));

    Settings::SoundTouch& t = st.soundTouch;
    t.antiAliasFilter = r.Bool("SoundTouch", "AntiAliasFilter", true);
    t.aaFilterLength = r.Clamped("SoundTouch", "AAFilterLength", 32, 8, 128);
    t.quickAlgorithm = r.Bool("SoundTouch", "QuickAlgorithm", false);
    t.sequenceMs = r.Clamped("SoundTouch", "SequenceMs", 82, 0, 200);
    t.seekWindowMs = r.Clamped("SoundTouch", "SeekWindowMs", 28, 0, 100);
    t.overlapMs = r.Clamped("SoundTouch", "OverlapMs", 8, 0, 50);
    t.preventClick = r.Bool("SoundTouch", "PreventClick", false);
    t.algorithm = r.Clamped("SoundTouch", "Algorithm", 1, 0, 2);

    st.speedy.nonlinearSpeedup = r.Bool("Speedy", "NonlinearSpeedup", true);
    st.signalsmith.preset = r.Clamped("Signalsmith", "Preset", 0, 0, 1);
    st.signalsmith.tonalityLimit = r.Clamped("Signalsmith", "TonalityLimit", 0, 0, 20000);

    Settings::Midi& m = st.midi;
    m.soundFont = r.Text("MIDI", "SoundFont", "", kPathChars);
    m.maxVoices = r.Clamped("MIDI", "MaxVoices", 128, 1, 1000);
    m.sincInterp = r.Bool("MIDI", "SincInterp", false);
}

void WriteAudioEngines(Writer& w, const Settings& st)
{
    const Settings::Advanced& a = st.advanced;
    w.Int("Advanced", "BufferSize", a.bufferSize);
    w.Int("Advanced", "UpdatePeriod", a.updatePeriod);
    w.Int("Advanced", "TempoAlgorithm", a.tempoAlgorithm);
    w.Bool("Advanced", "LegacyVolume", a.legacyVolume);
    w.Bool("Advanced", "DisableBatchDelay", a.disableBatchDelay);
    w.Decimal("Advanced", "EQBassFreq", a.eqBassFreq, 1);
    w.Decimal("Advanced", "EQMidFreq", a.eqMidFreq, 1);
    w.Decimal("Advanced", "EQTrebleFreq", a.eqTrebleFreq, 1);

    const Settings::SoundTouch& t = st.soundTouch;
    w.Bool("SoundTouch", "AntiAliasFilter", t.antiAliasFilter);
    w.Int("SoundTouch", "AAFilterLength", t.aaFilterLength);
    w.Bool("SoundTouch", "QuickAlgorithm", t.quickAlgorithm);
    w.Int("SoundTouch", "SequenceMs", t.sequenceMs);
    w.Int("SoundTouch", "SeekWindowMs", t.seekWindowMs);
    w.Int("SoundTouch", "OverlapMs", t.overlapMs);
    w.Bool("SoundTouch", "PreventClick", t.preventClick);
    w.Int("SoundTouch", "Algorithm", t.algorithm);

    w.Bool("Speedy", "NonlinearSpeedup", st.speedy.nonlinearSpeedup);
    w.Int("Signalsmith", "Preset", st.signalsmith.preset);
    w.Int("Signalsmith", "TonalityLimit", st.signalsmith.tonalityLimit);

    w.Text("MIDI", "SoundFont", st.midi.soundFont);
    w.Int("MIDI", "MaxVoices", st.midi.maxVoices);
    w.Bool("MIDI", "SincInterp", st.midi.sincInterp);
}

void ReadEffects(const Reader& r, Settings::Effects& e)
{
    const char* s = "Effects";
    e.reverbAlgorithm = r.Clamped(s, "ReverbAlgorithm", 0, 0, 3);
    e.volume = r.Bool(s, "Volume", true);
    e.pitch = r.Bool(s, "Pitch", false);
    e.tempo = r.Bool(s, "Tempo", false);
    e.rate = r.Bool(s, "Rate", false);
    const bool inCycle[4] = {e.volume, e.pitch, e.tempo, e.rate};
    int current = r.Int(s, "CurrentEffect", 0);
    if (current < 0 || current > 3 || !inCycle[current]) {
        current = 0;
        for (int i = 0; i < 4; ++i) {
            if (inCycle[i]) {
                current = i;
                break;
            }
        }
    }
    e.currentEffect = current;
    e.rateStepMode = r.Choice(s, "RateStepMode", 0, 2);
}

void WriteEffects(Writer& w, const Settings::Effects& e)
{
    const char* s = "Effects";
    w.Int(s, "ReverbAlgorithm", e.reverbAlgorithm);
    w.Bool(s, "Volume", e.volume);
    w.Bool(s, "Pitch", e.pitch);
    w.Bool(s, "Tempo", e.tempo);
    w.Bool(s, "Rate", e.rate);
    w.Int(s, "CurrentEffect", e.currentEffect);
    w.Int(s, "RateStepMode", e.rateStepMode);
}

void ReadOutputs(const Reader& r, Settings& st)
{
    Settings::YouTube& y = st.youTube;
    // YtdlpPath is detected at load, never taken from the file.
    y.apiKey = r.Text("YouTube", "ApiKey", "", 512);
    y.videoMode = r.Bool("YouTube", "VideoMode", false);
    y.clearCacheOnExit = r.Bool("YouTube", "ClearCacheOnExit", false);
    y.cacheLimitMB = std::max(0, r.Int("YouTube", "CacheLimitMB", 0));

    st.downloads.path = r.Text("Downloads", "Path", "", 512);
    st.downloads.organizeByFeed = r.Bool("Downloads", "OrganizeByFeed", false);

    Settings::Recording& rec = st.recording;
    rec.path = r.Text("Recording", "Path", "", 512);
    rec.filenameTemplate = r.Text("Recording", "Template", "%Y-%m-%d_%H-%M-%S", 512);
    rec.format = r.Clamped("Recording", "Format", 0, 0, 3);
    rec.bitrate = r.Int("Recording", "Bitrate", 192);
}

void WriteOutputs(Writer& w, const Settings& st)
{
    const Settings::YouTube& y = st.youTube;
    w.Text("YouTube", "YtdlpPath", y.ytdlpPath);
    w.Text("YouTube", "ApiKey", y.apiKey);
    w.Bool("YouTube", "VideoMode", y.videoMode);
    w.Bool("YouTube", "ClearCacheOnExit", y.clearCacheOnExit);
    w.Int("YouTube", "CacheLimitMB", y.cacheLimitMB);

    w.Text("Downloads", "Path", st.downloads.path);
    w.Bool("Downloads", "OrganizeByFeed", st.downloads.organizeByFeed);

    const Settings::Recording& rec = st.recording;
    w.Text("Recording", "Path", rec.path);
    w.Text("Recording", "Template", rec.filenameTemplate);
    w.Int("Recording", "Format", rec.format);
    w.Int("Recording", "Bitrate", rec.bitrate);
}

void ReadInterface(const Reader& r, Settings& st)
{
    Settings::Speech& sp = st.speech;
    sp.trackChange = r.Bool("Speech", "TrackChange", false);
    sp.volume = r.Bool("Speech", "Volume", true);
    sp.effect = r.Bool("Speech", "Effect", true);
    sp.ytHybrid = r.Bool("Speech", "YTHybrid", true);

    Settings::Movement& m = st.movement;
    const Settings::Movement defaults;
    for (const SeekAmountRow& row : kSeekAmounts)
        m.*row.field = r.Bool("Movement", row.key, defaults.*row.field);
    m.chapterSeek = r.Bool("Movement", "ChapterSeek", true);
    int current = r.Int("Movement", "CurrentSeek", 1);
    if (current < 0 || current >= kSeekAmountCount || !(m.*kSeekAmounts[current].field)) {
        current = 1;
        for (int i = 0; i < kSeekAmountCount; ++i) {
            if (m.*kSeekAmounts[i].field) {
                current = i;
                break;
            }
        }
    }
    m.currentSeek = current;

    st.video.hardwareDecoding = r.Bool("Video", "HardwareDecoding", true);
    st.video.videoOutput = r.Text("Video", "VideoOutput", "gpu", 64);
    st.general.language = r.Text("General", "Language", "", 8);
}

void WriteInterface(Writer& w, const Settings& st)
{
    w.Bool("Speech", "TrackChange", st.speech.trackChange);
    w.Bool("Speech", "Volume", st.speech.volume);
    w.Bool("Speech", "Effect", st.speech.effect);
    w.Bool("Speech", "YTHybrid", st.speech.ytHybrid);

    for (const SeekAmountRow& row : kSeekAmounts)
        w.Bool("Movement", row.key, st.movement.*row.field);
    w.Bool("Movement", "ChapterSeek", st.movement.chapterSeek);
    w.Int("Movement", "CurrentSeek", st.movement.currentSeek);

    w.Bool("Video", "HardwareDecoding", st.video.hardwareDecoding);
    w.Text("Video", "VideoOutput", st.video.videoOutput);
    w.Text("General", "Language", st.general.language);
}

void ReadEffectState(const Reader& r, Settings& st)
{
    for (const DspSwitchRow& row : kDspSwitches)
        st.dspEffects.*row.field = r.Bool("DSPEffects", row.key, false);
    st.dspEffects.convolutionIR = r.Text("DSPEffects", "ConvolutionIR", "", kPathChars);

    // A missing or empty value leaves the parameter at its default.
    for (const DspParamRow& row : kDspParams) {
        const std::string text = r.Text("DSPParams", row.key, "", kDecimalChars);
        if (!text.empty())
            st.dspParams.*row.field = ToFloat(IniParseDouble(text));
    }

    st.recentFiles.clear();
    for (size_t i = 0; i < kMaxRecentFiles; ++i) {
        const std::string key = "File" + std::to_string(i);
        std::string path = r.Text("RecentFiles", key.c_str(), "", kPathChars);
        if (!path.empty())
            st.recentFiles.push_back(std::move(path));
    }
}

void WriteEffectState(Writer& w, const Settings& st)
{
    // The reverb switch (row 0) mirrors the algorithm choice.
    w.Bool("DSPEffects", "Reverb", st.effects.reverbAlgorithm > 0);
    for (size_t i = 1; i < std::size(kDspSwitches); ++i)
        w.Bool("DSPEffects", kDspSwitches[i].key, st.dspEffects.*kDspSwitches[i].field);
    w.Text("DSPEffects", "ConvolutionIR", st.dspEffects.convolutionIR);

    for (const DspParamRow& row : kDspParams)
        w.Decimal("DSPParams", row.key, st.dspParams.*row.field, row.decimals);

    IniClearSection(w.doc, "RecentFiles");
    size_t n = 0;
    for (const std::string& path : st.recentFiles) {
        if (n == kMaxRecentFiles)
            break;
        if (IniSetString(w.doc, "RecentFiles", ("File" + std::to_string(n)).c_str(), path))
            ++n;
    }
}

}  // namespace

Settings ReadSettings(const IniDocument& doc)
{
    const Reader r{doc};
    Settings st;
    ReadPlayback(r, st.playback);
    ReadAudioEngines(r, st);
    ReadEffects(r, st.effects);
    ReadOutputs(r, st);
    ReadInterface(r, st);
    ReadEffectState(r, st);
    return st;
}

void WriteSettings(const Settings& settings, IniDocument& doc)
{
    Writer w{doc};
    WritePlayback(w, settings.playback);
    WriteAudioEngines(w, settings);
    WriteEffects(w, settings.effects);
    WriteOutputs(w, settings);
    WriteInterface(w, settings);
    WriteEffectState(w, settings);
}

void LoadSettingsFrom(const std::string& path)
{
    g_settings = ReadSettings(IniLoadFile(path));
    if (g_settings.general.language.empty())
        g_settings.general.language = SystemLanguageCode();
    g_settings.youTube.ytdlpPath = DetectExtractorPath();
}

void LoadSettings() { LoadSettingsFrom(SettingsFilePath()); }

bool SaveSettingsTo(const std::string& path)
{
    return IniUpdateFile(path, [](IniDocument& doc) { WriteSettings(g_settings, doc); });
}

bool SaveSettings() { return SaveSettingsTo(SettingsFilePath()); }

float* DspParamField(Settings::DspParams& params, int effectId)
{
    const int i = effectId - kFirstDspParamId;
    if (i < 0 || i >= static_cast<int>(std::size(kDspParams)))
        return nullptr;
    return &(params.*kDspParams[i].field);
}

const char* DspParamKey(int effectId)
{
    const int i = effectId - kFirstDspParamId;
    if (i < 0 || i >= static_cast<int>(std::size(kDspParams)))
        return nullptr;
    return kDspParams[i].key;
}

bool* SeekAmountField(Settings::Movement& movement, int index)
{
    if (index < 0 || index >= kSeekAmountCount)
        return nullptr;
    return &(movement.*kSeekAmounts[index].field);
}
