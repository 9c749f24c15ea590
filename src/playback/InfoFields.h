#pragma once
// The facts the digit keys speak (1-9, 0) and Shift with the digits shows:
// title, artist, album or station, year, track, genre, comment, format or
// bitrate, duration and file name, with their fallbacks and empty texts.
#include <string>

#include "audio/AudioEngine.h"
#include "playback/TagBlocks.h"
#include "playlist/Playlist.h"

enum class InfoField { Title, Artist, Album, Year, Track, Genre, Comment, Format, Duration, FileName };

// 261 (and 214) .. 269 and 260 speak; 270 .. 279 show. False for other commands.
bool SpokenInfoField(int command, InfoField* field);
bool ShownInfoField(int command, InfoField* field);

// The tag view's caption, English in every language: "Title" .. "Filename"
// ("Bitrate" for the format field).
const char* InfoFieldCaption(InfoField field);

// What is playing, read at the moment a field is asked for.
struct PlayingInfo {
    bool hasTagChannel = false;     // the source, or the output when there is no separate source
    TagBlocks tags;
    float tagBitrate = 0;           // the tag channel's bitrate attribute, kbps; <= 0 unknown
    bool tagInfoKnown = false;
    audio::ChannelInfo tagInfo;
    double tagLength = -1;          // seconds; < 0 unknown
    bool hasOutput = false;
    bool outputInfoKnown = false;
    audio::ChannelInfo outputInfo;
    bool processorActive = false;
    double processorLength = 0;     // seconds, the item's own time
    bool hasCurrentEntry = false;
    std::string currentEntry;       // the play queue's current path or URL
};

// Reads the channels (0 for none) and the queue's current entry.
PlayingInfo ReadPlayingInfo(audio::Handle tagChannel, audio::Handle output, bool processorActive,
                            double processorLength, const Playlist& queue);

// The announcement for a spoken field ("Artist: Band", "No genre", ...).
std::string SpeakInfoText(InfoField field, const PlayingInfo& info);
// The text of the tag view: the value alone, or the empty text.
std::string InfoText(InfoField field, const PlayingInfo& info);
