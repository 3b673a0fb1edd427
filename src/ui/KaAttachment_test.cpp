#include "ui/KaAttachment.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

class FakeControl : public ILayoutControl {
public:
  explicit FakeControl(TRect bounds, bool enabled = true) : Bounds(bounds), On(enabled) {}
  TRect BoundsRect() const override { return Bounds; }
  bool Enabled() const override { return On; }
  TRect Bounds;
  bool On;
};

// A client as the label and the button are: it follows through its
// attachment and logs what it did.
class FakeClient : public ILayoutClient {
public:
  FakeClient(TAttachedKind kind, TRect bounds) : Attachment(kind), Bounds(bounds) {}
  void Reposition(ILayoutControl* moved) override {
    Calls.push_back("reposition");
    if (!Attachment.IsAttachedTo(moved))
      return;
    if (auto p = Attachment.Origin(Bounds.Size()))
      Bounds = ::Bounds(p->X, p->Y, Bounds.Width(), Bounds.Height());
    if (Attachment.FollowsEnabledOnReposition())
      Enabled = moved->Enabled();
  }
  void FollowEnabled(ILayoutControl* changed) override {
    Calls.push_back("enabled");
    if (Attachment.IsAttachedTo(changed))
      Enabled = changed->Enabled();
  }
  void ControlDestroyed(ILayoutControl* control) override {
    Calls.push_back("destroyed");
    Attachment.ControlDestroyed(control);
  }
  TAttachment Attachment;
  TRect Bounds;
  bool Enabled = true;
  std::vector<std::string> Calls;
};

} // namespace

TEST(AttachedOrigin, LabelAboveAnEdit) {
  // A 13 pixel high label attached on top of an edit at (144, 200).
  EXPECT_EQ(AttachedOrigin(TAttachedKind::Label, lpTop, Bounds(144, 200, 334, 21), {60, 13}, 0, 0),
            (TPoint{144, 183}));
}

TEST(AttachedOrigin, LabelsKeepFourPixelsButtonsTouch) {
  const TRect b = Bounds(100, 50, 80, 21); // right edge 180
  const TSize own{30, 13};
  EXPECT_EQ(AttachedOrigin(TAttachedKind::Label, lpLeft, b, own, 0, 0), (TPoint{66, 54}));
  EXPECT_EQ(AttachedOrigin(TAttachedKind::Label, lpRight, b, own, 0, 0), (TPoint{184, 54}));
  EXPECT_EQ(AttachedOrigin(TAttachedKind::Button, lpLeft, b, own, 0, 0), (TPoint{70, 50}));
  EXPECT_EQ(AttachedOrigin(TAttachedKind::Button, lpTop, b, own, 0, 0), (TPoint{100, 37}));
  EXPECT_EQ(AttachedOrigin(TAttachedKind::Button, lpRight, b, own, 0, 0), (TPoint{180, 50}));
  EXPECT_EQ(AttachedOrigin(TAttachedKind::Button, lpRight, b, own, -3, 7), (TPoint{177, 57}));
}

TEST(Attachment, SettersReportChangesOnly) {
  FakeControl edit(Bounds(144, 200, 334, 21));
  TAttachment a(TAttachedKind::Label);
  EXPECT_FALSE(a.Origin({10, 10}));
  EXPECT_TRUE(a.SetAttachedTo(&edit));
  EXPECT_FALSE(a.SetAttachedTo(&edit));
  EXPECT_FALSE(a.SetPosition(lpLeft)); // the default
  EXPECT_TRUE(a.SetPosition(lpTop));
  EXPECT_TRUE(a.SetOffsetX(2));
  EXPECT_FALSE(a.SetOffsetX(2));
  EXPECT_TRUE(a.SetOffsetY(-1));
  EXPECT_EQ(a.Origin({60, 13}), (TPoint{146, 182}));
  EXPECT_TRUE(a.SetAttachedTo(nullptr));
  EXPECT_FALSE(a.Origin({60, 13}));
}

TEST(LayoutManager, ClientsFollowOnlyTheirOwnControl) {
  TLayoutManager manager;
  FakeControl edit(Bounds(144, 240, 334, 21)), other(Bounds(0, 0, 10, 10));
  FakeClient label(TAttachedKind::Label, Bounds(0, 0, 70, 13));
  FakeClient button(TAttachedKind::Button, Bounds(0, 0, 94, 20));
  EXPECT_EQ(manager.AddClient(&label), 0);
  EXPECT_EQ(manager.AddClient(&button), 1);
  label.Attachment.SetAttachedTo(&edit);
  button.Attachment.SetAttachedTo(&edit);
  button.Attachment.SetPosition(lpRight);

  manager.ControlMoved(&other);
  EXPECT_EQ(label.Bounds, Bounds(0, 0, 70, 13));

  edit.Bounds = Bounds(150, 250, 300, 21);
  edit.On = false;
  manager.ControlMoved(&edit);
  EXPECT_EQ(label.Bounds, Bounds(76, 254, 70, 13)); // lpLeft: 150 - 70 - 4
  EXPECT_EQ(button.Bounds, Bounds(450, 250, 94, 20));
  // A button takes the enabled state over when it moves, a label does not.
  EXPECT_FALSE(button.Enabled);
  EXPECT_TRUE(label.Enabled);

  manager.EnabledChanged(&edit);
  EXPECT_FALSE(label.Enabled);
  edit.On = true;
  manager.EnabledChanged(&edit);
  EXPECT_TRUE(label.Enabled);
  EXPECT_TRUE(button.Enabled);
  EXPECT_EQ(label.Calls,
            (std::vector<std::string>{"reposition", "reposition", "enabled", "enabled"}));

  EXPECT_EQ(manager.RemoveClient(&label), 0);
  EXPECT_EQ(manager.RemoveClient(&label), -1);
  manager.ControlMoved(&edit);
  EXPECT_EQ(label.Calls.size(), 4u);
}

TEST(LayoutManager, ADestroyedControlIsLetGoAndTheClientStays) {
  TLayoutManager manager;
  FakeControl edit(Bounds(144, 200, 334, 21));
  FakeClient label(TAttachedKind::Label, Bounds(0, 0, 60, 13));
  manager.AddClient(&label);
  label.Attachment.SetAttachedTo(&edit);
  label.Attachment.SetPosition(lpTop);
  manager.ControlMoved(&edit);
  EXPECT_EQ(label.Bounds.TopLeft(), (TPoint{144, 183}));

  manager.ControlDestroyed(&edit);
  EXPECT_EQ(label.Attachment.AttachedTo(), nullptr);
  EXPECT_EQ(label.Bounds.TopLeft(), (TPoint{144, 183}));
}

TEST(LayoutManager, ARaisingClientEndsTheRound) {
  class Raising : public FakeClient {
  public:
    using FakeClient::FakeClient;
    void Reposition(ILayoutControl*) override { throw std::runtime_error("no"); }
  };
  TLayoutManager manager;
  FakeControl edit(Bounds(0, 0, 10, 10));
  Raising first(TAttachedKind::Label, {});
  FakeClient second(TAttachedKind::Label, {});
  manager.AddClient(&first);
  manager.AddClient(&second);
  EXPECT_THROW(manager.ControlMoved(&edit), std::runtime_error);
  EXPECT_TRUE(second.Calls.empty());
}

TEST(LayoutManager, OneForTheProcess) { EXPECT_EQ(LayoutManager(), LayoutManager()); }
