#include "base/KaRegistry.h"

#include "base/KaExceptions.h"
#include "base/KaHandle_win.h"

#include <windows.h>

struct TRegistry::TImpl {
  TScopedRegKey Key;
};

static HKEY RootHandle(TRootKey root) {
  return root == TRootKey::rkLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

static std::string Relative(const std::string& key) {
  size_t b = key.find_first_not_of('\\');
  return b == std::string::npos ? std::string() : key.substr(b);
}

TRegistry::TRegistry(TRootKey root) : FRoot(root), FImpl(std::make_unique<TImpl>()) {}
TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::CloseKey() { FImpl->Key.Reset(); }

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  CloseKey();
  HKEY h = nullptr;
  LONG rc;
  if (canCreate)
    rc = RegCreateKeyExA(RootHandle(FRoot), Relative(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                         nullptr, &h, nullptr);
  else
    rc = RegOpenKeyExA(RootHandle(FRoot), Relative(key).c_str(), 0, KEY_ALL_ACCESS, &h);
  if (rc != ERROR_SUCCESS)
    return false;
  FImpl->Key.Reset(h);
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  CloseKey();
  HKEY h = nullptr;
  if (RegOpenKeyExA(RootHandle(FRoot), Relative(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
    return false;
  FImpl->Key.Reset(h);
  return true;
}

bool TRegistry::KeyExists(const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(RootHandle(FRoot), Relative(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
    return false;
  TScopedRegKey opened(h); // only asked whether it opens
  return true;
}

bool TRegistry::DeleteKey(const std::string& key) {
  std::string k = Relative(key);
  RegDeleteTreeA(RootHandle(FRoot), k.c_str());
  return RegDeleteKeyA(RootHandle(FRoot), k.c_str()) == ERROR_SUCCESS || !KeyExists(k);
}

bool TRegistry::ValueExists(const std::string& name) {
  return FImpl->Key && RegQueryValueExA(FImpl->Key.Get(), name.c_str(), nullptr, nullptr, nullptr,
                                        nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& name) {
  return FImpl->Key && RegDeleteValueA(FImpl->Key.Get(), name.c_str()) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) {
  DWORD type = 0, size = 0;
  if (!FImpl->Key || RegQueryValueExA(FImpl->Key.Get(), name.c_str(), nullptr, &type, nullptr,
                                      &size) != ERROR_SUCCESS)
    return std::string();
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ERegistryException("Invalid data type for '" + name + "'");
  std::string value(size, '\0');
  if (size && RegQueryValueExA(FImpl->Key.Get(), name.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
    throw ERegistryException("Failed to get data for '" + name + "'");
  value.resize(size);
  while (!value.empty() && value.back() == '\0')
    value.pop_back();
  return value;
}

uint32_t TRegistry::ReadInteger(const std::string& name) {
  DWORD type = 0, value = 0, size = sizeof value;
  if (!FImpl->Key || RegQueryValueExA(FImpl->Key.Get(), name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
    throw ERegistryException("Failed to get data for '" + name + "'");
  if (type != REG_DWORD)
    throw ERegistryException("Invalid data type for '" + name + "'");
  return value;
}

static void WriteText(HKEY key, DWORD type, const std::string& name, const std::string& value) {
  if (!key ||
      RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + name + "'");
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  WriteText(FImpl->Key.Get(), REG_SZ, name, value);
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
  WriteText(FImpl->Key.Get(), REG_EXPAND_SZ, name, value);
}

void TRegistry::WriteInteger(const std::string& name, uint32_t value) {
  DWORD v = value;
  if (!FImpl->Key || RegSetValueExA(FImpl->Key.Get(), name.c_str(), 0, REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&v), sizeof v) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + name + "'");
}

void ResetMemoryRegistry() {}
