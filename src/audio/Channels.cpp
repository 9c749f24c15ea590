// Channel operations: creating and freeing streams, transport, position,
// attributes, decoded data and tag blocks.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/EngineState.h"
#include "audio/FileStream.h"
#include "audio/Mixer.h"
#include "audio/Syncs.h"

namespace audio {
namespace {

std::int64_t FramesToBytes(const Channel& ch, std::int64_t frames)
{
    return frames * ch.chans * static_cast<std::int64_t>(sizeof(float));
}

std::int64_t BytesToFrames(const Channel& ch, std::int64_t bytes)
{
    return bytes / (ch.chans * static_cast<std::int64_t>(sizeof(float)));
}

bool AtEnd(const Channel& ch) { return ch.sourceEnded && ch.ringFrames == 0; }

// Channel lock held: moves the source to `frame` and drops what was buffered.
bool SeekLocked(Channel& ch, std::int64_t frame, bool flush)
{
    if (!ch.source->Seek(frame, flush))
        return false;
    ClearPlaybackBuffer(ch);
    ch.sourceEnded = false;
    ch.endSyncSent = false;
    ch.mixedPosition = ch.source->PositionFrames();
    return true;
}

}  // namespace

Handle StreamCreateFile(const std::string& path, std::uint32_t flags)
{
    if (!AudioIsInitialized()) {
        SetError(kErrInit);
        return 0;
    }
    auto source = OpenFileSource(path);
    if (!source)
        return 0;
    return AddChannel(std::move(source), flags);
}

bool StreamFree(Handle handle)
{
    ChannelPtr ch;
    {
        std::lock_guard<std::mutex> lock(g_audio.mutex);
        auto it = g_audio.channels.find(handle);
        if (it == g_audio.channels.end()) {
            SetError(kErrHandle);
            return false;
        }
        ch = it->second;
        g_audio.channels.erase(it);
        std::erase_if(g_audio.slotOwner, [handle](const auto& kv) { return kv.second == handle; });
    }
    MixerRemove(handle);
    {
        // Waits for a block the mixing thread may be processing.
        std::lock_guard<std::mutex> lock(ch->lock);
        ch->freed = true;
        ch->state = kStateStopped;
        ch->chain.clear();
    }
    {
        std::lock_guard<std::mutex> lock(ch->syncLock);
        ch->syncs.clear();
    }
    DropQueuedSyncs(handle);
    std::unique_ptr<StreamSource> source;
    {
        std::lock_guard<std::mutex> lock(ch->lock);
        source = std::move(ch->source);
    }
    if (source) {
        source->Shutdown();
        source.reset();
    }
    if (ch->ownedSource)
        StreamFree(ch->ownedSource);
    SetError(kOk);
    return true;
}

bool ChannelPlay(Handle handle, bool restart)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return false;
    if (ch->decodeOnly) {
        SetError(kErrNotAvailable);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(ch->lock);
        // A stream that has played to its end starts again from the top.
        if (restart || AtEnd(*ch)) {
            if (!SeekLocked(*ch, 0, true) && restart)
                return false;
        }
        ch->lastGain = -1.0f;
        ch->state = kStatePlaying;
    }
    MixerWake();
    SetError(kOk);
    return true;
}

bool ChannelPause(Handle handle)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return false;
    int expected = ch->state.load();
    if (ch->decodeOnly || (expected != kStatePlaying && expected != kStateStalled)) {
        SetError(expected == kStatePaused ? kErrAlready : kErrNotPlaying);
        return false;
    }
    std::lock_guard<std::mutex> lock(ch->lock);
    ch->state = kStatePaused;
    SetError(kOk);
    return true;
}

bool ChannelStop(Handle handle)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return false;
    std::lock_guard<std::mutex> lock(ch->lock);
    if (!ch->decodeOnly && ch->state.load() != kStateStopped) {
        // Keep the place: what was buffered but not heard is decoded again on play.
        const std::int64_t heard = HeardPositionFrames(*ch);
        ch->state = kStateStopped;
        if (!AtEnd(*ch))
            SeekLocked(*ch, heard, true);
    }
    ch->state = kStateStopped;
    SetError(kOk);
    return true;
}

int ChannelIsActive(Handle handle)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return kStateStopped;
    SetError(kOk);
    if (ch->decodeOnly) {
        std::lock_guard<std::mutex> lock(ch->lock);
        return ch->sourceEnded ? kStateStopped : kStatePlaying;
    }
    return ch->state.load();
}

bool ChannelGetInfo(Handle handle, ChannelInfo* info)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch || !info)
        return false;
    info->freq = ch->freq;
    info->channels = ch->chans;
    info->flags = ch->flags;
    info->isFloat = true;
    SetError(kOk);
    return true;
}

std::int64_t ChannelGetLength(Handle handle)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return -1;
    std::lock_guard<std::mutex> lock(ch->lock);
    if (!ch->source) {
        SetError(kErrHandle);
        return -1;
    }
    const std::int64_t frames = ch->source->LengthFrames();
    if (frames < 0) {
        SetError(kErrNotAvailable);
        return -1;
    }
    SetError(kOk);
    return FramesToBytes(*ch, frames);
}

std::int64_t ChannelGetPosition(Handle handle)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return -1;
    std::lock_guard<std::mutex> lock(ch->lock);
    if (!ch->source) {
        SetError(kErrHandle);
        return -1;
    }
    SetError(kOk);
    if (ch->decodeOnly)
        return FramesToBytes(*ch, ch->source->PositionFrames());
    return FramesToBytes(*ch, std::max<std::int64_t>(0, HeardPositionFrames(*ch)));
}

