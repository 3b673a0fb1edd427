#include "net/backends/KaHTTPBackEnds.h"

#include "net/KaHTTP.h"
#include "net/wininet/KaHTTP_wininet.h"

#include <gtest/gtest.h>

TEST(KaHTTPBackEnds, WinInetIsRegisteredOnWindows) {
  RegisterHTTPBackEnds();
  THTTPClass found = dynamic_cast<THTTPFactory&>(HTTPFactory()).Find("wininet");
  ASSERT_TRUE(found);
  EXPECT_NE(std::dynamic_pointer_cast<TKaHTTP_wininet>(found()), nullptr);
}
