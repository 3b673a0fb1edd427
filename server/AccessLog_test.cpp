#include "server/AccessLog.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

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

// A flood of refused connections is a few lines a second and a count.
TEST(AccessLog, ThrottledLinesAreCountedBeyondTheirRate) {
  std::FILE* file = std::tmpfile();
  TAccessLog log(file);
  TLogThrottle throttle(log, 2);
  TAccessRecord r;
  r.Request = "refused (address limit)";
  auto at = [&](int64_t ms) {
    r.Time = std::chrono::system_clock::time_point(std::chrono::milliseconds(ms));
    throttle.Write(r);
  };
  for (int i = 0; i < 10; ++i)
    at(1800000000000 + i);
  r.Request = "refused (connection limit)";
  at(1800000000500);
  r.Request = "refused (address limit)";
  at(1800000001000);
  at(1800000001001);
  at(1800000001002);
  throttle.Flush();
  throttle.Flush();

  std::rewind(file);
  std::vector<std::string> lines;
  char line[512];
  while (std::fgets(line, sizeof line, file))
    lines.push_back(line);
  std::fclose(file);
  ASSERT_EQ(lines.size(), 7u);
  auto request = [&](size_t i) {
    size_t from = lines[i].find('"');
    return lines[i].substr(from + 1, lines[i].find('"', from + 1) - from - 1);
  };
  EXPECT_EQ(request(0), "refused (address limit)");
  EXPECT_EQ(request(1), "refused (address limit)");
  EXPECT_EQ(request(2), "refused (connection limit)") << "each kind has its own share";
  EXPECT_EQ(request(3), "refused (address limit) (8 more)");
  EXPECT_EQ(lines[3].substr(0, 24), "2027-01-15T08:00:01.000Z") << "dated at its second's end";
  EXPECT_EQ(request(4), "refused (address limit)");
  EXPECT_EQ(request(5), "refused (address limit)");
  EXPECT_EQ(request(6), "refused (address limit) (1 more)") << "held ones go out at Flush, once";
}

} // namespace
