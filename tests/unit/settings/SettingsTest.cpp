#include "platform/Paths.h"
#include "storage/IniDocument.h"
#include "storage/IniFile.h"
#include "storage/Settings.h"

#include "SettingsTestSupport.h"

#include <functional>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Getter = std::function<double(const Settings&)>;
#define FIELD(expr) [](const Settings& s) { return static_cast<double>(s.expr); }

// One stored file (nullptr: the key is missing), the value the record gets
// and the text the next save writes for that key.
struct KeyCase {
    const char* section;
    const char* key;
    const char* file;
    Getter field;
    double loaded;
    const char* saved;
};

const KeyCase kNumericCases[] = {
    {"Playback", "RewindOnPauseMs", nullptr, FIELD(playback.rewindOnPauseMs), 0, "0"},
    {"Playback", "RewindOnPauseMs", "[Playback]\nRewindOnPauseMs=-300\n", FIELD(playback.rewindOnPauseMs), 0, "0"},
    {"Playback", "RewindOnPauseMs", "[Playback]\nRewindOnPauseMs=1500\n", FIELD(playback.rewindOnPauseMs), 1500, "1500"},
    {"Playback", "AllowAmplify", nullptr, FIELD(playback.allowAmplify), 0, "0"},
    {"Playback", "AllowAmplify", "[Playback]\nAllowAmplify=7\n", FIELD(playback.allowAmplify), 1, "1"},
    {"Playback", "RememberState", nullptr, FIELD(playback.rememberState), 0, "0"},
    {"Playback", "RememberState", "[Playback]\nRememberState=yes\n", FIELD(playback.rememberState), 0, "0"},
    {"Playback", "RememberPosMinutes", nullptr, FIELD(playback.rememberPosMinutes), 0, "0"},
    {"Playback", "RememberPosMinutes", "[Playback]\nRememberPosMinutes=-5\n", FIELD(playback.rememberPosMinutes), -5, "-5"},
    {"Playback", "BringToFront", nullptr, FIELD(playback.bringToFront), 1, "1"},
    {"Playback", "BringToFront", "[Playback]\nBringToFront=0\n", FIELD(playback.bringToFront), 0, "0"},
    {"Playback", "MinimizeToTray", nullptr, FIELD(playback.minimizeToTray), 1, "1"},
    {"Playback", "LoadFolder", nullptr, FIELD(playback.loadFolder), 0, "0"},
    {"Playback", "RegisterFileTypes", nullptr, FIELD(playback.registerFileTypes), 0, "0"},
    {"Playback", "VolumeStep", nullptr, FIELD(playback.volumeStep), 0.02f, "2"},
    {"Playback", "VolumeStep", "[Playback]\nVolumeStep=0\n", FIELD(playback.volumeStep), 0.01f, "1"},
    {"Playback", "VolumeStep", "[Playback]\nVolumeStep=40\n", FIELD(playback.volumeStep), 0.25f, "25"},
    {"Playback", "VolumeStep", "[Playback]\nVolumeStep=5\n", FIELD(playback.volumeStep), 0.05f, "5"},
    {"Playback", "VolumeStep", "[Playback]\nVolumeStep=29\n", FIELD(playback.volumeStep), 0.25f, "25"},
    {"Playback", "ShowTitleInWindow", nullptr, FIELD(playback.showTitleInWindow), 1, "1"},
    {"Playback", "Volume", nullptr, FIELD(playback.volume), 1.0, "100"},
    {"Playback", "Volume", "[Playback]\nVolume=250\n", FIELD(playback.volume), 1.0, "100"},
    {"Playback", "Volume", "[Playback]\nAllowAmplify=1\nVolume=250\n", FIELD(playback.volume), 2.5, "250"},
    {"Playback", "Volume", "[Playback]\nVolume=500\nAllowAmplify=1\n", FIELD(playback.volume), 4.0, "400"},
    {"Playback", "Volume", "[Playback]\nVolume=-20\n", FIELD(playback.volume), 0.0, "0"},
    {"Playback", "Volume", "[Playback]\nVolume=57\n", FIELD(playback.volume), 0.57f, "57"},
    {"Playback", "Volume", "[Playback]\nVolume=loud\n", FIELD(playback.volume), 0.0, "0"},
    {"Playback", "Pitch", nullptr, FIELD(playback.pitch), 0, "0.0"},
    {"Playback", "Pitch", "[Playback]\nPitch=-3.5\n", FIELD(playback.pitch), -3.5, "-3.5"},
    {"Playback", "Pitch", "[Playback]\nPitch=99\n", FIELD(playback.pitch), 12, "12.0"},
    {"Playback", "Pitch", "[Playback]\nPitch=-99\n", FIELD(playback.pitch), -12, "-12.0"},
    {"Playback", "Tempo", nullptr, FIELD(playback.tempo), 0, "0.0"},
    {"Playback", "Tempo", "[Playback]\nTempo=-80\n", FIELD(playback.tempo), -75, "-75.0"},
    {"Playback", "Tempo", "[Playback]\nTempo=250\n", FIELD(playback.tempo), 200, "200.0"},
    {"Playback", "Tempo", "[Playback]\nTempo=12.25\n", FIELD(playback.tempo), 12.25, "12.2"},
    {"Playback", "Rate", nullptr, FIELD(playback.rate), 1.0, "1.00"},
    {"Playback", "Rate", "[Playback]\nRate=0.1\n", FIELD(playback.rate), 0.25, "0.25"},
    {"Playback", "Rate", "[Playback]\nRate=9\n", FIELD(playback.rate), 4, "4.00"},
    {"Playback", "Rate", "[Playback]\nRate=1.06x\n", FIELD(playback.rate), 1.06f, "1.06"},
    {"Playback", "Rate", "[Playback]\nRate=fast\n", FIELD(playback.rate), 0.25, "0.25"},
    {"Playback", "Shuffle", nullptr, FIELD(playback.shuffle), 0, "0"},
    {"Playback", "Shuffle", "[Playback]\nShuffle=1\n", FIELD(playback.shuffle), 1, "1"},
    {"Playback", "AutoAdvance", nullptr, FIELD(playback.autoAdvance), 1, "1"},
    {"Playback", "RepeatMode", nullptr, FIELD(playback.repeatMode), 0, "0"},
    {"Playback", "RepeatMode", "[Playback]\nRepeatMode=2\n", FIELD(playback.repeatMode), 2, "2"},
    {"Playback", "RepeatMode", "[Playback]\nRepeatMode=3\n", FIELD(playback.repeatMode), 0, "0"},
    {"Playback", "RepeatMode", "[Playback]\nRepeatMode=-1\n", FIELD(playback.repeatMode), 0, "0"},
    {"Playback", "PlaylistFollow", nullptr, FIELD(playback.playlistFollow), 1, "1"},
    {"Playback", "CheckForUpdates", nullptr, FIELD(playback.checkForUpdates), 1, "1"},
    {"Playback", "AllowMultipleInstances", nullptr, FIELD(playback.allowMultipleInstances), 0, "0"},
    {"Playback", "AllowMultipleInstances", "[Playback]\nAllowMultipleInstances=1\n", FIELD(playback.allowMultipleInstances), 1, "1"},

    {"Advanced", "BufferSize", nullptr, FIELD(advanced.bufferSize), 500, "500"},
    {"Advanced", "BufferSize", "[Advanced]\nBufferSize=50\n", FIELD(advanced.bufferSize), 100, "100"},
    {"Advanced", "BufferSize", "[Advanced]\nBufferSize=9000\n", FIELD(advanced.bufferSize), 5000, "5000"},
    {"Advanced", "UpdatePeriod", nullptr, FIELD(advanced.updatePeriod), 100, "100"},
    {"Advanced", "UpdatePeriod", "[Advanced]\nUpdatePeriod=1\n", FIELD(advanced.updatePeriod), 5, "5"},
    {"Advanced", "UpdatePeriod", "[Advanced]\nUpdatePeriod=501\n", FIELD(advanced.updatePeriod), 500, "500"},
    {"Advanced", "TempoAlgorithm", nullptr, FIELD(advanced.tempoAlgorithm), 0, "0"},
    {"Advanced", "TempoAlgorithm", "[Advanced]\nTempoAlgorithm=2\n", FIELD(advanced.tempoAlgorithm), 2, "2"},
    {"Advanced", "TempoAlgorithm", "[Advanced]\nTempoAlgorithm=3\n", FIELD(advanced.tempoAlgorithm), 0, "0"},
    {"Advanced", "LegacyVolume", nullptr, FIELD(advanced.legacyVolume), 0, "0"},
    {"Advanced", "DisableBatchDelay", nullptr, FIELD(advanced.disableBatchDelay), 0, "0"},
    {"Advanced", "EQBassFreq", nullptr, FIELD(advanced.eqBassFreq), 50, "50.0"},
    {"Advanced", "EQBassFreq", "[Advanced]\nEQBassFreq=-5\n", FIELD(advanced.eqBassFreq), -5, "-5.0"},
    {"Advanced", "EQMidFreq", nullptr, FIELD(advanced.eqMidFreq), 1000, "1000.0"},
    {"Advanced", "EQTrebleFreq", nullptr, FIELD(advanced.eqTrebleFreq), 12000, "12000.0"},
    {"Advanced", "EQTrebleFreq", "[Advanced]\nEQTrebleFreq=90000.55\n", FIELD(advanced.eqTrebleFreq), 90000.55f, "90000.5"},

    {"SoundTouch", "AntiAliasFilter", nullptr, FIELD(soundTouch.antiAliasFilter), 1, "1"},
    {"SoundTouch", "AAFilterLength", nullptr, FIELD(soundTouch.aaFilterLength), 32, "32"},
    {"SoundTouch", "AAFilterLength", "[SoundTouch]\nAAFilterLength=4\n", FIELD(soundTouch.aaFilterLength), 8, "8"},
    {"SoundTouch", "AAFilterLength", "[SoundTouch]\nAAFilterLength=200\n", FIELD(soundTouch.aaFilterLength), 128, "128"},
    {"SoundTouch", "QuickAlgorithm", nullptr, FIELD(soundTouch.quickAlgorithm), 0, "0"},
    {"SoundTouch", "SequenceMs", nullptr, FIELD(soundTouch.sequenceMs), 82, "82"},
    {"SoundTouch", "SequenceMs", "[SoundTouch]\nSequenceMs=201\n", FIELD(soundTouch.sequenceMs), 200, "200"},
    {"SoundTouch", "SeekWindowMs", nullptr, FIELD(soundTouch.seekWindowMs), 28, "28"},
    {"SoundTouch", "SeekWindowMs", "[SoundTouch]\nSeekWindowMs=-1\n", FIELD(soundTouch.seekWindowMs), 0, "0"},
    {"SoundTouch", "OverlapMs", nullptr, FIELD(soundTouch.overlapMs), 8, "8"},
    {"SoundTouch", "OverlapMs", "[SoundTouch]\nOverlapMs=51\n", FIELD(soundTouch.overlapMs), 50, "50"},
    {"SoundTouch", "PreventClick", nullptr, FIELD(soundTouch.preventClick), 0, "0"},
    {"SoundTouch", "Algorithm", nullptr, FIELD(soundTouch.algorithm), 1, "1"},
    {"SoundTouch", "Algorithm", "[SoundTouch]\nAlgorithm=5\n", FIELD(soundTouch.algorithm), 2, "2"},
    {"Speedy", "NonlinearSpeedup", nullptr, FIELD(speedy.nonlinearSpeedup), 1, "1"},
    {"Signalsmith", "Preset", nullptr, FIELD(signalsmith.preset), 0, "0"},
    {"Signalsmith", "Preset", "[Signalsmith]\nPreset=4\n", FIELD(signalsmith.preset), 1, "1"},
    {"Signalsmith", "TonalityLimit", nullptr, FIELD(signalsmith.tonalityLimit), 0, "0"},
    {"Signalsmith", "TonalityLimit", "[Signalsmith]\nTonalityLimit=30000\n", FIELD(signalsmith.tonalityLimit), 20000, "20000"},

    {"Effects", "ReverbAlgorithm", nullptr, FIELD(effects.reverbAlgorithm), 0, "0"},
    {"Effects", "ReverbAlgorithm", "[Effects]\nReverbAlgorithm=9\n", FIELD(effects.reverbAlgorithm), 3, "3"},
    {"Effects", "ReverbAlgorithm", "[Effects]\nReverbAlgorithm=-2\n", FIELD(effects.reverbAlgorithm), 0, "0"},
    {"Effects", "Volume", nullptr, FIELD(effects.volume), 1, "1"},
    {"Effects", "Pitch", nullptr, FIELD(effects.pitch), 0, "0"},
    {"Effects", "Tempo", nullptr, FIELD(effects.tempo), 0, "0"},
    {"Effects", "Rate", nullptr, FIELD(effects.rate), 0, "0"},
    {"Effects", "CurrentEffect", nullptr, FIELD(effects.currentEffect), 0, "0"},
    {"Effects", "CurrentEffect", "[Effects]\nPitch=1\nCurrentEffect=1\n", FIELD(effects.currentEffect), 1, "1"},
    {"Effects", "CurrentEffect", "[Effects]\nCurrentEffect=2\n", FIELD(effects.currentEffect), 0, "0"},
    {"Effects", "CurrentEffect", "[Effects]\nVolume=0\nRate=1\nCurrentEffect=7\n", FIELD(effects.currentEffect), 3, "3"},
    {"Effects", "CurrentEffect", "[Effects]\nVolume=0\nTempo=1\nCurrentEffect=-1\n", FIELD(effects.currentEffect), 2, "2"},
    {"Effects", "CurrentEffect", "[Effects]\nVolume=0\nCurrentEffect=2\n", FIELD(effects.currentEffect), 0, "0"},
    {"Effects", "RateStepMode", nullptr, FIELD(effects.rateStepMode), 0, "0"},
    {"Effects", "RateStepMode", "[Effects]\nRateStepMode=1\n", FIELD(effects.rateStepMode), 1, "1"},
    {"Effects", "RateStepMode", "[Effects]\nRateStepMode=2\n", FIELD(effects.rateStepMode), 0, "0"},

    {"MIDI", "MaxVoices", nullptr, FIELD(midi.maxVoices), 128, "128"},
    {"MIDI", "MaxVoices", "[MIDI]\nMaxVoices=0\n", FIELD(midi.maxVoices), 1, "1"},
    {"MIDI", "MaxVoices", "[MIDI]\nMaxVoices=5000\n", FIELD(midi.maxVoices), 1000, "1000"},
    {"MIDI", "SincInterp", nullptr, FIELD(midi.sincInterp), 0, "0"},
    {"YouTube", "VideoMode", nullptr, FIELD(youTube.videoMode), 0, "0"},
    {"YouTube", "ClearCacheOnExit", nullptr, FIELD(youTube.clearCacheOnExit), 0, "0"},
    {"YouTube", "CacheLimitMB", nullptr, FIELD(youTube.cacheLimitMB), 0, "0"},
    {"YouTube", "CacheLimitMB", "[YouTube]\nCacheLimitMB=-10\n", FIELD(youTube.cacheLimitMB), 0, "0"},
    {"YouTube", "CacheLimitMB", "[YouTube]\nCacheLimitMB=2048\n", FIELD(youTube.cacheLimitMB), 2048, "2048"},
    {"Downloads", "OrganizeByFeed", nullptr, FIELD(downloads.organizeByFeed), 0, "0"},
    {"Recording", "Format", nullptr, FIELD(recording.format), 0, "0"},
    {"Recording", "Format", "[Recording]\nFormat=4\n", FIELD(recording.format), 3, "3"},
    {"Recording", "Bitrate", nullptr, FIELD(recording.bitrate), 192, "192"},
    {"Recording", "Bitrate", "[Recording]\nBitrate=9999\n", FIELD(recording.bitrate), 9999, "9999"},
    {"Speech", "TrackChange", nullptr, FIELD(speech.trackChange), 0, "0"},
    {"Speech", "Volume", nullptr, FIELD(speech.volume), 1, "1"},
    {"Speech", "Effect", nullptr, FIELD(speech.effect), 1, "1"},
    {"Speech", "YTHybrid", nullptr, FIELD(speech.ytHybrid), 1, "1"},

    {"Movement", "Seek1s", nullptr, FIELD(movement.seek1s), 0, "0"},
    {"Movement", "Seek5s", nullptr, FIELD(movement.seek5s), 1, "1"},
    {"Movement", "Seek10s", nullptr, FIELD(movement.seek10s), 0, "0"},
    {"Movement", "Seek30s", nullptr, FIELD(movement.seek30s), 0, "0"},
    {"Movement", "Seek1m", nullptr, FIELD(movement.seek1m), 0, "0"},
    {"Movement", "Seek5m", nullptr, FIELD(movement.seek5m), 0, "0"},
    {"Movement", "Seek10m", nullptr, FIELD(movement.seek10m), 0, "0"},
    {"Movement", "Seek30m", nullptr, FIELD(movement.seek30m), 0, "0"},
    {"Movement", "Seek1h", nullptr, FIELD(movement.seek1h), 0, "0"},
    {"Movement", "Seek1t", nullptr, FIELD(movement.seek1t), 0, "0"},
    {"Movement", "Seek5t", nullptr, FIELD(movement.seek5t), 0, "0"},
    {"Movement", "Seek10t", "[Movement]\nSeek10t=1\n", FIELD(movement.seek10t), 1, "1"},
    {"Movement", "ChapterSeek", nullptr, FIELD(movement.chapterSeek), 1, "1"},
    {"Movement", "CurrentSeek", nullptr, FIELD(movement.currentSeek), 1, "1"},
    {"Movement", "CurrentSeek", "[Movement]\nSeek30s=1\nCurrentSeek=3\n", FIELD(movement.currentSeek), 3, "3"},
    // 12 would be the chapter amount: it is not a seek amount index.
    {"Movement", "CurrentSeek", "[Movement]\nSeek5s=0\nSeek1m=1\nSeek1t=1\nCurrentSeek=12\n", FIELD(movement.currentSeek), 4, "4"},
    {"Movement", "CurrentSeek", "[Movement]\nSeek1h=1\nCurrentSeek=0\n", FIELD(movement.currentSeek), 1, "1"},
    {"Movement", "CurrentSeek", "[Movement]\nSeek5s=0\nCurrentSeek=4\n", FIELD(movement.currentSeek), 1, "1"},
    {"Video", "HardwareDecoding", nullptr, FIELD(video.hardwareDecoding), 1, "1"},

    {"DSPEffects", "Echo", nullptr, FIELD(dspEffects.echo), 0, "0"},
    {"DSPEffects", "SpatialAudio", "[DSPEffects]\nSpatialAudio=1\n", FIELD(dspEffects.spatialAudio), 1, "1"},
    // The reverb switch is saved from the algorithm, not from itself.
    {"DSPEffects", "Reverb", "[DSPEffects]\nReverb=1\n", FIELD(dspEffects.reverb), 1, "0"},
    {"DSPEffects", "Reverb", "[Effects]\nReverbAlgorithm=2\n", FIELD(dspEffects.reverb), 0, "1"},
    {"DSPParams", "EchoDelay", nullptr, FIELD(dspParams.echoDelay), 300, "300.00"},
    {"DSPParams", "EchoDelay", "[DSPParams]\nEchoDelay=\n", FIELD(dspParams.echoDelay), 300, "300.00"},
    {"DSPParams", "EchoDelay", "[DSPParams]\nEchoDelay=150.5\n", FIELD(dspParams.echoDelay), 150.5, "150.50"},
    {"DSPParams", "EchoDelay", "[DSPParams]\nEchoDelay=slow\n", FIELD(dspParams.echoDelay), 0, "0.00"},
    {"DSPParams", "DX8ReverbHFRatio", nullptr, FIELD(dspParams.dx8ReverbHFRatio), 0.5, "0.500"},
    {"DSPParams", "DX8ReverbHFRatio", "[DSPParams]\nDX8ReverbHFRatio=0.125\n", FIELD(dspParams.dx8ReverbHFRatio), 0.125, "0.125"},
    {"DSPParams", "I3DL2DecayTime", nullptr, FIELD(dspParams.i3dl2DecayTime), 1.49f, "1.49"},
    {"DSPParams", "SpatialRearCenter", nullptr, FIELD(dspParams.spatialRearCenter), 1, "1.00"},
    {"DSPParams", "CompThreshold", "[dspparams]\ncompthreshold=-33.333\n", FIELD(dspParams.compThreshold), -33.333f, "-33.33"},
};

