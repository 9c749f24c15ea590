// The helpers that return the body: headers, statuses, redirects, time
// limits, broken transfers and TLS, against the local server.
#include "NetTestSupport.h"

#include <chrono>
#include <curl/curl.h>
#include <thread>

using namespace nettest;
using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

// "/hop/N" redirects to "/hop/N-1"; "/hop/0" answers. "/loop" points at itself.
void RedirectChain(const SeenRequest& r, ServerConnection& c)
{
    if (r.target == "/loop") {
        c.Send(RedirectResponse(302, "/loop"));
    } else if (r.target.rfind("/hop/", 0) == 0) {
        const int n = std::stoi(r.target.substr(5));
        c.Send(n == 0 ? HttpResponse(200, "arrived") : RedirectResponse(302, "/hop/" + std::to_string(n - 1)));
    } else if (r.target == "/to-file") {
        c.Send(RedirectResponse(302, "file:///etc/hostname"));
    } else {
        c.Send(HttpResponse(404, "no such page"));
    }
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

class HttpText : public NetTest {};

TEST_F(HttpText, GetTextSendsAgentAndBothAcceptLinesAndDecodesBody)
{
    LocalHttpServer server([](const SeenRequest&, ServerConnection& c) {
        c.Send(HttpResponse(200, "caf\xC3\xA9 \xFF ok"));
    });
    ASSERT_TRUE(server.Running());
    EXPECT_EQ(HttpGetText(server.Url("/search?q=x"), "Accept: application/json\r\n"), "caf\xC3\xA9 \xEF\xBF\xBD ok");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/search?q=x");
    EXPECT_EQ(requests[0].Get("User-Agent"), "Corvane/1.0");
    EXPECT_EQ(requests[0].All("Accept"), (std::vector<std::string>{"*/*", "application/json"}));
}

TEST_F(HttpText, StatusIsNotJudgedByTheTextHelpers)
{
    LocalHttpServer server([](const SeenRequest&, ServerConnection& c) {
        c.Send(HttpResponse(404, "<h1>gone</h1>"));
    });
    EXPECT_EQ(HttpGetText(server.Url("/x")), "<h1>gone</h1>");
    EXPECT_EQ(HttpGetPlain(server.Url("/x")), "<h1>gone</h1>");
    EXPECT_EQ(GetReleaseInfo(server.HostPort(), "/x", false), "<h1>gone</h1>");
}

TEST_F(HttpText, DiagnosedReportsStatusLengthAndPreview)
{
    const std::string page = Pattern(1000);
    LocalHttpServer server([&](const SeenRequest&, ServerConnection& c) { c.Send(HttpResponse(404, page)); });
    FetchDiagnostics d;
    EXPECT_EQ(HttpGetDiagnosed(server.Url("/feed.xml"), &d), page);
    EXPECT_EQ(d.status, 404u);
    EXPECT_EQ(d.bytesReceived, 1000u);
    EXPECT_EQ(d.preview, page.substr(0, 400));
    EXPECT_EQ(d.lastError, 0u);
    EXPECT_EQ(d.errorText, "");
}

TEST_F(HttpText, DiagnosedRejectsOtherSchemesWithoutTouchingTheNetwork)
{
    for (const char* url : {"ftp://127.0.0.1/feed.xml", "HTTP://127.0.0.1/feed.xml", "feed.xml", ""}) {
        FetchDiagnostics d;
        EXPECT_EQ(HttpGetDiagnosed(url, &d), "") << url;
        EXPECT_EQ(d.errorText, "Unsupported URL scheme (expected http:// or https://)") << url;
        EXPECT_EQ(d.status, 0u);
        EXPECT_EQ(d.lastError, 0u);
    }
}

TEST_F(HttpText, DiagnosedHttpsUrlWithoutPathRequestsRoot)
{
    LocalHttpServer server([](const SeenRequest&, ServerConnection& c) { c.Send(HttpResponse(200, "root")); },
                           &Certificate());
    FetchDiagnostics d;
    EXPECT_EQ(HttpGetDiagnosed("https://" + server.HostPort(), &d), "root");
    EXPECT_EQ(d.status, 200u);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].target, "/");
}

TEST_F(HttpText, DiagnosedConnectionFailureFillsErrorAndNoStatus)
{
    int port = 0;
    {
        LocalHttpServer closed([](const SeenRequest&, ServerConnection&) {});
        port = closed.Port();
    }
    FetchDiagnostics d;
    EXPECT_EQ(HttpGetDiagnosed("http://127.0.0.1:" + std::to_string(port) + "/feed", &d), "");
    EXPECT_EQ(d.lastError, static_cast<std::uint32_t>(CURLE_COULDNT_CONNECT));
    EXPECT_EQ(d.errorText, TransportErrorText(CURLE_COULDNT_CONNECT));
    EXPECT_FALSE(d.errorText.empty());
    EXPECT_EQ(d.status, 0u);
    EXPECT_EQ(d.bytesReceived, 0u);
}

