#pragma once

#include "ui/KaLayoutManager.h"
#include "ui/KaScopedRegistration.h"

#include <string>
#include <vector>

// A layout client that notes what the layout manager tells it, while it
// lives: which control moved or changed its enabled state, and the control's
// bounds and state at that moment.
class TLayoutRecorder : public ILayoutClient {
public:
  struct TCall {
    std::string What; // "moved", "enabled", "destroyed"
    const ILayoutControl* Control;
    TRect Bounds;
    bool Enabled;
  };

  void Reposition(ILayoutControl* moved) override { Note("moved", moved); }
  void FollowEnabled(ILayoutControl* changed) override { Note("enabled", changed); }
  void ControlDestroyed(ILayoutControl* control) override {
    Calls.push_back({"destroyed", control, {}, false});
  }

  // How often `what` was told about `control`.
  int Count(const std::string& what, const ILayoutControl* control) const {
    int n = 0;
    for (const TCall& c : Calls)
      n += c.What == what && c.Control == control;
    return n;
  }

  std::vector<TCall> Calls;

private:
  void Note(const char* what, ILayoutControl* c) {
    Calls.push_back({what, c, c->BoundsRect(), c->Enabled()});
  }

  TScopedRegistration<ILayoutManager, ILayoutClient> FRegistration{this, LayoutManager()};
};