bool ChannelSetPosition(Handle handle, std::int64_t bytes, std::uint32_t mode)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return false;
    if (bytes < 0 || (mode & ~kPosFlush) != kPosByte) {
        SetError(kErrPosition);
        return false;
    }
    std::lock_guard<std::mutex> lock(ch->lock);
    if (!ch->source) {
        SetError(kErrHandle);
        return false;
    }
    const std::int64_t length = ch->source->LengthFrames();
    const std::int64_t frame = BytesToFrames(*ch, bytes);
    if (length > 0 && frame > length) {
        SetError(kErrPosition);
        return false;
    }
    if (!SeekLocked(*ch, frame, (mode & kPosFlush) != 0))
        return false;
    MixerWake();
    SetError(kOk);
    return true;
}

std::int64_t ChannelSeconds2Bytes(Handle handle, double seconds)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return -1;
    if (!(seconds >= 0.0))
        seconds = 0.0;
    SetError(kOk);
    return FramesToBytes(*ch, static_cast<std::int64_t>(seconds * ch->freq));
}

double ChannelBytes2Seconds(Handle handle, std::int64_t bytes)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return -1.0;
    if (bytes < 0) {
        SetError(kErrIllegalParam);
        return -1.0;
    }
    SetError(kOk);
    return static_cast<double>(BytesToFrames(*ch, bytes)) / ch->freq;
}

bool ChannelGetAttribute(Handle handle, int attrib, float* value)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch || !value)
        return false;
    SetError(kOk);
    switch (attrib) {
    case kAttribFreq: *value = ch->playFreq; return true;
    case kAttribVolume: *value = ch->volume; return true;
    case kAttribBuffer: *value = ch->bufferSeconds; return true;
    default: break;
    }
    std::lock_guard<std::mutex> lock(ch->lock);
    if (!ch->source) {
        SetError(kErrHandle);
        return false;
    }
    if (attrib == kAttribBitrate) {
        *value = ch->source->BitrateKbps();
        return true;
    }
    if (attrib == kAttribVbr) {
        *value = ch->source->IsVariableBitrate() ? 1.0f : 0.0f;
        return true;
    }
    if (ch->source->GetAttribute(attrib, value))
        return true;
    SetError(kErrIllegalType);
    return false;
}

bool ChannelSetAttribute(Handle handle, int attrib, float value)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return false;
    if (!std::isfinite(value)) {
        SetError(kErrIllegalParam);
        return false;
    }
    SetError(kOk);
    switch (attrib) {
    case kAttribFreq:
        // 0 means the channel's own rate; the mixer's range is 1/16 to 16 times the device rate.
        ch->playFreq = value <= 0.0f ? static_cast<float>(ch->freq) : std::clamp(value, 100.0f, 768000.0f);
        return true;
    case kAttribVolume: ch->volume = std::max(0.0f, value); return true;
    case kAttribBuffer: ch->bufferSeconds = std::clamp(value, 0.0f, 5.0f); return true;
    case kAttribBitrate:
    case kAttribVbr: SetError(kErrIllegalType); return false;  // read-only
    default: break;
    }
    std::lock_guard<std::mutex> lock(ch->lock);
    if (ch->source && ch->source->SetAttribute(attrib, value))
        return true;
    SetError(kErrIllegalType);
    return false;
}

int ReadDecodeChannel(Channel& ch, float* out, int frames)
{
    std::lock_guard<std::mutex> lock(ch.lock);
    if (ch.freed || !ch.source) {
        SetError(kErrHandle);
        return -1;
    }
    if (ch.sourceEnded) {
        SetError(kErrEnded);
        return -1;
    }
    int done = 0;
    while (done < frames) {
        const int got = ch.source->Read(out + static_cast<std::size_t>(done) * ch.chans, frames - done);
        if (got < 0) {
            ch.sourceEnded = true;
            break;
        }
        if (got == 0)
            break;
        RunChain(ch, out + static_cast<std::size_t>(done) * ch.chans, got);
        done += got;
    }
    if (ch.sourceEnded && !ch.endSyncSent) {
        ch.endSyncSent = true;
        FireSyncs(ch, kSyncEnd, 0);
    }
    if (done == 0 && ch.sourceEnded) {
        SetError(kErrEnded);
        return -1;
    }
    SetError(kOk);
    return done;
}

int ChannelGetData(Handle handle, void* buffer, std::uint32_t lengthAndFlags)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return -1;
    if (!ch->decodeOnly) {
        SetError(kErrNotAvailable);
        return -1;
    }
    if (!buffer || (lengthAndFlags & 0x80000000u)) {
        SetError(kErrIllegalParam);
        return -1;
    }
    const int frameBytes = ch->chans * static_cast<int>(sizeof(float));
    const int frames = static_cast<int>((lengthAndFlags & kDataLengthMask) / static_cast<std::uint32_t>(frameBytes));
    if (frames == 0) {
        SetError(kOk);
        return 0;
    }
    const int got = ReadDecodeChannel(*ch, static_cast<float*>(buffer), frames);
    return got < 0 ? -1 : got * frameBytes;
}

std::string ChannelGetTags(Handle handle, int type)
{
    ChannelPtr ch = FindChannel(handle);
    if (!ch)
        return {};
    std::lock_guard<std::mutex> lock(ch->lock);
    std::string block = ch->source ? ch->source->Tags(type) : std::string();
    SetError(block.empty() ? kErrNotAvailable : kOk);
    return block;
}

}  // namespace audio
