// Splitting ICY bodies into audio and metadata, in whatever pieces they come.
#include <gtest/gtest.h>

#include "audio/IcyDemuxer.h"

using namespace audio;

namespace {

std::string Block(const std::string& text)
{
    std::string padded = text;
    padded.resize((text.size() + 15) / 16 * 16, '\0');
    return std::string(1, static_cast<char>(padded.size() / 16)) + padded;
}

TEST(IcyDemuxer, SeparatesAudioAndMetadataAcrossAnySplit)
{
    const std::string audio1(32, 'a'), audio2(32, 'b'), audio3(32, 'c');
    const std::string body = audio1 + Block("StreamTitle='One';") + audio2 + std::string(1, '\0') + audio3 +
                             Block("StreamTitle='Two';") + "tail";
    for (std::size_t piece : {1u, 3u, 16u, 33u, 1000u}) {
        IcyDemuxer icy(32);
        std::string audio;
        std::vector<std::string> meta;
        for (std::size_t at = 0; at < body.size(); at += piece)
            icy.Feed(body.data() + at, std::min(piece, body.size() - at), &audio, &meta);
        EXPECT_EQ(audio, audio1 + audio2 + audio3 + "tail") << piece;
        EXPECT_EQ(meta, (std::vector<std::string>{"StreamTitle='One';", "StreamTitle='Two';"})) << piece;
    }
}

TEST(IcyDemuxer, WithoutMetaIntEverythingIsAudio)
{
    IcyDemuxer icy(0);
    std::string audio;
    std::vector<std::string> meta;
    icy.Feed("\x02StreamTitle", 12, &audio, &meta);
    EXPECT_EQ(audio.size(), 12u);
    EXPECT_TRUE(meta.empty());
}

TEST(IcyMetadataValue, FindsQuotedValues)
{
    const struct {
        const char* text;
        const char* want;
    } cases[] = {
        {"StreamTitle='Band - Song';StreamUrl='x';", "Band - Song"},
        {"StreamTitle='It's here';", "It's here"},
        {"StreamTitle='No end'", "No end"},
        {"StreamTitle=\"Double\" x", "Double"},
        {"StreamUrl='only';", ""},
        {"StreamTitle='';", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IcyMetadataValue(c.text, "StreamTitle"), c.want) << c.text;
}

}  // namespace
