#include "base/KaExceptions.h"

void RaiseLastOSError(unsigned long code) {
  throw EOSError("System Error.  Code: " + std::to_string(code) + ".\n" + SysErrorMessage(code));
}
