#include "base/KaRegistry.h"

#include "base/KaExceptions.h"
#include "base/KaStrings.h"

#include <map>
#include <mutex>
#include <variant>

namespace {

struct TValue {
  std::string Name;
  std::variant<std::string, uint32_t> Data;
};

// Keys by root and lower-cased path; values by lower-cased name, as the
// registry ignores letter case in both.
using TKey = std::map<std::string, TValue>;
std::mutex Lock;
std::map<std::string, TKey>& Keys() {
  static std::map<std::string, TKey> keys;
  return keys;
}

std::string Path(TRootKey root, const std::string& key) {
  std::string k = LowerCase(key);
  while (!k.empty() && k.front() == '\\')
    k.erase(k.begin());
  while (!k.empty() && k.back() == '\\')
    k.pop_back();
  return (root == TRootKey::rkLocalMachine ? "hklm\\" : "hkcu\\") + k;
}

} // namespace

struct TRegistry::TImpl {
  std::string Current;
  bool Open = false;
};

TRegistry::TRegistry(TRootKey root) : FRoot(root), FImpl(std::make_unique<TImpl>()) {}
TRegistry::~TRegistry() = default;

void TRegistry::CloseKey() { FImpl->Open = false; }

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  std::lock_guard guard(Lock);
  std::string path = Path(FRoot, key);
  FImpl->Open = false;
  if (!Keys().count(path)) {
    if (!canCreate)
      return false;
    // Creating a key creates its parents, as on the platform.
    for (size_t p = path.find('\\', 5); p != std::string::npos; p = path.find('\\', p + 1))
      Keys()[path.substr(0, p)];
    Keys()[path];
  }
  FImpl->Current = path;
  FImpl->Open = true;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) { return OpenKey(key, false); }

bool TRegistry::KeyExists(const std::string& key) {
  std::lock_guard guard(Lock);
  return Keys().count(Path(FRoot, key)) != 0;
}

bool TRegistry::DeleteKey(const std::string& key) {
  std::lock_guard guard(Lock);
  std::string path = Path(FRoot, key);
  auto& keys = Keys();
  bool found = false;
  for (auto it = keys.begin(); it != keys.end();) {
    if (it->first == path || it->first.rfind(path + "\\", 0) == 0) {
      it = keys.erase(it);
      found = true;
    } else {
      ++it;
    }
  }
  return found;
}

static TKey* OpenValues(TRegistry::TImpl& impl) {
  if (!impl.Open)
    return nullptr;
  auto it = Keys().find(impl.Current);
  return it == Keys().end() ? nullptr : &it->second;
}

bool TRegistry::ValueExists(const std::string& name) {
  std::lock_guard guard(Lock);
  TKey* k = OpenValues(*FImpl);
  return k && k->count(LowerCase(name));
}

bool TRegistry::DeleteValue(const std::string& name) {
  std::lock_guard guard(Lock);
  TKey* k = OpenValues(*FImpl);
  return k && k->erase(LowerCase(name)) > 0;
}

std::string TRegistry::ReadString(const std::string& name) {
  std::lock_guard guard(Lock);
  TKey* k = OpenValues(*FImpl);
  if (!k || !k->count(LowerCase(name)))
    return std::string();
  const TValue& v = k->at(LowerCase(name));
  if (!std::holds_alternative<std::string>(v.Data))
    throw ERegistryException("Invalid data type for '" + name + "'");
  return std::get<std::string>(v.Data);
}

uint32_t TRegistry::ReadInteger(const std::string& name) {
  std::lock_guard guard(Lock);
  TKey* k = OpenValues(*FImpl);
  if (!k || !k->count(LowerCase(name)))
    throw ERegistryException("Failed to get data for '" + name + "'");
  const TValue& v = k->at(LowerCase(name));
  if (!std::holds_alternative<uint32_t>(v.Data))
    throw ERegistryException("Invalid data type for '" + name + "'");
  return std::get<uint32_t>(v.Data);
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  std::lock_guard guard(Lock);
  TKey* k = OpenValues(*FImpl);
  if (!k)
    throw ERegistryException("Failed to set data for '" + name + "'");
  (*k)[LowerCase(name)] = TValue{name, value};
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
  WriteString(name, value);
}

void TRegistry::WriteInteger(const std::string& name, uint32_t value) {
  std::lock_guard guard(Lock);
  TKey* k = OpenValues(*FImpl);
  if (!k)
    throw ERegistryException("Failed to set data for '" + name + "'");
  (*k)[LowerCase(name)] = TValue{name, value};
}

void ResetMemoryRegistry() {
  std::lock_guard guard(Lock);
  Keys().clear();
}