TEST(SettingsRecord, EveryNumericKeyLoadsClampsAndSaves)
{
    for (const KeyCase& c : kNumericCases) {
        const Settings s = ReadSettings(IniParse(c.file ? c.file : ""));
        EXPECT_DOUBLE_EQ(c.field(s), c.loaded) << c.section << "/" << c.key << " from "
                                               << (c.file ? c.file : "(missing)");
        IniDocument out;
        WriteSettings(s, out);
        const std::string* saved = IniFindValue(out, c.section, c.key);
        ASSERT_NE(saved, nullptr) << c.section << "/" << c.key;
        EXPECT_EQ(*saved, c.saved) << c.section << "/" << c.key;
    }
}

TEST(SettingsRecord, EveryDspParameterHasItsDefaultAndFormat)
{
    // Ids 4..37 of the effect table, their keys in order and the defaults
    // of that table.
    const std::pair<const char*, double> rows[] = {
        {"ReverbMix", 30}, {"ReverbRoom", 50}, {"ReverbDamp", 50}, {"DX8ReverbTime", 1000},
        {"DX8ReverbHFRatio", 0.5}, {"DX8ReverbMix", -10}, {"I3DL2Room", -1000},
        {"I3DL2DecayTime", 1.49}, {"I3DL2Diffusion", 100}, {"I3DL2Density", 100},
        {"EchoDelay", 300}, {"EchoFeedback", 40}, {"EchoMix", 30}, {"EQPreamp", 0},
        {"EQBass", 0}, {"EQMid", 0}, {"EQTreble", 0}, {"CompThreshold", -20},
        {"CompRatio", 4}, {"CompAttack", 20}, {"CompRelease", 200}, {"CompGain", 0},
        {"StereoWidth", 100}, {"CenterCancel", 0}, {"ConvolutionMix", 50},
        {"ConvolutionGain", 0}, {"SpatialBlend", 100}, {"SpatialWidth", 45},
        {"SpatialRotation", 0}, {"SpatialMode", 0}, {"SpatialRearCenter", 1},
        {"SpatialX", 0}, {"SpatialY", 0}, {"SpatialZ", 0},
    };
    Settings defaults = ReadSettings(IniParse(""));
    std::string file = "[DSPParams]\n";
    for (int id = 4; id <= 37; ++id) {
        const auto& [key, def] = rows[id - 4];
        ASSERT_STREQ(DspParamKey(id), key);
        ASSERT_NE(DspParamField(defaults.dspParams, id), nullptr);
        EXPECT_NEAR(*DspParamField(defaults.dspParams, id), def, 1e-6) << key;
        file += std::string(key) + "=" + std::to_string(id) + ".125\n";
    }
    EXPECT_EQ(DspParamKey(3), nullptr);
    EXPECT_EQ(DspParamField(defaults.dspParams, 38), nullptr);

    Settings loaded = ReadSettings(IniParse(file));
    IniDocument out;
    WriteSettings(loaded, out);
    for (int id = 4; id <= 37; ++id) {
        EXPECT_FLOAT_EQ(*DspParamField(loaded.dspParams, id), id + 0.125f) << DspParamKey(id);
        const std::string expected = std::to_string(id) + (id == 8 ? ".125" : ".12");
        EXPECT_EQ(*IniFindValue(out, "DSPParams", DspParamKey(id)), expected) << DspParamKey(id);
    }
}

