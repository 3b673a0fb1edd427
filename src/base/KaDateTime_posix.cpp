#include "base/KaDateTime.h"

#include <ctime>
#include <sys/time.h>

TDateTime UTCToLocal(TDateTime utc) {
  time_t t = static_cast<time_t>(DateTimeToUnix(utc));
  struct tm local{};
  localtime_r(&t, &local);
  return TDateTime{utc.ms + static_cast<int64_t>(local.tm_gmtoff) * 1000};
}

TDateTime LocalToUTC(TDateTime local) {
  TDateTimeParts p = DecodeDateTime(local);
  struct tm t{};
  t.tm_year = p.Year - 1900;
  t.tm_mon = p.Month - 1;
  t.tm_mday = p.Day;
  t.tm_hour = p.Hour;
  t.tm_min = p.Minute;
  t.tm_sec = p.Second;
  t.tm_isdst = -1;
  time_t secs = mktime(&t);
  return UnixToDateTime(secs, p.MilliSecond);
}

TDateTime Now() {
  struct timeval tv{};
  gettimeofday(&tv, nullptr);
  return UTCToLocal(UnixToDateTime(tv.tv_sec, static_cast<int>(tv.tv_usec / 1000)));
}
