#include "playback/InfoFields.h"

#include <cstdio>

#include "app/Commands.h"
#include "app/StatusText.h"
#include "i18n/Translations.h"
#include "platform/Paths.h"
#include "playback/Id3v1.h"
#include "playback/StreamTitle.h"
#include "playback/TagReader.h"
#include "playback/TimeText.h"

namespace {

// Creation flag of 8-bit sample channels; this engine makes float ones only,
// but the readout names the depth the channel reports.
constexpr std::uint32_t kSample8Bits = 1;

struct FieldValue {
    std::string text;
    bool isStation = false;   // album field: the value is the station name
};

std::string FirstTag(const TagBlocks& tags, std::initializer_list<const char*> names, const std::string& fallback)
{
    for (const char* name : names) {
        std::string value = GetTag(tags, name);
        if (!value.empty())
            return value;
    }
    return fallback;
}

FieldValue Value(InfoField field, const PlayingInfo& info)
{
    Id3v1Fields v1;
    ReadId3v1(info.tags.id3v1, &v1);
    FieldValue out;
    switch (field) {
    case InfoField::Title: {
        out.text = StreamTitle(info.tags);
        if (!out.text.empty())
            break;
        const std::string title = FirstTag(info.tags, {"TITLE"}, v1.title);
        const std::string artist = FirstTag(info.tags, {"ARTIST"}, v1.artist);
        if (!artist.empty() && !title.empty())
            out.text = artist + " - " + title;
        else
            out.text = title.empty() ? artist : title;
        break;
    }
    case InfoField::Artist: out.text = FirstTag(info.tags, {"ARTIST"}, v1.artist); break;
    case InfoField::Album:
        out.text = FirstTag(info.tags, {"ALBUM"}, v1.album);
        if (out.text.empty()) {
            out.text = StationName(info.tags);
            out.isStation = !out.text.empty();
        }
        break;
    case InfoField::Year: out.text = FirstTag(info.tags, {"DATE", "YEAR"}, v1.year); break;
    case InfoField::Track:
        out.text = FirstTag(info.tags, {"TRACKNUMBER", "TRACK"}, v1.track > 0 ? std::to_string(v1.track) : "");
        break;
    case InfoField::Genre: out.text = FirstTag(info.tags, {"GENRE"}, Id3v1GenreName(v1.genre)); break;
    case InfoField::Comment: out.text = FirstTag(info.tags, {"COMMENT", "DESCRIPTION"}, v1.comment); break;
    default: break;
    }
    return out;
}

const char* EmptyText(InfoField field, bool spoken)
{
    switch (field) {
    case InfoField::Title: return "No title";
    case InfoField::Artist: return "No artist";
    case InfoField::Album: return "No album";
    case InfoField::Year: return "No year";
    case InfoField::Track: return spoken ? "No track number" : "No track";
    case InfoField::Genre: return "No genre";
    case InfoField::Comment: return "No comment";
    default: return "Nothing playing";
    }
}

const char* Label(InfoField field)
{
    switch (field) {
    case InfoField::Artist: return "Artist: ";
    case InfoField::Album: return "Album: ";
    case InfoField::Year: return "Year: ";
    case InfoField::Track: return "Track: ";
    case InfoField::Genre: return "Genre: ";
    case InfoField::Comment: return "Comment: ";
    default: return nullptr;
    }
}

bool IsUrlEntry(const std::string& entry)
{
    return StartsWithIgnoreCase(entry, "http://") || StartsWithIgnoreCase(entry, "https://") ||
           StartsWithIgnoreCase(entry, "ftp://");
}

std::string SpokenFormat(const PlayingInfo& info)
{
    if (!info.outputInfoKnown)
        return TranslateUtf8("Cannot get info");
    int bitrate = info.tagBitrate > 0 ? static_cast<int>(info.tagBitrate) : 0;
    if (bitrate <= 0)
        bitrate = HeaderBitrate(info.tags);
    const int channels = info.outputInfo.channels;
    const std::string layout = TranslateUtf8(channels == 1 ? "mono" : channels == 2 ? "stereo" : "multi-channel");
    char text[256];
    if (bitrate > 0) {
        std::snprintf(text, sizeof text, TranslateUtf8("%d kbps, %d Hz, %s").c_str(), bitrate, info.outputInfo.freq,
                      layout.c_str());
    } else {
        const std::uint32_t flags = info.outputInfo.flags;
        const int bits = (flags & kSample8Bits) ? 8 : (info.outputInfo.isFloat || (flags & audio::kSampleFloat)) ? 32 : 16;
        std::snprintf(text, sizeof text, TranslateUtf8("%d-bit, %d Hz, %s").c_str(), bits, info.outputInfo.freq,
                      layout.c_str());
    }
    return text;
}

std::string ShownBitrate(const PlayingInfo& info)
{
    if (!(info.tagBitrate > 0))
        return TranslateUtf8("Unknown bitrate");
    const int channels = info.tagInfoKnown ? info.tagInfo.channels : 0;
    const std::string layout = TranslateUtf8(channels == 1 ? "Mono" : channels == 2 ? "Stereo" : "Multi-channel");
    char text[256];
    std::snprintf(text, sizeof text, TranslateUtf8("%.0f kbps, %d Hz, %s").c_str(), static_cast<double>(info.tagBitrate),
                  info.tagInfoKnown ? info.tagInfo.freq : 0, layout.c_str());
    return text;
}

std::string SpokenDurationText(const PlayingInfo& info)
{
    if (info.processorActive && info.processorLength > 0)
        return SpokenDuration(info.processorLength);
    return TranslateUtf8(IsUrlEntry(info.currentEntry) ? "Live stream" : "Unknown duration");
}

std::string ShownDuration(const PlayingInfo& info)
{
    if (info.processorActive)
        return FormatTime(info.processorLength);
    if (info.tagLength > 0)
        return FormatTime(info.tagLength);
    return TranslateUtf8("Unknown duration");
}

}  // namespace

