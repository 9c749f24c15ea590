#pragma once
// Tag lookups by name over a channel's tag blocks, in the order the player
// searches them, and the facts a radio station sends in its headers.
#include <string>
#include <string_view>

#include "playback/TagBlocks.h"

// The first non-empty value of `name` (TITLE, ARTIST, ALBUM, DATE, ...):
// Vorbis comments; APE, MP4, WMA; RIFF INFO, Media Foundation; the mapped
// ID3v2 frame; for TITLE, ARTIST and GENRE on streams, the stream title and
// the icy-name / icy-genre headers. Empty when absent.
std::string GetTag(const TagBlocks& blocks, std::string_view name);

// The ID3v2 frame id a tag name is looked up under; empty when it has none.
std::string_view Id3v2FrameIdFor(std::string_view name);

// "icy-name" of the ICY headers, else of the HTTP headers.
std::string StationName(const TagBlocks& blocks);
// "icy-br" likewise, as kbps; 0 when absent or not a number.
int HeaderBitrate(const TagBlocks& blocks);
