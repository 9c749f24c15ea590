#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct IniDocument;

// Every user setting, one field per key of the settings file, named after
// the key. The defaults here are the ones a missing key gets. Other parts
// read and change these fields; only this store touches the file.
struct Settings {
    struct Playback {
        std::string deviceName;  // empty: the system's default output
        int rewindOnPauseMs = 0;
        bool allowAmplify = false;
        bool rememberState = false;
        int rememberPosMinutes = 0;
        bool bringToFront = true;
        bool minimizeToTray = true;
        bool loadFolder = false;
        bool registerFileTypes = false;
        float volumeStep = 0.02f;  // fraction; stored as a percent
        bool showTitleInWindow = true;
        float volume = 1.0f;  // gain; stored as a percent
        float pitch = 0.0f;   // semitones
        float tempo = 0.0f;   // percent change
        float rate = 1.0f;    // speed factor
        bool shuffle = false;
        bool autoAdvance = true;
        int repeatMode = 0;  // 0 off, 1 track, 2 all
        bool playlistFollow = true;
        bool checkForUpdates = true;
        bool allowMultipleInstances = false;
    } playback;

    struct Advanced {
        int bufferSize = 500;   // ms
        int updatePeriod = 100; // ms
        int tempoAlgorithm = 0;
        bool legacyVolume = false;
        bool disableBatchDelay = false;
        float eqBassFreq = 50.0f;
        float eqMidFreq = 1000.0f;
        float eqTrebleFreq = 12000.0f;
    } advanced;

    struct SoundTouch {
        bool antiAliasFilter = true;
        int aaFilterLength = 32;
        bool quickAlgorithm = false;
        int sequenceMs = 82;
        int seekWindowMs = 28;
        int overlapMs = 8;
        bool preventClick = false;
        int algorithm = 1;  // interpolation shown in Options: 0 linear, 1 cubic, 2 Shannon
    } soundTouch;

    struct Speedy {
        bool nonlinearSpeedup = true;
    } speedy;

    struct Signalsmith {
        int preset = 0;
        int tonalityLimit = 0;  // Hz
    } signalsmith;

    struct Effects {
        int reverbAlgorithm = 0;  // 0 off, 1 Freeverb, 2 DX8, 3 I3DL2
        bool volume = true;       // the four stream parameters in the adjustment cycle
        bool pitch = false;
        bool tempo = false;
        bool rate = false;
        int currentEffect = 0;
        int rateStepMode = 0;  // 0 steps of 0.01, 1 semitone steps
    } effects;

    struct Midi {
        std::string soundFont;
        int maxVoices = 128;
        bool sincInterp = false;
    } midi;

    struct YouTube {
        std::string ytdlpPath;  // detected afresh at every load
        std::string apiKey;
        bool videoMode = false;
        bool clearCacheOnExit = false;
        int cacheLimitMB = 0;  // 0: unlimited
        // YtdlpVersion is not here: the extractor updater reads and writes
        // it in the file itself, and a save must not put back an old value.
    } youTube;

    struct Downloads {
        std::string path;
        bool organizeByFeed = false;
    } downloads;

    struct Recording {
        std::string path;
        std::string filenameTemplate = "%Y-%m-%d_%H-%M-%S";  // key Template
        int format = 0;  // 0 WAV, 1 MP3, 2 OGG Vorbis, 3 FLAC
        int bitrate = 192;  // kbps
    } recording;

    struct Speech {
        bool trackChange = false;
        bool volume = true;
        bool effect = true;
        bool ytHybrid = true;
    } speech;

    // The seek amounts of the seek cycle, in index order 0..11.
    struct Movement {
        bool seek1s = false;
        bool seek5s = true;
        bool seek10s = false;
        bool seek30s = false;
        bool seek1m = false;
        bool seek5m = false;
        bool seek10m = false;
        bool seek30m = false;
        bool seek1h = false;
        bool seek1t = false;
        bool seek5t = false;
        bool seek10t = false;
        bool chapterSeek = true;
        int currentSeek = 1;
    } movement;

