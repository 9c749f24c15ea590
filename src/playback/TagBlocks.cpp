#include "playback/TagBlocks.h"

#include "platform/TextEncoding.h"
#include "playlist/TextDecoding.h"

namespace {

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

TagBlocks ReadTagBlocks(audio::Handle channel)
{
    TagBlocks b;
    if (channel == 0)
        return b;
    b.id3v1 = audio::ChannelGetTags(channel, audio::kTagId3);
    b.id3v2 = audio::ChannelGetTags(channel, audio::kTagId3v2);
    b.vorbis = audio::ChannelGetTags(channel, audio::kTagVorbis);
    b.http = audio::ChannelGetTags(channel, audio::kTagHttp);
    b.icy = audio::ChannelGetTags(channel, audio::kTagIcy);
    b.meta = audio::ChannelGetTags(channel, audio::kTagMeta);
    b.ape = audio::ChannelGetTags(channel, audio::kTagApe);
    b.mp4 = audio::ChannelGetTags(channel, audio::kTagMp4);
    b.wma = audio::ChannelGetTags(channel, audio::kTagWma);
    b.riffInfo = audio::ChannelGetTags(channel, audio::kTagRiffInfo);
    b.mediaFoundation = audio::ChannelGetTags(channel, audio::kTagMediaFoundation);
    return b;
}

std::string ListValue(std::string_view block, std::string_view name)
{
    std::string value;
    if (name.empty())
        return value;
    ForEachListText(block, [&](std::string_view text) {
        if (text.size() > name.size() && text[name.size()] == '=' && EqualsIgnoreCase(text.substr(0, name.size()), name)) {
            value = SanitizeUtf8(text.substr(name.size() + 1));
            return false;
        }
        return true;
    });
    return value;
}

std::string HeaderValue(std::string_view block, std::string_view name)
{
    std::string value;
    if (name.empty())
        return value;
    ForEachListText(block, [&](std::string_view line) {
        if (line.size() <= name.size() || line[name.size()] != ':' || !EqualsIgnoreCase(line.substr(0, name.size()), name))
            return true;
        std::size_t start = name.size() + 1;
        while (start < line.size() && line[start] == ' ')
            ++start;
        std::size_t end = line.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = line.size();
        // Station headers are often Latin-1 rather than UTF-8.
        value = DecodePlaylistText(line.substr(start, end - start));
        return false;
    });
    return value;
}
