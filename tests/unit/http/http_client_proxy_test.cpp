// The client through a real tinyproxy that wants basic authentication, to a real nginx.

#include <gtest/gtest.h>

#include "http_recorder.h"
#include "support/nginx_server.h"
#include "support/tinyproxy_server.h"

using trawler::platform::HttpClient;
using trawler::platform::PollEventLoop;
using trawler::platform::testing::HttpRecorder;
using trawler::platform::testing::WaitDone;
using trawler::testsupport::NginxServer;
using trawler::testsupport::TinyproxyServer;

namespace {

TEST(HttpClientProxy, CredentialsDecideWhetherTheProxyServes) {
    NginxServer nginx;
    TinyproxyServer proxy;
    PollEventLoop loop;
    struct Case {
        const char* name;
        std::string user, password;
        int status;
    } cases[] = {
        {"right credentials", proxy.User(), proxy.Password(), 200},
        {"no credentials", "", "", 407},
        // tinyproxy answers credentials it does not know with 401.
        {"wrong password", proxy.User(), "wrong", 401},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpClient http(loop);
        HttpRecorder r(http);
        http.Url = nginx.Url("/page2.html");
        http.ProxyHost = "127.0.0.1";
        http.ProxyPort = proxy.Port();
        http.ProxyUser = c.user;
        http.ProxyPassword = c.password;
        ASSERT_TRUE(http.Get());
        ASSERT_TRUE(WaitDone(loop, r));
        EXPECT_EQ(0, r.error) << http.ErrorText;  // a refusal by the proxy is an answer too
        EXPECT_EQ(c.status, http.StatusCode);
        if (c.status == 200) {
            EXPECT_EQ(NginxServer::FixtureFile("page2.html"), r.body);
        }
    }
    // The page really went through the proxy.
    EXPECT_NE(std::string::npos, proxy.Log().find("/page2.html")) << proxy.Log();
}

TEST(HttpClientProxy, EmptyProxyHostConnectsDirectlyWhateverTheEnvironmentSays) {
    NginxServer nginx;
    PollEventLoop loop;
    // A proxy variable pointing nowhere must not be used.
    ::setenv("http_proxy", "http://127.0.0.1:1", 1);
    HttpClient http(loop);
    HttpRecorder r(http);
    http.Url = nginx.Url("/index.html");
    ASSERT_TRUE(http.Get());
    ASSERT_TRUE(WaitDone(loop, r));
    ::unsetenv("http_proxy");
    EXPECT_EQ(0, r.error) << http.ErrorText;
    EXPECT_EQ(200, http.StatusCode);
}

}  // namespace
