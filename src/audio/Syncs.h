#pragma once
// Syncs: callbacks registered on a channel, delivered on the notification
// thread so that neither the mixing thread nor a download thread ever runs
// program code that might block.
#include <cstdint>

#include "audio/EngineState.h"

namespace audio {

void NotificationThreadStart();
void NotificationThreadStop();   // delivers nothing more afterwards

// Queues every sync of `type` on the channel (from any thread, never blocks
// for long). One-time syncs are removed as they are queued.
// `only`, when given, limits it to that one sync.
void FireSyncs(Channel& channel, std::uint32_t type, std::uint32_t data, Handle only = 0);
void FireSyncs(Handle channel, std::uint32_t type, std::uint32_t data);

// Forgets queued deliveries of a removed sync or a freed channel.
void DropQueuedSyncs(Handle channelOrSync);

}  // namespace audio
