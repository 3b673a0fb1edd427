#include "ui/KaDpi.h"

#include <cstdint>

namespace {

int Dpi = LogicalDpi;

int Scale(int value, int numerator, int denominator) {
  int64_t product = static_cast<int64_t>(value) * numerator;
  int64_t half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

} // namespace

int DeviceDpi() { return Dpi; }
void SetDeviceDpi(int dpi) { Dpi = dpi > 0 ? dpi : LogicalDpi; }

int ToDevice(int logical) { return Scale(logical, Dpi, LogicalDpi); }
int ToLogical(int device) { return Scale(device, LogicalDpi, Dpi); }

TRect ToDevice(const TRect& r) {
  return {ToDevice(r.Left), ToDevice(r.Top), ToDevice(r.Right), ToDevice(r.Bottom)};
}

TRect ToLogical(const TRect& r) {
  return {ToLogical(r.Left), ToLogical(r.Top), ToLogical(r.Right), ToLogical(r.Bottom)};
}