    struct Video {
        bool hardwareDecoding = true;
        std::string videoOutput = "gpu";
    } video;

    struct General {
        std::string language;  // "fr" makes the interface French; anything else English
    } general;

    // DSP effect switches, effect numbers 0..7 in this order.
    struct DspEffects {
        bool reverb = false;
        bool echo = false;
        bool eq = false;
        bool compressor = false;
        bool stereoWidth = false;
        bool centerCancel = false;
        bool convolution = false;
        bool spatialAudio = false;
        std::string convolutionIR;  // impulse-response file; empty: none
    } dspEffects;

    // Effect parameters 4..37 as stored; the effect setters clamp them.
    struct DspParams {
        float reverbMix = 30.0f;
        float reverbRoom = 50.0f;
        float reverbDamp = 50.0f;
        float dx8ReverbTime = 1000.0f;
        float dx8ReverbHFRatio = 0.5f;
        float dx8ReverbMix = -10.0f;
        float i3dl2Room = -1000.0f;
        float i3dl2DecayTime = 1.49f;
        float i3dl2Diffusion = 100.0f;
        float i3dl2Density = 100.0f;
        float echoDelay = 300.0f;
        float echoFeedback = 40.0f;
        float echoMix = 30.0f;
        float eqPreamp = 0.0f;
        float eqBass = 0.0f;
        float eqMid = 0.0f;
        float eqTreble = 0.0f;
        float compThreshold = -20.0f;
        float compRatio = 4.0f;
        float compAttack = 20.0f;
        float compRelease = 200.0f;
        float compGain = 0.0f;
        float stereoWidth = 100.0f;
        float centerCancel = 0.0f;
        float convolutionMix = 50.0f;
        float convolutionGain = 0.0f;
        float spatialBlend = 100.0f;
        float spatialWidth = 45.0f;
        float spatialRotation = 0.0f;
        float spatialMode = 0.0f;
        float spatialRearCenter = 1.0f;
        float spatialX = 0.0f;
        float spatialY = 0.0f;
        float spatialZ = 0.0f;
    } dspParams;

    // Most recent first, at most kMaxRecentFiles.
    std::vector<std::string> recentFiles;
};

extern Settings g_settings;

constexpr size_t kMaxRecentFiles = 10;

// Corvane.ini: beside the executable for a portable copy, in
// $XDG_CONFIG_HOME/Corvane for an installed one. Computed once.
std::string SettingsFilePath();

// Reads the whole file into g_settings (missing keys take their defaults,
// out-of-range values are corrected), fills in the language from the system
// locale when none is stored and detects the extractor program.
void LoadSettings();
void LoadSettingsFrom(const std::string& path);

// Writes every key of g_settings back, keeping the rest of the file (play
// queue, hotkeys, presets, ...). False when the file could not be replaced;
// the old file is then unchanged.
bool SaveSettings();
bool SaveSettingsTo(const std::string& path);

// The load rules and save formats alone, without the file or the
// environment: ReadSettings leaves an empty language empty and does not
// touch the extractor path.
Settings ReadSettings(const IniDocument& doc);
void WriteSettings(const Settings& settings, IniDocument& doc);

// Effect parameter ids 4..37 (the effect table's numbering): the stored
// field and its key in DSPParams; nullptr for other ids.
float* DspParamField(Settings::DspParams& params, int effectId);
const char* DspParamKey(int effectId);

// Seek amount 0..11 of the seek cycle (Seek1s .. Seek10t); nullptr outside.
bool* SeekAmountField(Settings::Movement& movement, int index);

// "fr" when the user's interface language is French, else "en".
std::string SystemLanguageCode();

// The extractor program: per-user copy, then lib/ and the executable's
// folder, then PATH. Empty when none is found.
std::string DetectExtractorPath();