TEST(SettingsRecord, TextKeysKeepTheirTextWithinTheirLimits)
{
    using TextGetter = std::function<std::string(const Settings&)>;
    struct TextCase { const char* section; const char* key; TextGetter field; const char* def; size_t limit; };
    const TextCase cases[] = {
        {"Playback", "DeviceName", [](const Settings& s) { return s.playback.deviceName; }, "", 256},
        {"MIDI", "SoundFont", [](const Settings& s) { return s.midi.soundFont; }, "", 4096},
        {"YouTube", "ApiKey", [](const Settings& s) { return s.youTube.apiKey; }, "", 512},
        {"Downloads", "Path", [](const Settings& s) { return s.downloads.path; }, "", 512},
        {"Recording", "Path", [](const Settings& s) { return s.recording.path; }, "", 512},
        {"Recording", "Template", [](const Settings& s) { return s.recording.filenameTemplate; }, "%Y-%m-%d_%H-%M-%S", 512},
        {"Video", "VideoOutput", [](const Settings& s) { return s.video.videoOutput; }, "gpu", 64},
        {"General", "Language", [](const Settings& s) { return s.general.language; }, "", 8},
        {"DSPEffects", "ConvolutionIR", [](const Settings& s) { return s.dspEffects.convolutionIR; }, "", 4096},
    };
    const Settings defaults = ReadSettings(IniParse(""));
    for (const TextCase& c : cases) {
        EXPECT_EQ(c.field(defaults), c.def) << c.section << "/" << c.key;

        const std::string value = "  /musica/x=y; \"z\"  ";
        IniDocument doc;
        ASSERT_TRUE(IniSetString(doc, c.section, c.key, value));
        const Settings s = ReadSettings(IniParse(IniSerialize(doc)));
        EXPECT_EQ(c.field(s), value.substr(0, c.limit - 1)) << c.section << "/" << c.key;

        const std::string longValue(c.limit + 10, 'p');
        IniSetString(doc, c.section, c.key, longValue);
        EXPECT_EQ(c.field(ReadSettings(doc)).size(), c.limit - 1) << c.section << "/" << c.key;
    }
}

