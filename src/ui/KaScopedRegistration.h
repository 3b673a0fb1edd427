#pragma once

#include <memory>
#include <utility>

// A listener's registration with one of the program's services (translator,
// theme manager, layout manager, progress tracker) that removes itself when
// it goes. A control holds one per service as a member, so it can never be
// told anything after it is gone:
//
//   class TMyControl : public TKaCustomControl, public ILayoutClient {
//     TScopedRegistration<ILayoutManager, ILayoutClient> FLayout{this, LayoutManager()};
//   };
//
// The service is kept alive while the registration lasts. Services name
// their operations AddListener/RemoveListener, AddClient/RemoveClient or
// AddObserver/RemoveObserver; any of the three pairs will do.
template <class Source, class Listener> class TScopedRegistration {
public:
  explicit TScopedRegistration(Listener* listener) : FListener(listener) {}
  TScopedRegistration(Listener* listener, std::shared_ptr<Source> source) : FListener(listener) {
    Register(std::move(source));
  }
  // A service that lives as long as the program (Work()).
  TScopedRegistration(Listener* listener, Source& source) : FListener(listener) {
    Register(source);
  }
  ~TScopedRegistration() { Reset(); }
  TScopedRegistration(const TScopedRegistration&) = delete;
  TScopedRegistration& operator=(const TScopedRegistration&) = delete;

  // Registers with `source`, first leaving the service it was registered with.
  void Register(std::shared_ptr<Source> source) {
    Source& s = *source;
    Register(s);
    FKeep = std::move(source);
  }
  void Register(Source& source) {
    Reset();
    Add(source, FListener);
    FSource = &source;
  }

  void Reset() {
    if (!FSource)
      return;
    Source* source = std::exchange(FSource, nullptr);
    Remove(*source, FListener);
    FKeep.reset();
  }

  bool IsRegistered() const { return FSource != nullptr; }

private:
  static void Add(Source& s, Listener* l) {
    if constexpr (requires { s.AddListener(l); })
      s.AddListener(l);
    else if constexpr (requires { s.AddClient(l); })
      s.AddClient(l);
    else
      s.AddObserver(l);
  }
  static void Remove(Source& s, Listener* l) {
    if constexpr (requires { s.RemoveListener(l); })
      s.RemoveListener(l);
    else if constexpr (requires { s.RemoveClient(l); })
      s.RemoveClient(l);
    else
      s.RemoveObserver(l);
  }

  Listener* FListener;
  Source* FSource = nullptr;
  std::shared_ptr<Source> FKeep;
};
