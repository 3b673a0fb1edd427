#pragma once

#include "base/KaListenerList.h"
#include "ui/KaGeometry.h"

#include <cstdint>
#include <memory>

// The layout manager: controls that others attach to (edits, combo boxes,
// check boxes, radio buttons, panels) report here when their bounds or their
// enabled state change, and every registered client (labels, buttons) hears
// of it and follows the control it is attached to (see ui/KaAttachment.h).

// What the layout reads of a control. The window framework's TControl
// implements it; the layout itself is portable.
class ILayoutControl {
public:
  virtual TRect BoundsRect() const = 0;
  virtual bool Enabled() const = 0;

protected:
  ~ILayoutControl() = default;
};

class ILayoutClient {
public:
  virtual ~ILayoutClient() = default;
  virtual void Reposition(ILayoutControl* moved) = 0;
  virtual void FollowEnabled(ILayoutControl* changed) = 0;
  // The control is about to go: a client attached to it lets go of it.
  virtual void ControlDestroyed(ILayoutControl* control) = 0;
};

class ILayoutManager {
public:
  virtual ~ILayoutManager() = default;
  // Clients are not owned: each removes itself before it goes.
  virtual int32_t AddClient(ILayoutClient* client) = 0;
  // The index the client had, -1 if it was not registered.
  virtual int32_t RemoveClient(ILayoutClient* client) = 0;
  // Each of these tells every client in registration order; a client that
  // raises ends the round and the exception reaches the caller.
  virtual void ControlMoved(ILayoutControl* control) = 0;
  virtual void EnabledChanged(ILayoutControl* control) = 0;
  // Called by every control of the framework as it is destroyed.
  virtual void ControlDestroyed(ILayoutControl* control) = 0;
};

using ILayoutManagerPtr = std::shared_ptr<ILayoutManager>;

class TLayoutManager : public ILayoutManager {
public:
  int32_t AddClient(ILayoutClient* client) override { return FClients.Add(client); }
  int32_t RemoveClient(ILayoutClient* client) override { return FClients.Remove(client); }
  void ControlMoved(ILayoutControl* control) override;
  void EnabledChanged(ILayoutControl* control) override;
  void ControlDestroyed(ILayoutControl* control) override;

private:
  TListenerList<ILayoutClient> FClients;
};

// The single layout manager, created on first use.
ILayoutManagerPtr LayoutManager();
