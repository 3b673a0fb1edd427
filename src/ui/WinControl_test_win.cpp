#include "ui/WinControl_win.h"

#include "ui/CustomControl_win.h"
#include "ui/CustomEdit_win.h"
#include "ui/CustomLabel_win.h"
#include "ui/testing/KaTestButton_win.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class Panel : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int Paints = 0;

protected:
  void Paint(HDC) override { ++Paints; }
};

// A graphic control that fills itself in one colour.
class Block : public TGraphicControl {
public:
  Block(TWinControl* parent, TColor color) : TGraphicControl(parent), Fill(color) {}
  TColor Fill;

protected:
  void Paint(HDC dc) override {
    RECT r{0, 0, Width(), Height()};
    HBRUSH b = CreateSolidBrush(Fill);
    FillRect(dc, &r, b);
    DeleteObject(b);
  }
};

} // namespace

TEST(WinControl, NotificationsToTheParentReachTheChildsObject) {
  TTestForm form;
  TCustomEdit edit(&form);
  int changes = 0;
  edit.OnChange = [&](TComponent&) { ++changes; };
  form.HandleNeeded();  // and the edit's, made after the form's
  edit.SetText(u"abc"); // EN_CHANGE goes to the form's window first
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(edit.Text(), u"abc");
  // The control colour request is answered in the edit's colour.
  HDC dc = GetDC(edit.Handle());
  LRESULT brush = SendMessageW(form.Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(edit.Handle()));
  EXPECT_NE(brush, 0);
  EXPECT_EQ(GetBkColor(dc), 0xFFFFFFu);
  ReleaseDC(edit.Handle(), dc);
}

TEST(WinControl, TheObjectIsForgottenWithItsWindowAndMakesANewOne) {
  TTestForm form;
  TCustomEdit edit(&form);
  edit.SetText(u"kept");
  HWND first = edit.Handle();
  EXPECT_EQ(TWinControl::FromHandle(first), &edit);
  form.DestroyHandle(); // the children's windows go with the form's
  EXPECT_FALSE(edit.HandleAllocated());
  EXPECT_FALSE(IsWindow(first));
  HWND second = edit.Handle(); // made anew, with the form's
  EXPECT_TRUE(IsWindow(second));
  EXPECT_TRUE(form.HandleAllocated());
  EXPECT_EQ(TWinControl::FromHandle(second), &edit);
}

