// The spoken and shown information fields over fixed tag blocks and channel facts.
#include <gtest/gtest.h>

#include "TagFixtures.h"
#include "app/Commands.h"
#include "playback/InfoFields.h"

using namespace tagtest;

namespace {

PlayingInfo Playing(const std::string& entry = "/music/a.mp3")
{
    PlayingInfo info;
    info.hasTagChannel = true;
    info.hasOutput = true;
    info.outputInfoKnown = true;
    info.outputInfo = {44100, 2, audio::kSampleFloat, true};
    info.tagInfoKnown = true;
    info.tagInfo = {44100, 2, audio::kSampleFloat, true};
    info.hasCurrentEntry = true;
    info.currentEntry = entry;
    return info;
}

TEST(InfoFields, Id3v1OnlyMp3)
{
    PlayingInfo info = Playing();
    info.tags.id3v1 = Id3v1Record({"Song", "Band", "Record", "1999", "Fine", 7, 8, ' '});
    const struct {
        InfoField field;
        const char* spoken;
        const char* shown;
    } cases[] = {
        {InfoField::Title, "Band - Song", "Band - Song"},
        {InfoField::Artist, "Artist: Band", "Band"},
        {InfoField::Album, "Album: Record", "Record"},
        {InfoField::Year, "Year: 1999", "1999"},
        {InfoField::Track, "Track: 7", "7"},
        {InfoField::Genre, "Genre: Jazz", "Jazz"},
        {InfoField::Comment, "Comment: Fine", "Fine"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(InfoFieldCaption(c.field));
        EXPECT_EQ(SpeakInfoText(c.field, info), c.spoken);
        EXPECT_EQ(InfoText(c.field, info), c.shown);
    }
}

TEST(InfoFields, EmptyFieldsSayWhatIsMissing)
{
    PlayingInfo info = Playing();
    info.tags.id3v1 = Id3v1Record({"", "", "", "", "", 0, 80, '\0'});  // genre 80 has no name
    const struct {
        InfoField field;
        const char* spoken;
        const char* shown;
    } cases[] = {
        {InfoField::Title, "No title", "No title"},       {InfoField::Artist, "No artist", "No artist"},
        {InfoField::Album, "No album", "No album"},       {InfoField::Year, "No year", "No year"},
        {InfoField::Track, "No track number", "No track"}, {InfoField::Genre, "No genre", "No genre"},
        {InfoField::Comment, "No comment", "No comment"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(InfoFieldCaption(c.field));
        EXPECT_EQ(SpeakInfoText(c.field, info), c.spoken);
        EXPECT_EQ(InfoText(c.field, info), c.shown);
    }
}

TEST(InfoFields, TagsBeforeId3v1AndTheirFallbacks)
{
    PlayingInfo info = Playing();
    info.tags.vorbis = ListBlock({"TITLE=Tagged", "YEAR=1999", "DATE=2001-02-03", "TRACKNUMBER=4", "DESCRIPTION=About"});
    info.tags.id3v1 = Id3v1Record({"Old", "Old band", "", "", "", 0, 255, ' '});
    EXPECT_EQ(SpeakInfoText(InfoField::Title, info), "Old band - Tagged");  // the missing artist from ID3v1
    EXPECT_EQ(SpeakInfoText(InfoField::Year, info), "Year: 2001-02-03");    // DATE before YEAR
    EXPECT_EQ(SpeakInfoText(InfoField::Track, info), "Track: 4");
    EXPECT_EQ(SpeakInfoText(InfoField::Comment, info), "Comment: About");
    info.tags.id3v1.clear();
    EXPECT_EQ(SpeakInfoText(InfoField::Title, info), "Tagged");
    info.tags.vorbis = ListBlock({"ARTIST=Only artist"});
    EXPECT_EQ(SpeakInfoText(InfoField::Title, info), "Only artist");
}

TEST(InfoFields, CommentFrameSpokenWithoutLanguage)
{
    PlayingInfo info = Playing();
    info.tags.id3v2 = Id3v2Tag(3, Frame("COMM", TextBody(0, "eng" + std::string(1, '\0') + "Great song"), 3));
    EXPECT_EQ(SpeakInfoText(InfoField::Comment, info), "Comment: Great song");
}

TEST(InfoFields, RadioStream)
{
    PlayingInfo info = Playing("http://radio.example/stream");
    info.tags.icy = ListBlock({"ICY 200 OK", "icy-name:Radio One", "icy-br:128"});
    info.tags.meta = "StreamTitle='Band - Song';";
    EXPECT_EQ(SpeakInfoText(InfoField::Title, info), "Band - Song");
    EXPECT_EQ(SpeakInfoText(InfoField::Artist, info), "Artist: Band");
    EXPECT_EQ(SpeakInfoText(InfoField::Album, info), "Station: Radio One");
    EXPECT_EQ(InfoText(InfoField::Album, info), "Radio One");
    EXPECT_EQ(SpeakInfoText(InfoField::Duration, info), "Live stream");
    EXPECT_EQ(SpeakInfoText(InfoField::FileName, info), "URL: http://radio.example/stream");
    EXPECT_EQ(InfoText(InfoField::FileName, info), "http://radio.example/stream");
    // The stream's own bit rate is unknown: the icy-br header stands in.
    EXPECT_EQ(SpeakInfoText(InfoField::Format, info), "128 kbps, 44100 Hz, stereo");

    info.tags.meta = "StreamTitle='Band - text=\"Song\" song_spot=\"M\"';";
    EXPECT_EQ(SpeakInfoText(InfoField::Title, info), "Band - Song");
}

TEST(InfoFields, FormatAndBitrate)
{
    PlayingInfo info = Playing();
    EXPECT_EQ(SpeakInfoText(InfoField::Format, info), "32-bit, 44100 Hz, stereo");
    EXPECT_EQ(InfoText(InfoField::Format, info), "Unknown bitrate");
    info.tagBitrate = 191.6f;
    info.outputInfo = {48000, 1, audio::kSampleFloat, true};
    EXPECT_EQ(SpeakInfoText(InfoField::Format, info), "191 kbps, 48000 Hz, mono");
    EXPECT_EQ(InfoText(InfoField::Format, info), "192 kbps, 44100 Hz, Stereo");
    info.tagInfo.channels = 6;
    info.outputInfo = {22050, 6, 0, false};
    EXPECT_EQ(InfoText(InfoField::Format, info), "192 kbps, 44100 Hz, Multi-channel");
    info.tagBitrate = 0;
    EXPECT_EQ(SpeakInfoText(InfoField::Format, info), "16-bit, 22050 Hz, multi-channel");
    info.outputInfoKnown = false;
    EXPECT_EQ(SpeakInfoText(InfoField::Format, info), "Cannot get info");
    info.hasOutput = false;
    EXPECT_EQ(SpeakInfoText(InfoField::Format, info), "Nothing playing");
}

TEST(InfoFields, Durations)
{
    PlayingInfo info = Playing();
    info.processorActive = true;
    info.processorLength = 3725.5;
    EXPECT_EQ(SpeakInfoText(InfoField::Duration, info), "Duration: 1 hours, 2 minutes, 5 seconds");
    EXPECT_EQ(InfoText(InfoField::Duration, info), "1:02:05");
    info.processorLength = 0;
    EXPECT_EQ(SpeakInfoText(InfoField::Duration, info), "Unknown duration");
    info.processorActive = false;
    info.tagLength = 65;
    EXPECT_EQ(InfoText(InfoField::Duration, info), "1:05");
    info.tagLength = -1;
    EXPECT_EQ(InfoText(InfoField::Duration, info), "Unknown duration");
    info.hasOutput = false;
    EXPECT_EQ(SpeakInfoText(InfoField::Duration, info), "Nothing playing");
}

TEST(InfoFields, FileNameAndNothingPlaying)
{
    PlayingInfo info = Playing("/home/me/Music/Band - Song.flac");
    EXPECT_EQ(SpeakInfoText(InfoField::FileName, info), "Filename: Band - Song.flac");
    EXPECT_EQ(InfoText(InfoField::FileName, info), "Band - Song.flac");
    info.currentEntry = "FTP://host/a.mp3";
    EXPECT_EQ(SpeakInfoText(InfoField::FileName, info), "URL: FTP://host/a.mp3");
    info.hasCurrentEntry = false;
    EXPECT_EQ(SpeakInfoText(InfoField::FileName, info), "Nothing playing");

    const PlayingInfo nothing;
    for (int f = 0; f <= static_cast<int>(InfoField::FileName); ++f) {
        EXPECT_EQ(SpeakInfoText(static_cast<InfoField>(f), nothing), "Nothing playing");
        EXPECT_EQ(InfoText(static_cast<InfoField>(f), nothing), "Nothing playing");
    }
}

TEST(InfoFields, CommandsAndCaptions)
{
    const struct {
        int command;
        bool spoken;
        InfoField field;
        const char* caption;
    } cases[] = {
        {214, true, InfoField::Title, "Title"},     {261, true, InfoField::Title, "Title"},
        {268, true, InfoField::Format, "Bitrate"},  {269, true, InfoField::Duration, "Duration"},
        {260, true, InfoField::FileName, "Filename"}, {270, false, InfoField::Title, "Title"},
        {277, false, InfoField::Format, "Bitrate"}, {279, false, InfoField::FileName, "Filename"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        InfoField f{};
        EXPECT_EQ(SpokenInfoField(c.command, &f), c.spoken);
        if (c.spoken) {
            EXPECT_EQ(f, c.field);
        }
        EXPECT_EQ(ShownInfoField(c.command, &f), !c.spoken);
        EXPECT_EQ(f, c.field);
        EXPECT_STREQ(InfoFieldCaption(f), c.caption);
    }
    InfoField f{};
    EXPECT_FALSE(SpokenInfoField(259, &f));
    EXPECT_FALSE(ShownInfoField(280, &f));
}

}  // namespace
