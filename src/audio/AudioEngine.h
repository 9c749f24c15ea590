#pragma once
// The audio engine: free functions over 32-bit handles (0 = failure).
// A failing call returns 0, false or -1 and sets the calling thread's error
// code (audio/AudioCodes.h), read with AudioErrorCode(). Positions and lengths
// are bytes of 32-bit float samples of the channel.
#include <cstdint>
#include <string>
#include <vector>

#include "audio/AudioCodes.h"

namespace audio {

using Handle = std::uint32_t;

// Custom stream: fill up to `length` bytes of float samples; return the bytes
// written, plus kStreamProcEnd when the stream has ended. Mixing thread.
using StreamProc = std::uint32_t (*)(Handle stream, void* buffer, std::uint32_t length, void* user);
// Notification thread, never the mixing thread.
using SyncProc = void (*)(Handle sync, Handle channel, std::uint32_t data, void* user);
// Mixing thread: `buffer` holds `length` bytes of interleaved float samples.
using DspProc = void (*)(Handle dsp, Handle channel, void* buffer, std::uint32_t length, void* user);

struct DeviceInfo {
    std::string name;
    std::string driver;
    std::uint32_t flags = 0;   // kDeviceEnabled, kDeviceIsDefault, kDeviceInitialized
};

struct ChannelInfo {
    int freq = 0;              // sample rate of the samples the channel produces
    int channels = 0;
    std::uint32_t flags = 0;   // creation flags; always includes kSampleFloat
    bool isFloat = true;
};

int AudioErrorCode();

// Engine start-up on a device (-1 default, 0 "No sound", 1.. real devices).
// When the default device cannot be opened the engine runs on "No sound".
bool AudioInit(int device, int sampleRate);
bool AudioFree();
bool AudioIsInitialized();
int AudioCurrentDevice();      // the device actually opened (0 after a fallback)
bool AudioGetDeviceInfo(int device, DeviceInfo* info);
bool AudioSetConfig(int option, int value);
int AudioGetConfig(int option);          // -1 with kErrIllegalType for an unknown option
bool AudioSetConfigText(int option, const std::string& value);
std::string AudioGetConfigText(int option);
// Times the device found the mixing thread late (nothing ready to play).
std::uint64_t AudioUnderrunCount();

// Streams.
Handle StreamCreateFile(const std::string& path, std::uint32_t flags);
Handle StreamCreateUrl(const std::string& url, std::uint32_t flags);
Handle StreamCreateCustom(int freq, int channels, std::uint32_t flags, StreamProc proc, void* user);
Handle MidiStreamCreateFile(const std::string& path, std::uint32_t flags);
Handle TempoStreamCreate(Handle source, std::uint32_t flags);
bool StreamFree(Handle stream);

// SoundFonts: a font applies to the MIDI streams it is set on; stream 0 sets
// the default font of every MIDI stream created afterwards (and of those that
// have no font of their own).
Handle MidiFontLoad(const std::string& path);
bool MidiFontFree(Handle font);
bool MidiStreamSetFont(Handle stream, Handle font);

// Channel operations.
bool ChannelPlay(Handle channel, bool restart);
bool ChannelPause(Handle channel);
bool ChannelStop(Handle channel);
int ChannelIsActive(Handle channel);     // kState*; stopped with kErrHandle when gone
bool ChannelGetInfo(Handle channel, ChannelInfo* info);
std::int64_t ChannelGetLength(Handle channel);    // -1 unknown (error set); 0 live
std::int64_t ChannelGetPosition(Handle channel);  // -1 on failure
bool ChannelSetPosition(Handle channel, std::int64_t bytes, std::uint32_t mode);
std::int64_t ChannelSeconds2Bytes(Handle channel, double seconds);
double ChannelBytes2Seconds(Handle channel, std::int64_t bytes);
bool ChannelGetAttribute(Handle channel, int attrib, float* value);
bool ChannelSetAttribute(Handle channel, int attrib, float value);
// Decode channels only: bytes written, 0 when nothing is ready yet, -1 at the end.
int ChannelGetData(Handle channel, void* buffer, std::uint32_t lengthAndFlags);
// A tag block of one type (see Tags in the program's documentation); empty
// with kErrNotAvailable when the channel has none of that type.
std::string ChannelGetTags(Handle channel, int type);

Handle ChannelSetSync(Handle channel, std::uint32_t type, std::uint64_t param, SyncProc proc, void* user);
bool ChannelRemoveSync(Handle channel, Handle sync);

Handle ChannelSetDsp(Handle channel, DspProc proc, void* user, int priority);
bool ChannelRemoveDsp(Handle channel, Handle dsp);
Handle ChannelSetFx(Handle channel, int fxType, int priority);
bool ChannelRemoveFx(Handle channel, Handle fx);
bool FxSetParameters(Handle fx, const void* params);
bool FxGetParameters(Handle fx, void* params);

// What this engine can decode, as lines for the plug-in report: one entry per
// format family, loaded when its decoder is present.
void DecoderFamilies(std::vector<std::string>* loaded, std::vector<std::string>* failed);
// "Loaded: a, b\nFailed: c" with "(none)" for an empty list.
std::string FormatPluginReport(const std::vector<std::string>& loaded, const std::vector<std::string>& failed);

}  // namespace audio
