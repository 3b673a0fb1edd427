#pragma once

#include <cstdint>
#include <cstdio>
#include <utility>

// One owner for every kind of system handle: a move-only wrapper over a traits
// class that says what an invalid handle is and how one is closed.
//
//   struct Traits {
//     using Handle = ...;
//     static Handle Invalid() noexcept;
//     static bool IsValid(Handle h) noexcept;  // optional: h != Invalid()
//     static void Close(Handle h) noexcept;     // never called with an invalid handle
//   };
//
// Copying is deleted, so a handle is closed exactly once: by the destructor or
// Reset of its one owner, or by whoever Take()s it.
template <class Traits> class TScopedHandle {
public:
  using Handle = typename Traits::Handle;

  TScopedHandle() noexcept : FHandle(Traits::Invalid()) {}
  explicit TScopedHandle(Handle handle) noexcept : FHandle(handle) {}
  TScopedHandle(TScopedHandle&& other) noexcept : FHandle(other.Take()) {}
  TScopedHandle& operator=(TScopedHandle&& other) noexcept {
    if (this != &other)
      Reset(other.Take());
    return *this;
  }
  TScopedHandle(const TScopedHandle&) = delete;
  TScopedHandle& operator=(const TScopedHandle&) = delete;
  ~TScopedHandle() { Reset(); }

  bool IsValid() const noexcept { return Valid(FHandle); }
  explicit operator bool() const noexcept { return IsValid(); }
  Handle Get() const noexcept { return FHandle; }

  // Gives up ownership: the caller closes what it receives.
  [[nodiscard]] Handle Take() noexcept { return std::exchange(FHandle, Traits::Invalid()); }
  [[nodiscard]] Handle Release() noexcept { return Take(); }

  // Closes the held handle (unless it is `handle` itself) and holds `handle`.
  void Reset(Handle handle = Traits::Invalid()) noexcept {
    Handle old = std::exchange(FHandle, handle);
    if (Valid(old) && !(old == handle))
      Traits::Close(old);
  }

private:
  static bool Valid(const Handle& h) noexcept {
    if constexpr (requires { Traits::IsValid(h); })
      return Traits::IsValid(h);
    else
      return !(h == Traits::Invalid());
  }

  Handle FHandle;
};

// A file of the platform where portable code owns one (a file stream): a
// Windows HANDLE or a POSIX descriptor held as an integer, -1 for none (the
// value of INVALID_HANDLE_VALUE too). Close is in each platform's twin.
struct TSystemFileTraits {
  using Handle = intptr_t;
  static intptr_t Invalid() noexcept { return -1; }
  static void Close(intptr_t handle) noexcept;
};
using TScopedSystemFile = TScopedHandle<TSystemFileTraits>;

// A C stream from fopen. A caller that must know whether buffered data
// reached the file flushes it before letting go.
struct TStdFileTraits {
  using Handle = std::FILE*;
  static std::FILE* Invalid() noexcept { return nullptr; }
  static void Close(std::FILE* file) noexcept { std::fclose(file); }
};
using TScopedStdFile = TScopedHandle<TStdFileTraits>;