bool SpokenInfoField(int command, InfoField* field)
{
    if (command == cmd::SpeakNowPlaying || command == cmd::SpeakTitle) {
        *field = InfoField::Title;
        return true;
    }
    if (command == cmd::SpeakFileName) {
        *field = InfoField::FileName;
        return true;
    }
    if (command > cmd::SpeakTitle && command <= cmd::SpeakTitle + 8) {
        *field = static_cast<InfoField>(command - cmd::SpeakTitle);
        return true;
    }
    return false;
}

bool ShownInfoField(int command, InfoField* field)
{
    if (command < cmd::ShowTitle || command > cmd::ShowTitle + 9)
        return false;
    *field = static_cast<InfoField>(command - cmd::ShowTitle);
    return true;
}

const char* InfoFieldCaption(InfoField field)
{
    static constexpr const char* kCaptions[] = {"Title", "Artist", "Album", "Year", "Track",
                                                "Genre", "Comment", "Bitrate", "Duration", "Filename"};
    return kCaptions[static_cast<int>(field)];
}

PlayingInfo ReadPlayingInfo(audio::Handle tagChannel, audio::Handle output, bool processorActive,
                            double processorLength, const Playlist& queue)
{
    PlayingInfo info;
    info.hasTagChannel = tagChannel != 0;
    if (info.hasTagChannel) {
        info.tags = ReadTagBlocks(tagChannel);
        float kbps = 0;
        if (audio::ChannelGetAttribute(tagChannel, audio::kAttribBitrate, &kbps))
            info.tagBitrate = kbps;
        info.tagInfoKnown = audio::ChannelGetInfo(tagChannel, &info.tagInfo);
        const std::int64_t bytes = audio::ChannelGetLength(tagChannel);
        if (bytes >= 0)
            info.tagLength = audio::ChannelBytes2Seconds(tagChannel, bytes);
    }
    info.hasOutput = output != 0;
    if (info.hasOutput)
        info.outputInfoKnown = audio::ChannelGetInfo(output, &info.outputInfo);
    info.processorActive = processorActive;
    info.processorLength = processorLength;
    if (queue.current >= 0 && queue.current < static_cast<int>(queue.entries.size())) {
        info.hasCurrentEntry = true;
        info.currentEntry = queue.entries[static_cast<std::size_t>(queue.current)];
    }
    return info;
}

std::string SpeakInfoText(InfoField field, const PlayingInfo& info)
{
    if (!info.hasTagChannel)
        return TranslateUtf8("Nothing playing");
    switch (field) {
    case InfoField::Format:
        return info.hasOutput ? SpokenFormat(info) : TranslateUtf8("Nothing playing");
    case InfoField::Duration:
        return info.hasOutput ? SpokenDurationText(info) : TranslateUtf8("Nothing playing");
    case InfoField::FileName:
        if (!info.hasCurrentEntry)
            return TranslateUtf8("Nothing playing");
        if (IsUrlEntry(info.currentEntry))
            return TranslateUtf8("URL: ") + info.currentEntry;
        return TranslateUtf8("Filename: ") + FileNamePart(info.currentEntry);
    default: break;
    }
    const FieldValue value = Value(field, info);
    if (value.text.empty())
        return TranslateUtf8(EmptyText(field, true));
    if (value.isStation)
        return TranslateUtf8("Station: ") + value.text;
    const char* label = Label(field);
    return label ? TranslateUtf8(label) + value.text : value.text;
}

std::string InfoText(InfoField field, const PlayingInfo& info)
{
    if (!info.hasTagChannel)
        return TranslateUtf8("Nothing playing");
    switch (field) {
    case InfoField::Format: return ShownBitrate(info);
    case InfoField::Duration: return ShownDuration(info);
    case InfoField::FileName:
        if (!info.hasCurrentEntry)
            return TranslateUtf8("Nothing playing");
        return IsUrlEntry(info.currentEntry) ? info.currentEntry : FileNamePart(info.currentEntry);
    default: break;
    }
    const FieldValue value = Value(field, info);
    return value.text.empty() ? TranslateUtf8(EmptyText(field, false)) : value.text;
}
