// The client against the programmable server: requests as sent, slow, broken and hostile
// answers, cookies, parallel transfers and lifetimes.

#include <gtest/gtest.h>

#include <memory>

#include "http_recorder.h"
#include "support/scripted_http_server.h"
#include "support/server_process.h"

using namespace std::chrono_literals;
using trawler::platform::HttpClient;
using trawler::platform::PollEventLoop;
using trawler::platform::testing::HttpRecorder;
using trawler::platform::testing::WaitDone;
using trawler::testsupport::ScriptedHttpServer;
using Request = ScriptedHttpServer::Request;
using Connection = ScriptedHttpServer::Connection;

namespace {

class HttpClientScripted : public ::testing::Test {
protected:
    void SetUp() override { server.Handle("/echo", ScriptedHttpServer::Echo()); }
    PollEventLoop loop;
    ScriptedHttpServer server;
};

TEST_F(HttpClientScripted, SettingsBecomeRequestHeadersAndEmptyOnesSendNothing) {
    struct Case {
        std::string name;
        std::string HttpClient::*field;
        std::string header;
    } cases[] = {
        {"Referer", &HttpClient::Referer, "Referer"},
        {"UserAgent", &HttpClient::UserAgent, "User-Agent"},
        {"Accept", &HttpClient::Accept, "Accept"},
        {"AcceptLanguage", &HttpClient::AcceptLanguage, "Accept-Language"},
        {"AcceptCharset", &HttpClient::AcceptCharset, "Accept-Charset"},
        {"Cookie", &HttpClient::Cookie, "Cookie"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::string value : {"some value/1.0", ""}) {
            HttpClient http(loop);
            HttpRecorder r(http);
            http.*c.field = value;
            http.Url = server.Url("/echo");
            ASSERT_TRUE(http.Get());
            ASSERT_TRUE(WaitDone(loop, r));
            auto request = server.LastRequest();
            if (value.empty()) {
                EXPECT_FALSE(request.HasHeader(c.header)) << request.raw;
            } else {
                EXPECT_EQ(value, request.Header(c.header)) << request.raw;
            }
        }
    }
}

TEST_F(HttpClientScripted, DefaultsAndNoCache) {
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = server.Url("/echo?q=a%20b");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    auto request = server.LastRequest();
    EXPECT_EQ("GET", request.method);
    EXPECT_EQ("/echo?q=a%20b", request.target);
    EXPECT_EQ("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*", request.Header("Accept"));
    EXPECT_FALSE(request.HasHeader("Pragma"));
    EXPECT_TRUE(request.HasHeader("Accept-Encoding"));  // compressed answers welcome
    EXPECT_EQ(request.raw, r.body);

    r.Reset();
    http.NoCache = true;
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_EQ("no-cache", server.LastRequest().Header("Pragma"));
}

TEST_F(HttpClientScripted, LineBreaksInValuesCannotAddHeaders) {
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = server.Url("/echo");
    http.Referer = "http://a.example/\r\nX-Injected: referer";
    http.UserAgent = "agent\nX-Injected: agent";
    http.AcceptLanguage = "en\r\n\r\nGET /smuggled HTTP/1.1";
    http.Cookie = "a=b\r\nX-Injected: cookie";
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    auto request = server.LastRequest();
    EXPECT_FALSE(request.HasHeader("X-Injected")) << request.raw;
    EXPECT_EQ(std::string::npos, request.raw.find("\r\nGET /smuggled")) << request.raw;
    EXPECT_EQ("http://a.example/X-Injected: referer", request.Header("Referer"));
    EXPECT_EQ("a=bX-Injected: cookie", request.Header("Cookie"));
    EXPECT_EQ(1, server.RequestCount());
}

TEST_F(HttpClientScripted, PostBodyArrivesIntactWithTypeAndLength) {
    // Long enough that libcurl would otherwise wait for "100 Continue", with bytes that
    // must not be touched on the way.
    std::string body = "q=caf%C3%A9+%26+more&x=";
    while (body.size() < 5000) body += "0123456789";
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = server.Url("/echo");
    http.PostBody = body;
    ASSERT_TRUE(http.Post());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_EQ(0, r.error);
    auto request = server.LastRequest();
    EXPECT_EQ("POST", request.method);
    EXPECT_EQ("application/x-www-form-urlencoded", request.Header("Content-Type"));
    EXPECT_EQ(std::to_string(body.size()), request.Header("Content-Length"));
    EXPECT_FALSE(request.HasHeader("Expect"));
    EXPECT_EQ(body, request.body);
}

TEST_F(HttpClientScripted, RedirectedPostFollowsTheBrowserRules) {
    struct Case {
        int status;
        const char* method;  // method that reaches the target
        bool bodyKept;
    } cases[] = {{301, "GET", false}, {302, "GET", false}, {303, "GET", false},
                 {307, "POST", true}, {308, "POST", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        server.Handle("/moved", [&](const Request&, Connection& conn) {
            conn.SendResponse(c.status, "Moved", {"Location: /echo"}, "moved");
        });
        HttpClient http(loop);
        HttpRecorder r(http);
        http.Url = server.Url("/moved");
        http.PostBody = "a=1&b=2";
        ASSERT_TRUE(http.Post());
        ASSERT_TRUE(WaitDone(loop, r));
        EXPECT_EQ(200, http.StatusCode);
        EXPECT_EQ(server.Url("/echo"), http.FinalUrl);
        auto request = server.LastRequest();
        EXPECT_EQ(c.method, request.method);
        EXPECT_EQ(c.bodyKept ? "a=1&b=2" : "", request.body);
        EXPECT_EQ(std::string::npos, r.body.find("moved")) << "redirect text is not delivered";
    }
}

TEST_F(HttpClientScripted, RedirectWithAnEndlessBodyIsStillFollowed) {
    server.Handle("/moved", [](const Request&, Connection& c) {
        if (!c.SendHead(302, "Found", {"Location: /echo", "Connection: close"})) return;
        while (c.Send(std::string(64 * 1024, 'r'))) {
        }
    });
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = server.Url("/moved");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_EQ(0, r.error) << http.ErrorText;
    EXPECT_EQ(server.Url("/echo"), http.FinalUrl);
    EXPECT_EQ(server.LastRequest().raw, r.body);
}

TEST_F(HttpClientScripted, RequestsOfSeveralClientsRunInParallel) {
    constexpr int kClients = 4;
    server.Handle("/slow", ScriptedHttpServer::Trickle(3000, 1000, 150ms));
    std::vector<std::unique_ptr<HttpClient>> clients;
    std::vector<std::unique_ptr<HttpRecorder>> recorders;
    for (int i = 0; i < kClients; ++i) {
        clients.push_back(std::make_unique<HttpClient>(loop));
        recorders.push_back(std::make_unique<HttpRecorder>(*clients.back()));
        clients.back()->Url = server.Url("/slow");
        ASSERT_TRUE(clients.back()->Get());
    }
    ASSERT_TRUE(loop.runUntil(
        [&] {
            return std::all_of(recorders.begin(), recorders.end(),
                               [](const auto& r) { return r->done; });
        },
        10s));
    for (const auto& r : recorders) {
        EXPECT_EQ(0, r->error);
        EXPECT_EQ(std::string(3000, 'x'), r->body);
    }
    EXPECT_EQ(kClients, server.MaxSimultaneousConnections());
}

TEST_F(HttpClientScripted, AbortMidBodyDeliversNothingMore) {
    server.Handle("/endless", ScriptedHttpServer::Endless());
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = server.Url("/endless");
    std::size_t eventsAtAbort = 0;
    http.OnDocData = [&](const char*, std::size_t n) {
        r.events.push_back("data");
        r.body.append(n, 'y');
        // Abort from inside a chunk, while later chunks of the same read are queued.
        if (r.body.size() > 100000 && !eventsAtAbort) {
            http.Abort();
            eventsAtAbort = r.events.size();
        }
    };
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(loop.runUntil([&] { return eventsAtAbort > 0; }, 10s));
    EXPECT_FALSE(http.Busy());
    loop.runFor(200ms);
    EXPECT_EQ(eventsAtAbort, r.events.size()) << "late notification after Abort";
    EXPECT_FALSE(r.done);

    // The client is usable again at once.
    http.OnDocData = nullptr;
    http.Url = server.Url("/echo");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_EQ(0, r.error);
    EXPECT_EQ(200, http.StatusCode);
}

TEST_F(HttpClientScripted, StartingANewRequestDropsWhatTheOldOneHadQueued) {
    server.Handle("/endless", ScriptedHttpServer::Endless());
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = server.Url("/endless");
    std::size_t received = 0;
    bool restarted = false;
    http.OnDocData = [&](const char*, std::size_t n) {
        received += n;
        if (restarted) {
            r.events.push_back("data");
            r.body.append(n, '?');
        } else if (received > 100000) {
            // A new request from inside a chunk of the old one, as a scheduler would.
            restarted = true;
            r.Reset();
            http.Url = server.Url("/echo");
            http.Get();
        }
    };
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_EQ("begin", r.events.front());
    EXPECT_EQ(0, r.error);
    EXPECT_EQ(server.LastRequest().raw.size(), r.body.size());
}

TEST_F(HttpClientScripted, ClientMayBeDestroyedFromItsOwnHandler) {
    server.Handle("/cookies", [](const Request&, Connection& c) {
        c.SendResponse(200, "OK", {"Set-Cookie: a=1", "Set-Cookie: b=2"}, std::string(50000, 'z'));
    });
    struct Case {
        const char* during;
    } cases[] = {{"cookie"}, {"begin"}, {"data"}, {"done"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.during);
        auto http = std::make_unique<HttpClient>(loop);
        int calls = 0;
        std::string during = c.during;
        auto destroy = [&](const std::string& event) {
            ++calls;
            if (event == during) http.reset();
        };
        http->OnCookie = [&](const std::string&, bool& accept) {
            accept = true;
            destroy("cookie");
        };
        http->OnDocBegin = [&] { destroy("begin"); };
        http->OnDocData = [&](const char*, std::size_t) { destroy("data"); };
        http->OnRequestDone = [&](int) { destroy("done"); };
        http->Url = server.Url("/cookies");
        ASSERT_TRUE(http->Get());
        ASSERT_TRUE(loop.runUntil([&] { return !http; }, 10s));
        int callsAtDestruction = calls;
        loop.runFor(100ms);
        EXPECT_EQ(callsAtDestruction, calls);
    }
}

TEST_F(HttpClientScripted, TransportFailuresAreReportedWithLibcurlsMessage) {
    server.Handle("/drop", ScriptedHttpServer::Drop("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\npartial"));
    server.Handle("/silent", [](const Request&, Connection& c) { c.Sleep(5s); });
    int closedPort = trawler::testsupport::FreeLoopbackPort();
    struct Case {
        std::string url;
        int timeout;
        const char* message;
    } cases[] = {
        {"http://127.0.0.1:" + std::to_string(closedPort) + "/", 0, "Couldn't connect to server"},
        {server.Url("/drop"), 0, ""},  // any transport error will do
        {server.Url("/silent"), 1, "Timeout was reached"},
        {"ftp://127.0.0.1/file", 0, "Unsupported protocol"},
        {"file:///etc/passwd", 0, "Unsupported protocol"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        HttpClient http(loop);
        HttpRecorder r(http);
        http.Url = c.url;
        http.TimeoutSeconds = c.timeout;
        auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(http.Get());
        ASSERT_TRUE(WaitDone(loop, r));
        EXPECT_NE(0, r.error);
        EXPECT_EQ(r.error, http.ErrorCode);
        EXPECT_FALSE(http.ErrorText.empty());
        EXPECT_NE(std::string::npos, http.ErrorText.find(c.message)) << http.ErrorText;
        EXPECT_EQ("done", r.events.back());
        if (c.timeout) {
            EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
        }
    }
}

TEST_F(HttpClientScripted, TimeOutEndsATrickleThatStalls) {
    // Data comes, then stops for longer than the time-out.
    server.Handle("/stall", [](const Request&, Connection& c) {
        c.SendHead(200, "OK", {"Content-Length: 100"});
        c.Send("first bytes");
        c.Sleep(5s);
    });
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = server.Url("/stall");
    http.TimeoutSeconds = 1;
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r, 4s));
    EXPECT_EQ(28, r.error);  // CURLE_OPERATION_TIMEDOUT
    EXPECT_EQ("first bytes", r.body);
    EXPECT_EQ(200, http.StatusCode);
}

TEST_F(HttpClientScripted, BodyCapEndsTheRequestWithAClearError) {
    server.Handle("/endless", ScriptedHttpServer::Endless());
    server.Handle("/big", [](const Request&, Connection& c) {
        c.SendResponse(200, "OK", {}, std::string(300000, 'b'));
    });
    for (const char* path : {"/endless", "/big"}) {
        SCOPED_TRACE(path);
        HttpClient http(loop);
        HttpRecorder r(http);
        http.Url = server.Url(path);
        http.MaxBodyBytes = 200000;
        ASSERT_TRUE(http.Get());
        ASSERT_TRUE(WaitDone(loop, r));
        EXPECT_EQ(HttpClient::kErrorBodyTooLarge, r.error);
        EXPECT_NE(std::string::npos, http.ErrorText.find("larger than 200000 bytes")) << http.ErrorText;
        EXPECT_LE(r.body.size(), 200000u);
    }
}

TEST_F(HttpClientScripted, AcceptedCookiesGoBackOnlyWhereTheyBelongAndRefusedOnesNever) {
    server.Handle("/set", [](const Request&, Connection& c) {
        c.SendResponse(200, "OK", {"Set-Cookie: keep=1; Path=/", "Set-Cookie: drop=2; Path=/"}, "");
    });
    HttpClient http(loop);
    HttpRecorder r(http);
    http.OnCookie = [&](const std::string& text, bool& accept) {
        r.cookies.push_back(text);
        accept = text.rfind("keep=", 0) == 0;
    };
    http.Url = server.Url("/set");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_EQ((std::vector<std::string>{"keep=1; Path=/", "drop=2; Path=/"}), r.cookies);
    EXPECT_EQ((std::vector<std::string>{"keep=1"}), http.StoredCookies());

    struct Case {
        std::string url;
        const char* cookieHeader;
    } cases[] = {
        {server.Url("/echo"), "keep=1"},
        // Same server, another host name: the cookie stays at 127.0.0.1.
        {"http://localhost:" + std::to_string(server.Port()) + "/echo", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        r.Reset();
        http.Url = c.url;
        ASSERT_TRUE(http.Get());
        ASSERT_TRUE(WaitDone(loop, r));
        EXPECT_EQ(c.cookieHeader, server.LastRequest().Header("Cookie"));
    }

    http.ClearCookies();
    r.Reset();
    http.Url = server.Url("/echo");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_FALSE(server.LastRequest().HasHeader("Cookie"));
}

TEST_F(HttpClientScripted, CookieOfARedirectIsDecidedBeforeTheNextHop) {
    server.Handle("/login", [](const Request&, Connection& c) {
        c.SendResponse(302, "Found", {"Set-Cookie: session=abc; Path=/", "Location: /echo"}, "");
    });
    for (bool accept : {true, false}) {
        SCOPED_TRACE(accept);
        HttpClient http(loop);
        HttpRecorder r(http);
        r.acceptCookies = accept;
        http.Url = server.Url("/login");
        ASSERT_TRUE(http.Get());
        ASSERT_TRUE(WaitDone(loop, r));
        EXPECT_EQ((std::vector<std::string>{"cookie", "begin"}),
                  std::vector<std::string>(r.events.begin(), r.events.begin() + 2));
        EXPECT_EQ(accept ? "session=abc" : "", server.LastRequest().Header("Cookie"));
        EXPECT_EQ(server.LastRequest().raw, r.body);
    }
}

TEST_F(HttpClientScripted, HostileHeaderLinesAreCleanedAndBounded) {
    server.Handle("/hostile", [](const Request&, Connection& c) {
        std::vector<std::string> lines{"X-Bell: ring\x07ring", "X-Tab: a\tb"};
        for (int i = 0; i < 3000; ++i) lines.push_back("X-Many-" + std::to_string(i) + ": v");
        c.SendResponse(200, "OK", lines, "body");
    });
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = server.Url("/hostile");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_EQ(0, r.error);
    EXPECT_EQ("body", r.body);
    ASSERT_GT(http.HeaderLines.size(), 3u);
    EXPECT_EQ("X-Bell: ringring", http.HeaderLines[1]);
    EXPECT_EQ("X-Tab: a b", http.HeaderLines[2]);
    EXPECT_LE(http.HeaderLines.size(), 1000u);
}

TEST_F(HttpClientScripted, NothingStartsWithoutAnAddressAndVerboseTraceCanBeRead) {
    HttpClient http(loop);
    HttpRecorder r(http);
    EXPECT_FALSE(http.Get());
    EXPECT_FALSE(http.Busy());
    EXPECT_FALSE(http.ErrorText.empty());
    loop.runFor(20ms);
    EXPECT_TRUE(r.events.empty());

    http.Url = server.Url("/echo");
    http.Verbose = true;
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    EXPECT_NE(std::string::npos, http.VerboseLog.find("> GET /echo HTTP/1.1")) << http.VerboseLog;
    EXPECT_NE(std::string::npos, http.VerboseLog.find("< HTTP/1.1 200 OK")) << http.VerboseLog;
}

}  // namespace
