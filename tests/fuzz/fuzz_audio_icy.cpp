// Internet radio servers send what they like: the ICY splitter and the
// metadata value search must survive any bytes, split anywhere.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/FileTags.h"
#include "audio/IcyDemuxer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t metaInt = 1 + data[0] % 64;
    const std::size_t piece = 1 + data[1] % 17;
    audio::IcyDemuxer icy(metaInt);
    std::string audio;
    std::vector<std::string> meta;
    const char* body = reinterpret_cast<const char*>(data + 2);
    for (std::size_t at = 0; at < size - 2; at += piece)
        icy.Feed(body + at, std::min(piece, size - 2 - at), &audio, &meta);
    for (const auto& m : meta)
        audio::IcyMetadataValue(m, "StreamTitle");
    audio::IcyMetadataValue(std::string(body, size - 2), "StreamTitle");
    audio::Id3v2TagSize(data, size);
    return 0;
}
