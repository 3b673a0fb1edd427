#include "ui/VoProgressBar.h"

#include <algorithm>

namespace {

// numerator / denominator rounded to the nearest integer, halves to even;
// both are non-negative and the denominator is positive.
int64_t RoundHalfToEven(int64_t numerator, int64_t denominator) {
  const int64_t quotient = numerator / denominator;
  const int64_t twiceRest = 2 * (numerator % denominator);
  if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 != 0))
    return quotient + 1;
  return quotient;
}

} // namespace

int32_t TVoProgress::ClampedPosition() const {
  int32_t p = Position;
  if (p < Min)
    p = Min;
  if (p > Max)
    p = Max;
  return p;
}

int64_t TVoProgress::Scaled(int64_t scale) const {
  const int64_t span = int64_t{Max} - Min;
  if (span <= 0)
    return scale;
  const int64_t done = std::clamp<int64_t>(int64_t{ClampedPosition()} - Min, 0, span);
  return RoundHalfToEven(done * scale, span);
}

TRect TVoProgress::FillRect(TSize size) const {
  const int inner = std::max(size.Width - 4, 0);
  return {2, 2, static_cast<int>(Scaled(inner)) + 2, size.Height - 2};
}

std::u16string VoProgressText(int percent) {
  const std::string digits = std::to_string(percent);
  return std::u16string(digits.begin(), digits.end()) + u" %";
}
