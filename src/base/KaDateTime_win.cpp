#include "base/KaDateTime.h"

#include <windows.h>

static SYSTEMTIME ToSystemTime(TDateTime value) {
  TDateTimeParts p = DecodeDateTime(value);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(p.Year);
  st.wMonth = static_cast<WORD>(p.Month);
  st.wDay = static_cast<WORD>(p.Day);
  st.wHour = static_cast<WORD>(p.Hour);
  st.wMinute = static_cast<WORD>(p.Minute);
  st.wSecond = static_cast<WORD>(p.Second);
  st.wMilliseconds = static_cast<WORD>(p.MilliSecond);
  return st;
}

static TDateTime FromSystemTime(const SYSTEMTIME& st) {
  TDateTime result;
  TryEncodeDateTime(TDateTimeParts{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                                   st.wSecond, st.wMilliseconds},
                    result);
  return result;
}

TDateTime UTCToLocal(TDateTime utc) {
  SYSTEMTIME in = ToSystemTime(utc), out{};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &in, &out))
    return utc;
  return FromSystemTime(out);
}

TDateTime LocalToUTC(TDateTime local) {
  SYSTEMTIME in = ToSystemTime(local), out{};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &in, &out))
    return local;
  return FromSystemTime(out);
}

TDateTime Now() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return FromSystemTime(st);
}
