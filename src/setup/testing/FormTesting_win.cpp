#include "setup/testing/FormTesting_win.h"

#include "base/KaStreams.h"
#include "ui/Bitmap_win.h"
#include "ui/testing/KaPngWriter.h"
#include "ui/testing/KaUiTesting_win.h"

namespace {

BOOL CALLBACK FindModal(HWND window, LPARAM param) {
  auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(window));
  if (form && form->Modal() && IsWindowVisible(window)) {
    *reinterpret_cast<TForm**>(param) = form;
    return FALSE;
  }
  return TRUE;
}

TForm* ModalForm() {
  TForm* found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindModal, reinterpret_cast<LPARAM>(&found));
  return found;
}

} // namespace

TOnModal::TOnModal(std::function<void(TForm&)> act) : FAct(std::move(act)) {
  FTimer.SetInterval(30);
  FTimer.OnTimer = [this](TComponent&) {
    TForm* form = ModalForm();
    if (!form)
      return;
    FTimer.SetEnabled(false);
    FDone = true;
    PumpMessages(); // painted, as a person sees it
    FAct(*form);
  };
}

void SaveScreenshot(TForm& form, const std::string& fileName) {
  form.Update();
  PumpMessages();
  RECT r;
  GetWindowRect(form.Handle(), &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  TBitmap shot(width, height);
  HDC screen = GetDC(nullptr);
  BitBlt(shot.DC(), 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  std::vector<uint32_t> pixels(shot.Bits(), shot.Bits() + width * height);
  for (uint32_t& p : pixels)
    p |= 0xFF000000u;
  std::vector<uint8_t> png = EncodePng(width, height, pixels);
  TFileStream file(fileName, fmCreate);
  file.WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
}