TEST(SettingsRecord, LoadSaveLoadChangesNothing)
{
    // Every key away from its default, plus sections the record does not own.
    const std::string file =
        "; kept\n[Playback]\nDeviceName=USB \xC3\xA9\nRewindOnPauseMs=250\nAllowAmplify=1\n"
        "RememberState=1\nRememberPosMinutes=10\nBringToFront=0\nMinimizeToTray=0\nLoadFolder=1\n"
        "RegisterFileTypes=1\nVolumeStep=7\nShowTitleInWindow=0\nVolume=333\nPitch=-2.5\nTempo=33.3\n"
        "Rate=1.37\nShuffle=1\nAutoAdvance=0\nRepeatMode=2\nPlaylistFollow=0\nCheckForUpdates=0\n"
        "AllowMultipleInstances=1\n"
        "[Advanced]\nBufferSize=1200\nUpdatePeriod=20\nTempoAlgorithm=1\nLegacyVolume=1\n"
        "DisableBatchDelay=1\nEQBassFreq=80.5\nEQMidFreq=900\nEQTrebleFreq=8000\n"
        "[SoundTouch]\nAntiAliasFilter=0\nAAFilterLength=64\nQuickAlgorithm=1\nSequenceMs=40\n"
        "SeekWindowMs=15\nOverlapMs=10\nPreventClick=1\nAlgorithm=2\n"
        "[Speedy]\nNonlinearSpeedup=0\n[Signalsmith]\nPreset=1\nTonalityLimit=8000\n"
        "[Effects]\nReverbAlgorithm=3\nVolume=0\nPitch=1\nTempo=1\nRate=1\nCurrentEffect=2\nRateStepMode=1\n"
        "[MIDI]\nSoundFont=/sf/a b.sf2\nMaxVoices=256\nSincInterp=1\n"
        "[YouTube]\nYtdlpPath=/ignored\nApiKey=k\"ey\nVideoMode=1\nClearCacheOnExit=1\nCacheLimitMB=500\n"
        "YtdlpVersion=2024.01.01\n"
        "[Downloads]\nPath=/dl\nOrganizeByFeed=1\n"
        "[Recording]\nPath=/rec\nTemplate=%H%M\nFormat=2\nBitrate=320\n"
        "[Speech]\nTrackChange=1\nVolume=0\nEffect=0\nYTHybrid=0\n"
        "[Movement]\nSeek1s=1\nSeek5s=0\nSeek10s=1\nSeek30s=1\nSeek1m=1\nSeek5m=1\nSeek10m=1\n"
        "Seek30m=1\nSeek1h=1\nSeek1t=1\nSeek5t=1\nSeek10t=1\nChapterSeek=0\nCurrentSeek=9\n"
        "[Video]\nHardwareDecoding=0\nVideoOutput=x11\n[General]\nLanguage=de\n"
        "[DSPEffects]\nReverb=1\nEcho=1\nEQ=1\nCompressor=1\nStereoWidth=1\nCenterCancel=1\n"
        "Convolution=1\nSpatialAudio=1\nConvolutionIR=/ir/hall.wav\n"
        "[DSPParams]\nEchoDelay=450\nDX8ReverbHFRatio=0.333\nSpatialRotation=-175\n"
        "[RecentFiles]\nFile0=/a.mp3\nFile1=/b.ogg\n"
        "[Hotkeys]\nEnabled=1\nCount=1\nHotkey0=3,65,1\n[Presets]\nCount=0\n"
        "[State]\nTrackCount=1\n[Playlist]\nTrack0=/a.mp3\n";
    IniDocument first = IniParse(file);
    WriteSettings(ReadSettings(first), first);
    const std::string once = IniSerialize(first);

    IniDocument second = IniParse(once);
    const Settings reread = ReadSettings(second);
    WriteSettings(reread, second);
    EXPECT_EQ(IniSerialize(second), once);

    EXPECT_EQ(reread.playback.volume, 3.33f);
    EXPECT_EQ(reread.general.language, "de");  // unknown language kept as written
    EXPECT_EQ(reread.effects.currentEffect, 2);
    EXPECT_EQ(reread.movement.currentSeek, 9);
    EXPECT_EQ(reread.youTube.apiKey, "k\"ey");
    EXPECT_EQ(reread.recentFiles, (std::vector<std::string>{"/a.mp3", "/b.ogg"}));
    // Keys that belong to others survive a save untouched.
    for (const char* k : {"Hotkeys/Hotkey0=3,65,1", "Presets/Count=0", "State/TrackCount=1",
                          "Playlist/Track0=/a.mp3", "YouTube/YtdlpVersion=2024.01.01"}) {
        const std::string s(k);
        const auto slash = s.find('/'), eq = s.find('=');
        const std::string* v = IniFindValue(second, s.substr(0, slash), s.substr(slash + 1, eq - slash - 1));
        ASSERT_NE(v, nullptr) << k;
        EXPECT_EQ(*v, s.substr(eq + 1)) << k;
    }
    EXPECT_EQ(once.rfind("; kept\n", 0), 0u);
}

