#include "setup/ShellLinks.h"

#include "base/KaStrings.h"
#include "base/KaText.h"

#include <objbase.h>
#include <shobjidl.h>
#include <windows.h>

namespace {

// The identifiers of the Shell Link object and the two interfaces it is used
// through, written out so nothing else has to supply them.
constexpr CLSID ShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID ShellLinkAInterface = {0x000214EE, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID PersistFileInterface = {0x0000010B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

template <class T> void ReleaseInterface(T*& p) {
  if (p)
    p->Release();
  p = nullptr;
}

std::wstring WidePath(const std::string& fileName) {
  std::u16string wide = ToWide(fileName);
  return std::wstring(wide.begin(), wide.end());
}

// A text the link hands out through a buffer of MAX_PATH characters.
template <class Getter> std::string Text(Getter get) {
  char buffer[MAX_PATH + 1] = {};
  if (FAILED(get(buffer, MAX_PATH)))
    return std::string();
  return buffer;
}

} // namespace

std::string GetTempFolder() {
  char buffer[260];
  DWORD n = GetTempPathA(sizeof buffer, buffer);
  // 0 is a failure, a value past the buffer the size a longer path would need.
  std::string folder(buffer, n > 0 && n < sizeof buffer ? n : 0);
  return AddBackslash(folder);
}

struct TShellLink::TImpl {
  bool ComInitialised = false;
  IShellLinkA* Link = nullptr;
  IPersistFile* File = nullptr;

  ~TImpl() {
    ReleaseInterface(File);
    ReleaseInterface(Link);
    if (ComInitialised)
      CoUninitialize();
  }
};

TShellLink::TShellLink() : FImpl(std::make_unique<TImpl>()) {
  // A thread of the GUI has COM already; the call then only counts once more.
  HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  FImpl->ComInitialised = SUCCEEDED(init);
  HRESULT hr = CoCreateInstance(ShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, ShellLinkAInterface,
                                reinterpret_cast<void**>(&FImpl->Link));
  if (SUCCEEDED(hr))
    hr = FImpl->Link->QueryInterface(PersistFileInterface, reinterpret_cast<void**>(&FImpl->File));
  if (FAILED(hr)) {
    char code[16];
    wsprintfA(code, "%08lX", static_cast<unsigned long>(hr));
    throw EShellLink(std::string("Unable to create the Shell Link object! Code 0x") + code + ".");
  }
}

TShellLink::~TShellLink() = default;

void TShellLink::SetArguments(const std::string& value) {
  FImpl->Link->SetArguments(value.c_str());
}
void TShellLink::SetPath(const std::string& value) { FImpl->Link->SetPath(value.c_str()); }
void TShellLink::SetWorkingDirectory(const std::string& value) {
  FImpl->Link->SetWorkingDirectory(value.c_str());
}
void TShellLink::SetDescription(const std::string& value) {
  FImpl->Link->SetDescription(value.c_str());
}
void TShellLink::SetIconLocation(const std::string& path, int index) {
  FImpl->Link->SetIconLocation(path.c_str(), index);
}

bool TShellLink::Save(const std::string& fileName) {
  return SUCCEEDED(FImpl->File->Save(WidePath(fileName).c_str(), FALSE));
}

bool TShellLink::Load(const std::string& fileName) {
  return SUCCEEDED(FImpl->File->Load(WidePath(fileName).c_str(), STGM_READ));
}

std::string TShellLink::GetArguments() const {
  return Text([this](char* b, int n) { return FImpl->Link->GetArguments(b, n); });
}
std::string TShellLink::GetPath() const {
  return Text([this](char* b, int n) { return FImpl->Link->GetPath(b, n, nullptr, SLGP_RAWPATH); });
}
std::string TShellLink::GetWorkingDirectory() const {
  return Text([this](char* b, int n) { return FImpl->Link->GetWorkingDirectory(b, n); });
}
std::string TShellLink::GetDescription() const {
  return Text([this](char* b, int n) { return FImpl->Link->GetDescription(b, n); });
}
std::string TShellLink::GetIconLocation(int& index) const {
  index = 0;
  return Text(
      [this, &index](char* b, int n) { return FImpl->Link->GetIconLocation(b, n, &index); });
}
