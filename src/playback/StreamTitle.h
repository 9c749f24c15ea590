#pragma once
// Titles announced by internet radio in their metadata block, and how they
// split into artist and title.
#include <string>
#include <string_view>

#include "playback/TagBlocks.h"

struct ArtistTitle {
    std::string artist;
    std::string title;
};

// The value of key in a metadata text: key='value'; (up to the next "';", or
// the end less a final quote), else key="value" (up to the next double
// quote). Absent: false.
bool MetadataValue(std::string_view metadata, std::string_view key, std::string* value);

// First rule that applies: Artist - text="Title" ...; title="..." and/or
// artist="..."; "Artist - Title"; else the whole text is the title.
ArtistTitle SplitStreamTitle(std::string_view text);

// The StreamTitle of the Shoutcast metadata: "artist - title" when both
// parts are there, the title alone, else the raw value; empty without one.
std::string StreamTitle(const TagBlocks& blocks);
// The raw StreamTitle value; false when the metadata carries none.
bool RawStreamTitle(const TagBlocks& blocks, std::string* value);
