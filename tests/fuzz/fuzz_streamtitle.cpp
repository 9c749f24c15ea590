// Radio metadata and headers from any server: the StreamTitle value, its
// split, and the header lookups must stay inside the text they are given.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/TextEncoding.h"
#include "playback/StreamTitle.h"
#include "playback/TagReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const ArtistTitle parts = SplitStreamTitle(bytes);
    // Both parts are pieces of the text, never more than it.
    if (bytes.find(parts.artist) == std::string::npos || bytes.find(parts.title) == std::string::npos)
        __builtin_trap();

    TagBlocks blocks;
    blocks.meta = bytes;
    blocks.icy = bytes;
    blocks.http = bytes;
    if (!IsValidUtf8(StreamTitle(blocks)) || !IsValidUtf8(StationName(blocks)))
        __builtin_trap();
    if (HeaderBitrate(blocks) < 0)
        __builtin_trap();
    for (const char* name : {"TITLE", "ARTIST", "GENRE"}) {
        if (!IsValidUtf8(GetTag(blocks, name)))
            __builtin_trap();
    }
    return 0;
}
