#include "base/KaHandle_posix.h"

void TSystemFileTraits::Close(intptr_t handle) noexcept {
  TFdTraits::Close(static_cast<int>(handle));
}
