#include "ui/KaLayoutManager.h"

void TLayoutManager::ControlMoved(ILayoutControl* control) {
  FClients.ForEach([&](ILayoutClient& client) { client.Reposition(control); });
}

void TLayoutManager::EnabledChanged(ILayoutControl* control) {
  FClients.ForEach([&](ILayoutClient& client) { client.FollowEnabled(control); });
}

void TLayoutManager::ControlDestroyed(ILayoutControl* control) {
  FClients.ForEach([&](ILayoutClient& client) { client.ControlDestroyed(control); });
}

ILayoutManagerPtr LayoutManager() {
  static const ILayoutManagerPtr single = std::make_shared<TLayoutManager>();
  return single;
}
