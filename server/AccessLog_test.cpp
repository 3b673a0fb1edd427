#include "server/AccessLog.h"

#include <gtest/gtest.h>

namespace {

TEST(AccessLog, OneLineWithEveryField) {
  TAccessRecord r;
  r.Time = std::chrono::system_clock::time_point(std::chrono::milliseconds(1800000000123));
  r.Peer = "127.0.0.1:5000";
  r.Request = "POST /cgi-bin/RUzodi";
  r.HttpStatus = 200;
  r.Command = "admin:getFile";
  r.AnswerStatus = 0;
  r.Bytes = 4123;
  r.Duration = std::chrono::microseconds(412);
  EXPECT_EQ(FormatAccessRecord(r), "2027-01-15T08:00:00.123Z 127.0.0.1:5000 "
                                   "\"POST /cgi-bin/RUzodi\" 200 admin:getFile 0 4123 0.412ms");
  TAccessRecord cut;
  cut.Peer = "?";
  cut.Request = "read timeout";
  EXPECT_NE(FormatAccessRecord(cut).find("\"read timeout\" - - - 0 "), std::string::npos);
  r.Note = "blob 7 has 2 bytes, the index says 5";
  EXPECT_EQ(FormatAccessRecord(r).substr(FormatAccessRecord(r).find("ms ")),
            "ms \"blob 7 has 2 bytes, the index says 5\"");
}

TEST(AccessLog, ClientTextCannotForgeLines) {
  TAccessRecord r;
  r.Request = "GET /x\r\n2027-01-01T00:00:00.000Z fake \"line\"";
  std::string line = FormatAccessRecord(r);
  EXPECT_EQ(line.find('\n'), std::string::npos);
  EXPECT_EQ(line.find('\r'), std::string::npos);
  EXPECT_NE(line.find("\\x0d\\x0a"), std::string::npos);
  EXPECT_NE(line.find("\\x22line\\x22"), std::string::npos);
}

} // namespace
