// URL streams against a local server: ICY headers and metadata, the metadata
// sync, live length 0, a finite file with the download-finished sync, and
// connections that fail in every way with the right code and in time.
#include <poll.h>
#include <sys/socket.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "AudioTestSupport.h"
#include "TestHttpServer.h"

using namespace audio;
using namespace audiotest;

namespace {

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Sleeps in small steps; false when the server is stopping or the client left.
bool Idle(int fd, int ms, const std::atomic<bool>& stopping)
{
    for (int waited = 0; waited < ms; waited += 20) {
        if (stopping)
            return false;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 20) > 0) {
            char c;
            if (recv(fd, &c, 1, MSG_DONTWAIT) <= 0)
                return false;
        }
    }
    return !stopping;
}

std::string MetaBlock(const std::string& text)
{
    std::string padded = text;
    padded.resize((text.size() + 15) / 16 * 16, '\0');
    return std::string(1, static_cast<char>(padded.size() / 16)) + padded;
}

class UrlStreamTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        AudioSetConfig(kConfigNetTimeout, 1500);
        AudioSetConfig(kConfigNetBuffer, 2000);
        AudioSetConfig(kConfigNetPrebuffer, 25);
    }
};

struct TitleLog {
    std::mutex mutex;
    std::vector<std::string> titles;
};

void RecordTitle(Handle, Handle channel, std::uint32_t, void* user)
{
    auto* log = static_cast<TitleLog*>(user);
    std::lock_guard<std::mutex> lock(log->mutex);
    log->titles.push_back(ChannelGetTags(channel, kTagMeta));
}

TEST_F(UrlStreamTest, IcyLiveStreamGivesHeadersTitlesAndTheMetadataSync)
{
    const std::string mp3 = dir.File("radio.mp3");
    ASSERT_TRUE(MakeSineFile(mp3, 4.0, 440, "-c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 0"));
    const std::string audioBytes = ReadBytes(mp3);
    constexpr std::size_t kMetaInt = 4096;
    TestHttpServer server([&](int fd, const std::string& request, const std::atomic<bool>& stopping) {
        if (request.find("Icy-MetaData: 1") == std::string::npos)
            return;
        TestHttpServer::Send(fd, "ICY 200 OK\r\nicy-name: Test Radio\r\nicy-genre: Jazz\r\nicy-br: 128\r\n"
                                 "icy-metaint: 4096\r\n\r\n");
        std::size_t sent = 0;
        const auto start = std::chrono::steady_clock::now();
        std::string lastTitle;
        while (!stopping) {
            std::string chunk;
            while (chunk.size() < kMetaInt) {
                const std::size_t at = sent % audioBytes.size();
                const std::size_t n = std::min(kMetaInt - chunk.size(), audioBytes.size() - at);
                chunk += audioBytes.substr(at, n);
                sent += n;
            }
            const double seconds = sent / 16000.0;  // 128 kbps
            const std::string title = seconds < 3.0 ? "StreamTitle='Band - Song';" : "StreamTitle='Other - Tune';";
            chunk += title != lastTitle ? MetaBlock(title) : std::string(1, '\0');
            lastTitle = title;
            if (!TestHttpServer::Send(fd, chunk))
                return;
            // The first second comes at once, then real time.
            const double ahead = seconds - 1.0 - std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (ahead > 0 && !Idle(fd, static_cast<int>(ahead * 1000), stopping))
                return;
        }
    });

    ASSERT_TRUE(AudioSetConfigText(kConfigNetAgent, "CorvaneTest/2"));
    const Handle h = StreamCreateUrl(server.Url("/live"), 0);
    ASSERT_NE(h, 0u) << AudioErrorCode();
    EXPECT_NE(server.LastRequest().find("User-Agent: CorvaneTest/2"), std::string::npos);
    EXPECT_EQ(ChannelGetLength(h), 0);  // live
    const std::string icy = ChannelGetTags(h, kTagIcy);
    EXPECT_NE(icy.find(std::string("icy-name: Test Radio\0", 21)), std::string::npos);
    EXPECT_TRUE(ChannelGetTags(h, kTagHttp).empty());
    EXPECT_EQ(ChannelGetTags(h, kTagMeta), "StreamTitle='Band - Song';");
    float bitrate = 0;
    ASSERT_TRUE(ChannelGetAttribute(h, kAttribBitrate, &bitrate));
    EXPECT_EQ(bitrate, 128.0f);
    EXPECT_FALSE(ChannelSetPosition(h, 0, 0));  // no seeking on a live stream

    TitleLog log;
    ASSERT_NE(ChannelSetSync(h, kSyncMeta, 0, RecordTitle, &log), 0u);
    ASSERT_TRUE(ChannelPlay(h, false));
    EXPECT_TRUE(WaitFor([&] { return ChannelIsActive(h) == kStatePlaying; }, 3.0));
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> lock(log.mutex);
        return !log.titles.empty();
    }, 6.0));
    std::lock_guard<std::mutex> lock(log.mutex);
    EXPECT_EQ(log.titles.front(), "StreamTitle='Other - Tune';");
    EXPECT_EQ(log.titles.size(), 1u);
    EXPECT_EQ(ChannelIsActive(h), kStatePlaying);
    StreamFree(h);  // stops the download and decode threads
}

