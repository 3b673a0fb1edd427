#include "base/KaDateUtils.h"

#include "base/KaExceptions.h"
#include "base/KaStrings.h"

#include <cstdio>

static const char ZeroStamp[] = "00000000000000000";

std::string DateTimeToStamp(TDateTime value) {
  if (value.IsZero())
    return ZeroStamp;
  TDateTimeParts p = DecodeDateTime(value);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%4.4d%2.2d%2.2d%2.2d%2.2d%2.2d%3.3d", p.Year, p.Month, p.Day,
                p.Hour, p.Minute, p.Second, p.MilliSecond);
  return buffer;
}

TDateTime StampToDateTime(std::string_view text) {
  if (text.empty() || text == ZeroStamp)
    return TDateTime{};
  auto part = [&](size_t from, size_t count) {
    return StrToInt(from < text.size() ? text.substr(from, count) : std::string_view());
  };
  TDateTimeParts p{part(0, 4), part(4, 2), part(6, 2), part(8, 2), part(10, 2), part(12, 2), part(14, 3)};
  return EncodeDateTime(p);
}
