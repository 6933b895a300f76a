// The client against a real nginx on 127.0.0.1.

#include <gtest/gtest.h>

#include <algorithm>

#include "http_recorder.h"
#include "support/nginx_server.h"

using namespace std::chrono_literals;
using trawler::platform::HttpClient;
using trawler::platform::PollEventLoop;
using trawler::platform::testing::HttpRecorder;
using trawler::platform::testing::WaitDone;
using trawler::testsupport::NginxServer;

namespace {

class HttpClientNginx : public ::testing::Test {
protected:
    static void SetUpTestSuite() { nginx = std::make_unique<NginxServer>(); }
    static void TearDownTestSuite() { nginx.reset(); }
    static std::unique_ptr<NginxServer> nginx;
    PollEventLoop loop;
};
std::unique_ptr<NginxServer> HttpClientNginx::nginx;

bool HasLineStartingWith(const std::vector<std::string>& lines, const std::string& start) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

TEST_F(HttpClientNginx, AnswersArriveWithStatusFinalAddressAndBody) {
    struct Case {
        const char* path;
        const char* finalPath;
        int status;
        const char* reason;
        const char* bodyFile;  // fixture the body must equal, or nullptr
    } cases[] = {
        {"/index.html", "/index.html", 200, "OK", "index.html"},
        {"/redirect", "/index.html", 200, "OK", "index.html"},
        {"/redirect-chain", "/index.html", 200, "OK", "index.html"},
        {"/words.txt", "/words.txt", 200, "OK", "words.txt"},  // comes gzip-compressed
        // A 404 is an answer like any other: no error, its status and reason, its page.
        {"/no-such-page.html", "/no-such-page.html", 404, "Not Found", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        HttpClient http(loop);
        HttpRecorder r(http);
        http.Url = nginx->Url(c.path);
        ASSERT_TRUE(http.Get());
        EXPECT_TRUE(http.Busy());
        ASSERT_TRUE(WaitDone(loop, r));
        EXPECT_FALSE(http.Busy());
        EXPECT_EQ(0, r.error);
        EXPECT_EQ(0, http.ErrorCode);
        EXPECT_EQ(c.status, http.StatusCode);
        EXPECT_EQ(c.reason, http.ReasonPhrase);
        EXPECT_EQ(nginx->Url(c.finalPath), http.FinalUrl);
        EXPECT_EQ("begin", r.events.front());
        EXPECT_EQ("done", r.events.back());
        if (c.bodyFile)
            EXPECT_EQ(NginxServer::FixtureFile(c.bodyFile), r.body);
        else
            EXPECT_NE(std::string::npos, r.body.find("404"));
    }
}

TEST_F(HttpClientNginx, CompressedAnswerIsAskedForAndDecoded) {
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = nginx->Url("/words.txt");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_TRUE(HasLineStartingWith(http.HeaderLines, "Content-Encoding: gzip"));
    EXPECT_EQ(NginxServer::FixtureFile("words.txt"), r.body);
}

TEST_F(HttpClientNginx, HeaderLinesOfTheFinalAnswerAreKept) {
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = nginx->Url("/refresh.html");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    ASSERT_FALSE(http.HeaderLines.empty());
    EXPECT_EQ("HTTP/1.1 200 OK", http.HeaderLines.front());
    EXPECT_TRUE(HasLineStartingWith(http.HeaderLines, "Refresh: 1; url=/index.html"));
    for (const auto& line : http.HeaderLines)
        EXPECT_EQ(std::string::npos, line.find_first_of("\r\n")) << line;

    // After a redirect only the last answer's lines are there.
    http.Url = nginx->Url("/redirect");
    r.Reset();
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_FALSE(HasLineStartingWith(http.HeaderLines, "Location:"));
    EXPECT_FALSE(HasLineStartingWith(http.HeaderLines, "Refresh:"));
}

TEST_F(HttpClientNginx, CookieOfARealServerIsOfferedAndKeptWhenAccepted) {
    for (bool accept : {false, true}) {
        SCOPED_TRACE(accept);
        HttpClient http(loop);
        HttpRecorder r(http);
        r.acceptCookies = accept;
        http.Url = nginx->Url("/headers.html");
        ASSERT_TRUE(http.Get());
        ASSERT_TRUE(WaitDone(loop, r));
        EXPECT_TRUE(HasLineStartingWith(http.HeaderLines, "X-Trawler-Test: present"));
        EXPECT_EQ((std::vector<std::string>{"sid=nginx42; Path=/"}), r.cookies);
        EXPECT_EQ(accept ? std::vector<std::string>{"sid=nginx42"} : std::vector<std::string>{},
                  http.StoredCookies());
    }
}

TEST_F(HttpClientNginx, LargeFileArrivesIntactInManyChunks) {
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = nginx->Url("/large.bin");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_EQ(0, r.error);
    EXPECT_GT(r.dataChunks, 1);
    EXPECT_TRUE(r.body == NginxServer::LargeFileContent()) << "got " << r.body.size() << " bytes";
}

TEST_F(HttpClientNginx, RedirectsCanBeLeftUnfollowedAndEndlessOnesEndInAnError) {
    HttpClient http(loop);
    HttpRecorder r(http);
    http.FollowRedirects = false;
    http.Url = nginx->Url("/redirect");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_EQ(0, r.error);
    EXPECT_EQ(302, http.StatusCode);
    EXPECT_EQ(nginx->Url("/redirect"), http.FinalUrl);
    EXPECT_TRUE(HasLineStartingWith(http.HeaderLines, "Location: /index.html"));

    http.FollowRedirects = true;
    http.Url = nginx->Url("/loop");
    r.Reset();
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_NE(0, r.error);
    EXPECT_EQ(r.error, http.ErrorCode);
    EXPECT_NE(std::string::npos, http.ErrorText.find("redirects")) << http.ErrorText;
}

TEST_F(HttpClientNginx, HttpsCertificateIsVerified) {
    // The certificate is valid for 127.0.0.1 but signed by nobody the system trusts.
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = nginx->TlsUrl("/index.html");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_EQ(60, r.error) << http.ErrorText;  // CURLE_PEER_FAILED_VERIFICATION
    EXPECT_TRUE(r.body.empty());
    EXPECT_EQ(0, http.StatusCode);
}

TEST_F(HttpClientNginx, HeadGetsStatusAndHeadersWithoutBody) {
    HttpClient http(loop);
    HttpRecorder r(http);
    struct Case {
        const char* path;
        int status;
        std::string lengthLine;
    } cases[] = {{"/large.bin", 200, "Content-Length: " + std::to_string(NginxServer::kLargeFileBytes)},
                 {"/gone.html", 404, "Content-Type: text/html"},
                 {"/redirect", 200, "Content-Type: text/html"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        r.Reset();
        http.Url = nginx->Url(c.path);
        ASSERT_TRUE(http.Head());
        ASSERT_TRUE(WaitDone(loop, r));
        EXPECT_EQ(0, r.error);
        EXPECT_EQ(c.status, http.StatusCode);
        EXPECT_TRUE(r.body.empty());
        EXPECT_TRUE(HasLineStartingWith(http.HeaderLines, c.lengthLine));
    }
}

}  // namespace