TEST(SettingsRecord, RecentFilesSkipEmptyEntriesAndAreRenumbered)
{
    IniDocument doc = IniParse(
        "[RecentFiles]\nFile0=/m/0.mp3\nFile1=/m/1.mp3\nFile2=/m/2.mp3\nFile3=\nFile4=/m/4.mp3\n"
        "File10=/m/beyond.mp3\n");
    const Settings s = ReadSettings(doc);
    EXPECT_EQ(s.recentFiles, (std::vector<std::string>{"/m/0.mp3", "/m/1.mp3", "/m/2.mp3", "/m/4.mp3"}));
    WriteSettings(s, doc);
    EXPECT_EQ(IniSectionEntries(doc, "RecentFiles"),
              (std::vector<std::pair<std::string, std::string>>{
                  {"File0", "/m/0.mp3"}, {"File1", "/m/1.mp3"}, {"File2", "/m/2.mp3"}, {"File3", "/m/4.mp3"}}));
}

TEST(SettingsRecord, HostileFilesLoadWithDefaultsWhereNothingValidWasFound)
{
    IniDocument defaultsDoc;
    WriteSettings(ReadSettings(IniParse("")), defaultsDoc);
    const std::string defaults = IniSerialize(defaultsDoc);

    std::mt19937 rng(99);
    std::string noise(1 << 16, '\0');
    for (char& b : noise)
        b = static_cast<char>(rng() & 0xFF);
    for (const std::string& junk : {noise, std::string(), std::string(100000, '['),
                                    "[Playback" + std::string(100000, 'x') + "\nVolume=5\n"}) {
        IniDocument out;
        WriteSettings(ReadSettings(IniParse(junk)), out);
        EXPECT_EQ(IniSerialize(out), defaults) << "input of " << junk.size() << " bytes";
    }

    struct Case { const char* name; std::string file; float volume; size_t deviceChars; };
    const Case cases[] = {
        {"long line", "[Playback]\nDeviceName=" + std::string(100000, 'd') + "\nVolume=50\n", 0.5f, 255},
        {"duplicates", "[Playback]\nVolume=30\nVolume=80\n[PLAYBACK]\nVolume=90\n", 0.3f, 0},
        {"no trailing newline", "[Playback]\nVolume=42", 0.42f, 0},
        {"crlf and nul", std::string("[Playback]\r\nVol\0ume=60\r\n", 24), 0.6f, 0},
    };
    for (const Case& c : cases) {
        const Settings s = ReadSettings(IniParse(c.file));
        EXPECT_FLOAT_EQ(s.playback.volume, c.volume) << c.name;
        EXPECT_EQ(s.playback.deviceName.size(), c.deviceChars) << c.name;
        EXPECT_EQ(s.advanced.bufferSize, 500) << c.name;
    }
}

