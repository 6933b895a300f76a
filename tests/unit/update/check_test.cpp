#include <gtest/gtest.h>

#include "platform/poll_event_loop.h"
#include "support/scripted_http_server.h"
#include "support/update/updates.h"

using namespace trawler;
using trawler::testsupport::ScriptedHttpServer;

namespace {

std::string Descriptor(const std::string &general) {
  return "<main><general>" + general +
         "</general><updates><update><id>program</id><checkby>version</checkby>"
         "<version>1.10</version></update></updates></main>";
}

ScriptedHttpServer::Handler Serve(int status, std::string body) {
  return [status, body](const ScriptedHttpServer::Request &, ScriptedHttpServer::Connection &c) {
    c.SendResponse(status, status == 200 ? "OK" : "Not Found", {"Content-Type: text/xml"}, body);
  };
}

struct CheckRun {
  bool checked = false;
  int checks = 0;
};

// Runs one check over `addresses` and reports whether it ended.
bool RunCheck(update::tUpdates &u, platform::PollEventLoop &loop, CheckRun &run) {
  u.OnCheck = [&run] {
    run.checked = true;
    ++run.checks;
  };
  u.CheckForUpdates();
  return loop.runUntil([&run] { return run.checked; }, std::chrono::seconds(20));
}

TEST(CheckForUpdates, TriesAddressesInOrderUntilOneHoldsADescriptor) {
  ScriptedHttpServer server;
  server.Handle("/good.xml", Serve(200, Descriptor("<stat_cgi>https://stat/</stat_cgi>")));
  server.Handle("/nomain.xml", Serve(200, "<general></general>"));
  server.Handle("/never.xml", Serve(200, Descriptor("<stat_cgi>wrong</stat_cgi>")));
  const std::string refused = "http://127.0.0.1:1/twlver.xml";
  struct Case {
    std::vector<std::string> addresses;
    bool success;
  } cases[] = {
      {{refused, server.Url("/good.xml"), server.Url("/never.xml")}, true},
      {{server.Url("/missing.xml"), server.Url("/good.xml")}, true},
      {{server.Url("/nomain.xml"), server.Url("/good.xml")}, true},
      {{server.Url("/missing.xml"), server.Url("/nomain.xml"), refused}, false},
      {{}, false},
  };
  for (const auto &c : cases) {
    platform::PollEventLoop loop;
    update::tUpdates u(loop);
    u.UpdateUrls = c.addresses;
    CheckRun run;
    ASSERT_TRUE(RunCheck(u, loop, run));
    loop.runFor(std::chrono::milliseconds(50));
    EXPECT_EQ(run.checks, 1);
    EXPECT_EQ(u.Success(), c.success) << c.addresses.size();
    if (c.success) {
      EXPECT_EQ(u.Descriptor().statCgi, "https://stat/");
      ASSERT_EQ(u.Descriptor().updates.size(), 1u);
      EXPECT_EQ(u.Descriptor().updates[0].version, "1.10");
    }
  }
}

TEST(CheckForUpdates, DescriptorAddressesReplaceConfiguredOnlyWhenListed) {
  ScriptedHttpServer server;
  server.Handle("/with.xml", Serve(200, Descriptor("<updateurl><u>https://next/a.xml</u></updateurl>")));
  server.Handle("/without.xml", Serve(200, Descriptor("")));
  struct Case {
    const char *path;
    bool replaced;
  } cases[] = {{"/with.xml", true}, {"/without.xml", false}};
  for (const auto &c : cases) {
    platform::PollEventLoop loop;
    update::tUpdates u(loop);
    u.UpdateUrls = {server.Url(c.path)};
    CheckRun run;
    ASSERT_TRUE(RunCheck(u, loop, run));
    ASSERT_TRUE(u.Success());
    EXPECT_EQ(u.UpdateUrls, c.replaced ? std::vector<std::string>{"https://next/a.xml"}
                                       : std::vector<std::string>{server.Url(c.path)});
  }
}

}  // namespace
