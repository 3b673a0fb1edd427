#include "net/KaHTTP.h"

#include "net/testing/KaNetTesting.h"

#include <gtest/gtest.h>

namespace {

// A back end that says which registration made it.
class TTaggedHTTP : public THTTP {
public:
  explicit TTaggedHTTP(std::string tag) : Tag(std::move(tag)) {}
  std::string Tag;
};

THTTPClass Tagged(const std::string& tag) {
  return [tag] { return IHTTPPtr(std::make_shared<TTaggedHTTP>(tag)); };
}

std::string TagOf(const IHTTPPtr& http) {
  auto tagged = std::dynamic_pointer_cast<TTaggedHTTP>(http);
  return tagged ? tagged->Tag : "?";
}

struct TProxy {
  bool Auto;
  std::string Host;
  int32_t Port;
  std::string UserName;
  std::string Password;
  friend bool operator==(const TProxy&, const TProxy&) = default;
  friend std::ostream& operator<<(std::ostream& os, const TProxy& p) {
    return os << (p.Auto ? "auto " : "fixed ") << p.Host << ":" << p.Port << " " << p.UserName
              << "/" << p.Password;
  }
};

TProxy ProxyOf(const IHTTPPtr& http) {
  IProxySettings& p = http->GetProxySettings();
  return {p.GetAuto(), p.GetHost(), p.GetPort(), p.GetUsername(), p.GetPassword()};
}

class HTTPFactoryTest : public testing::Test {
protected:
  HTTPFactoryTest() {
    Factory.Register("Indy", Tagged("indy"));
    Factory.Register("WinInet", Tagged("wininet"));
    Factory.Register("libcurl", Tagged("curl"));
  }
  TInternetSettingsScope Settings;
  THTTPFactory Factory;
};

TEST_F(HTTPFactoryTest, WithoutSettingsIndyUsesTheSystemProxy) {
  IHTTPPtr http = Factory.CreateHTTP();
  EXPECT_EQ(TagOf(http), "indy");
  EXPECT_EQ(ProxyOf(http), (TProxy{true, "", 0, "", ""}));

  Settings.SystemProxy(1, "proxy.example:8080");
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{true, "proxy.example", 8080, "", ""}));
  Settings.SystemProxy(0, std::nullopt);
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{true, "", 0, "", ""}));
}

TEST_F(HTTPFactoryTest, SystemProxyServerIsSplitAtItsLastColon) {
  struct Case {
    std::string server;
    std::string host;
    int32_t port;
  } cases[] = {
      {"proxy.example:8080", "proxy.example", 8080},
      {"proxy.example", "proxy.example", 80},
      {"proxy.example:http", "", 0},
      {"proxy.example:", "", 0},
      {"a:b:3128", "a:b", 3128},
  };
  for (const Case& c : cases) {
    Settings.SystemProxy(1, c.server);
    EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{true, c.host, c.port, "", ""})) << c.server;
  }
  // Without ProxyEnable the server is not looked at.
  TInternetSettingsScope clean;
  clean.SystemProxy(std::nullopt, "proxy.example:8080");
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{true, "", 0, "", ""}));
}

TEST_F(HTTPFactoryTest, LibIsLookedUpWithoutLetterCaseAndFallsBackToIndy) {
  Settings.Write("lib", "wininet");
  EXPECT_EQ(TagOf(Factory.CreateHTTP()), "wininet");
  Settings.Write("lib", "LIBCURL");
  EXPECT_EQ(TagOf(Factory.CreateHTTP()), "curl");
  Settings.Write("lib", "Synapse");
  EXPECT_EQ(TagOf(Factory.CreateHTTP()), "indy");
  // A value of the wrong type reads as empty: Indy again.
  Settings.Write("lib", 7u);
  EXPECT_EQ(TagOf(Factory.CreateHTTP()), "indy");

  // The first registration under a name wins; later ones are kept but unused.
  Factory.Register("WININET", Tagged("second"));
  Settings.Write("lib", "WinInet");
  EXPECT_EQ(TagOf(Factory.CreateHTTP()), "wininet");
}

TEST_F(HTTPFactoryTest, NoBackEndAndNoIndyCannotConstruct) {
  THTTPFactory empty;
  try {
    empty.CreateHTTP();
    ADD_FAILURE() << "no back end was registered";
  } catch (const EHTTP& e) {
    EXPECT_EQ(e.Message(), "Unable to construct HTTP class!");
  }
  empty.Register("WinInet", Tagged("wininet"));
  Settings.Write("lib", "libcurl");
  EXPECT_THROW(empty.CreateHTTP(), EHTTP);
  Settings.Write("lib", "WinInet");
  EXPECT_EQ(TagOf(empty.CreateHTTP()), "wininet");
}

TEST_F(HTTPFactoryTest, ManualProxyNeedsItsPort) {
  Settings.SystemProxy(1, "system.example:3128");
  Settings.Write("method", "manual");
  Settings.Write("proxy-host", "manual.example");
  Settings.Write("proxy-username", "ann");
  Settings.Write("proxy-password", "secret");
  // Without "proxy-port" the automatic branch applies, credentials included.
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{true, "system.example", 3128, "ann", "secret"}));
  // A port of the wrong type fails the same way.
  Settings.Write("proxy-port", "8080");
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()).Host, "system.example");

  Settings.Write("proxy-port", 8080u);
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()),
            (TProxy{false, "manual.example", 8080, "ann", "secret"}));
  // A manual method without a host: no proxy at all, not the system's.
  Settings.Write("proxy-host", "");
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{false, "", 0, "", ""}));
}

TEST_F(HTTPFactoryTest, MethodsCompareWithLetterCase) {
  Settings.SystemProxy(1, "system.example:3128");
  Settings.Write("proxy-host", "manual.example");
  Settings.Write("proxy-port", 8080u);
  Settings.Write("method", "Manual");
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{false, "", 0, "", ""}));
  Settings.Write("method", "direct");
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{false, "", 0, "", ""}));
  Settings.Write("method", "AUTO");
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{false, "", 0, "", ""}));
  Settings.Write("method", "auto");
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{true, "system.example", 3128, "", ""}));
}

TEST_F(HTTPFactoryTest, PasswordIsReadOnlyWithAUserName) {
  Settings.Write("method", "manual");
  Settings.Write("proxy-host", "manual.example");
  Settings.Write("proxy-port", 8080u);
  Settings.Write("proxy-password", "secret");
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{false, "manual.example", 8080, "", ""}));
  Settings.Write("proxy-username", "ann");
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()),
            (TProxy{false, "manual.example", 8080, "ann", "secret"}));

  TInternetSettingsScope clean;
  clean.Write("method", "manual");
  clean.Write("proxy-host", "manual.example");
  clean.Write("proxy-port", 8080u);
  clean.Write("proxy-username", "bob");
  EXPECT_EQ(ProxyOf(Factory.CreateHTTP()), (TProxy{false, "manual.example", 8080, "bob", ""}));
}

} // namespace
