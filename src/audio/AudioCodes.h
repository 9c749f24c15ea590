#pragma once
// Every number the rest of the program relies on when it talks to the audio
// engine: error codes, configuration options, flags, attributes, channel
// states, sync types, tag block types and effect types. Kept in one place so
// that settings files, messages and callers agree on them.
#include <cstdint>

namespace audio {

// Error codes (per thread, read with AudioErrorCode()).
constexpr int kOk = 0;
constexpr int kErrMemory = 1;
constexpr int kErrFileOpen = 2;
constexpr int kErrDriver = 3;
constexpr int kErrHandle = 5;
constexpr int kErrFormat = 6;         // unsupported sample format
constexpr int kErrPosition = 7;
constexpr int kErrInit = 8;           // engine not started
constexpr int kErrSsl = 10;
constexpr int kErrAlready = 14;
constexpr int kErrIllegalType = 19;
constexpr int kErrIllegalParam = 20;
constexpr int kErrNo3D = 21;
constexpr int kErrDevice = 23;
constexpr int kErrNotPlaying = 24;
constexpr int kErrNotFile = 27;       // a URL operation on a file stream or the reverse
constexpr int kErrNoInternet = 32;
constexpr int kErrNotAvailable = 37;
constexpr int kErrNotDecode = 38;      // the channel is not a decode channel
constexpr int kErrTimeout = 40;
constexpr int kErrFileForm = 41;      // unsupported file format
constexpr int kErrCodec = 44;         // codec missing
constexpr int kErrEnded = 45;
constexpr int kErrUnknown = -1;

// Configuration options (AudioSetConfig / AudioSetConfigText).
constexpr int kConfigBuffer = 0;          // ms of processed audio kept per playing channel
constexpr int kConfigUpdatePeriod = 1;    // ms between refills of the channel buffers
constexpr int kConfigVolumeCurve = 7;     // 1 = logarithmic volume attribute
constexpr int kConfigNetTimeout = 11;     // ms to connect, and to wait for data before giving up
constexpr int kConfigNetBuffer = 12;      // ms of decoded network audio kept ahead
constexpr int kConfigNetPrebuffer = 15;   // percent of the network buffer filled before playing
constexpr int kConfigNetAgent = 16;       // text: HTTP user agent
constexpr int kConfigNetMaxRedirects = 17;
constexpr int kConfigMidiVoices = 0x10401;

// Stream creation flags.
constexpr std::uint32_t kSampleFloat = 0x100;
constexpr std::uint32_t kFxFreeSource = 0x10000;     // tempo stream: freeing it frees the source
constexpr std::uint32_t kStreamBlock = 0x100000;     // URL: no seeking, download kept in a ring
constexpr std::uint32_t kStreamDecode = 0x200000;    // pulled with ChannelGetData, never played
constexpr std::uint32_t kStreamStatus = 0x800000;    // accepted, no effect
constexpr std::uint32_t kMidiSincInterp = 0x4000000; // best FluidSynth interpolation
constexpr std::uint32_t kUnicodePath = 0x80000000u;  // accepted; paths are UTF-8 here

// Custom stream callback: add to the byte count at the end of the stream.
constexpr std::uint32_t kStreamProcEnd = 0x80000000u;

// ChannelGetData: the low bits are the byte count.
constexpr std::uint32_t kDataFloat = 0x40000000;
constexpr std::uint32_t kDataLengthMask = 0x0FFFFFFF;

// ChannelSetPosition mode flags.
constexpr std::uint32_t kPosByte = 0;
constexpr std::uint32_t kPosFlush = 0x1000000;

// ChannelIsActive results.
constexpr int kStateStopped = 0;
constexpr int kStatePlaying = 1;
constexpr int kStateStalled = 2;
constexpr int kStatePaused = 3;

// Channel attributes.
constexpr int kAttribFreq = 1;        // playback rate in Hz
constexpr int kAttribVolume = 2;
constexpr int kAttribVbr = 6;         // read-only: 1 when the bit rate varies
constexpr int kAttribBitrate = 12;    // read-only: kbps
constexpr int kAttribBuffer = 13;     // seconds of buffering for this channel, 0 = the config value
constexpr int kAttribTempo = 0x10000;          // percent added to normal speed
constexpr int kAttribTempoPitch = 0x10001;     // semitones
constexpr int kAttribTempoFreq = 0x10002;      // source rate in Hz (tape-style)
constexpr int kAttribTempoUseAaFilter = 0x10010;
constexpr int kAttribTempoAaFilterLength = 0x10011;
constexpr int kAttribTempoUseQuickAlgo = 0x10012;
constexpr int kAttribTempoSequenceMs = 0x10013;
constexpr int kAttribTempoSeekWindowMs = 0x10014;
constexpr int kAttribTempoOverlapMs = 0x10015;
constexpr int kAttribTempoPreventClick = 0x10016;

// Sync types; kSyncOneTime may be added to any of them.
constexpr int kSyncEnd = 2;
constexpr int kSyncMeta = 4;
constexpr int kSyncDownload = 7;
constexpr std::uint32_t kSyncOneTime = 0x80000000u;

// Tag block types.
constexpr int kTagId3 = 0;
constexpr int kTagId3v2 = 1;
constexpr int kTagVorbis = 2;
constexpr int kTagHttp = 3;
constexpr int kTagIcy = 4;
constexpr int kTagMeta = 5;
constexpr int kTagApe = 6;
constexpr int kTagMp4 = 7;
constexpr int kTagWma = 8;
constexpr int kTagMediaFoundation = 13;
constexpr int kTagRiffInfo = 0x100;

// Built-in effect types (parameter blocks in audio/EffectParams.h).
constexpr int kFxI3dl2Reverb = 6;
constexpr int kFxDx8Reverb = 8;
constexpr int kFxVolume = 0x10003;
constexpr int kFxPeakEq = 0x10004;
constexpr int kFxCompressor2 = 0x10011;
constexpr int kFxEcho4 = 0x10014;
constexpr int kFxFreeverb = 0x10016;

// Priority of the volume stage: after every other DSP and effect.
constexpr int kVolumeStagePriority = -2000000000;

// Device numbers.
constexpr int kDeviceDefault = -1;
constexpr int kDeviceNoSound = 0;
constexpr std::uint32_t kDeviceEnabled = 1;
constexpr std::uint32_t kDeviceIsDefault = 2;
constexpr std::uint32_t kDeviceInitialized = 4;

}  // namespace audio
