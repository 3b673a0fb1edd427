#include <sys/resource.h>

double PeakMemoryMB() {
  struct rusage usage {};
  if (getrusage(RUSAGE_SELF, &usage) != 0)
    return -1;
  return static_cast<double>(usage.ru_maxrss) / 1024; // kilobytes on Linux
}