TEST_F(HttpText, LoginAnswersTheChallenge)
{
    // base64("ann:s3cret")
    LocalHttpServer server([](const SeenRequest& r, ServerConnection& c) {
        if (r.Get("Authorization") == "Basic YW5uOnMzY3JldA==")
            c.Send(HttpResponse(200, "<rss/>"));
        else
            c.Send(HttpResponse(401, "login please", "WWW-Authenticate: Basic realm=\"feeds\"\r\n"));
    });
    FetchDiagnostics withLogin;
    EXPECT_EQ(HttpGetDiagnosedWithLogin(server.Url("/private"), "ann", "s3cret", &withLogin), "<rss/>");
    EXPECT_EQ(withLogin.status, 200u);

    FetchDiagnostics wrong;
    EXPECT_EQ(HttpGetDiagnosedWithLogin(server.Url("/private"), "ann", "nope", &wrong), "login please");
    EXPECT_EQ(wrong.status, 401u);

    FetchDiagnostics none;
    EXPECT_EQ(HttpGetDiagnosedWithLogin(server.Url("/private"), "", "", &none), "login please");
    EXPECT_EQ(none.status, 401u);
}

TEST_F(HttpText, TransportFollowsTenRedirectsAndNoMore)
{
    LocalHttpServer server(RedirectChain);
    EXPECT_EQ(HttpGetText(server.Url("/hop/10")), "arrived");
    EXPECT_EQ(HttpGetPlain(server.Url("/hop/10")), "arrived");
    EXPECT_EQ(HttpGetText(server.Url("/hop/11")), "");
    EXPECT_EQ(HttpGetPlain(server.Url("/hop/11")), "");

    FetchDiagnostics atLimit;
    EXPECT_EQ(HttpGetDiagnosed(server.Url("/hop/10"), &atLimit), "arrived");
    EXPECT_EQ(atLimit.status, 200u);

    FetchDiagnostics loop;
    EXPECT_EQ(HttpGetDiagnosed(server.Url("/loop"), &loop), "");
    EXPECT_EQ(loop.lastError, static_cast<std::uint32_t>(CURLE_TOO_MANY_REDIRECTS));
}

TEST_F(HttpText, RedirectToALocalFileIsRefused)
{
    LocalHttpServer server(RedirectChain);
    EXPECT_EQ(HttpGetText(server.Url("/to-file")), "");
    FetchDiagnostics d;
    EXPECT_EQ(HttpGetDiagnosed(server.Url("/to-file"), &d), "");
    EXPECT_NE(d.lastError, 0u);
    EXPECT_EQ(HttpGetText("file:///etc/hostname"), "");
}

TEST_F(HttpText, SilentServerIsGivenUpAfterTheStallTime)
{
    SetHttpTimeouts({3000, 1000, 20000});
    // One server stays silent after the request, the other after the headers.
    LocalHttpServer silent([](const SeenRequest&, ServerConnection& c) { c.WaitForClientToLeave(30s); });
    LocalHttpServer midway([](const SeenRequest&, ServerConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst part");
        c.WaitForClientToLeave(30s);
    });
    for (const LocalHttpServer* server : {&silent, &midway}) {
        const auto start = std::chrono::steady_clock::now();
        FetchDiagnostics d;
        const std::string body = HttpGetDiagnosed(server->Url("/feed"), &d);
        EXPECT_LT(SecondsSince(start), 6.0);
        EXPECT_EQ(d.lastError, static_cast<std::uint32_t>(CURLE_OPERATION_TIMEDOUT));
        EXPECT_EQ(d.errorText, "Timeout was reached");
        EXPECT_EQ(body, server == &midway ? "first part" : "");
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpGetText(silent.Url("/")), "");
    EXPECT_EQ(GetReleaseInfo(silent.HostPort(), "/", false), "");
    EXPECT_LT(SecondsSince(start), 8.0);
}

TEST_F(HttpText, TotalTimeBoundsATricklingServer)
{
    SetHttpTimeouts({3000, 2000, 2500});
    LocalHttpServer trickle([](const SeenRequest&, ServerConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n");
        for (int i = 0; i < 1000 && c.Send(std::string(10, 'x')); ++i)
            std::this_thread::sleep_for(200ms);
    });
    const auto start = std::chrono::steady_clock::now();
    FetchDiagnostics d;
    HttpGetDiagnosed(trickle.Url("/"), &d);
    EXPECT_LT(SecondsSince(start), 6.0);
    EXPECT_EQ(d.lastError, static_cast<std::uint32_t>(CURLE_OPERATION_TIMEDOUT));
}

