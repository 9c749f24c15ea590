#pragma once
// The tag blocks of one channel, by type, as the audio engine hands them out.
// Readers take this record instead of a handle so that they can be fed bytes
// from anywhere; every block is untrusted and may be empty or truncated.
#include <string>
#include <string_view>

#include "audio/AudioEngine.h"

struct TagBlocks {
    std::string id3v1;            // 128-byte record
    std::string id3v2;            // the whole tag, header included
    std::string vorbis;           // key=value texts, NUL-terminated, empty text at the end
    std::string http;             // header lines, same layout
    std::string icy;
    std::string meta;             // Shoutcast metadata: StreamTitle='...';
    std::string ape;
    std::string mp4;
    std::string wma;
    std::string riffInfo;
    std::string mediaFoundation;
};

// Every block of the channel at this moment; all empty for channel 0.
TagBlocks ReadTagBlocks(audio::Handle channel);

// Calls visit(text) for each NUL-terminated text of a list block, up to the
// first empty text or the end of the block; stops early when visit returns false.
template <typename Visit>
void ForEachListText(std::string_view block, Visit visit)
{
    std::size_t at = 0;
    while (at < block.size()) {
        std::size_t end = block.find('\0', at);
        if (end == std::string_view::npos)
            end = block.size();  // a last text without its terminator still counts
        if (end == at)
            return;
        if (!visit(block.substr(at, end - at)))
            return;
        at = end + 1;
    }
}

// Value of the first key=value text whose key equals name (ASCII case
// ignored); empty when there is none.
std::string ListValue(std::string_view block, std::string_view name);

// Value of the first header line whose name equals name (ASCII case ignored)
// followed by ':': after the colon and any spaces, up to a CR, LF or the end.
std::string HeaderValue(std::string_view block, std::string_view name);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);
