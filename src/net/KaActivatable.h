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

// The Active state over any interface derived from IActivatable (the
// connection's interface extends it). The owner of Activate and Deactivate,
// the most derived class, deactivates itself in its own destructor: by the
// time this base is destroyed its Deactivate is gone.
template <class TInterface = IActivatable> class TActivatable : public TInterface {
public:
  bool GetActive() const override { return FActive; }
  void SetActive(bool value) override {
    if (value == FActive)
      return;
    if (value)
      Activate();
    else
      Deactivate();
    FActive = value;
  }

protected:
  virtual void Activate() = 0;
  virtual void Deactivate() = 0;

private:
  bool FActive = false;
};
