#pragma once

// The controls that labels and buttons attach to (edits, combo boxes, check
// boxes, radio buttons, panels) tell the layout manager whenever their bounds
// change, and most of them also when their enabled state does, so that what
// is attached follows (see ui/KaAttachment.h). Windows only.
//
//   class TVoCustomEdit : public TVoLayoutReported<TCustomEdit> { ... };
//   class TVoCustomPanel : public TVoLayoutReported<TCustomControl, false> { ... };
//
// A descendant that overrides BoundsChanged or EnabledChanged calls this
// version, which reports after the base has applied the change.

#include "ui/KaLayoutManager.h"
#include "ui/WinControl_win.h"

template <class Base, bool ReportsEnabled = true> class TVoLayoutReported : public Base {
public:
  using Base::Base;

protected:
  void BoundsChanged(const TRect& old) override {
    Base::BoundsChanged(old);
    LayoutManager()->ControlMoved(this);
  }
  void EnabledChanged() override {
    Base::EnabledChanged();
    if constexpr (ReportsEnabled)
      LayoutManager()->EnabledChanged(this);
  }
};
