#include "ui/KaFormStorage_win.h"

#include "base/KaStrings.h"
#include "ui/Form_win.h"
#include "ui/KaDpi.h"
#include "ui/KaPlacement.h"

#include <optional>

namespace {

BOOL CALLBACK FindPrimary(HMONITOR monitor, HDC, LPRECT, LPARAM data) noexcept {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY)) {
    const RECT& r = info.rcWork;
    *reinterpret_cast<std::optional<TRect>*>(data) = TRect{r.left, r.top, r.right, r.bottom};
    return FALSE;
  }
  return TRUE;
}

std::optional<TRect> PrimaryWorkArea() {
  std::optional<TRect> area;
  EnumDisplayMonitors(nullptr, nullptr, FindPrimary, reinterpret_cast<LPARAM>(&area));
  return area;
}

} // namespace

void TKaFormStorage::SetPath(std::string_view path) { FPath = AddBackslash(path); }

void TKaFormStorage::CenterOnPrimaryMonitor() {
  std::optional<TRect> area = PrimaryWorkArea();
  if (!area)
    return;
  FForm.SetBoundsRect(CenteredInWorkArea(ToLogical(*area), {FForm.Width(), FForm.Height()}));
}
