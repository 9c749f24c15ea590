// Tag blocks by type: raw ID3 blocks from the file, key=value lists from the
// container's metadata, each under the type its container belongs to.
#include "AudioTestSupport.h"
#include "audio/FileTags.h"

using namespace audio;
using namespace audiotest;

namespace {

// The key=value texts of a list block.
std::vector<std::string> Entries(const std::string& block)
{
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < block.size()) {
        const std::size_t end = block.find('\0', at);
        if (end == at || end == std::string::npos)
            break;
        out.push_back(block.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

bool HasEntry(const std::string& block, const std::string& keyValue)
{
    for (const auto& e : Entries(block)) {
        if (strcasecmp(e.substr(0, e.find('=')).c_str(), keyValue.substr(0, keyValue.find('=')).c_str()) == 0 &&
            e.substr(e.find('=')) == keyValue.substr(keyValue.find('=')))
            return true;
    }
    return false;
}

TEST_F(EngineTest, Mp3GivesRawId3Blocks)
{
    const std::string mp3 = dir.File("tagged.mp3");
    ASSERT_TRUE(MakeSineFile(mp3, 0.5, 440,
                             "-c:a libmp3lame -metadata title=Song -metadata artist=Band -id3v2_version 3 -write_id3v1 1"));
    const Handle h = StreamCreateFile(mp3, kStreamDecode);
    ASSERT_NE(h, 0u);
    const std::string v1 = ChannelGetTags(h, kTagId3);
    ASSERT_EQ(v1.size(), 128u);
    EXPECT_EQ(v1.substr(0, 3), "TAG");
    EXPECT_EQ(v1.substr(3, 4), "Song");
    EXPECT_EQ(v1.substr(33, 4), "Band");
    const std::string v2 = ChannelGetTags(h, kTagId3v2);
    ASSERT_GE(v2.size(), 10u);
    EXPECT_EQ(v2.substr(0, 3), "ID3");
    EXPECT_EQ(v2.size(), Id3v2TagSize(reinterpret_cast<const unsigned char*>(v2.data()), v2.size()));
    EXPECT_NE(v2.find("TIT2"), std::string::npos);
    // An MP3's tags are its ID3 blocks only.
    EXPECT_TRUE(ChannelGetTags(h, kTagVorbis).empty());
    EXPECT_EQ(AudioErrorCode(), kErrNotAvailable);
}

TEST_F(EngineTest, ContainersGiveKeyValueListsUnderTheirType)
{
    const struct {
        const char* file;
        const char* args;
        int type;
    } cases[] = {
        {"a.ogg", "-c:a libvorbis", kTagVorbis},  // stream metadata
        {"a.opus", "-c:a libopus", kTagVorbis},
        {"a.flac", "-c:a flac", kTagVorbis},
        {"a.m4a", "-c:a aac", kTagMp4},
        {"a.wma", "-c:a wmav2", kTagWma},
        {"a.wav", "-c:a pcm_s16le", kTagRiffInfo},
        {"a.wv", "-c:a wavpack", kTagApe},
    };
    for (const auto& c : cases) {
        const std::string path = dir.File(c.file);
        ASSERT_TRUE(MakeSineFile(path, 0.3, 440,
                                 std::string(c.args) + " -metadata title=Song -metadata artist=Band -metadata date=2001"))
            << c.file;
        const Handle h = StreamCreateFile(path, kStreamDecode);
        ASSERT_NE(h, 0u) << c.file;
        const std::string block = ChannelGetTags(h, c.type);
        EXPECT_TRUE(HasEntry(block, "title=Song")) << c.file;
        EXPECT_TRUE(HasEntry(block, "artist=Band")) << c.file;
        ASSERT_GE(block.size(), 2u);
        EXPECT_EQ(block.substr(block.size() - 2), std::string(2, '\0')) << c.file << ": list ends with an empty text";
        EXPECT_TRUE(ChannelGetTags(h, kTagId3).empty()) << c.file;
        StreamFree(h);
    }
}

TEST(Id3v2Header, SizeFromSynchsafeBytes)
{
    const unsigned char plain[10] = {'I', 'D', '3', 3, 0, 0, 0, 0, 0x02, 0x01};
    EXPECT_EQ(Id3v2TagSize(plain, 10), 10u + 257u);
    const unsigned char footer[10] = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 0x01, 0x00};
    EXPECT_EQ(Id3v2TagSize(footer, 10), 10u + 128u + 10u);
    const unsigned char notSafe[10] = {'I', 'D', '3', 3, 0, 0, 0, 0, 0x80, 0};
    EXPECT_EQ(Id3v2TagSize(notSafe, 10), 0u);
    EXPECT_EQ(Id3v2TagSize(plain, 9), 0u);
}

}  // namespace