TEST_F(HttpText, BodyCutShortKeepsWhatCameAndRecordsTheError)
{
    // Content-Length promises more than is sent before the server hangs up.
    LocalHttpServer server([](const SeenRequest&, ServerConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nConnection: close\r\n\r\n" + std::string(1200, 'p'));
    });
    EXPECT_EQ(HttpGetText(server.Url("/")), std::string(1200, 'p'));
    FetchDiagnostics d;
    EXPECT_EQ(HttpGetDiagnosed(server.Url("/"), &d), std::string(1200, 'p'));
    EXPECT_EQ(d.status, 200u);
    EXPECT_EQ(d.bytesReceived, 1200u);
    EXPECT_EQ(d.lastError, static_cast<std::uint32_t>(CURLE_PARTIAL_FILE));
}

TEST_F(HttpText, ChunkedBodyArrivesWhole)
{
    const std::string body = Pattern(20000);
    LocalHttpServer server([&](const SeenRequest&, ServerConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n" + Chunked(body, 777));
    });
    EXPECT_EQ(HttpGetText(server.Url("/")), body);
    FetchDiagnostics d;
    EXPECT_EQ(HttpGetDiagnosed(server.Url("/"), &d), body);
    EXPECT_EQ(d.bytesReceived, body.size());
}

TEST_F(HttpText, PlainAndReleaseInfoCutEachChunkAtItsZeroByte)
{
    const std::string body = "{\"a\":1}\0garbage"s;
    LocalHttpServer server([&](const SeenRequest&, ServerConnection& c) { c.Send(HttpResponse(200, body)); });
    EXPECT_EQ(HttpGetPlain(server.Url("/api")), "{\"a\":1}");
    EXPECT_EQ(GetReleaseInfo(server.HostPort(), "/repos/x/releases", false), "{\"a\":1}");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(requests[0].All("Accept").empty());
    EXPECT_EQ(requests[0].Get("User-Agent"), "Corvane/1.0");
    EXPECT_EQ(requests[1].target, "/repos/x/releases");
    EXPECT_EQ(requests[1].All("Accept"), std::vector<std::string>{"application/vnd.github.v3+json"});
    EXPECT_EQ(requests[1].All("User-Agent"), std::vector<std::string>{"Corvane/1.0"});
}

TEST_F(HttpText, SecureHelpersReturnBytesAsTheyCame)
{
    const std::string payload = "bin\0ary\xFF"s;
    LocalHttpServer server([&](const SeenRequest& r, ServerConnection& c) {
        c.Send(HttpResponse(200, r.target == "/empty" ? "" : payload));
    }, &Certificate());
    std::string bytes = "stale";
    EXPECT_TRUE(HttpsGetBytes(server.HostPort(), "/latest", bytes));
    EXPECT_EQ(bytes, payload);
    EXPECT_FALSE(HttpsGetBytes(server.HostPort(), "/empty", bytes));
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(GetReleaseInfo(server.HostPort(), "/releases", true), "bin");
}

TEST_F(HttpText, UntrustedCertificateIsRefused)
{
    LocalHttpServer server([](const SeenRequest&, ServerConnection& c) { c.Send(HttpResponse(200, "secret")); },
                           &Certificate());
    SetHttpTrustedCaFile({});
    FetchDiagnostics d;
    EXPECT_EQ(HttpGetDiagnosed(server.Url("/"), &d), "");
    EXPECT_EQ(d.lastError, static_cast<std::uint32_t>(CURLE_PEER_FAILED_VERIFICATION));
    EXPECT_EQ(HttpGetText(server.Url("/")), "");
    std::string bytes;
    EXPECT_FALSE(HttpsGetBytes(server.HostPort(), "/", bytes));
    EXPECT_TRUE(server.Requests().empty());
}

TEST(TransportErrorText, TrimmedMessagesAndEmptyForUnknownCodes)
{
    EXPECT_EQ(TransportErrorText(0), "");
    EXPECT_EQ(TransportErrorText(CURL_LAST), "");
    EXPECT_EQ(TransportErrorText(100000), "");
    EXPECT_EQ(TransportErrorText(CURLE_COULDNT_RESOLVE_HOST), "Couldn't resolve host name");
    for (std::uint32_t code = 1; code < CURL_LAST; ++code) {
        const std::string text = TransportErrorText(code);
        if (text.empty())
            continue;
        const char last = text.back();
        EXPECT_TRUE(last != '.' && last != ' ' && last != '\n' && last != '\r') << code << ": " << text;
    }
}
