// Syncs, DSP callbacks and effect slots on channels.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "audio/EngineState.h"
#include "audio/Syncs.h"

namespace audio {
namespace {

std::mutex g_factoryMutex;
std::unordered_map<int, EffectFactory> g_factories;

// Inserts after every slot of the same or higher priority, so that among equal
// priorities the newest runs last.
void InsertSlot(Channel& ch, ChainSlot slot)
{
    auto at = std::find_if(ch.chain.begin(), ch.chain.end(),
                           [&](const ChainSlot& s) { return s.priority < slot.priority; });
    ch.chain.insert(at, std::move(slot));
}

ChannelPtr OwnerOf(Handle slot)
{
    Handle owner = 0;
    {
        std::lock_guard<std::mutex> lock(g_audio.mutex);
        auto it = g_audio.slotOwner.find(slot);
        if (it != g_audio.slotOwner.end())
            owner = it->second;
    }
    if (owner == 0) {
        SetError(kErrHandle);
        return nullptr;
    }
    return FindChannel(owner);
}

Handle RegisterSlot(Handle channel)
{
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    Handle h = NewHandle();
    g_audio.slotOwner[h] = channel;
    return h;
}

void ForgetSlot(Handle slot)
{
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    g_audio.slotOwner.erase(slot);
}

bool RemoveChainSlot(Handle channel, Handle slot, bool wantFx)
{
    ChannelPtr ch = FindChannel(channel);
    if (!ch)
        return false;
    std::lock_guard<std::mutex> lock(ch->lock);
    auto it = std::find_if(ch->chain.begin(), ch->chain.end(), [&](const ChainSlot& s) {
        return s.handle == slot && (s.fxType != 0) == wantFx;
    });
    if (it == ch->chain.end()) {
        SetError(kErrHandle);
        return false;
    }
    ch->chain.erase(it);
    ForgetSlot(slot);
    SetError(kOk);
    return true;
}

ChainSlot* FindFxSlot(Channel& ch, Handle fx)
{
    for (auto& s : ch.chain) {
        if (s.handle == fx && s.fxType != 0)
            return &s;
    }
    return nullptr;
}

}  // namespace

int EffectParamsSize(int fxType)
{
    switch (fxType) {
    case kFxFreeverb: return sizeof(FreeverbParams);
    case kFxDx8Reverb: return sizeof(Dx8ReverbParams);
    case kFxI3dl2Reverb: return sizeof(I3dl2ReverbParams);
    case kFxVolume: return sizeof(VolumeParams);
    case kFxPeakEq: return sizeof(PeakEqParams);
    case kFxCompressor2: return sizeof(Compressor2Params);
    case kFxEcho4: return sizeof(Echo4Params);
    default: return 0;
    }
}

void RegisterEffectFactory(int fxType, EffectFactory factory)
{
    std::lock_guard<std::mutex> lock(g_factoryMutex);
    if (factory)
        g_factories[fxType] = factory;
    else
        g_factories.erase(fxType);
}

Handle ChannelSetSync(Handle channel, std::uint32_t type, std::uint64_t param, SyncProc proc, void* user)
{
    const std::uint32_t base = type & ~kSyncOneTime;
    if (!proc || (base != kSyncEnd && base != kSyncMeta && base != kSyncDownload)) {
        SetError(kErrIllegalType);
        return 0;
    }
    ChannelPtr ch = FindChannel(channel);
    if (!ch)
        return 0;
    const Handle h = RegisterSlot(channel);
    {
        std::lock_guard<std::mutex> lock(ch->syncLock);
        ch->syncs.push_back({h, type, param, proc, user});
    }
    if (base == kSyncDownload) {
        // A file that arrived before anyone asked still reports it.
        bool complete = false;
        {
            std::lock_guard<std::mutex> lock(ch->lock);
            complete = ch->source && ch->source->DownloadComplete();
        }
        if (complete)
            FireSyncs(*ch, kSyncDownload, 0, h);
    }
    SetError(kOk);
    return h;
}

bool ChannelRemoveSync(Handle channel, Handle sync)
{
    ChannelPtr ch = FindChannel(channel);
    if (!ch)
        return false;
    bool found = false;
    {
        std::lock_guard<std::mutex> lock(ch->syncLock);
        found = std::erase_if(ch->syncs, [sync](const SyncSlot& s) { return s.handle == sync; }) > 0;
    }
    if (!found) {
        SetError(kErrHandle);
        return false;
    }
    ForgetSlot(sync);
    DropQueuedSyncs(sync);
    SetError(kOk);
    return true;
}

Handle ChannelSetDsp(Handle channel, DspProc proc, void* user, int priority)
{
    if (!proc) {
        SetError(kErrIllegalParam);
        return 0;
    }
    ChannelPtr ch = FindChannel(channel);
    if (!ch)
        return 0;
    ChainSlot slot;
    slot.handle = RegisterSlot(channel);
    slot.priority = priority;
    slot.proc = proc;
    slot.user = user;
    const Handle h = slot.handle;
    std::lock_guard<std::mutex> lock(ch->lock);
    InsertSlot(*ch, std::move(slot));
    SetError(kOk);
    return h;
}

bool ChannelRemoveDsp(Handle channel, Handle dsp) { return RemoveChainSlot(channel, dsp, false); }

Handle ChannelSetFx(Handle channel, int fxType, int priority)
{
    const int size = EffectParamsSize(fxType);
    if (size == 0) {
        SetError(kErrIllegalType);
        return 0;
    }
    ChannelPtr ch = FindChannel(channel);
    if (!ch)
        return 0;
    ChainSlot slot;
    slot.priority = priority;
    slot.fxType = fxType;
    slot.params.resize(static_cast<std::size_t>(size));
    // Start from the type's defaults.
    switch (fxType) {
    case kFxFreeverb: new (slot.params.data()) FreeverbParams(); break;
    case kFxDx8Reverb: new (slot.params.data()) Dx8ReverbParams(); break;
    case kFxI3dl2Reverb: new (slot.params.data()) I3dl2ReverbParams(); break;
    case kFxVolume: new (slot.params.data()) VolumeParams(); break;
    case kFxPeakEq: new (slot.params.data()) PeakEqParams(); break;
    case kFxCompressor2: new (slot.params.data()) Compressor2Params(); break;
    case kFxEcho4: new (slot.params.data()) Echo4Params(); break;
    default: break;
    }
    {
        std::lock_guard<std::mutex> lock(g_factoryMutex);
        auto it = g_factories.find(fxType);
        if (it != g_factories.end())
            slot.fx = it->second(fxType);
    }
    if (slot.fx)
        slot.fx->SetParameters(slot.params.data());
    slot.handle = RegisterSlot(channel);
    const Handle h = slot.handle;
    std::lock_guard<std::mutex> lock(ch->lock);
    InsertSlot(*ch, std::move(slot));
    SetError(kOk);
    return h;
}

bool ChannelRemoveFx(Handle channel, Handle fx) { return RemoveChainSlot(channel, fx, true); }

bool FxSetParameters(Handle fx, const void* params)
{
    ChannelPtr ch = OwnerOf(fx);
    if (!ch)
        return false;
    if (!params) {
        SetError(kErrIllegalParam);
        return false;
    }
    std::lock_guard<std::mutex> lock(ch->lock);
    ChainSlot* slot = FindFxSlot(*ch, fx);
    if (!slot) {
        SetError(kErrHandle);
        return false;
    }
    std::memcpy(slot->params.data(), params, slot->params.size());
    if (slot->fx)
        slot->fx->SetParameters(slot->params.data());
    SetError(kOk);
    return true;
}

bool FxGetParameters(Handle fx, void* params)
{
    ChannelPtr ch = OwnerOf(fx);
    if (!ch)
        return false;
    if (!params) {
        SetError(kErrIllegalParam);
        return false;
    }
    std::lock_guard<std::mutex> lock(ch->lock);
    ChainSlot* slot = FindFxSlot(*ch, fx);
    if (!slot) {
        SetError(kErrHandle);
        return false;
    }
    std::memcpy(params, slot->params.data(), slot->params.size());
    SetError(kOk);
    return true;
}

}  // namespace audio
