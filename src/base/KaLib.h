#pragma once

#include "base/KaDynLibs.h"

#include <string>

// A library loaded at run time, bound to the entry points a subclass needs.
class ILib {
public:
  virtual ~ILib() = default;
  virtual bool IsLoaded() const = 0;
  // Loads when not loaded yet; returns IsLoaded afterwards.
  virtual bool Load() = 0;
  virtual void Unload() = 0;
  // Why the last Load failed: "Unable to load "<file>".", a line break and
  // the system's reason; empty after a successful Load.
  virtual std::string GetLastErrorText() const = 0;
};

class TLib : public ILib {
public:
  explicit TLib(std::string fileName) : FFileName(std::move(fileName)) {}
  ~TLib() override;
  TLib(const TLib&) = delete;
  TLib& operator=(const TLib&) = delete;

  bool IsLoaded() const override { return FHandle.IsValid(); }
  bool Load() override;
  void Unload() override;
  std::string GetLastErrorText() const override { return FLastError; }

  const std::string& FileName() const { return FFileName; }

protected:
  // Called after every successful load and after every unload, so that the
  // bound addresses follow the module: none while it is not loaded.
  virtual void BindEntryPoints() {}
  // The address of name in the loaded module; nullptr when not loaded or absent.
  void* EntryPoint(const char* name) const;

private:
  std::string FFileName;
  TScopedDynLib FHandle;
  std::string FLastError;
};