class SettingsFileTest : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        saved = g_settings;
        for (const char* v : {"LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "PATH", "XDG_STATE_HOME", "XDG_CONFIG_HOME"}) {
            const char* old = std::getenv(v);
            env.emplace_back(v, old ? std::optional<std::string>(old) : std::nullopt);
        }
        setenv("XDG_STATE_HOME", Path("state").c_str(), 1);
        setenv("PATH", "/nonexistent", 1);
    }
    void TearDown() override
    {
        g_settings = saved;
        for (const auto& [name, value] : env) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        TempFolderTest::TearDown();
    }
    void SetLocale(const char* lcAll, const char* lcMessages, const char* lang, const char* language)
    {
        const std::pair<const char*, const char*> vars[] = {
            {"LC_ALL", lcAll}, {"LC_MESSAGES", lcMessages}, {"LANG", lang}, {"LANGUAGE", language}};
        for (const auto& [name, value] : vars) {
            if (value)
                setenv(name, value, 1);
            else
                unsetenv(name);
        }
    }
    std::string MakeExecutable(const std::string& folder)
    {
        std::filesystem::create_directories(folder);
        const std::string p = folder + "/yt-dlp";
        WriteBytes(p, "#!/bin/sh\n");
        chmod(p.c_str(), 0755);
        return p;
    }

    Settings saved;
    std::vector<std::pair<std::string, std::optional<std::string>>> env;
};

