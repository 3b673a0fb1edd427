#include "net/backends/KaHTTPBackEnds.h"

#include "net/KaHTTP.h"
#include "net/indy/KaHTTP_indy.h"
#include "net/curl/KaHTTP_libcurl.h"
#include "base/KaRegistry.h"

#include <gtest/gtest.h>

namespace {
struct TRegistered {
  const char* Name;
  bool (*IsIt)(const IHTTPPtr&);
};

template <class T> bool Is(const IHTTPPtr& http) {
  return std::dynamic_pointer_cast<T>(http) != nullptr;
}
} // namespace

TEST(KaHTTPBackEnds, EachNameBuildsItsClassAndRegisteringTwiceChangesNothing) {
  RegisterHTTPBackEnds();
  RegisterHTTPBackEnds();
  auto& factory = dynamic_cast<THTTPFactory&>(HTTPFactory());
  for (const TRegistered& r :
       {TRegistered{"Indy", &Is<TKaHTTP_indy>}, TRegistered{"LIBCURL", &Is<TKaHTTPCurl>}}) {
    THTTPClass found = factory.Find(r.Name);
    ASSERT_TRUE(found) << r.Name;
    EXPECT_TRUE(r.IsIt(found())) << r.Name;
  }
}

TEST(KaHTTPBackEnds, TheStoredChoiceSelectsTheBackEnd) {
  RegisterHTTPBackEnds();
  TRegistry reg(TRootKey::rkLocalMachine);
  ASSERT_TRUE(reg.OpenKey(InternetSettingsKey, true));
  reg.WriteString("lib", "libcurl");
  EXPECT_TRUE(Is<TKaHTTPCurl>(HTTPFactory().CreateHTTP()));
  reg.WriteString("lib", "no such back end");
  EXPECT_TRUE(Is<TKaHTTP_indy>(HTTPFactory().CreateHTTP()));
  reg.DeleteValue("lib");
  reg.CloseKey();
}
