#include "base/KaExceptions.h"

#include <cerrno>
#include <cstring>

std::string SysErrorMessage(unsigned long code) { return std::strerror(static_cast<int>(code)); }

unsigned long GetLastOSError() { return static_cast<unsigned long>(errno); }
