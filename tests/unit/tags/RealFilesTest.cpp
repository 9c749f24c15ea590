// Files made by the ffmpeg tool with tags and chapters, opened by the audio
// engine and read through its tag blocks: the whole path from file to text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "TagFixtures.h"
#include "audio/AudioEngine.h"
#include "playback/Chapters.h"
#include "playback/InfoFields.h"
#include "playback/TagReader.h"

namespace {

class TaggedFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(std::system("command -v ffmpeg >/dev/null"), 0) << "the ffmpeg tool is needed";
        char pattern[] = "/tmp/corvane-tags-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        std::ofstream meta(dir_ + "/meta.txt");
        meta << ";FFMETADATA1\n"
                "title=Caf\xC3\xA9 Song\nartist=The Band\nalbum=Record\ndate=2001\ntrack=7\ngenre=Jazz\n"
                "comment=Nice one\n"
                "[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=1000\ntitle=Opening\n"
                "[CHAPTER]\nTIMEBASE=1/1000\nSTART=1000\nEND=2500\ntitle=Caf\xC3\xA9 talk\n"
                "[CHAPTER]\nTIMEBASE=1/1000\nSTART=2500\nEND=3000\n";
    }
    static void TearDownTestSuite()
    {
        if (!dir_.empty())
            std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    void SetUp() override { ASSERT_TRUE(audio::AudioInit(audio::kDeviceNoSound, 44100)); }
    void TearDown() override
    {
        if (handle_)
            audio::StreamFree(handle_);
        audio::AudioFree();
    }

    // A 3-second tone carrying meta.txt's tags and chapters, opened for decoding.
    audio::Handle Make(const std::string& name, const std::string& args)
    {
        const std::string path = dir_ + "/" + name;
        const std::string command = "ffmpeg -nostdin -y -loglevel error -f lavfi -i 'sine=frequency=440:duration=3' -i '" +
                                    dir_ + "/meta.txt' -map 0:a -map_metadata 1 -map_chapters 1 " + args + " '" + path + "'";
        if (std::system(command.c_str()) != 0)
            return 0;
        handle_ = audio::StreamCreateFile(path, audio::kStreamDecode | audio::kSampleFloat);
        return handle_;
    }

    static inline std::string dir_;
    audio::Handle handle_ = 0;
};

std::string Describe(const std::vector<Chapter>& chapters)
{
    std::string out;
    for (const Chapter& c : chapters) {
        char start[32];
        std::snprintf(start, sizeof start, "%.1f", c.start);
        out += (out.empty() ? "" : "|") + c.title + "@" + start;
    }
    return out;
}

TEST_F(TaggedFiles, Mp3Id3v2TagsAndChapters)
{
    for (const char* version : {"3", "4"}) {
        SCOPED_TRACE(version);
        const audio::Handle h = Make(std::string("v") + version + ".mp3",
                                     std::string("-c:a libmp3lame -id3v2_version ") + version + " -write_id3v1 1");
        ASSERT_NE(h, 0u);
        const TagBlocks blocks = ReadTagBlocks(h);
        ASSERT_FALSE(blocks.id3v2.empty());
        EXPECT_EQ(GetTag(blocks, "TITLE"), "Caf\xC3\xA9 Song");
        EXPECT_EQ(GetTag(blocks, "ARTIST"), "The Band");
        EXPECT_EQ(GetTag(blocks, "ALBUM"), "Record");
        EXPECT_EQ(GetTag(blocks, "TRACK"), "7");
        EXPECT_EQ(GetTag(blocks, "GENRE"), "Jazz");
        // The tool writes its comment as a TXXX frame, which is not a COMM.
        EXPECT_EQ(GetTag(blocks, "COMMENT"), "");
        EXPECT_EQ(GetTag(blocks, std::string(version) == "3" ? "YEAR" : "DATE"), "2001");
        // The third chapter has no title of its own.
        EXPECT_EQ(Describe(ReadChapters(blocks)), "Opening@0.0|Caf\xC3\xA9 talk@1.0|Chapter 3@2.5");

        PlayingInfo info = ReadPlayingInfo(h, h, false, 0, Playlist{{"/x/v.mp3"}, 0});
        EXPECT_EQ(SpeakInfoText(InfoField::Title, info), "The Band - Caf\xC3\xA9 Song");
        EXPECT_EQ(SpeakInfoText(InfoField::Genre, info), "Genre: Jazz");
        EXPECT_EQ(InfoText(InfoField::Duration, info), "0:03");
        audio::StreamFree(handle_);
        handle_ = 0;
    }
}

