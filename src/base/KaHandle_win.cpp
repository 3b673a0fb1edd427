#include "base/KaHandle_win.h"

void TSystemFileTraits::Close(intptr_t handle) noexcept {
  TKernelHandleTraits::Close(reinterpret_cast<HANDLE>(handle));
}
