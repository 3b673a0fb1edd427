#include "base/KaDateUtils.h"

#include "base/KaExceptions.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(TimeStamp, WritesSeventeenDigitsAndReadsThemBack) {
  TDateTime t = EncodeDateTime({2024, 1, 31, 23, 59, 58, 0});
  EXPECT_EQ(DateTimeToStamp(t), "20240131235958000");
  EXPECT_EQ(StampToDateTime("20240131235958000"), t);
  TDateTime u = EncodeDateTime({1601, 2, 28, 1, 2, 3, 456});
  EXPECT_EQ(DateTimeToStamp(u), "16010228010203456");
  EXPECT_EQ(StampToDateTime(DateTimeToStamp(u)), u);
}

TEST(TimeStamp, ZeroMeansNoTime) {
  EXPECT_EQ(DateTimeToStamp(TDateTime{}), "00000000000000000");
  EXPECT_EQ(StampToDateTime("00000000000000000"), TDateTime{});
  EXPECT_EQ(StampToDateTime(""), TDateTime{});
}

TEST(TimeStamp, ShortAndMalformedTexts) {
  // Sixteen digits: the last two are the millisecond count.
  EXPECT_EQ(StampToDateTime("2024013123595812"), EncodeDateTime({2024, 1, 31, 23, 59, 58, 12}));
  EXPECT_THROW(StampToDateTime("20240131235958"), EConvertError);
  EXPECT_THROW(StampToDateTime("2024013123595x000"), EConvertError);
  EXPECT_THROW(StampToDateTime("20241331235958000"), EConvertError);
  EXPECT_THROW(StampToDateTime("20240131245958000"), EConvertError);
  EXPECT_THROW(StampToDateTime("20230229000000000"), EConvertError);
  EXPECT_EQ(StampToDateTime("20240229000000000trailing"), EncodeDate(2024, 2, 29));
}

TEST(DateTime, DoubleFormFollowsThePlatformEpoch) {
  EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30).ToDouble(), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime({1900, 1, 1, 12, 0, 0, 0}).ToDouble(), 2.5);
  EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 29, 6, 0, 0, 0}).ToDouble(), -1.25);
  EXPECT_EQ(TDateTime::FromDouble(-1.25), EncodeDateTime({1899, 12, 29, 6, 0, 0, 0}));
  TDateTime t = EncodeDateTime({2024, 1, 31, 23, 59, 58, 123});
  EXPECT_EQ(TDateTime::FromDouble(t.ToDouble()), t);
  EXPECT_EQ(DecodeDateTime(t).MilliSecond, 123);
  EXPECT_EQ(UnixToDateTime(0), EncodeDate(1970, 1, 1));

  // The first and the last day of the platform's range, and what lies beyond.
  EXPECT_EQ(TDateTime::FromDouble(EncodeDate(1, 1, 1).ToDouble()), EncodeDate(1, 1, 1));
  TDateTime last = EncodeDateTime({9999, 12, 31, 23, 59, 59, 999});
  EXPECT_EQ(TDateTime::FromDouble(last.ToDouble()), last);
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e300, 2958466.0, -693594.0})
    EXPECT_THROW(TDateTime::FromDouble(bad), EConvertError) << bad;
}