// SettingsFilePath is computed once per process, so each case runs in a child.
bool ChildSeesSettingsPath(const std::string& expected)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(SettingsFilePath() == expected && SettingsFilePath() == expected ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(SettingsFileTest, FileLivesBesideTheProgramUnlessInstalled)
{
    const std::string exeDir = ExecutableDir();
    setenv("XDG_CONFIG_HOME", Path("cfg").c_str(), 1);
    EXPECT_TRUE(ChildSeesSettingsPath(exeDir + "/Corvane.ini"));
    EXPECT_FALSE(std::filesystem::exists(Path("cfg")));

    const std::string marker = exeDir + "/installed.txt";
    ASSERT_FALSE(std::filesystem::exists(marker));
    WriteBytes(marker, "");
    const bool installed = ChildSeesSettingsPath(Path("cfg/Corvane/Corvane.ini"));
    std::filesystem::remove(marker);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(installed);
    EXPECT_TRUE(std::filesystem::is_directory(Path("cfg/Corvane")));  // created on need
}

TEST_F(SettingsFileTest, MissingFileGivesEveryDefaultAndTheSystemLanguage)
{
    SetLocale(nullptr, nullptr, "fr_CA.UTF-8", nullptr);
    LoadSettingsFrom(Path("absent.ini"));
    EXPECT_EQ(g_settings.playback.volume, 1.0f);
    EXPECT_EQ(g_settings.playback.volumeStep, 0.02f);
    EXPECT_EQ(g_settings.advanced.bufferSize, 500);
    EXPECT_EQ(g_settings.advanced.updatePeriod, 100);
    EXPECT_EQ(g_settings.general.language, "fr");

    // The language filled in from the system is what the next save stores.
    ASSERT_TRUE(SaveSettingsTo(Path("absent.ini")));
    EXPECT_EQ(IniReadString(Path("absent.ini"), "General", "Language", "", 8), "fr");
}

TEST_F(SettingsFileTest, LanguageFollowsTheMessagesLocale)
{
    struct Case { const char* lcAll; const char* lcMessages; const char* lang; const char* language; const char* expected; };
    const Case cases[] = {
        {nullptr, nullptr, "fr_FR.UTF-8", nullptr, "fr"},
        {nullptr, nullptr, "fr", nullptr, "fr"},
        {nullptr, nullptr, "de_DE.UTF-8", nullptr, "en"},
        {nullptr, nullptr, "fry_NL", nullptr, "en"},  // Frisian is not French
        {nullptr, "fr_BE.UTF-8", "en_US.UTF-8", nullptr, "fr"},
        {"en_GB.UTF-8", "fr_FR.UTF-8", "fr_FR.UTF-8", nullptr, "en"},
        {nullptr, nullptr, "en_US.UTF-8", "fr:en", "fr"},
        {nullptr, nullptr, "C.UTF-8", "fr", "en"},  // LANGUAGE is ignored in the C locale
        {nullptr, nullptr, nullptr, nullptr, "en"},
    };
    for (const Case& c : cases) {
        SetLocale(c.lcAll, c.lcMessages, c.lang, c.language);
        EXPECT_EQ(SystemLanguageCode(), c.expected)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-") << " " << (c.language ? c.language : "-");
    }

    SetLocale(nullptr, nullptr, "fr_FR.UTF-8", nullptr);
    WriteBytes(Path("c.ini"), "[General]\nLanguage=de\n");
    LoadSettingsFrom(Path("c.ini"));
    EXPECT_EQ(g_settings.general.language, "de");
}

TEST_F(SettingsFileTest, ExtractorIsDetectedAfreshAtEveryLoad)
{
    const std::string ini = Path("c.ini");
    WriteBytes(ini, "[YouTube]\nYtdlpPath=/stored/yt-dlp\n");

    LoadSettingsFrom(ini);
    EXPECT_EQ(g_settings.youTube.ytdlpPath, "");  // the stored value is not used

    // A file that cannot run does not count; relative PATH entries are skipped.
    std::filesystem::create_directories(Path("bin"));
    WriteBytes(Path("bin/yt-dlp"), "data");
    chmod(Path("bin/yt-dlp").c_str(), 0644);
    const std::string onPath = MakeExecutable(Path("bin2"));
    ASSERT_EQ(chdir(dir.c_str()), 0);
    MakeExecutable(Path("rel"));
    setenv("PATH", ("rel::" + Path("bin") + ":" + Path("bin2")).c_str(), 1);
    LoadSettingsFrom(ini);
    EXPECT_EQ(g_settings.youTube.ytdlpPath, onPath);

    const std::string perUser = MakeExecutable(Path("state/Corvane"));
    LoadSettingsFrom(ini);
    EXPECT_EQ(g_settings.youTube.ytdlpPath, perUser);
    ASSERT_EQ(chdir("/"), 0);
}

TEST_F(SettingsFileTest, SaveKeepsWhatOtherPartsWroteToTheFile)
{
    const std::string ini = Path("Corvane.ini");
    WriteBytes(ini, "[Hotkeys]\nEnabled=0\nCount=1\nHotkey0=2,80,4\n[Preset_Loud]\nPitch=0.0000\n"
                    "[Playback]\nVolume=20\n");
    LoadSettingsFrom(ini);
    EXPECT_FLOAT_EQ(g_settings.playback.volume, 0.2f);

    // The extractor updater stores its version while the program runs.
    ASSERT_TRUE(IniWriteString(ini, "YouTube", "YtdlpVersion", "2025.02.02"));
    g_settings.playback.shuffle = true;
    ASSERT_TRUE(SaveSettingsTo(ini));

    EXPECT_EQ(IniReadInt(ini, "Playback", "Shuffle", 0), 1);
    EXPECT_EQ(IniReadString(ini, "YouTube", "YtdlpVersion", "", 64), "2025.02.02");
    EXPECT_EQ(IniReadString(ini, "Hotkeys", "Hotkey0", "", 64), "2,80,4");
    EXPECT_EQ(IniReadString(ini, "Preset_Loud", "Pitch", "", 64), "0.0000");
    EXPECT_EQ(ReadBytes(ini).rfind("[Hotkeys]\nEnabled=0\nCount=1\nHotkey0=2,80,4\n", 0), 0u);
}

}  // namespace