TEST_F(TaggedFiles, OpusChaptersReachTheVorbisBlock)
{
    // The tool's Ogg Vorbis muxer writes no chapters at all; Opus keeps them.
    const audio::Handle h = Make("c.opus", "-c:a libopus");
    ASSERT_NE(h, 0u);
    const std::vector<Chapter> chapters = ReadChapters(ReadTagBlocks(h));
    ASSERT_EQ(chapters.size(), 3u);
    EXPECT_EQ(Describe({chapters[0], chapters[1]}), "Opening@0.0|Caf\xC3\xA9 talk@1.0");
    EXPECT_EQ(chapters[2].title, "Chapter 3");
}

// The tool fills ID3v1 only alongside ID3v2, so the record is appended here
// to an untagged MP3, space padded as old taggers wrote it.
TEST_F(TaggedFiles, Mp3WithOnlyId3v1)
{
    const audio::Handle plain = Make("plain.mp3", "-map_metadata -1 -map_chapters -1 -c:a libmp3lame -b:a 96k -id3v2_version 0");
    ASSERT_NE(plain, 0u);
    audio::StreamFree(handle_);
    const std::string path = dir_ + "/plain.mp3";
    {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << tagtest::Id3v1Record({"Song", "The Band", "Record", "1999", "Nice", 7, 8, ' '});
    }
    handle_ = audio::StreamCreateFile(path, audio::kStreamDecode | audio::kSampleFloat);
    ASSERT_NE(handle_, 0u);
    const PlayingInfo info = ReadPlayingInfo(handle_, handle_, false, 0, Playlist{{path}, 0});
    EXPECT_TRUE(info.tags.id3v2.empty());
    EXPECT_EQ(SpeakInfoText(InfoField::Title, info), "The Band - Song");
    EXPECT_EQ(SpeakInfoText(InfoField::Year, info), "Year: 1999");
    EXPECT_EQ(SpeakInfoText(InfoField::Track, info), "Track: 7");
    EXPECT_EQ(SpeakInfoText(InfoField::Genre, info), "Genre: Jazz");
    EXPECT_EQ(SpeakInfoText(InfoField::FileName, info), "Filename: plain.mp3");
    // The container's rate counts the tag bytes too: about the 96 kbps asked for.
    EXPECT_THAT(SpeakInfoText(InfoField::Format, info), ::testing::MatchesRegex("9[5-9] kbps, 44100 Hz, mono"));
}

TEST_F(TaggedFiles, ContainerTagsByName)
{
    const struct {
        const char* file;
        const char* args;
    } cases[] = {
        {"a.flac", "-c:a flac"},
        {"a.ogg", "-c:a libvorbis"},
        {"a.m4a", "-c:a aac"},
        {"a.wav", "-c:a pcm_s16le"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const audio::Handle h = Make(c.file, c.args);
        ASSERT_NE(h, 0u);
        const TagBlocks blocks = ReadTagBlocks(h);
        EXPECT_EQ(GetTag(blocks, "TITLE"), "Caf\xC3\xA9 Song");
        EXPECT_EQ(GetTag(blocks, "ARTIST"), "The Band");
        if (std::string(c.file) != "a.wav") {  // RIFF INFO has no track field
            EXPECT_EQ(GetTag(blocks, "ALBUM"), "Record");
            EXPECT_EQ(GetTag(blocks, "TRACK"), "7");
        }
        audio::StreamFree(handle_);
        handle_ = 0;
    }
}

}  // namespace

