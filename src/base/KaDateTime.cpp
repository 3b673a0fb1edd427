#include "base/KaDateTime.h"

#include "base/KaExceptions.h"

#include <cmath>

namespace {

// Days from 1899-12-30 to 1970-01-01.
constexpr int64_t UnixEpochDays = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

} // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

static bool ValidDate(const TDateTimeParts& p) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (p.Year < 1 || p.Year > 9999 || p.Month < 1 || p.Month > 12 || p.Day < 1)
    return false;
  int limit = days[p.Month - 1] + (p.Month == 2 && IsLeapYear(p.Year) ? 1 : 0);
  return p.Day <= limit;
}

static bool ValidTime(const TDateTimeParts& p) {
  return p.Hour >= 0 && p.Hour < 24 && p.Minute >= 0 && p.Minute < 60 && p.Second >= 0 &&
         p.Second < 60 && p.MilliSecond >= 0 && p.MilliSecond < 1000;
}

static TDateTime Compose(const TDateTimeParts& p) {
  int64_t days = DaysFromCivil(p.Year, p.Month, p.Day) + UnixEpochDays;
  int64_t time = ((p.Hour * 60LL + p.Minute) * 60 + p.Second) * 1000 + p.MilliSecond;
  return TDateTime{days * TDateTime::MSecsPerDay + time};
}

bool TryEncodeDateTime(const TDateTimeParts& parts, TDateTime& result) {
  if (!ValidDate(parts) || !ValidTime(parts))
    return false;
  result = Compose(parts);
  return true;
}

TDateTime EncodeDateTime(const TDateTimeParts& parts) {
  if (!ValidDate(parts))
    throw EConvertError("Invalid argument to date encode");
  if (!ValidTime(parts))
    throw EConvertError("Invalid argument to time encode");
  return Compose(parts);
}

TDateTime EncodeDate(int year, int month, int day) {
  return EncodeDateTime(TDateTimeParts{year, month, day});
}

TDateTimeParts DecodeDateTime(TDateTime value) {
  TDateTimeParts p;
  int64_t days = FloorDiv(value.ms, TDateTime::MSecsPerDay);
  int64_t time = value.ms - days * TDateTime::MSecsPerDay;
  CivilFromDays(days - UnixEpochDays, p.Year, p.Month, p.Day);
  p.MilliSecond = static_cast<int>(time % 1000);
  time /= 1000;
  p.Second = static_cast<int>(time % 60);
  time /= 60;
  p.Minute = static_cast<int>(time % 60);
  p.Hour = static_cast<int>(time / 60);
  return p;
}

double TDateTime::ToDouble() const {
  int64_t days = FloorDiv(ms, MSecsPerDay);
  int64_t time = ms - days * MSecsPerDay;
  double fraction = static_cast<double>(time) / MSecsPerDay;
  if (days < 0)
    return static_cast<double>(days) - fraction;
  return static_cast<double>(days) + fraction;
}

TDateTime TDateTime::FromDouble(double value) {
  // The days of 0001-01-01 and of 9999-12-31, the platform's range of dates.
  // Outside it (NaN and infinities too) a double names no date, and it would
  // overflow the milliseconds.
  constexpr double FirstDay = -693593, LastDay = 2958465;
  if (!(value > FirstDay - 1 && value < LastDay + 1))
    throw EConvertError("Floating point value is not a valid date and time");
  double whole = std::trunc(value);
  int64_t time = std::llround(std::fabs(value - whole) * MSecsPerDay);
  int64_t days = static_cast<int64_t>(whole);
  return TDateTime{days * MSecsPerDay + time};
}

TDateTime UnixToDateTime(int64_t seconds, int milliseconds) {
  return TDateTime{(seconds + UnixEpochDays * 86400) * 1000 + milliseconds};
}

int64_t DateTimeToUnix(TDateTime value) { return FloorDiv(value.ms, 1000) - UnixEpochDays * 86400; }
