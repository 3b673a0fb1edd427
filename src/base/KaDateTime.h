#pragma once

#include <cstdint>
#include <string>

// A date-time as exact integer milliseconds since 1899-12-30 00:00 (the epoch of
// the platform's floating-point date). Whole milliseconds keep equal file times
// equal; the double form exists only where a wire or response field needs it.
struct TDateTime {
  int64_t ms = 0;

  static constexpr int64_t MSecsPerDay = 86400000;

  constexpr bool IsZero() const { return ms == 0; }
  friend constexpr bool operator==(TDateTime, TDateTime) = default;
  friend constexpr auto operator<=>(TDateTime, TDateTime) = default;

  // The double form: days since the epoch with the time of day as fraction.
  // Before the epoch the fraction counts forward from the (negative) day, as
  // the platform's date type does: -1.25 is 1899-12-29 06:00.
  double ToDouble() const;
  // Raises EConvertError for a value outside 0001-01-01 to 9999-12-31
  // (NaN and infinities included).
  static TDateTime FromDouble(double value);
};

struct TDateTimeParts {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
};

bool IsLeapYear(int year);
bool TryEncodeDateTime(const TDateTimeParts& parts, TDateTime& result);
// Raises EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDateTime(const TDateTimeParts& parts);
TDateTime EncodeDate(int year, int month, int day);
TDateTimeParts DecodeDateTime(TDateTime value);

// Seconds since 1970-01-01 (in whatever zone the caller means) to date-time and back.
TDateTime UnixToDateTime(int64_t seconds, int milliseconds = 0);
int64_t DateTimeToUnix(TDateTime value);

// The current local wall-clock time.
TDateTime Now();
// Local wall-clock time of a UTC instant, and back, by the system's time zone rules.
TDateTime UTCToLocal(TDateTime utc);
TDateTime LocalToUTC(TDateTime local);