TEST_F(UrlStreamTest, FiniteFileArrivesWholeAndSeeks)
{
    const std::string mp3 = dir.File("episode.mp3");
    ASSERT_TRUE(MakeSineFile(mp3, 3.0, 440, "-c:a libmp3lame -b:a 128k -metadata title=Episode -id3v2_version 3"));
    const std::string body = ReadBytes(mp3);
    TestHttpServer server([&](int fd, const std::string&, const std::atomic<bool>&) {
        TestHttpServer::Send(fd, "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nContent-Length: " +
                                     std::to_string(body.size()) + "\r\n\r\n" + body);
    });
    const Handle h = StreamCreateUrl(server.Url("/episode.mp3"), kStreamDecode);
    ASSERT_NE(h, 0u) << AudioErrorCode();
    std::atomic<int> downloads{0};
    ASSERT_NE(ChannelSetSync(h, kSyncDownload | kSyncOneTime, 0,
                             [](Handle, Handle, std::uint32_t, void* u) { ++*static_cast<std::atomic<int>*>(u); },
                             &downloads),
              0u);
    ASSERT_TRUE(WaitFor([&] { return downloads > 0; }, 3.0));
    EXPECT_NEAR(ChannelBytes2Seconds(h, ChannelGetLength(h)), 3.0, 0.1);
    EXPECT_NE(ChannelGetTags(h, kTagHttp).find(std::string("Content-Type: audio/mpeg\0", 25)), std::string::npos);
    const std::string id3 = ChannelGetTags(h, kTagId3v2);
    EXPECT_EQ(id3.compare(0, 3, "ID3"), 0);
    EXPECT_NE(id3.find("Episode"), std::string::npos);

    ASSERT_TRUE(ChannelSetPosition(h, ChannelSeconds2Bytes(h, 2.0), kPosFlush));
    std::vector<float> rest;
    std::vector<float> buf(8192);
    ASSERT_TRUE(WaitFor([&] {
        const int got = ChannelGetData(h, buf.data(), static_cast<std::uint32_t>(buf.size() * 4));
        if (got > 0)
            rest.insert(rest.end(), buf.begin(), buf.begin() + got / 4);
        return got < 0;
    }, 5.0));
    EXPECT_NEAR(rest.size() / 2.0 / 44100.0, 1.0, 0.1);
    EXPECT_NEAR(PeakFrequency(rest, 2, 44100, 200, 1000), 440.0, 3.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(downloads, 1);

    // The "no seek" mode keeps only a window of the download: it cannot seek.
    const Handle block = StreamCreateUrl(server.Url("/episode.mp3"), kStreamDecode | kStreamBlock);
    ASSERT_NE(block, 0u) << AudioErrorCode();
    EXPECT_FALSE(ChannelSetPosition(block, ChannelSeconds2Bytes(block, 1.0), kPosFlush));
    EXPECT_EQ(AudioErrorCode(), kErrNotFile);
    std::vector<float> all;
    ASSERT_TRUE(WaitFor([&] {
        const int got = ChannelGetData(block, buf.data(), static_cast<std::uint32_t>(buf.size() * 4));
        if (got > 0)
            all.insert(all.end(), buf.begin(), buf.begin() + got / 4);
        return got < 0;
    }, 5.0));
    EXPECT_NEAR(all.size() / 2.0 / 44100.0, 3.0, 0.1);
}

TEST_F(UrlStreamTest, FailingServersGiveTheirCodeInTime)
{
    TestHttpServer stalled([](int fd, const std::string&, const std::atomic<bool>& stopping) { Idle(fd, 60000, stopping); });
    TestHttpServer redirecting([](int fd, const std::string&, const std::atomic<bool>&) {
        TestHttpServer::Send(fd, "HTTP/1.1 302 Found\r\nLocation: /again\r\nContent-Length: 0\r\n\r\n");
    });
    TestHttpServer missing([](int fd, const std::string&, const std::atomic<bool>&) {
        TestHttpServer::Send(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
    });
    TestHttpServer garbage([](int fd, const std::string&, const std::atomic<bool>&) {
        std::string noise(50000, '\0');
        for (std::size_t i = 0; i < noise.size(); ++i)
            noise[i] = static_cast<char>((i * 7919u) >> 3);
        TestHttpServer::Send(fd, "HTTP/1.0 200 OK\r\nContent-Length: 50000\r\n\r\n" + noise);
    });
    TestHttpServer notHttp([](int fd, const std::string&, const std::atomic<bool>&) {
        TestHttpServer::Send(fd, "\x16\x03 this is no reply at all\r\n\r\n");
    });

    const struct {
        std::string url;
        int code;
        double withinSeconds;
    } cases[] = {
        {"http://127.0.0.1:" + std::to_string(UnusedPort()) + "/", kErrFileOpen, 1.0},
        {stalled.Url("/"), kErrTimeout, 2.5},
        {redirecting.Url("/"), kErrFileOpen, 2.0},
        {missing.Url("/"), kErrFileOpen, 1.0},
        {garbage.Url("/noise.mp3"), kErrFileForm, 2.0},
        {notHttp.Url("/"), kErrFileForm, 1.0},
        {"ftp://127.0.0.1/file.mp3", kErrFileOpen, 0.1},
    };
    for (const auto& c : cases) {
        const double start = NowSeconds();
        EXPECT_EQ(StreamCreateUrl(c.url, 0), 0u) << c.url;
        EXPECT_EQ(AudioErrorCode(), c.code) << c.url;
        EXPECT_LT(NowSeconds() - start, c.withinSeconds) << c.url;
    }
}

}  // namespace
