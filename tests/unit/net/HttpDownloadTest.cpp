// The helpers that stream to disk: episode downloads, the update download
// and the extractor replacement.
#include "NetTestSupport.h"

#include <chrono>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <thread>

using namespace nettest;
using namespace std::chrono_literals;

namespace {

std::mutex g_postedLock;
std::vector<std::pair<std::uintptr_t, bool>> g_posted;   // (job id, success)

void CaptureMessage(PostedMessage&& m)
{
    if (m.message != msg::WM_DOWNLOAD_DONE)
        return;
    auto* payload = dynamic_cast<DownloadDonePayload*>(m.payload.get());
    std::lock_guard<std::mutex> lock(g_postedLock);
    g_posted.emplace_back(m.wParam, payload && payload->success);
}
void IgnoreCommand(PostedCommand) {}

// "/hop/N" redirects towards "/hop/0", which answers `body`. Odd hops give an
// absolute http:// Location, even ones a relative path.
RequestHandler Hops(const std::string& body, int status = 302, const LocalHttpServer** self = nullptr)
{
    return [body, status, self](const SeenRequest& r, ServerConnection& c) {
        if (r.target.rfind("/hop/", 0) != 0) {
            c.Send(HttpResponse(404, "nothing"));
            return;
        }
        const int n = std::stoi(r.target.substr(5));
        if (n == 0) {
            c.Send(HttpResponse(200, body));
            return;
        }
        const std::string next = "/hop/" + std::to_string(n - 1);
        c.Send(RedirectResponse(status, n % 2 && self && *self ? "http://" + (*self)->HostPort() + next : next));
    };
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// True once some file in `dir` has content.
bool SomethingWritten(const std::string& dir)
{
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        std::error_code ec;
        if (std::filesystem::file_size(e.path(), ec) > 0)
            return true;
    }
    return false;
}

}  // namespace

class Download : public NetTest {
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        g_posted.clear();
        SetMessageSinks(CaptureMessage, IgnoreCommand);
    }
    void TearDown() override
    {
        SetMessageSinks(nullptr, nullptr);
        NetTest::TearDown();
    }
    std::vector<std::pair<std::uintptr_t, bool>> Posted()
    {
        std::lock_guard<std::mutex> lock(g_postedLock);
        return g_posted;
    }
    DownloadJob Job(int id, const std::string& url, const std::string& dest)
    {
        return DownloadJob{id, url, dest, std::make_shared<std::atomic<bool>>(false)};
    }
};

