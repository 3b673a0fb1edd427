#pragma once

// An object with an Active state whose changes run Activate / Deactivate;
// the state changes only after they return, so a failing Activate leaves it
// inactive.
class IActivatable {
public:
  virtual ~IActivatable() = default;
  virtual bool GetActive() const = 0;
  virtual void SetActive(bool value) = 0;
};
