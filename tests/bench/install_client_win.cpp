#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

double PeakMemoryMB() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
    return -1;
  // The peak working set: Wine's peak of committed memory follows the
  // current value down again, its working set peak does not.
  return static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20);
}
