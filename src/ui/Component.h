#pragma once

#include <functional>
#include <string>
#include <utility>

// The base of everything a form is made of, visible or not (controls,
// timers, dialogs): a name, no copies, and the shape of the events.
class TComponent {
public:
  TComponent() = default;
  virtual ~TComponent() = default;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return FName; }
  void SetName(std::string name) { FName = std::move(name); }

private:
  std::string FName;
};

// Events are plain callable members (`button.OnClick = [this](TComponent&) {...};`),
// told who sent them.
using TNotifyEvent = std::function<void(TComponent& sender)>;

// Calls an event if one is assigned. The handler runs from a copy, so it may
// assign the event anew (or clear it) while it runs.
template <class Event, class... Args> void Fire(const Event& event, Args&&... args) {
  if (!event)
    return;
  Event call = event;
  call(std::forward<Args>(args)...);
}
