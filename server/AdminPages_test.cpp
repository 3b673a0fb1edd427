#include "server/AdminPages.h"

#include "server/testing/ServerTesting.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct AdminPagesTest : testing::Test {
  TTempStore Temp;
  TReleaseStore Store{Temp.Dir()};
  TServerMetrics Metrics;
  TAdminPages Pages{Store, Metrics, [] { return 5; }};
};

TEST_F(AdminPagesTest, HealthFollowsTheStoresCurrentRelease) {
  TAdminPage page = Pages.Answer("GET", "/healthz");
  EXPECT_EQ(page.Status, 503) << "nothing published yet";
  Temp.Publish(1, "Product", "[installer]\r\n");
  page = Pages.Answer("GET", "/healthz");
  EXPECT_EQ(page.Status, 200);
  EXPECT_EQ(page.Body, "ok: release 1\n");
  EXPECT_EQ(Pages.Answer("HEAD", "/healthz?probe=1").Status, 200);
  // Requests are served from what the store keeps in memory; health reads
  // the disk, so a store taken away under the server shows at once.
  ASSERT_TRUE(Store.Current());
  std::filesystem::remove(Temp.Dir() + "/releases/1/manifest");
  page = Pages.Answer("GET", "/healthz");
  EXPECT_EQ(page.Status, 503);
  EXPECT_NE(page.Body.find("releases/1/manifest"), std::string::npos) << page.Body;
  WriteFileAtomically(Temp.Dir() + "/current", "garbage\n");
  EXPECT_EQ(Pages.Answer("GET", "/healthz").Status, 503);
}

TEST_F(AdminPagesTest, MetricsAreThePrometheusText) {
  Temp.Publish(4, "Product", "[installer]\r\n");
  TAdminPage page = Pages.Answer("GET", "/metrics");
  EXPECT_EQ(page.Status, 200);
  EXPECT_EQ(page.ContentType, "text/plain; version=0.0.4; charset=utf-8");
  EXPECT_NE(page.Body.find("\nwebsetup_current_release 4\n"), std::string::npos) << page.Body;
  EXPECT_NE(page.Body.find("\nwebsetup_open_connections 5\n"), std::string::npos) << page.Body;
}

TEST_F(AdminPagesTest, OnlyTheTwoPagesAndOnlyGet) {
  EXPECT_EQ(Pages.Answer("GET", "/").Status, 404);
  EXPECT_EQ(Pages.Answer("GET", "/cgi-bin/RUzodi").Status, 404);
  EXPECT_EQ(Pages.Answer("GET", "/metrics/x").Status, 404);
  EXPECT_EQ(Pages.Answer("POST", "/metrics").Status, 405);
  EXPECT_EQ(Pages.Answer("DELETE", "/healthz").Status, 405);
}

} // namespace