TEST_F(Download, EpisodeArrivesInANewFolderAndIsReported)
{
    const std::string body = Pattern(150000);
    struct Case { const char* name; std::string reply; };
    const Case cases[] = {
        {"length", HttpResponse(200, body)},
        {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n" + Chunked(body, 5000)},
    };
    int id = 1;
    for (const Case& c : cases) {
        LocalHttpServer server([&](const SeenRequest&, ServerConnection& conn) { conn.Send(c.reply); });
        const std::string folder = Path(std::string("Show ") + c.name);
        const std::string dest = folder + "/episode.mp3";
        EXPECT_TRUE(DownloadToFile(Job(id, server.Url("/ep.mp3"), dest))) << c.name;
        EXPECT_EQ(ReadFile(dest), body) << c.name;
        EXPECT_EQ(FilesInDir(folder), 1u) << c.name;   // no temporary file left over
        EXPECT_EQ(server.Requests().at(0).Get("User-Agent"), "Corvane/1.0");
        ++id;
    }
    EXPECT_EQ(Posted(), (std::vector<std::pair<std::uintptr_t, bool>>{{1, true}, {2, true}}));
}

TEST_F(Download, FailedEpisodeLeavesNoPartialFileAndKeepsAnOlderOne)
{
    const std::string head = "HTTP/1.1 200 OK\r\nConnection: close\r\n";
    struct Case { const char* name; std::string reply; };
    const Case cases[] = {
        {"error status", HttpResponse(404, "<html>not found</html>")},
        {"closed mid-body", head + "Content-Length: 100000\r\n\r\n" + Pattern(30000)},
        {"chunked cut short", head + "Transfer-Encoding: chunked\r\n\r\n2710\r\n" + Pattern(10000) + "\r\n2710\r\nabc"},
        {"bad chunk", head + "Transfer-Encoding: chunked\r\n\r\nzz\r\nabc\r\n0\r\n\r\n"},
    };
    int id = 10;
    for (const Case& c : cases) {
        LocalHttpServer server([&](const SeenRequest&, ServerConnection& conn) { conn.Send(c.reply); });
        const std::string folder = Path(std::to_string(id));
        std::filesystem::create_directory(folder);
        WriteFile(folder + "/old.mp3", "older download");
        EXPECT_FALSE(DownloadToFile(Job(id, server.Url("/ep"), folder + "/new.mp3"))) << c.name;
        EXPECT_FALSE(PathExists(folder + "/new.mp3")) << c.name;
        EXPECT_EQ(FilesInDir(folder), 1u) << c.name;

        WriteFile(folder + "/old.mp3", "older download");
        EXPECT_FALSE(DownloadToFile(Job(id, server.Url("/ep"), folder + "/old.mp3"))) << c.name;
        EXPECT_EQ(ReadFile(folder + "/old.mp3"), "older download") << c.name;
        EXPECT_EQ(FilesInDir(folder), 1u) << c.name;
        ++id;
    }
    for (const auto& [jobId, ok] : Posted())
        EXPECT_FALSE(ok) << jobId;
    EXPECT_EQ(Posted().size(), 8u);
}

TEST_F(Download, UnreachableServerFailsWithoutCreatingTheFile)
{
    int port = 0;
    {
        LocalHttpServer gone([](const SeenRequest&, ServerConnection&) {});
        port = gone.Port();
    }
    const std::string dest = Path("ep.mp3");
    EXPECT_FALSE(DownloadToFile(Job(5, "http://127.0.0.1:" + std::to_string(port) + "/ep", dest)));
    EXPECT_FALSE(PathExists(dest));
    EXPECT_EQ(Posted(), (std::vector<std::pair<std::uintptr_t, bool>>{{5, false}}));
}

TEST_F(Download, CancelMidTransferLeavesNoFile)
{
    // Long stall limit: the cancel must not wait for it.
    SetHttpTimeouts({3000, 30000, 60000});
    struct Case { const char* name; bool keepsSending; };
    for (const Case c : {Case{"sending", true}, Case{"silent", false}}) {
        LocalHttpServer server([&](const SeenRequest&, ServerConnection& conn) {
            conn.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\n\r\n" + Pattern(40000));
            if (!c.keepsSending) {
                conn.WaitForClientToLeave(30s);
                return;
            }
            for (int i = 0; i < 3000 && conn.Send(Pattern(8192)); ++i)
                std::this_thread::sleep_for(10ms);
        });
        const std::string folder = Path(c.name);
        std::filesystem::create_directory(folder);
        const DownloadJob job = Job(7, server.Url("/big"), folder + "/big.mp3");
        bool result = true;
        std::thread worker([&] { result = DownloadToFile(job); });
        const auto start = std::chrono::steady_clock::now();
        while (!SomethingWritten(folder) && SecondsSince(start) < 10)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(SomethingWritten(folder)) << c.name;
        const auto cancelAt = std::chrono::steady_clock::now();
        job.cancel->store(true);
        worker.join();
        EXPECT_LT(SecondsSince(cancelAt), 3.0) << c.name;
        EXPECT_FALSE(result) << c.name;
        EXPECT_EQ(FilesInDir(folder), 0u) << c.name;
    }
}

class UpdateDownload : public NetTest {};

TEST_F(UpdateDownload, FollowsAtMostTheRedirectsItIsGiven)
{
    const LocalHttpServer* self = nullptr;
    LocalHttpServer server(Hops("installer bytes", 302, &self));
    self = &server;
    struct Case { int hops; int left; bool ok; };
    for (const Case c : {Case{5, 5, true}, Case{6, 5, false}, Case{0, 0, true}, Case{1, 0, false}, Case{1, 1, true}}) {
        const std::string path = Path("setup-" + std::to_string(c.hops) + "-" + std::to_string(c.left));
        EXPECT_EQ(DownloadWithProgress(server.Url("/hop/" + std::to_string(c.hops)), path, nullptr, c.left), c.ok)
            << c.hops << " hops, " << c.left << " left";
        EXPECT_EQ(ReadFile(path), c.ok ? "installer bytes" : "") << c.hops << " hops, " << c.left << " left";
    }
}

TEST_F(UpdateDownload, ReportsProgressPerChunkWithTheAnnouncedTotal)
{
    const std::string body = Pattern(300000);
    struct Case { const char* name; std::string reply; std::uint64_t total; };
    const Case cases[] = {
        {"length", HttpResponse(200, body), body.size()},
        {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n" + Chunked(body, 70000), 0},
    };
    for (const Case& c : cases) {
        LocalHttpServer server([&](const SeenRequest&, ServerConnection& conn) { conn.Send(c.reply); });
        std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
        const std::string path = Path(c.name);
        EXPECT_TRUE(DownloadWithProgress(server.Url("/setup"), path,
                                         [&](std::uint64_t got, std::uint64_t total) {
                                             calls.emplace_back(got, total);
                                             return true;
                                         },
                                         5));
        EXPECT_EQ(ReadFile(path), body);
        ASSERT_GE(calls.size(), 5u) << c.name;   // 300000 bytes in pieces of at most 64 KiB
        std::uint64_t previous = 0;
        for (const auto& [got, total] : calls) {
            EXPECT_GT(got, previous);
            EXPECT_LE(got - previous, 65536u);
            EXPECT_EQ(total, c.total) << c.name;
            previous = got;
        }
        EXPECT_EQ(calls.back().first, body.size());
    }
}

TEST_F(UpdateDownload, CancelledOrBrokenDownloadLeavesTheOldFile)
{
    struct Case { const char* name; std::string reply; bool cancel; };
    const Case cases[] = {
        {"cancelled at first chunk", HttpResponse(200, Pattern(200000)), true},
        {"error status", HttpResponse(500, "server error"), false},
        {"cut short", "HTTP/1.1 200 OK\r\nContent-Length: 200000\r\nConnection: close\r\n\r\n" + Pattern(70000), false},
        {"empty body", HttpResponse(200, ""), false},
    };
    for (const Case& c : cases) {
        LocalHttpServer server([&](const SeenRequest&, ServerConnection& conn) { conn.Send(c.reply); });
        const std::string fresh = Path(std::string("fresh ") + c.name);
        const std::string existing = Path(std::string("existing ") + c.name);
        WriteFile(existing, "previous installer");
        int calls = 0;
        const DownloadProgress progress = [&](std::uint64_t, std::uint64_t) { return ++calls, !c.cancel; };
        EXPECT_FALSE(DownloadWithProgress(server.Url("/setup"), fresh, progress, 5)) << c.name;
        EXPECT_FALSE(DownloadWithProgress(server.Url("/setup"), existing, progress, 5)) << c.name;
        EXPECT_FALSE(PathExists(fresh)) << c.name;
        EXPECT_EQ(ReadFile(existing), "previous installer") << c.name;
        if (c.cancel) {
            EXPECT_EQ(calls, 2) << "one call per attempt, then it stops";
        }
    }
    EXPECT_EQ(FilesInDir(dir_), 4u);   // only the four "existing" files
}

class ReplaceDownload : public NetTest {
protected:
    std::string Target()
    {
        const std::string target = Path("extractor");
        WriteFile(target, "old build");
        chmod(target.c_str(), 0755);
        return target;
    }
};

// With 3 left the fourth redirect is still followed, into a call with -1
// left, which fails before connecting: success needs at most 3.
TEST_F(ReplaceDownload, FollowsRedirectsWhileAnyAreLeftOverTls)
{
    const LocalHttpServer* self = nullptr;
    LocalHttpServer server(Hops("new build", 302, &self), &Certificate());
    self = &server;
    struct Case { int hops; int left; bool ok; };
    for (const Case c : {Case{3, 3, true}, Case{4, 3, false}, Case{5, 3, false}, Case{0, 0, true},
                         Case{1, 0, false}, Case{0, -1, false}}) {
        const std::string target = Target();
        const std::size_t before = server.Requests().size();
        EXPECT_EQ(HttpsDownloadReplace(server.HostPort(), "/hop/" + std::to_string(c.hops), target, c.left), c.ok)
            << c.hops << " hops, " << c.left << " left";
        EXPECT_EQ(ReadFile(target), c.ok ? "new build" : "old build") << c.hops << " hops, " << c.left << " left";
        EXPECT_FALSE(PathExists(target + ".new"));
        const std::size_t expectedRequests = c.left < 0 ? 0 : std::min(c.hops, c.left + 1) + (c.hops <= c.left);
        EXPECT_EQ(server.Requests().size() - before, expectedRequests) << c.hops << " hops, " << c.left << " left";
    }
}

TEST_F(ReplaceDownload, EveryRedirectStatusIsFollowedAndOthersFail)
{
    for (const int status : {301, 302, 303, 307, 308}) {
        LocalHttpServer server(Hops("new build", status), &Certificate());
        const std::string target = Target();
        EXPECT_TRUE(HttpsDownloadReplace(server.HostPort(), "/hop/2", target, 3)) << status;
        EXPECT_EQ(ReadFile(target), "new build") << status;
    }
    for (const int status : {300, 304}) {
        LocalHttpServer server(Hops("new build", status), &Certificate());
        const std::string target = Target();
        EXPECT_FALSE(HttpsDownloadReplace(server.HostPort(), "/hop/2", target, 3)) << status;
        EXPECT_EQ(ReadFile(target), "old build") << status;
    }
}

TEST_F(ReplaceDownload, NewFileReplacesTargetKeepingItsPermissions)
{
    LocalHttpServer server([](const SeenRequest&, ServerConnection& c) { c.Send(HttpResponse(200, Pattern(100000))); },
                           &Certificate());
    const std::string target = Target();
    WriteFile(target + ".new", "stale leftover from an earlier run");
    EXPECT_TRUE(HttpsDownloadReplace(server.HostPort(), "/download", target, 3));
    EXPECT_EQ(ReadFile(target), Pattern(100000));
    EXPECT_FALSE(PathExists(target + ".new"));
    struct stat st{};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    EXPECT_EQ(server.Requests().at(0).Get("User-Agent"), "Corvane/1.0");
}

TEST_F(ReplaceDownload, FailuresKeepTheWorkingFile)
{
    struct Case { const char* name; std::string reply; };
    const Case cases[] = {
        {"not found", HttpResponse(404, "no release")},
        {"server error", HttpResponse(500, "oops")},
        {"cut short", "HTTP/1.1 200 OK\r\nContent-Length: 90000\r\nConnection: close\r\n\r\n" + Pattern(40000)},
        {"empty", HttpResponse(200, "")},
        {"redirect without location", HttpResponse(302, "where?")},
    };
    for (const Case& c : cases) {
        LocalHttpServer server([&](const SeenRequest&, ServerConnection& conn) { conn.Send(c.reply); },
                               &Certificate());
        const std::string target = Target();
        EXPECT_FALSE(HttpsDownloadReplace(server.HostPort(), "/download", target, 3)) << c.name;
        EXPECT_EQ(ReadFile(target), "old build") << c.name;
        EXPECT_FALSE(PathExists(target + ".new")) << c.name;
    }
}

TEST_F(ReplaceDownload, UnwritableFolderFailsAndChangesNothing)
{
    LocalHttpServer server([](const SeenRequest&, ServerConnection& c) { c.Send(HttpResponse(200, "new build")); },
                           &Certificate());
    EXPECT_FALSE(HttpsDownloadReplace(server.HostPort(), "/download", Path("missing/extractor"), 3));
    EXPECT_FALSE(PathExists(Path("missing")));
}
