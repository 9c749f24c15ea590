#include "playback/TagReader.h"

#include "playback/Id3v2.h"
#include "playback/StreamTitle.h"

namespace {

struct FrameName {
    std::string_view name;
    std::string_view frame;
};

constexpr FrameName kId3v2Frames[] = {
    {"TITLE", "TIT2"}, {"ARTIST", "TPE1"}, {"ALBUM", "TALB"},       {"YEAR", "TYER"},   {"DATE", "TDRC"},
    {"TRACK", "TRCK"}, {"TRACKNUMBER", "TRCK"}, {"GENRE", "TCON"}, {"COMMENT", "COMM"},
};

// The stream's own words for TITLE, ARTIST and GENRE, from one header block.
std::string StreamHeaderTag(const TagBlocks& blocks, std::string_view headers, std::string_view name)
{
    const bool title = EqualsIgnoreCase(name, "TITLE");
    const bool artist = EqualsIgnoreCase(name, "ARTIST");
    if (title || artist) {
        std::string raw;
        if (RawStreamTitle(blocks, &raw)) {
            ArtistTitle parts = SplitStreamTitle(raw);
            std::string& part = title ? parts.title : parts.artist;
            if (!part.empty())
                return part;
        }
    }
    if (title)
        return HeaderValue(headers, "icy-name");
    if (EqualsIgnoreCase(name, "GENRE"))
        return HeaderValue(headers, "icy-genre");
    return {};
}

}  // namespace

std::string_view Id3v2FrameIdFor(std::string_view name)
{
    for (const FrameName& row : kId3v2Frames) {
        if (EqualsIgnoreCase(row.name, name))
            return row.frame;
    }
    return {};
}

std::string GetTag(const TagBlocks& blocks, std::string_view name)
{
    for (const std::string* list : {&blocks.vorbis, &blocks.ape, &blocks.mp4, &blocks.wma, &blocks.riffInfo,
                                    &blocks.mediaFoundation}) {
        std::string value = ListValue(*list, name);
        if (!value.empty())
            return value;
    }
    const std::string_view frame = Id3v2FrameIdFor(name);
    if (!frame.empty()) {
        std::string value = Id3v2FrameText(blocks.id3v2, frame);
        if (!value.empty())
            return value;
    }
    for (const std::string* headers : {&blocks.icy, &blocks.http}) {
        if (headers->empty())
            continue;
        std::string value = StreamHeaderTag(blocks, *headers, name);
        if (!value.empty())
            return value;
    }
    return {};
}

std::string StationName(const TagBlocks& blocks)
{
    std::string name = HeaderValue(blocks.icy, "icy-name");
    if (name.empty())
        name = HeaderValue(blocks.http, "icy-name");
    return name;
}

int HeaderBitrate(const TagBlocks& blocks)
{
    std::string text = HeaderValue(blocks.icy, "icy-br");
    if (text.empty())
        text = HeaderValue(blocks.http, "icy-br");
    // Leading digits only: some servers send "128,128" or "128 kbps".
    int kbps = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        kbps = kbps * 10 + (c - '0');
        if (kbps > 1000000)
            return 0;  // nonsense, not a bit rate
    }
    return kbps;
}