TEST(WinControl, AParentThatGoesFirstLeavesItsChildrenWithoutOne) {
  TTestForm form;
  auto panel = std::make_unique<Panel>(&form);
  TCustomEdit edit(panel.get());
  TCustomLabel label(panel.get());
  HWND window = edit.Handle();
  panel.reset();
  EXPECT_EQ(edit.Parent(), nullptr);
  EXPECT_EQ(label.Parent(), nullptr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(edit.HandleAllocated());
}

TEST(WinControl, AnotherParentTakesTheWindowAlong) {
  TTestForm form;
  Panel left(&form), right(&form);
  left.SetBounds(0, 0, 100, 100);
  right.SetBounds(100, 0, 100, 100);
  TCustomEdit edit(&left);
  edit.SetBounds(10, 10, 50, 21);
  form.HandleNeeded();
  HWND window = edit.Handle();
  edit.SetParent(&right);
  EXPECT_EQ(edit.Handle(), window);
  EXPECT_EQ(GetParent(window), right.Handle());
  EXPECT_EQ(left.Controls().size(), 0u);
  EXPECT_EQ(right.Controls().size(), 1u);
  edit.SetParent(nullptr);
  EXPECT_FALSE(edit.HandleAllocated());
  EXPECT_FALSE(IsWindow(window));
}

TEST(WinControl, AlignedChildrenFillTheirPartAndAnchoredOnesFollowTheEdges) {
  TTestForm form(300, 200);
  Panel bottom(&form), client(&form);
  bottom.SetHeight(40);
  bottom.SetAlign(alBottom);
  client.SetAlign(alClient);
  TTestButton right(&form, u"R");
  right.SetBounds(200, 10, 80, 20);
  right.SetAnchors(akTop | akRight);
  EXPECT_EQ(bottom.BoundsRect(), Bounds(0, 160, 300, 40));
  EXPECT_EQ(client.BoundsRect(), Bounds(0, 0, 300, 160));

  form.SetClientSize(400, 300);
  EXPECT_EQ(bottom.BoundsRect(), Bounds(0, 260, 400, 40));
  EXPECT_EQ(client.BoundsRect(), Bounds(0, 0, 400, 260));
  EXPECT_EQ(right.BoundsRect(), Bounds(300, 10, 80, 20));

  bottom.Hide(); // takes no room while hidden
  EXPECT_EQ(client.BoundsRect(), Bounds(0, 0, 400, 300));
}

TEST(WinControl, GraphicChildrenArePaintedInZOrderOverTheBackground) {
  TTestForm form(100, 60);
  Panel page(&form);
  page.SetBounds(0, 0, 100, 60);
  page.SetColor(0xFF0000);
  Block lower(&page, 0x00FF00), upper(&page, 0x0000FF);
  lower.SetBounds(10, 10, 40, 30);
  upper.SetBounds(30, 20, 40, 30);
  upper.SetVisible(true);
  TBitmap b = RenderControl(page);
  EXPECT_EQ(b.Pixel(5, 5), 0xFF0000u);
  EXPECT_EQ(b.Pixel(15, 15), 0x00FF00u);
  EXPECT_EQ(b.Pixel(35, 25), 0x0000FFu); // where both are, the later one
  EXPECT_EQ(b.Pixel(65, 45), 0x0000FFu);
  upper.Hide();
  EXPECT_EQ(RenderControl(page).Pixel(35, 25), 0x00FF00u);
}

TEST(WinControl, AClearBackgroundIsWhatTheParentPaintsBeneath) {
  TTestForm form(100, 60);
  Panel page(&form);
  page.SetBounds(0, 0, 100, 60);
  page.SetColor(0xFF0000);
  Block stripe(&page, 0x00FF00);
  stripe.SetBounds(0, 20, 100, 10);
  Panel clear(&page);
  clear.SetBounds(10, 15, 50, 30);
  clear.SetColor(0x808080);
  EXPECT_EQ(RenderControl(clear).Pixel(5, 2), 0x808080u);
  clear.SetParentBackground(true);
  TBitmap b = RenderControl(clear);
  EXPECT_EQ(b.Pixel(5, 2), 0xFF0000u);  // page at (15, 17)
  EXPECT_EQ(b.Pixel(5, 10), 0x00FF00u); // the stripe at (15, 25)
  EXPECT_EQ(b.Pixel(49, 29), 0xFF0000u);
}

TEST(WinControl, TheWindowPaintsFromItsBackBuffer) {
  TTestForm form(100, 60);
  Panel panel(&form);
  panel.SetBounds(0, 0, 50, 30);
  form.HandleNeeded();
  PumpMessages();
  int before = panel.Paints;
  panel.Invalidate();
  panel.Update();
  EXPECT_EQ(panel.Paints, before + 1);
  // Resizing alone paints nothing until the system asks.
  panel.SetWidth(60);
  EXPECT_EQ(panel.Paints, before + 1);
  panel.Update();
  EXPECT_EQ(panel.Paints, before + 2);
}

TEST(WinControl, GraphicChildrenGetTheMouseAndTheClick) {
  TTestForm form(200, 100);
  TCustomLabel label(&form);
  label.SetCaption(u"Internet Settings...");
  label.SetBounds(20, 20, label.Width(), label.Height());
  int clicks = 0, formClicks = 0, entered = 0;
  label.OnClick = [&](TComponent&) { ++clicks; };
  label.OnMouseEnter = [&](TComponent&) { ++entered; };
  form.OnClick = [&](TComponent&) { ++formClicks; };
  form.HandleNeeded();
  Click(label);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(formClicks, 0);
  ClickAt(form, 150, 80);
  EXPECT_EQ(formClicks, 1);
  // A disabled label lets the click through to what lies beneath.
  label.SetEnabled(false);
  Click(label);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(formClicks, 2);
}

TEST(WinControl, APaintThatRaisesIsShownOnceAndNotAskedForAgain) {
  class Broken : public TCustomControl {
  public:
    using TCustomControl::TCustomControl;

  protected:
    void Paint(HDC) override { throw Exception("cannot paint"); }
  };
  TErrorDisplayWatch display;
  TTestForm form(100, 60);
  Broken broken(&form);
  broken.SetBounds(0, 0, 20, 20);
  form.HandleNeeded();
  PumpMessages();
  PumpMessages();
  EXPECT_EQ(display.Messages(), (std::vector<std::string>{"cannot paint"}));
}
