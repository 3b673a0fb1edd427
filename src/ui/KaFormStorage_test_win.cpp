#include "ui/KaFormStorage_win.h"

#include "ui/Form_win.h"

#include <gtest/gtest.h>

namespace {

TRect WorkArea() {
  RECT r;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return {r.left, r.top, r.right, r.bottom};
}

} // namespace

TEST(FormStorage, CentresTheFormInThePrimaryWorkArea) {
  TForm form;
  form.SetBounds(3, 4, 499, 360);
  TKaFormStorage storage(form);
  storage.CenterOnPrimaryMonitor();
  TRect a = WorkArea();
  EXPECT_EQ(form.BoundsRect(),
            Bounds(a.Left + (a.Width() - 499) / 2, a.Top + (a.Height() - 360) / 2, 499, 360));
  // The window, made now, is where the form says.
  RECT w;
  GetWindowRect(form.Handle(), &w);
  EXPECT_EQ(w.left, form.Left());
  EXPECT_EQ(w.top, form.Top());
}

TEST(FormStorage, AFormLargerThanTheWorkAreaIsShrunkToIt) {
  TForm form;
  form.SetBorderStyle(bsNone);
  form.HandleNeeded();
  form.SetBounds(0, 0, 5000, 4000);
  TKaFormStorage storage(form);
  storage.CenterOnPrimaryMonitor();
  EXPECT_EQ(form.BoundsRect(), WorkArea());
}

TEST(FormStorage, KeepsAPathWithATrailingBackslash) {
  TForm form;
  TKaFormStorage storage(form);
  storage.SetPath("Software\\Brellik");
  EXPECT_EQ(storage.Path(), "Software\\Brellik\\");
  storage.SetPath("Software\\");
  EXPECT_EQ(storage.Path(), "Software\\");
  storage.SetPath("");
  EXPECT_EQ(storage.Path(), "");
  storage.SetSubPath("Main");
  EXPECT_EQ(storage.SubPath(), "Main");
}
