#pragma once

// Form placement (Windows only): puts its form in the middle of the primary
// monitor's work area. Its owner is a form by type, so it cannot be made
// for anything else.

#include "ui/Component.h"

#include <string>
#include <string_view>

class TForm;

class TKaFormStorage : public TComponent {
public:
  explicit TKaFormStorage(TForm& owner) : FForm(owner) {}

  // A storage place for form positions, kept but never read or written. A
  // path is stored with a trailing "\" unless it is empty.
  const std::string& Path() const { return FPath; }
  void SetPath(std::string_view path);
  const std::string& SubPath() const { return FSubPath; }
  void SetSubPath(std::string_view path) { FSubPath = path; }

  // Centres the form in the primary monitor's work area, shrunk to it when
  // larger. Without a primary monitor nothing happens.
  void CenterOnPrimaryMonitor();

private:
  TForm& FForm;
  std::string FPath;
  std::string FSubPath;
};
