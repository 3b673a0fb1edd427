#pragma once

#include <cstdint>
#include <memory>
#include <string>

enum class TRootKey { rkCurrentUser, rkLocalMachine };

// One open registry key at a time under a root, as the platform's registry
// class offers it. Natively the keys live in process memory, so the code that
// reads and writes settings runs and is tested unchanged.
class TRegistry {
public:
  explicit TRegistry(TRootKey root = TRootKey::rkCurrentUser);
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  bool KeyExists(const std::string& key);
  // Deletes the key with everything below it.
  bool DeleteKey(const std::string& key);

  bool ValueExists(const std::string& name);
  bool DeleteValue(const std::string& name);
  // An absent value reads as ""; a value of another type raises
  // ERegistryException "Invalid data type for '<name>'".
  std::string ReadString(const std::string& name);
  // Raises ERegistryException when the value is absent or not a DWORD.
  uint32_t ReadInteger(const std::string& name);
  // Raise ERegistryException "Failed to set data for '<name>'".
  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, uint32_t value);
  // A string of the expandable kind ("%USERPROFILE%\\Desktop"); it reads back
  // with ReadString unexpanded.
  void WriteExpandString(const std::string& name, const std::string& value);

  struct TImpl;

private:
  TRootKey FRoot;
  std::unique_ptr<TImpl> FImpl;
};

// Native builds only: forget every key (tests start from an empty registry).
void ResetMemoryRegistry();
